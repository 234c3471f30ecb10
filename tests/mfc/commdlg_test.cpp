// The colour and font dialog wrappers, answered from inside their modal
// loops by a thread timer, and the text limit of data exchange.
#include <gtest/gtest.h>

#include <string>

#include "dlg_template.h"
#include "harness/window_util.h"
#include "mfc/mfc.h"

namespace {
// The first visible dialog of this thread other than the one named, once
// it shows, gets the command; the window's caption is kept.
struct Answer {
  static int s_command;
  static std::string s_caption;
  static HWND s_found;
  static BOOL CALLBACK Find(HWND h, LPARAM) {
    char cls[32] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(h)) {
      s_found = h;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    s_found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find, 0);
    if (!s_found) return;
    KillTimer(nullptr, id);
    char text[128] = "";
    GetWindowTextA(s_found, text, sizeof text);
    s_caption = text;
    PostMessageA(s_found, WM_COMMAND, s_command, (LPARAM)GetDlgItem(s_found, s_command));
  }
  static void Arm(int command) {
    s_command = command;
    s_caption.clear();
    SetTimer(nullptr, 0, 30, Tick);
  }
};
int Answer::s_command;
std::string Answer::s_caption;
HWND Answer::s_found;
}  // namespace

TEST(CommonDialogs, ColourDialogStartsAtItsColourAndAnswersOkOrCancel) {
  CColorDialog dlg(RGB(0x12, 0x34, 0x56), CC_FULLOPEN | CC_ANYCOLOR);
  EXPECT_TRUE(dlg.m_cc.Flags & CC_RGBINIT);
  Answer::Arm(IDOK);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(Answer::s_caption.empty());
  EXPECT_EQ(dlg.GetColor(), RGB(0x12, 0x34, 0x56));

  CColorDialog cancelled(RGB(1, 2, 3));
  Answer::Arm(IDCANCEL);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetColor(), RGB(1, 2, 3)) << "a cancelled dialog leaves the start colour";
}

TEST(CommonDialogs, FontDialogStartsAtItsFontAndGivesItBack) {
  LOGFONTA lf = {};
  lf.lfHeight = -13;
  lf.lfWeight = FW_BOLD;
  lstrcpyA(lf.lfFaceName, "Courier");
  CFontDialog dlg(&lf, CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_EFFECTS | CF_LIMITSIZE);
  dlg.m_cf.nSizeMin = 6;
  dlg.m_cf.nSizeMax = 48;
  Answer::Arm(IDOK);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_STREQ(dlg.GetFaceName(), "Courier");
  EXPECT_TRUE(dlg.IsBold());
  EXPECT_FALSE(dlg.IsItalic());
  EXPECT_LT(dlg.m_lf.lfHeight, 0) << "the dialog answers character heights";

  CFontDialog cancelled(&lf);
  Answer::Arm(IDCANCEL);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

namespace {
class CLimitDlg : public CDialog {
 public:
  CString m_strText = "abc";
  UINT m_nLimitSeen = 0;
  BOOL m_bTooLong = TRUE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 1001, m_strText);
    DDV_MaxChars(pDX, m_strText, 5);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_nLimitSeen = (UINT)SendDlgItemMessage(1001, EM_GETLIMITTEXT);
    SetDlgItemText(1001, "abcdefgh");  // a program may put in more than the user could
    Answer::Arm(IDOK);                 // the message box of the refusal
    m_bTooLong = UpdateData(TRUE);
    SetDlgItemText(1001, "vwxyz");
    EndDialog(UpdateData(TRUE) ? IDOK : IDCANCEL);
    return TRUE;
  }
};
}  // namespace

TEST(CommonDialogs, MaxCharsLimitsTheEditAndRefusesLongerText) {
  DlgTemplate t(WS_POPUP | WS_CAPTION, 120, 40, "Grenze");
  t.Item(0x81, 1001, ES_AUTOHSCROLL | WS_BORDER, 5, 5, 100, 12);
  CLimitDlg dlg;
  ASSERT_TRUE(dlg.InitModalIndirect(t.Get()));
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nLimitSeen, 5u);
  EXPECT_FALSE(dlg.m_bTooLong);
  EXPECT_STREQ(dlg.m_strText, "vwxyz");
}
