// A top-level window with a common-controls child, painted into a memory DC.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <commctrl.h>
#include <cstring>
#include <string>

#include "harness/window_util.h"

TEST(WindowHarness, ListViewChildPaintsItsBackground) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  HWND top = CreateWindowExA(0, "STATIC", "Harness", WS_POPUP | WS_VISIBLE, 10, 10, 200, 120, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(top, nullptr);
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 20, 20, 100,
                              60, top, (HMENU)1, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  const COLORREF teal = RGB(0, 128, 128);
  SendMessageA(list, LVM_SETBKCOLOR, 0, teal);
  PumpMessages(50);

  WindowCapture cap(top);
  ASSERT_EQ(cap.Width(), 200);
  ASSERT_EQ(cap.Height(), 120);
  RECT inner = {30, 30, 110, 70};
  EXPECT_EQ(cap.Count(teal, inner), 80 * 40) << "the list view's background fills its client area";
  RECT outside = {150, 0, 200, 120};
  EXPECT_EQ(cap.Count(teal, outside), 0) << "nothing of it outside the child";
  DestroyWindow(top);
}

TEST(WindowHarness, RunsWithCommonControlsSix) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  // Wine's DllGetVersion says 5.81 for both; the side-by-side assembly that
  // the manifest selects tells them apart.
  char path[MAX_PATH] = "";
  GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH);
  CharLowerA(path);
  EXPECT_NE(strstr(path, "common-controls_6595b64144ccf1df_6."), nullptr) << path;
}

// The prefix has Wine's own fonts: the dialogs' "MS Sans Serif", the fixed
// "Courier" of the hex and text views, and the "Marlett" glyphs.
TEST(WindowHarness, WindowsFontsAreInstalled) {
  struct Case {
    const char* face;
    BYTE charset;
    BYTE pitch;
  } cases[] = {{"MS Sans Serif", ANSI_CHARSET, DEFAULT_PITCH},
               {"Courier", ANSI_CHARSET, FIXED_PITCH | FF_MODERN},
               {"Marlett", SYMBOL_CHARSET, DEFAULT_PITCH},
               {"MS Shell Dlg", ANSI_CHARSET, DEFAULT_PITCH}};
  for (const Case& c : cases) {
    LOGFONTA lf = {};
    lf.lfHeight = -13;
    lf.lfCharSet = c.charset;
    lf.lfPitchAndFamily = c.pitch;
    strcpy(lf.lfFaceName, c.face);
    HFONT font = CreateFontIndirectA(&lf);
    std::string chosen = ChosenFontFace(font);
    std::printf("font \"%s\" -> \"%s\"\n", c.face, chosen.c_str());
    EXPECT_EQ(chosen, c.face);
    DeleteObject(font);
  }
}

TEST(WindowHarness, SavesThePictureAsPng) {
  HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0, 3, 2, nullptr, nullptr,
                              nullptr, nullptr);
  PumpMessages();
  WindowCapture cap(hwnd);
  std::string path = ScreenshotPath("harness_black.png");
  ASSERT_TRUE(cap.SavePng(path.c_str()));
  DestroyWindow(hwnd);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  unsigned char bytes[128];
  DWORD n = 0;
  ReadFile(file, bytes, sizeof bytes, &n, nullptr);
  CloseHandle(file);
  // Signature, IHDR of 3 x 2 RGB, one stored block of 2 rows of 1 + 9 bytes.
  const unsigned char head[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D',
                                'R',  0,   0,   0,   3,    0,    0,    0,    2, 8, 2, 0,  0,   0};
  ASSERT_GE(n, sizeof head);
  EXPECT_EQ(std::memcmp(bytes, head, sizeof head), 0);
  EXPECT_EQ(n, 8u + 25u + (12u + 2u + 5u + 20u + 4u) + 12u);
  EXPECT_EQ(std::memcmp(bytes + n - 8, "IEND\xAE\x42\x60\x82", 8), 0);
}
