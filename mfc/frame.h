// CFrameWnd: the top-level window of a document. It is made from the
// resources of one id (menu, accelerators, icon and title), lays out its
// control bars at its edges and its view in the rest, routes commands
// (active view, its document, the frame, the application), updates its menus
// through their update handlers and shows prompts and the idle text in its
// status bar. A frame deletes itself when its window is destroyed.
#pragma once

#include "mfc/afxres.h"
#include "mfc/framemsg.h"
#include "mfc/wnd.h"

class CControlBar;
class CDocument;
class CFrameWnd;
class CView;
struct CCreateContext;

// Frame styles (the low word of the window style of an overlapped window).
#define FWS_ADDTOTITLE 0x00008000L   // the document's name joins the title
#define FWS_PREFIXTITLE 0x00004000L  // ...in front of it
#define FWS_SNAPTOBARS 0x00002000L

// The class of frames and views that name none.
extern const char afxWndFrameOrView[];
BOOL AfxRegisterFrameOrViewClass();
// True when the focus window of a key message keeps the key from the
// frame's accelerators: every key for a window that wants all keys, the
// editing keys (moving, deleting, clipboard, undo, select all) for an edit box.
BOOL AfxFocusKeepsKey(const MSG* pMsg);

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)

 public:
  // CW_USEDEFAULT in every corner: the system places and sizes the window.
  static const CRect rectDefault;

  CFrameWnd() = default;

  // Creates the frame from the resources of nIDResource; FALSE when it could
  // not be made (the frame has then deleted itself).
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
              DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);

  // Layout: each visible control bar takes a strip at its edge, the view
  // (child id AFX_IDW_PANE_FIRST) the rest.
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  void DelayRecalcLayout(BOOL bNotify = TRUE) { m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0); }
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
  // Lays out the children with ids nIDFirst..nIDLast (WM_SIZEPARENT) and
  // gives nIDLeftOver what remains. reposQuery only computes: lpRectParam
  // gets the rest (bStretch) or the bars' total size. reposExtra keeps the
  // borders in lpRectParam free around the leftover window.
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

  // Control bars (docked at the frame's edges).
  void EnableDocking(DWORD dwDockStyle);
  // Docks the bar at the side nDockBarID (AFX_IDW_DOCKBAR_...) or, with 0,
  // at the first side that both allow (top, bottom, left, right).
  void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  CControlBar* GetControlBar(UINT nID);
  // Shows the bar of that id if hidden, else hides it; FALSE without one.
  BOOL OnBarCheck(UINT nID);

  // Views and documents.
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  // Makes the first view active, sends the views their initial update and
  // shows the frame (the application's show command for the main window).
  virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  virtual void ActivateFrame(int nCmdShow = -1);
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  const CString& GetTitle() const { return m_strTitle; }
  void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }

  // Status bar: a command's prompt is the part of its string before "\n".
  virtual void GetMessageString(UINT nID, CString& rMessage) const;
  void SetMessageText(LPCSTR lpszText);
  void SetMessageText(UINT nID);
  CWnd* GetMessageBar();

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  HACCEL m_hAccelTable = nullptr;
  BOOL m_bAutoMenuEnable = TRUE;  // menu items without a handler are disabled

 protected:
  void PostNcDestroy() override;
  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  // The view of the context's view class, child id nID; null on failure.
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  void UpdateFrameTitleForDocument(LPCSTR lpszDocName);

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
  afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  afx_msg void OnBarCheckCommand(UINT nID);

  enum { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
  UINT m_nIdleFlags = 0;
  CString m_strTitle;
  CView* m_pViewActive = nullptr;
  UINT m_nIDHelp = 0;
  UINT m_nIDTracking = 0;     // the menu item the prompt is wanted for
  UINT m_nIDLastMessage = 0;  // the prompt the status bar shows
  DWORD m_dwDockStyle = 0;
  BOOL m_bInRecalcLayout = FALSE;

  DECLARE_MESSAGE_MAP()
};
