// The parse step of the .reg reader on its own: what each line gives, files
// cut short, and the prefix contract on every prefix of files of both
// formats (those the writers export lie in the fuzzer's seeds).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/regfile/regfileparse.h"
#include "fuzz/regfile/regfile_prefix.h"

namespace {
// A file of every kind of line: comments, keys, a deleted key with a value
// it skips, values of each form, a continued hex list, the stored-bytes mark.
std::string Body() {
  std::string bin;
  for (int i = 0; i < 60; ++i) {
    char b[4];
    std::snprintf(b, sizeof b, "%02x", i);
    bin += b;
    if (i + 1 < 60) bin += i == 22 || i == 47 ? ",\\\r\n  " : ",";
  }
  return "\r\n"
         "; comment\r\n"
         "[HKEY_CURRENT_USER\\Software\\T]\r\n"
         "@=\"def\"\r\n"
         "\"s\"=\"a\\\\b\\\"c\"\r\n"
         "\"d\"=dword:0000002a\r\n"
         "\"b\"=hex:" +
         bin +
         "\r\n"
         "\"e\"=hex(2):25,41,25,00\r\n"
         "; bytes as stored\r\n"
         "\"w\"=hex(1):a9,03,00,00\r\n"
         "\"gone\"=-\r\n"
         "\r\n"
         "[-HKCU\\Software\\T\\old]\r\n"
         "\"skipped\"=dword:1\r\n"
         "[HKCU\\Software\\T\\sub] ; c\r\n"
         "\"x\"=hex(b):01,02,03,04,05,06,07,08\r\n"
         "\r\n";
}

std::string Ansi() { return "REGEDIT4" + Body(); }

std::string Unicode() {
  std::string out("\xFF\xFE", 2);
  for (char c : "Windows Registry Editor Version 5.00" + Body()) out += c, out += '\0';
  return out;
}

std::vector<RegFileOp> Parse(const std::string& file, int* pnLine = nullptr) {
  std::vector<RegFileOp> ops;
  int line = -1;
  RegFileParse(file.data(), file.size(), ops, &line);
  if (pnLine) *pnLine = line;
  return ops;
}

void ExpectEveryPrefixKeepsTheContract(const std::string& file, const char* what) {
  const uint8_t* p = (const uint8_t*)file.data();
  std::vector<RegFileOp> full;
  int line = -1;
  ASSERT_TRUE(RegFileParse(p, file.size(), full, &line)) << what << ": line " << line;
  ASSERT_FALSE(full.empty()) << what;
  for (size_t n = 0; n <= file.size(); ++n) {
    std::string broken = CheckRegFilePrefix(p, file.size(), full, n);
    EXPECT_EQ("", broken) << what << ", prefix of " << n << " bytes";
    if (!broken.empty()) return;
  }
}
}  // namespace

TEST(RegFileParse, GivesEachLinesOperationWithItsPlace) {
  for (bool unicode : {false, true}) {
    std::string file = unicode ? Unicode() : Ansi();
    int line = -1;
    std::vector<RegFileOp> ops = Parse(file, &line);
    EXPECT_EQ(0, line);
    ASSERT_EQ(11u, ops.size()) << unicode;
    EXPECT_EQ(kRegFileOpKey, ops[0].kind);
    EXPECT_EQ(kRegFileCurrentUser, ops[0].root);
    EXPECT_EQ(u"Software\\T", ops[0].path);
    EXPECT_EQ((std::vector<uint8_t>{'d', 0, 'e', 0, 'f', 0, 0, 0}), ops[1].data);
    EXPECT_EQ(u"", ops[1].path);
    EXPECT_EQ((std::vector<uint8_t>{'a', 0, '\\', 0, 'b', 0, '"', 0, 'c', 0, 0, 0}), ops[2].data);
    EXPECT_EQ((std::vector<uint8_t>{0x2a, 0, 0, 0}), ops[3].data);
    EXPECT_EQ(60u, ops[4].data.size());
    // The ANSI file's text is 8 bits wide; behind the mark the bytes stay.
    const std::vector<uint8_t> raw = {0x25, 0x41, 0x25, 0}, wide = {0x25, 0, 0x41, 0, 0x25, 0, 0, 0};
    EXPECT_EQ(unicode ? raw : wide, ops[5].data);
    EXPECT_EQ((std::vector<uint8_t>{0xa9, 3, 0, 0}), ops[6].data);
    EXPECT_EQ(kRegFileOpDeleteValue, ops[7].kind);
    EXPECT_EQ(kRegFileOpDeleteKey, ops[8].kind);
    EXPECT_EQ(u"Software\\T\\old", ops[8].path);
    EXPECT_EQ(kRegFileOpKey, ops[9].kind);  // the value below the deleted key is skipped
    EXPECT_EQ(0xbu, ops[10].type);
    // Places: the continued list spans three lines of the file.
    size_t unit = unicode ? 2 : 1, bom = unicode ? 2 : 0, header = unicode ? 36 : 8;
    std::string body = Body();
    EXPECT_EQ(bom + unit * (header + body.find("\"b\"=hex:")), ops[4].begin);
    EXPECT_EQ(bom + unit * (header + body.find("\r\n\"e\"")), ops[4].end);
  }
}

TEST(RegFileParse, EveryPrefixOfAFileFailsOrGivesTheOperationsOfItsWholeLines) {
  ExpectEveryPrefixKeepsTheContract(Ansi(), "ANSI");
  ExpectEveryPrefixKeepsTheContract(Unicode(), "UTF-16");
}

TEST(RegFileParse, ALastLineWithoutItsLineEndCountsOnlyWhenWhole) {
  struct Case {
    const char* tail;
    bool ok;
  } cases[] = {
      {"\"v\"=hex:01,02", true},
      {"\"v\"=dword:00000001", true},
      {"\"v\"=\"x\" ; c", true},
      {"\"v\"=hex:01,02,", false},
      {"\"v\"=hex:01,0", false},
      {"\"v\"=hex:01,\\", false},
      {"\"v\"=hex:01,\\\r\n  02", false},
      {"\"v\"=hex:", false},
      {"\"v\"=\"x", false},
      {"\"v\"=hex:01,\\\r\n", false},
      {"\"v\"=hex:01,\\\r\n  02\r\n", true},
      {"\"v\"=hex:01,\r\n", true},
  };
  for (const Case& c : cases) {
    std::string file = std::string("REGEDIT4\r\n[HKCU\\x]\r\n") + c.tail;
    int line = -1;
    std::vector<RegFileOp> ops = Parse(file, &line);
    EXPECT_EQ(c.ok, line == 0) << c.tail;
    EXPECT_EQ(c.ok ? 2u : 0u, ops.size()) << c.tail;
    if (!c.ok) {
      EXPECT_GE(line, 3) << c.tail;
    }
  }
}

#ifdef OSTROVA_SOURCE_DIR
// Files the writers export: the own writer's and the system editor's, in
// both formats (fuzz/regfile/seeds).
TEST(RegFileParse, EveryPrefixOfTheExportedSeedsKeepsTheContract) {
  int files = 0;
  for (const char* name : {"own_unicode.reg", "own_ansi.reg", "wine_unicode.reg"}) {
    std::string path = std::string(OSTROVA_SOURCE_DIR) + "/fuzz/regfile/seeds/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f) << path;
    std::string bytes;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
    ExpectEveryPrefixKeepsTheContract(bytes, name);
    ++files;
  }
  EXPECT_EQ(3, files);
}
#endif
