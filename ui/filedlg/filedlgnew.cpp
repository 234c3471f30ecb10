#include "ui/filedlg/filedlgnew.h"

#include <new>

#include "ui/filedlg/filedlg.h"
#include "ui/filedlg/filedlg_state.h"

CFileDialogNew::CFileDialogNew() : CFileDialog(FALSE, nullptr, nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY) {}

CFileDialogNew::~CFileDialogNew() { Release(); }

void CFileDialogNew::Release() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) Detach();
  m_hWnd = nullptr;  // never destroy a window that is not ours
  *GetSuperWndProcAddr() = nullptr;
  m_pWndOld = nullptr;
  if (FileDlg().takenOver) FileDlg().takenOver = nullptr;
}

BOOL CFileDialogNew::TakeOverWindow(HWND window) {
  CWnd* old = FromHandlePermanent(window);
  if (!old || old == this || old->m_hWnd != window) return FALSE;
  Release();  // what is left of an earlier dialog
  old->Detach();
  old->m_hWnd = window;  // the caller's modal run ends on its own object
  Attach(window);
  *GetSuperWndProcAddr() = *old->GetSuperWndProcAddr();
  m_pWndOld = old;
  FileDlg().takenOver = window;
  return TRUE;
}

LRESULT CFileDialogNew::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_pWndOld) return CFileDialog::WindowProc(message, wParam, lParam);
  if (message == WM_NOTIFY) ShowToExtension(wParam, lParam);
  LRESULT result = m_pWndOld->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) Release();
  return result;
}

void CFileDialogNew::ShowToExtension(WPARAM wParam, LPARAM lParam) {
  const NMHDR* hdr = (const NMHDR*)lParam;
  if (!hdr || hdr->code < (UINT)CDN_LAST || hdr->code > (UINT)CDN_FIRST) return;
  // The main dialog holds the file-name field (1152, under Wine 1148).
  HWND target = m_hWnd;
  HWND parent = ::GetParent(m_hWnd);
  bool own = ::GetDlgItem(target, IDC_FILEDLG_FIELD) || ::GetDlgItem(target, IDC_FILEDLG_FIELD_WINE);
  if (!own && parent && (::GetDlgItem(parent, IDC_FILEDLG_FIELD) || ::GetDlgItem(parent, IDC_FILEDLG_FIELD_WINE)))
    target = parent;
  FileDlgDialogProc(target, WM_NOTIFY, wParam, lParam);
}

BOOL CFileDialogNew::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  ShowToExtension(wParam, lParam);
  return CFileDialog::OnNotify(wParam, lParam, pResult);
}

void FileDlgTakeOverHookWindow(HWND hookWindow) {
  FileDlgState& s = FileDlg();
  if (!s.object) s.object = new (std::nothrow) CFileDialogNew;
  if (s.object) s.object->TakeOverWindow(hookWindow);
}

int FileDlgHookCleanup() {
  delete FileDlg().object;
  FileDlg().object = nullptr;
  return 1;
}
