#include "ui/geometry.h"

void GetMonitorRectOfRect(const RECT* prc, RECT* pMonitor) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  HMONITOR monitor = MonitorFromRect(prc, MONITOR_DEFAULTTONULL);
  if (monitor && GetMonitorInfoA(monitor, &mi)) {
    *pMonitor = mi.rcMonitor;
    return;
  }
  SetRect(pMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

HWND GetRealParent(HWND hwnd) {
  if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) return nullptr;
  return GetAncestor(hwnd, GA_PARENT);
}

CPoint GetWindowTopLeft(const CWnd* pWnd) {
  RECT rc = {};
  GetWindowRect(pWnd->GetSafeHwnd(), &rc);
  return CPoint(rc.left, rc.top);
}

int GetWindowRectInParent(HWND hwnd, RECT* prc) {
  GetWindowRect(hwnd, prc);
  HWND parent = GetRealParent(hwnd);
  if (!parent) return 0;
  POINT origin = {0, 0};
  ClientToScreen(parent, &origin);
  prc->left -= origin.x;
  prc->right -= origin.x;
  prc->top -= origin.y;
  prc->bottom -= origin.y;
  return 1;
}

int GetDlgItemRectInParent(const CWnd* pDlg, int id, RECT* prc) {
  HWND item = pDlg ? GetDlgItem(pDlg->GetSafeHwnd(), id) : nullptr;
  if (!item) return 0;
  GetWindowRect(item, prc);
  MapWindowPoints(nullptr, pDlg->GetSafeHwnd(), reinterpret_cast<POINT*>(prc), 2);
  return 1;
}

int MoveDlgItemToItemRect(const CWnd* pDlg, int id, int refId) {
  HWND item = pDlg ? GetDlgItem(pDlg->GetSafeHwnd(), id) : nullptr;
  RECT rc;
  if (!item || !GetDlgItemRectInParent(pDlg, refId, &rc)) return 0;
  MoveWindow(item, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
  return 1;
}

BOOL MoveWindowTo(HWND hwnd, int x, int y, BOOL relative) {
  if (relative) {
    RECT rc;
    GetWindowRectInParent(hwnd, &rc);
    x += rc.left;
    y += rc.top;
  }
  return SetWindowPos(hwnd, nullptr, x, y, 0, 0, kMoveWindowFlags);
}

BOOL ResizeWindowTo(HWND hwnd, int cx, int cy, BOOL relative) {
  if (relative) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    cx += rc.right - rc.left;
    cy += rc.bottom - rc.top;
  }
  return SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, kResizeWindowFlags);
}
