// The CRC calculator: presets, typed polynomials and formulas, width changes,
// the source field, the registry and the histories.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_driver.h"
#include "harness/registry_util.h"
#include "system/regkeystack.h"
#include "viewers/tools/crccalcdlg.h"
#include "viewers/tools/tooldlg.h"

namespace {

const char kDigits[] = "123456789";

void Choose(HWND dlg, int id, int index) {
  HWND combo = ::GetDlgItem(dlg, id);
  ::SendMessageA(combo, CB_SETCURSEL, index, 0);
  ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}
int Selected(HWND dlg, int id) { return (int)::SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0); }
void TypeCombo(HWND dlg, int id, const char* text) { TypeInto(ComboEdit(::GetDlgItem(dlg, id)), text); }
std::string Results(HWND d, int a, int b, int c) {
  return ItemText(d, a) + " " + ItemText(d, b) + " " + ItemText(d, c);
}

TEST(CrcCalcDlg, PresetsAndCheckValues) {
  TestAppNames names;
  CCrcCalcDlg dlg;
  std::string opened, crc32, crc32b, crc64, length, xmodemRow, freeRow, width16, formula16;
  int xmodem = -1, free = -1;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    opened = ItemText(d, IDC_CRC_WIDTH) + " " + ItemText(d, IDC_CRC_REFLECTED) + " " + ItemText(d, IDC_CRC_NORMAL) +
             " " + ItemText(d, IDC_CRC_START) + " " + std::to_string(Selected(d, IDC_CRC_PRESET));
    length = ItemText(d, IDC_CRC_LENGTH);
    Click(d, IDC_CRC_INVERT);
    crc32 = Results(d, IDC_CRC_A, IDC_CRC_A_0, IDC_CRC_A_ONES);
    crc32b = Results(d, IDC_CRC_B, IDC_CRC_B_0, IDC_CRC_B_ONES);
    Choose(d, IDC_CRC_PRESET, 18);
    crc64 = ItemText(d, IDC_CRC_A_ONES);
    SaveShot(d, "crccalc_ecma");
    Click(d, IDC_CRC_INVERT);
    Choose(d, IDC_CRC_PRESET, 10);
    TypeCombo(d, IDC_CRC_REFLECTED, "0x8408");
    xmodem = Selected(d, IDC_CRC_PRESET);
    xmodemRow = ItemText(d, IDC_CRC_B_0);
    TypeCombo(d, IDC_CRC_REFLECTED, "0x8409");
    free = Selected(d, IDC_CRC_PRESET);
    width16 = ItemText(d, IDC_CRC_WIDTH) + " " + ItemText(d, IDC_CRC_NORMAL);
    formula16 = ItemText(d, IDC_CRC_FORMULA);
    PressKey(d, VK_ESCAPE);
  });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(kDigits, 9), IDCANCEL);
  EXPECT_EQ(opened, "32-Bit 0xEDB88320 0x04C11DB7 0xFFFFFFFF 16");
  EXPECT_EQ(length, "9 / 0x0009");
  EXPECT_EQ(crc32.substr(0, 10), "0xCBF43926") << "A at the start value ~0";
  EXPECT_EQ(crc32.substr(22), "0xCBF43926") << "A at ~0";
  EXPECT_EQ(crc32b, "0xFC891918 0x765E7680 0xFC891918");
  EXPECT_EQ(crc64, "0x995DC9BBDF1939FA");
  EXPECT_EQ(xmodem, 12) << "typed 0x8408 selects the last equal preset";
  EXPECT_EQ(xmodemRow, "0x31C3") << "XModem: B at 0";
  EXPECT_EQ(free, 0) << "Frei definiert";
  EXPECT_EQ(width16, "16-Bit 0x9021");
  EXPECT_EQ(formula16, "x^16 + x^15 + x^12 + x^5 + 1");
}

TEST(CrcCalcDlg, WidthShrinksAndGrowsBackAndFormulas) {
  TestAppNames names;
  CCrcCalcDlg dlg;
  std::string at16, at32, fromFormula, afterEquals;
  int redBad = 0, redGood = -1;
  std::string widthBig;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       TypeCombo(d, IDC_CRC_WIDTH, "16");
       at16 = ItemText(d, IDC_CRC_REFLECTED) + " " + ItemText(d, IDC_CRC_START);
       TypeCombo(d, IDC_CRC_WIDTH, "32");
       at32 = ItemText(d, IDC_CRC_REFLECTED) + " " + ItemText(d, IDC_CRC_START);
       TypeInto(::GetDlgItem(d, IDC_CRC_FORMULA), "x^16 + x^12 + x^5 + 1");
       fromFormula = ItemText(d, IDC_CRC_WIDTH) + " " + ItemText(d, IDC_CRC_NORMAL) + " " +
                     std::to_string(Selected(d, IDC_CRC_PRESET));
       TypeInto(::GetDlgItem(d, IDC_CRC_FORMULA), "x^8+x^2+x+1 = y");
       afterEquals = ItemText(d, IDC_CRC_NORMAL);
       TypeInto(::GetDlgItem(d, IDC_CRC_FORMULA), "x^8 + y");
     })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redBad = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_CRC_FORMULA)));
        SaveShot(d, "crccalc_formula_error");
        TypeInto(::GetDlgItem(d, IDC_CRC_FORMULA), "x^7+x^3+1");
      })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redGood = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_CRC_FORMULA)));
        TypeCombo(d, IDC_CRC_WIDTH, "200");
        ::SetFocus(::GetDlgItem(d, IDC_CRC_FORMULA));
        widthBig = ItemText(d, IDC_CRC_WIDTH);
        PressKey(d, VK_ESCAPE);
      });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(kDigits, 9), IDCANCEL);
  EXPECT_EQ(at16, "0x8320 0xFFFF");
  EXPECT_EQ(at32, "0xEDB88320 0xFFFFFFFF") << "restored from the saved texts";
  EXPECT_EQ(fromFormula, "16-Bit 0x1021 12") << "reflected 0x8408: the last equal preset";
  EXPECT_EQ(afterEquals, "0x07") << "anything after = is ignored";
  EXPECT_GT(redBad, 50);
  EXPECT_EQ(redGood, 0);
  EXPECT_EQ(widthBig, "64-Bit");
}

TEST(CrcCalcDlg, SourceFieldRegistryAndHistories) {
  TestAppNames names;
  std::vector<unsigned char> data(4096, 0x5A);
  CCrcCalcDlg dlg;
  int full = 0, shrunk = 0, grown = 0;  // grown: shrunk again after the source
  std::string length, source;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    RECT rc;
    ::GetWindowRect(d, &rc);
    shrunk = rc.bottom - rc.top;
    length = ItemText(d, IDC_CRC_LENGTH);
    SaveShot(d, "crccalc_no_source");
    Choose(d, IDC_CRC_SOURCE_CHOICE, 1);
    ::GetWindowRect(d, &rc);
    full = rc.bottom - rc.top;
    HWND src = ::GetDlgItem(d, IDC_CRC_SOURCE);
    source.resize(::GetWindowTextLengthA(src) + 1);
    source.resize(::GetWindowTextA(src, &source[0], (int)source.size()));
    SaveShot(d, "crccalc_source_a");
    Choose(d, IDC_CRC_SOURCE_CHOICE, 0);
    ::GetWindowRect(d, &rc);
    grown = rc.bottom - rc.top;
    Choose(d, IDC_CRC_PRESET, 5);
    TypeCombo(d, IDC_CRC_START, "0x12");
    Click(d, IDOK);
  });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(data.data(), 4096), IDOK);
  EXPECT_EQ(length, "4096 / 0x1000");
  EXPECT_LT(shrunk, full - 100) << "keiner (the first choice) cuts the source field off";
  EXPECT_EQ(grown, shrunk) << "and does so again";
  EXPECT_EQ(source.rfind("typedef unsigned int CrcType;", 0), 0u) << source.substr(0, 60);
  EXPECT_NE(source.find("POLYNOM   0xEDB88320"), std::string::npos);

  CRegKeyStack key;
  CString start, width, poly;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, nullptr, REGKS_READ) && key.OpenSubKey("HexCrcCalc", TRUE));
  key.QueryString(start, "StartValue");
  key.QueryString(width, "PolynomSize");
  key.QueryString(poly, "PolynomValue");
  EXPECT_STREQ(start, "0x12");
  EXPECT_STREQ(width, "8-Bit");
  EXPECT_STREQ(poly, "0x8C");
  char* list = nullptr;
  ASSERT_TRUE(key.QueryValueAlloc(&list, "StartList", 7));
  EXPECT_STREQ(list, "0x12");
  delete[] list;

  CCrcCalcDlg again;
  std::string reopened;
  int startItems = 0;
  DlgDriver drv2;
  drv2.Do([&](HWND d) {
    reopened = ItemText(d, IDC_CRC_WIDTH) + " " + ItemText(d, IDC_CRC_REFLECTED) + " " + ItemText(d, IDC_CRC_START) +
               " " + std::to_string(Selected(d, IDC_CRC_PRESET));
    startItems = (int)::SendDlgItemMessageA(d, IDC_CRC_START, CB_GETCOUNT, 0, 0);
    PressKey(d, VK_ESCAPE);
  });
  drv2.Start();
  again.DoModal(kDigits, 9);
  EXPECT_EQ(reopened, "8-Bit 0x8C 0x12 5");
  EXPECT_GE(startItems, 1);
}

}  // namespace
