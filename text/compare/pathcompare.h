// Compares of paths over n characters: '/' and '\' are the same and sort
// lowest, '.' next. Results are below, equal to or above 0; n < 1 gives 0.
#pragma once

int ComparePathsNA(const char* a, const char* b, int n);
int ComparePathsNW(const wchar_t* a, const wchar_t* b, int n);
// The same with 'A'-'Z' folded to 'a'-'z'.
int ComparePathsNoCaseNA(const char* a, const char* b, int n);
int ComparePathsNoCaseNW(const wchar_t* a, const wchar_t* b, int n);
