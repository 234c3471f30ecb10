// Registry paths: root names, the program key, the current key as text and
// a level's place among its parent's subkeys.
#include <cstring>

#include "base/appnames.h"
#include "system/regkeystack.h"

namespace {
const char* const kRootNames[] = {
    "HKEY_CLASSES_ROOT",
    "HKEY_CURRENT_USER",
    "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",
    "HKEY_CURRENT_CONFIG",
    "HKEY_DYN_DATA",
    nullptr,
};
const HKEY kRootKeys[] = {
    HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA,
};

// Appends as much of psz as fits below nSize - 1 characters.
void AppendCut(char* pszBuf, int nSize, int& nLen, const char* psz) {
  while (*psz && nLen < nSize - 1) pszBuf[nLen++] = *psz++;
  pszBuf[nLen] = 0;
}
}  // namespace

int ParseRegRootName(HKEY* phRoot, const char* pszPath) {
  *phRoot = HKEY_CURRENT_USER;
  if (!pszPath) return 0;
  for (int i = 0; kRootNames[i]; ++i) {
    size_t n = std::strlen(kRootNames[i]);
    if (_strnicmp(pszPath, kRootNames[i], n) != 0) continue;
    if (pszPath[n] == '\\' || pszPath[n] == 0) {
      *phRoot = kRootKeys[i];
      return (int)n + (pszPath[n] == '\\');
    }
  }
  return 0;
}

const char* GetRegRootName(HKEY hRoot) {
  for (int i = 0; kRootNames[i]; ++i)
    if (kRootKeys[i] == hRoot) return kRootNames[i];
  return nullptr;
}

int BuildAppRegistryPath(char* pszBuf, int nSize, const char* pszSub) {
  if (nSize < 1) return 0;
  const CAppNames* pNames = AfxGetAppNames();
  const char* parts[] = {pNames ? pNames->m_pszRegistryKey : nullptr, pNames ? pNames->m_pszAppName : nullptr, pszSub};
  int nLen = 0;
  AppendCut(pszBuf, nSize, nLen, "Software");
  for (const char* psz : parts) {
    if (!psz) continue;
    AppendCut(pszBuf, nSize, nLen, "\\");
    AppendCut(pszBuf, nSize, nLen, psz);
  }
  return nLen;
}

int CRegKeyStack::GetFullPath(char* pszBuf, int nSize, int nStart) {
  if (nSize < 1) return -1;
  pszBuf[0] = 0;
  if (m_nDepth < 0) return -1;
  int nLen = 0;
  if (nStart == 0) {
    const char* pszRoot = GetRegRootName(m_hRoot);
    if (!pszRoot) return -1;
    nLen = (int)std::strlen(pszRoot);
    if (nLen + 2 > nSize) return -1;
    std::memcpy(pszBuf, pszRoot, nLen);
  }
  for (int i = nStart >= 2 ? 1 : 0; i <= m_nDepth; ++i) {
    const char* psz = m_pszLevelName[i];
    int n = (int)std::strlen(psz);
    if (n == 0) continue;  // level 0 is empty when the root itself is open
    if (n + nLen + 2 > nSize) return -1;
    if (nLen) pszBuf[nLen++] = '\\';
    std::memcpy(pszBuf + nLen, psz, n);
    nLen += n;
  }
  pszBuf[nLen] = 0;
  return 0;
}

int CRegKeyStack::FindIndexInParent(int nLevel) {
  if (m_nDepth < 1) return -1;
  if (nLevel == -1) nLevel = m_nDepth - 1;
  if (nLevel < 0 || nLevel > m_nDepth - 1) return -1;
  const char* pszChild = m_pszLevelName[nLevel + 1];
  DWORD nChildLen = (DWORD)std::strlen(pszChild);
  HKEY hParent = m_hKeys[nLevel];

  DWORD nCount = 0;
  if (RegQueryInfoKeyA(hParent, nullptr, nullptr, nullptr, &nCount, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return -1;
  char szName[kMaxName + 4];
  for (DWORD i = 0; i < nCount; ++i) {
    DWORD cch = kMaxName;
    if (RegEnumKeyExA(hParent, i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return -1;
    if (cch == nChildLen && _stricmp(szName, pszChild) == 0) {
      m_nSubKeyIndex[nLevel] = i + 1;
      return (int)i;
    }
  }
  return -1;
}
