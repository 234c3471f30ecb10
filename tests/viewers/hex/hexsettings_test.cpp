// The hex view's settings: saved by one view and loaded by the next, bad
// stored values opened safely, and the lists every view shares.
#include <gtest/gtest.h>

#include <string>

#include "harness/registry_util.h"
#include "hex_commands_util.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexfinddlg.h"

namespace {

HKEY OpenProgramKey(const TestAppNames& names) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, names.ProgramKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  return key;
}

void PutDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

DWORD GetDword(HKEY key, const char* name) {
  DWORD value = 0xDEADBEEF, size = sizeof value;
  RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)&value, &size);
  return value;
}

void PutList(HKEY key, const char* name, const std::string& list) {
  RegSetValueExA(key, name, 0, REG_MULTI_SZ, (const BYTE*)list.data(), (DWORD)list.size());
}

}  // namespace

TEST(HexSettings, StartingValuesWithoutAnyStoredValue) {
  TestAppNames names;
  CHexView view;
  EXPECT_EQ(view.GetFormatValue(7), 6) << "address digits";
  EXPECT_EQ(view.GetFormatValue(2), 1) << "a blank after each group";
  EXPECT_EQ(view.GetFormatValue(1), 4) << "an extra blank every 4 bytes";
  EXPECT_EQ(view.GetFormatValue(8), 0) << "single bytes";
  EXPECT_EQ(view.GetFormatValue(4), 4) << "width raster";
  EXPECT_EQ(view.GetFormatValue(5) & 0x018E, 0x018E) << "automatic width, raster scrolling, width raster";
  EXPECT_EQ(view.GetFormatValue(6), 0x1002 | 0) << "StatusbarMode";
  EXPECT_EQ(CHexView::FindFlags(), kHexFindFlagsDefault);
}

TEST(HexSettings, SavedByOneViewLoadedByTheNext) {
  TestAppNames names;
  {
    CHexView view;
    view.SetFormat(24, 8, 0, 4, 1, 1);
    view.SetDisplayFlags(-24, 8, 0x4001, 1);
    CHexView::FindFlags() = FINDF_BACKWARD | FINDF_NOCASE;
    StrListInsertAt(CHexView::FindHistoryList(), "\"abc\"", 0);
    StrListInsertAt(CHexView::GroupList(), "16", 0);
  }
  EXPECT_EQ(*CHexView::FindHistoryList(), nullptr) << "freed with the last view";
  HKEY key = OpenProgramKey(names);
  EXPECT_EQ(GetDword(key, "LineWidth"), 24u);
  EXPECT_EQ(GetDword(key, "ExtraSpace"), 8u);
  EXPECT_EQ(GetDword(key, "InsertSpace"), 0u);
  EXPECT_EQ(GetDword(key, "AddressLength"), 4u);
  EXPECT_EQ(GetDword(key, "OutputFormat"), 1u);
  EXPECT_EQ(GetDword(key, "InvertBytes"), 1u);
  EXPECT_EQ(GetDword(key, "Raster"), 8u);
  EXPECT_EQ(GetDword(key, "StatusbarMode"), 0x4001u);
  EXPECT_EQ(GetDword(key, "SelectionRaster"), 1u);
  EXPECT_EQ(GetDword(key, "HexFindFlags"), (DWORD)(FINDF_BACKWARD | FINDF_NOCASE));
  EXPECT_EQ(GetDword(key, "HexFlags") & (kHexViewAutoWidth | kHexViewWidthRaster), 0u) << "fixed width";
  RegCloseKey(key);
  CHexView::FindFlags() = kHexFindFlagsDefault;
  CHexView next;
  EXPECT_EQ(next.GetLayout().bytesPerLine, 24);
  EXPECT_EQ(next.GetFormatValue(1), 8);
  EXPECT_EQ(next.GetFormatValue(2), 0);
  EXPECT_EQ(next.GetFormatValue(7), 4);
  EXPECT_EQ(next.GetFormatValue(8), 1);
  EXPECT_EQ(next.GetFormatValue(9), 1);
  EXPECT_EQ(next.GetFormatValue(3), 8);
  EXPECT_EQ(next.GetFormatValue(6) & ~kHexStatusRefresh, 0x4001);
  EXPECT_EQ(next.GetFormatValue(10), 1);
  EXPECT_EQ(next.GetFlags() & (kHexViewAutoWidth | kHexViewWidthRaster), 0u);
  EXPECT_EQ(CHexView::FindFlags(), (DWORD)(FINDF_BACKWARD | FINDF_NOCASE));
  EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), "\"abc\"");
  EXPECT_STREQ(StrListGetAt(CHexView::GroupList(), 0), "16");
  CHexView::FindFlags() = kHexFindFlagsDefault;
}

TEST(HexSettings, BadStoredValuesOpenSafely) {
  TestAppNames names;
  HKEY key = OpenProgramKey(names);
  struct Case {
    DWORD raster, widthRaster, lineWidth, digits;
  } cases[] = {{0, 0, 0, (DWORD)-5}, {(DWORD)-3, (DWORD)-1, (DWORD)-7, 99}};
  for (const Case& c : cases) {
    PutDword(key, "Raster", c.raster);
    PutDword(key, "WidthRaster", c.widthRaster);
    PutDword(key, "LineWidth", c.lineWidth);
    PutDword(key, "AddressLength", c.digits);
    PutDword(key, "HexFlags", 0xFFFFFFFF);  // only automatic width and the rasters are taken
    CHexView view;
    EXPECT_GE(view.GetFormatValue(3), 1);
    EXPECT_GE(view.GetFormatValue(4), 1);
    EXPECT_EQ(view.GetFormatValue(0), 16) << "a line width below 1";
    EXPECT_GE(view.GetFormatValue(7), 0);
    EXPECT_LE(view.GetFormatValue(7), 8);
    EXPECT_EQ(view.GetFlags() & (kHexViewReadOnly | kHexViewNoHexArea | kHexViewModified), 0u)
        << "no hidden areas, read-only or modified flag from the registry";
    BYTE data[100] = {};
    view.SetData(data, sizeof data, 0, kHexDataWritable);
    view.ScrollToAddress(37, FALSE);
    view.SetCursorAddress(99, FALSE);
    EXPECT_EQ(view.GetCursor(FALSE), 99u);
    // Setters refuse 0 as well.
    view.SetDisplayFlags(0, 0, 0x1002, -1);
    view.ScrollToAddress(13, FALSE);
    EXPECT_GE(view.GetFormatValue(3), 1);
  }
  RegCloseKey(key);
}

TEST(HexSettings, ListsLoadedByTheFirstViewAndAgainAfterTheLast) {
  TestAppNames names;
  HKEY key = OpenProgramKey(names);
  PutList(key, "HexFind", std::string("eins\0zwei\0\0", 11));
  {
    CHexView first;
    EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 1), "zwei");
    PutList(key, "HexFind", std::string("drei\0\0", 6));
    CHexView second;
    EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), "eins") << "loaded once while a view lives";
  }
  EXPECT_EQ(CHexView::ViewCount(), 0);
  PutList(key, "HexFind", std::string("vier\0\0", 6));
  {
    CHexView again;
    EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), "vier") << "the next first view loads again";
  }
  // A list longer than 2048 bytes is cut at a string end.
  std::string longList;
  for (int i = 0; i < 300; ++i) longList += "eintrag" + std::to_string(i) + std::string(1, '\0');
  longList += '\0';
  PutList(key, "HexFind", longList);
  {
    CHexView view;
    EXPECT_LE(StrListByteSize(CHexView::FindHistoryList()), 2048);
    EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), "eintrag0");
  }
  RegCloseKey(key);
}

TEST(HexSettings, NoProgramKeyWithoutAnApplicationName) {
  // The test program names no application here: nothing is read or written.
  CHexView view;
  EXPECT_EQ(view.SaveSettings(nullptr), 0);
  EXPECT_EQ(view.LoadSettings(nullptr), 0);
}
