// Integer expression evaluators: numbers in the radix forms of the integer
// parser, character literals, unary and binary C-style operators on levels
// of their own, parentheses, a conditional, and names resolved by a caller's
// callback. Results are signed 32-bit or 64-bit; arithmetic wraps.
//
// Levels, tightest first: * / %;  + -;  << >>;  & | ^;  the six comparisons;
// && || (both sides always evaluated). Each level is left-associative. The
// conditional c ? a : b takes as c what its own level has gathered so far.
#pragma once

#include <cstdint>

// Status word, owned by the caller: 0 is turned into 1 on entry, an error
// turns it into 0, and nothing else changes it. A null pointer means a
// private word.
constexpr uint32_t EVAL_CHECK_ONLY = 0x7549B86A;  // a zero divisor counts as 1 and is no error

// Levels: what ends an evaluation without error besides the end of the text.
constexpr int EVAL_LEVEL_TRUE_BRANCH = -3;  // ':'
constexpr int EVAL_LEVEL_TOP = -2;          // nothing: what callers pass
constexpr int EVAL_LEVEL_PAREN = -1;        // ')'

// Called at an operand (also in a branch that is not taken, and at the end
// of the text) with *value already 0: stores the value of a name and returns
// the characters it used, or returns 0 when no name of its own starts there.
template <class Char, class Value>
using EvalIdentifierFn = int (*)(void* context, const Char* text, Value* value);

// Return the offset where the evaluation stopped: at level
// EVAL_LEVEL_TOP the text's length after success, else the character where
// the error was found. The value is meaningful only while the status is not 0.
int EvalExprA(const char* text, int32_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
              EvalIdentifierFn<char, int32_t> callback = nullptr, void* context = nullptr);
int EvalExprW(const wchar_t* text, int32_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
              EvalIdentifierFn<wchar_t, int32_t> callback = nullptr, void* context = nullptr);
int EvalExpr64A(const char* text, int64_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                EvalIdentifierFn<char, int64_t> callback = nullptr, void* context = nullptr);
int EvalExpr64W(const wchar_t* text, int64_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                EvalIdentifierFn<wchar_t, int64_t> callback = nullptr, void* context = nullptr);

// The same where a value is stored: a number that does not fit the width,
// read as signed or as unsigned, is an error (0x1FFFFFFFF in 32 bits), and so
// is a minus right before a number that fits only as unsigned (-0xFFFFFFFF).
// The arithmetic on numbers that fit still wraps.
int EvalExprExactA(const char* text, int32_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                   EvalIdentifierFn<char, int32_t> callback = nullptr, void* context = nullptr);
int EvalExprExactW(const wchar_t* text, int32_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                   EvalIdentifierFn<wchar_t, int32_t> callback = nullptr, void* context = nullptr);
int EvalExpr64ExactA(const char* text, int64_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                     EvalIdentifierFn<char, int64_t> callback = nullptr, void* context = nullptr);
int EvalExpr64ExactW(const wchar_t* text, int64_t* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                     EvalIdentifierFn<wchar_t, int64_t> callback = nullptr, void* context = nullptr);

// One operand with its unary operators; returns its length including the
// blanks before and after it.
int EvalOperandA(const char* text, int32_t* value, uint32_t* status, EvalIdentifierFn<char, int32_t> callback = nullptr,
                 void* context = nullptr);
int EvalOperandW(const wchar_t* text, int32_t* value, uint32_t* status,
                 EvalIdentifierFn<wchar_t, int32_t> callback = nullptr, void* context = nullptr);
int EvalOperand64A(const char* text, int64_t* value, uint32_t* status,
                   EvalIdentifierFn<char, int64_t> callback = nullptr, void* context = nullptr);
int EvalOperand64W(const wchar_t* text, int64_t* value, uint32_t* status,
                   EvalIdentifierFn<wchar_t, int64_t> callback = nullptr, void* context = nullptr);
