// Colour schemes: lists of named colour entries that the drawing attributes
// of a text view select by position, and the palette of the colour dialog.
#pragma once

#include <windows.h>

// Style bits of an entry.
const UINT kAnsiColorBold = 1;
const UINT kAnsiColorItalic = 2;
const UINT kAnsiColorUnderline = 4;
const UINT kAnsiColorStyleMask = 7;
// A colour that stands for the system colour (COLOR_WINDOW for backgrounds,
// COLOR_WINDOWTEXT for text).
const COLORREF kAnsiSystemColor = 0xFFFFFFFF;

// One entry; a list is a heap array ended by an all-zero entry.
struct ANSICOLORENTRY {
  COLORREF background;
  COLORREF text;
  UINT id;     // 0: none; the registry key name of the entry
  UINT style;  // kAnsiColor... bits
  char* name;  // heap copy; null only in the terminator
};

// The dialog's palette; entry 0 is the system colour.
const int kAnsiPaletteCount = 63;
extern const COLORREF kAnsiPalette[kAnsiPaletteCount];

// Entries before the terminator (0 for a null list).
int ColorListCount(const ANSICOLORENTRY* list);
// Position of the first entry with the id (id != 0) or with the name
// (case-sensitive, id 0); -1 when there is none, for a null list and for id 0
// without a name.
int ColorListFind(const ANSICOLORENTRY* list, const char* name, UINT id);
// Sets colours, id and style of the entry ColorListFind finds; 1, else 0.
int ColorListSet(ANSICOLORENTRY* list, COLORREF text, COLORREF background, const char* name, UINT id, UINT style);
// Appends an entry (a copy of name); an id another entry has becomes 0.
// Returns the new number of entries.
int ColorListAdd(ANSICOLORENTRY** list, COLORREF text, COLORREF background, const char* name, UINT id, UINT style);
// Frees the names and the array; *list becomes null.
void ColorListFree(ANSICOLORENTRY** list);
// A new[] table of 256 bytes: table[id] = position + 1 for ids and
// positions below 256, else 0; null for a null list.
BYTE* ColorListBuildIndex(const ANSICOLORENTRY* list);
