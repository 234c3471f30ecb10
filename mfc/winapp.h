// CWinApp: the application object, the main thread's CWinThread. It runs the
// program's start (InitInstance), its message loop (Run with idle processing)
// and its end (ExitInstance); it keeps the document templates, reads the
// command line and keeps the program's settings (its profile) in the registry
// below HKEY_CURRENT_USER\Software\<registry key>\<profile name>. Its names
// (m_pszAppName, m_pszRegistryKey, m_pszProfileName) are the program's
// CAppNames: code below the framework reads them through AfxGetAppNames().
#pragma once

#include <vector>

#include "base/appnames.h"
#include "base/cstring.h"
#include "mfc/thread.h"

class CCommandLineInfo;
class CDocTemplate;
class CDocument;

class CWinApp : public CWinThread, public CAppNames {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(const char* pszAppName = nullptr);
  ~CWinApp() override;  // deletes the document templates

  // Start and end; AfxWinMain calls them in this order.
  virtual BOOL InitApplication() { return TRUE; }
  BOOL InitInstance() override { return TRUE; }
  int Run() override;           // ends at once when InitInstance made no main window
  int ExitInstance() override;  // writes the recent-file list back

  // The registry key name (the key below "Software" that holds the program
  // key); the profile name becomes the application name. Strings are copied.
  void SetRegistryKey(const char* pszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);

  // Settings: with a registry key in HKEY_CURRENT_USER\Software\<registry
  // key>\<profile name>\<section>, else in the profile's .INI file. The keys
  // are created when missing; the caller closes the keys it gets.
  HKEY GetAppRegistryKey();
  HKEY GetSectionKey(LPCSTR lpszSection);
  UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
  CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
  BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
  // A null value removes the entry, a null entry the whole section.
  BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
  // Reads the recent-file list ("Recent File List", "File1"...) of up to
  // nMaxMRU names; ExitInstance writes it back.
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  virtual void AddToRecentFileList(LPCSTR lpszPathName);
  int GetRecentFileCount() const { return (int)m_recentFiles.size(); }
  CString GetRecentFile(int nIndex) const { return m_recentFiles[nIndex]; }

  // Documents: the application owns its templates.
  void AddDocTemplate(CDocTemplate* pTemplate);
  int GetDocTemplateCount() const { return (int)m_templates.size(); }
  CDocTemplate* GetDocTemplate(int nIndex) const { return m_templates[nIndex]; }
  virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
  virtual BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);

  // The command line of the process, argument by argument, and its command.
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;  // how the main frame first shows; -1 after that
  // m_pszAppName (string 57344 when not given), m_pszRegistryKey and
  // m_pszProfileName come from CAppNames.
  const char* m_pszExeName = nullptr;

  // New document of the first template (command 57600 where the
  // application's map binds it), and the end of the program (57665).
  afx_msg void OnFileNew();
  afx_msg void OnAppExit();

 protected:
  BOOL Enable3dControlsStatic() { return TRUE; }  // the system draws 3-D controls itself
  void SaveStdProfileSettings();

 private:
  friend BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPSTR, int);
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  void SetOwned(const char*& rpsz, char*& rpOwned, const char* pszNew);

  char* m_pszOwnedAppName = nullptr;
  char* m_pszOwnedRegistryKey = nullptr;
  char* m_pszOwnedProfileName = nullptr;
  char* m_pszOwnedExeName = nullptr;
  std::vector<CDocTemplate*> m_templates;
  std::vector<CString> m_recentFiles;
  UINT m_nMaxMRU = 0;

  DECLARE_MESSAGE_MAP()
};

// The one application object of the process, or null before it exists.
CWinApp* AfxGetApp();

// The framework's start of a program: AfxWinInit, then the application's
// InitApplication, InitInstance and Run; the result is the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Gives the application object its instance, command line, show command and
// names (the application name from string 57344 when it has none).
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
void AfxWinTerm();

// OLE for the calling thread (undone by the application's ExitInstance).
BOOL AfxOleInit();
// Undoes AfxOleInit (and a pending AfxOleInitOnFirstUse) on its thread.
void AfxOleTerm();
// AfxOleInit for the calling thread, but only when AfxOleNeeded runs on it:
// a start that shows no drag and no common dialog does without OLE.
void AfxOleInitOnFirstUse();
// Before a use of OLE (drag and drop, the common dialogs): the thread that
// asked for OLE on first use gets it now.
void AfxOleNeeded();
// Nothing to prepare: windows host no ActiveX controls here.
void AfxEnableControlContainer();
