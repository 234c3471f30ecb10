// The child program of the console test: a GUI program that takes a
// console for its standard output and checks that printf lands there. Its
// exit code says which step failed (0: all held).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ui/windowutil.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (AttachConsoleStdout() != 1) return 2;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(out, &info)) return 3;  // not a console
  const char kText[] = "Ostrova-Konsole";
  std::printf("%s\n", kText);
  char line[sizeof kText] = "";
  DWORD read = 0;
  COORD at = {0, info.dwCursorPosition.Y};
  ReadConsoleOutputCharacterA(out, line, sizeof kText - 1, at, &read);
  if (read != sizeof kText - 1 || std::memcmp(line, kText, read) != 0) return 4;
  // Later calls change nothing.
  if (AttachConsoleStdout() != 1 || GetStdHandle(STD_OUTPUT_HANDLE) != out) return 5;
  return 0;
}
