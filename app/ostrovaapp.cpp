#include "app/ostrovaapp.h"

#include <cstdlib>

#include "app/mainframe.h"
#include "app/ostrovaview.h"
#include "res/resource.h"
#include "ui/filedlg/filedlg.h"

IMPLEMENT_DYNCREATE(COstrovaDoc, CDocument)

BEGIN_MESSAGE_MAP(COstrovaApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
END_MESSAGE_MAP()

void ParseStartPaths(int argc, char** argv, CString* path1, CString* path2) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if ((a[0] == '-' || a[0] == '/') && (a[1] == '1' || a[1] == '2') && a[2] == ':')
      *(a[1] == '1' ? path1 : path2) = a + 3;
  }
}

BOOL COstrovaApp::InitInstance() {
  CCommandLineInfo cmdInfo;
  InstallFileDialogHook(nullptr);
  // OLE comes with the first drag, common dialog or access editor: the
  // window shows sooner without it.
  AfxOleInitOnFirstUse();
  AfxEnableControlContainer();
  Enable3dControlsStatic();
  SetRegistryKey("Brannock");
  LoadStdProfileSettings(9);
  m_pDocTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(COstrovaDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(COstrovaView));
  AddDocTemplate(m_pDocTemplate);
  // A start path leaves the show command alone: the window shows as the
  // process was asked to show it.
  ParseStartPaths(__argc, __argv, &StartPath1, &StartPath2);
  ParseCommandLine(cmdInfo);
  cmdInfo.m_nShellCommand = CCommandLineInfo::FileNew;
  return ProcessShellCommand(cmdInfo);
}

void COstrovaApp::OnAppAbout() {
  CDialog dlg(IDD_ABOUTBOX);
  dlg.DoModal();
}
