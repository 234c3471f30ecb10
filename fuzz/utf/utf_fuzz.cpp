// The whole-text UTF conversions at every output size: nothing is written
// past the size, the text is terminated whenever the size allows, a cut
// output is a prefix of the full one that ends at a character boundary and
// keeps only the room its form reserves, the counted forms read no further
// than n, and Latin-1 and UTF-16 come back unchanged through UTF-8. Also
// the single-character decoders within a count.
#include <vector>

#include "fuzz_util.h"
#include "text/codecs.h"

namespace {

const int kMaxSource = 160;  // every size is tried, so the work grows with the square

// One conversion: its output unit, the room it keeps spare (the longest
// character) and the sizes that write nothing or only the terminator.
template <class Out>
struct Conversion {
  int (*run)(Out* dst, int size, int* converted);
  int spare;
  int nothingBelow;     // sizes below this write nothing
  int terminatorBelow;  // sizes below this (and from nothingBelow) write only the terminator
  // Whether the output can be split into its characters again: not so for
  // UTF-16 from UTF-8, where a 4-byte sequence above U+10FFFF gives two
  // units that decode as two lone surrogates.
  bool splittable = true;
};

// Runs one conversion at every size from 0 to a few past the full length.
template <class Out>
std::vector<Out> CheckAllSizes(const Conversion<Out>& c, bool countsCharacters) {
  const int big = 4 * kMaxSource + 8;
  Exact<Out> full(big);
  int converted = -1;
  const int length = c.run(full.get(), big, &converted);
  FUZZ_CHECK(length >= 0 && length < big && full[length] == 0);
  // Boundaries of the full output, by decoding it again.
  std::vector<bool> boundary(length + 1, false);
  int characters = 0;
  for (int i = 0; i < length; ++characters) {
    boundary[i] = true;
    unsigned cp;
    if (!c.splittable)
      ++i;
    else if (sizeof(Out) == 2)
      i += DecodeUtf16Char((const wchar_t*)full.get() + i, &cp);
    else if (c.spare == 4)  // UTF-8 output
      i += DecodeUtf8CharN((const char*)full.get() + i, length - i, &cp);
    else
      ++i;
  }
  boundary[length] = true;
  if (countsCharacters) FUZZ_CHECK(converted == characters);

  for (int size = 0; size <= length + c.spare + 2; ++size) {
    Exact<Out> out(size);
    converted = -1;
    const int r = c.run(out.get(), size, &converted);
    if (size < c.nothingBelow) {
      FUZZ_CHECK(r == 0);
      continue;
    }
    FUZZ_CHECK(r >= 0 && r < size && out[r] == 0);
    if (size < c.terminatorBelow) FUZZ_CHECK(r == 0);
    FUZZ_CHECK(r <= length && boundary[r]);
    FUZZ_CHECK(std::memcmp(out.get(), full.get(), r * sizeof(Out)) == 0);
    FUZZ_CHECK(r == length || r >= size - c.spare);  // it stops only for want of room
    if (r > 0 && c.splittable) {                     // and the last character began while there was room
      int last = r - 1;
      while (!boundary[last]) --last;
      FUZZ_CHECK(last < size - c.spare);
    }
  }
  return std::vector<Out>(full.get(), full.get() + length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t form = TakeByte(data, size) % 3;
  if (size > kMaxSource * (form == 2 ? 2 : 1)) size = kMaxSource * (form == 2 ? 2 : 1);
  // Counted sources hold exactly their n units; the others are terminated.
  static Exact<char> bytes(0), terminated(0);
  static Exact<wchar_t> units(0), unitsTerminated(0);
  bytes = Exact<char>((const char*)data, size);
  terminated = Terminated<char>((const char*)data, size);
  const int n = (int)size;
  const int un = (int)(size / 2);
  units = Exact<wchar_t>(un);
  std::memcpy(units.get(), data, un * 2);
  unitsTerminated = Terminated<wchar_t>(units.get(), un);
  const int textLength = (int)strnlen(terminated.get(), size);

  if (form == 0) {  // Latin-1 source
    std::vector<char> utf8 = CheckAllSizes<char>(
        {[](char* d, int s, int* c) { return Latin1ToUtf8NEx(d, bytes.get(), s, c, bytes.len()); }, 4, 4, 0}, true);
    CheckAllSizes<char>({[](char* d, int s, int* c) { return Latin1ToUtf8Ex(d, terminated.get(), s, c); }, 4, 4, 0},
                        true);
    CheckAllSizes<char>({[](char* d, int s, int*) { return Latin1ToUtf8N(d, bytes.get(), s, bytes.len()); }, 4, 4, 0},
                        false);
    std::vector<wchar_t> wide = CheckAllSizes<wchar_t>(
        {[](wchar_t* d, int s, int*) { return Latin1ToUtf16N(d, bytes.get(), s, bytes.len()); }, 1, 2, 0}, false);
    // Back again: the text up to its first NUL, unchanged.
    FUZZ_CHECK((int)wide.size() == textLength);
    Exact<char> back(textLength + 1);
    Exact<char> source(utf8.data(), utf8.size());
    FUZZ_CHECK(Utf8ToLatin1N(back.get(), source.get(), back.len(), source.len()) == textLength);
    FUZZ_CHECK(std::memcmp(back.get(), terminated.get(), textLength) == 0);
    Exact<wchar_t> wideSource(wide.data(), wide.size());
    FUZZ_CHECK(Utf16ToLatin1N(back.get(), wideSource.get(), back.len(), wideSource.len()) == textLength ||
               textLength == 0);
    if (textLength) FUZZ_CHECK(std::memcmp(back.get(), terminated.get(), textLength) == 0);
  } else if (form == 1) {  // UTF-8 source
    CheckAllSizes<char>({[](char* d, int s, int*) { return Utf8ToLatin1N(d, bytes.get(), s, bytes.len()); }, 1, 1, 0},
                        false);
    CheckAllSizes<char>({[](char* d, int s, int*) { return Utf8ToLatin1(d, terminated.get(), s); }, 1, 1, 0}, false);
    CheckAllSizes<wchar_t>(
        {[](wchar_t* d, int s, int*) { return Utf8ToUtf16N(d, bytes.get(), s, bytes.len()); }, 2, 1, 3, false}, false);
    CheckAllSizes<wchar_t>(
        {[](wchar_t* d, int s, int*) { return Utf8ToUtf16(d, terminated.get(), s); }, 2, 1, 3, false}, false);
    // Single characters within the bytes that remain.
    for (int i = 0; i < n;) {
      unsigned cp = 0;
      const int len = DecodeUtf8CharN(bytes.get() + i, n - i, &cp);
      FUZZ_CHECK(len >= 1 && len <= 4 && len <= n - i);
      FUZZ_CHECK(Utf8SequenceLengthN(bytes.get() + i, n - i) == len);
      if (len == 1) FUZZ_CHECK(cp == (unsigned char)bytes[i]);
      i += len;
    }
  } else {  // UTF-16 source
    std::vector<char> utf8 = CheckAllSizes<char>(
        {[](char* d, int s, int* c) { return Utf16ToUtf8NEx(d, units.get(), s, c, units.len()); }, 4, 4, 0}, true);
    CheckAllSizes<char>({[](char* d, int s, int* c) { return Utf16ToUtf8Ex(d, unitsTerminated.get(), s, c); }, 4, 4, 0},
                        true);
    CheckAllSizes<char>({[](char* d, int s, int*) { return Utf16ToLatin1N(d, units.get(), s, units.len()); }, 1, 2, 0},
                        false);
    // Back to UTF-16: the units up to the first zero unit, unchanged.
    int unitLength = 0;
    while (unitLength < un && units[unitLength]) ++unitLength;
    Exact<char> source(utf8.data(), utf8.size());
    Exact<wchar_t> back(unitLength + 3);
    FUZZ_CHECK(Utf8ToUtf16N(back.get(), source.get(), back.len(), source.len()) == unitLength);
    FUZZ_CHECK(std::memcmp(back.get(), units.get(), unitLength * 2) == 0);
  }
  return 0;
}
