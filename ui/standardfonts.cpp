#include <cstring>

#include "ui/fonts.h"
#include "ui/winversion.h"

namespace {
struct StandardFont {
  HFONT hFont;
  BYTE aveWidth, height;
};
StandardFont g_fonts[kStandardFontCount];
int g_logWidth = 7, g_logHeight = 10;  // of index 0

// Metrics of a font on the screen DC.
bool ScreenMetrics(HFONT hFont, TEXTMETRICA* ptm, char* face = nullptr) {
  HDC dc = GetDC(nullptr);
  if (!dc) return false;
  HGDIOBJ old = SelectObject(dc, hFont);
  bool ok = GetTextMetricsA(dc, ptm) != 0;
  if (face) {
    face[0] = 0;
    GetTextFaceA(dc, LF_FACESIZE, face);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return ok;
}

// The face that the screen DC gives the stock fixed-pitch font: its LOGFONT
// may name a face that the system replaces.
void StockFixedFace(char* face) {
  TEXTMETRICA tm;
  ScreenMetrics((HFONT)GetStockObject(ANSI_FIXED_FONT), &tm, face);
}

HFONT MakeModernFont(int index) {
  LOGFONTA lf = {};
  if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0)) return nullptr;
  lf.lfWeight = (index & kStandardFontBold) ? FW_BOLD : FW_NORMAL;
  if (!(index & kStandardFontFixed)) return CreateCachedFont(&lf);
  if (!g_fonts[0].height) GetStandardFont(0);
  int height0 = g_fonts[0].height ? g_fonts[0].height : 15;
  lf.lfHeight = -height0;
  lf.lfWidth = 0;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  StockFixedFace(lf.lfFaceName);
  HFONT hFont = CreateCachedFont(&lf);
  TEXTMETRICA tm;
  if (hFont && std::strcmp(lf.lfFaceName, "Courier") == 0 && ScreenMetrics(hFont, &tm) && tm.tmHeight != height0) {
    // The bitmap Courier comes in a few cell sizes only.
    lstrcpyA(lf.lfFaceName, "Courier New");
    if (HFONT scalable = CreateCachedFont(&lf)) hFont = scalable;
  }
  return hFont;
}
}  // namespace

HFONT GetStandardFont(int index) {
  if (index < 0 || index >= kStandardFontCount) return nullptr;
  StandardFont& sf = g_fonts[index];
  if (sf.hFont) return sf.hFont;
  HFONT hFont = GetWindowsVersion() >= kWindowsVista ? MakeModernFont(index) : nullptr;
  LOGFONTA lf = {};
  if (!hFont) {
    hFont = (HFONT)GetStockObject((index & kStandardFontFixed) ? ANSI_FIXED_FONT : ANSI_VAR_FONT);
    if (index & kStandardFontBold) hFont = CreateBoldFont(hFont);
  }
  if (!hFont) return nullptr;
  if (!GetObjectA(hFont, sizeof lf, &lf)) {
    lf.lfWidth = 10;
    lf.lfHeight = 13;
  }
  sf.hFont = hFont;
  TEXTMETRICA tm;
  if (ScreenMetrics(hFont, &tm)) {
    sf.aveWidth = (BYTE)tm.tmAveCharWidth;
    sf.height = (BYTE)tm.tmHeight;
  }
  if (index == 0) {
    int w = lf.lfWidth < 0 ? -lf.lfWidth : lf.lfWidth;
    int h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (!w) w = 2 * h / 3;
    if (!w) w = 7;
    if (!h) h = 3 * w / 2;
    g_logWidth = w;
    g_logHeight = h;
  }
  return hFont;
}

int GetStandardFontHeight(int* pAveWidth, int* pHeight, int index) {
  int width = 0, height = 0;
  if (index >= 0 && index < kStandardFontCount && GetStandardFont(index)) {
    width = g_fonts[index].aveWidth;
    height = g_fonts[index].height;
  }
  if (pAveWidth) *pAveWidth = width;
  if (pHeight) *pHeight = height;
  return height;
}

void GetStandardFontLogSize(int* pWidth, int* pHeight) {
  if (pWidth) *pWidth = g_logWidth;
  if (pHeight) *pHeight = g_logHeight;
}

HFONT CreateBoldFont(HFONT hFont) {
  if (!hFont) return nullptr;
  TEXTMETRICA tm;
  LOGFONTA lf = {};
  if (!ScreenMetrics(hFont, &tm, lf.lfFaceName)) return nullptr;
  lf.lfHeight = -tm.tmHeight;
  lf.lfWidth = tm.tmAveCharWidth;
  lf.lfEscapement = 1;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = tm.tmItalic;
  lf.lfUnderline = tm.tmUnderlined;
  lf.lfStrikeOut = tm.tmStruckOut;
  lf.lfCharSet = tm.tmCharSet;
  lf.lfPitchAndFamily = tm.tmPitchAndFamily;
  lf.lfOutPrecision = OUT_DEVICE_PRECIS;
  return CreateCachedFont(&lf);
}

HFONT CreateFixedFontOfHeight(HFONT hFont) {
  if (!hFont) return nullptr;
  TEXTMETRICA tm;
  if (!ScreenMetrics(hFont, &tm)) return nullptr;
  LOGFONTA lf = {};
  lf.lfHeight = -tm.tmHeight;
  lf.lfCharSet = tm.tmCharSet;
  lf.lfWeight = FW_NORMAL;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  StockFixedFace(lf.lfFaceName);
  if (std::strcmp(lf.lfFaceName, "Courier") == 0) lstrcpyA(lf.lfFaceName, "Courier New");
  HFONT hFixed = CreateCachedFont(&lf);
  if (!hFixed) {
    lstrcpyA(lf.lfFaceName, "Courier New");
    hFixed = CreateCachedFont(&lf);
  }
  return hFixed;
}

int GetWindowTextHeight(HWND hwnd, int) {
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return 0;
  TEXTMETRICA tm;
  int height = GetTextMetricsA(dc, &tm) ? tm.tmHeight : 0;
  ReleaseDC(hwnd, dc);
  return height;
}
