// Dialogs from in-memory and resource templates, their modal loop and
// data exchange.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_template.h"
#include "harness/window_util.h"
#include "mfc/mfc.h"
#include "mfc_tests_res.h"

namespace {
enum {
  IDC_NAME = 1001,
  IDC_COUNT = 1002,
  IDC_LIMIT = 1003,
  IDC_CHECK = 1004,
  IDC_RADIO1 = 1005,
  IDC_RADIO2,
  IDC_RADIO3
};

DlgTemplate DataTemplate(bool extended) {
  DlgTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 120, "Daten", extended);
  t.Item(0x81, IDC_NAME, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 5, 100, 12)
      .Item(0x81, IDC_COUNT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 20, 100, 12)
      .Item(0x81, IDC_LIMIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 35, 100, 12)
      .Item(0x80, IDC_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 50, 100, 10, "Prüfen")
      .Item(0x80, IDC_RADIO1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 62, 50, 10, "Eins")
      .Item(0x80, IDC_RADIO2, BS_AUTORADIOBUTTON, 5, 74, 50, 10, "Zwei")
      .Item(0x80, IDC_RADIO3, BS_AUTORADIOBUTTON, 5, 86, 50, 10, "Drei")
      .Item(0x80, IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 120, 100, 35, 14, "OK")
      .Item(0x80, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 160, 100, 35, 14, "Abbrechen");
  return t;
}

std::string WindowTextOf(HWND h) {
  char buf[256] = "";
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// The message box of a failed exchange: its text, then closed with OK. It
// is looked for whether or not it shows yet: a busy queue may keep it hidden.
struct MessageBoxCloser {
  static std::string s_text;
  static HWND s_dialog;
  static bool s_closed;
  static BOOL CALLBACK Find(HWND h, LPARAM found) {
    char cls[32] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (h != s_dialog && std::string(cls) == "#32770" && GetDlgItem(h, 0xFFFF)) {
      *(HWND*)found = h;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND hWnd, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find, (LPARAM)&box);
    if (!box) return;
    KillTimer(hWnd, id);
    s_text = WindowTextOf(GetDlgItem(box, 0xFFFF));
    s_closed = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
};
std::string MessageBoxCloser::s_text;
HWND MessageBoxCloser::s_dialog;
bool MessageBoxCloser::s_closed;

// Driven from inside its own modal loop by a timer, step by step.
class CDataDlg : public CDialog {
 public:
  CString m_strName = "Anfang";
  int m_nCount = -12;
  UINT m_nLimit = 7;
  int m_bCheck = 1;
  int m_nRadio = 1;
  std::vector<std::string> log;
  int m_nStep = 0;
  int m_nKeyDownsSeen = 0;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F9) ++m_nKeyDownsSeen;
    return CDialog::PreTranslateMessage(pMsg);
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_COUNT, m_nCount);
    DDX_Text(pDX, IDC_LIMIT, m_nLimit);
    DDX_Check(pDX, IDC_CHECK, m_bCheck);
    DDX_Radio(pDX, IDC_RADIO1, m_nRadio);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(1, 20, nullptr);
    MessageBoxCloser::s_dialog = m_hWnd;
    return TRUE;
  }
  void Set(int id, const char* text) { SetDlgItemText(id, text); }
  void Press(int id) { PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(m_hWnd, id)); }
  afx_msg void OnTimer(UINT_PTR) {
    switch (m_nStep++) {
      case 0:  // what the exchange put in, then the user's entries
        log.push_back(
            WindowTextOf(::GetDlgItem(m_hWnd, IDC_NAME)) + "|" + WindowTextOf(::GetDlgItem(m_hWnd, IDC_COUNT)) + "|" +
            WindowTextOf(::GetDlgItem(m_hWnd, IDC_LIMIT)) + "|" + std::to_string(IsDlgButtonChecked(IDC_CHECK)) + "|" +
            std::to_string(GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3)));
        ::PostMessageA(::GetDlgItem(m_hWnd, IDC_NAME), WM_KEYDOWN, VK_F9, 0);
        Set(IDC_NAME, "Grüße");
        Set(IDC_COUNT, " 12x");
        Set(IDC_LIMIT, "4000000000");
        CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO3);
        SetTimer(2, 10, MessageBoxCloser::Tick);  // its callback runs inside the message box too
        Press(IDOK);
        break;
      case 1: {  // the exchange failed: still open, focus on the bad field
        if (!MessageBoxCloser::s_closed || !::IsWindowEnabled(m_hWnd)) {
          --m_nStep;  // the message box is not gone yet
          return;
        }
        HWND focus = ::GetFocus();
        DWORD sel = (DWORD)::SendMessageA(::GetDlgItem(m_hWnd, IDC_COUNT), EM_GETSEL, 0, 0);
        log.push_back("open=" + std::to_string(ContinueModal()) +
                      " focus=" + std::to_string(focus == ::GetDlgItem(m_hWnd, IDC_COUNT)) +
                      " sel=" + std::to_string(LOWORD(sel)) + "-" + std::to_string(HIWORD(sel)));
        Set(IDC_COUNT, " -300 ");
        Press(IDOK);
        KillTimer(1);
        break;
      }
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()
}  // namespace

TEST(Dialog, ModalInMemoryDialogExchangesDataAndFailKeepsItOpen) {
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "DLGTEMPLATEEX" : "DLGTEMPLATE");
    DlgTemplate t = DataTemplate(extended);
    CDataDlg dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(t.Get()));
    MessageBoxCloser::s_text.clear();
    MessageBoxCloser::s_closed = false;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(dlg.log.size(), 2u);
    EXPECT_EQ(dlg.log[0], "Anfang|-12|7|1|1006") << "loaded into the controls";
    EXPECT_EQ(dlg.log[1], "open=1 focus=1 sel=0-4") << "the bad number keeps the dialog, selected";
    EXPECT_NE(MessageBoxCloser::s_text.find("ganze Zahl"), std::string::npos) << MessageBoxCloser::s_text;
    EXPECT_STREQ(dlg.m_strName, "Grüße");
    EXPECT_EQ(dlg.m_nCount, -300);
    EXPECT_EQ(dlg.m_nLimit, 4000000000u);
    EXPECT_EQ(dlg.m_bCheck, 0);
    EXPECT_EQ(dlg.m_nRadio, 2);
    EXPECT_EQ(dlg.m_nKeyDownsSeen, 1) << "the modal loop offers input to PreTranslateMessage";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
  }
}

namespace {
// Field values that must be refused, by field kind.
class CNumberDlg : public CDialog {
 public:
  int m_nInt = 0;
  UINT m_nUInt = 0;
  DWORD m_dw = 0;
  const char* m_pszText = "";
  int m_nField = 0;
  BOOL m_bResult = FALSE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    if (m_nField == 0) DDX_Text(pDX, IDC_COUNT, m_nInt);
    if (m_nField == 1) DDX_Text(pDX, IDC_COUNT, m_nUInt);
    if (m_nField == 2) DDX_Text(pDX, IDC_COUNT, m_dw);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_COUNT, m_pszText);
    SetTimer(2, 1, MessageBoxCloser::Tick);
    m_bResult = UpdateData(TRUE);
    EndDialog(IDCANCEL);
    return TRUE;
  }
};
}  // namespace

TEST(Dialog, NumbersOutOfRangeOrMalformedAreRefused) {
  DlgTemplate t = DataTemplate(false);
  struct Case {
    int field;
    const char* text;
    bool ok;
    long long value;
  } cases[] = {
      {0, "2147483647", true, 2147483647},
      {0, "-2147483648", true, -2147483648LL},
      {0, "2147483648", false, 0},
      {0, "", false, 0},
      {0, "1 2", false, 0},
      {0, "+5", true, 5},
      {1, "4294967295", true, 4294967295},
      {1, "4294967296", false, 0},
      {1, "-1", false, 0},
      {2, "0", true, 0},
      {2, "abc", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CNumberDlg dlg;
    dlg.m_nField = c.field;
    dlg.m_pszText = c.text;
    dlg.InitModalIndirect(t.Get());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_bResult, c.ok);
    if (c.ok) {
      long long got = c.field == 0 ? dlg.m_nInt : c.field == 1 ? (long long)dlg.m_nUInt : (long long)dlg.m_dw;
      EXPECT_EQ(got, c.value);
    }
  }
}

namespace {
class CListsDlg : public CDialog {
 public:
  CListsDlg() : CDialog(IDD_LISTS) {}
  CComboBox m_combo;
  int m_nCombo = 1;
  int m_nList = 2;
  CString m_strCombo;
  int m_nChanges = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_LISTS_COMBO, m_combo);
    DDX_CBIndex(pDX, IDC_LISTS_COMBO, m_nCombo);
    DDX_LBIndex(pDX, IDC_LISTS_LIST, m_nList);
    DDX_CBString(pDX, IDC_LISTS_EDITCOMBO, m_strCombo);
  }
  BOOL OnInitDialog() override {
    for (const char* s : {"rot", "grün", "blau"}) {
      SendDlgItemMessage(IDC_LISTS_COMBO, CB_ADDSTRING, 0, (LPARAM)s);
      SendDlgItemMessage(IDC_LISTS_LIST, LB_ADDSTRING, 0, (LPARAM)s);
      SendDlgItemMessage(IDC_LISTS_EDITCOMBO, CB_ADDSTRING, 0, (LPARAM)s);
    }
    return CDialog::OnInitDialog();
  }
  afx_msg void OnEditChange() { ++m_nChanges; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListsDlg, CDialog)
  ON_CBN_EDITCHANGE(IDC_LISTS_EDITCOMBO, OnEditChange)
END_MESSAGE_MAP()
}  // namespace

TEST(Dialog, ModelessResourceDialogWithListsAndControls) {
  CListsDlg dlg;
  dlg.m_strCombo = "bl";
  ASSERT_TRUE(dlg.Create(IDD_LISTS));
  EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_combo.m_hWnd), &dlg.m_combo) << "DDX_Control subclassed it";
  EXPECT_EQ(dlg.m_combo.GetCurSel(), 1);
  EXPECT_EQ(dlg.SendDlgItemMessage(IDC_LISTS_LIST, LB_GETCURSEL), 2);
  CString text;
  dlg.GetDlgItemText(IDC_LISTS_EDITCOMBO, text);
  EXPECT_STREQ(text, "blau") << "the first item that starts with the text";

  dlg.m_combo.SetCurSel(2);
  dlg.SendDlgItemMessage(IDC_LISTS_LIST, LB_SETCURSEL, 0);
  dlg.SetDlgItemText(IDC_LISTS_EDITCOMBO, "frei");
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_nCombo, 2);
  EXPECT_EQ(dlg.m_nList, 0);
  EXPECT_STREQ(dlg.m_strCombo, "frei");
  CString item;
  dlg.m_combo.GetLBText(1, item);
  EXPECT_STREQ(item, "grün");
  HWND h = dlg.m_hWnd;
  dlg.DestroyWindow();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(dlg.m_combo.m_hWnd, nullptr) << "the control's object let go of its window";
}

namespace {
// The object attached to a child dialog that someone else's code creates.
class CHookedChild : public CDialog {
 public:
  bool m_bInitSeen = false;
  bool m_bAttachedAtInit = false;
  BOOL OnInitDialog() override { return TRUE; }

 protected:
  afx_msg LRESULT OnInit(WPARAM, LPARAM) {
    m_bInitSeen = true;
    m_bAttachedAtInit = FromHandlePermanent(m_hWnd) == this;
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHookedChild, CDialog)
  ON_MESSAGE(WM_INITDIALOG, OnInit)
END_MESSAGE_MAP()

DlgTemplate* g_childTemplate;
INT_PTR CALLBACK ChildProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
INT_PTR CALLBACK OuterProc(HWND h, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    CreateDialogIndirectParamA(nullptr, g_childTemplate->Get(), h, ChildProc, 0);
    PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }
  if (msg == WM_COMMAND) {
    EndDialog(h, 2);
    return TRUE;
  }
  return FALSE;
}
}  // namespace

TEST(Dialog, ChildDialogMadeBySystemCodeReachesItsObject) {
  DlgTemplate outer(WS_POPUP | WS_CAPTION, 100, 60, "Außen");
  outer.Item(0x82, 1, 0, 5, 5, 50, 10, "Text");
  DlgTemplate child(WS_CHILD | DS_CONTROL, 50, 20, "");
  child.Item(0x82, 2, 0, 1, 1, 40, 10, "Kind");
  g_childTemplate = &child;
  CHookedChild obj;
  AfxHookChildDialogCreate(&obj);
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, outer.Get(), nullptr, OuterProc, 0), 2);
  EXPECT_TRUE(obj.m_bInitSeen) << "WM_INITDIALOG reached the object";
  EXPECT_TRUE(obj.m_bAttachedAtInit);
  EXPECT_EQ(obj.m_hWnd, nullptr) << "detached when the dialog went";
}

TEST(Dialog, MissingTemplateGivesMinusOne) {
  CDialog dlg(4242);
  EXPECT_EQ(dlg.DoModal(), -1);
}

namespace {
// Modeless from an in-memory template; colours one field and counts the
// edit's change notifications.
class CColorDlg : public CDialog {
 public:
  CString m_strName = "eins";
  int m_nChanges = 0;
  CBrush m_brush{RGB(255, 255, 0)};

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_strName); }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd->GetDlgCtrlID() == IDC_NAME && nCtlColor == CTLCOLOR_EDIT) {
      pDC->SetBkColor(RGB(255, 255, 0));
      return m_brush;
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  afx_msg void OnNameChange() { ++m_nChanges; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_EN_CHANGE(IDC_NAME, OnNameChange)
END_MESSAGE_MAP()
}  // namespace

TEST(Dialog, ModelessIndirectDialogColoursItsFieldsAndHidesOwnChanges) {
  DlgTemplate t = DataTemplate(false);
  CColorDlg dlg;
  ASSERT_TRUE(dlg.CreateIndirect(t.Get()));
  EXPECT_EQ(dlg.m_nChanges, 0) << "the initial exchange's own change is not reported";
  CString text;
  dlg.GetDlgItemText(IDC_NAME, text);
  EXPECT_STREQ(text, "eins");
  dlg.m_strName = "zwei";
  dlg.UpdateData(FALSE);
  EXPECT_EQ(dlg.m_nChanges, 0);
  dlg.SetDlgItemText(IDC_NAME, "drei");
  EXPECT_EQ(dlg.m_nChanges, 1) << "a change by anyone else is";

  HDC hdc = GetDC(dlg.m_hWnd);
  HWND name = ::GetDlgItem(dlg.m_hWnd, IDC_NAME);
  EXPECT_EQ((HBRUSH)dlg.SendMessage(WM_CTLCOLOREDIT, (WPARAM)hdc, (LPARAM)name), (HBRUSH)dlg.m_brush);
  EXPECT_EQ(GetBkColor(hdc), RGB(255, 255, 0));
  HBRUSH other = (HBRUSH)dlg.SendMessage(WM_CTLCOLOREDIT, (WPARAM)hdc, (LPARAM)::GetDlgItem(dlg.m_hWnd, IDC_COUNT));
  EXPECT_NE(other, nullptr) << "the dialog manager's own colour";
  EXPECT_NE(other, (HBRUSH)dlg.m_brush);
  ReleaseDC(dlg.m_hWnd, hdc);

  dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_COUNT));
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, IDC_COUNT));
  dlg.DestroyWindow();
}

namespace {
class CPlacedDlg : public CDialog {
 public:
  bool m_bMove = false;
  int m_nEnd = IDOK;  // 0: post WM_QUIT; -1: destroy from outside
  CRect m_rcShown;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (m_bMove) SetWindowPos(nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetTimer(1, 10, nullptr);
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) {
    KillTimer(1);
    GetWindowRect(&m_rcShown);
    if (m_nEnd == 0)
      PostQuitMessage(3);
    else if (m_nEnd < 0)
      ::DestroyWindow(m_hWnd);
    else
      EndDialog(m_nEnd);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlacedDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()
}  // namespace

TEST(Dialog, ModalDialogIsCentredUnlessItPlacesItself) {
  DlgTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 100, 50, "Mitte");
  CPlacedDlg centred;
  centred.InitModalIndirect(t.Get());
  EXPECT_EQ(centred.DoModal(), IDOK);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(centred.m_rcShown.CenterPoint().x, (work.left + work.right) / 2, 1);
  EXPECT_NEAR(centred.m_rcShown.CenterPoint().y, (work.top + work.bottom) / 2, 1);

  CPlacedDlg placed;
  placed.m_bMove = true;
  placed.InitModalIndirect(t.Get());
  placed.DoModal();
  EXPECT_EQ(placed.m_rcShown.TopLeft(), CPoint(7, 9)) << "the place OnInitDialog chose";
}

TEST(Dialog, ModalLoopEndsOnQuitAndOnOutsideDestruction) {
  DlgTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 100, 50, "Ende");
  CPlacedDlg quit;
  quit.m_nEnd = 0;
  quit.InitModalIndirect(t.Get());
  EXPECT_EQ(quit.DoModal(), -1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit goes on to the outer loop";
  EXPECT_EQ(msg.wParam, 3u) << "with its exit code";

  CPlacedDlg destroyed;
  destroyed.m_nEnd = -1;
  destroyed.InitModalIndirect(t.Get());
  EXPECT_EQ(destroyed.DoModal(), -1);
  EXPECT_EQ(destroyed.m_hWnd, nullptr);
}
