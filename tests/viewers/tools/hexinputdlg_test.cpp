// The input and number input dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dlg_driver.h"
#include "viewers/tools/hexinputdlg.h"
#include "viewers/tools/hexnumberdlg.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/tooldlg.h"

namespace {

std::string Joined(char** list) {
  std::string s;
  for (int i = 0; const char* p = StrListGetAt(list, i); i++) s += std::string(p) + "|";
  return s;
}

TEST(HexInputDlg, EvaluatesAndRefusesWhatDoesNotParse) {
  CHexInputDlg dlg;
  dlg.m_nValue = 255;
  dlg.m_nFlags = HEXINPUT_HEX;
  dlg.m_pszCaption = "Cursor setzen";
  dlg.m_pszLabel = "Neue Adresse :";
  std::string shown, caption, label;
  bool stillOpen = false;
  int red = 0;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       shown = ItemText(d, IDC_INPUT_EDIT);
       caption = TextOf(d);
       label = ItemText(d, IDC_INPUT_LABEL);
       TypeInto(::GetDlgItem(d, IDC_INPUT_EDIT), "1+");
       Click(d, IDOK);
     })
      .Do([&](HWND d) {
        stillOpen = ::IsWindowVisible(d) != 0;
        WindowCapture cap(d);
        red = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_INPUT_EDIT)));
        SaveShot(d, "hexinput_bad");
        TypeInto(::GetDlgItem(d, IDC_INPUT_EDIT), "0x10*2");
        Click(d, IDOK);
      });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shown, "0xFF");
  EXPECT_EQ(caption, "Cursor setzen");
  EXPECT_EQ(label, "Neue Adresse :");
  EXPECT_TRUE(stillOpen);
  EXPECT_GT(red, 50);
  EXPECT_EQ(dlg.m_nValue, 32);

  CHexInputDlg neg;
  neg.m_nValue = 0;
  DlgDriver drv2;
  drv2.Do([&](HWND d) {
    TypeInto(::GetDlgItem(d, IDC_INPUT_EDIT), "0xFFFFFFFF");
    Click(d, IDOK);
  });
  drv2.Start();
  EXPECT_EQ(neg.DoModal(), IDOK);
  EXPECT_EQ(neg.m_nValue, -1) << "a 32-bit result is sign-extended";
}

TEST(HexInputDlg, HistoryInTheComboBox) {
  char* list = nullptr;
  StrListInsertAt(&list, "0xabc", 0);
  StrListInsertAt(&list, "7", 1);
  CHexInputDlg dlg;
  dlg.m_ppHistory = &list;
  int items = 0;
  bool editHidden = false;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    HWND combo = ::GetDlgItem(d, IDC_INPUT_COMBO);
    items = (int)::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    editHidden = !::IsWindowVisible(::GetDlgItem(d, IDC_INPUT_EDIT));
    SaveShot(d, "hexinput_history");
    TypeInto(ComboEdit(combo), "0xABC");
    Click(d, IDOK);
  });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(items, 2);
  EXPECT_TRUE(editHidden);
  EXPECT_EQ(dlg.m_nValue, 0xABC);
  EXPECT_EQ(Joined(&list), "0xABC|7|") << "0xabc gives way to 0xABC";

  for (int i = 0; i < 16; i++) StrListInsertAt(&list, std::to_string(100 + i).c_str(), 0);
  PutInputHistory(&list, "1");
  std::string h = Joined(&list);
  EXPECT_EQ(h.substr(0, 10), "1|115|114|");
  EXPECT_EQ(StrListCount(&list), 16) << "the newest 15 old entries at most";
  std::string longText(1000, '1');
  PutInputHistory(&list, longText.c_str());
  PutInputHistory(&list, std::string(1000, '2').c_str());
  PutInputHistory(&list, std::string(1000, '3').c_str());
  EXPECT_LT(StrListByteSize(&list), kInputHistoryChars + 1);
  EXPECT_EQ(StrListCount(&list), 2);
  StrListFree(&list);
}

struct PreviewLog {
  int calls = 0;
  DWORD lastAt = 0;
  int format = -1, count = 0;
};

void Preview(DWORD_PTR c1, DWORD_PTR, int count, int format, const unsigned char* bytes, char* text, int size) {
  auto* log = reinterpret_cast<PreviewLog*>(c1);
  log->calls++;
  log->lastAt = ::GetTickCount();
  log->format = format;
  log->count = count;
  snprintf(text, size, "%d bytes %02X\nsecond line", count, bytes[0]);
}

TEST(HexNumberDlg, OpensWithTheSignOfTheLastByte) {
  struct {
    int count;
    unsigned char b0, b1;
    int style;
    const char* text;
    int radio;
  } rows[] = {{2, 0xFE, 0xFF, 0, "-2", IDC_NUMBER_WORD},
              {2, 0xFE, 0xFF, 1, "0xFFFFFFFE", IDC_NUMBER_WORD},
              {0, 0xFE, 0xFF, 1, "0x0", IDC_NUMBER_DWORD},
              {1, 0x80, 0x00, 0, "-128", IDC_NUMBER_BYTE},
              {8, 0x01, 0x00, 1, "0x5500000000000001", IDC_NUMBER_QWORD}};
  for (auto& r : rows) {
    CHexNumberDlg dlg;
    dlg.m_nCount = r.count;
    dlg.m_value[0] = r.b0;
    dlg.m_value[1] = r.b1;
    dlg.m_value[7] = 0x55;
    dlg.m_nStyle = r.style;
    std::string text;
    int radio = 0;
    DlgDriver drv;
    drv.Do([&](HWND d) {
      text = ItemText(d, IDC_NUMBER_INPUT);
      radio = ::IsDlgButtonChecked(d, r.radio);
      PressKey(d, VK_ESCAPE);
    });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(text, r.text) << r.count;
    EXPECT_EQ(radio, BST_CHECKED) << r.count;
  }
}

TEST(HexNumberDlg, DumpInputSizeAndRefusal) {
  CHexNumberDlg dlg;
  dlg.m_pszLabel = "Wert :";
  bool stillOpen = false;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       SaveShot(d, "hexnumber_value");
       TypeInto(::GetDlgItem(d, IDC_NUMBER_INPUT), "2*(");
       Click(d, IDOK);
     })
      .Do([&](HWND d) {
        stillOpen = ::IsWindowVisible(d) != 0;
        SaveShot(d, "hexnumber_bad");
        TypeInto(::GetDlgItem(d, IDC_NUMBER_INPUT), ":01 02 03");
        Click(d, IDC_NUMBER_WORD);
        Click(d, IDC_NUMBER_BIG_ENDIAN);
        Click(d, IDOK);
      });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(stillOpen) << "OK refused";
  EXPECT_EQ(dlg.m_nCount, 2);
  EXPECT_EQ(dlg.m_value[0], 1);
  EXPECT_EQ(dlg.m_value[1], 2);
  EXPECT_EQ(dlg.m_bBigEndian, 1);
}

// The input and number dialogs refuse a number their width cannot hold.
TEST(HexInputDlg, NumbersBeyondTheWidthAreRefused) {
  struct Case {
    int flags;
    const char* refused;
    const char* taken;
    int64_t value;
  } cases[] = {
      {0, "0x1FFFFFFFF", "0xFFFFFFFF", -1},
      {0, "4294967296", "-2", -2},
      {HEXINPUT_64BIT, "18446744073709551616", "0x8000000000000000", (int64_t)0x8000000000000000ull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    CHexInputDlg dlg;
    dlg.m_nFlags = c.flags;
    bool stillOpen = false;
    int red = 0;
    DlgDriver drv;
    drv.Do([&](HWND d) {
         TypeInto(::GetDlgItem(d, IDC_INPUT_EDIT), c.refused);
         Click(d, IDOK);
       })
        .Do([&](HWND d) {
          stillOpen = ::IsWindowVisible(d) != 0;
          WindowCapture cap(d);
          red = cap.Count(kLightRed, RectIn(d, ::GetDlgItem(d, IDC_INPUT_EDIT)));
          TypeInto(::GetDlgItem(d, IDC_INPUT_EDIT), c.taken);
          Click(d, IDOK);
        });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_GT(red, 50);
    EXPECT_EQ(dlg.m_nValue, c.value);
  }
}

TEST(HexNumberDlg, NumbersBeyondTheSizeAreRefused) {
  struct Case {
    int sizeButton;
    const char* refused;
    const char* taken;
    int count;
    BYTE bytes[8];
  } cases[] = {
      {IDC_NUMBER_BYTE, "0x1FF", "-2", 1, {0xFE}},
      {IDC_NUMBER_WORD, "65536", "0xFFFF", 2, {0xFF, 0xFF}},
      {IDC_NUMBER_DWORD, "0x1FFFFFFFF", "-0x10", 4, {0xF0, 0xFF, 0xFF, 0xFF}},
      {IDC_NUMBER_QWORD, "0x1FFFFFFFFFFFFFFFF", "0x8000000000000000", 8, {0, 0, 0, 0, 0, 0, 0, 0x80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    CHexNumberDlg dlg;
    bool stillOpen = false;
    DlgDriver drv;
    drv.Do([&](HWND d) {
         Click(d, c.sizeButton);
         TypeInto(::GetDlgItem(d, IDC_NUMBER_INPUT), c.refused);
         Click(d, IDOK);
       })
        .Do([&](HWND d) {
          stillOpen = ::IsWindowVisible(d) != 0;
          TypeInto(::GetDlgItem(d, IDC_NUMBER_INPUT), c.taken);
          Click(d, IDOK);
        });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stillOpen) << "OK refused";
    EXPECT_EQ(dlg.m_nCount, c.count);
    EXPECT_EQ(0, std::memcmp(dlg.m_value, c.bytes, (size_t)c.count));
  }
}

TEST(HexNumberDlg, CopyModeLabelsAndPreview) {
  PreviewLog log;
  CHexNumberDlg dlg;
  dlg.m_bCopyMode = 1;
  dlg.m_pfnPreview = Preview;
  dlg.m_dwContext1 = (DWORD_PTR)&log;
  dlg.m_nCount = 1;
  dlg.m_value[0] = 0x41;
  std::string textLabels, backLabels, dumpLabel, preview;
  DWORD typedAt = 0;
  int callsAfterTyping = -1;
  DlgDriver drv;
  drv.Do([&](HWND d) {
       Click(d, IDC_NUMBER_FMT_TEXT);
       for (int id = IDC_NUMBER_BYTE; id <= IDC_NUMBER_QWORD; id++) textLabels += ItemText(d, id) + "|";
       SaveShot(d, "hexnumber_copy_texttypes");
       Click(d, IDC_NUMBER_FMT_DUMP);
       dumpLabel = ItemText(d, IDC_NUMBER_QWORD);
       Click(d, IDC_NUMBER_FMT_C);
       for (int id = IDC_NUMBER_BYTE; id <= IDC_NUMBER_QWORD; id++) backLabels += ItemText(d, id) + "|";
       callsAfterTyping = -1;
       TypeInto(::GetDlgItem(d, IDC_NUMBER_INPUT), "0x42");
       typedAt = ::GetTickCount();
       log.calls = 0;
     })
      .Then([&](HWND d) {
        if (log.calls == 0 && ::GetTickCount() - typedAt < 3000) return false;
        callsAfterTyping = log.calls;
        preview = ItemText(d, IDC_NUMBER_PREVIEW);
        SaveShot(d, "hexnumber_copy_preview");
        Click(d, IDOK);
        return true;
      });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(textLabels, "Base 64|HEX-Text|MIN-Text|Chars|");
  EXPECT_EQ(dumpLabel, "---");
  EXPECT_EQ(backLabels, "&Byte|&Word|&Dword|&QWord|");
  EXPECT_EQ(callsAfterTyping, 1);
  DWORD delay = log.lastAt - typedAt;
  EXPECT_GE(delay, 400u) << "the preview follows about 600 ms after the last change";
  EXPECT_LE(delay, 1200u);
  EXPECT_EQ(preview, "1 bytes 42") << "cut at the line feed";
  EXPECT_EQ(log.format, 0);
  EXPECT_EQ(dlg.m_nFormat, 0);
}

}  // namespace
