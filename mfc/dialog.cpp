#include "mfc/dialog.h"

#include "mfc/globals.h"
#include "mfc/thread.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = LOWORD((DWORD_PTR)lpszTemplateName);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate) {}

CDialog::~CDialog() {
  // A modeless dialog still open goes with its object.
  if (m_hWnd) DestroyWindow();
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    return pDlg ? pDlg->OnInitDialog() : TRUE;
  }
  return FALSE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  // The dialog manager calls AfxDlgProc, which runs OnInitDialog.
  return Default();
}

BOOL CDialog::OnInitDialog() {
  // Data into the controls; a failure there ends the dialog.
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit) {
  m_lpDialogTemplate = lpDialogTemplate;
  m_lpszTemplateName = nullptr;
  m_hDialogTemplate = nullptr;
  m_lpDialogInit = lpDialogInit;
  m_pParentWnd = pParentWnd;
  return TRUE;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = nullptr;
  m_lpszTemplateName = nullptr;
  m_hDialogTemplate = hDialogTemplate;
  m_pParentWnd = pParentWnd;
  return TRUE;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (!lpDialogTemplate) return FALSE;
  if (!hInst) hInst = AfxGetResourceHandle();
  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (!hWnd) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    // Made and destroyed again (OnInitDialog or a control failed).
    if (m_hWnd) DestroyWindow();
    return FALSE;
  }
  return TRUE;
}

namespace {
LPCDLGTEMPLATE LoadTemplate(LPCSTR lpszTemplateName, HINSTANCE* phInst) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRes = ::FindResourceA(hInst, lpszTemplateName, (LPCSTR)RT_DIALOG);
  if (!hRes) {
    hInst = AfxGetInstanceHandle();
    hRes = ::FindResourceA(hInst, lpszTemplateName, (LPCSTR)RT_DIALOG);
  }
  if (!hRes) return nullptr;
  *phInst = hInst;
  return (LPCDLGTEMPLATE)::LockResource(::LoadResource(hInst, hRes));
}
}  // namespace

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName) && !m_nIDHelp) m_nIDHelp = LOWORD((DWORD_PTR)lpszTemplateName);
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(lpszTemplateName, &hInst);
  return CreateIndirectWith(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit) {
  m_lpDialogInit = lpDialogInit;
  return CreateIndirectWith(lpDialogTemplate, pParentWnd, nullptr);
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd) {
  LPCDLGTEMPLATE lpTemplate = (LPCDLGTEMPLATE)::GlobalLock(hDialogTemplate);
  BOOL ok = CreateIndirectWith(lpTemplate, pParentWnd, nullptr);
  ::GlobalUnlock(hDialogTemplate);
  return ok;
}

BOOL CDialog::CreateIndirectWith(LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (!pParentWnd) pParentWnd = AfxGetMainWnd();
  m_pParentWnd = pParentWnd;
  BOOL ok = CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
  // A modeless dialog has no modal loop to continue.
  m_nFlags &= ~WF_CONTINUEMODAL;
  return ok;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate;
  if (m_lpszTemplateName) {
    lpTemplate = LoadTemplate(m_lpszTemplateName, &hInst);
  } else if (m_hDialogTemplate) {
    lpTemplate = (LPCDLGTEMPLATE)::GlobalLock(m_hDialogTemplate);
  }
  if (!lpTemplate) return -1;

  // The owner: a top-level window, disabled while the dialog runs.
  HWND hWndParent = GetSafeOwner(m_pParentWnd, &m_hWndTop);
  bool bEnableParent = false;
  if (hWndParent && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
    ::EnableWindow(hWndParent, FALSE);
    bEnableParent = true;
  }

  if (CreateDlgIndirect(lpTemplate, CWnd::FromHandle(hWndParent), hInst)) {
    if (m_nFlags & WF_CONTINUEMODAL) {
      DWORD dwFlags = MLF_SHOWONIDLE;
      if (GetStyle() & DS_NOIDLEMSG) dwFlags |= MLF_NOIDLEMSG;
      RunModalLoop(dwFlags);
    }
    if (m_hWnd)
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (bEnableParent) ::EnableWindow(hWndParent, TRUE);
  if (hWndParent && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
  DestroyWindow();
  if (m_hDialogTemplate) ::GlobalUnlock(m_hDialogTemplate);
  m_hWndTop = nullptr;
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
  ::EndDialog(m_hWnd, nResult);
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keyboard and mouse input gets the dialog manager's navigation.
  bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
               (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  if (!input) return FALSE;
  // A child dialog leaves that to its top-level dialog, unless the message
  // is for one of its own controls and the parent has no dialog manager.
  if ((GetStyle() & (WS_CHILD | WS_POPUP)) == WS_CHILD) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  // Commands the dialog does not handle go to the thread (the application).
  if (((UINT)nCode != CN_COMMAND && (UINT)nCode != CN_UPDATE_COMMAND_UI) || nID == 0 || nID >= 0xF000) return FALSE;
  CWinThread* pThread = AfxGetThread();
  return pThread && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
