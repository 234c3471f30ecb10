#include "mfc/filedialog.h"

#include <cstring>

#include "mfc/comdlgslots.h"
#include "mfc/globals.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace {
// The hook of every request: the object is attached to the hook window
// already and runs its OnInitDialog; the rest reaches it as window messages.
UINT_PTR CALLBACK FileDialogHook(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, pWnd);
  return pDlg ? pDlg->OnInitDialog() : TRUE;
}

const char* FileNamePart(const char* pszPath) {
  const char* pszName = pszPath;
  for (const char* p = pszPath; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') pszName = p + 1;
  return pszName;
}
}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter,
                         CWnd* pParentWnd, DWORD dwSize)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
  std::memset(&m_ofn, 0, sizeof m_ofn);
  m_szFileName[0] = 0;
  m_szFileTitle[0] = 0;
  m_ofn.lStructSize = dwSize ? dwSize : sizeof m_ofn;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
  m_ofn.lpstrDefExt = lpszDefExt;
  m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
  if (dwFlags & OFN_ENABLETEMPLATE) m_ofn.Flags &= ~OFN_ENABLESIZING;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpfnHook = FileDialogHook;
  if (lpszFileName) lstrcpynA(m_szFileName, lpszFileName, sizeof m_szFileName);
  if (lpszFilter) {
    // "Text|*.txt|All|*.*|" becomes "Text\0*.txt\0All\0*.*\0\0"; the second
    // NUL is there even when the last '|' is missing.
    m_strFilter = lpszFilter;
    int n = m_strFilter.GetLength();
    char* p = m_strFilter.GetBuffer(n + 1);
    for (int i = 0; i < n; ++i)
      if (p[i] == '|') p[i] = 0;
    if (n == 0 || p[n - 1] != 0) p[n++] = 0;
    m_strFilter.ReleaseBuffer(n);
    m_ofn.lpstrFilter = m_strFilter;
  }
}

INT_PTR CFileDialog::DoModal() {
  if (m_hWnd) return -1;  // already showing
  HWND hWndFocus = ::GetFocus();
  m_ofn.hwndOwner = GetSafeOwner(m_pParentWnd, &m_hWndTop);
  // Attached to the hook child dialog as the system creates it.
  AfxHookChildDialogCreate(this);
  BOOL bResult = m_bOpenFileDialog ? AfxComdlg().getOpenFileName(&m_ofn) : AfxComdlg().getSaveFileName(&m_ofn);
  AfxHookChildDialogCreate(nullptr);
  // The window is gone; an object that took it over may have left its
  // handle here.
  if (m_hWnd) {
    if (FromHandlePermanent(m_hWnd) == this) Detach();
    m_hWnd = nullptr;
  }
  m_hWndTop = nullptr;
  if (hWndFocus && ::IsWindow(hWndFocus)) ::SetFocus(hWndFocus);
  return bResult ? IDOK : IDCANCEL;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
  switch (pNMHDR->code) {
    case CDN_INITDONE:
      OnInitDone();
      return TRUE;
    case CDN_SELCHANGE:
      OnFileNameChange();
      return TRUE;
    case CDN_FOLDERCHANGE:
      OnFolderChange();
      return TRUE;
    case CDN_TYPECHANGE:
      OnTypeChange();
      return TRUE;
    case CDN_FILEOK:
      // A dialog answers through DWLP_MSGRESULT too.
      *pResult = OnFileNameOK();
      ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, *pResult);
      return TRUE;
  }
  return CCommonDialog::OnNotify(wParam, lParam, pResult);
}

CString CFileDialog::GetPathName() const {
  if (m_hWnd) {
    char path[MAX_PATH] = "";
    if (::SendMessageA(::GetParent(m_hWnd), CDM_GETFILEPATH, MAX_PATH, (LPARAM)path) > 0) return path;
  }
  return m_ofn.lpstrFile;
}

CString CFileDialog::GetFileName() const { return FileNamePart(GetPathName()); }

CString CFileDialog::GetFileExt() const {
  CString strName = GetFileName();
  int nDot = strName.ReverseFind('.');
  return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const {
  CString strName = GetFileName();
  int nDot = strName.ReverseFind('.');
  return nDot < 0 ? strName : strName.Left(nDot);
}
