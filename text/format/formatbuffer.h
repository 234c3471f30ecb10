// Formatter front ends that write into memory: a caller's buffer with a
// size (the text is cut), a caller's buffer without one, and growing text
// on the heap. Every form returns the sum of what its sink accepted.
#pragma once

#include <cstdarg>

#include "text/format/formatcore.h"

template <class Ch>
struct BoundedSinkStateT {
  Ch* buffer;
  int length;  // characters stored so far
  int max;     // the most characters that may be stored
};
typedef BoundedSinkStateT<char> BoundedSinkState;
typedef BoundedSinkStateT<wchar_t> BoundedSinkStateW;

// Heap text: text is null until the first call; the owner frees it with
// operator delete and sets it to null before starting afresh. Further calls
// append to the text. The block always has room for the terminator.
template <class Ch>
struct HeapTextStateT {
  Ch* text;
  int length;    // characters stored
  int capacity;  // characters the block holds before it must grow
};
typedef HeapTextStateT<char> HeapTextState;
typedef HeapTextStateT<wchar_t> HeapTextStateW;

int SinkBoundedA(void* state, const char* data, int count);
int SinkBoundedW(void* state, const wchar_t* data, int count);
int SinkHeapA(void* state, const char* data, int count);
int SinkHeapW(void* state, const wchar_t* data, int count);

// At most size - 1 characters and a terminator; size < 1 writes nothing.
int FormatToBufferA(char* buffer, int size, const char* format, ...);
int FormatToBufferVA(char* buffer, int size, const char* format, va_list args);
int FormatToBufferW(wchar_t* buffer, int size, const wchar_t* format, ...);
int FormatToBufferVW(wchar_t* buffer, int size, const wchar_t* format, va_list args);

// sprintf-like: the caller guarantees the room.
int FormatToBufferUnboundedA(char* buffer, const char* format, ...);
int FormatToBufferUnboundedVA(char* buffer, const char* format, va_list args);
int FormatToBufferUnboundedW(wchar_t* buffer, const wchar_t* format, ...);
int FormatToBufferUnboundedVW(wchar_t* buffer, const wchar_t* format, va_list args);

int FormatToHeapA(HeapTextState* state, const char* format, ...);
int FormatToHeapVA(HeapTextState* state, const char* format, va_list args);
int FormatToHeapW(HeapTextStateW* state, const wchar_t* format, ...);
int FormatToHeapVW(HeapTextStateW* state, const wchar_t* format, va_list args);
