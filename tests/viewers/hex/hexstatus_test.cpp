// The hex view's status panes through a main window that answers
// WM_STATUSPANES, the line width that follows the window, and the rasters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../text/view_fixture.h"
#include "mfc/winapp.h"
#include "ui/statuspanemsg.h"
#include "viewers/hex/hexview.h"

namespace {
class ProbeView : public CHexView {
 public:
  using CHexView::m_raster;
  using CHexView::m_rasterSetting;
  using CHexView::m_statusFlags;
  using CHexView::m_widthRaster;
  using CHexView::m_widthRasterSetting;
};

std::vector<std::string> g_panes;

// The test's main window: keeps each WM_STATUSPANES as text.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_STATUSPANES) {
    const StatusPaneBlock* b = reinterpret_cast<const StatusPaneBlock*>(lParam);
    std::string line;
    if (wParam == kSetPanes) {
      line = "panes " + std::to_string(b->word2);
      const int* ids = reinterpret_cast<const int*>(b->word0);
      const int* widths = reinterpret_cast<const int*>(b->word1);
      for (int i = 0; i < b->word2; ++i) line += " " + std::to_string(ids[i]) + ":" + std::to_string(widths[i]);
    } else if (wParam == kSetPaneText) {
      line = "pane " + std::to_string((int)b->word0) + " '" + reinterpret_cast<const char*>(b->word1) + "' " +
             std::to_string(b->word2) + " " + std::to_string(b->word3) + " " + std::to_string(b->word4);
    } else {
      line = "op " + std::to_string((int)wParam);
    }
    g_panes.push_back(line);
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class HexStatusTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OstrovaHexStatusFrame";
    RegisterClassA(&wc);
    m_frameWnd =
        CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    m_frame.Attach(m_frameWnd);
    m_app.m_pMainWnd = &m_frame;
    g_panes.clear();
  }
  void TearDown() override {
    ViewTest::TearDown();
    m_app.m_pMainWnd = nullptr;
    m_frame.Detach();
    DestroyWindow(m_frameWnd);
  }
  CWinApp m_app{nullptr};
  CWnd m_frame;
  HWND m_frameWnd = nullptr;
};

BYTE g_bytes[40];

// <build>\tests\viewers\hex\screens\name
std::string ScreenPath(const char* name) { return ScreensPathIn("hex", name); }
}  // namespace

TEST_F(HexStatusTest, FocusAddsThePanesAndMovesWriteWhatChanged) {
  CHexView view;
  for (int i = 0; i < 40; ++i) g_bytes[i] = (BYTE)i;
  Make(&view, 700, 200);
  ASSERT_FALSE(g_panes.empty());
  EXPECT_EQ(g_panes[0], "panes 2 0:-20 0:-23");
  view.SetData(g_bytes, 40, 0x1000, kHexDataWritable);
  view.SetFormat(16, 0, 1, 6, 0, 0);
  EXPECT_EQ(g_panes.back(), "pane 1 ' Wert: 0x3020100 / 50462976' 1 -1 -1");
  EXPECT_EQ(g_panes[g_panes.size() - 2], "pane 0 ' Adr: 0x1000 / 4096' 1 -1 -1");
  g_panes.clear();
  Key(VK_RIGHT);
  EXPECT_TRUE(g_panes.empty()) << "the low digit: same offset, same value";
  Key(VK_RIGHT);
  EXPECT_EQ(g_panes, std::vector<std::string>(
                         {"pane 0 ' Adr: 0x1001 / 4097' 1 -1 -1", "pane 1 ' Wert: 0x4030201 / 67305985' 1 -1 -1"}));
  // Shift+Right from the high digit of byte 10 selects it; again: 10 and 11.
  view.SetCursorAddress(10, FALSE);
  g_panes.clear();
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  EXPECT_EQ(g_panes,
            std::vector<std::string>({"pane 0 ' Adr: 0x100A / M: +1' 1 -1 -1", "pane 1 ' Wert: 0xA / 10' 1 -1 -1"}));
  g_panes.clear();
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  EXPECT_EQ(g_panes, std::vector<std::string>(
                         {"pane 0 ' Adr: 0x100B / M: +2' 1 -1 -1", "pane 1 ' Wert: 0xB0A / 2826' 1 -1 -1"}));
  // Focus lost: the panes go; back: they come again with both texts.
  g_panes.clear();
  ::SetFocus(m_parent);
  PumpMessages(5);
  EXPECT_EQ(g_panes, std::vector<std::string>({"panes 0"}));
  g_panes.clear();
  Key(VK_RIGHT);
  EXPECT_TRUE(g_panes.empty()) << "nothing without the focus";
  ::SetFocus(view.m_hWnd);
  PumpMessages(5);
  ASSERT_EQ(g_panes.size(), 3u);
  EXPECT_EQ(g_panes[0], "panes 2 0:-20 0:-23");
  // Typing changes the value under the cursor.
  view.SetCursorAddress(0, FALSE);
  g_panes.clear();
  SendMessageA(view.m_hWnd, WM_CHAR, 'f', 1);
  EXPECT_EQ(g_panes, std::vector<std::string>({"pane 1 ' Wert: 0x30201F0 / 50463216' 1 -1 -1"}));
}

TEST(HexStatus, TextsByStatusFlagsAndSelection) {
  static BYTE data[16] = {0x00, 0x01, 0x02, 0x83, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF};
  struct Case {
    DWORD flags;
    int cursor;
    int selectFrom, selectCount;  // SelectRange; count -1: Shift-like move back to selectFrom
    const char* pane0;
    const char* pane1;
  } cases[] = {
      {0x1002, 0, 0, 0, " Adr: 0x80000000 / 2147483648", " Wert: 0x83020100 / -2097020672"},
      {0x0000, 3, 0, 0, " Adr: 0x80000003 / 2147483651", " Wert: 0x83 / -125"},
      {0x8000, 3, 0, 0, " Adr: 0x80000003 / 2147483651", " Wert: 0x83 / 131"},
      {0x4001, 2, 0, 0, " Adr: 0x80000002 / 2147483650", " Wert: 0x283 / 643"},
      {0x0001, 15, 0, 0, " Adr: 0x8000000F / 2147483663", " Wert: 0xFF / 255"},
      {0x0002, 15, 0, 0, " Adr: 0x8000000F / 2147483663", " Wert: 0xFF / 255"},
      {0x0000, 15, 0, 0, " Adr: 0x8000000F / 2147483663", " Wert: 0xFF / -1"},
      {0x0002, 0, 0, 3, " Adr: 0x80000000 / M: +3", " Wert: 0x20100 / 131328"},
      {0x0000, 0, 1, 10, " Adr: 0x80000001 / M: +10", " Wert: 0x4830201 / 75694593"},
      {0x2000, 0, 1, 10, " Adr: 0x80000001 / M: +0xA", " Wert: 0x4830201 / 75694593"},
      {0x0000, 5, 2, -1, " Adr: 0x80000002 / M: -4", " Wert: 0x5048302 / 84181762"},
  };
  for (const Case& c : cases) {
    ProbeView view;
    view.SetData(data, 16, 0x80000000, 0);
    view.m_statusFlags = c.flags;
    view.SetCursorAddress(c.cursor, FALSE);
    if (c.selectCount > 0) view.SelectRange(c.selectFrom, c.selectCount, FALSE);
    if (c.selectCount < 0) view.SetCursorAddressEx(c.selectFrom, FALSE, TRUE);
    char pane0[128], pane1[128];
    view.FormatStatusTexts(pane0, pane1);
    EXPECT_STREQ(pane0, c.pane0) << std::hex << c.flags << " " << c.cursor;
    EXPECT_STREQ(pane1, c.pane1) << std::hex << c.flags << " " << c.cursor;
  }
}

// Automatic width: as many bytes as fit, a multiple of WidthRaster; a
// resize keeps the first visible byte, the cursor and the selection.
TEST_F(HexStatusTest, LineWidthFollowsTheWindow) {
  static BYTE data[4096];
  CHexView view;
  Make(&view, 700, 200);
  view.SetData(data, 4096, 0, kHexDataWritable);
  view.SetFlags(0, kHexViewRasterScroll);
  auto expected = [&] {
    const int w = view.GetVisibleSize().cx - 8 - 1 - 2;
    const int b = 4 * (w + 1) / 17;
    return b - b % 4;
  };
  EXPECT_EQ(view.GetLayout().bytesPerLine, expected());
  EXPECT_LE(view.GetLayout().charEnd, view.GetVisibleSize().cx);
  // Starting values: a blank after each byte and one more after every 4.
  EXPECT_EQ(view.GetLayout().ByteColumn(4, kHexAreaHex) - view.GetLayout().ByteColumn(3, kHexAreaHex), 4);
  EXPECT_EQ(view.GetLayout().ByteColumn(3, kHexAreaHex) - view.GetLayout().ByteColumn(2, kHexAreaHex), 3);
  for (int i = 0; i < 4096; ++i) data[i] = (BYTE)(i * 13);
  view.Invalidate(FALSE);
  WindowCapture(view.m_hWnd).SavePng(ScreenPath("autowidth.png").c_str());
  view.ScrollToAddress(0x300, FALSE);
  view.SelectRange(0x310, 5, FALSE);
  const int before = view.GetLayout().bytesPerLine;
  ::MoveWindow(view.m_hWnd, 0, 0, 400, 200, TRUE);
  PumpMessages(5);
  EXPECT_LT(view.GetLayout().bytesPerLine, before);
  EXPECT_EQ(view.GetLayout().bytesPerLine, expected());
  EXPECT_EQ(view.GetLayout().bytesPerLine % 4, 0);
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdGetFirstVisible, 0), 0x300);
  int length = 0;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 0x310u);
  EXPECT_EQ(length, 5) << "the selection survives";
  EXPECT_EQ(view.GetCursor(FALSE), 0x310u);
  // Fixed width: a resize changes nothing.
  view.SetFlags(0, kHexViewAutoWidth);
  view.SetFormat(8, -1, -1, -1, -1, -1);
  ::MoveWindow(view.m_hWnd, 0, 0, 700, 200, TRUE);
  PumpMessages(5);
  EXPECT_EQ(view.GetLayout().bytesPerLine, 8);
}

// Raster and WidthRaster below 1 become 1; with groups both are whole groups.
TEST(HexStatus, RastersAreAtLeastOneAndWholeGroups) {
  static BYTE data[100];
  struct Case {
    int raster, widthRaster, format;
    int effRaster, effWidthRaster, setting;
  } cases[] = {{0, -5, 0, 1, 1, 1}, {3, 6, 2, 4, 8, 3}, {1, 1, 3, 8, 8, 1}, {-1, 0, 1, 2, 2, 1}};
  for (const Case& c : cases) {
    ProbeView view;
    view.SetData(data, 100, 0, kHexDataWritable);
    view.m_rasterSetting = c.raster;
    view.m_widthRasterSetting = c.widthRaster;
    view.SetFormat(16, 0, 1, 6, c.format, 0);
    EXPECT_EQ(view.m_raster, c.effRaster) << c.raster;
    EXPECT_EQ(view.m_widthRaster, c.effWidthRaster) << c.widthRaster;
    EXPECT_EQ(view.GetFormatValue(3), c.setting) << c.raster;
    // Scrolling divides by the raster.
    view.ScrollToAddress(7, FALSE);
    EXPECT_EQ(view.GetLineShift() % view.m_raster, view.GetLineShift()) << c.raster;
  }
}
