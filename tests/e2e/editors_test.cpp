// End-to-end value editing: a double-click or Enter on an entry opens the
// editor its type asks for, the context menu opens the hex dialog and makes
// new keys and values named in place, F2 renames a key in the tree. The
// bytes are read back through the wide registry interface.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/editors/hexeditdlg.h"
#include "controls/treelist/treelist.h"
#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "e2e/driver/registry_snapshot.h"
#include "res/resource.h"
#include "ui/dialogs/dlgids.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexchecksumdlg.h"
#include "viewers/tools/hexconfigdlg.h"
#include "viewers/tools/hexinputdlg.h"
#include "viewers/tools/numconvertdlg.h"

namespace {
const char kEditKey[] = "Software\\OstrovaTests\\E2E\\Edit";
const char kEditPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Edit";
const DWORD kBigSize = 1024 * 1024;
// The text field of the hex view's find dialog (its header's name for it is
// also one of the program's resource names).
const int kHexFindTextId = 1042;

typedef std::vector<BYTE> Bytes;

Bytes Wide(const std::wstring& text) {
  const BYTE* p = (const BYTE*)text.c_str();
  return Bytes(p, p + (text.size() + 1) * sizeof(wchar_t));
}

// The bytes of a value as the registry keeps them; false when it is missing.
bool ReadValue(const char* key, const wchar_t* name, Bytes* data, DWORD* type) {
  HKEY h = nullptr;
  std::wstring path(key, key + strlen(key));
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG err = RegQueryValueExW(h, name, nullptr, type, nullptr, &size);
  data->assign(size, 0);
  if (err == ERROR_SUCCESS) err = RegQueryValueExW(h, name, nullptr, type, data->data(), &size);
  RegCloseKey(h);
  data->resize(size);
  return err == ERROR_SUCCESS;
}

// The value as the program writes it once its dialog has gone: the write
// comes a moment after the window, so the read waits for it.
bool WaitForValue(const char* key, const wchar_t* name, const Bytes& want, DWORD* type) {
  Bytes data;
  return WaitUntil([&] { return ReadValue(key, name, &data, type) && data == want; });
}

bool KeyExists(const std::string& path) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

Bytes BigPattern() {
  Bytes data(kBigSize);
  for (DWORD i = 0; i < kBigSize; ++i) data[i] = (BYTE)(i * 7 + (i >> 12));
  return data;
}

// The key the editing scenarios work in, seeded for each and removed after.
class EditKey {
 public:
  EditKey() {
    DeleteKeyTree(HKEY_CURRENT_USER, kEditKey);
    Set("Text", REG_SZ, "Hallo Welt", 11);
    DWORD dword = 0x12345678;
    Set("Zahl", REG_DWORD, &dword, sizeof dword);
    ULONGLONG qword = 0x0123456789ABCDEFull;
    Set("Groß", REG_QWORD, &qword, sizeof qword);
    // An empty string between two: three rows.
    Set("Liste", REG_MULTI_SZ, "eins\0\0drei\0", 12);
    Bytes big = BigPattern();
    Set("Daten", REG_BINARY, big.data(), (DWORD)big.size());
    Set("Alt\\Tiefer", "Wert", REG_SZ, "bleibt", 7);
  }
  ~EditKey() { EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kEditKey)); }

 private:
  void Set(const char* name, DWORD type, const void* data, DWORD size) { Set("", name, type, data, size); }
  void Set(const std::string& sub, const char* name, DWORD type, const void* data, DWORD size) {
    std::string key = std::string(kEditKey) + (sub.empty() ? "" : "\\" + sub);
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, type, data, size), ERROR_SUCCESS) << name;
  }
};

std::string Join(const std::vector<std::string>& rows) {
  std::string s;
  for (const std::string& r : rows) s += r + "\n";
  return s;
}

// The program on the editing key, its rows shown.
class EditScenario : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    ASSERT_TRUE(app.Start(std::string("-1:") + kEditPath));
    pane.reset(new PaneReader(app.Process(), app.Pane(0)));
    // The cells come from a worker after the rows.
    ASSERT_TRUE(WaitUntil([&] {
      return pane->ComboText() == kEditPath && pane->Names() == "(Standard),Daten,Groß,Liste,Text,Zahl" &&
             RowOf("Zahl") == "Zahl|REG_DWORD|0x12345678 / 305419896";
    })) << pane->ComboText()
        << "\n"
        << Join(pane->Rows());
  }
  void TearDown() override {
    if (app.Frame()) {
      EXPECT_TRUE(app.Close());
    }
  }

  // The cells of the entry's row, "name|type|data".
  std::string RowOf(const char* name) const {
    int row = pane->RowNamed(name);
    return row < 0 ? "<none>" : pane->Rows()[row];
  }

  // A double-click with the left button on the entry's row, as the mouse
  // sends it; the cursor goes first, the messages carry its position.
  void DoubleClickRow(const char* name) {
    int row = pane->RowNamed(name);
    ASSERT_GE(row, 0) << name;
    RECT r = pane->RowRect(row);
    ASSERT_FALSE(IsRectEmpty(&r)) << name;
    POINT pt = {r.left + 40, (r.top + r.bottom) / 2};
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    ClientToScreen(pane->List(), &pt);
    SetCursorPos(pt.x, pt.y);
    HWND list = pane->List();
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
  }

  // A right click at pt (client coordinates of ctrl); the menu follows the
  // position in the messages. Waits for the menu.
  HWND RightClick(HWND ctrl, POINT pt) {
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    // The menu opens at the click; a cursor resting over it would choose
    // items under it as the keys go, so it rests far off.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    PostMessageA(ctrl, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(ctrl, WM_RBUTTONUP, 0, at);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = app.PopupMenu()) != nullptr; });
    return menu;
  }

  // Chooses an item of the open menu by keys: the menu loop takes the keys
  // posted to any window of the program's thread.
  void MenuKeys(const std::vector<UINT>& keys) {
    HWND to = app.View();
    for (UINT k : keys) {
      if (k >= 'a' && k <= 'z')
        PostMessageA(to, WM_CHAR, k, 1);
      else
        Press(to, k);
    }
  }

  HWND WaitForDialog(const std::string& title) {
    HWND dlg = nullptr;
    WaitUntil([&] { return (dlg = app.Dialog(title)) != nullptr; });
    return dlg;
  }

  OstrovaProcess app;
  std::unique_ptr<PaneReader> pane;
  EditKey key;
};

// A double-click on a string opens the prompt; OK writes the text and the
// row follows, Cancel writes nothing.
TEST_F(EditScenario, DoubleClickEditsAString) {
  DoubleClickRow("Text");
  HWND dlg = WaitForDialog("Bearbeite  'Text'");
  ASSERT_NE(dlg, nullptr);
  HWND edit = GetDlgItem(dlg, IDC_PROMPT_EDIT);
  EXPECT_EQ(TextOf(edit), "Hallo Welt");

  SendMessageA(edit, EM_SETSEL, 0, -1);
  Type(edit, "Grüße, „Maß“ €");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == "Grüße, „Maß“ €"; })) << TextOf(edit);
  SaveScreen(dlg, "edit_prompt");
  Press(edit, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  const Bytes data = Wide(L"Gr\u00fc\u00dfe, \u201eMa\u00df\u201c \u20ac");
  DWORD type = 0;
  ASSERT_TRUE(WaitForValue(kEditKey, L"Text", data, &type));
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_TRUE(WaitUntil([&] { return RowOf("Text") == "Text|REG_SZ|\"Grüße, „Maß“ €\""; })) << RowOf("Text");
  SaveScreen(app.Frame(), "edit_rows");

  // Cancel: the value stays as it is.
  DoubleClickRow("Text");
  ASSERT_NE(dlg = WaitForDialog("Bearbeite  'Text'"), nullptr);
  edit = GetDlgItem(dlg, IDC_PROMPT_EDIT);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  Type(edit, "verworfen");
  Press(edit, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Bytes after;
  ASSERT_TRUE(ReadValue(kEditKey, L"Text", &after, &type));
  EXPECT_TRUE(after == data);
  EXPECT_EQ(RowOf("Text"), "Text|REG_SZ|\"Grüße, „Maß“ €\"");
}

// "(Standard)" of a key without a default value starts as empty text;
// OK makes the default value, a string, and no value of that name.
TEST_F(EditScenario, TheMissingDefaultValueIsMadeByItsPrompt) {
  DoubleClickRow("(Standard)");
  HWND dlg = WaitForDialog("Bearbeite Wert");
  ASSERT_NE(dlg, nullptr);
  HWND edit = GetDlgItem(dlg, IDC_PROMPT_EDIT);
  EXPECT_EQ(TextOf(edit), "");
  Type(edit, "Vorgabe");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == "Vorgabe"; }));
  Press(edit, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Bytes data;
  DWORD type = 0;
  // The value is written after the dialog has gone.
  ASSERT_TRUE(WaitUntil([&] { return ReadValue(kEditKey, nullptr, &data, &type); }));
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_TRUE(data == Wide(L"Vorgabe"));
  EXPECT_FALSE(ReadValue(kEditKey, L"(Standard)", &data, &type));
  EXPECT_TRUE(WaitUntil([&] { return RowOf("(Standard)") == "(Standard)|REG_SZ|\"Vorgabe\""; })) << RowOf("(Standard)");
}

// Gives the list the focus on the entry's row.
bool ChooseRow(const PaneReader& pane, const char* name) {
  int row = pane.RowNamed(name);
  if (row < 0) return false;
  SendMessageA(pane.List(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)pane.RowItem(row));
  FocusIn(pane.List());
  return WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); });
}

// Enter on a DWORD opens the converter; typed keys are evaluated at OK.
TEST_F(EditScenario, EnterOnANumberOpensTheConverter) {
  struct Case {
    const char* name;
    const wchar_t* wideName;
    const char* input;
    const char* decimal;  // the converter's decimal field
    Bytes bytes;
    const char* row;
  } cases[] = {
      {"Zahl", L"Zahl", "258", "258", {0x02, 0x01, 0x00, 0x00}, "Zahl|REG_DWORD|0x00000102 / 258"},
      {"Groß",
       L"Gro\u00df",
       "0x123456789ABCDEF0",
       "1311768467463790320",
       {0xF0, 0xDE, 0xBC, 0x9A, 0x78, 0x56, 0x34, 0x12},
       "Groß|REG_QWORD|0x123456789ABCDEF0 / 1311768467463790320"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ChooseRow(*pane, c.name));
    Press(pane->List(), VK_RETURN);
    HWND dlg = WaitForDialog(std::string("Bearbeite  '") + c.name + "'");
    ASSERT_NE(dlg, nullptr);
    HWND combo = GetDlgItem(dlg, IDC_NUM_INPUT);
    HWND edit = GetDlgItem(combo, IDC_COMBO_EDIT);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, c.input);
    // The fields follow the typed text.
    HWND decimal = GetDlgItem(dlg, IDC_NUM_DECIMAL);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(decimal) == c.decimal; })) << TextOf(decimal);
    SaveScreen(dlg, c.bytes.size() == 4 ? "edit_converter" : "edit_converter_qword");
    Press(edit, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
    DWORD type = 0;
    EXPECT_TRUE(WaitForValue(kEditKey, c.wideName, c.bytes, &type));
    EXPECT_TRUE(WaitUntil([&] { return RowOf(c.name) == c.row; })) << RowOf(c.name);
  }
}

// The multi-string's rows editor: OK writes the strings back as they were,
// the empty one in the middle too.
TEST_F(EditScenario, MultiStringRowsWriteBackAsTheyWere) {
  Bytes before;
  DWORD type = 0;
  ASSERT_TRUE(ReadValue(kEditKey, L"Liste", &before, &type));
  DoubleClickRow("Liste");
  HWND dlg = WaitForDialog("Bearbeite  'Liste'");
  ASSERT_NE(dlg, nullptr);
  HWND rows = GetDlgItem(dlg, IDC_CHOICE_TREELIST);
  ASSERT_NE(rows, nullptr);
  // Three strings and the empty row that adds one.
  EXPECT_EQ(SendMessageA(rows, TLM_GETROWCOUNT, 0, 0), 4);
  WaitUntil([] { return false; }, 300);  // let it paint
  SaveScreen(dlg, "edit_multi_rows");
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Bytes after;
  ASSERT_TRUE(ReadValue(kEditKey, L"Liste", &after, &type));
  EXPECT_EQ(type, (DWORD)REG_MULTI_SZ);
  EXPECT_TRUE(after == before) << after.size() << " bytes";
}

// "Binärdaten ändern" from a row's menu opens the hex dialog on the 1 MB
// value; one byte changed at offset 500000 is all that changes.
TEST_F(EditScenario, BinaryDataOfAMegabyteInTheHexDialog) {
  int row = pane->RowNamed("Daten");
  ASSERT_GE(row, 0);
  RECT r = pane->RowRect(row);
  ASSERT_NE(RightClick(pane->List(), {r.left + 40, (r.top + r.bottom) / 2}), nullptr);
  WaitUntil([] { return false; }, 200);  // let it paint
  SaveScreen(GetDesktopWindow(), "edit_row_menu");
  // "Feld kopieren", "&Ändern...", "Binärdaten ändern".
  MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  HWND dlg = WaitForDialog("Bearbeite  'Daten'");
  ASSERT_NE(dlg, nullptr);
  HWND length = GetDlgItem(dlg, IDC_HEXEDIT_LENGTH);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(length) == " 1048576 / 100000h byte  REG_BINARY"; })) << TextOf(length);
  SaveScreen(dlg, "edit_hex_1mb");
  HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
  ASSERT_NE(view, nullptr);
  // Where "go to" puts the cursor; then two hex digits typed.
  SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 500000);
  Type(view, "5a");
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Bytes want = BigPattern();
  want[500000] = 0x5A;
  DWORD type = 0;
  ASSERT_TRUE(WaitForValue(kEditKey, L"Daten", want, &type));
  EXPECT_EQ(type, (DWORD)REG_BINARY);
}

// The hex view inside the program: its context menu's tools and Ctrl+Y
// work on the bytes selected in "Binärdaten ändern".
TEST_F(EditScenario, HexViewToolsInTheBinaryDialog) {
  int row = pane->RowNamed("Daten");
  ASSERT_GE(row, 0);
  RECT r = pane->RowRect(row);
  ASSERT_NE(RightClick(pane->List(), {r.left + 40, (r.top + r.bottom) / 2}), nullptr);
  MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  HWND dlg = WaitForDialog("Bearbeite  'Daten'");
  ASSERT_NE(dlg, nullptr);
  HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
  ASSERT_NE(view, nullptr);
  // Bytes 0x10-0x13 of the pattern: 70 77 7E 85; they come again at 0x110.
  Bytes data = BigPattern();
  ASSERT_EQ(data[0x10], 0x70);
  ASSERT_EQ(data[0x13], 0x85);
  SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 0x10);
  SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSelectTo, 0x14);
  ASSERT_EQ(SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdGetSelection, 0), 0x10);
  // Opens the view's menu and chooses the item by its mnemonic; the tool
  // dialog of that caption, or nullptr.
  auto tool = [&](char mnemonic, const char* caption) -> HWND {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    PostMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 30));
    PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(60, 30));
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = app.PopupMenu()) != nullptr; })) return nullptr;
    PostMessageA(view, WM_CHAR, (WPARAM)mnemonic, 1);
    return WaitForDialog(caption);
  };
  auto close = [&](HWND tool, int button) {
    PostMessageA(tool, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(tool, button));
    return WaitUntil([&] { return !IsWindow(tool); });
  };

  // Checksumme: the sums of the selected bytes.
  HWND sums = tool('c', "Checksumme");
  ASSERT_NE(sums, nullptr);
  SaveScreen(sums, "hex_tool_checksum");
  EXPECT_EQ(TextOf(GetDlgItem(sums, IDC_SUM_BYTE_ADD)), "0x000001EA");
  EXPECT_EQ(TextOf(GetDlgItem(sums, IDC_SUM_BYTE_XOR)), "0x000000FC");
  EXPECT_EQ(TextOf(GetDlgItem(sums, IDC_SUM_DWORD_ADD)), "0x857E7770");
  ASSERT_TRUE(close(sums, IDCANCEL));

  // Ctrl+Y from the keyboard's side: the view reads Ctrl from the
  // asynchronous key state, which posted keys do not set. Wine answers that
  // state from a cache for 50 ms after a query that found the key up, so a
  // press right after the view's last query can go unseen: the press is
  // made again until the converter shows. Ctrl is let go each time.
  FocusIn(view);
  ASSERT_EQ(FocusOf(view), view);
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
  keys[1].ki.wVk = keys[2].ki.wVk = 'Y';
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  HWND numbers = nullptr;
  for (int attempt = 0; attempt < 5 && !numbers; ++attempt) {
    SendInput(3, keys, sizeof(INPUT));
    WaitUntil([&] { return (numbers = app.Dialog("Zahlen umwandeln")) != nullptr; }, 1000);
    SendInput(1, &keys[3], sizeof(INPUT));
  }
  ASSERT_NE(numbers, nullptr);
  SaveScreen(numbers, "hex_tool_converter");
  EXPECT_EQ(TextOf(GetDlgItem(numbers, IDC_NUM_HEX)), "0x857E7770");
  EXPECT_EQ(TextOf(GetDlgItem(numbers, IDC_NUM_DECIMAL)), "-2055309456");
  ASSERT_TRUE(close(numbers, IDCANCEL));

  // Suchen: the selection is the text sought; OK finds its next place.
  HWND find = tool('s', "Wert suchen");
  ASSERT_NE(find, nullptr);
  SaveScreen(find, "hex_tool_find");
  EXPECT_EQ(TextOf(GetDlgItem(find, kHexFindTextId)), ":70 77 7E 85");
  ASSERT_TRUE(close(find, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdGetSelection, 0) == 0x110; }))
      << SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdGetSelection, 0);

  // Zu Adresse: the selected bytes as the address offered; a typed one taken.
  HWND go = tool('z', "Cursor setzen");
  ASSERT_NE(go, nullptr);
  SaveScreen(go, "hex_tool_goto");
  HWND field = GetDlgItem(go, IDC_INPUT_COMBO);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(TextOf(field), "0x857E7770");
  SetWindowTextA(field, "0x1234");
  ASSERT_TRUE(close(go, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdGetCursorOrAnchor, 0) == 0x1234; }))
      << SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdGetCursorOrAnchor, 0);

  // Einstellungen: the view's settings; cancelled, nothing changes.
  HWND settings = tool('e', "Konfiguration");
  ASSERT_NE(settings, nullptr);
  SaveScreen(settings, "hex_tool_settings");
  EXPECT_EQ(TextOf(GetDlgItem(settings, IDC_CFG_DIGITS)), "8");
  EXPECT_EQ(SendMessageA(GetDlgItem(settings, IDC_CFG_SPACE), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(GetDlgItem(settings, IDC_CFG_SHOW_DWORD), BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_TRUE(close(settings, IDCANCEL));

  // Nothing was written: Cancel leaves the value as it was.
  ASSERT_TRUE(close(dlg, IDCANCEL));
  Bytes after;
  DWORD type = 0;
  ASSERT_TRUE(ReadValue(kEditKey, L"Daten", &after, &type));
  EXPECT_TRUE(after == data);
}

// The in-place editor of a tree-list while it is open, or nullptr (a
// closed one may stay as a hidden window).
HWND OpenEditor(HWND treelist) {
  HWND edit = (HWND)SendMessageA(treelist, TVM_GETEDITCONTROL, 0, 0);
  return edit && IsWindowVisible(edit) ? edit : nullptr;
}

HWND InPlaceEditor(HWND treelist) {
  HWND edit = nullptr;
  WaitUntil([&] { return (edit = OpenEditor(treelist)) != nullptr; });
  return edit;
}

// Replaces the editor's text by typing and confirms it with Return; true
// once the editor has closed.
bool TypeName(HWND edit, const std::string& name) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  Type(edit, name);
  WaitUntil([&] { return TextOf(edit) == name; });
  Press(edit, VK_RETURN);
  return WaitUntil([&] { return !IsWindow(edit) || !IsWindowVisible(edit); });
}

// A row of the multi-string editor opened by a double-click: its edit box
// grows with what is typed, the first letters stay in sight. Escape and
// Cancel keep the value.
TEST_F(EditScenario, MultiStringRowEditorGrowsWithItsText) {
  Bytes before;
  DWORD type = 0;
  ASSERT_TRUE(ReadValue(kEditKey, L"Liste", &before, &type));
  DoubleClickRow("Liste");
  HWND dlg = WaitForDialog("Bearbeite  'Liste'");
  ASSERT_NE(dlg, nullptr);
  HWND rows = GetDlgItem(dlg, IDC_CHOICE_TREELIST);
  ASSERT_NE(rows, nullptr);
  HTREEITEM first = (HTREEITEM)SendMessageA(rows, TLM_GETROWITEM, 0, 0);
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  RECT r = {};
  ASSERT_TRUE(buf.Write(&first, sizeof first) && SendMessageA(rows, TVM_GETITEMRECT, TRUE, (LPARAM)buf.Address()) &&
              buf.Read(&r, sizeof r));
  POINT pt = {r.left + 5, (r.top + r.bottom) / 2};
  LPARAM at = MAKELPARAM(pt.x, pt.y);
  ClientToScreen(rows, &pt);
  SetCursorPos(pt.x, pt.y);
  PostMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(rows, WM_LBUTTONUP, 0, at);
  PostMessageA(rows, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(rows, WM_LBUTTONUP, 0, at);
  HWND edit = InPlaceEditor(rows);
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(TextOf(edit), "eins");
  RECT opened;
  GetWindowRect(edit, &opened);
  const std::string text = "eins und ein Text, der breiter ist als sein Feld";
  SendMessageA(edit, EM_SETSEL, 4, 4);
  Type(edit, text.substr(4));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == text; })) << TextOf(edit);
  RECT grown;
  GetWindowRect(edit, &grown);
  EXPECT_GT(grown.right, opened.right);
  EXPECT_GE((short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0)), 0) << "the first letter scrolled away";
  SaveScreen(dlg, "edit_multi_row_typing");
  Press(edit, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return OpenEditor(rows) == nullptr; }));
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Bytes after;
  ASSERT_TRUE(ReadValue(kEditKey, L"Liste", &after, &type));
  EXPECT_TRUE(after == before);
}

// "Neu" from the context menu of the list's empty area: each value type is
// made and named in place, with the empty data of its type.
TEST_F(EditScenario, NewValuesAreNamedInPlace) {
  struct Case {
    int item;  // in the "Neu" menu: 0 key, then the value types
    const char* name;
    const wchar_t* wideName;
    DWORD type;
    Bytes data;
  } cases[] = {
      {1, "Neu Zeichenfolge", L"Neu Zeichenfolge", REG_SZ, {0, 0}},
      {2, "Neu Binär", L"Neu Bin\u00e4r", REG_BINARY, {}},
      {3, "Neu DWORD", L"Neu DWORD", REG_DWORD, {0, 0, 0, 0}},
      {4, "Neu QWORD", L"Neu QWORD", REG_QWORD, Bytes(8, 0)},
      {5, "Neu Mehrfach", L"Neu Mehrfach", REG_MULTI_SZ, Bytes(4, 0)},
      {6, "Neu Erweiterbar", L"Neu Erweiterbar", REG_EXPAND_SZ, {0, 0}},
  };
  HWND list = pane->List();
  RECT client;
  GetClientRect(list, &client);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND menu = RightClick(list, {client.right / 2, client.bottom - 30});
    ASSERT_NE(menu, nullptr);
    // "&Neu" opens on its first item.
    std::vector<UINT> keys = {'n'};
    keys.insert(keys.end(), c.item, VK_DOWN);
    if (c.item == 1) {
      MenuKeys(keys);
      WaitUntil([] { return false; }, 300);  // let the submenu paint
      SaveScreen(GetDesktopWindow(), "edit_new_menu");
      keys.clear();
    }
    keys.push_back(VK_RETURN);
    MenuKeys(keys);
    HWND edit = InPlaceEditor(list);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TextOf(edit), "Neuer Wert #1");
    EXPECT_TRUE(TypeName(edit, c.name));
    Bytes data;
    DWORD type = 0;
    EXPECT_TRUE(WaitUntil([&] { return ReadValue(kEditKey, c.wideName, &data, &type); }));
    EXPECT_EQ(type, c.type);
    EXPECT_TRUE(data == c.data) << data.size() << " bytes";
    EXPECT_FALSE(ReadValue(kEditKey, L"Neuer Wert #1", &data, &type));
    EXPECT_TRUE(WaitUntil([&] { return pane->RowNamed(c.name) >= 0; })) << pane->Names();
  }
  WaitUntil([] { return false; }, 300);  // let the status bar repaint
  SaveScreen(app.Frame(), "edit_new_values");
}

// The tree item of a key below the roots, or nullptr.
HTREEITEM TreePath(const PaneReader& pane, std::initializer_list<const char*> names) {
  HTREEITEM item = nullptr;
  for (const char* name : names)
    if (!WaitUntil([&] { return pane.ChildNamed(item, name) != nullptr; }) || !(item = pane.ChildNamed(item, name)))
      return nullptr;
  return item;
}

// A new key from the key tree's menu is named in place; F2 in the tree
// renames a key with what it holds.
TEST_F(EditScenario, NewKeyAndRenameInTheTree) {
  HWND tree = pane->Tree();
  HTREEITEM edit = TreePath(*pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Edit"});
  ASSERT_NE(edit, nullptr);
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  RECT r = {};
  ASSERT_TRUE(buf.Write(&edit, sizeof edit) && SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)buf.Address()) &&
              buf.Read(&r, sizeof r));
  ASSERT_NE(RightClick(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}), nullptr);
  WaitUntil([] { return false; }, 200);  // let it paint
  SaveScreen(GetDesktopWindow(), "edit_key_menu");
  MenuKeys({'n', VK_RETURN});
  HWND editor = nullptr;
  HWND in = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND ctrl : {tree, pane->List()})
      if ((editor = OpenEditor(ctrl)) != nullptr) {
        in = ctrl;
        return true;
      }
    return false;
  }));
  EXPECT_EQ(TextOf(editor), "Neuer Schlüssel #1");
  EXPECT_TRUE(TypeName(editor, "Neuer Schlüssel"));
  const std::string made = std::string(kEditKey) + "\\Neuer Schlüssel";
  EXPECT_TRUE(WaitUntil([&] { return KeyExists(made); }));
  EXPECT_FALSE(KeyExists(std::string(kEditKey) + "\\Neuer Schlüssel #1"));
  SaveScreen(app.Frame(), in == tree ? "edit_new_key_tree" : "edit_new_key_list");

  // F2 on "Alt" in the tree.
  HTREEITEM old = TreePath(*pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Edit", "Alt"});
  ASSERT_NE(old, nullptr);
  PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)old);
  FocusIn(tree);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(tree) == tree; }));
  Press(tree, VK_F2);
  ASSERT_NE(editor = InPlaceEditor(tree), nullptr);
  EXPECT_EQ(TextOf(editor), "Alt");
  EXPECT_TRUE(TypeName(editor, "Umbenannt"));
  EXPECT_TRUE(WaitUntil([&] { return !KeyExists(std::string(kEditKey) + "\\Alt"); }));
  Bytes data;
  DWORD type = 0;
  EXPECT_TRUE(ReadValue((std::string(kEditKey) + "\\Umbenannt\\Tiefer").c_str(), L"Wert", &data, &type));
  EXPECT_TRUE(data == Wide(L"bleibt"));
  EXPECT_TRUE(WaitUntil([&] { return pane->ItemText(tree, old) == "Umbenannt"; })) << pane->ItemText(tree, old);
}

}  // namespace

namespace {

// Everything below HKCU\path through the 16-bit calls: values with type and
// bytes, subkeys in name order; "<missing>" when the key is not there.
std::string DumpTree(HKEY parent, const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
  std::string out;
  std::vector<std::wstring> subs;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    BYTE data[4096];
    DWORD n = 16384, type = 0, size = sizeof data;
    if (RegEnumValueW(key, i, name, &n, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    out += "v " + std::string((const char*)name, n * 2) + " " + std::to_string(type) + " " +
           std::string((const char*)data, size) + "\n";
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[300];
    DWORD n = 300;
    if (RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subs.emplace_back(name, n);
  }
  std::sort(subs.begin(), subs.end());
  for (const std::wstring& sub : subs)
    out += "k " + std::string((const char*)sub.data(), sub.size() * 2) + "\n" + DumpTree(key, sub);
  RegCloseKey(key);
  return out;
}

// F2 on a key in the tree whose siblings lie on both sides of the old and
// the new name and hold subtrees: the key moves with every byte, and every
// sibling keeps every byte (the system's own rename under Wine took one).
TEST_F(EndToEnd, TreeRenameKeepsEverySibling) {
  const char key[] = "Software\\OstrovaTests\\E2E\\Geschwister";
  const std::wstring wideKey = L"Software\\OstrovaTests\\E2E\\Geschwister";
  DeleteKeyTree(HKEY_CURRENT_USER, key);
  auto set = [&](const std::string& sub, const char* name, DWORD type, const void* data, DWORD size) {
    std::string path = std::string(key) + "\\" + sub;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, type, data, size), ERROR_SUCCESS);
  };
  for (const char* sib : {"Aaa", "Neu #1", "Sub", "Zzz"}) {
    std::string s(sib);
    set(s, "Text", REG_SZ, sib, (DWORD)s.size() + 1);
    set(s, "Bytes", REG_BINARY, "\x00\x01\x02\xFF", 4);
    set(s + "\\Kind\\Enkel", "Tief", REG_DWORD, "\x04\x03\x02\x01", 4);
  }
  for (int i = 0; i < 200; ++i) set("Sub\\child\\" + std::to_string(i), "n", REG_DWORD, &i, 4);
  std::wstring base = wideKey + L"\\";
  std::string moved = DumpTree(HKEY_CURRENT_USER, base + L"Neu #1");
  std::string others = DumpTree(HKEY_CURRENT_USER, base + L"Aaa") + DumpTree(HKEY_CURRENT_USER, base + L"Sub") +
                       DumpTree(HKEY_CURRENT_USER, base + L"Zzz");

  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:HKEY_CURRENT_USER\\") + key));
  PaneReader pane(app.Process(), app.Pane(0));
  HWND tree = pane.Tree();
  HTREEITEM item = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Geschwister", "Neu #1"});
  ASSERT_NE(item, nullptr);
  PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
  FocusIn(tree);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(tree) == tree; }));
  Press(tree, VK_F2);
  HWND editor = InPlaceEditor(tree);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(TextOf(editor), "Neu #1");
  EXPECT_TRUE(TypeName(editor, "Neu xyz"));
  EXPECT_TRUE(WaitUntil([&] { return DumpTree(HKEY_CURRENT_USER, base + L"Neu #1") == "<missing>"; }));
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, base + L"Neu xyz"), moved);
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, base + L"Aaa") + DumpTree(HKEY_CURRENT_USER, base + L"Sub") +
                DumpTree(HKEY_CURRENT_USER, base + L"Zzz"),
            others);
  HTREEITEM parent = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Geschwister"});
  EXPECT_TRUE(WaitUntil([&] { return pane.Children(parent) == "Aaa,Neu xyz,Sub,Zzz"; })) << pane.Children(parent);
  SaveScreen(app.Frame(), "edit_rename_key_siblings");
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, key));
}

}  // namespace
