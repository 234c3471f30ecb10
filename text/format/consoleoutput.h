// The console calls of the formatter, kept apart from the portable code.
#pragma once

// The process's standard output handle, or null.
void* OpenConsoleOutput();
// Writes bytes to the handle; returns the bytes written (0 on failure).
int WriteToConsole(void* handle, const void* data, int bytes);
