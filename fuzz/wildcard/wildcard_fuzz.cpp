// The wildcard matchers with pattern and text fuzzed. The input is a flag
// byte, the pattern, a NUL, and the text. Counted forms read nothing past
// their lengths; whole mode gives 0 or 1 and length mode a length within the
// text or the failure value; the twins agree on widened text; the recursive
// forms agree with the counted one where first success and full
// backtracking cannot differ; a list of the pattern and '*' finds one of them.
#include <string>

#include "fuzz_util.h"
#include "text/wildcard/wildcard.h"

namespace {

template <class C>
int Counted(const Exact<C>& p, const Exact<C>& t, uint32_t flags) {
  if (sizeof(C) == 1) return MatchWildcardNA((const char*)p.get(), p.len(), (const char*)t.get(), t.len(), flags);
  return MatchWildcardNW((const wchar_t*)p.get(), p.len(), (const wchar_t*)t.get(), t.len(), flags);
}

// One run of stars, or a pattern ending in one.
bool FirstSuccessIsEnough(const uint8_t* p, size_t n) {
  if (n && p[n - 1] == '*') return true;
  size_t i = 0;
  while (i < n && p[i] != '*') ++i;
  while (i < n && p[i] == '*') ++i;
  while (i < n && p[i] != '*') ++i;
  return i == n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t flags = TakeByte(data, size) & (MATCH_IGNORE_CASE | MATCH_FILE_NAME);
  const uint8_t* nul = (const uint8_t*)std::memchr(data, 0, size);
  const size_t pn = nul ? (size_t)(nul - data) : size;
  const uint8_t* textData = nul ? nul + 1 : data + size;
  size_t tn = data + size - textData;
  const uint8_t* textNul = (const uint8_t*)std::memchr(textData, 0, tn);
  if (textNul) tn = textNul - textData;  // the recursive forms need terminated text

  Exact<char> p((const char*)data, pn), t((const char*)textData, tn);
  Exact<wchar_t> pw((const char*)data, pn), tw((const char*)textData, tn);
  const int whole = Counted(p, t, flags);
  FUZZ_CHECK(whole == 0 || whole == 1);
  FUZZ_CHECK(Counted(pw, tw, flags) == whole);
  const int len = Counted(p, t, flags | MATCH_PREFIX);
  FUZZ_CHECK(len >= 0 && len <= t.len());
  const int orFail = Counted(p, t, flags | MATCH_PREFIX_OR_FAIL);
  FUZZ_CHECK(orFail == len || (orFail == -1 && len == 0));
  FUZZ_CHECK(Counted(pw, tw, flags | MATCH_PREFIX_OR_FAIL) == orFail);

  Exact<char> pz = Terminated<char>((const char*)data, pn), tz = Terminated<char>((const char*)textData, tn);
  Exact<wchar_t> pwz = Terminated<wchar_t>((const char*)data, pn), twz = Terminated<wchar_t>((const char*)textData, tn);
  const bool nocase = flags & MATCH_IGNORE_CASE;
  const int rec = nocase ? MatchWildcardNoCaseA(tz.get(), pz.get()) : MatchWildcardA(tz.get(), pz.get());
  const int recW = nocase ? MatchWildcardNoCaseW(twz.get(), pwz.get()) : MatchWildcardW(twz.get(), pwz.get());
  FUZZ_CHECK((rec == 0) == (recW == 0));
  if (whole == 0 && !(flags & MATCH_FILE_NAME)) FUZZ_CHECK(rec == 0);  // what first success finds exists
  if (FirstSuccessIsEnough(data, pn) && !(flags & MATCH_FILE_NAME)) FUZZ_CHECK((rec == 0) == (whole == 0));

  // The pattern in a list: it is found first when it matches; '*' behind it
  // takes every name.
  std::string list((const char*)data, pn);
  const bool hasSeparator = list.find(';') != std::string::npos;
  list += ";*";
  Exact<char> l = Terminated<char>(list.data(), list.size());
  const int found = MatchWildcardListA(t.get(), t.len(), l.get(), flags, ';');
  if (!hasSeparator) FUZZ_CHECK(found == (whole == 0 ? 1 : 2));
  FUZZ_CHECK(found >= 1);
  Exact<wchar_t> lw = Terminated<wchar_t>(list.data(), list.size());
  FUZZ_CHECK(MatchWildcardListW(tw.get(), tw.len(), lw.get(), flags, L';') == found);
  return 0;
}
