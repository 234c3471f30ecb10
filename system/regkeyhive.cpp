// CRegKeyStack: saving, loading and replacing hives. The caller holds the
// backup and restore privileges the system asks for.
#include "system/regkeystack.h"

bool CRegKeyStack::SaveKey(const char* pszFile) {
  if (!CheckOpen()) return false;
  m_nLastError = RegSaveKeyA(m_hKey, pszFile, nullptr);
  return m_nLastError == ERROR_SUCCESS;
}

bool CRegKeyStack::LoadKey(const char* pszSubKey, const char* pszFile) {
  if (!CheckOpen()) return false;
  if (m_nMode != REGKS_CREATE) return Fail(REGKS_ERR_MODE);
  m_nLastError = RegLoadKeyA(m_hKey, pszSubKey, pszFile);
  return m_nLastError == ERROR_SUCCESS;
}

bool CRegKeyStack::ReplaceKey(const char* pszSubKey, const char* pszNewFile, const char* pszOldFile) {
  if (!CheckOpen()) return false;
  if (m_nMode != REGKS_CREATE) return Fail(REGKS_ERR_MODE);
  m_nLastError = RegReplaceKeyA(m_hKey, pszSubKey, pszNewFile, pszOldFile);
  return m_nLastError == ERROR_SUCCESS;
}
