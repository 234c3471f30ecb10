#include "text/format/consoleoutput.h"

#include <windows.h>

void* OpenConsoleOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }

int WriteToConsole(void* handle, const void* data, int bytes) {
  DWORD written = 0;
  if (!WriteFile(handle, data, (DWORD)bytes, &written, nullptr)) return 0;
  return (int)written;
}
