// Owner-drawn menu items of the main frame: the block behind each text item,
// its measuring and the colours of both schemes.
#pragma once

#include <windows.h>

#include <cstdint>

struct MenuItemBlock {
  char text[64];   // the accelerator follows a tab
  int32_t tabPos;  // -1 without a tab
  uint16_t icon;   // kNoMenuIcon without one
  uint16_t height;
  uint16_t width;       // text column plus accelerator column
  uint16_t textColumn;  // equal for every block item of a popup
};

const uint16_t kNoMenuIcon = 0xFFFF;
const int kMaxMenuCommands = 512;
const UINT kFirstRecentFileId = 0xE110;
const UINT kLastRecentFileId = 0xE11F;
const int kMaxMenuStack = 64;
const int kTextColumnExtra = 16;                       // added after a popup of the menu bar is measured
const char kNbsp = '\xA0';                             // before the tab: the item has no icon
const COLORREF kMenuIconKey = RGB(0xC0, 0xC0, 0xC0);   // transparent in the toolbar bitmaps
const COLORREF kMenuGreyTint = RGB(0xDF, 0xDF, 0xDF);  // the disabled icons are tinted toward it
const uint16_t kNoMenuCommand = 0xFFFF;                // an added icon that no command shows

// Item data: a block's address + 1 (bit 0 tells a block from packed data).
inline ULONG_PTR MenuBlockData(MenuItemBlock* b) { return (ULONG_PTR)b + 1; }
inline MenuItemBlock* MenuBlockFromData(ULONG_PTR data) {
  return (data & 1) ? reinterpret_cast<MenuItemBlock*>(data - 1) : nullptr;
}
// Recent-file items: width, height and 4 x the item's number packed.
inline ULONG_PTR PackRecentData(int width, int height, int number) {
  return ((ULONG_PTR)(width & 0xFFFF) << 16) | ((height & 0xFF) << 8) | ((number * 4) & 0xFC);
}

// Process-wide: the blended colour scheme (and 2 pixels wider items).
extern int MenuStyleFlag;

struct MenuColors {
  COLORREF background, selection, iconSelection, light, grey;
};
MenuColors GetMenuColors(bool blended);
// Position of the tab in the text (-1 without one), and whether the item
// is shown without its icon. Never reads before the text.
int MenuTabPos(const char* text);
bool MenuTextHidesIcon(const char* text, int tabPos);
