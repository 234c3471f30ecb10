// The application object, its document (the registry is the data, so it
// holds none) and the About box.
#pragma once

#include "mfc/mfc.h"

class COstrovaApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  CSingleDocTemplate* m_pDocTemplate = nullptr;

 protected:
  afx_msg void OnAppAbout();
  DECLARE_MESSAGE_MAP()
};

class COstrovaDoc : public CDocument {
  DECLARE_DYNCREATE(COstrovaDoc)

 public:
  BOOL OnNewDocument() override { return TRUE; }
};

// Reads the start paths "-1:<path>" and "/2:<path>" from the arguments after
// the program's name; a later one for a pane replaces an earlier one.
void ParseStartPaths(int argc, char** argv, CString* path1, CString* path2);
