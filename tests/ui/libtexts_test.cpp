// The library texts: defaults, string-table overrides, both widths.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/libtexts.h"

namespace {
struct LibTextCase {
  UINT id;
  const char* text;  // CP1252
  const wchar_t* textW;
};

// The test program's string table replaces 0x507 and 0x50B.
const LibTextCase kCases[] = {
    {0x507, "Hinweis", L"Hinweis"},
    {0x508, "Frage", L"Frage"},
    {0x509, "Warnung", L"Warnung"},
    {0x50A, "Zeile l\xF6schen", L"Zeile l\x00F6schen"},
    {0x50B,
     "Feld \xF6"
     "ffnen",
     L"Feld \x00F6"
     L"ffnen"},
    {0x50C, "&Kopieren", L"&Kopieren"},
    {0x50D, "&Alles markieren", L"&Alles markieren"},
    {0x50E, "&Alles ausw\xE4hlen", L"&Alles ausw\x00E4hlen"},
    {0x50F, "&Alles abw\xE4hlen", L"&Alles abw\x00E4hlen"},
    {0x510, "&Alles l\xF6schen", L"&Alles l\x00F6schen"},
    {0x511, "Niemals", L"Niemals"},
    {0x512, "Immer", L"Immer"},
};
}  // namespace

TEST(LibTexts, DefaultsAndStringTableInBothWidths) {
  FreeLibTexts();
  HMODULE module = GetModuleHandleA(nullptr);
  for (const LibTextCase& c : kCases) {
    SCOPED_TRACE(c.id);
    int length = -1, lengthW = -1;
    const char* text = GetLibText(module, c.id, &length);
    const wchar_t* textW = GetLibTextW(module, c.id, &lengthW);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(textW, nullptr);
    EXPECT_STREQ(text, c.text);
    EXPECT_STREQ(textW, c.textW);
    EXPECT_EQ(length, (int)strlen(c.text));
    EXPECT_EQ(lengthW, (int)wcslen(c.textW));
  }
}

TEST(LibTexts, IdsOutsideTheTableGiveNull) {
  HMODULE module = GetModuleHandleA(nullptr);
  for (UINT id : {0x506u, 0x513u, 0u, 0x7101u}) {
    int length = 5;
    EXPECT_EQ(GetLibText(module, id, &length), nullptr) << id;
    EXPECT_EQ(length, 0);
    EXPECT_EQ(GetLibTextW(module, id, nullptr), nullptr) << id;
  }
}

TEST(LibTexts, ModuleWithoutStringsGivesDefaultsAndFreeMakesThemAgain) {
  FreeLibTexts();
  // An ordinary DLL of ours has no library texts in its string table.
  HMODULE module = GetModuleHandleA("kernel32.dll");
  ASSERT_TRUE(LoadLibTexts(module));
  const char* before = GetLibText(module, 0x507, nullptr);
  EXPECT_STREQ(before, "Information");
  EXPECT_STREQ(GetLibTextW(module, 0x512, nullptr), L"Immer");
  // Already made: a second load keeps the block.
  EXPECT_TRUE(LoadLibTexts(GetModuleHandleA(nullptr)));
  EXPECT_STREQ(GetLibText(nullptr, 0x507, nullptr), "Information");
  FreeLibTexts();
  EXPECT_STREQ(GetLibText(GetModuleHandleA(nullptr), 0x507, nullptr), "Hinweis");
}
