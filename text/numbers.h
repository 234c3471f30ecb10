// Numbers: integer parsing and formatting, float scanning, SI quantities,
// number lists and bit arrays.
#pragma once

#include "text/numbers/intformat.h"
#include "text/numbers/intparse.h"
#include "text/numbers/bitarray.h"
#include "text/numbers/floatscan.h"
#include "text/numbers/siprefix.h"
#include "text/numbers/numberlist.h"
