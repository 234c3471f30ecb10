// CStatusBar: a control bar of panes at the bottom of a frame (the common
// status bar control). Each pane has an id, a style, a width and a text; the
// indicator panes take their text (and width) from the string of their id
// and are shown only while their update handler enables them. The pane with
// id 0 is the message pane that SetWindowText writes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "mfc/afxres.h"
#include "mfc/controlbar.h"
#include "mfc/controls.h"

// Pane styles: the control's text types in the low word, and the bar's own.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000  // no text shown
#define SBPS_STRETCH 0x08000000   // takes what the other panes leave

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)

 public:
  CStatusBar();

  virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                      UINT nID = AFX_IDW_STATUS_BAR);
  virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);

  // One pane per id: an indicator's text is the string of its id (FALSE when
  // there is none) and its width that text's; id 0 is a message pane, the
  // first of which stretches and has no border.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int GetCount() const { return (int)m_panes.size(); }
  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const { return m_panes[nIndex].nID; }
  void GetItemRect(int nIndex, LPRECT lpRect) const { SendMessage(SB_GETRECT, nIndex, (LPARAM)lpRect); }
  CString GetPaneText(int nIndex) const { return m_panes[nIndex].strText; }
  void GetPaneText(int nIndex, CString& rString) const { rString = m_panes[nIndex].strText; }
  // Without bUpdate the text shows at the next idle time.
  BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  UINT GetPaneStyle(int nIndex) const { return m_panes[nIndex].nStyle; }
  void SetPaneStyle(int nIndex, UINT nStyle);
  // The control itself, for what the panes do not cover.
  CStatusBarCtrl& GetStatusBarCtrl() const { return *reinterpret_cast<CStatusBarCtrl*>(const_cast<CStatusBar*>(this)); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  // Places the panes in the control (bUpdateRects) and sends the texts that
  // wait (bUpdateText).
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

 protected:
  struct Pane {
    UINT nID = 0;
    int cxText = 0;  // width of the text area in pixels
    UINT nStyle = 0;
    bool bUpdate = false;  // text not yet in the control
    CString strText;
  };
  std::vector<Pane> m_panes;
  int m_nMinHeight = 0;

  HFONT PaneFont() const;
  void SendPaneText(int nIndex);

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};
