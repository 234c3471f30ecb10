// Names that code page 1252 cannot carry: "a中b" beside its literal twin
// "a?b", "Ω" beside "O". Each gets a text of its own in the lists, and every
// command acts on the exact item, never on its twin.
#include <algorithm>

#include "app/regnames.h"
#include "browser_fixture.h"

namespace {

// The texts of the names outside the code page ("‹" "›" in code page 1252).
const char kCjkValue[] =
    "a\x8B"
    "4E2D\x9B"
    "b";
const char kOmegaValue[] =
    "\x8B"
    "03A9\x9B";
const char kCjkKey[] =
    "x\x8B"
    "4E2D\x9B"
    "y";

class OddNames : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    HKEY k = m_key->Handle();
    SetRawW(k, L"a?b", REG_SZ, L"literal", 16);
    SetRawW(k, L"a\u4E2Db", REG_SZ, L"cjk", 8);
    SetRawW(k, L"O", REG_DWORD, "\x01\0\0\0", 4);
    SetRawW(k, L"\u03A9", REG_DWORD, "\x02\0\0\0", 4);
    MakeKeyW(k, L"x?y\\lit");
    MakeKeyW(k, L"x\u4E2Dy\\cjk\\tief");
    HKEY cjk;
    ASSERT_EQ(RegOpenKeyExW(k, L"x\u4E2Dy", 0, KEY_ALL_ACCESS, &cjk), ERROR_SUCCESS);
    SetRawW(cjk, L"v", REG_SZ, L"drin", 10);
    RegCloseKey(cjk);
  }
  std::string Twins() {
    HKEY k = m_key->Handle();
    return DumpKeyW(k, L"x?y") + "|" + Value(L"a?b") + "|" + Value(L"O");
  }
  std::string Value(const wchar_t* name) {
    BYTE data[64];
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExW(m_key->Handle(), name, nullptr, &type, data, &size) != ERROR_SUCCESS) return "<missing>";
    return std::to_string(type) + ":" + std::string((char*)data, size);
  }
  int Row(CRegWnd& pane, const char* name) {
    std::vector<std::string> rows = RowNames(pane.List());
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i] == name) return (int)i;
    return -1;
  }
};

TEST(RegNameTexts, RoundTrip) {
  struct Case {
    const wchar_t* name;
    const char* text;
    bool marked;
  } cases[] = {
      {L"plain", "plain", false},
      {L"Ma\u00DF \u20AC", "Ma\xDF \x80", false},
      {L"a\u4E2Db", kCjkValue, true},
      {L"\u03A9", kOmegaValue, true},
      {L"a\u2039b",
       "a\x8B"
       "2039\x9B"
       "b",
       true},  // the mark itself
      {L"\u2039"
       L"0041\u203A",
       "\x8B"
       "2039\x9B"
       "0041\x9B",
       true},
      {L"\xD83D\xDE00",
       "\x8B"
       "D83D\x9B\x8B"
       "DE00\x9B",
       true},
  };
  for (const Case& c : cases) {
    std::wstring name(c.name);
    EXPECT_EQ(RegNameText(name.c_str(), (int)name.size()), c.text);
    EXPECT_EQ(RegTextToWide(c.text), name);
    EXPECT_EQ(IsMarkedRegText(c.text), c.marked);
  }
  // Typed texts: lower-case digits, and a mark that starts nothing.
  EXPECT_EQ(RegTextToWide("a\x8B"
                          "4e2d\x9B"),
            std::wstring(L"a\u4E2D"));
  EXPECT_EQ(RegTextToWide("a\x8B"
                          "4E2Z\x9B"),
            std::wstring(L"a\u2039"
                         L"4E2Z\u203A"));
}

// Both twins are listed, each under its own text, with its own data.
TEST_F(OddNames, ListAndTreeShowEachItem) {
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  int cjk = Row(pane, kCjkValue), literal = Row(pane, "a?b");
  ASSERT_GE(cjk, 0);
  ASSERT_GE(literal, 0);
  EXPECT_EQ(CellText(pane.List(), cjk, 2), "\"cjk\"");
  EXPECT_EQ(CellText(pane.List(), literal, 2), "\"literal\"");
  EXPECT_EQ(CellText(pane.List(), Row(pane, kOmegaValue), 2), "0x00000002 / 2");
  EXPECT_EQ(CellText(pane.List(), Row(pane, "O"), 2), "0x00000001 / 1");
  HTREEITEM caret = ShownTreeItem(pane);
  EXPECT_EQ(ChildNames(pane.Tree(), caret), (std::vector<std::string>{"x?y", kCjkKey}));
  pane.Tree().SendMessage(TVM_EXPAND, TVE_EXPAND, (LPARAM)caret);
  PumpMessages(100);
  EXPECT_TRUE(
      WindowCapture::FromScreen(m_host->m_hWnd).SavePng(ScreenshotPath("browser_names_outside_1252.png").c_str()));

  // Into the key: its own subkey and value, not the twin's.
  Show(pane, Key(kCjkKey));
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key(kCjkKey));
  caret = ShownTreeItem(pane);
  EXPECT_EQ(ChildNames(pane.Tree(), caret), (std::vector<std::string>{"cjk"}));
  EXPECT_EQ(RowNames(pane.List()), (std::vector<std::string>{"(Standard)", "v"}));
  EXPECT_EQ(CellText(pane.List(), 1, 2), "\"drin\"");
  // A cell read again by name (after an edit) reads the exact value too.
  Show(pane, Key());
  pane.RefreshEntry(Row(pane, kCjkValue));
  EXPECT_EQ(CellText(pane.List(), Row(pane, kCjkValue), 2), "\"cjk\"");
}

TEST_F(OddNames, RenameAndDeleteActOnTheExactValue) {
  std::string twins = Twins();
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  const char renamed[] =
      "a\x8B"
      "4e2d\x9B"
      "c";  // typed in lower case
  ASSERT_EQ(pane.RenameEntry(Row(pane, kCjkValue), renamed), 1);
  EXPECT_EQ(Value(L"a\u4E2Dc"), "1:" + std::string((const char*)L"cjk", 8));
  EXPECT_EQ(Value(L"a\u4E2Db"), "<missing>");
  // Shown as the list writes it.
  EXPECT_GE(Row(pane,
                "a\x8B"
                "4E2D\x9B"
                "c"),
            0);
  EXPECT_EQ(Twins(), twins);

  pane.SelectEntry(Row(pane, kOmegaValue), TRUE);
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    ASSERT_EQ(boxes.texts.size(), 1u);
  }
  EXPECT_EQ(Value(L"\u03A9"), "<missing>");
  EXPECT_EQ(Twins(), twins);
  EXPECT_EQ(Row(pane, kOmegaValue), -1);
  EXPECT_GE(Row(pane, "O"), 0);
}

TEST_F(OddNames, RenameAndDeleteActOnTheExactKey) {
  std::string twins = Twins();
  std::string moved = DumpKeyW(m_key->Handle(), L"x\u4E2Dy");
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  HTREEITEM caret = ShownTreeItem(pane);
  HTREEITEM item = FindChild(pane.Tree(), caret, kCjkKey);
  ASSERT_NE(item, nullptr);
  const char renamed[] =
      "x\x8B"
      "4E2D\x9B"
      "z";
  ASSERT_EQ(pane.RenameTreeItem(item, renamed), 1);
  EXPECT_EQ(DumpKeyW(m_key->Handle(), L"x\u4E2Dz"), moved);
  EXPECT_EQ(DumpKeyW(m_key->Handle(), L"x\u4E2Dy"), "<missing>");
  EXPECT_EQ(Twins(), twins);

  Show(pane, Key(renamed));
  pane.Tree().SetFocus();
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    ASSERT_EQ(boxes.texts.size(), 1u);
  }
  EXPECT_EQ(DumpKeyW(m_key->Handle(), L"x\u4E2Dz"), "<missing>");
  EXPECT_EQ(Twins(), twins);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
  SettlePane(pane);
}

// New values and keys in the key "x中y" go there, not into its twin.
TEST_F(OddNames, NewItemsGoIntoTheExactKey) {
  std::string twins = Twins();
  CRegWnd& pane = MakePane();
  Show(pane, Key(kCjkKey));
  ASSERT_EQ(pane.NewItemAt(nullptr, 1, REG_DWORD), 1);
  ASSERT_EQ(pane.NewFolderAt(nullptr, 1, nullptr), 1);
  HKEY cjk;
  ASSERT_EQ(RegOpenKeyExW(m_key->Handle(), L"x\u4E2Dy", 0, KEY_READ, &cjk), ERROR_SUCCESS);
  std::vector<std::wstring> values = ValueNamesW(cjk), keys = SubkeyNamesW(cjk);
  RegCloseKey(cjk);
  EXPECT_NE(std::find(values.begin(), values.end(), std::wstring(L"Neuer Wert #1")), values.end());
  EXPECT_NE(std::find(keys.begin(), keys.end(), std::wstring(L"Neuer Schl\u00FCssel #1")), keys.end());
  EXPECT_EQ(Twins(), twins);
  SettlePane(pane);
}

// A key holding twins goes whole: each subkey by its exact name.
TEST_F(OddNames, DeletingAParentTakesBothTwins) {
  MakeKeyW(m_key->Handle(), L"P\\q?r\\tief");
  MakeKeyW(m_key->Handle(), L"P\\q\u4E2Dr\\tief");
  std::string twins = Twins();
  CRegWnd& pane = MakePane();
  Show(pane, Key("P"));
  pane.Tree().SetFocus();
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    EXPECT_EQ(boxes.texts.size(), 1u);
  }
  EXPECT_EQ(DumpKeyW(m_key->Handle(), L"P"), "<missing>");
  EXPECT_EQ(Twins(), twins);
  SettlePane(pane);
}

}  // namespace
