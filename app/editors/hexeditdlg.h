// CHexEditDlg: edits the raw bytes of one registry value in a hex view. The
// caller hands it a buffer (new[]); the hex view owns it while the dialog
// runs and hands the (possibly grown) buffer back on OK.
#pragma once

#include "base/cstring.h"
#include "mfc/mfc.h"
#include "viewers/hex/hexview.h"

const UINT IDC_HEXEDIT_VIEW = 22913;
const UINT_PTR kHexEditTimer = 22912;
const UINT kHexEditTimerMs = 300;

// The hex view inside the dialog: arrows, Tab, Insert and Backspace are its
// keys, not the dialog's.
class CHexEditView : public CHexView {
 public:
  CHexEditView() : CHexView(0) {}

 protected:
  afx_msg UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()
};

class CHexEditDlg : public CDialog {
 public:
  explicit CHexEditDlg(CWnd* pParent = nullptr);
  // Frees a buffer nobody took (a failed DoModal).
  ~CHexEditDlg() override;

  int Insert = 0;
  int Changed = 0;
  int Length = 0;                  // in: the buffer's size; out: the final length
  BYTE* Data = nullptr;            // in: new[] data; 0 while the view owns it; out: the buffer
  const char* TypeName = nullptr;  // for the length display; may be null
  CString Name;                    // empty for the default value
  CHexEditView HexView;

  // Forgets the remembered rectangle and the layout record of the process.
  static void ResetProcessState();
  // The remembered rectangle; false when there is none.
  static bool RememberedRect(RECT* rc);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
  afx_msg void OnExitSizeMove();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnInsertClicked();
  DECLARE_MESSAGE_MAP()

 private:
  void RecordLayout();
  void RememberRect();
  void StoreInsert();
  void ShowLength();
};
