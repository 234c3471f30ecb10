// The float converter: every field edits, the others follow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "dlg_driver.h"
#include "viewers/tools/floatconvertdlg.h"
#include "viewers/tools/tooldlg.h"

namespace {

TEST(FloatConvert, IntegerPathOnlyForPrefixesAndSuffixes) {
  struct {
    const char* text;
    double value;
  } cases[] = {{"0x10", 16}, {"1Fh", 31},  {"-0x10", -16}, {"1e5", 1e5}, {"-0.75", -0.75},
               {"1.5", 1.5}, {"0b101", 5}, {"12", 12},     {"abc", 0},   {"", 0}};
  for (auto& c : cases) EXPECT_EQ(ParseFloatFieldText(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(ParseFloatFieldText("inf")));
}

std::string Field(HWND d, int id) { return ItemText(d, id); }

TEST(FloatConvert, FieldsFollowEachOther) {
  CFloatConvertDlg dlg;
  const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  std::memcpy(dlg.m_bytes, one, 8);
  dlg.m_nCount = 8;
  dlg.m_nMode = 2;
  std::string opened, floatTyped, doubleHex, swapped, nanInf, expTyped;
  int redMant = 0, redAfter = -1, redWrapped = 0;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       opened = Field(d, IDC_FLT_DOUBLE) + "|" + Field(d, IDC_FLT_FLOAT) + "|" + Field(d, IDC_FLT_DMANT) + "|" +
                Field(d, IDC_FLT_DEXP) + "|" + Field(d, IDC_FLT_DUMP);
       SaveShot(d, "float_one");
       TypeInto(::GetDlgItem(d, IDC_FLT_FLOAT), "1.5");
       floatTyped = Field(d, IDC_FLT_DUMP) + "|" + Field(d, IDC_FLT_FEXP) + "|" + Field(d, IDC_FLT_DOUBLE);
       TypeInto(::GetDlgItem(d, IDC_FLT_DOUBLE), "0x10");
       doubleHex = Field(d, IDC_FLT_DUMP) + "|" + Field(d, IDC_FLT_FLOAT);
       TypeInto(::GetDlgItem(d, IDC_FLT_DUMP), ":01 02 03 04 05 06 07 08");
       Click(d, IDC_FLT_SWAP_QWORDS);
       swapped = Field(d, IDC_FLT_DUMP);
       Click(d, IDC_FLT_SWAP_QWORDS);
       Click(d, IDC_FLT_SWAP_BYTES);
       swapped += "|" + Field(d, IDC_FLT_DUMP);
       Click(d, IDC_FLT_SWAP_WORDS);
       swapped += "|" + Field(d, IDC_FLT_DUMP);
       TypeInto(::GetDlgItem(d, IDC_FLT_DUMP), "00 00 00 00 00 00 F8 7F");
       nanInf = Field(d, IDC_FLT_DOUBLE);
       TypeInto(::GetDlgItem(d, IDC_FLT_DUMP), "00 00 00 00 00 00 F0 FF");
       nanInf += "|" + Field(d, IDC_FLT_DOUBLE);
       TypeInto(::GetDlgItem(d, IDC_FLT_DOUBLE), "1");
       TypeInto(::GetDlgItem(d, IDC_FLT_DEXP), "5");
       expTyped = Field(d, IDC_FLT_DOUBLE) + "|" + Field(d, IDC_FLT_DUMP);
       TypeInto(::GetDlgItem(d, IDC_FLT_DMANT), "0x10000000000000");
     })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redMant = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_FLT_DMANT)));
        SaveShot(d, "float_bad_mantissa");
        TypeInto(::GetDlgItem(d, IDC_FLT_DMANT), "0>8000000000000h");
      })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redAfter = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_FLT_DMANT)));
        // At once: typed digit by digit, the shorter numbers would be taken.
        ::SetDlgItemTextA(d, IDC_FLT_DMANT, "0x10000000000000005");
      })
      .Do([&](HWND d) {
        WindowCapture cap(d);
        redWrapped = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_FLT_DMANT)));
        PressKey(d, VK_ESCAPE);
      });
  drv.Start();
  dlg.DoModal();
  EXPECT_EQ(opened, "1|0|0  >0000h|0  >3FFh|:00 00 00 00 00 00 F0 3F ");
  EXPECT_EQ(floatTyped, ":00 00 C0 3F |0  >7Fh|5.28427e-315");
  EXPECT_EQ(doubleHex, ":00 00 00 00 00 00 30 40 |0");
  EXPECT_EQ(swapped, ":05 06 07 08 01 02 03 04|:02 01 04 03 06 05 08 07|:04 03 02 01 08 07 06 05");
  EXPECT_NE(nanInf.find("nan"), std::string::npos) << nanInf;
  EXPECT_NE(nanInf.find("inf"), std::string::npos) << nanInf;
  EXPECT_EQ(expTyped, "32|:00 00 00 00 00 00 40 40 ") << "5 before > is unbiased: 1028";
  EXPECT_GT(redMant, 50) << "2^52 does not fit the mantissa";
  EXPECT_EQ(redAfter, 0);
  EXPECT_GT(redWrapped, 50) << "2^64 + 5 is not 5";
  EXPECT_EQ(dlg.m_dValue, 48.0) << "mantissa 0x8000000000000 of 2^5";
  EXPECT_EQ(g_toolDlgPos.valid[TOOLPOS_FLOAT], 1);
}

}  // namespace
