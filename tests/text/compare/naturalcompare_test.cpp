#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/strings.h"
#include "wide.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// Registry-like names: digits with leading zeros and radix prefixes, dots,
// '_', both slashes, blanks and Latin-1 letters in both cases.
std::vector<std::string> Fixture() {
  std::vector<std::string> names = {"",
                                    "a",
                                    "A",
                                    "b",
                                    "7",
                                    "07",
                                    "007",
                                    "0x7",
                                    "0X7",
                                    "0d7",
                                    "0b111",
                                    "0o7",
                                    "8",
                                    "10",
                                    "010",
                                    "0x10",
                                    "16",
                                    "4294967297",
                                    "1",
                                    "0",
                                    "00",
                                    "0x",
                                    "0xg",
                                    "0g",
                                    "file9",
                                    "File10",
                                    "file010",
                                    "file.txt",
                                    "file_a",
                                    "file a",
                                    "file/a",
                                    "file\\a",
                                    "FILE\\A",
                                    "a.b",
                                    "a_b",
                                    "a0b",
                                    "a/b",
                                    "A\\B",
                                    "\xC4rger",
                                    "Arger",
                                    "\xE4rger",
                                    "arger",
                                    "\xE9t\xE9",
                                    "ETE",
                                    "Ete",
                                    "\xDF",
                                    "s",
                                    "\xFE",
                                    "\xDE",
                                    "\xD7",
                                    "\xF7",
                                    "x2",
                                    "x10",
                                    "x02",
                                    "x2.5",
                                    "x2_5",
                                    "x2/5",
                                    "v1.2.10",
                                    "v1.2.9",
                                    "v1.10.0",
                                    "Software",
                                    "SOFTWARE",
                                    "Soft_ware",
                                    "Microsoft\\Windows",
                                    "Microsoft.Windows",
                                    "[x]",
                                    "^x",
                                    "`x",
                                    "{x}",
                                    "~x",
                                    "\x7F"};
  const char* stems[] = {"Key", "key", "K\xD6y"};
  const char* numbers[] = {"1", "01", "0x1", "2", "10"};
  const char* tails[] = {"", ".old", "_2", "\\Sub"};
  for (const char* s : stems)
    for (const char* n : numbers)
      for (const char* t : tails) names.push_back(std::string(s) + n + t);
  return names;
}

template <class Compare>
void ExpectConsistentOrder(const std::vector<std::string>& names, Compare compare, const char* what) {
  size_t n = names.size();
  std::vector<int> order(n * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) order[i * n + j] = Sign(compare(names[i], names[j]));
  int faults = 0;
  for (size_t i = 0; i < n && faults < 5; ++i) {
    EXPECT_EQ(order[i * n + i], 0) << what << ": " << names[i];
    for (size_t j = 0; j < n; ++j) {
      if (order[i * n + j] != -order[j * n + i]) {
        ADD_FAILURE() << what << " not antisymmetric: '" << names[i] << "' '" << names[j] << "'";
        ++faults;
      }
      if (order[i * n + j] > 0) continue;
      for (size_t k = 0; k < n; ++k) {
        // i <= j and j <= k must give i <= k, and equality must carry over.
        if (order[j * n + k] > 0) continue;
        int ik = order[i * n + k];
        bool bad = ik > 0 || (order[i * n + j] == 0 && order[j * n + k] == 0 && ik != 0);
        if (bad && faults++ < 5)
          ADD_FAILURE() << what << " not transitive: '" << names[i] << "' '" << names[j] << "' '" << names[k] << "'";
      }
    }
  }
}

}  // namespace

TEST(NaturalCompare, OrdersAsAPersonExpects) {
  struct Case {
    const char* a;
    const char* b;
    int caseless, exact;  // signs
  } cases[] = {
      {"File10", "file9", 1, -1},  // 'F' before 'f' when case counts
      {"file9", "file10", -1, -1},
      {"file010", "file10", -1, -1},  // equal values: the rests decide, '0' first
      {"007", "07", -1, -1},
      {"07", "7", -1, -1},
      {"0x7", "7", -1, -1},
      {"07", "0x7", -1, -1},
      {"0x10", "16", -1, -1},
      {"4294967297", "1", 1, 1},  // wraps at 32 bits: the same value, longer
      {"4294967297", "2", -1, -1},
      {"2147483648", "2147483647", 1, 1},  // values compare unsigned
      {"a.b", "a_b", -1, -1},
      {"file.txt", "file_a", -1, -1},
      {"a_b", "a b", 0, 0},  // '_' counts as a space
      {"a/b", "A\\B", 0, 1},
      {"a/b", "a\\b", 0, 0},
      {"a/b", "a.b", -1, -1},
      {"a.b", "a0b", -1, -1},
      {"\xE9", "E", 0, 1},          // é is e
      {"\xC4rger", "Arger", 0, 0},  // Ä is A
      {"\xC4rger", "arger", 0, -1},
      {"\xDF", "s", 0, 0},
      {"", "a", -1, -1},
      {"", "", 0, 0},
      {"x2", "x10", -1, -1},
      {"x2", "x2a", -1, -1},
      {"v1.2.9", "v1.2.10", -1, -1},
      {"0X7", "0x7", 0, -1},
      {"Soft_ware", "Software", -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareNaturalNoCaseA(c.a, c.b)), c.caseless) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(CompareNaturalNoCaseA(c.b, c.a)), -c.caseless) << c.b << " / " << c.a;
    EXPECT_EQ(Sign(CompareNaturalA(c.a, c.b)), c.exact) << c.a << " / " << c.b;
    WString a = Wide(c.a), b = Wide(c.b);
    EXPECT_EQ(Sign(CompareNaturalNoCaseW(a.c_str(), b.c_str())), c.caseless) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(CompareNaturalW(a.c_str(), b.c_str())), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(CompareNaturalNoCaseNA(c.a, c.b, 100)), c.caseless) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(CompareNaturalNW(a.c_str(), b.c_str(), 100)), c.exact) << c.a << " / " << c.b;
  }
  // Differing characters give the difference of their substitutes.
  EXPECT_EQ(CompareNaturalA("a.b", "a_b"), 1 - 32);
  EXPECT_EQ(CompareNaturalNoCaseA("ab", "a"), 'b');
  EXPECT_EQ(CompareNaturalA("\xFE", "\xFF"), 0xDE - 'y');
}

TEST(NaturalCompare, SortsTheExampleNames) {
  std::vector<std::string> names = {"7", "0x7", "07", "x10", "007", "x2", "x1", "file.txt", "file_a", "File9"};
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNaturalNoCaseA(a.c_str(), b.c_str()) < 0; });
  EXPECT_EQ(names,
            (std::vector<std::string>{"007", "07", "0x7", "7", "file.txt", "file_a", "File9", "x1", "x2", "x10"}));
}

TEST(NaturalCompare, IsAConsistentOrderOnRegistryLikeNames) {
  std::vector<std::string> names = Fixture();
  ExpectConsistentOrder(
      names, [](const std::string& a, const std::string& b) { return CompareNaturalNoCaseA(a.c_str(), b.c_str()); },
      "CompareNaturalNoCaseA");
  ExpectConsistentOrder(
      names, [](const std::string& a, const std::string& b) { return CompareNaturalA(a.c_str(), b.c_str()); },
      "CompareNaturalA");
  ExpectConsistentOrder(
      names,
      [](const std::string& a, const std::string& b) {
        return CompareNaturalNoCaseW(Wide(a.c_str()).c_str(), Wide(b.c_str()).c_str());
      },
      "CompareNaturalNoCaseW");
}

TEST(NaturalCompare, CountedFormsStopAfterNCharacters) {
  EXPECT_EQ(CompareNaturalNA("ab1x", "ab1y", 3), 0);
  EXPECT_LT(CompareNaturalNA("ab1x", "ab1y", 4), 0);
  EXPECT_EQ(CompareNaturalNA("a10b", "a10c", 3), 0);  // the number's digits count against n
  EXPECT_LT(CompareNaturalNA("a10b", "a10c", 4), 0);
  EXPECT_GT(CompareNaturalNA("a10", "a9", 3), 0);
  EXPECT_LT(CompareNaturalNA("a19", "a100", 4), 0);
  EXPECT_GT(CompareNaturalNA("a19", "a100", 3), 0);  // 19 against 10
  EXPECT_EQ(CompareNaturalNA("a19", "a100", 2), 0);
  EXPECT_EQ(CompareNaturalNA("a", "b", 0), 0);
  EXPECT_EQ(CompareNaturalNA("a", "b", -4), 0);
  // Only the counted characters of a number are read.
  EXPECT_EQ(CompareNaturalNA("x123", "x124", 3), 0);
  EXPECT_EQ(CompareNaturalNoCaseNA("FILE12", "file13", 5), 0);
  EXPECT_LT(CompareNaturalNoCaseNA("FILE12", "file13", 6), 0);
  // The rests after numbers of different lengths are compared within the count.
  EXPECT_LT(CompareNaturalNA("x07", "x7a", 3), 0);
  EXPECT_EQ(CompareNaturalNoCaseNA("X0x1", "x0X1b", 4), 0);

  WString a = Wide("a10b"), b = Wide("a10c");
  EXPECT_EQ(CompareNaturalNW(a.c_str(), b.c_str(), 3), 0);
  EXPECT_LT(CompareNaturalNoCaseNW(a.c_str(), b.c_str(), 4), 0);
}

TEST(NaturalCompare, SixteenBitCharactersAbove255) {
  const wchar_t upper[] = {0x416, 'a', 0}, lower[] = {0x436, 'a', 0}, latin[] = {0xE4, 0};
  EXPECT_EQ(CompareNaturalNoCaseW(upper, lower), 0);  // bit 0x20 set on both
  EXPECT_LT(CompareNaturalW(upper, lower), 0);
  EXPECT_EQ(CompareNaturalW(upper, latin), 0x416 - 'a');  // no substitute above 255
  const wchar_t dash[] = {'a', 0x2013, 0}, dot[] = {'a', '.', 0};
  EXPECT_GT(CompareNaturalW(dash, dot), 0);
}

TEST(PathCompare, SlashesAreOneAndSortLowest) {
  struct Case {
    const char* a;
    const char* b;
    int n, exact, caseless;
  } cases[] = {
      {"C:\\Dir", "c:/dir", 6, -1, 0}, {"a.b", "a0b", 3, -1, -1}, {"a", "a/b", 9, -1, -1},   {"a/b", "a", 9, 1, 1},
      {"a/b", "a.b", 9, -1, -1},       {"a\\b", "a/b", 9, 0, 0},  {"a/b", "a!b", 9, -1, -1}, {"ab", "ac", 1, 0, 0},
      {"ab", "ab", 9, 0, 0},           {"x", "y", 0, 0, 0},       {"[", "a", 1, -1, -1},  // only letters fold
      {"\xC4", "\xE4", 1, -1, -1},
  };
  for (const Case& c : cases) {
    WString a = Wide(c.a), b = Wide(c.b);
    EXPECT_EQ(Sign(ComparePathsNA(c.a, c.b, c.n)), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(ComparePathsNoCaseNA(c.a, c.b, c.n)), c.caseless) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(ComparePathsNW(a.c_str(), b.c_str(), c.n)), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(ComparePathsNoCaseNW(a.c_str(), b.c_str(), c.n)), c.caseless) << c.a << " / " << c.b;
  }
  EXPECT_EQ(ComparePathsNA("a/b", "a.b", 3), -1);
  EXPECT_EQ(ComparePathsNA("aB", "ab", 2), 'B' - 'b');
  EXPECT_EQ(ComparePathsNoCaseNA("HKLM\\Software\\x", "hklm/software/y", 14), 0);
}

TEST(MixedCompare, SixteenBitAgainstEightBit) {
  const wchar_t abc[] = {'a', 'b', 'c', 0};
  EXPECT_EQ(CompareMixedN(abc, "abd", 3), -1);
  EXPECT_EQ(CompareMixedN(abc, "abd", 2), 0);
  EXPECT_EQ(CompareMixedN(abc, "abc", 9), 0);  // stops at the common NUL
  EXPECT_EQ(CompareMixedN(abc, "ab", 9), 'c');
  EXPECT_EQ(CompareMixedN(abc, "abd", 0), 0);
  const wchar_t high[] = {0x416, 0}, latin[] = {0xE4, 0};
  EXPECT_EQ(CompareMixedN(high, "\xE4", 1), 0x416 - 0xE4);
  EXPECT_EQ(CompareMixedN(latin, "\xE4", 1), 0);  // the byte is unsigned
  const wchar_t upper[] = {'A', 'B', '[', 0};
  EXPECT_EQ(CompareMixedNoCaseN(upper, "ab[", 3), 0);
  EXPECT_EQ(CompareMixedNoCaseN(upper, "abc", 3), '[' - 'c');
  EXPECT_NE(CompareMixedN(upper, "ab[", 3), 0);
}
