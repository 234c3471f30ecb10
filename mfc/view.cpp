#include "mfc/view.h"

#include "mfc/dc.h"
#include "mfc/doctemplate.h"
#include "mfc/document.h"
#include "mfc/frame.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
  ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

void CView::PostNcDestroy() { delete this; }

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    if (!AfxRegisterFrameOrViewClass()) return FALSE;
    cs.lpszClass = afxWndFrameOrView;
  }
  if (cs.style & WS_BORDER) {
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
  }
  return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (pContext && pContext->m_pCurrentDoc) pContext->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame && pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr);
  CWnd::OnDestroy();
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

LRESULT CView::OnPrintClient(WPARAM wParam, LPARAM) {
  // Drawn into another DC (a picture of the window) as into the window.
  CDC dc;
  dc.m_hDC = (HDC)wParam;
  int nSaved = dc.SaveDC();
  OnPrepareDC(&dc);
  OnDraw(&dc);
  dc.RestoreDC(nSaved);
  dc.m_hDC = nullptr;
  return 0;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL bActivate, CView*, CView*) {
  // The active view has the focus while its frame is the active window.
  if (bActivate) {
    CWnd* pTop = GetTopLevelParent();
    if (pTop && ::GetActiveWindow() == pTop->m_hWnd && ::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus()))
      SetFocus();
  }
}

LRESULT CView::OnMouseActivate(WPARAM, LPARAM) {
  LRESULT nResult = Default();
  if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT) return nResult;
  // A click makes this view the frame's active one.
  if (CFrameWnd* pFrame = GetParentFrame()) {
    if (pFrame->GetActiveView() != this)
      pFrame->SetActiveView(this);
    else if (::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus()))
      OnActivateView(TRUE, this, this);
  }
  return nResult;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
