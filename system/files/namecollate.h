// File-name collation: separators and punctuation before letters and digits,
// accented letters right after their base letter, a directory's own entries
// before those of its subdirectories; the numeric forms compare digit runs by
// value. Results: negative when a sorts first, 0 equal, positive after.
#pragma once

#include <cstdint>

// Sort weights of the 8-bit characters (code page 1252); 16-bit characters
// above 255 weigh their code × 256.
extern const uint16_t FileNameSortWeights[256];
extern const uint16_t FileNameSortWeightsFolded[256];

int CompareFileNames(const char* a, const char* b);
int CompareFileNamesW(const wchar_t* a, const wchar_t* b);
int CompareFileNamesN(const char* a, const char* b, int nLengthA, int nLengthB);
int CompareFileNamesNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB);
int CompareFileNamesCase(const char* a, const char* b);
int CompareFileNamesCaseW(const wchar_t* a, const wchar_t* b);
int CompareFileNamesCaseN(const char* a, const char* b, int nLengthA, int nLengthB);
int CompareFileNamesCaseNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB);
int CompareFileNamesNum(const char* a, const char* b);
int CompareFileNamesNumW(const wchar_t* a, const wchar_t* b);
int CompareFileNamesNumN(const char* a, const char* b, int nLengthA, int nLengthB);
int CompareFileNamesNumNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB);
int CompareFileNamesCaseNum(const char* a, const char* b);
int CompareFileNamesCaseNumW(const wchar_t* a, const wchar_t* b);
int CompareFileNamesCaseNumN(const char* a, const char* b, int nLengthA, int nLengthB);
int CompareFileNamesCaseNumNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB);

// ComparePaths flag word.
enum PathCompareFlags : unsigned {
  PATHCMP_FULL_A = 1,      // make a full path of a first
  PATHCMP_FULL_B = 2,      // make a full path of b first
  PATHCMP_NO_CASE = 4,     // the folded weights
  PATHCMP_NUMERIC = 8,     // digit runs by value
  PATHCMP_CANONICAL = 16,  // "." and ".." collapsed in each path
};
// A path whose full or canonical form cannot be made is compared as given.
int ComparePaths(const char* a, const char* b, unsigned flags);
int ComparePathsW(const wchar_t* a, const wchar_t* b, unsigned flags);
