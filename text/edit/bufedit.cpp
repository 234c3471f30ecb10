#include "text/edit/bufedit.h"

#include <climits>
#include <cstring>
#include <memory>

namespace {

constexpr int kNoCapacity = INT_MAX;

int Replace(void* buffer, const void* source, int length, int count, int removed, int position, int capacity) {
  if (length < 0) length = 0;
  if (count < 1) return length;
  if (position < 0) position = 0;
  if (position > length) position = length;
  if (removed < 0) removed = 0;
  if (removed > length - position) removed = length - position;
  int tail = length - position - removed;
  int room = capacity - position;
  if (room < 0) return 0;
  if (count > room) count = room;
  if (tail > room - count) tail = room - count;
  unsigned char* p = static_cast<unsigned char*>(buffer) + position;
  std::memmove(p + count, p + removed, (size_t)tail);
  std::memcpy(p, source, (size_t)count);
  return position + count + tail;
}

// Exchanges the first `left` bytes of p with the `right` bytes behind them,
// keeping only the smaller part aside.
void Rotate(unsigned char* p, int left, int right) {
  unsigned char stackCopy[1024];
  int small = left < right ? left : right;
  std::unique_ptr<unsigned char[]> heapCopy;
  unsigned char* aside = stackCopy;
  if (small > (int)sizeof stackCopy) {
    heapCopy.reset(new unsigned char[small]);
    aside = heapCopy.get();
  }
  if (left <= right) {
    std::memcpy(aside, p, (size_t)left);
    std::memmove(p, p + left, (size_t)right);
    std::memcpy(p + right, aside, (size_t)left);
  } else {
    std::memcpy(aside, p + left, (size_t)right);
    std::memmove(p + right, p, (size_t)left);
    std::memcpy(p, aside, (size_t)right);
  }
}

}  // namespace

int BufferInsert(void* buffer, const void* source, int length, int count, int position) {
  return Replace(buffer, source, length, count, 0, position, kNoCapacity);
}

int BufferInsertBounded(void* buffer, const void* source, int length, int count, int position, int capacity) {
  return Replace(buffer, source, length, count, 0, position, capacity);
}

int BufferReplace(void* buffer, const void* source, int length, int count, int removed, int position) {
  return Replace(buffer, source, length, count, removed, position, kNoCapacity);
}

int BufferReplaceBounded(void* buffer, const void* source, int length, int count, int removed, int position,
                         int capacity) {
  return Replace(buffer, source, length, count, removed, position, capacity);
}

int BufferDelete(void* buffer, int length, int count, int position) {
  if (length < 0) length = 0;
  if (position < 0) {
    count += position;
    position = 0;
  }
  if (count < 1 || position >= length) return length;
  if (count > length - position) count = length - position;
  unsigned char* p = static_cast<unsigned char*>(buffer) + position;
  std::memmove(p, p + count, (size_t)(length - position - count));
  return length - count;
}

int MemMoveRange(void* buffer, int from, int count, int to) {
  if (from < 0 || count < 0 || to < 0) return -1;
  if (count == 0 || from == to) return to;
  unsigned char* p = static_cast<unsigned char*>(buffer);
  if (to > from)
    Rotate(p + from, count, to - from);  // the block, then the bytes it passes
  else
    Rotate(p + to, from - to, count);
  return to;
}

int MemMoveRangeBounded(void* buffer, int from, int count, int to, int capacity) {
  if (from < 0 || count < 0 || to < 0) return -1;
  if (from > capacity - count || to > capacity - count) return -1;
  return MemMoveRange(buffer, from, count, to);
}
