#include "ui/msgbox.h"

#include <cstring>
#include <string>
#include <vector>

#include "ui/theme/attrtext.h"
#include "ui/colorlistbox.h"
#include "ui/fonts.h"
#include "ui/libtexts.h"

namespace {
const char kStateProp[] = "ROS_MSGBOX";
const UINT_PTR kTimerId = 0;
const int kMaxButtons = 8;
const int kLineBlock = 64;

POINT g_point = {kMsgBoxNoPosition, kMsgBoxNoPosition};

bool Known(POINT pt) { return pt.x != kMsgBoxNoPosition && pt.y != kMsgBoxNoPosition; }

struct LineRecord {
  int start;
  int length;      // a separator line keeps its width in the high 16 bits
  bool separator;  // also for an empty one, whose width is 0
};

struct MsgBoxState {
  const MSGBOXPARAMSA* params = nullptr;
  HWND owner = nullptr;
  HICON icon = nullptr;
  HFONT font = nullptr;
  int buttons[kMaxButtons] = {};
  int count = 0;
  DWORD time = 0;
  bool overflow = false;
  int tab = 0;
  int x0 = 0, y0 = 0, W = 0, H = 0;
  int widest = 0;
  POINT centre = {};
  POINT closing = {kMsgBoxNoPosition, kMsgBoxNoPosition};
  RECT work = {};
  const char* text = nullptr;
  const BYTE* attrs = nullptr;
  std::vector<LineRecord> lines;

  bool Has(int id) const {
    for (int i = 0; i < count; i++) {
      if (buttons[i] == id) return true;
    }
    return false;
  }
  // The answer of Escape and of the close command: only a button the box
  // shows, Cancel where present, else OK; 0 keeps the box open.
  int CloseAnswer() const { return Has(IDCANCEL) ? IDCANCEL : Has(IDOK) ? IDOK : 0; }
};

// Fallback captions of buttons 1-7, 9, 10, 11 where USER32 has no string.
const wchar_t* FallbackCaption(int id) {
  switch (id) {
    case IDOK:
      return L"OK";
    case IDCANCEL:
      return L"Abbrechen";
    case IDABORT:
      return L"&Abbrechen";
    case IDRETRY:
      return L"&Wiederholen";
    case IDIGNORE:
      return L"&Ignorieren";
    case IDYES:
      return L"&Ja";
    case IDNO:
      return L"&Nein";
    case IDHELP:
      return L"Hilfe";
    case IDTRYAGAIN:
      return L"&Wiederholen";
    case IDCONTINUE:
      return L"&Weiter";
  }
  return L"";
}

HMODULE User32() {
  static HMODULE module = GetModuleHandleA("user32.dll");
  return module;
}

std::wstring LoadW(HMODULE module, UINT id) {
  const wchar_t* p = nullptr;
  int n = LoadStringW(module, id, (LPWSTR)&p, 0);
  return n > 0 && p ? std::wstring(p, n) : std::wstring();
}

std::wstring ButtonCaption(HMODULE instance, int id) {
  if (id == IDMSGBOX_NEVER || id == IDMSGBOX_ALWAYS) {
    const wchar_t* text = GetLibTextW(instance, id == IDMSGBOX_NEVER ? kLibTextNever : kLibTextAlways, nullptr);
    return text ? text : (id == IDMSGBOX_NEVER ? L"Niemals" : L"Immer");
  }
  std::wstring text = LoadW(User32(), 799 + id);  // 800-806, 808-810
  return text.empty() ? FallbackCaption(id) : text;
}

int ChooseButtons(UINT style, int* buttons) {
  // clang-format off
  static const int kSets[8][3] = {
      {IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO}, {IDRETRY, IDCANCEL}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, {IDOK},
  };
  // clang-format on
  int n = 0;
  for (int id : kSets[style & 7]) {
    if (id) buttons[n++] = id;
  }
  auto add = [&](int id) {
    if (buttons[n - 1] == IDCANCEL) {
      buttons[n] = IDCANCEL;
      buttons[n - 1] = id;
    } else {
      buttons[n] = id;
    }
    n++;
  };
  if (style & kMsgBoxNeverButton) add(IDMSGBOX_NEVER);
  if (style & kMsgBoxAlwaysButton) add(IDMSGBOX_ALWAYS);
  if (style & MB_HELP) buttons[n++] = IDHELP;
  return n;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || (BYTE)c == 0xA0; }

RECT WorkArea(HWND owner) {
  RECT rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 32};
  HMONITOR monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi = {sizeof mi};
  if (monitor && GetMonitorInfoA(monitor, &mi)) rc = mi.rcWork;
  return rc;
}

// Template writer: WORD-aligned values, DWORD-aligned items.
struct TemplateWriter {
  std::vector<WORD> words;
  void Word(WORD w) { words.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const wchar_t* s) {
    for (; *s; s++) Word((WORD)*s);
    Word(0);
  }
  void Align() {
    if (words.size() & 1) Word(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* title, int ordinal) {
    Align();
    Dword(style);
    Dword(0);
    Word((WORD)x);
    Word((WORD)y);
    Word((WORD)cx);
    Word((WORD)cy);
    Word(id);
    Word(0xFFFF);
    Word(atom);
    if (title) {
      Text(title);
    } else {
      Word(0xFFFF);
      Word((WORD)ordinal);
    }
    Word(0);  // no creation data
  }
};

struct Measure {
  HDC dc;
  HFONT fonts[4];
  int tab;
  const char* text;
  const BYTE* attrs;
  int Width(int start, int length) const {
    int t = tab;
    return GetAttrTabbedTextExtentA(dc, 0, text + start, attrs + start, length, t ? 1 : 0, &t, 0, fonts);
  }
};

// Breaks the text into lines no wider than maxW where it can.
void BreakLines(MsgBoxState& s, const Measure& m, int n, int maxW) {
  s.lines.clear();
  s.lines.reserve(kLineBlock);
  int start = 0;
  while (start < n) {
    int limit = start + maxW / 4 + 40;
    if (limit > n) limit = n;
    int end = start;
    while (end < limit && m.text[end] != '\r' && m.text[end] != '\n') end++;
    int length = end - start, next = end;
    bool atEol = end < n && (m.text[end] == '\r' || m.text[end] == '\n');
    // A line cut by the look-ahead breaks at a blank too, not inside a word.
    bool cutShort = !atEol && end < n;
    int width = m.Width(start, length);
    bool hard = false;
    while (width > maxW || cutShort) {
      int b = start + length - 1;
      while (b > start && !IsBlank(m.text[b])) b--;
      if (b > start) {
        int e = b;
        while (e > start && IsBlank(m.text[e - 1])) e--;
        int f = b + 1;
        while (f < n && IsBlank(m.text[f])) f++;
        if (e == start) break;
        length = e - start;
        next = f;
        atEol = false;
        cutShort = false;
        width = m.Width(start, length);
        continue;
      }
      if (!cutShort || width > maxW) hard = true;
      break;
    }
    if (hard) {
      while (width >= maxW && length > 32) {
        length -= 10;
        width = m.Width(start, length);
      }
      next = start + length;
      atEol = false;
      s.overflow = true;
    }
    if (width > s.widest) s.widest = width < maxW ? width : maxW;
    LineRecord rec = {start, length, false};
    BYTE endAttr = start + length < n ? m.attrs[start + length] : 0;
    if (atEol && (endAttr == kMsgBoxSeparatorBS || endAttr == kMsgBoxSeparatorFF)) {
      rec.length |= (width < 0xFFFF ? width : 0xFFFF) << 16;
      rec.separator = true;
    }
    s.lines.push_back(rec);
    if (atEol) {
      if (next < n && m.text[next] == '\r') next++;
      if (next < n && m.text[next] == '\n') next++;
    }
    if (next <= start) next = start + 1;  // always moves on
    start = next;
  }
}

void FillTextControl(HWND list, const MsgBoxState& s) {
  SendMessageA(list, CLB_SETUP, 0, 0x801002);
  if (s.tab) SendMessageA(list, LB_SETTABSTOPS, 1, (LPARAM)&s.tab);
  for (size_t i = 0; i < s.lines.size(); i++) {
    const LineRecord& rec = s.lines[i];
    int length = rec.length & 0xFFFF;
    ColorListLine line = {kColorListLineSize, (DWORD)i,     0, 0xFFFF0000, s.attrs + rec.start,
                          s.text + rec.start, (DWORD)length};
    if (rec.separator) {
      int indent = s.widest - (rec.length >> 16);
      if (s.attrs[rec.start + length] == kMsgBoxSeparatorFF) indent /= 2;
      line.size = kColorListSeparatorSize;
      line.indent = (DWORD)(indent > 0 ? indent : 0) << 16;
    }
    SendMessageA(list, CLB_ADDLINE, 0x20000000, (LPARAM)&line);
  }
}

POINT WindowCentre(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void EndWith(HWND hwnd, MsgBoxState* s, int id) {
  s->closing = WindowCentre(hwnd);
  EndDialog(hwnd, id);
}
}  // namespace

POINT GetMsgBoxPoint() { return g_point; }
void SetMsgBoxPoint(POINT pt) { g_point = pt; }

int ParseMsgBoxCodes(const char* in, int length, char* text, BYTE* attrs) {
  BYTE cur = 0;
  int out = 0;
  auto put = [&](char c, BYTE a) {
    text[out] = c;
    attrs[out] = a;
    out++;
  };
  for (int i = 0; i < length; i++) {
    BYTE c = (BYTE)in[i];
    BYTE next = i + 1 < length ? (BYTE)in[i + 1] : 0;
    if ((c >= 1 && c <= 6) || (c >= 14 && c <= 31)) {
      cur = (BYTE)((cur & ~kAttrColorMask) | (c <= 6 ? c + 3 : c - 4));
      if (next == 7) i++;
    } else if (c == 7) {
      cur = 0;
    } else if (c == 11) {
      cur |= kMsgBoxEmphasis;
    } else if (c == 8 || c == 12) {
      if (next == '\n') {
        put('\n', c == 8 ? kMsgBoxSeparatorBS : kMsgBoxSeparatorFF);
      } else {
        cur |= kMsgBoxEmphasis;
      }
    } else if (c == '\r' || c == '\n') {
      put((char)c, cur);
      if (c == '\r' && next == '\n') {
        put('\n', cur);
        i++;
      }
      cur = 0;
    } else {
      put((char)c, cur);
    }
  }
  return out;
}

int MsgBox(HWND owner, const char* text, const char* caption, UINT type) {
  MSGBOXPARAMSA params = {};
  params.cbSize = sizeof params;
  params.hwndOwner = owner;
  params.lpszText = text;
  params.lpszCaption = caption;
  params.dwStyle = type;
  return MsgBoxIndirect(&params, nullptr, 0);
}

int MsgBoxIndirect(MSGBOXPARAMSA* params, const BYTE* attrs, DWORD timeAndMarker) {
  if (params && !(params->dwStyle & (kMsgBoxAnsi | kMsgBoxPassTime)) && timeAndMarker != (DWORD)-1) {
    // A value already marked keeps its time: only the top byte is set.
    timeAndMarker = (timeAndMarker & kMsgBoxTimeMask) | kMsgBoxAnsiMarker;
  }
  return MsgBoxIndirectCore(params, attrs, timeAndMarker);
}

int MsgBoxIndirectCore(MSGBOXPARAMSA* params, const BYTE* attrsIn, DWORD timeAndMarker) {
  if (!params) return 0;
  MsgBoxState s;
  s.params = params;
  UINT style = params->dwStyle;
  UINT own = style & (kMsgBoxNeverButton | kMsgBoxAlwaysButton | kMsgBoxNoSound);
  style &= ~(kMsgBoxNeverButton | kMsgBoxAlwaysButton | kMsgBoxNoSound);
  s.time = timeAndMarker;
  if ((timeAndMarker & kMsgBoxMarkerMask) == kMsgBoxAnsiMarker) {
    style |= kMsgBoxAnsi;
    s.time = timeAndMarker & kMsgBoxTimeMask;
  }
  bool ansi = (style & kMsgBoxAnsi) != 0;
  s.count = ChooseButtons(style | (own & (kMsgBoxNeverButton | kMsgBoxAlwaysButton)), s.buttons);
  int defIndex = (style >> 8) & 15;
  if (defIndex >= s.count) defIndex = 0;
  s.tab = (int)(style >> kMsgBoxTabShift);
  HINSTANCE instance = params->hInstance;

  s.owner = params->hwndOwner ? params->hwndOwner : GetActiveWindow();
  s.work = WorkArea(s.owner);
  s.centre = g_point;
  if (style & kMsgBoxCentreGiven) {
    s.centre = {(short)LOWORD(params->dwLanguageId), (short)HIWORD(params->dwLanguageId)};
  } else if (HWND top = s.owner ? GetAncestor(s.owner, GA_ROOT) : nullptr) {
    // A box belongs over the window that asks; the last closing point
    // serves boxes without one.
    RECT rc;
    if (IsWindowVisible(top) && !IsIconic(top) && GetWindowRect(top, &rc))
      s.centre = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  if (!Known(s.centre)) s.centre = {(s.work.left + s.work.right) / 2, (s.work.top + s.work.bottom) / 2};

  // Caption, as 16-bit text.
  std::wstring caption;
  UINT_PTR captionPtr = (UINT_PTR)params->lpszCaption;
  if (!captionPtr) {
    caption = LoadW(User32(), 2);
    if (caption.empty()) caption = L"Fehler";
  } else if (captionPtr <= 0xFFFF) {
    caption = LoadW(instance, (UINT)captionPtr);
  } else if (ansi) {
    wchar_t buffer[128] = {};
    MultiByteToWideChar(CP_ACP, 0, params->lpszCaption, -1, buffer, 127);
    buffer[127] = 0;
    caption = buffer;
  } else {
    caption = (const wchar_t*)params->lpszCaption;
  }
  if ((captionPtr <= 0xFFFF || ansi) && caption.size() > 127) caption.resize(127);

  // Text, as 8-bit text.
  std::string raw;
  UINT_PTR textPtr = (UINT_PTR)params->lpszText;
  if (textPtr && textPtr <= 0xFFFF) {
    int n = (int)LoadW(instance, (UINT)textPtr).size();
    raw.assign(n + 1, '\0');
    n = LoadStringA(instance, (UINT)textPtr, &raw[0], n + 1);
    raw.resize(n > 0 ? n : 0);
  } else if (textPtr && ansi) {
    raw = params->lpszText;
  } else if (textPtr) {
    const wchar_t* w = (const wchar_t*)params->lpszText;
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    raw.assign(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, &raw[0], n, nullptr, nullptr);
    raw.resize(strlen(raw.c_str()));
  }
  int n = (int)raw.size();
  std::vector<char> text(n + 1, '\0');
  std::vector<BYTE> attrs(n + 1, 0);
  if (attrsIn) {
    memcpy(text.data(), raw.data(), n);
    memcpy(attrs.data(), attrsIn, n);
  } else {
    n = ParseMsgBoxCodes(raw.data(), n, text.data(), attrs.data());
  }
  s.text = text.data();
  s.attrs = attrs.data();

  // Icon and sound.
  static const LPCSTR kIcons[] = {nullptr, (LPCSTR)IDI_HAND, (LPCSTR)IDI_QUESTION, (LPCSTR)IDI_EXCLAMATION,
                                  (LPCSTR)IDI_ASTERISK};
  UINT iconType = style & MB_ICONMASK;
  if (iconType >= MB_ICONHAND && iconType <= MB_ICONASTERISK) {
    s.icon = LoadIconA(nullptr, kIcons[iconType >> 4]);
    if (!(own & kMsgBoxNoSound)) MessageBeep(iconType);
  } else if (iconType == MB_USERICON) {
    s.icon = LoadIconA(instance, params->lpszIcon);
  }

  // Layout in pixels.
  LONG base = GetDialogBaseUnits();
  int bx = LOWORD(base), by = HIWORD(base);
  int workW = s.work.right - s.work.left, workH = s.work.bottom - s.work.top;
  int maxW = 3 * workW / 5;
  if (maxW > workH) maxW = workH;
  int maxH = 4 * workH / 5 - 80;
  Measure m = {CreateCompatibleDC(nullptr), {}, s.tab, s.text, s.attrs};
  for (int i = 0; i < 4; i++) m.fonts[i] = GetStandardFont(i);
  int lineHeight = 0;
  GetStandardFontHeight(nullptr, &lineHeight, 0);
  BreakLines(s, m, n, maxW);
  int height = (int)s.lines.size() * lineHeight + 8;
  if (height > maxH) {
    height = maxH;
    s.overflow = true;
  }
  int cxScroll = GetSystemMetrics(SM_CXHSCROLL);
  s.W = cxScroll + s.widest + 8;
  if (s.widest < 100) {
    s.W = 100;
    s.x0 = (100 - s.widest) / 2;
  }
  s.H = height;
  if (height < 40) {
    s.H = 40;
    s.y0 = (40 - height) / 2;
  }

  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  s.font = CreateFontIndirectW(&ncm.lfMessageFont);
  std::wstring captions[kMaxButtons];
  int bw = 80, bh = 32;
  HGDIOBJ oldFont = SelectObject(m.dc, s.font);
  for (int i = 0; i < s.count; i++) {
    captions[i] = ButtonCaption(instance ? instance : GetModuleHandleA(nullptr), s.buttons[i]);
    RECT rc = {};
    DrawTextW(m.dc, captions[i].c_str(), -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    if (rc.right - rc.left + 20 > bw) bw = rc.right - rc.left + 20;
    if (rc.bottom - rc.top + 10 > bh) bh = rc.bottom - rc.top + 10;
  }
  SelectObject(m.dc, oldFont);
  DeleteDC(m.dc);

  short iconX = 0, iconY = 0, iconCx = 0, iconCy = 0;
  if (s.icon) {
    int cxIcon = GetSystemMetrics(SM_CXICON), cyIcon = GetSystemMetrics(SM_CYICON);
    iconX = (short)(cxScroll * 4 / bx);
    iconY = (short)(24 * 8 / by);
    iconCx = (short)((cxScroll + cxIcon) * 4 / bx);
    iconCy = (short)((24 + cyIcon) * 8 / by);
    int textH = s.H;
    s.x0 += cxScroll + cxIcon + 16;
    s.W += cxScroll + cxIcon + 16;
    s.y0 += 16;
    s.H += 28;
    if (24 + cyIcon > textH) {
      s.y0 += (24 + cyIcon - textH) / 2;
      s.H += (24 + cyIcon - textH) / 2;
    }
  } else {
    s.x0 += cxScroll;
    s.W += cxScroll;
    s.y0 += 96 / by;
    s.H += 96 / by;
  }
  int half = (s.W - (bw + 16) * s.count - 32) / 2;
  if (half < 1) {
    s.x0 -= half;
    s.W -= half;
  }
  short firstX = (short)(((half > 0 ? half : 0) + 24) * 4 / bx);
  short buttonY = (short)((s.H * 8 + 128) / by);
  short buttonCx = (short)(bw * 4 / bx), buttonCy = (short)(bh * 8 / by);
  short gap = (short)(128 / by);
  short dialogCx = (short)(2 * firstX + s.count * buttonCx + (s.count - 1) * gap);
  short dialogCy = (short)(buttonY + buttonCy + 96 / by);

  // The template.
  DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
  if (style & MB_TOPMOST) exStyle |= WS_EX_TOPMOST;
  if (style & kMsgBoxCentreGiven) exStyle |= WS_EX_RIGHT;
  TemplateWriter t;
  t.Dword(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_NOIDLEMSG | DS_MODALFRAME);
  t.Dword(exStyle);
  t.Word((WORD)(1 + (s.icon ? 1 : 0) + s.count));
  t.Word(100);
  t.Word(100);
  t.Word((WORD)dialogCx);
  t.Word((WORD)dialogCy);
  t.Word(0);  // no menu
  t.Word(0);  // standard class
  t.Text(caption.c_str());
  t.Item(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOPREFIX, 0, 0, dialogCx, (short)(buttonY - 96 / by),
         kMsgBoxPlaceholderId, 0x0082, L"", 0);
  if (s.icon) t.Item(WS_CHILD | WS_VISIBLE | SS_ICON, iconX, iconY, iconCx, iconCy, kMsgBoxIconId, 0x0082, nullptr, 0);
  for (int i = 0; i < s.count; i++) {
    DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    t.Item(buttonStyle, (short)(firstX + i * (buttonCx + gap)), buttonY, buttonCx, buttonCy, (WORD)s.buttons[i], 0x0080,
           captions[i].c_str(), 0);
  }
  size_t bytes = t.words.size() * sizeof(WORD);
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes);
  if (!block) {
    DeleteObject(s.font);
    return 0;
  }
  memcpy(block, t.words.data(), bytes);
  RegisterColorListBox();
  INT_PTR result = DialogBoxIndirectParamW(instance, (LPCDLGTEMPLATEW)block, s.owner, MsgBoxDlgProc, (LPARAM)&s);
  DeleteObject(s.font);
  HeapFree(GetProcessHeap(), 0, block);

  if (Known(s.closing)) {
    g_point = s.closing;
    if (style & kMsgBoxCentreGiven) {
      params->dwLanguageId = (DWORD)(WORD)s.closing.x | (DWORD)s.closing.y << 16;
    }
  }
  return (int)result;
}

INT_PTR CALLBACK MsgBoxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MsgBoxState* s = (MsgBoxState*)GetPropA(hwnd, kStateProp);
  switch (msg) {
    case WM_INITDIALOG: {
      if (s) return FALSE;
      s = (MsgBoxState*)lParam;
      SetPropA(hwnd, kStateProp, (HANDLE)s);
      if (s->icon) SendDlgItemMessageA(hwnd, kMsgBoxIconId, STM_SETICON, (WPARAM)s->icon, 0);
      SetWindowContextHelpId(hwnd, s->params->dwContextHelpId);
      SendDlgItemMessageA(hwnd, kMsgBoxPlaceholderId, WM_SETFONT, (WPARAM)s->font, 0);
      for (int i = 0; i < s->count; i++) SendDlgItemMessageA(hwnd, s->buttons[i], WM_SETFONT, (WPARAM)s->font, 0);
      DWORD listStyle = WS_CHILD | WS_VISIBLE | kColorListPlain;
      if (!s->overflow) listStyle |= kColorListNoVScroll | kColorListNoHScroll;
      HWND list = CreateWindowExA(0, kColorListBoxClass, "", listStyle, s->x0, s->y0, s->W - s->x0, s->H - s->y0, hwnd,
                                  (HMENU)(INT_PTR)kMsgBoxTextId, GetModuleHandleA(nullptr), nullptr);
      if (list) FillTextControl(list, *s);
      // The template's dialog units round the box down by a pixel or two:
      // the client area grows to hold the text area.
      RECT client;
      GetClientRect(hwnd, &client);
      int dx = s->W > client.right ? s->W - client.right : 0, dy = s->H > client.bottom ? s->H - client.bottom : 0;
      if (dx || dy) {
        RECT outer;
        GetWindowRect(hwnd, &outer);
        SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(hwnd, &client);
      }
      // The placeholder only paints the background: below the icon and the
      // text, across the whole width.
      HWND placeholder = GetDlgItem(hwnd, kMsgBoxPlaceholderId);
      RECT back;
      GetWindowRect(placeholder, &back);
      MapWindowPoints(nullptr, hwnd, (POINT*)&back, 2);
      SetWindowPos(placeholder, HWND_BOTTOM, 0, 0, client.right, back.bottom > s->H ? back.bottom : s->H,
                   SWP_NOMOVE | SWP_NOACTIVATE);
      RECT rc;
      GetWindowRect(hwnd, &rc);
      int w = rc.right - rc.left, h = rc.bottom - rc.top;
      int left = s->centre.x - w / 2, top = s->centre.y - h / 2;
      if (left < s->work.left + 8) left = s->work.left + 8;
      if (left > s->work.right - 8 - w) left = s->work.right - 8 - w;
      if (top > s->work.bottom - 8 - h) top = s->work.bottom - 8 - h;
      if (top < s->work.top + 8) top = s->work.top + 8;
      SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      s->closing = {kMsgBoxNoPosition, kMsgBoxNoPosition};
      if (!s->CloseAnswer()) RemoveMenu(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
      int defIndex = (int)((s->params->dwStyle >> 8) & 15);
      if (defIndex >= s->count) defIndex = 0;
      SetFocus(GetDlgItem(hwnd, s->buttons[defIndex]));
      if (s->time != 0 && s->time != (DWORD)-1) SetTimer(hwnd, kTimerId, s->time, nullptr);
      return FALSE;
    }
    case WM_TIMER:
      if (s && wParam == kTimerId) {
        KillTimer(hwnd, kTimerId);
        EndDialog(hwnd, IDMSGBOX_TIMEOUT);
        return TRUE;
      }
      break;
    case WM_COMMAND: {
      if (!s) break;
      int id = LOWORD(wParam);
      if (id == IDHELP && s->Has(IDHELP)) {
        HELPINFO hi = {sizeof hi, HELPINFO_WINDOW, IDHELP, GetDlgItem(hwnd, IDHELP), 0, {}};
        GetCursorPos(&hi.MousePos);
        SendMessageA(hwnd, WM_HELP, 0, (LPARAM)&hi);
        return TRUE;
      }
      // Escape comes as IDCANCEL also when the box has no Cancel button.
      if (id == IDCANCEL && !s->Has(IDCANCEL)) id = s->CloseAnswer();
      if (id && id != IDHELP && s->Has(id)) EndWith(hwnd, s, id);
      return TRUE;
    }
    case WM_CLOSE: {
      if (!s) break;
      int id = s->CloseAnswer();
      if (id) EndWith(hwnd, s, id);
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_HELP: {
      if (!s || !lParam) break;
      HELPINFO hi = *(const HELPINFO*)lParam;
      hi.dwContextId = GetWindowContextHelpId(hwnd);
      if (s->params->lpfnMsgBoxCallback) {
        s->params->lpfnMsgBoxCallback(&hi);
      } else if (s->owner) {
        SendMessageA(s->owner, WM_HELP, 0, (LPARAM)&hi);
      }
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
      return (INT_PTR)GetSysColorBrush(COLOR_WINDOW);
    case WM_DESTROY:
      RemovePropA(hwnd, kStateProp);
      break;
  }
  return FALSE;
}
