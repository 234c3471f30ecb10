// Numbers: integer parsing and formatting, float scanning, SI quantities,
// number lists and bit arrays.
#pragma once

#include "text/intformat.h"
#include "text/intparse.h"
#include "text/bitarray.h"
#include "text/floatscan.h"
#include "text/siprefix.h"
#include "text/numberlist.h"
