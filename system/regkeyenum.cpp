// CRegKeyStack: counting and enumerating the values and subkeys of the
// current key. Index -1 is the level's own index, which these never move.
#include <cstring>

#include "system/regkeystack.h"

namespace {
DWORD CountOf(HKEY hKey, bool bValues, LONG* pnError) {
  DWORD nSubKeys = 0, nValues = 0;
  *pnError = RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, &nValues, nullptr, nullptr,
                              nullptr, nullptr);
  if (*pnError != ERROR_SUCCESS) return 0;
  return bValues ? nValues : nSubKeys;
}
}  // namespace

DWORD CRegKeyStack::GetValueCount() {
  if (!CheckOpen()) return 0;
  return CountOf(m_hKey, true, &m_nLastError);
}

DWORD CRegKeyStack::GetSubKeyCount() {
  if (!CheckOpen()) return 0;
  return CountOf(m_hKey, false, &m_nLastError);
}

// Name, type and size of the value at an index, without its data. A name
// too long for the buffer (234) still counts as found.
bool CRegKeyStack::EnumValueAt(DWORD nIndex) {
  DWORD cch = kMaxName;
  LONG nError = RegEnumValueA(m_hKey, nIndex, m_szName, &cch, nullptr, &m_dwType, nullptr, &m_cbData);
  m_nLastError = nError;
  if (nError == ERROR_SUCCESS) {
    m_nNameLen = cch;
    return true;
  }
  if (nError == ERROR_MORE_DATA) {
    m_szName[kMaxName] = 0;
    m_nNameLen = (DWORD)std::strlen(m_szName);
    return true;
  }
  m_szName[0] = 0;
  m_nNameLen = 0;
  return false;
}

bool CRegKeyStack::EnumSubKeyAt(DWORD nIndex) {
  DWORD cch = kMaxName;
  LONG nError = RegEnumKeyExA(m_hKey, nIndex, m_szName, &cch, nullptr, nullptr, nullptr, nullptr);
  m_nLastError = nError;
  m_cbData = 0;
  if (nError == ERROR_SUCCESS) {
    m_nNameLen = cch;
    return true;
  }
  m_szName[0] = 0;
  m_nNameLen = 0;
  return false;
}

// The name at an index (-1: the level's own one), or null with empty text.
const char* CRegKeyStack::EnumName(bool bSubKey, int nIndex) {
  if (!CheckOpen()) {
    m_szName[0] = 0;
    m_nNameLen = 0;
    return nullptr;
  }
  DWORD n = nIndex != -1 ? (DWORD)nIndex : bSubKey ? m_nSubKeyIndex[m_nDepth] : m_nValueIndex[m_nDepth];
  return (bSubKey ? EnumSubKeyAt(n) : EnumValueAt(n)) ? m_szName : nullptr;
}

const char* CRegKeyStack::EnumValueName(int nIndex) { return EnumName(false, nIndex); }
const char* CRegKeyStack::EnumSubKeyName(int nIndex) { return EnumName(true, nIndex); }

const char* CRegKeyStack::EnumValueNameLen(int* pnLen, int nIndex) {
  const char* psz = EnumName(false, nIndex);
  *pnLen = (int)m_nNameLen;
  return psz;
}

const char* CRegKeyStack::EnumSubKeyNameLen(int* pnLen, int nIndex) {
  const char* psz = EnumName(true, nIndex);
  *pnLen = (int)m_nNameLen;
  return psz;
}

int CRegKeyStack::EnumValueNameCopy(char* pszBuf, int nSize, int nIndex) {
  const char* psz = EnumName(false, nIndex);
  return CopyOut(psz, (int)m_nNameLen, pszBuf, nSize);
}

int CRegKeyStack::EnumSubKeyNameCopy(char* pszBuf, int nSize, int nIndex) {
  const char* psz = EnumName(true, nIndex);
  return CopyOut(psz, (int)m_nNameLen, pszBuf, nSize);
}

int CRegKeyStack::EnumValueNameAlloc(char** ppsz, int nIndex) {
  const char* psz = EnumName(false, nIndex);
  return AllocOut(psz, (int)m_nNameLen, ppsz);
}

int CRegKeyStack::EnumSubKeyNameAlloc(char** ppsz, int nIndex) {
  const char* psz = EnumName(true, nIndex);
  return AllocOut(psz, (int)m_nNameLen, ppsz);
}
