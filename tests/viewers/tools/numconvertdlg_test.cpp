// The number converter driven as a user drives it: typing into the combo
// box's edit, list choices, OK, Escape; its history in the program key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_driver.h"
#include "harness/registry_util.h"
#include "system/regkeystack.h"
#include "viewers/tools/numconvertdlg.h"
#include "viewers/tools/tooldlg.h"

namespace {

std::string ReadHistory() {
  CRegKeyStack key;
  char* list = nullptr;
  if (!key.Open(HKEY_CURRENT_USER, nullptr, REGKS_READ) || !key.QueryValueAlloc(&list, "CalculatorLast", 7))
    return "<none>";
  std::string s;
  for (const char* p = list; *p; p += strlen(p) + 1) s += std::string(p) + "|";
  delete[] list;
  return s;
}

void WriteHistory(const void* data, DWORD size, DWORD type) {
  CRegKeyStack key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE));
  ASSERT_TRUE(key.SetValue(data, size, "CalculatorLast", type));
}

struct Fields {
  std::string dec, hex, oct, bin, chr;
};
Fields Read(HWND dlg) {
  return {ItemText(dlg, IDC_NUM_DECIMAL), ItemText(dlg, IDC_NUM_HEX), ItemText(dlg, IDC_NUM_OCTAL),
          ItemText(dlg, IDC_NUM_BINARY), ItemText(dlg, IDC_NUM_CHAR)};
}

HWND Input(HWND dlg) { return ComboEdit(::GetDlgItem(dlg, IDC_NUM_INPUT)); }

TEST(NumConvertDlg, ShowsTheValueInEveryForm) {
  TestAppNames names;
  CNumConvertDlg dlg;
  dlg.m_nValue = -1;
  Fields opened;
  std::string openedText;
  std::vector<std::pair<std::string, std::string>> results;  // input -> decimal
  bool cancelShown = true;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       opened = Read(d);
       openedText = TextOf(::GetDlgItem(d, IDC_NUM_INPUT));
       cancelShown = ::IsWindowVisible(::GetDlgItem(d, IDCANCEL)) != 0;
       SaveShot(d, "numconvert_calculator");
     })
      .Do([&](HWND d) {
        const char* inputs[] = {"4000000000", "rgb(255, 0, 0)", "BGR(255,0,0)", "abs(-5)*2", "btol(1)",
                                "'A'+1",      "abs(1+)",        "RGB(1,2)",     "10/0"};
        for (const char* in : inputs) {
          TypeInto(Input(d), in);
          results.push_back({in, ItemText(d, IDC_NUM_DECIMAL) + " " + ItemText(d, IDC_NUM_HEX)});
        }
        TypeInto(Input(d), "0x0");
        results.push_back({"0x0", ItemText(d, IDC_NUM_DECIMAL) + " " + ItemText(d, IDC_NUM_HEX) + " " +
                                      ItemText(d, IDC_NUM_OCTAL) + " " + ItemText(d, IDC_NUM_BINARY)});
      })
      .Do([&](HWND d) { PressKey(Input(d), VK_ESCAPE); });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK) << "Escape in the calculator ends with OK";
  EXPECT_TRUE(drv.Finished());
  EXPECT_FALSE(cancelShown);
  EXPECT_EQ(openedText, "0xFFFFFFFF");
  EXPECT_EQ(opened.dec, "-1");
  EXPECT_EQ(opened.hex, "0xFFFFFFFF");
  EXPECT_EQ(opened.oct, "0o37777777777");
  EXPECT_EQ(opened.bin, "0b1111111111111111");
  EXPECT_EQ(opened.chr, "\xFF");
  ASSERT_EQ(results.size(), 10u);
  EXPECT_EQ(results[0].second, "-294967296 0xEE6B2800");
  EXPECT_EQ(results[1].second, "16711680 0xFF0000");
  EXPECT_EQ(results[2].second, "255 0xFF");
  EXPECT_EQ(results[3].second, "10 0xA");
  EXPECT_EQ(results[4].second, "16777216 0x1000000");
  EXPECT_EQ(results[5].second, "66 0x42");
  EXPECT_EQ(results[9].second, "0 0x0 0o0 0b0");
  EXPECT_EQ(dlg.m_nValue, 0);
  EXPECT_EQ(ReadHistory(), "0x0|") << "Escape stores the history in the calculator";
}

TEST(NumConvertDlg, BadInputTurnsRedAndTheEditorRefusesIt) {
  TestAppNames names;
  CNumConvertDlg dlg;
  dlg.m_bEdit = 1;
  dlg.m_nValue = 7;
  dlg.m_pszTitle = "Bearbeite  'Zahl'";
  int redBad = 0, redGood = 0, yellow = 0;
  bool stillOpen = false, focusKept = false, cancelShown = false;
  std::string title;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       title = TextOf(d);
       cancelShown = ::IsWindowVisible(::GetDlgItem(d, IDCANCEL)) != 0;
       TypeInto(Input(d), "abs(1+)");
     })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redBad = cap.Count(kLightRed, RectIn(d, Input(d)));
        yellow = cap.Count(kLightYellow, RectIn(d, ::GetDlgItem(d, IDC_NUM_DECIMAL)));
        SaveShot(d, "numconvert_editor_bad_input");
        Click(d, IDOK);
      })
      .Do([&](HWND d) {
        stillOpen = ::IsWindowVisible(d) != 0;
        focusKept = ::GetFocus() == Input(d);
        TypeInto(Input(d), "0x10+1");
      })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redGood = cap.Count(kLightRed, RectIn(d, Input(d)));
        Click(d, IDOK);
      });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(drv.Finished());
  EXPECT_EQ(title, "Bearbeite  'Zahl'");
  EXPECT_TRUE(cancelShown);
  EXPECT_GT(redBad, 50) << "the input is light red while it does not parse";
  EXPECT_GT(yellow, 50) << "result fields are light yellow";
  EXPECT_EQ(redGood, 0);
  EXPECT_TRUE(stillOpen) << "OK refused";
  EXPECT_TRUE(focusKept);
  EXPECT_EQ(dlg.m_nValue, 17);
  EXPECT_EQ(dlg.m_nValue64, 17);
}

TEST(NumConvertDlg, EditorEscapeCancelsAndSixtyFourBits) {
  TestAppNames names;
  {
    CNumConvertDlg dlg;
    dlg.m_bEdit = 1;
    dlg.m_nValue = 5;
    DlgDriver drv;
    drv.Do([&](HWND d) { TypeInto(Input(d), "99"); }).Do([&](HWND d) { PressKey(Input(d), VK_ESCAPE); });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  }
  CNumConvertDlg dlg;
  dlg.m_bEdit = 1;
  dlg.m_b64Bit = 1;
  dlg.m_nValue64 = 0x123456789ll;
  std::string opened, dec, bin;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       opened = TextOf(::GetDlgItem(d, IDC_NUM_INPUT));
       TypeInto(Input(d), "btol(1) + 4000000000");
       dec = ItemText(d, IDC_NUM_DECIMAL);
       SaveShot(d, "numconvert_64bit");
     })
      .Do([&](HWND d) { Click(d, IDOK); });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(opened, "0x123456789");
  EXPECT_EQ(dlg.m_nValue64, 0x0100000000000000ll + 4000000000ll);
  EXPECT_EQ(dlg.m_nValue, (int32_t)4000000000u);
  EXPECT_EQ(dec, "72057598037927936");
}

// A number the value's width cannot hold is refused like text that does not
// parse: red, OK refused, the value untouched; what fits is taken.
TEST(NumConvertDlg, NumbersBeyondTheWidthAreRefused) {
  TestAppNames names;
  struct Width {
    int bits64;
    std::vector<const char*> refused;
    const char* taken;
    int64_t value;
  } widths[] = {
      {0, {"0x1FFFFFFFF", "4294967296", "4294967297", "-0xFFFFFFFF", "abs(4294967296)"}, "-0x10", -16},
      {1,
       {"0x1FFFFFFFFFFFFFFFF", "18446744073709551616", "99999999999999999999", "36893488147419103233"},
       "0x8000000000000000",
       (int64_t)0x8000000000000000ull},
  };
  for (const Width& w : widths) {
    SCOPED_TRACE(w.bits64);
    CNumConvertDlg dlg;
    dlg.m_bEdit = 1;
    dlg.m_b64Bit = w.bits64;
    dlg.m_nValue = 7;
    dlg.m_nValue64 = 7;
    std::vector<std::string> notRed, closed;
    DlgDriver drv;
    for (const char* in : w.refused) {
      drv.Do([&, in](HWND d) { TypeInto(Input(d), in); })
          .Do([&, in](HWND d) {
            WindowCapture cap(d);
            if (cap.Count(kLightRed, RectIn(d, Input(d))) <= 50) notRed.push_back(in);
            if (in == w.refused.front())
              SaveShot(d, w.bits64 ? "numconvert_qword_too_wide" : "numconvert_dword_too_wide");
            Click(d, IDOK);
          })
          .Do([&, in](HWND d) {
            if (!::IsWindowVisible(d)) closed.push_back(in);
          });
    }
    drv.Do([&](HWND d) { TypeInto(Input(d), w.taken); }).Do([&](HWND d) { Click(d, IDOK); });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(drv.Finished());
    EXPECT_TRUE(notRed.empty()) << notRed.front();
    EXPECT_TRUE(closed.empty()) << "OK took " << closed.front();
    EXPECT_EQ(dlg.m_nValue64, w.value);
    EXPECT_EQ(dlg.m_nValue, (int32_t)w.value);
  }
}

// Where a text would be cut in a control: "" when it shows whole, else
// the control and its text.
std::string Cut(HWND dlg, int id) {
  HWND ctrl = ::GetDlgItem(dlg, id);
  char text[80] = "";
  ::GetWindowTextA(ctrl, text, sizeof text);
  RECT room;
  char cls[16] = "";
  ::GetClassNameA(ctrl, cls, sizeof cls);
  if (lstrcmpiA(cls, "Edit") == 0)
    ::SendMessageA(ctrl, EM_GETRECT, 0, (LPARAM)&room);
  else
    ::GetClientRect(ctrl, &room);
  HDC dc = ::GetDC(ctrl);
  HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageA(ctrl, WM_GETFONT, 0, 0));
  SIZE size = {};
  ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(ctrl, dc);
  int room_ = room.right - room.left;
  return size.cx <= room_
             ? ""
             : std::to_string(id) + " '" + text + "' " + std::to_string(size.cx) + " > " + std::to_string(room_);
}

// The fields of a 64-bit value hold its longest forms whole; the labels
// show whole; nothing overlaps.
TEST(NumConvertDlg, SixtyFourBitFormsShowWithoutScrolling) {
  TestAppNames names;
  for (long long value : {-1ll, (long long)0x8000000000000000ull}) {
    SCOPED_TRACE(value);
    CNumConvertDlg dlg;
    dlg.m_bEdit = 1;
    dlg.m_b64Bit = 1;
    dlg.m_nValue64 = value;
    std::vector<std::string> cut;
    std::string overlap;
    DlgDriver drv;
    drv.Do([&](HWND d) {
         for (int id : {IDC_NUM_DECIMAL, IDC_NUM_HEX, IDC_NUM_OCTAL, IDC_NUM_BINARY}) cut.push_back(Cut(d, id));
         // Every control inside the client area, none over another.
         RECT client;
         ::GetClientRect(d, &client);
         std::vector<std::pair<HWND, RECT>> rects;
         for (HWND c = ::GetWindow(d, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
           if (!::IsWindowVisible(c)) continue;
           RECT r;
           ::GetWindowRect(c, &r);
           ::MapWindowPoints(nullptr, d, (POINT*)&r, 2);
           if (r.right > client.right) overlap += "outside " + std::to_string(::GetDlgCtrlID(c)) + "; ";
           for (auto& o : rects) {
             RECT both;
             if (::IntersectRect(&both, &r, &o.second))
               overlap += std::to_string(::GetDlgCtrlID(c)) + " on " + std::to_string(::GetDlgCtrlID(o.first)) + "; ";
           }
           rects.push_back({c, r});
           char cls[16] = "";
           ::GetClassNameA(c, cls, sizeof cls);
           if (lstrcmpiA(cls, "Static") == 0) {
             char text[80] = "";
             ::GetWindowTextA(c, text, sizeof text);
             // Labels are found by their text: they all have the id -1.
             HDC dc = ::GetDC(c);
             HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageA(c, WM_GETFONT, 0, 0));
             SIZE size = {};
             ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
             ::SelectObject(dc, old);
             ::ReleaseDC(c, dc);
             if (size.cx > r.right - r.left) cut.push_back(std::string("label '") + text + "'");
           }
         }
       })
        // The posted focus change has come: the dialog is up.
        .Then([&](HWND d) { return ::GetFocus() == Input(d); })
        .Do([&](HWND d) { SaveShot(d, value < -1 ? "numconvert_64bit_min" : "numconvert_64bit_all_ones"); })
        .Do([&](HWND d) { Click(d, IDCANCEL); });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    for (const std::string& c : cut) EXPECT_EQ(c, "");
    EXPECT_EQ(overlap, "");
  }
}

TEST(NumConvertDlg, HistoryKeepsSixteenNewestFirst) {
  TestAppNames names;
  auto run = [](const char* typed) {
    CNumConvertDlg dlg;
    DlgDriver drv;
    drv.Do([&](HWND d) { TypeInto(Input(d), typed); }).Do([&](HWND d) { Click(d, IDOK); });
    drv.Start();
    dlg.DoModal();
    return dlg.m_nValue;
  };
  run("1");
  EXPECT_EQ(ReadHistory(), "1|");
  run("12");
  EXPECT_EQ(ReadHistory(), "12|1|") << "12 beside 1";
  EXPECT_EQ(run("1"), 1) << "typed 1 counts although the list may select 12";
  EXPECT_EQ(ReadHistory(), "1|12|") << "an existing entry moves to the front";
  for (int i = 100; i < 115; i++) run(std::to_string(i).c_str());
  std::string h = ReadHistory();
  EXPECT_EQ(h.substr(0, 8), "114|113|");
  EXPECT_EQ(h.substr(h.size() - 7), "|100|1|");
  EXPECT_EQ(h.find("|12|"), std::string::npos) << "17 entries drop the oldest: " << h;
  EXPECT_NE(h.find("|1|"), std::string::npos) << h;
  run("");
  EXPECT_EQ(ReadHistory(), h) << "an empty input leaves the history";

  // A list choice evaluates at once.
  CNumConvertDlg dlg;
  std::string chosen;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       HWND combo = ::GetDlgItem(d, IDC_NUM_INPUT);
       ::SendMessageA(combo, CB_SETCURSEL, 1, 0);
       ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_NUM_INPUT, CBN_SELENDOK), (LPARAM)combo);
       chosen = ItemText(d, IDC_NUM_DECIMAL);
     })
      .Do([&](HWND d) { Click(d, IDOK); });
  drv.Start();
  dlg.DoModal();
  EXPECT_EQ(chosen, "113");
}

TEST(NumConvertDlg, DamagedHistoryIsNoHistory) {
  TestAppNames names;
  const unsigned char junk[] = {'a', 'b', 0xFF, 'c'};  // no terminators at all
  struct {
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {{REG_MULTI_SZ, junk, sizeof junk}, {REG_BINARY, junk, sizeof junk}, {REG_SZ, "7", 2}};
  for (auto& c : cases) {
    WriteHistory(c.data, c.size, c.type);
    CNumConvertDlg dlg;
    int items = -1;
    DlgDriver drv;
    drv.Do([&](HWND d) {
         items = (int)::SendDlgItemMessageA(d, IDC_NUM_INPUT, CB_GETCOUNT, 0, 0);
         TypeInto(Input(d), "3");
       })
        .Do([&](HWND d) { Click(d, IDOK); });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(items, c.type == REG_MULTI_SZ ? 1 : 0) << c.type;
    EXPECT_EQ(ReadHistory().substr(0, 2), "3|") << c.type;
  }
}

TEST(NumConvertDlg, PlaceIsRememberedWhileOnTheScreen) {
  TestAppNames names;
  auto open = [](RECT* shown) {
    CNumConvertDlg dlg;
    DlgDriver drv;
    drv.Do([&](HWND d) {
      ::GetWindowRect(d, shown);
      PressKey(d, VK_ESCAPE);
    });
    drv.Start();
    dlg.DoModal();
  };
  RECT rc;
  g_toolDlgPos.valid[TOOLPOS_CONVERTER] = 1;
  g_toolDlgPos.x[TOOLPOS_CONVERTER] = -99;
  g_toolDlgPos.y[TOOLPOS_CONVERTER] = 20;
  open(&rc);
  EXPECT_EQ(rc.left, -99);
  EXPECT_EQ(rc.top, 20);
  EXPECT_EQ(g_toolDlgPos.x[TOOLPOS_CONVERTER], -99) << "remembered on close";
  g_toolDlgPos.x[TOOLPOS_CONVERTER] = -100;
  open(&rc);
  EXPECT_GT(rc.left, 0) << "centred";
}

}  // namespace
