// STAND-IN until the registry browser pane exists; see panestandin.h.
#include "app/panestandin.h"

BEGIN_MESSAGE_MAP(CPaneStandIn, CWnd)
  ON_WM_PAINT()
  ON_WM_SETFOCUS()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CPaneStandIn::CreateWnd(CWnd* parent, const RECT& rc, UINT id, DWORD style) {
  m_style = style;
  LPCSTR cls =
      AfxRegisterWndClass(CS_DBLCLKS, LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), nullptr);
  return CreateEx(WS_EX_CLIENTEDGE, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, rc, parent, id);
}

void CPaneStandIn::SetStyle(DWORD mask, BOOL bOn) {
  m_style = bOn ? (m_style | mask) : (m_style & ~mask);
  if (m_hWnd) Invalidate();
}

void CPaneStandIn::NavigateTo(const char* path, int /*historyMode*/) {
  m_path = path ? path : "";
  if (m_hWnd) Invalidate();
}

int CPaneStandIn::HitTest(CPoint /*screenPt*/) const { return 0; }

void CPaneStandIn::FocusNext(int /*direction*/) { SetFocus(); }

void CPaneStandIn::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CString text;
  text.Format("Fenster %d%s%s", GetDlgCtrlID() - 4239, m_path.IsEmpty() ? "" : ": ", (const char*)m_path);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

void CPaneStandIn::OnSetFocus(CWnd* pOldWnd) {
  CWnd::OnSetFocus(pOldWnd);
  NMHDR nm = {m_hWnd, (UINT_PTR)GetDlgCtrlID(), (UINT)NM_SETFOCUS};
  GetParent()->SendMessage(WM_NOTIFY, nm.idFrom, (LPARAM)&nm);
}

void CPaneStandIn::OnLButtonDown(UINT nFlags, CPoint point) {
  SetFocus();
  CWnd::OnLButtonDown(nFlags, point);
}
