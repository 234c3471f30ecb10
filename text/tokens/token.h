// Tokens of a line: blanks (tabs and spaces) are skipped, then either a run
// of ordinary characters or a quoted or bracketed token. An opening '(', '[',
// '{' or '<' closes with its partner, any other opening character with
// itself; brackets do not nest. With an escape character (0: none), it and
// the character after it are passed over inside quotes. Everything is
// counted: nothing past n (or the tagged count) is read.
#pragma once

#include <cstdint>

// A tagged count for the copying forms: skip blanks, the separator and blanks
// again, then read the token, all within `count` characters, e.g.
// TaggedTokenCount('=', 6) over " = abc" copies "abc".
constexpr uint32_t kTaggedCountMark = 0x57000000;  // (c & kTaggedCountMask) for a tagged count below 1
constexpr uint32_t kTaggedCountMask = 0x7F800000;
constexpr uint32_t kTaggedCountSign = 0x80000000;
constexpr int kTaggedSeparatorShift = 16;  // the separator in bits 16-22
constexpr uint32_t kTaggedSeparatorBits = 0x7F;
constexpr uint32_t kTaggedLengthBits = 0xFFFF;  // the count in the low 16 bits
constexpr int TaggedTokenCount(char separator, int count) {
  return (int)(kTaggedCountSign | kTaggedCountMark |
               (((uint32_t)separator & kTaggedSeparatorBits) << kTaggedSeparatorShift) |
               ((uint32_t)count & kTaggedLengthBits));
}
constexpr bool IsTaggedTokenCount(int count) {
  return count < 1 && ((uint32_t)count & kTaggedCountMask) == kTaggedCountMark;
}

// Length of the blanks and the token: an unquoted token runs to the first
// member of TokenSeparatorSet (the class forms: while the class flags meet
// the mask); a quoted one includes its closing character when found and
// otherwise ends before NUL, CR or LF (after an escape at NUL or at n).
int ScanTokenNA(const char* text, char escape, char open, int n);
int ScanTokenNW(const wchar_t* text, wchar_t escape, wchar_t open, int n);
int ScanClassTokenNA(uint32_t classMask, const char* text, char escape, char open, int n);
int ScanClassTokenNW(uint32_t classMask, const wchar_t* text, wchar_t escape, wchar_t open, int n);

// Copies the token (a quoted one without its delimiters, escapes as they
// stand) into dest, cut at size - 1 and terminated when size >= 1; returns
// the characters consumed (0 when an untagged count is below 1 or a tagged
// separator is missing: dest is then empty). The Ex forms store the number
// of characters written.
int CopyTokenNA(char* dest, const char* text, int size, char escape, char open, int count);
int CopyTokenNW(wchar_t* dest, const wchar_t* text, int size, wchar_t escape, wchar_t open, int count);
int CopyClassTokenNA(uint32_t classMask, char* dest, const char* text, int size, char escape, char open, int count);
int CopyClassTokenNW(uint32_t classMask, wchar_t* dest, const wchar_t* text, int size, wchar_t escape, wchar_t open,
                     int count);
int CopyTokenExNA(char* dest, const char* text, int* copied, int size, char escape, char open, int count);
int CopyTokenExNW(wchar_t* dest, const wchar_t* text, int* copied, int size, wchar_t escape, wchar_t open, int count);
int CopyClassTokenExNA(uint32_t classMask, char* dest, const char* text, int* copied, int size, char escape, char open,
                       int count);
int CopyClassTokenExNW(uint32_t classMask, wchar_t* dest, const wchar_t* text, int* copied, int size, wchar_t escape,
                       wchar_t open, int count);
