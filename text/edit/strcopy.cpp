#include "text/edit/strcopy.h"

#include <climits>
#include <cstring>

namespace {

// memchr stops reading at the first match, so it never touches memory behind
// the terminator, however large max is.
int BoundedLength(const char* text, int max) {
  if (max < 1) return 0;
  const void* nul = std::memchr(text, 0, (size_t)max);
  return nul ? (int)((const char*)nul - text) : max;
}

int BoundedLength(const wchar_t* text, int max) {
  int n = 0;
  while (n < max && text[n]) ++n;
  return n;
}

// Copies min(length, limit) characters and a terminator.
template <class C>
int CopyLimited(C* dest, const C* source, int size, int limit) {
  if (size < 1) return 0;
  if (limit > size - 1) limit = size - 1;
  int len = BoundedLength(source, limit);
  std::memmove(dest, source, (size_t)len * sizeof(C));
  dest[len] = 0;
  return len;
}

template <class C>
int AppendLimited(C* dest, const C* source, int size, int limit) {
  int len = BoundedLength(dest, size);
  if (len >= size) return len;
  return len + CopyLimited(dest + len, source, size - len, limit);
}

constexpr int kAll = INT_MAX;

}  // namespace

int LengthBoundedA(const char* text, int max) { return BoundedLength(text, max); }
int LengthBoundedW(const wchar_t* text, int max) { return BoundedLength(text, max); }

int CopyBoundedA(char* dest, const char* source, int size) { return CopyLimited(dest, source, size, kAll); }
int CopyBoundedW(wchar_t* dest, const wchar_t* source, int size) { return CopyLimited(dest, source, size, kAll); }

int CopyBoundedCountA(char* dest, const char* source, int size, int n) {
  return CopyLimited(dest, source, size, n < 0 ? 0 : n);
}
int CopyBoundedCountW(wchar_t* dest, const wchar_t* source, int size, int n) {
  return CopyLimited(dest, source, size, n < 0 ? 0 : n);
}

int AppendBoundedA(char* dest, const char* source, int size) { return AppendLimited(dest, source, size, kAll); }
int AppendBoundedW(wchar_t* dest, const wchar_t* source, int size) { return AppendLimited(dest, source, size, kAll); }

int AppendBoundedCountA(char* dest, const char* source, int size, int n) {
  return AppendLimited(dest, source, size, n < 0 ? 0 : n);
}
int AppendBoundedCountW(wchar_t* dest, const wchar_t* source, int size, int n) {
  return AppendLimited(dest, source, size, n < 0 ? 0 : n);
}
