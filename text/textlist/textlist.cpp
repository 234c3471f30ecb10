// CTextList storage: item blocks, growth, inserting, replacing and removing.
#include "text/textlist/textlist.h"

#include <algorithm>
#include <new>

#include "base/check.h"

namespace {

// The slots hold the items and nothing past capacity; no slots, no array.
void CheckShape(const CTextList& list) {
  DEBUG_CHECK(list.count >= 0 && list.count <= list.capacity && (list.capacity == 0) == (list.items == nullptr));
}

}  // namespace

CTextList::CTextList(unsigned extraSize)
    : count(0), capacity(0), extraSize(extraSize), mruLimit(16), mruMode(0), ownerWord(0), items(nullptr) {}

CTextList::~CTextList() { RemoveAll(); }

char* CTextList::AllocItem(size_t length, unsigned extraSize) {
  char* item = static_cast<char*>(::operator new(length + extraSize + 5)) + 4;
  SetLengthOf(item, (unsigned)length);
  item[extraSize + length] = 0;
  return item;
}

char* CTextList::NewItem(int length, const char* text, unsigned extraSize, const void* extra) {
  if (length < 0) return nullptr;
  if (!text) length = 0;
  char* item = AllocItem((size_t)length, extraSize);
  if (extraSize) {
    if (extra)
      std::memcpy(item, extra, extraSize);
    else
      std::memset(item, 0, extraSize);
  }
  if (length) std::memcpy(item + extraSize, text, (size_t)length);
  return item;
}

void CTextList::FreeItem(char* item) {
  if (item) ::operator delete(item - 4);
}

// Makes room for n more items: always one spare slot after the insert.
void CTextList::GrowFor(int n) {
  if ((int64_t)count + n < capacity) return;
  int64_t grown = n == 1 ? ((int64_t)capacity * 3 + 35) / 2 : ((int64_t)capacity + n) * 3 / 2 + 16;
  if (grown > INT32_MAX) grown = INT32_MAX;
  char** bigger = new char*[(size_t)grown];
  if (count) std::memcpy(bigger, items, (size_t)count * sizeof(char*));
  delete[] items;
  items = bigger;
  capacity = (int)grown;
  CheckShape(*this);
}

int CTextList::InsertItemPtr(char* item, int index) {
  if (!item) return -1;
  GrowFor(1);
  index = ClampInsert(index);
  DEBUG_CHECK(index >= 0 && index <= count && count < capacity);
  std::memmove(items + index + 1, items + index, (size_t)(count - index) * sizeof(char*));
  items[index] = item;
  ++count;
  return index;
}

int CTextList::InsertString(const char* text, int index, const void* extra) {
  return InsertStringLen(text ? (int)std::strlen(text) : 0, text, index, extra);
}

int CTextList::InsertStringLen(int length, const char* text, int index, const void* extra) {
  if (length < 0) return -1;
  GrowFor(1);  // before the block exists, so a failing allocation leaks nothing
  return InsertItemPtr(NewItem(length, text, extraSize, extra), index);
}

int CTextList::InsertFrom(const CTextList* other, int index, int from, int to) {
  if (!other || other->count == 0) return -1;
  if (from < 0) from = 0;
  if ((unsigned)to > (unsigned)other->count) to = other->count;
  if (from >= to) return -1;
  int n = to - from;
  index = ClampInsert(index);
  GrowFor(n);
  DEBUG_CHECK(index >= 0 && index <= count && count + n <= capacity);
  // The copies go to the spare slots first and are rotated into place, so the
  // source items are read before anything moves (other may be this list).
  unsigned common = std::min(extraSize, other->extraSize);
  int made = 0;
  try {
    for (; made < n; ++made) {
      const char* src = other->items[from + made];
      char* copy = NewItem((int)LengthOf(src), src + other->extraSize, extraSize, nullptr);
      std::memcpy(copy, src, common);
      items[count + made] = copy;
    }
  } catch (...) {
    while (made) FreeItem(items[count + --made]);
    throw;
  }
  std::rotate(items + index, items + count, items + count + n);
  count += n;
  CheckShape(*this);
  return index;
}

int CTextList::AddSplit(char separator, const char* text, int index, const void* extra) {
  if (!text || !*text) return -1;
  int first = ClampInsert(index), at = first;
  const char* p = text;
  if (separator == 0) {  // multi-string: parts up to the first empty one
    while (*p) {
      size_t n = std::strlen(p);
      InsertStringLen((int)n, p, at++, extra);
      p += n + 1;
    }
    return first;
  }
  for (;;) {
    const char* e = std::strchr(p, separator);
    if (!e) e = p + std::strlen(p);
    InsertStringLen((int)(e - p), p, at++, extra);
    if (!*e || !e[1]) break;  // a separator at the very end adds no empty part
    p = e + 1;
  }
  return first;
}

int CTextList::AddSplitN(char separator, int n, const char* text, int index, const void* extra) {
  if (!text || n < 0) return -1;
  int first = ClampInsert(index), at = first;
  const char* p = text;
  const char* end = text + n;
  if (separator == 0) {  // every NUL inside the n characters separates
    while (p < end) {
      const char* e = static_cast<const char*>(std::memchr(p, 0, (size_t)(end - p)));
      if (!e) e = end;
      InsertStringLen((int)(e - p), p, at++, extra);
      p = e + 1;
    }
    return first;
  }
  while (p < end && *p) {
    const char* e = p;
    while (e < end && *e && *e != separator) ++e;
    InsertStringLen((int)(e - p), p, at++, extra);
    if (e == end || !*e) break;
    p = e + 1;
  }
  return first;
}

// Stores a new block at index and frees the old one.
char* CTextList::Replace(int index, char* item) {
  DEBUG_CHECK(index >= 0 && index < count);
  FreeItem(items[index]);
  return items[index] = item;
}

int CTextList::SetString(const char* text, int index, const void* extra) {
  return SetStringLen(text ? (int)std::strlen(text) : 0, text, index, extra);
}

int CTextList::SetStringLen(int length, const char* text, int index, const void* extra) {
  if (!InRange(index) || length < 0) return -1;
  // Built whole before the old block goes: the text may come from the item.
  Replace(index, NewItem(length, text, extraSize, extra ? extra : items[index]));
  return index;
}

void CTextList::Swap(int i, int j) {
  if (count == 0) return;
  if (!InRange(i)) i = count - 1;
  if (!InRange(j)) j = count - 1;
  std::swap(items[i], items[j]);
}

int CTextList::GetStringAlloc(int index, char** out) const {
  if (!out) return -1;
  if (!InRange(index)) {
    *out = nullptr;
    return -1;
  }
  unsigned n = LengthAt(index);
  *out = new char[n + 1];
  std::memcpy(*out, TextAt(index), n + 1);
  return (int)n;
}

int CTextList::GetString(int index, char* buffer, int size) const {
  if (!buffer) return -1;
  if (InRange(index) && size > 0 && LengthAt(index) < (unsigned)size) {
    unsigned n = LengthAt(index);
    std::memcpy(buffer, TextAt(index), n + 1);
    return (int)n;
  }
  if (size >= 1) buffer[0] = 0;
  return -1;
}

char* CTextList::GetData(int index, void* buffer) const {
  if (!InRange(index)) return nullptr;
  if (buffer && extraSize) std::memcpy(buffer, items[index], extraSize);
  return items[index];
}

char* CTextList::SetData(int index, const void* data) {
  if (!InRange(index)) return nullptr;
  if (data && extraSize) std::memcpy(items[index], data, extraSize);
  return items[index];
}

char* CTextList::DetachAt(int index) {
  if (!InRange(index)) return nullptr;
  char* item = items[index];
  --count;
  std::memmove(items + index, items + index + 1, (size_t)(count - index) * sizeof(char*));
  CheckShape(*this);
  return item;
}

int CTextList::RemoveAt(int index) {
  char* item = DetachAt(index);
  FreeItem(item);
  return item ? 1 : 0;
}

int CTextList::RemoveRange(int from, int to) {
  if (from < 0) from = 0;
  if (from >= count) return 0;
  if ((unsigned)to > (unsigned)count) to = count;
  if (to <= from) return 0;
  for (int i = from; i < to; ++i) FreeItem(items[i]);
  std::memmove(items + from, items + to, (size_t)(count - to) * sizeof(char*));
  count -= to - from;
  CheckShape(*this);
  return to - from;
}

int CTextList::RemoveAll() {
  for (int i = count; i-- > 0;) FreeItem(items[i]);
  delete[] items;
  items = nullptr;
  count = capacity = 0;
  return 1;
}
