// A registry key of one test below the tests' own root
// HKEY_CURRENT_USER\Software\OstrovaTests; removed with everything below it.
#pragma once

#include <windows.h>

#include <string>

class TestRegistryKey {
public:
  TestRegistryKey();  // creates ...\OstrovaTests\<program>_<pid>_<n>
  ~TestRegistryKey();
  TestRegistryKey(const TestRegistryKey&) = delete;
  TestRegistryKey& operator=(const TestRegistryKey&) = delete;

  HKEY Handle() const { return m_hKey; }
  // Path below HKEY_CURRENT_USER, e.g. "Software\OstrovaTests\x_12_0".
  const std::string& Path() const { return m_path; }
  // The same with the root's long name in front.
  std::string FullPath() const { return "HKEY_CURRENT_USER\\" + m_path; }

  static const char* RootPath() { return "Software\\OstrovaTests"; }

private:
  HKEY m_hKey = nullptr;
  std::string m_path;
};

// Names the application object for the library's program key and the
// application's profile: the program key becomes
// HKEY_CURRENT_USER\Software\OstrovaTests\<unique name>. Creates the
// application object when the test program has none; removes the key.
class TestAppNames {
public:
  TestAppNames();
  ~TestAppNames();
  TestAppNames(const TestAppNames&) = delete;
  TestAppNames& operator=(const TestAppNames&) = delete;

  // Path of the program key below HKEY_CURRENT_USER.
  std::string ProgramKeyPath() const;

private:
  class CWinApp* m_pOwnApp = nullptr;
  const char* m_pszOldAppName = nullptr;
  const char* m_pszOldRegistryKey = nullptr;
  const char* m_pszOldProfileName = nullptr;
  std::string m_appName;
};
