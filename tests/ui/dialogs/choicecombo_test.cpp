// The combo-box choice dialog and the item store of the choice dialogs.
#include <gtest/gtest.h>

#include <string>

#include "modal_driver.h"
#include "tests/harness/window_util.h"
#include "ui/dialogs/choicecombo.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"

namespace {
std::string Texts(const CChoiceItems& items) {
  std::string all;
  for (int i = 0; i < items.Count(); ++i) all += std::string(i ? "," : "") + items.Text(i);
  return all;
}
}  // namespace

TEST(ChoiceItems, InsertPositionsAndGrowth) {
  CChoiceItems items;
  items.Insert(99, 1, "b");
  items.Insert(-1, 2, "D");
  EXPECT_EQ(items.Insert(kInsertSortedByText, 3, "c"), 1) << "between b and D, case ignored";
  EXPECT_EQ(items.Insert(0, 4, "a"), 0);
  EXPECT_EQ(items.Insert(items.Count(), 5, "e"), 4);
  EXPECT_EQ(items.Insert(kInsertSortedByText, 6, "B"), 2) << "after the equal b";
  EXPECT_EQ(Texts(items), "a,b,B,c,D,e");

  CChoiceItems byData;
  for (DWORD d : {1u, 5u, 9u}) byData.Insert(-7, d, std::to_string(d).c_str());
  EXPECT_EQ(byData.Insert(kInsertSortedByData, 5, "neu"), 2) << "before 9";
  EXPECT_EQ(byData.Insert(kInsertSortedByData, 0x80000000u, "groß"), 4) << "unsigned";
  EXPECT_EQ(Texts(byData), "1,5,neu,9,groß");

  for (int i = 0; i < 100; ++i) byData.Insert(0, i, "x");
  EXPECT_EQ(byData.Count(), 105);
  EXPECT_STREQ(byData.Text(104), "groß");
  EXPECT_EQ(byData.Text(105), nullptr);
  EXPECT_EQ(byData.Data(-1), 0u);
  EXPECT_EQ(byData.SetData(200, 7), 0u);
  EXPECT_EQ(byData.SetData(0, 7), 99u);
  EXPECT_EQ(byData.Find("NEU", 0), -1);
  EXPECT_EQ(byData.Find("NEU", 1), 102);
  byData.DeleteAll();
  EXPECT_EQ(byData.Count(), 0);
  EXPECT_EQ(byData.Insert(5, 1, nullptr), 0);
  EXPECT_STREQ(byData.Text(0), "");
}

TEST(ChoiceCombo, DropDownListGivesTheChosenItem) {
  CChoiceComboDlg dlg;
  dlg.SetTitle("Zweig wählen");
  dlg.SetPrompt("Zweig:");
  dlg.InsertItem(-1, 10, "HKEY_CURRENT_USER");
  dlg.InsertItem(-1, 20, "HKEY_LOCAL_MACHINE", TRUE);
  dlg.InsertItem(kInsertSortedByText, 30, "HKEY_CLASSES_ROOT");
  EXPECT_EQ(dlg.m_nSelection, 1);
  EXPECT_EQ(dlg.FindItem("hkey_local_machine", 1), 2);
  std::string caption, prompt, shown;
  LONG_PTR tag = 0;
  bool listVisible = false, editVisible = true;
  ModalDriver driver({[&](HWND d) {
    tag = GetWindowLongPtrA(d, GWLP_USERDATA);
    caption = TextOf(d), prompt = TextOf(GetDlgItem(d, IDC_CHOICE_PROMPT));
    HWND combo = GetDlgItem(d, IDC_CHOICE_COMBO);
    listVisible = IsWindowVisible(combo), editVisible = IsWindowVisible(GetDlgItem(d, IDC_CHOICE_EDITCOMBO));
    shown = TextOf(combo);
    WindowCapture(d).SavePng(ScreenshotPath("choice_combo.png").c_str());
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(tag, kTagChoiceCombo);
  EXPECT_EQ(caption, "Zweig wählen");
  EXPECT_EQ(prompt, "Zweig:");
  EXPECT_TRUE(listVisible);
  EXPECT_FALSE(editVisible);
  EXPECT_EQ(shown, "HKEY_LOCAL_MACHINE");
  EXPECT_STREQ(dlg.GetText(), "HKEY_CLASSES_ROOT");
  EXPECT_EQ(dlg.m_dwResultData, 30u);
  EXPECT_EQ(dlg.m_nSelection, 0);
  char buf[5];
  EXPECT_EQ(dlg.CopyResultText(buf, sizeof buf), 4);
  EXPECT_STREQ(buf, "HKEY");
}

TEST(ChoiceCombo, EditableTakesTypedTextAndCancelEmpties) {
  {
    CChoiceComboDlg dlg;
    dlg.m_bEditable = TRUE;
    dlg.m_nSelection = -1;
    dlg.m_strResult = "Vorgabe";
    dlg.InsertItem(-1, 1, "eins");
    std::string shown;
    ModalDriver driver({[&](HWND d) {
      HWND combo = GetDlgItem(d, IDC_CHOICE_EDITCOMBO);
      shown = TextOf(combo);
      SetWindowTextA(combo, "frei getippt");
      PressButton(d, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shown, "Vorgabe");
    EXPECT_STREQ(dlg.GetText(), "frei getippt");
    EXPECT_EQ(dlg.m_dwResultData, 0u);
    EXPECT_EQ(dlg.m_nSelection, -1);
  }
  {
    CChoiceComboDlg dlg;
    dlg.InsertItem(-1, 1, "eins");
    dlg.m_nSelection = 7;  // out of range: the first item of a list
    std::string shown;
    ModalDriver driver({[&](HWND d) {
      shown = TextOf(GetDlgItem(d, IDC_CHOICE_COMBO));
      PressButton(d, IDCANCEL);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(shown, "eins");
    EXPECT_STREQ(dlg.GetText(), "");
    EXPECT_EQ(dlg.m_nSelection, -1);
  }
}

TEST(ChoiceCombo, WithoutCancelEscapeAccepts) {
  RECT okPlain = {};
  {
    CChoiceComboDlg dlg;
    ModalDriver driver({[&](HWND d) {
      okPlain = DlgItemRect(d, IDOK);
      PressButton(d, IDCANCEL);
      return true;
    }});
    dlg.DoModal();
  }
  CChoiceComboDlg dlg;
  dlg.m_bCancel = FALSE;
  dlg.InsertItem(-1, 4, "vier");
  dlg.InsertItem(-1, 5, "fünf", TRUE);
  RECT ok = {};
  bool cancelVisible = true;
  ModalDriver driver({[&](HWND d) {
    ok = DlgItemRect(d, IDOK);
    cancelVisible = IsWindowVisible(GetDlgItem(d, IDCANCEL));
    WindowCapture(d).SavePng(ScreenshotPath("choice_combo_nocancel.png").c_str());
    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);  // as Escape does
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(cancelVisible);
  EXPECT_EQ(ok.left, okPlain.left + (okPlain.right - okPlain.left) * 3 / 5);
  EXPECT_STREQ(dlg.GetText(), "fünf");
  EXPECT_EQ(dlg.m_dwResultData, 5u);
}
