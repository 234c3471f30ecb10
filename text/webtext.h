// Web text (HTML and URL) for callers outside text/.
#pragma once

#include "text/web/htmlentity.h"
#include "text/web/webdecode.h"
#include "text/web/webencode.h"
#include "text/web/spliturl.h"
#include "text/web/tags.h"
