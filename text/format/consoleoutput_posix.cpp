// The native half of the console seam, for the sanitizer build off Windows:
// standard output is file descriptor 1.
#include "text/format/consoleoutput.h"

#include <unistd.h>

void* OpenConsoleOutput() { return (void*)(intptr_t)1; }

int WriteToConsole(void* handle, const void* data, int bytes) {
  ssize_t written = write((int)(intptr_t)handle, data, (size_t)bytes);
  return written > 0 ? (int)written : 0;
}
