// The path and file-name routines: components, editing, joining, kinds,
// directory creation, sizes, program path, temporary names, PATH search.
#pragma once

#include "system/deletefile.h"
#include "system/filesize.h"
#include "system/pathedit.h"
#include "system/pathjoin.h"
#include "system/pathparts.h"
#include "system/pathsearch.h"
#include "system/pathtype.h"
#include "system/programpath.h"
#include "system/tempname.h"
