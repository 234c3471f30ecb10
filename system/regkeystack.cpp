// CRegKeyStack: the object, opening and closing of levels, level texts.
#include "system/regkeystack.h"

#include <cstring>

#include "base/appnames.h"
#include "base/check.h"

namespace {
char* CopyText(const char* psz) {
  size_t n = std::strlen(psz) + 1;
  char* p = new char[n];
  std::memcpy(p, psz, n);
  return p;
}

// KEY_READ for mode 0, KEY_ALL_ACCESS otherwise, with the caller's access bits.
REGSAM AccessFor(int nMode, DWORD dwFlags) {
  return (nMode == REGKS_READ ? KEY_READ : KEY_ALL_ACCESS) | (dwFlags & REGKS_ACCESS_MASK);
}

bool HasProgramKey(HKEY hRoot) {
  return hRoot == HKEY_CURRENT_USER || hRoot == HKEY_LOCAL_MACHINE || hRoot == HKEY_CURRENT_CONFIG;
}
}  // namespace

CRegKeyStack::CRegKeyStack()
    : m_hKey(nullptr),
      m_hRoot(nullptr),
      m_dwType(0),
      m_cbData(0),
      m_nNameLen(0),
      m_nDepth(-1),
      m_nMode(0),
      m_samAccess(0),
      m_nLastError(0) {
  m_szName[0] = 0;
}

CRegKeyStack::~CRegKeyStack() {
  if (m_nDepth >= 0) CloseAll();
}

// Every operation starts here: the stack holds -1 (closed) to kMaxLevels - 1
// levels, and the current key is the innermost one.
bool CRegKeyStack::CheckOpen() {
  DEBUG_CHECK(m_nDepth >= -1 && m_nDepth < kMaxLevels);
  DEBUG_CHECK(m_hKey == (m_nDepth >= 0 ? m_hKeys[m_nDepth] : nullptr));
  if (m_nDepth < 0) return Fail(REGKS_ERR_CLOSED);
  return true;
}

bool CRegKeyStack::CheckDepth() {
  if (!CheckOpen()) return false;
  if (m_nDepth >= kMaxLevels - 1) return Fail(REGKS_ERR_TOO_DEEP);
  return true;
}

void CRegKeyStack::PushLevel(HKEY hKey, const char* pszName) {
  DEBUG_CHECK(m_nDepth < kMaxLevels - 1);  // callers passed CheckDepth, or opened level 0
  int n = ++m_nDepth;
  m_hKeys[n] = m_hKey = hKey;
  m_pszLevelName[n] = CopyText(pszName);
  m_nValueIndex[n] = m_nSubKeyIndex[n] = 0;
  m_nLastError = 0;
}

bool CRegKeyStack::CloseKey() {
  if (!CheckOpen()) return false;
  m_nLastError = RegCloseKey(m_hKeys[m_nDepth]);
  delete[] m_pszLevelName[m_nDepth];
  m_pszLevelName[m_nDepth] = nullptr;
  // The level goes even when the close failed.
  if (--m_nDepth >= 0) {
    m_hKey = m_hKeys[m_nDepth];
  } else {
    m_hKey = m_hRoot = nullptr;
  }
  return m_nLastError == ERROR_SUCCESS;
}

bool CRegKeyStack::CloseAll() {
  LONG nError = ERROR_SUCCESS;
  while (m_nDepth >= 0)
    if (!CloseKey()) nError = m_nLastError;
  m_hKey = m_hRoot = nullptr;
  m_nLastError = nError;
  return nError == ERROR_SUCCESS;
}

// Resolves a null root from the path and a null path to the program key
// (or the root itself), then opens or creates level 0.
bool CRegKeyStack::OpenLevel0(HKEY hRoot, const char* pszPath, DWORD dwFlags, bool bCreate) {
  if (!hRoot) pszPath += ParseRegRootName(&hRoot, pszPath);
  char szProgramKey[1024];
  if (!pszPath) {
    pszPath = "";
    if (HasProgramKey(hRoot)) {
      BuildAppRegistryPath(szProgramKey, sizeof szProgramKey);
      pszPath = szProgramKey;
    }
  }

  HKEY hKey = nullptr;
  LONG nError;
  if (bCreate) {
    nError = RegCreateKeyExA(hRoot, pszPath, 0, nullptr, 0, m_samAccess, nullptr, &hKey, nullptr);
  } else {
    nError = RegOpenKeyExA(hRoot, pszPath, 0, m_samAccess, &hKey);
    if (nError == ERROR_ACCESS_DENIED && hRoot == HKEY_LOCAL_MACHINE && (m_samAccess & KEY_WOW64_64KEY)) {
      m_samAccess &= ~KEY_WOW64_64KEY;
      nError = RegOpenKeyExA(hRoot, pszPath, 0, m_samAccess, &hKey);
    }
  }
  if (nError != ERROR_SUCCESS) {
    if (bCreate) return Fail(nError);
    if (m_nMode == REGKS_CREATE) return Create(hRoot, pszPath, dwFlags & ~REGKS_MODE_MASK);
    return Fail(REGKS_ERR_MODE);
  }
  m_hRoot = hRoot;
  PushLevel(hKey, pszPath);
  return true;
}

bool CRegKeyStack::Open(HKEY hRoot, const char* pszPath, DWORD dwFlags) {
  if (m_nDepth >= 0) CloseAll();
  m_nMode = dwFlags & REGKS_MODE_MASK;
  m_samAccess = AccessFor(m_nMode, dwFlags);
  // Without further flags HKLM is opened in its 64-bit view (a root named in
  // the path is not).
  if (!(dwFlags & ~REGKS_MODE_MASK) && hRoot == HKEY_LOCAL_MACHINE) m_samAccess |= KEY_WOW64_64KEY;
  return OpenLevel0(hRoot, pszPath, dwFlags, false);
}

bool CRegKeyStack::Create(HKEY hRoot, const char* pszPath, DWORD dwFlags) {
  if (m_nDepth >= 0) CloseAll();
  m_nMode = REGKS_CREATE;
  m_samAccess = AccessFor(REGKS_CREATE, dwFlags);
  if (hRoot == HKEY_LOCAL_MACHINE) m_samAccess |= KEY_WOW64_64KEY;
  return OpenLevel0(hRoot, pszPath, dwFlags, true);
}

bool CRegKeyStack::CreateSubKey(const char* pszName) {
  if (!CheckDepth()) return false;
  if (m_nMode != REGKS_CREATE) return Fail(REGKS_ERR_MODE);
  if (!pszName) {
    const CAppNames* pNames = AfxGetAppNames();
    pszName = pNames ? pNames->m_pszRegistryKey : nullptr;
    // Without a name the system would hand back the current key itself.
    if (!pszName) return Fail(ERROR_INVALID_PARAMETER);
  }
  HKEY hKey = nullptr;
  LONG nError = RegCreateKeyExA(m_hKey, pszName, 0, nullptr, 0, m_samAccess, nullptr, &hKey, nullptr);
  if (nError != ERROR_SUCCESS) return Fail(nError);
  PushLevel(hKey, pszName);
  return true;
}

bool CRegKeyStack::OpenSubKey(const char* pszName, BOOL bNoCreate) {
  if (!CheckDepth()) return false;
  if (!pszName || pszName == REGKS_NAME_ENUM) {
    DWORD& nIndex = m_nSubKeyIndex[m_nDepth];
    if (!EnumSubKeyName(nIndex)) return false;
    ++nIndex;
    pszName = m_szName;
  }
  HKEY hKey = nullptr;
  LONG nError = RegOpenKeyExA(m_hKey, pszName, 0, m_samAccess, &hKey);
  if (nError == ERROR_SUCCESS) {
    PushLevel(hKey, pszName);
    return true;
  }
  if (m_nMode == REGKS_CREATE && !bNoCreate) return CreateSubKey(pszName);
  return Fail(nError == ERROR_ACCESS_DENIED ? nError : (LONG)REGKS_ERR_MODE);
}

bool CRegKeyStack::RestartSubKeyEnum() {
  if (!CheckDepth()) return false;
  m_nSubKeyIndex[m_nDepth] = 0;
  m_nLastError = 0;
  return true;
}

const char* CRegKeyStack::GetLevelNamePtr(int nLevel) {
  if (!CheckOpen()) return nullptr;
  if (nLevel == -1) nLevel = m_nDepth;
  if (nLevel < 0 || nLevel > m_nDepth) {
    Fail(ERROR_INVALID_LEVEL);
    return nullptr;
  }
  m_nLastError = 0;
  return m_pszLevelName[nLevel];
}

const char* CRegKeyStack::GetLevelNameLen(int* pnLen, int nLevel) {
  const char* psz = GetLevelNamePtr(nLevel);
  *pnLen = psz ? (int)std::strlen(psz) : 0;
  return psz;
}

int CRegKeyStack::CopyOut(const char* psz, int nLen, char* pszBuf, int nSize) {
  if (psz && nLen < nSize) {
    std::memcpy(pszBuf, psz, nLen + 1);
    return nLen;
  }
  if (nSize >= 1) pszBuf[0] = 0;
  return 0;
}

int CRegKeyStack::AllocOut(const char* psz, int nLen, char** ppsz) {
  *ppsz = nullptr;
  if (!psz) return 0;
  *ppsz = new char[nLen + 1];
  std::memcpy(*ppsz, psz, nLen + 1);
  return nLen;
}

int CRegKeyStack::GetLevelName(char* pszBuf, int nSize, int nLevel) {
  int nLen;
  const char* psz = GetLevelNameLen(&nLen, nLevel);
  return CopyOut(psz, nLen, pszBuf, nSize);
}

int CRegKeyStack::GetLevelNameAlloc(char** ppsz, int nLevel) {
  int nLen;
  const char* psz = GetLevelNameLen(&nLen, nLevel);
  return AllocOut(psz, nLen, ppsz);
}
