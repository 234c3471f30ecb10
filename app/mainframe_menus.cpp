// Owner-drawn menus of the main frame: each command shows its toolbar icon,
// the accelerators line up in a column of their own.
#include "app/mainframe.h"

#include <cstring>

#include "res/resource.h"
#include "ui/libdib/libdib.h"
#include "ui/theme/themedraw.h"

void CMainFrame::MakeMenus() {
  if (m_menusMade) return;
  m_menusMade = true;
  static const UINT toolbars[] = {IDR_MAINFRAME};
  InitMenuIcons(toolbars, 1);
}

LRESULT CMainFrame::OnInitMenu(WPARAM, LPARAM) {
  MakeMenus();
  return Default();
}

BOOL CMainFrame::InitMenuIcons(const UINT* toolbarIds, int count) {
  m_menusMade = true;
  HINSTANCE inst = AfxGetResourceHandle();
  for (int t = 0; t < count && toolbarIds[t]; ++t) {
    HRSRC res = FindResourceA(inst, MAKEINTRESOURCEA(toolbarIds[t]), RT_TOOLBAR);
    const WORD* data = res ? static_cast<const WORD*>(LockResource(LoadResource(inst, res))) : nullptr;
    if (!data) continue;
    int items = data[3];
    if (!m_normalIcons) {
      m_iconWidth = data[1];
      m_iconHeight = data[2];
      m_normalIcons = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, items, 8);
      m_greyIcons = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, items, 8);
    }
    HBITMAP bmp = (HBITMAP)LoadImageA(inst, MAKEINTRESOURCEA(toolbarIds[t]), IMAGE_BITMAP, 0, 0, 0);
    if (bmp) {
      HDC screen = ::GetDC(nullptr);
      void* bits = nullptr;
      // A block of our own: without a copy flag the loader hands out the
      // resource's memory, which the toolbar draws from too.
      BITMAPINFO* dib =
          LoadDibResource(screen, inst, MAKEINTRESOURCEA(toolbarIds[t]), (LPCSTR)RT_BITMAP, kDibForceCopy, &bits);
      ::ReleaseDC(nullptr, screen);
      AddIconStrip(bmp, dib, bits, kMenuIconKey);
      if (dib) FreeDib(dib);
      DeleteObject(bmp);
    }
    for (int i = 0; i < items && m_commandCount < kMaxMenuCommands; ++i)
      if (data[4 + i]) m_menuCommandIds[m_commandCount++] = data[4 + i];
  }
  if (m_commandCount == 0) return 0;

  NONCLIENTMETRICSA ncm = {};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
    m_menuFont = CreateFontIndirectA(&ncm.lfMenuFont);

  HMENU bar = ::GetMenu(m_hWnd);
  if (!bar) return 1;
  for (int top = 0; top < ::GetMenuItemCount(bar); ++top) {
    HMENU stack[kMaxMenuStack];
    int depth = 0;
    if (HMENU sub = ::GetSubMenu(bar, top)) stack[depth++] = sub;
    int running = 0;
    while (depth > 0) {
      HMENU popup = stack[--depth];
      for (int pos = 0; pos < ::GetMenuItemCount(popup); ++pos) {
        MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU};
        ::GetMenuItemInfoA(popup, pos, TRUE, &mii);
        if (mii.hSubMenu) {
          if (depth < kMaxMenuStack) stack[depth++] = mii.hSubMenu;
        } else if ((mii.fType & ~MFT_OWNERDRAW) == MFT_STRING && !(mii.fType & MFT_OWNERDRAW) &&
                   !(mii.wID >= kFirstRecentFileId && mii.wID <= kLastRecentFileId)) {
          char text[256] = "";
          ::GetMenuStringA(popup, pos, text, sizeof text, MF_BYPOSITION);
          int col = AllocMenuItemData(popup, pos, text, mii.wID);
          if (col > running) running = col;
        } else if (!(mii.fType & MFT_OWNERDRAW) && !(mii.wID >= kFirstRecentFileId && mii.wID <= kLastRecentFileId)) {
          MENUITEMINFOA od = {sizeof od, MIIM_FTYPE | MIIM_DATA};
          od.fType = mii.fType | MFT_OWNERDRAW;
          od.dwItemData = 0;
          ::SetMenuItemInfoA(popup, pos, TRUE, &od);
        }
      }
      running += kTextColumnExtra;
      SetMenuTextColumnWidth(popup, running);
    }
  }
  return 1;
}

int CMainFrame::AddIconStrip(HBITMAP strip, BITMAPINFO* dib, void* bits, COLORREF key) {
  int first = ImageList_AddMasked(m_normalIcons, strip, key);
  if (first < 0) return -1;
  if (dib && TintDib(dib, bits, kMenuGreyTint, key)) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP grey = CreateBitmapFromDib(screen, dib, bits, 0);
    ::ReleaseDC(nullptr, screen);
    if (grey) {
      ImageList_AddMasked(m_greyIcons, grey, key);
      DeleteObject(grey);
    }
  }
  // Both lists keep one index per icon, whatever the grey copy came to.
  ImageList_SetImageCount(m_greyIcons, (UINT)ImageList_GetImageCount(m_normalIcons));
  return first;
}

int CMainFrame::MeasureMenuText(const char* text, int tabPos, int* accelWidth) {
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, m_menuFont ? m_menuFont : GetStockObject(DEFAULT_GUI_FONT));
  RECT rc = {0, 0, 0, 0};
  int len = tabPos >= 0 ? tabPos : (int)strlen(text);
  DrawTextA(dc, text, len, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  int textCol = rc.right + m_iconWidth + 4;
  *accelWidth = 0;
  if (tabPos >= 0) {
    RECT ra = {0, 0, 0, 0};
    DrawTextA(dc, text + tabPos + 1, -1, &ra, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    *accelWidth = ra.right + 2 < 24 ? 24 : ra.right + 2;
  }
  SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  return textCol;
}

int CMainFrame::FillMenuBlock(MenuItemBlock* b, const char* text, UINT command) {
  lstrcpynA(b->text, text, sizeof b->text);
  b->tabPos = MenuTabPos(b->text);
  int accel = 0;
  int textCol = MeasureMenuText(b->text, b->tabPos, &accel);
  b->icon = kNoMenuIcon;
  if (!MenuTextHidesIcon(b->text, b->tabPos))
    for (int i = m_commandCount - 1; i >= 0; --i)
      if (m_menuCommandIds[i] == command) {
        b->icon = (uint16_t)i;
        break;
      }
  int cyMenu = GetSystemMetrics(SM_CYMENU);
  b->height = (uint16_t)(m_iconHeight > cyMenu ? m_iconHeight : cyMenu);
  b->textColumn = (uint16_t)textCol;
  b->width = (uint16_t)(textCol + accel);
  return textCol;
}

int CMainFrame::AllocMenuItemData(HMENU popup, int pos, const char* text, UINT command) {
  MakeMenus();
  MenuItemBlock* b = static_cast<MenuItemBlock*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(MenuItemBlock)));
  if (!b) return 0;
  int textCol = FillMenuBlock(b, text, command);
  MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_DATA};
  mii.fType = MFT_OWNERDRAW;
  mii.dwItemData = MenuBlockData(b);
  ::SetMenuItemInfoA(popup, pos, TRUE, &mii);
  return textCol;
}

void CMainFrame::SetMenuTextColumnWidth(HMENU popup, int width) {
  for (int pos = 0; pos < ::GetMenuItemCount(popup); ++pos) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_DATA};
    ::GetMenuItemInfoA(popup, pos, TRUE, &mii);
    MenuItemBlock* b = (mii.fType & MFT_OWNERDRAW) ? MenuBlockFromData(mii.dwItemData) : nullptr;
    if (!b) continue;
    b->width = (uint16_t)(b->width + width - b->textColumn);
    b->textColumn = (uint16_t)width;
  }
}

void CMainFrame::FreeMenuItemData(HMENU popup, int pos) {
  MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_DATA};
  if (!::GetMenuItemInfoA(popup, pos, TRUE, &mii)) return;
  if ((mii.fType & MFT_OWNERDRAW) && MenuBlockFromData(mii.dwItemData))
    HeapFree(GetProcessHeap(), 0, MenuBlockFromData(mii.dwItemData));
  mii.fMask = MIIM_DATA;
  mii.dwItemData = 0;
  ::SetMenuItemInfoA(popup, pos, TRUE, &mii);
}

LRESULT CMainFrame::OnMenuItemData(WPARAM wParam, LPARAM lParam) {
  CMenu* menu = reinterpret_cast<CMenu*>(lParam);
  if (menu) FreeMenuItemData(menu->GetSafeHmenu(), (int)wParam);
  return 0;
}

void CMainFrame::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
  CFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
  if (bSysMenu || !pPopupMenu) return;
  MakeMenus();
  HMENU popup = pPopupMenu->GetSafeHmenu();
  int widest = 0;
  bool made = false;
  for (int pos = ::GetMenuItemCount(popup) - 1; pos >= 0; --pos) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU};
    ::GetMenuItemInfoA(popup, pos, TRUE, &mii);
    MenuItemBlock* b = (mii.fType & MFT_OWNERDRAW) ? MenuBlockFromData(mii.dwItemData) : nullptr;
    bool recent = mii.wID >= kFirstRecentFileId && mii.wID <= kLastRecentFileId && !mii.hSubMenu;
    char text[256] = "";
    if (b) {
      if (b->textColumn > widest) widest = b->textColumn;
    } else if (recent && !(mii.fType & MFT_OWNERDRAW)) {
      ::GetMenuStringA(popup, pos, text, sizeof text, MF_BYPOSITION);
      int number = (int)(mii.wID - kFirstRecentFileId);
      lstrcpynA(m_recentTexts[number], text, sizeof m_recentTexts[number]);
      int accel = 0;
      int textCol = MeasureMenuText(text, -1, &accel);
      int cyMenu = GetSystemMetrics(SM_CYMENU);
      MENUITEMINFOA od = {sizeof od, MIIM_FTYPE | MIIM_DATA};
      od.fType = mii.fType | MFT_OWNERDRAW;
      od.dwItemData = PackRecentData(textCol + 1, m_iconHeight > cyMenu ? m_iconHeight : cyMenu, number);
      ::SetMenuItemInfoA(popup, pos, TRUE, &od);
    } else if (!(mii.fType & MFT_OWNERDRAW) && (mii.fType != MFT_STRING || mii.hSubMenu)) {
      MENUITEMINFOA od = {sizeof od, MIIM_FTYPE | MIIM_DATA};
      od.fType = mii.fType | MFT_OWNERDRAW;
      od.dwItemData = 0;
      ::SetMenuItemInfoA(popup, pos, TRUE, &od);
    } else if (!(mii.fType & MFT_OWNERDRAW)) {
      ::GetMenuStringA(popup, pos, text, sizeof text, MF_BYPOSITION);
      int col = AllocMenuItemData(popup, pos, text, mii.wID);
      if (col > widest) widest = col;
      made = true;
    }
  }
  if (made) SetMenuTextColumnWidth(popup, widest);
}

void CMainFrame::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpmis) {
  if (lpmis->CtlType != ODT_MENU) {
    CFrameWnd::OnMeasureItem(nIDCtl, lpmis);
    return;
  }
  int extra = MenuStyleFlag ? 2 : 0;
  if (MenuItemBlock* b = MenuBlockFromData(lpmis->itemData)) {
    lpmis->itemWidth = b->width + extra;
    lpmis->itemHeight = b->height;
  } else if (lpmis->itemData == 0) {
    lpmis->itemWidth = 20;
    lpmis->itemHeight = 8;
  } else {
    lpmis->itemWidth = (UINT)((lpmis->itemData >> 16) & 0xFFFF) + extra;
    lpmis->itemHeight = (UINT)((lpmis->itemData >> 8) & 0xFF);
  }
}

namespace {
void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  RECT rc = {l, t, r, b};
  SetBkColor(dc, c);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void DrawPart(HDC dc, const char* text, int len, RECT rc, bool disabled, const MenuColors& c, COLORREF normal) {
  UINT fmt = DT_SINGLELINE | DT_VCENTER;
  if (disabled) {
    RECT shadow = rc;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, c.light);
    DrawTextA(dc, text, len, &shadow, fmt);
    SetTextColor(dc, c.grey);
  } else {
    SetTextColor(dc, normal);
  }
  DrawTextA(dc, text, len, &rc, fmt);
}
}  // namespace

BOOL CMainFrame::DrawMenuItem(LPDRAWITEMSTRUCT lpdis) {
  if (lpdis->CtlType != ODT_MENU) return FALSE;
  if (!(lpdis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return TRUE;
  HDC dc = lpdis->hDC;
  const RECT& r = lpdis->rcItem;
  bool blended = MenuStyleFlag != 0;
  MenuColors c = GetMenuColors(blended);
  bool selected = (lpdis->itemState & ODS_SELECTED) != 0;
  bool disabled = (lpdis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  bool checked = (lpdis->itemState & ODS_CHECKED) != 0;
  COLORREF menu = GetCachedSysColor(COLOR_MENU);
  int iconCol = m_iconWidth + 4;
  int saveDC = SaveDC(dc);
  HGDIOBJ oldFont = m_menuFont ? SelectObject(dc, m_menuFont) : nullptr;

  if (lpdis->itemData == 0) {  // separator
    Fill(dc, r.left, r.top, r.right, r.bottom, c.background);
    Fill(dc, r.left, r.top, r.left + iconCol, r.bottom, menu);
    // One etched line from edge to edge: the caption text colour, black in
    // many schemes, would draw a hard line over the icon column.
    Fill(dc, r.left + 2, r.top + 3, r.right - 2, r.top + 4, c.grey);
    Fill(dc, r.left + 2, r.top + 4, r.right - 2, r.top + 5, c.light);
    if (oldFont) SelectObject(dc, oldFont);
    RestoreDC(dc, saveDC);
    return TRUE;
  }

  MenuItemBlock* b = MenuBlockFromData(lpdis->itemData);
  const char* text;
  int tabPos = -1;
  int textCol = iconCol;
  int icon = -1;
  if (b) {
    text = b->text;
    tabPos = b->tabPos;
    textCol = b->textColumn;
    icon = b->icon == kNoMenuIcon ? -1 : b->icon;
  } else {
    int number = (int)((lpdis->itemData & 0xFF) / 4) & 15;
    text = m_recentTexts[number];
  }
  bool lit = selected && !disabled;
  Fill(dc, r.left, r.top, r.left + iconCol, r.bottom, lit ? c.iconSelection : menu);
  Fill(dc, r.left + iconCol, r.top, r.right, r.bottom, lit ? c.selection : c.background);

  if (icon >= 0) {
    if (checked) {
      Fill(dc, r.left, r.top, r.left + iconCol, r.bottom, GetCachedSysColor(COLOR_BTNFACE));
      Draw3dFrame(dc, r.left, r.top + 1, m_iconWidth + 2, m_iconHeight + 2,
                  kFrameSunken | kFrameFill | kFrameFillLight);
    }
    ImageList_Draw(disabled ? m_greyIcons : m_normalIcons, icon, dc, r.left + 1, r.top + 2, ILD_TRANSPARENT);
  } else if (checked) {
    RECT rc = {r.left + 1, r.top + 4, r.left + 1 + m_iconWidth, r.top + 4 + m_iconHeight};
    DrawCheckMark(dc, &rc, disabled ? 0x12 : 0x11, 0);
  }

  SetBkMode(dc, TRANSPARENT);
  int shift = (c.background != menu || c.selection != GetCachedSysColor(COLOR_HIGHLIGHT)) ? 3 : 0;
  COLORREF normal = GetCachedSysColor(selected ? COLOR_CAPTIONTEXT : COLOR_MENUTEXT);
  RECT textRc = {r.left + iconCol + shift, r.top + 2, r.right, r.bottom};
  DrawPart(dc, text, tabPos >= 0 ? tabPos : -1, textRc, disabled, c, normal);
  if (tabPos >= 0) {
    RECT accelRc = {r.left + textCol + 8 + shift, r.top + 2, r.right, r.bottom};
    DrawPart(dc, text + tabPos + 1, -1, accelRc, disabled, c, normal);
  }
  if (oldFont) SelectObject(dc, oldFont);
  RestoreDC(dc, saveDC);
  return TRUE;
}
