// The toolbar's message table: button forms, add forms, state bits, check
// groups, targets, sizes and colours.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "controls/toolbar/toolbarex_data.h"
#include "toolbar_fixture.h"

TEST(ToolbarMessages, NewWindowAndAddForms) {
  ToolbarFixture t;
  EXPECT_EQ(t.Send(TB_BUTTONCOUNT), 0);
  TBBUTTON three[3] = {{-1, 1, TBSTATE_ENABLED, 0, {}, 0, -1},
                       {-1, 2, TBSTATE_ENABLED, 0, {}, 0, -1},
                       {-1, 3, TBSTATE_ENABLED, 0, {}, 0, -1}};
  EXPECT_EQ(t.Send(TB_ADDBUTTONSW, 0, (LPARAM)three), 0);
  EXPECT_EQ(t.Send(TB_ADDBUTTONSW, 1024, (LPARAM)three), 0);
  EXPECT_EQ(t.Send(TB_ADDBUTTONSW, 0x00010003, (LPARAM)three), 0);
  EXPECT_EQ(t.Send(TB_BUTTONCOUNT), 0);
  t.AddButtons(4, 100);
  // 0x5002 inserts from position 2 on.
  EXPECT_EQ(t.Send(TB_ADDBUTTONSW, 0x50020003, (LPARAM)three), 1);
  EXPECT_EQ(t.Send(TB_BUTTONCOUNT), 7);
  const int expected[7] = {100, 101, 1, 2, 3, 102, 103};
  DWORD ids[8] = {};
  EXPECT_EQ(t.Send(TBX_GETCOMMANDIDS, 8, (LPARAM)ids), 7);
  for (int i = 0; i < 7; i++) EXPECT_EQ((int)ids[i], expected[i]) << i;
  EXPECT_EQ(t.Send(TBX_GETCOMMANDIDAT, 7), -1);
}

TEST(ToolbarMessages, ButtonFormsAndMisses) {
  ToolbarFixture t;
  t.AddButtons(3, 100);
  t.AddButtons(2, 100);  // ids 100, 101 again at 3 and 4
  t.Send(TBX_SETSTYLEWORD, 0x12340004, MAKELPARAM(kTbxControl, 0xFFFF));
  struct Case {
    WPARAM form;
    LRESULT index;
  } cases[] = {
      {101, 1},         {0x12340002, 2}, {0x12340005, -1}, {0x12480064, 0},  // id 100 by the command form
      {0x12480065, 1},  {0x12800065, 1},                                     // the 0th button with id 101
      {0x12810065, 4},                                                       // the 1st button with id 101
      {0x12820065, -1}, {0x12802E7E, 4},                                     // the 0th button holding a control
      {0x12812E7E, -1}, {555, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(t.Send(TB_COMMANDTOINDEX, c.form), c.index) << std::hex << c.form;
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 555), -1);
  EXPECT_EQ(t.Send(TB_GETSTATE, 555), -1);
  EXPECT_EQ(t.Send(TB_ENABLEBUTTON, 555, FALSE), 0);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 9), -1);
}

TEST(ToolbarMessages, StateBitsAndStateStyle) {
  ToolbarFixture t;
  t.AddButtons(2, 100);
  struct Case {
    UINT set, is;
    BYTE bit;
  } cases[] = {
      {TB_CHECKBUTTON, TB_ISBUTTONCHECKED, TBSTATE_CHECKED},
      {TB_PRESSBUTTON, TB_ISBUTTONPRESSED, TBSTATE_PRESSED},
      {TB_HIDEBUTTON, TB_ISBUTTONHIDDEN, TBSTATE_HIDDEN},
      {TB_INDETERMINATE, TB_ISBUTTONINDETERMINATE, TBSTATE_INDETERMINATE},
      {TB_MARKBUTTON, TB_ISBUTTONHIGHLIGHTED, TBSTATE_MARKED},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(t.Send(c.is, 101), 0);
    EXPECT_EQ(t.Send(c.set, 101, TRUE), 1);
    EXPECT_EQ(t.Send(c.is, 101), 1);
    EXPECT_EQ(t.Send(TB_GETSTATE, 101) & c.bit, c.bit);
    EXPECT_EQ(t.Send(c.set, 101, FALSE), 1);
    EXPECT_EQ(t.Send(c.is, 101), 0);
  }
  EXPECT_EQ(t.Send(TB_ENABLEBUTTON, 100, FALSE), 1);
  EXPECT_EQ(t.Send(TB_ISBUTTONENABLED, 100), 0);
  // (stateMask << 24) | (state << 16): the enabled bit back, the old value answered.
  EXPECT_EQ(t.Send(TBX_SETSTATESTYLE, 0x12340000, 0x04040000), 0);
  EXPECT_EQ(t.Send(TB_ISBUTTONENABLED, 100), 1);
  EXPECT_EQ(t.Send(TBX_GETSTATESTYLE, 0x12340000), TBSTATE_ENABLED << 16);
  // The separator bit of the style cannot change.
  t.Send(TBX_SETSTATESTYLE, 0x12340000, 0x0000FF03);
  EXPECT_EQ(t.Send(TBX_GETSTATESTYLE, 0x12340000), (TBSTATE_ENABLED << 16) | 0x02);
  // 0x73C3xxxx: the state value and mask only.
  t.Send(TBX_SETSTATESTYLE, 0x12340000, 0x73C30101);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 100), 1);
}

TEST(ToolbarMessages, CheckGroupsUncheckTheCheckedMember) {
  ToolbarFixture t;
  t.AddButtons(3, 100, BTNS_CHECKGROUP);
  t.AddButtons(1, 200, BTNS_BUTTON);
  t.AddButtons(2, 300, BTNS_CHECKGROUP);
  ASSERT_EQ(t.Send(TB_CHECKBUTTON, 100, TRUE), 1);  // the first button of the bar
  EXPECT_EQ(t.Send(TB_CHECKBUTTON, 102, TRUE), 1);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 100), 0);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 102), 1);
  // Checking the checked member answers 0.
  EXPECT_EQ(t.Send(TB_CHECKBUTTON, 102, TRUE), 0);
  // The other group is its own.
  EXPECT_EQ(t.Send(TB_CHECKBUTTON, 300, TRUE), 1);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 102), 1);
}

TEST(ToolbarMessages, TargetsStyleWordsAndColours) {
  ToolbarFixture t;
  HWND other = t.parent;
  EXPECT_EQ(t.Send(TB_SETPARENT, (WPARAM)t.bar, kTbxParentControlTarget), 0);
  EXPECT_EQ(t.Send(TB_SETPARENT, (WPARAM)other, kTbxParentControlTarget), (LRESULT)t.bar);
  EXPECT_EQ(t.Send(TB_SETPARENT, (WPARAM)other, 0x12340007), 0);
  EXPECT_EQ(t.Send(TB_SETPARENT, (WPARAM)t.bar, 0), (LRESULT)t.parent);

  // The Windows add messages clear the style word; the own ones keep it.
  TBBUTTON b = {-1, 5, TBSTATE_ENABLED, 0, {}, 0, -1};
  *reinterpret_cast<WORD*>(b.bReserved) = kTbxSplit;
  t.Send(TB_ADDBUTTONSA, 1, (LPARAM)&b);
  t.Send(TBX_ADDBUTTONS, 1, (LPARAM)&b);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 0x12340000), 0);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 0x12340001), kTbxSplit);
  EXPECT_EQ(t.Send(TBX_COUNTBUTTONS, MAKEWPARAM(0, 9), MAKELPARAM(kTbxSplit, kTbxSplit)), 1);

  EXPECT_EQ(t.Send(TBX_COLOR, 0), 0xFF00FF);
  EXPECT_EQ(t.Send(TBX_COLOR, 0x80000001, 0x123456), 0x800080);
  EXPECT_EQ(t.Send(TBX_COLOR, 1), 0x123456);
  EXPECT_EQ(t.Send(TBX_COLOR, 2, 0x654321), 0);
  EXPECT_EQ(t.Send(TBX_COLOR, 0), 0xFF00FF);
  EXPECT_EQ(t.Send(TBX_SETSYSCOLOR, 9, 0), -1);
  EXPECT_EQ(t.Send(TBX_SETSYSCOLOR, 4, RGB(1, 2, 3)), 0x80C0FF);
  EXPECT_EQ(t.Send(TBX_SETSYSCOLOR, 4, -1), RGB(1, 2, 3));
  EXPECT_EQ(t.Send(TBX_SETSYSCOLOR, 4, -1), 0x80C0FF);
}

TEST(ToolbarMessages, SizeClamps) {
  ToolbarFixture t;
  EXPECT_EQ(t.Send(TB_GETBUTTONSIZE), MAKELONG(23, 22));
  EXPECT_EQ(t.Send(TB_SETBUTTONSIZE, 0, MAKELONG(0, 0)), 1);
  EXPECT_EQ(t.Send(TB_GETBUTTONSIZE), MAKELONG(24, 24));
  EXPECT_EQ(t.Send(TB_SETBUTTONSIZE, 0, MAKELONG(10, 10)), 1);
  EXPECT_EQ(t.Send(TB_GETBUTTONSIZE), MAKELONG(23, 23));
  EXPECT_EQ(t.Send(TB_SETBUTTONSIZE, 0, MAKELONG(-5, 30)), 0);
  EXPECT_EQ(t.Send(TB_GETBUTTONSIZE), MAKELONG(23, 23));
  EXPECT_EQ(t.Send(TB_SETBITMAPSIZE, 0, MAKELONG(1, 1)), 1);
  EXPECT_EQ(t.Send(TBX_GETBITMAPSIZE), MAKELONG(2, 2));
  EXPECT_EQ(t.Send(TB_SETPADDING, 0, MAKELONG(1, 9)), MAKELONG(2, 9));
  EXPECT_EQ(t.Send(TB_GETPADDING), MAKELONG(2, 9));
  EXPECT_EQ(t.Send(TB_GETEXTENDEDSTYLE), 0);
  EXPECT_EQ(t.Send(TB_GETTOOLTIPS), 0);
  t.AddButtons(1);
  EXPECT_EQ(t.Send(TBX_SETFIXEDWIDTH, 0, 600), 0);
  EXPECT_EQ(t.Send(TBX_SETFIXEDWIDTH, 0, 10), 512);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 0) & kTbxFixedWidth, kTbxFixedWidth);
  EXPECT_EQ(t.Send(TBX_SETFIXEDWIDTH, 0, 0), 10);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 0) & kTbxFixedWidth, 0);
}

// WM_ENABLE changes WS_DISABLED only: the style comes back as it was.
TEST(ToolbarMessages, EnableKeepsTheRestOfTheStyle) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE);
  LONG before = GetWindowLongA(t.bar, GWL_STYLE);
  EnableWindow(t.bar, FALSE);
  EXPECT_EQ(GetWindowLongA(t.bar, GWL_STYLE), before | WS_DISABLED);
  EXPECT_EQ((LONG)t.Send(TB_GETSTYLE), before | WS_DISABLED);
  EnableWindow(t.bar, TRUE);
  EXPECT_EQ(GetWindowLongA(t.bar, GWL_STYLE), before);
  EXPECT_EQ((LONG)t.Send(TB_GETSTYLE), before);
}

TEST(ToolbarMessages, FocusNotifiesTheParent) {
  ToolbarFixture t;
  SetFocus(t.bar);
  SetFocus(t.parent);
  ASSERT_GE(t.log.size(), 2u);
  EXPECT_EQ(t.log[0].code, NM_SETFOCUS);
  EXPECT_EQ(t.log[0].wParam, 77u);
  EXPECT_EQ(t.log[1].code, NM_KILLFOCUS);
}

TEST(ToolbarMessages, ButtonInfoByIndexAndForms) {
  ToolbarFixture t;
  t.AddButtons(3, 100);
  struct Info52 {
    TBBUTTONINFOW info;
    BYTE pad[52 > sizeof(TBBUTTONINFOW) ? 52 - sizeof(TBBUTTONINFOW) : 4];
  } big = {};
  TBBUTTONINFOW& info = big.info;
  info.cbSize = sizeof(TBBUTTONINFOW);
  // wParam is an index even without TBIF_BYINDEX.
  info.dwMask = TBIF_COMMAND | TBIF_STATE;
  EXPECT_EQ(t.Send(TB_GETBUTTONINFOW, 1, (LPARAM)&info), 1);
  EXPECT_EQ(info.idCommand, 101);
  EXPECT_EQ(t.Send(TB_GETBUTTONINFOW, 100, (LPARAM)&info), 0);
  EXPECT_EQ(t.Send(TB_GETBUTTONINFOW, 0x12480066, (LPARAM)&info), 2);
  info.cbSize = 20;
  EXPECT_EQ(t.Send(TB_GETBUTTONINFOW, 1, (LPARAM)&info), -1);
  // Set: text, command, the style word at byte 48 with cbSize 52.
  info = TBBUTTONINFOW{};
  info.cbSize = 52 > sizeof(TBBUTTONINFOW) ? 52 : sizeof(TBBUTTONINFOW);
  info.dwMask = TBIF_TEXT | TBIF_COMMAND | kTbxInfoStyleWord;
  info.idCommand = 500;
  info.pszText = const_cast<LPWSTR>(L"Öffnen");
  WORD styleWord[2] = {kTbxSplit | kTbxNoHotLook, kTbxSplit};
  memcpy(reinterpret_cast<BYTE*>(&big) + 48, styleWord, 4);
  EXPECT_EQ(t.Send(TB_SETBUTTONINFOW, 0, (LPARAM)&big), 1);
  EXPECT_EQ(t.Send(TBX_GETCOMMANDID, 0), 500);
  EXPECT_EQ(t.Send(TBX_GETSTYLEWORD, 0), kTbxSplit);
  wchar_t text[16] = {};
  EXPECT_EQ(t.Send(TB_GETBUTTONTEXTW, 500, (LPARAM)text), 6);
  EXPECT_STREQ(text, L"Öffnen");
  char ansi[16] = {};
  EXPECT_EQ(t.Send(TB_GETBUTTONTEXTA, 500, (LPARAM)ansi), 6);
  EXPECT_STREQ(ansi,
               "\xD6"
               "ffnen");
}

// A worker calls the window procedure directly while the window's thread
// inserts and deletes: every button it reads is whole.
TEST(ToolbarMessages, DirectCallsFromAWorkerSeeWholeButtons) {
  ToolbarFixture t;
  std::atomic<bool> done{false};
  std::atomic<int> broken{0};
  std::thread worker([&] {
    while (!done) {
      int count = (int)ToolbarExWndProc(t.bar, TB_BUTTONCOUNT, 0, 0);
      for (int i = 0; i < count; i++) {
        TBBUTTON b = {};
        if (ToolbarExWndProc(t.bar, TB_GETBUTTON, (WPARAM)i, (LPARAM)&b) && b.idCommand != 1000 + b.iBitmap) {
          broken++;
        }
      }
    }
  });
  for (int i = 0; i < 10000; i++) {
    TBBUTTON b = {i % 50, 1000 + i % 50, TBSTATE_ENABLED, 0, {}, 0, -1};
    t.Send(TB_INSERTBUTTONA, (WPARAM)(i % 7), (LPARAM)&b);
    if (i % 2) t.Send(TB_DELETEBUTTON, (WPARAM)(i % 5));
  }
  done = true;
  worker.join();
  EXPECT_EQ(broken, 0);
}

// Commands of embedded controls go to the control target, a combo box's
// selection change with the selected item's data as a second command.
TEST(ToolbarMessages, EmbeddedControlsForwardTheirCommands) {
  ToolbarFixture t;
  t.AddButtons(2, 100);
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 60, 20, t.bar, (HMENU)500, nullptr, nullptr);
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 80, 120, t.bar, (HMENU)600,
                               nullptr, nullptr);
  SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "a");
  SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "b");
  SendMessageA(combo, CB_SETITEMDATA, 1, 777);
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  t.Send(TBX_SETSTYLEWORD, kTbxByIndex | 0, MAKELPARAM(kTbxControl, kTbxControl));
  t.Send(TBX_SETBUTTONVALUE, kTbxByIndex | 0, (LPARAM)edit);
  t.Send(TBX_SETSTYLEWORD, kTbxByIndex | 1, MAKELPARAM(kTbxControl, kTbxControl));
  t.Send(TBX_SETBUTTONVALUE, kTbxByIndex | 1, (LPARAM)combo);
  EXPECT_EQ(t.Send(TBX_FINDCONTROL, 0, (LPARAM)combo), 1);
  EXPECT_EQ(t.Send(TBX_FINDCONTROL, 0, (LPARAM)t.parent), -1);
  EXPECT_EQ(t.Send(TBX_COUNTBUTTONS, MAKEWPARAM(0, 9), MAKELPARAM(kTbxControl, kTbxControl)), 2);
  t.Send(WM_COMMAND, MAKEWPARAM(500, EN_CHANGE), (LPARAM)edit);
  t.Send(WM_COMMAND, MAKEWPARAM(600, CBN_SELCHANGE), (LPARAM)combo);
  t.Send(WM_COMMAND, MAKEWPARAM(700, 0), (LPARAM)t.parent);  // not a control of the bar
  PumpMessages();
  ASSERT_EQ(t.log.size(), 3u);
  EXPECT_EQ(t.log[0].wParam, MAKEWPARAM(500, EN_CHANGE));
  EXPECT_EQ(t.log[1].wParam, MAKEWPARAM(600, CBN_SELCHANGE));
  EXPECT_EQ(t.log[2].wParam, 777u);
  // Deleting the button hides its control.
  ShowWindow(edit, SW_SHOW);
  t.Send(TB_DELETEBUTTON, 0);
  EXPECT_FALSE(IsWindowVisible(edit));
}

namespace {
// Message boxes shown while it lives: title and text; each is closed at once.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher() {
    s_current = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook_);
    s_current = nullptr;
  }
  std::vector<std::pair<std::string, std::string>> boxes;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    char kind[16] = "";
    if (code == HCBT_ACTIVATE && s_current && GetClassNameA((HWND)wParam, kind, sizeof kind) &&
        !strcmp(kind, "#32770")) {
      HWND box = (HWND)wParam;
      char title[64] = "", text[64] = "";
      GetWindowTextA(box, title, sizeof title);
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      s_current->boxes.emplace_back(title, text);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_ = nullptr;
  static inline MessageBoxCatcher* s_current = nullptr;
};
}  // namespace

// A leave without the lock held is reported with the handler's number; a
// busy round of messages leaves the lock as often as it enters it.
TEST(ToolbarMessages, LockCheckReportsALeaveWithoutTheLock) {
  ToolbarFixture t;
  auto* data = reinterpret_cast<ToolbarExData*>(GetWindowLongPtrA(t.bar, 0));
  ASSERT_NE(data, nullptr);
  MessageBoxCatcher catcher;
  EnterCriticalSection(&data->lock);
  ToolbarExLockCheck(data, 17);
  LeaveCriticalSection(&data->lock);
  EXPECT_TRUE(catcher.boxes.empty());
  ToolbarExLockCheck(data, 1234);
  ASSERT_EQ(catcher.boxes.size(), 1u);
  EXPECT_EQ(catcher.boxes[0].first, "Unlock Error");
  EXPECT_EQ(catcher.boxes[0].second, "1234");

  catcher.boxes.clear();
  t.AddButtons(6, 100);
  t.Send(TB_SETBUTTONINFOA, 0, 0);
  t.Send(TB_ADDSTRINGA, 0, (LPARAM) "Preis €\0");
  t.Send(TBX_SETSTYLEWORD, kTbxByIndex | 1, MAKELPARAM(BTNS_DROPDOWN, 0xFF));
  RECT rc = {};
  t.Send(TB_GETITEMRECT, 1, (LPARAM)&rc);
  POINT at = {rc.left + 3, rc.top + 3}, screen = at;
  ClientToScreen(t.bar, &screen);
  SetCursorPos(screen.x, screen.y);
  t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  t.Send(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  t.Send(WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  SetCursorPos(0, 0);
  t.Send(TBX_TIMERTICK, 0);
  t.Send(WM_MOUSELEAVE);
  t.Send(TBX_CALCSIZE, 40, 1);
  t.Send(TB_DELETEBUTTON, 2);
  t.Send(TBX_DELETEBUTTONS, 0, 0xFFFF);
  PumpMessages();
  EXPECT_TRUE(catcher.boxes.empty());
  EXPECT_EQ(data->lock.LockCount, -1);
}
