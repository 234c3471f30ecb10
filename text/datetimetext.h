// Date and time text for callers outside text/.
#pragma once

#include "text/datetime/datenames.h"
#include "text/datetime/datetimeflags.h"
#include "text/datetime/formatdatetime.h"
#include "text/datetime/parsedatetime.h"
#include "text/datetime/timezones.h"
#include "text/datetime/weekday.h"
