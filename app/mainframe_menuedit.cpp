// Changing the owner-drawn menus once they are made: an item's text, the
// icon an item shows, icons of the caller's own, and the colour scheme.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/mainframe.h"
#include "ui/libdib/libdib.h"

namespace {

// Calls visit(popup, position, block or null) for every item of the command
// below menu, depth-first, while it answers true; the number visited.
template <class Visit>
int ForEachCommandItem(HMENU menu, UINT command, Visit& visit, bool* stopped) {
  int visited = 0;
  for (int pos = 0; pos < ::GetMenuItemCount(menu) && !*stopped; ++pos) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU};
    if (!::GetMenuItemInfoA(menu, pos, TRUE, &mii)) continue;
    if (mii.hSubMenu) {
      visited += ForEachCommandItem(mii.hSubMenu, command, visit, stopped);
    } else if (mii.wID == command) {
      ++visited;
      MenuItemBlock* b = (mii.fType & MFT_OWNERDRAW) ? MenuBlockFromData(mii.dwItemData) : nullptr;
      *stopped = !visit(menu, pos, b);
    }
  }
  return visited;
}

template <class Visit>
int ForEachCommandItem(HMENU menu, UINT command, Visit visit) {
  bool stopped = false;
  return menu ? ForEachCommandItem(menu, command, visit, &stopped) : 0;
}

}  // namespace

void CMainFrame::EqualizeTextColumns(HMENU popup) {
  int widest = 0;
  for (int pos = 0; pos < ::GetMenuItemCount(popup); ++pos) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_DATA};
    ::GetMenuItemInfoA(popup, pos, TRUE, &mii);
    MenuItemBlock* b = (mii.fType & MFT_OWNERDRAW) ? MenuBlockFromData(mii.dwItemData) : nullptr;
    int accel = 0;
    if (b) widest = std::max(widest, MeasureMenuText(b->text, b->tabPos, &accel));
  }
  SetMenuTextColumnWidth(popup, widest);
}

int CMainFrame::SetMenuItemTextByCommand(UINT command, LPCSTR text) {
  MakeMenus();
  HMENU bar = ::GetMenu(m_hWnd);
  if (!bar || !text) return 0;
  HMENU popup = nullptr;
  int pos = -1;
  MenuItemBlock* block = nullptr;
  ForEachCommandItem(bar, command, [&](HMENU menu, int at, MenuItemBlock* b) {
    popup = menu;
    pos = at;
    block = b;
    return false;
  });
  if (!popup) return 0;
  char old[256] = "";
  if (block)
    lstrcpynA(old, block->text, sizeof old);
  else
    ::GetMenuStringA(popup, pos, old, sizeof old, MF_BYPOSITION);
  std::string now = text;
  if (text[0] == '\t') {
    int tab = MenuTabPos(old);
    now = std::string(old, tab >= 0 ? (size_t)tab : strlen(old)) + text;
  }
  now = now.substr(0, sizeof(MenuItemBlock::text) - 1);
  if (now == old) return 1;
  // The system's string, then the block (made when the item had none).
  MENUITEMINFOA mii = {sizeof mii, MIIM_STRING};
  mii.dwTypeData = &now[0];
  ::SetMenuItemInfoA(popup, pos, TRUE, &mii);
  if (block) {
    FillMenuBlock(block, now.c_str(), command);
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW;
    mii.dwItemData = MenuBlockData(block);
    ::SetMenuItemInfoA(popup, pos, TRUE, &mii);
  } else {
    AllocMenuItemData(popup, pos, now.c_str(), command);
  }
  EqualizeTextColumns(popup);
  return 1;
}

int CMainFrame::GetMenuIconIndex(UINT command) {
  MakeMenus();
  int icon = -1;
  ForEachCommandItem(::GetMenu(m_hWnd), command, [&](HMENU, int, MenuItemBlock* b) {
    if (!b) return true;
    icon = b->icon == kNoMenuIcon ? -1 : b->icon;
    return false;
  });
  return icon;
}

int CMainFrame::SetMenuIconIndex(UINT command, int index) {
  MakeMenus();
  bool known = m_normalIcons && index >= 0 && index < ImageList_GetImageCount(m_normalIcons);
  int n = ForEachCommandItem(::GetMenu(m_hWnd), command, [&](HMENU, int, MenuItemBlock* b) {
    if (b) b->icon = known ? (uint16_t)index : kNoMenuIcon;
    return true;
  });
  return n > 0 ? 1 : 0;
}

bool CMainFrame::MakeIconLists() {
  MakeMenus();
  if (!m_normalIcons) m_normalIcons = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, 8, 8);
  if (!m_greyIcons) m_greyIcons = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, 8, 8);
  return m_normalIcons && m_greyIcons;
}

void CMainFrame::RecordIconCommands(int first, int count, UINT command) {
  for (int i = m_commandCount; i < first && i < kMaxMenuCommands; ++i) m_menuCommandIds[i] = kNoMenuCommand;
  for (int i = first; i < first + count && i < kMaxMenuCommands; ++i)
    m_menuCommandIds[i] = (WORD)(i == first ? command : kNoMenuCommand);
  m_commandCount = std::max(m_commandCount, std::min(first + count, kMaxMenuCommands));
  if (command != kNoMenuCommand) SetMenuIconIndex(command, first);
}

int CMainFrame::AddMenuIcon(UINT command, HICON icon) {
  if (!icon || !MakeIconLists()) return -1;
  // The icon drawn at the lists' size over the mask colour.
  HDC screen = ::GetDC(nullptr);
  void* bits = nullptr;
  BITMAPINFO* dib = CreateDib(screen, m_iconWidth, m_iconHeight, 24, &bits);
  HBITMAP normal = nullptr;
  if (dib) {
    HDC dc = GetDibMemDC(dib);
    HBRUSH key = CreateSolidBrush(kMenuIconKey);
    RECT all = {0, 0, m_iconWidth, m_iconHeight};
    FillRect(dc, &all, key);
    DeleteObject(key);
    DrawIconEx(dc, 0, 0, icon, m_iconWidth, m_iconHeight, 0, nullptr, DI_NORMAL);
    GdiFlush();
    DeleteDibMemDC(dib);
    normal = CreateBitmapFromDib(screen, dib, bits, 0);
  }
  ::ReleaseDC(nullptr, screen);
  int first = normal ? AddIconStrip(normal, dib, bits, kMenuIconKey) : -1;
  if (normal) DeleteObject(normal);
  if (dib) FreeDib(dib);
  if (first >= 0) RecordIconCommands(first, 1, command);
  return first;
}

int CMainFrame::AddMenuBitmap(UINT command, HBITMAP bitmap, COLORREF maskColor) {
  if (!bitmap || !MakeIconLists()) return -1;
  int before = ImageList_GetImageCount(m_normalIcons);
  HDC screen = ::GetDC(nullptr);
  void* bits = nullptr;
  BITMAPINFO* dib = CreateDibFromBitmap(screen, bitmap, &bits);
  ::ReleaseDC(nullptr, screen);
  int first = AddIconStrip(bitmap, dib, bits, maskColor);
  if (dib) FreeDib(dib);
  if (first >= 0) RecordIconCommands(first, ImageList_GetImageCount(m_normalIcons) - before, command);
  return first;
}

void CMainFrame::ToggleLargeMenuMode() { MenuStyleFlag = !MenuStyleFlag; }

void CMainFrame::ApplyLargeMenuMode(CCmdUI* pCmdUI) { pCmdUI->SetCheck(MenuStyleFlag ? 1 : 0); }
