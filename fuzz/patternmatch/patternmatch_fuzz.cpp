// MatchPatternNA and MatchPatternNW with pattern and text both fuzzed. The
// input is a flag byte, the pattern, a NUL, and the text (NULs allowed).
// Neither is read past its length; whole mode gives 0 or 1 and length mode a
// length within the text or the failure value; the twins agree on widened
// text; a pattern that spells the text literally matches it, and so does '*'.
#include <string>

#include "fuzz_util.h"
#include "text/patterns.h"

namespace {

const uint32_t kLengthModes = MATCH_PREFIX | MATCH_PREFIX_OR_FAIL;

template <class C>
int Match(const Exact<C>& pattern, const Exact<C>& text, uint32_t flags) {
  if (sizeof(C) == 1)
    return MatchPatternNA((const char*)pattern.get(), pattern.len(), (const char*)text.get(), text.len(), flags);
  return MatchPatternNW((const wchar_t*)pattern.get(), pattern.len(), (const wchar_t*)text.get(), text.len(), flags);
}

// Whole mode and both length modes: the results within their ranges and
// consistent with each other. Returns the whole-mode result.
template <class C>
int CheckModes(const Exact<C>& pattern, const Exact<C>& text, uint32_t flags) {
  flags &= ~kLengthModes;
  int whole = Match(pattern, text, flags);
  FUZZ_CHECK(whole == 0 || whole == 1);
  int prefix = Match(pattern, text, flags | MATCH_PREFIX);
  FUZZ_CHECK(prefix >= 0 && prefix <= text.len());
  int orFail = Match(pattern, text, flags | MATCH_PREFIX_OR_FAIL);
  FUZZ_CHECK(orFail == prefix || (orFail == -1 && prefix == 0));
  return whole;
}

// Whether the 16-bit twin may read the pattern differently: its hex escapes
// keep 12 bits, and the line-end test \q takes bytes as signed.
bool TwinsMayDiffer(const uint8_t* p, size_t n) {
  for (size_t i = 0; i + 1 < n; ++i)
    if (p[i] == '\\' && (p[i + 1] == 'x' || p[i + 1] == 'X' || p[i + 1] == 'q')) return true;
  return false;
}

// Stars, runs and \| may each try every text position for the rest of the
// pattern, first success deciding, so a match costs up to the text length to
// the power of their number. Inputs above a budget are left out so that the
// target spends its time on the contract, not on known slow backtracking.
template <class C>
bool WithinBudget(const C* p, size_t pn, size_t tn) {
  double cost = 1;
  for (size_t i = 0; i < pn; ++i) {
    unsigned c = (unsigned)p[i];
    if (c == '\\' && i + 1 < pn) {
      unsigned x = (unsigned)p[++i];
      if (x < 128 && std::strchr("|#$.+_-(<", (int)x)) cost *= tn + 1;
    } else if (c == '*') {
      cost *= tn + 1;
    }
  }
  return cost <= 1e5;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t flags = TakeByte(data, size) & 0x3F;
  const uint8_t* nul = (const uint8_t*)std::memchr(data, 0, size);
  const size_t patternLength = nul ? (size_t)(nul - data) : size;
  const uint8_t* textData = nul ? nul + 1 : data + size;
  const size_t textLength = data + size - textData;

  if (!WithinBudget(data, patternLength, textLength)) return 0;

  Exact<char> pattern((const char*)data, patternLength), text((const char*)textData, textLength);
  Exact<wchar_t> patternW((const char*)data, patternLength), textW((const char*)textData, textLength);
  int a = CheckModes(pattern, text, flags);
  int w = CheckModes(patternW, textW, flags);
  if (!TwinsMayDiffer(data, patternLength)) {
    FUZZ_CHECK(a == w);
    for (uint32_t mode : {MATCH_PREFIX, MATCH_PREFIX_OR_FAIL})
      FUZZ_CHECK(Match(pattern, text, (flags & ~kLengthModes) | mode) ==
                 Match(patternW, textW, (flags & ~kLengthModes) | mode));
  }

  // The text spelled as a pattern, its '*', '?' and backslashes escaped.
  std::string literal;
  for (size_t i = 0; i < textLength; ++i) {
    char c = (char)textData[i];
    if (c == '*' || c == '?' || c == '\\') literal += '\\';
    literal += c;
  }
  Exact<char> spelled(literal.data(), literal.size());
  const uint32_t plain = flags & (MATCH_IGNORE_CASE | MATCH_NOT_AT_START | MATCH_AFTER_WORD);
  FUZZ_CHECK(Match(spelled, text, plain) == 0);
  FUZZ_CHECK(Match(spelled, text, plain | MATCH_PREFIX_OR_FAIL) == text.len());
  Exact<wchar_t> spelledW(literal.data(), literal.size());
  FUZZ_CHECK(Match(spelledW, textW, plain) == 0);

  Exact<char> star("*", 1);
  FUZZ_CHECK(Match(star, text, plain) == 0);
  FUZZ_CHECK(Match(star, text, plain | MATCH_PREFIX) == text.len());

  // The input as raw 16-bit units, halved into pattern and text.
  const size_t units = size / 2;
  Exact<wchar_t> rawPattern(units / 2), rawText(units - units / 2);
  std::memcpy(rawPattern.get(), data, rawPattern.size() * 2);
  std::memcpy(rawText.get(), data + rawPattern.size() * 2, rawText.size() * 2);
  if (WithinBudget(rawPattern.get(), rawPattern.size(), rawText.size())) CheckModes(rawPattern, rawText, flags);
  return 0;
}
