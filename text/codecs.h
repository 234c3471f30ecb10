// Codecs: hex text, UTF-8 and UTF-16, C literals, base64.
#pragma once

#include "text/codecs/base64.h"
#include "text/codecs/cliteral.h"
#include "text/codecs/hexcodec.h"
#include "text/codecs/maskedmem.h"
#include "text/codecs/scrambler.h"
#include "text/codecs/utf.h"
