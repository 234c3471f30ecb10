#include "ui/colorlistbox.h"

#include <string>
#include <vector>

#include "ui/theme/attrtext.h"
#include "ui/fonts.h"

const char kColorListBoxClass[] = "ColorListBox";

namespace {
struct Line {
  std::string text;
  std::vector<BYTE> attrs;
  bool separator = false;
  int indent = 0;
};

struct ColorList {
  std::vector<Line> lines;
  UINT options = 0;
  int tab = 0;
  int lineHeight = 0;
  int widest = 0;
  int top = 0;   // first visible line
  int left = 0;  // horizontal scroll in pixels
};

ColorList* Get(HWND hwnd) { return (ColorList*)GetWindowLongPtrA(hwnd, 0); }

HFONT* Fonts() {
  static HFONT fonts[4];
  for (int i = 0; i < 4; i++) fonts[i] = GetStandardFont(i);
  return fonts;
}

int LineWidth(HDC dc, const ColorList& list, const Line& line) {
  int tab = list.tab;
  return GetAttrTabbedTextExtentA(dc, 0, line.text.data(), line.attrs.data(), (int)line.text.size(), tab ? 1 : 0, &tab,
                                  0, Fonts());
}

void UpdateScrollBars(HWND hwnd, ColorList* list) {
  DWORD style = GetWindowLongA(hwnd, GWL_STYLE);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (!(style & kColorListNoVScroll)) {
    SCROLLINFO si = {sizeof si,
                     SIF_RANGE | SIF_PAGE | SIF_POS,
                     0,
                     (int)list->lines.size() - 1,
                     (UINT)(list->lineHeight ? rc.bottom / list->lineHeight : 1),
                     list->top,
                     0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (!(style & kColorListNoHScroll)) {
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, list->widest + 8, (UINT)rc.right, list->left, 0};
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void Paint(HWND hwnd, ColorList* list, HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  HFONT* fonts = Fonts();
  HGDIOBJ oldFont = SelectObject(dc, fonts[0]);
  int tabWidth = list->tab;
  if (tabWidth < 1) {
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    tabWidth = 8 * tm.tmAveCharWidth;
  }
  if (tabWidth < 1) tabWidth = 1;
  for (int i = list->top; i < (int)list->lines.size(); i++) {
    int y = (i - list->top) * list->lineHeight + 4;
    if (y >= client.bottom) break;
    const Line& line = list->lines[i];
    int x0 = 4 - list->left + line.indent, x = x0;
    RECT rc = {client.left, y, client.right, y + list->lineHeight};
    const char* text = line.text.data();
    const BYTE* attrs = line.attrs.data();
    int n = (int)line.text.size();
    for (int s = 0; s < n;) {
      if (text[s] == '\t') {
        x = x0 + ((x - x0) / tabWidth + 1) * tabWidth;
        s++;
        continue;
      }
      int e = s;
      while (e < n && text[e] != '\t') e++;
      x = DrawAttrTextA(dc, x, y, list->options & ETO_CLIPPED, &rc, text + s, e - s, attrs + s, nullptr, fonts);
      s = e;
    }
    if (line.separator) {
      // An etched rule beside the text, through the middle of the line.
      int mid = y + list->lineHeight / 2;
      int gap = n ? 6 : 0;
      RECT parts[2] = {{4 - list->left, mid, x0 - gap, mid + 1}, {x + gap, mid, client.right - 4, mid + 1}};
      for (RECT part : parts) {
        if (part.right - part.left < 2) continue;
        RECT light = {part.left, part.top + 1, part.right, part.bottom + 1};
        FillRect(dc, &part, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
      }
    }
  }
  SelectObject(dc, oldFont);
}

void Scroll(HWND hwnd, ColorList* list, int bar, int code) {
  SCROLLINFO si = {sizeof si, SIF_ALL};
  GetScrollInfo(hwnd, bar, &si);
  int step = bar == SB_VERT ? 1 : 16;
  int pos = si.nPos;
  switch (code) {
    case SB_LINEUP:
      pos -= step;
      break;
    case SB_LINEDOWN:
      pos += step;
      break;
    case SB_PAGEUP:
      pos -= (int)si.nPage;
      break;
    case SB_PAGEDOWN:
      pos += (int)si.nPage;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = si.nTrackPos;
      break;
    case SB_TOP:
      pos = si.nMin;
      break;
    case SB_BOTTOM:
      pos = si.nMax;
      break;
    default:
      return;
  }
  int last = si.nMax - (int)si.nPage + 1;
  if (pos > last) pos = last;
  if (pos < si.nMin) pos = si.nMin;
  (bar == SB_VERT ? list->top : list->left) = pos;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, TRUE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT CALLBACK ColorListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ColorList* list = Get(hwnd);
  switch (msg) {
    case WM_NCCREATE: {
      list = new ColorList;
      HDC dc = GetDC(nullptr);
      int height = 0;
      GetStandardFontHeight(nullptr, &height, 0);
      ReleaseDC(nullptr, dc);
      list->lineHeight = height > 0 ? height : 16;
      SetWindowLongPtrA(hwnd, 0, (LONG_PTR)list);
      break;
    }
    case WM_NCDESTROY:
      delete list;
      SetWindowLongPtrA(hwnd, 0, 0);
      break;
    case CLB_SETUP:
      if (list) list->options = (UINT)lParam & (ETO_OPAQUE | ETO_CLIPPED);
      return 0;
    case LB_SETTABSTOPS:
      if (!list) return FALSE;
      list->tab = wParam == 1 && lParam ? *(const int*)lParam : 0;
      return TRUE;
    case CLB_ADDLINE: {
      const ColorListLine* rec = (const ColorListLine*)lParam;
      if (!list || !rec || (rec->size != kColorListLineSize && rec->size != kColorListSeparatorSize)) return -1;
      Line line;
      if (rec->text) line.text.assign(rec->text, rec->length);
      line.attrs.assign(line.text.size(), 0);
      if (rec->attrs) line.attrs.assign(rec->attrs, rec->attrs + line.text.size());
      line.separator = rec->size == kColorListSeparatorSize;
      if (line.separator) line.indent = (int)(rec->indent >> 16);
      HDC dc = GetDC(hwnd);
      int width = LineWidth(dc, *list, line) + line.indent;
      ReleaseDC(hwnd, dc);
      if (width > list->widest) list->widest = width;
      list->lines.push_back(std::move(line));
      UpdateScrollBars(hwnd, list);
      InvalidateRect(hwnd, nullptr, TRUE);
      return (LRESULT)list->lines.size() - 1;
    }
    case LB_GETCOUNT:
      return list ? (LRESULT)list->lines.size() : 0;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
      if (!list || wParam >= list->lines.size()) return LB_ERR;
      const std::string& text = list->lines[wParam].text;
      if (msg == LB_GETTEXT && lParam) lstrcpynA((char*)lParam, text.c_str(), (int)text.size() + 1);
      return (LRESULT)text.size();
    }
    case CLB_GETTEXTADDRESS:
      if (!list || wParam >= list->lines.size()) return 0;
      return (LRESULT)list->lines[wParam].text.c_str();
    case WM_SIZE:
      if (list) UpdateScrollBars(hwnd, list);
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (list) Scroll(hwnd, list, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (list) {
        int lines = -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
        for (int i = 0; i < (lines < 0 ? -lines : lines); i++) {
          Scroll(hwnd, list, SB_VERT, lines < 0 ? SB_LINEUP : SB_LINEDOWN);
        }
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (list) Paint(hwnd, list, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (list) Paint(hwnd, list, (HDC)wParam);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

BOOL RegisterColorListBox() {
  static ATOM atom = 0;
  if (atom) return TRUE;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = ColorListProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.lpszClassName = kColorListBoxClass;
  atom = RegisterClassA(&wc);
  if (!atom && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) atom = 1;
  return atom != 0;
}
