// The application's settings: its program key in the registry (or its .INI
// file when it has no registry key name) and the recent-file list.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mfc/winapp.h"

namespace {
const char kRecentSection[] = "Recent File List";

HKEY CreateSubKey(HKEY hParent, LPCSTR lpszName) {
  HKEY hKey = nullptr;
  if (::RegCreateKeyExA(hParent, lpszName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
    return nullptr;
  return hKey;
}
}  // namespace

HKEY CWinApp::GetAppRegistryKey() {
  // A test may name the program key through the application name alone.
  const char* pszProfile = m_pszProfileName ? m_pszProfileName : m_pszAppName;
  if (!m_pszRegistryKey || !*m_pszRegistryKey || !pszProfile || !*pszProfile) return nullptr;
  HKEY hSoftware = CreateSubKey(HKEY_CURRENT_USER, "Software");
  if (!hSoftware) return nullptr;
  HKEY hCompany = CreateSubKey(hSoftware, m_pszRegistryKey);
  ::RegCloseKey(hSoftware);
  if (!hCompany) return nullptr;
  HKEY hApp = CreateSubKey(hCompany, pszProfile);
  ::RegCloseKey(hCompany);
  return hApp;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection) {
  HKEY hApp = GetAppRegistryKey();
  if (!hApp) return nullptr;
  HKEY hSection = CreateSubKey(hApp, lpszSection);
  ::RegCloseKey(hApp);
  return hSection;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
  if (!m_pszRegistryKey) return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
  HKEY hSection = GetSectionKey(lpszSection);
  if (!hSection) return (UINT)nDefault;
  DWORD dwType = 0, cb = 0;
  UINT nValue = (UINT)nDefault;
  if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS) {
    if (dwType == REG_DWORD && cb == sizeof(DWORD)) {
      DWORD dwValue = 0;
      if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, (LPBYTE)&dwValue, &cb) == ERROR_SUCCESS)
        nValue = dwValue;
    } else if (dwType == REG_SZ) {
      // A number written as text reads as in the .INI profile.
      CString strValue = GetProfileString(lpszSection, lpszEntry);
      char* pEnd = nullptr;
      long lValue = std::strtol(strValue, &pEnd, 10);
      if (!strValue.IsEmpty() && pEnd && *pEnd == 0) nValue = (UINT)lValue;
    }
  }
  ::RegCloseKey(hSection);
  return nValue;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
  if (!lpszDefault) lpszDefault = "";
  if (!m_pszRegistryKey) {
    std::vector<char> buf(4096);
    DWORD n = ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault, buf.data(), (DWORD)buf.size(),
                                         m_pszProfileName);
    return CString(buf.data(), (int)n);
  }
  HKEY hSection = GetSectionKey(lpszSection);
  if (!hSection) return lpszDefault;
  DWORD dwType = 0, cb = 0;
  CString strValue = lpszDefault;
  LONG lResult = ::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, nullptr, &cb);
  if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && cb == sizeof(DWORD)) {
    // A number reads as its text, as in the .INI profile.
    DWORD dwValue = 0;
    if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, (LPBYTE)&dwValue, &cb) == ERROR_SUCCESS)
      strValue.Format("%d", (int)dwValue);
  } else if (lResult == ERROR_SUCCESS && (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
    // The value may lack its terminator: room for one more.
    char* p = strValue.GetBuffer((int)cb + 1);
    if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, (LPBYTE)p, &cb) == ERROR_SUCCESS) {
      p[cb] = 0;
      strValue.ReleaseBuffer(-1);
    } else {
      strValue.ReleaseBuffer(0);
      strValue = lpszDefault;
    }
  }
  ::RegCloseKey(hSection);
  return strValue;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
  if (!m_pszRegistryKey) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_pszProfileName);
  }
  HKEY hSection = GetSectionKey(lpszSection);
  if (!hSection) return FALSE;
  DWORD dwValue = (DWORD)nValue;
  LONG lResult = ::RegSetValueExA(hSection, lpszEntry, 0, REG_DWORD, (const BYTE*)&dwValue, sizeof dwValue);
  ::RegCloseKey(hSection);
  return lResult == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
  if (!m_pszRegistryKey) return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
  if (!lpszEntry) {
    HKEY hApp = GetAppRegistryKey();
    if (!hApp) return FALSE;
    LONG lResult = ::RegDeleteTreeA(hApp, lpszSection);
    ::RegDeleteKeyA(hApp, lpszSection);
    ::RegCloseKey(hApp);
    return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
  }
  HKEY hSection = GetSectionKey(lpszSection);
  if (!hSection) return FALSE;
  LONG lResult;
  if (!lpszValue) {
    lResult = ::RegDeleteValueA(hSection, lpszEntry);
    if (lResult == ERROR_FILE_NOT_FOUND) lResult = ERROR_SUCCESS;
  } else {
    lResult = ::RegSetValueExA(hSection, lpszEntry, 0, REG_SZ, (const BYTE*)lpszValue, (DWORD)lstrlenA(lpszValue) + 1);
  }
  ::RegCloseKey(hSection);
  return lResult == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  m_nMaxMRU = nMaxMRU > 16 ? 16 : nMaxMRU;
  m_recentFiles.clear();
  for (UINT i = 0; i < m_nMaxMRU; ++i) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "File%u", i + 1);
    CString strName = GetProfileString(kRecentSection, entry);
    if (!strName.IsEmpty()) m_recentFiles.push_back(strName);
  }
}

void CWinApp::SaveStdProfileSettings() {
  if (m_nMaxMRU == 0) return;
  // Written afresh, so that names dropped from the list go too; nothing is
  // written for an empty list.
  WriteProfileString(kRecentSection, nullptr, nullptr);
  for (size_t i = 0; i < m_recentFiles.size(); ++i) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "File%u", (unsigned)i + 1);
    WriteProfileString(kRecentSection, entry, m_recentFiles[i]);
  }
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName) {
  if (m_nMaxMRU == 0 || !lpszPathName || !*lpszPathName) return;
  char full[MAX_PATH];
  DWORD n = ::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr);
  CString strName = n > 0 && n < MAX_PATH ? full : lpszPathName;
  for (size_t i = 0; i < m_recentFiles.size(); ++i) {
    if (lstrcmpiA(m_recentFiles[i], strName) == 0) {
      m_recentFiles.erase(m_recentFiles.begin() + i);
      break;
    }
  }
  m_recentFiles.insert(m_recentFiles.begin(), strName);
  if (m_recentFiles.size() > m_nMaxMRU) m_recentFiles.resize(m_nMaxMRU);
}
