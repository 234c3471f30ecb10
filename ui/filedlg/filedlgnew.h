// The extension's message target for the hook window of a framework
// caller: the framework object that wrapped the window would answer the
// common dialog's notifications itself, so they would never reach the
// extension. This object takes the window over, shows every notification
// to the extension first and then hands each message on to the caller's
// object, whose own handlers keep running.
#pragma once

#include "mfc/filedialog.h"

class CFileDialogNew : public CFileDialog {
 public:
  // A save dialog object that never runs DoModal.
  CFileDialogNew();
  ~CFileDialogNew() override;

  // 1 when a framework object wrapped window and this one took it over, 0
  // for a plain caller.
  BOOL TakeOverWindow(HWND window);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  void Release();
  // The common dialog's notifications go to the extension's dialog
  // procedure on the window that holds the file-name field.
  void ShowToExtension(WPARAM wParam, LPARAM lParam);
  CWnd* m_pWndOld = nullptr;  // the caller's object that wrapped the window
};

// Deletes the extension's file-dialog object; registered to run at exit.
int FileDlgHookCleanup();
