// Hit tests: outside the rows, the parts of the tree column, and each bit
// of a cell hit with its column.
#include <gtest/gtest.h>

#include "treelist_fixture.h"

namespace {

struct Hit {
  LRESULT item;
  UINT flags;
};

Hit HitAt(TreeListFixture& f, int x, int y) {
  TVHITTESTINFO info = {};
  info.pt = {x, y};
  LRESULT item = f.Send(TVM_HITTEST, 0, (LPARAM)&info);
  EXPECT_EQ(item, (LRESULT)(UINT_PTR)info.hItem);
  return {item, info.flags};
}

TEST(TreeListHitTest, TreeColumnParts) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle root = Insert(f, 0, "root");
  TLHandle child = Insert(f, root, "child");
  Insert(f, child, "grandchild");
  Insert(f, 0, "");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
  // Child row 1: its own indent cell is 19..38, button centre 19 + 7.
  int cx = d->indent + d->buttonBox, cy = 16 + 8;
  int textLeft = 2 * d->indent;
  int width = TreeListMeasureText(d, "child", 5, false);
  struct {
    int x, y;
    UINT_PTR item;
    UINT flags;
  } const cases[] = {
      {cx - 3, cy, child, TVHT_ONITEMBUTTON},
      {cx - 8, cy, child, TVHT_ONITEMINDENT},
      {cx, cy - 7, child, TVHT_ONITEMINDENT},
      {textLeft + 2, cy, child, TVHT_ONITEMLABEL | 0x40000},
      {textLeft + width + 10, cy, child, TVHT_ONITEMRIGHT},
      {2 * d->indent - d->indent + 2, 0 + 8, (UINT_PTR)root, TVHT_ONITEMLABEL | 0x40000},
      {d->indent + 10, 2 * 16 + 8, 4, TVHT_ONITEMLABEL | 0x40000},  // empty label: first 20 pixels
      {d->indent + 30, 2 * 16 + 8, 4, TVHT_ONITEMLABEL},
      {50, 3 * 16 + 8, 0, TVHT_NOWHERE},
      {-1, 8, 0, TVHT_TOLEFT},
      {d->clientWidth, 8, 0, TVHT_TORIGHT},
      {5, d->clientHeight, 0, TVHT_BELOW},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
    Hit hit = HitAt(f, c.x, c.y);
    EXPECT_EQ(c.item, hit.item);
    EXPECT_EQ(c.flags, hit.flags);
  }
}

TEST(TreeListHitTest, CellBitsCarryTheColumn) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 400, 160);
  TreeListData* d = f.Data();
  int widths[] = {100, 100, 100};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_FMT;
    col.cx = widths[c];
    col.fmt = c == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    f.Send(TLM_INSERTCOLUMN, c, (LPARAM)&col);
  }
  TLHandle a = Insert(f, 0, "a");
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  tv.pszText = (char*)"text";
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  int y = d->headerHeight + 8;
  int text = TreeListMeasureText(d, "text", 4, false);
  struct {
    int x;
    UINT flags;
  } const cases[] = {
      {d->columnX[1] + 2, (1u << 24) | 0x480000},  {d->columnX[1] + text + 20, (1u << 24) | 0x100000},
      {d->columnX[2] + 90, (2u << 24) | 0x480000},  // empty, right-aligned: near the right end
      {d->columnX[2] + 10, (2u << 24) | 0x400000}, {d->columnX[3] + 20, 0x800000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    Hit hit = HitAt(f, c.x, y);
    EXPECT_EQ((LRESULT)a, hit.item);
    EXPECT_EQ(c.flags, hit.flags);
  }
  // A cell image at the right end, under state 0x80.
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL, (LPARAM)list);
  tv.mask = TLIF_CELL | TLIF_ALLCELLSTATE | TVIF_IMAGE | TVIF_STATE;  // 0x80 is the cell's only so
  tv.iImage = 0;
  tv.state = 0x80;
  tv.stateMask = 0x80;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ((1u << 24) | 0x200000, HitAt(f, d->columnX[2] - 5, y).flags);
  EXPECT_EQ((1u << 24) | 0x480000, HitAt(f, d->columnX[1] + 2, y).flags);
}

}  // namespace
