#include "mfc/globals.h"

#include "mfc/thread.h"
#include "mfc/winapp.h"
#include "mfc/wnd.h"

namespace {
HINSTANCE g_hResource = nullptr;
}  // namespace

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_hResource ? g_hResource : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }

LPCSTR AfxGetAppName() {
  CWinApp* pApp = AfxGetApp();
  return pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
}

CWnd* AfxGetMainWnd() {
  CWinThread* pThread = AfxGetThread();
  if (!pThread) pThread = AfxGetApp();
  return pThread ? pThread->GetMainWnd() : nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
  HWND hOwner = CWnd::GetSafeOwner(nullptr);
  return ::MessageBoxA(hOwner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  char text[1024] = "";
  ::LoadStringA(AfxGetResourceHandle(), nIDPrompt, text, sizeof text);
  return AfxMessageBox(text, nType, nIDHelp);
}

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }
