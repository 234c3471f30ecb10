#include "text/edit/replace.h"

#include <cstring>
#include <vector>

#include "text/classtable.h"
#include "text/search/strsearch.h"
#include "text/twins.h"

namespace {

using twins::Length;
using twins::LengthBounded;
// Overlap-safe: when dest is the source, writing never overtakes reading.
using twins::MoveChars;

template <class Char>
int ReplaceAll(Char* dest, const Char* source, const Char* find, const Char* replacement, int size,
               int (*findSubstr)(const Char*, const Char*)) {
  if (size < 1) return 0;
  int limit = size - 1, written = 0;
  int findLength = Length(find), replacementLength = Length(replacement);
  // Writes n characters, or what fits when they reach the limit (false).
  auto put = [&](const Char* text, int n) {
    bool fits = written + n < limit;
    if (!fits) n = limit - written;
    MoveChars(dest + written, text, n);
    written += n;
    return fits;
  };
  // An empty find string would match at every position without moving on.
  for (int p; findLength && (p = findSubstr(source, find)) >= 0; source += p + findLength) {
    if (!put(source, p) || !put(replacement, replacementLength)) {
      dest[limit] = 0;
      return limit;
    }
  }
  int rest = LengthBounded(source, limit - written);
  MoveChars(dest + written, source, rest);
  written += rest;
  dest[written] = 0;
  return written;
}

template <class Char>
int ReplaceAllInPlace(Char* text, const Char* find, const Char* replacement, int size,
                      int (*findSubstr)(const Char*, const Char*)) {
  if (size < 1) return 0;
  if (Length(replacement) <= Length(find)) return ReplaceAll(text, text, find, replacement, size, findSubstr);
  // A longer replacement would overtake the reading position: go through a copy.
  std::vector<Char> temp((size_t)size);
  int length = ReplaceAll(temp.data(), text, find, replacement, size, findSubstr);
  memcpy(text, temp.data(), ((size_t)length + 1) * sizeof(Char));
  return length;
}

// Whether c is oldChar; caseless, letters (and 16-bit characters above 255)
// also match their twin in the other case.
template <class Char>
struct CharMatch {
  unsigned old, twin;
  CharMatch(Char oldChar, bool caseless) : old(CharCode(oldChar)), twin(old) {
    if (caseless && (old > 255 || (CharClassTable[old] & CC_ALPHA))) twin = old ^ 0x20;
  }
  bool operator()(Char c) const { return CharCode(c) == old || CharCode(c) == twin; }
};

template <class Char>
int ReplaceCharCopy(Char* dest, const Char* source, Char oldChar, Char newChar, int size, bool caseless) {
  if (size < 1) return 0;
  CharMatch<Char> match(oldChar, caseless);
  int i = 0;
  for (; i < size - 1 && source[i]; ++i) dest[i] = match(source[i]) ? newChar : source[i];
  dest[i] = 0;
  return i;
}

template <class Char>
void ReplaceChar(Char* text, Char oldChar, Char newChar, bool caseless) {
  CharMatch<Char> match(oldChar, caseless);
  for (; *text; ++text)
    if (match(*text)) *text = newChar;
}

}  // namespace

int ReplaceAllA(char* dest, const char* source, const char* find, const char* replacement, int size) {
  return ReplaceAll(dest, source, find, replacement, size, FindSubstrA);
}
int ReplaceAllW(wchar_t* dest, const wchar_t* source, const wchar_t* find, const wchar_t* replacement, int size) {
  return ReplaceAll(dest, source, find, replacement, size, FindSubstrW);
}
int ReplaceAllNoCaseA(char* dest, const char* source, const char* find, const char* replacement, int size) {
  return ReplaceAll(dest, source, find, replacement, size, FindSubstrNoCaseA);
}
int ReplaceAllNoCaseW(wchar_t* dest, const wchar_t* source, const wchar_t* find, const wchar_t* replacement, int size) {
  return ReplaceAll(dest, source, find, replacement, size, FindSubstrNoCaseW);
}

int ReplaceAllInPlaceA(char* text, const char* find, const char* replacement, int size) {
  return ReplaceAllInPlace(text, find, replacement, size, FindSubstrA);
}
int ReplaceAllInPlaceW(wchar_t* text, const wchar_t* find, const wchar_t* replacement, int size) {
  return ReplaceAllInPlace(text, find, replacement, size, FindSubstrW);
}
int ReplaceAllNoCaseInPlaceA(char* text, const char* find, const char* replacement, int size) {
  return ReplaceAllInPlace(text, find, replacement, size, FindSubstrNoCaseA);
}
int ReplaceAllNoCaseInPlaceW(wchar_t* text, const wchar_t* find, const wchar_t* replacement, int size) {
  return ReplaceAllInPlace(text, find, replacement, size, FindSubstrNoCaseW);
}

int ReplaceCharCopyA(char* dest, const char* source, char oldChar, char newChar, int size) {
  return ReplaceCharCopy(dest, source, oldChar, newChar, size, false);
}
int ReplaceCharCopyW(wchar_t* dest, const wchar_t* source, wchar_t oldChar, wchar_t newChar, int size) {
  return ReplaceCharCopy(dest, source, oldChar, newChar, size, false);
}
int ReplaceCharNoCaseCopyA(char* dest, const char* source, char oldChar, char newChar, int size) {
  return ReplaceCharCopy(dest, source, oldChar, newChar, size, true);
}
int ReplaceCharNoCaseCopyW(wchar_t* dest, const wchar_t* source, wchar_t oldChar, wchar_t newChar, int size) {
  return ReplaceCharCopy(dest, source, oldChar, newChar, size, true);
}
void ReplaceCharA(char* text, char oldChar, char newChar) { ReplaceChar(text, oldChar, newChar, false); }
void ReplaceCharW(wchar_t* text, wchar_t oldChar, wchar_t newChar) { ReplaceChar(text, oldChar, newChar, false); }
void ReplaceCharNoCaseA(char* text, char oldChar, char newChar) { ReplaceChar(text, oldChar, newChar, true); }
void ReplaceCharNoCaseW(wchar_t* text, wchar_t oldChar, wchar_t newChar) { ReplaceChar(text, oldChar, newChar, true); }
