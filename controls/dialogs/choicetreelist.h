// Rows with several columns in a tree-list, for choosing one or several rows
// or for editing rows and cells in place (the multi-string editor's lines).
#pragma once

#include <string>
#include <vector>

#include "base/cstring.h"
#include "controls/treelist/treelistctrl.h"
#include "mfc/dialog.h"
#include "ui/dialogs/choiceitems.h"

// Mode bits of CChoiceTreeListDlg.
enum ChoiceTreeMode : DWORD {
  kTreeChoiceMulti = 0x01,        // several rows; select all / deselect all
  kTreeChoiceChecks = 0x02,       // check boxes hold the flag bytes
  kTreeChoicePlainRows = 0x04,    // rows neither alternate nor grow taller
  kTreeChoiceNoSort = 0x08,       // a header click does not sort
  kTreeChoiceAddRow = 0x10,       // an empty row at the end adds rows
  kTreeChoiceDelete = 0x20,       // rows may be deleted
  kTreeChoiceDeleteEmpty = 0x40,  // with kTreeChoiceDelete: an emptied row goes
  kTreeChoiceEditing = 0x80,      // set by OnInitDialog: editing in place is on
};

// The multi-string editor's mode.
const DWORD kTreeChoiceLinesMode = kTreeChoiceNoSort | kTreeChoiceAddRow | kTreeChoiceDelete;

class CChoiceTreeListDlg : public CDialog {
 public:
  explicit CChoiceTreeListDlg(CWnd* pParent = nullptr);
  ~CChoiceTreeListDlg() override;

  void SetTitle(LPCSTR title) { m_strTitle = title; }
  void SetPrompt(LPCSTR prompt) { m_strPrompt = prompt; }
  const CString& GetText() const { return m_strResult; }
  int CopyResultText(LPSTR buffer, int size) const { return CopyDialogText(m_strResult, buffer, size); }

  // Only while there are no rows; the column's index, else -1.
  int AddColumn(LPCSTR title, int width, int format = LVCFMT_LEFT, BOOL editable = FALSE);
  int GetColumnCount() const { return (int)m_columns.size(); }
  // index 0..count, a sort marker, or anything else to append.
  int InsertRow(int index, DWORD data, LPCSTR text, BOOL flag = FALSE);
  int GetRowCount() const { return m_rows.Count(); }
  BOOL SetRowText(int n, LPCSTR text) { return m_rows.SetText(n, text); }
  BOOL SetCellText(int n, LPCSTR text, int column);
  LPCSTR GetRowText(int n) const { return m_rows.Text(n); }
  int CopyRowText(int n, LPSTR buffer, int size) const { return CopyDialogText(m_rows.Text(n), buffer, size); }
  // Column 0 is the row text, a missing cell ""; NULL out of range.
  LPCSTR GetCellText(int n, int column) const;
  int CopyCellText(int n, int column, LPSTR buffer, int size) const {
    return CopyDialogText(GetCellText(n, column), buffer, size);
  }
  DWORD GetRowData(int n) const { return m_rows.Data(n); }
  DWORD SetRowData(int n, DWORD data) { return m_rows.SetData(n, data); }
  BOOL GetRowFlag(int n) const { return m_rows.Check(n); }
  void SetRowFlag(int n, BOOL flag) { m_rows.SetCheck(n, flag); }
  // mode 0 exact, else without regard to case; the row becomes the selection.
  int FindRow(LPCSTR text, int mode);
  void SortRows(CChoiceItems::Compare compare);
  static int CompareRowTexts(DWORD, LPCSTR text1, DWORD, LPCSTR text2);
  void DeleteAllRows();

  // The sort order of a header click: two items' texts in the sort column
  // without regard to case, then their rows; negated when descending.
  static int CALLBACK CompareRows(HWND hwnd, HTREEITEM item1, HTREEITEM item2, LPARAM row1, LPARAM row2, LPARAM self);
  // The process-wide sort column (-1 none) and direction.
  static int SortColumn();
  static bool SortDescending();
  // Forgets the remembered position and the sort state of the process.
  static void ResetProcessState();

  CTreeListCtrl* TreeList() const { return m_pTree; }

  CString m_strResult, m_strTitle, m_strPrompt;
  DWORD m_dwResultData = 0;
  DWORD m_dwMode = 0;
  BOOL m_bCancel = TRUE;
  int m_nSelection = -1;             // <= -2: none
  DWORD m_dwNewRowData = (DWORD)-1;  // data word of rows the user adds
  LONG m_nWidthChange = 0;           // nominal units of 347, or 0x1234nnnn
  LONG m_nHeightChange = 0;          // nominal units of 301, or 0x1234nnnn
  BOOL m_bFocus = FALSE;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
  afx_msg void OnExitSizeMove();
  afx_msg void OnSelectAll();
  afx_msg void OnDeselectAll();
  afx_msg void OnCopy();
  afx_msg void OnEditClear();
  afx_msg void OnRClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnDblClk(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnHeaderClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnBeginCellEdit(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  struct Column {
    std::string title;
    int width;
    int format;
    bool editable;
  };
  struct Cell {
    std::string text;
    int row;
    int column;  // 1 or more
  };

  Cell* FindCell(int row, int column);
  const Cell* FindCell(int row, int column) const;
  void FillControl();
  void SetAllItems(bool on);
  // Removes the row of item and the item; its neighbour is selected.
  void DeleteItemRow(HTREEITEM item);
  bool IsRealRow(LPARAM row) const { return row >= 0 && row < m_rows.Count(); }
  bool Checks() const { return (m_dwMode & kTreeChoiceChecks) != 0; }
  bool ItemState(HTREEITEM item) const;
  void RememberPlacement();

  CChoiceItems m_rows;
  std::vector<Column> m_columns;
  std::vector<Cell> m_cells;
  CTreeListCtrl* m_pTree = nullptr;
  // Layout recorded by OnInitDialog: the control's margins (left, top,
  // right, bottom) and the buttons' distance from the bottom.
  RECT m_treeMargins = {};
  int m_nButtonsBottom = 0;
  SIZE m_minSize = {};
  BOOL m_bSizeChanged = FALSE;
  SIZE m_rememberedSize = {};  // of this object's last run, 0 none
  // The item and column of the last right click.
  HTREEITEM m_hClickItem = nullptr;
  int m_nClickColumn = 0;
};
