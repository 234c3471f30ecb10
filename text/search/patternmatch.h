// The extended pattern matcher: file-name wildcards '*' and '?' plus
// backslash constructs for classes, character lists, blank runs, and word
// and text boundaries. Pattern and text are counted (a NUL is an ordinary
// character); neither is read past its length.
//
//   \*  \?  \\       that character exactly     \a  start of the subject
//   \e  end of text  \g  word start  \f  word end
//   \p  digit  \m  letter or '_'  \o  letter, digit or '_'  \h  hex digit
//   \&mask&  one character of the class mask (hex)   \$mask$  one or none
//   \#mask#  a run of the class   \.  tabs and spaces   \+  blanks
//   \_  tabs and spaces, at least one unless at the start   \-  the same for CR/LF
//   \w  a whole word   \z  a whole word starting with a digit
//   \[..]  one of   \(..)  one of or none   \{..}  one not of
//   \<..>  a run of   \|..|  everything up to one of   \q  CR LF, CR or LF
//   any other \c     a C escape (\n, \x41, \101, ...)
//
// Runs give characters back to let the rest of the pattern match; the first
// start position (or run length) that lets the rest succeed decides, so
// «*a*b» does not match "abxb" while «*a*b*» does.
#pragma once

#include <cstdint>

enum : uint32_t {
  MATCH_IGNORE_CASE = 0x01,
  MATCH_FILE_NAME = 0x02,       // a pattern ending in "*.*" ends in '*'
  MATCH_PREFIX = 0x04,          // result: length of the matched beginning, 0 on failure
  MATCH_NOT_AT_START = 0x08,    // the text does not start the subject
  MATCH_AFTER_WORD = 0x10,      // the character before the text is a word character
  MATCH_PREFIX_OR_FAIL = 0x20,  // as MATCH_PREFIX, but -1 on failure
};

// Whole mode: 0 when the pattern matches the whole text, else 1. With
// MATCH_PREFIX or MATCH_PREFIX_OR_FAIL: the number of text characters the
// match covers, or the failure value. Lengths of 0 or less are empty.
int MatchPatternNA(const char* pattern, int patternLength, const char* text, int textLength, uint32_t flags);
int MatchPatternNW(const wchar_t* pattern, int patternLength, const wchar_t* text, int textLength, uint32_t flags);
