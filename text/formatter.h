// The library's printf-like formatter: cores, conversions and front ends.
#pragma once

#include "text/formatbuffer.h"
#include "text/formatconsole.h"
#include "text/formatcore.h"
#include "text/formatdigits.h"
#include "text/formatfile.h"
#include "text/formatfloat.h"
#include "text/formatgroup.h"
#include "text/formatmemory.h"
#include "text/formattime.h"
