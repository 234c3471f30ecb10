// The value editors on real registry values: a timer inside the modal loop
// finds the editor by its title and drives it, and answers error boxes.
#include "app/editors/valueeditor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/editors/hexeditdlg.h"
#include "controls/dialogs/choicetreelist.h"
#include "controls/treelist/treelist.h"
#include "harness/registry_util.h"
#include "res/resource.h"
#include "ui/colorlistbox.h"
#include "ui/dialogs/dlgids.h"
#include "ui/msgbox.h"
#include "viewers/tools/numconvertdlg.h"
#include "harness/window_util.h"

namespace {

typedef std::vector<BYTE> Bytes;

struct Driver {
  std::string title;
  std::function<void(HWND)> act;
  bool acted = false;
  int boxes = 0;
  std::string boxText;
};
Driver* g_driver = nullptr;

HWND FindThreadWindow(const char* title) {
  struct Find {
    const char* title;
    HWND found;
  } find = {title, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        Find* f = (Find*)lp;
        char text[256];
        GetWindowTextA(w, text, sizeof text);
        if (IsWindowVisible(w) && std::string(text) == f->title) {
          f->found = w;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&find);
  return find.found;
}

VOID CALLBACK DriveTimer(HWND, UINT, UINT_PTR, DWORD) {
  Driver* d = g_driver;
  if (!d) return;
  if (HWND box = FindThreadWindow("Fehler")) {
    HWND list = GetDlgItem(box, kMsgBoxTextId);
    int count = (int)SendMessageA(list, CLB_GETCOUNT, 0, 0);
    d->boxText.clear();
    for (int i = 0; i < count; i++) {
      char text[512] = {};
      SendMessageA(list, CLB_GETTEXT, i, (LPARAM)text);
      d->boxText += text;
      d->boxText += "\n";
    }
    ++d->boxes;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return;
  }
  if (d->acted) return;
  if (HWND w = FindThreadWindow(d->title.c_str())) {
    d->acted = true;
    d->act(w);
  }
}

// Runs the edit with a timer that acts once on the window titled title.
int RunEdit(Driver& d, HKEY root, const std::string& path, const char* name, bool isDefault, bool binary = false) {
  g_driver = &d;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, DriveTimer);
  int r = EditRegistryValue(nullptr, root, path.c_str(), name, isDefault, binary);
  KillTimer(nullptr, timer);
  g_driver = nullptr;
  return r;
}

void Seed(HKEY key, const char* name, DWORD type, const Bytes& data) {
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExA(key, name, 0, type, data.empty() ? nullptr : data.data(), (DWORD)data.size()));
}
void SeedW(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, (const BYTE*)data, size));
}

// Bytes and type as the 16-bit interface reads them; false when missing.
bool ReadW(HKEY key, const char* name, Bytes* data, DWORD* type) {
  wchar_t wname[512] = L"";
  if (name) MultiByteToWideChar(CP_ACP, 0, name, -1, wname, 512);
  DWORD size = 0;
  if (RegQueryValueExW(key, name ? wname : nullptr, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
  data->assign(size, 0);
  return RegQueryValueExW(key, name ? wname : nullptr, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}
// Bytes and type as the 8-bit interface reads them.
bool ReadA(HKEY key, const char* name, Bytes* data, DWORD* type) {
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
  data->assign(size, 0);
  return RegQueryValueExA(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}

Bytes TextZ(const std::string& s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

void SetAndOk(HWND dlg, int id, const std::string& text) {
  SetDlgItemTextA(dlg, id, text.c_str());
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}

void SaveShot(HWND dlg, const char* name) {
  SetForegroundWindow(dlg);
  RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages(300);
  WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath(name).c_str());
}

class ValueEditor : public testing::Test {
 protected:
  void SetUp() override { CHexEditDlg::ResetProcessState(); }
  TestAppNames names;
  TestRegistryKey key;
  HKEY K() const { return key.Handle(); }
  std::string P() const { return key.FullPath(); }
};

// --- strings in the prompt ---------------------------------------------------

TEST_F(ValueEditor, PromptAppendsToAnAnsiString) {
  const std::string text = "Grüße, „Maß“ €";
  Seed(K(), "s", REG_SZ, TextZ(text));
  Driver d;
  d.title = "Bearbeite  's'";
  std::string shown;
  d.act = [&](HWND dlg) {
    char buf[256];
    GetDlgItemTextA(dlg, IDC_PROMPT_EDIT, buf, sizeof buf);
    shown = buf;
    SaveShot(dlg, "editor_prompt.png");
    SetAndOk(dlg, IDC_PROMPT_EDIT, shown + "!");
  };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "s", false));
  EXPECT_EQ(text, shown);
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "s", &got, &type));
  EXPECT_EQ(DWORD(REG_SZ), type);
  EXPECT_EQ(TextZ(text + "!"), got);
}

TEST_F(ValueEditor, ExpandStringStaysUnexpanded) {
  Seed(K(), "e", REG_EXPAND_SZ, TextZ("%TEMP%\\x"));
  Driver d;
  d.title = "Bearbeite  'e'";
  d.act = [](HWND dlg) { SetAndOk(dlg, IDC_PROMPT_EDIT, "%TMP%\\y"); };
  EXPECT_EQ(kEditWritten, RunEdit(d, HKEY_CURRENT_USER, key.Path(), "e", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "e", &got, &type));
  EXPECT_EQ(DWORD(REG_EXPAND_SZ), type);
  EXPECT_EQ(TextZ("%TMP%\\y"), got);
}

TEST_F(ValueEditor, AnEntryOf3000CharactersIsWrittenWhole) {
  Seed(K(), "long", REG_SZ, TextZ("short"));
  std::string entry(3000, 'x');
  for (size_t i = 0; i < entry.size(); i += 7) entry[i] = (char)('a' + i % 26);
  Driver d;
  d.title = "Bearbeite  'long'";
  d.act = [&](HWND dlg) { SetAndOk(dlg, IDC_PROMPT_EDIT, entry); };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "long", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "long", &got, &type));
  EXPECT_EQ(3001u, got.size());
  EXPECT_EQ(TextZ(entry), got);
}

// Which editor a string of a size opens, and Cancel leaving it as seeded.
TEST_F(ValueEditor, StringSizesChooseTheEditorAndCancelKeepsThem) {
  struct Case {
    DWORD bytes;
    bool prompt;
  } cases[] = {{999, true}, {1000, false}, {1100, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    Bytes seeded = TextZ(std::string(c.bytes - 1, 'q'));
    Seed(K(), "n", REG_SZ, seeded);
    Driver d;
    d.title = "Bearbeite  'n'";
    bool sawPrompt = false, sawHex = false;
    d.act = [&](HWND dlg) {
      sawPrompt = GetDlgItem(dlg, IDC_PROMPT_EDIT) != nullptr;
      sawHex = GetDlgItem(dlg, IDC_HEXEDIT_VIEW) != nullptr;
      PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(kEditUnchanged, RunEdit(d, nullptr, P(), "n", false));
    EXPECT_EQ(c.prompt, sawPrompt);
    EXPECT_EQ(!c.prompt, sawHex);
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadA(K(), "n", &got, &type));
    EXPECT_EQ(seeded, got);
  }
}

// --- numbers in the converter -----------------------------------------------

TEST_F(ValueEditor, DwordInputsOfEveryFormAndShortValues) {
  struct Case {
    Bytes seeded;
    const char* input;
    Bytes expect;
    const char* shown;  // hex field on opening
  } cases[] = {
      {{}, "258", {2, 1, 0, 0}, "0x0"},
      {{1}, "-1", {0xFF, 0xFF, 0xFF, 0xFF}, "0x1"},
      {{1, 2}, "'A'", {0x41, 0, 0, 0}, "0x201"},
      {{1, 2, 3}, "0b101", {5, 0, 0, 0}, "0x30201"},
      {{1, 2, 3, 4}, "0o17", {15, 0, 0, 0}, "0x4030201"},
      {{9, 9, 9, 9}, "rgb(1,2,3)", {3, 2, 1, 0}, "0x9090909"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    Seed(K(), "d", REG_DWORD, c.seeded);
    Driver d;
    d.title = "Bearbeite  'd'";
    std::string shown;
    d.act = [&](HWND dlg) {
      char buf[80];
      GetDlgItemTextA(dlg, IDC_NUM_HEX, buf, sizeof buf);
      shown = buf;
      if (c.seeded.size() == 2) SaveShot(dlg, "editor_converter.png");
      SetAndOk(dlg, IDC_NUM_INPUT, c.input);
    };
    EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "d", false));
    EXPECT_STRCASEEQ(c.shown, shown.c_str());
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadW(K(), "d", &got, &type));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    EXPECT_EQ(c.expect, got);
  }
}

TEST_F(ValueEditor, ShortDwordCancelledStaysShort) {
  Seed(K(), "d", REG_DWORD, {1, 2});
  Driver d;
  d.title = "Bearbeite  'd'";
  d.act = [](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0); };
  EXPECT_EQ(kEditUnchanged, RunEdit(d, nullptr, P(), "d", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadW(K(), "d", &got, &type));
  EXPECT_EQ(Bytes({1, 2}), got);
}

TEST_F(ValueEditor, DwordInputThatDoesNotParseIsRefused) {
  Seed(K(), "d", REG_DWORD, {7, 0, 0, 0});
  Driver d;
  d.title = "Bearbeite  'd'";
  bool stillOpen = false;
  d.act = [&](HWND dlg) {
    SetDlgItemTextA(dlg, IDC_NUM_INPUT, "xyz");
    SendMessageA(dlg, WM_COMMAND, IDOK, 0);
    stillOpen = IsWindow(dlg) && IsWindowVisible(dlg);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(kEditUnchanged, RunEdit(d, nullptr, P(), "d", false));
  EXPECT_TRUE(stillOpen);
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadW(K(), "d", &got, &type));
  EXPECT_EQ(Bytes({7, 0, 0, 0}), got);
}

TEST_F(ValueEditor, QwordOfShortLengthsIn64Bits) {
  struct Case {
    Bytes seeded;
    const char* input;
    Bytes expect;
  } cases[] = {
      {{}, "0x123456789ABCDEF0", {0xF0, 0xDE, 0xBC, 0x9A, 0x78, 0x56, 0x34, 0x12}},
      {{1, 2, 3, 4, 5}, "-1", Bytes(8, 0xFF)},
      {{1, 2, 3, 4, 5, 6, 7, 8}, "0x100000000", {0, 0, 0, 0, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    Seed(K(), "q", REG_QWORD, c.seeded);
    Driver d;
    d.title = "Bearbeite  'q'";
    d.act = [&](HWND dlg) { SetAndOk(dlg, IDC_NUM_INPUT, c.input); };
    EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "q", false));
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadW(K(), "q", &got, &type));
    EXPECT_EQ(DWORD(REG_QWORD), type);
    EXPECT_EQ(c.expect, got);
  }
}

// --- multi-strings in rows ----------------------------------------------------

Bytes Multi(const std::vector<std::string>& strings) {
  std::string joined;
  for (const std::string& s : strings) joined += s + std::string(1, '\0');
  joined += '\0';
  return Bytes(joined.begin(), joined.end());
}

// Rows in the dialog's tree-list, read through the control.
std::vector<std::string> RowsShown(HWND dlg) {
  std::vector<std::string> rows;
  HWND tree = GetDlgItem(dlg, 1007);
  for (HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0); item;
       item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
    char text[512] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    rows.push_back(text);
  }
  return rows;
}

TEST_F(ValueEditor, MultiStringRowsWrittenBackAsTheyAre) {
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i) many.push_back("string " + std::to_string(i));
  const std::vector<std::vector<std::string>> seeds = {{"a", "b"}, {"a", "", "b"}, many};
  for (const auto& strings : seeds) {
    SCOPED_TRACE(strings.size());
    Bytes seeded = Multi(strings);
    Seed(K(), "m", REG_MULTI_SZ, seeded);
    Driver d;
    d.title = "Bearbeite  'm'";
    std::vector<std::string> shown;
    d.act = [&](HWND dlg) {
      shown = RowsShown(dlg);
      if (strings.size() == 3) SaveShot(dlg, "editor_rows.png");
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "m", false));
    // The rows and the empty row that adds more.
    ASSERT_EQ(strings.size() + 1, shown.size());
    for (size_t i = 0; i < strings.size(); ++i) EXPECT_EQ(strings[i], shown[i]);
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadA(K(), "m", &got, &type));
    EXPECT_EQ(DWORD(REG_MULTI_SZ), type);
    EXPECT_EQ(seeded, got);
  }
}

// A row typed into the empty last row, as the control reports an edit.
TEST_F(ValueEditor, MultiStringGetsARowAdded) {
  Seed(K(), "m", REG_MULTI_SZ, Multi({"a", "b"}));
  Driver d;
  d.title = "Bearbeite  'm'";
  d.act = [](HWND dlg) {
    HWND tree = GetDlgItem(dlg, 1007);
    HTREEITEM last = nullptr;
    for (HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0); item;
         item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item))
      last = item;
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = last;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    char text[16] = "c";
    NMTVDISPINFOA nm = {};
    nm.hdr.hwndFrom = tree;
    nm.hdr.idFrom = 1007;
    nm.hdr.code = TVN_ENDLABELEDITA;
    nm.item.mask = 0x801D | 0x20000000u;
    nm.item.hItem = last;
    nm.item.stateMask = (UINT)-1;
    nm.item.pszText = text;
    nm.item.cchTextMax = sizeof text - 1;
    nm.item.lParam = tv.lParam;
    SendMessageA(dlg, WM_NOTIFY, 1007, (LPARAM)&nm);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "m", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "m", &got, &type));
  EXPECT_EQ(Multi({"a", "b", "c"}), got);
}

TEST_F(ValueEditor, MultiStringCancelKeepsItAndRowsStayEditable) {
  Bytes seeded = Multi({"a", "b"});
  Seed(K(), "m", REG_MULTI_SZ, seeded);
  Driver d;
  d.title = "Bearbeite  'm'";
  d.act = [](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0); };
  EXPECT_EQ(kEditUnchanged, RunEdit(d, nullptr, P(), "m", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "m", &got, &type));
  EXPECT_EQ(seeded, got);
}

// --- the hex editor -----------------------------------------------------------

// Types 0x1234 and those of the hex editor keep their type; one typed byte.
TEST_F(ValueEditor, HexEditorKeepsTheTypeAndChangesOneByte) {
  const DWORD types[] = {REG_BINARY,
                         REG_NONE,
                         REG_LINK,
                         REG_RESOURCE_LIST,
                         REG_FULL_RESOURCE_DESCRIPTOR,
                         REG_RESOURCE_REQUIREMENTS_LIST,
                         0x1234,
                         0x20000001,
                         0x10000003};
  for (DWORD t : types) {
    SCOPED_TRACE(t);
    Bytes seeded = {0x10, 0x20, 0x30, 0x40};
    SeedW(K(), L"b", t, seeded.data(), (DWORD)seeded.size());
    Driver d;
    d.title = "Bearbeite  'b'";
    d.act = [](HWND dlg) {
      HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
      SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 1);
      SendMessageA(view, WM_CHAR, 'a', 0);
      SendMessageA(view, WM_CHAR, 'B', 0);
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "b", false));
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadW(K(), "b", &got, &type));
    EXPECT_EQ(t, type);
    EXPECT_EQ(Bytes({0x10, 0xAB, 0x30, 0x40}), got);
  }
}

TEST_F(ValueEditor, HexOfEmptyAndLargeValues) {
  struct Case {
    DWORD size;
    int offset;  // -1: no change
    const char* shot;
  } cases[] = {{0, -1, "editor_hex_empty.png"}, {10 * 1024, 100, nullptr}, {1024 * 1024, 500000, "editor_hex_1mb.png"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Bytes seeded(c.size);
    for (DWORD i = 0; i < c.size; ++i) seeded[i] = (BYTE)(i * 7);
    Seed(K(), "big", REG_BINARY, seeded);
    Driver d;
    d.title = "Bearbeite  'big'";
    std::string length;
    d.act = [&](HWND dlg) {
      PumpMessages(350);
      char buf[128];
      GetDlgItemTextA(dlg, IDC_HEXEDIT_LENGTH, buf, sizeof buf);
      length = buf;
      HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
      if (c.shot) SaveShot(dlg, c.shot);
      if (c.offset >= 0) {
        SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, c.offset);
        SendMessageA(view, WM_CHAR, '5', 0);
        SendMessageA(view, WM_CHAR, 'a', 0);
      }
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(c.offset >= 0 ? kEditWritten : kEditUnchanged, RunEdit(d, nullptr, P(), "big", false));
    if (c.size == 1024 * 1024) {
      EXPECT_EQ(" 1048576 / 100000h byte  REG_BINARY", length);
    }
    if (c.offset >= 0) seeded[c.offset] = 0x5A;
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadW(K(), "big", &got, &type));
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_TRUE(seeded == got);
  }
}

// Ω and Ł cannot pass through code page 1252: the hex editor shows UTF-16.
TEST_F(ValueEditor, StringOutsideTheCodePageOpensAsUtf16Bytes) {
  const wchar_t text[] = {0x141, 0xF3, L'd', 0x17A, L' ', 0x3A9, 0};  // "Łódź Ω"
  for (bool binary : {false, true}) {
    SCOPED_TRACE(binary);
    SeedW(K(), L"u", REG_SZ, text, sizeof text);
    Driver d;
    d.title = "Bearbeite  'u'";
    bool hex = false;
    d.act = [&](HWND dlg) {
      hex = GetDlgItem(dlg, IDC_HEXEDIT_VIEW) != nullptr;
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(kEditUnchanged, RunEdit(d, nullptr, P(), "u", false, binary));
    EXPECT_TRUE(hex);
    Bytes got;
    DWORD type = 0;
    ASSERT_TRUE(ReadW(K(), "u", &got, &type));
    EXPECT_EQ(Bytes((const BYTE*)text, (const BYTE*)text + sizeof text), got);
  }
  // One byte changed: the UTF-16 bytes come back exactly, the type kept.
  Driver d;
  d.title = "Bearbeite  'u'";
  d.act = [](HWND dlg) {
    HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
    SendMessageA(view, WM_CHAR, '5', 0);
    SendMessageA(view, WM_CHAR, '2', 0);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "u", false));
  Bytes expect((const BYTE*)text, (const BYTE*)text + sizeof text);
  expect[0] = 0x52;
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadW(K(), "u", &got, &type));
  EXPECT_EQ(DWORD(REG_SZ), type);
  EXPECT_EQ(expect, got);
}

TEST_F(ValueEditor, HexInsertionGrowsA100ByteValueWrittenWhole) {
  Bytes seeded(100);
  for (int i = 0; i < 100; ++i) seeded[i] = (BYTE)i;
  Seed(K(), "g", REG_BINARY, seeded);
  Driver d;
  d.title = "Bearbeite  'g'";
  d.act = [](HWND dlg) {
    SendDlgItemMessageA(dlg, IDC_HEXEDIT_INSERT, BM_CLICK, 0, 0);
    HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
    SetFocus(view);
    SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 50);
    for (int i = 0; i < 20; ++i) {
      SendMessageA(view, WM_CHAR, 'e', 0);
      SendMessageA(view, WM_CHAR, 'e', 0);
    }
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "g", false));
  Bytes expect(seeded.begin(), seeded.begin() + 50);
  expect.insert(expect.end(), 20, 0xEE);
  expect.insert(expect.end(), seeded.begin() + 50, seeded.end());
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadW(K(), "g", &got, &type));
  EXPECT_EQ(expect, got);
}

// --- the default value, failures ----------------------------------------------

TEST_F(ValueEditor, MissingDefaultValueStartsEmpty) {
  Driver cancel;
  cancel.title = "Bearbeite Wert";
  std::string shown = "?";
  cancel.act = [&](HWND dlg) {
    char buf[64];
    GetDlgItemTextA(dlg, IDC_PROMPT_EDIT, buf, sizeof buf);
    shown = buf;
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(kEditUnchanged, RunEdit(cancel, nullptr, P(), "", true));
  EXPECT_EQ("", shown);
  Bytes got;
  DWORD type = 0;
  EXPECT_FALSE(ReadW(K(), nullptr, &got, &type));

  Driver ok;
  ok.title = "Bearbeite Wert";
  ok.act = [](HWND dlg) { SetAndOk(dlg, IDC_PROMPT_EDIT, "x"); };
  EXPECT_EQ(kEditWritten, RunEdit(ok, nullptr, P(), "", true));
  ASSERT_TRUE(ReadA(K(), nullptr, &got, &type));
  EXPECT_EQ(DWORD(REG_SZ), type);
  EXPECT_EQ(TextZ("x"), got);
}

// A value named like the default entry's text is edited as itself.
TEST_F(ValueEditor, ValueNamedStandardIsNotTheDefault) {
  Seed(K(), "(Standard)", REG_SZ, TextZ("own"));
  Driver d;
  d.title = "Bearbeite  '(Standard)'";
  d.act = [](HWND dlg) { SetAndOk(dlg, IDC_PROMPT_EDIT, "mine"); };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), "(Standard)", false));
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), "(Standard)", &got, &type));
  EXPECT_EQ(TextZ("mine"), got);
  EXPECT_FALSE(ReadA(K(), nullptr, &got, &type));
}

TEST_F(ValueEditor, KeyDeletedBeforeOkGivesOneMessageAndIsNotRecreated) {
  HKEY sub = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(K(), "gone", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
  Seed(sub, "s", REG_SZ, TextZ("a"));
  RegCloseKey(sub);
  Driver d;
  d.title = "Bearbeite  's'";
  d.act = [&](HWND dlg) {
    RegDeleteKeyA(K(), "gone");
    SetAndOk(dlg, IDC_PROMPT_EDIT, "b");
  };
  EXPECT_EQ(kEditGone, RunEdit(d, nullptr, P() + "\\gone", "s", false));
  EXPECT_EQ(1, d.boxes);
  EXPECT_NE(std::string::npos, d.boxText.find("Der Registry-Pfad konnte nicht geöffnet werden !")) << d.boxText;
  EXPECT_NE(std::string::npos, d.boxText.find("nicht mehr vorhanden")) << d.boxText;
  HKEY check = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(K(), "gone", 0, KEY_READ, &check));
}

TEST_F(ValueEditor, MissingValueAndMissingKeyGiveOneMessage) {
  Driver d;
  d.title = "never";
  EXPECT_EQ(kEditGone, RunEdit(d, nullptr, P(), "absent", false));
  EXPECT_EQ(1, d.boxes);
  EXPECT_NE(std::string::npos, d.boxText.find("Der Registry-Wert konnte nicht gelesen werden !")) << d.boxText;
  EXPECT_NE(std::string::npos, d.boxText.find("nicht mehr vorhanden")) << d.boxText;
  Driver k;
  k.title = "never";
  EXPECT_EQ(kEditGone, RunEdit(k, nullptr, P() + "\\nokey", "absent", false));
  EXPECT_EQ(1, k.boxes);
  HKEY check = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(K(), "nokey", 0, KEY_READ, &check));
}

// A value that another program deleted while its editor was open is not
// made again; one message says why.
TEST_F(ValueEditor, ValueDeletedBeforeOkIsNotMadeAgain) {
  Seed(K(), "s", REG_SZ, TextZ("a"));
  Driver d;
  d.title = "Bearbeite  's'";
  d.act = [&](HWND dlg) {
    RegDeleteValueA(K(), "s");
    SetAndOk(dlg, IDC_PROMPT_EDIT, "b");
  };
  EXPECT_EQ(kEditGone, RunEdit(d, nullptr, P(), "s", false));
  EXPECT_EQ(1, d.boxes);
  EXPECT_NE(std::string::npos, d.boxText.find("Der Registry-Wert konnte nicht geschrieben werden !")) << d.boxText;
  EXPECT_NE(std::string::npos, d.boxText.find("nicht mehr vorhanden")) << d.boxText;
  Bytes got;
  DWORD type = 0;
  EXPECT_FALSE(ReadA(K(), "s", &got, &type));
}

// Names that code page 1252 cannot carry ("a中b" beside its twin "a?b"), as
// the browser writes them: the exact value is edited, the twin keeps its bytes.
TEST_F(ValueEditor, NamesOutsideTheCodePageReachTheExactValue) {
  const char cjk[] =
      "a\x8B"
      "4E2D\x9B"
      "b";
  SeedW(K(), L"a?b", REG_DWORD, "\x07\0\0\0", 4);
  SeedW(K(), L"a\u4E2Db", REG_DWORD, "\x09\0\0\0", 4);
  Driver d;
  d.title = std::string("Bearbeite  '") + cjk + "'";
  d.act = [&](HWND dlg) { SetAndOk(dlg, IDC_NUM_INPUT, "258"); };
  EXPECT_EQ(kEditWritten, RunEdit(d, nullptr, P(), cjk, false));
  Bytes got;
  DWORD type = 0;
  HKEY k = K();
  DWORD size = 4;
  BYTE v[4] = {};
  ASSERT_EQ(RegQueryValueExW(k, L"a\u4E2Db", nullptr, &type, v, &size), ERROR_SUCCESS);
  EXPECT_EQ(Bytes(v, v + 4), Bytes({2, 1, 0, 0}));
  ASSERT_TRUE(ReadW(K(), "a?b", &got, &type));
  EXPECT_EQ(got, Bytes({7, 0, 0, 0}));

  // A string goes to the hex editor; the key of the path is one too.
  HKEY twin = nullptr, exact = nullptr;
  ASSERT_EQ(RegCreateKeyExW(k, L"k?", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &twin, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExW(k, L"k\u4E2D", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &exact, nullptr), ERROR_SUCCESS);
  SeedW(twin, L"\u03A9", REG_SZ, L"ab", 6);
  SeedW(exact, L"\u03A9", REG_SZ, L"ab", 6);
  SeedW(exact, L"O", REG_SZ, L"ab", 6);
  Driver h;
  h.title =
      "Bearbeite  '\x8B"
      "03A9\x9B'";
  h.act = [](HWND dlg) {
    HWND view = GetDlgItem(dlg, IDC_HEXEDIT_VIEW);
    SendMessageA(view, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 0);
    SendMessageA(view, WM_CHAR, '4', 0);
    SendMessageA(view, WM_CHAR, '3', 0);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(kEditWritten, RunEdit(h, nullptr,
                                  P() + "\\k\x8B"
                                        "4E2D\x9B",
                                  "\x8B"
                                  "03A9\x9B",
                                  false));
  BYTE text[16] = {};
  size = sizeof text;
  ASSERT_EQ(RegQueryValueExW(exact, L"\u03A9", nullptr, &type, text, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_EQ(std::string((char*)text, size), std::string((const char*)L"Cb", 6));
  for (HKEY other : {twin, exact}) {
    const wchar_t* name = other == twin ? L"\u03A9" : L"O";
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(other, name, nullptr, &type, text, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string((char*)text, size), std::string((const char*)L"ab", 6));
  }
  RegCloseKey(twin);
  RegCloseKey(exact);
}

// A name longer than the key object keeps must not reach its namesake.
TEST_F(ValueEditor, OverlongNameFailsWithoutTouchingANamesake) {
  std::string longName(300, 'n');
  std::string prefix(256, 'n');
  Seed(K(), prefix.c_str(), REG_SZ, TextZ("prefix"));
  Driver d;
  d.title = "never";
  EXPECT_EQ(kEditFailed, RunEdit(d, nullptr, P(), longName.c_str(), false, true));
  EXPECT_EQ(1, d.boxes);
  Bytes got;
  DWORD type = 0;
  ASSERT_TRUE(ReadA(K(), prefix.c_str(), &got, &type));
  EXPECT_EQ(TextZ("prefix"), got);
}

TEST(MultiString, SplitsToTheEndOfTheDataAndJoinsBack) {
  struct Case {
    std::string data;
    std::vector<std::string> strings;
    std::string joined;
  } cases[] = {
      {std::string("a\0b\0\0", 5), {"a", "b"}, std::string("a\0b\0\0", 5)},
      {std::string("a\0\0b\0\0", 6), {"a", "", "b"}, std::string("a\0\0b\0\0", 6)},
      {std::string("\0", 1), {}, std::string("\0", 1)},
      {std::string("a", 1), {"a"}, std::string("a\0\0", 3)},
      {std::string(), {}, std::string("\0", 1)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.strings, SplitMultiString(c.data.data(), c.data.size()));
    EXPECT_EQ(c.joined, JoinMultiString(c.strings));
  }
}

TEST(WideFitsAnsi, OnlyExactRoundTrips) {
  EXPECT_TRUE(WideFitsAnsi(L"Grüße € „x“", 11));
  const wchar_t omega = 0x3A9, lstroke = 0x141;
  EXPECT_FALSE(WideFitsAnsi(&omega, 1));
  EXPECT_FALSE(WideFitsAnsi(&lstroke, 1));
  EXPECT_TRUE(WideFitsAnsi(L"", 0));
}

}  // namespace
