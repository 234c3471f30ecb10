// The wildcard matchers against the shell's own matcher (shlwapi) on every
// pattern and name of small alphabets. Windows only: the native build leaves
// it out.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/wildcard/wildcard.h"
#include "wide.h"

namespace {

std::vector<std::string> AllStrings(const char* alphabet, int maxLength) {
  std::vector<std::string> out{""};
  for (size_t from = 0, level = 0; (int)level < maxLength; ++level) {
    size_t to = out.size();
    for (size_t i = from; i < to; ++i)
      for (const char* c = alphabet; *c; ++c) out.push_back(out[i] + *c);
    from = to;
  }
  return out;
}

// Where first success and full backtracking agree: one run of stars, or a
// pattern that ends in one.
bool FirstSuccessIsEnough(const std::string& p) {
  if (!p.empty() && p.back() == '*') return true;
  size_t first = p.find('*');
  if (first == std::string::npos) return true;
  size_t end = p.find_first_not_of('*', first);
  return p.find('*', end) == std::string::npos;
}

}  // namespace

TEST(MatchWildcardShell, AgreesWithTheShell) {
  const std::vector<std::string> patterns = AllStrings("ab.?*", 4), names = AllStrings("abAB.", 3);
  std::vector<std::string> listed;
  int compared = 0;
  for (const std::string& p : patterns) {
    if (p.empty()) continue;  // an empty mask matches nothing in the shell
    const bool lone = p == "*.*";
    const uint32_t flags = MATCH_IGNORE_CASE | (lone ? (uint32_t)MATCH_FILE_NAME : 0u);
    const WString pw = Wide(p.c_str());
    for (const std::string& n : names) {
      const WString nw = Wide(n.c_str());
      const bool shell = PathMatchSpecA(n.c_str(), p.c_str()) != FALSE;
      ASSERT_EQ(shell, PathMatchSpecW(nw.c_str(), pw.c_str()) != FALSE) << p << " " << n;
      if (!lone) {
        EXPECT_EQ(MatchWildcardNoCaseA(n.c_str(), p.c_str()) == 0, shell) << "«" << p << "» " << n;
        EXPECT_EQ(MatchWildcardNoCaseW(nw.c_str(), pw.c_str()) == 0, shell) << "W «" << p << "» " << n;
      }
      if (lone || FirstSuccessIsEnough(p)) {
        EXPECT_EQ(MatchWildcardNA(p.data(), (int)p.size(), n.data(), (int)n.size(), flags) == 0, shell)
            << "N «" << p << "» " << n;
        EXPECT_EQ(MatchWildcardNW(pw.data(), (int)pw.size(), nw.data(), (int)nw.size(), flags) == 0, shell)
            << "NW «" << p << "» " << n;
      }
      ++compared;
    }
    if (FirstSuccessIsEnough(p) && p.size() >= 2) listed.push_back(p);
  }
  EXPECT_GT(compared, 50000);

  // Lists of three such patterns, stepping through them.
  for (size_t i = 0; i + 2 < listed.size(); i += 7) {
    const std::string list = listed[i] + ";" + listed[i + 1] + ";" + listed[i + 2];
    const WString lw = Wide(list.c_str());
    for (const std::string& n : names) {
      const bool shell = PathMatchSpecA(n.c_str(), list.c_str()) != FALSE;
      const WString nw = Wide(n.c_str());
      EXPECT_EQ(MatchWildcardListA(n.data(), (int)n.size(), list.c_str(), MATCH_IGNORE_CASE, ';') >= 1, shell)
          << list << " " << n;
      EXPECT_EQ(MatchWildcardListW(nw.data(), (int)nw.size(), lw.c_str(), MATCH_IGNORE_CASE, L';') >= 1, shell)
          << "W " << list << " " << n;
    }
  }
}
