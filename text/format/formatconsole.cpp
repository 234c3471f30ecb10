#include "text/format/formatconsole.h"

#include "text/format/consoleoutput.h"

namespace {

// Shared by both widths; two threads racing on the first output store the
// same handle.
void* g_consoleHandle = nullptr;

void* ConsoleHandle() {
  if (!g_consoleHandle) g_consoleHandle = OpenConsoleOutput();
  return g_consoleHandle;
}

}  // namespace

int SinkConsoleA(void* handle, const char* data, int count) {
  return count > 0 ? WriteToConsole(handle, data, count) : 0;
}

int SinkConsoleW(void* handle, const wchar_t* data, int count) {
  return count > 0 ? WriteToConsole(handle, data, count * 2) / 2 : 0;
}

int ConsoleVPrintfA(const char* format, va_list args) {
  return FormatCoreA(ConsoleHandle(), SinkConsoleA, format, args);
}

int ConsoleVPrintfW(const wchar_t* format, va_list args) {
  return FormatCoreW(ConsoleHandle(), SinkConsoleW, format, args);
}

int ConsolePrintfA(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = ConsoleVPrintfA(format, args);
  va_end(args);
  return n;
}

int ConsolePrintfW(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = ConsoleVPrintfW(format, args);
  va_end(args);
  return n;
}
