// Formatter front ends for the console: the text goes to the process's
// standard output handle (fetched once, kept for the process) as 8-bit
// bytes or as UTF-16 units.
#pragma once

#include <cstdarg>

#include "text/format/formatcore.h"

int SinkConsoleA(void* handle, const char* data, int count);     // bytes written
int SinkConsoleW(void* handle, const wchar_t* data, int count);  // units written

int ConsolePrintfA(const char* format, ...);
int ConsoleVPrintfA(const char* format, va_list args);
int ConsolePrintfW(const wchar_t* format, ...);
int ConsoleVPrintfW(const wchar_t* format, va_list args);
