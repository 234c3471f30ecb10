// File-name wildcards: '*' any run of characters, '?' any one character.
// Nothing else is special (no backslash constructs, see text/patternmatch.h).
#pragma once

#include <cstdint>

#include "text/search/patternmatch.h"  // the flag words MATCH_IGNORE_CASE ... MATCH_PREFIX_OR_FAIL

// NUL-terminated text and pattern, every possible star assignment tried.
// 0 on a match. Before the first star a mismatch gives the difference of the
// text and pattern characters (8-bit: as signed bytes), a text that ends
// early or runs on gives 1; behind a star the result is 0 or 1. The NoCase
// forms fold 'A'-'Z' only. No recursion: any text length is safe.
int MatchWildcardA(const char* text, const char* pattern);
int MatchWildcardW(const wchar_t* text, const wchar_t* pattern);
int MatchWildcardNoCaseA(const char* text, const char* pattern);
int MatchWildcardNoCaseW(const wchar_t* text, const wchar_t* pattern);

// Counted pattern and text, read no further than their lengths. Flags:
// MATCH_IGNORE_CASE, MATCH_FILE_NAME (a pattern ending in "*.*" ends in '*',
// so "*.*" takes names without a dot), MATCH_PREFIX / MATCH_PREFIX_OR_FAIL
// (length mode: the length covered, failure 0 / -1). Whole mode: 0 match,
// 1 none. The first position at which a star's rest succeeds decides, so
// «*a*b» does not match "abxb".
int MatchWildcardNA(const char* pattern, int patternLength, const char* text, int textLength, uint32_t flags);
int MatchWildcardNW(const wchar_t* pattern, int patternLength, const wchar_t* text, int textLength, uint32_t flags);

// Patterns of a list separated by `separator` (with NUL as the separator: a
// run of NUL-terminated patterns ended by an empty one), each matched whole
// against the name with MatchWildcardNA and the flags. The 1-based number of
// the first pattern that matches, -1 when none does, 0 for a null or empty
// list.
int MatchWildcardListA(const char* name, int nameLength, const char* list, uint32_t flags, char separator);
int MatchWildcardListW(const wchar_t* name, int nameLength, const wchar_t* list, uint32_t flags, wchar_t separator);
