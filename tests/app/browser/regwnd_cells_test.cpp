// What the entry list shows for each kind of value, and path parsing.
#include <cstring>

#include "app/regnames.h"
#include "browser_fixture.h"

namespace {

struct CellCase {
  const char* what;
  bool ok, isDefault;
  DWORD type;
  std::string data;
  DWORD fullSize;  // 0: the data's size
  const char* typeText;
  std::string dataText;
};

std::string Repeat(char c, int n) { return std::string(n, c); }

TEST(RegValueCells, Table) {
  std::string hex75, hex76;
  for (int i = 0; i < 75; ++i) {
    char b[8];
    sprintf(b, "%02X ", i);
    hex75 += b;
    if (i % 4 == 3 || i == 74) hex75 += ' ';
  }
  std::string bin75, bin100;
  for (int i = 0; i < 100; ++i) (i < 75 ? bin75 : bin100) += (char)i;
  bin100 = bin75 + bin100;
  const CellCase cases[] = {
      {"dword -1", true, false, REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4), 0, "REG_DWORD", "0xFFFFFFFF / -1"},
      {"dword 2 bytes", true, false, REG_DWORD, std::string("\x34\x12", 2), 0, "REG_DWORD", "0x00001234 / 4660"},
      {"dword 0 bytes", true, false, REG_DWORD, "", 0, "REG_DWORD", "0x00000000 / 0"},
      {"qword", true, false, REG_QWORD, std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8), 0, "REG_QWORD",
       "0xFFFFFFFFFFFFFFFE / -2"},
      {"qword 3 bytes", true, false, REG_QWORD, std::string("\x01\x02\x03", 3), 0, "REG_QWORD",
       "0x0000000000030201 / 197121"},
      {"string", true, false, REG_SZ, std::string("abc\0", 4), 0, "REG_SZ", "\"abc\""},
      {"unterminated", true, false, REG_SZ, "abc", 0, "REG_SZ", "\"abc\""},
      {"249", true, false, REG_SZ, Repeat('x', 249) + '\0', 0, "REG_SZ", "\"" + Repeat('x', 249) + "\""},
      {"250", true, false, REG_SZ, Repeat('x', 250) + '\0', 0, "REG_SZ", "\"" + Repeat('x', 250) + " ..."},
      {"1000", true, false, REG_SZ, Repeat('y', 270), 1001, "REG_SZ", "\"" + Repeat('y', 250) + " ..."},
      {"expand", true, false, REG_EXPAND_SZ, std::string("%P%\0", 4), 0, "REG_EXPAND_SZ", "\"%P%\""},
      {"multi a b", true, false, REG_MULTI_SZ, std::string("a\0b\0\0", 5), 0, "REG_MULTI_SZ", "\"a\"   \"b\""},
      {"multi one final NUL", true, false, REG_MULTI_SZ, std::string("a\0b\0", 4), 0, "REG_MULTI_SZ", "\"a\"   \"b\""},
      {"multi unterminated", true, false, REG_MULTI_SZ, std::string("a\0b", 3), 0, "REG_MULTI_SZ", "\"a\"   \"b\""},
      {"default empty", true, true, REG_SZ, std::string("\0", 1), 0, "REG_SZ", "(Wert nicht gesetzt)"},
      {"default one char", true, true, REG_SZ, std::string("q\0", 2), 0, "REG_SZ", "\"q\""},
      {"default missing", false, true, 0, "", 0, "REG_SZ", "(Wert nicht festgelegt)"},
      {"read error", false, false, 0, "", 0, "???", "(Fehler beim Lesen)"},
      {"binary 75", true, false, REG_BINARY, bin75, 0, "REG_BINARY", hex75},
      {"binary 76", true, false, REG_BINARY, bin75 + 'K', 0, "REG_BINARY", hex75 + "..."},
      {"binary 100", true, false, REG_BINARY, bin100, 0, "REG_BINARY", hex75 + "..."},
      {"none", true, false, REG_NONE, "", 0, "REG_NONE", ""},
      {"big endian", true, false, REG_DWORD_BIG_ENDIAN, std::string("\x01\x02\x03\x04", 4), 0, "REG_DWORD_BIG_ENDIAN",
       "01 02 03 04  "},
      {"unknown", true, false, 0x1234, std::string("\xAB", 1), 0, "???", "AB  "},
  };
  for (const CellCase& c : cases) {
    SCOPED_TRACE(c.what);
    char type[64], data[400];
    DWORD size = (DWORD)c.data.size();
    int r = FormatRegValueCells(c.ok, c.isDefault, c.type, (const BYTE*)c.data.data(), size,
                                c.fullSize ? c.fullSize : size, type, sizeof type, data, sizeof data);
    EXPECT_EQ(r, c.ok ? 1 : 0);
    EXPECT_STREQ(type, c.typeText);
    EXPECT_EQ(std::string(data), c.dataText);
  }
}

// A string whose stored data ends in half a character shows that byte after
// its closing quote; a cut text shows no end.
TEST(RegValueCells, OddByteOfAStringIsShown) {
  struct Case {
    const char* what;
    bool isDefault;
    DWORD type;
    std::string data;
    DWORD fullSize;  // 0: the data's size
    std::string dataText;
  } cases[] = {
      {"terminated", false, REG_SZ, std::string("A\0", 2), 0, "\"A\" (+1 Byte: 42)"},
      {"unterminated", false, REG_SZ, "A", 0, "\"A\" (+1 Byte: 00)"},
      {"empty", false, REG_EXPAND_SZ, "", 0, "\"\" (+1 Byte: 7F)"},
      {"default of one byte", true, REG_SZ, "", 0, "\"\" (+1 Byte: 41)"},
      {"multi", false, REG_MULTI_SZ, std::string("a\0b\0\0", 5), 0, "\"a\"   \"b\" (+1 Byte: FF)"},
      {"cut", false, REG_SZ, std::string(270, 'y'), 1001, "\"" + std::string(250, 'y') + " ..."},
  };
  const int odd[] = {0x42, 0x00, 0x7F, 0x41, 0xFF, 0x33};
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.what);
    char type[64], data[400];
    DWORD size = (DWORD)c.data.size();
    FormatRegValueCells(true, c.isDefault, c.type, (const BYTE*)c.data.data(), size, c.fullSize ? c.fullSize : size,
                        type, sizeof type, data, sizeof data, odd[i]);
    EXPECT_EQ(std::string(data), c.dataText);
  }
}

TEST(RegTypeNames, AllTypes) {
  const char* names[] = {"REG_NONE",
                         "REG_SZ",
                         "REG_EXPAND_SZ",
                         "REG_BINARY",
                         "REG_DWORD",
                         "REG_DWORD_BIG_ENDIAN",
                         "REG_LINK",
                         "REG_MULTI_SZ",
                         "REG_RESOURCE_LIST",
                         "REG_FULL_RESOURCE_DESCRIPTOR",
                         "REG_RESOURCE_REQUIREMENTS_LIST",
                         "REG_QWORD"};
  for (DWORD t = 0; t < 12; ++t) EXPECT_STREQ(GetRegTypeName(t, 0), names[t]);
  EXPECT_STREQ(GetRegTypeName(12, 0), "???");
  EXPECT_EQ(GetRegTypeName(12, 1), nullptr);
}

TEST(RootKeyTable, Accessors) {
  int length = -1;
  HKEY handle = nullptr;
  EXPECT_STREQ(GetRootKey(4, &length, &handle), "HKEY_CURRENT_CONFIG");
  EXPECT_EQ(length, 19);
  EXPECT_EQ(handle, HKEY_CURRENT_CONFIG);
  EXPECT_STREQ(GetRootKey(5, &length, &handle), "");
  EXPECT_EQ(length, 0);
  EXPECT_EQ(GetRootKey(8, &length, &handle), nullptr);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(FindRootKey("hkey_users\\x", &length, &handle), 3);
  EXPECT_EQ(handle, HKEY_USERS);
  EXPECT_EQ(FindRootKey("HKEY_USER\\x", &length, &handle), -1);
  EXPECT_EQ(length, 0);
}

class RegWndParse : public BrowserTest {};

TEST_F(RegWndParse, Cases) {
  CRegWnd pane;  // no window: parsing needs none
  struct {
    const char* in;
    const char* out;  // nullptr: invalid
    int row, level;
  } cases[] = {
      {"hklm/Software//Classes", "HKEY_LOCAL_MACHINE\\Software\\Classes", 2, 2},
      {"MACHINE\\SYSTEM", "HKEY_LOCAL_MACHINE\\SYSTEM", 2, 1},
      {"HKU\\x", nullptr, 0, 0},
      {"HKEY_USERS\\x", "HKEY_USERS\\x", 3, 1},
      {"ABCD\\x", nullptr, 0, 0},
      {"hkcc", "HKEY_CURRENT_CONFIG", 4, 0},
      {"current_user\\Software", "HKEY_CURRENT_USER\\Software", 1, 1},
      {"HKCR", "HKEY_CLASSES_ROOT", 0, 0},
      {"HKEY_CURRENT_USERX", nullptr, 0, 0},
      {"", nullptr, 0, 0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.in);
    char buf[kTreeWndPathBuffer];
    strcpy(buf, c.in);
    LPARAM value = 0;
    int n = pane.ParsePath(buf, -1, &value);
    if (!c.out) {
      EXPECT_EQ(n, 0);
      EXPECT_EQ(value, -1);
      continue;
    }
    EXPECT_STREQ(buf, c.out);
    EXPECT_EQ(n, (int)strlen(c.out));
    EXPECT_EQ(value, ((LPARAM)(c.row | 0x5800) << 16) | c.level);
  }
  // Growing in place stays within the buffer: too long is not a path.
  char buf[kTreeWndPathBuffer];
  std::string longPath = "HKLM\\" + std::string(1015, 'a');
  strcpy(buf, longPath.c_str());
  EXPECT_EQ(pane.ParsePath(buf, -1, nullptr), 0);
}

// The pane's cells for values written into the registry.
TEST_F(BrowserTest, CellsOfRegistryValues) {
  HKEY k = m_key->Handle();
  DWORD minus1 = 0xFFFFFFFF;
  SetRaw(k, "dword", REG_DWORD, &minus1, 4);
  SetRaw(k, "short dword", REG_DWORD, "\x07\x00", 2);
  SetRaw(k, "empty dword", REG_DWORD, "", 0);
  // Unterminated: a non-NUL byte after the data keeps the registry from adding one.
  SetRaw(k, "open string", REG_SZ, "abcX", 3);
  SetRaw(k, "multi", REG_MULTI_SZ, "a\0b\0", 5);
  SetRaw(k, "(Standard)", REG_SZ, "named\0", 6);
  std::string s1000(1000, 'z');
  SetRaw(k, "s1000", REG_SZ, s1000.c_str(), 1001);
  SetRaw(k, "odd", 0x1234, "\x01", 1);
  for (DWORD t = 0; t <= 11; ++t) {
    char name[16];
    sprintf(name, "type%02lu", (unsigned long)t);
    SetRaw(k, name, t, "\x01\x00\x00\x00\x00\x00\x00\x00\x00", t == 11 ? 8 : 4);
  }
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  std::vector<std::string> rows = RowNames(pane.List());
  ASSERT_EQ(rows.size(), 21u);
  // The missing default value comes first, before the value that carries its name.
  EXPECT_EQ(rows[0], "(Standard)");
  EXPECT_EQ(CellText(pane.List(), 0, 1), "REG_SZ");
  EXPECT_EQ(CellText(pane.List(), 0, 2), "(Wert nicht festgelegt)");
  EXPECT_EQ(rows[1], "(Standard)");
  EXPECT_EQ(CellText(pane.List(), 1, 2), "\"named\"");
  auto cell = [&](const char* name, int column) {
    for (size_t r = 0; r < rows.size(); ++r)
      if (rows[r] == name) return CellText(pane.List(), (int)r, column);
    return std::string("<missing>");
  };
  EXPECT_EQ(cell("dword", 2), "0xFFFFFFFF / -1");
  EXPECT_EQ(cell("short dword", 2), "0x00000007 / 7");
  EXPECT_EQ(cell("empty dword", 2), "0x00000000 / 0");
  EXPECT_EQ(cell("open string", 2), "\"abc\"");
  EXPECT_EQ(cell("multi", 2), "\"a\"   \"b\"");
  EXPECT_EQ(cell("s1000", 2), "\"" + std::string(250, 'z') + " ...");
  EXPECT_EQ(cell("odd", 1), "???");
  EXPECT_EQ(cell("odd", 2), "01  ");
  EXPECT_EQ(cell("type11", 1), "REG_QWORD");
  EXPECT_EQ(cell("type11", 2), "0x0000000000000001 / 1");
  EXPECT_EQ(cell("type03", 2), "01 00 00 00  ");
}

// What is stored shows: string data of odd length ends in a byte that is
// half a character, shown after the text; data without its NUL closes its
// quote. String data outside the code page shows as the 8-bit functions give it.
TEST_F(BrowserTest, StringsOfOddLengthShowTheirLastByte) {
  HKEY k = m_key->Handle();
  struct Raw {
    const wchar_t* name;
    DWORD type;
    std::string bytes;
    const char* cell;
  } raws[] = {
      {L"end", REG_SZ, std::string("A\0\0\0B", 5), "\"A\" (+1 Byte: 42)"},
      {L"half", REG_SZ, std::string("A\0B", 3), "\"A\" (+1 Byte: 42)"},
      {L"open", REG_EXPAND_SZ, std::string("A\0", 2), "\"A\""},
      {L"multi", REG_MULTI_SZ, std::string("a\0\0\0b\0\0\0\0\0\x7F", 11), "\"a\"   \"b\" (+1 Byte: 7F)"},
      {L"binary", REG_BINARY, std::string("\x01\x02\x03", 3), "01 02 03  "},
      {L"\u03A9mega \u20AC", REG_SZ, std::string("\xA9\x03\0\0", 4), "\"?\""},
  };
  for (const Raw& r : raws)
    ASSERT_EQ(RegSetValueExW(k, r.name, 0, r.type, (const BYTE*)r.bytes.data(), (DWORD)r.bytes.size()), ERROR_SUCCESS);
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  std::vector<std::string> rows = RowNames(pane.List());
  for (const Raw& raw : raws) {
    // Each name as the pane writes it (a name outside the code page with marks).
    std::string name = RegNameText(raw.name, (int)wcslen(raw.name));
    SCOPED_TRACE(name);
    size_t r = 0;
    while (r < rows.size() && rows[r] != name) ++r;
    ASSERT_LT(r, rows.size());
    std::string want = raw.cell;
    if (want == "\"?\"") {
      // The character of the data as the code page shows it.
      char c = 0;
      WideCharToMultiByte(CP_ACP, 0, L"\u03A9", 1, &c, 1, nullptr, nullptr);
      want = std::string("\"") + c + "\"";
    }
    EXPECT_EQ(CellText(pane.List(), (int)r, 2), want);
  }
}

TEST_F(BrowserTest, DefaultValueCells) {
  MakeKey(m_key->Handle(), "empty");
  MakeKey(m_key->Handle(), "blank");
  MakeKey(m_key->Handle(), "one");
  HKEY k;
  RegOpenKeyExA(m_key->Handle(), "blank", 0, KEY_ALL_ACCESS, &k);
  SetRaw(k, "", REG_SZ, "", 1);
  RegCloseKey(k);
  RegOpenKeyExA(m_key->Handle(), "one", 0, KEY_ALL_ACCESS, &k);
  SetRaw(k, "", REG_SZ, "Q", 2);
  RegCloseKey(k);
  CRegWnd& pane = MakePane();
  struct {
    const char* key;
    const char* data;
  } cases[] = {{"empty", "(Wert nicht festgelegt)"}, {"blank", "(Wert nicht gesetzt)"}, {"one", "\"Q\""}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.key);
    Show(pane, Key(c.key));
    ASSERT_EQ(RowNames(pane.List()), std::vector<std::string>{"(Standard)"});
    EXPECT_EQ(CellText(pane.List(), 0, 1), "REG_SZ");
    EXPECT_EQ(CellText(pane.List(), 0, 2), c.data);
  }
}

}  // namespace

// The entries stand in natural order however the registry gives the values
// (it gives them in the order they were written): out of order, in order,
// and the default value before a value that carries its name, whichever was
// written first.
TEST_F(BrowserTest, EntriesInNaturalOrderWhateverTheWritingOrder) {
  struct Case {
    const char* what;
    std::vector<const char*> written;  // "" is the default value
    std::vector<std::string> rows;
  } cases[] = {
      {"out of order", {"b", "a10", "a9"}, {"(Standard)", "a9", "a10", "b"}},
      {"in order", {"a1", "a2", "b"}, {"(Standard)", "a1", "a2", "b"}},
      {"named first", {"(Standard)", "", "x"}, {"(Standard)", "(Standard)", "x"}},
      {"default first", {"", "(Standard)", "x"}, {"(Standard)", "(Standard)", "x"}},
  };
  CRegWnd& pane = MakePane();
  int n = 0;
  for (const Case& c : cases) {
    std::string sub = "order" + std::to_string(n++);
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(m_key->Handle(), sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
    for (const char* name : c.written) SetRaw(k, name, REG_SZ, *name ? "named" : "default", *name ? 6 : 8);
    RegCloseKey(k);
    Show(pane, Key(sub.c_str()));
    EXPECT_EQ(RowNames(pane.List()), c.rows) << c.what;
    if (c.rows[1] == "(Standard)") {
      EXPECT_EQ(CellText(pane.List(), 0, 2), "\"default\"") << c.what;
      EXPECT_EQ(CellText(pane.List(), 1, 2), "\"named\"") << c.what;
    }
  }
}
