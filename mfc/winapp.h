// CWinApp: the application object, the main thread's CWinThread. Library
// code reads the program's registry key name and application name from it
// through AfxGetApp().
#pragma once

#include "mfc/thread.h"

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(const char* pszAppName = nullptr);
  ~CWinApp() override;

  // Sets the registry key name (the key below "Software" that holds the
  // program key); the string is copied.
  void SetRegistryKey(const char* pszRegistryKey);

  const char* m_pszAppName;
  const char* m_pszRegistryKey;

 private:
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  char* m_pszOwnedAppName = nullptr;
  char* m_pszOwnedRegistryKey = nullptr;
};

// The one application object of the process, or null before it exists.
CWinApp* AfxGetApp();
