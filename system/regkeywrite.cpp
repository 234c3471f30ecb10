// CRegKeyStack: writing values.
#include <cstdio>
#include <cstring>

#include "base/cstring.h"
#include "system/regkeystack.h"

bool CRegKeyStack::WriteValue(const void* pData, DWORD cbSize, const char* pszName, DWORD dwTypeWord, bool bSelector) {
  if (!CheckDepth()) return false;
  if (m_nMode == REGKS_READ) return Fail(REGKS_ERR_MODE);
  if (!pData) return Fail(REGKS_ERR_NO_DATA);
  DWORD dwSel = bSelector ? dwTypeWord & REGKS_SEL_MASK : 0;
  if (dwSel == REGKS_SEL_MASK) return Fail(ERROR_NOT_SUPPORTED);
  if (pszName == REGKS_NAME_ENUM) {
    // The value at the index gets the data; the index moves whatever the result.
    DWORD& nIndex = m_nValueIndex[m_nDepth];
    if (!EnumValueAt(nIndex++)) return false;
  } else {
    SetName(pszName);
  }
  m_dwType = dwTypeWord & ~dwSel;
  m_cbData = cbSize;
  LONG nError;
  if (dwSel == REGKS_SEL_WIDE) {
    WCHAR wszName[kMaxName];
    nError = NameToWide(wszName);
    if (nError == ERROR_SUCCESS) nError = RegSetValueExW(m_hKey, wszName, 0, m_dwType, (const BYTE*)pData, cbSize);
  } else {
    nError = RegSetValueExA(m_hKey, m_szName, 0, m_dwType, (const BYTE*)pData, cbSize);
  }
  m_nLastError = nError;
  return nError == ERROR_SUCCESS;
}

bool CRegKeyStack::SetValue(const void* pData, DWORD cbSize, const char* pszName, DWORD dwType) {
  return WriteValue(pData, cbSize, pszName, dwType, false);
}

bool CRegKeyStack::SetValueW(const void* pData, DWORD cbSize, const char* pszName, DWORD dwTypeWord) {
  if (pszName == REGKS_NAME_ENUM) return Fail(ERROR_NOT_SUPPORTED);
  return WriteValue(pData, cbSize, pszName, dwTypeWord, true);
}

// Strings are stored with their length and without the NUL.
bool CRegKeyStack::SetDouble(const double* pd, const char* pszName) {
  char sz[64];
  int n = pd ? std::snprintf(sz, sizeof sz, "%g", *pd) : 0;
  return SetValue(pd ? sz : nullptr, (DWORD)n, pszName, REG_SZ);
}

bool CRegKeyStack::SetString(const CString& str, const char* pszName) {
  // With its NUL: readers that take the stored bytes as they are get a terminated string.
  return SetValue(str.GetString(), (DWORD)str.GetLength() + 1, pszName, REG_SZ);
}

bool CRegKeyStack::SetMultiString(const char* pszList, const char* pszName) {
  DWORD cb = 1;  // the final NUL; an empty list is that byte alone
  if (pszList)
    for (const char* p = pszList; *p;) {
      size_t n = std::strlen(p) + 1;
      cb += (DWORD)n;
      p += n;
    }
  return SetValue(pszList, cb, pszName, REG_MULTI_SZ);
}
