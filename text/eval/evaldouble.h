// Floating-point expression evaluator: the grammar, levels, status word and
// name callback of the integer evaluators (text/evalexpr.h) over doubles,
// with decimal and exponent literals, the constants PI and E, named
// functions (SIN, LOG2, ROOT3, ...), the power operator "'" (a'b) and the
// postfix square and cube (0xB2, 0xB3). Bitwise operators and shifts work
// on 64-bit integers truncated from the doubles.
#pragma once

#include "text/eval/evalexpr.h"

int EvalExprDoubleA(const char* text, double* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                    EvalIdentifierFn<char, double> callback = nullptr, void* context = nullptr);
int EvalExprDoubleW(const wchar_t* text, double* value, uint32_t* status, int level = EVAL_LEVEL_TOP,
                    EvalIdentifierFn<wchar_t, double> callback = nullptr, void* context = nullptr);

int EvalOperandDoubleA(const char* text, double* value, uint32_t* status,
                       EvalIdentifierFn<char, double> callback = nullptr, void* context = nullptr);
int EvalOperandDoubleW(const wchar_t* text, double* value, uint32_t* status,
                       EvalIdentifierFn<wchar_t, double> callback = nullptr, void* context = nullptr);
