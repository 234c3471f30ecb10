// The framework's start and end of a program around the application object.
#include <cstring>

#include "mfc/afxres.h"
#include "mfc/resstring.h"
#include "mfc/threadstate.h"
#include "mfc/winapp.h"
#include "mfc/wnd.h"

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (!pApp) return FALSE;
  pApp->m_hInstance = hInstance;
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;

  char module[MAX_PATH] = "";
  ::GetModuleFileNameA(hInstance, module, MAX_PATH);
  const char* base = module;
  for (const char* p = module; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  CString strExe = base;
  int dot = strExe.ReverseFind('.');
  if (dot > 0) strExe = strExe.Left(dot);
  pApp->SetOwned(pApp->m_pszExeName, pApp->m_pszOwnedExeName, strExe);
  if (!pApp->m_pszAppName) {
    CString strTitle;
    if (!AfxLoadString(strTitle, AFX_IDS_APP_TITLE)) strTitle = strExe;
    pApp->SetOwned(pApp->m_pszAppName, pApp->m_pszOwnedAppName, strTitle);
  }
  // Without a registry key the settings go to <exe name>.INI.
  if (!pApp->m_pszProfileName) pApp->SetOwned(pApp->m_pszProfileName, pApp->m_pszOwnedProfileName, strExe + ".INI");
  return TRUE;
}

void AfxWinTerm() {
  // The temporary objects of the main thread go with the program.
  AfxLockTempMaps();
  AfxUnlockTempMaps(TRUE);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  int nReturnCode = -1;
  CWinApp* pApp = AfxGetApp();
  if (pApp && AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) && pApp->InitApplication()) {
    if (pApp->InitInstance()) {
      nReturnCode = pApp->Run();
    } else {
      if (pApp->m_pMainWnd) pApp->m_pMainWnd->DestroyWindow();
      nReturnCode = pApp->ExitInstance();
    }
  }
  AfxWinTerm();
  return nReturnCode;
}
