// The hex view's commands through a real window: the context menu, the Ctrl
// shortcuts, the update handlers and the tool dialogs it opens.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../text/view_fixture.h"
#include "../tools/dlg_driver.h"
#include "harness/registry_util.h"
#include "hex_commands_util.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexchecksumdlg.h"
#include "viewers/tools/hexconfigdlg.h"
#include "viewers/tools/hexinputdlg.h"
#include "viewers/tools/hexnumberdlg.h"
#include "viewers/tools/numconvertdlg.h"

namespace {

struct MenuItem {
  UINT id;
  std::string text;
  bool grayed;
};

// The items of the pop-up menu the view tracks, read while it shows.
std::vector<MenuItem> TrackedMenu(CHexView* view) {
  static std::vector<MenuItem>* s_items;
  std::vector<MenuItem> items;
  s_items = &items;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup) return;
    KillTimer(nullptr, id);
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[64] = "";
      GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
      const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
      s_items->push_back({GetMenuItemID(menu, i), text, (state & MF_GRAYED) != 0});
    }
    EndMenu();
  });
  view->ShowContextMenu(10, 10, nullptr);
  return items;
}

class RecordingCmdUI : public CCmdUI {
 public:
  int enabled = -1;
  void Enable(BOOL on) override { enabled = on ? 1 : 0; }
};

int UpdateState(CHexView* view, UINT id) {
  RecordingCmdUI ui;
  ui.m_nID = id;
  ui.DoUpdate(view, FALSE);
  return ui.enabled;
}

}  // namespace

TEST_F(ViewTest, HexContextMenuHoldsTheCommandsAndGraysCopyWithoutASelection) {
  CHexView view;
  BYTE data[32] = {};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  std::vector<MenuItem> items = TrackedMenu(&view);
  const std::vector<std::pair<UINT, std::string>> expected = {{35073, "&Checksumme"},
                                                              {35078, "&Zu Adresse"},
                                                              {57634, "&Kopieren"},
                                                              {57636, "&Suchen"},
                                                              {0, ""},
                                                              {35072, "&Einstellungen"},
                                                              {37424, "&Farben einstellen"},
                                                              {37425, "Schri&ften einstellen"}};
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].id, expected[i].first) << i;
    EXPECT_EQ(items[i].text, expected[i].second) << i;
  }
  EXPECT_TRUE(items[2].grayed) << "copy without a selection";
  view.SetSelectionEnd(4, FALSE);
  items = TrackedMenu(&view);
  ASSERT_EQ(items.size(), expected.size());
  EXPECT_FALSE(items[2].grayed);
}

TEST_F(ViewTest, HexCtrlShortcutsCopyAndPaste) {
  CHexView view;
  BYTE data[32] = {0x41, 0x42, 0x43};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  view.SetSelectionEnd(3, FALSE);
  SetClipboardText("leer", -1);
  WithModifiers(false, true, [&] { Key('C'); });
  EXPECT_EQ(ClipboardString(), ":41 42 43");
  SetClipboardText("leer", -1);
  WithModifiers(false, true, [&] { Key(VK_INSERT); });
  EXPECT_EQ(ClipboardString(), ":41 42 43") << "Ctrl+Insert";
  Key('C');
  EXPECT_EQ(ClipboardString(), ":41 42 43") << "C alone copies nothing";
  SetClipboardText(":51 52", -1);
  view.SetCursorAddress(10, FALSE);
  WithModifiers(false, true, [&] { Key('V'); });
  EXPECT_EQ(data[10], 0x51);
  EXPECT_EQ(data[11], 0x52);
  EXPECT_TRUE(view.IsModified());
}

TEST_F(ViewTest, HexUpdateHandlersFollowSelectionItemsAndClipboard) {
  CHexView view;
  BYTE data[16] = {};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  SetClipboardText("41", -1);
  EXPECT_EQ(UpdateState(&view, ID_EDIT_COPY), 0);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_COPY_CPP), 0);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_COPY_CSTRING), 0);
  view.SetSelectionEnd(2, FALSE);
  EXPECT_EQ(UpdateState(&view, ID_EDIT_COPY), 1);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_COPY_CSTRING), 1);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_FIND_NEXT), 0) << "no item list";
  *CHexView::SearchItemList() = MakeStrList({"0", "T:0x0001   :41"});
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_FIND_NEXT), 1);
  EXPECT_EQ(UpdateState(&view, ID_EDIT_PASTE), 1);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_PASTE_SPECIAL), 1);
  static const BYTE kConst[4] = {};
  view.SetData((void*)kConst, 4, 0, 0);
  EXPECT_EQ(UpdateState(&view, ID_EDIT_PASTE), 0) << "read-only";
  view.SetData(data, 0, 0, kHexDataWritable);
  EXPECT_EQ(UpdateState(&view, ID_HEXVIEW_PASTE_SPECIAL), 0) << "empty";
}

TEST_F(ViewTest, HexGoToAddressAsksWithTheCursorAddressAndKeepsAHistory) {
  CHexView view;
  BYTE data[256] = {};
  data[16] = 0x20;  // a selected byte below the base: the base is added
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0x1000, kHexDataWritable);
  view.SetCursorAddress(5, FALSE);
  std::string caption, offered;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    caption = TextOf(dlg);
    offered = TextOf(GetDlgItem(dlg, IDC_INPUT_COMBO));
    TypeInto(ComboEdit(GetDlgItem(dlg, IDC_INPUT_COMBO)), "0x1010");
    Click(dlg, IDOK);
  });
  driver.Start();
  SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_GOTO, 0);
  EXPECT_EQ(caption, "Cursor setzen");
  EXPECT_EQ(offered, "0x1005");
  EXPECT_EQ(view.GetCursor(FALSE), 0x10u);
  view.SetSelectionEnd(0x11, FALSE);  // the byte 0x20
  DlgDriver second;
  second.Do([&](HWND dlg) {
    offered = TextOf(GetDlgItem(dlg, IDC_INPUT_COMBO));
    Click(dlg, IDCANCEL);
  });
  second.Start();
  EXPECT_EQ(view.GoToAddress((DWORD)-1), (DWORD)-1);
  EXPECT_EQ(offered, "0x1020");
  EXPECT_EQ(view.GoToAddress(0x1040), 0x1040u);
  EXPECT_EQ(view.GetCursor(TRUE), 0x1040u);
}

TEST_F(ViewTest, HexWriteNumberWritesTheValueOrRefusesOnReadOnlyData) {
  CHexView view;
  BYTE data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  view.SetCursorAddress(6, FALSE);
  std::string offered;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    offered = ItemText(dlg, IDC_NUMBER_INPUT);
    TypeInto(GetDlgItem(dlg, IDC_NUMBER_INPUT), "0x1234");
    Click(dlg, IDC_NUMBER_DWORD);
    Click(dlg, IDC_NUMBER_BIG_ENDIAN);
    Click(dlg, IDOK);
  });
  driver.Start();
  EXPECT_EQ(view.OnWriteNumber(), 2) << "cut at the data's end";
  EXPECT_EQ(offered, "0x807") << "the bytes left at the cursor";
  EXPECT_EQ(data[6], 0x00);
  EXPECT_EQ(data[7], 0x00) << "big-endian 00 00 12 34, cut after two bytes";
  view.SetCursorAddress(0, FALSE);
  DlgDriver again;
  again.Do([&](HWND dlg) {
    TypeInto(GetDlgItem(dlg, IDC_NUMBER_INPUT), "0x1234");
    Click(dlg, IDOK);
  });
  again.Start();
  EXPECT_EQ(view.OnWriteNumber(), 4);
  EXPECT_EQ(std::string((char*)data, 4), std::string("\x34\x12\0\0", 4));
  static const BYTE kConst[4] = {};
  view.SetData((void*)kConst, 4, 0, 0);
  std::string box;
  DlgDriver readOnly;
  readOnly.Do([&](HWND dlg) { Click(dlg, IDOK); }).Do([&](HWND dlg) {
    box = MsgBoxText(dlg);
    Click(dlg, IDOK);
  });
  readOnly.Start();
  EXPECT_EQ(view.OnWriteNumber(), 0);
  EXPECT_EQ(box, "Die Daten sind schreibgeschützt !");
}

TEST_F(ViewTest, HexCopyInCppFormatRunsTheDialogAndKeepsItsChoices) {
  TestAppNames names;
  CHexView view;
  BYTE data[8] = {1, 2, 3, 4};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  view.SetSelectionEnd(4, FALSE);
  std::string caption, label, width;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    caption = TextOf(dlg);
    label = ItemText(dlg, IDC_NUMBER_LABEL);
    width = ItemText(dlg, IDC_NUMBER_INPUT);
    TypeInto(GetDlgItem(dlg, IDC_NUMBER_INPUT), "2");
    Click(dlg, IDC_NUMBER_WORD);
    Click(dlg, IDC_NUMBER_FMT_ASM);
  });
  std::string preview;
  driver.Then([&](HWND dlg) {
    // The preview follows about 600 ms after the last change.
    preview = ItemText(dlg, IDC_NUMBER_PREVIEW);
    if (preview != "DW\t00201h,00403h") return false;
    Click(dlg, IDOK);
    return true;
  });
  driver.Start(100);
  EXPECT_GT(SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_COPY_CPP, 0), -1);
  EXPECT_TRUE(driver.Finished()) << preview;
  EXPECT_EQ(caption, "Kopiere im C++ Format");
  EXPECT_EQ(label, "Spaltenbreite");
  EXPECT_EQ(width, "16") << "the starting line size";
  EXPECT_EQ(ClipboardString(), "DW\t00201h,00403h\r\n");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (names.ProgramKeyPath() + "\\CppCopyDlg").c_str(), 0, KEY_READ, &key), 0);
  auto value = [&](const char* name) {
    DWORD v = 0, size = sizeof v;
    RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)&v, &size);
    return v;
  };
  EXPECT_EQ(value("ValueSize"), 2u);
  EXPECT_EQ(value("LineSize"), 2u);
  EXPECT_EQ(value("Format"), 1u);
  EXPECT_EQ(value("BigEndian"), 0u);
  RegCloseKey(key);
}

TEST_F(ViewTest, HexSettingsDialogAppliesTheFormatAndNotifies) {
  CHexView view;
  BYTE data[64] = {};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    Click(dlg, IDC_CFG_FIXED);
    SetDlgItemInt(dlg, IDC_CFG_FIXED_N, 8, FALSE);
    Click(dlg, IDC_CFG_OUT_WORD);
    Click(dlg, IDOK);
  });
  driver.Start();
  SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_SETTINGS, 0);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(view.GetLayout().bytesPerLine, 8);
  EXPECT_EQ(view.GetLayout().groupShift, 1);
  EXPECT_FALSE(view.GetFlags() & kHexViewAutoWidth) << "fixed width";
  bool notified = false;
  for (const std::string& n : Notes()) notified |= n.rfind("11254 ", 0) == 0;
  EXPECT_TRUE(notified) << ::testing::PrintToString(Notes());
}

TEST_F(ViewTest, HexChecksumAndConverterGetTheSelectedBytes) {
  TestAppNames names;  // the converter keeps its history in the program key
  CHexView view;
  BYTE data[16] = {1, 2, 3, 0, 0x34, 0x12};
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  view.SetSelectionEnd(3, FALSE);
  std::string sum;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    sum = ItemText(dlg, IDC_SUM_BYTE_ADD);
    Click(dlg, IDOK);
  });
  driver.Start();
  SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_CHECKSUM, 0);
  EXPECT_EQ(sum, "0x00000006");
  view.SetCursorAddress(4, FALSE);
  view.SetSelectionEnd(6, FALSE);
  std::string hex;
  DlgDriver converter;
  converter.Then([&](HWND dlg) {
    hex = ItemText(dlg, IDC_NUM_HEX);
    if (hex.empty()) return false;
    Click(dlg, IDOK);
    return true;
  });
  converter.Start(100);
  SetForegroundWindow(m_parent);
  SetFocus(view.m_hWnd);
  PumpMessages(10);
  WithModifiers(false, true, [&] { Key('Y'); });
  EXPECT_TRUE(converter.Finished());
  EXPECT_NE(hex.find("1234"), std::string::npos) << hex;
}

namespace {
// Texts of every child window of a dialog.
std::string AllTexts(HWND dlg) {
  std::string all;
  EnumChildWindows(
      dlg,
      [](HWND child, LPARAM p) CALLBACK -> BOOL {
        *(std::string*)p += TextOf(child) + "|";
        return TRUE;
      },
      (LPARAM)&all);
  return all;
}
}  // namespace

TEST_F(ViewTest, HexCrcAndFloatConverterGetTheirBytes) {
  TestAppNames names;
  CHexView view;
  BYTE data[32] = {0};
  std::memcpy(data + 4, "123456789", 9);
  std::memcpy(data + 16, "\x00\x00\x00\x00\x00\x00\xF0\x3F", 8);  // 1.0
  Make(&view, 700, 200);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  view.SetCursorAddress(4, FALSE);
  view.SetSelectionEnd(13, FALSE);
  std::string crc;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    crc = AllTexts(dlg);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  driver.Start();
  SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_CRC, 0);
  // CRC-32 of "123456789" is 0xCBF43926; the dialog starts without inverting the result.
  EXPECT_NE(crc.find("0x340BC6D9"), std::string::npos) << crc;
  EXPECT_NE(crc.find("9 / 0x0009"), std::string::npos) << "the selection's length";
  view.SetCursorAddress(16, FALSE);
  std::string dump;
  DlgDriver floats;
  floats.Do([&](HWND dlg) {
    dump = AllTexts(dlg);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  floats.Start();
  SendMessageA(view.m_hWnd, WM_COMMAND, ID_HEXVIEW_FLOAT, 0);
  EXPECT_NE(dump.find("F0 3F"), std::string::npos) << dump;
}
