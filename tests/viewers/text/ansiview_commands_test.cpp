// The view's colour and font commands through their dialogs, and a style
// loaded before the window exists.
#include "dialog_driver.h"
#include "harness/registry_util.h"
#include "view_fixture.h"
#include "viewers/text/ansicolordlg.h"

TEST_F(ViewTest, ColourCommandSavesAndRepaintsEveryViewOfTheStyle) {
  TestRegistryKey key;
  RecordingView a("Befehl"), b("Befehl");
  Make(&a);
  RECT rc = {0, 0, 100, 100};
  ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(m_parent), 78));
  a.LoadStyle(key.Path().c_str(), FALSE);  // gives the style its path
  b.Clear();
  DialogDriver driver("Farben einstellen", [&](HWND dlg, int) {
    SelectListItem(dlg, kColorDlgBackgroundSwatches, 30);
    ClickItem(dlg, IDOK);
    return true;
  });
  SendMessageA(a.m_hWnd, WM_COMMAND, ID_ANSIVIEW_COLORS, 0);
  EXPECT_EQ(a.GetStyle()->colors[0].background, 0x0000FFu);
  EXPECT_FALSE(b.painted.empty()) << "the other view of the style repaints, its cell unchanged";
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (key.Path() + "\\Befehl\\Colors\\1").c_str(), 0, KEY_READ, &h), 0);
  DWORD bg = 0, size = sizeof bg;
  RegQueryValueExA(h, "BG", nullptr, nullptr, (BYTE*)&bg, &size);
  EXPECT_EQ(bg, 0x0000FFu) << "saved";
  RegCloseKey(h);
  b.DestroyWindow();
}

TEST_F(ViewTest, FontCommandTakesTheChosenFont) {
  TestRegistryKey key;
  RecordingView view("Schrift");
  Make(&view);
  view.LoadStyle(key.Path().c_str(), FALSE);
  // The font dialog's caption is the system's: answered as the first dialog.
  SetTimer(nullptr, 0, 60, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    HWND dlg = FindThreadDialog(nullptr);
    if (!dlg) return;
    KillTimer(nullptr, id);
    HWND combo = GetDlgItem(dlg, 0x472);  // the size box
    SetWindowTextA(combo, "20");
    PostMessageA(dlg, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(dlg, IDOK));
  });
  ASSERT_EQ(view.ChooseFont(), 1);
  EXPECT_EQ(view.GetStyle()->font.flags, kFontFixedPitch);
  EXPECT_LT(view.GetStyle()->font.height, 0) << "the dialog's character height";
  EXPECT_STREQ(view.GetStyle()->font.face, "Courier");
  HKEY h;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (key.Path() + "\\Schrift").c_str(), 0, KEY_READ, &h), 0) << "saved";
  RegCloseKey(h);
}

TEST_F(ViewTest, StyleLoadedBeforeTheWindowIsMeasuredAtCreation) {
  TestRegistryKey key;
  ANSIFONTRECORD record = {0, 26, kFontFixedPitch, "Courier"};
  HKEY h;
  RegCreateKeyExA(HKEY_CURRENT_USER, (key.Path() + "\\Frueh").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                  nullptr);
  RegSetValueExA(h, "Font", 0, REG_BINARY, (const BYTE*)&record, sizeof record);
  RegCloseKey(h);
  int width = 0, height = 0;
  EXPECT_EQ(MeasureFontRecord((key.Path() + "\\Frueh").c_str(), &width, &height), 1);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 26);
  EXPECT_EQ(MeasureFontRecord(nullptr, &width, &height), 1);
  EXPECT_EQ(height, 13) << "Courier 15 without a path";

  RecordingView view("Frueh");
  view.LoadStyle(key.Path().c_str(), FALSE);
  Make(&view, 320, 260);
  EXPECT_EQ(view.GetCellWidth(), 16);
  EXPECT_EQ(view.GetCellHeight(), 26);
  EXPECT_EQ(view.GetVisibleSize().cy, (view.m_textHeight + 25) / 26);
}

TEST_F(ViewTest, ExtraButtonsPageDownAndUp) {
  RecordingView view;
  Make(&view);
  int vis = view.GetVisibleSize().cy;
  view.Clear();
  SendMessageA(view.m_hWnd, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), MAKELPARAM(10, 10));
  EXPECT_EQ(view.log, std::vector<std::string>({"move 0," + std::to_string(vis - 1) + ",1"}));
  SendMessageA(view.m_hWnd, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2), MAKELPARAM(10, 10));
  EXPECT_EQ(view.log.back(), "move 0," + std::to_string(1 - vis) + ",1");
}
