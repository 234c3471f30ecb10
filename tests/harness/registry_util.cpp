#include "harness/registry_util.h"

#include "base/appnames.h"
#ifdef OSTROVA_HARNESS_WINAPP
#include "mfc/winapp.h"
#endif

#include <cstdio>

namespace {
std::string UniqueName() {
  static LONG s_counter = 0;
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const char* base = module;
  for (const char* p = module; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  std::string name(base);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_%lu_%ld", GetCurrentProcessId(), InterlockedIncrement(&s_counter));
  return name + suffix;
}

void RemoveTree(const std::string& path) {
  RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());  // the key itself goes too
  // The shared root goes too once the last test has left it.
  RegDeleteKeyA(HKEY_CURRENT_USER, TestRegistryKey::RootPath());
}
}  // namespace

TestRegistryKey::TestRegistryKey() : m_path(std::string(RootPath()) + "\\" + UniqueName()) {
  RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
}

TestRegistryKey::~TestRegistryKey() {
  if (m_hKey) RegCloseKey(m_hKey);
  RemoveTree(m_path);
}

TestAppNames::TestAppNames() : m_appName(UniqueName()) {
  CAppNames* names = AfxGetAppNames();
  if (!names) {
#ifdef OSTROVA_HARNESS_WINAPP
    names = m_pOwnNames = new CWinApp(nullptr);  // the profile functions need an application object
#else
    names = m_pOwnNames = new CAppNames;
    AfxSetAppNames(names);
#endif
  }
  m_pszOldAppName = names->m_pszAppName;
  m_pszOldRegistryKey = names->m_pszRegistryKey;
  m_pszOldProfileName = names->m_pszProfileName;
  names->m_pszAppName = m_appName.c_str();
  names->m_pszProfileName = m_appName.c_str();
  names->m_pszRegistryKey = "OstrovaTests";
}

TestAppNames::~TestAppNames() {
  RemoveTree(ProgramKeyPath());
  if (m_pOwnNames) {
#ifdef OSTROVA_HARNESS_WINAPP
    delete static_cast<CWinApp*>(m_pOwnNames);
#else
    if (AfxGetAppNames() == m_pOwnNames) AfxSetAppNames(nullptr);
    delete m_pOwnNames;
#endif
  } else if (CAppNames* names = AfxGetAppNames()) {
    names->m_pszAppName = m_pszOldAppName;
    names->m_pszRegistryKey = m_pszOldRegistryKey;
    names->m_pszProfileName = m_pszOldProfileName;
  }
}

std::string TestAppNames::ProgramKeyPath() const { return std::string("Software\\OstrovaTests\\") + m_appName; }
