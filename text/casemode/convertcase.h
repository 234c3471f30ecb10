// Letter-case conversion of a whole text under a mode word: upper, lower or
// capitalised words, optionally only where the text, each path component or
// each word has letters of one kind. Every character of the result stands
// for one of the source, so the length never changes. Bits not named here
// are ignored (callers keep their own bits in the word).
#pragma once

#include <cstdint>

enum : uint32_t {
  CASE_UPPER = 0x0001,            // wins over CASE_LOWER
  CASE_LOWER = 0x0002,            // neither: capitalise words
  CASE_LOWER_EXTENSION = 0x0200,  // the letter after the last recorded '.' lower case
  CASE_PER_COMPONENT = 0x0400,    // the selection judges each part between '\', '/'
  CASE_PER_WORD = 0x0800,         // ... each word (wins over CASE_PER_COMPONENT)
  CASE_KEEP_INITIALS = 0x1000,    // capitalising leaves word-initial characters alone
  CASE_LATIN1 = 0x2000,           // 0xC0-0xDD, 0xDF-0xFD are letters; 0xDF upper-cases to 'S'
  CASE_IF_NO_UPPER = 0x4000,      // convert only where there is no upper-case letter
  CASE_IF_NO_LOWER = 0x8000,      // ... no lower-case letter; both: letters of one case only
  CASE_SELECTION = CASE_IF_NO_UPPER | CASE_IF_NO_LOWER,
};

// dest may be the source itself; otherwise it holds the source's length plus
// the terminator. In place, characters that stay as they are are not written.
// ConvertCaseW takes a character above 255 as CC_OTHER alone (never a letter,
// a separator between words) and, with CASE_LATIN1, the '.' as a word
// character: "file.txt" capitalises to "File.txt" (8-bit: "File.Txt").
void ConvertCaseA(char* dest, const char* source, int mode);
void ConvertCaseW(wchar_t* dest, const wchar_t* source, int mode);
