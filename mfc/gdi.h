// GDI object wrappers: CGdiObject, CPen, CBrush, CFont, CBitmap, CRgn. An
// object deletes the GDI object it holds; temporary wrappers from FromHandle
// delete nothing.
#pragma once

#include <windows.h>

#include "mfc/msgmap.h"

class CDC;

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  ~CGdiObject() override { DeleteObject(); }

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return GetSafeHandle(); }
  HGDIOBJ GetSafeHandle() const {
    const CGdiObject* p = AfxOpaque(this);
    return p ? p->m_hObject : nullptr;
  }
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  static void DeleteTempMap();
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();  // FALSE when there is nothing to delete

  int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
  UINT GetObjectType() const { return (UINT)::GetObjectType(m_hObject); }
  BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
  BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
  }
  BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
  operator HPEN() const { return (HPEN)GetSafeHandle(); }
  static CPen* FromHandle(HPEN hPen) { return static_cast<CPen*>(CGdiObject::FromHandle(hPen)); }
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
  BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
  BOOL CreatePatternBrush(class CBitmap* pBitmap);
  BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
  operator HBRUSH() const { return (HBRUSH)GetSafeHandle(); }
  static CBrush* FromHandle(HBRUSH hBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush)); }
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename) {
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
  }
  // A font of nPointSize tenths of a point on pDC (the screen when null).
  BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
  int GetLogFont(LOGFONTA* pLogFont) { return GetObject(sizeof(LOGFONTA), pLogFont); }
  operator HFONT() const { return (HFONT)GetSafeHandle(); }
  static CFont* FromHandle(HFONT hFont) { return static_cast<CFont*>(CGdiObject::FromHandle(hFont)); }
};

class CBitmap : public CGdiObject {
 public:
  BOOL LoadBitmap(LPCSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
  BOOL LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
  }
  BOOL CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) { return GetObject(sizeof(BITMAP), pBitMap); }
  operator HBITMAP() const { return (HBITMAP)GetSafeHandle(); }
  static CBitmap* FromHandle(HBITMAP hBitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap)); }
};

class CRgn : public CGdiObject {
 public:
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
  BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
  BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
  }
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
  }
  void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2); }
  void SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->GetSafeHandle(), (HRGN)pRgn2->GetSafeHandle(), nCombineMode);
  }
  int CopyRgn(const CRgn* pRgnSrc) {
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->m_hObject, nullptr, RGN_COPY);
  }
  int OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
  int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
  BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
  BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion((HRGN)m_hObject, lpRect); }
  BOOL EqualRgn(const CRgn* pRgn) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->m_hObject); }
  operator HRGN() const { return (HRGN)GetSafeHandle(); }
  static CRgn* FromHandle(HRGN hRgn) { return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn)); }
};
