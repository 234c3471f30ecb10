// The tree-list window: registration, the message protocol, options, the
// deferred queue, creation failures, shared resources, colours and the
// focus, enable and redraw frame.
#include <gtest/gtest.h>

#include <cstring>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

TEST(TreeListClass, RegistersOnceAndAnswersTheDirectEntry) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_EQ(1, RegisterTreeListClass(instance));
  EXPECT_EQ(1, RegisterTreeListClass(instance));
  WNDCLASSEXA wc = {sizeof(wc)};
  ASSERT_TRUE(GetClassInfoExA(instance, TREELIST_CLASSNAME, &wc));
  EXPECT_EQ((UINT)CS_DBLCLKS, wc.style);
  EXPECT_EQ((int)sizeof(LONG_PTR), wc.cbWndExtra);
  TreeListFixture f;
  EXPECT_EQ((LRESULT)TreeListWndProc, f.Send(TLM_OPTION, TLO_DIRECTENTRY));
  EXPECT_EQ((LRESULT)TreeListWndProc, f.Send(TLM_OPTION, TLO_SET | TLO_DIRECTENTRY, 5));
}

struct ProtocolCase {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  LRESULT result;
};

TEST(TreeListProtocol, MessagesAnswerAsTheContractSays) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  const ProtocolCase cases[] = {
      {TVM_SETBKCOLOR, 18, RGB(1, 2, 3), -1},
      {TVM_GETBKCOLOR, 18, 0, -1},
      {TVM_SETINDENT, 3, 0, 19},
      {TVM_GETINDENT, 0, 0, 5},
      {TVM_SETINDENT, 100, 0, 5},
      {TVM_GETINDENT, 0, 0, 64},
      {TVM_SETITEMHEIGHT, 17, 0, 16},
      {TVM_GETITEMHEIGHT, 0, 0, 16},
      {TVM_SETITEMHEIGHT, 0, 0, 16},
      {TVM_GETITEMHEIGHT, 0, 0, 1},
      {TVM_SETITEMHEIGHT, 300, 0, 1},
      {TVM_GETITEMHEIGHT, 0, 0, 256},
      {TVM_SETEXTENDEDSTYLE, 0, 0x123, 0x123},
      {TVM_GETEXTENDEDSTYLE, 0, 0, 0x123},
      {TVM_SETEXTENDEDSTYLE, 0x3, 0x0, 0x120},
      {TVM_SETEXTENDEDSTYLE, 0, 0, 0},
      {TVM_GETITEMSTATE, 5, 0, 0},
      {TVM_GETCOUNT, 0, 0, 0},
      {CCM_GETUNICODEFORMAT, 0, 0, 0},
      {TLM_GETROWCOUNT, 0, 0, 0},
      {TLM_GETITEMROW, 0, 3, -1},
      {TLM_GETROWITEM, 0, 0, 0},
      {TLM_GETVISIBILITY, 0, 99, -1},
      // A batch's hold: taken, left, and nothing to leave without one.
      {TLM_HOLDLOCK, TRUE, 0, 1},
      {TLM_HOLDLOCK, FALSE, 0, 1},
      {TLM_HOLDLOCK, FALSE, 0, 0},
      // Unanswered numbers and W forms reach DefWindowProcA.
      {0x1103, 0, 0, 0},
      {0x1162, 0, 0, 0},
      {0x1166, 0, 0, 0},
      {TVM_INSERTITEMW, 0, 0, 0},
      {TVM_GETITEMW, 0, 0, 0},
  };
  for (const ProtocolCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "msg 0x" << c.msg << " wp 0x" << c.wp);
    EXPECT_EQ(c.result, f.Send(c.msg, c.wp, c.lp));
  }
  // Odd heights stay under 0x4000; -1 is automatic again.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_ODDHEIGHT, TLS_EX_ODDHEIGHT);
  f.Send(TVM_SETITEMHEIGHT, 17);
  EXPECT_EQ(17, d->rowHeight);
  f.Send(TVM_SETITEMHEIGHT, (WPARAM)-1);
  EXPECT_EQ(0, d->rowHeightFixed);
  EXPECT_EQ(d->fontHeight + 3 > 9 ? d->fontHeight + 3 : 9, d->rowHeight);
  EXPECT_EQ(0, SendMessageA(f.Hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  EXPECT_EQ(DLGC_WANTARROWS | DLGC_WANTCHARS, SendMessageA(f.Hwnd(), WM_GETDLGCODE, 0, 0));
  MSG ret = {f.Hwnd(), WM_KEYDOWN, VK_RETURN, 0};
  EXPECT_EQ(DLGC_WANTALLKEYS, SendMessageA(f.Hwnd(), WM_GETDLGCODE, 0, (LPARAM)&ret));
}

struct OptionCase {
  WPARAM wp;
  LPARAM lp;
  LRESULT result;
};

TEST(TreeListProtocol, OptionsStoreAndReturnTheOldValue) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  const OptionCase cases[] = {
      {TLO_SCROLLMARGIN, 0, 3},
      {TLO_SET | TLO_SCROLLMARGIN, 0x105, 3},  // byte options keep the low byte
      {TLO_SCROLLMARGIN, 0, 5},
      {TLO_PAINTSPACING, 0, 1},
      {TLO_SET | TLO_FIXEDROWS, 2, 0},
      {TLO_SET | TLO_FIXEDROWS, 2, 2},  // equal set: the value back, nothing done
      {TLO_SET | TLO_PAINTFLAG, 7, 0},
      {TLO_PAINTFLAG, 0, 1},
      {TLO_SET | TLO_MERGECOLUMNS, 0x12345, 0},
      {TLO_MERGECOLUMNS, 0, 0x2345},
      {TLO_SET | TLO_EDITFLAG, 9, 0},
      {TLO_EDITFLAG, 0, 1},
      {TLO_SET | TLO_PAINTHOOKCONTEXT, 77, 0},
      {TLO_SET | TLO_PAINTHOOKCONTEXT, 77, 77},
      {TLO_SELECTEDCOUNT, 0, 0},
      {0, 0, 0},
      {17, 0, 0},
      {TLO_SET | 17, 5, 0},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "wp 0x" << c.wp);
    EXPECT_EQ(c.result, f.Send(TLM_OPTION, c.wp, c.lp));
  }
  EXPECT_EQ(0x80000000u, d->paintFlag);
  EXPECT_EQ(2, d->fixedRows);
  // An equal set of option 4 with bit 31 changes nothing.
  EXPECT_EQ(2, f.Send(TLM_OPTION, TLO_SET | TLO_FIXEDROWS, 2));
}

TEST(TreeListProtocol, MinimumRowHeightRaisesTheAutomaticHeight) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  f.AddRoots(3);
  f.Send(TVM_SETITEMHEIGHT, (WPARAM)-1);  // automatic again
  int automatic = d->rowHeight;
  ASSERT_LT(automatic, 40);
  EXPECT_EQ(0, f.Send(TLM_OPTION, TLO_SET | TLO_MINROWHEIGHT, 40));
  EXPECT_EQ(40, f.Send(TVM_GETITEMHEIGHT));
  EXPECT_EQ(d->rowsAreaHeight / 40, (int)f.Send(TVM_GETVISIBLECOUNT));
  RECT rc;
  TLHandle second = d->rows[1];
  memcpy(&rc, &second, sizeof second);
  ASSERT_TRUE(f.Send(TVM_GETITEMRECT, FALSE, (LPARAM)&rc));
  EXPECT_EQ(40, rc.top);
  // Below the automatic height, or a negative byte: the automatic height.
  f.Send(TLM_OPTION, TLO_SET | TLO_MINROWHEIGHT, 0x1F0);
  EXPECT_EQ(automatic, d->rowHeight);
  f.Send(TLM_OPTION, TLO_SET | TLO_MINROWHEIGHT, 5);
  EXPECT_EQ(automatic, d->rowHeight);
  // A height set by the caller stays.
  f.Send(TVM_SETITEMHEIGHT, 30);
  f.Send(TLM_OPTION, TLO_SET | TLO_MINROWHEIGHT, 50);
  EXPECT_EQ(30, d->rowHeight);
}

TEST(TreeListQueue, OnePostDrainsEveryOperationQueuedBeforeAndDuring) {
  TreeListFixture f;
  f.AddRoots(3);
  TreeListData* d = f.Data();
  PumpMessages(0);
  TreeListLock(d);
  TreeListQueueOp(d, kTLOpRepaintRows, 0, 0);
  TreeListQueueOp(d, kTLOpRepaintItem, 1, 0);
  TreeListQueueOp(d, kTLOpSelectionGone, 2, 20);
  TreeListUnlock(d);
  MSG msg;
  int posted = 0;
  while (PeekMessageA(&msg, f.Hwnd(), TLM_RUNDEFERRED, TLM_RUNDEFERRED, PM_REMOVE)) ++posted;
  EXPECT_EQ(1, posted);
  // The parent queues one more while the drain tells it about the deletion.
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_SELCHANGEDA) {
      TreeListLock(d);
      TreeListQueueOp(d, kTLOpRepaintRows, 0, 0);
      TreeListUnlock(d);
    }
    return 0;
  };
  EXPECT_EQ(4, f.Send(TLM_RUNDEFERRED));
  ASSERT_EQ(1u, f.notes.size());
  const NMTREEVIEWA& tv = f.notes[0].tv;
  EXPECT_EQ(TVN_SELCHANGEDA, (int)tv.hdr.code);
  EXPECT_EQ(0u, tv.action);
  EXPECT_EQ((HTREEITEM)2, tv.itemOld.hItem);
  EXPECT_EQ(20, tv.itemOld.lParam);
  EXPECT_EQ((UINT)TVIS_SELECTED, tv.itemOld.state);
  EXPECT_EQ(0x801Cu, tv.itemOld.mask);
  EXPECT_EQ(nullptr, tv.itemNew.hItem);
  EXPECT_EQ(0, d->queuePosted);
  EXPECT_EQ(nullptr, d->queueHead);
}

TEST(TreeListQueue, ABurstOfBarUpdatesLeavesOneWaitingRedraw) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TreeListLock(d);
  d->lastVBarRedraw = GetTickCount();
  for (int i = 0; i < 1000; ++i) {
    f.Add(0);
    d->rowCount = d->itemCount;
    d->rows[d->rowCount - 1] = d->lastHandle;
    TreeListUpdateVScrollBar(d, 1, 0);
  }
  int bars = 0;
  for (TreeListDeferredOp* op = d->queueHead; op; op = op->next) bars += op->kind == kTLOpVBar;
  TreeListUnlock(d);
  EXPECT_EQ(1, bars);
  PumpMessages(0);
  EXPECT_EQ(nullptr, d->queueHead);
  SCROLLINFO si = {sizeof(si), SIF_RANGE};
  GetScrollInfo(f.Hwnd(), SB_VERT, &si);
  EXPECT_EQ(1000, si.nMax);
}

TEST(TreeListCreate, EachFailedAllocationFailsCreationWithoutLeaks) {
  TreeListFixture parent;
  int resources = TreeListResourceCount();
  for (int n = 1; n <= 4; ++n) {
    TreeListSetAllocFailure(n);
    HWND hwnd = CreateWindowExA(0, TREELIST_CLASSNAME, "", WS_CHILD, 0, 0, 50, 50, parent.Parent(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    TreeListSetAllocFailure(0);
    EXPECT_EQ(nullptr, hwnd) << "allocation " << n;
    EXPECT_EQ(resources, TreeListResourceCount());
  }
  HWND hwnd = CreateWindowExA(0, TREELIST_CLASSNAME, "", WS_CHILD, 0, 0, 50, 50, parent.Parent(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_NE(nullptr, hwnd);
  DestroyWindow(hwnd);
  // No block after destruction, for direct calls too.
  EXPECT_EQ(0, TreeListWndProc(hwnd, TLM_GETROWCOUNT, 0, 0));
}

TEST(TreeListResources, LiveWhileAnyControlLives) {
  auto* a = new TreeListFixture;
  HPEN pen = TreeListDottedPen();
  HBRUSH brush = TreeListCheckerBrush();
  ASSERT_NE(nullptr, pen);
  ASSERT_NE(nullptr, brush);
  auto* b = new TreeListFixture;
  EXPECT_EQ(pen, TreeListDottedPen());
  delete a;
  EXPECT_EQ((DWORD)OBJ_EXTPEN, GetObjectType(pen) == OBJ_PEN ? (DWORD)OBJ_EXTPEN : GetObjectType(pen));
  EXPECT_EQ((DWORD)OBJ_BRUSH, GetObjectType(brush));
  delete b;
  EXPECT_EQ(0u, GetObjectType(pen));
  EXPECT_EQ(0u, GetObjectType(brush));
  EXPECT_EQ(nullptr, TreeListDottedPen());
  TreeListFixture c;
  EXPECT_NE(0u, GetObjectType(TreeListDottedPen()));
  EXPECT_NE(nullptr, TreeListCursor(1));
}

// System colours pinned for the test and restored after it.
class PinnedColors {
 public:
  PinnedColors() {
    for (int i = 0; i < kCount; ++i) m_old[i] = GetSysColor(kIds[i]);
    SetSysColors(kCount, kIds, kPinned);
  }
  ~PinnedColors() { SetSysColors(kCount, kIds, m_old); }
  static const int kCount = 8;
  static const int kIds[kCount];
  static const COLORREF kPinned[kCount];

 private:
  COLORREF m_old[kCount];
};
const int PinnedColors::kIds[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_INFOBK, COLOR_BTNFACE,
                                  COLOR_HIGHLIGHT, COLOR_SCROLLBAR,  COLOR_MENU,   COLOR_BTNSHADOW};
const COLORREF PinnedColors::kPinned[] = {RGB(0xF0, 0xE0, 0xD0), RGB(0x10, 0x20, 0x30), RGB(0xFF, 0xFF, 0xE1),
                                          RGB(0xC0, 0xC0, 0xC0), RGB(0x00, 0x40, 0x80), RGB(0x80, 0x80, 0x80),
                                          RGB(0xA1, 0xB3, 0xC5), RGB(0x80, 0x80, 0x80)};

TEST(TreeListColors, SlotsFollowTheSystemColoursByTheirRules) {
  PinnedColors pinned;
  TreeListFixture f;
  TreeListData* d = f.Data();
  const COLORREF window = RGB(0xF0, 0xE0, 0xD0);
  struct {
    int slot;
    COLORREF color;
  } const expected[] = {
      {0, window},
      {7, RGB(0x10, 0x20, 0x30) ^ 0xFF0000},
      // Seven eighths of the row colour and an eighth of the highlight.
      {8, 0},
      {9, RGB(0xF0 / 8 * 7, 0xE0 / 8 * 7 + 0x40 / 8, 0xD0 / 8 * 7 + 0x80 / 8)},
      {12, RGB(0xF0 - 0x0B, 0xE0 - 0x0B, 0xD0 - 0x0F)},
      {13, RGB(0xFF - 0x0B, 0xFF - 0x0B, 0xE1 - 0x0F)},
      {14, RGB(0xF0 - 0x0B, 0xE0 - 0x0B, 0xD0 - 0x0F)},
      {15, RGB(0x80 / 4 + 0xF0 / 4 * 3, 0x80 / 4 + 0xE0 / 4 * 3, 0x80 / 4 + 0xD0 / 4 * 3)},
      {16, RGB(0xA1 >> 1, 0xB3 >> 1, 0xC5 >> 1)},
      {17, RGB(0xC0 / 4 * 3, 0xC0 / 4 * 3 + 0x40 / 4, 0xC0 / 4 * 3 + 0x80 / 4)},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.slot);
    if (e.slot == 8) {
      COLORREF odd = d->colors[1];
      EXPECT_EQ(RGB(GetRValue(odd) / 8 * 7, GetGValue(odd) / 8 * 7 + 0x40 / 8, GetBValue(odd) / 8 * 7 + 0x80 / 8),
                d->colors[8]);
    } else {
      EXPECT_EQ(e.color, d->colors[e.slot]);
    }
  }
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xE1), d->colors[1]);
  // Slot 1 too close to slot 2: slot 2 with its blue byte lowered by 8.
  f.Send(TVM_SETBKCOLOR, 1, RGB(0xF1, 0xE0, 0xD0));
  EXPECT_EQ(RGB(0xF0, 0xE0, 0xC8), d->colors[1]);
  EXPECT_EQ(RGB(0xF0 - 0x0B, 0xE0 - 0x0B, 0xC8 - 0x0F), d->colors[13]);
  // -1 gives the slot back to the system.
  EXPECT_EQ(RGB(0xF0, 0xE0, 0xC8), (COLORREF)f.Send(TVM_SETBKCOLOR, 1, -1));
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xE1), d->colors[1]);
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), (COLORREF)f.Send(TVM_SETTEXTCOLOR, 0, RGB(1, 1, 1)));
  EXPECT_EQ(RGB(1, 1, 1), (COLORREF)f.Send(TVM_GETTEXTCOLOR));
  // A caller's sign colour ends themed drawing of the buttons.
  EXPECT_EQ(d->theme ? 1 : 0, d->themedDrawing);
  f.Send(TVM_SETLINECOLOR, 0, RGB(9, 9, 9));
  EXPECT_EQ(0, d->themedDrawing);
  EXPECT_EQ(RGB(9, 9, 9), (COLORREF)f.Send(TVM_GETLINECOLOR));
}

TEST(TreeListColors, APaintShowsTheBackgroundSlot) {
  TreeListFixture f;
  f.Send(TVM_SETBKCOLOR, 0, RGB(0x12, 0x34, 0x56));
  WindowCapture capture(f.Hwnd());
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), capture.Pixel(10, 10));
  RECT all = {0, 0, capture.Width(), capture.Height()};
  EXPECT_EQ(capture.Width() * capture.Height(), capture.Count(RGB(0x12, 0x34, 0x56), all));
  // Disabled under 0x2000000: slot 15.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_DISABLEDCOLOR, TLS_EX_DISABLEDCOLOR);
  EnableWindow(f.Hwnd(), FALSE);
  WindowCapture disabled(f.Hwnd());
  EXPECT_EQ(f.Data()->colors[kTLColorDisabled], disabled.Pixel(10, 10));
}

TEST(TreeListFrame, FocusNotifiesOncePerChange) {
  TreeListFixture f;
  SetForegroundWindow(f.Parent());
  SetFocus(f.Hwnd());
  SendMessageA(f.Hwnd(), WM_SETFOCUS, 0, 0);
  SetFocus(f.Parent());
  SendMessageA(f.Hwnd(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ((std::vector<int>{(int)NM_SETFOCUS, (int)NM_KILLFOCUS}), Codes(f.notes));
}

TEST(TreeListFrame, EnableFollowsTheStyle) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  EXPECT_EQ(1, d->enabled);
  EnableWindow(f.Hwnd(), FALSE);
  EXPECT_EQ(0, d->enabled);
  EXPECT_TRUE(GetWindowLongA(f.Hwnd(), GWL_STYLE) & WS_DISABLED);
  SendMessageA(f.Hwnd(), WM_ENABLE, FALSE, 0);
  EXPECT_EQ(0, d->enabled);
  EnableWindow(f.Hwnd(), TRUE);
  EXPECT_EQ(1, d->enabled);
  EXPECT_FALSE(GetWindowLongA(f.Hwnd(), GWL_STYLE) & WS_DISABLED);
}

TEST(TreeListFrame, StylesThatShowRepaintTheRows) {
  TreeListFixture f;
  DWORD base = (DWORD)GetWindowLongA(f.Hwnd(), GWL_STYLE);
  const struct {
    DWORD bit;
    bool repaints;
  } cases[] = {{TVS_HASBUTTONS, true},    {TVS_HASLINES, true},         {TVS_LINESATROOT, true},
               {TVS_SHOWSELALWAYS, true}, {TVS_TRACKSELECT, true},      {TVS_SINGLEEXPAND, true},
               {TVS_CHECKBOXES, true},    {TVS_DISABLEDRAGDROP, false}, {TVS_RTLREADING, false}};
  for (const auto& c : cases) {
    UpdateWindow(f.Hwnd());
    SetWindowLongA(f.Hwnd(), GWL_STYLE, (LONG)(base ^ c.bit));
    EXPECT_EQ(c.repaints, GetUpdateRect(f.Hwnd(), nullptr, FALSE) != 0) << std::hex << c.bit;
    SetWindowLongA(f.Hwnd(), GWL_STYLE, (LONG)base);
  }
}

TEST(TreeListFrame, RedrawSwitch) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  UpdateWindow(f.Hwnd());
  // TRUE alone only passes on: nothing to repaint.
  f.Send(WM_SETREDRAW, TRUE);
  EXPECT_FALSE(GetUpdateRect(f.Hwnd(), nullptr, FALSE));
  f.Send(WM_SETREDRAW, FALSE);
  EXPECT_EQ(1, d->redrawOff);
  f.Send(WM_SETREDRAW, TRUE);
  EXPECT_EQ(0, d->redrawOff);
  EXPECT_TRUE(GetUpdateRect(f.Hwnd(), nullptr, FALSE));
}

TEST(TreeListFrame, LargerFontGrowsTheAutomaticRowHeight) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  f.Send(TVM_SETITEMHEIGHT, (WPARAM)-1);
  int before = d->rowHeight;
  HFONT big = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  f.Send(WM_SETFONT, (WPARAM)big, TRUE);
  EXPECT_EQ((LRESULT)big, f.Send(WM_GETFONT));
  EXPECT_GT(d->rowHeight, before);
  EXPECT_EQ(d->fontHeight + 3, d->rowHeight);
  EXPECT_NE(nullptr, d->ownBoldFont);
  // The same font again: nothing measured.
  EXPECT_EQ(0, TreeListMeasureFont(d));
  DestroyWindow(f.Hwnd());
  DeleteObject(big);
}

TEST(TreeListFrame, AutoScrollTimerStepsByTheCursorDistance) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  f.AddRoots(100);
  TreeListData* d = f.Data();
  POINT pt = {50, d->clientHeight - 1 + 30};
  ClientToScreen(f.Hwnd(), &pt);
  SetCursorPos(pt.x, pt.y);
  f.Send(TLM_SETAUTOSCROLL, 0, 100);
  for (int i = 0; i < 10; ++i) f.Send(WM_TIMER, TL_TIMER_AUTOSCROLL);
  EXPECT_EQ(5, d->topRow);
  f.Send(TLM_SETAUTOSCROLL, 0, 0);
}

TEST(TreeListLocking, ParentWaitingOnAWorkerInAnExpandNotificationReturns) {
  TreeListFixture f;
  TLHandle root = f.Add(0, "r", false);
  f.Add(root);
  f.Rebuild();
  bool workerDone = false;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_ITEMEXPANDINGA) {
      static HWND s_hwnd;
      static TLHandle s_item;
      s_hwnd = f.Hwnd();
      s_item = root;
      HANDLE h = CreateThread(
          nullptr, 0,
          [](LPVOID) WINAPI -> DWORD { return (DWORD)TreeListWndProc(s_hwnd, TLM_GETITEMROW, 0, (LPARAM)s_item); },
          nullptr, 0, nullptr);
      workerDone = WaitForSingleObject(h, 2000) == WAIT_OBJECT_0;
      if (!workerDone) WaitForSingleObject(h, INFINITE);
      CloseHandle(h);
    }
    return 0;
  };
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
  EXPECT_TRUE(workerDone);
  EXPECT_EQ(2u, f.Data()->rowCount);
}

}  // namespace

namespace {

TEST(TreeListImageLists, OwnedListsAndTheHeaderFollowingTheNormalList) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  HIMAGELIST first = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  HIMAGELIST second = ImageList_Create(20, 20, ILC_COLOR32, 1, 1);
  EXPECT_EQ(0, f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL, (LPARAM)first));
  EXPECT_EQ((LRESULT)first, f.Send(TVM_GETIMAGELIST, TLSIL_HEADER));
  EXPECT_EQ((LRESULT)first, f.Send(TVM_GETIMAGELIST, TLSIL_CELL));
  EXPECT_EQ(16, d->imageSize.cx);
  // Replacing the owned list destroys it; the header must not keep it.
  EXPECT_EQ((LRESULT)first, f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL, (LPARAM)second));
  int cx = 0, cy = 0;
  EXPECT_FALSE(ImageList_GetIconSize(first, &cx, &cy));
  EXPECT_EQ((LRESULT)second, f.Send(TVM_GETIMAGELIST, TLSIL_HEADER));
  EXPECT_EQ((LRESULT)second, f.Send(TVM_GETIMAGELIST, TLSIL_CELL));
  EXPECT_EQ(16, d->rowHeight);  // fixed by TVM_SETITEMHEIGHT: kept
  // Kept by the caller: not destroyed on replacement.
  HIMAGELIST kept = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL | TLSIL_KEEP, (LPARAM)kept);
  f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL, 0);
  EXPECT_TRUE(ImageList_GetIconSize(kept, &cx, &cy));
  EXPECT_EQ(0, f.Send(TVM_GETIMAGELIST, TLSIL_HEADER));
  EXPECT_EQ(0, f.Send(TVM_SETIMAGELIST, 1, (LPARAM)kept));
  EXPECT_EQ(0, f.Send(TVM_SETIMAGELIST, 6, (LPARAM)kept));
  ImageList_Destroy(kept);
}

}  // namespace
