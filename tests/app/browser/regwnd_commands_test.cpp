// New, rename and delete on keys and values, with the boxes answered by a helper thread.
#include <algorithm>
#include <cstring>

#include "browser_fixture.h"

namespace {

// Logs the flags of every delete before doing it.
class CLoggingRegWnd : public CRegWnd {
 public:
  std::vector<UINT> flags;
  int DeleteItems(const char* path, const char* name, UINT f) override {
    flags.push_back(f);
    return CRegWnd::DeleteItems(path, name, f);
  }
};

bool ValueThere(HKEY key, const char* name) {
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyThere(HKEY key, const char* name) {
  HKEY k;
  if (RegOpenKeyExA(key, name, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

int RowOf(CTreeWnd& pane, const char* name) {
  std::vector<std::string> rows = RowNames(pane.List());
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == name) return (int)i;
  return -1;
}

void SelectRows(CTreeWnd& pane, std::initializer_list<int> rows) {
  pane.SelectEntry(*rows.begin(), TRUE);
  for (int r : rows) {
    TVITEMA tv = {};
    tv.mask = TVIF_STATE;
    tv.hItem = (HTREEITEM)pane.List().SendMessage(TLM_GETROWITEM, 0, r);
    tv.state = tv.stateMask = TVIS_SELECTED;
    pane.List().SendMessage(TVM_SETITEMA, 0, (LPARAM)&tv);
  }
}

class RegWndCommands : public BrowserTest {
 protected:
  CLoggingRegWnd& Make() {
    m_pane = m_logging = new CLoggingRegWnd;
    EXPECT_TRUE(m_logging->CreateWnd(0xCE8 | 0x4000, CRect(0, 0, 900, 600), m_host, 4240));
    return *m_logging;
  }
  CLoggingRegWnd* m_logging = nullptr;
};

TEST_F(RegWndCommands, MultiDeletePassesFlagsAndRemovesTheRightValues) {
  HKEY k = m_key->Handle();
  for (const char* n : {"a", "b", "c", "d", "e"}) SetRaw(k, n, REG_SZ, "x\0", 2);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  SelectRows(pane, {1, 3, 4});  // a, c, d
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    EXPECT_EQ(boxes.Answered(), 1) << boxes.texts.back();
    ASSERT_EQ(boxes.texts.size(), 1u) << boxes.texts.back();
    EXPECT_NE(boxes.texts[0].find("Die Registry-Eintr\xE4ge in"), std::string::npos) << boxes.texts[0];
  }
  UINT level = (UINT)pane.GetLevel();
  EXPECT_EQ(pane.flags, (std::vector<UINT>{0x3800 | level, 0x1800 | level, 0x0800 | level}));
  EXPECT_FALSE(ValueThere(k, "a"));
  EXPECT_TRUE(ValueThere(k, "b"));
  EXPECT_FALSE(ValueThere(k, "c"));
  EXPECT_FALSE(ValueThere(k, "d"));
  EXPECT_TRUE(ValueThere(k, "e"));
  SettlePane(pane);
  EXPECT_EQ(RowNames(pane.List()), (std::vector<std::string>{"(Standard)", "b", "e"}));
}

TEST_F(RegWndCommands, CancelStopsTheDelete) {
  HKEY k = m_key->Handle();
  for (const char* n : {"a", "b"}) SetRaw(k, n, REG_SZ, "x\0", 2);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  SelectRows(pane, {1, 2});
  BoxAnswerer boxes({IDCANCEL});
  pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
  EXPECT_EQ(pane.flags.size(), 1u);
  EXPECT_TRUE(ValueThere(k, "a"));
  EXPECT_TRUE(ValueThere(k, "b"));
}

TEST_F(RegWndCommands, DeletingTheShownKeyShowsItsParent) {
  MakeKey(m_key->Handle(), "gone\\below");
  CLoggingRegWnd& pane = Make();
  Show(pane, Key("gone"));
  pane.Tree().SetFocus();
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("Den Registry-Schl\xFCssel"), std::string::npos);
  }
  EXPECT_FALSE(KeyThere(m_key->Handle(), "gone"));
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
  SettlePane(pane);
  HTREEITEM caret = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  char path[1100];
  pane.GetItemPath(caret, path, sizeof path);
  EXPECT_EQ(std::string(path), Key() + "\\");
}

TEST_F(RegWndCommands, ValueNameWithBackslashDeletesOnlyItself) {
  HKEY k = m_key->Handle();
  SetRaw(k, "Sub\\Name", REG_SZ, "top\0", 4);
  MakeKey(k, "Sub");
  HKEY sub;
  RegOpenKeyExA(k, "Sub", 0, KEY_ALL_ACCESS, &sub);
  SetRaw(sub, "Name", REG_SZ, "inner\0", 6);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  int row = RowOf(pane, "Sub\\Name");
  ASSERT_GE(row, 0);
  pane.SelectEntry(row, TRUE);
  {
    BoxAnswerer boxes({IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
  }
  EXPECT_FALSE(ValueThere(k, "Sub\\Name"));
  EXPECT_TRUE(ValueThere(sub, "Name"));
  RegCloseKey(sub);
}

// The search shows a value hit by its name: found without regard to case,
// selected with the focus; an unknown name selects nothing.
TEST_F(RegWndCommands, SelectEntryByNameSelectsTheRow) {
  HKEY k = m_key->Handle();
  SetRaw(k, "Daten", REG_SZ, "x\0", 2);
  SetRaw(k, "Wert Zwei", REG_SZ, "y\0", 2);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  int row = RowOf(pane, "Wert Zwei");
  ASSERT_GE(row, 0);
  EXPECT_FALSE(pane.SelectEntryByName("Wert", TRUE));
  EXPECT_FALSE(pane.SelectEntryByName(nullptr, TRUE));
  EXPECT_EQ(pane.GetSelectedEntry(), -1);
  ASSERT_TRUE(pane.SelectEntryByName("wert zwei", TRUE));
  EXPECT_EQ(pane.GetSelectedEntry(), row);
  EXPECT_EQ(::GetFocus(), pane.List().m_hWnd);
}

TEST_F(RegWndCommands, RenameValueKeepsTypeAndBytes) {
  HKEY k = m_key->Handle();
  const wchar_t omega[] = L"\u03A9mega";
  ASSERT_EQ(RegSetValueExW(k, L"alt", 0, REG_SZ, (const BYTE*)omega, sizeof omega), ERROR_SUCCESS);
  SetRaw(k, "bin", REG_BINARY, "\x00\x01\x02", 3);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  EXPECT_EQ(pane.RenameEntry(RowOf(pane, "alt"), "neu"), 1);
  EXPECT_EQ(pane.RenameEntry(RowOf(pane, "bin"), "bin2"), 1);
  wchar_t back[32] = {};
  DWORD type = 0, size = sizeof back;
  ASSERT_EQ(RegQueryValueExW(k, L"neu", nullptr, &type, (BYTE*)back, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_EQ(size, (DWORD)sizeof omega);
  EXPECT_EQ(std::wstring(back), std::wstring(omega));
  BYTE bytes[8];
  size = sizeof bytes;
  ASSERT_EQ(RegQueryValueExA(k, "bin2", nullptr, &type, bytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_BINARY);
  EXPECT_EQ(size, 3u);
  EXPECT_FALSE(ValueThere(k, "alt"));
  EXPECT_EQ(RowNames(pane.List())[RowOf(pane, "neu")], "neu");
  // Other letter cases only: the registry takes the new spelling.
  EXPECT_EQ(pane.RenameEntry(RowOf(pane, "neu"), "NEU"), 1);
  std::vector<std::wstring> names = ValueNamesW(k);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"NEU", L"bin2"}));
}

TEST_F(RegWndCommands, RenameRefusesAnExistingTarget) {
  HKEY k = m_key->Handle();
  SetRaw(k, "eins", REG_DWORD, "\x01\0\0\0", 4);
  SetRaw(k, "zwei", REG_DWORD, "\x02\0\0\0", 4);
  MakeKey(k, "K1");
  MakeKey(k, "K2");
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  {
    BoxAnswerer boxes({IDOK, IDOK});
    EXPECT_EQ(pane.RenameEntry(RowOf(pane, "eins"), "zwei"), 0);
    EXPECT_EQ(pane.RenameItem((Key() + "\\K1").c_str(), "k2", (UINT)pane.GetLevel() + 1), 0);
    PumpMessages(100);
    EXPECT_EQ(boxes.Answered(), 2);
  }
  DWORD v = 0, size = 4;
  RegQueryValueExA(k, "zwei", nullptr, nullptr, (BYTE*)&v, &size);
  EXPECT_EQ(v, 2u);
  EXPECT_TRUE(ValueThere(k, "eins"));
  EXPECT_TRUE(KeyThere(k, "K1"));
}

TEST_F(RegWndCommands, DefaultValueCannotBeRenamed) {
  SetRaw(m_key->Handle(), "(Standard)", REG_SZ, "x\0", 2);
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  auto beginEdit = [&](int row) {
    NMTVDISPINFOA nm = {};
    nm.hdr.hwndFrom = pane.List().m_hWnd;
    nm.hdr.idFrom = IDC_TREEWND_LIST;
    nm.hdr.code = TVN_BEGINLABELEDITA;
    nm.item.hItem = (HTREEITEM)pane.List().SendMessage(TLM_GETROWITEM, 0, row);
    nm.item.pszText = const_cast<char*>("(Standard)");
    return pane.SendMessage(WM_NOTIFY, IDC_TREEWND_LIST, (LPARAM)&nm);
  };
  EXPECT_EQ(beginEdit(0), 1);  // the default value
  EXPECT_EQ(beginEdit(1), 0);  // a value that only carries the name
}

TEST_F(RegWndCommands, RenameKeyToGermanName) {
  MakeKey(m_key->Handle(), "Alt\\Kind");
  CLoggingRegWnd& pane = Make();
  Show(pane, Key("Alt\\Kind"));
  HTREEITEM caret = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  HTREEITEM alt = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)caret);
  EXPECT_EQ(pane.RenameTreeItem(alt, "Maß €"), 1);
  HKEY k;
  std::wstring wide = L"Ma\u00DF \u20AC";
  EXPECT_EQ(RegOpenKeyExW(m_key->Handle(), wide.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_FALSE(KeyThere(m_key->Handle(), "Alt"));
  // The shown key lay below: the pane follows the new name.
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("Maß €\\Kind"));
}

// Without the system's own rename a key moves by copy, also one that holds
// subkeys; an existing target is refused and keeps what it holds.
TEST_F(RegWndCommands, FallbackRenameMovesAFullKey) {
  HKEY k = m_key->Handle();
  MakeKey(k, "Voll\\Kind");
  MakeKey(k, "Leer");
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  SetRenameRegKeyFallback(true);
  HKEY parent;
  RegOpenKeyExA(HKEY_CURRENT_USER, m_key->Path().c_str(), 0, KEY_ALL_ACCESS, &parent);
  EXPECT_EQ(RenameRegKey(parent, "Leer", "Leer2"), 0);
  // An existing target is never deleted or filled by the fallback.
  MakeKey(k, "Da");
  HKEY da;
  RegOpenKeyExA(k, "Da", 0, KEY_ALL_ACCESS, &da);
  SetRaw(da, "keep", REG_SZ, "1\0", 2);
  RegCloseKey(da);
  MakeKey(k, "Leer3");
  EXPECT_EQ(RenameRegKey(parent, "Leer3", "Da"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
  RegCloseKey(parent);
  EXPECT_EQ(pane.RenameItem((Key() + "\\Voll").c_str(), "Neu", (UINT)pane.GetLevel() + 1), 1);
  SetRenameRegKeyFallback(false);
  EXPECT_FALSE(KeyThere(k, "Voll"));
  EXPECT_TRUE(KeyThere(k, "Neu\\Kind"));
  EXPECT_TRUE(KeyThere(k, "Leer2"));
  EXPECT_TRUE(KeyThere(k, "Leer3"));
  EXPECT_EQ(SubkeyNamesW(k).size(), 4u);  // Da, Leer2, Leer3, Neu
  HKEY check;
  ASSERT_EQ(RegOpenKeyExA(k, "Da", 0, KEY_READ, &check), ERROR_SUCCESS);
  EXPECT_TRUE(ValueThere(check, "keep"));
  EXPECT_EQ(SubkeyNamesW(check).size(), 0u);
  RegCloseKey(check);
}

TEST_F(RegWndCommands, NewValueAndKeyGoOnPastEight) {
  HKEY k = m_key->Handle();
  char name[40];
  for (int i = 1; i <= 8; ++i) {
    sprintf(name, "Neuer Wert #%d", i);
    SetRaw(k, name, REG_DWORD, &i, 4);
    sprintf(name, "Neuer Schlüssel #%d", i);
    MakeKey(k, name);
  }
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  EXPECT_EQ(pane.NewItemAt(nullptr, 1, REG_SZ), 1);
  DWORD v = 0, size = 4;
  RegQueryValueExA(k, "Neuer Wert #8", nullptr, nullptr, (BYTE*)&v, &size);
  EXPECT_EQ(v, 8u);
  char data[8] = "x";
  size = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(k, "Neuer Wert #9", nullptr, &type, (BYTE*)data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_EQ(size, 1u);
  EXPECT_GE(RowOf(pane, "Neuer Wert #9"), 0);
  EXPECT_EQ(pane.NewFolderAt(nullptr, 1, nullptr), 1);
  EXPECT_TRUE(KeyThere(k, "Neuer Schlüssel #9"));
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key("Neuer Schlüssel #9"));
  SettlePane(pane);
}

TEST_F(RegWndCommands, NewValuesGetNumberedNamesAndEmptyData) {
  struct Case {
    DWORD type;
    std::string data;
  } cases[] = {{REG_SZ, std::string(1, '\0')},       {REG_BINARY, ""},
               {REG_DWORD, std::string(4, '\0')},    {REG_QWORD, std::string(8, '\0')},
               {REG_MULTI_SZ, std::string(2, '\0')}, {REG_EXPAND_SZ, std::string(1, '\0')}};
  HKEY k = m_key->Handle();
  CLoggingRegWnd& pane = Make();
  Show(pane, Key());
  int n = 1;
  for (const Case& c : cases) {
    ASSERT_EQ(pane.NewItemAt(nullptr, 1, c.type), 1);
    std::string name = "Neuer Wert #" + std::to_string(n++);
    char data[16];
    DWORD size = sizeof data, type = 0;
    ASSERT_EQ(RegQueryValueExA(k, name.c_str(), nullptr, &type, (BYTE*)data, &size), ERROR_SUCCESS) << name;
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::string(data, size), c.data) << name;
  }
  for (const char* name : {"Neuer Schlüssel #1", "Neuer Schlüssel #2"}) {
    Show(pane, Key());
    EXPECT_EQ(pane.NewFolderAt(nullptr, 1, nullptr), 1);
    EXPECT_TRUE(KeyThere(k, name));
  }
  SettlePane(pane);
}

TEST_F(RegWndCommands, RootIsNeverDeleted) {
  HKEY sentinel = nullptr;
  bool haveSentinel = RegCreateKeyExA(HKEY_CURRENT_CONFIG, "OstrovaSentinel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      &sentinel, nullptr) == ERROR_SUCCESS;
  CLoggingRegWnd& pane = Make();
  {
    BoxAnswerer boxes({IDOK, IDOK, IDOK});
    EXPECT_EQ(pane.DeleteItems("HKEY_CURRENT_CONFIG", "HKEY_CURRENT_CONFIG", 0), 0);
    EXPECT_EQ(pane.DeleteItems("HKEY_CURRENT_CONFIG\\", "", 1), 0);
    PumpMessages(100);
  }
  if (haveSentinel) {
    EXPECT_TRUE(KeyThere(HKEY_CURRENT_CONFIG, "OstrovaSentinel"));
    RegCloseKey(sentinel);
    RegDeleteKeyA(HKEY_CURRENT_CONFIG, "OstrovaSentinel");
  }
}

}  // namespace
