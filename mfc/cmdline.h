// CCommandLineInfo: what the program's command line asks for. The
// application's ParseCommandLine hands it each argument after the program
// name; ProcessShellCommand then carries out the command.
#pragma once

#include <windows.h>

#include "base/cstring.h"
#include "mfc/object.h"

class CCommandLineInfo : public CObject {
 public:
  CCommandLineInfo() = default;

  // One argument: bFlag when it began with '-' or '/' (then without that
  // character); bLast for the last argument.
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

  enum ShellCommand {
    FileNew,
    FileOpen,
    FilePrint,
    FilePrintTo,
    FileDDE,
    AppRegister,
    AppUnregister,
    FileNothing = -1
  };

  ShellCommand m_nShellCommand = FileNew;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;
  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
};
