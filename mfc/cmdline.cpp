#include "mfc/cmdline.h"

#include <stdlib.h>

#include "mfc/afxres.h"
#include "mfc/winapp.h"
#include "mfc/wnd.h"

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) {
    if (lstrcmpiA(pszParam, "pt") == 0)
      m_nShellCommand = FilePrintTo;
    else if (lstrcmpiA(pszParam, "p") == 0)
      m_nShellCommand = FilePrint;
    else if (lstrcmpiA(pszParam, "dde") == 0)
      m_nShellCommand = FileDDE;
    else if (lstrcmpiA(pszParam, "Register") == 0 || lstrcmpiA(pszParam, "Regserver") == 0)
      m_nShellCommand = AppRegister;
    else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0)
      m_nShellCommand = AppUnregister;
    else if (lstrcmpiA(pszParam, "Embedding") == 0)
      m_bRunEmbedded = TRUE;
    else if (lstrcmpiA(pszParam, "Automation") == 0)
      m_bRunAutomated = TRUE;
    // Any other flag is the program's own business.
  } else if (m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
  } else if (m_nShellCommand == FilePrintTo) {
    if (m_strPrinterName.IsEmpty())
      m_strPrinterName = pszParam;
    else if (m_strDriverName.IsEmpty())
      m_strDriverName = pszParam;
    else if (m_strPortName.IsEmpty())
      m_strPortName = pszParam;
  }
  if (bLast) {
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
  }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  for (int i = 1; i < __argc; ++i) {
    const char* pszParam = __argv[i];
    BOOL bFlag = pszParam[0] == '-' || pszParam[0] == '/';
    if (bFlag) ++pszParam;
    rCmdInfo.ParseParam(pszParam, bFlag, i == __argc - 1);
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNothing:
      return TRUE;
    case CCommandLineInfo::FileNew:
      // The application's own handler of 57600 when it binds one.
      if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
      // Printing, DDE and registration are not offered.
      return FALSE;
  }
}
