// End-to-end search of Ostrova.exe: the find dialog, its token menu and
// "Weitersuchen" until the end message.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/scenario_util.h"
#include "harness/file_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {

// The search fixture: a key name, a value's data and a value name that hold
// the search text, in the order the search meets them.
void SeedSearchKey(const std::string& key) {
  const wchar_t anfang[] = L"nichts";
  SetW(key, L"Anfang", REG_SZ, anfang, sizeof anfang);
  HKEY k;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key + "\\A_Schl\xFCssel e2e7Q").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(k);
  const wchar_t daten[] = L"steht e2e7Q drin";
  SetW(key + "\\B", L"Daten", REG_SZ, daten, sizeof daten);
  const wchar_t x[] = L"x";
  SetW(key + "\\B", L"Wert e2e7Q", REG_SZ, x, sizeof x);
}

// Ctrl+F opens the find dialog; the token menu inserts "*" and switches to
// special mode; a partial search for a typed text finds a key name, then
// (F3) a value's data, then ("Weitersuchen") a value name in the entry list;
// F3 from the last root ends with "beendet", after which "Weitersuchen" is
// grey and F3 opens the dialog again.
TEST_F(EndToEnd, FindKeyDataValueThenTheEnd) {
  ScratchKey scratch(Sub("Suche"));
  SeedSearchKey(scratch.path);
  const std::string start = SubPath("Suche");
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + start));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, start, 2)) << pane.ComboText() << " " << pane.RowCount();
  FocusIn(pane.Tree());

  HWND dlg = nullptr;
  ASSERT_TRUE(PressKey(pane.Tree(), 'F', true, [&] {
    dlg = TopLevelOf(app, "Suchen", app.Frame());
    return dlg && GetDlgItem(dlg, IDC_FIND_TEXT);
  })) << "Ctrl+F";
  HWND combo = GetDlgItem(dlg, IDC_FIND_TEXT);
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(Checked(GetDlgItem(dlg, IDC_FIND_KEYS)) && Checked(GetDlgItem(dlg, IDC_FIND_VALUES)) &&
              Checked(GetDlgItem(dlg, IDC_FIND_DATA)) && Checked(GetDlgItem(dlg, IDC_FIND_PARTIAL)));

  // The token menu: open, pictured with the dialog, first entry chosen.
  Click(GetDlgItem(dlg, IDC_FIND_TOKENS));
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = MenuOf(app)) != nullptr; })) << "no token menu";
  SaveScreens(dlg, menu, "regtools_find_token_menu");
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(combo) == "*" && Checked(GetDlgItem(dlg, IDC_FIND_SPECIAL)); }))
      << "[" << TextOf(combo) << "]";

  // Back to partial, the text typed over the token, OK.
  Click(GetDlgItem(dlg, IDC_FIND_PARTIAL));
  ASSERT_TRUE(WaitUntil([&] { return Checked(GetDlgItem(dlg, IDC_FIND_PARTIAL)); }));
  ASSERT_TRUE(TypeInto(edit, "e2e7Q"));
  Click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));

  // A key name: the key is shown, its tree item is the caret.
  const std::string keyHit = start + "\\A_Schl\xFCssel e2e7Q";
  EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == keyHit && CaretName(pane) == "A_Schl\xFCssel e2e7Q"; }, 15000))
      << pane.ComboText() << " caret " << CaretName(pane);
  Shot(app.Frame(), "regtools_find_key");

  // F3: the data of "Daten" in the next key.
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false,
                       [&] { return pane.ComboText() == start + "\\B" && pane.SelectedNames() == "Daten"; }))
      << pane.ComboText() << " selected " << pane.SelectedNames() << " rows " << pane.Names() << " caret "
      << pane.ItemText(pane.List(), (HTREEITEM)SendMessageA(pane.List(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  EXPECT_EQ(FocusOf(pane.List()), pane.List());
  Shot(app.Frame(), "regtools_find_data");

  // "Weitersuchen": the value name after it, in the same entry list.
  app.Command(ID_FIND_NEXT_MENU);
  EXPECT_TRUE(WaitUntil([&] { return pane.SelectedNames() == "Wert e2e7Q"; })) << pane.SelectedNames();
  EXPECT_EQ(pane.ComboText(), start + "\\B");

  // From the last root nothing follows: the end message.
  ASSERT_TRUE(GoTo(pane, "HKEY_CURRENT_CONFIG"));
  HWND box = nullptr;
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false, [&] { return (box = TopLevelOf(app, "Information")) != nullptr; }))
      << OpenWindows(app);
  EXPECT_EQ(TextOf(GetDlgItem(box, kMsgBoxText)), "Das Durchsuchen der Registry ist beendet.");
  Shot(box, "regtools_find_end");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  // The search is over: F3 asks for a new one. (Whether "Weitersuchen" is
  // grey cannot be read from outside: Wine keeps menus inside their process.)
  dlg = nullptr;
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false, [&] {
    dlg = TopLevelOf(app, "Suchen", app.Frame());
    return dlg && GetDlgItem(dlg, IDC_FIND_TEXT);
  })) << "F3 after the end";
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_FIND_TEXT)), "e2e7Q");  // the history's newest text
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  ASSERT_TRUE(app.Close());
}

}  // namespace
