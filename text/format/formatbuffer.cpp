#include "text/format/formatbuffer.h"

#include <cstring>
#include <new>

namespace {

const int kUnbounded = 1 << 28;  // characters: more than any buffer can get
const int kFirstCapacity = 128;
const int kTerminatorRoom = 4;  // the first block holds 132 characters

template <class Ch>
int SinkBounded(void* context, const Ch* data, int count) {
  auto* state = static_cast<BoundedSinkStateT<Ch>*>(context);
  if (state->length + count >= state->max) count = state->max - state->length;
  if (count <= 0) return 0;
  std::memcpy(state->buffer + state->length, data, count * sizeof(Ch));
  state->length += count;
  return count;
}

template <class Ch>
Ch* Allocate(int capacity) {
  return static_cast<Ch*>(::operator new((capacity + kTerminatorRoom) * sizeof(Ch), std::nothrow));
}

template <class Ch>
int SinkHeap(void* context, const Ch* data, int count) {
  auto* state = static_cast<HeapTextStateT<Ch>*>(context);
  if (count <= 0) return 0;
  if (state->length + count > state->capacity) {
    int capacity = (state->capacity + state->capacity / 2 + count + 128) & ~15;
    Ch* grown = Allocate<Ch>(capacity);
    if (!grown) return 0;
    if (state->length) std::memcpy(grown, state->text, state->length * sizeof(Ch));
    ::operator delete(state->text);
    state->text = grown;
    state->capacity = capacity;
  }
  std::memcpy(state->text + state->length, data, count * sizeof(Ch));
  state->length += count;
  return count;
}

template <class Ch, class Core, class Sink>
int ToBuffer(Ch* buffer, int max, const Ch* format, va_list args, Core core, Sink sink) {
  BoundedSinkStateT<Ch> state = {buffer, 0, max};
  int n = core(&state, sink, format, args);
  buffer[n] = 0;
  return n;
}

template <class Ch, class Core, class Sink>
int ToHeap(HeapTextStateT<Ch>* state, const Ch* format, va_list args, Core core, Sink sink) {
  if (!state->text) {
    state->length = 0;
    state->text = Allocate<Ch>(kFirstCapacity);
    state->capacity = state->text ? kFirstCapacity : 0;
    if (!state->text) return 0;
  }
  int n = core(state, sink, format, args);
  state->text[state->length] = 0;  // after all the text, also when this call appended
  return n;
}

}  // namespace

int SinkBoundedA(void* state, const char* data, int count) { return SinkBounded(state, data, count); }
int SinkBoundedW(void* state, const wchar_t* data, int count) { return SinkBounded(state, data, count); }
int SinkHeapA(void* state, const char* data, int count) { return SinkHeap(state, data, count); }
int SinkHeapW(void* state, const wchar_t* data, int count) { return SinkHeap(state, data, count); }

int FormatToBufferVA(char* buffer, int size, const char* format, va_list args) {
  return size < 1 ? 0 : ToBuffer(buffer, size - 1, format, args, FormatCoreA, SinkBoundedA);
}
int FormatToBufferVW(wchar_t* buffer, int size, const wchar_t* format, va_list args) {
  return size < 1 ? 0 : ToBuffer(buffer, size - 1, format, args, FormatCoreW, SinkBoundedW);
}
int FormatToBufferUnboundedVA(char* buffer, const char* format, va_list args) {
  return ToBuffer(buffer, kUnbounded, format, args, FormatCoreA, SinkBoundedA);
}
int FormatToBufferUnboundedVW(wchar_t* buffer, const wchar_t* format, va_list args) {
  return ToBuffer(buffer, kUnbounded, format, args, FormatCoreW, SinkBoundedW);
}
int FormatToHeapVA(HeapTextState* state, const char* format, va_list args) {
  return ToHeap(state, format, args, FormatCoreA, SinkHeapA);
}
int FormatToHeapVW(HeapTextStateW* state, const wchar_t* format, va_list args) {
  return ToHeap(state, format, args, FormatCoreW, SinkHeapW);
}

int FormatToBufferA(char* buffer, int size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToBufferVA(buffer, size, format, args);
  va_end(args);
  return n;
}

int FormatToBufferW(wchar_t* buffer, int size, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToBufferVW(buffer, size, format, args);
  va_end(args);
  return n;
}

int FormatToBufferUnboundedA(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToBufferUnboundedVA(buffer, format, args);
  va_end(args);
  return n;
}

int FormatToBufferUnboundedW(wchar_t* buffer, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToBufferUnboundedVW(buffer, format, args);
  va_end(args);
  return n;
}

int FormatToHeapA(HeapTextState* state, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToHeapVA(state, format, args);
  va_end(args);
  return n;
}

int FormatToHeapW(HeapTextStateW* state, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatToHeapVW(state, format, args);
  va_end(args);
  return n;
}
