#include "mfc/dc.h"

#include "mfc/handlemap.h"
#include "mfc/wnd.h"

IMPLEMENT_DYNAMIC(CDC, CObject)

CHandleMap& afxMapHDC() { return AfxHandleMapOf<CDC, HDC, &CDC::m_hDC>(AfxHandleDC); }

CDC::~CDC() {
  if (m_hDC) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) { return static_cast<CDC*>(afxMapHDC().FromHandle(hDC)); }

void CDC::DeleteTempMap() { AfxGetThreadState()->DeleteTempMap(AfxHandleDC); }

BOOL CDC::Attach(HDC hDC) { return AfxAttachHandle(afxMapHDC(), this, m_hDC, hDC); }

HDC CDC::Detach() { return AfxDetachHandle(afxMapHDC(), this, m_hDC); }

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CGdiObject* CDC::SelectGdiObject(CGdiObject* pObject) {
  if (!pObject) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT rc = {x, y, x + cx, y + cy};
  FillSolidRect(&rc, clr);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
             clrBottomRight);
}

CBrush* CDC::GetHalftoneBrush() {
  static CBrush* brush = [] {
    WORD bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = (WORD)(0x5555 << (i & 1));
    HBITMAP bmp = ::CreateBitmap(8, 8, 1, 1, bits);
    CBrush* b = new CBrush;  // lives as long as the process
    b->Attach(::CreatePatternBrush(bmp));
    ::DeleteObject(bmp);
    return b;
  }();
  return brush;
}

namespace {
// The frame between rc and rc shrunk by size, as a region.
HRGN FrameRegion(LPCRECT lpRect, SIZE size) {
  RECT inner = *lpRect;
  ::InflateRect(&inner, -size.cx, -size.cy);
  ::IntersectRect(&inner, &inner, lpRect);
  HRGN outer = ::CreateRectRgnIndirect(lpRect);
  HRGN hole = ::CreateRectRgnIndirect(&inner);
  ::CombineRgn(outer, outer, hole, RGN_XOR);
  ::DeleteObject(hole);
  return outer;
}

void InvertRegion(HDC hDC, HRGN rgn, HBRUSH brush) {
  ::SelectClipRgn(hDC, rgn);
  RECT box;
  ::GetClipBox(hDC, &box);
  HGDIOBJ old = ::SelectObject(hDC, brush);
  ::PatBlt(hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
  ::SelectObject(hDC, old);
}
}  // namespace

void CDC::DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast, CBrush* pBrush,
                       CBrush* pBrushLast) {
  HBRUSH brush = (HBRUSH)(pBrush ? pBrush : GetHalftoneBrush())->m_hObject;
  HBRUSH brushLast = pBrushLast ? (HBRUSH)pBrushLast->m_hObject : brush;
  HRGN rgnNew = FrameRegion(lpRect, size);
  if (lpRectLast) {
    HRGN rgnLast = FrameRegion(lpRectLast, sizeLast);
    if (brushLast == brush) {
      // One pass: what is in only one of the frames changes.
      ::CombineRgn(rgnNew, rgnNew, rgnLast, RGN_XOR);
    } else {
      InvertRegion(m_hDC, rgnLast, brushLast);
    }
    ::DeleteObject(rgnLast);
  }
  InvertRegion(m_hDC, rgnNew, brush);
  ::SelectClipRgn(m_hDC, nullptr);
  ::DeleteObject(rgnNew);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetWindowDC(m_hWnd)); }

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
