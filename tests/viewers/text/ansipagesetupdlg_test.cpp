// The page set-up dialog, driven from inside its modal loop.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "harness/window_util.h"
#include "viewers/text/ansipagesetupdlg.h"

namespace {
const char kCaption[] = "Seite einrichten";

char* Copy(const char* s) {
  char* p = new char[std::strlen(s) + 1];
  std::strcpy(p, s);
  return p;
}

std::string Text(HWND dlg, int id) {
  char buf[600] = "";
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

// A message box of this thread beside the dialog: its text, closed with
// OK; "" when none shows.
std::string CloseMessageBox(HWND dlg) {
  struct Find {
    HWND dlg, box;
    static BOOL CALLBACK Proc(HWND h, LPARAM p) {
      Find* f = (Find*)p;
      char cls[32] = "";
      GetClassNameA(h, cls, sizeof cls);
      if (h != f->dlg && IsWindowVisible(h) && std::string(cls) == "#32770") {
        f->box = h;
        return FALSE;
      }
      return TRUE;
    }
  } find = {dlg, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), Find::Proc, (LPARAM)&find);
  if (!find.box) return "";
  std::string text = Text(find.box, 0xFFFF);
  PostMessageA(find.box, WM_COMMAND, IDOK, 0);
  return text;
}

struct Record {
  ANSIPRINTSETTINGS s = {60, 10, 15, 20, 25, kPrintGrey | kPrintFrame | 0x100, nullptr, nullptr};
  Record() {
    s.header = Copy("Kopf");
    s.footer = Copy("Fuss");
  }
  ~Record() { AnsiPrintSettingsFree(&s); }
};

// Puts the text into the edit with the caret at pos and inserts the field
// (the menu's command after its button).
void Insert(HWND dlg, int edit, const char* text, int pos, UINT command) {
  SetDlgItemTextA(dlg, edit, text);
  SendDlgItemMessageA(dlg, edit, EM_SETSEL, pos, pos);
  // The button remembers the field; its menu is closed again at once.
  PostMessageA(dlg, WM_CANCELMODE, 0, 0);
  SendMessageA(dlg, WM_COMMAND,
               MAKEWPARAM(edit == kPageSetupFooter ? kPageSetupFooterFields : kPageSetupHeaderFields, BN_CLICKED), 0);
  SendMessageA(dlg, WM_COMMAND, command, 0);
}
}  // namespace

TEST(AnsiPageSetupDlg, FieldInsertion) {
  Record r;
  struct Case {
    int edit;
    const char* text;
    int pos;
    UINT command;
    const char* want;
    int caret;
  } cases[] = {
      {kPageSetupHeader, "", 0, 2005, "&T", 2},        {kPageSetupHeader, "Datum:", 6, 2005, "Datum: &T", 9},
      {kPageSetupHeader, "ab", 1, 2008, "a&Lb", 3},    {kPageSetupFooter, "x", 0, 2003, "Seite &N x", 8},
      {kPageSetupFooter, "a b", 2, 2010, "a &C b", 4}, {kPageSetupFooter, "ab", 1, 2007, "a\\nb", 3},
      {kPageSetupHeader, "ab", 99, 2000, "ab &D", 5},
  };
  std::vector<std::string> got;
  std::vector<int> carets;
  std::string refused, limit;
  DialogDriver driver(kCaption, [&](HWND dlg, int) {
    for (const Case& c : cases) {
      Insert(dlg, c.edit, c.text, c.pos, c.command);
      got.push_back(Text(dlg, c.edit));
      DWORD start = 0;
      SendDlgItemMessageA(dlg, c.edit, EM_GETSEL, (WPARAM)&start, 0);
      carets.push_back((int)start);
    }
    std::string full(254, 'x');
    Insert(dlg, kPageSetupHeader, full.c_str(), 254, 2005);
    refused = Text(dlg, kPageSetupHeader);
    std::string fits(253, 'y');
    Insert(dlg, kPageSetupHeader, fits.c_str(), 0, 2008);
    limit = Text(dlg, kPageSetupHeader);
    ClickItem(dlg, IDCANCEL);
    return true;
  });
  CAnsiPageSetupDlg dlg;
  EXPECT_EQ(dlg.DoModal(&r.s), IDCANCEL);
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i], cases[i].want) << i;
    EXPECT_EQ(carets[i], cases[i].caret) << i;
  }
  EXPECT_EQ(refused, std::string(254, 'x')) << "beyond 255 characters nothing is inserted";
  EXPECT_EQ(limit, "&L" + std::string(253, 'y')) << "255 characters fit";
  EXPECT_STREQ(r.s.header, "Kopf") << "Cancel";
}

TEST(AnsiPageSetupDlg, LoadsTheRecordAndDefaultsToBlackAndWhite) {
  for (DWORD flags : {(DWORD)0, (DWORD)(kPrintGrey | kPrintFrame | kPrintWrap), (DWORD)kPrintColour}) {
    Record r;
    r.s.flags = flags;
    std::string fields;
    int radio = 0;
    std::vector<int> checks;
    DialogDriver driver(kCaption, [&](HWND dlg, int) {
      fields = Text(dlg, kPageSetupHeader) + "|" + Text(dlg, kPageSetupFooter) + "|" + Text(dlg, kPageSetupLines) +
               "|" + Text(dlg, kPageSetupTop) + "|" + Text(dlg, kPageSetupBottom) + "|" + Text(dlg, kPageSetupLeft) +
               "|" + Text(dlg, kPageSetupRight);
      for (int id : {kPageSetupBlackWhite, kPageSetupGrey, kPageSetupColour})
        if (IsDlgButtonChecked(dlg, id)) radio = id;
      for (int id : {kPageSetupWrap, kPageSetupSameFont, kPageSetupFrame, kPageSetupFillFrame})
        checks.push_back(IsDlgButtonChecked(dlg, id));
      EXPECT_EQ(SendDlgItemMessageA(dlg, kPageSetupHeader, EM_GETLIMITTEXT, 0, 0), 255);
      if (flags == 0) SaveScreenPng(dlg, ScreensPath("pagesetup.png").c_str());
      ClickItem(dlg, IDCANCEL);
      return true;
    });
    CAnsiPageSetupDlg dlg;
    dlg.DoModal(&r.s);
    EXPECT_EQ(fields, "Kopf|Fuss|60|10|15|20|25");
    if (flags == 0) {
      EXPECT_EQ(radio, kPageSetupBlackWhite);
    }
    if (flags & kPrintGrey) {
      EXPECT_EQ(radio, kPageSetupGrey);
      EXPECT_EQ(checks, std::vector<int>({1, 0, 1, 0}));
    }
    if (flags == kPrintColour) {
      EXPECT_EQ(radio, kPageSetupColour);
    }
  }
}

TEST(AnsiPageSetupDlg, BoundsAreCheckedAndOnlyASuccessfulOkWrites) {
  Record r;
  std::vector<std::string> messages;
  std::vector<int> focus;
  DialogDriver driver(kCaption, [&](HWND dlg, int step) {
    std::string box = CloseMessageBox(dlg);
    if (!box.empty()) {
      messages.push_back(box);
      return false;
    }
    if (!IsWindowEnabled(dlg)) return false;
    switch (step) {
      case 0:
        SetDlgItemTextA(dlg, kPageSetupTop, "101");
        SetDlgItemTextA(dlg, kPageSetupRight, "200");
        SetDlgItemTextA(dlg, kPageSetupHeader, "Neu");
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);  // its message box runs its own loop
        return false;
      default:
        focus.push_back(GetDlgCtrlID(GetFocus()));
        if (focus.size() == 1) {
          SetDlgItemTextA(dlg, kPageSetupTop, "0");
          SetDlgItemTextA(dlg, kPageSetupRight, "100");
          SetDlgItemTextA(dlg, kPageSetupLines, "19");
          PostMessageA(dlg, WM_COMMAND, IDOK, 0);
          return false;
        }
        ClickItem(dlg, IDCANCEL);
        return true;
    }
  });
  CAnsiPageSetupDlg dlg;
  EXPECT_EQ(dlg.DoModal(&r.s), IDCANCEL);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Die Ränder müssen zwischen 0 und 100 mm liegen !");
  EXPECT_EQ(messages[1], "Die Zeilenanzahl muss zwischen 20 und 250 liegen !");
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0], kPageSetupTop) << "the first offending field";
  EXPECT_EQ(focus[1], kPageSetupLines);
  EXPECT_EQ(r.s.top, 10) << "refused OK then Cancel leaves the record";
  EXPECT_EQ(r.s.right, 25);
  EXPECT_EQ(r.s.linesPerPage, 60);
  EXPECT_STREQ(r.s.header, "Kopf");

  DialogDriver ok(kCaption, [&](HWND dlg, int) {
    SetDlgItemTextA(dlg, kPageSetupTop, "0");
    SetDlgItemTextA(dlg, kPageSetupBottom, "100");
    SetDlgItemTextA(dlg, kPageSetupLines, "250");
    SetDlgItemTextA(dlg, kPageSetupFooter, "&D");
    CheckRadioButton(dlg, kPageSetupBlackWhite, kPageSetupColour, kPageSetupColour);
    CheckDlgButton(dlg, kPageSetupFillFrame, BST_CHECKED);
    SendMessageA(dlg, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_EQ(dlg.DoModal(&r.s), IDOK);
  EXPECT_EQ(r.s.top, 0);
  EXPECT_EQ(r.s.bottom, 100);
  EXPECT_EQ(r.s.linesPerPage, 250);
  EXPECT_EQ(r.s.flags, (DWORD)(kPrintColour | kPrintFrame | kPrintFillFrame | 0x100));
  EXPECT_STREQ(r.s.footer, "&D");
  EXPECT_STREQ(r.s.header, "Kopf");
}

TEST(AnsiPageSetupDlg, FieldButtonsShowThePicture) {
  Record r;
  bool shown[2] = {false, false};
  COLORREF corner = CLR_INVALID, pen = CLR_INVALID;
  DialogDriver driver(kCaption, [&](HWND dlg, int) {
    const int ids[2] = {kPageSetupHeaderFields, kPageSetupFooterFields};
    for (int i = 0; i < 2; ++i) {
      HWND button = GetDlgItem(dlg, ids[i]);
      BUTTON_IMAGELIST list = {};
      HBITMAP bitmap = (HBITMAP)SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0);
      shown[i] = bitmap || (SendMessageA(button, BCM_GETIMAGELIST, 0, (LPARAM)&list) && list.himl);
      if (bitmap && i == 0) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        corner = GetPixel(dc, 0, 0);
        pen = GetPixel(dc, 1, 1);
        SelectObject(dc, old);
        DeleteDC(dc);
      }
    }
    ClickItem(dlg, IDCANCEL);
    return true;
  });
  CAnsiPageSetupDlg dlg;
  EXPECT_EQ(dlg.DoModal(&r.s), IDCANCEL);
  EXPECT_TRUE(shown[0]);
  EXPECT_TRUE(shown[1]);
  if (corner != CLR_INVALID) {
    // Without visual styles the plain bitmap's grey takes the button face.
    EXPECT_EQ(corner, GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(pen, (COLORREF)0);
  }
}
