// Attribute byte decoding shared by the attributed-text files.
#pragma once

#include "ui/theme/attrtext.h"

namespace attrtext {
inline int TextBits(UINT flags) { return 5 - (int)((flags & kAttrSplitMask) >> kAttrSplitShift); }
inline int TextIndex(UINT flags, BYTE attr) { return attr & ((1 << TextBits(flags)) - 1); }
inline int BackIndex(UINT flags, BYTE attr) { return (attr & kAttrColorMask) >> TextBits(flags); }
inline int FontOf(BYTE attr) { return (attr & kAttrFontMask) >> kAttrFontShift; }
}  // namespace attrtext
