#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "text/charclass.h"
#include "text/expressions.h"
#include "wide.h"

namespace {

const long long kErr = 0x5EEDBEEF;  // value column of an error case (not compared)

struct Case {
  const char* text;
  long long v32, v64;  // kErr: the status must end as 0
  int offset;
};

// Evaluates one case through all four forms at the top level.
void Check(const Case& c, EvalIdentifierFn<char, int32_t> cb32 = nullptr,
           EvalIdentifierFn<char, int64_t> cb64 = nullptr, EvalIdentifierFn<wchar_t, int32_t> cbw32 = nullptr,
           EvalIdentifierFn<wchar_t, int64_t> cbw64 = nullptr) {
  SCOPED_TRACE(testing::Message() << "'" << c.text << "'");
  const WString w = Wide(c.text);
  int32_t a32 = -99, w32 = -99;
  int64_t a64 = -99, w64 = -99;
  uint32_t s[4] = {1, 0, 1, 0};  // both entry states of a fresh word
  EXPECT_EQ(c.offset, EvalExprA(c.text, &a32, &s[0], EVAL_LEVEL_TOP, cb32, nullptr));
  EXPECT_EQ(c.offset, EvalExprW(w.c_str(), &w32, &s[1], EVAL_LEVEL_TOP, cbw32, nullptr));
  EXPECT_EQ(c.offset, EvalExpr64A(c.text, &a64, &s[2], EVAL_LEVEL_TOP, cb64, nullptr));
  EXPECT_EQ(c.offset, EvalExpr64W(w.c_str(), &w64, &s[3], EVAL_LEVEL_TOP, cbw64, nullptr));
  if (c.v32 == kErr) {
    EXPECT_EQ(0u, s[0]);
    EXPECT_EQ(0u, s[1]);
  } else {
    EXPECT_EQ(1u, s[0]);
    EXPECT_EQ(1u, s[1]);
    EXPECT_EQ((int32_t)c.v32, a32);
    EXPECT_EQ((int32_t)c.v32, w32);
  }
  if (c.v64 == kErr) {
    EXPECT_EQ(0u, s[2]);
    EXPECT_EQ(0u, s[3]);
  } else {
    EXPECT_EQ(1u, s[2]);
    EXPECT_EQ(1u, s[3]);
    EXPECT_EQ(c.v64, a64);
    EXPECT_EQ(c.v64, w64);
  }
}

}  // namespace

TEST(EvalExpr, PrecedenceAndAssociativity) {
  const Case cases[] = {
      {"1+2*3", 7, 7, 5},
      {"  5  ", 5, 5, 5},
      {"(2+3) * 4", 20, 20, 9},
      {"2 * (3 + 4) - 5", 9, 9, 15},
      {"3 - 2 - 1", 0, 0, 9},
      {"2 * 3 % 4", 2, 2, 9},
      {"6 & 3 == 2", 1, 1, 10},
      {"1 | 2 ^ 3 & 4", 0, 0, 13},
      {"1 > 2 == 0", 1, 1, 10},
      {"1 < 2 < 3", 1, 1, 9},
      {"3 >= 3 != 0 <= 1", 1, 1, 16},
      {"1 << 2 + 3 * 4", 16384, 16384, 14},
      {"(1 << 2 + 3 * 4)", 16384, 16384, 16},
      {"2 && 3 || 0", 1, 1, 11},
      {"\t7\t-\t2", 5, 5, 6},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EvalExpr, Conditional) {
  const Case cases[] = {
      {"1 + 0 ? 5 : 7", 8, 8, 13},
      {"2 * 0 ? 5 : 7", 14, 14, 13},
      {"1 ? 2 + 3 : 4", 5, 5, 13},
      {"0 ? 2 : 3 + 4", 7, 7, 13},
      {"1 ? 2 : 3 + 4", 2, 2, 13},
      {"(0 ? 2 : 3)", 3, 3, 11},
      {"(1 ? 2 : 3)", 2, 2, 11},
      {"1 ? 0 ? 5 : 6 : 7", 6, 6, 17},
      {"(1 ? 2 : 3) * 2", 4, 4, 15},
      // Both sides of && and || are evaluated; the branch not taken is
      // checked with zero divisors forgiven.
      {"0 && 1/0", kErr, kErr, 8},
      {"0 ? 1/0 : 3", 3, 3, 11},
      {"1 ? 3 : 1/0", 3, 3, 11},
      {"1 ? 3 : 1%0", 3, 3, 11},
      {"0 ? 5 : 1/0", kErr, kErr, 11},
      {"1 ? 1/0 : 5", kErr, kErr, 8},
      // Syntax errors count in either branch.
      {"0 ? 1 $ 2 : 3", kErr, kErr, 6},
      {"0 ? 1 + : 3", kErr, kErr, 8},
      {"1 ? 2 : (3", kErr, kErr, 10},
      {"1 ? 2 : 3 +", kErr, kErr, 11},
      {"1 ? 2 : 3)", kErr, kErr, 9},
      {"1 ? 2 : 3 : 4", kErr, kErr, 10},
      {"1 ? 2", kErr, kErr, 5},
      {"0 ? 2", kErr, kErr, 5},
      {"1 ? 2) : 3", kErr, kErr, 5},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EvalExpr, OperandsAndErrors) {
  const Case cases[] = {
      {"'a'", 97, 97, 3},
      {"'\\n'", 10, 10, 4},
      {"'''", 39, 39, 3},
      {"'\\x41' + 1", 66, 66, 10},
      {"'\xE4'", 0xE4, 0xE4, 3},  // 8-bit characters are unsigned
      {"''", kErr, kErr, 2},
      {"'", kErr, kErr, 1},
      {"'ab'", kErr, kErr, 2},
      {"", kErr, kErr, 0},
      {"   ", kErr, kErr, 3},
      {")", kErr, kErr, 0},
      {"1)", kErr, kErr, 1},
      {"1 + ", kErr, kErr, 4},
      {"1:2", kErr, kErr, 1},
      {"1 = 2", kErr, kErr, 2},
      {"1 ! 2", kErr, kErr, 2},
      {"(1 + 2", kErr, kErr, 6},
      {"2 3", kErr, kErr, 2},
      {"1/0", kErr, kErr, 3},
      {"5 % 0", kErr, kErr, 5},
      {"1\n", kErr, kErr, 1},
      {"1 ~ 2", kErr, kErr, 2},
      {"x", kErr, kErr, 0},
      {"-(3)", -3, -3, 4},
      {"- 3", -3, -3, 3},
      {"--3", 3, 3, 3},
      {"+ 4", 4, 4, 3},
      {"!0", 1, 1, 2},
      {"!5", 0, 0, 2},
      {"~0", -1, -1, 2},
      {"-2 * -3", 6, 6, 7},
      {"0x10 + 10h + 0b11", 35, 35, 17},
      {"16#FF", 255, 255, 5},
      {"-7 % 3", -1, -1, 6},
      {"-7 / 2", -3, -3, 6},
      {"-5 >> 1", -3, -3, 7},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EvalExpr, WidthsWrapAndShift) {
  const Case cases[] = {
      {"4000000000", -294967296, 4000000000LL, 10},
      {"2147483647 + 1", INT_MIN, 2147483648LL, 14},
      {"1 << 33", 2, 8589934592LL, 7},
      {"-1 >> 40", -1, -1, 8},
      {"-2147483648 / -1", INT_MIN, 2147483648LL, 16},
      {"-2147483648 % -1", 0, 0, 16},
      {"0x7fffffffffffffff + 1", 0, LLONG_MIN, 22},
      {"1 << 64", 1, 0, 7},
      {"1 << 70", 64, 0, 7},
      {"-1 >> 70", -1, -1, 8},
      {"1 << 256", 1, 1, 8},
      {"1 << 257", 2, 2, 8},
      {"-9223372036854775808 / -1", 0, LLONG_MIN, 25},
      {"-9223372036854775808 % -1", 0, 0, 25},
      {"65536 * 65536", 0, 4294967296LL, 13},
  };
  for (const Case& c : cases) Check(c);
}

// The exact forms: a number the width cannot hold is an error where the
// plain forms keep its low bits; arithmetic on numbers that fit still wraps.
TEST(EvalExpr, ExactFormsRefuseNumbersThatDoNotFit) {
  struct ExactCase {
    const char* text;
    long long v32, v64;  // kErr: an error
  } cases[] = {
      {"0xFFFFFFFF", -1, 4294967295LL},
      {"-2", -2, -2},
      {"-0x10", -16, -16},
      {"-0x80000000", INT_MIN, -2147483648LL},
      {"0x8000000000000000", kErr, LLONG_MIN},
      {"-0x8000000000000000", kErr, LLONG_MIN},
      {"0x1FFFFFFFF", kErr, 0x1FFFFFFFFLL},
      {"4294967296", kErr, 4294967296LL},
      {"4294967297", kErr, 4294967297LL},
      {"-0xFFFFFFFF", kErr, -4294967295LL},
      {"-(0xFFFFFFFF)", 1, -4294967295LL},
      {"1 + 4294967296", kErr, 4294967297LL},
      {"(4294967296)", kErr, 4294967296LL},
      {"0xFFFFFFFF + 1", 0, 4294967296LL},
      {"-0xFFFFFFFFFFFFFFFF", kErr, kErr},
      {"0x1FFFFFFFFFFFFFFFF", kErr, kErr},
      {"18446744073709551616", kErr, kErr},
      {"99999999999999999999", kErr, kErr},
      {"36893488147419103233", kErr, kErr},
      {"1 ? 2 : 18446744073709551616", kErr, kErr},
  };
  for (const ExactCase& c : cases) {
    SCOPED_TRACE(c.text);
    const WString w = Wide(c.text);
    int32_t a32 = 0, w32 = 0;
    int64_t a64 = 0, w64 = 0;
    uint32_t s[4] = {0, 0, 0, 0};
    EvalExprExactA(c.text, &a32, &s[0]);
    EvalExprExactW(w.c_str(), &w32, &s[1]);
    EvalExpr64ExactA(c.text, &a64, &s[2]);
    EvalExpr64ExactW(w.c_str(), &w64, &s[3]);
    EXPECT_EQ(s[0], c.v32 == kErr ? 0u : 1u);
    EXPECT_EQ(s[1], s[0]);
    EXPECT_EQ(s[2], c.v64 == kErr ? 0u : 1u);
    EXPECT_EQ(s[3], s[2]);
    if (c.v32 != kErr) {
      EXPECT_EQ((int32_t)c.v32, a32);
      EXPECT_EQ((int32_t)c.v32, w32);
    }
    if (c.v64 != kErr) {
      EXPECT_EQ(c.v64, a64);
      EXPECT_EQ(c.v64, w64);
    }
    // The plain forms read every one of them.
    int32_t plain = 0;
    uint32_t status = 0;
    EvalExprA(c.text, &plain, &status);
    EXPECT_EQ(1u, status);
  }
}

TEST(EvalExpr, LevelsEndWhereTheyShould) {
  struct LevelCase {
    const char* text;
    int level;
    bool ok;
    int offset;
    int value;
  };
  const LevelCase cases[] = {
      {"1 + 2) * 3", EVAL_LEVEL_PAREN, true, 5, 3},
      {"1 + 2 : 3", EVAL_LEVEL_PAREN, false, 6, 0},
      {"1 + 2 : 3", EVAL_LEVEL_TRUE_BRANCH, true, 6, 3},
      {"1 + 2) : 3", EVAL_LEVEL_TRUE_BRANCH, false, 5, 0},
      {"2 * 3 + 4", 5, true, 6, 6},  // stops before the looser operator
      {"2 + 3 ) ", 4, true, 6, 5},
      {"2 : 3", 0, true, 2, 2},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.text << "' level " << c.level);
    int32_t v = 0;
    uint32_t status = 1;
    EXPECT_EQ(c.offset, EvalExprA(c.text, &v, &status, c.level));
    EXPECT_EQ(c.ok, status != 0);
    if (c.ok) {
      EXPECT_EQ(c.value, v);
    }
  }
}

TEST(EvalExpr, StatusWord) {
  int32_t v = 0;
  uint32_t status = 0x1234;  // any nonzero word is left as it was
  EvalExprA("1+1", &v, &status);
  EXPECT_EQ(0x1234u, status);
  status = EVAL_CHECK_ONLY;  // check-only: zero divisors count as 1
  EXPECT_EQ(9, EvalExprA("6/0 + 7%0", &v, &status));
  EXPECT_EQ(EVAL_CHECK_ONLY, status);
  EXPECT_EQ(6, v);
  EXPECT_EQ(4, EvalExprA("1 + ", &v, nullptr));  // a private word
  // Operand routine: one operand with the blanks around it.
  status = 1;
  EXPECT_EQ(6, EvalOperandA(" -(2) + 1", &v, &status));
  EXPECT_EQ(-2, v);
  int64_t v64 = 0;
  EXPECT_EQ(4, EvalOperand64W(Wide(" 'x'").c_str(), &v64, &status));
  EXPECT_EQ('x', v64);
  EXPECT_EQ(0, EvalOperandA("*", &v, &status));
  EXPECT_EQ(0u, status);
}

TEST(EvalExpr, WideCharacters) {
  int32_t v = 0;
  uint32_t status = 1;
  const wchar_t euro[] = {L'\'', 0x20AC, L'\'', L'+', L'1', 0};
  EXPECT_EQ(5, EvalExprW(euro, &v, &status));
  EXPECT_EQ(1u, status);
  EXPECT_EQ(0x20AD, v);  // a 16-bit character literal keeps its whole value
  const wchar_t wideOp[] = {L'1', L' ', 0x2212, L' ', L'1', 0};
  EXPECT_EQ(2, EvalExprW(wideOp, &v, &status));
  EXPECT_EQ(0u, status);
}

namespace {

// Names: X is 5, and TWICE(expression) doubles an expression it evaluates
// itself, as the number converter does with its colour functions.
int calls = 0;

int Eval(const char* t, int32_t* v, uint32_t* s, int level, EvalIdentifierFn<char, int32_t> cb) {
  return EvalExprA(t, v, s, level, cb, nullptr);
}
int Eval(const char* t, int64_t* v, uint32_t* s, int level, EvalIdentifierFn<char, int64_t> cb) {
  return EvalExpr64A(t, v, s, level, cb, nullptr);
}
int Eval(const wchar_t* t, int32_t* v, uint32_t* s, int level, EvalIdentifierFn<wchar_t, int32_t> cb) {
  return EvalExprW(t, v, s, level, cb, nullptr);
}
int Eval(const wchar_t* t, int64_t* v, uint32_t* s, int level, EvalIdentifierFn<wchar_t, int64_t> cb) {
  return EvalExpr64W(t, v, s, level, cb, nullptr);
}

template <class C, class V>
int Names(void* context, const C* text, V* value) {
  ++calls;
  if (CharCode(text[0]) == 'X') {
    *value = 5;
    return 1;
  }
  const char kTwice[] = "TWICE(";
  for (int i = 0; kTwice[i]; ++i)
    if (CharCode(text[i]) != (unsigned char)kTwice[i]) return 0;
  uint32_t status = 1;
  V inner = 0;
  int used = Eval(text + 6, &inner, &status, EVAL_LEVEL_PAREN, Names<C, V>);
  if (!status || CharCode(text[6 + used]) != ')') return 0;
  *value = inner * 2;
  return 6 + used + 1;
}

void CheckNames(const Case& c) {
  Check(c, Names<char, int32_t>, Names<char, int64_t>, Names<wchar_t, int32_t>, Names<wchar_t, int64_t>);
}

}  // namespace

TEST(EvalExpr, IdentifierCallback) {
  const Case cases[] = {
      {"X * 2", 10, 10, 5},
      {"2X", kErr, kErr, 1},  // an operand that starts with a digit never reaches the callback
      {"TWICE(X + 1) - 1", 11, 11, 16},
      {"TWICE(TWICE(X))", 20, 20, 15},
      {"TWICE(1 + )", kErr, kErr, 0},
      {"0 ? Y : 3", kErr, kErr, 4},  // unknown names count in the branch not taken
      {"0 ? X / 0 : 3", 3, 3, 13},
  };
  for (const Case& c : cases) CheckNames(c);

  calls = 0;
  int32_t v;
  uint32_t status = 1;
  EXPECT_EQ(0, EvalExprA("", &v, &status, EVAL_LEVEL_TOP, Names<char, int32_t>, nullptr));
  EXPECT_EQ(1, calls);  // also consulted at the end of the text
  EXPECT_EQ(0u, status);
  calls = 0;
  const wchar_t wide[] = {0x0100, 0};
  status = 1;
  EvalExprW(wide, &v, &status, EVAL_LEVEL_TOP, Names<wchar_t, int32_t>, nullptr);
  EXPECT_EQ(0, calls);  // not for a 16-bit character above U+00FF
}

TEST(EvalExpr, OverrunningCallbackStopsAtTheEnd) {
  auto greedy = [](void*, const char*, int32_t* value) {
    *value = 1;
    return 100;
  };
  int32_t v = 0;
  uint32_t status = 1;
  EXPECT_EQ(3, EvalExprA("abc", &v, &status, EVAL_LEVEL_TOP, greedy, nullptr));
  EXPECT_EQ(1u, status);
}

TEST(EvalExpr, DeepNestingIsAnError) {
  for (const char* unit : {"(", "-", "~", "1?", "0?1:"}) {
    SCOPED_TRACE(unit);
    std::string text;
    for (int i = 0; i < 10000; ++i) text += unit;
    text += "1";
    int32_t v = 0;
    uint32_t status = 1;
    int offset = EvalExprA(text.c_str(), &v, &status);
    EXPECT_EQ(0u, status);
    EXPECT_GT(offset, 100);
    EXPECT_LT(offset, (int)text.size() - 1);
    int64_t v64 = 0;
    status = 1;
    EvalExpr64W(Wide(text.c_str()).c_str(), &v64, &status);
    EXPECT_EQ(0u, status);
  }
  // Ordinary depths are fine.
  std::string text = std::string(100, '(') + "7" + std::string(100, ')');
  int32_t v = 0;
  uint32_t status = 1;
  EXPECT_EQ((int)text.size(), EvalExprA(text.c_str(), &v, &status));
  EXPECT_EQ(1u, status);
  EXPECT_EQ(7, v);
  // The bound also holds through a callback that evaluates again.
  std::string names;
  for (int i = 0; i < 5000; ++i) names += "TWICE(";
  names += "1" + std::string(5000, ')');
  status = 1;
  EvalExprA(names.c_str(), &v, &status, EVAL_LEVEL_TOP, Names<char, int32_t>, nullptr);
  EXPECT_EQ(0u, status);
}
