// The info tip: a tracking tooltip that shows the whole text of a label or
// cell that is cut off, or what the parent supplies. Messages that show or
// hide the tip go out with the lock left.
#include <cstdlib>
#include <cstring>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kOnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
const UINT kTipShowMs = 1500;
const UINT kTipTickMs = 500;
const int kMaxInfoTipText = 1023;
const char kTipProcProp[] = "TreeListTipProc";

void FillTool(TreeListData* data, TTTOOLINFOA* ti) {
  memset(ti, 0, sizeof(*ti));
  ti->cbSize = TTTOOLINFOA_V2_SIZE;
  ti->uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  ti->hwnd = data->window;
  ti->uId = (UINT_PTR)data->window;
  GetClientRect(data->window, &ti->rect);
  ti->lpszText = LPSTR_TEXTCALLBACKA;
}

// Sends to the tooltip with every level of the lock left.
LRESULT SendTip(TreeListData* data, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND tip = data->toolTip;
  if (!tip) return 0;
  TreeListUnlocked unlocked(data);
  return SendMessageA(tip, msg, wParam, lParam);
}

bool OnTipThread(TreeListData* data) {
  return data->toolTip && GetWindowThreadProcessId(data->toolTip, nullptr) == GetCurrentThreadId();
}

void Deactivate(TreeListData* data) {
  TTTOOLINFOA ti;
  FillTool(data, &ti);
  SendTip(data, TTM_TRACKACTIVATE, FALSE, (LPARAM)&ti);
}

// Deactivates, positions and activates the tip at tipPoint.
void ShowTipNow(TreeListData* data) {
  TTTOOLINFOA ti;
  FillTool(data, &ti);
  POINT at = data->tipPoint;
  SendTip(data, TTM_TRACKACTIVATE, FALSE, (LPARAM)&ti);
  SendTip(data, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendTip(data, TTM_TRACKACTIVATE, TRUE, (LPARAM)&ti);
  TreeListKeepTipOnMonitor(data);
}

bool KeepText(TreeListData* data, const char* text, UINT length) {
  if (length + 1 > data->tipTextSize) {
    UINT size = (length + 1 + 255) / 256 * 256;
    char* grown = (char*)realloc(data->tipText, size);
    if (!grown) return false;
    data->tipText = grown;
    data->tipTextSize = size;
  }
  memcpy(data->tipText, text, length);
  data->tipText[length] = 0;
  return true;
}

// Shows text at the client corner, or arms the delay.
void ShowTip(TreeListData* data, TLHandle item, int column, const char* text, UINT length, bool bold, POINT corner,
             UINT delayMs) {
  if (!length || !KeepText(data, text, length)) {
    TreeListHideTip(data);
    return;
  }
  data->tipFont = bold && data->boldFont ? data->boldFont : data->measuredFont;
  ClientToScreen(data->window, &corner);
  if (delayMs) {
    if (data->tipItem && !data->tipDelay) {
      TTTOOLINFOA ti;
      FillTool(data, &ti);
      SendTip(data, TTM_TRACKACTIVATE, FALSE, (LPARAM)&ti);
    }
    data->tipPoint = corner;
    data->tipDelay = (delayMs + 499) / 500;
    data->tipItem = item;
    data->tipColumn = column;
    SetTimer(data->window, TL_TIMER_INFOTIP, kTipTickMs, nullptr);
    return;
  }
  data->tipPoint = corner;
  ShowTipNow(data);
  data->tipDelay = 0;
  data->tipItem = item;
  data->tipColumn = column;
  SetTimer(data->window, TL_TIMER_INFOTIP, kTipShowMs, nullptr);
}

// TLN_GETINFOTIP; true when the parent supplied a text (copied to out).
bool AskParent(TreeListData* data, TLHandle item, int column, const char* text, UINT length, UINT state, POINT corner,
               char** out, UINT* outLength, UINT* delayMs) {
  TreeListItem* record = TreeListLookup(data, item);
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)TLN_GETINFOTIP;
  nm.itemNew.mask = TLIF_CELL | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)item;
  nm.itemNew.state = state;
  nm.itemNew.stateMask = (UINT)-1;
  // The parent gets a copy: the stored text may move while the lock is out.
  char* copy = (char*)malloc(length + 1);
  if (!copy) return false;
  memcpy(copy, text, length);
  copy[length] = 0;
  nm.itemNew.pszText = copy;
  nm.itemNew.cchTextMax = (int)length;
  nm.itemNew.cChildren = column;
  nm.itemNew.lParam = record->lParam;
  nm.ptDrag = corner;
  LRESULT answer = TreeListNotifyUnlocked(data, &nm.hdr);
  bool given = answer != 0 && TreeListLookup(data, item) && nm.itemNew.pszText;
  if (given) {
    const char* reply = nm.itemNew.pszText;
    if (reply == LPSTR_TEXTCALLBACKA) reply = "";
    *outLength = (UINT)strlen(reply);
    *out = (char*)malloc(*outLength + 1);
    if (*out) memcpy(*out, reply, *outLength + 1);
    given = *out != nullptr;
    *delayMs = ((nm.itemNew.mask & TL_TIP_DELAY) && nm.itemNew.lParam > 0) ? (UINT)nm.itemNew.lParam : 0;
  }
  free(copy);
  return given;
}

}  // namespace

void TreeListCreateToolTip(TreeListData* data) {
  if (data->toolTip) return;
  HWND tip;
  {
    TreeListUnlocked unlocked(data);
    tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, data->window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tip) {
      TTTOOLINFOA ti;
      FillTool(data, &ti);
      SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
      SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 10000);
      SetWindowLongPtrA(tip, GWLP_ID, 2);
      SetWindowLongPtrA(tip, GWLP_USERDATA, (LONG_PTR)data);
    }
  }
  if (!tip) return;
  data->toolTip = tip;
  data->toolTipProc = (WNDPROC)GetWindowLongPtrA(tip, GWLP_WNDPROC);
  SetPropA(tip, kTipProcProp, (HANDLE)data->toolTipProc);
  SetWindowLongPtrA(tip, GWLP_WNDPROC, (LONG_PTR)TreeListToolTipProc);
}

void TreeListMakeDueToolTip(TreeListData* data) {
  if (!data->toolTipDue || GetWindowThreadProcessId(data->window, nullptr) != GetCurrentThreadId()) return;
  data->toolTipDue = 0;
  if (!(data->style & TVS_NOTOOLTIPS)) TreeListCreateToolTip(data);
}

LRESULT CALLBACK TreeListToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The tooltip's own procedure lives in a property, so that the tip can end
  // its life properly even when the control let go of it.
  WNDPROC next = (WNDPROC)GetPropA(hwnd, kTipProcProp);
  if (!next) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)next);
    RemovePropA(hwnd, kTipProcProp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return CallWindowProcA(next, hwnd, msg, wParam, lParam);
  }
  TreeListData* data = (TreeListData*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  if (!data) return CallWindowProcA(next, hwnd, msg, wParam, lParam);
  if (msg == WM_SETFOCUS) {
    if (wParam) SetFocus((HWND)wParam);
    return 0;
  }
  if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) {
    POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    MapWindowPoints(hwnd, data->window, &pt, 1);
    return TreeListWndProc(data->window, msg, wParam, MAKELPARAM(pt.x, pt.y));
  }
  // The tooltip class is Unicode: the A call translates for it.
  return CallWindowProcA(next, hwnd, msg, wParam, lParam);
}

void TreeListLetGoOfToolTip(HWND tip) {
  if (!tip || !GetPropA(tip, kTipProcProp)) return;
  SetWindowLongPtrA(tip, GWLP_USERDATA, 0);
}

void TreeListKeepTipOnMonitor(TreeListData* data) {
  HWND tip = data->toolTip;
  if (!tip) return;
  RECT rc;
  if (!GetWindowRect(tip, &rc)) return;
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoA(MonitorFromWindow(tip, MONITOR_DEFAULTTONEAREST), &mi)) return;
  const RECT& work = mi.rcWork;
  int dx = 0, dy = 0;
  if (rc.right > work.right) {
    dx = rc.right - work.right;
    if (rc.left - dx < work.left) dx = rc.left - work.left;
    if (dx < 0) dx = 0;
  }
  if (rc.bottom > work.bottom) {
    dy = rc.bottom - work.bottom;
    if (rc.top - dy < work.top) dy = rc.top - work.top;
    if (dy < 0) dy = 0;
  }
  if (!dx && !dy) return;
  data->tipPoint.x -= dx;
  data->tipPoint.y -= dy;
  SendTip(data, TTM_TRACKPOSITION, 0, MAKELPARAM(data->tipPoint.x, data->tipPoint.y));
}

void TreeListHideTip(TreeListData* data) {
  if (!data->tipItem) return;
  bool shown = !data->tipDelay;
  data->tipItem = 0;
  data->tipColumn = 0;
  data->tipDelay = 0;
  if (!shown) {
    KillTimer(data->window, TL_TIMER_INFOTIP);
  } else if (OnTipThread(data)) {
    KillTimer(data->window, TL_TIMER_INFOTIP);
    Deactivate(data);
  } else {
    // Another thread (a direct call) must not wait for the window's thread:
    // the tip timer hides a tip that lost its item.
    PostMessageA(data->window, WM_TIMER, TL_TIMER_INFOTIP, 0);
  }
}

void TreeListUpdateInfoTip(TreeListData* data, UINT_PTR handle, UINT flags) {
  TLHandle item = (TLHandle)handle;
  TreeListItem* record = TreeListLookup(data, item);
  if (record) TreeListMakeDueToolTip(data);
  if (!record || !data->toolTip) {
    TreeListHideTip(data);
    return;
  }
  int column = (flags & kTLHitOnCell) ? TreeListHitColumn(flags) : 0;
  bool onItem = (flags & kOnItem) != 0;
  bool onCell = !onItem && (flags & kTLHitOnCell) && column > 0 && column < data->columnCount;
  if ((!onItem && !onCell) || (data->editItem == item && data->editColumn == column)) {
    TreeListHideTip(data);
    return;
  }
  if (data->tipItem == item && data->tipColumn == column) return;
  // The text and its rectangle.
  const char* text = "";
  UINT length = 0;
  UINT state = record->state;
  int textWidth = 0;
  bool exists = true;
  RECT rc = {};
  if (onItem) {
    text = record->text ? record->text : "";
    length = record->textLength;
    if (record->callbackFlags & kTLCallbackText) {
      text = "";
      length = 0;
      if (!TreeListGetItemDispInfo(data, record, item, TVIF_TEXT, nullptr, &length, &text)) return;
      record = TreeListLookup(data, item);
    }
    bool bold = (record->state & TVIS_BOLD) != 0;
    // Moves come often: a stored text keeps its measured width.
    if (!(record->callbackFlags & kTLCallbackText) && record->textWidth)
      textWidth = record->textWidth;
    else if (length)
      textWidth = TreeListMeasureText(data, text, length, bold);
    if (!(record->callbackFlags & kTLCallbackText)) record->textWidth = textWidth;
    if (!TreeListGetItemRect(data, item, TL_RECT_CELL | TL_RECT_TEXT, &rc)) {
      TreeListHideTip(data);
      return;
    }
  } else {
    TreeListCell* cell = TreeListGetCell(data, item, column, false);
    exists = cell != nullptr;
    if (cell) {
      state = (record->state & 0xE2) | cell->state;
      text = cell->text ? cell->text : "";
      length = cell->textLength;
      if (cell->callbackFlags & kTLCallbackText) {
        text = "";
        length = 0;
        if (!TreeListGetCellDispInfo(data, record, cell, item, column, TVIF_TEXT, nullptr, &length, &text)) return;
        record = TreeListLookup(data, item);
      }
      textWidth = length ? TreeListMeasureText(data, text, length, (state & TVIS_BOLD) != 0) : 0;
    }
    if (!TreeListGetItemRect(data, item, ((UINT)column << 24) | TL_RECT_CELL | TL_RECT_TEXT, &rc)) {
      TreeListHideTip(data);
      return;
    }
  }
  if (rc.right > data->clientWidth) rc.right = data->clientWidth;
  POINT corner = {rc.left, rc.top};
  bool bold = (state & TVIS_BOLD) != 0;
  if (data->exStyle & TLS_EX_INFOTIPS) {
    char* given = nullptr;
    UINT givenLength = 0, delay = 0;
    if (AskParent(data, item, column, text, length, state, corner, &given, &givenLength, &delay)) {
      if (TreeListLookup(data, item)) ShowTip(data, item, column, given, givenLength, bold, corner, delay);
      free(given);
      return;
    }
    record = TreeListLookup(data, item);
    if (!record) {
      TreeListHideTip(data);
      return;
    }
    // The text may have moved while the parent ran: take it again.
    if (onItem && !(record->callbackFlags & kTLCallbackText)) {
      text = record->text ? record->text : "";
      length = record->textLength;
    } else if (onCell) {
      TreeListCell* cell = TreeListGetCell(data, item, column, false);
      if (cell && !(cell->callbackFlags & kTLCallbackText)) {
        text = cell->text ? cell->text : "";
        length = cell->textLength;
      }
    }
  }
  if (onItem && (data->style & TVS_INFOTIP)) {
    ShowTip(data, item, 0, text, length > (UINT)kMaxInfoTipText ? kMaxInfoTipText : length, bold, corner, 0);
    return;
  }
  if (!exists || rc.right - rc.left > textWidth + 4) {
    TreeListHideTip(data);
    return;
  }
  ShowTip(data, item, column, text, length, bold, corner, 0);
}

LRESULT TreeListOnTipTimer(TreeListData* data) {
  TreeListLocked lock(data);
  if (!data->tipItem) {
    KillTimer(data->window, TL_TIMER_INFOTIP);
    if (data->toolTip && IsWindowVisible(data->toolTip)) Deactivate(data);
    return 0;
  }
  POINT screen;
  GetCursorPos(&screen);
  HWND under = WindowFromPoint(screen);
  if (under != data->window && under != data->toolTip) {
    TreeListHideTip(data);
    return 0;
  }
  TVHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(data->window, &hit.pt);
  TLHandle item = (TLHandle)(UINT_PTR)TreeListHitTest(data, &hit);
  int column = (hit.flags & kTLHitOnCell) ? TreeListHitColumn(hit.flags) : 0;
  if (data->tipDelay) {
    if (--data->tipDelay) {
      return 0;
    }
    bool same = item == data->tipItem && column == data->tipColumn &&
                (column ? (hit.flags & kTLHitOnCell) != 0 : (hit.flags & kOnItem) != 0);
    if (same) {
      ShowTipNow(data);
      KillTimer(data->window, TL_TIMER_INFOTIP);
      if (data->tipItem) SetTimer(data->window, TL_TIMER_INFOTIP, kTipShowMs, nullptr);
      return 0;
    }
    data->tipItem = 0;
    data->tipColumn = 0;
    KillTimer(data->window, TL_TIMER_INFOTIP);
  }
  TreeListUpdateInfoTip(data, item, hit.flags);
  return 0;
}

LRESULT TreeListOnToolTipNotify(TreeListData* data, NMHDR* hdr) {
  if (hdr->code != TTN_GETDISPINFOA || hdr->hwndFrom != data->toolTip) return 0;
  NMTTDISPINFOA* info = (NMTTDISPINFOA*)hdr;
  info->lpszText = data->tipText;
  info->szText[0] = 0;
  info->hinst = nullptr;
  HFONT font = data->tipFont ? data->tipFont : data->measuredFont;
  if (font) SendMessageA(data->toolTip, WM_SETFONT, (WPARAM)font, FALSE);
  return 0;
}

LRESULT TreeListOnSetToolTips(TreeListData* data, WPARAM tip, LPARAM) {
  TreeListMakeDueToolTip(data);
  HWND old = data->toolTip;
  if (old != (HWND)tip) TreeListLetGoOfToolTip(old);
  data->toolTip = (HWND)tip;
  return (LRESULT)old;
}

LRESULT TreeListOnGetToolTips(TreeListData* data, WPARAM, LPARAM) {
  TreeListMakeDueToolTip(data);
  return (LRESULT)data->toolTip;
}
