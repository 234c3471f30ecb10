#include "ui/grips.h"

namespace {
const int kGrip = 20;

inline COLORREF Half(COLORREF c) { return (c >> 1) & 0x7F7F7F; }
inline COLORREF Quarter(COLORREF c) { return (c >> 2) & 0x3F3F3F; }

int DropArrowTop(int length, DWORD position) {
  int y = (short)LOWORD(position);
  switch (position & kDropArrowPlaceMask) {
    case kDropArrowCentred:
      return y + length / 2 - 9;
    case kDropArrowAtEnd:
      return y + length - 19;
  }
  return y;
}

// Fills a rectangle of the upright grip, or of the lying one with x and y
// exchanged.
void Piece(HDC dc, bool lying, int l, int t, int r, int b, COLORREF color) {
  RECT rc = lying ? RECT{t, l, b, r} : RECT{l, t, r, b};
  SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void DrawGrip(HDC dc, int x, int length, DWORD position, bool lying) {
  int y = DropArrowTop(length, position);
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light3d = GetSysColor(COLOR_3DLIGHT);
  COLORREF dark = Half(shadow) + Quarter(shadow);
  COLORREF mid = Half(light3d) + Half(dark);
  COLORREF light = Half(dark) + 0x7F7F7F;
  COLORREF deep = Half(dark) + Half(shadow);
  COLORREF oldBk = GetBkColor(dc);
  Piece(dc, lying, x + 1, y, x + 6, y + 19, dark);
  Piece(dc, lying, x + 2, y - 1, x + 5, y, mid);
  Piece(dc, lying, x + 2, y + 19, x + 5, y + 20, mid);
  Piece(dc, lying, x + 1, y + 19, x + 2, y + 20, light);
  Piece(dc, lying, x + 1, y - 1, x + 2, y, light);
  Piece(dc, lying, x + 5, y - 1, x + 6, y, deep);
  Piece(dc, lying, x + 5, y + 19, x + 6, y + 20, deep);
  bool turned = (position & kDropArrowTurned) != 0;
  int col5 = turned ? x + 2 : x + 4, col1 = turned ? x + 4 : x + 2;
  Piece(dc, lying, col5, y + 7, col5 + 1, y + 12, light3d);
  Piece(dc, lying, x + 3, y + 8, x + 4, y + 11, light3d);
  Piece(dc, lying, col1, y + 9, col1 + 1, y + 10, light3d);
  SetBkColor(dc, oldBk);
}
}  // namespace

UINT HitTestRectBorder(const RECT* prc, int x, int y, int border, UINT excluded, HCURSOR* pCursor) {
  if (pCursor) *pCursor = nullptr;
  POINT pt = {x, y};
  if (border != 0) {
    int b = border > 0 ? border : -border;
    RECT outer = *prc, inner = *prc;
    if (border < 0) InflateRect(&outer, b, b);
    InflateRect(&inner, -b, -b);
    if (!PtInRect(&outer, pt) || PtInRect(&inner, pt)) return 0;
  }
  int width = prc->right - prc->left, height = prc->bottom - prc->top;
  int dx = x - prc->left, dy = y - prc->top;
  int gw = width < 2 * kGrip ? width / 2 : kGrip;
  int gh = height < 2 * kGrip ? height / 2 : kGrip;
  UINT code = 0;
  if (dy < gh)
    code = kBorderTop;
  else if (dy >= height - gh)
    code = kBorderBottom;
  if (dx < gw)
    code |= kBorderLeft;
  else if (dx >= width - gw)
    code |= kBorderRight;
  code &= ~excluded;
  if (pCursor) {
    LPCSTR id = nullptr;
    switch (code) {
      case kBorderLeft:
      case kBorderRight:
        id = IDC_SIZEWE;
        break;
      case kBorderTop:
      case kBorderBottom:
        id = IDC_SIZENS;
        break;
      case kBorderTop | kBorderLeft:
      case kBorderBottom | kBorderRight:
        id = IDC_SIZENWSE;
        break;
      case kBorderTop | kBorderRight:
      case kBorderBottom | kBorderLeft:
        id = IDC_SIZENESW;
        break;
    }
    if (id) *pCursor = LoadCursorA(nullptr, id);
  }
  return code;
}

void DrawDropArrow(HDC dc, int x, int length, DWORD position) { DrawGrip(dc, x, length, position, false); }

void DrawDropArrow2(HDC dc, int y, int length, DWORD position) { DrawGrip(dc, y, length, position, true); }

int HitTestDropArrow(int x, int length, DWORD position, int px, int py) {
  int y = DropArrowTop(length, position);
  return px >= x && px <= x + 6 && py >= y && py <= y + 18 ? 1 : 0;
}

int DrawSplitterBarAt(int start, HDC dc, int offset, int length, BOOL horizontal) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
  // With the null pen a rectangle fills one pixel less to the right and
  // bottom: each band below shows as many rows as the bar needs.
  struct Band {
    int from, to;
    HBRUSH brush;
  };
  const Band bands[] = {
      {0, 2, GetSysColorBrush(COLOR_3DLIGHT)},     {1, 3, (HBRUSH)GetStockObject(WHITE_BRUSH)},
      {2, 8, GetSysColorBrush(COLOR_BTNFACE)},     {5, 7, GetSysColorBrush(COLOR_BTNSHADOW)},
      {6, 8, (HBRUSH)GetStockObject(BLACK_BRUSH)},
  };
  for (const Band& band : bands) {
    SelectObject(dc, band.brush);
    if (horizontal)
      Rectangle(dc, start, offset + band.from, start + length + 1, offset + band.to);
    else
      Rectangle(dc, offset + band.from, start, offset + band.to, start + length + 1);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  return kSplitterBarWidth;
}

int DrawSplitterBar(HDC dc, int offset, int length, BOOL horizontal) {
  return DrawSplitterBarAt(0, dc, offset, length, horizontal);
}
