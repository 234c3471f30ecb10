// The formatter core: grammar, arguments, sink protocol, characters,
// strings, the count conversion and width padding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

struct Recorder {
  std::vector<std::string> calls;
  int accept = -1;  // characters accepted per call; -1 all
};

int RecordingSink(void* context, const char* data, int count) {
  auto* r = static_cast<Recorder*>(context);
  r->calls.emplace_back(data, count);
  return r->accept < 0 ? count : r->accept;
}

std::string Joined(const Recorder& r) {
  std::string all;
  for (const auto& c : r.calls) all += c;
  return all;
}

TEST(FormatCore, SinkProtocol) {
  Recorder empty;
  EXPECT_EQ(FormatToSinkA(&empty, RecordingSink, ""), 0);
  EXPECT_TRUE(empty.calls.empty()) << "an empty format never calls the sink";

  Recorder zero;
  zero.accept = 0;
  EXPECT_EQ(FormatToSinkA(&zero, RecordingSink, "a%db%sc", 12, "xyz"), 0) << "the result is what the sink accepted";
  EXPECT_EQ(Joined(zero), "a12bxyzc") << "all text was still offered";

  // A short sink lowers the result but does not stop the formatting.
  Recorder two;
  two.accept = 2;
  int n = FormatToSinkA(&two, RecordingSink, "%s|%s", "hello", "world");
  EXPECT_EQ(Joined(two), "hello|world");
  EXPECT_EQ(n, 2 * (int)two.calls.size());
}

TEST(FormatCore, LargeOutputIsHandedOutWhole) {
  // Long literal runs, long strings and wide padding all pass the staging area.
  std::string run(3000, 'r'), text(5000, 's');
  Recorder r;
  int n = FormatToSinkA(&r, RecordingSink, (run + "%s%3000d|%-3000c|").c_str(), text.c_str(), 7, 'x');
  std::string want = run + text + std::string(2999, ' ') + "7|x" + std::string(2999, ' ') + "|";
  EXPECT_EQ(Joined(r), want);
  EXPECT_EQ(n, (int)want.size());
  for (const auto& c : r.calls) EXPECT_LE(c.size(), 5000u);

  // Zero padding beyond the staging area keeps the sign in front.
  std::string zeros = Fmt("%05000d", -12);
  ASSERT_EQ(zeros.size(), 5000u);
  EXPECT_EQ(zeros.substr(0, 3), "-00");
  EXPECT_EQ(zeros.substr(4995), "00012");
}

TEST(FormatCore, GrammarAndBadFormats) {
  EXPECT_FMT("-d", "%5-d", 3);
  EXPECT_FMT("y", "%y", 1);
  EXPECT_FMT("y", "%5.2y", 1);
  EXPECT_FMT("ab", "ab%");
  EXPECT_FMT("100%", "%d%%", 100);
  EXPECT_FMT("ld", "%hld", 1) << "a second length letter is no conversion";
  EXPECT_FMT("6x", "%I6x", 1);
  EXPECT_FMT("[]", "[%~d]", 42);
  EXPECT_FMT("[5]", "[%~d%d]", 4, 5) << "the skipped conversion consumed its argument";
  EXPECT_FMT("[abc]", "[%~s]", "abc") << "skip does not apply to strings";
  EXPECT_FMT("[42]", "[%@d]", 42) << "'@' without a letter sets nothing";
  EXPECT_FMT("5", "%-%x", 5) << "the character ending a directive is read again";
  // Characters >= 0x80: dropped with the '%', repeat a flag, end the digits,
  // or end the formatting where the grammar cannot go on.
  EXPECT_FMT("ab",
             "a%\xE4"
             "b");
  EXPECT_FMT("+5",
             "%+\xE4"
             "d",
             5);
  EXPECT_FMT(
      "\xE4"
      "d",
      "%5\xE4"
      "d",
      5);
  EXPECT_FMT("a",
             "a%*\xE4"
             "d|never",
             5, 6);
  EXPECT_FMT("a",
             "a%.\xE4"
             "d|never",
             5);
  EXPECT_FMT("a",
             "a%l\xE4"
             "d|never",
             5);
}

TEST(FormatCore, WidthAndPrecisionArguments) {
  EXPECT_FMT("   42", "%*d", 5, 42);
  EXPECT_FMT("42", "%*d", -5, 42) << "a negative width gives no padding";
  EXPECT_FMT("[]", "[%.*s]", -1, "abc") << "a negative precision gives an empty string";
  EXPECT_FMT("  ab", "%*.*s", 4, 2, "abcdef");
  EXPECT_FMT("0042", "%.*d", 4, 42);
  // A precision beyond the staging area is cut to fit it.
  std::string huge = Fmt("%.5000d|", 1);
  EXPECT_GT(huge.size(), 1000u);
  EXPECT_EQ(huge.substr(huge.size() - 3), "01|");
}

TEST(FormatCore, ArgumentLetters) {
  EXPECT_FMT("2 1", "%@Bd %@Ad", 1, 2);
  EXPECT_FMT("2 1", "%@Bd %d", 1, 2);
  EXPECT_FMT("x 7 x", "%@Bs %@Ad %@Bs", 7, "x");
  // Sizes come from the whole format: 64-bit and double arguments are
  // loaded by their real size.
  EXPECT_FMT("2.5 123456789012 z", "%@Bg %@AI64d %@Cs", 123456789012LL, 2.5, "z");
  EXPECT_FMT("c b a", "%@Cs %@Bs %@As", "a", "b", "c");
  EXPECT_FMT("l k", "%@Ls %@Ks", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l");
}

TEST(FormatCore, Characters) {
  EXPECT_FMT("A    ", "%-5c", 'A');
  EXPECT_FMT("0000A", "%05c", 'A');
  EXPECT_FMT("0000A", "%05.2c", 'A') << "zero padding wins over a precision";
  EXPECT_FMT("    A", "%5c", 'A');
  EXPECT_FMT("\xE4", "%c", 0x1E4) << "the low byte";
  EXPECT_FMT("\xE4", "%lc", 0xE4);
  EXPECT_FMT("[]", "[%lc]", 0x416) << "a 16-bit character above 255 writes nothing";
  EXPECT_FMT("[   ]", "[%3C]", 0x416) << "but is still padded";
  EXPECT_FMT("A", "%hC", 0x141);
  EXPECT_FMT(std::string("a\0b", 3), "a%cb", 0);
  // '#' shows control characters; with '+' or blank as C escapes.
  EXPECT_FMT(".", "%#c", 0x07);
  EXPECT_FMT("x", "%#c", 'x');
  EXPECT_FMT("\\a", "%#+c", 0x07);
  EXPECT_FMT("\\r", "%# c", 0x0D);
  EXPECT_FMT("\\x000", "%#+c", 0x00);
  EXPECT_FMT("\\x001", "%#+c", 0x01);
  EXPECT_FMT("\\x00E", "%#+c", 0x0E);
  EXPECT_FMT("\\x01B", "%#+c", 0x1B);
  EXPECT_FMT("\\x01F", "%#+c", 0x1F);
  EXPECT_FMT("\\\\", "%#+c", '\\');
  EXPECT_FMT("q", "%#+c", 'q');
}

TEST(FormatCore, Strings) {
  EXPECT_FMT("abc", "%.3s", "abcdef");
  EXPECT_FMT("ab", "%.3s", "ab");
  EXPECT_FMT("ab...", "%-0.5s", "abcdefgh");
  EXPECT_FMT("abcde", "%-0.5s", "abcde") << "no dots when nothing was cut";
  EXPECT_FMT("..", "%-0.2s", "abcdef");
  EXPECT_FMT("abc...", "%-#6s", "abcdefgh");
  EXPECT_FMT("ab", "%-#2s", "abcdefgh") << "below three no dots";
  EXPECT_FMT("a.b   ", "%-#6s", "a\tb");
  EXPECT_FMT(std::string("a\0b", 3), "%+.3s", "a\0b");
  EXPECT_FMT("(null)", "%s", (const char*)nullptr);
  EXPECT_FMT("  (null)", "%8s", (const char*)nullptr);
  EXPECT_FMT("(null)", "%S", (const wchar_t*)nullptr);
  EXPECT_FMT("  abc", "%5s", "abc");
  EXPECT_FMT("00abc", "%05s", "abc");
  EXPECT_FMT("abc  |", "%-5s|", "abc");
  EXPECT_FMT("\xC4Z", "%S", L"\u00C4\u0416Z") << "16-bit characters above 255 are left out";
  EXPECT_FMT("  \xC4Z|", "%5ls|", L"\u00C4\u0416Z") << "but count for the padding";
  EXPECT_FMT("\xC4\x16Z...", "%-0.6ls", L"\u00C4\u0416Zxyzuvw") << "cut forms write the low byte";
  EXPECT_FMT("x", "%hS", "x");
}

TEST(FormatCore, CountConversion) {
  int at = -1, end = -1;
  EXPECT_FMT("abc12", "abc%n12%n", &at, &end);
  EXPECT_EQ(at, 3);
  EXPECT_EQ(end, 5);
  // The count is what the sink accepted plus what is still staged: a long
  // run goes to the sink at once, and the buffer takes only three of it.
  char small[4];
  FormatToBufferA(small, sizeof small, (std::string(200, 'r') + "%n").c_str(), &at);
  EXPECT_EQ(at, 3);
}

TEST(FormatCore, WidthPadding) {
  EXPECT_FMT("   42", "%5d", 42);
  EXPECT_FMT("42   |", "%-5d|", 42);
  EXPECT_FMT("-0042", "%05d", -42);
  EXPECT_FMT("+0042", "%+05d", 42);
  EXPECT_FMT(" 0042", "% 05d", 42);
  EXPECT_FMT("  042", "%05.3d", 42) << "a precision turns zero padding into blanks";
  EXPECT_FMT("42   |", "%-05d|", 42);
  EXPECT_FMT("0x00001234", "%#010x", 0x1234);
  EXPECT_FMT("    0x0012", "%#010.4x", 0x12) << "blanks go before the prefix";
  EXPECT_FMT("    0x12", "%#8x", 0x12);
  EXPECT_FMT("[]", "[%~#010x]", 0x12) << "skip drops the prefix too";
}

}  // namespace
