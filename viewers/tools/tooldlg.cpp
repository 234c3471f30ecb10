#include "viewers/tools/tooldlg.h"

namespace {
// Made before the application starts, gone at exit.
struct ToolBrushes {
  ToolBrushes() {
    g_brLightYellow = ::CreateSolidBrush(kLightYellow);
    g_brLightRed = ::CreateSolidBrush(kLightRed);
  }
  ~ToolBrushes() {
    ::DeleteObject(g_brLightYellow);
    ::DeleteObject(g_brLightRed);
  }
};
}  // namespace

HBRUSH g_brLightYellow = nullptr;
HBRUSH g_brLightRed = nullptr;
static ToolBrushes s_brushes;

ToolDlgPos g_toolDlgPos = {};

HBRUSH ToolFieldBrush(HDC dc, bool red) {
  ::SetBkColor(dc, red ? kLightRed : kLightYellow);
  return red ? g_brLightRed : g_brLightYellow;
}

void RestoreToolDlgPos(HWND dlg, int slot) {
  if (slot < 0 || slot >= TOOLPOS_SLOTS || !g_toolDlgPos.valid[slot]) return;
  int x = g_toolDlgPos.x[slot], y = g_toolDlgPos.y[slot];
  int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  if (x > -100 && x < cx - 100 && y > -10 && y < cy - 100)
    ::SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

void RememberToolDlgPos(HWND dlg, int slot) {
  if (slot < 0 || slot >= TOOLPOS_SLOTS) return;
  RECT rc;
  if (!::GetWindowRect(dlg, &rc)) return;
  g_toolDlgPos.x[slot] = rc.left;
  g_toolDlgPos.y[slot] = rc.top;
  g_toolDlgPos.valid[slot] = 1;
}

ToolTemplate::ToolTemplate(DWORD style, int cx, int cy, const char* caption, bool extended) : m_extended(extended) {
  style |= DS_SETFONT;
  if (extended) {
    Add(1);       // version
    Add(0xFFFF);  // signature
    AddDword(0);  // help id
    AddDword(0);  // extended style
    AddDword(style);
  } else {
    AddDword(style);
    AddDword(0);
  }
  m_countAt = m_words.size();
  Add(0);
  Add(0), Add(0), Add(cx), Add(cy);
  Add(0), Add(0);  // no menu, the dialog class
  AddText(caption);
  Add(8);
  if (extended) Add(FW_NORMAL), Add(0);  // weight; italic and charset
  AddText("MS Sans Serif");
}

ToolTemplate& ToolTemplate::Item(WORD cls, int id, DWORD style, int x, int y, int cx, int cy, const char* text,
                                 bool hidden) {
  while (m_words.size() % 2) Add(0);  // items start on a DWORD
  style |= WS_CHILD | (hidden ? 0 : WS_VISIBLE);
  if (m_extended) {
    AddDword(0), AddDword(0), AddDword(style);
  } else {
    AddDword(style), AddDword(0);
  }
  Add(x), Add(y), Add(cx), Add(cy);
  if (m_extended)
    AddDword((DWORD)id);
  else
    Add(id);
  Add(0xFFFF), Add(cls);
  AddText(text);
  Add(0);  // no creation data
  ++m_words[m_countAt];
  return *this;
}

void ToolTemplate::AddText(const char* s) {
  wchar_t buf[512];
  int n = ::MultiByteToWideChar(1252, 0, s, -1, buf, 512);
  if (n <= 0) n = 1, buf[0] = 0;
  for (int i = 0; i < n; ++i) Add(buf[i]);
}
