// Measuring text and shortening paths to a width.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/fonts.h"
#include "ui/textmeasure.h"

namespace {
// A memory DC with the standard font and the text's size measured directly.
class MeasureText : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, GetStandardFont(0));
    SIZE size;
    GetTextExtentPoint32A(m_dc, kText, (int)std::strlen(kText), &size);
    TEXTMETRICA tm;
    GetTextMetricsA(m_dc, &tm);
    m_w = size.cx;
    m_h = tm.tmHeight;
  }
  void TearDown() override {
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
  }
  static constexpr const char* kText = "Wert 12";
  HDC m_dc = nullptr;
  HGDIOBJ m_old = nullptr;
  int m_w = 0, m_h = 0;
};
}  // namespace

TEST_F(MeasureText, AnswerAndRectangleByFlagBits) {
  ASSERT_GT(m_w, 0);
  EXPECT_EQ(MeasureTextA(m_dc, kText, -1, 0, nullptr), m_w);
  EXPECT_EQ(MeasureTextA(m_dc, kText, -1, kMeasurePacked, nullptr), m_w | m_h << 16);
  EXPECT_EQ(MeasureTextW(m_dc, L"Wert 12", -1, kMeasurePacked | DT_SINGLELINE, nullptr), m_w | m_h << 16);

  struct Case {
    UINT flags;
    int pad;  // free pixels on each axis
    RECT expect;
  };
  const int w = m_w, h = m_h;
  const Case cases[] = {
      {0, 11, {h, 0, w + 11, h + 11}},  // the height into the first field
      {kMeasureSize, 11, {w, h, w + 11, h + 11}},
      {kMeasureAlign, 11, {0, 0, w, h}},
      {kMeasureAlign | kMeasureCenter | kMeasureVCenter, 11, {5, 5, w + 5, h + 5}},
      {kMeasureAlign | kMeasureRight | kMeasureBottom, 11, {11, 11, w + 11, h + 11}},
      {kMeasureAlign | kMeasureCenter, 0, {0, 0, w, h}},  // no free room: unchanged
      {kMeasureAlign | kMeasureCenter, -3, {0, 0, w - 3, h - 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.flags << std::dec << " pad " << c.pad);
    RECT rc = {0, 0, w + c.pad, h + c.pad};
    EXPECT_EQ(MeasureTextA(m_dc, kText, -1, c.flags | kMeasurePacked, &rc), w | h << 16);
    EXPECT_EQ(rc.left, c.expect.left);
    EXPECT_EQ(rc.top, c.expect.top);
    EXPECT_EQ(rc.right, c.expect.right);
    EXPECT_EQ(rc.bottom, c.expect.bottom);
  }
}

TEST_F(MeasureText, LowBitsNeverReachDrawText) {
  // DT_WORDBREAK in an empty rectangle would break at the blank.
  EXPECT_EQ(MeasureTextA(m_dc, kText, -1, DT_WORDBREAK, nullptr), m_w);
  // Line breaks do count without DT_SINGLELINE.
  EXPECT_EQ(MeasureTextA(m_dc, "a\nb", -1, kMeasurePacked, nullptr) >> 16, 2 * m_h);
}

TEST_F(MeasureText, WithoutDcTheFontIsSelectedOnTheScreen) {
  HFONT hFont = GetStandardFont(0);
  EXPECT_EQ(MeasureTextA(nullptr, kText, -1, kMeasurePacked, hFont), m_w | m_h << 16);
  int height = 0;
  EXPECT_EQ(GetFontTextExtent(kText, hFont, -1, &height), m_w);
  EXPECT_EQ(height, m_h);
  EXPECT_EQ(GetFontTextExtent(kText, hFont, 4, nullptr), MeasureTextA(m_dc, kText, 4, 0, nullptr));
  height = 7;
  EXPECT_EQ(GetFontTextExtent(nullptr, hFont, -1, &height), 0);
  EXPECT_EQ(height, 0);

  HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  SendMessageA(hwnd, WM_SETFONT, (WPARAM)hFont, 0);
  EXPECT_EQ(GetWindowTextExtent(kText, hwnd, -1, &height), m_w);
  DestroyWindow(hwnd);
}

TEST(CharWidthTable, TablesOfFontsAndLineWidths) {
  BYTE table[256], stock[256];
  GetCharWidthTable(table, GetStandardFont(kStandardFontFixed));
  EXPECT_EQ(table['i'], table['W']);
  EXPECT_GT(table['W'], 0);
  GetCharWidthTableStock(stock, -1);
  BYTE var[256];
  GetCharWidthTable(var, (HFONT)GetStockObject(ANSI_VAR_FONT));
  EXPECT_EQ(std::memcmp(stock, var, 256), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStandardFont(kStandardFontFixed));
  BYTE fromDc[256];
  EXPECT_EQ(GetCharWidthTableDC(dc, fromDc), 256);
  DeleteDC(dc);
  EXPECT_EQ(std::memcmp(table, fromDc, 256), 0);

  EXPECT_EQ(GetLineWidth("abc\ndef", table, 100), 3 * table['a']);
  EXPECT_EQ(GetLineWidth("abc\rdef", nullptr, 100), 3);
  EXPECT_EQ(GetLineWidth("abcdef", nullptr, 4), 4);
  EXPECT_EQ(GetLineWidth("abcdef", nullptr, 0), 0);
  EXPECT_EQ(GetLineWidth("abcdef", nullptr, -5), 0);
}

TEST(ShortenPath, CharacterCountsWithoutTable) {
  struct Case {
    const char* path;
    int width, keep;
    const char* expect;
  };
  const Case cases[] = {
      // "...\" is set aside before the components are taken.
      {"C:\\Programme\\Ordner\\Datei.txt", 30, 2, "C:\\Programme\\...\\Datei.txt"},
      {"C:\\Programme\\Ordner\\Datei.txt", 33, 2, "C:\\Programme\\Ordner\\Datei.txt"},
      {"C:\\Programme\\Ordner\\Datei.txt", 20, 2, "C:\\...\\Datei.txt"},
      {"C:\\Programme\\Ordner\\Datei.txt", 22, 0, "...\\Ordner\\Datei.txt"},
      {"C:\\Programme\\Ordner\\Datei.txt", 5, 2, "...\\Datei.txt"},
      {"C:", 1, 2, "C:"},
      {"C:\\", 1, 2, "C:\\"},
      {"\\\\server\\share\\a\\b\\c.txt", 20, 1, "\\\\server\\...\\b\\c.txt"},
      {"C:/a/b/c/d", 12, 1, "C:/...\\b/c/d"},  // a last component of one character joins the one before
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path << " width " << c.width);
    char buffer[MAX_PATH];
    int n = ShortenPathToWidth(c.path, buffer, sizeof buffer, c.width, nullptr, c.keep);
    EXPECT_STREQ(buffer, c.expect);
    EXPECT_EQ(n, (int)std::strlen(c.expect));
  }
}

TEST(ShortenPath, SmallBuffersAndTables) {
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(ShortenPathToWidth("C:\\a\\b", buffer, 0, 100, nullptr, 2), 0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(ShortenPathToWidth("C:\\a\\b", buffer, 1, 100, nullptr, 2), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(ShortenPathToWidth("C:\\Programme\\Datei.txt", buffer, 8, 100, nullptr, 2), 7);
  EXPECT_STREQ(buffer, "C:\\Prog");
  EXPECT_EQ(ShortenPathToWidth("C:\\Programme", buffer, 3, 1, nullptr, 2), 2);  // cut even when shortened

  // With a table: every character 2 pixels, '.' 1 and '\' 1: "...\" is 4 wide.
  BYTE table[256];
  std::memset(table, 2, sizeof table);
  table['.'] = 1;
  table['\\'] = 1;
  char out[MAX_PATH];
  // last "Datei.txt" = 17; "C:\" = 5; "Programme\" = 19; "Ordner\" = 13
  EXPECT_EQ(ShortenPathToWidth("C:\\Programme\\Ordner\\Datei.txt", out, sizeof out, 45, table, 2), 26);
  EXPECT_STREQ(out, "C:\\Programme\\...\\Datei.txt");
  EXPECT_GT(ShortenPathToWidth("C:\\Programme\\Ordner\\Datei.txt", out, sizeof out, 58, table, 2), 26);
  EXPECT_STREQ(out, "C:\\Programme\\Ordner\\Datei.txt");

  // Between texts: "Pfad: " (6 characters) before the path, " (neu)" after it.
  const char line[] = "Pfad: C:\\Programme\\Ordner\\Datei.txt";
  EXPECT_EQ(ShortenPathBetweenTexts(line + 6, out, sizeof out, 42, nullptr, 2, line, " (neu)", 6, 100), 26);
  EXPECT_STREQ(out, "C:\\Programme\\...\\Datei.txt");
  // A text before that does not hold the path counts up to its maximum.
  EXPECT_EQ(ShortenPathBetweenTexts(line + 6, out, sizeof out, 42, nullptr, 2, "Pfad: xxxxxx", nullptr, 0, 3), 29);
}
