// Resources shared by every toolbar window, counted per window, and the
// colour slots and font metrics of one window.
#include "controls/toolbar/toolbarex_data.h"
#include "ui/textmeasure.h"

namespace {
LONG g_users = -1;
HFONT g_normalFont = nullptr;
HFONT g_boldFont = nullptr;

COLORREF Mean(COLORREF a, COLORREF b) { return ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F); }

void CreateSharedFonts() {
  if (g_normalFont) return;
  LOGFONTA lf = {};
  SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0);
  lf.lfHeight = lf.lfHeight * 3 / 4;
  if (lf.lfHeight < 0 && lf.lfHeight > -12) lf.lfHeight = -12;
  if (lf.lfHeight >= 0 && lf.lfHeight < 12) lf.lfHeight = 12;
  lf.lfWeight = FW_NORMAL;
  g_normalFont = CreateFontIndirectA(&lf);
  lf.lfWeight = FW_BOLD;
  g_boldFont = CreateFontIndirectA(&lf);
}
}  // namespace

void ToolbarExAddRefResources() { InterlockedIncrement(&g_users); }

void ToolbarExReleaseResources() {
  if (InterlockedDecrement(&g_users) >= 0) return;
  if (g_normalFont) DeleteObject(g_normalFont);
  if (g_boldFont) DeleteObject(g_boldFont);
  g_normalFont = g_boldFont = nullptr;
  ToolbarExFreeFrameImages();
}

HFONT ToolbarExSharedFont(bool bold) {
  CreateSharedFonts();
  return bold ? g_boldFont : g_normalFont;
}

void ToolbarExUpdateColors(ToolbarExData* data) {
  const int sys[8] = {COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_MENUTEXT, COLOR_3DLIGHT, -1, -1,
                      COLOR_INFOBK,  COLOR_INFOTEXT};
  const COLORREF fixed[8] = {0, 0, 0, 0, 0x80C0FF, 0x000000, 0, 0};
  for (int i = 0; i < 8; i++) {
    if (!data->colorSet[i]) data->colors[i] = sys[i] >= 0 ? GetSysColor(sys[i]) : fixed[i];
  }
  if (!data->colorSet[8]) data->colors[8] = Mean(data->colors[6], data->colors[7]);
}

int ToolbarExCreateFont(ToolbarExData* data) {
  if (!data->font) data->font = ToolbarExSharedFont(false);
  if (data->font == data->measuredFont) return 0;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, data->font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  data->textHeight = tm.tmHeight;
  data->textAscent = tm.tmAscent + 1;
  data->fixedPitch = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? 0 : -1;
  RECT rc = {0, 0, 0, 0};
  int packed = MeasureTextW(dc, L"H", 1, DT_SINGLELINE | kMeasurePacked, &rc);
  data->sampleHeight = (packed >> 16) & 0xFFFF;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  data->measuredFont = data->font;
  // Every button measures and renders again.
  for (unsigned i = 0; i < data->buttonCount; i++) ToolbarExMarkButton(data->buttons[i]);
  data->dirty = kDirtyAll;
  return 1;
}
