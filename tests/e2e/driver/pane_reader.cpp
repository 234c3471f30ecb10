#include "e2e/driver/pane_reader.h"

#include <commctrl.h>

#include "app/browser/treewndids.h"
#include "controls/treelist/treelist.h"
#include "e2e/driver/ostrova_process.h"

PaneReader::PaneReader(HANDLE process, HWND pane) : m_process(process), m_pane(pane) {}

HWND PaneReader::Tree() const { return GetDlgItem(m_pane, IDC_TREEWND_TREE); }
HWND PaneReader::List() const { return GetDlgItem(m_pane, IDC_TREEWND_LIST); }
HWND PaneReader::Combo() const { return GetDlgItem(m_pane, IDC_TREEWND_COMBO); }

std::string PaneReader::ItemText(HWND ctrl, HTREEITEM item, int column) const {
  const size_t textSize = 1100;
  RemoteBuffer buf(m_process, sizeof(TVITEMA) + textSize);
  if (!buf.Address() || !item) return "<none>";
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = (char*)buf.Address() + sizeof(TVITEMA);
  tv.cchTextMax = (int)textSize;
  tv.cChildren = column;
  if (!buf.Write(&tv, sizeof tv)) return "<write>";
  if (!SendMessageA(ctrl, TVM_GETITEMA, 0, (LPARAM)buf.Address())) return "<fail>";
  std::vector<char> all(sizeof(TVITEMA) + textSize);
  if (!buf.Read(all.data(), all.size())) return "<read>";
  TVITEMA back;
  memcpy(&back, all.data(), sizeof back);
  // The control may hand back a pointer to its own copy of the text.
  if (back.pszText != tv.pszText) {
    char text[1100] = "";
    SIZE_T got = 0;
    ReadProcessMemory(m_process, back.pszText, text, sizeof text - 1, &got);
    return text;
  }
  all.back() = 0;
  return all.data() + sizeof(TVITEMA);
}

int PaneReader::RowCount() const { return (int)SendMessageA(List(), TLM_GETROWCOUNT, 0, 0); }
HTREEITEM PaneReader::RowItem(int row) const { return (HTREEITEM)SendMessageA(List(), TLM_GETROWITEM, 0, row); }

int PaneReader::RowNamed(const std::string& name) const {
  for (int r = 0, n = RowCount(); r < n; ++r)
    if (ItemText(List(), RowItem(r)) == name) return r;
  return -1;
}

RECT PaneReader::RowRect(int row) const {
  RECT r = {};
  RemoteBuffer buf(m_process, sizeof(RECT));
  HTREEITEM item = RowItem(row);
  // The item handle goes in where the rectangle comes back.
  if (!item || !buf.Write(&item, sizeof item) || !SendMessageA(List(), TVM_GETITEMRECT, FALSE, (LPARAM)buf.Address()) ||
      !buf.Read(&r, sizeof r))
    SetRectEmpty(&r);
  return r;
}

std::vector<std::string> PaneReader::Rows() const {
  std::vector<std::string> rows;
  HWND list = List();
  for (int r = 0, n = RowCount(); r < n; ++r) {
    HTREEITEM item = RowItem(r);
    rows.push_back(ItemText(list, item, 0) + "|" + ItemText(list, item, 1) + "|" + ItemText(list, item, 2));
  }
  return rows;
}

std::string PaneReader::Names() const {
  std::string s;
  for (int r = 0, n = RowCount(); r < n; ++r) s += (r ? "," : "") + ItemText(List(), RowItem(r));
  return s;
}

std::string PaneReader::SelectedNames() const {
  std::string s;
  for (int r = 0, n = RowCount(); r < n; ++r) {
    HTREEITEM item = RowItem(r);
    if (SendMessageA(List(), TVM_GETITEMSTATE, (WPARAM)item, TVIS_SELECTED) & TVIS_SELECTED)
      s += (s.empty() ? "" : ",") + ItemText(List(), item);
  }
  return s;
}

std::string PaneReader::Children(HTREEITEM parent) const {
  HWND tree = Tree();
  std::string s;
  HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, (LPARAM)parent);
  for (; child; child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child))
    s += (s.empty() ? "" : ",") + ItemText(tree, child);
  return s;
}

HTREEITEM PaneReader::ChildNamed(HTREEITEM parent, const std::string& name) const {
  HWND tree = Tree();
  HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, (LPARAM)parent);
  for (; child; child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child))
    if (ItemText(tree, child) == name) return child;
  return nullptr;
}

std::string PaneReader::ComboText() const {
  char text[1100] = "";
  SendMessageA(Combo(), WM_GETTEXT, sizeof text, (LPARAM)text);
  return text;
}

bool PaneReader::ButtonEnabled(int id) const { return IsWindowEnabled(GetDlgItem(m_pane, id)) != FALSE; }
