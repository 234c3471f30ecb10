// Sets of 8-bit characters as 256 bits, and runs of text measured against
// them. In 16-bit text every character above 255 stands for bit 255.
#pragma once

#include <cstdint>

struct CharBitSet {
  uint32_t words[8];  // character c: bit c % 32 of words[c / 32]
};

// Control characters 0-31 (NUL included), space, ',' and ';': what ends an
// unquoted token.
extern const CharBitSet TokenSeparatorSet;

inline unsigned CharSetBit(char c) { return (unsigned char)c; }
inline unsigned CharSetBit(wchar_t c) { return (uint16_t)c > 255 ? 255u : (uint16_t)c; }
template <class C>
inline bool InCharSet(const CharBitSet* set, C c) {
  const unsigned bit = CharSetBit(c);
  return (set->words[bit / 32] >> (bit % 32)) & 1;
}

enum : uint32_t {
  CHARSET_KEEP = 0x1,   // add to (or take from) the set as it is, not a cleared one
  CHARSET_CLEAR = 0x2,  // clear the string's characters instead of setting them
};

// Fills the set from the characters of the NUL-terminated string.
void BuildCharSetA(CharBitSet* set, const char* chars, uint32_t flags);
void BuildCharSetW(CharBitSet* set, const wchar_t* chars, uint32_t flags);

// Forward runs; the unbounded forms end at the NUL, the N forms also after n
// characters (n < 1: 0). InSet: the leading members. UntilInSet: the leading
// non-members. ThroughInSet: up to and including the first member.
int SpanInSetA(const char* text, const CharBitSet* set);
int SpanInSetW(const wchar_t* text, const CharBitSet* set);
int SpanInSetNA(const char* text, const CharBitSet* set, int n);
int SpanInSetNW(const wchar_t* text, const CharBitSet* set, int n);
int SpanUntilInSetA(const char* text, const CharBitSet* set);
int SpanUntilInSetW(const wchar_t* text, const CharBitSet* set);
int SpanUntilInSetNA(const char* text, const CharBitSet* set, int n);
int SpanUntilInSetNW(const wchar_t* text, const CharBitSet* set, int n);
int SpanThroughInSetA(const char* text, const CharBitSet* set);
int SpanThroughInSetW(const wchar_t* text, const CharBitSet* set);
int SpanThroughInSetNA(const char* text, const CharBitSet* set, int n);
int SpanThroughInSetNW(const wchar_t* text, const CharBitSet* set, int n);

// Index of the first member. NUL is an ordinary character: FindInSetA runs
// on until a member, so the set must hold one that occurs (bit 0 for the
// terminator). FindInSetNA looks at n characters and gives n for none.
int FindInSetA(const char* text, const CharBitSet* set);
int FindInSetW(const wchar_t* text, const CharBitSet* set);
int FindInSetNA(const char* text, const CharBitSet* set, int n);
int FindInSetNW(const wchar_t* text, const CharBitSet* set, int n);

// Non-members (members) directly before end, nearest first, at most n; NUL
// is an ordinary character.
int SpanBackUntilInSetNA(const char* end, const CharBitSet* set, int n);
int SpanBackUntilInSetNW(const wchar_t* end, const CharBitSet* set, int n);
int SpanBackInSetNA(const char* end, const CharBitSet* set, int n);
int SpanBackInSetNW(const wchar_t* end, const CharBitSet* set, int n);
