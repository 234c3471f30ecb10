#include "text/web/tags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "guardpage.h"
#include "wide.h"

namespace {

// Both widths; they must agree.
int Find(const char* text, const char* name, int* after, int* end, uint32_t flags) {
  int a = -7, e = -7, aw = -7, ew = -7;
  int n = (int)strlen(text);
  int r = FindTagA(text, n, name, after ? &a : nullptr, end ? &e : nullptr, flags);
  WString w = Wide(text), wn = Wide(name);
  EXPECT_EQ(FindTagW(w.c_str(), n, wn.c_str(), after ? &aw : nullptr, end ? &ew : nullptr, flags), r) << text;
  EXPECT_EQ(aw, a);
  EXPECT_EQ(ew, e);
  if (after) *after = a;
  if (end) *end = e;
  return r;
}

TEST(Tags, SkipToTagEnd) {
  const char* text = "<a b=\"x>y\">rest";
  EXPECT_EQ(SkipToTagEndA((int)strlen(text), text, 0), 11);
  EXPECT_EQ(SkipToTagEndW((int)strlen(text), Wide(text).c_str(), 0), 11);
  EXPECT_EQ(SkipToTagEndA(4, "<ab>", 0), 4);
  EXPECT_EQ(SkipToTagEndA(3, "abc", TAGEND_MUST_OPEN), 0);
  EXPECT_EQ(SkipToTagEndA(3, "<ab", 0), 3);
  EXPECT_EQ(SkipToTagEndA(0, "<a>", 0), 0);
  EXPECT_EQ(SkipToTagEndA(5, "<a\0b>", TAGEND_NUL_ENDS), 2);
  EXPECT_EQ(SkipToTagEndA(7, "<a \"\0\">", TAGEND_NUL_ENDS), 4);
}

TEST(Tags, FindOpeningTag) {
  int after, end;
  const char* text = "<table><td>x</td>";
  EXPECT_EQ(Find(text, "td", &after, nullptr, 0), 7);
  EXPECT_EQ(after, 11);
  EXPECT_EQ(Find(text, "td", &after, &end, 0), 7);
  EXPECT_EQ(end, 17);
  EXPECT_EQ(Find(text, "td", &after, &end, TAGFIND_END_AT_CLOSE), 7);
  EXPECT_EQ(end, 12);
  EXPECT_EQ(Find(text, "td", &after, &end, TAGFIND_END_WITH_LENGTH), 7);
  EXPECT_EQ(end, 17 << 8 | 5);
  EXPECT_EQ(Find("<tdx>", "td", &after, nullptr, 0), -1);
  EXPECT_EQ(after, 5);
  EXPECT_EQ(Find("<TD>", "td", nullptr, nullptr, 0), 0);
  // The character after the name must lie inside the text.
  EXPECT_EQ(Find("<td", "td", nullptr, nullptr, 0), -1);
  EXPECT_EQ(Find("<td ", "tdx", nullptr, nullptr, 2), 0);
  EXPECT_EQ(Find("<td", "", nullptr, nullptr, 0), -1);
  // A quote inside another kind of quote does not end the stretch.
  EXPECT_EQ(Find("<a title=\"it's\"><b>", "b", nullptr, nullptr, 0), 16);
  EXPECT_EQ(Find("<a title='>'><b>", "b", nullptr, nullptr, 0), 13);
  // Self-closing: the end is after the tag itself.
  EXPECT_EQ(Find("<br/><x>", "br", &after, &end, 0), 0);
  EXPECT_EQ(end, 5);
  // No closing tag: the end of the text.
  EXPECT_EQ(Find("<p>abc", "p", &after, &end, 0), 0);
  EXPECT_EQ(end, 6);
  // A NUL ends the text.
  int n = 9;
  EXPECT_EQ(FindTagA("<a>\0<b>xx", n, "b", &after, nullptr, TAGFIND_NUL_ENDS), -1);
  EXPECT_EQ(after, 3);
  // In 16-bit text a unit above 255 goes on with the name.
  WString w = Wide("<td");
  w += (wchar_t)0x4E2D;
  w += Wide(">");
  EXPECT_EQ(FindTagW(w.c_str(), (int)w.size(), Wide("td").c_str(), nullptr, nullptr, 0), -1);
  EXPECT_EQ(FindTagA("<td\xC4>", 5, "td", nullptr, nullptr, 0), 0);
}

TEST(Tags, ClosingAndNesting) {
  int after, end;
  const char* flat = "<div>a</div>b</div>";
  EXPECT_EQ(Find(flat + 5, "div", &after, nullptr, TAGFIND_CLOSING | TAGFIND_NESTED), 1);
  const char* nested = "<div>a<div>b</div></div>";
  EXPECT_EQ(Find(nested + 5, "div", &after, nullptr, TAGFIND_CLOSING | TAGFIND_NESTED), 13);
  EXPECT_EQ(after, 19);
  EXPECT_EQ(Find(nested + 5, "div", &after, &end, TAGFIND_CLOSING), 7);
  EXPECT_EQ(end, 13);
  const char* self = "<div>a<div/>b</div></div>";
  EXPECT_EQ(Find(self + 5, "div", nullptr, nullptr, TAGFIND_CLOSING | TAGFIND_NESTED), 8);
  EXPECT_EQ(Find(nested, "div", &after, &end, 0), 0);
  EXPECT_EQ(end, 24);
  // From before the opening tag, depth -1 finds its own closing tag.
  EXPECT_EQ(Find(nested, "div", nullptr, nullptr, TAGFIND_CLOSING | TAGFIND_NESTED | TAGFIND_DEPTH_MINUS1), 18);
}

TEST(Tags, Attributes) {
  const char* text = "<a HREF='x y' title=z>tail";
  int n = (int)strlen(text), length = -1, after = -1;
  WString w = Wide(text);
  int v = FindTagAttributeA(text, n, "href", &length, &after);
  EXPECT_EQ(std::string(text + v, (size_t)length), "x y");
  EXPECT_EQ(FindTagAttributeW(w.c_str(), n, Wide("href").c_str(), &length, &after), v);
  v = FindTagAttributeA(text, n, "title", &length, &after);
  EXPECT_EQ(std::string(text + v, (size_t)length), "z");
  EXPECT_EQ(after, 22);
  EXPECT_EQ(FindTagAttributeA(text, n, "name", &length, &after), -1);
  EXPECT_EQ(after, 22);
  EXPECT_EQ(length, 0);
  // A value that looks like an attribute is passed over.
  const char* tricky = "<a alt=\"title=no\" x='title=no' title=yes>";
  v = FindTagAttributeA(tricky, (int)strlen(tricky), "title", &length, nullptr);
  EXPECT_EQ(std::string(tricky + v, (size_t)length), "yes");
  // A bare value stops at the tag's end.
  const char* bare = "<a x=y>title=no";
  EXPECT_EQ(FindTagAttributeA(bare, (int)strlen(bare), "title", &length, &after), -1);
  EXPECT_EQ(after, 7);

  char out[32];
  const char* ref = "<a title='&lt;b&gt;'>";
  EXPECT_EQ(GetTagAttributeA(ref, (int)strlen(ref), out, 32, "title"), 3);
  EXPECT_STREQ(out, "<b>");
  wchar_t outW[32];
  EXPECT_EQ(GetTagAttributeW(Wide(ref).c_str(), (int)strlen(ref), outW, 32, Wide("title").c_str()), 3);
  EXPECT_EQ(WString(outW), Wide("<b>"));
  EXPECT_EQ(GetTagAttributeA(ref, (int)strlen(ref), out, 32, "alt"), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(GetTagAttributeA(ref, (int)strlen(ref), out, 3, "title"), 2);
  EXPECT_STREQ(out, "<b");
}

// Nothing past n is read.
TEST(Tags, CountedTextStaysInside) {
  const std::string text = "<div a=\"x\" b='y' c=z><td>q</td></div";
  GuardedBlock guard;
  for (int n = 1; n <= (int)text.size(); ++n) {
    const char* s = guard.AtEnd(text.data(), (size_t)n);
    int after, end, length;
    EXPECT_LE(SkipToTagEndA(n, s, 0), n);
    FindTagA(s, n, "td", &after, &end, 0);
    EXPECT_LE(after, n);
    FindTagA(s, n, "div", &after, &end, TAGFIND_CLOSING | TAGFIND_NESTED);
    EXPECT_LE(after, n);
    FindTagAttributeA(s, n, "c", &length, &after);
    EXPECT_LE(after, n);
  }
}

}  // namespace
