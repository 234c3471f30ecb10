// CTextList joins: multi-strings, separated text, CString and lines.
#include "base/cstring.h"
#include "text/textlist/textlist.h"

namespace {

// What a negative maxSize allows: 256 MiB.
constexpr size_t kNoMaxSize = size_t{1} << 28;

// The joins clamp to with a signed compare: a negative to is an empty range.
bool JoinRange(const CTextList& list, int& from, int& to) {
  if (from < 0) from = 0;
  if (to > list.count) to = list.count;
  return from < to;
}

// Bytes of the texts of a range, each followed by the separator or a NUL,
// plus the final NUL of a multi-string (separator NUL).
size_t JoinedSize(const CTextList& list, int from, int to, char separator) {
  size_t size = separator ? 0 : 1;
  for (int i = from; i < to; ++i) size += list.LengthAt(i) + 1;
  return size;
}

// Writes the joined texts (JoinedSize bytes): with a separator other than NUL
// the last separator becomes the terminator.
void WriteJoined(const CTextList& list, int from, int to, char separator, char* out) {
  for (int i = from; i < to; ++i) {
    unsigned n = list.LengthAt(i);
    std::memcpy(out, list.TextAt(i), n);
    out += n;
    *out++ = separator;
  }
  if (separator)
    out[-1] = 0;
  else
    *out = 0;
}

}  // namespace

int CTextList::JoinMultiString(int from, int to, char** out) const { return JoinWithSeparator(from, to, out, 0); }

int CTextList::JoinWithSeparator(int from, int to, char** out, char separator) const {
  if (!out) return -1;
  if (!JoinRange(*this, from, to)) {
    *out = new char[2]();
    return separator ? 1 : 2;
  }
  size_t size = JoinedSize(*this, from, to, separator);
  *out = new char[size];
  WriteJoined(*this, from, to, separator, *out);
  return (int)size;
}

// The string holds the joined text without the final terminator, so a
// multi-string keeps its inner NULs and its length is the result less one.
int CTextList::JoinIntoString(int from, int to, CString& str, char separator) const {
  if (!JoinRange(*this, from, to)) {
    if (separator) {
      str.Empty();
      return 0;
    }
    str = CString("", 1);  // one NUL character
    return 1;
  }
  size_t size = JoinedSize(*this, from, to, separator);
  WriteJoined(*this, from, to, separator, str.GetBufferSetLength((int)size - 1));
  str.ReleaseBuffer((int)size - 1);
  return (int)size;
}

int CTextList::JoinLines(int from, int to, char** out, int maxSize, int perLine) const {
  if (!out) return -1;
  const char* eol = "\r\n";
  size_t eolLength = 2;
  int64_t k = perLine ? perLine : 1;
  if (k < 0) {
    k = -k;
    eol = "\n";
    eolLength = 1;
  }
  size_t limit = maxSize < 0 ? kNoMaxSize : (size_t)maxSize;
  size_t total = 1;  // the terminating NUL
  JoinRange(*this, from, to);
  int end = from;
  for (; end < to; ++end) {  // stop before the first item that would not fit
    size_t add = LengthAt(end) + ((end - from + 1) % k == 0 ? eolLength : 0);
    if (total + add > limit) break;
    total += add;
  }
  char* p = *out = new char[total];
  for (int i = from; i < end; ++i) {
    unsigned n = LengthAt(i);
    std::memcpy(p, TextAt(i), n);
    p += n;
    if ((i - from + 1) % k == 0) {
      std::memcpy(p, eol, eolLength);
      p += eolLength;
    }
  }
  *p = 0;
  return (int)(total - 1);
}
