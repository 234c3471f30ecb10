#include "mfc/winapp.h"

#include <ole2.h>

#include <cstring>

#include "mfc/afxres.h"
#include "mfc/doctemplate.h"
#include "mfc/globals.h"
#include "mfc/resstring.h"
#include "mfc/threadstate.h"
#include "mfc/wnd.h"

namespace {
CWinApp* g_pApp = nullptr;
bool g_bOleInited = false;
DWORD g_dwOleOnFirstUse = 0;  // the thread that gets OLE at its first use

char* CopyText(const char* psz) {
  if (!psz) return nullptr;
  size_t n = std::strlen(psz) + 1;
  char* p = new char[n];
  std::memcpy(p, psz, n);
  return p;
}
}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

// clang-format off
BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()
// clang-format on

CWinApp::CWinApp(const char* pszAppName) {
  m_pszAppName = m_pszOwnedAppName = CopyText(pszAppName);
  g_pApp = this;
  AfxSetAppNames(this);
  // The application object is the thread object of the thread that makes it.
  m_hThread = ::GetCurrentThread();
  m_nThreadID = ::GetCurrentThreadId();
  m_bAutoDelete = FALSE;
  AfxGetThreadState()->m_pCurrentWinThread = this;
}

CWinApp::~CWinApp() {
  for (CDocTemplate* pTemplate : m_templates) delete pTemplate;
  if (g_pApp == this) g_pApp = nullptr;
  if (AfxGetAppNames() == this) AfxSetAppNames(nullptr);
  delete[] m_pszOwnedAppName;
  delete[] m_pszOwnedRegistryKey;
  delete[] m_pszOwnedProfileName;
  delete[] m_pszOwnedExeName;
}

void CWinApp::SetOwned(const char*& rpsz, char*& rpOwned, const char* pszNew) {
  char* p = CopyText(pszNew);
  delete[] rpOwned;
  rpsz = rpOwned = p;
}

void CWinApp::SetRegistryKey(const char* pszRegistryKey) {
  SetOwned(m_pszRegistryKey, m_pszOwnedRegistryKey, pszRegistryKey);
  SetOwned(m_pszProfileName, m_pszOwnedProfileName, m_pszAppName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  CString strKey;
  AfxLoadString(strKey, nIDRegistryKey);
  SetRegistryKey(strKey);
}

int CWinApp::Run() {
  // Without a main window nothing could ever end the loop.
  if (!m_pMainWnd) AfxPostQuitMessage(0);
  return CWinThread::Run();
}

int CWinApp::ExitInstance() {
  SaveStdProfileSettings();
  AfxOleTerm();
  return CWinThread::ExitInstance();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (pTemplate) m_templates.push_back(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName) {
  if (m_templates.empty()) return nullptr;
  return m_templates.front()->OpenDocumentFile(lpszFileName);
}

BOOL CWinApp::SaveAllModified() {
  for (CDocTemplate* pTemplate : m_templates)
    if (!pTemplate->SaveAllModified()) return FALSE;
  return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
  for (CDocTemplate* pTemplate : m_templates) pTemplate->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew() {
  if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

CWinApp* AfxGetApp() { return g_pApp; }

BOOL AfxOleInit() {
  if (g_bOleInited) return TRUE;
  if (FAILED(::OleInitialize(nullptr))) return FALSE;
  g_bOleInited = true;
  return TRUE;
}

void AfxOleTerm() {
  if (g_bOleInited) ::OleUninitialize();
  g_bOleInited = false;
  g_dwOleOnFirstUse = 0;
}

void AfxOleInitOnFirstUse() { g_dwOleOnFirstUse = ::GetCurrentThreadId(); }

void AfxOleNeeded() {
  if (!g_dwOleOnFirstUse || g_dwOleOnFirstUse != ::GetCurrentThreadId()) return;
  g_dwOleOnFirstUse = 0;
  AfxOleInit();
}

void AfxEnableControlContainer() {}
