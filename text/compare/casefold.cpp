#include "text/compare/casefold.h"

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"

namespace {

CaseTablePair g_tables = {nullptr, nullptr};

template <class C, class Fold>
C* ConvertN(C* text, int n, Fold fold) {
  for (int i = 0; i < n; ++i) text[i] = (C)fold(CharCode(text[i]));
  return text;
}

template <class C, class Fold>
C* ConvertZ(C* text, Fold fold) {
  for (C* p = text; *p; ++p) *p = (C)fold(CharCode(*p));
  return text;
}

template <class C, class AsciiFold>
C* Convert(C* text, int n, const uint16_t* table) {
  typedef typename casefold::TableFor<C>::type TableFold;
  if (table) return n < 0 ? ConvertZ(text, TableFold{table}) : ConvertN(text, n, TableFold{table});
  return n < 0 ? ConvertZ(text, AsciiFold()) : ConvertN(text, n, AsciiFold());
}

template <class C, class AsciiFold>
C FoldOne(C c, const uint16_t* table) {
  typedef typename casefold::TableFor<C>::type TableFold;
  return (C)(table ? TableFold{table}(CharCode(c)) : AsciiFold()(CharCode(c)));
}

constexpr int kToNul = -1;

}  // namespace

const CaseTablePair* SetCaseTables(const CaseTablePair* tables) {
  g_tables = tables ? *tables : CaseTablePair{nullptr, nullptr};
  return tables;
}

const CaseTablePair& CaseTables() { return g_tables; }

char CaseUpperA(char c) { return FoldOne<char, casefold::AsciiUpper>(c, g_tables.upper); }
wchar_t CaseUpperW(wchar_t c) { return FoldOne<wchar_t, casefold::AsciiUpper>(c, g_tables.upper); }
char CaseLowerA(char c) { return FoldOne<char, casefold::AsciiLower>(c, g_tables.lower); }
wchar_t CaseLowerW(wchar_t c) { return FoldOne<wchar_t, casefold::AsciiLower>(c, g_tables.lower); }

char* ToUpperA(char* text) { return Convert<char, casefold::AsciiUpper>(text, kToNul, g_tables.upper); }
wchar_t* ToUpperW(wchar_t* text) { return Convert<wchar_t, casefold::AsciiUpper>(text, kToNul, g_tables.upper); }
char* ToLowerA(char* text) { return Convert<char, casefold::AsciiLower>(text, kToNul, g_tables.lower); }
wchar_t* ToLowerW(wchar_t* text) { return Convert<wchar_t, casefold::AsciiLower>(text, kToNul, g_tables.lower); }

char* ToUpperNA(char* text, int n) {
  return n < 1 ? text : Convert<char, casefold::AsciiUpper>(text, n, g_tables.upper);
}
wchar_t* ToUpperNW(wchar_t* text, int n) {
  return n < 1 ? text : Convert<wchar_t, casefold::AsciiUpper>(text, n, g_tables.upper);
}
char* ToLowerNA(char* text, int n) {
  return n < 1 ? text : Convert<char, casefold::AsciiLower>(text, n, g_tables.lower);
}
wchar_t* ToLowerNW(wchar_t* text, int n) {
  return n < 1 ? text : Convert<wchar_t, casefold::AsciiLower>(text, n, g_tables.lower);
}
