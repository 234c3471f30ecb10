// Pattern matching.
#pragma once

#include "text/search/patternmatch.h"
