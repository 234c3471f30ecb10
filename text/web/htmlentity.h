// Named character references: the HTML table (the Latin-1 names, "euro" and
// the XML names) and right after it the XML table, each in byte order of the
// names for a binary search.
#pragma once

#include <cstdint>

struct HtmlEntity {
  uint16_t value;
  uint16_t length;
  const char* name;
};

constexpr int HTML_ENTITY_COUNT = 102;
constexpr int XML_ENTITY_COUNT = 5;
// HTML_ENTITY_COUNT records, then the XML_ENTITY_COUNT XML ones.
extern const HtmlEntity HtmlEntityTable[HTML_ENTITY_COUNT + XML_ENTITY_COUNT];
inline const HtmlEntity* XmlEntityTable() { return HtmlEntityTable + HTML_ENTITY_COUNT; }

// A reference that is negative, above 0x10FFFF or too long to read gives
// this value; decoders write it as 0xFF.
constexpr int HTML_ENTITY_INVALID = -1;

// The text just after an "&": the result is the count of characters the
// reference takes (a ";" after it included), and *character its value; 0
// and '&' when nothing is recognised. Names are case-sensitive; a name
// matches when no character from 'A' to 'z' follows it.
int LookupHtmlEntityA(const char* text, int* character, const HtmlEntity* table, int count);
int LookupHtmlEntityW(const wchar_t* text, int* character, const HtmlEntity* table, int count);
// The same within n characters.
int LookupHtmlEntityNA(const char* text, int n, int* character, const HtmlEntity* table, int count);
int LookupHtmlEntityNW(const wchar_t* text, int n, int* character, const HtmlEntity* table, int count);

// The bsearch comparisons of the lookup: key points to the key, element to a
// record.
struct HtmlEntityKeyA {
  const char* text;
  int n;
};
struct HtmlEntityKeyW {
  const wchar_t* text;
  int n;
};
int CompareHtmlEntityA(const void* key, const void* element);
int CompareHtmlEntityW(const void* key, const void* element);
