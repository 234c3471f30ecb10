// The token scanner and copier. The input is a control byte (escape choice,
// tagged or plain count), the opening character, a count byte, a size byte, a
// class-mask byte and the text. Results lie in 0..n; the copiers consume what
// the scanners measure for a plain count; the copy is the token (quoted:
// without its delimiters) cut at size - 1 and terminated, its length the Ex
// count; nothing past the count is read; the twins agree on widened text.
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "text/classtable.h"
#include "text/tokens/token.h"

namespace {

const char kEscapes[] = {0, '\\', '"', '^'};
const uint32_t kMasks[] = {CC_ALNUM, CC_IDENT, CC_DIGIT | CC_DOT, CC_OTHER | CC_HIGH, CC_NUL | CC_ALPHA};

template <class C>
int Scan(bool byClass, uint32_t mask, const Exact<C>& t, C esc, C open, int n) {
  if (sizeof(C) == 1)
    return byClass ? ScanClassTokenNA(mask, (const char*)t.get(), (char)esc, (char)open, n)
                   : ScanTokenNA((const char*)t.get(), (char)esc, (char)open, n);
  return byClass ? ScanClassTokenNW(mask, (const wchar_t*)t.get(), (wchar_t)esc, (wchar_t)open, n)
                 : ScanTokenNW((const wchar_t*)t.get(), (wchar_t)esc, (wchar_t)open, n);
}

template <class C>
int Copy(bool byClass, uint32_t mask, const Exact<C>& dest, const Exact<C>& t, int* copied, int size, C esc, C open,
         int count) {
  if (sizeof(C) == 1)
    return byClass ? CopyClassTokenExNA(mask, (char*)dest.get(), (const char*)t.get(), copied, size, (char)esc,
                                        (char)open, count)
                   : CopyTokenExNA((char*)dest.get(), (const char*)t.get(), copied, size, (char)esc, (char)open, count);
  return byClass ? CopyClassTokenExNW(mask, (wchar_t*)dest.get(), (const wchar_t*)t.get(), copied, size, (wchar_t)esc,
                                      (wchar_t)open, count)
                 : CopyTokenExNW((wchar_t*)dest.get(), (const wchar_t*)t.get(), copied, size, (wchar_t)esc,
                                 (wchar_t)open, count);
}

template <class C>
int Blanks(const Exact<C>& t, int from, int n) {
  int i = from;
  while (i < n && (t[i] == ' ' || t[i] == '\t')) ++i;
  return i - from;
}

// Checks one width; returns the scan and copy results and the copy for the
// twin comparison.
template <class C>
void Check(bool byClass, uint32_t mask, const Exact<C>& t, C esc, C open, int n, int size, bool tagged,
           std::vector<C>* copy, int* scanned, int* consumed) {
  *scanned = Scan(byClass, mask, t, esc, open, n);
  FUZZ_CHECK(*scanned >= 0 && *scanned <= (n > 0 ? n : 0));
  Exact<C> dest(size > 0 ? size : 1);
  int copied = -1;
  const int count = tagged ? TaggedTokenCount('=', n) : n;
  *consumed = Copy(byClass, mask, dest, t, &copied, size, esc, open, count);
  FUZZ_CHECK(*consumed >= 0 && *consumed <= (n > 0 ? n : 0));
  FUZZ_CHECK(copied >= 0 && copied <= (size > 0 ? size - 1 : 0));
  if (size > 0) FUZZ_CHECK(dest[copied] == 0);
  *copy = size > 0 ? std::vector<C>(dest.get(), dest.get() + copied) : std::vector<C>();
  if (tagged || n < 1) return;

  FUZZ_CHECK(*consumed == *scanned);
  // The token: blanks, then content as the text has it.
  const int b = Blanks(t, 0, n);
  if (b >= n) {
    FUZZ_CHECK(copied == 0);
    return;
  }
  const int tokenLength = *scanned - b;
  const int cap = size > 0 ? size - 1 : 0;
  if (t[b] == open) {
    // Content: the token less the opener and, when it closed, the closer.
    const int most = tokenLength - 1;
    FUZZ_CHECK(copied <= most && (copied == cap || copied >= most - 1));
    for (int i = 0; i < copied; ++i) FUZZ_CHECK(dest[i] == t[b + 1 + i]);
  } else {
    FUZZ_CHECK(copied == (tokenLength < cap ? tokenLength : cap));
    for (int i = 0; i < copied; ++i) FUZZ_CHECK(dest[i] == t[b + i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t control = TakeByte(data, size);
  const char esc = kEscapes[control & 3];
  const bool tagged = (control & 4) != 0;
  const bool byClass = (control & 8) != 0;
  const char open = (char)TakeByte(data, size);
  const int countByte = TakeByte(data, size);
  const int destSize = (int)TakeByte(data, size) % 24 - 1;
  const uint32_t mask = kMasks[TakeByte(data, size) % 5];
  const int n = size ? countByte % ((int)size + 1) : countByte % 3 - 1;  // within the text, or below 1
  Exact<char> t((const char*)data, size);
  Exact<wchar_t> tw((const char*)data, size);
  const wchar_t escW = (wchar_t)(unsigned char)esc, openW = (wchar_t)(unsigned char)open;

  std::vector<char> copy;
  std::vector<wchar_t> copyW;
  int scanned, consumed, scannedW, consumedW;
  Check(byClass, mask, t, esc, open, size ? n : 0, destSize, tagged, &copy, &scanned, &consumed);
  Check(byClass, mask, tw, escW, openW, size ? n : 0, destSize, tagged, &copyW, &scannedW, &consumedW);
  FUZZ_CHECK(scanned == scannedW && consumed == consumedW);
  FUZZ_CHECK(copy.size() == copyW.size());
  for (size_t i = 0; i < copy.size(); ++i) FUZZ_CHECK((wchar_t)(unsigned char)copy[i] == copyW[i]);
  return 0;
}
