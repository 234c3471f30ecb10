// CRegKeyStack: deleting values and key trees.
#include <cstring>

#include "system/regkeystack.h"

bool CRegKeyStack::DeleteNamedValue() {
  m_nLastError = RegDeleteValueA(m_hKey, m_szName);
  return m_nLastError == ERROR_SUCCESS;
}

bool CRegKeyStack::DeleteValue(const char* pszName) {
  if (!CheckDepth()) return false;
  if (m_nMode == REGKS_READ) return Fail(REGKS_ERR_MODE);
  if (pszName == REGKS_NAME_ALL) {
    // From the last down, so that the indexes still to come stay put.
    DWORD nCount = GetValueCount();
    if (m_nLastError != ERROR_SUCCESS) return false;
    LONG nError = ERROR_SUCCESS;
    for (DWORD i = nCount; i-- > 0;)
      if (!EnumValueAt(i) || !DeleteNamedValue()) nError = m_nLastError;
    m_nLastError = nError;
    return nError == ERROR_SUCCESS;
  }
  if (pszName == REGKS_NAME_ENUM) {
    if (!EnumValueAt(m_nValueIndex[m_nDepth])) return false;
  } else {
    SetName(pszName);
  }
  return DeleteNamedValue();
}

// Deletes a subkey, emptying it level by level when it has subkeys of its own.
bool CRegKeyStack::DeleteKeyTree(const char* pszName, bool bAtIndex) {
  LONG nError = RegDeleteKeyA(m_hKey, pszName);
  if (nError == ERROR_SUCCESS) {
    m_nLastError = nError;
    return true;
  }
  if (!OpenSubKey(pszName, TRUE)) return false;
  DeleteKey(REGKS_NAME_ALL);
  if (!CloseKey()) return false;
  nError = RegDeleteKeyA(m_hKey, pszName);
  // A subkey that stays is stepped over, so the next call takes the one after.
  if (nError != ERROR_SUCCESS && bAtIndex) ++m_nSubKeyIndex[m_nDepth];
  m_nLastError = nError;
  return nError == ERROR_SUCCESS;
}

bool CRegKeyStack::DeleteKey(const char* pszName) {
  if (!CheckDepth()) return false;
  if (pszName == REGKS_NAME_ALL) {
    DWORD nCount = GetSubKeyCount();
    if (m_nLastError != ERROR_SUCCESS) return false;
    LONG nError = ERROR_SUCCESS;
    for (DWORD i = nCount; i-- > 0;) {
      char szName[260];
      if (!EnumSubKeyAt(i)) {
        nError = m_nLastError;
        continue;
      }
      std::memcpy(szName, m_szName, m_nNameLen + 1);
      if (!DeleteKeyTree(szName, false)) nError = m_nLastError;
    }
    m_nLastError = nError;
    return nError == ERROR_SUCCESS;
  }
  if (pszName == REGKS_NAME_ENUM) {
    if (!EnumSubKeyAt(m_nSubKeyIndex[m_nDepth])) return false;
    char szName[260];
    std::memcpy(szName, m_szName, m_nNameLen + 1);
    return DeleteKeyTree(szName, true);
  }
  // An empty name would make the system delete the current key itself, and
  // its whole tree with it.
  if (!pszName || !*pszName) return Fail(ERROR_INVALID_PARAMETER);
  // The caller's text may be m_szName, which the recursion overwrites.
  size_t n = std::strlen(pszName);
  char szName[260];
  char* psz = n < sizeof szName ? szName : new char[n + 1];
  std::memcpy(psz, pszName, n + 1);
  bool bOk = DeleteKeyTree(psz, false);
  if (psz != szName) delete[] psz;
  return bOk;
}
