#include "text/web/htmlentity.h"

#include <climits>
#include <cstdlib>
#include <type_traits>

const HtmlEntity HtmlEntityTable[HTML_ENTITY_COUNT + XML_ENTITY_COUNT] = {
    {198, 5, "AElig"},
    {193, 6, "Aacute"},
    {194, 5, "Acirc"},
    {192, 6, "Agrave"},
    {197, 5, "Aring"},
    {195, 6, "Atilde"},
    {196, 4, "Auml"},
    {199, 6, "Ccedil"},
    {208, 3, "ETH"},
    {201, 6, "Eacute"},
    {202, 5, "Ecirc"},
    {200, 6, "Egrave"},
    {203, 4, "Euml"},
    {205, 6, "Iacute"},
    {206, 5, "Icirc"},
    {204, 6, "Igrave"},
    {207, 4, "Iuml"},
    {209, 6, "Ntilde"},
    {211, 6, "Oacute"},
    {212, 5, "Ocirc"},
    {210, 6, "Ograve"},
    {216, 6, "Oslash"},
    {213, 6, "Otilde"},
    {214, 4, "Ouml"},
    {222, 5, "THORN"},
    {218, 6, "Uacute"},
    {219, 5, "Ucirc"},
    {217, 6, "Ugrave"},
    {220, 4, "Uuml"},
    {221, 6, "Yacute"},
    {225, 6, "aacute"},
    {226, 5, "acirc"},
    {180, 5, "acute"},
    {230, 5, "aelig"},
    {224, 6, "agrave"},
    {38, 3, "amp"},
    {39, 4, "apos"},
    {229, 5, "aring"},
    {227, 6, "atilde"},
    {228, 4, "auml"},
    {166, 6, "brvbar"},
    {231, 6, "ccedil"},
    {184, 5, "cedil"},
    {162, 4, "cent"},
    {169, 4, "copy"},
    {164, 6, "curren"},
    {176, 3, "deg"},
    {247, 6, "divide"},
    {233, 6, "eacute"},
    {234, 5, "ecirc"},
    {232, 6, "egrave"},
    {240, 3, "eth"},
    {235, 4, "euml"},
    {8364, 4, "euro"},
    {189, 6, "frac12"},
    {188, 6, "frac14"},
    {190, 6, "frac34"},
    {62, 2, "gt"},
    {237, 6, "iacute"},
    {238, 5, "icirc"},
    {161, 5, "iexcl"},
    {236, 6, "igrave"},
    {191, 6, "iquest"},
    {239, 4, "iuml"},
    {171, 5, "laquo"},
    {60, 2, "lt"},
    {175, 4, "macr"},
    {181, 5, "micro"},
    {183, 6, "middot"},
    {160, 4, "nbsp"},
    {172, 3, "not"},
    {241, 6, "ntilde"},
    {243, 6, "oacute"},
    {244, 5, "ocirc"},
    {242, 6, "ograve"},
    {170, 4, "ordf"},
    {186, 4, "ordm"},
    {248, 6, "oslash"},
    {245, 6, "otilde"},
    {246, 4, "ouml"},
    {182, 4, "para"},
    {177, 6, "plusmn"},
    {163, 5, "pound"},
    {34, 4, "quot"},
    {187, 5, "raquo"},
    {174, 3, "reg"},
    {167, 4, "sect"},
    {173, 3, "shy"},
    {185, 4, "sup1"},
    {178, 4, "sup2"},
    {179, 4, "sup3"},
    {223, 5, "szlig"},
    {254, 5, "thorn"},
    {215, 5, "times"},
    {250, 6, "uacute"},
    {251, 5, "ucirc"},
    {249, 6, "ugrave"},
    {168, 3, "uml"},
    {252, 4, "uuml"},
    {253, 6, "yacute"},
    {165, 3, "yen"},
    {255, 4, "yuml"},
    // The XML names.
    {38, 3, "amp"},
    {39, 4, "apos"},
    {62, 2, "gt"},
    {60, 2, "lt"},
    {34, 4, "quot"},
};

namespace {

template <class Char>
unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}

template <class Key>
int Compare(const void* key, const void* element) {
  const Key* k = (const Key*)key;
  const HtmlEntity* e = (const HtmlEntity*)element;
  for (int i = 0; i < e->length; ++i) {
    unsigned c = i < k->n ? Unit(k->text[i]) : 0;
    unsigned d = (unsigned char)e->name[i];
    if (c != d) return c < d ? -1 : 1;
  }
  // The name ends: the text matches unless a character from 'A' to 'z' goes on.
  unsigned next = e->length < k->n ? Unit(k->text[e->length]) : 0;
  return next >= 'A' && next <= 'z' ? 1 : 0;
}

template <class Char>
int DigitValue(Char c, int radix) {
  unsigned u = Unit(c);
  if (u - '0' < 10) return (int)(u - '0');
  if (radix == 16 && (u | 0x20) - 'a' < 6) return (int)((u | 0x20) - 'a' + 10);
  return -1;
}

template <class Char>
int Lookup(const Char* text, int n, int* character, const HtmlEntity* table, int count) {
  *character = '&';
  if (n < 1) return 0;
  unsigned first = Unit(text[0]);
  int used = 0;
  if ((first | 0x20) - 'a' < 26) {
    typedef typename std::conditional<sizeof(Char) == 1, HtmlEntityKeyA, HtmlEntityKeyW>::type Key;
    Key key = {text, n};
    const HtmlEntity* e = (const HtmlEntity*)bsearch(&key, table, (size_t)count, sizeof(HtmlEntity), Compare<Key>);
    if (!e) return 0;
    *character = e->value;
    used = e->length;
  } else if (first == '#') {
    int i = 1, radix = 10;
    if (i < n && (text[i] == 'x' || text[i] == 'X')) radix = 16, ++i;
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = i < n && text[i] == '-';
    if (negative) ++i;
    int start = i;
    // Saturates above the last code point: nothing wraps into a valid value.
    long long value = 0;
    for (int d; i < n && (d = DigitValue(text[i], radix)) >= 0; ++i)
      if (value <= 0x10FFFF) value = value * radix + d;
    if (i == start) return 0;
    *character = negative || value > 0x10FFFF ? HTML_ENTITY_INVALID : (int)value;
    used = i;
  } else {
    return 0;
  }
  if (used < n && text[used] == ';') ++used;
  return used;
}

}  // namespace

int CompareHtmlEntityA(const void* key, const void* element) { return Compare<HtmlEntityKeyA>(key, element); }
int CompareHtmlEntityW(const void* key, const void* element) { return Compare<HtmlEntityKeyW>(key, element); }

int LookupHtmlEntityNA(const char* text, int n, int* character, const HtmlEntity* table, int count) {
  return Lookup(text, n, character, table, count);
}
int LookupHtmlEntityNW(const wchar_t* text, int n, int* character, const HtmlEntity* table, int count) {
  return Lookup(text, n, character, table, count);
}
// A terminated text: the NUL mismatches every name and ends every number.
int LookupHtmlEntityA(const char* text, int* character, const HtmlEntity* table, int count) {
  return Lookup(text, INT_MAX, character, table, count);
}
int LookupHtmlEntityW(const wchar_t* text, int* character, const HtmlEntity* table, int count) {
  return Lookup(text, INT_MAX, character, table, count);
}
