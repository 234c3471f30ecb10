// Expressions: the integer and floating-point evaluators.
#pragma once

#include "text/eval/evalexpr.h"
#include "text/eval/evaldouble.h"
