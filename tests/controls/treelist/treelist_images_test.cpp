// Pictures of the drag-and-drop and tip pieces: check boxes themed and drawn
// (the theme hidden by a seam), the drop line and frame, the drag image of
// items and cells, and the tip as the screen shows it. PNGs beside the test
// program under treelist\screens\.
#include <gtest/gtest.h>

#include <string>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

void Save(const WindowCapture& cap, const char* name) {
  EXPECT_TRUE(cap.SavePng(ScreensPathIn("treelist", (std::string(name) + ".png").c_str()).c_str()));
}

int Differing(const WindowCapture& cap, COLORREF back, int left, int top, int right, int bottom) {
  RECT rc = {left, top, right, bottom};
  return (right - left) * (bottom - top) - cap.Count(back, rc);
}

const DWORD kCheckStyle = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES;

void SetCheck(TreeListFixture& f, TLHandle h, int image) {
  TVITEMA item = {};
  item.mask = TVIF_STATE;
  item.hItem = (HTREEITEM)(UINT_PTR)h;
  item.state = INDEXTOSTATEIMAGEMASK(image);
  item.stateMask = TVIS_STATEIMAGEMASK;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&item);
}

TEST(TreeListImages, ThemedCheckBoxes) {
  TreeListFixture f(kCheckStyle);
  TreeListData* d = f.Data();
  ASSERT_EQ(d->stateImages, TL_CHECKBOX_MARKER) << "the BUTTON theme draws the boxes";
  EXPECT_TRUE(d->buttonTheme);
  EXPECT_GE(d->stateImageSize.cx, 16);
  TLHandle off = Insert(f, 0, "aus");
  TLHandle on = Insert(f, 0, "an");
  SetCheck(f, off, 1);
  SetCheck(f, on, 2);
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_checks_themed");
  COLORREF back = d->colors[kTLColorBack];
  int x = d->indent;
  int w = d->stateImageSize.cx;
  EXPECT_GT(Differing(cap, back, x, 0, x + w, 16), 20) << "a box in row 0";
  EXPECT_GT(Differing(cap, back, x, 16, x + w, 32), 20) << "a box in row 1";
  // The checked one carries a mark the empty one has not.
  int markOff = Differing(cap, back, x + 4, 4, x + 10, 12);
  int markOn = Differing(cap, back, x + 4, 20, x + 10, 28);
  EXPECT_GT(markOn, markOff);
  // Under the pointer the box is hot, with the button down pressed.
  f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 6, 8));
  ASSERT_EQ(d->pressState[0], 3u);
  WindowCapture pressed(f.Hwnd());
  Save(pressed, "treelist_checks_pressed");
  int changed = 0;
  for (int y = 0; y < 16; ++y)
    for (int px = x; px < x + w; ++px)
      if (pressed.Pixel(px, y) != cap.Pixel(px, y)) ++changed;
  EXPECT_GT(changed, 0) << "the pressed box looks different";
  f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(150, 100));
}

TEST(TreeListImages, DrawnCheckBoxesWithoutTheTheme) {
  TreeListHideButtonTheme(true);
  TreeListFixture f(kCheckStyle);
  TreeListHideButtonTheme(false);
  TreeListData* d = f.Data();
  ASSERT_NE(d->stateImages, TL_CHECKBOX_MARKER);
  ASSERT_TRUE(d->stateImages);
  EXPECT_EQ(ImageList_GetImageCount(d->stateImages), 3);
  EXPECT_EQ(d->stateImageSize.cx, 16);
  EXPECT_TRUE(d->ownsStateImages);
  TLHandle off = Insert(f, 0, "aus");
  TLHandle on = Insert(f, 0, "an");
  SetCheck(f, off, 1);
  SetCheck(f, on, 2);
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_checks_drawn");
  int x = d->indent;
  // Image 1 holds its box at (1, 2)-(14, 15): inside it the window colour.
  COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(cap.Pixel(x + 7, 8), window);
  EXPECT_NE(cap.Pixel(x + 1, 8), d->colors[kTLColorBack]) << "the box's frame";
  // The checked box is marked in its middle.
  EXPECT_GT(Differing(cap, window, x + 4, 16 + 5, x + 11, 16 + 12), 5);
  EXPECT_EQ(Differing(cap, window, x + 4, 5, x + 11, 12), 0);
  // The mask colour never shows: outside the box the row's background.
  EXPECT_EQ(cap.Pixel(x, 1), d->colors[kTLColorBack]);
  // The theme coming back renews the themed form only when asked.
  f.Send(WM_SYSCOLORCHANGE);
  EXPECT_EQ(d->stateImages, TL_CHECKBOX_MARKER);
}

TEST(TreeListImages, DropLineAndFrame) {
  TreeListFixture f;
  TLHandle a = Insert(f, 0, "alpha");
  TLHandle b = Insert(f, 0, "beta");
  Insert(f, 0, "gamma");
  TreeListData* d = f.Data();
  COLORREF back = d->colors[kTLColorBack];
  f.Send(TLM_SETDROPMARK, 3, b);
  WindowCapture line(f.Hwnd());
  Save(line, "treelist_drop_line");
  int x0 = 150;  // right of the labels
  EXPECT_GT(Differing(line, back, x0, 16, x0 + 40, 19), 40) << "a checkered strip at b's top";
  EXPECT_EQ(Differing(line, back, x0, 19, x0 + 40, 32), 0);
  EXPECT_EQ(Differing(line, back, x0, 0, x0 + 40, 16), 0);
  f.Send(TLM_SETDROPMARK, 0, a);
  WindowCapture frame(f.Hwnd());
  Save(frame, "treelist_drop_frame");
  EXPECT_GT(Differing(frame, back, x0, 0, x0 + 40, 16), 200) << "the whole row of a";
  EXPECT_EQ(Differing(frame, back, x0, 16, x0 + 40, 32), 0) << "the old line is gone";
  f.Send(TLM_SETDROPMARK, 3, (LPARAM)TVI_LAST);
  WindowCapture last(f.Hwnd());
  Save(last, "treelist_drop_last");
  EXPECT_GT(Differing(last, back, x0, 48, x0 + 40, 51), 40) << "just below the last row";
  EXPECT_EQ(Differing(last, back, x0, 0, x0 + 40, 48), 0);
  f.Send(TLM_SETDROPMARK, 0, 0);
}

TEST(TreeListImages, DragImagesOfItemsAndCells) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 400, 120);
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH | LVCF_TEXT;
  col.cx = 150;
  col.pszText = (LPSTR) "Name";
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  col.pszText = (LPSTR) "Wert";
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  std::string wide;
  TreeListData* d = f.Data();
  while (TreeListMeasureText(d, wide.c_str(), (UINT)wide.size(), false) < 400) wide += "W";
  TLHandle a = Insert(f, 0, "kurz");
  TLHandle w = Insert(f, 0, wide.c_str());
  int cx = 0, cy = 0;
  // A text 400 pixels wide: 240.
  HIMAGELIST big = (HIMAGELIST)f.Send(TVM_CREATEDRAGIMAGE, 0, w);
  ASSERT_TRUE(big);
  ImageList_GetIconSize(big, &cx, &cy);
  EXPECT_EQ(cx, 240);
  EXPECT_EQ(cy, d->fontHeight);
  ImageList_Destroy(big);
  // A cell never set: "????", four font heights wide.
  HIMAGELIST unknown = (HIMAGELIST)f.Send(TVM_CREATEDRAGIMAGE, 1, a);
  ASSERT_TRUE(unknown);
  ImageList_GetIconSize(unknown, &cx, &cy);
  EXPECT_EQ(cx, 4 * d->fontHeight);
  // Drawn over a colour, the key colour is transparent and the text shows.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT rc = {0, 0, cx, cy};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(dc, &rc, green);
  ImageList_Draw(unknown, 0, dc, 0, 0, ILD_TRANSPARENT);
  int greenCount = 0, other = 0;
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(0, 255, 0))
        ++greenCount;
      else if (c != 0x5B4D7B)
        ++other;
    }
  EXPECT_GT(greenCount, cx * cy / 2) << "the background is see-through";
  EXPECT_GT(other, 10) << "the question marks";
  // The same as the text "????" of a cell that has it.
  SelectObject(dc, old);
  TVITEMA cell = {};
  cell.mask = TVIF_TEXT | TLIF_CELL;
  cell.hItem = (HTREEITEM)(UINT_PTR)a;
  cell.cChildren = 1;
  cell.pszText = (LPSTR) "????";
  f.Send(TVM_SETITEMA, 0, (LPARAM)&cell);
  HIMAGELIST same = (HIMAGELIST)f.Send(TVM_CREATEDRAGIMAGE, 1, a);
  ASSERT_TRUE(same);
  int sx = 0, sy = 0;
  ImageList_GetIconSize(same, &sx, &sy);
  EXPECT_EQ(sy, cy);
  ImageList_Destroy(same);
  DeleteObject(green);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_Destroy(unknown);
  // Refusals: a bad item, a column past the last.
  EXPECT_EQ(f.Send(TVM_CREATEDRAGIMAGE, 0, 999), 0);
  EXPECT_EQ(f.Send(TVM_CREATEDRAGIMAGE, 2, a), 0);
}

TEST(TreeListImages, TheTipAsTheScreenShowsIt) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 160, 100);
  SetForegroundWindow(f.Parent());
  Insert(f, 0, "Ein Eintrag mit einem langen Namen");
  POINT pt = {f.Data()->indent + 6, 8};
  POINT screen = pt;
  ClientToScreen(f.Hwnd(), &screen);
  SetCursorPos(screen.x, screen.y);
  f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
  HWND tip = (HWND)f.Send(TVM_GETTOOLTIPS);
  ASSERT_TRUE(IsWindowVisible(tip));
  UpdateWindow(tip);
  WindowCapture cap = WindowCapture::FromScreen(tip);
  Save(cap, "treelist_tip");
  RECT rc;
  GetWindowRect(tip, &rc);
  EXPECT_GT(rc.right - rc.left, 160 - f.Data()->indent) << "wider than the cut label";
  COLORREF tipBack = cap.Pixel(cap.Width() - 3, cap.Height() / 2);
  EXPECT_GT(Differing(cap, tipBack, 2, 2, cap.Width() - 2, cap.Height() - 2), 30) << "text on the tip";
}

}  // namespace

namespace {

TEST(TreeListImages, BufferedRepaintShowsWhatPrintClientDraws) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 200, 120);
  SetForegroundWindow(f.Parent());
  SetWindowPos(f.Parent(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  TLHandle a = Insert(f, 0, "alpha");
  Insert(f, a, "child");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  Insert(f, 0, "beta");
  f.Send(TLM_SETDROPMARK, 3, a);
  RedrawWindow(f.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  WindowCapture screen = WindowCapture::FromScreen(f.Hwnd());
  WindowCapture printed(f.Hwnd());
  ASSERT_EQ(screen.Width(), printed.Width());
  int differ = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 180; ++x)
      if (screen.Pixel(x, y) != printed.Pixel(x, y)) ++differ;
  EXPECT_EQ(differ, 0);
  f.Send(TLM_SETDROPMARK, 0, 0);
}

TEST(TreeListImages, DropMarkSparesTheColumnBorders) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 240, 120);
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 100;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  TreeListData* d = f.Data();
  f.Send(TLM_SETDROPMARK, 0, b);
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_drop_columns");
  int top = d->headerHeight + 16;
  COLORREF back = d->colors[kTLColorBack];
  // Each column's strip runs one pixel into the next: the shared pixel is
  // inverted twice and shows the background in every row of the frame.
  int border = d->columnX[1];
  for (int y = top; y < top + 16; ++y) EXPECT_EQ(cap.Pixel(border, y), back) << y;
  EXPECT_GT(Differing(cap, back, border + 5, top, border + 95, top + 16), 300);
  EXPECT_GT(Differing(cap, back, border - 1, top, border, top + 16), 4);
  f.Send(TLM_SETDROPMARK, 0, 0);
}

}  // namespace
