// CToolBarNew: the frame's toolbar on the "ToolbarExWindow32" control. It
// builds its buttons and images with the control's own messages, sizes
// itself with TBX_CALCSIZE, forwards embedded controls' commands to the main
// window, drives the control's hot tracking from its timer and offers a
// context menu for icon size, flat style and hiding.
#pragma once

#include "controls/toolbar/toolbarex.h"
#include "mfc/toolbar.h"

// Context-menu items: control-style bits 16-20 show them, their commands.
const DWORD kToolBarMenuSmall = 0x00010000;
const DWORD kToolBarMenuMedium = 0x00020000;
const DWORD kToolBarMenuLarge = 0x00040000;
const DWORD kToolBarMenuFlat = 0x00080000;
const DWORD kToolBarMenuHide = 0x00100000;
const DWORD kToolBarMenuMask = 0x001F0000;
const UINT kToolBarCmdFirst = 0xD000;  // 0xD000-0xD004 in the order above
const UINT kToolBarCmdHide = 0xD004;
const UINT kToolBarMenuTextsId = 0x4001;  // string: the five texts split at '\n'
const UINT kToolBarKeepButtons = 0x4567;  // LoadToolBar id count: keep the current buttons

// An in-memory toolbar for LoadToolBar in place of a resource name: the
// bitmap (module 0: an HBITMAP, else a bitmap resource of the module) and
// the command ids of its cells, 0 for a separator.
struct ToolBarDescriptor {
  HINSTANCE module;
  UINT_PTR source;
  WORD flags;  // kTbxImage*; kTbxImageFixed is always added
  WORD scale;  // 0: LoadToolBar's scale
  WORD width;  // cell width, kTbxScanCells for marked cells
  WORD count;
  const UINT* ids;
};

class CToolBarNew : public CToolBar {
  DECLARE_DYNAMIC(CToolBarNew)

 public:
  CToolBarNew();
  ~CToolBarNew() override;

  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR) override;
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR) override;

  // names: up to 8 toolbar resources ended by NULL; ids: the buttons' order
  // (NULL: the first resource's), count kToolBarKeepButtons keeps the bar's.
  // A name whose descriptors[n] is not 0 is a const ToolBarDescriptor*.
  BOOL LoadToolBar(const LPCSTR* names, const UINT* ids, int count, const BYTE* descriptors = nullptr, int scale = 256);
  BOOL LoadToolBar(UINT nIDResource);
  // Replaces the first image entry's bitmap (imageWidth below 1: the
  // loaded cell width; kTbxScanCells: marked cells). With own the bar
  // deletes the bitmap when it is no longer used. When no entry can take
  // it the bar is rebuilt on it: ids are then the commands of its cells in
  // order, 0 a separator (NULL or count kToolBarKeepButtons: the buttons
  // the bar has).
  BOOL ReplaceBitmapFromHandle(HBITMAP bitmap, int imageWidth, BOOL own, const UINT* ids = nullptr, int count = 0,
                               int scale = 0);
  BOOL ReplaceBitmapFromResource(UINT id, int imageWidth, HINSTANCE module = nullptr, const UINT* ids = nullptr,
                                 int count = 0, int scale = 0);
  BOOL ReplaceBitmap(UINT id, int imageWidth) { return ReplaceBitmapFromResource(id, imageWidth); }
  BOOL SetButtons(const UINT* ids, int count);
  BOOL MakeButtonGroup(int first, int count);
  void SetButtonInfo(int button, int id, int stateWord, int image);
  void SetButtonInfoEx(int button, int id, int stateWord, int image, WORD styleWord, WORD styleMask);
  BOOL GetButtonInfo(int button, UINT* id, UINT* stateWord, int* image) const;
  // The same with the style word in the request (it is not handed back).
  BOOL GetButtonInfoEx(int button, UINT* id, UINT* stateWord, int* image) const;
  void SetStyle(DWORD style);
  DWORD ModifyStyle(DWORD value, DWORD mask, BOOL relayout);
  int SetImageScale(int scale, BOOL relayout);
  int SetImageEntryScale(int entry, int scale, BOOL relayout);
  COLORREF SetColors(COLORREF color0, COLORREF color1);
  void SetButtonColor(int button, DWORD value, int kind);
  int SetButtonControl(CWnd* control, DWORD button, int n, BOOL setFont);
  // Stores the windows as the values of the buttons with these ids.
  void AttachControls(int n, const UINT* ids, CWnd* const* controls, COLORREF firstColor);
  void AttachControlRange(int n, UINT firstId, CWnd* const* controls, COLORREF firstColor);
  CWnd* GetControlAt(int n) const;
  CWnd* FindControlById(int id, int k) const;
  BOOL AddLabel(LPCSTR text, DWORD anchor, int dx, int dy, BYTE flags, BYTE tag);
  void RecalcLayout();
  CSize FitSize(BOOL apply, int minWidth);
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return SendMessage(msg, wParam, lParam); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  static int MinLengthFor(int iconHeight);

  LPCSTR m_menuTexts[5];
  WORD m_menuIds[5];
  DWORD m_menuFlags = 0;
  int m_iconSizeIndex = 0;
  int m_minLength = 16;
  int m_imageWidth = 0;
  HBITMAP m_ownedBitmap = nullptr;  // the image entry's bitmap that the bar deletes

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  CSize WithBorders(LRESULT size, BOOL horizontal);
  BOOL ButtonInfo(int button, DWORD extraMask, UINT* id, UINT* stateWord, int* image) const;
  DECLARE_MESSAGE_MAP()
};
