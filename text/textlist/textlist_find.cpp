// CTextList searches: linear by text and extra-data key, binary by built-in
// keys or a caller's comparator.
#include "text/compare/casecompare.h"
#include "text/textlist/textlist.h"
#include "text/textlist/textlist_keys.h"

using namespace textlist_keys;

namespace {

bool TextEqual(const char* a, const char* b, unsigned n, unsigned mode) {
  if (mode == CTextList::kFindExact) return std::memcmp(a, b, n) == 0;
  if (mode == CTextList::kFindFastNoCase && n >= 4) {
    // A quick word test with bit 5 of every byte ignored, then the rest.
    unsigned head = n >= 8 ? 8 : 4;
    if (((Load<uint32_t>(a) ^ Load<uint32_t>(b)) & 0xDFDFDFDFu) != 0) return false;
    if (head == 8 && ((Load<uint32_t>(a + 4) ^ Load<uint32_t>(b + 4)) & 0xDFDFDFDFu) != 0) return false;
    return CompareNoCaseNA(a + head, b + head, (int)(n - head)) == 0;
  }
  return CompareNoCaseNA(a, b, (int)n) == 0;
}

template <class Match>
int FindLinear(const CTextList& list, int from, int to, Match match) {
  if (from < 0) from = 0;
  if ((unsigned)to > (unsigned)list.count) to = list.count;
  for (int i = from; i < to; ++i)
    if (match(list.items[i])) return i;
  return -1;
}

// A key at the start of the extra data and the text.
template <class Key>
int FindKeyText(const CTextList& list, Key key, int length, const char* text, int from, int to, unsigned mode) {
  if (list.extraSize < sizeof(Key)) return -1;
  if (!text) length = 0;
  unsigned n = (unsigned)length, extra = list.extraSize;
  return FindLinear(list, from, to, [=](const char* item) {
    return Load<Key>(item) == key && CTextList::LengthOf(item) == n && TextEqual(text, item + extra, n, mode);
  });
}

// Key against an item's text: the common part, then the shorter text first
// (with kBinPrefixAfter: last).
template <bool NoCase>
inline int CompareKeyText(const char* key, unsigned keyLength, const char* text, unsigned textLength,
                          bool prefixAfter) {
  unsigned n = keyLength < textLength ? keyLength : textLength;
  int c = NoCase ? CompareNoCaseNA(key, text, (int)n) : std::memcmp(key, text, n);
  if (c || keyLength == textLength) return c;
  return (keyLength < textLength) != prefixAfter ? -1 : 1;
}

// The text key searches, with the compare chosen once for the whole search.
template <class Find>
int WithTextCompare(unsigned flags, Find find) {
  bool prefixAfter = (flags & CTextList::kBinPrefixAfter) != 0;
  if (flags & CTextList::kBinUnsignedOrNoCase)
    return find([=](const char* key, unsigned keyLength, const char* text, unsigned textLength) {
      return CompareKeyText<true>(key, keyLength, text, textLength, prefixAfter);
    });
  return find([=](const char* key, unsigned keyLength, const char* text, unsigned textLength) {
    return CompareKeyText<false>(key, keyLength, text, textLength, prefixAfter);
  });
}

template <class T>
int Sign(T a, T b) {
  return (a > b) - (a < b);
}

// The one converging binary search. compare(item) orders the key against the
// item. Each step halves the range [first, first + len) at first + len / 2.
// A hit returns at once unless kBinFirstEqual or kBinAfterEqual asks to go on
// towards the first equal item or past the last one (kBinFirstEqual wins);
// after such a hit the result is a position even without kBinInsertPos.
template <class Compare>
int BinaryFind(const CTextList& list, int from, int to, unsigned flags, Compare compare) {
  if (from < 0) from = 0;
  if (from >= list.count) return (flags & CTextList::kBinInsertPos) ? list.count : -1;
  int end = (unsigned)to > (unsigned)list.count ? list.count : to;
  if (end <= from) return -1;
  char* const* items = list.items;
  const bool goOn = (flags & (CTextList::kBinFirstEqual | CTextList::kBinAfterEqual)) != 0;
  const int onEqual = (flags & CTextList::kBinFirstEqual) ? -1 : 1;
  bool position = (flags & CTextList::kBinInsertPos) != 0;
  int first = from;
  unsigned len = (unsigned)(end - from);
  while (len) {
    unsigned half = len / 2;
    int mid = first + (int)half;
    if (half > 1) {
      // Fetch the items of both possible next steps while this one compares.
      __builtin_prefetch(items[first + half / 2] - 4);
      __builtin_prefetch(items[mid + 1 + (len - half - 1) / 2] - 4);
    }
    int c = compare(items[mid]);
    if (c == 0) {
      if (!goOn) return mid;
      position = true;
      c = onEqual;
    }
    // No branch on the direction: it is what a search cannot predict.
    unsigned right = 0u - (unsigned)(c > 0);
    first ^= (first ^ (mid + 1)) & (int)right;
    len = half ^ ((half ^ (len - half - 1)) & right);
  }
  return position ? first : -1;
}

// An unsigned key at the start of the extra data, then the text.
template <class Key>
int BinaryFindKeyText(const CTextList& list, Key key, int length, const char* text, int from, int to, unsigned flags) {
  if (!text) length = 0;
  if (length < 0 || list.extraSize < sizeof(Key)) return -1;
  unsigned n = (unsigned)length, extra = list.extraSize;
  return WithTextCompare(flags, [&](auto compare) {
    return BinaryFind(list, from, to, flags, [=](const char* item) {
      int c = Sign(key, Load<Key>(item));
      return c ? c : compare(text, n, item + extra, CTextList::LengthOf(item));
    });
  });
}

bool Fits(unsigned extraSize, unsigned offset, unsigned size) { return (uint64_t)offset + size <= extraSize; }

// A number key at a byte offset of the extra data: signed, or unsigned with
// kBinUnsignedOrNoCase.
template <class Signed, class Unsigned>
int BinaryFindNumber(const CTextList& list, Unsigned key, unsigned offset, int from, int to, unsigned flags) {
  if (!Fits(list.extraSize, offset, sizeof key)) return -1;
  if (flags & CTextList::kBinUnsignedOrNoCase)
    return BinaryFind(list, from, to, flags,
                      [=](const char* item) { return Sign(key, Load<Unsigned>(item + offset)); });
  return BinaryFind(list, from, to, flags,
                    [=](const char* item) { return Sign((Signed)key, Load<Signed>(item + offset)); });
}

}  // namespace

int CTextList::FindString(int length, const char* text, int from, int to, unsigned mode) const {
  if (!text) length = 0;
  unsigned n = (unsigned)length, extra = extraSize;
  return FindLinear(*this, from, to,
                    [=](const char* item) { return LengthOf(item) == n && TextEqual(text, item + extra, n, mode); });
}

int CTextList::FindData32String(uint32_t key, int length, const char* text, int from, int to, unsigned mode) const {
  return FindKeyText(*this, key, length, text, from, to, mode);
}

int CTextList::FindData64String(uint64_t key, int length, const char* text, int from, int to, unsigned mode) const {
  return FindKeyText(*this, key, length, text, from, to, mode);
}

int CTextList::FindData32(uint32_t value, int from, int to) const { return FindData32At(value, 0, from, to); }

int CTextList::FindData64(uint64_t value, int from, int to) const { return FindData64At(value, 0, from, to); }

int CTextList::FindData32At(uint32_t value, unsigned offset, int from, int to) const {
  if (!Fits(extraSize, offset, 4)) return -1;
  return FindLinear(*this, from, to, [=](const char* item) { return Load<uint32_t>(item + offset) == value; });
}

int CTextList::FindData64At(uint64_t value, unsigned offset, int from, int to) const {
  if (!Fits(extraSize, offset, 8)) return -1;
  return FindLinear(*this, from, to, [=](const char* item) { return Load<uint64_t>(item + offset) == value; });
}

int CTextList::BinaryFindString(int length, const char* text, int from, int to, unsigned flags) const {
  if (!text) length = 0;
  if (length < 0) return -1;
  unsigned n = (unsigned)length, extra = extraSize;
  return WithTextCompare(flags, [&](auto compare) {
    return BinaryFind(*this, from, to, flags,
                      [=](const char* item) { return compare(text, n, item + extra, LengthOf(item)); });
  });
}

int CTextList::BinaryFindData32String(uint32_t key, int length, const char* text, int from, int to,
                                      unsigned flags) const {
  return BinaryFindKeyText(*this, key, length, text, from, to, flags);
}

int CTextList::BinaryFindData64String(uint64_t key, int length, const char* text, int from, int to,
                                      unsigned flags) const {
  return BinaryFindKeyText(*this, key, length, text, from, to, flags);
}

int CTextList::BinaryFindData32(uint32_t key, int from, int to, unsigned flags) const {
  return BinaryFindData32At(key, 0, from, to, flags);
}

int CTextList::BinaryFindData64(uint64_t key, int from, int to, unsigned flags) const {
  return BinaryFindData64At(key, 0, from, to, flags);
}

int CTextList::BinaryFindData32At(uint32_t key, unsigned offset, int from, int to, unsigned flags) const {
  return BinaryFindNumber<int32_t>(*this, key, offset, from, to, flags);
}

int CTextList::BinaryFindData64At(uint64_t key, unsigned offset, int from, int to, unsigned flags) const {
  return BinaryFindNumber<int64_t>(*this, key, offset, from, to, flags);
}

int CTextList::BinaryFindDataWith(const void* key, int from, int to, unsigned flags, ItemKeyCompare compare) const {
  if (!compare) return -1;
  return BinaryFind(*this, from, to, flags, [=](const char* item) { return compare(key, item); });
}

int CTextList::BinaryFindWith(void* context, const void* key, int from, int to, unsigned flags,
                              ItemKeyContextCompare compare) const {
  if (!compare) return -1;
  return BinaryFind(*this, from, to, flags, [=](const char* item) { return compare(key, item, context); });
}

int CTextList::BinaryFindTextWith(const char* key, int from, int to, unsigned flags, TextCompare compare) const {
  if (!compare) return -1;
  unsigned extra = extraSize;
  return BinaryFind(*this, from, to, flags, [=](const char* item) { return compare(key, item + extra); });
}

int CTextList::BinaryFindTextLenWith(int keyLength, const char* key, int from, int to, unsigned flags,
                                     TextLenCompare compare) const {
  if (keyLength < 0 || !compare) return -1;
  unsigned extra = extraSize;
  return BinaryFind(*this, from, to, flags, [=](const char* item) {
    unsigned length = LengthOf(item);
    unsigned n = (unsigned)keyLength < length ? (unsigned)keyLength : length;
    int c = compare(key, item + extra, (int)n);
    if (c || (unsigned)keyLength == length) return c;
    return (unsigned)keyLength > length ? -1 : 1;  // the longer text is before the shorter
  });
}
