// Where the panes go for client sizes and view settings.
#include "app/viewlayout.h"

#include <gtest/gtest.h>

namespace {
struct LayoutCase {
  int cx, cy, singleWnd;
  bool horz;
  int separator;
  RECT pane1, pane2;
  bool shown1, shown2;
  int splitPos;
};

const LayoutCase kCases[] = {
    // One pane over the whole client.
    {800, 600, kOnlyPane1, false, kSeparatorMiddle, {0, 0, 800, 600}, {}, true, false, 0},
    {800, 600, kOnlyPane2, true, 100, {}, {0, 0, 800, 600}, false, true, 0},
    // Middle = (side - 7) / 2 toward zero.
    {800, 600, kBothPanes, false, kSeparatorMiddle, {0, 0, 396, 600}, {403, 0, 800, 600}, true, true, 396},
    {801, 600, kBothPanes, false, -20000, {0, 0, 397, 600}, {404, 0, 801, 600}, true, true, 397},
    {800, 600, kBothPanes, true, kSeparatorMiddle, {0, 0, 800, 296}, {0, 303, 800, 600}, true, true, 296},
    // Stored offsets, clamped to the extent.
    {800, 600, kBothPanes, false, 100, {0, 0, 100, 600}, {107, 0, 800, 600}, true, true, 100},
    {800, 600, kBothPanes, false, 5000, {0, 0, 793, 600}, {800, 0, 800, 600}, true, true, 793},
    {800, 600, kBothPanes, false, -9999, {0, 0, 0, 600}, {7, 0, 800, 600}, true, true, 0},
    {800, 600, kBothPanes, true, 2000, {0, 0, 800, 593}, {0, 600, 800, 600}, true, true, 593},
    // A client narrower than the gap: both panes empty, never negative.
    {5, 40, kBothPanes, false, kSeparatorMiddle, {0, 0, 0, 40}, {7, 0, 7, 40}, true, true, 0},
};

TEST(ViewLayout, PanesForClientSizesAndSettings) {
  for (const LayoutCase& c : kCases) {
    PaneLayout l;
    ASSERT_TRUE(ComputePaneLayout(c.cx, c.cy, c.singleWnd, c.horz, c.separator, &l));
    SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy << " single " << c.singleWnd << " horz " << c.horz << " sep "
                                    << c.separator);
    EXPECT_EQ(l.visible[0], c.shown1);
    EXPECT_EQ(l.visible[1], c.shown2);
    EXPECT_EQ(l.splitPos, c.splitPos);
    if (c.shown1) {
      EXPECT_TRUE(EqualRect(&l.pane[0], &c.pane1))
          << l.pane[0].left << "," << l.pane[0].top << "," << l.pane[0].right << "," << l.pane[0].bottom;
    }
    if (c.shown2) {
      EXPECT_TRUE(EqualRect(&l.pane[1], &c.pane2))
          << l.pane[1].left << "," << l.pane[1].top << "," << l.pane[1].right << "," << l.pane[1].bottom;
    }
  }
}

TEST(ViewLayout, NothingForAnEmptyClient) {
  PaneLayout l;
  EXPECT_FALSE(ComputePaneLayout(0, 600, kOnlyPane1, false, 0, &l));
  EXPECT_FALSE(ComputePaneLayout(600, 0, kBothPanes, false, 0, &l));
}
}  // namespace
