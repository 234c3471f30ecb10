// Showing paths: the key tree, the history ring, the path combo, delays.
#include <cstring>

#include "browser_fixture.h"

namespace {

// The notification the key tree sends when its selection changes.
void SendTreeSelChanged(CTreeWnd& pane, HTREEITEM item, UINT action) {
  NMTREEVIEWA nm = {};
  nm.hdr.hwndFrom = pane.Tree().m_hWnd;
  nm.hdr.idFrom = IDC_TREEWND_TREE;
  nm.hdr.code = TVN_SELCHANGEDA;
  nm.action = action;
  nm.itemNew.hItem = item;
  pane.SendMessage(WM_NOTIFY, IDC_TREEWND_TREE, (LPARAM)&nm);
}

TEST_F(BrowserTest, GermanNamesScreenshot) {
  HKEY k = m_key->Handle();
  MakeKey(k, "Maß €");
  MakeKey(k, "Grüße");
  MakeKey(k, "Öl");
  SetRaw(k, "Größe", REG_DWORD, "\x2A\0\0\0", 4);
  SetRaw(k, "Schlüssel ä ö ü ß €", REG_SZ, "Wert €\0", 8);
  SetRaw(k, "Bytes", REG_BINARY, "\xDE\xAD\xBE\xEF\x01", 5);
  CRegWnd& pane = MakePane();
  pane.NavigateTo(Key().c_str(), 1);
  SettlePane(pane);
  std::vector<std::string> rows = RowNames(pane.List());
  EXPECT_EQ(rows, (std::vector<std::string>{"(Standard)", "Bytes", "Größe", "Schlüssel ä ö ü ß €"}));
  HTREEITEM open = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  ExpandAndWait(pane, open);
  EXPECT_EQ(ChildNames(pane.Tree(), open), (std::vector<std::string>{"Grüße", "Maß €", "Öl"}));
  char combo[1100];
  pane.GetComboItemText(-1, combo, sizeof combo);
  EXPECT_EQ(std::string(combo), Key());
  pane.SelectEntry(2, TRUE);
  PumpMessages(100);
  EXPECT_TRUE(WindowCapture::FromScreen(m_host->m_hWnd).SavePng(ScreenshotPath("browser_german_key.png").c_str()));
}

TEST_F(BrowserTest, SamePathInOtherCaseChangesNothing) {
  MakeKey(m_key->Handle(), "Alpha");
  CRegWnd& pane = MakePane();
  Show(pane, Key("Alpha"));
  int history = pane.HistoryCount();
  std::string upper = Key("ALPHA");
  for (char& c : upper) c = (char)toupper((unsigned char)c);
  EXPECT_EQ(pane.ShowPath(upper.c_str(), nullptr, 0, 1), pane.ShownCount());
  EXPECT_EQ(pane.HistoryCount(), history);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("Alpha"));
  EXPECT_FALSE(pane.ListThreadRunning());
}

TEST_F(BrowserTest, HistoryKeepsThirtyTwoPaths) {
  for (int i = 0; i < 33; ++i) MakeKey(m_key->Handle(), ("k" + std::to_string(i)).c_str());
  CRegWnd& pane = MakePane();
  for (int i = 0; i < 33; ++i) pane.NavigateTo(Key(("k" + std::to_string(i)).c_str()).c_str(), 1);
  SettlePane(pane);
  EXPECT_EQ(pane.HistoryCount(), 32);
  int steps = 0;
  std::string last = pane.GetPathNoSlash();
  for (;;) {
    pane.SendMessage(WM_COMMAND, ID_TREEWND_BACK);
    if (std::string(pane.GetPathNoSlash()) == last) break;
    last = pane.GetPathNoSlash();
    ++steps;
  }
  EXPECT_EQ(steps, 31);
  EXPECT_EQ(last, Key("k1"));  // k0 was dropped
  EXPECT_FALSE(GetDlgItem(pane.m_hWnd, ID_TREEWND_BACK) && IsWindowEnabled(GetDlgItem(pane.m_hWnd, ID_TREEWND_BACK)));
  pane.SendMessage(WM_COMMAND, ID_TREEWND_FORWARD);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("k2"));
  // History entry 2 forward: three steps.
  pane.SendMessage(WM_COMMAND, ID_TREEWND_HISTORY_FIRST + 2);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("k5"));
  pane.SendMessage(WM_COMMAND, ID_TREEWND_HISTORY_FIRST + 0x10 + 1);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("k3"));
  SettlePane(pane);
}

TEST_F(BrowserTest, LongPathIsCut) {
  CTreeWnd pane;  // the test source accepts every path below its roots
  ASSERT_TRUE(pane.CreateWnd(0, CRect(0, 0, 600, 400), m_host, 4241));
  std::string path = "1:\\Ebene 0\\" + std::string(1090, 'x');
  // The tree has no such item: the pane stays.
  EXPECT_EQ(pane.ShowPath(path.c_str(), nullptr, 0, 1), -1);
  pane.SetStyle(TWS_NOTREE, TWS_NOTREE);
  pane.ShowPath(path.c_str(), nullptr, 1, 1);
  EXPECT_EQ(strlen(pane.GetPath()), 1024u);
  EXPECT_EQ(pane.GetPath()[1023], '\\');
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), path.substr(0, 1023));
  pane.DestroyWindow();
}

TEST_F(BrowserTest, InvalidComboPathLeavesThePane) {
  MakeKey(m_key->Handle(), "Here");
  CRegWnd& pane = MakePane();
  Show(pane, Key("Here"));
  HWND edit = (HWND)pane.Combo().SendMessage(CBEM_GETEDITCONTROL);
  SetWindowTextA(edit, "ABCD\\x");
  ::SetFocus(edit);
  EXPECT_EQ(pane.GoToComboSelection(), 1);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("Here"));
  // Typed and entered: the short form goes in as the long one, at the top of the combo.
  std::string typed = "hkcu\\" + m_key->Path();
  SetWindowTextA(edit, typed.c_str());
  pane.SendMessage(WM_COMMAND, ID_TREEWND_GO);
  PumpMessages(50);
  SettlePane(pane);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
  char first[1100];
  pane.GetComboItemText(0, first, sizeof first);
  EXPECT_EQ(std::string(first), Key());
}

TEST_F(BrowserTest, ComboHistoryRoundTrip) {
  TestAppNames names;
  {
    CRegWnd pane;
    pane.CreateWnd(0, CRect(0, 0, 600, 400), m_host, 4241);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    const char* paths[] = {"HKEY_CURRENT_USER\\Preis €", "HKEY_USERS\\x"};
    for (int i = 0; i < 2; ++i) {
      item.iItem = i;
      item.pszText = const_cast<char*>(paths[i]);
      pane.Combo().InsertItem(&item);
    }
    EXPECT_EQ(pane.SaveComboHistory("RegList1", nullptr), 1);
    pane.DestroyWindow();
  }
  std::string key = names.ProgramKeyPath();
  WCHAR data[256] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()).c_str(), L"RegList1",
                         RRF_RT_REG_MULTI_SZ, nullptr, data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(data), L"HKEY_CURRENT_USER\\Preis \u20AC");
  CRegWnd pane;
  EXPECT_EQ(pane.LoadComboHistory("RegList1", nullptr), 2);
  pane.CreateWnd(0, CRect(0, 0, 600, 400), m_host, 4241);
  char text[300];
  pane.GetComboItemText(1, text, sizeof text);
  EXPECT_STREQ(text, "HKEY_USERS\\x");
  pane.GetComboItemText(0, text, sizeof text);
  EXPECT_STREQ(text, "HKEY_CURRENT_USER\\Preis €");
  pane.DestroyWindow();
}

TEST_F(BrowserTest, KeyboardSelectionShowsOnlyTheLastKey) {
  for (const char* name : {"a", "b", "c", "d"}) MakeKey(m_key->Handle(), name);
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  HTREEITEM parent = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  ExpandAndWait(pane, parent);
  int history = pane.HistoryCount();
  // A held arrow key: a selection change every 40 ms.
  for (const char* name : {"a", "b", "c", "d"}) {
    SendTreeSelChanged(pane, FindChild(pane.Tree(), parent, name), TVC_BYKEYBOARD);
    PumpMessages(40);
  }
  PumpMessages(250);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
  DWORD start = GetTickCount();
  while (std::string(pane.GetPathNoSlash()) == Key() && GetTickCount() - start < 2000) PumpMessages(10);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("d"));
  EXPECT_EQ(pane.HistoryCount(), history + 1);
  // A click shows at once.
  SendTreeSelChanged(pane, FindChild(pane.Tree(), parent, "a"), TVC_BYMOUSE);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("a"));
  SettlePane(pane);
}

TEST_F(BrowserTest, TreeStopsAtLevelNineteen) {
  std::string path;
  for (int i = 0; i < 22; ++i) path += (i ? "\\L" : "L") + std::to_string(i);
  MakeKey(m_key->Handle(), path.c_str());
  HKEY deep;
  ASSERT_EQ(RegOpenKeyExA(m_key->Handle(), path.c_str(), 0, KEY_ALL_ACCESS, &deep), ERROR_SUCCESS);
  SetRaw(deep, "tief", REG_SZ, "x\0", 2);
  RegCloseKey(deep);
  CRegWnd& pane = MakePane();
  // The tests' key lies at level 3: L15 is at level 19, the deepest the tree fills.
  std::string l15 = Key(path.substr(0, path.find("L16") - 1).c_str());
  EXPECT_GT(pane.NavigateTo(l15.c_str(), 1)[0], 0);
  SettlePane(pane);
  EXPECT_EQ(pane.GetLevel(), 19);
  HTREEITEM item = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  EXPECT_TRUE(ChildNames(pane.Tree(), item).empty());
  // A deeper key is not in the tree: the pane stays, but with the tree off it lists its values.
  EXPECT_EQ(pane.ShowPath(Key(path.c_str()).c_str(), nullptr, 0, 1), -1);
  pane.SetStyle(TWS_NOTREE, TWS_NOTREE);
  EXPECT_EQ(pane.ShowPath(Key(path.c_str()).c_str(), nullptr, 0, 1), 2);
  SettlePane(pane);
  EXPECT_EQ(RowNames(pane.List()), (std::vector<std::string>{"(Standard)", "tief"}));
}

TEST_F(BrowserTest, UpGoesToTheParent) {
  MakeKey(m_key->Handle(), "x\\y");
  CRegWnd& pane = MakePane();
  Show(pane, Key("x\\y"));
  pane.SendMessage(WM_COMMAND, ID_TREEWND_UP);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("x"));
  SettlePane(pane);
}

}  // namespace

// Paths typed one after another each go into the history.
TEST_F(BrowserTest, TypedPathsInARowAllGoIntoTheHistory) {
  for (const char* name : {"Here", "A", "B"}) MakeKey(m_key->Handle(), name);
  CRegWnd& pane = MakePane();
  Show(pane, Key("Here"));
  HWND edit = (HWND)pane.Combo().SendMessage(CBEM_GETEDITCONTROL);
  ::SetFocus(edit);
  for (const char* name : {"A", "B"}) {
    SetWindowTextA(edit, Key(name).c_str());
    pane.SendMessage(WM_COMMAND, ID_TREEWND_GO);
    PumpMessages(50);
    SettlePane(pane);
    EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key(name));
  }
  for (const char* name : {"A", "Here"}) {
    pane.SendMessage(WM_COMMAND, ID_TREEWND_BACK);
    EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key(name));
  }
  SettlePane(pane);
}

// A typed path that names no key: the pane stays where it is, a box says how
// far the path goes, neither the combo's list nor the ring takes the text,
// and the path bar shows the shown key again.
TEST_F(BrowserTest, TypedPathToNoKeySaysWhereItStops) {
  MakeKey(m_key->Handle(), "Here\\Deeper");
  MakeKey(m_key->Handle(), "There");
  struct Case {
    const char* typed;    // below the tests' key
    const char* reached;  // below the tests' key, nullptr: the tests' key itself
    const char* missing;
  } cases[] = {
      {"Here\\Nix", "Here", "Nix"},
      {"Here\\Deeper\\Nix\\Tief", "Here\\Deeper", "Nix"},
      {"Nirgends\\Here", nullptr, "Nirgends"},
  };
  CRegWnd& pane = MakePane();
  Show(pane, Key("There"));
  HWND edit = (HWND)pane.Combo().SendMessage(CBEM_GETEDITCONTROL);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    int history = pane.HistoryCount();
    int comboItems = (int)pane.Combo().SendMessage(CB_GETCOUNT);
    ::SetFocus(edit);
    SetWindowTextA(edit, Key(c.typed).c_str());
    std::vector<std::string> texts;
    {
      BoxAnswerer boxes({IDOK});
      pane.SendMessage(WM_COMMAND, ID_TREEWND_GO);
      DWORD start = GetTickCount();
      while (boxes.Answered() < 1 && GetTickCount() - start < 10000) PumpMessages(10);
      texts = boxes.texts;
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("Der Registry-Pfad konnte nicht ge\xF6"
                            "ffnet werden !"),
              std::string::npos)
        << texts[0];
    std::string reached = c.reached ? Key(c.reached) : Key();
    EXPECT_NE(texts[0].find("'" + reached + "'"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("'" + std::string(c.missing) + "'"), std::string::npos) << texts[0];
    EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("There"));
    EXPECT_EQ(pane.HistoryCount(), history);
    EXPECT_EQ((int)pane.Combo().SendMessage(CB_GETCOUNT), comboItems);
    char shown[1100];
    pane.GetComboItemText(-1, shown, sizeof shown);
    EXPECT_EQ(std::string(shown), Key("There"));
  }
  // The keys that exist still go in.
  SetWindowTextA(edit, Key("Here\\Deeper").c_str());
  pane.SendMessage(WM_COMMAND, ID_TREEWND_GO);
  DWORD start = GetTickCount();
  while (std::string(pane.GetPathNoSlash()) != Key("Here\\Deeper") && GetTickCount() - start < 5000) PumpMessages(10);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("Here\\Deeper"));
  char first[1100];
  pane.GetComboItemText(0, first, sizeof first);
  EXPECT_EQ(std::string(first), Key("Here\\Deeper"));
  SettlePane(pane);
}
