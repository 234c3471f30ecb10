// Colour schemes on screen: a hex-like view drawn in attributed runs and a
// dark scheme; a change of colours repaints every view of the style.
#include <cstdio>

#include "plaintextview.h"
#include "view_fixture.h"

namespace {
// Lines of 16 bytes: address, bytes and characters in three entries.
class HexLikeView : public CAnsiView {
 public:
  HexLikeView() : CAnsiView("Hex", 76, 0) {
    m_address = AddColorEntry(RGB(0, 0, 160), kAnsiSystemColor, "Adresse", 0x80000002, 0);
    m_chars = AddColorEntry(RGB(0, 128, 0), RGB(240, 240, 224), "Zeichen", 0x80000003, 0);
  }
  int PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT) override {
    if (line >= GetTotalLines()) return 0;
    char text[96];
    BYTE attrs[96];
    int n = std::snprintf(text, sizeof text, "%08X  ", line * 16);
    for (int i = 0; i < n; ++i) attrs[i] = (BYTE)m_address;
    for (int b = 0; b < 16; ++b, n += 3) {
      std::snprintf(text + n, 4, "%02X ", (line * 16 + b) & 0xFF);
      attrs[n] = attrs[n + 1] = attrs[n + 2] = 0;
    }
    for (int b = 0; b < 16; ++b, ++n) {
      int c = (line * 16 + b) & 0xFF;
      text[n] = c >= 32 && c < 127 ? (char)c : '.';
      attrs[n] = (BYTE)m_chars;
    }
    if (firstColumn >= n) return 0;
    int shown = n - firstColumn < count ? n - firstColumn : count;
    POINT pt = {rect.left, rect.top};
    DrawAttributedText(pDC, pt, text + firstColumn, attrs + firstColumn, shown, 0);
    return shown;
  }
  int m_address = 0, m_chars = 0;
};
}  // namespace

TEST_F(ViewTest, HexLikeViewDrawsItsEntries) {
  HexLikeView view;
  view.SetTextSize(76, 64);
  Make(&view, 640, 240);
  view.SetMarginWidth(6);
  PumpMessages(20);
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(ScreensPath("view_hex.png").c_str());
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  RECT address = {6, 0, 6 + 8 * cw, ch};
  EXPECT_GT(cap.Count(RGB(0, 0, 160), address), 0) << "address entry's text colour";
  RECT chars = {6 + 60 * cw, 0, 6 + 76 * cw, ch};
  EXPECT_GT(cap.Count(RGB(240, 240, 224), chars), 0) << "character entry's background";
  EXPECT_EQ(cap.Pixel(2, 2), RGB(0xC0, 0xC0, 0xC0)) << "margin";
}

TEST_F(ViewTest, DarkSchemeRepaintsEveryViewOfTheStyle) {
  static const char text[] = "Dunkles Schema\n\tmit Tabulator\nund \x80 Zeichen\n";
  CPlainTextView a("Dunkel"), b("Dunkel");
  a.SetText(text, sizeof text - 1);
  b.SetText(text, sizeof text - 1);
  Make(&a, 300, 260);
  a.MoveWindow(0, 0, 300, 120);
  RECT rc = {0, 130, 300, 250};
  ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(m_parent), 78));
  ColorListSet(a.m_pStyle->colors, RGB(230, 230, 200), RGB(30, 30, 40), "Standard", 0, 0);
  a.ApplyStyleToAll();  // cells unchanged: both views repaint anyway
  WindowCapture capA(a.m_hWnd), capB(b.m_hWnd);
  capA.SavePng(ScreensPath("view_dark.png").c_str());
  EXPECT_EQ(capA.Pixel(250, 100), RGB(30, 30, 40));
  EXPECT_EQ(capB.Pixel(250, 100), RGB(30, 30, 40));
  // On the screen too: the other view was repainted, not only printed.
  HDC dc = GetDC(b.m_hWnd);
  EXPECT_EQ(GetPixel(dc, 250, 100), RGB(30, 30, 40));
  ReleaseDC(b.m_hWnd, dc);
  b.DestroyWindow();
}
