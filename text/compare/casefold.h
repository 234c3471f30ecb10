// The optional process-wide case tables and in-place case changes. Without
// tables only the ASCII letters change case.
#pragma once

#include <cstdint>

// Each table maps the characters 0 to CaseTableSize-1; the 8-bit routines
// use the low byte of an entry, and 16-bit characters from CaseTableSize on
// stand for themselves.
struct CaseTablePair {
  const uint16_t* upper;
  const uint16_t* lower;
};
constexpr unsigned CaseTableSize = 12288;

// Installs both pointers from the record (NULL clears them) and returns the
// record. Meant to be called once before use: readers take no lock.
const CaseTablePair* SetCaseTables(const CaseTablePair* tables);
const CaseTablePair& CaseTables();

// One character in upper or lower case, through the tables when installed.
char CaseUpperA(char c);
wchar_t CaseUpperW(wchar_t c);
char CaseLowerA(char c);
wchar_t CaseLowerW(wchar_t c);

// In place; NUL-terminated, or n characters with NULs included (n < 1 changes
// nothing). They return the text.
char* ToUpperA(char* text);
wchar_t* ToUpperW(wchar_t* text);
char* ToUpperNA(char* text, int n);
wchar_t* ToUpperNW(wchar_t* text, int n);
char* ToLowerA(char* text);
wchar_t* ToLowerW(wchar_t* text);
char* ToLowerNA(char* text, int n);
wchar_t* ToLowerNW(wchar_t* text, int n);
