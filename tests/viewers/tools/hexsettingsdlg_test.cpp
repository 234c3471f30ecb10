// The checksum dialog against a reference loop, and the settings dialog's
// clamps, exclusion and enabling.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "dlg_driver.h"
#include "viewers/tools/hexchecksumdlg.h"
#include "viewers/tools/hexconfigdlg.h"
#include "viewers/tools/tooldlg.h"

namespace {

// Byte by byte: words and double words of the data padded with zeros.
HexChecksums Reference(const unsigned char* p, int n) {
  HexChecksums s = {};
  std::vector<unsigned char> pad(p, p + n);
  pad.resize(n + 4, 0);
  for (int i = 0; i < n; i++) s.byteAdd += p[i], s.byteSub -= p[i], s.byteXor ^= p[i];
  for (int i = 0; i < n; i += 2) {
    uint32_t le = pad[i] + 256u * pad[i + 1], be = pad[i] * 256u + pad[i + 1];
    s.wordAdd += le, s.wordSub -= le, s.wordXor ^= le;
    s.wordAddBe += be, s.wordSubBe -= be, s.wordXorBe ^= be;
  }
  for (int i = 0; i < n; i += 4) {
    uint32_t le = 0, be = 0;
    for (int k = 0; k < 4; k++) le |= (uint32_t)pad[i + k] << (8 * k), be = be << 8 | pad[i + k];
    s.dwordAdd += le, s.dwordSub -= le, s.dwordXor ^= le;
    s.dwordAddBe += be, s.dwordSubBe -= be, s.dwordXorBe ^= be;
  }
  return s;
}

TEST(HexChecksum, SumsAgainstAReferenceLoop) {
  std::mt19937 rng(122);
  for (int n = 0; n <= 9; n++) {
    unsigned char data[9];
    for (auto& b : data) b = (unsigned char)(rng() | 0x80);
    HexChecksums a = ComputeHexChecksums(data, n), b = Reference(data, n);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "length " << n;
  }
  const unsigned char s123[] = {1, 2, 3};
  HexChecksums s = ComputeHexChecksums(s123, 3);
  EXPECT_EQ(s.byteAdd, 6u);
  EXPECT_EQ(s.byteSub, 0xFFFFFFFAu);
  EXPECT_EQ(s.byteXor, 0u);
  EXPECT_EQ(s.wordAdd, 0x204u);
  EXPECT_EQ(s.wordAddBe, 0x402u);
  EXPECT_EQ(s.dwordAdd, 0x30201u);
  EXPECT_EQ(s.dwordAddBe, 0x1020300u);
  const unsigned char s4[] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(ComputeHexChecksums(s4, 4).dwordAdd, 0x78563412u);
  EXPECT_EQ(ComputeHexChecksums(s4, 4).dwordAddBe, 0x12345678u);
}

TEST(HexChecksum, DialogShowsLittleOrBigEndian) {
  const unsigned char data[] = {1, 2, 3};
  CHexChecksumDlg dlg;
  std::string le, be, bytes;
  int yellow = 0;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    le = ItemText(d, IDC_SUM_WORD_ADD) + " " + ItemText(d, IDC_SUM_DWORD_ADD);
    bytes = ItemText(d, IDC_SUM_BYTE_ADD) + " " + ItemText(d, IDC_SUM_BYTE_SUB) + " " + ItemText(d, IDC_SUM_BYTE_XOR);
    Click(d, IDC_SUM_BIG_ENDIAN);
    be = ItemText(d, IDC_SUM_WORD_ADD) + " " + ItemText(d, IDC_SUM_DWORD_ADD);
    WindowCapture cap(d);
    yellow = cap.Count(kLightYellow, RectIn(d, ::GetDlgItem(d, IDC_SUM_DWORD_XOR)));
    SaveShot(d, "checksum_big_endian");
    PressKey(d, VK_ESCAPE);
  });
  drv.Start();
  EXPECT_EQ(dlg.Compute(data, 3), IDCANCEL);
  EXPECT_EQ(bytes, "0x00000006 0xFFFFFFFA 0x00000000");
  EXPECT_EQ(le, "0x00000204 0x00030201");
  EXPECT_EQ(be, "0x00000402 0x01020300");
  EXPECT_GT(yellow, 50);
  EXPECT_EQ(g_toolDlgPos.valid[TOOLPOS_CHECKSUM], 1) << "Escape remembers the place";

  CHexChecksumDlg hidden;
  hidden.m_nShowOption = 0;
  hidden.m_bBigEndian = 1;
  bool shown = true;
  std::string word;
  DlgDriver drv2;
  drv2.Do([&](HWND d) {
    shown = ::IsWindowVisible(::GetDlgItem(d, IDC_SUM_BIG_ENDIAN)) != 0;
    word = ItemText(d, IDC_SUM_WORD_ADD);
    Click(d, IDOK);
  });
  drv2.Start();
  EXPECT_EQ(hidden.Compute(nullptr, 0), IDOK);
  EXPECT_FALSE(shown);
  EXPECT_EQ(word, "0x00000000");
}

TEST(HexConfig, ClampsExclusionAndEnabling) {
  CHexConfigDlg dlg;
  dlg.m_bSpace = 1;
  dlg.m_nExtraInterval = 300;  // off and too big: 4
  dlg.m_bRaster = 1;
  dlg.m_nRaster = 8;
  dlg.m_nSnap = 16;
  dlg.m_bSnap = 1;
  dlg.m_nFixedWidth = 16;
  dlg.m_nAddrDigits = 8;
  dlg.m_nValueDisplay = 3 | HEXSHOW_BIG_ENDIAN;
  dlg.m_nOutputFormat = 4;  // modulo 4: Byte
  std::string extraShown, digits, snap, raster;
  bool extraEnabled = true, invertEnabledAtByte = true, invertEnabledAtWord = false, rasterAfterFixed = true;
  int showRadio = 0;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       extraShown = ItemText(d, IDC_CFG_EXTRA_N);
       extraEnabled = ::IsWindowEnabled(::GetDlgItem(d, IDC_CFG_EXTRA_N)) != 0;
       invertEnabledAtByte = ::IsWindowEnabled(::GetDlgItem(d, IDC_CFG_INVERT)) != 0;
       showRadio = ::IsDlgButtonChecked(d, IDC_CFG_SHOW_DWORD);
       SaveShot(d, "hexconfig");
       // Typing a number that is no number, then leaving the field: no box, clamped.
       TypeInto(::GetDlgItem(d, IDC_CFG_DIGITS), "abc");
       ::SetFocus(::GetDlgItem(d, IDC_CFG_SNAP_N));
       digits = ItemText(d, IDC_CFG_DIGITS);
       TypeInto(::GetDlgItem(d, IDC_CFG_SNAP_N), "300");
       ::SetFocus(::GetDlgItem(d, IDC_CFG_DIGITS));
       snap = ItemText(d, IDC_CFG_SNAP_N);
       Click(d, IDC_CFG_FIXED);
       rasterAfterFixed = ::IsDlgButtonChecked(d, IDC_CFG_RASTER) != 0;
       Click(d, IDC_CFG_OUT_WORD);
       invertEnabledAtWord = ::IsWindowEnabled(::GetDlgItem(d, IDC_CFG_INVERT)) != 0;
       SaveShot(d, "hexconfig_changed");
     })
      .Do([&](HWND d) { Click(d, IDOK); });
  drv.Start();
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(extraShown, "4");
  EXPECT_FALSE(extraEnabled);
  EXPECT_FALSE(invertEnabledAtByte);
  EXPECT_TRUE(invertEnabledAtWord);
  EXPECT_EQ(showRadio, BST_CHECKED) << "size 3 shows as DWord";
  EXPECT_EQ(digits, "1") << "a non-number clamps as 0";
  EXPECT_EQ(snap, "256");
  EXPECT_FALSE(rasterAfterFixed) << "the fixed width clears the raster";
  EXPECT_EQ(dlg.m_nSnap, 256);
  EXPECT_EQ(dlg.m_nAddrDigits, 1);
  EXPECT_EQ(dlg.m_nExtraInterval, 0) << "off: 0";
  EXPECT_EQ(dlg.m_nRaster, -16) << "fixed width on: the negative width";
  EXPECT_EQ(dlg.m_nOutputFormat, 1);
  EXPECT_EQ(dlg.m_nValueDisplay, 2 | HEXSHOW_BIG_ENDIAN);

  CHexConfigDlg cancelled;
  cancelled.m_nRaster = 0;
  DlgDriver drv2;
  drv2.Do([&](HWND d) { PressKey(d, VK_ESCAPE); });
  drv2.Start();
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.m_nRaster, 4) << "left as the dialog had it";
}

}  // namespace
