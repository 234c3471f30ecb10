// The formatter's integer, grouped and floating-point conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "format_test_util.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(FormatNumbers, Integers) {
  EXPECT_FMT("-2147483648", "%d", (int)0x80000000);
  EXPECT_FMT("+5", "%+d", 5);
  EXPECT_FMT(" 5", "% d", 5);
  EXPECT_FMT("+5", "%+ d", 5);
  EXPECT_FMT("+5", "% +d", 5);
  EXPECT_FMT("-5", "%+d", -5);
  EXPECT_FMT("4294967295", "%u", -1);
  EXPECT_FMT("", "%.0d", 0);
  EXPECT_FMT("+", "%+.0d", 0);
  EXPECT_FMT("", "%.0b", 0);
  EXPECT_FMT("0", "%b", 0);
  EXPECT_FMT("0", "%d", 0);
  EXPECT_FMT("-1", "%hhd", 0x1FF);
  EXPECT_FMT("255", "%hhu", 0x1FF);
  EXPECT_FMT("65535", "%hu", -1);
  EXPECT_FMT("-1", "%hd", 0xFFFF);
#ifdef __i386__  // where a 64-bit argument fills two 32-bit stack slots
  EXPECT_FMT("1 0", "%jd %d", 1LL) << "j reads 32 bits: the high half is the next argument";
#endif
  EXPECT_FMT("-9223372036854775808", "%I64d", (long long)0x8000000000000000ULL);
  EXPECT_FMT("18446744073709551615", "%llu", -1LL);
  EXPECT_FMT("123456789012", "%qd", 123456789012LL);
  EXPECT_FMT("-1000000000000000000", "%lld", -1000000000000000000LL);
  EXPECT_FMT("00042", "%.5d", 42);
  EXPECT_FMT("-00042", "%.5d", -42);
}

TEST(FormatNumbers, RadixesAndPrefixes) {
  EXPECT_FMT("010", "%#o", 8);
  EXPECT_FMT("010", "%#.3o", 8);
  EXPECT_FMT("00010", "%#.5o", 8);
  EXPECT_FMT("0", "%#o", 0);
  EXPECT_FMT("37777777777", "%o", -1);
  EXPECT_FMT("1777777777777777777777", "%llo", -1LL);
  EXPECT_FMT("0", "%#x", 0);
  EXPECT_FMT("0xff", "%#x", 255);
  EXPECT_FMT("0XFF", "%#X", 255);
  EXPECT_FMT("0Xff", "%+#x", 255);
  EXPECT_FMT("0xFF", "% #X", 255);
  EXPECT_FMT("0x00001234", "%#010x", 0x1234);
  EXPECT_FMT("0b101", "%#b", 5);
  EXPECT_FMT("0B101", "%#B", 5);
  EXPECT_FMT("0b00101", "%#07b", 5);
  EXPECT_FMT("11111111111111111111111111111111", "%b", -1);
  EXPECT_FMT("123456789abcdef0", "%I64x", 0x123456789ABCDEF0LL);
  EXPECT_FMT("DEADBEEF", "%X", 0xDEADBEEF);
  EXPECT_FMT("00001234", "%p", 0x1234);
  EXPECT_FMT("0X00001234", "%#p", 0x1234);
  EXPECT_FMT("0x00001234", "%+#p", 0x1234);
  EXPECT_FMT("  00001234", "%10p", 0x1234);
  EXPECT_FMT("    1234", "%.4p", 0x1234) << "the width is at least 8";
  EXPECT_FMT("00000000DEADBEEF", "%.16I64p", 0xDEADBEEFLL);
}

TEST(FormatNumbers, GroupedIntegers) {
  EXPECT_FMT("1 234 567", "%D", 1234567);
  EXPECT_FMT("1.234.567", "%#D", 1234567);
  EXPECT_FMT("-1 234 567", "%D", -1234567);
  EXPECT_FMT("+123", "%+D", 123);
  EXPECT_FMT("1 234.56", "%.2D", 123456);
  EXPECT_FMT("0.05", "%.2D", 5);
  EXPECT_FMT("-0.05", "%.2D", -5);
  EXPECT_FMT("     1 234", "%10D", 1234);
  EXPECT_FMT("1 234     |", "%-10D|", 1234);
  EXPECT_FMT("00 001 234", "%010D", 1234);
  EXPECT_FMT("0 001 234", "%09D", 1234);
  EXPECT_FMT(" 001 234", "%08D", 1234) << "no separator right after the sign";
  EXPECT_FMT("-0 001 234", "%010D", -1234);
  EXPECT_FMT("0", "%D", 0);
  EXPECT_FMT("+0", "%+D", 0) << "zero keeps its digit behind a sign";
  EXPECT_FMT("0.00", "%.2D", 0);
  EXPECT_FMT("4 294 967 295", "%U", -1);
  EXPECT_FMT("18 446 744 073 709 551 615", "%I64U", -1LL);
  std::string wide = Fmt("%02000D", 1);
  EXPECT_EQ(wide.size(), 2000u) << "the grouped width stops at 1024, the core pads on";
  EXPECT_EQ(wide.substr(wide.size() - 5), "0 001");
}

TEST(FormatNumbers, FixedForm) {
  EXPECT_FMT("1", "%.0f", 1.5) << "halfway rounds down";
  EXPECT_FMT("2", "%.0f", 2.5);
  EXPECT_FMT("3", "%.0f", 2.5000001);
  EXPECT_FMT("0.12", "%.2f", 0.125);
  EXPECT_FMT("2.", "%#.0f", 2.0);
  EXPECT_FMT("-0.000000", "%f", -0.0);
  EXPECT_FMT("3.141593", "%f", 3.14159265);
  EXPECT_FMT("+1.500", "%+.3f", 1.5);
  EXPECT_FMT("  -1.50", "%7.2f", -1.5);
  EXPECT_FMT("-001.50", "%07.2f", -1.5) << "zero padding applies despite the precision";
  EXPECT_FMT("0.100", "%.3f", 0.1);
  EXPECT_FMT("14458374894745.4102", "%.4f", 14458374894745.41015625)
      << "the rounding term is not lost on a large value";
  EXPECT_FMT("123456789012345680.0", "%.1f", 123456789012345678.0);
  EXPECT_FMT("1 234 567.500000", "%F", 1234567.5);
  EXPECT_FMT("1.234.567", "%#.0F", 1234567.0);
  EXPECT_FMT("  1 234.50", "%10.2F", 1234.5);
  std::string big = Fmt("%f", 1e300);
  EXPECT_EQ(big.size(), 301u + 7u);
  EXPECT_EQ(big[0], '1');
  std::string many = Fmt("%.2000f", 1.0);
  EXPECT_EQ(many.size(), 2u + 900u) << "the fixed form stops at 900 digits";
}

TEST(FormatNumbers, InfinityAndNan) {
  // Every character counted is written: the text is filled with '0'.
  EXPECT_FMT("1.#INF000", "%f", kInf);
  EXPECT_FMT("-1.#INF000", "%f", -kInf);
  EXPECT_FMT("1.#NAN000", "%f", kNan);
  EXPECT_FMT("1.#$$$", "%.3e", kInf);
  EXPECT_FMT("1.#$$", "%.2f", kInf);
  EXPECT_FMT("1", "%.0f", kInf);
  EXPECT_FMT("1.", "%#.0e", kInf);
  EXPECT_FMT("1.#INF0", "%.4e", kInf);
  EXPECT_FMT("1.#INF", "%g", kInf);
  EXPECT_FMT("-1.#INF", "%g", -kInf);
  EXPECT_FMT("1.#NAN", "%g", kNan);
  EXPECT_FMT("  1.#INF000", "%11f", kInf);
}

TEST(FormatNumbers, ExponentForm) {
  EXPECT_FMT("0.000000e+000", "%e", 0.0);
  EXPECT_FMT("5.000000e-001", "%e", 0.5);
  EXPECT_FMT("1.234560e+005", "%e", 123456.0);
  EXPECT_FMT("1.234560E+005", "%E", 123456.0);
  EXPECT_FMT("-1.5e+000", "%.1e", -1.5);
  EXPECT_FMT("1e+001", "%.0e", 9.6);
  EXPECT_FMT("1.e+000", "%#.0e", 1.0);
  EXPECT_FMT("1.797693e+308", "%e", 1.7976931348623157e308);
  EXPECT_FMT("4.940656e-324", "%e", 4.9406564584124654e-324);
  EXPECT_FMT("1.000000e-100", "%e", 1e-100);
}

TEST(FormatNumbers, ShortestForm) {
  EXPECT_FMT("2e-005", "%g", 0.00002);
  EXPECT_FMT("0.002", "%g", 0.002);
  EXPECT_FMT("123456", "%g", 123456.0);
  EXPECT_FMT("1.23457e+006", "%g", 1234567.0);
  EXPECT_FMT("0", "%g", 0.0);
  EXPECT_FMT("-0", "%g", -0.0);
  EXPECT_FMT("1.00000", "%#g", 1.0);
  EXPECT_FMT("5e+000", "%.0g", 5.0);
  EXPECT_FMT("0.5", "%g", 0.5);
  EXPECT_FMT("100", "%g", 99.99999999);
  EXPECT_FMT("3.14159", "%g", 3.14159265);
  EXPECT_FMT("1E+010", "%G", 1e10);
  EXPECT_FMT("-2.5", "%g", -2.5);
}

TEST(FormatNumbers, HexFloat) {
  EXPECT_FMT("0x1.000000p+0", "%a", 1.0);
  EXPECT_FMT("0x1.fe0000p+7", "%a", 255.0);
  EXPECT_FMT("0x1p+0", "%.0a", 1.0);
  EXPECT_FMT("0x0.000000p+0", "%a", 0.0);
  EXPECT_FMT("-0X1.800000P-1", "%A", -0.75);
  EXPECT_FMT("0X1.#INF00P+0", "%A", kInf);
  EXPECT_FMT("0x1.#QNAN0p+0", "%a", kNan);
  EXPECT_FMT("0x1.$$p+0", "%.2a", kInf);
  EXPECT_FMT("0x1p+0", "%.0a", kInf);
  EXPECT_FMT("0x0.0000000000001p-1022", "%.13a", 4.9406564584124654e-324);
  EXPECT_FMT("0x1.fffffffffffff000p+1023", "%.16a", 1.7976931348623157e308);
}

}  // namespace
