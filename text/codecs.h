// Codecs: hex text, UTF-8 and UTF-16, C literals, base64.
#pragma once

#include "text/base64.h"
#include "text/cliteral.h"
#include "text/hexcodec.h"
#include "text/maskedmem.h"
#include "text/utf.h"
