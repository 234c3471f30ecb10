// A parent window that logs the tree-list's notifications, and a control
// whose items are linked straight into its tables.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "controls/treelist/treelist_data.h"

struct TLNote {
  int code;
  NMTREEVIEWA tv;        // tree-view records
  NMTLSCROLLING scroll;  // TLN_SCROLLING
};

class TreeListFixture {
 public:
  explicit TreeListFixture(DWORD style = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                           int width = 200, int height = 160);
  ~TreeListFixture();

  HWND Parent() const { return m_parent; }
  HWND Hwnd() const { return m_hwnd; }
  TreeListData* Data() const { return TreeListGetData(m_hwnd); }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageA(m_hwnd, msg, wp, lp); }

  // Adds an item as the last child of parent (0: a root); rows follow.
  TLHandle Add(TLHandle parent, const char* text = "x", bool expanded = true);
  // Adds n roots.
  void AddRoots(int n);
  void Rebuild();
  void SetTopRow(int top);

  std::vector<TLNote> notes;
  // Runs for each notification before it is logged; its result is returned.
  std::function<LRESULT(NMHDR*)> onNotify;

 private:
  static LRESULT CALLBACK ParentProc(HWND, UINT, WPARAM, LPARAM);
  HWND m_parent = nullptr;
  HWND m_hwnd = nullptr;
};

// Note code of a WM_CONTEXTMENU that reached the parent.
const int kNoteContextMenu = WM_CONTEXTMENU;

// Codes of the notes, in order.
std::vector<int> Codes(const std::vector<TLNote>& notes);

// Inserts a text item with its lParam as the last child of parent.
TLHandle Insert(TreeListFixture& f, TLHandle parent, const char* text, LPARAM param = 0);
