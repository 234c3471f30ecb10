// CTextList whole-list operations: case and trimming over ranges, moving an
// item, the extra size, the most-recently-used discipline, pops and appends.
#include "text/classtable.h"
#include "text/spans.h"
#include "text/textlist/textlist.h"

namespace {

// ASCII letters only, up to the first NUL.
void ShiftCase(CTextList& list, int from, int to, char first, char last) {
  if (from < 0) from = 0;
  if ((unsigned)to > (unsigned)list.count) to = list.count;
  for (int i = from; i < to; ++i)
    for (char* p = list.items[i] + list.extraSize; *p; ++p)
      if (*p >= first && *p <= last) *p ^= 0x20;
}

int PopAlloc(CTextList& list, int index, char** out, void* extra) {
  if (list.count == 0 || !out) return -1;
  list.GetData(index, extra);
  int length = list.GetStringAlloc(index, out);
  list.RemoveAt(index);
  return length;
}

// A text that does not fit leaves the item in the list.
int Pop(CTextList& list, int index, int size, char* buffer, void* extra) {
  if (list.count == 0) {
    if (size >= 1 && buffer) buffer[0] = 0;
    return -1;
  }
  list.GetData(index, extra);
  int length = list.GetString(index, buffer, size);
  if (length >= 0) list.RemoveAt(index);
  return length;
}

}  // namespace

void CTextList::MakeLower(int from, int to) { ShiftCase(*this, from, to, 'A', 'Z'); }

void CTextList::MakeUpper(int from, int to) { ShiftCase(*this, from, to, 'a', 'z'); }

void CTextList::TrimLeft(int from, int to) {
  if (!ClampRange(from, to)) return;
  for (int i = from; i < to; ++i) {
    char* text = items[i] + extraSize;
    unsigned length = LengthAt(i);
    unsigned blanks = (unsigned)SpanClassNA(text, CC_BLANK, (int)length);
    if (!blanks) continue;
    std::memmove(text, text + blanks, length - blanks + 1);
    SetLengthOf(items[i], length - blanks);
  }
}

void CTextList::TrimRight(int from, int to) {
  if (!ClampRange(from, to)) return;
  for (int i = from; i < to; ++i) {
    char* text = items[i] + extraSize;
    unsigned length = LengthAt(i);
    unsigned blanks = (unsigned)SpanClassBackNA(text + length, CC_BLANK, (int)length);
    if (!blanks) continue;
    text[length - blanks] = 0;
    SetLengthOf(items[i], length - blanks);
  }
}

int CTextList::MoveItem(int fromIndex, int toIndex) {
  if (count == 0) return 0;
  if (fromIndex == -1) fromIndex = count - 1;
  if (toIndex == -1) toIndex = count - 1;
  if (!InRange(fromIndex) || !InRange(toIndex)) return -1;
  char* item = items[fromIndex];
  if (fromIndex < toIndex)
    std::memmove(items + fromIndex, items + fromIndex + 1, (size_t)(toIndex - fromIndex) * sizeof(char*));
  else if (fromIndex > toIndex)
    std::memmove(items + toIndex + 1, items + toIndex, (size_t)(fromIndex - toIndex) * sizeof(char*));
  items[toIndex] = item;
  return toIndex;
}

int CTextList::ExtraSize(int n) {
  if (n == -1) return (int)extraSize;
  if (count != 0 || n < 0) return -1;
  extraSize = (unsigned)n;
  return n;
}

int CTextList::SetMruLimit(int limit, unsigned mode) {
  mruLimit = limit < 0 ? 16 : limit;
  mruMode = mode;
  for (int i = 0; i < mruLimit && i < count;) {
    const char* text = TextAt(i);
    int dup = FindString((int)std::strlen(text), text, i + 1, mruLimit, mruMode);
    if (dup >= 0) {
      RemoveAt(dup);
      i = 0;  // the window moved: a later item may now duplicate an earlier one
    } else {
      ++i;
    }
  }
  RemoveRange(mruLimit, count);
  return count;
}

int CTextList::MruTouch(const char* text) {
  int found = FindString(text ? (int)std::strlen(text) : 0, text, 0, mruLimit, mruMode);
  if (found < 0) return 1;
  MoveItem(found, 0);
  return 0;
}

int CTextList::PopLastAlloc(char** out, void* extra) { return PopAlloc(*this, count - 1, out, extra); }
int CTextList::PopLast(int size, char* buffer, void* extra) { return Pop(*this, count - 1, size, buffer, extra); }
int CTextList::PopFirstAlloc(char** out, void* extra) { return PopAlloc(*this, 0, out, extra); }
int CTextList::PopFirst(int size, char* buffer, void* extra) { return Pop(*this, 0, size, buffer, extra); }

int CTextList::AppendToItem(const char* text, int index, const void* extra) {
  return AppendToItemLen(text ? (int)std::strlen(text) : 0, text, index, extra);
}

int CTextList::AppendToItemLen(int length, const char* text, int index, const void* extra) {
  if (!InRange(index)) return InsertStringLen(length, text, -1, extra);
  if (!text || length == 0) return index;
  if (length < 0) return -1;
  // The new block is complete before the old goes: the text may come from it.
  const char* old = items[index];
  unsigned oldLength = LengthOf(old);
  char* item = AllocItem((size_t)oldLength + (unsigned)length, extraSize);
  std::memcpy(item, old, extraSize + oldLength);
  std::memcpy(item + extraSize + oldLength, text, (size_t)length);
  Replace(index, item);
  return index;
}
