// CToolBarNew in a frame: loading a toolbar resource, groups, the update of
// its buttons, sizes.
#include "controls/toolbar/toolbarnew.h"

#include <gtest/gtest.h>

#include "harness/window_util.h"
#include "mfc/frame.h"

namespace {
const UINT kIndeterminateId = 203;
const UINT kDisabledId = 204;

class CBarFrame : public CFrameWnd {
 public:
  CToolBarNew m_bar;

 protected:
  afx_msg void OnUpdateIndeterminate(CCmdUI* ui) { ui->SetCheck(2); }
  afx_msg void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
  afx_msg void OnAny() {}
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
  ON_UPDATE_COMMAND_UI(kIndeterminateId, OnUpdateIndeterminate)
  ON_UPDATE_COMMAND_UI(kDisabledId, OnUpdateDisabled)
  ON_COMMAND(200, OnAny)
END_MESSAGE_MAP()

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
  bar.SetButtonInfo(5, 300, TBBS_CHECKBOX | TBBS_CHECKED, 1);
  ASSERT_TRUE(bar.GetButtonInfo(5, &id, &state, &image));
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
