// STAND-IN for the registry browser pane (CRegWnd on CTreeWnd) until that
// pane exists: a plain child window with the pane's id that keeps the style
// bits and a path, paints its name and the path, and reports its focus to
// the view as the browser does (NM_SETFOCUS). Replace it with CRegWnd.
#pragma once

#include "base/cstring.h"
#include "mfc/mfc.h"

// Browser style bits the view sets.
const DWORD kPaneHideCombo = 0x0004;
const DWORD kPaneViewStyle = 0x0CE8;  // the view's fixed bits
const DWORD kPaneAlternate = 0x1000;
const DWORD kPaneShowLines = 0x2000;
const DWORD kPaneFullMark = 0x4000;

class CPaneStandIn : public CWnd {
 public:
  BOOL CreateWnd(CWnd* parent, const RECT& rc, UINT id, DWORD style);
  DWORD GetStyle() const { return m_style; }
  // Sets (bOn) or clears the bits of mask.
  void SetStyle(DWORD mask, BOOL bOn);
  // Navigation of the real pane; here the path is only kept and shown.
  void NavigateTo(const char* path, int historyMode);
  const CString& GetPath() const { return m_path; }
  // Hit test of the real pane (kind 0: nothing the view acts on).
  int HitTest(CPoint screenPt) const;
  // Gives the pane the focus (the real pane moves it between its parts).
  void FocusNext(int direction);

 protected:
  afx_msg void OnPaint();
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  DWORD m_style = 0;
  CString m_path;
};
