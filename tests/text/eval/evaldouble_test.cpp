#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "text/expressions.h"
#include "wide.h"

namespace {

const double kPi = 3.141592653589793;
const double kErr = -12345.678;  // value column of an error case

struct Case {
  const char* text;
  double value;  // kErr: the status must end as 0
  int offset;
  double tolerance;  // 0: exact
};

void Check(const Case& c, EvalIdentifierFn<char, double> cbA = nullptr,
           EvalIdentifierFn<wchar_t, double> cbW = nullptr) {
  SCOPED_TRACE(testing::Message() << "'" << c.text << "'");
  const WString w = Wide(c.text);
  double a = -99, b = -99;
  uint32_t sa = 1, sw = 0;
  EXPECT_EQ(c.offset, EvalExprDoubleA(c.text, &a, &sa, EVAL_LEVEL_TOP, cbA, nullptr));
  EXPECT_EQ(c.offset, EvalExprDoubleW(w.c_str(), &b, &sw, EVAL_LEVEL_TOP, cbW, nullptr));
  if (c.value == kErr) {
    EXPECT_EQ(0u, sa);
    EXPECT_EQ(0u, sw);
    return;
  }
  EXPECT_EQ(1u, sa);
  EXPECT_EQ(1u, sw);
  if (c.tolerance == 0) {
    EXPECT_EQ(c.value, a);
    EXPECT_EQ(c.value, b);
  } else {
    EXPECT_NEAR(c.value, a, c.tolerance);
    EXPECT_NEAR(c.value, b, c.tolerance);
  }
}

}  // namespace

TEST(EvalExprDouble, OperatorsAndLiterals) {
  const Case cases[] = {
      {"PI * 2", 6.283185307179586, 6, 0},
      {"E * 2", 5.43656365691809, 5, 0},
      {"pi + e", kPi + 2.718281828459045, 6, 0},
      {"2'10", 1024, 4, 0},
      {"2'3'2", 64, 5, 0},
      {"-2'2", -4, 4, 0},
      {"2'-1", 0.5, 4, 0},
      {"3\xB2", 9, 2, 0},
      {"2\xB3", 8, 2, 0},
      {"2'3\xB2", 64, 4, 0},
      {"2 * 3\xB2", 18, 6, 0},
      {"7 % 2.5", 2.0, 7, 0},
      {"-7 % 2.5", -2.0, 8, 0},
      {"1.5 + 1", 2.5, 7, 0},
      {"0x10 + 0.5", 16.5, 10, 0},
      {"1Fh", 31, 3, 0},
      {".5", 0.5, 2, 0},
      {"1e3", 1000, 3, 0},
      {"2.5e-1 * 4", 1, 10, 0},
      {"'a' + 1", 98, 7, 0},
      {"7 & 3.9", 3, 7, 0},
      {"1 << 3", 8, 6, 0},
      {"-9.9 >> 1", -5, 9, 0},
      {"~1 + 2", -4, 6, 0},
      {"-1 + 2", 1, 6, 0},
      {"!0", 1, 2, 0},
      {"!2", 0, 2, 0},
      {"!0 == 1", 1, 7, 0},
      {"1 < 2", 1, 5, 0},
      {"1 == 2 || 3 >= 2", 1, 16, 0},
      {"(1 ? 2 : 3) * 2", 4, 15, 0},
      {"1 + 0 ? 5 : 7", 8, 13, 0},
      {"0 ? 1/0 : 2", 2, 11, 0},
      {"1e30 & 1", 1, 8, 0},  // beyond the 64-bit range: the nearest end
      {"1/0", kErr, 3, 0},
      {"1 % 0", kErr, 5, 0},
      {"1.", kErr, 1, 0},
      {"1,5", kErr, 1, 0},
      {"2'", kErr, 2, 0},
      {"1 ? 2", kErr, 5, 0},
      {"", kErr, 0, 0},
      {"$", kErr, 0, 0},
      {"1 \xB9", kErr, 2, 0},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EvalExprDouble, NamedFunctions) {
  const double t = 1e-12;
  const Case cases[] = {
      {"SQRT(16)", 4, 8, 0},
      {"SQRT(-1)", kErr, 8, 0},
      {"0 ? SQRT(-1) : 1", 1, 16, 0},
      {"ACOS(2)", kErr, 7, 0},
      {"ASIN(-1.5)", kErr, 10, 0},
      {"0 ? ACOS(2) : 5", 5, 15, 0},
      {"LOG(1000)", 3, 9, t},
      {"LN(E)", 1, 5, t},
      {"LOG2(8)", 3, 7, t},
      {"LOG10 1000", 3, 10, t},
      {"ROOT3(27)", 3, 9, t},
      {"ROOT2.5(32)", 4, 11, t},
      {"ROOT0(5)", kErr, 8, 0},
      {"LOG0(5)", kErr, 7, 0},
      {"0 ? LOG0(5) + ROOT0(5) : 5", 5, 26, 0},
      {"LN(0)", kErr, 5, 0},
      {"LOG(-1)", kErr, 7, 0},
      {"ROOT3(-8)", kErr, 9, 0},
      {"ROOT(4)", kErr, 0, 0},
      {"ROUND(2.5)", 3, 10, 0},
      {"ROUND(-2.5)", -2, 11, 0},
      {"FLOOR(-1.5)", -2, 11, 0},
      {"CEIL(1.2)", 2, 9, 0},
      {"ABS -3", 3, 6, 0},
      {"sin(0)", 0, 6, 0},
      {"Cos(0)", 1, 6, 0},
      {"TAN(PI/4)", 1, 9, t},
      {"COT(PI/4)", 1, 9, t},
      {"ATAN(1)", kPi / 4, 7, 0},
      {"ACOT(1)", kPi / 4, 7, 0},
      {"ASIN(1)", kPi / 2, 7, 0},
      {"SIN 1 + 1", std::sin(1.0) + 1, 9, 0},
      {"SIN(1) * 2", std::sin(1.0) * 2, 10, 0},
      {"SQRT SQRT 16", 2, 12, 0},
      {"SINX(1)", kErr, 0, 0},
      {"SIN2", kErr, 0, 0},
      {"PIE", kErr, 0, 0},
      {"LOG2E", kErr, 0, 0},
      {"SIN", kErr, 3, 0},
      {"SIN(", kErr, 4, 0},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EvalExprDouble, NotANumber) {
  // A NaN is false, and compares unequal to everything.
  struct NanCase {
    const char* text;
    double value;
  };
  const NanCase cases[] = {
      {"(-8)'0.5 == (-8)'0.5", 0}, {"(-8)'0.5 != 1", 1}, {"(-8)'0.5 < 1", 0},  {"(-8)'0.5 >= 1", 0},
      {"((-8)'0.5) ? 1 : 2", 2},   {"!((-8)'0.5)", 1},   {"(-8)'0.5 || 0", 0}, {"(-8)'0.5 | 3", 3},
  };
  for (const NanCase& c : cases) {
    double v = -1;
    uint32_t status = 1;
    EXPECT_EQ((int)std::strlen(c.text), EvalExprDoubleA(c.text, &v, &status)) << c.text;
    EXPECT_EQ(1u, status) << c.text;
    EXPECT_EQ(c.value, v) << c.text;
  }
  double v = 0;
  uint32_t status = 1;
  EvalExprDoubleA("(-8)'0.5", &v, &status);
  EXPECT_TRUE(std::isnan(v));
  EvalExprDoubleA("1e400", &v, &status);  // overflow is not reported
  EXPECT_EQ(1u, status);
  EXPECT_TRUE(std::isinf(v));
}

TEST(EvalExprDouble, OperandRoutine) {
  double v = 0;
  uint32_t status = 1;
  EXPECT_EQ(8, EvalOperandDoubleA(" SIN(0) + 1", &v, &status));
  EXPECT_EQ(0.0, v);
  EXPECT_EQ(6, EvalOperandDoubleW(Wide(" -2'2 ").c_str(), &v, &status));
  EXPECT_EQ(-4.0, v);
  EXPECT_EQ(1u, status);
}

namespace {

// FOO and SINX are 5; GREEDY takes whatever stands at the operand.
template <class C>
int Names(void*, const C* text, double* value) {
  for (const char* name : {"FOO", "SINX"}) {
    int n = (int)std::strlen(name);
    int i = 0;
    while (i < n && text[i] == (C)name[i]) ++i;
    if (i == n) {
      *value = 5;
      return n;
    }
  }
  return 0;
}

template <class C>
int Greedy(void*, const C* text, double* value) {
  *value = 1;
  return text[0] ? 1 : 0;
}

}  // namespace

TEST(EvalExprDouble, IdentifierCallback) {
  const Case named[] = {
      {"SINX * 2", 10, 8, 0},           {"FOO'2 + SIN(0)", 25, 14, 0}, {"SQRT(FOO - 1)", 2, 13, 0},
      {"0 ? FOO / 0 : 3", 3, 15, 0},  // check-only mode survives a name read by the callback
      {"1 ? FOO / 0 : 3", kErr, 12, 0}, {"BAR", kErr, 0, 0},
  };
  for (const Case& c : named) Check(c, Names<char>, Names<wchar_t>);
  const Case greedy[] = {
      {"SQRT(-1)", kErr, 8, 0},  // a domain error stays an error
      {"LOG0(5)", kErr, 7, 0},
      {"$ + 1", 2, 5, 0},
      {"SIN2", kErr, 1, 0},  // the callback takes the S, then 'I' follows an operand
  };
  for (const Case& c : greedy) Check(c, Greedy<char>, Greedy<wchar_t>);
}

TEST(EvalExprDouble, DeepNestingIsAnError) {
  for (const char* unit : {"(", "-", "!", "SIN ", "2'-", "1?"}) {
    SCOPED_TRACE(unit);
    std::string text;
    for (int i = 0; i < 10000; ++i) text += unit;
    text += "1";
    double v = 0;
    uint32_t status = 1;
    int offset = EvalExprDoubleA(text.c_str(), &v, &status);
    EXPECT_EQ(0u, status);
    EXPECT_LT(offset, (int)text.size() - 1);
    status = 1;
    EvalExprDoubleW(Wide(text.c_str()).c_str(), &v, &status);
    EXPECT_EQ(0u, status);
  }
}
