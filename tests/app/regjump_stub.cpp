// Stands in for RegJump.exe in the tests: writes its first argument to
// "regjump_args.txt" beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (n && path[n - 1] != '\\') --n;
  lstrcpyA(path + n, "regjump_args.txt.tmp");
  FILE* f = fopen(path, "wb");
  if (!f) return 2;
  fprintf(f, "%d|%s", argc - 1, argc > 1 ? argv[1] : "");
  fclose(f);
  char done[MAX_PATH];
  lstrcpyA(done, path);
  done[strlen(done) - 4] = 0;
  MoveFileA(path, done);
  return 0;
}
