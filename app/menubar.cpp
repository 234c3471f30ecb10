#include "app/menubar.h"

#include <string>

#include "app/statuspanes.h"
#include "mfc/globals.h"
#include "mfc/menu.h"
#include "mfc/wnd.h"

namespace {

HMENU MainMenu(CWnd** main) {
  *main = AfxGetMainWnd();
  return *main && (*main)->m_hWnd ? ::GetMenu((*main)->m_hWnd) : nullptr;
}

// Plain copies of the items (their text, id, state and sub-popups), so that
// the frame converts them when the popup opens.
bool CopyItems(HMENU from, HMENU to) {
  for (int pos = 0; pos < ::GetMenuItemCount(from); ++pos) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU};
    if (!::GetMenuItemInfoA(from, pos, TRUE, &mii)) return false;
    char text[256] = "";
    ::GetMenuStringA(from, pos, text, sizeof text, MF_BYPOSITION);
    MENUITEMINFOA copy = {sizeof copy, MIIM_FTYPE | MIIM_STATE | MIIM_ID};
    copy.fType = mii.fType & ~MFT_OWNERDRAW;
    copy.fState = mii.fState;
    copy.wID = mii.wID;
    if (!(copy.fType & MFT_SEPARATOR)) {
      copy.fMask |= MIIM_STRING;
      copy.dwTypeData = text;
    }
    if (mii.hSubMenu) {
      copy.fMask |= MIIM_SUBMENU;
      copy.hSubMenu = ::CreatePopupMenu();
      if (!copy.hSubMenu || !CopyItems(mii.hSubMenu, copy.hSubMenu)) {
        if (copy.hSubMenu) ::DestroyMenu(copy.hSubMenu);
        return false;
      }
    }
    if (!::InsertMenuItemA(to, pos, TRUE, &copy)) {
      if (copy.hSubMenu) ::DestroyMenu(copy.hSubMenu);
      return false;
    }
  }
  return true;
}

}  // namespace

BOOL RemoveMenuItemsOwnerDraw(UINT menuId) {
  CWnd* main = nullptr;
  HMENU bar = MainMenu(&main);
  if (!bar) return FALSE;
  for (int top = 0; top < ::GetMenuItemCount(bar); ++top) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_ID | MIIM_SUBMENU | MIIM_DATA};
    if (!::GetMenuItemInfoA(bar, top, TRUE, &mii) || !mii.hSubMenu || mii.wID != menuId) continue;
    CMenu* popup = CMenu::FromHandle(mii.hSubMenu);
    for (int pos = 0; pos < ::GetMenuItemCount(mii.hSubMenu); ++pos)
      main->SendMessage(WM_MENUITEMDATA, (WPARAM)pos, (LPARAM)popup);
    ::RemoveMenu(bar, (UINT)top, MF_BYPOSITION);
    if (mii.dwItemData == kOwnMenuPopupData) ::DestroyMenu(mii.hSubMenu);
    ::DrawMenuBar(main->m_hWnd);
    return TRUE;
  }
  return FALSE;
}

BOOL InsertMenuItemWithIcon(UINT menuId, HMENU popup, LPCSTR text, int position) {
  CWnd* main = nullptr;
  HMENU bar = MainMenu(&main);
  if (!bar || !popup) return FALSE;
  RemoveMenuItemsOwnerDraw(menuId);
  HMENU copy = ::CreatePopupMenu();
  if (!copy) return FALSE;
  if (!CopyItems(popup, copy)) {
    ::DestroyMenu(copy);
    return FALSE;
  }
  int count = ::GetMenuItemCount(bar);
  if (position < 0 || position > count) position = count;
  std::string caption = text ? text : "";
  MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_DATA};
  mii.fType = MFT_STRING;
  mii.wID = menuId;
  mii.hSubMenu = copy;
  mii.dwTypeData = &caption[0];
  mii.dwItemData = kOwnMenuPopupData;
  if (!::InsertMenuItemA(bar, (UINT)position, TRUE, &mii)) {
    ::DestroyMenu(copy);
    return FALSE;
  }
  ::DrawMenuBar(main->m_hWnd);
  return TRUE;
}

LRESULT SendToMainWnd(UINT message, WPARAM wParam) {
  CWnd* main = AfxGetMainWnd();
  return main && main->m_hWnd ? main->SendMessage(message, wParam, 0) : 0;
}
