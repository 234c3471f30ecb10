// Strings: bounded copy, search, case compares, memory helpers, replace and trim,
// natural-order, path and mixed-width compares.
#pragma once

#include "text/edit/bufedit.h"
#include "text/compare/casecompare.h"
#include "text/compare/casefold.h"
#include "text/search/charsearch.h"
#include "text/compare/memcompare.h"
#include "text/edit/memfill.h"
#include "text/edit/strcopy.h"
#include "text/search/strsearch.h"
#include "text/edit/replace.h"
#include "text/edit/splice.h"
#include "text/edit/trim.h"
#include "text/compare/mixedcompare.h"
#include "text/compare/naturalcompare.h"
#include "text/compare/pathcompare.h"
