#include <cstring>

#include "ui/textmeasure.h"

namespace {
const int kMaxComponents = 31;

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int Width(const char* s, int n, const BYTE* table) {
  if (!table) return n;
  int w = 0;
  for (int i = 0; i < n; ++i) w += table[(unsigned char)s[i]];
  return w;
}

// Appends at most n characters while the buffer keeps room for a terminator.
void Append(char* buffer, int size, int* len, const char* s, int n) {
  int room = size - 1 - *len;
  if (n > room) n = room;
  if (n <= 0) return;
  std::memcpy(buffer + *len, s, n);
  *len += n;
}

// Length of the root: one or two leading separators, then up to and
// including the next separator, a doubled one included.
int RootLength(const char* path) {
  int i = 0;
  while (i < 2 && IsSeparator(path[i])) ++i;
  while (path[i] && !IsSeparator(path[i])) ++i;
  if (IsSeparator(path[i])) ++i;
  if (IsSeparator(path[i])) ++i;
  return i;
}
}  // namespace

int ShortenPathToWidth(const char* path, char* buffer, int size, int width, const BYTE* table, int keep) {
  if (size < 2) {
    if (size == 1) buffer[0] = 0;
    return 0;
  }
  int total = (int)std::strlen(path);
  int rootLen = RootLength(path);
  if (rootLen >= total) {
    int n = total < size - 1 ? total : size - 1;
    std::memcpy(buffer, path, n);
    buffer[n] = 0;
    return n;
  }
  // Components end after their separator; the last one takes the rest.
  int start[kMaxComponents + 1];
  int count = 0;
  start[count++] = 0;
  int pos = rootLen;
  while (pos < total && count < kMaxComponents) {
    start[count++] = pos;
    while (pos < total && !IsSeparator(path[pos])) ++pos;
    while (pos < total && IsSeparator(path[pos])) ++pos;
  }
  start[count] = total;
  // A final component of one character after a separator joins the previous.
  if (count > 2 && start[count] - start[count - 1] == 1) --count, start[count] = total;

  auto compLen = [&](int i) { return start[i + 1] - start[i]; };
  static const char kEllipsis[] = "...\\";
  int avail = width - Width(path + start[count - 1], compLen(count - 1), table) - Width(kEllipsis, 4, table);
  bool kept[kMaxComponents] = {};
  int front = 0, back = count - 2, taken = 0;
  while (front <= back && avail > 0) {
    int i = taken < keep ? front++ : back--;
    ++taken;
    int w = Width(path + start[i], compLen(i), table);
    if (w <= avail) kept[i] = true;
    avail -= w;
  }
  int len = 0;
  bool leftOut = false;
  int i = 0;
  for (; i < count - 1 && kept[i]; ++i) Append(buffer, size, &len, path + start[i], compLen(i));
  for (int j = i; j < count - 1; ++j) leftOut |= !kept[j];
  if (leftOut) Append(buffer, size, &len, kEllipsis, 4);
  for (; i < count - 1; ++i)
    if (kept[i]) Append(buffer, size, &len, path + start[i], compLen(i));
  Append(buffer, size, &len, path + start[count - 1], compLen(count - 1));
  buffer[len] = 0;
  return len;
}

int ShortenPathBetweenTexts(const char* path, char* buffer, int size, int width, const BYTE* table, int keep,
                            const char* before, const char* after, int afterLength, int maxBefore) {
  if (before) {
    int n = maxBefore;
    if (path >= before && path - before <= maxBefore) n = (int)(path - before);
    width -= GetLineWidth(before, table, n);
  }
  if (after) width -= GetLineWidth(after, table, afterLength);
  return ShortenPathToWidth(path, buffer, size, width, table, keep);
}
