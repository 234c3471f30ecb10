// One or several choices from a list, optionally as a list of check boxes.
#pragma once

#include "base/cstring.h"
#include "mfc/dialog.h"
#include "ui/dialogs/choiceitems.h"

// Modes of CChoiceListDlg.
enum ChoiceListMode {
  kChoiceSingle = 0,    // one selected item, a double-click accepts
  kChoiceMultiple = 1,  // several selected items
  kChoiceOneCheck = 2,  // one checked item
  kChoiceChecks = 3,    // check boxes
};

class CChoiceListDlg : public CDialog {
 public:
  explicit CChoiceListDlg(CWnd* pParent = nullptr);
  ~CChoiceListDlg() override;

  void SetTitle(LPCSTR title) { m_strTitle = title; }
  void SetPrompt(LPCSTR prompt) { m_strPrompt = prompt; }
  const CString& GetText() const { return m_strResult; }
  int CopyResultText(LPSTR buffer, int size) const { return CopyDialogText(m_strResult, buffer, size); }

  LPCSTR GetItemText(int n) const { return m_items.Text(n); }
  int CopyItemText(int n, LPSTR buffer, int size) const { return CopyDialogText(m_items.Text(n), buffer, size); }
  DWORD GetItemData(int n) const { return m_items.Data(n); }
  DWORD SetItemData(int n, DWORD data) { return m_items.SetData(n, data); }
  BOOL GetItemCheck(int n) const { return m_items.Check(n); }
  void SetItemCheck(int n, BOOL checked) { m_items.SetCheck(n, checked); }
  int FindItem(LPCSTR text, int mode);
  int InsertItem(int index, DWORD data, LPCSTR text, BOOL checked = FALSE) {
    return m_items.Insert(index, data, text, checked);
  }
  void SortItems(CChoiceItems::Compare compare) { m_items.Sort(compare); }
  static int CompareItemTexts(DWORD, LPCSTR text1, DWORD, LPCSTR text2);
  static int CompareItemData(DWORD data1, LPCSTR, DWORD data2, LPCSTR);
  void DeleteAllItems() { m_items.DeleteAll(); }
  int GetItemCount() const { return m_items.Count(); }

  // Forgets the position remembered for every list dialog of the process.
  static void ResetRememberedPosition();

  CString m_strResult, m_strTitle, m_strPrompt;
  DWORD m_dwResultData = 0;
  int m_nMode = kChoiceSingle;
  BOOL m_bCancel = TRUE;
  int m_nListId = 0;
  int m_nSelection = -1;     // <= -2: none
  LONG m_nWidthChange = 0;   // nominal units of 347
  LONG m_nHeightChange = 0;  // nominal units of 301
  BOOL m_bFocus = FALSE;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnListDblClk(UINT nID);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDis);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMis);
  afx_msg void OnMenuButton();
  afx_msg void OnSelectAll();
  afx_msg void OnDeselectAll();
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
  DECLARE_MESSAGE_MAP()

  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void SetAllChecks(BOOL checked);
  void RememberPlacement();
  void RepaintItem(int n);
  HWND List() const { return ::GetDlgItem(m_hWnd, m_nListId); }
  bool IsCheckList() const { return m_nMode >= kChoiceOneCheck; }

  CChoiceItems m_items;
  WNDPROC m_pfnListProc = nullptr;
  // Margins of the list (left, top, right, bottom) and of the buttons
  // below it, recorded for sizing.
  RECT m_listMargins = {};
  int m_nButtonsBottom = 0;
  SIZE m_minSize = {};
  SIZE m_rememberedSize = {};  // of this object's last run, 0 none
  BOOL m_bInWheel = FALSE;
  // Type-ahead.
  char m_typed[17] = {};
  int m_nTyped = 0;
  DWORD m_dwLastKey = 0;
};
