// The extra data exchange on a real dialog's controls.
#include "ui/ddx/ddxextra.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "mfc/dialog.h"
#include "ui/dialogs/dlgtemplate.h"

namespace {
enum { IDC_A = 101, IDC_B, IDC_C, IDC_LABEL1, IDC_SECOND, IDC_LABEL2, IDC_R0, IDC_R1, IDC_R2, IDC_R3, IDC_COMBO };

// A modeless dialog whose exchange is given by the test; it counts the
// change notifications of its edits.
class CExchangeDlg : public CDialog {
 public:
  std::function<void(CDataExchange*)> exchange;
  int changes = 0;

  BOOL Make() {
    static const CDlgTemplateBuilder t = [] {
      CDlgTemplateBuilder b(WS_POPUP | WS_CAPTION, 200, 160, "Austausch");
      const DWORD edit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
      b.Item(kDlgEdit, IDC_A, edit, 5, 5, 120, 12)
          .Item(kDlgEdit, IDC_B, edit, 5, 20, 120, 12)
          .Item(kDlgEdit, IDC_C, edit, 5, 35, 120, 12)
          .Item(kDlgStatic, IDC_LABEL1, SS_LEFT, 5, 52, 30, 8)
          .Item(kDlgEdit, IDC_SECOND, edit, 40, 50, 60, 12)
          .Item(kDlgStatic, IDC_LABEL2, SS_LEFT, 105, 52, 30, 8)
          .Item(kDlgButton, IDC_R0, BS_AUTORADIOBUTTON | WS_GROUP, 5, 70, 40, 10, "keins")
          .Item(kDlgButton, IDC_R1, BS_AUTORADIOBUTTON, 50, 70, 40, 10, "eins")
          .Item(kDlgButton, IDC_R2, BS_AUTORADIOBUTTON, 95, 70, 40, 10, "zwei")
          .Item(kDlgButton, IDC_R3, BS_AUTORADIOBUTTON, 140, 70, 40, 10, "Bereich")
          .Item(kDlgComboBox, IDC_COMBO, CBS_DROPDOWN | WS_VSCROLL | WS_GROUP, 5, 90, 120, 80);
      return b;
    }();
    return CreateIndirect(t.Get(), nullptr);
  }
  std::string Text(int id) {
    char buf[256] = "";
    ::GetDlgItemTextA(m_hWnd, id, buf, sizeof buf);
    return buf;
  }
  void Set(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    if (exchange) exchange(pDX);
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (HIWORD(wParam) == EN_CHANGE) ++changes;
    return CDialog::OnCommand(wParam, lParam);
  }
};
}  // namespace

TEST(DdxExtra, DecimalTextGroupsAndReads) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  } cases[] = {{1234567.891, 2, "1 234 567.89"},
               {1234567.891, 0, "1 234 568"},
               {0.5, 0, "0"},
               {-0.5, 0, "-0"},
               {0.05, 3, "0.050"},
               {3000000000.0, 2, "3 000 000 000.00"},
               {999.999, 2, "1 000.00"},
               {12, 12, "12.000000000"}};
  for (const Case& c : cases) EXPECT_STREQ(FormatDecimalText(c.value, c.decimals), c.text) << c.value;
  EXPECT_DOUBLE_EQ(ParseDecimalText("1 234,5", 2), 1234.5);
  EXPECT_DOUBLE_EQ(ParseDecimalText("12abc", 2), 12);
  EXPECT_DOUBLE_EQ(ParseDecimalText(" - 1.239", 2), -1.23);
  EXPECT_DOUBLE_EQ(ParseDecimalText("3 000 000 000.00", 2), 3000000000.0);
  EXPECT_DOUBLE_EQ(ParseDecimalText("", 2), 0);
}

TEST(DdxExtra, NumbersRoundTripAndUnchangedFieldsStayQuiet) {
  CExchangeDlg dlg;
  double d = 3000000000.0;
  UINT u = 4294967295u;
  int i = -5;
  char buf[8] = "Puffer";
  dlg.exchange = [&](CDataExchange* pDX) {
    DDX_Double(pDX, IDC_A, &d, 2);
    DDX_UIntText(pDX, IDC_B, &u);
    DDX_IntText(pDX, IDC_C, &i);
    DDX_CharBuffer(pDX, IDC_SECOND, buf, sizeof buf);
  };
  ASSERT_TRUE(dlg.Make());
  EXPECT_EQ(dlg.Text(IDC_A), "3 000 000 000.00");
  EXPECT_EQ(dlg.Text(IDC_B), "4294967295");
  EXPECT_EQ(dlg.Text(IDC_C), "-5");
  EXPECT_EQ(dlg.Text(IDC_SECOND), "Puffer");
  dlg.changes = 0;
  dlg.UpdateData(FALSE);
  EXPECT_EQ(dlg.changes, 0) << "nothing written when the text is the same";
  d = 7, u = 0, i = 0;
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_DOUBLE_EQ(d, 3000000000.0);
  EXPECT_EQ(u, 4294967295u);
  EXPECT_EQ(i, -5);
  dlg.Set(IDC_SECOND, "viel zu langer Text");
  dlg.UpdateData(TRUE);
  EXPECT_STREQ(buf, "viel zu") << "bounded by the buffer";
  d = 1.5;
  dlg.changes = 0;
  dlg.UpdateData(FALSE);
  EXPECT_EQ(dlg.changes, 2) << "the double and the buffer differ now";
  dlg.DestroyWindow();
}

// A number that 32 bits cannot hold fails the exchange with its field
// selected, and the value keeps what it had; -1 still reads as all ones.
TEST(DdxExtra, IntegersBeyondThirtyTwoBitsAreRefused) {
  UINT u = 1;
  int i = 2;
  CExchangeDlg dlg;
  dlg.exchange = [&](CDataExchange* pDX) {
    DDX_UIntText(pDX, IDC_B, &u);
    DDX_IntText(pDX, IDC_C, &i);
  };
  ASSERT_TRUE(dlg.Make());
  struct Case {
    const char* uintText;
    const char* intText;
    bool ok;
    UINT u;
    int i;
  } cases[] = {
      {"4294967296", "0", false, 1, 2},
      {"99999999999999999999", "0", false, 1, 2},
      {"0", "2147483648", false, 0, 2},
      {"0", "-2147483649", false, 0, 2},
      {"4294967295", "-2147483648", true, 4294967295u, INT_MIN},
      {"-1", "2147483647", true, 4294967295u, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.uintText) + " " + c.intText);
    u = 1, i = 2;
    dlg.Set(IDC_B, c.uintText);
    dlg.Set(IDC_C, c.intText);
    EXPECT_EQ(c.ok, dlg.UpdateData(TRUE) != FALSE);
    EXPECT_EQ(c.u, u);
    EXPECT_EQ(c.i, i);
    if (!c.ok) {
      DWORD start = 0, end = 0;
      HWND field = ::GetDlgItem(dlg.m_hWnd, c.u == 1 ? IDC_B : IDC_C);
      ::SendMessageA(field, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
      EXPECT_EQ(0u, start);
      EXPECT_EQ((DWORD)::GetWindowTextLengthA(field), end) << "the field is marked";
    }
  }
  dlg.DestroyWindow();
}

TEST(DdxExtra, ValueRangeLabelsEnablesAndMapsModes) {
  int from = 10, to = 20, mode = kRangeRange;
  // The group: edit C, label, second edit, label, radio buttons.
  CExchangeDlg group;
  group.exchange = [&](CDataExchange* pDX) { DDX_ValueRange(pDX, IDC_C, &from, &to, &mode, 0x3F); };
  ASSERT_TRUE(group.Make());
  EXPECT_EQ(group.Text(IDC_C), "10");
  EXPECT_EQ(group.Text(IDC_SECOND), "20");
  EXPECT_EQ(group.Text(IDC_LABEL1), "Von :");
  EXPECT_EQ(group.Text(IDC_LABEL2), "Bis :");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_C)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_SECOND)));

  mode = kRangeNone;
  group.UpdateData(FALSE);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_C)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_SECOND)));
  EXPECT_EQ(IsDlgButtonChecked(group.m_hWnd, IDC_R0), BST_CHECKED);

  mode = 1;
  group.UpdateData(FALSE);
  EXPECT_EQ(group.Text(IDC_LABEL1), "Wert :");
  EXPECT_EQ(group.Text(IDC_LABEL2), "");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_C)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(group.m_hWnd, IDC_SECOND)));

  group.Set(IDC_C, "-7");
  CheckRadioButton(group.m_hWnd, IDC_R0, IDC_R3, IDC_R3);
  group.UpdateData(TRUE);
  EXPECT_EQ(from, -7);
  EXPECT_EQ(mode, 3);

  // With mode 1 disabled the buttons stand for modes 0, 2, 3 and 4.
  group.exchange = [&](CDataExchange* pDX) { DDX_ValueRange(pDX, IDC_C, &from, &to, &mode, 0x3F & ~0x02u); };
  group.UpdateData(TRUE);
  EXPECT_EQ(mode, 4);
  mode = 2;
  group.UpdateData(FALSE);
  EXPECT_EQ(IsDlgButtonChecked(group.m_hWnd, IDC_R1), BST_CHECKED);
  group.DestroyWindow();
}

TEST(DdxExtra, DatesTimesAndCTimes) {
  CExchangeDlg dlg;
  DateTimeRecord rec = {2024, 3, 5, 7, 5, 9, {0, 0}};
  CTime when(2024, 1, 1, 12, 30, 45);
  DateRecord date = {1999, 5, 5};
  dlg.exchange = [&](CDataExchange* pDX) {
    DDX_DateTimeText(pDX, IDC_A, &rec, kDateWeekday << 1);
    DDX_CTimeDateTime(pDX, IDC_B, &when, 1 | (kDateEnglish << 1));
    DDX_DateText(pDX, IDC_C, &date, 0);
  };
  ASSERT_TRUE(dlg.Make());
  EXPECT_EQ(dlg.Text(IDC_A), "Di 5.März 2024 07:05:09");
  EXPECT_EQ(dlg.Text(IDC_B), "1.Jan.2024 12:30");
  EXPECT_EQ(dlg.Text(IDC_C), "5.Mai 1999");
  dlg.Set(IDC_A, "Mi 6.3.24 8:15:30");
  dlg.Set(IDC_B, "5.Sep.2024 23:59");
  dlg.Set(IDC_C, "2024-03-05");
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(rec.day, 6);
  EXPECT_EQ(rec.hour, 8);
  EXPECT_EQ(rec.minute, 15);
  EXPECT_EQ(rec.second, 30);
  EXPECT_EQ(when.GetYear(), 2024);
  EXPECT_EQ(when.GetMonth(), 9);
  EXPECT_EQ(when.GetDay(), 5);
  EXPECT_EQ(when.GetHour(), 23);
  EXPECT_EQ(when.GetSecond(), 0) << "no seconds";
  EXPECT_EQ(date.year, 2024);

  // A date that does not exist gives -1; the next load shows nothing.
  dlg.Set(IDC_B, "31.Feb.2024 99:99");
  dlg.UpdateData(TRUE);
  when = CTime((__time64_t)-1);
  dlg.UpdateData(FALSE);
  EXPECT_EQ(dlg.Text(IDC_B), "");
  dlg.DestroyWindow();
}

TEST(DdxExtra, ComboStringTakesTheItemOrTheText) {
  CExchangeDlg dlg;
  CString value = "zwei";
  dlg.exchange = [&](CDataExchange* pDX) { DDX_ComboString(pDX, IDC_COMBO, value); };
  ASSERT_TRUE(dlg.Make());
  HWND combo = GetDlgItem(dlg.m_hWnd, IDC_COMBO);
  EXPECT_EQ(dlg.Text(IDC_COMBO), "zwei");
  SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "eins");
  SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "drei");
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  dlg.UpdateData(TRUE);
  EXPECT_STREQ(value, "drei");
  value = "drei";
  dlg.UpdateData(FALSE);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "the same text keeps the selection";
  SendMessageA(combo, CB_SETCURSEL, (WPARAM)-1, 0);
  SetWindowTextA(combo, "frei");
  dlg.UpdateData(TRUE);
  EXPECT_STREQ(value, "frei");

  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  SetWindowTextA(combo, "geändert");
  SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
  SetComboEditTextKeepSel(combo);
  EXPECT_EQ(dlg.Text(IDC_COMBO), "eins");
  DWORD sel = (DWORD)SendMessageA(combo, CB_GETEDITSEL, 0, 0);
  EXPECT_EQ(LOWORD(sel), 1);
  EXPECT_EQ(HIWORD(sel), 3);
  dlg.DestroyWindow();
}
