// The text and number prompts, run modally and driven from a timer.
#include <gtest/gtest.h>

#include <cstring>

#include "modal_driver.h"
#include "tests/harness/window_util.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/dialogs/numberprompt.h"
#include "ui/dialogs/textprompt.h"

namespace {
RECT ItemRect(HWND dialog, int id) { return DlgItemRect(dialog, id); }
int Width(const RECT& rc) { return rc.right - rc.left; }
}  // namespace

TEST(TextPrompt, ShowsItsTextsAndReturnsTheEntry) {
  CTextPromptDlg dlg;
  dlg.SetTitle("Wert ändern");
  dlg.SetPrompt("Name des Wertes:");
  dlg.SetText("alt");
  dlg.m_bFocus = TRUE;
  std::string caption, prompt, field;
  LONG_PTR tag = 0;
  HWND focus = nullptr, edit = nullptr;
  ModalDriver driver({[&](HWND d) {
    tag = GetWindowLongPtrA(d, GWLP_USERDATA);
    caption = TextOf(d), prompt = TextOf(GetDlgItem(d, IDC_PROMPT_TEXT));
    field = TextOf(edit = GetDlgItem(d, IDC_PROMPT_EDIT));
    focus = GetFocus();
    WindowCapture(d).SavePng(ScreenshotPath("text_prompt.png").c_str());
    SetWindowTextA(edit, "neu eingegeben");
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(tag, kTagTextPrompt);
  EXPECT_EQ(caption, "Wert ändern");
  EXPECT_EQ(prompt, "Name des Wertes:");
  EXPECT_EQ(field, "alt");
  EXPECT_EQ(focus, edit);
  EXPECT_STREQ(dlg.GetText(), "neu eingegeben");
}

TEST(TextPrompt, TemplateDefaultsAndCancel) {
  CTextPromptDlg dlg;
  dlg.SetText("bleibt");
  std::string caption, okText, cancelText;
  ModalDriver driver({[&](HWND d) {
    caption = TextOf(d), okText = TextOf(GetDlgItem(d, IDOK)), cancelText = TextOf(GetDlgItem(d, IDCANCEL));
    SetWindowTextA(GetDlgItem(d, IDC_PROMPT_EDIT), "verworfen");
    PressButton(d, IDCANCEL);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(caption, "Dateinamen eingeben");
  EXPECT_EQ(okText, "OK");
  EXPECT_EQ(cancelText, "Abbrechen");
  EXPECT_STREQ(dlg.GetText(), "bleibt");
}

TEST(TextPrompt, PasswordEditIsRecreatedInPlace) {
  for (bool byTemplate : {false, true}) {
    SCOPED_TRACE(byTemplate ? "password template" : "password member");
    CTextPromptDlg dlg(nullptr, byTemplate);
    dlg.m_bPassword = !byTemplate;
    dlg.SetText("geheim");
    DWORD style = 0;
    HWND firstChild = nullptr, edit = nullptr;
    HFONT editFont = nullptr, okFont = nullptr;
    RECT rc = {};
    ModalDriver driver({[&](HWND d) {
      edit = GetDlgItem(d, IDC_PROMPT_EDIT);
      style = (DWORD)GetWindowLongPtrA(edit, GWL_STYLE);
      firstChild = GetWindow(d, GW_CHILD);
      editFont = (HFONT)SendMessageA(edit, WM_GETFONT, 0, 0);
      okFont = (HFONT)SendMessageA(GetDlgItem(d, IDOK), WM_GETFONT, 0, 0);
      rc = ItemRect(d, IDC_PROMPT_EDIT);
      if (!byTemplate) WindowCapture(d).SavePng(ScreenshotPath("password_prompt.png").c_str());
      PressButton(d, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(style & ES_PASSWORD);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(firstChild, edit) << "keeps its place in the tab order";
    EXPECT_EQ(editFont, okFont);
    EXPECT_GT(Width(rc), 200);
    EXPECT_STREQ(dlg.GetText(), "geheim") << "the exchange reaches the new edit";
  }
}

TEST(TextPrompt, WidthChangeScalesWithTheRealWidth) {
  // The plain width first: the font decides the pixels.
  int plainWidth = 0;
  RECT plainOk = {}, plainEdit = {};
  {
    CTextPromptDlg dlg;
    ModalDriver driver({[&](HWND d) {
      RECT rc;
      GetWindowRect(d, &rc);
      plainWidth = Width(rc);
      plainOk = ItemRect(d, IDOK), plainEdit = ItemRect(d, IDC_PROMPT_EDIT);
      PressButton(d, IDCANCEL);
      return true;
    }});
    dlg.DoModal();
  }
  ASSERT_GT(plainWidth, 0);
  struct Case {
    LONG change;
    int delta;
  } cases[] = {{0x1234016A, plainWidth * 362 / 354 - plainWidth},
               {120, plainWidth * 120 / 354},
               {-40, -(plainWidth * 40 / 354)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    CTextPromptDlg dlg;
    dlg.m_nWidthChange = c.change;
    int width = 0;
    RECT ok = {}, edit = {}, prompt = {};
    ModalDriver driver({[&](HWND d) {
      RECT rc;
      GetWindowRect(d, &rc);
      width = Width(rc);
      ok = ItemRect(d, IDOK), edit = ItemRect(d, IDC_PROMPT_EDIT), prompt = ItemRect(d, IDC_PROMPT_TEXT);
      if (c.change == 120) WindowCapture(d).SavePng(ScreenshotPath("text_prompt_wide.png").c_str());
      PressButton(d, IDOK);
      return true;
    }});
    dlg.DoModal();
    EXPECT_EQ(width, plainWidth + c.delta);
    EXPECT_EQ(dlg.m_nWidthChange, c.delta);
    EXPECT_EQ(ok.left, plainOk.left + c.delta);
    EXPECT_EQ(Width(edit), Width(plainEdit) + c.delta);
    EXPECT_EQ(Width(prompt), Width(plainEdit) + c.delta);
  }
  EXPECT_EQ(DlgSizeChangePixels(354, 0x1234016A, 354), 8);
  EXPECT_EQ(DlgSizeChangePixels(354, 120, 354), 120);
  EXPECT_EQ(DlgSizeChangePixels(354, 0, 354), 0);
}

TEST(TextPrompt, CopyTextKeepsToTheBuffer) {
  CTextPromptDlg dlg;
  dlg.SetText("abcdef");
  char buf[8];
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(dlg.CopyText(buf, 0), 0);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(dlg.CopyText(buf, 1), 0);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(buf[1], 'x');
  EXPECT_EQ(dlg.CopyText(buf, 4), 3);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(dlg.CopyText(buf, 8), 6);
  EXPECT_STREQ(buf, "abcdef");
}

TEST(NumberPrompt, ReadsEveryNotation) {
  struct Case {
    const char* text;
    DWORD value;
  } cases[] = {{"-0x1F", (DWORD)-31},
               {"777o", 511},
               {"101b", 5},
               {"12", 12},
               {"  +FFh", 255},
               {"1Bh", 27},
               {"0B101", 5},
               {"0o17x", 15},
               {"\t-12", (DWORD)-12},
               {"abc", 0},
               {"", 0},
               {"4294967295", 4294967295u},
               {"0x", 0},
               {"19z", 19},
               {"-", 0},
               {"0XfFfF", 0xFFFF}};
  for (const Case& c : cases) EXPECT_EQ(ParsePromptNumber(c.text), c.value) << c.text;
}

TEST(NumberPrompt, SetValueFormatsAndTheDialogReadsTheEntry) {
  const char* expected[] = {"-31",           "0xFFFFFFE1", "0b11111111111111111111111111100001",
                            "0o37777777741", "FFFFFFE1h",  "11111111111111111111111111100001b",
                            "37777777741o",  "4294967265"};
  for (int format = 0; format < 8; ++format) {
    EXPECT_STREQ(FormatPromptNumber((DWORD)-31, format), expected[format]) << format;
    EXPECT_EQ(ParsePromptNumber(FormatPromptNumber((DWORD)-31, format)), (DWORD)-31) << format;
  }
  EXPECT_STREQ(FormatPromptNumber(0, kNumberBinSuffix), "0b");
  EXPECT_STREQ(FormatPromptNumber(5, 99), "5");

  CNumberPromptDlg dlg;
  dlg.SetTitle("Zahl");
  dlg.SetValue(27, kNumberHexSuffix);
  std::string shown;
  LONG_PTR tag = 0;
  ModalDriver driver({[&](HWND d) {
    tag = GetWindowLongPtrA(d, GWLP_USERDATA);
    shown = TextOf(GetDlgItem(d, IDC_PROMPT_EDIT));
    WindowCapture(d).SavePng(ScreenshotPath("number_prompt.png").c_str());
    SetWindowTextA(GetDlgItem(d, IDC_PROMPT_EDIT), "  +FFh");
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(tag, kTagNumberPrompt);
  EXPECT_EQ(shown, "1Bh");
  EXPECT_EQ(dlg.m_nValue, 255u);
}
