// Strings: bounded copy, search, case compares, memory helpers, replace and trim,
// natural-order, path and mixed-width compares.
#pragma once

#include "text/bufedit.h"
#include "text/casecompare.h"
#include "text/casefold.h"
#include "text/charsearch.h"
#include "text/memcompare.h"
#include "text/memfill.h"
#include "text/strcopy.h"
#include "text/strsearch.h"
#include "text/replace.h"
#include "text/splice.h"
#include "text/trim.h"
#include "text/mixedcompare.h"
#include "text/naturalcompare.h"
#include "text/pathcompare.h"
