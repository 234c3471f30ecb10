#include "ui/dialogs/dlglayout.h"

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
