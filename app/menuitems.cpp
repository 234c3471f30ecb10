#include "app/menuitems.h"

#include <cstring>

#include "ui/theme/themedraw.h"

int MenuStyleFlag = 1;

namespace {
COLORREF Half(COLORREF c) { return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2); }
COLORREF Quarter(COLORREF c) { return RGB(GetRValue(c) / 4, GetGValue(c) / 4, GetBValue(c) / 4); }
COLORREF Add(COLORREF a, COLORREF b) {
  return RGB(GetRValue(a) + GetRValue(b), GetGValue(a) + GetGValue(b), GetBValue(a) + GetBValue(b));
}
COLORREF Mean(COLORREF a, COLORREF b) { return Add(Half(a), Half(b)); }
COLORREF ThreeQuarters(COLORREF a, COLORREF b) {  // 3/4 a + 1/4 b
  return Add(Add(Half(a), Quarter(a)), Quarter(b));
}
}  // namespace

MenuColors GetMenuColors(bool blended) {
  MenuColors c;
  COLORREF h = GetCachedSysColor(COLOR_HIGHLIGHT);
  if (blended) {
    COLORREF w = GetCachedSysColor(COLOR_WINDOW);
    COLORREF g = GetCachedSysColor(COLOR_GRAYTEXT);
    c.background = w;
    c.selection = Mean(h, w);
    c.iconSelection = Mean(h, c.selection);
    c.light = ThreeQuarters(w, g);
    c.grey = ThreeQuarters(g, w);
  } else {
    c.background = GetCachedSysColor(COLOR_MENU);
    c.selection = c.iconSelection = h;
    c.light = GetCachedSysColor(COLOR_WINDOW);
    c.grey = GetCachedSysColor(COLOR_GRAYTEXT);
  }
  return c;
}

int MenuTabPos(const char* text) {
  const char* tab = strchr(text, '\t');
  return tab ? (int)(tab - text) : -1;
}

bool MenuTextHidesIcon(const char* text, int tabPos) {
  // Without a tab the last character decides; a tab at 0 has nothing before it.
  int at = tabPos >= 0 ? tabPos - 1 : (int)strlen(text) - 1;
  return at >= 0 && text[at] == kNbsp;
}
