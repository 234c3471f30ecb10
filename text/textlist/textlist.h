// CTextList: an ordered list of counted 8-bit texts, each carrying a fixed
// number of caller-defined extra bytes. Callers read count, items and the
// length word in front of each item directly, so the field layout is fixed.
//
// An item is one heap block: [uint32 length][extraSize bytes][text][NUL].
// The item pointer (what items[] holds) points at the extra data; the text
// starts extraSize bytes behind it and may hold NULs when added with a length.
//
// Insert positions are clamped to count as unsigned numbers (-1 appends);
// read, replace and remove indexes must be below count (unsigned).
// Buffers handed to the caller (GetStringAlloc, the joins, the pops) come from
// new[] and are released with delete[].
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

class CString;

class CTextList {
 public:
  // Comparators: negative, 0 or positive as the first belongs before, with or
  // after the second. None may change the list.
  typedef int (*ListCompare)(const CTextList* list, int i, int j);
  typedef int (*DataCompare)(void* context, const void* a, const void* b);
  typedef int (*TextCompare)(const char* a, const char* b);
  typedef int (*ItemKeyCompare)(const void* key, const char* item);
  typedef int (*ItemKeyContextCompare)(const void* key, const char* item, void* context);
  typedef int (*TextLenCompare)(const char* key, const char* text, int n);

  // Find modes of the linear text searches (any other nonzero mode: caseless).
  enum { kFindExact = 0, kFindNoCase = 1, kFindFastNoCase = 0x12345678 };
  // Flags of the binary searches.
  enum {
    kBinUnsignedOrNoCase = 1,  // text keys: caseless; number keys: unsigned
    kBinFirstEqual = 2,        // the first of equal items
    kBinAfterEqual = 4,        // the index behind the last equal item
    kBinInsertPos = 8,         // a miss gives the insertion point, not -1
    kBinPrefixAfter = 16       // a key that is a prefix of an item's text sorts after it
  };

  int count;            // number of items
  int capacity;         // slots in items[]
  unsigned extraSize;   // extra bytes per item; changed only while empty
  int mruLimit;         // leading items the MRU operations look at
  unsigned mruMode;     // FindString mode of the MRU operations
  uintptr_t ownerWord;  // the user's own word; no list operation touches it
  char** items;         // NULL while capacity is 0

  explicit CTextList(unsigned extraSize = 0);
  ~CTextList();
  // No implicit copies: they would share (and twice free) the item blocks.
  CTextList(const CTextList&) = delete;
  // Copies the other list's items, extra size, MRU settings and owner word.
  CTextList& operator=(const CTextList& other);

  // Reading an item without copying.
  static unsigned LengthOf(const char* item) { return reinterpret_cast<const uint32_t*>(item)[-1]; }
  const char* TextAt(int i) const { return items[i] + extraSize; }
  unsigned LengthAt(int i) const { return LengthOf(items[i]); }

  // A free-standing item block (text NULL: empty; extra NULL: zeroed extra
  // bytes). A negative length gives NULL. FreeItem ignores NULL.
  static char* NewItem(int length, const char* text, unsigned extraSize, const void* extra);
  static void FreeItem(char* item);

  // Inserting: each returns the index of the (first) new item, or -1.
  int InsertItemPtr(char* item, int index);
  int InsertString(const char* text, int index = -1, const void* extra = nullptr);
  int InsertStringLen(int length, const char* text, int index = -1, const void* extra = nullptr);
  int InsertFrom(const CTextList* other, int index, int from, int to);
  int AddSplit(char separator, const char* text, int index = -1, const void* extra = nullptr);
  int AddSplitN(char separator, int n, const char* text, int index = -1, const void* extra = nullptr);

  // Replacing and reading.
  int SetString(const char* text, int index, const void* extra = nullptr);
  int SetStringLen(int length, const char* text, int index, const void* extra = nullptr);
  void Swap(int i, int j);
  int GetStringAlloc(int index, char** out) const;
  int GetString(int index, char* buffer, int size) const;
  char* GetData(int index, void* buffer) const;
  char* SetData(int index, const void* data);

  // Extra-data fields: store the value, return the previous one; 0 when the
  // index is out of range or the extra data is too small.
  uint8_t SetData8(int index, uint8_t value) { return SetDataAt(index, value, 0); }
  uint16_t SetData16(int index, uint16_t value) { return SetDataAt(index, value, 0); }
  uint32_t SetData32(int index, uint32_t value) { return SetDataAt(index, value, 0); }
  uint32_t SetData32Alt(int index, uint32_t value) { return SetDataAt(index, value, 0); }
  uint64_t SetData64(int index, uint64_t value) { return SetDataAt(index, value, 0); }
  uint8_t SetData8At(int index, uint8_t value, unsigned k) { return SetDataAt(index, value, k); }
  uint16_t SetData16At(int index, uint16_t value, unsigned k) { return SetDataAt(index, value, k); }
  uint32_t SetData32At(int index, uint32_t value, unsigned k) { return SetDataAt(index, value, k); }
  uint64_t SetData64At(int index, uint64_t value, unsigned k) { return SetDataAt(index, value, k); }

  // Removing.
  char* DetachAt(int index);
  int RemoveAt(int index);
  int RemoveRange(int from, int to);
  int RemoveAll();

  // Linear searches over from..to-1 (from below 0 counts as 0, to beyond
  // count as count): the index of the first match, or -1. The data keys are
  // the first 4 or 8 extra bytes, or those at a byte offset.
  int FindString(int length, const char* text, int from = 0, int to = -1, unsigned mode = kFindExact) const;
  int FindData32String(uint32_t key, int length, const char* text, int from, int to, unsigned mode) const;
  int FindData64String(uint64_t key, int length, const char* text, int from, int to, unsigned mode) const;
  int FindData32(uint32_t value, int from = 0, int to = -1) const;
  int FindData64(uint64_t value, int from = 0, int to = -1) const;
  int FindData32At(uint32_t value, unsigned offset, int from = 0, int to = -1) const;
  int FindData64At(uint64_t value, unsigned offset, int from = 0, int to = -1) const;

  // Binary searches over a range sorted in the key's order; the result is an
  // index, -1, or with kBinInsertPos the insertion point.
  int BinaryFindString(int length, const char* text, int from, int to, unsigned flags) const;
  int BinaryFindData32String(uint32_t key, int length, const char* text, int from, int to, unsigned flags) const;
  int BinaryFindData64String(uint64_t key, int length, const char* text, int from, int to, unsigned flags) const;
  int BinaryFindData32(uint32_t key, int from, int to, unsigned flags) const;
  int BinaryFindData64(uint64_t key, int from, int to, unsigned flags) const;
  int BinaryFindData32At(uint32_t key, unsigned offset, int from, int to, unsigned flags) const;
  int BinaryFindData64At(uint64_t key, unsigned offset, int from, int to, unsigned flags) const;
  int BinaryFindDataWith(const void* key, int from, int to, unsigned flags, ItemKeyCompare compare) const;
  int BinaryFindWith(void* context, const void* key, int from, int to, unsigned flags,
                     ItemKeyContextCompare compare) const;
  int BinaryFindTextWith(const char* key, int from, int to, unsigned flags, TextCompare compare) const;
  // compare(key, text, n) over the shorter length; on a tie the longer text
  // is before the shorter one.
  int BinaryFindTextLenWith(int keyLength, const char* key, int from, int to, unsigned flags,
                            TextLenCompare compare) const;

  // Ready list comparators. Key comparators read the first 4 or 8 extra bytes
  // and need that much extra data.
  static int CompareText(const CTextList* list, int i, int j);
  static int CompareNoCase(const CTextList* list, int i, int j);
  static int CompareInt32(const CTextList* list, int i, int j);
  static int CompareInt32Text(const CTextList* list, int i, int j);
  static int CompareInt32TextNoCase(const CTextList* list, int i, int j);
  static int CompareInt64(const CTextList* list, int i, int j);
  static int CompareInt64Text(const CTextList* list, int i, int j);
  static int CompareInt64TextNoCase(const CTextList* list, int i, int j);
  static int CompareUInt32(const CTextList* list, int i, int j);
  static int CompareUInt32Text(const CTextList* list, int i, int j);
  static int CompareUInt32TextNoCase(const CTextList* list, int i, int j);
  static int CompareUInt64(const CTextList* list, int i, int j);
  static int CompareUInt64Text(const CTextList* list, int i, int j);
  static int CompareUInt64TextNoCase(const CTextList* list, int i, int j);
  static int CompareLength(const CTextList* list, int i, int j);
  static int CompareLengthText(const CTextList* list, int i, int j);
  static int CompareLengthTextNoCase(const CTextList* list, int i, int j);

  // Sorting moves item pointers only and is not stable. Descending (nonzero)
  // reverses the comparator's sign.
  void Sort(int from, int to, ListCompare compare, int descending = 0);
  void SortByDataWith(DataCompare compare, void* context, int offset, int from, int to, int descending = 0);
  void SortByTextWith(TextCompare compare, int from, int to, int descending = 0);

  // Whole-list operations over from..to-1.
  void MakeLower(int from = 0, int to = -1);  // 'A'-'Z' only
  void MakeUpper(int from = 0, int to = -1);  // 'a'-'z' only
  void TrimLeft(int from = 0, int to = -1);   // spaces, tabs, line breaks
  void TrimRight(int from = 0, int to = -1);
  int MoveItem(int fromIndex, int toIndex);  // -1 means the last item

  // Joins. These clamp to with a signed compare: a negative to is an empty
  // range. Buffers come from new[].
  int JoinMultiString(int from, int to, char** out) const;
  int JoinWithSeparator(int from, int to, char** out, char separator) const;
  int JoinIntoString(int from, int to, CString& str, char separator) const;
  int JoinLines(int from, int to, char** out, int maxSize, int perLine) const;

  int ExtraSize(int n);
  int SetMruLimit(int limit, unsigned mode);
  int MruTouch(const char* text);

  int PopLastAlloc(char** out, void* extra);
  int PopLast(int size, char* buffer, void* extra);
  int PopFirstAlloc(char** out, void* extra);
  int PopFirst(int size, char* buffer, void* extra);

  int AppendToItem(const char* text, int index, const void* extra = nullptr);
  int AppendToItemLen(int length, const char* text, int index, const void* extra = nullptr);

  // Formatted adding through the library's formatter (text/formatter.h).
  // The text is taken by its length, so NULs that the format writes stay in
  // the item. The V forms take an argument list; the others call them.
  // Sorted inserts use the search result as the index (flag 8 gives the
  // insertion point, 4 goes behind equal items; a miss without 8 inserts at
  // 0); the key-ordered ones take their key from the extra data (0 without).
  int InsertFormatV(const void* extra, int index, const char* format, va_list args);
  int InsertFormatData(const void* extra, int index, const char* format, ...);
  int InsertFormat(int index, const char* format, ...);
  int AddFormat(const char* format, ...);
  int InsertSortedFormatV(const void* extra, unsigned flags, const char* format, va_list args);
  int InsertSortedFormat(const void* extra, unsigned flags, const char* format, ...);
  int InsertSortedFormat(unsigned flags, const char* format, ...);
  int InsertSortedByDataFormatV(const void* extra, unsigned flags, const char* format, va_list args);
  int InsertSortedByDataFormat(const void* extra, unsigned flags, const char* format, ...);
  int InsertSortedByDataFormat(unsigned flags, const char* format, ...);
  int InsertSortedByData32FormatV(const void* extra, unsigned flags, const char* format, va_list args);
  int InsertSortedByData32Format(const void* extra, unsigned flags, const char* format, ...);
  int InsertSortedByData32Format(unsigned flags, const char* format, ...);
  int InsertSortedByData64FormatV(const void* extra, unsigned flags, const char* format, va_list args);
  int InsertSortedByData64Format(const void* extra, unsigned flags, const char* format, ...);
  int InsertSortedByData64Format(unsigned flags, const char* format, ...);
  int InsertSortedByData64FormatVAlt(const void* extra, unsigned flags, const char* format, va_list args);
  int InsertSortedByData64FormatAlt(const void* extra, unsigned flags, const char* format, ...);
  int InsertSortedByData64FormatAlt(unsigned flags, const char* format, ...);
  // Index at or beyond count: -1 without formatting.
  int SetFormatV(const void* extra, int index, const char* format, va_list args);
  int SetFormatData(const void* extra, int index, const char* format, ...);
  int SetFormat(int index, const char* format, ...);
  int AppendFormatV(const void* extra, int index, const char* format, va_list args);
  int AppendFormatData(const void* extra, int index, const char* format, ...);
  int AppendFormat(int index, const char* format, ...);

 private:
  bool InRange(int index) const { return (unsigned)index < (unsigned)count; }
  // Clamps from..to to the list; false when the range is empty.
  bool ClampRange(int& from, int& to) const {
    if (from < 0) from = 0;
    if ((unsigned)to > (unsigned)count) to = count;
    return from < to;
  }
  int ClampInsert(int index) const { return (unsigned)index > (unsigned)count ? count : index; }
  static char* AllocItem(size_t length, unsigned extraSize);  // length, text room and NUL set
  static void SetLengthOf(char* item, unsigned length) { reinterpret_cast<uint32_t*>(item)[-1] = length; }
  void GrowFor(int n);
  char* Replace(int index, char* item);

  // Field k of type T: bytes k*sizeof(T) .. k*sizeof(T)+sizeof(T)-1.
  template <class T>
  T SetDataAt(int index, T value, unsigned k) {
    uint64_t offset = (uint64_t)k * sizeof(T);
    if (!InRange(index) || offset + sizeof(T) > extraSize) return 0;
    char* p = items[index] + offset;
    T old;
    std::memcpy(&old, p, sizeof(T));
    std::memcpy(p, &value, sizeof(T));
    return old;
  }
};
