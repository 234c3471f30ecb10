// The colour dialog, driven from inside its modal loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness/window_util.h"
#include "viewers/text/ansicolordlg.h"

namespace {
const char kCaption[] = "Farben einstellen";

struct Scheme {
  ANSICOLORENTRY* list = nullptr;
  Scheme() {
    ColorListAdd(&list, kAnsiSystemColor, kAnsiSystemColor, "Standard", 1, 0);
    ColorListAdd(&list, 0xFF0000, 0x123456, "Adresse", 2, kAnsiColorItalic);  // background not in the palette
    ColorListAdd(&list, 0x000000, 0x00FFFF, "Markiert", 300, 0);
  }
  ~Scheme() { ColorListFree(&list); }
};

int Sel(HWND dlg, int id) { return (int)SendDlgItemMessageA(dlg, id, LB_GETCURSEL, 0, 0); }

std::vector<std::string> Names(HWND dlg) {
  std::vector<std::string> names;
  int n = (int)SendDlgItemMessageA(dlg, kColorDlgEntries, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; ++i) {
    char text[64] = "";
    SendDlgItemMessageA(dlg, kColorDlgEntries, LB_GETTEXT, i, (LPARAM)text);
    names.push_back(text);
  }
  return names;
}

void SelectEntryNamed(HWND dlg, const char* name) {
  int item = (int)SendDlgItemMessageA(dlg, kColorDlgEntries, LB_FINDSTRINGEXACT, -1, (LPARAM)name);
  SelectListItem(dlg, kColorDlgEntries, item);
}

// The pixel at (dx, dy) in swatch item of a swatch list. Wine's list box
// clips its owner-drawn items wrongly when printed at an offset, so the
// list is captured alone.
COLORREF SwatchPixel(HWND dlg, int id, int item, int dx, int dy) {
  HWND list = GetDlgItem(dlg, id);
  RECT rc;
  SendMessageA(list, LB_GETITEMRECT, item, (LPARAM)&rc);
  POINT pt = {rc.left + dx, rc.top + dy};
  ClientToScreen(list, &pt);
  RECT outer;
  GetWindowRect(list, &outer);
  return WindowCapture(list).Pixel(pt.x - outer.left, pt.y - outer.top);
}
}  // namespace

TEST(AnsiColorDlg, SwatchSelectionFollowsTheEntry) {
  Scheme s;
  std::vector<std::string> log;
  DialogDriver driver(kCaption, [&](HWND dlg, int step) {
    switch (step) {
      case 0:
        log.push_back("first " + std::to_string(Sel(dlg, kColorDlgBackgroundSwatches)) + "/" +
                      std::to_string(Sel(dlg, kColorDlgTextSwatches)));
        log.push_back("filter enabled " + std::to_string(IsWindowEnabled(GetDlgItem(dlg, kColorDlgFilter))));
        log.push_back("italic " + std::to_string(IsDlgButtonChecked(dlg, kColorDlgItalic)));
        SelectEntryNamed(dlg, "Standard");
        log.push_back("standard " + std::to_string(Sel(dlg, kColorDlgBackgroundSwatches)) + "/" +
                      std::to_string(Sel(dlg, kColorDlgTextSwatches)));
        ClickItem(dlg, IDCANCEL);
        return true;
    }
    return true;
  });
  CAnsiColorDlg dlg;
  EXPECT_EQ(dlg.DoModal(s.list, nullptr, 1, nullptr), IDCANCEL);
  std::vector<std::string> want = {"first 62/35", "filter enabled 0", "italic 1", "standard 0/0"};
  EXPECT_EQ(log, want) << "a colour the palette lacks selects the last swatch; -1 the first";
}

TEST(AnsiColorDlg, CancelKeepsTheSchemeAndOkTakesTheChanges) {
  for (int command : {IDCANCEL, IDOK}) {
    Scheme s;
    DialogDriver driver(kCaption, [&](HWND dlg, int) {
      SelectEntryNamed(dlg, "Standard");
      SelectListItem(dlg, kColorDlgBackgroundSwatches, 30);  // 0x0000FF
      SelectListItem(dlg, kColorDlgTextSwatches, -1);        // nothing: the system colour
      CheckDlgButton(dlg, kColorDlgBold, BST_CHECKED);
      ClickItem(dlg, kColorDlgBold);
      ClickItem(dlg, command);
      return true;
    });
    CAnsiColorDlg dlg;
    EXPECT_EQ(dlg.DoModal(s.list, nullptr, 0, nullptr), command);
    if (command == IDCANCEL) {
      EXPECT_EQ(s.list[0].background, kAnsiSystemColor);
      EXPECT_EQ(s.list[0].style, 0u);
    } else {
      EXPECT_EQ(s.list[0].background, 0x0000FFu);
      EXPECT_EQ(s.list[0].text, kAnsiSystemColor);
      EXPECT_EQ(s.list[0].style, kAnsiColorBold);
    }
    EXPECT_EQ(s.list[1].background, 0x123456u) << "other entries unchanged";
    EXPECT_STREQ(s.list[0].name, "Standard");
  }
}

TEST(AnsiColorDlg, EmptyListShowsTheSentinel) {
  ANSICOLORENTRY* empty = nullptr;
  std::vector<std::string> names;
  int bg = -2;
  COLORREF preview = 0;
  DialogDriver driver(kCaption, [&](HWND dlg, int) {
    names = Names(dlg);
    bg = Sel(dlg, kColorDlgBackgroundSwatches);
    WindowCapture cap(dlg);
    RECT rc;
    GetWindowRect(GetDlgItem(dlg, kColorDlgPreview), &rc);
    RECT outer;
    GetWindowRect(dlg, &outer);
    preview = cap.Pixel(rc.left - outer.left + 4, rc.top - outer.top + 4);
    ClickItem(dlg, IDOK);
    return true;
  });
  CAnsiColorDlg dlg;
  EXPECT_EQ(dlg.DoModal(empty, nullptr, 5, nullptr), IDOK);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(bg, 62);
  EXPECT_EQ(preview, kColorDlgSentinelColor);
  EXPECT_EQ(empty, nullptr);
}

TEST(AnsiColorDlg, FilterListsOnlyItsIdsAndLargeIdsLieOutside) {
  Scheme s;
  BYTE filter[kColorFilterBytes] = {};
  filter[2 / 8] |= 1 << 2;
  filter[300 % 256 / 8] |= 1 << (300 % 8);  // the bit id 300 would hit if wrapped
  std::vector<std::string> filtered, all;
  DialogDriver driver(kCaption, [&](HWND dlg, int) {
    filtered = Names(dlg);
    CheckDlgButton(dlg, kColorDlgFilter, BST_UNCHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kColorDlgFilter, BN_CLICKED), 0);
    all = Names(dlg);
    ClickItem(dlg, IDCANCEL);
    return true;
  });
  CAnsiColorDlg dlg;
  dlg.DoModal(s.list, nullptr, 1, filter);
  EXPECT_EQ(filtered, std::vector<std::string>({"Adresse"}));
  EXPECT_EQ(all, std::vector<std::string>({"Adresse", "Markiert", "Standard"})) << "sorted";
}

TEST(AnsiColorDlg, DefineStartsAtTheSystemColourAndPixels) {
  Scheme s;
  bool answered = false;
  COLORREF previewBg = 0, swatch0 = 0, crossPixel = 0, leftBar = 0, frame = 0, inside = 0;
  DialogDriver driver(kCaption, [&](HWND dlg, int step) {
    if (step == 0) {
      SelectEntryNamed(dlg, "Standard");
      ClickItem(dlg, kColorDlgDefineText);  // "Farbe definieren"
      return false;
    }
    // The system's colour dialog above ours: answered with OK.
    HWND top = GetLastActivePopup(dlg);
    if (top != dlg && !answered) {
      PostMessageA(top, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(top, IDOK));
      answered = true;
      return false;
    }
    if (!answered || !IsWindowEnabled(dlg)) return false;
    SelectListItem(dlg, kColorDlgBackgroundSwatches, 35);  // 0xFF0000 (blue)
    WindowCapture cap(dlg);
    cap.SavePng(ScreensPath("colordlg_printed.png").c_str());
    SaveScreenPng(dlg, ScreensPath("colordlg.png").c_str());
    WindowCapture(GetDlgItem(dlg, kColorDlgBackgroundSwatches)).SavePng(ScreensPath("colordlg_swatches.png").c_str());
    RECT rc, outer;
    GetWindowRect(GetDlgItem(dlg, kColorDlgPreview), &rc);
    GetWindowRect(dlg, &outer);
    previewBg = cap.Pixel(rc.left - outer.left + 4, rc.top - outer.top + 4);
    int size = (int)SendDlgItemMessageA(dlg, kColorDlgTextSwatches, LB_GETITEMHEIGHT, 0, 0);
    swatch0 = SwatchPixel(dlg, kColorDlgBackgroundSwatches, 0, 5, 2);
    crossPixel = SwatchPixel(dlg, kColorDlgBackgroundSwatches, 0, size / 2, size / 2);
    leftBar = SwatchPixel(dlg, kColorDlgBackgroundSwatches, 35, 0, size / 2);
    frame = SwatchPixel(dlg, kColorDlgBackgroundSwatches, 35, 3, size / 2);
    inside = SwatchPixel(dlg, kColorDlgBackgroundSwatches, 35, size / 2, size / 2);
    ClickItem(dlg, IDOK);
    return true;
  });
  CAnsiColorDlg dlg;
  EXPECT_EQ(dlg.DoModal(s.list, nullptr, 0, nullptr), IDOK);
  EXPECT_TRUE(answered);
  EXPECT_EQ(s.list[0].text, GetSysColor(COLOR_WINDOWTEXT)) << "the -1 colour started as its system colour";
  EXPECT_EQ(s.list[0].background, 0xFF0000u);
  EXPECT_EQ(previewBg, RGB(0, 0, 255));
  EXPECT_EQ(swatch0, GetSysColor(COLOR_WINDOW)) << "swatch 0 in the system colour";
  EXPECT_EQ(crossPixel, RGB(0x40, 0x40, 0x40)) << "its cross";
  // The selected swatch: white bar inverted by the halftone frame (black or
  // white), the frame inside it, and its own colour in the middle.
  EXPECT_TRUE(leftBar == RGB(0, 0, 0) || leftBar == RGB(255, 255, 255)) << std::hex << leftBar;
  EXPECT_TRUE(frame == RGB(0, 0, 255) || frame == RGB(255, 255, 0)) << std::hex << frame;
  EXPECT_EQ(inside, RGB(0, 0, 255));
}
