// CView: a child window of a frame that shows a document. It paints through
// OnDraw, hears of document changes through OnUpdate, and routes commands it
// does not handle to its document.
#pragma once

#include "mfc/wnd.h"

class CDocument;
class CFrameWnd;

// The style of the view that a frame makes; the view replaces the border by
// a sunken edge.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

 public:
  ~CView() override;  // leaves its document

  CDocument* GetDocument() const { return m_pDocument; }

  // The first update after the frame was made or its document renewed;
  // calls OnUpdate(nullptr, 0, nullptr).
  virtual void OnInitialUpdate();
  // The document changed (lHint 0: everything); repaints the view.
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnPrepareDC(CDC* pDC) {}
  // The frame made this view active (or another one).
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  CView() = default;
  void PostNcDestroy() override;  // a view deletes itself with its window

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  afx_msg LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);

  CDocument* m_pDocument = nullptr;

 private:
  friend class CDocument;
  DECLARE_MESSAGE_MAP()
};
