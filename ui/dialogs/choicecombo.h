// One choice from a combo box, optionally editable.
#pragma once

#include "base/cstring.h"
#include "mfc/dialog.h"
#include "ui/dialogs/choiceitems.h"

class CChoiceComboDlg : public CDialog {
 public:
  explicit CChoiceComboDlg(CWnd* pParent = nullptr);

  void SetTitle(LPCSTR title) { m_strTitle = title; }
  void SetPrompt(LPCSTR prompt) { m_strPrompt = prompt; }
  const CString& GetText() const { return m_strResult; }
  int CopyResultText(LPSTR buffer, int size) const { return CopyDialogText(m_strResult, buffer, size); }

  // index 0..count, kInsertSortedByText/-Data, else appended; a nonzero
  // select makes the item the selection. Returns its index.
  int InsertItem(int index, DWORD data, LPCSTR text, BOOL select = FALSE);
  DWORD GetItemData(int n) const { return m_items.Data(n); }
  DWORD SetItemData(int n, DWORD data) { return m_items.SetData(n, data); }
  // mode 0 exact, else without regard to case; the index becomes the
  // selection. -1 when none.
  int FindItem(LPCSTR text, int mode);
  void DeleteAllItems() { m_items.DeleteAll(); }
  int GetItemCount() const { return m_items.Count(); }

  CString m_strResult, m_strTitle, m_strPrompt;
  DWORD m_dwResultData = 0;
  BOOL m_bEditable = FALSE;  // combo 1133 with an edit, else drop-down list 1132
  BOOL m_bCancel = TRUE;     // FALSE: no Cancel button, Escape accepts
  int m_nSelection = 0;
  LONG m_nWidthChange = 0;  // nominal units of 347, see the prompts
  BOOL m_bFocus = FALSE;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  int ComboId() const;

  CChoiceItems m_items;
};
