// Finding "keyword = value" in settings text, a word among the fields of a
// separated list, and a string in an array of string pointers. Caseless
// forms fold the ASCII letters only (16-bit: of whole units).
#pragma once

#include <cstdint>

enum : uint32_t {
  KEYWORD_ACROSS_LINES = 0x01,  // CR and LF may stand between keyword and separator
  KEYWORD_QUOTED = 0x02,        // the keyword may stand in double quotes
  KEYWORD_WORD_START = 0x04,    // the keyword must not follow a letter, digit or '_'
};

// Index just behind the separator that follows the keyword (blanks between
// them skipped), or -1. A keyword length below 1 gives 0 for a non-empty
// text. The N forms read no further than textLength.
int FindKeywordA(const char* text, uint32_t flags, const char* keyword, char separator, int keywordLength);
int FindKeywordW(const wchar_t* text, uint32_t flags, const wchar_t* keyword, wchar_t separator, int keywordLength);
int FindKeywordNA(const char* text, uint32_t flags, const char* keyword, char separator, int textLength,
                  int keywordLength);
int FindKeywordNW(const wchar_t* text, uint32_t flags, const wchar_t* keyword, wchar_t separator, int textLength,
                  int keywordLength);
int FindKeywordNoCaseA(const char* text, uint32_t flags, const char* keyword, char separator, int keywordLength);
int FindKeywordNoCaseW(const wchar_t* text, uint32_t flags, const wchar_t* keyword, wchar_t separator,
                       int keywordLength);
int FindKeywordNoCaseNA(const char* text, uint32_t flags, const char* keyword, char separator, int textLength,
                        int keywordLength);
int FindKeywordNoCaseNW(const wchar_t* text, uint32_t flags, const wchar_t* keyword, wchar_t separator, int textLength,
                        int keywordLength);

// Number (from 0) of the first field of the list equal to the word, or -1;
// an empty word matches the first empty field (also one after a final
// separator). An empty list has no fields.
int FindWordInListA(const char* word, const char* list, char separator);
int FindWordInListW(const wchar_t* word, const wchar_t* list, wchar_t separator);
int FindWordInListNoCaseA(const char* word, const char* list, char separator);
int FindWordInListNoCaseW(const wchar_t* word, const wchar_t* list, wchar_t separator);
int FindWordNInListA(const char* word, const char* list, int wordLength, char separator);
int FindWordNInListW(const wchar_t* word, const wchar_t* list, int wordLength, wchar_t separator);
int FindWordNInListNoCaseA(const char* word, const char* list, int wordLength, char separator);
int FindWordNInListNoCaseW(const wchar_t* word, const wchar_t* list, int wordLength, wchar_t separator);

// Index of the first of at most count entries (a null entry ends the array)
// equal to the string, or -1. The N forms: equal to the first length
// characters of the text, the entry ending there.
int FindStringInArrayA(const char* string, const char* const* array, int count);
int FindStringInArrayW(const wchar_t* string, const wchar_t* const* array, int count);
int FindStringInArrayNoCaseA(const char* string, const char* const* array, int count);
int FindStringInArrayNoCaseW(const wchar_t* string, const wchar_t* const* array, int count);
int FindStringNInArrayA(const char* text, const char* const* array, int length, int count);
int FindStringNInArrayW(const wchar_t* text, const wchar_t* const* array, int length, int count);
int FindStringNInArrayNoCaseA(const char* text, const char* const* array, int length, int count);
int FindStringNInArrayNoCaseW(const wchar_t* text, const wchar_t* const* array, int length, int count);
