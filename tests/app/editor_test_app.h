// The editor's frame, document and view as the program makes them, in a
// test's own application object: no start paths, no file-dialog hook.
#pragma once

#include "app/mainframe.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "mfc/mfc.h"
#include "res/resource.h"

class CEditorTestApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(COstrovaDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(COstrovaView)));
    CCommandLineInfo cmdInfo;
    return ProcessShellCommand(cmdInfo);
  }
};
