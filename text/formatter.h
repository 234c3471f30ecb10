// The library's printf-like formatter: cores, conversions and front ends.
#pragma once

#include "text/format/formatbuffer.h"
#include "text/format/formatconsole.h"
#include "text/format/formatcore.h"
#include "text/format/formatdigits.h"
#include "text/format/formatfile.h"
#include "text/format/formatfloat.h"
#include "text/format/formatgroup.h"
#include "text/format/formatmemory.h"
#include "text/format/formattime.h"
