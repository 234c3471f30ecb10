// The ring of visited paths, without a pane.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser/pathhistory.h"

namespace {

// The ring's paths from the oldest to the newest, the current one in brackets.
std::string Ring(const PathHistory& h) {
  std::vector<std::string> back;
  for (int n = 1; const char* p = h.Beyond(true, n); ++n) back.insert(back.begin(), p);
  std::string out;
  for (const std::string& p : back) out += p + " ";
  out += std::string("[") + h.Current() + "]";
  for (int n = 1; const char* p = h.Beyond(false, n); ++n) out += std::string(" ") + p;
  return out;
}

PathHistory Filled(std::vector<const char*> paths) {
  PathHistory h;
  for (const char* p : paths) h.Add(p);
  return h;
}

TEST(PathHistory, FirstPathStartsTheRing) {
  PathHistory h;
  EXPECT_EQ(h.Add(""), 0);
  EXPECT_EQ(h.Add(nullptr), 0);
  EXPECT_FALSE(h.Started());
  EXPECT_EQ(h.Count(), 0);
  EXPECT_EQ(h.Beyond(true, 0), nullptr);
  EXPECT_EQ(h.Add("A"), 1);
  EXPECT_EQ(h.Count(), 1);
  EXPECT_FALSE(h.CanBack());
  EXPECT_FALSE(h.CanForward());
  EXPECT_EQ(Ring(h), "[A]");
}

TEST(PathHistory, RefusedRepeats) {
  struct Case {
    std::vector<const char*> paths;
    int back;  // steps back before the add
    const char* add;
    int added;
    const char* ring;
  } cases[] = {
      {{"A", "B"}, 0, "B", 0, "A [B]"},              // the current path
      {{"A", "B"}, 0, "b", 1, "A B [b]"},            // compared exactly
      {{"A", "B"}, 0, "A", 0, "A [B]"},              // the one before the current
      {{"A", "B", "C"}, 1, "A", 0, "A [B] C"},       // back, then where one came from
      {{"A", "B", "C"}, 1, "C", 1, "A B [C]"},       // forward by a new visit: C again, once
      {{"A", "B", "C", "D"}, 2, "E", 1, "A B [E]"},  // what lay ahead is gone
      {{"A"}, 0, "A", 0, "[A]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ring);
    PathHistory h = Filled(c.paths);
    EXPECT_EQ(h.Step(true, c.back), c.back);
    EXPECT_EQ(h.Add(c.add), c.added);
    EXPECT_EQ(Ring(h), c.ring);
    EXPECT_FALSE(h.CanForward() && c.added);
  }
}

TEST(PathHistory, KeepsTheNewestThirtyTwo) {
  PathHistory h;
  for (int i = 0; i < 33; ++i) EXPECT_EQ(h.Add(("k" + std::to_string(i)).c_str()), 1);
  EXPECT_EQ(h.Count(), kTreeWndHistory);
  EXPECT_STREQ(h.Current(), "k32");
  EXPECT_EQ(h.Step(true, 100), 31);
  EXPECT_STREQ(h.Current(), "k1");  // k0 was dropped
  EXPECT_FALSE(h.CanBack());
  EXPECT_TRUE(h.CanForward());
  EXPECT_EQ(h.Step(true, 1), 0);
  EXPECT_STREQ(h.Beyond(false, 31), "k32");
  EXPECT_EQ(h.Beyond(false, 32), nullptr);
  EXPECT_EQ(h.Step(false, 3), 3);
  EXPECT_STREQ(h.Current(), "k4");
  // Round and round: the ring stays 32 long.
  for (int i = 0; i < 100; ++i) h.Add(("r" + std::to_string(i)).c_str());
  EXPECT_EQ(h.Count(), kTreeWndHistory);
  EXPECT_STREQ(h.Beyond(true, 31), "r68");
}

TEST(PathHistory, StartPathReplacesALoneFirstEntry) {
  PathHistory one = Filled({"A"});
  one.RestartIfLoneFirst();
  EXPECT_EQ(one.Add("S"), 1);
  EXPECT_EQ(Ring(one), "[S]");
  PathHistory two = Filled({"A", "B"});
  two.Step(true, 1);
  two.RestartIfLoneFirst();
  EXPECT_EQ(two.Add("S"), 1);
  EXPECT_EQ(Ring(two), "A [S]");
  PathHistory none;
  none.RestartIfLoneFirst();
  EXPECT_EQ(none.Count(), 0);
}

}  // namespace
