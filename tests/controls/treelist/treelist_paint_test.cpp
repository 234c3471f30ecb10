// Painting, read back as pixels: row colours, the drawn button, selection
// with and without focus, ellipsis, grid, draw callbacks, and the same
// picture for WM_PAINT with a DC as for WM_PRINTCLIENT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

int CountIn(const WindowCapture& cap, COLORREF color, int left, int top, int right, int bottom) {
  RECT rc = {left, top, right, bottom};
  return cap.Count(color, rc);
}

// Pixels that are not the background in a rectangle.
int Ink(const WindowCapture& cap, COLORREF back, int left, int top, int right, int bottom) {
  return (right - left) * (bottom - top) - CountIn(cap, back, left, top, right, bottom);
}

// PNGs of typical states beside the test program: treelist\screens\.
void Save(const WindowCapture& cap, const char* name) {
  EXPECT_TRUE(cap.SavePng(ScreensPathIn("treelist", (std::string(name) + ".png").c_str()).c_str()));
}

TEST(TreeListPaint, AlternatingRowsAndGrid) {
  TreeListFixture f;
  for (int i = 0; i < 4; ++i) Insert(f, 0, "");
  TreeListData* d = f.Data();
  f.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ALTERNATE);
  WindowCapture cap(f.Hwnd());
  EXPECT_EQ(d->colors[kTLColorEven], cap.Pixel(150, 8));
  EXPECT_EQ(d->colors[kTLColorOdd], cap.Pixel(150, 24));
  EXPECT_EQ(d->colors[kTLColorEven], cap.Pixel(150, 40));
  EXPECT_EQ(d->colors[kTLColorBack], cap.Pixel(150, 100));
  f.Send(TVM_SETBKCOLOR, kTLColorGrid, RGB(1, 200, 3));
  f.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_TALLROWS);
  f.Send(TVM_SETITEMHEIGHT, 16);
  WindowCapture grid(f.Hwnd());
  EXPECT_EQ(RGB(1, 200, 3), grid.Pixel(150, 15));
  EXPECT_EQ(RGB(1, 200, 3), grid.Pixel(150, 31));
  EXPECT_NE(RGB(1, 200, 3), grid.Pixel(150, 14));
  // Fixed rows scrolled: slot 16 under the last fixed row.
  for (int i = 0; i < 20; ++i) Insert(f, 0, "");
  f.Send(TVM_SETBKCOLOR, kTLColorFixedLine, RGB(7, 8, 200));
  f.Send(TLM_OPTION, TLO_SET | TLO_FIXEDROWS, 1);
  f.SetTopRow(3);
  WindowCapture fixedLine(f.Hwnd());
  EXPECT_EQ(RGB(7, 8, 200), fixedLine.Pixel(150, 15));
  Save(fixedLine, "treelist_grid_fixed");
}

TEST(TreeListPaint, DrawnButtonsAndLines) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "child");
  TLHandle b = Insert(f, 0, "b");
  Insert(f, b, "child");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)b);
  // A caller's sign colour: the drawn button instead of the theme's.
  f.Send(TVM_SETLINECOLOR, 0, RGB(200, 0, 0));
  f.Send(TVM_SETBKCOLOR, kTLColorButtonFrame, RGB(0, 0, 200));
  f.Send(TVM_SETBKCOLOR, kTLColorButtonInside, RGB(0, 200, 0));
  ASSERT_EQ(0, d->themedDrawing);
  int e = d->iconEighth, cx = d->buttonBox;
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_buttons");
  // Row 0 collapsed: a plus; its frame, inside and bars.
  int cy = 8;
  EXPECT_EQ(RGB(0, 0, 200), cap.Pixel(cx - e, cy - e));
  EXPECT_EQ(RGB(0, 0, 200), cap.Pixel(cx + e, cy + e));
  EXPECT_EQ(RGB(0, 200, 0), cap.Pixel(cx - e + 1, cy - e + 1));
  EXPECT_EQ(RGB(200, 0, 0), cap.Pixel(cx, cy));
  EXPECT_EQ(RGB(200, 0, 0), cap.Pixel(cx - e, cy));  // the bar reaches the frame
  EXPECT_EQ(RGB(200, 0, 0), cap.Pixel(cx, cy - e));
  EXPECT_EQ(2 * e + 1, CountIn(cap, RGB(200, 0, 0), cx - e, cy, cx + e + 1, cy + 1));
  // Row 1 expanded: a minus.
  cy = 24;
  EXPECT_EQ(RGB(200, 0, 0), cap.Pixel(cx - 2, cy));
  EXPECT_EQ(RGB(0, 200, 0), cap.Pixel(cx, cy - 2));
  // Partly expanded: a plus again.
  d->items[b]->state |= TVIS_EXPANDPARTIAL;
  WindowCapture partial(f.Hwnd());
  EXPECT_EQ(RGB(200, 0, 0), partial.Pixel(cx, cy - 2));
  // The child row below b: dotted line pixels in the first indent cell only
  // for a later sibling; the child's own cell has its line.
  EXPECT_GT(Ink(partial, d->colors[0], d->indent + cx - 1, 32, d->indent + cx + 2, 48), 0);
}

TEST(TreeListPaint, SelectionFollowsTheFocus) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, "selected label");
  Insert(f, 0, "other");
  TreeListLock(d);
  TreeListSelectItem(d, a, 0, 0);
  TreeListUnlock(d);
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
  SetForegroundWindow(f.Parent());
  SetFocus(f.Hwnd());
  ASSERT_EQ(1, d->hasFocus);
  WindowCapture focused(f.Hwnd());
  Save(focused, "treelist_selection_focus");
  EXPECT_GT(CountIn(focused, highlight, 0, 0, 200, 16), 100);
  EXPECT_EQ(0, CountIn(focused, highlight, 0, 16, 200, 32));
  SetFocus(f.Parent());
  WindowCapture unfocused(f.Hwnd());
  EXPECT_EQ(0, CountIn(unfocused, highlight, 0, 0, 200, 16));
  EXPECT_GT(CountIn(unfocused, face, 0, 0, 200, 16), 100);
  // Whole-row selection: slot 8 across the row.
  f.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_FOCUSROW);
  WindowCapture row(f.Hwnd());
  EXPECT_EQ(d->colors[kTLColorSelOdd], row.Pixel(190, 8));
}

TEST(TreeListPaint, EllipsisKeepsTheText) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH | LVCF_TEXT;
  col.cx = 80;
  col.pszText = (char*)"Name";
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  col.cx = 100;
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  const char* text = "a long label that cannot fit";
  TLHandle a = Insert(f, 0, text);
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  tv.pszText = (char*)"cell";
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_columns_ellipsis");
  int top = d->headerHeight;
  EXPECT_STREQ(text, d->items[a]->text);
  EXPECT_GT(d->items[a]->textWidth, 80);
  // Ink in the first column, none bleeding into the cell's first pixels.
  EXPECT_GT(Ink(cap, d->colors[0], 20, top, 79, top + 16), 10);
  EXPECT_EQ(0, Ink(cap, d->colors[0], 79, top, 81, top + 16));
  EXPECT_GT(Ink(cap, d->colors[0], 81, top, 180, top + 16), 5);
  EXPECT_EQ(0, Ink(cap, d->colors[0], 181, top, d->clientWidth, top + 16));
}

// A label merged with the next column runs on into it; its neighbour row
// stops at its own column; a scrolled control moves the span along.
TEST(TreeListPaint, MergedSpanFollowsScrolling) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 160, 120);
  TreeListData* d = f.Data();
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 80;
  for (int c = 0; c < 3; ++c) f.Send(TLM_INSERTCOLUMN, c, (LPARAM)&col);
  f.Send(TLM_OPTION, TLO_SET | TLO_MERGECOLUMNS, 1);
  ASSERT_EQ(d->mergeMask, 1);
  const char* text = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
  TLHandle a = Insert(f, 0, text);
  Insert(f, 0, text);
  TVITEMA tv = {};
  tv.mask = TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.state = 1u << TLIS_MERGESHIFT;
  tv.stateMask = 1u << TLIS_MERGESHIFT;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  ASSERT_EQ(d->items[a]->state & (1u << TLIS_MERGESHIFT), 1u << TLIS_MERGESHIFT);
  int top = d->headerHeight;
  COLORREF back = d->colors[0];
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_merged_span");
  EXPECT_GT(Ink(cap, back, 85, top + 2, 155, top + 14), 20);  // merged row: text in column 1
  EXPECT_EQ(0, Ink(cap, back, 85, top + 18, 155, top + 30));  // plain row: column 1 empty
  for (int i = 0; i < 60; ++i) f.Send(WM_HSCROLL, SB_LINERIGHT);
  ASSERT_GT(d->scrollX, 40);
  int spanEnd = 160 - d->scrollX;
  WindowCapture scrolled(f.Hwnd());
  Save(scrolled, "treelist_merged_span_scrolled");
  EXPECT_GT(Ink(scrolled, back, spanEnd - 60, top + 2, spanEnd - 2, top + 14), 20);
  // Nothing of the label beyond the span's end, in either row.
  EXPECT_EQ(0, Ink(scrolled, back, spanEnd + 1, top + 1, std::min(spanEnd + 70, d->clientWidth), top + 15));
  EXPECT_EQ(0, Ink(scrolled, back, 80 - d->scrollX + 1, top + 17, spanEnd - 1, top + 31));
}

int g_hookAnswer = 0;
int g_hookCalls = 0;
int CALLBACK Hook(HDC, LPARAM context, void* info) {
  EXPECT_EQ(1234, context);
  TreeListPaintInfo* p = (TreeListPaintInfo*)info;
  EXPECT_EQ(1, p->column);
  EXPECT_EQ(4u, p->textLength);
  ++g_hookCalls;
  return g_hookAnswer;
}

TEST(TreeListPaint, ColumnDrawCallback) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 80;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  col.mask = LVCF_WIDTH | LVCF_FMT | 0x80000000;
  col.fmt = (int)0x80000000;
  col.cx = 100;
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  f.Send(TLM_OPTION, TLO_SET | TLO_PAINTHOOK, (LPARAM)Hook);
  f.Send(TLM_OPTION, TLO_SET | TLO_PAINTHOOKCONTEXT, 1234);
  TLHandle a = Insert(f, 0, "a");
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  tv.pszText = (char*)"cell";
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  int top = d->headerHeight;
  for (int answer : {0, 1, 2}) {
    SCOPED_TRACE(answer);
    g_hookAnswer = answer;
    g_hookCalls = 0;
    WindowCapture cap(f.Hwnd());
    EXPECT_EQ(1, g_hookCalls);
    int ink = Ink(cap, d->colors[0], 82, top, 178, top + 16);
    if (answer == 1) {
      // The callback drew (here: nothing); the control left the area alone.
      EXPECT_EQ(96 * 16, CountIn(cap, cap.Pixel(82, top), 82, top, 178, top + 16));
    } else {
      EXPECT_GT(ink, 5);
    }
  }
}

TEST(TreeListPaint, GridColourInTheIndentation) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "kind");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)a);
  f.Send(TVM_SETBKCOLOR, kTLColorGrid, RGB(1, 200, 3));
  const struct {
    DWORD exStyle;
    bool grid;
  } cases[] = {{TLS_EX_GRIDINDENT | TLS_EX_TALLROWS, true}, {TLS_EX_GRIDINDENT, false}, {TLS_EX_TALLROWS, false}};
  for (const auto& c : cases) {
    f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_GRIDINDENT | TLS_EX_TALLROWS, c.exStyle);
    WindowCapture cap(f.Hwnd());
    if (c.grid) Save(cap, "treelist_grid_indent");
    int h = d->rowHeight;
    // A corner of each indent cell, away from the lines: the root's one
    // cell, the child's two.
    for (POINT at : {POINT{2, 2}, POINT{2, h + 2}, POINT{d->indent + 2, h + 2}})
      EXPECT_EQ(c.grid ? RGB(1, 200, 3) : d->colors[kTLColorBack], cap.Pixel(at.x, at.y)) << std::hex << c.exStyle;
    // Right of the indentation the row keeps its background.
    EXPECT_EQ(d->colors[kTLColorBack], cap.Pixel(d->indent + 4, 2));
  }
}

TEST(TreeListPaint, TreeLinesRunThroughAnEmptyCheckPlace) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES);
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, "a");
  TLHandle child = Insert(f, a, "kind");
  Insert(f, 0, "b");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)a);
  ASSERT_TRUE(TreeListOwnCheckImages(d, 0));
  // a and its child without a check box; b keeps its own.
  for (TLHandle h : {a, child}) {
    TVITEMA tv = {};
    tv.mask = TVIF_STATE;
    tv.hItem = (HTREEITEM)(UINT_PTR)h;
    tv.stateMask = TVIS_STATEIMAGEMASK;
    f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  }
  COLORREF back = d->colors[kTLColorBack];
  int h = d->rowHeight, cy = h / 2, box = d->stateImageSize.cx;
  int left = d->indent, childLeft = 2 * d->indent;
  WindowCapture cap(f.Hwnd());
  Save(cap, "treelist_check_place_lines");
  // a: the line across the place and, a being open, down from its centre.
  EXPECT_GE(Ink(cap, back, left, cy, left + box, cy + 1), box / 2 - 1);
  EXPECT_GT(Ink(cap, back, left + d->buttonBox, cy + 2, left + d->buttonBox + 1, h), 0);
  EXPECT_EQ(0, Ink(cap, back, left + d->buttonBox, 0, left + d->buttonBox + 1, cy - 1));
  // The child: across only.
  EXPECT_GE(Ink(cap, back, childLeft, h + cy, childLeft + box, h + cy + 1), box / 2 - 1);
  EXPECT_EQ(0, Ink(cap, back, childLeft + d->buttonBox, h + cy + 2, childLeft + d->buttonBox + 1, 2 * h));
  // With grid lines the place stays empty.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_TALLROWS, TLS_EX_TALLROWS);
  WindowCapture grid(f.Hwnd());
  h = d->rowHeight;
  EXPECT_EQ(0, Ink(grid, back, left, 0, left + box, h - 1));
}

TEST(TreeListPaint, PaintWithADcEqualsPrintClient) {
  TreeListFixture f;
  TLHandle a = Insert(f, 0, "alpha");
  Insert(f, a, "beta");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)a);
  RECT rc;
  GetClientRect(f.Hwnd(), &rc);
  auto render = [&](UINT msg) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    f.Send(msg, (WPARAM)dc, msg == WM_PRINTCLIENT ? PRF_CLIENT : 0);
    GdiFlush();
    std::vector<DWORD> out((DWORD*)bits, (DWORD*)bits + rc.right * rc.bottom);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return out;
  };
  std::vector<DWORD> paint = render(WM_PAINT), print = render(WM_PRINTCLIENT);
  EXPECT_TRUE(paint == print);
  // Content width without columns: found by the painting, never shrinking.
  EXPECT_GT(f.Data()->contentWidth, 20);
}

}  // namespace
