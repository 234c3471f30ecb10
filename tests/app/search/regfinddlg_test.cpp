// The find dialog: options from and to the program key, the token menu and
// its caret rule, the two warnings, and a picture with the menu open.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/search/regfinddlg.h"
#include "app/search/regsearch.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"
#include "system/regkeystack.h"

namespace {

DWORD ReadDword(const char* name) {
  CRegKeyStack key;
  DWORD v = 0xDEAD;
  if (key.Open(HKEY_CURRENT_USER)) key.QueryValue(&v, sizeof v, name, 0);
  return v;
}

// Closes the first box of this title and keeps its text.
class BoxWatcher {
 public:
  explicit BoxWatcher(const char* title) : m_title(title), m_thread([this] { Run(); }) {}
  ~BoxWatcher() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
  }
  // Waits for the box to be closed (or given up on).
  std::string Text() {
    if (m_thread.joinable()) m_thread.join();
    return m_text;
  }

 private:
  void Run() {
    for (int i = 0; i < 500 && !m_stop; ++i) {
      HWND box = FindWindowA("#32770", m_title.c_str());
      if (box) {
        char buf[512] = "";
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        m_text = buf;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  }
  std::string m_title, m_text;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

TEST(RegFindDialog, TokensCaretAndMode) {
  struct Case {
    const char* before;
    int sel;
    int n;
    const char* after;
    int caret;
  } cases[] = {
      {"ab", 1, 2, "a*b", 2},     {"ab", 1, 1, "a?b", 2},     {"ab", 2, 3, "ab\\w", 4},
      {"ab", 1, 14, "a\\[]b", 3}, {"ab", 0, 18, "\\||ab", 2}, {"ab", 9, 21, "ab\\$$", 4},
      {"", 0, 17, "\\{}", 2},     {"x", 0, 13, "\\mx", 2},    {"ab", 1, 22, "ab", 1},
  };
  for (const Case& c : cases) {
    CString t = c.before;
    EXPECT_EQ(CRegFindDlg::InsertToken(t, c.sel, c.n), c.caret) << c.n;
    EXPECT_STREQ((const char*)t, c.after) << c.n;
  }
  EXPECT_STREQ(CRegFindDlg::TokenOf(19), "\\##");
  EXPECT_STREQ(CRegFindDlg::TokenOf(12), "\\f");
  EXPECT_EQ(CRegFindDlg::TokenOf(22), nullptr);
  // The menu: 21 entries and 4 separators in the table's order.
  HMENU menu = CRegFindDlg::BuildTokenMenu();
  EXPECT_EQ(GetMenuItemCount(menu), 25);
  char text[64];
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Beliebige  Zeichen&folge");
  EXPECT_EQ(GetMenuItemID(menu, 0), kFindTokenFirst + 1);
  EXPECT_EQ(GetMenuItemID(menu, 5), 0u);  // separator
  GetMenuStringA(menu, 14, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Zeichenketten ohne |...|");
  EXPECT_EQ(GetMenuItemID(menu, 24), kFindTokenFirst + 9);
  DestroyMenu(menu);
}

TEST(RegFindDialog, OptionsWarningsAndTokenCommands) {
  TestAppNames names;
  {
    CRegKeyStack key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER));
    DWORD zero = 0, whole = 1;
    key.SetValue(&zero, 4, "FindKeys", REG_DWORD);
    key.SetValue(&whole, 4, "FindMode", REG_DWORD);
  }
  CRegFindDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_REGFIND, nullptr));
  HWND h = dlg.m_hWnd;
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_KEYS), 0u);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_VALUES), 1u);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_WHOLE), 1u);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_MATCH_CASE), 0u);

  // A token goes to the edit selection's start; the mode becomes special.
  HWND combo = GetDlgItem(h, IDC_FIND_TEXT);
  SetWindowTextA(combo, "Wert");
  SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(2, 3));
  SendMessageA(h, WM_COMMAND, kFindTokenFirst + 14 - 1, 0);
  char text[64];
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "We\\[]rt");
  DWORD sel = (DWORD)SendMessageA(combo, CB_GETEDITSEL, 0, 0);
  EXPECT_EQ(LOWORD(sel), 4);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_SPECIAL), 1u);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_WHOLE), 0u);
  EXPECT_STREQ((const char*)dlg.FindText, "We\\[]rt");

  // Nothing to look at: the first warning, the dialog stays.
  CheckDlgButton(h, IDC_FIND_VALUES, 0);
  CheckDlgButton(h, IDC_FIND_DATA, 0);
  {
    BoxWatcher w("Warnung");
    SendMessageA(h, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(w.Text(), "Es muss mindestens eine der Suchoptionen ausgewählt sein !");
  }
  EXPECT_TRUE(IsWindowVisible(h) || IsWindow(h));
  // The options were saved all the same.
  EXPECT_EQ(ReadDword("FindItems"), 0u);
  EXPECT_EQ(ReadDword("FindMode"), 2u);
  CheckDlgButton(h, IDC_FIND_KEYS, 1);
  SetWindowTextA(combo, "");
  {
    BoxWatcher w("Warnung");
    SendMessageA(h, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(w.Text(), "Bitte einen Suchtext angeben !");
  }
  SetWindowTextA(combo, "Ziel");
  SendMessageA(h, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(ReadDword("FindKeys"), 1u);
  EXPECT_STREQ((const char*)dlg.FindText, "Ziel");
  dlg.DestroyWindow();

  // The history comes back as the text of the next dialog.
  CRegFindDlg again;
  ASSERT_TRUE(again.Create(IDD_REGFIND, nullptr));
  GetDlgItemTextA(again.m_hWnd, IDC_FIND_TEXT, text, sizeof text);
  EXPECT_STREQ(text, "Ziel");
  // Each OK saved the text, the refused one too.
  EXPECT_EQ(SendDlgItemMessageA(again.m_hWnd, IDC_FIND_TEXT, CB_GETCOUNT, 0, 0), 2);
  again.DestroyWindow();
}

HWND g_shotDialog;
void CALLBACK ShootMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND menu = FindWindowA("#32768", nullptr);
  RECT d, m = {};
  GetWindowRect(g_shotDialog, &d);
  if (menu) GetWindowRect(menu, &m);
  // A hidden window over both: the capture reads the screen in its rectangle.
  RECT all;
  UnionRect(&all, &d, &m);
  HWND frame = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "", WS_POPUP, all.left, all.top, all.right - all.left,
                               all.bottom - all.top, nullptr, nullptr, nullptr, nullptr);
  WindowCapture shot = WindowCapture::FromScreen(frame);
  shot.SavePng(ScreenshotPath("app_find_token_menu.png").c_str());
  DestroyWindow(frame);
  EndMenu();
}

TEST(RegFindDialog, PictureWithTheTokenMenu) {
  TestAppNames names;
  CRegFindDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_REGFIND, nullptr));
  SetWindowPos(dlg.m_hWnd, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  SetDlgItemTextA(dlg.m_hWnd, IDC_FIND_TEXT, "Wert*\\z");
  PumpMessages(200);
  g_shotDialog = dlg.m_hWnd;
  SetTimer(nullptr, 0, 400, ShootMenu);
  dlg.ShowTokenMenu();
  PumpMessages(100);
  dlg.DestroyWindow();
}

}  // namespace
