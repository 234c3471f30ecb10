#include "mfc/gdi.h"

#include "mfc/dc.h"
#include "mfc/globals.h"
#include "mfc/handlemap.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CHandleMap& afxMapHGDIOBJ() { return AfxHandleMapOf<CGdiObject, HGDIOBJ, &CGdiObject::m_hObject>(AfxHandleGdi); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  return static_cast<CGdiObject*>(afxMapHGDIOBJ().FromHandle(hObject));
}

void CGdiObject::DeleteTempMap() { AfxGetThreadState()->DeleteTempMap(AfxHandleGdi); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) { return AfxAttachHandle(afxMapHGDIOBJ(), this, m_hObject, hObject); }

HGDIOBJ CGdiObject::Detach() { return AfxDetachHandle(afxMapHGDIOBJ(), this, m_hObject); }

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
  // Tenths of a point to logical units of the device.
  POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720)};
  ::DPtoLP(hDC, &pt, 1);
  POINT org = {0, 0};
  ::DPtoLP(hDC, &org, 1);
  lf.lfHeight = -abs(pt.y - org.y);
  if (!pDC) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCSTR lpszResourceName) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}
