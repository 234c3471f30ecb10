#include "text/edit/memfill.h"

#include <cstring>

namespace {

// Element-wise memcpy keeps this free of aliasing trouble (callers fill
// wchar_t and DWORD arrays alike); the compiler turns it into plain stores.
template <class T>
void Fill(void* dest, T value, int count) {
  unsigned char* p = static_cast<unsigned char*>(dest);
  for (int i = 0; i < count; ++i) std::memcpy(p + (size_t)i * sizeof(T), &value, sizeof(T));
}

}  // namespace

void MemFill16(void* dest, uint16_t value, int count) { Fill(dest, value, count); }
void MemFill32(void* dest, uint32_t value, int count) { Fill(dest, value, count); }
void MemFill64(void* dest, uint32_t low, uint32_t high, int count) { Fill(dest, (uint64_t)high << 32 | low, count); }
