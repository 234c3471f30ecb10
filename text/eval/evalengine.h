// The grammar the expression evaluators share: the loop over binary
// operators by level, the conditional with its check-only branch, and the
// bound on nesting. A form adds its operand routine and its arithmetic.
#pragma once

#include <cstdint>
#include <type_traits>

#include "text/classtable.h"
#include "text/spans.h"
#include "text/codecs/cliteral.h"
#include "text/eval/evalexpr.h"
#include "text/twins.h"

namespace evaluator {

enum Op { MUL, DIV, MOD, ADD, SUB, SHL, SHR, AND, OR, XOR, EQ, NE, LT, LE, GT, GE, LAND, LOR, POW };
constexpr int kOpLevel[] = {5, 5, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1, 1, 1, 1, 0, 0, 6};
constexpr int kPowerLevel = 6;
constexpr int kFalseBranchLevel = 0;  // takes every operator, ends at ')' and ':'

// Nested operands and expressions of one thread, counted across a callback
// that evaluates again; deeper text is an error, not a stack overflow.
constexpr int kMaxDepth = 600;
inline int& ThreadDepth() {
  static thread_local int depth = 0;
  return depth;
}

// The binary operator at p: its length; 0 when none stands there; -1 for a
// '=' or '!' without '='. The apostrophe is the power operator when the
// form has one.
template <class C>
int ReadOperator(const C* p, bool power, Op* op) {
  const unsigned c = CharCode(p[0]), d = CharCode(p[1]);
  switch (c) {
    case '*':
      *op = MUL;
      return 1;
    case '/':
      *op = DIV;
      return 1;
    case '%':
      *op = MOD;
      return 1;
    case '+':
      *op = ADD;
      return 1;
    case '-':
      *op = SUB;
      return 1;
    case '^':
      *op = XOR;
      return 1;
    case '=':
      *op = EQ;
      return d == '=' ? 2 : -1;
    case '!':
      *op = NE;
      return d == '=' ? 2 : -1;
    case '&':
      *op = d == '&' ? LAND : AND;
      return d == '&' ? 2 : 1;
    case '|':
      *op = d == '|' ? LOR : OR;
      return d == '|' ? 2 : 1;
    case '<':
      *op = d == '<' ? SHL : d == '=' ? LE : LT;
      return d == '<' || d == '=' ? 2 : 1;
    case '>':
      *op = d == '>' ? SHR : d == '=' ? GE : GT;
      return d == '>' || d == '=' ? 2 : 1;
    case '\'':
      *op = POW;
      return power ? 1 : 0;
  }
  return 0;
}

inline unsigned DecodeEscape(const char* p, int* length) { return DecodeCEscapeA(p, length); }
inline unsigned DecodeEscape(const wchar_t* p, int* length) { return DecodeCEscapeW(p, length); }

// Integer arithmetic of the integer forms, also the bitwise operators of the
// floating-point form. Wraps; false for a zero divisor outside check-only.
template <class V>
bool IntCombine(Op op, V* a, V b, bool checkOnly) {
  typedef typename std::make_unsigned<V>::type U;
  constexpr int kBits = sizeof(V) * 8;
  const V x = *a;
  V r = 0;
  switch (op) {
    case MUL:
      r = (V)((U)x * (U)b);
      break;
    case ADD:
      r = (V)((U)x + (U)b);
      break;
    case SUB:
      r = (V)((U)x - (U)b);
      break;
    case DIV:
    case MOD:
      if (b == 0) {
        if (!checkOnly) return false;
        b = 1;
      }
      // The most negative value over -1 would trap: negate instead.
      if (b == -1)
        r = op == DIV ? (V)(0 - (U)x) : 0;
      else
        r = op == DIV ? x / b : x % b;
      break;
    case SHL:
    case SHR: {
      // 32-bit counts are taken modulo 32; 64-bit counts modulo 256, where
      // 64 and more shift everything out.
      const int count = (int)(b & (kBits == 32 ? 31 : 255));
      if (count >= kBits)
        r = op == SHL ? 0 : x < 0 ? -1 : 0;
      else
        r = op == SHL ? (V)((U)x << count) : x >> count;
      break;
    }
    case AND:
      r = x & b;
      break;
    case OR:
      r = x | b;
      break;
    case XOR:
      r = x ^ b;
      break;
    case EQ:
      r = x == b;
      break;
    case NE:
      r = x != b;
      break;
    case LT:
      r = x < b;
      break;
    case LE:
      r = x <= b;
      break;
    case GT:
      r = x > b;
      break;
    case GE:
      r = x >= b;
      break;
    case LAND:
      r = x != 0 && b != 0;
      break;
    case LOR:
      r = x != 0 || b != 0;
      break;
    case POW:
      break;
  }
  *a = r;
  return true;
}

// Form supplies:
//   const C* Operand(const C* p, V* value);   one operand, blanks around it
//   bool Combine(Op op, V* a, V b);          false: a zero divisor
//   static bool Truth(V v);
//   static constexpr bool kPower;            apostrophe, 0xB2 and 0xB3 after an operand
//   void Postfix(unsigned c, V* value);      0xB2 squares, 0xB3 cubes
template <class Form, class C, class V>
class Engine {
 public:
  typedef EvalIdentifierFn<C, V> Callback;

  Engine(uint32_t* status, Callback callback, void* context)
      : status_(status ? status : &own_), callback_(callback), context_(context), depth_(ThreadDepth()) {}

  // The public entries: offsets from the start of the text.
  static int Evaluate(const C* text, V* value, uint32_t* status, int level, Callback callback, void* context) {
    return (int)(Form(status, callback, context).Expression(text, value, level) - text);
  }
  static int EvaluateOperand(const C* text, V* value, uint32_t* status, Callback callback, void* context) {
    return (int)(Form(status, callback, context).Operand(text, value) - text);
  }

  const C* Expression(const C* p, V* value, int level) {
    Nest nest(depth_);
    if (*status_ == 0) *status_ = 1;
    p = form().Operand(p, value);
    while (*status_) {
      const unsigned c = CharCode(*p);
      if (c == 0) return p;
      if (c == '\t' || c == ' ') {
        ++p;
        continue;
      }
      Op op;
      int length = ReadOperator(p, Form::kPower, &op);
      if (length < 0) return Fail(p);
      if (length > 0) {
        if (level > kOpLevel[op]) return p;  // the operator belongs to an enclosing level
        V right = 0;
        p = Expression(p + length, &right, kOpLevel[op] + 1);
        if (*status_ && !form().Combine(op, value, right)) return Fail(p);
        continue;
      }
      if (Form::kPower && (c == 0xB2 || c == 0xB3)) {
        if (level > kPowerLevel) return p;
        form().Postfix(c, value);
        ++p;
        continue;
      }
      switch (c) {
        case '?':
          p = Conditional(p + 1, value);
          continue;
        case ')':
          return level >= EVAL_LEVEL_PAREN ? p : Fail(p);
        case ':':
          return level == EVAL_LEVEL_TRUE_BRANCH || level >= 0 ? p : Fail(p);
      }
      return Fail(p);
    }
    return p;
  }

 protected:
  // Counts one level of nesting while it lives.
  struct Nest {
    int& depth;
    explicit Nest(int& d) : depth(d) { ++depth; }
    ~Nest() { --depth; }
  };

  // Start of an operand: the status rule, a zero value, the blanks before
  // it; too deep a nesting is an error here.
  const C* StartOperand(const C* p, V* value) {
    if (*status_ == 0) *status_ = 1;
    *value = 0;
    p = SkipBlanks(p);
    return depth_ > kMaxDepth ? Fail(p) : p;
  }

  static const C* SkipBlanks(const C* p) { return p + twins::SpanClass(p, CC_TABSPACE); }

  // After '(': an expression up to its ')'.
  const C* Parenthesized(const C* p, V* value) {
    p = Expression(p, value, EVAL_LEVEL_PAREN);
    if (!*status_) return p;
    p = SkipBlanks(p);
    return *p == ')' ? p + 1 : Fail(p);
  }

  bool CheckOnly() const { return *status_ == EVAL_CHECK_ONLY; }

  const C* Fail(const C* p) {
    *status_ = 0;
    return p;
  }

  // The character literal at p (its opening apostrophe). 16-bit text keeps
  // the whole decoded value.
  const C* CharLiteral(const C* p, V* value) {
    ++p;
    if (*p == 0) return Fail(p);
    int length = 0;
    unsigned ch = DecodeEscape(p, &length);
    if (length < 1) return Fail(p);
    p += length;
    if (*p != '\'') return Fail(p);
    *value = (V)ch;
    return p + 1;
  }

  Form& form() { return *static_cast<Form*>(this); }

  uint32_t* status_;
  Callback callback_;
  void* context_;
  int& depth_;

 private:
  // After '?': the branch not taken is still read, in check-only mode, so
  // that its syntax errors count while its zero divisors do not.
  const C* Conditional(const C* p, V* value) {
    V branch = 0;
    if (Form::Truth(*value)) {
      p = Expression(p, &branch, EVAL_LEVEL_TRUE_BRANCH);
      if (!*status_) return p;
      if (*p != ':') return Fail(p);
      *value = branch;
      return CheckBranch(p + 1, kFalseBranchLevel);
    }
    p = CheckBranch(p, EVAL_LEVEL_TRUE_BRANCH);
    if (!*status_) return p;
    if (*p != ':') return Fail(p);
    p = Expression(p + 1, &branch, kFalseBranchLevel);
    *value = branch;
    return p;
  }

  const C* CheckBranch(const C* p, int level) {
    uint32_t check = EVAL_CHECK_ONLY;
    uint32_t* real = status_;
    status_ = &check;
    V ignored = 0;
    p = Expression(p, &ignored, level);
    status_ = real;
    return check ? p : Fail(p);
  }

  uint32_t own_ = 1;
};

}  // namespace evaluator
