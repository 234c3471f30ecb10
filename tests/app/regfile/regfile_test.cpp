// The own .reg writer and reader: the text, line for line, and the round
// trip export - delete - import of every type and of irregular data.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/regfile/regfilereader.h"
#include "app/regfile/regfilewriter.h"
#include "harness/registry_util.h"

namespace {
// A key in memory, read with the 16-bit functions, in enumeration order.
struct WideSnapshot {
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const Value& o) const { return name == o.name && type == o.type && data == o.data; }
  };
  std::vector<Value> values;
  std::vector<std::pair<std::wstring, WideSnapshot>> subkeys;

  static bool Take(HKEY parent, const std::wstring& path, WideSnapshot* out) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h) != ERROR_SUCCESS) return false;
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      BYTE data[8192];
      DWORD cch = 16384, cb = sizeof data, type = 0;
      if (RegEnumValueW(h, i, name, &cch, nullptr, &type, data, &cb) != ERROR_SUCCESS) break;
      out->values.push_back({std::wstring(name, cch), type, std::vector<BYTE>(data, data + cb)});
    }
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD cch = 256;
      if (RegEnumKeyExW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      out->subkeys.emplace_back(name, WideSnapshot());
      Take(h, name, &out->subkeys.back().second);
    }
    RegCloseKey(h);
    return true;
  }
};

void ExpectSame(const WideSnapshot& a, const WideSnapshot& b, const std::wstring& where) {
  ASSERT_EQ(a.values.size(), b.values.size()) << "values of " << std::string(where.begin(), where.end());
  for (size_t i = 0; i < a.values.size(); ++i) {
    const auto &x = a.values[i], &y = b.values[i];
    EXPECT_TRUE(x == y) << "value " << i << " (type " << x.type << ", " << x.data.size() << " bytes) of key "
                        << std::string(where.begin(), where.end()) << ": type " << y.type << ", " << y.data.size()
                        << " bytes";
  }
  ASSERT_EQ(a.subkeys.size(), b.subkeys.size());
  for (size_t i = 0; i < a.subkeys.size(); ++i) {
    EXPECT_EQ(a.subkeys[i].first, b.subkeys[i].first);
    ExpectSame(a.subkeys[i].second, b.subkeys[i].second, where + L"\\" + a.subkeys[i].first);
  }
}

std::wstring Widen(const std::string& s) {
  std::wstring w;
  for (char c : s) w += (wchar_t)(unsigned char)c;
  return w;
}

void SetRaw(HKEY h, const wchar_t* name, DWORD type, const void* data, DWORD cb) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(h, name, 0, type, (const BYTE*)data, cb)) << type;
}

HKEY CreateSub(HKEY h, const wchar_t* name) {
  HKEY sub = nullptr;
  RegCreateKeyExW(h, name, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &sub, nullptr);
  return sub;
}

// The fixture: every type, irregular data and awkward names. bAnsi leaves
// out what code page 1252 cannot carry (Ω, odd sizes of text types).
void FillFixture(HKEY h, bool bAnsi) {
  const wchar_t sz[] = L"Text mit \"Anf\u00fchrung\" und \\ Strich";
  SetRaw(h, nullptr, REG_SZ, L"Standard", 18);
  SetRaw(h, L"sz", REG_SZ, sz, sizeof sz);
  SetRaw(h, L"lines", REG_SZ, L"eins\r\nzwei\nx", 26);
  SetRaw(h, L"none", REG_NONE, "\x01\x02", 2);
  SetRaw(h, L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", 18);
  BYTE bin[100];
  for (int i = 0; i < 100; ++i) bin[i] = (BYTE)(i * 37);
  SetRaw(h, L"binary100", REG_BINARY, bin, 100);
  DWORD dw = 0xDEADBEEF;
  SetRaw(h, L"dword", REG_DWORD, &dw, 4);
  SetRaw(h, L"bigendian", REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04", 4);
  SetRaw(h, L"link", REG_LINK, L"\\Registry\\x", 22);
  SetRaw(h, L"multi", REG_MULTI_SZ, L"a\0bc\0\0", 14);
  SetRaw(h, L"resource", REG_RESOURCE_LIST, "\x05\x06\x07", 3);
  SetRaw(h, L"descriptor", REG_FULL_RESOURCE_DESCRIPTOR, "\x08", 1);
  SetRaw(h, L"requirements", REG_RESOURCE_REQUIREMENTS_LIST, "", 0);
  unsigned long long qw = 0x0123456789ABCDEFull;
  SetRaw(h, L"qword", REG_QWORD, &qw, 8);
  SetRaw(h, L"type1234", 0x1234, "\xAB\xCD", 2);
  // Irregular strings: no terminator (a non-NUL character follows the bytes,
  // else the system adds one), inner NUL, size 0.
  const wchar_t unterminated[] = L"abcX";
  SetRaw(h, L"sz unterminated", REG_SZ, unterminated, 6);
  SetRaw(h, L"sz inner nul", REG_SZ, L"ab\0cd", 12);
  SetRaw(h, L"sz empty", REG_SZ, L"", 0);
  SetRaw(h, L"sz only nul", REG_SZ, L"", 2);
  if (!bAnsi) {
    SetRaw(h, L"sz odd", REG_SZ, "a\0bX", 3);
    SetRaw(h, L"\u03a9", REG_SZ, L"\u03a9 Omega", 16);
  }
  // Irregular DWORDs.
  SetRaw(h, L"dword2", REG_DWORD, "\x01\x02", 2);
  SetRaw(h, L"dword8", REG_DWORD, "\x01\x02\x03\x04\x05\x06\x07\x08", 8);
  SetRaw(h, L"dword0", REG_DWORD, "", 0);
  SetRaw(h, L"Gr\u00f6\u00dfe \u20ac", REG_SZ, L"\u20ac", 4);
  SetRaw(h, L"Sub\\Name", REG_SZ, L"x", 4);
  SetRaw(h, L"a\"b=c", REG_SZ, L"y", 4);
  SetRaw(h, L"name\nbreak", REG_BINARY, "\x01", 1);
  HKEY sub = CreateSub(h, L"\u00c4nderung \u20ac");
  SetRaw(sub, L"inner", REG_DWORD, &dw, 4);
  HKEY deeper = CreateSub(sub, L"tief");
  SetRaw(deeper, nullptr, REG_SZ, L"t", 4);
  RegCloseKey(deeper);
  RegCloseKey(sub);
  RegCloseKey(CreateSub(h, L"leer"));
}

void DeleteChildren(HKEY h) {
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(h, nullptr));
  DWORD nValues = 1, nKeys = 1;
  RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &nKeys, nullptr, nullptr, &nValues, nullptr, nullptr, nullptr,
                   nullptr);
  ASSERT_EQ(0u, nValues + nKeys);
}

std::string Utf16ToAnsi(const std::string& bytes) {
  std::string out;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) out += (char)bytes[i];  // ASCII-only expectations
  return out;
}

class RegFileRoundTrip : public ::testing::TestWithParam<int> {};
}  // namespace

TEST_P(RegFileRoundTrip, ExportDeleteImportGivesEveryByteBack) {
  TestRegistryKey key;
  int format = GetParam();
  FillFixture(key.Handle(), format == kRegFileAnsi);
  std::wstring path = Widen(key.Path());
  WideSnapshot before;
  ASSERT_TRUE(WideSnapshot::Take(HKEY_CURRENT_USER, path, &before));

  std::string file;
  ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(file, key.FullPath().c_str(), format));
  ASSERT_EQ(0u, file.find(RegFileHeader(format)));
  DeleteChildren(key.Handle());
  int line = -1;
  ASSERT_EQ(ERROR_SUCCESS, RegFileImportBuffer(file.data(), file.size(), &line));
  EXPECT_EQ(0, line);

  WideSnapshot after;
  ASSERT_TRUE(WideSnapshot::Take(HKEY_CURRENT_USER, path, &after));
  ExpectSame(before, after, path);
}

INSTANTIATE_TEST_SUITE_P(Formats, RegFileRoundTrip, ::testing::Values(kRegFileUnicode, kRegFileAnsi));

TEST(RegFileWriter, WritesTheTextOfTheSystemsEditor) {
  TestRegistryKey key;
  HKEY h = key.Handle();
  SetRaw(h, nullptr, REG_SZ, L"def", 8);
  SetRaw(h, L"s", REG_SZ, L"a\\b\"c", 12);
  DWORD dw = 42;
  SetRaw(h, L"d", REG_DWORD, &dw, 4);
  SetRaw(h, L"d2", REG_DWORD, "\x01\x02", 2);
  SetRaw(h, L"odd", REG_SZ, L"abX", 4);
  SetRaw(h, L"x", 0x1234, "\xAB", 1);
  BYTE bin[40];
  for (int i = 0; i < 40; ++i) bin[i] = (BYTE)i;
  SetRaw(h, L"long", REG_BINARY, bin, 40);
  SetRaw(h, L"e", REG_EXPAND_SZ, L"%A%", 8);
  HKEY sub = CreateSub(h, L"b");
  RegCloseKey(CreateSub(sub, L"c"));
  RegCloseKey(sub);
  RegCloseKey(CreateSub(h, L"a"));

  std::string p = key.FullPath();
  // The registry enumerates in name order here. "long": 7 characters before
  // "hex:", so the first line holds 23 bytes (7 + 4 + 22 * 3 = 77 after the
  // 22nd comma), the next ones 25.
  auto text = [&](const char* expand, const char* odd) {
    return "[" + p +
           "]\r\n"
           "@=\"def\"\r\n"
           "\"d\"=dword:0000002a\r\n"
           "\"d2\"=hex(4):01,02\r\n"
           "\"e\"=hex(2):" +
           std::string(expand) +
           "\r\n"
           "\"long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
           "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
           "\"odd\"=hex(1):" +
           odd +
           "\r\n"
           "\"s\"=\"a\\\\b\\\"c\"\r\n"
           "\"x\"=hex(1234):ab\r\n"
           "\r\n"
           "[" +
           p +
           "\\a]\r\n\r\n"
           "[" +
           p +
           "\\b]\r\n\r\n"
           "[" +
           p + "\\b\\c]\r\n\r\n";
  };
  std::string ansi;
  ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(ansi, p.c_str(), kRegFileAnsi));
  EXPECT_EQ("REGEDIT4\r\n\r\n" + text("25,41,25,00", "61,62"), ansi);
  std::string wide;
  ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(wide, p.c_str(), kRegFileUnicode));
  ASSERT_EQ(0, wide.compare(0, 2, "\xFF\xFE"));
  EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n" + text("25,00,41,00,25,00,00,00", "61,00,62,00"),
            Utf16ToAnsi(wide));
}

TEST(RegFileWriter, ShortRootsAndMissingKeys) {
  TestRegistryKey key;
  std::string out;
  ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(out, ("HKCU\\" + key.Path()).c_str(), kRegFileAnsi));
  EXPECT_EQ("REGEDIT4\r\n\r\n[" + key.FullPath() + "]\r\n\r\n", out);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegFileExportToBuffer(out, (key.FullPath() + "\\nope").c_str(), kRegFileAnsi));
  EXPECT_EQ(ERROR_BAD_PATHNAME, RegFileExportToBuffer(out, "HKEY_NOWHERE\\x", kRegFileAnsi));
  volatile LONG cancel = 1;
  EXPECT_EQ(ERROR_CANCELLED, RegFileExportToBuffer(out, key.FullPath().c_str(), kRegFileAnsi, &cancel));
}

TEST(RegFileReader, KeysDeletionsContinuationsCommentsShortRoots) {
  TestRegistryKey key;
  HKEY h = key.Handle();
  HKEY gone = CreateSub(h, L"gone");
  RegCloseKey(CreateSub(gone, L"child"));
  RegCloseKey(gone);
  SetRaw(h, L"old", REG_SZ, L"x", 4);
  std::string p = key.Path();
  std::string text =
      "REGEDIT4\n"
      "; a comment\n"
      "[-HKEY_CURRENT_USER\\" +
      p +
      "\\gone]\n"
      "[-HKCU\\" +
      p +
      "\\never there]\n"
      "  [HKCU\\" +
      p +
      "\\new]  \n"
      "\"bin\" = hex:01,02,\\\n"
      "    03,\\\n"
      "  04\n"
      "\"dw\"=DWORD:1\n"
      "@=\"Gr\xf6\xdf"
      "e\"\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\" +
      p +
      "]\r\n"
      "\"old\"=-\r\n"
      "\"missing\"=-\r\n";
  int line = -1;
  ASSERT_EQ(ERROR_SUCCESS, RegFileImportBuffer(text.data(), text.size(), &line));
  HKEY probe = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(h, "gone", 0, KEY_READ, &probe));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(h, "old", nullptr, nullptr, nullptr, nullptr));
  WideSnapshot snap;
  ASSERT_TRUE(WideSnapshot::Take(h, L"new", &snap));
  ASSERT_EQ(3u, snap.values.size());  // in name order
  std::wstring def = L"Gr\u00f6\u00dfe";
  EXPECT_EQ(std::vector<BYTE>((const BYTE*)def.c_str(), (const BYTE*)(def.c_str() + def.size() + 1)),
            snap.values[0].data);
  EXPECT_EQ((std::vector<BYTE>{1, 2, 3, 4}), snap.values[1].data);
  EXPECT_EQ((DWORD)REG_DWORD, snap.values[2].type);
  EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), snap.values[2].data);
}

TEST(RegFileReader, ASyntaxErrorImportsNothing) {
  struct Case {
    const char* tail;
    int line;
  } cases[] = {
      {"\"v\"=dword:123456789\n", 4},  // nine digits
      {"\"v\"=hex:01,zz\n", 4},
      {"\"v\"=\"open\n", 4},
      {"\"v\"\n", 4},
      {"v=\"x\"\n", 4},
      {"\"v\"=hex(2:01\n", 4},
      {"\"v\"=text\n", 4},
      {"[HKEY_NOWHERE\\x]\n", 4},
      {"[HKCU\\x\n", 4},
      {"\"v\"=hex:01,\\\n", 4},  // continued into the end of the file
  };
  for (const Case& c : cases) {
    TestRegistryKey key;
    std::string text = "REGEDIT4\n\n[HKCU\\" + key.Path() + "\\made]\n" + c.tail;
    int line = 0;
    EXPECT_EQ(kRegFileSyntaxError, RegFileImportBuffer(text.data(), text.size(), &line)) << c.tail;
    EXPECT_EQ(c.line, line) << c.tail;
    HKEY probe = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(key.Handle(), "made", 0, KEY_READ, &probe)) << c.tail;
  }
  // No header, a value before any key.
  std::string noHeader = "[HKCU\\Software\\OstrovaTests]\n";
  int line = 0;
  EXPECT_EQ(kRegFileSyntaxError, RegFileImportBuffer(noHeader.data(), noHeader.size(), &line));
  EXPECT_EQ(1, line);
  std::string early = "REGEDIT4\n\"v\"=\"x\"\n";
  EXPECT_EQ(kRegFileSyntaxError, RegFileImportBuffer(early.data(), early.size(), &line));
  EXPECT_EQ(2, line);
}
