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

#include <cstdint>
#include <cstring>

class CString;

class CTextList {
public:
  int count;            // number of items
  int capacity;         // slots in items[]
  unsigned extraSize;   // extra bytes per item; changed only while empty
  int mruLimit;         // leading items the MRU operations look at
  unsigned mruMode;     // FindString mode of the MRU operations
  uintptr_t ownerWord;  // the user's own word; no list operation touches it
  char** items;         // NULL while capacity is 0

  explicit CTextList(unsigned extraSize = 0);
  ~CTextList();
  CTextList(const CTextList&) = delete;
  CTextList& operator=(const CTextList&) = delete;

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

private:
  bool InRange(int index) const { return (unsigned)index < (unsigned)count; }
  int ClampInsert(int index) const { return (unsigned)index > (unsigned)count ? count : index; }
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
