// The list choice dialog in its four modes, driven by real input messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modal_driver.h"
#include "tests/harness/window_util.h"
#include "ui/dialogs/choicelist.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"

namespace {
const char* kFruit[] = {"Apfel", "Birne", "Ananas", "Abend", "Banane"};

void Fill(CChoiceListDlg& dlg) {
  for (int i = 0; i < 5; ++i) dlg.InsertItem(-1, 100 + i, kFruit[i]);
}

// Client point inside row n of a list.
POINT RowPoint(HWND list, int n, int x) {
  RECT rc;
  SendMessageA(list, LB_GETITEMRECT, n, (LPARAM)&rc);
  return {x, (rc.top + rc.bottom) / 2};
}

void ClickRow(HWND list, int n, int x, bool dbl = false) {
  POINT pt = RowPoint(list, n, x);
  ClickAt(list, pt.x, pt.y, dbl);
}

std::string Checks(const CChoiceListDlg& dlg) {
  std::string s;
  for (int i = 0; i < dlg.GetItemCount(); ++i) s += dlg.GetItemCheck(i) ? '1' : '0';
  return s;
}

int Caret(HWND list) { return (int)SendMessageA(list, LB_GETCARETINDEX, 0, 0); }
}  // namespace

class ChoiceList : public ::testing::Test {
 protected:
  void SetUp() override { CChoiceListDlg::ResetRememberedPosition(); }
};

TEST_F(ChoiceList, SingleChoiceAcceptsOnDoubleClick) {
  CChoiceListDlg dlg;
  dlg.SetTitle("Obst");
  dlg.SetPrompt("Bitte wählen:");
  Fill(dlg);
  dlg.SetItemCheck(3, TRUE);  // a checked item becomes the selection
  LONG_PTR tag = 0;
  int shownSel = -1;
  bool visible[4] = {};
  ModalDriver driver({[&](HWND d) {
    tag = GetWindowLongPtrA(d, GWLP_USERDATA);
    for (int i = 0; i < 4; ++i) visible[i] = IsWindowVisible(GetDlgItem(d, IDC_CHOICE_LIST + i));
    HWND list = GetDlgItem(d, IDC_CHOICE_LIST);
    shownSel = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    WindowCapture(d).SavePng(ScreenshotPath("choice_list_single.png").c_str());
    ClickRow(list, 1, 40);
    ClickRow(list, 1, 40, true);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(tag, kTagChoiceList);
  EXPECT_TRUE(visible[0]);
  EXPECT_FALSE(visible[1] || visible[2] || visible[3]);
  EXPECT_EQ(shownSel, 3);
  EXPECT_STREQ(dlg.GetText(), "Birne");
  EXPECT_EQ(dlg.m_dwResultData, 101u);
  EXPECT_EQ(dlg.m_nSelection, 1);
  EXPECT_EQ(Checks(dlg), "01000") << "check bytes follow the list's selection";
}

TEST_F(ChoiceList, MultipleChoiceByClicksSpaceAndMenu) {
  CChoiceListDlg dlg;
  dlg.m_nMode = kChoiceMultiple;
  Fill(dlg);
  dlg.SetItemCheck(4, TRUE);
  std::string afterClicks, afterAll, afterNone;
  std::vector<std::string> menu;
  ModalDriver driver({[&](HWND d) {
                        HWND list = GetDlgItem(d, IDC_CHOICE_MULTILIST);
                        ClickRow(list, 0, 40);
                        ClickRow(list, 2, 40);
                        ClickRow(list, 0, 40);                       // again: off
                        SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);  // caret 0 -> 1
                        SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
                        SendMessageA(list, WM_CHAR, ' ', 0);
                        for (int i = 0; i < 5; ++i) afterClicks += SendMessageA(list, LB_GETSEL, i, 0) > 0 ? '1' : '0';
                        PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(30, 10));
                        return true;
                      },
                      [&](HWND) {  // inside the menu's loop
                        HWND popup = FindWindowA("#32768", nullptr);
                        if (!popup) return false;
                        HMENU h = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
                        for (int i = 0; i < GetMenuItemCount(h); ++i) {
                          char text[64] = "";
                          GetMenuStringA(h, i, text, sizeof text, MF_BYPOSITION);
                          menu.push_back(std::to_string(GetMenuItemID(h, i)) + " " + text);
                        }
                        EndMenu();
                        return true;
                      },
                      [&](HWND d) {
                        HWND list = GetDlgItem(d, IDC_CHOICE_MULTILIST);
                        SendMessageA(d, WM_COMMAND, ID_CHOICE_SELECTALL, 0);
                        for (int i = 0; i < 5; ++i) afterAll += SendMessageA(list, LB_GETSEL, i, 0) > 0 ? '1' : '0';
                        SendMessageA(d, WM_COMMAND, ID_CHOICE_DESELECTALL, 0);
                        for (int i = 0; i < 5; ++i) afterNone += SendMessageA(list, LB_GETSEL, i, 0) > 0 ? '1' : '0';
                        SendMessageA(list, LB_SETSEL, TRUE, 1);
                        SendMessageA(list, LB_SETSEL, TRUE, 4);
                        PressButton(d, IDOK);
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(afterClicks, "01101") << "item 4 from its check byte, 2 and 1 added, 0 twice";
  EXPECT_EQ(menu, (std::vector<std::string>{"1138 &Alles auswählen", "1139 &Alles abwählen"}));
  EXPECT_EQ(afterAll, "11111");
  EXPECT_EQ(afterNone, "00000");
  EXPECT_EQ(Checks(dlg), "01001");
}

TEST_F(ChoiceList, CheckListTogglesByBoxSpaceAndDoubleClickAndDrawsTicks) {
  CChoiceListDlg dlg;
  dlg.m_nMode = kChoiceChecks;
  Fill(dlg);
  dlg.SetItemCheck(1, TRUE);
  std::string log;
  int boxPixels = 0, tickPixels = 0, tickPixelsUnchecked = 0;
  ModalDriver driver({[&](HWND d) {
    HWND list = GetDlgItem(d, IDC_CHOICE_CHECKLIST);
    ClickRow(list, 0, 8);                 // box: on
    ClickRow(list, 2, 60);                // text: only selects
    ClickRow(list, 3, 60, true);          // double-click on the text: on
    ClickRow(list, 1, 8, true);           // double-click on a box: off once, its second click swallowed
    SendMessageA(list, WM_CHAR, ' ', 0);  // caret 1: on again
    SendMessageA(list, WM_CHAR, 1, 0);    // control character: nothing
    UpdateWindow(list);
    WindowCapture cap(list);
    RECT row;
    SendMessageA(list, LB_GETITEMRECT, 0, (LPARAM)&row);
    RECT box = {row.left + 3, row.top + 2, row.left + 14, row.top + 13};
    boxPixels = cap.Count(RGB(0, 0, 0), {box.left, box.top, box.right, box.top + 1});
    tickPixels = cap.Count(RGB(0, 128, 0), box) + cap.Count(RGB(0, 255, 0), box);
    SendMessageA(list, LB_GETITEMRECT, 2, (LPARAM)&row);
    tickPixelsUnchecked = cap.Count(RGB(0, 128, 0), {row.left + 3, row.top + 2, row.left + 14, row.top + 13});
    WindowCapture(d).SavePng(ScreenshotPath("choice_list_checks.png").c_str());
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(Checks(dlg), "11010");
  EXPECT_EQ(boxPixels, 11) << "the box's top edge";
  EXPECT_GT(tickPixels, 5);
  EXPECT_EQ(tickPixelsUnchecked, 0);
  EXPECT_EQ(dlg.m_nSelection, 1) << "the current row";
}

TEST_F(ChoiceList, OneCheckMovesTheCheck) {
  CChoiceListDlg dlg;
  dlg.m_nMode = kChoiceOneCheck;
  Fill(dlg);
  dlg.m_nSelection = 9;  // invalid: the first item
  std::string first, second;
  ModalDriver driver({[&](HWND d) {
    HWND list = GetDlgItem(d, IDC_CHOICE_RADIOLIST);
    for (int i = 0; i < 5; ++i) first += dlg.GetItemCheck(i) ? '1' : '0';
    ClickRow(list, 3, 8);
    ClickRow(list, 4, 60);  // selects, the check stays
    for (int i = 0; i < 5; ++i) second += dlg.GetItemCheck(i) ? '1' : '0';
    WindowCapture(d).SavePng(ScreenshotPath("choice_list_onecheck.png").c_str());
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(first, "10000");
  EXPECT_EQ(second, "00010");
  EXPECT_STREQ(dlg.GetText(), "Abend");
  EXPECT_EQ(dlg.m_nSelection, 3);
}

TEST_F(ChoiceList, TypeAheadFindsByPrefix) {
  CChoiceListDlg dlg;
  dlg.m_nMode = kChoiceChecks;  // keys reach the dialog through the list
  Fill(dlg);
  dlg.InsertItem(-1, 0, "äpfelchen");
  std::vector<int> carets;
  ModalDriver driver({[&](HWND d) {
                        HWND list = GetDlgItem(d, IDC_CHOICE_CHECKLIST);
                        SendMessageA(list, WM_CHAR, 'a', 0);
                        carets.push_back(Caret(list));  // next A after Apfel
                        SendMessageA(list, WM_CHAR, 'a', 0);
                        carets.push_back(Caret(list));  // same key again: the next one
                        return true;
                      },
                      [&](HWND d) {
                        HWND list = GetDlgItem(d, IDC_CHOICE_CHECKLIST);
                        Sleep(600);  // the one-key buffer is gone
                        SendMessageA(list, LB_SETCURSEL, 0, 0);
                        SendMessageA(list, WM_CHAR, 'a', 0);
                        SendMessageA(list, WM_CHAR, 'B', 0);
                        carets.push_back(Caret(list));  // from Ananas on: Abend
                        Sleep(800);                     // and the two-key buffer
                        SendMessageA(list, WM_CHAR, (BYTE)'Ä', 0);
                        carets.push_back(Caret(list));
                        PressButton(d, IDOK);
                        return true;
                      }});
  dlg.DoModal();
  EXPECT_EQ(carets, (std::vector<int>{2, 3, 3, 5}));
}

TEST_F(ChoiceList, RemembersPlaceAndKeepsMinimumSize) {
  CChoiceListDlg dlg;
  Fill(dlg);
  dlg.m_bCancel = FALSE;
  RECT first = {}, second = {}, sizing = {}, list = {}, client = {}, ok = {};
  bool cancelVisible = true;
  ModalDriver driver({[&](HWND d) {
    GetWindowRect(d, &first);
    cancelVisible = IsWindowVisible(GetDlgItem(d, IDCANCEL));
    SetWindowPos(d, nullptr, 30, 40, 420, 360, SWP_NOZORDER);
    sizing = {30, 40, 50, 60};
    SendMessageA(d, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&sizing);
    list = DlgItemRect(d, IDC_CHOICE_LIST);
    ok = DlgItemRect(d, IDOK);
    GetClientRect(d, &client);
    SendMessageA(d, WM_COMMAND, IDCANCEL, 0);  // no Cancel: Escape does nothing
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(cancelVisible);
  EXPECT_EQ(sizing.left, 30);
  EXPECT_GT(sizing.right - sizing.left, ok.right - ok.left + 40);
  EXPECT_GT(sizing.bottom - sizing.top, 100);
  EXPECT_NEAR(list.right, client.right - list.left, 4) << "the list fills the width";
  EXPECT_LT(list.bottom, ok.top);
  EXPECT_NEAR((ok.left + ok.right) / 2, client.right / 2, 1) << "the single button is centred";

  ModalDriver again({[&](HWND d) {
    GetWindowRect(d, &second);
    PressButton(d, IDOK);
    return true;
  }});
  dlg.DoModal();
  EXPECT_EQ(second.left, 30);
  EXPECT_EQ(second.top, 40);
  EXPECT_EQ(second.right - second.left, 420) << "this object's size wins";

  CChoiceListDlg other;
  Fill(other);
  other.m_bCancel = FALSE;
  other.m_nWidthChange = 0x1234000A;  // far below the minimum
  ModalDriver third({[&](HWND d) {
    GetWindowRect(d, &second);
    PressButton(d, IDOK);
    return true;
  }});
  other.DoModal();
  EXPECT_EQ(second.left, 30) << "the place is remembered for the process";
  EXPECT_LT(second.right - second.left, first.right - first.left);
  EXPECT_EQ(second.right - second.left, std::max<LONG>(sizing.right - sizing.left, GetSystemMetrics(SM_CXMINTRACK)))
      << "never below the minimum";
}
