// The find dialog: kinds from the typed text, kind switches, the group list,
// the search lines and the lists and flags it gives back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_driver.h"
#include "viewers/tools/hexfinddlg.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/tooldlg.h"
#include "viewers/tools/valuetext.h"

namespace {

std::string Joined(char** list) {
  std::string s;
  for (int i = 0; const char* p = StrListGetAt(list, i); i++) s += std::string(p) + "|";
  return s;
}
int Checked(HWND d, int first, int last) {
  for (int id = first; id <= last; id++)
    if (::IsDlgButtonChecked(d, id) == BST_CHECKED) return id;
  return 0;
}
int Kind(HWND d) {
  if (::IsDlgButtonChecked(d, IDC_FIND_MASK) == BST_CHECKED) return 6;
  int id = Checked(d, IDC_FIND_DECIMAL, IDC_FIND_DUMP);
  return id ? id - IDC_FIND_DECIMAL : -1;
}
HWND Input(HWND d) { return ComboEdit(::GetDlgItem(d, IDC_FIND_TEXT)); }
int ClientHeightDlu(HWND d) {
  RECT rc, unit = {0, 0, 4, 8};
  ::GetClientRect(d, &rc);
  ::MapDialogRect(d, &unit);
  return rc.bottom * 8 / unit.bottom;
}

TEST(HexFindDlg, KindsFollowTheTypedText) {
  DWORD flags = 0;
  char *history = nullptr, *items = nullptr, *search = nullptr;
  CHexFindDlg::s_nSize = 0;
  CHexFindDlg dlg;
  int kindAtOpen = 0, kind5 = 0, kindHex = 0, kindText = 0, sizeText = 0;
  std::string comboAtOpen, switched, wide;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    comboAtOpen = TextOf(::GetDlgItem(d, IDC_FIND_TEXT));
    kindAtOpen = Kind(d);
    TypeInto(Input(d), "5");
    kind5 = Kind(d);
    TypeInto(Input(d), "0x1F");
    kindHex = Kind(d);
    Click(d, IDC_FIND_DECIMAL);
    switched = TextOf(::GetDlgItem(d, IDC_FIND_TEXT));
    TypeInto(Input(d), "\"abc");
    kindText = Kind(d);
    sizeText = Checked(d, IDC_FIND_BYTE, IDC_FIND_VARIABLE);
    SaveShot(d, "find_text");
    TypeInto(Input(d), "0x123456789");
    Click(d, IDC_FIND_VARIABLE);
    Click(d, IDC_FIND_DECIMAL);
    wide = TextOf(::GetDlgItem(d, IDC_FIND_TEXT));
    Click(d, IDC_FIND_HEX);
    wide += "|" + TextOf(::GetDlgItem(d, IDC_FIND_TEXT));
    TypeInto(Input(d), "");
    Click(d, IDC_FIND_OCTAL);
    wide += "|" + TextOf(::GetDlgItem(d, IDC_FIND_TEXT));
    TypeInto(Input(d), "0x1234");
    Click(d, IDC_FIND_HEX);
    Click(d, IDC_FIND_WORD);
    Click(d, IDC_FIND_MOTOROLA);
    PressKey(Input(d), VK_RETURN);
  });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(&flags, &history, &items, &search, nullptr), IDOK);
  EXPECT_EQ(comboAtOpen, "");
  EXPECT_EQ(kindAtOpen, -1) << "no kind checked for an empty text";
  EXPECT_EQ(kind5, 0);
  EXPECT_EQ(kindHex, 1);
  EXPECT_EQ(switched, "31");
  EXPECT_EQ(kindText, 4);
  EXPECT_EQ(sizeText, IDC_FIND_VARIABLE);
  EXPECT_EQ(wide, "4886718345|0x0000000123456789|0o") << "8 bytes at Variabel stay 8 bytes";
  EXPECT_EQ(flags, FINDF_MOTOROLA);
  EXPECT_EQ(Joined(&history), "0x1234|");
  EXPECT_EQ(Joined(&items), "1000|");
  EXPECT_EQ(Joined(&search), "0|H:2 /B\t:12 34\t\t\t\t\t(0x1234)|");
  EXPECT_EQ(CHexFindDlg::s_nSize, 1) << "the size of the next dialog";
  StrListFree(&history);
  StrListFree(&items);
  StrListFree(&search);
}

TEST(HexFindDlg, GroupListHeightsAndItems) {
  DWORD flags = FINDF_HASSEL | FINDF_SELECTION;
  char *history = nullptr, *items = nullptr, *search = nullptr;
  StrListInsertAt(&history, "Hallo", 0);
  CHexFindDlg::s_nSize = 3;
  CHexFindDlg dlg;
  int smallHeight = 0, fullHeight = 0, defId = 0, addEnabledAt16 = 1, itemCount = 0;
  bool selectionCleared = false, listBelowSmall = false, listHiddenSmall = false, listShownFull = false;
  std::vector<std::string> decoded;
  std::string afterUp, afterDown;
  DlgDriver drv;
  drv.Do([&](HWND d) {
    smallHeight = ClientHeightDlu(d);
    RECT listRect, client;
    ::GetWindowRect(::GetDlgItem(d, IDC_FIND_ITEMS), &listRect);
    ::MapWindowPoints(nullptr, d, (POINT*)&listRect, 2);
    ::GetClientRect(d, &client);
    listBelowSmall = listRect.top >= client.bottom;
    listHiddenSmall = !::IsWindowVisible(::GetDlgItem(d, IDC_FIND_ITEMS));
    Click(d, IDC_FIND_FROMSTART);
    selectionCleared = ::IsDlgButtonChecked(d, IDC_FIND_SELECTION) == BST_UNCHECKED;
    Click(d, IDC_FIND_GROUP);
    fullHeight = ClientHeightDlu(d);
    listShownFull = ::IsWindowVisible(::GetDlgItem(d, IDC_FIND_ITEMS)) != FALSE;
    defId = LOWORD(::SendMessageA(d, DM_GETDEFID, 0, 0));
    Click(d, IDC_FIND_NOCASE);
    Click(d, IDC_FIND_ADD);  // "Hallo" from the history
    const char* inputs[] = {"-5", "0x1F", "0b101", "0o17", ":12 34", ":1? #1010????"};
    for (const char* in : inputs) {
      TypeInto(Input(d), in);
      Click(d, IDC_FIND_ADD);
    }
    TypeInto(Input(d), "\"Wörter");
    Click(d, IDC_FIND_UNICODE);
    Click(d, IDC_FIND_ADD);
    SaveShot(d, "find_group");
    HWND list = ::GetDlgItem(d, IDC_FIND_ITEMS);
    itemCount = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < itemCount; i++) {
      ::SendMessageA(list, LB_SETCARETINDEX, i, 0);
      ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_FIND_ITEMS, LBN_DBLCLK), (LPARAM)list);
      decoded.push_back(TextOf(::GetDlgItem(d, IDC_FIND_TEXT)) + " " + std::to_string(Kind(d)));
    }
    ::SendMessageA(list, LB_SETSEL, TRUE, 0);
    Click(d, IDC_FIND_UP);
    afterUp = std::to_string(::SendMessageA(list, LB_GETSEL, itemCount - 1, 0)) + " " +
              std::to_string(::SendMessageA(list, LB_GETTEXTLEN, itemCount - 1, 0) > 0);
    Click(d, IDC_FIND_DOWN);
    afterDown = std::to_string(::SendMessageA(list, LB_GETSEL, 0, 0));
    for (int i = itemCount; i < 16; i++) {
      TypeInto(Input(d), std::to_string(i).c_str());
      Click(d, IDC_FIND_ADD);
    }
    addEnabledAt16 = ::IsWindowEnabled(::GetDlgItem(d, IDC_FIND_ADD));
    Click(d, IDC_FIND_NEXT);
  });
  drv.Start();
  EXPECT_EQ(dlg.DoModal(&flags, &history, &items, &search, nullptr), kFindNextResult);
  EXPECT_NEAR(smallHeight, 143, 2);
  EXPECT_TRUE(listBelowSmall) << "the item list is cut off";
  EXPECT_TRUE(listHiddenSmall) << "what the small height cuts off is hidden";
  EXPECT_TRUE(listShownFull);
  EXPECT_NEAR(fullHeight, 238, 2);
  EXPECT_EQ(defId, IDC_FIND_ADD);
  EXPECT_TRUE(selectionCleared);
  ASSERT_EQ(itemCount, 8);
  const char* expect[] = {"\"Hallo\" 4", "-5 0", "0x1F 1", "0b101 2", "0o17 3", ":12 34 5", ":1? A? 6", "\"Wörter\" 4"};
  for (int i = 0; i < 8; i++) EXPECT_EQ(decoded[i], expect[i]) << i;
  EXPECT_EQ(afterUp, "1 1") << "up from the first wraps to the last";
  EXPECT_EQ(afterDown, "1") << "down from the last wraps to the first";
  EXPECT_FALSE(addEnabledAt16);
  EXPECT_EQ(flags, FINDF_GROUP | FINDF_FROMSTART | FINDF_NOCASE | FINDF_UNICODE);
  EXPECT_EQ(StrListCount(&items), 17);
  EXPECT_STREQ(StrListGetAt(&items, 0), "1000");
  EXPECT_EQ(Joined(&search), Joined(&items)) << "a group searches the items";
  EXPECT_EQ(std::string(StrListGetAt(&items, 1)), "T:5 /G\t:48 61 6C 6C 6F\t\t\t\t(\"Hallo\")");
  EXPECT_EQ(Joined(&history).substr(0, 3), "15|");
  StrListFree(&history);
  StrListFree(&items);
  StrListFree(&search);
}

TEST(HexFindDlg, LinesHoldTheWholeDump) {
  std::string bytes;
  for (int i = 0; i < 256; i++) bytes += (char)('A' + i % 26);
  std::string text = "\"" + bytes + "\"";
  DWORD flags = 0;
  char *history = nullptr, *items = nullptr, *search = nullptr;
  for (bool unicode : {false, true}) {
    flags = unicode ? FINDF_UNICODE : 0;
    CHexFindDlg dlg;
    DlgDriver drv;
    drv.Do([&](HWND d) { Click(d, IDOK); });
    drv.Start();
    EXPECT_EQ(dlg.DoModal(&flags, &history, &items, &search, text.c_str()), IDOK);
    std::string line = StrListGetAt(&search, 1);
    int want = unicode ? 256 : 256;  // 128 characters as 16-bit units, or 256 bytes
    EXPECT_EQ(line.substr(0, 6), unicode ? "N:256\t" : "T:256\t");
    std::vector<unsigned char> back(600);
    int n = ParseValueTextEx(line.c_str() + line.find(':', 2), back.data(), (uint32_t)back.size(), false);
    EXPECT_EQ(n, want);
    EXPECT_EQ(back[unicode ? 254 : 255], (unsigned char)bytes[unicode ? 127 : 255]);
    EXPECT_NE(line.find(unicode ? bytes.substr(0, 128) + "\")" : bytes + "\")"), std::string::npos);
  }
  StrListFree(&history);
  StrListFree(&items);
  StrListFree(&search);
}

}  // namespace
