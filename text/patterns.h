// Pattern matching.
#pragma once

#include "text/patternmatch.h"
