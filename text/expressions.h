// Expressions: the integer and floating-point evaluators.
#pragma once

#include "text/evalexpr.h"
#include "text/evaldouble.h"
