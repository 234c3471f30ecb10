// CControlBar: a bar docked at an edge of its frame (toolbar, status bar).
// Its bar style (CBRS_...) says where it docks and which borders it has; the
// frame's layout asks it for its size (CalcFixedLayout, CalcDynamicLayout)
// through WM_SIZEPARENT, and idle time updates its items through
// OnUpdateCmdUI (WM_IDLEUPDATECMDUI).
#pragma once

#include "mfc/framemsg.h"
#include "mfc/wnd.h"

class CFrameWnd;

// Bar styles: kept in m_dwStyle; the low word is no window style.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Modes of CalcDynamicLayout.
#define LM_STRETCH 0x01   // as wide (high) as the frame
#define LM_HORZ 0x02      // horizontal, else vertical
#define LM_MRUWIDTH 0x04  // the width the bar last had floating
#define LM_HORZDOCK 0x08  // docked at the top or bottom
#define LM_VERTDOCK 0x10  // docked at the left or right
#define LM_LENGTHY 0x20   // nLength is a height, else a width
#define LM_COMMIT 0x40    // the size is used: remember it

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)

 public:
  // The bar's size: along the frame's edge (stretched to the frame with
  // bStretch) and across it.
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
  // Updates the bar's items through pTarget's update handlers.
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
  virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {}
  // The command of the item under the point (client coordinates), -1 for
  // none: what tooltips (CBRS_TOOLTIPS) and fly-by prompts (CBRS_FLYBY) show.
  virtual INT_PTR OnToolHitTest(CPoint point) const { return -1; }

  // The client area less the bar's borders and gripper.
  void CalcInsideRect(CRect& rect, BOOL bHorz) const;
  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD dwStyle);
  void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
  void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

  // Docking: the sides the bar may dock at (CBRS_ALIGN_...).
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  BOOL IsFloating() const { return FALSE; }
  // Shown, counting a show or hide that waits for the next layout.
  BOOL IsVisible() const;
  // The show or hide takes effect at the frame's next layout.
  void DelayShow(BOOL bShow);
  CFrameWnd* GetDockingFrame() const;

  BOOL m_bAutoDelete = FALSE;  // deleted with its window
  DWORD m_dwStyle = 0;         // bar style
  DWORD m_dwDockStyle = 0;
  CFrameWnd* m_pDockSite = nullptr;
  int m_cxLeftBorder = 6;
  int m_cxRightBorder = 6;
  int m_cyTopBorder = 1;
  int m_cyBottomBorder = 1;

 protected:
  CControlBar() = default;
  void PostNcDestroy() override;
  // Commands of controls inside the bar go on to its frame.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg void OnTimer(UINT_PTR nIDEvent);

  // Borders and gripper lie outside the client area: bars that want them bind
  // these to WM_NCCALCSIZE and WM_NCPAINT.
  afx_msg LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
  void EraseNonClient();
  virtual void DrawBorders(CDC* pDC, CRect& rect);
  virtual void DrawGripper(CDC* pDC, const CRect& rect);

  friend class CFrameWnd;
  enum StateFlags { delayHide = 1, delayShow = 2 };
  UINT m_nStateFlags = 0;

  // Tooltips and fly-by prompts: the mouse over an item.
  void OnToolMouse(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnToolTipText(NMHDR* pNMHDR);
  // Ends a prompt whose WM_MOUSELEAVE did not come.
  void OnToolCheckTimer();
  enum { kToolCheckTimer = 0x7C01, kToolCheckInterval = 200 };
  HWND m_hWndToolTip = nullptr;
  INT_PTR m_nHitCommand = -1;  // the item the mouse is over
  BOOL m_bTrackingLeave = FALSE;

  DECLARE_MESSAGE_MAP()
};
