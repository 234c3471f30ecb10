// What a browser pane of Ostrova.exe shows, read from outside: the cells of
// its entry list, the names in its key tree, the path in its combo box.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <string>
#include <vector>

// Reads the tree-lists of one pane; TVM_ pointers go through memory inside
// the program.
class PaneReader {
 public:
  PaneReader(HANDLE process, HWND pane);

  HWND Tree() const;
  HWND List() const;
  HWND Combo() const;

  // The text of a cell of an item, or of the item itself in column 0.
  std::string ItemText(HWND ctrl, HTREEITEM item, int column = 0) const;
  int RowCount() const;
  HTREEITEM RowItem(int row) const;
  // The row of the entry with this name, or -1.
  int RowNamed(const std::string& name) const;
  // The row's rectangle in the list's client area (empty when not shown).
  RECT RowRect(int row) const;
  // "name|type|data" per row.
  std::vector<std::string> Rows() const;
  // Column 0 of every row, joined by ",".
  std::string Names() const;
  // Rows whose item is selected, joined by ",".
  std::string SelectedNames() const;
  // Names of the children of a tree item, joined by ",".
  std::string Children(HTREEITEM parent) const;
  // The tree item with this name below parent (nullptr for the roots).
  HTREEITEM ChildNamed(HTREEITEM parent, const std::string& name) const;
  // WM_GETTEXT: CB_GETLBTEXT loses characters across processes.
  std::string ComboText() const;
  bool ButtonEnabled(int id) const;

 private:
  HANDLE m_process;
  HWND m_pane;
};
