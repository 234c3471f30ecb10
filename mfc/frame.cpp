// CFrameWnd: creation from the resources of one id, activation, title,
// command routing and closing.
#include "mfc/frame.h"

#include <cstring>

#include "mfc/controlbar.h"
#include "mfc/doctemplate.h"
#include "mfc/document.h"
#include "mfc/globals.h"
#include "mfc/resstring.h"
#include "mfc/view.h"
#include "mfc/winapp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
  ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, OnBarCheckCommand)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);

const char afxWndFrameOrView[] = "AfxFrameOrView";

BOOL AfxRegisterFrameOrViewClass() {
  static const BOOL bRegistered = [] {
    WNDCLASSA wc = {};
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (::GetClassInfoA(hInst, afxWndFrameOrView, &wc)) return (BOOL)TRUE;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = afxWndFrameOrView;
    return (BOOL)(::RegisterClassA(&wc) != 0);
  }();
  return bRegistered;
}

CFrameWnd* CWnd::GetParentFrame() const {
  if (!GetSafeHwnd()) return nullptr;
  for (HWND hWnd = ::GetParent(m_hWnd); hWnd; hWnd = ::GetParent(hWnd))
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
      if (pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(pWnd);
  return nullptr;
}

// ---------------------------------------------------------------------------
// Creation.

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    if (!AfxRegisterFrameOrViewClass()) return FALSE;
    cs.lpszClass = afxWndFrameOrView;
  }
  if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU hMenu = nullptr;
  if (lpszMenuName) {
    hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
    if (!hMenu) {
      PostNcDestroy();  // the frame deletes itself as after any failed creation
      return FALSE;
    }
  }
  m_strTitle = lpszWindowName ? lpszWindowName : "";
  bool bDefault = std::memcmp(&rect, &rectDefault, sizeof rect) == 0;
  if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, bDefault ? CW_USEDEFAULT : rect.left,
                bDefault ? CW_USEDEFAULT : rect.top, bDefault ? CW_USEDEFAULT : rect.right - rect.left,
                bDefault ? CW_USEDEFAULT : rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), hMenu, pContext)) {
    if (hMenu && ::IsMenu(hMenu)) ::DestroyMenu(hMenu);
    return FALSE;
  }
  return TRUE;
}

namespace {
// The frame's class with the icon of the template's id, when it has one.
LPCSTR IconWndClass(CFrameWnd* pFrame, DWORD dwStyle, UINT nIDResource) {
  HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
  if (!hIcon) return nullptr;
  CREATESTRUCTA cs = {};
  cs.style = (LONG)dwStyle;
  if (!pFrame->PreCreateWindow(cs) || !cs.lpszClass) return nullptr;
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wc)) return nullptr;
  return AfxRegisterWndClass(wc.style, wc.hCursor, wc.hbrBackground, hIcon);
}
}  // namespace

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  // The title is the first part of the document string.
  CString strFull;
  if (AfxLoadString(strFull, nIDResource)) AfxExtractSubString(m_strTitle, strFull, 0);
  CString strTitle = m_strTitle;
  LPCSTR lpszClass = IconWndClass(this, dwDefaultStyle, nIDResource);
  if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCEA(nIDResource), 0, pContext))
    return FALSE;
  m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
  // Without a template the views get their first update here.
  if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (!OnCreateClient(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams))) return -1;
  // The status bar that the derived frame makes next shows the idle text
  // once the frame runs.
  PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (pContext && pContext->m_pNewViewClass && !CreateView(pContext, AFX_IDW_PANE_FIRST)) return FALSE;
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  CWnd* pView = AfxCreateObjectOf<CWnd>(pContext->m_pNewViewClass);
  if (!pView) return nullptr;
  // The view starts in the room the bars made so far leave, so that a frame
  // that makes its bars first lays the view out once.
  CRect rect(0, 0, 0, 0);
  RepositionBars(0, 0xFFFF, nID, reposQuery, &rect);
  // A view that fails to be made deletes itself.
  if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, rect, this, nID, pContext)) return nullptr;
  // The view draws the sunken edge; the frame needs none of its own.
  if (pView->GetExStyle() & WS_EX_CLIENTEDGE) ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
  return pView;
}

void CFrameWnd::PostNcDestroy() { delete this; }

// ---------------------------------------------------------------------------
// Views, activation and title.

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* pViewOld = m_pViewActive;
  if (pViewNew == pViewOld) return;
  m_pViewActive = nullptr;
  if (pViewOld) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
  // The old view may have chosen another one meanwhile.
  if (m_pViewActive) return;
  m_pViewActive = pViewNew;
  if (pViewNew && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
  CView* pView = nullptr;
  if (!m_pViewActive) {
    CWnd* pPane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
    pView = DYNAMIC_DOWNCAST(CView, pPane);
    if (pView) SetActiveView(pView, FALSE);
  }
  if (bMakeVisible) {
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    // The main window first shows as the program was started; later
    // activations use the default.
    int nCmdShow = -1;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
      nCmdShow = pApp->m_nCmdShow;
      pApp->m_nCmdShow = -1;
    }
    ActivateFrame(nCmdShow);
    if (pView) pView->OnActivateView(TRUE, pView, pView);
  }
  OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) {
    if (!IsWindowVisible())
      nCmdShow = SW_SHOWNORMAL;
    else if (IsIconic())
      nCmdShow = SW_RESTORE;
  }
  if (nCmdShow != -1) ShowWindow(nCmdShow);
  if (nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINNOACTIVE &&
      nCmdShow != SW_SHOWNOACTIVATE && nCmdShow != SW_SHOWNA)
    BringWindowToTop();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* pDocument = GetActiveDocument();
  UpdateFrameTitleForDocument(bAddToTitle && pDocument ? (LPCSTR)pDocument->GetTitle() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName) {
  // A document without a name adds nothing (no lone " - ").
  CString strText;
  if (!lpszDocName || !*lpszDocName)
    strText = m_strTitle;
  else if (GetStyle() & FWS_PREFIXTITLE)
    strText = CString(lpszDocName) + " - " + m_strTitle;
  else
    strText = m_strTitle + " - " + lpszDocName;
  CString strOld;
  GetWindowText(strOld);
  if (strOld != strText) SetWindowText(strText);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
  if (m_pViewActive && m_pViewActive->m_hWnd)
    m_pViewActive->SetFocus();
  else
    CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnClose() {
  CDocument* pDocument = GetActiveDocument();
  if (pDocument && !pDocument->CanCloseFrame(this)) return;
  CWinApp* pApp = AfxGetApp();
  if (pApp && pApp->m_pMainWnd == this) {
    if (!pDocument && !pApp->SaveAllModified()) return;
    // Closing the documents closes their frames, this one among them.
    pApp->CloseAllDocuments(FALSE);
    if (!pApp->m_pMainWnd) return;
  }
  // The last frame of its document closes the document.
  if (pDocument && pDocument->m_bAutoDelete) {
    bool bOther = false;
    POSITION pos = pDocument->GetFirstViewPosition();
    while (pos) {
      CView* pView = pDocument->GetNextView(pos);
      if (pView->GetParentFrame() != this) bOther = true;
    }
    if (!bOther) {
      pDocument->OnCloseDocument();
      return;
    }
  }
  DestroyWindow();
}

// ---------------------------------------------------------------------------
// Commands.

namespace {
// Keys an edit box acts on itself: moving, deleting, the clipboard, undo
// (also Alt+Backspace) and select all.
bool IsEditingKey(WPARAM vk) {
  switch (vk) {
    case VK_BACK:
    case VK_DELETE:
    case VK_INSERT:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      return true;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Y':
    case 'Z':
      return ::GetKeyState(VK_CONTROL) < 0;
  }
  return false;
}
}  // namespace

BOOL AfxFocusKeepsKey(const MSG* pMsg) {
  // A window that wants every key (an in-place editor, which only Return or
  // Esc ends) keeps them all; an edit box keeps its editing keys, so that
  // Ctrl+A in a text field selects the text and not the list behind it.
  if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN) return FALSE;
  if (!pMsg->hwnd) return FALSE;
  UINT code = (UINT)::SendMessageA(pMsg->hwnd, WM_GETDLGCODE, pMsg->wParam, (LPARAM)pMsg);
  if (code & DLGC_WANTALLKEYS) return TRUE;
  return (code & DLGC_HASSETSEL) && IsEditingKey(pMsg->wParam);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable) {
    if (AfxFocusKeepsKey(pMsg)) return FALSE;
    return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
  }
  return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // The active view (and its document) first, then the frame, then the
  // application.
  if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* pApp = AfxGetApp();
  return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  // A button of a control bar gives a command like a menu item: one that its
  // update handler disables does not run, although the bar still sends it.
  HWND hWndCtrl = (HWND)lParam;
  CWnd* pCtrl = hWndCtrl ? FromHandlePermanent(hWndCtrl) : nullptr;
  if (pCtrl && HIWORD(wParam) == BN_CLICKED && pCtrl->IsKindOf(RUNTIME_CLASS(CControlBar)))
    return CWnd::OnCommand(MAKEWPARAM(LOWORD(wParam), 0), 0);
  return CWnd::OnCommand(wParam, lParam);
}
