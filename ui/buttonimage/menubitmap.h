// Menu bitmaps cut out of image strips, with their sources, memory DCs and
// toolbar resources cached for the process.
#pragma once

#include <windows.h>

#include <cstdint>

class CMenu;

// Flags of CutMenuBitmapFromStrip.
const DWORD kCutKeyColorMask = 0x00FFFFFF;  // the key colour, unless kCutKeyTopLeft
const DWORD kCutKeepDC = 0x01000000;        // keep the source's memory DC cached
const DWORD kCutCache = 0x02000000;         // cache the cut bitmap (implies kCutKeepDC)
const DWORD kCutTransparent = 0x0C000000;   // either bit: key-coloured pixels take the background
const DWORD kCutKeyTopLeft = 0x08000000;    // the key colour is the source's top-left pixel
const DWORD kCutSourceMask = 0xC0000000;
const DWORD kCutSourceBitmap = 0x00000000;    // source is an HBITMAP
const DWORD kCutSourceResource = 0x40000000;  // a bitmap resource of the resource module
const DWORD kCutSourceToolbar = 0x80000000;   // a toolbar resource: x is a command id
const DWORD kCutSourceNone = 0xC0000000;
// The flags of SetMenuItemBitmapFromStrip: resource, key top-left, cached.
const DWORD kMenuStripFlags = kCutSourceResource | kCutKeyTopLeft | kCutCache | kCutKeepDC;
// Height argument: the source bitmap's own height.
const int kCutFullHeight = 65535;
// Resource type of toolbar resources.
const WORD kToolbarResourceType = 241;
// Item argument: a position rather than a command id.
const UINT kMenuItemByPosition = 0x80000000;

// Kinds of the cached handles.
const DWORD kMenuBitmapCut = 0;               // a bitmap (also a loaded source)
const DWORD kMenuBitmapToolbar = 0x80000000;  // toolbar resource data
const DWORD kMenuBitmapDC = 0xC0000000;       // a memory DC with its source selected

#pragma pack(push, 4)
struct MenuBitmapRecord {
  uint32_t hash;
  uint32_t kind;
  uint16_t x, y, width, height;
  uint32_t source;
  void* handle;
};
#pragma pack(pop)

// The source is an HBITMAP or a resource name or id, by the flags.
HBITMAP CutMenuBitmapFromStrip(const void* source, int x, int y, int width, int height, DWORD flags,
                               COLORREF background);
// Cuts image index of a bitmap strip resource with kMenuStripFlags and the
// menu colour, and shows it on the item (kMenuItemByPosition or a command).
BOOL SetMenuItemBitmapFromStrip(CMenu* menu, UINT item, const void* resource, int index, int size);

// The cache: the handle of the record with this key (hash, kind, x, y,
// width, height, source), or NULL.
void* FindMenuBitmap(const MenuBitmapRecord* key);
void AddMenuBitmap(const MenuBitmapRecord* record);
// Deletes the cached DCs, then the bitmaps, and empties the cache.
void FreeMenuBitmaps();
int GetMenuBitmapCount();
