#include "text/eval/evalexpr.h"

#include "text/eval/evalengine.h"
#include "text/numbers/intparse.h"
#include "text/twins.h"

namespace {

using evaluator::Op;

// The integer parser of each width and value type.
inline int32_t ParseNumber(const char* p, uint32_t flags, int* end, int32_t*) { return ParseIntA(p, flags, end); }
inline int32_t ParseNumber(const wchar_t* p, uint32_t flags, int* end, int32_t*) { return ParseIntW(p, flags, end); }
inline int64_t ParseNumber(const char* p, uint32_t flags, int* end, int64_t*) { return ParseInt64A(p, flags, end); }
inline int64_t ParseNumber(const wchar_t* p, uint32_t flags, int* end, int64_t*) { return ParseInt64W(p, flags, end); }

// kExact: a number that does not fit the width is an error, and so is one
// negated beyond the most negative value.
template <class C, class V, bool kExact = false>
class IntForm : public evaluator::Engine<IntForm<C, V, kExact>, C, V> {
  typedef evaluator::Engine<IntForm<C, V, kExact>, C, V> Base;
  typedef typename std::make_unsigned<V>::type U;

 public:
  using Base::Base;
  static constexpr bool kPower = false;
  static bool Truth(V v) { return v != 0; }
  bool Combine(Op op, V* a, V b) { return evaluator::IntCombine(op, a, b, this->CheckOnly()); }
  void Postfix(unsigned, V*) {}

  const C* Operand(const C* p, V* value) {
    typename Base::Nest nest(this->depth_);
    p = this->StartOperand(p, value);
    if (!*this->status_) return p;
    const unsigned c = CharCode(*p);
    switch (c) {
      case '(':
        p = this->Parenthesized(p + 1, value);
        if (!*this->status_) return p;
        break;
      case '+':
      case '-':
      case '~':
      case '!': {
        p = Operand(p + 1, value);
        // Only a number right behind the minus counts; anything else wraps.
        const bool beyondNegative = beyondNegative_;
        beyondNegative_ = false;
        if (kExact && c == '-' && beyondNegative) return this->Fail(p);
        if (c == '-') *value = (V)(0 - (U)*value);
        if (c == '~') *value = ~*value;
        if (c == '!') *value = *value == 0;
        return p;
      }
      case '\'':
        p = this->CharLiteral(p, value);
        if (!*this->status_) return p;
        break;
      default: {
        int used = 0;
        if (this->callback_ && c < 0x100 && !(CharClassOf(*p) & CC_DIGIT)) {
          used = this->callback_(this->context_, p, value);
          if (used > 0) used = twins::LengthBounded(p, used);  // never past the terminator
        }
        if (used < 1) {
          *value = ParseNumber(p, kExact ? PARSE_MIXED | PARSE_EXACT : PARSE_MIXED, &used, value);
          if (used < 1) return this->Fail(p);
          beyondNegative_ = (U)*value > (U)1 << (sizeof(V) * 8 - 1);
          return this->SkipBlanks(p + used);
        }
        p += used;
      }
    }
    beyondNegative_ = false;
    return this->SkipBlanks(p);
  }

 private:
  // The operand just read was a number that fits only as unsigned.
  bool beyondNegative_ = false;
};

}  // namespace

int EvalExprA(const char* text, int32_t* value, uint32_t* status, int level, EvalIdentifierFn<char, int32_t> callback,
              void* context) {
  return IntForm<char, int32_t>::Evaluate(text, value, status, level, callback, context);
}
int EvalExprW(const wchar_t* text, int32_t* value, uint32_t* status, int level,
              EvalIdentifierFn<wchar_t, int32_t> callback, void* context) {
  return IntForm<wchar_t, int32_t>::Evaluate(text, value, status, level, callback, context);
}
int EvalExpr64A(const char* text, int64_t* value, uint32_t* status, int level, EvalIdentifierFn<char, int64_t> callback,
                void* context) {
  return IntForm<char, int64_t>::Evaluate(text, value, status, level, callback, context);
}
int EvalExpr64W(const wchar_t* text, int64_t* value, uint32_t* status, int level,
                EvalIdentifierFn<wchar_t, int64_t> callback, void* context) {
  return IntForm<wchar_t, int64_t>::Evaluate(text, value, status, level, callback, context);
}

int EvalExprExactA(const char* text, int32_t* value, uint32_t* status, int level,
                   EvalIdentifierFn<char, int32_t> callback, void* context) {
  return IntForm<char, int32_t, true>::Evaluate(text, value, status, level, callback, context);
}
int EvalExprExactW(const wchar_t* text, int32_t* value, uint32_t* status, int level,
                   EvalIdentifierFn<wchar_t, int32_t> callback, void* context) {
  return IntForm<wchar_t, int32_t, true>::Evaluate(text, value, status, level, callback, context);
}
int EvalExpr64ExactA(const char* text, int64_t* value, uint32_t* status, int level,
                     EvalIdentifierFn<char, int64_t> callback, void* context) {
  return IntForm<char, int64_t, true>::Evaluate(text, value, status, level, callback, context);
}
int EvalExpr64ExactW(const wchar_t* text, int64_t* value, uint32_t* status, int level,
                     EvalIdentifierFn<wchar_t, int64_t> callback, void* context) {
  return IntForm<wchar_t, int64_t, true>::Evaluate(text, value, status, level, callback, context);
}

int EvalOperandA(const char* text, int32_t* value, uint32_t* status, EvalIdentifierFn<char, int32_t> callback,
                 void* context) {
  return IntForm<char, int32_t>::EvaluateOperand(text, value, status, callback, context);
}
int EvalOperandW(const wchar_t* text, int32_t* value, uint32_t* status, EvalIdentifierFn<wchar_t, int32_t> callback,
                 void* context) {
  return IntForm<wchar_t, int32_t>::EvaluateOperand(text, value, status, callback, context);
}
int EvalOperand64A(const char* text, int64_t* value, uint32_t* status, EvalIdentifierFn<char, int64_t> callback,
                   void* context) {
  return IntForm<char, int64_t>::EvaluateOperand(text, value, status, callback, context);
}
int EvalOperand64W(const wchar_t* text, int64_t* value, uint32_t* status, EvalIdentifierFn<wchar_t, int64_t> callback,
                   void* context) {
  return IntForm<wchar_t, int64_t>::EvaluateOperand(text, value, status, callback, context);
}
