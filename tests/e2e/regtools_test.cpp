// End-to-end registry tools of Ostrova.exe: the find dialog and "Weitersuchen"
// until the end message, export in both formats and import through the file
// dialogs, the permissions command, a hive loaded and unloaded through the
// prompts, and the outside registry editor (the RegJump stand-in and Wine's
// regedit.exe).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "harness/file_util.h"
#include "e2e_fixture.h"
#include "harness/window_util.h"
#include "ostrova_process.h"
#include "pane_reader.h"
#include "registry_snapshot.h"
#include "res/resource.h"

namespace {
const char kE2EKey[] = "Software\\OstrovaTests\\E2E";
const char kE2EPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E";
const char kRegeditApplet[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
const int kFileNameField = 1148;  // cmb13 of the hooked file dialog
const int kReadOnlyBox = 1040;    // chx1: "ANSI Format benutzen"
const int kPromptEdit = 1008;     // the text prompt's edit
const int kMsgBoxText = 0xFFFF;   // the system message box's text

std::string Sub(const char* name) { return std::string(kE2EKey) + "\\" + name; }
std::string SubPath(const char* name) { return std::string(kE2EPath) + "\\" + name; }

// A visible top-level window of the program with this title (any owned one
// for no title), other than the window `except`; nullptr when there is none.
HWND TopLevelOf(const OstrovaProcess& app, const char* title, HWND except = nullptr) {
  struct Search {
    DWORD pid;
    const char* title;
    HWND except, found;
  } s = {GetProcessId(app.Process()), title, except, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = (Search*)lp;
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char text[256] = "";
        GetWindowTextA(hwnd, text, sizeof text);
        bool named = s->title ? strcmp(text, s->title) == 0 : GetWindow(hwnd, GW_OWNER) != nullptr;
        if (pid == s->pid && hwnd != s->except && IsWindowVisible(hwnd) && named) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&s);
  return s.found;
}

// The program's visible top-level windows by title, for failure messages.
std::string OpenWindows(const OstrovaProcess& app) {
  struct Search {
    DWORD pid;
    std::string titles;
  } s = {GetProcessId(app.Process()), ""};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = (Search*)lp;
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char text[256] = "", cls[64] = "";
        GetWindowTextA(hwnd, text, sizeof text);
        GetClassNameA(hwnd, cls, sizeof cls);
        if (pid == s->pid && IsWindowVisible(hwnd)) s->titles += std::string(" [") + cls + " '" + text + "']";
        return TRUE;
      },
      (LPARAM)&s);
  return "open:" + s.titles;
}

// Whether a window and its children have painted everything they show.
bool Painted(HWND hwnd) {
  if (GetUpdateRect(hwnd, nullptr, FALSE)) return false;
  bool all = true;
  EnumChildWindows(
      hwnd,
      [](HWND child, LPARAM lp) -> BOOL {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) *(bool*)lp = false;
        return TRUE;
      },
      (LPARAM)&all);
  return all;
}

// The union of two windows' rectangles on the screen, once both are painted
// as <build>\tests\e2e\screens\<name>.png (a window of another process
// paints late: a redraw forced from here would be captured half done).
void SaveScreens(HWND a, HWND b, const std::string& name) {
  RECT ra, rb, all;
  EXPECT_TRUE(WaitUntil([&] { return Painted(a) && Painted(b); })) << name << ": not painted";
  GetWindowRect(a, &ra);
  GetWindowRect(b, &rb);
  UnionRect(&all, &ra, &rb);
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string file(path, n);
  file = file.substr(0, file.rfind('\\')) + "\\screens";
  CreateDirectoryA(file.c_str(), nullptr);
  file += "\\" + name + ".png";
  EXPECT_TRUE(WindowCapture::FromScreenRect(all).SavePng(file.c_str())) << name;
}

void Shot(HWND hwnd, const std::string& name) { SaveScreens(hwnd, hwnd, name); }

HWND WaitForTopLevel(const OstrovaProcess& app, const char* title, DWORD ms = 10000) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = TopLevelOf(app, title, app.Frame())) != nullptr; }, ms);
  return found;
}

// The edit of the file-name field: the program's file-dialog extension puts
// a combo box of its own in the place of the dialog's (which it hides and
// renumbers), so the field is the direct child with the field's id.
HWND FileNameEdit(HWND dlg) {
  HWND field = GetDlgItem(dlg, kFileNameField);
  return field && IsWindowVisible(field) ? FindWindowExA(field, nullptr, "Edit", nullptr) : nullptr;
}

// A file dialog of this title: the one that has the file-name field.
HWND WaitForFileDialog(const OstrovaProcess& app, const char* title) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = TopLevelOf(app, title, app.Frame());
        return found && FileNameEdit(found);
      },
      15000);
  return found && FileNameEdit(found) ? found : nullptr;
}

// A key as the keyboard delivers it to the window with the focus in the
// thread of hwnd (or to hwnd when nothing has it); with Ctrl held through
// the joined input state when ctrl is set, until done() holds.
bool PressKey(HWND hwnd, UINT vk, bool ctrl, const std::function<bool()>& done) {
  HWND target = FocusOf(hwnd);
  if (!target) target = hwnd;
  DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageA(target, WM_KEYDOWN, vk, 1);
  PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
  bool ok = WaitUntil(done, 15000);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  return ok;
}

// Types text into an edit as the keyboard would, over what it held.
bool TypeInto(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  for (char c : text) PostMessageA(edit, WM_CHAR, (WPARAM)(unsigned char)c, 1);
  return WaitUntil([&] { return TextOf(edit) == text; });
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Types the file name into the dialog's field and presses OK.
bool ChooseFile(const OstrovaProcess& app, HWND dlg, const std::string& file) {
  HWND edit = FileNameEdit(dlg);
  if (!edit) return false;
  bool typed = TypeInto(edit, file);
  EXPECT_TRUE(typed) << "[" << TextOf(edit) << "] want [" << file << "]";
  Click(GetDlgItem(dlg, IDOK));
  if (WaitUntil([&] { return !IsWindow(dlg); })) return typed;
  Shot(dlg, "regtools_file_dialog_stuck");
  ADD_FAILURE() << "the file dialog stays: " << OpenWindows(app) << "; its field [" << TextOf(edit) << "]";
  return false;
}

// UTF-16LE bytes after the BOM as code page 1252 text.
std::string FromUtf16(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) return "<no BOM>";
  std::wstring wide((bytes.size() - 2) / 2, L'\0');
  memcpy(&wide[0], bytes.data() + 2, wide.size() * 2);
  int n = WideCharToMultiByte(1252, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(1252, 0, wide.data(), (int)wide.size(), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(1252, 0, s.data(), (int)s.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(1252, 0, s.data(), (int)s.size(), &w[0], n);
  return w;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

// Every key and value below a key, one line each with the stored bytes, read
// with the 16-bit functions in enumeration order.
void DumpTree(HKEY parent, const std::wstring& name, const std::wstring& shown, std::string& out) {
  HKEY key;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    out += "<missing " + Utf8(shown) + ">\n";
    return;
  }
  out += "[" + Utf8(shown) + "]\n";
  std::vector<wchar_t> valueName(16384);
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD cch = (DWORD)valueName.size(), cb = (DWORD)data.size(), type = 0;
    if (RegEnumValueW(key, i, valueName.data(), &cch, nullptr, &type, data.data(), &cb) != ERROR_SUCCESS) break;
    char hex[4];
    std::string bytes;
    for (DWORD b = 0; b < cb; ++b) {
      wsprintfA(hex, "%02x", data[b]);
      bytes += hex;
    }
    out += Utf8(std::wstring(valueName.data(), cch)) + "|" + std::to_string(type) + "|" + bytes + "\n";
  }
  for (DWORD i = 0;; ++i) {
    wchar_t sub[256];
    DWORD cch = 256;
    if (RegEnumKeyExW(key, i, sub, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DumpTree(key, sub, shown + L"\\" + sub, out);
  }
  RegCloseKey(key);
}

std::string Dump(const char* path) {
  std::string out;
  DumpTree(HKEY_CURRENT_USER, Wide(path), Wide(path), out);
  return out;
}

void SetW(const std::string& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), name, type, data, size), ERROR_SUCCESS)
      << Utf8(name ? name : L"@");
}

// Removes a key of a scenario when it ends, however it ends.
struct ScratchKey {
  std::string path;
  explicit ScratchKey(std::string p) : path(std::move(p)) { DeleteKeyTree(HKEY_CURRENT_USER, path); }
  ~ScratchKey() { DeleteKeyTree(HKEY_CURRENT_USER, path); }
};

// Waits until the pane shows the path and the entry list has its rows.
bool WaitForPath(const PaneReader& pane, const std::string& path, int rows) {
  return WaitUntil([&] { return pane.ComboText() == path && pane.RowCount() == rows; }, 10000);
}

std::string CaretName(const PaneReader& pane) {
  HTREEITEM caret = (HTREEITEM)SendMessageA(pane.Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
  return caret ? pane.ItemText(pane.Tree(), caret) : "<none>";
}

// Shows a path through the pane's combo box, as typed and confirmed.
bool GoTo(const PaneReader& pane, const std::string& path) {
  HWND edit = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)path.c_str());
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
  // The typed text is in the combo at once: the tree's caret shows the move.
  std::string last = path.substr(path.rfind('\\') + 1);
  return WaitUntil([&] { return pane.ComboText() == path && CaretName(pane) == last; }, 10000);
}

// The visible pop-up menu of the program, or nullptr.
HWND MenuOf(const OstrovaProcess& app) {
  for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
       menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(menu, &pid);
    if (pid == GetProcessId(app.Process()) && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

// The program is back in its main window: no dialog of the title is left
// and the frame takes input again.
bool Idle(const OstrovaProcess& app, const char* title) {
  return !TopLevelOf(app, title, app.Frame()) && IsWindowEnabled(app.Frame());
}

// ---------------------------------------------------------------------------
// Find

// The search fixture: a key name, a value's data and a value name that hold
// the search text, in the order the search meets them.
void SeedSearchKey(const std::string& key) {
  const wchar_t anfang[] = L"nichts";
  SetW(key, L"Anfang", REG_SZ, anfang, sizeof anfang);
  HKEY k;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key + "\\A_Schl\xFCssel e2e7Q").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(k);
  const wchar_t daten[] = L"steht e2e7Q drin";
  SetW(key + "\\B", L"Daten", REG_SZ, daten, sizeof daten);
  const wchar_t x[] = L"x";
  SetW(key + "\\B", L"Wert e2e7Q", REG_SZ, x, sizeof x);
}

// Ctrl+F opens the find dialog; the token menu inserts "*" and switches to
// special mode; a partial search for a typed text finds a key name, then
// (F3) a value's data, then ("Weitersuchen") a value name in the entry list;
// F3 from the last root ends with "beendet", after which "Weitersuchen" is
// grey and F3 opens the dialog again.
TEST_F(EndToEnd, FindKeyDataValueThenTheEnd) {
  ScratchKey scratch(Sub("Suche"));
  SeedSearchKey(scratch.path);
  const std::string start = SubPath("Suche");
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + start));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, start, 2)) << pane.ComboText() << " " << pane.RowCount();
  FocusIn(pane.Tree());

  HWND dlg = nullptr;
  ASSERT_TRUE(PressKey(pane.Tree(), 'F', true, [&] {
    dlg = TopLevelOf(app, "Suchen", app.Frame());
    return dlg && GetDlgItem(dlg, IDC_FIND_TEXT);
  })) << "Ctrl+F";
  HWND combo = GetDlgItem(dlg, IDC_FIND_TEXT);
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(Checked(GetDlgItem(dlg, IDC_FIND_KEYS)) && Checked(GetDlgItem(dlg, IDC_FIND_VALUES)) &&
              Checked(GetDlgItem(dlg, IDC_FIND_DATA)) && Checked(GetDlgItem(dlg, IDC_FIND_PARTIAL)));

  // The token menu: open, pictured with the dialog, first entry chosen.
  Click(GetDlgItem(dlg, IDC_FIND_TOKENS));
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = MenuOf(app)) != nullptr; })) << "no token menu";
  SaveScreens(dlg, menu, "regtools_find_token_menu");
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(combo) == "*" && Checked(GetDlgItem(dlg, IDC_FIND_SPECIAL)); }))
      << "[" << TextOf(combo) << "]";

  // Back to partial, the text typed over the token, OK.
  Click(GetDlgItem(dlg, IDC_FIND_PARTIAL));
  ASSERT_TRUE(WaitUntil([&] { return Checked(GetDlgItem(dlg, IDC_FIND_PARTIAL)); }));
  ASSERT_TRUE(TypeInto(edit, "e2e7Q"));
  Click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));

  // A key name: the key is shown, its tree item is the caret.
  const std::string keyHit = start + "\\A_Schl\xFCssel e2e7Q";
  EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == keyHit && CaretName(pane) == "A_Schl\xFCssel e2e7Q"; }, 15000))
      << pane.ComboText() << " caret " << CaretName(pane);
  Shot(app.Frame(), "regtools_find_key");

  // F3: the data of "Daten" in the next key.
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false,
                       [&] { return pane.ComboText() == start + "\\B" && pane.SelectedNames() == "Daten"; }))
      << pane.ComboText() << " selected " << pane.SelectedNames() << " rows " << pane.Names() << " caret "
      << pane.ItemText(pane.List(), (HTREEITEM)SendMessageA(pane.List(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  EXPECT_EQ(FocusOf(pane.List()), pane.List());
  Shot(app.Frame(), "regtools_find_data");

  // "Weitersuchen": the value name after it, in the same entry list.
  app.Command(ID_FIND_NEXT_MENU);
  EXPECT_TRUE(WaitUntil([&] { return pane.SelectedNames() == "Wert e2e7Q"; })) << pane.SelectedNames();
  EXPECT_EQ(pane.ComboText(), start + "\\B");

  // From the last root nothing follows: the end message.
  ASSERT_TRUE(GoTo(pane, "HKEY_CURRENT_CONFIG"));
  HWND box = nullptr;
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false, [&] { return (box = TopLevelOf(app, "Information")) != nullptr; }))
      << OpenWindows(app);
  EXPECT_EQ(TextOf(GetDlgItem(box, kMsgBoxText)), "Das Durchsuchen der Registry ist beendet.");
  Shot(box, "regtools_find_end");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  // The search is over: F3 asks for a new one. (Whether "Weitersuchen" is
  // grey cannot be read from outside: Wine keeps menus inside their process.)
  dlg = nullptr;
  ASSERT_TRUE(PressKey(app.Frame(), VK_F3, false, [&] {
    dlg = TopLevelOf(app, "Suchen", app.Frame());
    return dlg && GetDlgItem(dlg, IDC_FIND_TEXT);
  })) << "F3 after the end";
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_FIND_TEXT)), "e2e7Q");  // the history's newest text
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  ASSERT_TRUE(app.Close());
}

// ---------------------------------------------------------------------------
// Export and import

// The export fixture below E2E and its section of a .reg file, one text per
// format (the 8-bit one carries strings of multi-strings and expandable
// strings as code page 1252 bytes).
void SeedExportKey(const std::string& key) {
  const wchar_t def[] = L"Vorgabe";
  SetW(key, nullptr, REG_SZ, def, sizeof def);
  BYTE bin[30];
  for (int i = 0; i < 30; ++i) bin[i] = (BYTE)i;
  SetW(key, L"Bin", REG_BINARY, bin, sizeof bin);
  ULONGLONG qword = 0x0123456789ABCDEFull;
  SetW(key, L"Gro\u00df", REG_QWORD, &qword, sizeof qword);
  SetW(key, L"Liste", REG_MULTI_SZ, L"eins\0zwei\0", 22);
  const wchar_t pfad[] = L"%TEMP%\\x";
  SetW(key, L"Pfad", REG_EXPAND_SZ, pfad, sizeof pfad);
  const wchar_t text[] = L"Anf\u00fchrung \" und \\ Strich";
  SetW(key, L"Text", REG_SZ, text, sizeof text);
  DWORD dword = 42;
  SetW(key, L"Zahl", REG_DWORD, &dword, sizeof dword);
  const wchar_t y[] = L"y";
  SetW(key + "\\Unter \x80", L"x", REG_SZ, y, sizeof y);
}

std::string ExportSection(bool unicode) {
  const std::string p = SubPath("Werkzeuge");
  return "[" + p +
         "]\r\n"
         "@=\"Vorgabe\"\r\n"
         "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
         "  17,18,19,1a,1b,1c,1d\r\n"
         "\"Gro\xDF\"=hex(b):ef,cd,ab,89,67,45,23,01\r\n" +
         (unicode ? "\"Liste\"=hex(7):65,00,69,00,6e,00,73,00,00,00,7a,00,77,00,65,00,69,00,00,00,00,\\\r\n"
                    "  00\r\n"
                    "\"Pfad\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,78,00,00,00\r\n"
                  : "\"Liste\"=hex(7):65,69,6e,73,00,7a,77,65,69,00,00\r\n"
                    "\"Pfad\"=hex(2):25,54,45,4d,50,25,5c,78,00\r\n") +
         "\"Text\"=\"Anf\xFChrung \\\" und \\\\ Strich\"\r\n"
         "\"Zahl\"=dword:0000002a\r\n"
         "\r\n"
         "[" +
         p +
         "\\Unter \x80]\r\n"
         "\"x\"=\"y\"\r\n"
         "\r\n";
}

// What the export of E2E must hold besides the fixture's section: the
// header, the key itself first, and parents before their subkeys. Answers
// what is wrong, or nothing.
std::string ExportProblems(const std::string& text, bool unicode) {
  const std::string header = unicode ? "Windows Registry Editor Version 5.00\r\n\r\n" : "REGEDIT4\r\n\r\n";
  const std::string head = header + "[" + kE2EPath + "]\r\n";
  if (text.compare(0, head.size(), head) != 0) return "begins with: " + text.substr(0, 200);
  const std::string basic = SubPath("Basic");
  const std::string lines[] = {
      "[" + basic + "]\r\n@=\"Standardwert\"\r\n",
      "\"Bin\xE4r\"=hex:00,01,7f,80,fe,ff\r\n",
      "\"Gro\xDF\"=hex(b):ef,cd,ab,89,67,45,23,01\r\n\"Leer\"=hex:\r\n",
      "\"Text\"=\"Hallo Welt\"\r\n",
      "\"Zahl\"=dword:12345678\r\n",
      "[" + basic + "\\Ebene 1]\r\n",
      "[" + basic + "\\Ebene 1\\Ebene 2\\Ebene 3]\r\n\"Tiefe\"=\"Ebene 3\"\r\n\r\n",
      "[" + SubPath("\xE4\xF6\xFC\xDF\x80") + "]\r\n@=\"Schl\xFCssel mit Umlauten\"\r\n\r\n",
  };
  size_t last = 0;
  for (const std::string& line : lines) {
    size_t at = text.find(line);
    if (at == std::string::npos) return "missing: " + line;
    if (line[0] == '[') {
      if (at < last) return "out of order: " + line;
      last = at;
    }
  }
  if (text.find(ExportSection(unicode)) == std::string::npos)
    return "not the fixture's section in " + std::to_string(text.size()) + " characters:\n" + text;
  return "";
}

std::string FileText(const std::string& file, bool unicode) {
  std::string bytes = ReadFileBytes(file);
  return unicode ? FromUtf16(bytes) : bytes;
}

// Runs "Exportieren" for the pane's key (E2E) into file, ticking "ANSI
// Format benutzen" when ansi is set; waits for the written file.
void ExportTo(const OstrovaProcess& app, const std::string& file, bool ansi, const char* png) {
  app.Command(ID_EXPORT);
  HWND dlg = WaitForFileDialog(app, "Registry-Daten exportieren");
  ASSERT_NE(dlg, nullptr) << "no export dialog";
  HWND box = GetDlgItem(dlg, kReadOnlyBox);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(TextOf(box), "ANSI Format benutzen");
  if (ansi) {
    Click(box);
    ASSERT_TRUE(WaitUntil([&] { return Checked(box); }));
  }
  ASSERT_TRUE(TypeInto(FileNameEdit(dlg), file));
  if (png) Shot(dlg, png);
  ASSERT_TRUE(ChooseFile(app, dlg, file));
  // The progress dialog has the same title; it ends with the run.
  WaitUntil(
      [&] { return Idle(app, "Registry-Daten exportieren") && ExportProblems(FileText(file, !ansi), !ansi).empty(); },
      30000);
  EXPECT_EQ(ExportProblems(FileText(file, !ansi), !ansi), "") << file;
  EXPECT_TRUE(Idle(app, "Registry-Daten exportieren"));
  EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";
}

TEST_F(EndToEnd, ExportBothFormatsThenImportAfterDeleting) {
  ScratchKey scratch(Sub("Werkzeuge"));
  SeedExportKey(scratch.path);
  const std::string unicodeFile = TempFile("ostrova e2e export.reg");
  const std::string ansiFile = TempFile("ostrova e2e export ansi.reg");
  DeleteFileA(unicodeFile.c_str());
  DeleteFileA(ansiFile.c_str());
  // The seeded key goes and comes back below: put back whatever happens.
  struct Restorer {
    std::string before = Dump(kE2EKey);
    RegistrySnapshot saved = RegistrySnapshot::Take(HKEY_CURRENT_USER, kE2EKey);
    ~Restorer() {
      if (Dump(kE2EKey) == before) return;
      DeleteKeyTree(HKEY_CURRENT_USER, kE2EKey);
      EXPECT_TRUE(saved.Restore(HKEY_CURRENT_USER, kE2EKey));
    }
  } restorer;
  const std::string& before = restorer.before;

  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kE2EPath));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == kE2EPath; }));

  ExportTo(app, unicodeFile, false, nullptr);
  const std::string unicodeBytes = ReadFileBytes(unicodeFile);
  ExportTo(app, ansiFile, true, "regtools_export_dialog");
  EXPECT_EQ(StoredProgramString("ExportPath"), ansiFile);

  // Import of each file after the key was deleted: every byte back.
  for (const std::string& file : {unicodeFile, ansiFile}) {
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kE2EKey));
    app.Command(ID_IMPORT);
    HWND dlg = WaitForFileDialog(app, "Registry-Daten importieren");
    ASSERT_NE(dlg, nullptr) << "no import dialog";
    ASSERT_TRUE(ChooseFile(app, dlg, file));
    WaitUntil([&] { return Idle(app, "Registry-Daten importieren") && Dump(kE2EKey) == before; }, 30000);
    EXPECT_TRUE(Idle(app, "Registry-Daten importieren"));
    EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";
    EXPECT_EQ(Dump(kE2EKey), before) << file;
    EXPECT_EQ(StoredProgramString("ImportPath"), file);
  }
  ASSERT_TRUE(app.Close());
  // The export file stays as it was written.
  EXPECT_EQ(ReadFileBytes(unicodeFile), unicodeBytes);
  DeleteFileA(unicodeFile.c_str());
  DeleteFileA(ansiFile.c_str());
}

// ---------------------------------------------------------------------------
// Permissions

std::string KeySecurity(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return "<no key>";
  BYTE sd[4096];
  DWORD size = sizeof sd;
  LONG e = RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                             sd, &size);
  RegCloseKey(key);
  return e == ERROR_SUCCESS ? std::string((const char*)sd, size) : "<error " + std::to_string(e) + ">";
}

// Column 0 of every list view in a window, "|a,b|" per list.
std::string ListTexts(const OstrovaProcess& app, HWND parent) {
  struct Lists {
    std::vector<HWND> found;
  } lists;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM lp) -> BOOL {
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (strcmp(cls, "SysListView32") == 0) ((Lists*)lp)->found.push_back(w);
        return TRUE;
      },
      (LPARAM)&lists);
  const size_t textSize = 256;
  RemoteBuffer buf(app.Process(), sizeof(LVITEMA) + textSize);
  std::string out;
  for (HWND list : lists.found) {
    out += "|";
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n && buf.Address(); ++i) {
      LVITEMA item = {};
      item.iSubItem = 0;
      item.pszText = (char*)buf.Address() + sizeof(LVITEMA);
      item.cchTextMax = (int)textSize;
      char text[256] = "";
      if (!buf.Write(&item, sizeof item)) break;
      int len = (int)SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)buf.Address());
      std::vector<char> all(sizeof(LVITEMA) + textSize);
      buf.Read(all.data(), all.size());
      memcpy(text, all.data() + sizeof(LVITEMA), sizeof text - 1);
      out += (i ? "," : "") + std::string(text, len > 0 ? (size_t)len : 0);
    }
    out += "|";
  }
  return out;
}

// "Berechtigungen" opens the system's access-control editor for the key
// (Wine's: a basic sheet titled "Properties for <name>"); Cancel changes
// nothing.
TEST_F(EndToEnd, PermissionsOpenTheEditorAndCancelChangesNothing) {
  ScratchKey scratch(Sub("Rechte"));
  const wchar_t v[] = L"v";
  SetW(scratch.path, L"Wert", REG_SZ, v, sizeof v);
  const std::string security = KeySecurity(scratch.path);
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + SubPath("Rechte")));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == SubPath("Rechte"); }));
  app.Command(ID_PERMISSIONS);
  HWND sheet = WaitForTopLevel(app, nullptr);
  ASSERT_NE(sheet, nullptr) << "nothing opened";
  const std::string title = TextOf(sheet);
  // Either the editor, or the message that it is missing.
  if (title == "Error") {
    ADD_FAILURE() << "no access-control editor: " << TextOf(GetDlgItem(sheet, kMsgBoxText));
  } else {
    // Wine's sheet leaves its title's placeholder unfilled.
    EXPECT_TRUE(title == "Properties for Rechte" || title == "Properties for %s") << title;
    EXPECT_EQ(GetWindow(sheet, GW_OWNER), app.Frame());
    // The rights the editor lists come from the program's table: its general
    // rows (Wine's basic page shows no others).
    EXPECT_TRUE(WaitUntil([&] { return ListTexts(app, sheet).find("|Vollzugriff,Lesen|") != std::string::npos; }))
        << ListTexts(app, sheet);
  }
  Shot(sheet, "regtools_permissions");
  PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }));
  EXPECT_EQ(KeySecurity(scratch.path), security);
  ASSERT_TRUE(app.Close());
}

// ---------------------------------------------------------------------------
// Hives

bool EnablePrivilege(const char* name, bool on) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp = {1};
  bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) != FALSE;
  tp.Privileges[0].Attributes = on ? SE_PRIVILEGE_ENABLED : 0;
  ok = ok && AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

// A hive file saved from a fixture key, "Schlüssel laden" with the file
// typed into the open dialog and the key into the prompt: the pane shows the
// hive below HKEY_USERS; "Schlüssel entladen" proposes it and unloads it.
TEST_F(EndToEnd, HiveLoadedUnderUsersAndUnloaded) {
  ScratchKey scratch(Sub("Bienenstock"));
  const wchar_t honig[] = L"Honig \u20ac";
  SetW(scratch.path, L"Vorrat", REG_SZ, honig, sizeof honig);
  DWORD count = 7;
  SetW(scratch.path + "\\Wabe", L"Zellen", REG_DWORD, &count, sizeof count);
  const std::string file = TempFile("ostrova_e2e_hive");
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
  {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_TRUE(EnablePrivilege("SeBackupPrivilege", true));
    LONG e = RegSaveKeyA(key, file.c_str(), nullptr);
    EnablePrivilege("SeBackupPrivilege", false);
    RegCloseKey(key);
    ASSERT_EQ(e, ERROR_SUCCESS);
  }
  const std::string name = "OstrovaE2EHive_" + std::to_string(GetCurrentProcessId());
  const std::string hive = "HKEY_USERS\\" + name;
  struct Unloader {
    std::string name;
    bool loaded = false;
    ~Unloader() {
      HKEY k;
      if (!loaded || RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
      RegCloseKey(k);
      EnablePrivilege("SeRestorePrivilege", true);
      RegUnLoadKeyA(HKEY_USERS, name.c_str());
      EnablePrivilege("SeRestorePrivilege", false);
    }
  } unloader{name};

  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kE2EPath));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == kE2EPath; }));
  app.Command(ID_LOAD_HIVE);
  HWND dlg = WaitForFileDialog(app, "Schl\xFCsselpfad laden");
  ASSERT_NE(dlg, nullptr) << "no open dialog";
  ASSERT_TRUE(ChooseFile(app, dlg, file));
  HWND prompt = WaitForTopLevel(app, "Schl\xFCssel einh\xE4ngen");
  ASSERT_NE(prompt, nullptr);
  HWND edit = GetDlgItem(prompt, kPromptEdit);
  // Under HKEY_CURRENT_USER the prompt proposes HKEY_USERS.
  EXPECT_EQ(TextOf(edit), "HKEY_USERS\\");
  ASSERT_TRUE(TypeInto(edit, hive));
  Shot(prompt, "regtools_hive_prompt");
  unloader.loaded = true;
  Click(GetDlgItem(prompt, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
  EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";

  // The pane shows the hive: its tree item under HKEY_USERS, its values.
  EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == hive && pane.Names() == "(Standard),Vorrat"; }, 10000))
      << pane.ComboText() << " " << pane.Names();
  HTREEITEM users = pane.ChildNamed(nullptr, "HKEY_USERS");
  HTREEITEM item = pane.ChildNamed(users, name);
  EXPECT_NE(item, nullptr);
  EXPECT_EQ(CaretName(pane), name);
  wchar_t got[32] = L"";
  DWORD size = sizeof got;
  EXPECT_EQ(RegGetValueW(HKEY_USERS, Wide(name).c_str(), L"Vorrat", RRF_RT_REG_SZ, nullptr, got, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(got), honig);
  EXPECT_EQ(size, sizeof honig);
  Shot(app.Frame(), "regtools_hive_loaded");

  app.Command(ID_UNLOAD_HIVE);
  prompt = WaitForTopLevel(app, "Schl\xFCssel aush\xE4ngen");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(prompt, kPromptEdit)), hive);  // the shown hive is proposed
  Click(GetDlgItem(prompt, IDOK));
  HWND box = WaitForTopLevel(app, "Information");
  ASSERT_NE(box, nullptr) << "no confirmation";
  EXPECT_EQ(TextOf(GetDlgItem(box, kMsgBoxText)), "Der Schl\xFCssel wurde erfolgreich ausgeh\xE4ng.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  HKEY gone;
  EXPECT_EQ(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(app.Close());
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
}

// ---------------------------------------------------------------------------
// The outside registry editor

std::string BuildDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  for (int up = 0; up < 3; ++up) p.resize(p.find_last_of("\\/"));
  return p;  // <build>\tests\e2e\e2e_tests.exe -> <build>
}

// "LastKey" of the system's editor, or "<missing>".
std::string LastKey() {
  char buf[1100] = "";
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return "<missing>";
  return buf;
}

// The top-level window of a regedit.exe process that is not in `before`.
HWND NewRegeditWindow(const std::vector<HWND>& before) {
  struct Search {
    const std::vector<HWND>* before;
    HWND found;
  } s = {&before, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = (Search*)lp;
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        for (HWND old : *s->before)
          if (old == hwnd) return TRUE;
        if (strcmp(cls, "RegEdit_RegEdit") == 0 && IsWindowVisible(hwnd)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&s);
  return s.found;
}

std::vector<HWND> RegeditWindows() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (strcmp(cls, "RegEdit_RegEdit") == 0) ((std::vector<HWND>*)lp)->push_back(hwnd);
        return TRUE;
      },
      (LPARAM)&all);
  return all;
}

// The editor's key and "LastKey" as they were, put back at the end.
struct AppletState {
  bool existed;
  std::string lastKey;
  AppletState() {
    HKEY k;
    existed = RegOpenKeyExA(HKEY_CURRENT_USER, kRegeditApplet, 0, KEY_READ, &k) == ERROR_SUCCESS;
    if (existed) RegCloseKey(k);
    lastKey = LastKey();
  }
  ~AppletState() {
    if (!existed) {
      RegDeleteKeyA(HKEY_CURRENT_USER, kRegeditApplet);
    } else if (lastKey == "<missing>") {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey");
    } else {
      RegSetKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", REG_SZ, lastKey.c_str(), (DWORD)lastKey.size() + 1);
    }
  }
};

// "RegEdit" starts RegJump.exe from ..\Diverse beside the program with the
// key in quotes and leaves "LastKey" alone; without it, it writes
// "LastKey" and starts the system's regedit.exe, which the test then closes.
TEST_F(EndToEnd, RegEditStartsRegJumpOrTheSystemsEditorAtTheKey) {
  AppletState applet;
  const char marker[] = "HKEY_LOCAL_MACHINE\\Vorher";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", REG_SZ, marker, sizeof marker),
            ERROR_SUCCESS);
  const std::string diverse = BuildDir() + "\\Diverse";
  const std::string jump = diverse + "\\RegJump.exe", args = diverse + "\\regjump_args.txt";
  struct Cleanup {
    std::string jump, args, dir;
    ~Cleanup() {
      DeleteFileA(jump.c_str());
      DeleteFileA(args.c_str());
      RemoveDirectoryA(dir.c_str());
    }
  } cleanup{jump, args, diverse};
  CreateDirectoryA(diverse.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((BuildDir() + "\\tests\\app\\regjump_stub.exe").c_str(), jump.c_str(), FALSE));
  DeleteFileA(args.c_str());

  const std::string path = SubPath("\xE4\xF6\xFC\xDF\x80");
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + path));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == path; }));
  EXPECT_NE(app.ToolBarState(ID_REGEDIT) & TBSTATE_ENABLED, 0);
  app.Command(ID_REGEDIT);
  std::string got;
  EXPECT_TRUE(WaitUntil([&] { return !(got = ReadFileBytes(args)).empty(); }, 10000));
  EXPECT_EQ(got, "1|" + path);  // one argument: the path, unquoted by the runtime
  EXPECT_EQ(LastKey(), marker);

  // Without RegJump: "LastKey", then Wine's regedit.exe.
  ASSERT_TRUE(DeleteFileA(jump.c_str()));
  // Every editor window this start brings is closed again, however the
  // scenario ends: asked first, ended by its process handle if it stays.
  struct EditorCloser {
    std::vector<HWND> before = RegeditWindows();
    ~EditorCloser() {
      for (HWND editor; (editor = NewRegeditWindow(before)) != nullptr;) {
        before.push_back(editor);
        DWORD pid = 0;
        GetWindowThreadProcessId(editor, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        if (!process) continue;
        PostMessageA(editor, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
          ADD_FAILURE() << "regedit did not close";
          TerminateProcess(process, 1);
          WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
      }
    }
  } closer;
  app.Command(ID_REGEDIT);
  HWND editor = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (editor = NewRegeditWindow(closer.before)) != nullptr; }, 15000)) << "no regedit";
  EXPECT_EQ(LastKey(), path);
  if (editor) {
    DWORD pid = 0;
    GetWindowThreadProcessId(editor, &pid);
    EXPECT_NE(pid, GetProcessId(app.Process()));
    Shot(editor, "regtools_regedit");
  }
  ASSERT_TRUE(app.Close());
}

}  // namespace
