#include "ui/dialogs/choiceitems.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

int CChoiceItems::Insert(int index, DWORD data, LPCSTR text, BOOL checked) {
  if (!text) text = "";
  if (m_count == m_capacity) {
    int capacity = m_capacity ? m_capacity + m_capacity / 2 : 16;
    Item** items = new (std::nothrow) Item*[capacity];
    if (!items) return -1;
    if (m_count) memcpy(items, m_items, m_count * sizeof(Item*));
    delete[] m_items;
    m_items = items;
    m_capacity = capacity;
  }
  if (index == kInsertSortedByText) {
    for (index = 0; index < m_count && lstrcmpiA(m_items[index]->text, text) <= 0;) ++index;
  } else if (index == kInsertSortedByData) {
    for (index = 0; index < m_count && m_items[index]->data <= data;) ++index;
  } else if (index < 0 || index > m_count) {
    index = m_count;
  }
  Item* item = NewItem(data, checked, text);
  if (!item) return -1;
  memmove(m_items + index + 1, m_items + index, (m_count - index) * sizeof(Item*));
  m_items[index] = item;
  ++m_count;
  return index;
}

CChoiceItems::Item* CChoiceItems::NewItem(DWORD data, BOOL checked, LPCSTR text) {
  size_t len = strlen(text);
  Item* item = (Item*)new (std::nothrow) char[offsetof(Item, text) + len + 1];
  if (!item) return nullptr;
  item->data = data;
  item->check = checked ? 1 : 0;
  memcpy(item->text, text, len + 1);
  return item;
}

bool CChoiceItems::Remove(int n) {
  if (!Valid(n)) return false;
  delete[](char*) m_items[n];
  memmove(m_items + n, m_items + n + 1, (m_count - n - 1) * sizeof(Item*));
  --m_count;
  return true;
}

bool CChoiceItems::SetText(int n, LPCSTR text) {
  if (!Valid(n)) return false;
  Item* item = NewItem(m_items[n]->data, m_items[n]->check, text ? text : "");
  if (!item) return false;
  delete[](char*) m_items[n];
  m_items[n] = item;
  return true;
}

void CChoiceItems::DeleteAll() {
  for (int i = 0; i < m_count; ++i) delete[](char*) m_items[i];
  delete[] m_items;
  m_items = nullptr;
  m_count = m_capacity = 0;
}

DWORD CChoiceItems::SetData(int n, DWORD data) {
  if (!Valid(n)) return 0;
  DWORD old = m_items[n]->data;
  m_items[n]->data = data;
  return old;
}

int CChoiceItems::Find(LPCSTR text, int mode) const {
  if (!text) return -1;
  for (int i = 0; i < m_count; ++i) {
    if ((mode ? lstrcmpiA(m_items[i]->text, text) : strcmp(m_items[i]->text, text)) == 0) return i;
  }
  return -1;
}

void CChoiceItems::Sort(Compare compare) {
  if (!compare || m_count < 2) return;
  std::stable_sort(m_items, m_items + m_count,
                   [compare](const Item* a, const Item* b) { return compare(a->data, a->text, b->data, b->text) < 0; });
}

int CopyDialogText(LPCSTR text, LPSTR buffer, int size) {
  if (size < 1 || !buffer) return 0;
  if (!text) text = "";
  int n = (int)std::min(strlen(text), (size_t)size - 1);
  memcpy(buffer, text, n);
  buffer[n] = 0;
  return n;
}
