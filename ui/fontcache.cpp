#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "ui/fonts.h"

namespace {
struct FontCacheEntry {
  HFONT hFont;
  BYTE italic, underline, charset, pitchAndFamily;
  short weight, height, width;
  char face[32];
};

FontCacheEntry* g_entries = nullptr;
int g_count = 0;
int g_capacity = 0;
bool g_registered = false;

void FillEntry(FontCacheEntry* e, const LOGFONTA* plf) {
  e->italic = plf->lfItalic;
  e->underline = plf->lfUnderline;
  e->charset = plf->lfCharSet;
  e->pitchAndFamily = plf->lfPitchAndFamily;
  e->weight = (short)plf->lfWeight;
  e->height = (short)plf->lfHeight;
  e->width = (short)plf->lfWidth;
  lstrcpynA(e->face, plf->lfFaceName, sizeof e->face);
}

bool SameFont(const FontCacheEntry& a, const FontCacheEntry& b) {
  return a.italic == b.italic && a.underline == b.underline && a.charset == b.charset &&
         a.pitchAndFamily == b.pitchAndFamily && a.weight == b.weight && a.height == b.height && a.width == b.width &&
         std::strcmp(a.face, b.face) == 0;
}

void FreeFontCacheAtExit() { FreeFontCache(); }
}  // namespace

HFONT CreateCachedFont(const LOGFONTA* plf) {
  if (!plf) return nullptr;
  FontCacheEntry key = {};
  FillEntry(&key, plf);
  for (int i = 0; i < g_count; ++i)
    if (SameFont(g_entries[i], key)) return g_entries[i].hFont;
  HFONT hFont = CreateFontIndirectA(plf);
  if (!hFont) return nullptr;
  if (g_count == g_capacity) {
    int capacity = g_capacity * 3 / 2 + 8;
    auto* grown = static_cast<FontCacheEntry*>(std::calloc(capacity, sizeof(FontCacheEntry)));
    if (!grown) {
      DeleteObject(hFont);
      return nullptr;
    }
    if (g_entries) {
      std::memcpy(grown, g_entries, g_count * sizeof(FontCacheEntry));
      std::free(g_entries);
    }
    if (!g_registered) g_registered = std::atexit(FreeFontCacheAtExit) == 0;
    g_entries = grown;
    g_capacity = capacity;
  }
  key.hFont = hFont;
  g_entries[g_count++] = key;
  return hFont;
}

HFONT CreateCachedFontW(const LOGFONTW* plf) {
  if (!plf) return nullptr;
  // The 16-bit face is narrowed character by character to its low byte.
  LOGFONTA lf;
  std::memcpy(&lf, plf, offsetof(LOGFONTA, lfFaceName));
  int i = 0;
  for (; i < 31 && plf->lfFaceName[i]; ++i) lf.lfFaceName[i] = (char)(plf->lfFaceName[i] & 0xFF);
  lf.lfFaceName[i] = 0;
  return CreateCachedFont(&lf);
}

void FreeFontCache() {
  for (int i = g_count - 1; i >= 0; --i) DeleteObject(g_entries[i].hFont);
  std::free(g_entries);
  g_entries = nullptr;
  g_count = g_capacity = 0;
}

int GetFontCacheCount() { return g_count; }
