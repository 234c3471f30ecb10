// The names under which the program keeps its settings in the registry:
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>, and the library's
// own program key below the registry key takes the application name. The
// application object holds them (CWinApp is one); code below the framework
// reads them here, without the windowing code.
#pragma once

struct CAppNames {
  const char* m_pszAppName = nullptr;
  const char* m_pszRegistryKey = nullptr;
  const char* m_pszProfileName = nullptr;
};

// The holder of the names, or null while the program has none.
CAppNames* AfxGetAppNames();
// Makes pNames the holder (null: none). A holder that goes away while it is
// the holder sets null.
void AfxSetAppNames(CAppNames* pNames);
