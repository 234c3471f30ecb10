// EvalExprA, EvalExpr64A and EvalExprDoubleA: the offset stays within the
// text (at the top level a success consumes all of it), the status word is
// only ever cleared, the identifier callback is only called inside the text,
// the 16-bit twins agree on widened text, and a value written out as a
// number evaluates to itself.
#include <cmath>
#include <cstdio>
#include <string>

#include "fuzz_util.h"
#include "text/expressions.h"
#include "text/numbers.h"

namespace {

struct Text {
  const void* begin;
  size_t units;
};

// Names are runs of letters and '_'; a name's value is its length.
template <class C, class V>
int Name(void* context, const C* text, V* value) {
  const Text* t = static_cast<const Text*>(context);
  const C* begin = static_cast<const C*>(t->begin);
  FUZZ_CHECK(text >= begin && text <= begin + t->units);
  FUZZ_CHECK(*value == 0);
  int n = 0;
  while ((text[n] >= 'A' && text[n] <= 'Z') || (text[n] >= 'a' && text[n] <= 'z') || text[n] == '_') ++n;
  *value = n;
  return n;
}

template <class V, class C>
int Eval(const C* text, V* value, uint32_t* status, bool names, Text* context);

template <>
int Eval(const char* text, int32_t* value, uint32_t* status, bool names, Text* context) {
  return EvalExprA(text, value, status, EVAL_LEVEL_TOP, names ? Name<char, int32_t> : nullptr, context);
}
template <>
int Eval(const wchar_t* text, int32_t* value, uint32_t* status, bool names, Text* context) {
  return EvalExprW(text, value, status, EVAL_LEVEL_TOP, names ? Name<wchar_t, int32_t> : nullptr, context);
}
template <>
int Eval(const char* text, int64_t* value, uint32_t* status, bool names, Text* context) {
  return EvalExpr64A(text, value, status, EVAL_LEVEL_TOP, names ? Name<char, int64_t> : nullptr, context);
}
template <>
int Eval(const wchar_t* text, int64_t* value, uint32_t* status, bool names, Text* context) {
  return EvalExpr64W(text, value, status, EVAL_LEVEL_TOP, names ? Name<wchar_t, int64_t> : nullptr, context);
}
template <>
int Eval(const char* text, double* value, uint32_t* status, bool names, Text* context) {
  return EvalExprDoubleA(text, value, status, EVAL_LEVEL_TOP, names ? Name<char, double> : nullptr, context);
}
template <>
int Eval(const wchar_t* text, double* value, uint32_t* status, bool names, Text* context) {
  return EvalExprDoubleW(text, value, status, EVAL_LEVEL_TOP, names ? Name<wchar_t, double> : nullptr, context);
}

bool Same(int64_t a, int64_t b) { return a == b; }
bool Same(int32_t a, int32_t b) { return a == b; }
bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The value as a number the evaluator reads: decimal integers, and doubles
// with 17 significant digits (finite ones only).
bool Written(int32_t v, char* out) { return FormatIntA(v, out, FORMAT_SIGNED) > 0; }
bool Written(int64_t v, char* out) { return FormatInt64A(v, out, FORMAT_SIGNED) > 0; }
bool Written(double v, char* out) { return std::isfinite(v) && std::snprintf(out, 80, "%.17g", v) > 0; }

template <class V>
void Check(const Exact<char>& text, const Exact<wchar_t>& wide, int length, uint32_t start, bool names,
           bool sameTwins) {
  Text ctx{text.get(), (size_t)length};
  V value = 0;
  uint32_t status = start;
  const int end = Eval(text.get(), &value, &status, names, &ctx);
  FUZZ_CHECK(end >= 0 && end <= length);
  FUZZ_CHECK(status == 0 || status == (start ? start : 1));
  if (status) FUZZ_CHECK(end == length);

  Text ctxW{wide.get(), (size_t)length};
  V valueW = 0;
  uint32_t statusW = start;
  const int endW = Eval(wide.get(), &valueW, &statusW, names, &ctxW);
  FUZZ_CHECK(endW >= 0 && endW <= length);
  if (sameTwins) {
    FUZZ_CHECK(endW == end && statusW == status);
    if (status) FUZZ_CHECK(Same(valueW, value));
  }

  char digits[80];
  if (status && Written(value, digits)) {  // the value written out evaluates to itself
    V again = 0;
    uint32_t ok = 1;
    Eval(digits, &again, &ok, false, nullptr);
    FUZZ_CHECK(ok == 1 && Same(again, value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t mode = TakeByte(data, size);
  const uint32_t start = mode & 1 ? EVAL_CHECK_ONLY : (mode & 2 ? 1 : 0);
  const bool names = mode & 4;
  Exact<char> text = Terminated<char>((const char*)data, size);
  Exact<wchar_t> wide = Terminated<wchar_t>((const char*)data, size);
  const int length = (int)strnlen(text.get(), size);
  // 16-bit character literals may keep more than the low byte of a hex escape.
  const bool sameTwins = std::string(text.get(), length).find('\'') == std::string::npos;
  Check<int32_t>(text, wide, length, start, names, sameTwins);
  Check<int64_t>(text, wide, length, start, names, sameTwins);
  Check<double>(text, wide, length, start, names, sameTwins);
  return 0;
}
