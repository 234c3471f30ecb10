// Reads of CTextList extra-data keys. Item pointers are only 4-byte aligned,
// so 64-bit keys (and keys at odd offsets) are read bytewise.
#pragma once

#include <cstring>

namespace textlist_keys {

template <class T>
T Load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace textlist_keys
