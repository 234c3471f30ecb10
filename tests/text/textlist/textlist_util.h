// Helpers of the CTextList tests: a list's texts as strings, and filling a
// list from strings (inner NULs kept).
#pragma once

#include <string>
#include <vector>

#include "text/textlist/textlist.h"

using TextVec = std::vector<std::string>;

inline TextVec Texts(const CTextList& list) {
  TextVec out;
  for (int i = 0; i < list.count; ++i) out.emplace_back(list.TextAt(i), list.LengthAt(i));
  return out;
}

inline CTextList& Fill(CTextList& list, const TextVec& texts) {
  for (const std::string& t : texts) list.InsertStringLen((int)t.size(), t.data(), -1);
  return list;
}
