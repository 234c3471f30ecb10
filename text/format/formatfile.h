// Formatter front ends that write to a runtime stream: raw text, UTF-8 or
// UTF-16 (little-endian), never with a byte-order mark. The stream must be
// binary; it is neither opened, flushed nor closed here. Each returns what
// the stream took (bytes, or units for UTF-16 and the 16-bit raw form).
#pragma once

#include <cstdarg>
#include <cstdio>

#include "text/format/formatcore.h"

int SinkFileRawA(void* stream, const char* data, int count);          // bytes as they are
int SinkFileRawW(void* stream, const wchar_t* data, int count);       // units as they are
int SinkFileLatin1ToUtf8(void* stream, const char* data, int count);  // bytes read as Latin-1
int SinkFileWidenUtf16(void* stream, const char* data, int count);    // bytes zero-extended
int SinkFileNarrowW(void* stream, const wchar_t* data, int count);    // units below 256 only
// UTF-16 to UTF-8. A low surrogate that opens a call completes the pair
// whose high half ended the previous call; that needs a stream opened for
// reading as well.
int SinkFileUtf16ToUtf8(void* stream, const wchar_t* data, int count);

int FilePrintfA(FILE* stream, const char* format, ...);
int FileVPrintfA(FILE* stream, const char* format, va_list args);
int FilePrintfUtf8A(FILE* stream, const char* format, ...);
int FileVPrintfUtf8A(FILE* stream, const char* format, va_list args);
int FilePrintfUtf16A(FILE* stream, const char* format, ...);
int FileVPrintfUtf16A(FILE* stream, const char* format, va_list args);

int FilePrintfW(FILE* stream, const wchar_t* format, ...);
int FileVPrintfW(FILE* stream, const wchar_t* format, va_list args);
int FilePrintfUtf8W(FILE* stream, const wchar_t* format, ...);
int FileVPrintfUtf8W(FILE* stream, const wchar_t* format, va_list args);
int FilePrintfUtf16W(FILE* stream, const wchar_t* format, ...);
int FileVPrintfUtf16W(FILE* stream, const wchar_t* format, va_list args);
