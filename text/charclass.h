// Character classes: the class table and the routines built directly on it.
#pragma once

#include "text/classtable.h"
#include "text/spans.h"
