#include "ui/dialogs/dlglayout.h"

#include <algorithm>

#include "ui/dialogs/dlgids.h"

int DlgSizeChangePixels(int size, LONG change, int nominal) {
  if (!change || nominal <= 0) return 0;
  if (HIWORD((DWORD)change) == kDlgSizeAbsoluteMark)
    return (int)((long long)size * LOWORD((DWORD)change) / nominal) - size;
  return (int)((long long)size * change / nominal);
}

RECT DlgItemRect(HWND dialog, int id) {
  RECT rc = {};
  HWND item = GetDlgItem(dialog, id);
  if (!item) return rc;
  GetWindowRect(item, &rc);
  MapWindowPoints(nullptr, dialog, (POINT*)&rc, 2);
  return rc;
}

void MoveDlgItemBy(HWND dialog, int id, int dx, int dy, int dcx, int dcy) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return;
  RECT rc = DlgItemRect(dialog, id);
  SetWindowPos(item, nullptr, rc.left + dx, rc.top + dy, rc.right - rc.left + dcx, rc.bottom - rc.top + dcy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterDlgButtons(HWND dialog, bool two, int top) {
  RECT client, ok = DlgItemRect(dialog, IDOK), cancel = DlgItemRect(dialog, IDCANCEL);
  GetClientRect(dialog, &client);
  int okWidth = ok.right - ok.left, cancelWidth = cancel.right - cancel.left;
  int gap = cancel.left - ok.right;
  int total = two ? okWidth + gap + cancelWidth : okWidth;
  int left = (client.right - total) / 2;
  SetWindowPos(GetDlgItem(dialog, IDOK), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (two)
    SetWindowPos(GetDlgItem(dialog, IDCANCEL), nullptr, left + okWidth + gap, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceChoiceDlg(HWND dialog, const RECT& window, const POINT* rememberedPos, SIZE rememberedSize, LONG widthChange,
                    LONG heightChange, SIZE minimum, bool cancel) {
  int x = window.left, y = window.top, cx = window.right - window.left, cy = window.bottom - window.top;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
  if (rememberedPos && rememberedPos->x >= -20 && rememberedPos->x < GetSystemMetrics(SM_CXSCREEN) - 50 &&
      rememberedPos->y >= -20 && rememberedPos->y < GetSystemMetrics(SM_CYSCREEN) - 50) {
    x = rememberedPos->x, y = rememberedPos->y;
    flags &= ~SWP_NOMOVE;
  }
  if (rememberedSize.cx > 0) {
    cx = rememberedSize.cx, cy = rememberedSize.cy;
  } else {
    cx += DlgSizeChangePixels(cx, widthChange, kChoiceNominalWidth);
    cy += DlgSizeChangePixels(cy, heightChange, kChoiceNominalHeight);
  }
  cx = std::max(cx, (int)minimum.cx);
  cy = std::max(cy, (int)minimum.cy);
  if (!cancel) ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
  SetWindowPos(dialog, nullptr, x, y, cx, cy, flags);
}

void KeepSizingMinimum(UINT side, RECT* rect, SIZE minimum) {
  if (rect->right - rect->left < minimum.cx) {
    if (side == WMSZ_LEFT || side == WMSZ_TOPLEFT || side == WMSZ_BOTTOMLEFT)
      rect->left = rect->right - minimum.cx;
    else
      rect->right = rect->left + minimum.cx;
  }
  if (rect->bottom - rect->top < minimum.cy) {
    if (side == WMSZ_TOP || side == WMSZ_TOPLEFT || side == WMSZ_TOPRIGHT)
      rect->top = rect->bottom - minimum.cy;
    else
      rect->bottom = rect->top + minimum.cy;
  }
}
