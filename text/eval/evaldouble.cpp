#include "text/eval/evaldouble.h"

#include <cmath>

#include "text/eval/evalengine.h"
#include "text/numbers/floatscan.h"
#include "text/numbers/intparse.h"
#include "text/twins.h"

namespace {

using namespace evaluator;

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;

inline int64_t ParseInteger(const char* p, int* end) { return ParseInt64A(p, PARSE_MIXED, end); }
inline int64_t ParseInteger(const wchar_t* p, int* end) { return ParseInt64W(p, PARSE_MIXED, end); }
inline int ScanFloat(const char* p, FloatScanInfo* info) {
  return ScanFloatExA(p, 256, FSCAN_SIGN | FSCAN_EXPONENT, info);
}
inline int ScanFloat(const wchar_t* p, FloatScanInfo* info) {
  return ScanFloatExW(p, 256, FSCAN_SIGN | FSCAN_EXPONENT, info);
}
inline double ParseFloat(const char* p, int* length, uint32_t flags) { return ParseDoubleA(p, length, flags); }
inline double ParseFloat(const wchar_t* p, int* length, uint32_t flags) { return ParseDoubleW(p, length, flags); }

// Truncation toward zero into the signed 64-bit range: NaN gives 0 and
// values beyond the range give its nearest end.
inline int64_t ToInt64(double v) {
  if (!(v == v)) return 0;
  if (v >= 9223372036854775808.0) return INT64_MAX;
  if (v < -9223372036854775808.0) return INT64_MIN;
  return (int64_t)v;
}

// A NaN is false.
inline bool IsTrue(double v) { return v < 0 || v > 0; }

enum Function {
  F_PI,
  F_E,
  F_ABS,
  F_ACOS,
  F_ACOT,
  F_ASIN,
  F_ATAN,
  F_CEIL,
  F_COS,
  F_COT,
  F_FLOOR,
  F_LN,
  F_LOG,
  F_ROOT,
  F_ROUND,
  F_SIN,
  F_SQRT,
  F_TAN,
  F_NONE
};
const struct {
  const char* name;
  Function function;
} kNames[] = {{"PI", F_PI},       {"E", F_E},       {"ABS", F_ABS},   {"ACOS", F_ACOS}, {"ACOT", F_ACOT},
              {"ASIN", F_ASIN},   {"ATAN", F_ATAN}, {"CEIL", F_CEIL}, {"COS", F_COS},   {"COT", F_COT},
              {"FLOOR", F_FLOOR}, {"LN", F_LN},     {"LOG", F_LOG},   {"ROOT", F_ROOT}, {"ROUND", F_ROUND},
              {"SIN", F_SIN},     {"SQRT", F_SQRT}, {"TAN", F_TAN}};

// The function whose name is the n letters at p, in either case.
template <class C>
Function FindName(const C* p, int n) {
  for (const auto& entry : kNames) {
    int i = 0;
    while (i < n && entry.name[i] && (CharCode(p[i]) & ~0x20u) == (unsigned char)entry.name[i]) ++i;
    if (i == n && !entry.name[i]) return entry.function;
  }
  return F_NONE;
}

template <class C>
inline bool IsIdentifierChar(C c) {
  return CharCode(c) > 255 || (CharClassTable[CharCode(c)] & (CC_WORD | CC_HIGH));
}

template <class C>
class DoubleForm : public Engine<DoubleForm<C>, C, double> {
  typedef Engine<DoubleForm<C>, C, double> Base;

 public:
  using Base::Base;
  static constexpr bool kPower = true;
  static bool Truth(double v) { return IsTrue(v); }
  void Postfix(unsigned c, double* v) { *v = c == 0xB2 ? *v * *v : *v * *v * *v; }

  bool Combine(Op op, double* a, double b) {
    const double x = *a;
    switch (op) {
      case MUL:
        *a = x * b;
        break;
      case DIV:
      case MOD:
        if (b == 0) {
          if (!this->CheckOnly()) return false;
          b = 1;
        }
        *a = op == DIV ? x / b : fmod(x, b);
        break;
      case ADD:
        *a = x + b;
        break;
      case SUB:
        *a = x - b;
        break;
      case SHL:
      case SHR:
      case AND:
      case OR:
      case XOR: {
        int64_t i = ToInt64(x);
        IntCombine(op, &i, ToInt64(b), false);
        *a = (double)i;
        break;
      }
      case EQ:
        *a = x == b;
        break;
      case NE:
        *a = x != b;
        break;
      case LT:
        *a = x < b;
        break;
      case LE:
        *a = x <= b;
        break;
      case GT:
        *a = x > b;
        break;
      case GE:
        *a = x >= b;
        break;
      case LAND:
        *a = IsTrue(x) && IsTrue(b);
        break;
      case LOR:
        *a = IsTrue(x) || IsTrue(b);
        break;
      case POW:
        *a = pow(x, b);
        break;
    }
    return true;
  }

  const C* Operand(const C* p, double* value) {
    typename Base::Nest nest(this->depth_);
    uint32_t*& status = this->status_;
    p = this->StartOperand(p, value);
    if (!*status) return p;
    const uint32_t before = *status;
    const unsigned c = CharCode(*p);
    switch (c) {
      case '(':
        p = this->Parenthesized(p + 1, value);
        if (!*status) return p;
        break;
      // The unary operators take an expression of a chosen level: -2'2 is
      // -(2'2), ~1 + 2 is ~3, !0 == 1 is !(0 == 1).
      case '+':
      case '-':
        p = this->Expression(p + 1, value, 5);
        if (c == '-') *value = -*value;
        return p;
      case '~':
        p = this->Expression(p + 1, value, 3);
        *value = (double)~ToInt64(*value);
        return p;
      case '!':
        p = this->Expression(p + 1, value, 1);
        *value = IsTrue(*value) ? 0.0 : 1.0;
        return p;
      case '\'':
        p = this->CharLiteral(p, value);
        if (!*status) return p;
        break;
      default: {
        const C* end = nullptr;
        if (CharClassOf(*p) & CC_ALPHA)
          end = Name(p, value);
        else if (c - '0' < 10u || c == '.')
          end = Number(p, value);
        if (end) {
          p = end;
          if (!*status) return p;  // an error inside a function's argument or its domain
          break;
        }
        // Nothing of ours: the callback may know it, and then the status
        // is what it was before the operand.
        *value = 0;
        int used = this->callback_ ? this->callback_(this->context_, p, value) : 0;
        if (used < 1) return this->Fail(p);
        p += twins::LengthBounded(p, used);
        *status = before;
      }
    }
    return this->SkipBlanks(p);
  }

 private:
  // A decimal or exponent literal through the float parser, anything else
  // through the integer parser with its radix forms. Null when none.
  const C* Number(const C* p, double* value) {
    FloatScanInfo info;
    ScanFloat(p, &info);
    int length = 0;
    if (info.fractionStart || info.exponentStart)
      *value = ParseFloat(p, &length, FSCAN_SIGN | FSCAN_EXPONENT | FSCAN_DECIMAL_COMMA);
    else
      *value = (double)ParseInteger(p, &length);
    return length > 0 ? p + length : nullptr;
  }

  // A constant, or a function with its suffix and argument. Null when the
  // letters name none of them.
  const C* Name(const C* p, double* value) {
    int n = 0;
    while (CharClassOf(p[n]) & CC_ALPHA) ++n;
    const Function function = FindName(p, n);
    if (function == F_NONE) return nullptr;
    const C* q = p + n;
    double base = 0;
    bool suffix = false;
    if ((function == F_LOG || function == F_ROOT) && CharCode(*q) - '0' < 10u) {
      int length = 0;
      base = ParseFloat(q, &length, 0);
      q += length;
      suffix = true;
    }
    if ((function == F_ROOT && !suffix) || IsIdentifierChar(*q)) return nullptr;
    if (function == F_PI || function == F_E) {
      *value = function == F_PI ? kPi : kE;
      return q;
    }
    double x = 0;
    q = Operand(q, &x);
    if (*this->status_ && !Apply(function, x, suffix, base, value)) return this->Fail(q);
    return q;
  }

  // False for an argument out of the function's domain; in check-only mode
  // such an argument is replaced and the function computed.
  bool Apply(Function function, double x, bool suffix, double base, double* value) {
    const bool check = this->CheckOnly();
    auto domain = [check](bool outside, double* argument, double replacement) {
      if (outside && check) *argument = replacement;
      return !outside || check;
    };
    double r = 0;
    switch (function) {
      case F_ABS:
        r = fabs(x);
        break;
      case F_ACOS:
      case F_ASIN:
        if (!domain(x < -1 || x > 1, &x, 0)) return false;
        r = function == F_ACOS ? acos(x) : asin(x);
        break;
      case F_ACOT:
        r = kPi / 2 - atan(x);
        break;
      case F_ATAN:
        r = atan(x);
        break;
      case F_CEIL:
        r = ceil(x);
        break;
      case F_COS:
        r = cos(x);
        break;
      case F_COT:
        r = tan(kPi / 2 - x);
        break;
      case F_FLOOR:
        r = floor(x);
        break;
      case F_LN:
        if (!domain(x <= 0, &x, 1)) return false;
        r = log(x);
        break;
      case F_LOG:
        if (suffix && !domain(base == 0, &base, 1)) return false;
        if (!domain(x <= 0, &x, 1)) return false;
        r = suffix ? log(x) / log(base) : log10(x);
        break;
      case F_ROOT:
        if (!domain(base == 0, &base, 1) || !domain(x < 0, &x, 0)) return false;
        r = pow(x, 1 / base);
        break;
      case F_ROUND:
        r = floor(x + 0.5);
        break;
      case F_SIN:
        r = sin(x);
        break;
      case F_SQRT:
        if (!domain(x < 0, &x, 0)) return false;
        r = sqrt(x);
        break;
      case F_TAN:
        r = tan(x);
        break;
      default:
        break;
    }
    *value = r;
    return true;
  }
};

}  // namespace

int EvalExprDoubleA(const char* text, double* value, uint32_t* status, int level,
                    EvalIdentifierFn<char, double> callback, void* context) {
  return DoubleForm<char>::Evaluate(text, value, status, level, callback, context);
}
int EvalExprDoubleW(const wchar_t* text, double* value, uint32_t* status, int level,
                    EvalIdentifierFn<wchar_t, double> callback, void* context) {
  return DoubleForm<wchar_t>::Evaluate(text, value, status, level, callback, context);
}
int EvalOperandDoubleA(const char* text, double* value, uint32_t* status, EvalIdentifierFn<char, double> callback,
                       void* context) {
  return DoubleForm<char>::EvaluateOperand(text, value, status, callback, context);
}
int EvalOperandDoubleW(const wchar_t* text, double* value, uint32_t* status, EvalIdentifierFn<wchar_t, double> callback,
                       void* context) {
  return DoubleForm<wchar_t>::EvaluateOperand(text, value, status, callback, context);
}
