#include "viewers/text/colorlist.h"

#include <cstring>

#include "base/check.h"

// clang-format off
const COLORREF kAnsiPalette[kAnsiPaletteCount] = {
    0xFFFFFFFF, 0x400020, 0x400040, 0x000040, 0x002040, 0x004040, 0x004000, 0x404000, 0x400000,
    0x000000,   0x800040, 0x800080, 0x000080, 0x004080, 0x008080, 0x008000, 0x808000, 0x800000,
    0x343434,   0xC00060, 0xC000C0, 0x0000C0, 0x0060C0, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000,
    0x676767,   0xFF0080, 0xFF00FF, 0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000,
    0x9A9A9A,   0xFF40A0, 0xFF40FF, 0x4040FF, 0x40A0FF, 0x40FFFF, 0x40FF40, 0xFFFF40, 0xFF4040,
    0xCDCDCD,   0xFF80C0, 0xFF80FF, 0x8080FF, 0x80C0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080,
    0xFFFFFF,   0xFFC0E0, 0xFFC0FF, 0xC0C0FF, 0xC0EFFF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0,
};
// clang-format on

int ColorListCount(const ANSICOLORENTRY* list) {
  int n = 0;
  if (list)
    while (list[n].name) ++n;
  return n;
}

int ColorListFind(const ANSICOLORENTRY* list, const char* name, UINT id) {
  // Nothing to look for is not the first entry: a caller would overwrite it.
  if (!list || (id == 0 && !name)) return -1;
  for (int i = 0; list[i].name; ++i) {
    if (id != 0 ? list[i].id == id : std::strcmp(list[i].name, name) == 0) return i;
  }
  return -1;
}

int ColorListSet(ANSICOLORENTRY* list, COLORREF text, COLORREF background, const char* name, UINT id, UINT style) {
  int pos = ColorListFind(list, name, id);
  if (pos < 0) return 0;
  list[pos].background = background;
  list[pos].text = text;
  list[pos].id = id;
  list[pos].style = style;
  return 1;
}

int ColorListAdd(ANSICOLORENTRY** list, COLORREF text, COLORREF background, const char* name, UINT id, UINT style) {
  int count = ColorListCount(*list);
  if (id != 0 && ColorListFind(*list, nullptr, id) >= 0) id = 0;
  ANSICOLORENTRY* grown = new ANSICOLORENTRY[count + 2];
  if (count) std::memcpy(grown, *list, count * sizeof(ANSICOLORENTRY));
  delete[] * list;
  const char* source = name ? name : "";
  size_t length = std::strlen(source);
  char* copy = new char[length + 1];
  std::memcpy(copy, source, length + 1);
  grown[count] = {background, text, id, style, copy};
  grown[count + 1] = {0, 0, 0, 0, nullptr};
  *list = grown;
  return count + 1;
}

void ColorListFree(ANSICOLORENTRY** list) {
  if (!*list) return;
  for (ANSICOLORENTRY* e = *list; e->name; ++e) delete[] e->name;
  delete[] * list;
  *list = nullptr;
}

BYTE* ColorListBuildIndex(const ANSICOLORENTRY* list) {
  if (!list) return nullptr;
  BYTE* table = new BYTE[256]();
  // Position 255 would not fit its byte as 256.
  for (int i = 0; list[i].name && i < 255; ++i) {
    if (list[i].id < 256) table[list[i].id] = (BYTE)(i + 1);
  }
  return table;
}
