// Natural-order compares: names ordered as a person expects. Runs of digits
// compare by their value (read in automatic style, "0x" and the like being
// radix prefixes, wrapping at 32 bits); '/' and '\' sort lowest, then '.',
// and '_' as a space; an accented letter counts as its base letter. Equal
// values written differently ("007", "07", "7", "0x7") are ordered by a plain
// compare of the rests, so a leading '0' sorts first.
//
// Results are below, equal to or above 0 as a sorts before, with or after b.
// The caseless forms are the registry browser's sort order.
#pragma once

// The character a natural compare uses for each of 0x80-0xFF (OEM and
// Latin-1 accented letters to their base letter).
extern const unsigned char AccentFoldTable[128];

int CompareNaturalA(const char* a, const char* b);
int CompareNaturalW(const wchar_t* a, const wchar_t* b);
int CompareNaturalNoCaseA(const char* a, const char* b);
int CompareNaturalNoCaseW(const wchar_t* a, const wchar_t* b);

// At most n characters (a number's characters count against n); n < 1 gives 0.
int CompareNaturalNA(const char* a, const char* b, int n);
int CompareNaturalNW(const wchar_t* a, const wchar_t* b, int n);
int CompareNaturalNoCaseNA(const char* a, const char* b, int n);
int CompareNaturalNoCaseNW(const wchar_t* a, const wchar_t* b, int n);
