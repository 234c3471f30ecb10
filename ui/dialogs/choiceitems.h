// The items of the choice dialogs: heap blocks {data word, check byte,
// text} behind an array of pointers, owned by the store.
#pragma once

#include <windows.h>

// Insert positions besides 0..count.
const int kInsertSortedByText = -12345;  // before the first text greater (no case)
const int kInsertSortedByData = -12346;  // before the first data word greater

class CChoiceItems {
 public:
  CChoiceItems() = default;
  ~CChoiceItems() { DeleteAll(); }
  CChoiceItems(const CChoiceItems&) = delete;
  CChoiceItems& operator=(const CChoiceItems&) = delete;

  int Count() const { return m_count; }
  // index 0..count, a sort marker, or anything else to append; returns the
  // new item's index, -1 without memory.
  int Insert(int index, DWORD data, LPCSTR text, BOOL checked = FALSE);
  void DeleteAll();
  // Frees item n and closes the gap; false out of range.
  bool Remove(int n);
  // Replaces the text of item n, keeping its data word and check byte;
  // false out of range or without memory.
  bool SetText(int n, LPCSTR text);

  // Getters give NULL or 0 out of range; setters then do nothing.
  LPCSTR Text(int n) const { return Valid(n) ? m_items[n]->text : nullptr; }
  DWORD Data(int n) const { return Valid(n) ? m_items[n]->data : 0; }
  DWORD SetData(int n, DWORD data);  // the old word
  BOOL Check(int n) const { return Valid(n) ? m_items[n]->check : FALSE; }
  void SetCheck(int n, BOOL checked) {
    if (Valid(n)) m_items[n]->check = checked ? 1 : 0;
  }
  // mode 0 exact, else without regard to case; -1 when none.
  int Find(LPCSTR text, int mode) const;
  // A stable sort by a comparison of two items' (data, text).
  typedef int (*Compare)(DWORD data1, LPCSTR text1, DWORD data2, LPCSTR text2);
  void Sort(Compare compare);
  bool Valid(int n) const { return n >= 0 && n < m_count; }

 private:
  struct Item {
    DWORD data;
    BYTE check;
    char text[1];
  };
  static Item* NewItem(DWORD data, BOOL checked, LPCSTR text);
  Item** m_items = nullptr;
  int m_count = 0;
  int m_capacity = 0;
};

// Copies text into buffer: nothing and 0 for a size below 1, else at most
// size - 1 characters, terminated; the number copied.
int CopyDialogText(LPCSTR text, LPSTR buffer, int size);
