#include "mfc/winapp.h"

#include <cstring>

#include "mfc/threadstate.h"

namespace {
CWinApp* g_pApp = nullptr;

char* CopyText(const char* psz) {
  if (!psz) return nullptr;
  size_t n = std::strlen(psz) + 1;
  char* p = new char[n];
  std::memcpy(p, psz, n);
  return p;
}
}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(const char* pszAppName) : m_pszAppName(nullptr), m_pszRegistryKey(nullptr) {
  m_pszAppName = m_pszOwnedAppName = CopyText(pszAppName);
  g_pApp = this;
  // The application object is the thread object of the thread that makes it.
  m_hThread = ::GetCurrentThread();
  m_nThreadID = ::GetCurrentThreadId();
  m_bAutoDelete = FALSE;
  AfxGetThreadState()->m_pCurrentWinThread = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
  delete[] m_pszOwnedAppName;
  delete[] m_pszOwnedRegistryKey;
}

void CWinApp::SetRegistryKey(const char* pszRegistryKey) {
  char* p = CopyText(pszRegistryKey);
  delete[] m_pszOwnedRegistryKey;
  m_pszRegistryKey = m_pszOwnedRegistryKey = p;
}

CWinApp* AfxGetApp() { return g_pApp; }
