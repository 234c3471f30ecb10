// CToolBar: a control bar of buttons (the common toolbar control) loaded
// from a toolbar resource (type 241: version 1, button width and height,
// count, then the command ids, 0 for a separator) and the bitmap of the same
// name. Idle time updates its buttons through their update handlers.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "mfc/afxres.h"
#include "mfc/controlbar.h"

// A button's state word: (state << 16) | style, with the enabled bit
// inverted so that it reads "disabled".
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)

#define RT_TOOLBAR MAKEINTRESOURCEA(241)

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)

 public:
  CToolBar();
  ~CToolBar() override;
  // The command of the button under the point (TB_HITTEST), -1 for none or a separator.
  INT_PTR OnToolHitTest(CPoint point) const override;

  // The bar's window; dwStyle holds window and bar styles (CBRS_...).
  virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                        UINT nID = AFX_IDW_TOOLBAR);

  // Buttons and sizes from the toolbar resource, images from its bitmap.
  BOOL LoadToolBar(LPCSTR lpszResourceName);
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
  BOOL LoadBitmap(LPCSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
  // The bar takes the bitmap (one image per button) and deletes it.
  BOOL SetBitmap(HBITMAP hbmImageWell);
  // One button per id, a separator for ID_SEPARATOR; images in order.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);

  int GetCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }
  int CommandToIndex(UINT nIDFind) const { return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind); }
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const { SendMessage(TB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

  CSize m_sizeButton;                  // 23 x 22 until a resource says otherwise
  CSize m_sizeImage;                   // 16 x 15
  int m_nMRUWidth = 32767;             // width of the last committed horizontal layout
  BOOL m_bDelayedButtonLayout = TRUE;  // the buttons changed since the last layout

 protected:
  HBITMAP m_hbmImageWell = nullptr;

  DECLARE_MESSAGE_MAP()
};
