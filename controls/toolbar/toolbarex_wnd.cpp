// The window class, the state block's life and the message table.
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

#include "controls/toolbar/toolbarex_data.h"

namespace {
const UINT_PTR kTimerId = 0x197F;
const int kFixedWidthMax = 512;

bool g_registered = false;
int g_displayBitsSeam = 0;

ToolbarExData* DataOf(HWND hwnd) { return reinterpret_cast<ToolbarExData*>(GetWindowLongPtrA(hwnd, 0)); }

// Holds the lock for one handler.
class Locked {
 public:
  Locked(ToolbarExData* data, int handler) : m_data(data), m_handler(handler) { EnterCriticalSection(&data->lock); }
  ~Locked() { Leave(); }
  void Leave() {
    if (m_data) ToolbarExLeave(m_data, m_handler);
    m_data = nullptr;
  }

 private:
  ToolbarExData* m_data;
  int m_handler;
};

void SendNotify(ToolbarExData* data, int code, NMHDR* header) {
  NMHDR plain = {};
  if (!header) header = &plain;
  header->hwndFrom = data->window;
  header->idFrom = (UINT_PTR)GetWindowLongPtrA(data->window, GWLP_ID);
  header->code = (UINT)code;
  SendMessageA(GetParent(data->window), WM_NOTIFY, header->idFrom, (LPARAM)header);
}

void Defaults(ToolbarExData* data, HWND hwnd) {
  data->window = hwnd;
  data->enabled = IsWindowEnabled(hwnd) ? 1 : 0;
  data->style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
  data->commandTarget = GetParent(hwnd);
  data->keyColor[0] = 0xFF00FF;
  data->keyColor[1] = 0x800080;
  data->buttonWidthMin = data->buttonWidthMax = -1;
  data->buttonSize = SIZE{23, 22};
  data->bitmapSize = SIZE{16, 16};
  data->padding = SIZE{7, 7};
  data->listGap[0] = 2;
  data->listGap[1] = 4;
  data->buttonStructSize = sizeof(TBBUTTON);
  data->imageScale = 256;
  data->hotIndex = -1;
  data->insertMarkIndex = -1;
  data->dirty = kDirtyAll;
  HDC dc = GetDC(hwnd);
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(hwnd, dc);
  if (g_displayBitsSeam) bits = g_displayBitsSeam;
  data->displayBits = (BYTE)bits;
  data->displayDeep = bits > 8 ? 1 : 0;
}

void DestroyItems(ToolbarExData* data) {
  while (data->buttonCount) ToolbarExDeleteButton(data, (int)data->buttonCount - 1);
  while (data->imageCount) ToolbarExDeleteImage(data, (int)data->imageCount - 1);
  ToolbarExFreeStrings(data);
  ToolbarExFreeButtonPool(data);
  delete[] data->buttons;
  delete[] data->images;
  data->buttons = nullptr;
  data->images = nullptr;
  data->buttonCapacity = data->imageCapacity = 0;
}

// TB_ADDBUTTONS* and TBX_ADDBUTTONS.
LRESULT AddButtons(ToolbarExData* data, WPARAM wParam, const TBBUTTON* records, bool clear) {
  UINT count = LOWORD(wParam), high = HIWORD(wParam);
  if (count == 0 || count >= 1024 || !records) return 0;
  unsigned position = data->buttonCount;
  if (high) {
    if ((high & 0xFC00) != kTbxAddAtPosition) return 0;
    position = high & 0x3FF;
  }
  bool all = ToolbarExReserveButtons(data, count);
  for (UINT i = 0; all && i < count; i++) {
    if (ToolbarExInsertButtons(data, position + i, &records[i], clear) < 0) {
      all = false;
      break;
    }
  }
  ToolbarExInvalidate(data);
  return all ? 1 : 0;
}

// Applies (old & ~mask) | (value & mask) to a byte or word of the buttons of
// a range, or of every button with one command id; the number visited.
enum class Field { StyleByte, StateByte, StyleWord };
LRESULT SetFields(ToolbarExData* data, WPARAM wParam, LPARAM lParam, Field field) {
  WORD value = LOWORD(lParam), mask = HIWORD(lParam);
  unsigned first = LOWORD(wParam), end = HIWORD(wParam);
  bool byCommand = ((DWORD)wParam & 0xFFFF0000) == kTbxByCommand;
  if (byCommand) {
    first = 0;
    end = data->buttonCount;
  }
  if (end > data->buttonCount) end = data->buttonCount;
  int visited = 0;
  for (unsigned i = first; i < end; i++) {
    ToolbarExButton* b = data->buttons[i];
    if (byCommand ? (DWORD)b->tb.idCommand != ((DWORD)wParam & 0xFFFF) : (b->tb.fsStyle & BTNS_SEP) != 0) continue;
    visited++;
    WORD old, now, quiet;  // quiet: bits whose change needs no new layout
    switch (field) {
      case Field::StyleByte:
        old = b->tb.fsStyle;
        now = (WORD)((old & ~mask) | (value & mask)) & 0xFF;
        b->tb.fsStyle = (BYTE)now;
        quiet = 0x04 | 0x80;
        break;
      case Field::StateByte:
        old = b->tb.fsState;
        now = (WORD)((old & ~mask) | (value & mask)) & 0xFF;
        b->tb.fsState = (BYTE)now;
        quiet = (WORD)(0xFF & ~(0x08 | 0x20));
        if (old != now) ToolbarExUpdateButtonState(data, (int)i);
        break;
      default:
        old = StyleWord(b);
        now = (WORD)((old & ~mask) | (value & mask));
        StyleWord(b) = now;
        quiet = kTbxSplit;
        break;
    }
    if ((old ^ now) & ~quiet) {
      ToolbarExMarkButton(b);
      data->dirty |= kDirtyLayout | kDirtySizes;
    }
  }
  if (data->dirty) ToolbarExInvalidate(data);
  return visited;
}

LRESULT SetStateStyle(ToolbarExData* data, int index, LPARAM lParam) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  DWORD v = (DWORD)lParam;
  if ((v & 0xFFFF0000) == 0x73C30000) v = (v & 0xFFFF) << 16;
  BYTE stateMask = (BYTE)(v >> 24), state = (BYTE)(v >> 16), styleMask = (BYTE)(v >> 8) & ~BTNS_SEP, style = (BYTE)v;
  BYTE oldState = b->tb.fsState, oldStyle = b->tb.fsStyle;
  LRESULT result = ((LRESULT)oldState << 16) | oldStyle;
  b->tb.fsState = (BYTE)((oldState & ~stateMask) | (state & stateMask));
  b->tb.fsStyle = (BYTE)((oldStyle & ~styleMask) | (style & styleMask));
  BYTE stateChange = oldState ^ b->tb.fsState, styleChange = oldStyle ^ b->tb.fsStyle;
  if ((styleChange & 0x58) || (stateChange & 0x68)) {
    ToolbarExMarkButton(b);
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  } else if (stateChange & 0x7F) {
    ToolbarExUpdateButtonState(data, index);
  }
  return result;
}

LRESULT SetFixedWidth(ToolbarExData* data, int index, LPARAM lParam) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || (StyleWord(b) & (kTbxControl | kTbxSwatch))) return -1;
  int width = (int)lParam;
  if (width < 0) width = 0;
  if (width > kFixedWidthMax) width = kFixedWidthMax;
  LRESULT old = (StyleWord(b) & kTbxFixedWidth) ? (LRESULT)b->tb.dwData : 0;
  if (old != width) {
    b->tb.dwData = (DWORD_PTR)width;
    StyleWord(b) = width ? (WORD)(StyleWord(b) | kTbxFixedWidth) : (WORD)(StyleWord(b) & ~kTbxFixedWidth);
    ToolbarExMarkButton(b);
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  }
  return old;
}

LRESULT SetButtonValue(ToolbarExData* data, int index, LPARAM value) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  LRESULT old = (LRESULT)b->tb.dwData;
  b->tb.dwData = (DWORD_PTR)value;
  if (StyleWord(b) & kTbxControl) {
    ToolbarExMarkButton(b);
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  } else if ((StyleWord(b) & kTbxSwatch) && b->tb.iBitmap >= 0) {
    b->drawWord |= kDrawRender;
    if (b->rect.right > b->rect.left) InvalidateRect(data->window, &b->rect, FALSE);
  }
  return old;
}

LRESULT SetImage(ToolbarExData* data, int index, int image) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  int old = b->tb.iBitmap;
  if (old == image) return old;
  LONG oldSize = ToolbarExImageSize(data, old), newSize = ToolbarExImageSize(data, image);
  b->tb.iBitmap = image;
  ToolbarExMarkButton(b);
  if (oldSize != newSize) {
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  } else if (b->rect.right > b->rect.left) {
    InvalidateRect(data->window, &b->rect, FALSE);
  }
  return old;
}

LRESULT SetImageScale(ToolbarExData* data, WPARAM which, LPARAM lParam) {
  int scale = (int)lParam == 0 ? 256 : (int)lParam;
  if ((int)which == -1) {
    int old = data->imageScale;
    if ((int)lParam != -1 && scale != old) {
      data->imageScale = scale;
      data->dirty = kDirtyAll | kDirtyScale;
      ToolbarExInvalidate(data);
    }
    return old;
  }
  if (which >= data->imageCount) return -1;
  ToolbarExImageEntry* e = &data->images[which];
  int old = e->scale;
  if ((int)lParam != -1 && scale != old) {
    e->scale = (WORD)scale;
    data->dirty = kDirtyAll;
    ToolbarExInvalidate(data);
  }
  return old;
}

int FindControlButton(ToolbarExData* data, HWND control) {
  if (!control) return -1;
  for (unsigned i = 0; i < data->buttonCount; i++) {
    const ToolbarExButton* b = data->buttons[i];
    if ((StyleWord(b) & kTbxControl) && (HWND)b->tb.dwData == control) return (int)i;
  }
  return -1;
}

void ControlTargets(ToolbarExData* data, HWND* first, HWND* second) {
  *first = data->controlTarget ? data->controlTarget : data->commandTarget;
  *second = data->extraTarget == (HWND)(INT_PTR)-1 ? (HWND)SendMessageA(data->window, TBX_GETCOMMANDTARGET, 0, 0)
                                                   : data->extraTarget;
}

LRESULT ControlCommand(ToolbarExData* data, WPARAM wParam, LPARAM lParam) {
  Locked lock(data, WM_COMMAND);
  HWND control = (HWND)lParam;
  if (FindControlButton(data, control) < 0) return 0;
  HWND first, second;
  ControlTargets(data, &first, &second);
  LONG_PTR secondId = -1;
  if (HIWORD(wParam) == CBN_SELCHANGE) {
    LRESULT selection = SendMessageA(control, CB_GETCURSEL, 0, 0);
    LRESULT itemData = SendMessageA(control, CB_GETITEMDATA, (WPARAM)selection, 0);
    secondId = itemData > 0 ? itemData : GetWindowLongPtrA(control, GWLP_ID) + selection;
  }
  lock.Leave();
  for (HWND target : {first, second}) {
    if (!target) continue;
    PostMessageA(target, WM_COMMAND, wParam, lParam);
    if (secondId >= 0) PostMessageA(target, WM_COMMAND, (WPARAM)secondId, lParam);
  }
  return 0;
}

LRESULT ControlNotify(ToolbarExData* data, WPARAM wParam, LPARAM lParam) {
  Locked lock(data, WM_NOTIFY);
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || FindControlButton(data, header->hwndFrom) < 0) return 0;
  HWND first, second;
  ControlTargets(data, &first, &second);
  if (first) SendMessageA(first, WM_NOTIFY, wParam, lParam);
  if (second) SendMessageA(second, WM_NOTIFY, wParam, lParam);
  return 0;
}

// Sends TBN_DROPDOWN outside the lock.
void DropDown(ToolbarExData* data, int index) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return;
  NMTOOLBARA nm = {};
  nm.iItem = index;
  nm.tbButton = b->tb;
  LeaveCriticalSection(&data->lock);
  SendNotify(data, TBN_DROPDOWN, &nm.hdr);
  EnterCriticalSection(&data->lock);
}

bool Pressable(const ToolbarExButton* b) {
  return b && (b->tb.fsState & TBSTATE_ENABLED) && !(b->tb.fsState & TBSTATE_INDETERMINATE);
}

LRESULT Mouse(ToolbarExData* data, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Locked lock(data, (int)msg);
  ToolbarExLayoutIfDirty(data);
  POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
  UINT keys = (UINT)wParam & (MK_LBUTTON | MK_RBUTTON);
  if (msg == WM_MOUSELEAVE || msg == WM_TIMER || msg == TBX_TIMERTICK) {
    GetCursorPos(&pt);
    ScreenToClient(hwnd, &pt);
    keys = 0;
    if (msg != WM_MOUSELEAVE) {
      if (GetAsyncKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
      if (GetAsyncKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    }
  }
  ToolbarExTrackMouse(data, pt.x, pt.y, keys);
  ToolbarExButton* hot = ToolbarExButtonAt(data, data->hotIndex);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (hot) {
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&tme);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A disabled button does nothing.
      if (hot && data->arrowHot && (StyleWord(hot) & kTbxSplit) && Pressable(hot)) DropDown(data, data->hotIndex);
      return 0;
    case WM_LBUTTONUP: {
      if (!hot || data->arrowHot || !Pressable(hot)) return 0;
      if (StyleWord(hot) & kTbxControl) return 0;
      int index = data->hotIndex;
      if (hot->tb.fsStyle & BTNS_CHECK) {
        if (hot->tb.fsStyle & BTNS_GROUP) {
          int checked = ToolbarExFindCheckedInGroup(data, index);
          if (checked != index) {
            if (checked >= 0) ToolbarExSetStateBit(data, checked, TBSTATE_CHECKED, false);
            hot->tb.fsState |= TBSTATE_CHECKED;
          }
        } else {
          hot->tb.fsState ^= TBSTATE_CHECKED;
        }
        data->trackedKeys = 0xFF;
        ToolbarExTrackMouse(data, pt.x, pt.y, keys);
      }
      WORD command = (WORD)hot->tb.idCommand;
      HWND target = data->commandTarget;
      lock.Leave();
      PostMessageA(target, WM_COMMAND, command, (LPARAM)hwnd);
      return 0;
    }
    case WM_RBUTTONUP:
      if (!hot) break;
      if (!data->arrowHot && (StyleWord(hot) & kTbxSplit) && Pressable(hot)) {
        WORD command = (WORD)(hot->tb.idCommand + 1);
        HWND target = data->commandTarget;
        lock.Leave();
        PostMessageA(target, WM_COMMAND, command, (LPARAM)hwnd);
      }
      return 0;
    case WM_TIMER:
    case TBX_TIMERTICK:
    case WM_MOUSELEAVE:
      return 0;
  }
  lock.Leave();
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT Paint(ToolbarExData* data, HWND hwnd, HDC given) {
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(hwnd, &ps);
  {
    Locked lock(data, WM_PAINT);
    ToolbarExPaint(data, dc, given ? nullptr : &ps);
  }
  if (!given) EndPaint(hwnd, &ps);
  return 0;
}

// The Windows toolbar messages and the own ones, under the lock.
LRESULT Dispatch(ToolbarExData* data, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Locked lock(data, (int)msg);
  auto byId = [&]() { return ToolbarExCommandToIndex(data, wParam); };
  auto byIndex = [&]() { return ToolbarExIndexArg(data, wParam); };
  switch (msg) {
    case TB_ENABLEBUTTON:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_CHECKBUTTON:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_INDETERMINATE:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
    case TB_MARKBUTTON:
      return ToolbarExSetStateBit(data, byId(), TBSTATE_MARKED, LOWORD(lParam) != 0);
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED:
    case TB_ISBUTTONHIDDEN:
    case TB_ISBUTTONINDETERMINATE:
    case TB_ISBUTTONHIGHLIGHTED: {
      static const BYTE kBits[6] = {TBSTATE_ENABLED, TBSTATE_CHECKED,       TBSTATE_PRESSED,
                                    TBSTATE_HIDDEN,  TBSTATE_INDETERMINATE, TBSTATE_MARKED};
      ToolbarExButton* b = ToolbarExButtonAt(data, byId());
      return b ? ((b->tb.fsState & kBits[msg - TB_ISBUTTONENABLED]) ? 1 : 0) : -1;
    }
    case TB_GETSTATE: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byId());
      return b ? b->tb.fsState : -1;
    }
    case TB_ADDBITMAP:
      return ToolbarExAddBitmap(data, wParam, reinterpret_cast<const void*>(lParam));
    case TB_ADDBUTTONSA:
    case TB_ADDBUTTONSW:
      return AddButtons(data, wParam, reinterpret_cast<const TBBUTTON*>(lParam), true);
    case TBX_ADDBUTTONS:
      return AddButtons(data, wParam, reinterpret_cast<const TBBUTTON*>(lParam), false);
    case TB_INSERTBUTTONA:
    case TB_INSERTBUTTONW:
    case TBX_INSERTBUTTON: {
      int at = ToolbarExInsertButtons(data, (unsigned)wParam, reinterpret_cast<const TBBUTTON*>(lParam),
                                      msg != TBX_INSERTBUTTON);
      ToolbarExInvalidate(data);
      return at >= 0 ? 1 : 0;
    }
    case TB_DELETEBUTTON: {
      int done = ToolbarExDeleteButton(data, byIndex());
      if (done) ToolbarExInvalidate(data);
      return done;
    }
    case TB_GETBUTTON: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      if (!b || !lParam) return 0;
      int n = data->buttonStructSize < (int)sizeof(TBBUTTON) ? data->buttonStructSize : (int)sizeof(TBBUTTON);
      if (n > 0) memcpy(reinterpret_cast<void*>(lParam), &b->tb, n);
      return 1;
    }
    case TB_COMMANDTOINDEX:
      return byId();
    case TB_GETITEMRECT:
    case TB_GETRECT: {
      ToolbarExLayoutIfDirty(data);
      ToolbarExButton* b = ToolbarExButtonAt(data, msg == TB_GETRECT ? byId() : byIndex());
      if (!b || !lParam) return 0;
      *reinterpret_cast<RECT*>(lParam) = b->rect;
      return 1;
    }
    case TB_HITTEST: {
      const POINT* pt = reinterpret_cast<const POINT*>(lParam);
      if (!pt) return -1;
      ToolbarExLayoutIfDirty(data);
      int hit = ToolbarExHitTest(data, pt->x, pt->y, wParam == kTbxHitTestArrow);
      return hit;
    }
    case TB_SETINSERTMARK: {
      const TBINSERTMARK* mark = reinterpret_cast<const TBINSERTMARK*>(lParam);
      if (!mark) return 0;
      ToolbarExLayoutIfDirty(data);
      return ToolbarExSetInsertMark(data, mark->iButton, (int)(mark->dwFlags & TBIMHT_AFTER));
    }
    case TB_INSERTMARKHITTEST:
      ToolbarExLayoutIfDirty(data);
      return ToolbarExInsertMarkHitTest(data, reinterpret_cast<TBINSERTMARK*>(lParam));
    case TBX_GETLAYOUTSIZE:
      ToolbarExLayoutIfDirty(data);
      return MAKELONG(data->layoutSize.cx, data->layoutSize.cy);
    case TBX_CALCSIZE: {
      LRESULT size = ToolbarExCalcSize(data, (int)wParam, lParam);
      if (lParam & 3) ToolbarExInvalidate(data);
      return size;
    }
    case TB_ADDSTRINGA:
    case TB_ADDSTRINGW:
      if ((ULONG_PTR)lParam > 0xFFFF) {
        return ToolbarExAddStrings(data, reinterpret_cast<const void*>(lParam), (UINT)wParam, msg == TB_ADDSTRINGW);
      }
      return ToolbarExAddStringResource(data, reinterpret_cast<HINSTANCE>(wParam), (UINT)lParam);
    case TB_SETBUTTONSIZE:
      return ToolbarExSetButtonSize(data, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case TB_SETBITMAPSIZE:
      return ToolbarExSetBitmapSize(data, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case TB_SETPARENT: {
      DWORD form = (DWORD)lParam;
      HWND* field = &data->commandTarget;
      if (form == kTbxParentControlTarget) {
        field = &data->controlTarget;
      } else if (form == kTbxParentExtraTarget) {
        field = &data->extraTarget;
      } else if ((form & 0xFFFF0000) == kTbxByIndex && (form & 0xFFFF) > 2) {
        return 0;
      }
      HWND old = *field;
      *field = (HWND)wParam;
      return (LRESULT)old;
    }
    case TB_CHANGEBITMAP:
      return ToolbarExChangeBitmap(data, byId(), (int)lParam);
    case TB_GETBITMAP: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byId());
      return b ? b->tb.iBitmap : 0;
    }
    case TB_GETBUTTONTEXTA:
    case TB_GETBUTTONTEXTW:
      return ToolbarExGetButtonText(data, byId(), reinterpret_cast<void*>(lParam), msg == TB_GETBUTTONTEXTW);
    case TB_REPLACEBITMAP:
      return ToolbarExReplaceBitmap(data, (int)wParam, reinterpret_cast<const TBREPLACEBITMAP*>(lParam));
    case TB_SETINDENT:
      if ((int)wParam != data->indent) {
        data->indent = (int)wParam;
        data->dirty |= kDirtyLayout;
        ToolbarExInvalidate(data);
      }
      return 1;
    case TB_SETBUTTONWIDTH:
      return ToolbarExSetButtonWidth(data, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case TB_GETBUTTONINFOW:
    case TB_GETBUTTONINFOA:
      return ToolbarExGetButtonInfo(data, wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam), msg == TB_GETBUTTONINFOW);
    case TB_SETBUTTONINFOW:
    case TB_SETBUTTONINFOA:
      return ToolbarExSetButtonInfo(data, wParam, reinterpret_cast<const TBBUTTONINFOW*>(lParam),
                                    msg == TB_SETBUTTONINFOW);
    case TB_SETPADDING:
      return ToolbarExSetPadding(data, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case TB_GETSTRINGW:
    case TB_GETSTRINGA:
      return ToolbarExGetString(data, HIWORD(wParam), LOWORD(wParam), reinterpret_cast<void*>(lParam),
                                msg == TB_GETSTRINGW);
    case TB_SETLISTGAP:
      return ToolbarExSetListGap(data, (int)wParam, lParam);
    case TBX_ADDLABELW:
    case TBX_ADDLABELA:
      return ToolbarExAddLabel(data, reinterpret_cast<const void*>(wParam), reinterpret_cast<const void*>(lParam),
                               msg == TBX_ADDLABELW);
    case TBX_REMOVELABEL:
      return ToolbarExRemoveLabel(data, (DWORD)wParam);
    case TBX_SETDIRTY:
      data->dirty |= (BYTE)wParam;
      if (LOWORD(lParam) && data->dirty) ToolbarExInvalidate(data);
      return 1;
    case TBX_SETFIXEDWIDTH:
      return SetFixedWidth(data, byIndex(), lParam);
    case TBX_FINDCONTROL:
      return FindControlButton(data, (HWND)lParam);
    case TBX_SETBUTTONTEXTW:
    case TBX_SETBUTTONTEXTA:
      return ToolbarExSetButtonString(data, byIndex(), reinterpret_cast<const void*>(lParam),
                                      msg == TBX_SETBUTTONTEXTW);
    case TBX_SETSTATESTYLE:
      return SetStateStyle(data, byIndex(), lParam);
    case TBX_GETSTATESTYLE: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      return b ? ((LRESULT)b->tb.fsState << 16) | b->tb.fsStyle : 0;
    }
    case TBX_SETCOMMANDID:
    case TBX_GETCOMMANDID: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      if (!b) return 0;
      int old = b->tb.idCommand;
      if (msg == TBX_SETCOMMANDID) b->tb.idCommand = (int)lParam;
      return old;
    }
    case TBX_SETIMAGE:
      return SetImage(data, byIndex(), (int)lParam);
    case TBX_GETIMAGE: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      return b ? b->tb.iBitmap : 0;
    }
    case TBX_SETSTRINGINDEX:
    case TBX_GETSTRINGINDEX: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      if (!b) return 0;
      INT_PTR old = b->tb.iString;
      if (msg == TBX_SETSTRINGINDEX && old != (INT_PTR)lParam) {
        b->tb.iString = (INT_PTR)lParam;
        ToolbarExMarkButton(b);
        data->dirty |= kDirtyLayout | kDirtySizes;
        ToolbarExInvalidate(data);
      }
      return old;
    }
    case TBX_DELETESTRINGS:
      return ToolbarExDeleteStrings(data, (int)wParam, (int)lParam);
    case TBX_FINDSTRINGW:
    case TBX_FINDSTRINGA:
      return ToolbarExFindString(data, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<const void*>(lParam),
                                 msg == TBX_FINDSTRINGW);
    case TBX_COUNTBUTTONS: {
      unsigned first = LOWORD(wParam), end = HIWORD(wParam) < data->buttonCount ? HIWORD(wParam) : data->buttonCount;
      WORD value = LOWORD(lParam), mask = HIWORD(lParam);
      int n = 0;
      for (unsigned i = first; i < end; i++) {
        const ToolbarExButton* b = data->buttons[i];
        n += mask ? ((StyleWord(b) & mask) == (value & mask)) : (b->tb.idCommand == 0);
      }
      return n;
    }
    case TBX_SETSTYLEBYTES:
      return SetFields(data, wParam, lParam, Field::StyleByte);
    case TBX_SETSTATEBYTES:
      return SetFields(data, wParam, lParam, Field::StateByte);
    case TBX_SETSTYLEWORDS:
      return SetFields(data, wParam, lParam, Field::StyleWord);
    case TBX_GETIMAGEINFO:
      return ToolbarExGetImageInfo(data, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<TbxImageInfo*>(lParam));
    case TBX_GETCOMMANDIDS: {
      DWORD* ids = reinterpret_cast<DWORD*>(lParam);
      unsigned n = wParam < data->buttonCount ? (unsigned)wParam : data->buttonCount;
      for (unsigned i = 0; ids && i < n; i++) ids[i] = (DWORD)data->buttons[i]->tb.idCommand;
      return ids ? n : 0;
    }
    case TBX_DELETEALLIMAGES: {
      int n = (int)data->imageCount;
      while (data->imageCount) ToolbarExDeleteImage(data, (int)data->imageCount - 1);
      if (n) {
        data->dirty = kDirtyAll;
        ToolbarExInvalidate(data);
      }
      return n;
    }
    case TBX_DELETEBUTTONS: {
      int first = (int)wParam, end = (unsigned)lParam < data->buttonCount ? (int)lParam : (int)data->buttonCount;
      int n = 0;
      for (int i = end - 1; i >= first && i >= 0; i--) n += ToolbarExDeleteButton(data, i);
      if (n) ToolbarExInvalidate(data);
      return n;
    }
    case TBX_GETBITMAPSIZE:
      return MAKELONG(data->bitmapSize.cx, data->bitmapSize.cy);
    case TBX_GETCOMMANDIDAT: {
      ToolbarExButton* b = ToolbarExButtonAt(data, (int)wParam);
      return b ? b->tb.idCommand : -1;
    }
    case TBX_GETSTYLEWORD:
    case TBX_SETSTYLEWORD: {
      int index = byIndex();
      ToolbarExButton* b = ToolbarExButtonAt(data, index);
      if (!b) return -1;
      WORD old = StyleWord(b);
      if (msg == TBX_SETSTYLEWORD) {
        WORD value = LOWORD(lParam), mask = HIWORD(lParam);
        StyleWord(b) = (WORD)((old & ~mask) | (value & mask));
        if ((old ^ StyleWord(b)) & ~kTbxSplit) {
          ToolbarExMarkButton(b);
          data->dirty |= kDirtyLayout | kDirtySizes;
          ToolbarExInvalidate(data);
        }
      }
      return old;
    }
    case TBX_GETBUTTONVALUE: {
      ToolbarExButton* b = ToolbarExButtonAt(data, byIndex());
      return b ? (LRESULT)b->tb.dwData : 0;
    }
    case TBX_SETBUTTONVALUE:
      return SetButtonValue(data, byIndex(), lParam);
    case TBX_SETIMAGESCALE:
      return SetImageScale(data, wParam, lParam);
    case TBX_COLOR: {
      DWORD which = (DWORD)wParam;
      if ((which & 0x7FFFFFFF) > 1) return 0;
      COLORREF& key = data->keyColor[which & 1];
      COLORREF old = key;
      if ((which & 0x80000000) && key != (COLORREF)lParam) {
        key = (COLORREF)lParam;
        if (data->buttonCount) {
          data->dirty = kDirtyAll;
          ToolbarExInvalidate(data);
        }
      }
      return old;
    }
    case TBX_SETSYSCOLOR: {
      if (wParam >= 9) return -1;
      COLORREF old = data->colors[wParam];
      if ((int)lParam == -1) {
        data->colorSet[wParam] = 0;
      } else {
        data->colors[wParam] = (COLORREF)lParam;
        data->colorSet[wParam] = 1;
      }
      ToolbarExUpdateColors(data);
      if (data->colors[wParam] != old) {
        // The slots that the buttons' images use render again.
        if (wParam <= 4) {
          for (unsigned i = 0; i < data->buttonCount; i++) data->buttons[i]->drawWord |= kDrawRender;
        }
        ToolbarExInvalidate(data);
      }
      return old;
    }
  }
  lock.Leave();
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

void ToolbarExLockCheck(ToolbarExData* data, int handler) {
  if (data->lock.LockCount != -1) return;
  char text[16];
  snprintf(text, sizeof text, "%i", handler);
  MessageBoxA(nullptr, text, "Unlock Error", MB_OK);
}

void ToolbarExLeave(ToolbarExData* data, int handler) {
  ToolbarExLockCheck(data, handler);
  LeaveCriticalSection(&data->lock);
}

void ToolbarExInvalidate(ToolbarExData* data) {
  if (data->window) InvalidateRect(data->window, nullptr, FALSE);
}

void ToolbarExSetDisplayBitsSeam(int bits) { g_displayBitsSeam = bits; }

int RegisterToolbarExClass(HINSTANCE instance) {
  if (g_registered) return 1;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ToolbarExWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
  wc.lpszClassName = TOOLBAREX_CLASS;
  g_registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return g_registered ? 1 : 0;
}

LRESULT CALLBACK ToolbarExWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ToolbarExData* data = DataOf(hwnd);
  switch (msg) {
    case WM_NCCREATE: {
      auto* block = new (std::nothrow) ToolbarExData{};
      ToolbarExAddRefResources();
      if (block) {
        InitializeCriticalSection(&block->lock);
        SetWindowLongPtrA(hwnd, 0, (LONG_PTR)block);
      }
      return 1;
    }
    case WM_CREATE:
      if (!data) return -1;
      Defaults(data, hwnd);
      SetTimer(hwnd, kTimerId, 1000, nullptr);
      ToolbarExUpdateColors(data);
      ToolbarExCreateFont(data);
      return 0;
    case WM_NCDESTROY:
      if (data) {
        ToolbarExFreeLabels(data);
        SetWindowLongPtrA(hwnd, 0, 0);
        DeleteCriticalSection(&data->lock);
        *data = ToolbarExData{};
        delete data;
      }
      ToolbarExReleaseResources();
      return 0;
  }
  if (!data || !data->window) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_DESTROY: {
      Locked lock(data, WM_DESTROY);
      KillTimer(hwnd, kTimerId);
      DestroyItems(data);
      return 0;
    }
    case WM_SIZE: {
      Locked lock(data, WM_SIZE);
      int cx = LOWORD(lParam), cy = HIWORD(lParam);
      if (cx && cx > data->clientSize.cx) {
        RECT strip = {data->clientSize.cx, 0, cx, data->clientSize.cy};
        InvalidateRect(hwnd, &strip, FALSE);
      }
      if (cy && cy > data->clientSize.cy) {
        RECT strip = {0, data->clientSize.cy, cx, cy};
        InvalidateRect(hwnd, &strip, FALSE);
      }
      if (cx) data->clientSize.cx = cx;
      if (cy) data->clientSize.cy = cy;
      return 0;
    }
    case WM_SETFOCUS:
      SendNotify(data, NM_SETFOCUS, nullptr);
      return 0;
    case WM_KILLFOCUS:
      SendNotify(data, NM_KILLFOCUS, nullptr);
      return 0;
    case WM_ENABLE:
      // Only WS_DISABLED changes; WM_STYLECHANGED brings the block up to date.
      if ((wParam != 0) != (data->enabled != 0)) {
        DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
        SetWindowLongA(hwnd, GWL_STYLE, (LONG)(wParam ? style & ~WS_DISABLED : style | WS_DISABLED));
      }
      return 0;
    case WM_STYLECHANGED: {
      if (wParam != (WPARAM)GWL_STYLE) return 0;
      Locked lock(data, WM_STYLECHANGED);
      DWORD old = data->style, now = reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew;
      data->style = now;
      DWORD change = old ^ now;
      if (change & WS_DISABLED) data->enabled = (now & WS_DISABLED) ? 0 : 1;
      if (change & 0x80) data->dirty |= kDirtyLayout | kDirtySizes;
      if (change & (0x800 | 0x20)) data->dirty = kDirtyAll;
      if (change & (WS_DISABLED | 0x80 | 0x800 | 0x20)) ToolbarExInvalidate(data);
      return 0;
    }
    case WM_SYSCOLORCHANGE: {
      Locked lock(data, WM_SYSCOLORCHANGE);
      data->dirty = kDirtyAll;
      ToolbarExUpdateColors(data);
      for (unsigned i = 0; i < data->buttonCount; i++) data->buttons[i]->drawWord |= kDrawRender;
      ToolbarExInvalidate(data);
      return 0;
    }
    case WM_SETFONT: {
      Locked lock(data, WM_SETFONT);
      data->font = (HFONT)wParam;
      if (ToolbarExCreateFont(data)) ToolbarExInvalidate(data);
      return 0;
    }
    case WM_GETFONT:
      return (LRESULT)data->font;
    case WM_PAINT:
      return Paint(data, hwnd, (HDC)wParam);
    case WM_PRINTCLIENT:
      return Paint(data, hwnd, (HDC)wParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_DRAWITEM:
      if (wParam != 1) return 0;
      return SendMessageA(GetParent(hwnd), WM_DRAWITEM, (WPARAM)GetWindowLongPtrA(hwnd, GWLP_ID), lParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
      return 0;
    case WM_COMMAND:
      return ControlCommand(data, wParam, lParam);
    case WM_NOTIFY:
      return ControlNotify(data, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
      return Mouse(data, hwnd, msg, wParam, lParam);
    case WM_TIMER:
    case TBX_TIMERTICK:
      // The own timer does nothing by itself; other ticks cool a hot button.
      if (wParam == kTimerId || data->hotIndex < 0) return DefWindowProcA(hwnd, msg, wParam, lParam);
      return Mouse(data, hwnd, msg, wParam, lParam);
    case TB_BUTTONCOUNT:
      return data->buttonCount;
    case TB_BUTTONSTRUCTSIZE:
      data->buttonStructSize = (int)wParam;
      return 0;
    case TB_GETTOOLTIPS:
    case TB_SETTOOLTIPS:
      return 0;
    case TB_GETSTYLE:
      return data->style;
    case TB_GETBUTTONSIZE:
      return MAKELONG(data->buttonSize.cx, data->buttonSize.cy);
    case TB_GETEXTENDEDSTYLE:
      return 0;
    case TB_GETPADDING:
      return MAKELONG(data->padding.cx, data->padding.cy);
    case TBX_GETSTRINGCOUNT:
      return data->stringCount;
    case TBX_COUNTBITMAPIMAGES:
      return ToolbarExCountBitmapImages(wParam, lParam);
    case TBX_GETCOMMANDTARGET:
      return 0;
  }
  if ((msg >= TB_ENABLEBUTTON && msg <= TB_SETLISTGAP) || (msg >= TBX_TIMERTICK && msg <= TBX_SETSYSCOLOR)) {
    return Dispatch(data, hwnd, msg, wParam, lParam);
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
