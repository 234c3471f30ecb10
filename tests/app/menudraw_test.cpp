// Owner-drawn menu items of the editor's frame, drawn into a bitmap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_test_app.h"
#include "app/mainframe.h"
#include "app/menubar.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {
// A 32-bit top-down bitmap with its DC.
struct Canvas {
  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bmp);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  COLORREF Pixel(int x, int y) const {
    uint32_t p = bits[y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int CountOther(COLORREF c, int x0, int x1) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = x0; x < x1; ++x) n += Pixel(x, y) != c;
    return n;
  }
  int width, height;
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  uint32_t* bits = nullptr;
};

class MenuDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    m_app = new CEditorTestApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
    m_names = new TestAppNames;
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = DYNAMIC_DOWNCAST(CMainFrame, m_app->m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    // The menus are made as the bar first opens.
    m_frame->SendMessage(WM_INITMENU, (WPARAM)GetMenu(m_frame->m_hWnd));
  }
  void TearDown() override {
    MenuStyleFlag = 1;
    if (m_app->m_pMainWnd) m_app->m_pMainWnd->SendMessage(WM_CLOSE);
    m_app->Run();
    delete m_names;
    delete m_app;
  }
  HMENU Popup(int pos) { return GetSubMenu(GetMenu(m_frame->m_hWnd), pos); }
  ULONG_PTR Data(HMENU popup, UINT id) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_DATA | MIIM_FTYPE};
    GetMenuItemInfoA(popup, id, FALSE, &mii);
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << id;
    return mii.dwItemData;
  }
  // Measures and draws one item into the canvas.
  void Draw(Canvas& c, ULONG_PTR data, UINT state) {
    MEASUREITEMSTRUCT mis = {ODT_MENU, 0, 0, 0, 0, data};
    m_frame->SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis);
    DRAWITEMSTRUCT dis = {
        ODT_MENU, 0, 0, ODA_DRAWENTIRE, state, (HWND)Popup(1), c.dc, {0, 0, c.width, (LONG)mis.itemHeight}, data};
    m_frame->SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
  }
  void SavePng(const Canvas& c, const char* name) {
    // Through a window that prints the canvas, so that the harness writes it.
    static HDC source = nullptr;
    source = c.dc;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
      if (m == WM_PRINTCLIENT) {
        RECT rc;
        GetClientRect(h, &rc);
        BitBlt((HDC)w, 0, 0, rc.right, rc.bottom, source, 0, 0, SRCCOPY);
        return 0;
      }
      return DefWindowProcA(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MenuCanvasShot";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, c.width, c.height, nullptr, nullptr, wc.hInstance,
                             nullptr);
    WindowCapture(w).SavePng(ScreenshotPath(name).c_str());
    DestroyWindow(w);
  }

  CEditorTestApp* m_app = nullptr;
  TestAppNames* m_names = nullptr;
  CMainFrame* m_frame = nullptr;
};

TEST_F(MenuDraw, ItemsGetBlocksIconsAndAlignedAcceleratorColumns) {
  HMENU edit = Popup(1);
  MenuItemBlock* find = MenuBlockFromData(Data(edit, ID_FIND));
  MenuItemBlock* next = MenuBlockFromData(Data(edit, ID_FIND_NEXT_MENU));
  MenuItemBlock* all = MenuBlockFromData(Data(edit, ID_SELECT_ALL));
  ASSERT_TRUE(find && next && all);
  EXPECT_STREQ(find->text, "Suchen\tStrg+F");
  EXPECT_EQ(find->tabPos, 6);
  // Toolbar 128 has no find button: no icon; the accelerators line up.
  EXPECT_EQ(find->icon, kNoMenuIcon);
  EXPECT_EQ(find->textColumn, next->textColumn);
  EXPECT_EQ(find->textColumn, all->textColumn);
  MENUITEMINFOA sep = {sizeof sep, MIIM_DATA | MIIM_FTYPE};
  GetMenuItemInfoA(edit, 3, TRUE, &sep);
  EXPECT_EQ(sep.dwItemData, 0u);
  MenuItemBlock* about = MenuBlockFromData(Data(Popup(3), ID_APP_ABOUT));
  ASSERT_NE(about, nullptr);
  EXPECT_NE(about->icon, kNoMenuIcon);

  // A non-breaking space before the tab hides the icon; without a tab the
  // last character decides; a tab at 0 reads nothing before the text.
  HMENU own = CreatePopupMenu();
  const char* texts[] = {"Info\xA0\tF1", "Info\xA0", "\tF1", "Info"};
  const bool hidden[] = {true, true, false, false};
  for (int i = 0; i < 4; ++i) {
    AppendMenuA(own, MF_STRING, ID_APP_ABOUT, texts[i]);
    m_frame->AllocMenuItemData(own, i, texts[i], ID_APP_ABOUT);
    MENUITEMINFOA mii = {sizeof mii, MIIM_DATA};
    GetMenuItemInfoA(own, i, TRUE, &mii);
    EXPECT_EQ(MenuBlockFromData(mii.dwItemData)->icon == kNoMenuIcon, hidden[i]) << i;
    m_frame->SendMessage(WM_MENUITEMDATA, i, (LPARAM)CMenu::FromHandle(own));
    GetMenuItemInfoA(own, i, TRUE, &mii);
    EXPECT_EQ(mii.dwItemData, 0u);
  }
  DestroyMenu(own);
}

// A separator is one etched line from edge to edge, the icon column
// included: a darker row over a lighter one, each of one colour, in both
// colour schemes.
TEST_F(MenuDraw, SeparatorIsOneEtchedLineOverTheWholeWidth) {
  for (int scheme = 1; scheme >= 0; --scheme) {
    MenuStyleFlag = scheme;
    SCOPED_TRACE(scheme);
    MenuColors colors = GetMenuColors(scheme != 0);
    Canvas sep(220, 8);
    Draw(sep, 0, 0);
    for (int x = 2; x < 218; ++x) {
      ASSERT_EQ(sep.Pixel(x, 3), colors.grey) << x;
      ASSERT_EQ(sep.Pixel(x, 4), colors.light) << x;
    }
    EXPECT_NE(colors.grey, colors.light);
  }
}

TEST_F(MenuDraw, IconGreyIconEmbossedTextCheckMarkInBothSchemes) {
  int iconRight = m_frame->IconWidth() + 4;
  for (int scheme = 1; scheme >= 0; --scheme) {
    MenuStyleFlag = scheme;
    SCOPED_TRACE(scheme);
    MenuColors colors = GetMenuColors(scheme != 0);
    COLORREF menu = GetSysColor(COLOR_MENU);
    ULONG_PTR about = Data(Popup(3), ID_APP_ABOUT);
    Canvas normal(220, 22), grey(220, 22), checked(220, 22), sep(220, 8), lit(220, 22);
    Draw(normal, about, 0);
    Draw(grey, about, ODS_GRAYED);
    Draw(checked, Data(Popup(2), ID_FLAT_TOOLBAR), ODS_CHECKED);
    Draw(sep, 0, 0);
    Draw(lit, about, ODS_SELECTED);
    // The icon column holds the icon; the text area the text on the background.
    EXPECT_GT(normal.CountOther(menu, 0, iconRight), 20);
    EXPECT_EQ(normal.Pixel(200, 1), colors.background);
    EXPECT_GT(normal.CountOther(colors.background, iconRight, 200), 10);
    // Disabled: other icon pixels, text in the grey and light colours.
    int differ = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < iconRight; ++x) differ += normal.Pixel(x, y) != grey.Pixel(x, y);
    EXPECT_GT(differ, 5);
    int greyText = 0, lightText = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = iconRight; x < 200; ++x) {
        greyText += grey.Pixel(x, y) == colors.grey;
        lightText += grey.Pixel(x, y) == colors.light;
      }
    EXPECT_GT(greyText, 5);
    if (colors.light != colors.background) {
      EXPECT_GT(lightText, 5);
    }
    // A checked item without an icon shows a check mark in the icon column.
    EXPECT_GT(checked.CountOther(menu, 0, iconRight), 5);
    // Selected: the selection fill.
    EXPECT_EQ(lit.Pixel(200, 1), colors.selection);
    // Separator: an etched line at rows 3 and 4.
    EXPECT_NE(sep.Pixel(100, 3), sep.Pixel(100, 1));
    std::string name = std::string("app_menu_items_scheme") + (scheme ? "1" : "0") + ".png";
    Canvas all(220, 22 * 4 + 8);
    BitBlt(all.dc, 0, 0, 220, 22, normal.dc, 0, 0, SRCCOPY);
    BitBlt(all.dc, 0, 22, 220, 22, grey.dc, 0, 0, SRCCOPY);
    BitBlt(all.dc, 0, 44, 220, 22, checked.dc, 0, 0, SRCCOPY);
    BitBlt(all.dc, 0, 66, 220, 22, lit.dc, 0, 0, SRCCOPY);
    BitBlt(all.dc, 0, 88, 220, 8, sep.dc, 0, 0, SRCCOPY);
    SavePng(all, name.c_str());
  }
}
// A command's item takes a new text (or a new accelerator part), another
// icon or one the caller adds; the popup's accelerators stay in line.
TEST_F(MenuDraw, TextsAndIconsChangeAfterTheMenusWereMade) {
  HMENU edit = Popup(1);
  MenuItemBlock* find = MenuBlockFromData(Data(edit, ID_FIND));
  MenuItemBlock* next = MenuBlockFromData(Data(edit, ID_FIND_NEXT_MENU));
  ASSERT_TRUE(find && next);
  int column = find->textColumn;
  EXPECT_EQ(m_frame->SetMenuItemTextByCommand(ID_FIND, "\tF3"), 1);
  EXPECT_STREQ(find->text, "Suchen\tF3");
  EXPECT_EQ(find->tabPos, 6);
  EXPECT_EQ(MenuBlockFromData(Data(edit, ID_FIND)), find) << "owner-drawn with its block again";
  char text[80] = "";
  GetMenuStringA(edit, ID_FIND, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Suchen\tF3");
  EXPECT_EQ(m_frame->SetMenuItemTextByCommand(ID_FIND, "Suchen\tF3"), 1) << "equal text";
  EXPECT_EQ(m_frame->SetMenuItemTextByCommand(ID_FIND, "Suchen in allen Schl\xFCsseln und Werten\tStrg+F"), 1);
  EXPECT_GT(find->textColumn, column);
  EXPECT_EQ(find->textColumn, next->textColumn) << "the accelerators line up";
  std::string longText(100, 'x');
  EXPECT_EQ(m_frame->SetMenuItemTextByCommand(ID_FIND, longText.c_str()), 1);
  EXPECT_EQ(strlen(find->text), 63u);
  EXPECT_EQ(find->tabPos, -1);
  EXPECT_EQ(m_frame->SetMenuItemTextByCommand(9999, "x"), 0);

  // Icons: read, moved, taken away; an index beyond the lists is none.
  MenuItemBlock* about = MenuBlockFromData(Data(Popup(3), ID_APP_ABOUT));
  ASSERT_NE(about->icon, kNoMenuIcon);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_APP_ABOUT), about->icon);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_FIND), -1);
  EXPECT_EQ(m_frame->SetMenuIconIndex(ID_FIND, about->icon), 1);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_FIND), about->icon);
  EXPECT_EQ(m_frame->SetMenuIconIndex(ID_FIND, 500), 1);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_FIND), -1);
  EXPECT_EQ(m_frame->SetMenuIconIndex(9999, 0), 0);

  // An icon of the caller's own, drawn in the item and greyed when disabled.
  m_frame->SetMenuItemTextByCommand(ID_FIND, "Suchen\tStrg+F");
  int added = m_frame->AddMenuIcon(ID_FIND, LoadIconA(nullptr, IDI_ERROR));
  ASSERT_GT(added, about->icon);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_FIND), added);
  int iconRight = m_frame->IconWidth() + 4;
  COLORREF menu = GetSysColor(COLOR_MENU);
  Canvas normal(220, 22), grey(220, 22);
  Draw(normal, Data(edit, ID_FIND), 0);
  Draw(grey, Data(edit, ID_FIND), ODS_GRAYED);
  EXPECT_GT(normal.CountOther(menu, 0, iconRight), 20);
  int differ = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < iconRight; ++x) differ += normal.Pixel(x, y) != grey.Pixel(x, y);
  EXPECT_GT(differ, 5);
  Canvas both(220, 44);
  BitBlt(both.dc, 0, 0, 220, 22, normal.dc, 0, 0, SRCCOPY);
  BitBlt(both.dc, 0, 22, 220, 22, grey.dc, 0, 0, SRCCOPY);
  SavePng(both, "app_menu_added_icon.png");
  // A strip of two cells for no command: two icons, no item changes.
  HDC screen = GetDC(nullptr);
  HBITMAP strip = CreateCompatibleBitmap(screen, 2 * m_frame->IconWidth(), 15);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(m_frame->AddMenuBitmap(kNoMenuCommand, strip, RGB(255, 0, 255)), added + 1);
  DeleteObject(strip);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_FIND), added);
  EXPECT_EQ(m_frame->AddMenuIcon(ID_FIND, nullptr), -1);
}

class CheckCatcher : public CCmdUI {
 public:
  void SetCheck(int nCheck) override { check = nCheck; }
  int check = -1;
};

TEST_F(MenuDraw, TheSchemeSwitchAndItsCheckMark) {
  MenuStyleFlag = 1;
  CheckCatcher ui;
  m_frame->ApplyLargeMenuMode(&ui);
  EXPECT_EQ(ui.check, 1);
  m_frame->ToggleLargeMenuMode();
  EXPECT_EQ(MenuStyleFlag, 0);
  m_frame->ApplyLargeMenuMode(&ui);
  EXPECT_EQ(ui.check, 0);
  // The blended scheme measures items 2 pixels wider.
  MEASUREITEMSTRUCT plain = {ODT_MENU, 0, 0, 0, 0, Data(Popup(3), ID_APP_ABOUT)};
  m_frame->SendMessage(WM_MEASUREITEM, 0, (LPARAM)&plain);
  m_frame->ToggleLargeMenuMode();
  MEASUREITEMSTRUCT wide = plain;
  m_frame->SendMessage(WM_MEASUREITEM, 0, (LPARAM)&wide);
  EXPECT_EQ(wide.itemWidth, plain.itemWidth + 2);
}

// A popup of a caller's own on the bar: copied, converted when it opens,
// put in place of an earlier one of its id, removed with its blocks.
TEST_F(MenuDraw, PopupsOfTheCallersOwnOnTheBar) {
  HMENU bar = GetMenu(m_frame->m_hWnd);
  int count = GetMenuItemCount(bar);
  HMENU own = CreatePopupMenu();
  AppendMenuA(own, MF_STRING, ID_APP_ABOUT, "Info\tF1");
  AppendMenuA(own, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(own, MF_STRING | MF_GRAYED, ID_FIND, "Suchen");
  ASSERT_TRUE(InsertMenuItemWithIcon(5000, own, "&Extra", -1));
  ASSERT_EQ(GetMenuItemCount(bar), count + 1);
  MENUITEMINFOA top = {sizeof top, MIIM_ID | MIIM_SUBMENU | MIIM_DATA};
  GetMenuItemInfoA(bar, count, TRUE, &top);
  EXPECT_EQ(top.wID, 5000u);
  EXPECT_EQ(top.dwItemData, kOwnMenuPopupData);
  ASSERT_NE(top.hSubMenu, own) << "a copy";
  char text[32] = "";
  GetMenuStringA(bar, count, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Extra");
  EXPECT_EQ(GetMenuItemCount(top.hSubMenu), 3);
  EXPECT_EQ(GetMenuState(top.hSubMenu, ID_FIND, MF_BYCOMMAND) & MF_GRAYED, (UINT)MF_GRAYED);
  // Opened: the frame draws its items with their icons.
  m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)top.hSubMenu, MAKELPARAM(count, FALSE));
  MenuItemBlock* info = MenuBlockFromData(Data(top.hSubMenu, ID_APP_ABOUT));
  ASSERT_NE(info, nullptr);
  EXPECT_NE(info->icon, kNoMenuIcon);
  // Again under the same id: in place of the first, at position 1.
  ASSERT_TRUE(InsertMenuItemWithIcon(5000, own, "&Neu", 1));
  EXPECT_EQ(GetMenuItemCount(bar), count + 1);
  EXPECT_FALSE(IsMenu(top.hSubMenu)) << "the first copy is gone";
  GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Neu");
  ASSERT_TRUE(RemoveMenuItemsOwnerDraw(5000));
  EXPECT_EQ(GetMenuItemCount(bar), count);
  EXPECT_FALSE(RemoveMenuItemsOwnerDraw(5000));
  // A popup that is not such a copy keeps living, its items without blocks.
  AppendMenuA(bar, MF_POPUP, (UINT_PTR)own, "&Eigen");
  MENUITEMINFOA id = {sizeof id, MIIM_ID};
  id.wID = 6000;
  SetMenuItemInfoA(bar, count, TRUE, &id);
  m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)own, MAKELPARAM(count, FALSE));
  ASSERT_NE(MenuBlockFromData(Data(own, ID_APP_ABOUT)), nullptr);
  ASSERT_TRUE(RemoveMenuItemsOwnerDraw(6000));
  EXPECT_TRUE(IsMenu(own));
  EXPECT_EQ(Data(own, ID_APP_ABOUT), 0u);
  DestroyMenu(own);
  EXPECT_EQ(SendToMainWnd(WM_GETTEXTLENGTH, 0), GetWindowTextLengthA(m_frame->m_hWnd));
}
}  // namespace
