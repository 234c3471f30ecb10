// CPoint, CSize and CRect: the Windows POINT, SIZE and RECT with arithmetic.
#pragma once

#include <windows.h>

class CSize;
class CPoint;

class CSize : public SIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) {
    cx = x;
    cy = y;
  }
  CSize(SIZE s) {
    cx = s.cx;
    cy = s.cy;
  }
  explicit CSize(POINT p) {
    cx = p.x;
    cy = p.y;
  }
  explicit CSize(DWORD dw) {
    cx = (short)LOWORD(dw);
    cy = (short)HIWORD(dw);
  }

  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(SIZE s) const { return !(*this == s); }
  void operator+=(SIZE s) {
    cx += s.cx;
    cy += s.cy;
  }
  void operator-=(SIZE s) {
    cx -= s.cx;
    cy -= s.cy;
  }
  CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public POINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int ix, int iy) {
    x = ix;
    y = iy;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }
  explicit CPoint(SIZE s) {
    x = s.cx;
    y = s.cy;
  }
  // From a message's lParam: signed 16-bit halves.
  explicit CPoint(LPARAM dwPoint) {
    x = (short)LOWORD(dwPoint);
    y = (short)HIWORD(dwPoint);
  }

  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  void Offset(POINT p) {
    x += p.x;
    y += p.y;
  }
  void Offset(SIZE s) {
    x += s.cx;
    y += s.cy;
  }
  void SetPoint(int ix, int iy) {
    x = ix;
    y = iy;
  }

  bool operator==(POINT p) const { return x == p.x && y == p.y; }
  bool operator!=(POINT p) const { return !(*this == p); }
  void operator+=(SIZE s) {
    x += s.cx;
    y += s.cy;
  }
  void operator-=(SIZE s) {
    x -= s.cx;
    y -= s.cy;
  }
  void operator+=(POINT p) {
    x += p.x;
    y += p.y;
  }
  void operator-=(POINT p) {
    x -= p.x;
    y -= p.y;
  }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
  CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& rc) { CopyRect(&rc); }
  CRect(LPCRECT prc) { CopyRect(prc); }
  CRect(POINT p, SIZE s) {
    left = p.x;
    top = p.y;
    right = p.x + s.cx;
    bottom = p.y + s.cy;
  }
  CRect(POINT topLeft, POINT bottomRight) {
    left = topLeft.x;
    top = topLeft.y;
    right = bottomRight.x;
    bottom = bottomRight.y;
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
  CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
  const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  BOOL EqualRect(LPCRECT prc) const { return ::EqualRect(this, prc); }

  void SetRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
  void SetRectEmpty() { left = top = right = bottom = 0; }
  void CopyRect(LPCRECT prc) {
    left = prc->left;
    top = prc->top;
    right = prc->right;
    bottom = prc->bottom;
  }

  void InflateRect(int x, int y) {
    left -= x;
    top -= y;
    right += x;
    bottom += y;
  }
  void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
  void InflateRect(LPCRECT prc) {
    left -= prc->left;
    top -= prc->top;
    right += prc->right;
    bottom += prc->bottom;
  }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int x, int y) { InflateRect(-x, -y); }
  void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
  void DeflateRect(LPCRECT prc) {
    left += prc->left;
    top += prc->top;
    right -= prc->right;
    bottom -= prc->bottom;
  }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  void OffsetRect(int x, int y) {
    left += x;
    right += x;
    top += y;
    bottom += y;
  }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
  void MoveToX(int x) {
    right = x + Width();
    left = x;
  }
  void MoveToY(int y) {
    bottom = y + Height();
    top = y;
  }
  void MoveToXY(int x, int y) {
    MoveToX(x);
    MoveToY(y);
  }
  void MoveToXY(POINT p) { MoveToXY(p.x, p.y); }
  void NormalizeRect() {
    if (left > right) {
      int t = left;
      left = right;
      right = t;
    }
    if (top > bottom) {
      int t = top;
      top = bottom;
      bottom = t;
    }
  }

  BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

  bool operator==(const RECT& rc) const { return ::EqualRect(this, &rc) != FALSE; }
  bool operator!=(const RECT& rc) const { return !(*this == rc); }
  void operator+=(POINT p) { OffsetRect(p); }
  void operator+=(SIZE s) { OffsetRect(s); }
  void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
  void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
  void operator&=(const RECT& rc) { ::IntersectRect(this, this, &rc); }
  void operator|=(const RECT& rc) { ::UnionRect(this, this, &rc); }
  CRect operator+(POINT p) const {
    CRect r(*this);
    r.OffsetRect(p);
    return r;
  }
  CRect operator-(POINT p) const {
    CRect r(*this);
    r.OffsetRect(-p.x, -p.y);
    return r;
  }
  CRect operator+(SIZE s) const {
    CRect r(*this);
    r.OffsetRect(s);
    return r;
  }
  CRect operator-(SIZE s) const {
    CRect r(*this);
    r.OffsetRect(-s.cx, -s.cy);
    return r;
  }
  CRect operator&(const RECT& rc) const {
    CRect r;
    ::IntersectRect(&r, this, &rc);
    return r;
  }
  CRect operator|(const RECT& rc) const {
    CRect r;
    ::UnionRect(&r, this, &rc);
    return r;
  }
};
