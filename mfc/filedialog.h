// CFileDialog: the system's open and save dialogs (8-bit). DoModal calls
// GetOpenFileNameA or GetSaveFileNameA through the layer's dialog slots on
// every call, so that a process-wide extension that replaces a slot sees
// it. The object is attached to the dialog's hook child dialog as the system
// creates it, before any hook sees WM_INITDIALOG; the dialog's notifications
// (CDN_...) reach the object's virtual members.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "mfc/dialog.h"

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)

 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog((LPCSTR) nullptr, pParentWnd) {}
};

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)

 public:
  // lpszFilter: pairs of description and pattern, each followed by '|'.
  explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr, DWORD dwSize = 0);

  // IDOK with the chosen name in m_ofn, else IDCANCEL.
  INT_PTR DoModal() override;

  // The chosen file: while the dialog shows, the one it has selected.
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

  OPENFILENAMEA m_ofn;

 protected:
  // The dialog's notifications; OnFileNameOK answers TRUE to refuse the name.
  virtual BOOL OnFileNameOK() { return FALSE; }
  virtual void OnInitDone() {}
  virtual void OnFileNameChange() {}
  virtual void OnFolderChange() {}
  virtual void OnTypeChange() {}
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  BOOL m_bOpenFileDialog;
  CString m_strFilter;  // '|' turned into NUL, ended by two NULs
  char m_szFileName[MAX_PATH];
  char m_szFileTitle[64];
};
