// CToolBarNew in a frame: loading a toolbar resource, groups, the update of
// its buttons, sizes.
#include "controls/toolbar/toolbarnew.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/window_util.h"
#include "mfc/frame.h"
#include "mfc/statusbar.h"
#include "mfc/winapp.h"

namespace {
const UINT kIndeterminateId = 203;
const UINT kDisabledId = 204;

class CBarFrame : public CFrameWnd {
 public:
  CToolBarNew m_bar;
  CStatusBar m_status;

 protected:
  afx_msg void OnUpdateIndeterminate(CCmdUI* ui) { ui->SetCheck(2); }
  afx_msg void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
  afx_msg void OnAny() {}
  afx_msg void OnContextMenu(CWnd*, CPoint) { contextMenus++; }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(wParam);
    return CFrameWnd::OnCommand(wParam, lParam);
  }
  DECLARE_MESSAGE_MAP()

 public:
  int contextMenus = 0;
  std::vector<WPARAM> commands;
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
  ON_UPDATE_COMMAND_UI(kIndeterminateId, OnUpdateIndeterminate)
  ON_UPDATE_COMMAND_UI(kDisabledId, OnUpdateDisabled)
  ON_COMMAND(200, OnAny)
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

// The items of the pop-up menus shown while it lives; each menu is closed
// as soon as its loop idles.
class MenuCatcher {
 public:
  struct Item {
    std::string text;  // "-" for a separator
    UINT id;
    bool checked;
  };
  MenuCatcher() {
    s_current = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    // Should the loop never idle, a thread timer ends it.
    timer_ = SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { EndMenu(); });
  }
  ~MenuCatcher() {
    KillTimer(nullptr, timer_);
    UnhookWindowsHookEx(hook_);
    s_current = nullptr;
  }
  std::vector<std::vector<Item>> menus;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && s_current && m->message == WM_INITMENUPOPUP) {
      HMENU menu = (HMENU)m->wParam;
      std::vector<Item> items;
      for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[128] = "";
        UINT state = GetMenuState(menu, (UINT)i, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
          items.push_back({"-", 0, false});
          continue;
        }
        GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
        items.push_back({text, GetMenuItemID(menu, i), (state & MF_CHECKED) != 0});
      }
      s_current->menus.push_back(items);
    }
    if (code == HC_ACTION && s_current && m->message == WM_ENTERIDLE) EndMenu();
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
  static inline MenuCatcher* s_current = nullptr;
};

class ToolBarNewTest : public testing::Test {
 protected:
  void SetUp() override {
    frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Leiste", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 520, 220)));
    ASSERT_TRUE(frame->m_bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    PumpMessages();
  }
  void TearDown() override {
    frame->DestroyWindow();
    PumpMessages();
  }
  CBarFrame* frame = nullptr;
};
}  // namespace

TEST(ToolBarNewSizes, MinimumLengthFollowsTheIconHeight) {
  EXPECT_EQ(CToolBarNew::MinLengthFor(32), 28);
  EXPECT_EQ(CToolBarNew::MinLengthFor(40), 44);
  EXPECT_EQ(CToolBarNew::MinLengthFor(48), 48);
  EXPECT_EQ(CToolBarNew::MinLengthFor(16), 16);
}

TEST_F(ToolBarNewTest, LoadsNineButtonsWithSevenImages) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  ASSERT_EQ(bar.Send(TB_BUTTONCOUNT), 9);
  EXPECT_EQ(bar.m_imageWidth, 16);
  const int images[9] = {0, 1, -1, 2, 3, 4, -1, 5, 6};
  for (int i = 0; i < 9; i++) {
    TBBUTTON b = {};
    ASSERT_TRUE(bar.Send(TB_GETBUTTON, (WPARAM)i, (LPARAM)&b));
    EXPECT_EQ(b.iBitmap, images[i]) << i;
    EXPECT_EQ((b.fsStyle & BTNS_SEP) != 0, images[i] < 0) << i;
  }
  // The bar sized itself to its buttons.
  CRect rc;
  bar.GetClientRect(&rc);
  EXPECT_GT(rc.Width(), 7 * 16);

  // Another order over the same images.
  const UINT ids[3] = {206, 0, 200};
  LPCSTR names[2] = {MAKEINTRESOURCEA(128), nullptr};
  ASSERT_TRUE(bar.LoadToolBar(names, ids, 3));
  EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | 0), 6);
  EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | 2), 0);
  ASSERT_TRUE(bar.LoadToolBar(names, nullptr, (int)kToolBarKeepButtons));
  EXPECT_EQ(bar.Send(TB_BUTTONCOUNT), 3);
  LPCSTR missing[2] = {MAKEINTRESOURCEA(999), nullptr};
  EXPECT_FALSE(bar.LoadToolBar(missing, nullptr, 0));
}

// The 24-bit strip of a bitmap resource, as LoadToolBar adds it: each image
// button shows its own square (8 x 7 pixels of its cell's colour) and the
// key colour nowhere.
TEST_F(ToolBarNewTest, ImagesOfA24BitResourceShowTheirColours) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  bar.SendMessage(TB_ENABLEBUTTON, kDisabledId, FALSE);
  PumpMessages();
  WindowCapture shot(bar.m_hWnd);
  shot.SavePng(ScreenshotPath("toolbarnew_resource_images.png").c_str());
  const int images[9] = {0, 1, -1, 2, 3, 4, -1, 5, 6};
  for (int i = 0; i < 9; i++) {
    if (images[i] < 0) continue;
    CRect rc;
    ASSERT_TRUE(bar.Send(TB_GETITEMRECT, (WPARAM)i, (LPARAM)&rc));
    const int cell = images[i];
    COLORREF square = RGB(cell * 36, 255 - cell * 30, 0);
    TBBUTTON b = {};
    bar.Send(TB_GETBUTTON, (WPARAM)i, (LPARAM)&b);
    bool disabled = (UINT)b.idCommand == kDisabledId;
    EXPECT_EQ(shot.Count(square, rc), disabled ? 0 : 8 * 7) << "button " << i;
    EXPECT_EQ(shot.Count(RGB(0xC0, 0xC0, 0xC0), rc), 0) << "button " << i;
  }
}

TEST_F(ToolBarNewTest, GroupsUpdateHandlersAndButtonInfo) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  EXPECT_FALSE(bar.MakeButtonGroup(0, 1));
  EXPECT_TRUE(bar.MakeButtonGroup(3, 3));
  EXPECT_EQ(bar.Send(TBX_GETSTATESTYLE, kTbxByIndex | 3) & 0xFF, 0x84);
  EXPECT_EQ(bar.Send(TBX_GETSTATESTYLE, kTbxByIndex | 4) & 0xFF, 0x04);
  EXPECT_EQ(bar.Send(TBX_GETSTATESTYLE, kTbxByIndex | 5) & 0xFF, 0x04);

  bar.OnUpdateCmdUI(frame, FALSE);
  // SetCheck(2) makes a check button in the indeterminate state.
  EXPECT_EQ(bar.Send(TB_ISBUTTONINDETERMINATE, kIndeterminateId), 1);
  EXPECT_EQ(bar.Send(TB_GETSTATE, kIndeterminateId) & TBSTATE_CHECKED, 0);
  EXPECT_EQ(bar.Send(TBX_GETSTATESTYLE, 0x12480000 | kIndeterminateId) & BTNS_CHECK, BTNS_CHECK);
  EXPECT_EQ(bar.Send(TB_ISBUTTONENABLED, kDisabledId), 0);
  EXPECT_EQ(bar.Send(TB_ISBUTTONENABLED, 200), 1);

  UINT id = 0, state = 0;
  int image = 0;
  ASSERT_TRUE(bar.GetButtonInfo(5, &id, &state, &image));
  EXPECT_EQ(id, kDisabledId);
  EXPECT_TRUE(state & TBBS_DISABLED);
  EXPECT_EQ(image, 4);
  bar.SetButtonInfoEx(5, 300, TBBS_CHECKBOX | TBBS_CHECKED, 1, 0x0020, 0x0020);
  ASSERT_TRUE(bar.GetButtonInfo(5, &id, &state, &image));
  EXPECT_EQ(id, 300u);
  EXPECT_EQ(state, (UINT)(TBBS_CHECKBOX | TBBS_CHECKED));
  EXPECT_EQ(image, 1);
  EXPECT_EQ(bar.Send(TBX_GETSTYLEWORD, kTbxByIndex | 5) & 0xFFFF, 0x0020);
  // With the style word in the request: the same answers.
  id = state = 0;
  image = 0;
  ASSERT_TRUE(bar.GetButtonInfoEx(5, &id, &state, &image));
  EXPECT_EQ(id, 300u);
  EXPECT_EQ(state, (UINT)(TBBS_CHECKBOX | TBBS_CHECKED));
  EXPECT_EQ(image, 1);
}

TEST_F(ToolBarNewTest, SizesThroughTheControl) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  CSize row = bar.CalcFixedLayout(TRUE, TRUE);
  CSize column = bar.CalcDynamicLayout(-1, LM_VERTDOCK);
  EXPECT_GT(row.cx, column.cx);
  EXPECT_LT(row.cy, column.cy);
  // A narrow floating width wraps into rows, never narrower than minLength.
  CSize narrow = bar.CalcDynamicLayout(60, LM_HORZ | LM_COMMIT);
  EXPECT_GT(narrow.cy, row.cy);
  EXPECT_GE(narrow.cx, bar.m_minLength);
  EXPECT_EQ(bar.m_nMRUWidth, narrow.cx);
  // Colours and the image scale pass through.
  EXPECT_EQ(bar.SetColors(RGB(1, 2, 3), RGB(4, 5, 6)), (COLORREF)0xFF00FF);
  EXPECT_EQ(bar.SetColors((COLORREF)-1, 0), (COLORREF)-1);
  EXPECT_EQ(bar.SetImageScale(512, FALSE), 256);
  EXPECT_EQ(bar.SetImageScale(0, FALSE), 512);
}

// The control's style holds WS_HSCROLL | WS_VSCROLL; the bar still answers
// its borders as client area, so a press there is a press on the bar.
TEST_F(ToolBarNewTest, BordersAreClientAreaAndControlsAttach) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  EXPECT_EQ(bar.GetStyle() & (WS_HSCROLL | WS_VSCROLL), (DWORD)(WS_HSCROLL | WS_VSCROLL));
  CRect rc;
  bar.GetWindowRect(&rc);
  EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 1, rc.bottom - 1)), HTCLIENT);

  CWnd edit;
  ASSERT_TRUE(edit.CreateEx(0, "EDIT", "", WS_CHILD, CRect(0, 0, 60, 20), &bar, 900));
  EXPECT_EQ(bar.SetButtonControl(&edit, 205, 0, TRUE), 0);
  EXPECT_EQ(bar.GetControlAt(0)->GetSafeHwnd(), edit.m_hWnd);
  EXPECT_EQ(bar.FindControlById(900, 0)->GetSafeHwnd(), edit.m_hWnd);
  EXPECT_EQ(bar.FindControlById(900, 1), nullptr);
  EXPECT_EQ(bar.GetControlAt(1), nullptr);
  EXPECT_EQ((HFONT)edit.SendMessage(WM_GETFONT), (HFONT)GetStockObject(ANSI_VAR_FONT));
  edit.DestroyWindow();
}

TEST_F(ToolBarNewTest, ReplacesTheBitmapOfTheFirstEntry) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 224, 30, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP twice = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bar.ReplaceBitmapFromHandle(twice, 32, TRUE));
  TbxImageInfo info = {};
  ASSERT_EQ(bar.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 1), (LPARAM)&info), 1);
  EXPECT_EQ(info.source, (UINT_PTR)twice);
  EXPECT_EQ(info.count, 7);
  EXPECT_EQ(info.cellWidth, 32);
  EXPECT_EQ(bar.m_imageWidth, 32);
  // Back to the resource: the bar's own bitmap goes.
  ASSERT_TRUE(bar.ReplaceBitmap(128, 16));
  EXPECT_EQ(GetObjectType(twice), 0u);
  EXPECT_FALSE(bar.ReplaceBitmap(999, 16));
}

// Without menu bits a right click takes the default path to the frame; with
// them the menu shows the chosen items, texts from the caller, the string
// resource's parts (63 characters at most, an empty part keeps the default)
// or the defaults, the checks and the separators between the groups.
TEST_F(ToolBarNewTest, ContextMenu) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  CRect rc;
  bar.GetWindowRect(&rc);
  LPARAM at = MAKELPARAM(rc.right - 2, rc.top + 2);
  {
    MenuCatcher catcher;
    bar.SendMessage(WM_CONTEXTMENU, (WPARAM)bar.m_hWnd, at);
    EXPECT_TRUE(catcher.menus.empty());
    EXPECT_EQ(frame->contextMenus, 1);
  }

  const std::string third = std::string("Riesig_ist_dieser_Text_mit_mehr_als_dreiundsechzig_Zeichen_im_Menue", 63);
  struct Case {
    DWORD flags;
    int iconSize;
    const char* hideText;
    std::vector<MenuCatcher::Item> items;
  } cases[] = {
      {kToolBarMenuMask,
       1,
       nullptr,
       {{"Klein", 0xD000, false},
        {"Mittler Icons", 0xD001, true},
        {third, 0xD002, false},
        {"-", 0, false},
        {"Flache Symbolleiste", 0xD003, true},
        {"-", 0, false},
        {"ausblenden", 0xD004, false}}},
      // No size item: no separator before the flat item.
      {kToolBarMenuFlat | kToolBarMenuHide,
       0,
       "Weg damit",
       {{"Flache Symbolleiste", 0xD003, true}, {"-", 0, false}, {"Weg damit", 0xD004, false}}},
      {kToolBarMenuLarge | kToolBarMenuHide,
       2,
       nullptr,
       {{third, 0xD002, true}, {"-", 0, false}, {"ausblenden", 0xD004, false}}},
      {kToolBarMenuSmall, 1, nullptr, {{"Klein", 0xD000, false}}},
  };
  for (const Case& c : cases) {
    bar.m_menuFlags = c.flags;
    bar.m_iconSizeIndex = c.iconSize;
    bar.m_menuTexts[4] = c.hideText;
    MenuCatcher catcher;
    bar.SendMessage(WM_CONTEXTMENU, (WPARAM)bar.m_hWnd, at);
    ASSERT_EQ(catcher.menus.size(), 1u) << std::hex << c.flags;
    const auto& items = catcher.menus[0];
    ASSERT_EQ(items.size(), c.items.size()) << std::hex << c.flags;
    for (size_t i = 0; i < items.size(); i++) {
      EXPECT_EQ(items[i].text, c.items[i].text) << i;
      EXPECT_EQ(items[i].id, c.items[i].id) << i;
      EXPECT_EQ(items[i].checked, c.items[i].checked) << i;
    }
  }
  // The flat check follows the window style.
  bar.ModifyStyle(0, TBSTYLE_FLAT, FALSE);
  bar.m_menuFlags = kToolBarMenuFlat;
  MenuCatcher catcher;
  bar.SendMessage(WM_CONTEXTMENU, (WPARAM)bar.m_hWnd, at);
  ASSERT_EQ(catcher.menus.size(), 1u);
  ASSERT_EQ(catcher.menus[0].size(), 1u);
  EXPECT_FALSE(catcher.menus[0][0].checked);
  EXPECT_EQ(frame->contextMenus, 1);
}

namespace {
HBITMAP MakeStrip(int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}
}  // namespace

// A descriptor in place of a resource name: its bitmap and ids, its images
// counted after those of the names before it.
TEST_F(ToolBarNewTest, LoadsInMemoryDescriptors) {
  CToolBarNew& bar = frame->m_bar;
  HBITMAP strip = MakeStrip(60, 20);
  const UINT extra[3] = {300, 0, 301};
  ToolBarDescriptor d = {nullptr, (UINT_PTR)strip, 0, 0, 20, 3, extra};
  LPCSTR names[3] = {MAKEINTRESOURCEA(128), reinterpret_cast<LPCSTR>(&d), nullptr};
  const BYTE descriptors[2] = {0, 1};
  const UINT ids[4] = {301, 200, 0, 300};
  ASSERT_TRUE(bar.LoadToolBar(names, ids, 4, descriptors));
  ASSERT_EQ(bar.Send(TB_BUTTONCOUNT), 4);
  const int images[4] = {8, 0, -1, 7};
  for (int i = 0; i < 4; i++) EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | i), images[i]) << i;
  TbxImageInfo info[2] = {};
  ASSERT_EQ(bar.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 2), (LPARAM)info), 2);
  EXPECT_EQ(info[1].source, (UINT_PTR)strip);
  EXPECT_EQ(info[1].cellWidth, 20);
  EXPECT_EQ(info[1].count, 3);
  EXPECT_EQ(bar.m_imageWidth, 16);

  // A descriptor alone gives the buttons of its ids.
  LPCSTR alone[2] = {reinterpret_cast<LPCSTR>(&d), nullptr};
  const BYTE first[1] = {1};
  ASSERT_TRUE(bar.LoadToolBar(alone, nullptr, 0, first));
  ASSERT_EQ(bar.Send(TB_BUTTONCOUNT), 3);
  EXPECT_EQ(bar.Send(TBX_GETCOMMANDIDAT, 2), 301);
  EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | 2), 1);
  EXPECT_EQ(bar.m_imageWidth, 20);
  bar.DestroyWindow();
  EXPECT_NE(GetObjectType(strip), 0u);  // not the bar's to delete
  DeleteObject(strip);
}

// With no entry to replace, or one whose cell count the entries after it
// rely on, the bar is rebuilt on the new bitmap in the buttons' order.
TEST_F(ToolBarNewTest, ReplaceRebuildsWhenNoEntryCanTakeTheBitmap) {
  CToolBarNew& bar = frame->m_bar;
  const UINT ids[4] = {200, 0, 201, 202};
  ASSERT_TRUE(bar.SetButtons(ids, 4));
  HBITMAP strip = MakeStrip(72, 24);
  ASSERT_TRUE(bar.ReplaceBitmapFromHandle(strip, 24, TRUE));
  ASSERT_EQ(bar.Send(TB_BUTTONCOUNT), 4);
  const int images[4] = {0, -1, 1, 2};
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(bar.Send(TBX_GETCOMMANDIDAT, i), (LRESULT)ids[i]) << i;
    EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | i), images[i]) << i;
  }
  TbxImageInfo info = {};
  ASSERT_EQ(bar.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 1), (LPARAM)&info), 1);
  EXPECT_EQ(info.source, (UINT_PTR)strip);
  EXPECT_EQ(info.cellWidth, 24);
  EXPECT_EQ(bar.m_imageWidth, 24);

  // Two entries: the first cannot change its count of 3 cells to 2.
  HBITMAP first = MakeStrip(72, 24), second = MakeStrip(40, 20);
  const UINT more[2] = {400, 401};
  ToolBarDescriptor d0 = {nullptr, (UINT_PTR)first, 0, 0, 24, 4, ids};
  ToolBarDescriptor d1 = {nullptr, (UINT_PTR)second, 0, 0, 20, 2, more};
  LPCSTR names[3] = {reinterpret_cast<LPCSTR>(&d0), reinterpret_cast<LPCSTR>(&d1), nullptr};
  const BYTE descriptors[2] = {1, 1};
  const UINT order[3] = {401, 202, 200};
  ASSERT_TRUE(bar.LoadToolBar(names, order, 3, descriptors));
  EXPECT_EQ(GetObjectType(strip), 0u);  // its entry owned it
  HBITMAP narrow = MakeStrip(48, 24);
  ASSERT_TRUE(bar.ReplaceBitmapFromHandle(narrow, 24, TRUE));
  ASSERT_EQ(bar.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 1), (LPARAM)&info), 1);
  EXPECT_EQ(info.source, (UINT_PTR)narrow);
  EXPECT_EQ(bar.Send(TBX_GETIMAGEINFO, MAKEWPARAM(1, 1), (LPARAM)&info), 0);
  ASSERT_EQ(bar.Send(TB_BUTTONCOUNT), 3);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(bar.Send(TBX_GETCOMMANDIDAT, i), (LRESULT)order[i]) << i;
    EXPECT_EQ(bar.Send(TBX_GETIMAGE, kTbxByIndex | i), i) << i;
  }
  // The rebuilt entry owns the bitmap; those it replaced were never the bar's.
  EXPECT_NE(GetObjectType(first), 0u);
  EXPECT_NE(GetObjectType(second), 0u);
  bar.DestroyWindow();
  EXPECT_EQ(GetObjectType(narrow), 0u);
  DeleteObject(first);
  DeleteObject(second);

  // A rebuild with ids: the cells' commands give the buttons and their order.
  CToolBarNew again;
  ASSERT_TRUE(again.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 0xE801));
  ASSERT_TRUE(again.SetButtons(ids, 4));
  const UINT cells[4] = {202, 0, 200, 201};
  ASSERT_TRUE(again.ReplaceBitmapFromHandle(MakeStrip(72, 24), 24, TRUE, cells, 4));
  ASSERT_EQ(again.Send(TB_BUTTONCOUNT), 4);
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(again.Send(TBX_GETCOMMANDIDAT, i), (LRESULT)cells[i]) << i;
    EXPECT_EQ(again.Send(TBX_GETIMAGE, kTbxByIndex | i), images[i]) << i;
  }

  // Without a cell width an owned bitmap is given up.
  CToolBarNew empty;
  HBITMAP lost = MakeStrip(20, 20);
  EXPECT_FALSE(empty.ReplaceBitmapFromHandle(lost, 0, TRUE));
  EXPECT_EQ(GetObjectType(lost), 0u);
}

// Swatch colours go in as 5-6-5 values; the flat style toggles with a new
// look, and only the style bits that change the layout lay the bar out again.
TEST_F(ToolBarNewTest, SwatchColoursAndTheFlatToggle) {
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  struct Case {
    DWORD value;
    int kind;
    DWORD stored;
  } cases[] = {
      {RGB(255, 128, 8), -1, 0xFFFF0C1F},   {RGB(0, 0, 0), -1, 0xFFFF0000},
      {RGB(255, 255, 255), -1, 0xFFFFFFFF}, {RGB(7, 3, 7), -1, 0xFFFF0000},  // below one step of each channel
      {0x12345678, 0, 0x12345678},
  };
  for (const Case& c : cases) {
    bar.SetButtonColor(1, c.value, c.kind);
    EXPECT_EQ((DWORD)bar.Send(TBX_GETBUTTONVALUE, kTbxByIndex | 1), c.stored) << std::hex << c.value;
  }

  CRect first;
  bar.Send(TB_GETITEMRECT, 0, (LPARAM)&first);
  WindowCapture flat(bar.m_hWnd);
  bar.m_bDelayedButtonLayout = FALSE;
  EXPECT_EQ(bar.ModifyStyle(0, WS_TABSTOP, TRUE) & TBSTYLE_FLAT, (DWORD)TBSTYLE_FLAT);
  EXPECT_FALSE(bar.m_bDelayedButtonLayout);
  EXPECT_EQ(bar.ModifyStyle(0, TBSTYLE_FLAT, TRUE) & TBSTYLE_FLAT, (DWORD)TBSTYLE_FLAT);
  EXPECT_TRUE(bar.m_bDelayedButtonLayout);
  EXPECT_EQ(bar.GetStyle() & TBSTYLE_FLAT, 0u);
  // Without the flat style every button is framed.
  WindowCapture framed(bar.m_hWnd);
  int changed = 0;
  for (int y = first.top; y < first.bottom; y++) {
    for (int x = first.left; x < first.right; x++) changed += flat.Pixel(x, y) != framed.Pixel(x, y);
  }
  EXPECT_GT(changed, 2 * first.Height());
  bar.ModifyStyle(TBSTYLE_FLAT, TBSTYLE_FLAT, TRUE);
  WindowCapture again(bar.m_hWnd);
  for (int y = first.top; y < first.bottom; y++) {
    for (int x = first.left; x < first.right; x++) {
      ASSERT_EQ(again.Pixel(x, y), flat.Pixel(x, y)) << x << "," << y;
    }
  }
}

// With a main window: the menu's hide command hides the bar through the
// frame, and embedded controls' commands reach the main window, a combo
// box's selection change with its item's data as a second command.
TEST_F(ToolBarNewTest, HideCommandAndEmbeddedControlsWithAMainWindow) {
  CWinApp app(nullptr);
  app.m_pMainWnd = frame;
  CToolBarNew& bar = frame->m_bar;
  ASSERT_TRUE(bar.LoadToolBar(128));
  CWnd combo;
  ASSERT_TRUE(combo.CreateEx(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 80, 120), &bar, 910));
  combo.SendMessage(CB_ADDSTRING, 0, (LPARAM) "a");
  combo.SendMessage(CB_ADDSTRING, 0, (LPARAM) "b");
  combo.SendMessage(CB_SETITEMDATA, 1, 4711);
  combo.SendMessage(CB_SETCURSEL, 1);
  EXPECT_EQ(bar.SetButtonControl(&combo, 205, -1, FALSE), 0);
  PumpMessages();
  frame->commands.clear();
  bar.SendMessage(WM_COMMAND, MAKEWPARAM(910, CBN_SELCHANGE), (LPARAM)combo.m_hWnd);
  combo.SendMessage(CB_SETITEMDATA, 1, 0);
  bar.SendMessage(WM_COMMAND, MAKEWPARAM(910, CBN_SELCHANGE), (LPARAM)combo.m_hWnd);
  PumpMessages();
  const std::vector<WPARAM> expected = {MAKEWPARAM(910, CBN_SELCHANGE), 4711, MAKEWPARAM(910, CBN_SELCHANGE), 911};
  EXPECT_EQ(frame->commands, expected);

  ASSERT_TRUE(bar.IsWindowVisible());
  bar.SendMessage(WM_COMMAND, kToolBarCmdHide);
  EXPECT_FALSE(bar.IsWindowVisible());
  combo.DestroyWindow();
  app.m_pMainWnd = nullptr;
}

namespace {
std::string PaneText(HWND status) {
  char text[256] = "";
  SendMessageA(status, SB_GETTEXTA, 0, (LPARAM)text);
  return text;
}

BOOL CALLBACK FindTip(HWND hwnd, LPARAM lParam) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || !IsWindow(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hwnd;
  return FALSE;
}

std::string TipText(HWND bar, HWND tip) {
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = tip;
  info.hdr.code = TTN_NEEDTEXTA;
  SendMessageA(bar, WM_NOTIFY, 0, (LPARAM)&info);
  return info.lpszText ? info.lpszText : "";
}
}  // namespace

// With the cursor on a button the tip shows the text after "\n" and the status
// bar its prompt; moving away brings "Bereit" back.
TEST_F(ToolBarNewTest, TipAndPromptFollowTheCursor) {
  static const UINT indicators[] = {ID_SEPARATOR};
  ASSERT_TRUE(frame->m_status.Create(frame));
  ASSERT_TRUE(frame->m_status.SetIndicators(indicators, 1));
  ASSERT_TRUE(frame->m_bar.LoadToolBar(128));
  frame->m_bar.SetBarStyle(frame->m_bar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
  frame->RecalcLayout();
  SetForegroundWindow(frame->m_hWnd);
  PumpMessages();
  HWND bar = frame->m_bar.m_hWnd;
  HWND status = frame->m_status.m_hWnd;

  struct Case {
    int index;
    const char* prompt;
    const char* tip;
  };
  const Case cases[] = {{0, "Legt eine neue Datei an.", "Neu"}, {1, "Nur ein Hinweis", ""}};
  for (const Case& c : cases) {
    RECT rc = {};
    ASSERT_TRUE(SendMessageA(bar, TB_GETITEMRECT, c.index, (LPARAM)&rc));
    POINT at = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    POINT screen = at;
    ClientToScreen(bar, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(PaneText(status), c.prompt) << c.index;
    HWND tip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTip, (LPARAM)&tip);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(TipText(bar, tip), c.tip) << c.index;
  }

  RECT frameRect = {};
  GetWindowRect(frame->m_hWnd, &frameRect);
  SetCursorPos(frameRect.right + 40, frameRect.bottom + 40);
  for (int i = 0; i < 50 && PaneText(status) != "Bereit"; i++) PumpMessages(20);
  EXPECT_EQ(PaneText(status), "Bereit");

  // A move reported after the cursor had already left: no WM_MOUSELEAVE
  // comes, the check timer ends the prompt.
  RECT rc = {};
  SendMessageA(bar, TB_GETITEMRECT, 0, (LPARAM)&rc);
  SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(rc.left + 4, rc.top + 4));
  EXPECT_EQ(PaneText(status), "Legt eine neue Datei an.");
  for (int i = 0; i < 50 && PaneText(status) != "Bereit"; i++) PumpMessages(20);
  EXPECT_EQ(PaneText(status), "Bereit");
}
