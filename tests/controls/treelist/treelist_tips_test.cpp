// Info tips with the real cursor (SetCursorPos) and the tip timer sent as
// WM_TIMER: a tip only for a cut text, the parent's text after its delay,
// the tip kept on the monitor and hidden when its item goes; hot tracking
// and the single-expand branch switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "treelist_fixture.h"

namespace {

const char kLong[] = "A text far too long for the narrow control to show";

class TreeListTips : public ::testing::Test {
 protected:
  TreeListTips() : f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 160, 120) {
    f.onNotify = [this](NMHDR* hdr) -> LRESULT {
      if (hdr->code != (UINT)TLN_GETINFOTIP) return 0;
      NMTREEVIEWA* nm = (NMTREEVIEWA*)hdr;
      asked.push_back(*nm);
      askedText = nm->itemNew.pszText;
      if (!parentText) return 0;
      nm->itemNew.pszText = (LPSTR)parentText;
      if (delay) {
        nm->itemNew.mask |= TL_TIP_DELAY;
        nm->itemNew.lParam = delay;
      }
      return 1;
    };
    SetForegroundWindow(f.Parent());
    SetWindowPos(f.Parent(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  // Puts the cursor on the client point and tells the control it moved.
  void Hover(int x, int y) {
    POINT screen = {x, y};
    ClientToScreen(f.Hwnd(), &screen);
    SetCursorPos(screen.x, screen.y);
    f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }
  void Tick() { f.Send(WM_TIMER, TL_TIMER_INFOTIP, 0); }
  bool TipVisible() { return IsWindowVisible((HWND)f.Send(TVM_GETTOOLTIPS)) != FALSE; }
  std::string TipText() {
    HWND tip = (HWND)f.Send(TVM_GETTOOLTIPS);
    char text[256] = {};
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = f.Hwnd();
    ti.uId = (UINT_PTR)f.Hwnd();
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, (LPARAM)&ti);
    return text;
  }
  int LabelX() const { return f.Data()->indent + 6; }

  TreeListFixture f;
  std::vector<NMTREEVIEWA> asked;
  std::string askedText;
  const char* parentText = nullptr;
  LPARAM delay = 0;
};

TEST_F(TreeListTips, TheToolTipIsMadeAndSubclassed) {
  HWND tip = (HWND)f.Send(TVM_GETTOOLTIPS);
  ASSERT_TRUE(tip);
  char cls[64] = {};
  GetClassNameA(tip, cls, sizeof cls);
  EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
  // A child cannot own a pop-up: the top-level window behind it does.
  EXPECT_EQ(GetWindow(tip, GW_OWNER), f.Parent());
  EXPECT_EQ(GetWindowLongPtrA(tip, GWLP_WNDPROC), (LONG_PTR)TreeListToolTipProc);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  // A tip handed back by TVM_SETTOOLTIPS outlives the control safely.
  {
    TreeListFixture other;
    HWND own = (HWND)other.Send(TVM_GETTOOLTIPS);
    EXPECT_EQ(other.Send(TVM_SETTOOLTIPS, 0), (LRESULT)own);
    DestroyWindow(other.Hwnd());
    SendMessageA(own, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(DestroyWindow(own));
  }
  // Without tooltips no tip window is made.
  TreeListFixture quiet(WS_CHILD | WS_VISIBLE | TVS_NOTOOLTIPS);
  EXPECT_EQ(quiet.Send(TVM_GETTOOLTIPS), 0);
}

// The pop-ups the control's top-level window owns.
int OwnedToolTips(HWND owner) {
  struct Count {
    HWND owner;
    int n;
  } c = {owner, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lParam) CALLBACK -> BOOL {
        Count* c = (Count*)lParam;
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (GetWindow(hwnd, GW_OWNER) == c->owner && !strcmp(cls, TOOLTIPS_CLASSA)) ++c->n;
        return TRUE;
      },
      (LPARAM)&c);
  return c.n;
}

TEST_F(TreeListTips, TheTipWindowIsMadeAtItsFirstUse) {
  Insert(f, 0, "short");
  TLHandle longItem = Insert(f, 0, kLong);
  EXPECT_EQ(OwnedToolTips(f.Parent()), 0) << "no tip window before it is needed";
  Hover(LabelX(), 8);
  EXPECT_EQ(OwnedToolTips(f.Parent()), 1) << "the first hover over an item makes it";
  Hover(LabelX(), 24);
  EXPECT_EQ(f.Data()->tipItem, longItem);
  EXPECT_TRUE(TipVisible());
  EXPECT_EQ(OwnedToolTips(f.Parent()), 1);
}

TEST_F(TreeListTips, TipOnlyForACutText) {
  TLHandle shortItem = Insert(f, 0, "short");
  TLHandle longItem = Insert(f, 0, kLong);
  TreeListData* d = f.Data();
  Hover(LabelX(), 8);
  EXPECT_EQ(d->tipItem, 0u);
  EXPECT_FALSE(TipVisible());
  Hover(LabelX(), 24);
  EXPECT_EQ(d->tipItem, longItem);
  EXPECT_TRUE(TipVisible());
  EXPECT_EQ(TipText(), kLong);
  // At the label's corner on the screen.
  RECT label = {};
  memcpy(&label, &longItem, sizeof longItem);
  f.Send(TVM_GETITEMRECT, TL_RECT_CELL | TL_RECT_TEXT, (LPARAM)&label);
  POINT corner = {label.left, label.top};
  ClientToScreen(f.Hwnd(), &corner);
  EXPECT_EQ(d->tipPoint.x, corner.x);
  EXPECT_EQ(d->tipPoint.y, corner.y);
  // The timer keeps it while the cursor stays and drops it once it left.
  Tick();
  EXPECT_TRUE(TipVisible());
  Hover(LabelX(), 8);
  EXPECT_EQ(d->tipItem, 0u);
  EXPECT_FALSE(TipVisible());
  (void)shortItem;
}

TEST_F(TreeListTips, CellTipsNameTheirColumn) {
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 60;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  TLHandle a = Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  TVITEMA cell = {};
  cell.mask = TVIF_TEXT | TLIF_CELL;
  cell.hItem = (HTREEITEM)(UINT_PTR)a;
  cell.cChildren = 1;
  cell.pszText = (LPSTR)kLong;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&cell);
  cell.hItem = (HTREEITEM)(UINT_PTR)b;
  cell.pszText = (LPSTR) "ok";
  f.Send(TVM_SETITEMA, 0, (LPARAM)&cell);
  TreeListData* d = f.Data();
  int y0 = d->headerHeight + 8;
  Hover(66, y0);
  EXPECT_EQ(d->tipItem, a);
  EXPECT_EQ(d->tipColumn, 1);
  EXPECT_TRUE(TipVisible());
  EXPECT_EQ(TipText(), kLong);
  Hover(66, y0 + 16);
  EXPECT_EQ(d->tipItem, 0u) << "a cell text that fits";
  EXPECT_FALSE(TipVisible());
  // The parent is asked for cells with the cell's text and column.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_INFOTIPS, TLS_EX_INFOTIPS);
  Hover(66, y0);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back().itemNew.cChildren, 1);
  EXPECT_EQ(askedText, kLong);
}

TEST_F(TreeListTips, InfoTipStyleShowsEvenAFittingText) {
  SetWindowLongA(f.Hwnd(), GWL_STYLE, GetWindowLongA(f.Hwnd(), GWL_STYLE) | TVS_INFOTIP);
  TLHandle a = Insert(f, 0, "kurz");
  Hover(LabelX(), 8);
  EXPECT_EQ(f.Data()->tipItem, a);
  EXPECT_EQ(TipText(), "kurz");
  // Off the label (right of it) the tip goes.
  Hover(150, 8);
  EXPECT_EQ(f.Data()->tipItem, 0u);
}

TEST_F(TreeListTips, ParentTextAfterItsDelayOfThreeTicks) {
  TLHandle a = Insert(f, 0, "a", 77);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_INFOTIPS, TLS_EX_INFOTIPS);
  parentText = "Tipp vom Elternfenster";
  delay = 1200;
  Hover(LabelX(), 8);
  ASSERT_EQ(asked.size(), 1u);
  const NMTREEVIEWA& nm = asked[0];
  EXPECT_EQ(nm.action, 0u);
  EXPECT_EQ(nm.itemOld.mask, 0u);
  EXPECT_EQ(nm.itemNew.mask, 0x801Cu);
  EXPECT_EQ(nm.itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(askedText, "a");
  EXPECT_EQ(nm.itemNew.cchTextMax, 1);
  EXPECT_EQ(nm.itemNew.cChildren, 0);
  EXPECT_EQ(nm.itemNew.lParam, 77);
  EXPECT_EQ(nm.itemNew.stateMask, (UINT)-1);
  TreeListData* d = f.Data();
  EXPECT_EQ(d->tipDelay, 3u);
  EXPECT_FALSE(TipVisible());
  Tick();
  Tick();
  EXPECT_FALSE(TipVisible()) << "not before the third tick";
  Tick();
  EXPECT_TRUE(TipVisible());
  EXPECT_EQ(TipText(), parentText);
  EXPECT_EQ(d->tipDelay, 0u);
  // A zero answer falls back to the cut test: "a" fits, no tip.
  f.Send(TVM_DELETEITEM, 0, a);
  parentText = nullptr;
  Insert(f, 0, "b");
  asked.clear();
  Hover(LabelX(), 8);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(d->tipItem, 0u);
}

TEST_F(TreeListTips, HiddenWhenItsItemGoes) {
  Insert(f, 0, "x");
  TLHandle longItem = Insert(f, 0, kLong);
  Hover(LabelX(), 24);
  ASSERT_TRUE(TipVisible());
  f.Send(TVM_DELETEITEM, 0, longItem);
  EXPECT_EQ(f.Data()->tipItem, 0u);
  EXPECT_FALSE(TipVisible());
  // Disabling hides it too.
  TLHandle again = Insert(f, 0, kLong);
  Hover(LabelX(), 24);
  ASSERT_EQ(f.Data()->tipItem, again);
  EnableWindow(f.Hwnd(), FALSE);
  EXPECT_EQ(f.Data()->tipItem, 0u);
  EXPECT_FALSE(TipVisible());
}

TEST_F(TreeListTips, AWorkerDeletingTheTipItemNeverWaitsForTheWindow) {
  Insert(f, 0, "x");
  static TLHandle s_item;
  static HWND s_hwnd;
  s_item = Insert(f, 0, kLong);
  s_hwnd = f.Hwnd();
  Hover(LabelX(), 24);
  ASSERT_TRUE(TipVisible());
  HANDLE worker = CreateThread(
      nullptr, 0,
      [](LPVOID) WINAPI -> DWORD { return (DWORD)TreeListWndProc(s_hwnd, TVM_DELETEITEM, 0x89, (LPARAM)s_item); },
      nullptr, 0, nullptr);
  // The window's thread does not pump meanwhile: the worker must finish alone.
  ASSERT_EQ(WaitForSingleObject(worker, 2000), (DWORD)WAIT_OBJECT_0);
  DWORD deleted = 0;
  GetExitCodeThread(worker, &deleted);
  CloseHandle(worker);
  EXPECT_EQ(deleted, 1u);
  EXPECT_EQ(f.Data()->tipItem, 0u);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_FALSE(TipVisible()) << "hidden on the window's thread";
}

TEST_F(TreeListTips, KeptOnTheMonitor) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(f.Parent(), MONITOR_DEFAULTTONEAREST), &mi);
  // The control at the right edge of the work area: the tip would pass it.
  SetWindowPos(f.Parent(), HWND_TOP, mi.rcWork.right - 200, 100, 0, 0, SWP_NOSIZE);
  Insert(f, 0, kLong);
  Hover(LabelX(), 8);
  ASSERT_TRUE(TipVisible());
  RECT tip;
  GetWindowRect((HWND)f.Send(TVM_GETTOOLTIPS), &tip);
  EXPECT_LE(tip.right, mi.rcWork.right);
  EXPECT_GE(tip.left, mi.rcWork.left);
  // Placed beyond the edge by hand: moved back left, never right.
  TreeListData* d = f.Data();
  HWND tipWindow = (HWND)f.Send(TVM_GETTOOLTIPS);
  int width = tip.right - tip.left;
  SetWindowPos(tipWindow, nullptr, mi.rcWork.right - width + 30, tip.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  d->tipPoint.x = mi.rcWork.right - width + 30;
  TreeListLock(d);
  TreeListKeepTipOnMonitor(d);
  TreeListUnlock(d);
  EXPECT_EQ(d->tipPoint.x, mi.rcWork.right - width);
  LONG before = d->tipPoint.x;
  TreeListLock(d);
  TreeListKeepTipOnMonitor(d);
  TreeListUnlock(d);
  EXPECT_GE(d->tipPoint.x, before - 0) << "a tip inside stays";
}

TEST_F(TreeListTips, MouseMessagesOnTheTipReachTheControl) {
  Insert(f, 0, kLong);
  Hover(LabelX(), 8);
  HWND tip = (HWND)f.Send(TVM_GETTOOLTIPS);
  ASSERT_TRUE(TipVisible());
  SetFocus(f.Hwnd());
  f.notes.clear();
  // A press on the tip is a press on the label under it.
  POINT pt = {LabelX(), 8};
  MapWindowPoints(f.Hwnd(), tip, &pt, 1);
  SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  SendMessageA(tip, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  std::vector<int> codes = Codes(f.notes);
  EXPECT_NE(std::find(codes.begin(), codes.end(), (int)NM_CLICK), codes.end());
  // A second press soon after at the same place counts as a double click.
  f.notes.clear();
  SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  codes = Codes(f.notes);
  EXPECT_NE(std::find(codes.begin(), codes.end(), (int)NM_DBLCLK), codes.end());
  SendMessageA(tip, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

TEST_F(TreeListTips, HotTrackingFollowsThePointer) {
  DWORD style = GetWindowLongA(f.Hwnd(), GWL_STYLE) | TVS_TRACKSELECT;
  SetWindowLongA(f.Hwnd(), GWL_STYLE, style);
  TLHandle a = Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  TreeListData* d = f.Data();
  Hover(LabelX(), 8);
  EXPECT_EQ(d->hotItem, a);
  EXPECT_TRUE(d->items[a]->itemFlags & kTLItemHot);
  Hover(LabelX(), 24);
  EXPECT_EQ(d->hotItem, b);
  EXPECT_FALSE(d->items[a]->itemFlags & kTLItemHot);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_DROPHILITE), (LRESULT)b);
  Hover(LabelX(), 100);  // below the rows
  EXPECT_EQ(d->hotItem, 0u);
  // Leaving the window clears it too.
  Hover(LabelX(), 8);
  ASSERT_EQ(d->hotItem, a);
  SetCursorPos(0, 0);
  f.Send(WM_MOUSELEAVE);
  EXPECT_EQ(d->hotItem, 0u);
  // The messages: a bad handle clears and answers 0.
  EXPECT_EQ(f.Send(TLM_SETHOTITEM, 0, b), 1);
  EXPECT_EQ(d->hotItem, b);
  EXPECT_EQ(f.Send(TLM_SETHOTITEM, 0, 99), 0);
  EXPECT_EQ(d->hotItem, 0u);
  EXPECT_EQ(f.Send(TVM_SELECTITEM, TVGN_DROPHILITE, a), 1);
  EXPECT_EQ(d->hotItem, a);
}

class TreeListSingleExpand : public ::testing::Test {
 protected:
  TreeListSingleExpand() : f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SINGLEEXPAND) {
    a = Insert(f, 0, "a");
    a1 = Insert(f, a, "a1");
    Insert(f, a1, "a11");
    b = Insert(f, 0, "b");
    Insert(f, b, "b1");
  }
  bool Expanded(TLHandle h) { return (f.Send(TVM_GETITEMSTATE, h) & TVIS_EXPANDED) != 0; }
  TreeListFixture f;
  TLHandle a, a1, b;
};

TEST_F(TreeListSingleExpand, SelectingAnotherBranchClosesTheOld) {
  EXPECT_EQ(f.Send(TVM_SELECTITEM, TVGN_CARET, a), 1) << "2 inside, 1 outside";
  EXPECT_TRUE(Expanded(a));
  f.Send(TVM_SELECTITEM, TVGN_CARET, a1);
  EXPECT_TRUE(Expanded(a1));
  f.notes.clear();
  NMTREEVIEWA single = {};
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_SINGLEEXPAND) single = *(NMTREEVIEWA*)hdr;
    return 0;
  };
  f.Send(TVM_SELECTITEM, TVGN_CARET, b);
  EXPECT_EQ(single.itemOld.hItem, (HTREEITEM)(UINT_PTR)a1);
  EXPECT_EQ(single.itemOld.mask, (UINT)(TVIF_HANDLE | TVIF_STATE | TVIF_PARAM));
  EXPECT_EQ(single.itemNew.hItem, (HTREEITEM)(UINT_PTR)b);
  EXPECT_FALSE(Expanded(a1));
  EXPECT_FALSE(Expanded(a));
  EXPECT_TRUE(Expanded(b));
  std::vector<int> codes = Codes(f.notes);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[0], (int)TVN_SELCHANGINGA);
  EXPECT_EQ(codes[1], (int)TVN_SELCHANGEDA);
  EXPECT_EQ(codes[2], (int)TVN_SINGLEEXPAND);
}

TEST_F(TreeListSingleExpand, SkipOldKeepsTheOldBranchOpen) {
  f.Send(TVM_SELECTITEM, TVGN_CARET, a);
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_SINGLEEXPAND ? TVNRET_SKIPOLD : 0; };
  f.Send(TVM_SELECTITEM, TVGN_CARET, b);
  EXPECT_TRUE(Expanded(a));
  EXPECT_TRUE(Expanded(b));
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_SINGLEEXPAND ? TVNRET_SKIPNEW : 0; };
  f.Send(TVM_SELECTITEM, TVGN_CARET, a1);
  EXPECT_FALSE(Expanded(a1));
  EXPECT_FALSE(Expanded(b));
}

}  // namespace
