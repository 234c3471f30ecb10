// Windows under a point, list and combo boxes filled from text.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "harness/window_util.h"
#include "ui/windowutil.h"

namespace {
HWND Make(const char* cls, DWORD style, HWND parent, int x, int y, int cx, int cy) {
  return CreateWindowExA(0, cls, "", style, x, y, cx, cy, parent, nullptr, nullptr, nullptr);
}

std::string ItemsOf(HWND box, bool combo) {
  std::string all;
  int n = (int)SendMessageA(box, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; ++i) {
    char text[512] = "";
    SendMessageA(box, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)text);
    if (i) all += '|';
    all += text;
  }
  return all;
}
}  // namespace

TEST(ChildWindowFromScreenPoint, DeepestChildHoldingThePoint) {
  HWND top = Make("STATIC", WS_POPUP | WS_VISIBLE, nullptr, 100, 100, 300, 200);
  HWND a = Make("STATIC", WS_CHILD | WS_VISIBLE, top, 10, 10, 100, 100);
  HWND b = Make("STATIC", WS_CHILD | WS_VISIBLE, a, 20, 20, 30, 30);
  HWND hidden = Make("STATIC", WS_CHILD, top, 150, 10, 50, 50);
  PumpMessages();
  EXPECT_EQ(ChildWindowFromScreenPoint({135, 135}, top, TRUE), b);
  EXPECT_EQ(ChildWindowFromScreenPoint({112, 112}, top, TRUE), a);
  EXPECT_EQ(ChildWindowFromScreenPoint({380, 280}, top, TRUE), top);
  EXPECT_EQ(ChildWindowFromScreenPoint({260, 120}, top, TRUE), top);
  EXPECT_EQ(ChildWindowFromScreenPoint({260, 120}, top, FALSE), hidden);
  // From the desktop's top-level windows.
  EXPECT_EQ(ChildWindowFromScreenPoint({135, 135}, nullptr, TRUE), b);
  CWnd* pWnd = ChildCWndFromScreenPoint({135, 135}, CWnd::FromHandle(top), TRUE);
  ASSERT_NE(pWnd, nullptr);
  EXPECT_EQ(pWnd->m_hWnd, b);
  DestroyWindow(top);
}

TEST(FillListFromString, PiecesIntoListAndComboBoxes) {
  HWND top = Make("STATIC", WS_POPUP, nullptr, 0, 0, 300, 300);
  HWND list = Make("LISTBOX", WS_CHILD | LBS_HASSTRINGS, top, 0, 0, 100, 100);
  HWND combo = Make("COMBOBOX", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS, top, 0, 150, 100, 100);
  EXPECT_EQ(FillListFromString(list, "eins;zwei;;drei;", ';', TRUE), 3);
  EXPECT_EQ(ItemsOf(list, false), "eins|zwei|drei");
  EXPECT_EQ(FillListFromString(list, "vier\0\0fuenf\0", 0, FALSE), 1);  // an empty string ends the list
  EXPECT_EQ(ItemsOf(list, false), "eins|zwei|drei|vier");
  SendMessageA(list, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(FillListFromString(list, "a\0drei\0b\0", 0, TRUE), 3);
  EXPECT_EQ(ItemsOf(list, false), "a|drei|b");
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);  // the selected text stays selected

  std::string longPiece(300, 'x');
  EXPECT_EQ(FillListFromString(combo, (longPiece + ",kurz").c_str(), ',', TRUE), 2);
  EXPECT_EQ(ItemsOf(combo, true), std::string(255, 'x') + "|kurz");
  EXPECT_EQ(FillListFromString(combo, "", ',', TRUE), 0);
  EXPECT_EQ(ItemsOf(combo, true), "");
  DestroyWindow(top);
}

TEST(InsertListItemMru, NewTopItemWithoutCopiesAndWithinTheMaximum) {
  HWND top = Make("STATIC", WS_POPUP, nullptr, 0, 0, 300, 300);
  HWND list = Make("LISTBOX", WS_CHILD | LBS_HASSTRINGS, top, 0, 0, 100, 100);
  HWND combo = Make("COMBOBOX", WS_CHILD | CBS_DROPDOWN | CBS_HASSTRINGS, top, 0, 150, 100, 100);
  for (HWND box : {list, combo}) {
    bool isCombo = box == combo;
    SCOPED_TRACE(isCombo ? "combo" : "list");
    FillListFromString(box, "i0,i1,i2,i3,i4,i5,i6,i7", ',', TRUE);
    EXPECT_EQ(InsertListItemMru(box, "neu", 5, FALSE), 0);
    EXPECT_EQ(ItemsOf(box, isCombo), "neu|i0|i1|i2|i3|i4");
    EXPECT_EQ(SendMessageA(box, isCombo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0), -1);  // had no selection
    SendMessageA(box, isCombo ? CB_SETCURSEL : LB_SETCURSEL, 3, 0);
    InsertListItemMru(box, "I2", 5, TRUE);  // case-sensitive: i2 stays
    EXPECT_EQ(ItemsOf(box, isCombo), "I2|neu|i0|i1|i2|i3");
    EXPECT_EQ(SendMessageA(box, isCombo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0), 0);
    InsertListItemMru(box, "I0", 5, FALSE);
    EXPECT_EQ(ItemsOf(box, isCombo), "I0|I2|neu|i1|i2|i3");
    std::string longText(400, 'L');
    InsertListItemMru(box, longText.c_str(), 5, FALSE);
    InsertListItemMru(box, "kurz", 5, FALSE);
    InsertListItemMru(box, longText.c_str(), 2, FALSE);
    EXPECT_EQ(ItemsOf(box, isCombo), longText + "|kurz|I0");
  }
  DestroyWindow(top);
}

TEST(ForceForegroundWindow, FromBehindTheWindowOfAnotherThread) {
  // Another thread owns the foreground window.
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD otherThread = 0;
  std::thread other([&] {
    otherThread = GetCurrentThreadId();
    HWND front = Make("STATIC", WS_POPUP | WS_VISIBLE, nullptr, 200, 0, 100, 100);
    SetForegroundWindow(front);
    SetEvent(ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(front);
  });
  WaitForSingleObject(ready, 5000);
  HWND mine = Make("STATIC", WS_POPUP | WS_VISIBLE | WS_MINIMIZE, nullptr, 0, 0, 100, 100);
  ForceForegroundWindow(mine);
  PumpMessages(50);
  EXPECT_FALSE(IsIconic(mine));
  EXPECT_TRUE(IsWindowVisible(mine));
  PostThreadMessageA(otherThread, WM_QUIT, 0, 0);
  other.join();
  CloseHandle(ready);
  DestroyWindow(mine);
}

// A GUI program's printf goes to the console it takes; run as a child, so
// that this program's own output stays where it is.
TEST(AttachConsoleStdout, AGuiProgramWritesToItsNewConsole) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path = path.substr(0, path.find_last_of('\\') + 1) + "console_child.exe";
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(
      CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi))
      << GetLastError();
  // Until it ends (a minute at most: a failure, not a hang).
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u) << "2 refused, 3 no console, 4 text not on it, 5 a second call changed it";
  if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
