// Numbers: integer parsing and formatting.
#pragma once

#include "text/intformat.h"
#include "text/intparse.h"
