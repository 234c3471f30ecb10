// Columns: the header child, insert and delete, weights, cells, sizing by
// dragging the header's dividers, kept widths, order and attributes.
#include <gtest/gtest.h>

#include <cstring>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

int AddColumn(TreeListFixture& f, int index, const char* text, int width, int weight = 0, int minWidth = 0) {
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT | (width ? LVCF_WIDTH : LVCF_SUBITEM) | (minWidth ? LVCF_ORDER : 0);
  col.pszText = (char*)text;
  col.cx = width ? width : weight;
  col.iOrder = minWidth;
  return (int)f.Send(TLM_INSERTCOLUMN, index, (LPARAM)&col);
}

TLHandle Insert(TreeListFixture& f, const char* text) {
  TVINSERTSTRUCTA ins = {};
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = (char*)text;
  return (TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

int HeaderWidth(HWND header, int item) {
  HDITEMA hd = {};
  hd.mask = HDI_WIDTH;
  SendMessageA(header, HDM_GETITEMA, item, (LPARAM)&hd);
  return hd.cxy;
}

// Drags the header's divider at x to x + dx with button messages.
void DragDivider(HWND header, int x, int dx) {
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
  SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, 5));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, 5));
}

TEST(TreeListColumns, HeaderComesAndGoesWithTheColumns) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  Insert(f, "a");
  EXPECT_EQ(0, f.Send(TLM_GETHEADER));
  EXPECT_EQ(0, f.Send(TLM_GETCOLUMNWIDTH, 0));
  EXPECT_EQ(0, AddColumn(f, 0, "Name", 100));
  HWND header = (HWND)f.Send(TLM_GETHEADER);
  ASSERT_NE(nullptr, header);
  EXPECT_EQ(TL_HEADER_ID, GetDlgCtrlID(header));
  EXPECT_EQ(0x50000042, GetWindowLongA(header, GWL_STYLE) & 0x500000FF);
  char cls[32];
  GetClassNameA(header, cls, sizeof(cls));
  EXPECT_STREQ("SysHeader32", cls);
  int hh = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(hh, d->headerHeight);
  RECT rc;
  rc = {};
  TLHandle a = 1;
  memcpy(&rc, &a, sizeof(a));
  ASSERT_EQ(1, f.Send(TVM_GETITEMRECT, 0, (LPARAM)&rc));
  EXPECT_EQ(hh, rc.top);
  EXPECT_EQ(1, AddColumn(f, 1, "Typ", 60));
  EXPECT_EQ(-1, AddColumn(f, 0, "x", 10));  // column 0 stays the tree
  EXPECT_EQ(0, f.Send(TLM_DELETECOLUMN, 0));
  EXPECT_EQ(1, f.Send(TLM_DELETECOLUMN, 1));
  EXPECT_EQ(1, f.Send(TLM_DELETECOLUMN, 0));
  EXPECT_EQ(0, f.Send(TLM_GETHEADER));
  EXPECT_FALSE(IsWindow(header));
  EXPECT_EQ(0, d->headerHeight);
  memcpy(&rc, &a, sizeof(a));
  ASSERT_EQ(1, f.Send(TVM_GETITEMRECT, 0, (LPARAM)&rc));
  EXPECT_EQ(0, rc.top);
}

TEST(TreeListColumns, AtMost32AndFollowingState) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 600, 160);
  TreeListData* d = f.Data();
  for (int i = 0; i < 32; ++i) ASSERT_EQ(i, AddColumn(f, i, "c", 10));
  EXPECT_EQ(-1, AddColumn(f, 32, "c", 10));
  EXPECT_EQ(32, f.Send(TLM_GETCOLUMNCOUNT));
  for (int i = 31; i >= 3; --i) f.Send(TLM_DELETECOLUMN, i);
  TLHandle a = Insert(f, "a");
  d->caretItem = a;
  d->caretColumn = 2;
  f.Send(TLM_SETCOLUMNTEXTCOLOR, 2, RGB(1, 2, 3));
  EXPECT_EQ(2, AddColumn(f, 2, "new", 10));
  EXPECT_EQ(3, d->caretColumn);
  EXPECT_EQ((LRESULT)RGB(1, 2, 3), f.Send(TLM_SETCOLUMNTEXTCOLOR, MAKEWPARAM(3, 2), 0));
  EXPECT_EQ(-1, f.Send(TLM_SETCOLUMNTEXTCOLOR, MAKEWPARAM(2, 2), 0));
  EXPECT_EQ(-1, f.Send(TLM_SETCOLUMNTEXTCOLOR, 32, 0));
  f.Send(TLM_DELETECOLUMN, 1);
  EXPECT_EQ(2, d->caretColumn);
}

TEST(TreeListColumns, WeightedColumnTakesItsShare) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  AddColumn(f, 0, "fixed", 100);
  AddColumn(f, 1, "w1", 0, 1);
  AddColumn(f, 2, "w2", 0, 2);
  int total = d->columns[1].width + d->columns[2].width;
  EXPECT_EQ(d->clientWidth - 100, total);
  AddColumn(f, 3, "w3", 0, 1);
  EXPECT_EQ(total / 4, d->columns[3].width);
  EXPECT_EQ(total, d->columns[1].width + d->columns[2].width + d->columns[3].width);
  EXPECT_EQ(total, d->weightedColumnsWidth);
}

// A list made narrower than its fixed columns and widened again ends as
// wide as its client area: no horizontal scroll bar for nothing.
TEST(TreeListColumns, WeightedColumnFillsTheRestAfterNarrowing) {
  for (int startWidth : {293, 200}) {
    SCOPED_TRACE(startWidth);
    TreeListFixture f(WS_CHILD | WS_VISIBLE, startWidth, 160);
    TreeListData* d = f.Data();
    AddColumn(f, 0, "Name", 150);
    AddColumn(f, 1, "Typ", 130);
    AddColumn(f, 2, "Daten", 0, 1);
    for (int width : {20, 705, 0 + 1, 640}) {
      SCOPED_TRACE(width);
      MoveWindow(f.Hwnd(), 0, 0, width, 160, TRUE);
      int rest = width - 280;
      EXPECT_EQ(d->columns[2].width, rest > 16 ? rest : 16);
      if (rest >= 16) {
        EXPECT_EQ(d->columnX[d->columnCount], d->clientWidth);
        EXPECT_FALSE(GetWindowLongA(f.Hwnd(), GWL_STYLE) & WS_HSCROLL);
      }
    }
  }
}

TEST(TreeListColumns, CellsAreMadeOnDemand) {
  TreeListFixture f;
  AddColumn(f, 0, "a", 80);
  AddColumn(f, 1, "b", 80);
  TLHandle a = Insert(f, "a");
  TVITEMA tv = {};
  char text[16] = "zz";
  tv.mask = TLIF_CELL | TVIF_IMAGE | TVIF_TEXT | TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  tv.pszText = text;
  tv.cchTextMax = sizeof(text);
  tv.stateMask = (UINT)-1;
  ASSERT_EQ(1, f.Send(TVM_GETITEMA, 0, (LPARAM)&tv));
  EXPECT_EQ(-2, tv.iImage);
  EXPECT_STREQ("", text);
  tv.mask = TLIF_CELL | TVIF_TEXT | TVIF_STATE;
  tv.pszText = (char*)"cell";
  tv.state = TVIS_BOLD;
  tv.stateMask = TVIS_BOLD;
  ASSERT_EQ(1, f.Send(TVM_SETITEMA, 0, (LPARAM)&tv));
  tv.pszText = text;
  tv.stateMask = (UINT)-1;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_STREQ("cell", text);
  EXPECT_EQ((UINT)TVIS_BOLD, tv.state & TVIS_BOLD);
  EXPECT_EQ(0, f.Send(TVM_GETITEMSTATE, a) & TVIS_BOLD);
  // The item's selected and expanded bits are not the cell's; 0x80 set with
  // TLIF_ALLCELLSTATE is, but reads back only with it.
  f.Send(TVM_SELECTITEM, TVGN_CARET, (LPARAM)a);
  ASSERT_EQ((LRESULT)TVIS_SELECTED, f.Send(TVM_GETITEMSTATE, a, TVIS_SELECTED));
  tv.mask = TLIF_CELL | TLIF_ALLCELLSTATE | TVIF_STATE;
  tv.state = 0x80;
  tv.stateMask = 0x80;
  ASSERT_EQ(1, f.Send(TVM_SETITEMA, 0, (LPARAM)&tv));
  tv.mask = TLIF_CELL | TVIF_STATE;
  tv.stateMask = 0xFFFF;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ((UINT)TVIS_BOLD, tv.state);
  tv.mask = TLIF_CELL | TLIF_ALLCELLSTATE | TVIF_STATE;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ((UINT)(TVIS_BOLD | 0x80), tv.state);
  tv.mask = TLIF_CELL | TVIF_TEXT | TVIF_STATE;
  tv.cChildren = 2;  // no such column
  EXPECT_EQ(0, f.Send(TVM_GETITEMA, 0, (LPARAM)&tv));
  EXPECT_EQ(-1, f.Send(TLM_SETBKCOLOR, a | (1 << 24), RGB(9, 9, 9)));
  EXPECT_EQ((LRESULT)RGB(9, 9, 9), f.Send(TLM_GETBKCOLOR, a, 1));
  EXPECT_EQ(-1, f.Send(TLM_GETBKCOLOR, a, 0));
}

TEST(TreeListColumns, DraggingDividersSizesColumns) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  f.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_COLUMNNOTIFY);
  AddColumn(f, 0, "a", 100, 0, 40);
  AddColumn(f, 1, "b", 100);
  AddColumn(f, 2, "c", 100);
  HWND header = (HWND)f.Send(TLM_GETHEADER);
  f.notes.clear();
  // Minimum 40 held whatever the drag.
  DragDivider(header, 99, -90);
  EXPECT_EQ(40, d->columns[0].width);
  EXPECT_EQ(40, HeaderWidth(header, 0));
  EXPECT_EQ(40, d->columnX[1] + 1);
  ASSERT_FALSE(f.notes.empty());
  EXPECT_EQ(TLN_COLUMNCHANGED, f.notes.back().code);
  DragDivider(header, 39, 60);
  EXPECT_EQ(100, d->columns[0].width);
  // Neighbour gives the width: +30 to column 1 takes 30 from column 2.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_SHAREWIDTH, TLS_EX_SHAREWIDTH);
  DragDivider(header, 199, 30);
  EXPECT_EQ(130, d->columns[1].width);
  EXPECT_EQ(70, d->columns[2].width);
  EXPECT_EQ(70, HeaderWidth(header, 2));
  // Narrowing gives the pixels to the neighbour.
  DragDivider(header, 229, -30);
  EXPECT_EQ(100, d->columns[1].width);
  EXPECT_EQ(100, d->columns[2].width);
  // A neighbour of 20 gives only 20.
  f.Send(TLM_SETCOLUMNWIDTH, 2, 20);
  EXPECT_EQ(20, d->columns[2].width);
  DragDivider(header, 199, 30);
  EXPECT_EQ(120, d->columns[1].width);
  EXPECT_EQ(0, d->columns[2].width);
  EXPECT_EQ(120, HeaderWidth(header, 1));
  EXPECT_EQ(d->fixedColumnsWidth, d->columns[0].width + d->columns[1].width + d->columns[2].width);
}

TEST(TreeListColumns, KeptWidthsAndSetColumn) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  AddColumn(f, 0, "a", 100);
  AddColumn(f, 1, "b", 0);
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 0;
  ASSERT_NE(0, f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col));
  EXPECT_EQ(0, d->columns[1].width);
  col.mask = 0x20000000;
  col.fmt = 0x20000000;
  EXPECT_EQ(1, f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col));
  EXPECT_EQ(100, d->columns[1].keptWidth);
  d->columns[1].keptWidth = 120;
  col.mask = LVCF_WIDTH;
  col.cx = TL_WIDTH_RESTORE;
  f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col);
  EXPECT_EQ(120, d->columns[1].width);
  EXPECT_EQ(120, f.Send(TLM_GETCOLUMNWIDTH, 1));
  col.mask = 0x20000000;
  col.fmt = 0;
  f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col);
  EXPECT_EQ(0, d->columns[1].keptWidth);
  col.mask = LVCF_FMT;
  col.fmt = LVCFMT_RIGHT;
  f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col);
  col.mask = 0x10000000;
  col.fmt = 0x10000000;
  f.Send(TLM_SETCOLUMN, 1, (LPARAM)&col);
  EXPECT_EQ(2, d->columns[1].textAlign);
  EXPECT_EQ(1, d->shadedColumns);
  char text[16] = "";
  LVCOLUMNA get = {};
  get.mask = LVCF_WIDTH | LVCF_TEXT;
  get.pszText = text;
  get.cchTextMax = sizeof(text);
  ASSERT_NE(0, f.Send(TLM_GETCOLUMN, 0, (LPARAM)&get));
  EXPECT_EQ(100, get.cx);
  EXPECT_STREQ("a", text);
  EXPECT_EQ((UINT)(LVCF_WIDTH | LVCF_TEXT), get.mask);
  EXPECT_EQ(0, f.Send(TLM_SETCOLUMN, 5, (LPARAM)&col));
}

TEST(TreeListColumns, OrderChecksAndFollowsTheHeader) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  for (int i = 0; i < 3; ++i) AddColumn(f, i, "c", 100);
  f.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_COLUMNNOTIFY | TLS_EX_DRAGCOLUMNS);
  int bad[] = {1, 0, 2}, twice[] = {0, 1, 1}, good[] = {0, 2, 1};
  EXPECT_EQ(0, f.Send(TLM_SETCOLUMNORDER, 3, (LPARAM)bad));
  EXPECT_EQ(0, f.Send(TLM_SETCOLUMNORDER, 3, (LPARAM)twice));
  EXPECT_EQ(0, f.Send(TLM_SETCOLUMNORDER, 2, (LPARAM)good));
  f.notes.clear();
  EXPECT_EQ(1, f.Send(TLM_SETCOLUMNORDER, 3, (LPARAM)good));
  EXPECT_EQ(3u, f.notes.size());
  EXPECT_EQ(2, d->columnOrder[1]);
  EXPECT_EQ(1, d->columns[2].displayPos);
  EXPECT_EQ(99, d->columnX[2]);  // the first column ends a pixel early
  EXPECT_EQ(199, d->columnX[1]);
  int back[3] = {};
  EXPECT_NE(0, f.Send(TLM_GETCOLUMNORDER, 3, (LPARAM)back));
  EXPECT_EQ(2, back[1]);
  // The header reordered by itself: the control reads it back.
  int natural[] = {0, 1, 2};
  SendMessageA((HWND)f.Send(TLM_GETHEADER), HDM_SETORDERARRAY, 3, (LPARAM)natural);
  EXPECT_EQ(1, f.Send(TLM_SETCOLUMNORDER, TL_ORDER_FROM_HEADER, 0));
  EXPECT_EQ(1, d->columnOrder[1]);
  // End of a header drag: refused to position 0 and for column 0.
  NMHEADERA nm = {};
  HDITEMA item = {};
  nm.hdr.code = HDN_ENDDRAG;
  nm.pitem = &item;
  nm.iItem = 2;
  item.iOrder = 0;
  EXPECT_EQ(1, f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&nm));
  item.iOrder = 1;
  EXPECT_EQ(0, f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&nm));
  nm.iItem = 0;
  EXPECT_EQ(1, f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&nm));
}

TEST(TreeListColumns, DividerDoubleClickFitsTheContent) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  AddColumn(f, 0, "a", 100);
  AddColumn(f, 1, "b", 100);
  Insert(f, "a rather long text never painted");
  NMHEADERA nm = {};
  nm.hdr.code = HDN_DIVIDERDBLCLICKA;
  nm.iItem = 1;
  f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&nm);
  EXPECT_EQ(8, d->columns[1].width);
  nm.iItem = 0;
  f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&nm);
  int text = TreeListMeasureText(d, "a rather long text never painted", 32, false);
  EXPECT_GT(text, 50);
  EXPECT_EQ(text + 8 + (d->linesAtRoot ? d->indent : 0), d->columns[0].width);
}

TEST(TreeListColumns, ColumnZeroGrowsToItsWidestItemWithTheOption) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 400, 160);
  TreeListData* d = f.Data();
  AddColumn(f, 0, "a", 80);
  AddColumn(f, 1, "b", 60);
  TLHandle shortItem = Insert(f, "kurz");
  EXPECT_EQ(80, d->columns[0].width) << "off: the width stays";
  EXPECT_EQ(0, f.Send(TLM_OPTION, TLO_SET | TLO_GROWCOLUMN0, 10));
  EXPECT_EQ(80, d->columns[0].width) << "a narrow content leaves it";
  TLHandle wide = Insert(f, "ein ziemlich langer Eintrag");
  ASSERT_EQ(1, d->linesAtRoot);
  int text = d->items[wide]->textWidth;
  ASSERT_GT(text, 80);
  EXPECT_EQ(text + d->indent + 10 + 6, d->columns[0].width);
  EXPECT_EQ(d->columns[0].width, HeaderWidth((HWND)f.Send(TLM_GETHEADER), 0));
  EXPECT_EQ(d->columnX[1], d->columns[0].width - 1) << "column 1 moved along";
  // A child counts with its level; it never shrinks again.
  f.Send(TLM_OPTION, TLO_SET | TLO_GROWCOLUMN0, 0);
  int grown = d->columns[0].width;
  TVINSERTSTRUCTA ins = {};
  ins.hParent = (HTREEITEM)(UINT_PTR)shortItem;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = (char*)"ein ziemlich langer Eintrag";
  f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)shortItem);
  EXPECT_EQ(grown, d->columns[0].width) << "off again";
  f.Send(TLM_OPTION, TLO_SET | TLO_GROWCOLUMN0, 4);
  EXPECT_EQ(text + 2 * d->indent + 4 + 6, d->columns[0].width);
}

TEST(TreeListColumns, HeaderRightClickNamesTheItemUnderTheCursor) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  TreeListData* d = f.Data();
  for (int i = 0; i < 4; ++i) AddColumn(f, i, "c", 100);
  f.Send(WM_HSCROLL, TL_SB_SETPOS | (150 << 4));
  ASSERT_EQ(150, d->scrollX);
  POINT pt = {20, 5};  // content x 170: column 1
  ClientToScreen(f.Hwnd(), &pt);
  SetCursorPos(pt.x, pt.y);
  NMHDR rclick = {(HWND)f.Send(TLM_GETHEADER), TL_HEADER_ID, (UINT)NM_RCLICK};
  int item = -1;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == (UINT)TLN_HEADERRCLICK) item = ((NMTLHEADERRCLICK*)hdr)->hit.iItem;
    return 5;
  };
  EXPECT_EQ(5, f.Send(WM_NOTIFY, TL_HEADER_ID, (LPARAM)&rclick));
  EXPECT_EQ(1, item);
}

}  // namespace
