#include "ui/popuplist.h"

#include <cstring>
#include <new>

#include "ui/fonts.h"
#include "ui/geometry.h"

namespace {
struct PopupListState {
  WNDPROC prevProc;
  HWND list, scrollBar, parent;
  int id;
  int topIndex;
  int clientHeight, clientWidth;
  int scrollWidth;
  int itemsPerPage;
  int startWidth, startHeight, startX, startY;
  bool resizing;
};

PopupListState* StateOf(HWND frame) {
  return reinterpret_cast<PopupListState*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

int XOf(LPARAM lp) { return (short)LOWORD(lp); }
int YOf(LPARAM lp) { return (short)HIWORD(lp); }

bool IsMarked(WPARAM wp) { return ((DWORD)wp & kPopupListMarkerMask) == kPopupListStringMarker; }

// The index a marked wParam carries: 16 bits, bit 31 the sign. Unmarked
// wParams pass as they are, so -1 stays -1.
WPARAM StripMarker(WPARAM wp) {
  if (!IsMarked(wp)) return wp;
  int index = (DWORD)wp & 0x80000000u ? (int)(short)LOWORD(wp) : (int)LOWORD(wp);
  return (WPARAM)(INT_PTR)index;
}

// Messages whose marked lParam is a heap string the frame owns.
bool OwnsString(UINT msg) {
  switch (msg) {
    case kPopupListAddString:
    case kPopupListInsertString:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
      return true;
  }
  return false;
}

void FreeString(LPARAM lp) { HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(lp)); }

// Redrawing a visible bar is slow: while more strings wait in the queue only
// the last update redraws it.
bool MoreStringsQueued(HWND frame) {
  MSG msg;
  return PeekMessageA(&msg, frame, kPopupListAddString, kPopupListInsertString, PM_NOREMOVE | PM_NOYIELD) != 0;
}

void SyncScrollBar(PopupListState* st, bool redraw) {
  int itemHeight = (int)SendMessageA(st->list, LB_GETITEMHEIGHT, 0, 0);
  if (itemHeight < 4) itemHeight = 4;
  st->itemsPerPage = st->clientHeight / itemHeight;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = (int)SendMessageA(st->list, LB_GETCOUNT, 0, 0);
  si.nPage = st->itemsPerPage;
  si.nPos = st->topIndex = (int)SendMessageA(st->list, LB_GETTOPINDEX, 0, 0);
  SetScrollInfo(st->scrollBar, SB_CTL, &si, redraw);
}

// Shows the list from the index on; the thumb follows the top index the list
// actually took.
void ScrollTo(PopupListState* st, int pos) {
  int count = (int)SendMessageA(st->list, LB_GETCOUNT, 0, 0);
  if (pos > count - 1) pos = count - 1;
  if (pos < 0) pos = 0;
  SendMessageA(st->list, LB_SETTOPINDEX, pos, 0);
  st->topIndex = (int)SendMessageA(st->list, LB_GETTOPINDEX, 0, 0);
  SetScrollPos(st->scrollBar, SB_CTL, st->topIndex, TRUE);
}

void LayoutChildren(PopupListState* st) {
  int w = st->clientWidth, h = st->clientHeight, s = st->scrollWidth;
  MoveWindow(st->list, 0, 0, w - s + 1, h, TRUE);
  MoveWindow(st->scrollBar, w - s + 1, 0, s, h - s + 1, TRUE);
}

void PaintGrip(PopupListState* st, HDC dc) {
  int w = st->clientWidth, h = st->clientHeight, s = st->scrollWidth;
  RECT grip = {w - s, h - s, w, h};
  DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP | DFCS_MONO);
}

void StopResizing(PopupListState* st, HWND frame) {
  st->resizing = false;
  if (GetCapture() == frame) ReleaseCapture();
}

LRESULT PassToList(PopupListState* st, HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  UINT listMsg = msg == kPopupListAddString ? LB_ADDSTRING : msg == kPopupListInsertString ? LB_INSERTSTRING : msg;
  bool owned = lp && IsMarked(wp) && OwnsString(msg);
  LRESULT result = SendMessageA(st->list, listMsg, StripMarker(wp), lp);
  if (owned) FreeString(lp);
  switch (listMsg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
    case LB_SETITEMHEIGHT:
      SyncScrollBar(st, !MoreStringsQueued(frame));
  }
  return result;
}

// Strings posted to the frame that it will never see.
void FreeQueuedStrings(HWND frame) {
  MSG msg;
  while (PeekMessageA(&msg, frame, kPopupListFirstMessage, LB_SETCURSEL, PM_REMOVE | PM_NOYIELD)) {
    if (msg.lParam && IsMarked(msg.wParam) && OwnsString(msg.message)) FreeString(msg.lParam);
  }
}

LRESULT CALLBACK PopupListFrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  PopupListState* st = StateOf(frame);
  if (!st) return DefWindowProcA(frame, msg, wp, lp);
  WNDPROC prev = st->prevProc;
  int w = st->clientWidth, h = st->clientHeight, s = st->scrollWidth;
  switch (msg) {
    case WM_DESTROY:
      if (st->resizing) StopResizing(st, frame);
      FreeQueuedStrings(frame);
      SetWindowLongPtrA(frame, GWLP_WNDPROC, (LONG_PTR)prev);
      SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
      delete st;
      return CallWindowProcA(prev, frame, msg, wp, lp);
    case WM_SIZE:
      st->clientWidth = (short)LOWORD(lp);
      st->clientHeight = (short)HIWORD(lp);
      LayoutChildren(st);
      SyncScrollBar(st, true);
      break;
    case WM_ACTIVATE:
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // the owner keeps the focus while the user picks
    case WM_SETCURSOR:
      if ((HWND)wp != frame) break;  // the children keep their own cursors
      SetCursor(LoadCursorA(nullptr, IDC_SIZENWSE));
      return TRUE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (wp) {
        PaintGrip(st, (HDC)wp);
      } else {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(frame, &ps);
        PaintGrip(st, dc);
        EndPaint(frame, &ps);
      }
      return 0;
    case WM_COMMAND:
      if ((HWND)lp != st->list || LOWORD(wp) != kPopupListBoxId) break;
      if (HIWORD(wp) == LBN_SELCHANGE) {
        int top = (int)SendMessageA(st->list, LB_GETTOPINDEX, 0, 0);
        if (top != st->topIndex) {
          st->topIndex = top;
          SetScrollPos(st->scrollBar, SB_CTL, top, TRUE);
        }
      }
      return SendMessageA(st->parent, WM_COMMAND, MAKEWPARAM(st->id, HIWORD(wp)), (LPARAM)st->list);
    case WM_VSCROLL: {
      if ((HWND)lp != st->scrollBar) break;
      int pos = st->topIndex;
      switch (LOWORD(wp)) {
        case SB_LINEUP:
          --pos;
          break;
        case SB_LINEDOWN:
          ++pos;
          break;
        case SB_PAGEUP:
          pos -= st->itemsPerPage;
          break;
        case SB_PAGEDOWN:
          pos += st->itemsPerPage;
          break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
          pos = HIWORD(wp);
          break;
        case SB_TOP:
          pos = 0;
          break;
        case SB_BOTTOM:
          pos = (int)SendMessageA(st->list, LB_GETCOUNT, 0, 0);
          break;
        default:
          return 0;
      }
      ScrollTo(st, pos);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      int x = XOf(lp), y = YOf(lp);
      st->startX = x;
      st->startY = y;
      st->startWidth = w;
      st->startHeight = h;
      if (x > w - s && y > h - s) {
        st->resizing = true;
        SetCapture(frame);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!st->resizing) break;
      if (!(wp & MK_LBUTTON)) {
        StopResizing(st, frame);
      } else {
        // The client area starts at the frame's corner, so the border adds
        // the same to the window as to the client size.
        RECT rcWindow;
        GetWindowRect(frame, &rcWindow);
        int cx = st->startWidth + XOf(lp) - st->startX;
        int cy = st->startHeight + YOf(lp) - st->startY;
        if (cx < 2 * s) cx = 2 * s;
        if (cy < 2 * s) cy = 2 * s;
        cx += (rcWindow.right - rcWindow.left) - w;
        cy += (rcWindow.bottom - rcWindow.top) - h;
        SetWindowPos(frame, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(frame, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (!st->resizing) break;
      StopResizing(st, frame);
      InvalidateRect(frame, nullptr, FALSE);
      UpdateWindow(frame);
      return 0;
    case WM_CAPTURECHANGED:
      if ((HWND)lp != frame) st->resizing = false;
      break;
    case WM_MOUSEWHEEL: {
      int lines = (short)HIWORD(wp) / WHEEL_DELTA;
      if (lines) ScrollTo(st, st->topIndex - lines);
      return 0;
    }
    default:
      if (msg >= kPopupListFirstMessage && msg <= kPopupListLastMessage) return PassToList(st, frame, msg, wp, lp);
  }
  return CallWindowProcA(prev, frame, msg, wp, lp);
}

LRESULT CALLBACK PopupListBoxProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_USERDATA));
  if (!prev) return DefWindowProcA(list, msg, wp, lp);
  switch (msg) {
    case WM_MOUSEWHEEL:
      return SendMessageA(GetParent(list), msg, wp, lp);
    case WM_MOUSEMOVE: {
      // The item under the mouse is selected before the user clicks.
      LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, lp);
      if (hit >= 0 && !HIWORD(hit) && (int)SendMessageA(list, LB_GETCURSEL, 0, 0) != LOWORD(hit))
        SendMessageA(list, LB_SETCURSEL, LOWORD(hit), 0);
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)prev);
      SetWindowLongPtrA(list, GWLP_USERDATA, 0);
      break;
  }
  return CallWindowProcA(prev, list, msg, wp, lp);
}
}  // namespace

HWND CreatePopupList(DWORD exStyle, DWORD style, const RECT* prc, HWND hwndParent, int id) {
  PopupListState* st = new (std::nothrow) PopupListState();
  if (!st) return nullptr;
  RECT rc = {0, 0, 0, 0};
  if (prc) {
    rc = *prc;
    RECT monitor;
    GetMonitorRectOfRect(&rc, &monitor);
    if (rc.top < monitor.top) rc.top = monitor.top;
    if (rc.bottom > monitor.bottom) rc.bottom = monitor.bottom;
  }
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HWND frame = CreateWindowExA(exStyle, "STATIC", "", style | kPopupListFrameStyle, rc.left, rc.top, rc.right - rc.left,
                               rc.bottom - rc.top, hwndParent, nullptr, inst, nullptr);
  if (!frame) {
    delete st;
    return nullptr;
  }
  RECT client;
  GetClientRect(frame, &client);
  int w = client.right, h = client.bottom, s = GetSystemMetrics(SM_CXVSCROLL);
  st->list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT, 0,
                             0, w - s + 1, h, frame, (HMENU)(INT_PTR)kPopupListBoxId, inst, nullptr);
  st->scrollBar = st->list ? CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, w - s + 1, 0, s,
                                             h - s + 1, frame, (HMENU)(INT_PTR)kPopupListScrollBarId, inst, nullptr)
                           : nullptr;
  if (!st->scrollBar) {
    DestroyWindow(frame);  // takes the list box with it
    delete st;
    return nullptr;
  }
  st->parent = hwndParent;
  st->id = (WORD)id;
  st->clientWidth = w;
  st->clientHeight = h;
  st->scrollWidth = s;
  SendMessageA(st->list, WM_SETFONT, (WPARAM)GetStandardFont(0), FALSE);
  SetWindowLongPtrA(frame, GWLP_USERDATA, (LONG_PTR)st);
  st->prevProc = (WNDPROC)SetWindowLongPtrA(frame, GWLP_WNDPROC, (LONG_PTR)PopupListFrameProc);
  SetWindowLongPtrA(st->list, GWLP_USERDATA, GetWindowLongPtrA(st->list, GWLP_WNDPROC));
  SetWindowLongPtrA(st->list, GWLP_WNDPROC, (LONG_PTR)PopupListBoxProc);
  SyncScrollBar(st, true);
  return frame;
}

BOOL PostPopupListString(HWND hwndFrame, const char* text, BOOL insert, int index) {
  if (!text) return FALSE;
  size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, n));
  if (!copy) return FALSE;
  std::memcpy(copy, text, n);
  UINT msg = insert ? kPopupListInsertString : kPopupListAddString;
  if (PostMessageA(hwndFrame, msg, PopupListMarkedIndex(insert ? index : 0), (LPARAM)copy)) return TRUE;
  HeapFree(GetProcessHeap(), 0, copy);
  return FALSE;
}
