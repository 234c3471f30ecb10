#include "app/browser/combopaths.h"

#include <commctrl.h>

#include <cstring>

#include "app/browser/treewndids.h"

namespace {

bool SameNoCase(const char* a, int na, const char* b, int nb) {
  return na == nb && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, na, b, nb) == CSTR_EQUAL;
}

}  // namespace

BOOL ComboPaths::InsertItem(HWND combo, int index, const char* path, int image) {
  if (!combo) return FALSE;
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(path);
  if (image != kNoImage) {
    item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iImage = item.iSelectedImage = image;
  }
  return SendMessageA(combo, CBEM_INSERTITEMA, 0, (LPARAM)&item) >= 0;
}

BOOL ComboPaths::SetEditText(HWND combo, const char* path, int length, int image) {
  if (!combo) return FALSE;
  char text[kTreeWndPathBuffer];
  if (length < 0 || length >= (int)sizeof text) length = (int)strlen(path);
  if (length >= (int)sizeof text) length = sizeof text - 1;
  memcpy(text, path, length);
  text[length] = 0;
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT;
  item.iItem = -1;
  item.pszText = text;
  if (image != kNoImage) {
    item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iImage = item.iSelectedImage = image;
  }
  return (BOOL)SendMessageA(combo, CBEM_SETITEMA, 0, (LPARAM)&item);
}

int ComboPaths::ItemText(HWND combo, int index, char* buffer, int size) {
  if (!combo || size <= 0) return -1;
  buffer[0] = 0;
  if (index < 0) return GetWindowTextA((HWND)SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0), buffer, size);
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = buffer;
  item.cchTextMax = size;
  if (!SendMessageA(combo, CBEM_GETITEMA, 0, (LPARAM)&item)) return -1;
  return (int)strlen(buffer);
}

void ComboPaths::PutFirst(HWND combo, const char* path, int length, int image, int keep) {
  if (!combo) return;
  int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
  char item[kTreeWndPathBuffer];
  for (int i = count - 1; i >= 0; --i) {
    int k = ItemText(combo, i, item, sizeof item);
    if (k > 0 && item[k - 1] == '\\') item[--k] = 0;
    if (i >= keep || SameNoCase(item, k, path, length)) SendMessageA(combo, CBEM_DELETEITEM, i, 0);
  }
  InsertItem(combo, 0, path, image);
}

int ComboPaths::FillCombo(HWND combo, ImageOf image, void* context) {
  if (!combo || SendMessageA(combo, CB_GETCOUNT, 0, 0) != 0) return 0;
  int inserted = 0;
  for (int i = 0; i < m_paths.count; ++i) {
    const char* path = m_paths.TextAt(i);
    if (InsertItem(combo, i, path, image ? image(context, path) : kNoImage)) ++inserted;
  }
  return inserted;
}

int ComboPaths::Collect(HWND combo) {
  if (!combo) return -1;
  m_paths.RemoveAll();
  int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
  char text[kTreeWndPathBuffer];
  for (int i = 0; i < count; ++i)
    if (ItemText(combo, i, text, sizeof text) > 0) m_paths.InsertString(text);
  return m_paths.count;
}
