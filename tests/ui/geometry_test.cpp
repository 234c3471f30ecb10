// Window rectangles in parent coordinates, moves and resizes.
#include <gtest/gtest.h>

#include "harness/window_util.h"
#include "ui/geometry.h"

namespace {
HWND Make(DWORD style, HWND parent, int x, int y, int cx, int cy, int id = 0) {
  return CreateWindowExA(0, "STATIC", "", style, x, y, cx, cy, parent, (HMENU)(INT_PTR)id, nullptr, nullptr);
}

RECT ScreenRect(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return rc;
}

// A captioned top-level window with two child items and an owned pop-up.
class Geometry : public ::testing::Test {
 protected:
  void SetUp() override {
    m_top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 100, 120, 300, 200);
    m_item = Make(WS_CHILD | WS_VISIBLE, m_top, 10, 20, 50, 15, 101);
    m_ref = Make(WS_CHILD | WS_VISIBLE, m_top, 70, 40, 80, 25, 102);
    m_popup = Make(WS_POPUP | WS_VISIBLE, m_top, 400, 300, 60, 40);
    m_dlg.Attach(m_top);
    PumpMessages();
  }
  void TearDown() override {
    m_dlg.Detach();
    DestroyWindow(m_popup);
    DestroyWindow(m_top);
  }
  HWND m_top = nullptr, m_item = nullptr, m_ref = nullptr, m_popup = nullptr;
  CWnd m_dlg;
};
}  // namespace

TEST_F(Geometry, RectanglesInParentCoordinates) {
  RECT rc;
  EXPECT_EQ(GetWindowRectInParent(m_item, &rc), 1);
  EXPECT_EQ(rc.left, 10);
  EXPECT_EQ(rc.top, 20);
  EXPECT_EQ(rc.right, 60);
  EXPECT_EQ(rc.bottom, 35);
  // An owned pop-up has an owner, no parent: screen coordinates.
  EXPECT_EQ(GetWindowRectInParent(m_popup, &rc), 0);
  EXPECT_EQ(rc.left, 400);
  EXPECT_EQ(rc.top, 300);
  EXPECT_EQ(GetWindowRectInParent(m_top, &rc), 0);
  EXPECT_EQ(rc.left, 100);

  EXPECT_EQ(GetWindowTopLeft(&m_dlg), CPoint(100, 120));
  EXPECT_EQ(GetDlgItemRectInParent(&m_dlg, 102, &rc), 1);
  EXPECT_EQ(CRect(rc), CRect(70, 40, 150, 65));
  EXPECT_EQ(GetDlgItemRectInParent(&m_dlg, 999, &rc), 0);
  EXPECT_EQ(GetDlgItemRectInParent(nullptr, 102, &rc), 0);
}

TEST_F(Geometry, MoveItemOntoAnother) {
  EXPECT_EQ(MoveDlgItemToItemRect(&m_dlg, 101, 999), 0);  // missing reference: nothing changes
  EXPECT_EQ(MoveDlgItemToItemRect(&m_dlg, 999, 102), 0);
  EXPECT_EQ(MoveDlgItemToItemRect(nullptr, 101, 102), 0);
  RECT rc;
  GetWindowRectInParent(m_item, &rc);
  EXPECT_EQ(CRect(rc), CRect(10, 20, 60, 35));
  EXPECT_EQ(MoveDlgItemToItemRect(&m_dlg, 101, 102), 1);
  GetWindowRectInParent(m_item, &rc);
  EXPECT_EQ(CRect(rc), CRect(70, 40, 150, 65));
}

TEST_F(Geometry, MovesAndResizes) {
  // Relative moves by (10, 0): top-level, owned pop-up and child.
  for (HWND hwnd : {m_top, m_popup, m_item}) {
    RECT before = ScreenRect(hwnd);
    EXPECT_TRUE(MoveWindowTo(hwnd, 10, 0, TRUE));
    RECT after = ScreenRect(hwnd);
    EXPECT_EQ(after.left, before.left + 10);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
  }
  RECT rc;
  EXPECT_TRUE(MoveWindowTo(m_item, 5, 6, FALSE));
  GetWindowRectInParent(m_item, &rc);
  EXPECT_EQ(CPoint(rc.left, rc.top), CPoint(5, 6));

  EXPECT_TRUE(ResizeWindowTo(m_ref, -30, -5, TRUE));  // shrinks by that much
  GetWindowRectInParent(m_ref, &rc);
  EXPECT_EQ(CRect(rc), CRect(70, 40, 120, 60));
  EXPECT_TRUE(ResizeWindowTo(m_ref, 33, 44, FALSE));
  GetWindowRectInParent(m_ref, &rc);
  EXPECT_EQ(CRect(rc), CRect(70, 40, 103, 84));
}
