// The hex edit dialog on its own: layout, minimum size, remembered
// rectangle, insert mode and the buffer handed back.
#include "app/editors/hexeditdlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {

std::function<void(HWND)>* g_act = nullptr;
bool g_acted = false;

VOID CALLBACK ActTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_acted || !g_act) return;
  HWND dlg = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        if (IsWindowVisible(w) && GetDlgItem(w, IDC_HEXEDIT_VIEW)) {
          *(HWND*)lp = w;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&dlg);
  if (!dlg) return;
  g_acted = true;
  (*g_act)(dlg);
}

INT_PTR RunDialog(CHexEditDlg& dlg, std::function<void(HWND)> act) {
  g_act = &act;
  g_acted = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, ActTimer);
  INT_PTR r = dlg.DoModal();
  KillTimer(nullptr, timer);
  g_act = nullptr;
  return r;
}

BYTE* Block(int n) {
  BYTE* p = new BYTE[n];
  for (int i = 0; i < n; ++i) p[i] = (BYTE)i;
  return p;
}

RECT ItemRect(HWND dlg, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dlg, id), &r);
  MapWindowPoints(nullptr, dlg, (POINT*)&r, 2);
  return r;
}

DWORD StoredInsert(const TestAppNames& names) {
  HKEY key = nullptr;
  DWORD value = 0xDEAD, size = sizeof value;
  std::string path = names.ProgramKeyPath() + "\\HexEditDlg";
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEAD;
  RegQueryValueExA(key, "Insert", nullptr, nullptr, (BYTE*)&value, &size);
  RegCloseKey(key);
  return value;
}

class HexEditDlgTest : public testing::Test {
 protected:
  void SetUp() override { CHexEditDlg::ResetProcessState(); }
  TestAppNames names;
};

TEST_F(HexEditDlgTest, InsertKeyReachesTheCheckBoxAndIsStoredOnCancel) {
  CHexEditDlg dlg;
  dlg.Name = "v";
  dlg.Data = Block(16);
  dlg.Length = 16;
  dlg.TypeName = "REG_BINARY";
  bool before = true, after = false;
  std::string length;
  INT_PTR r = RunDialog(dlg, [&](HWND w) {
    HWND check = GetDlgItem(w, IDC_HEXEDIT_INSERT);
    before = SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    HWND view = GetDlgItem(w, IDC_HEXEDIT_VIEW);
    SetFocus(view);
    SendMessageA(view, WM_KEYDOWN, VK_INSERT, 0);
    PumpMessages(kHexEditTimerMs + 100);
    after = SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    char text[128];
    GetDlgItemTextA(w, IDC_HEXEDIT_LENGTH, text, sizeof text);
    length = text;
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(IDCANCEL, r);
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
  EXPECT_EQ(" 16 / 0010h byte  REG_BINARY", length);
  EXPECT_EQ(1u, StoredInsert(names));
  EXPECT_EQ(nullptr, dlg.Data);  // the view freed it
}

TEST_F(HexEditDlgTest, ResizingMovesAndStretchesByTheAnchorsAndKeepsAMinimum) {
  CHexEditDlg dlg;
  dlg.Data = Block(100);
  dlg.Length = 100;
  RECT view0 = {}, view1 = {}, ok0 = {}, ok1 = {}, label0 = {}, label1 = {}, sizing = {};
  RECT win0 = {};
  char title[64] = "";
  RunDialog(dlg, [&](HWND w) {
    GetWindowTextA(w, title, sizeof title);
    GetWindowRect(w, &win0);
    view0 = ItemRect(w, IDC_HEXEDIT_VIEW);
    ok0 = ItemRect(w, IDOK);
    label0 = ItemRect(w, IDC_HEXEDIT_LENGTH_LABEL);
    SetWindowPos(w, nullptr, 0, 0, win0.right - win0.left + 100, win0.bottom - win0.top + 80,
                 SWP_NOMOVE | SWP_NOZORDER);
    view1 = ItemRect(w, IDC_HEXEDIT_VIEW);
    ok1 = ItemRect(w, IDOK);
    label1 = ItemRect(w, IDC_HEXEDIT_LENGTH_LABEL);
    sizing = {100, 100, 110, 110};
    SendMessageA(w, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&sizing);
    PostMessageA(w, WM_COMMAND, IDOK, 0);
  });
  EXPECT_STREQ("Bearbeiten", title);  // no name: the resource caption
  EXPECT_EQ(view0.left, view1.left);
  EXPECT_EQ(view0.right + 100, view1.right);
  EXPECT_EQ(view0.bottom + 80, view1.bottom);
  EXPECT_EQ(ok0.left + 100, ok1.left);
  EXPECT_EQ(ok0.top + 80, ok1.top);
  EXPECT_EQ(label0.left, label1.left);
  EXPECT_EQ(label0.top + 80, label1.top);
  EXPECT_EQ(100, sizing.left);
  EXPECT_EQ(100, sizing.top);
  EXPECT_EQ(win0.right - win0.left - 50, sizing.right - sizing.left);
  EXPECT_EQ(win0.bottom - win0.top - 250, sizing.bottom - sizing.top);
  // Untouched: handed back, not changed.
  EXPECT_EQ(0, dlg.Changed);
  EXPECT_EQ(100, dlg.Length);
  ASSERT_NE(nullptr, dlg.Data);
  EXPECT_EQ(99, dlg.Data[99]);
}

TEST_F(HexEditDlgTest, SecondOpeningAtTheLastRectangleUnlessOffScreenOrMaximised) {
  auto open = [&](std::function<void(HWND)> act) {
    CHexEditDlg dlg;
    dlg.Data = Block(8);
    dlg.Length = 8;
    RunDialog(dlg, act);
  };
  RECT placed = {};
  open([&](HWND w) {
    SetWindowPos(w, nullptr, 40, 50, 700, 420, SWP_NOZORDER);
    GetWindowRect(w, &placed);
    PostMessageA(w, WM_COMMAND, IDOK, 0);
  });
  RECT second = {};
  open([&](HWND w) {
    GetWindowRect(w, &second);
    ShowWindow(w, SW_MAXIMIZE);
    PostMessageA(w, WM_COMMAND, IDOK, 0);
  });
  EXPECT_TRUE(EqualRect(&placed, &second));
  RECT kept = {};
  ASSERT_TRUE(CHexEditDlg::RememberedRect(&kept));
  EXPECT_TRUE(EqualRect(&placed, &kept));  // the maximised OK left it
  open([&](HWND w) {
    SetWindowPos(w, nullptr, -5000, -5000, 700, 420, SWP_NOZORDER);
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  });
  RECT third = {};
  open([&](HWND w) {
    GetWindowRect(w, &third);
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_GT(third.left, -1000);
  EXPECT_GT(third.top, -1000);
}

TEST_F(HexEditDlgTest, AFailedDoModalFreesTheBuffer) {
  CHexEditDlg dlg;
  dlg.Data = Block(8);
  dlg.Length = 8;
  // Not run: the destructor frees what the view never took.
}

}  // namespace
