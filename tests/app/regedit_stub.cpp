// Stands in for regedit.exe: appends its command line to the file named by
// OSTROVA_STUB_LOG and ends with the code in OSTROVA_STUB_EXIT ("wait":
// stays until it is terminated).
#include <windows.h>

#include <cstdlib>

int main() {
  char log[MAX_PATH] = "", code[32] = "0";
  GetEnvironmentVariableA("OSTROVA_STUB_EXIT", code, sizeof code);
  if (GetEnvironmentVariableA("OSTROVA_STUB_LOG", log, sizeof log)) {
    HANDLE h = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(h, line, lstrlenA(line), &written, nullptr);
    WriteFile(h, "\n", 1, &written, nullptr);
    CloseHandle(h);
  }
  if (lstrcmpA(code, "wait") == 0) Sleep(60000);
  return atoi(code);
}
