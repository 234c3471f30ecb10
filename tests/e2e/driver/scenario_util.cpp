#include "e2e/driver/scenario_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "harness/window_util.h"

std::string Sub(const char* name) { return std::string(kE2EKey) + "\\" + name; }
std::string SubPath(const char* name) { return std::string(kE2EPath) + "\\" + name; }

// A visible top-level window of the program with this title (any owned one
// for no title), other than the window `except`; nullptr when there is none.
HWND TopLevelOf(const OstrovaProcess& app, const char* title, HWND except) {
  struct Search {
    DWORD pid;
    const char* title;
    HWND except, found;
  } s = {GetProcessId(app.Process()), title, except, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
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
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
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
      [](HWND child, LPARAM lp) CALLBACK -> BOOL {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) *(bool*)lp = false;
        return TRUE;
      },
      (LPARAM)&all);
  return all;
}

// The union of two windows' rectangles on the screen, once both are painted,
// saved at ScreenPath(name) (a window of another process paints late: a
// redraw forced from here would be captured half done).
void SaveScreens(HWND a, HWND b, const std::string& name) {
  RECT ra, rb, all;
  EXPECT_TRUE(WaitUntil([&] { return Painted(a) && Painted(b); })) << name << ": not painted";
  GetWindowRect(a, &ra);
  GetWindowRect(b, &rb);
  UnionRect(&all, &ra, &rb);
  EXPECT_TRUE(WindowCapture::FromScreenRect(all).SavePng(ScreenPath(name).c_str())) << name;
}

void Shot(HWND hwnd, const std::string& name) { SaveScreens(hwnd, hwnd, name); }

HWND WaitForTopLevel(const OstrovaProcess& app, const char* title, DWORD ms) {
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

// Waits until the pane shows the path and the entry list has its rows.
bool WaitForPath(const PaneReader& pane, const std::string& path, int rows) {
  return WaitUntil([&] { return pane.ComboText() == path && pane.RowCount() == rows; }, 10000);
}

std::string CaretName(const PaneReader& pane) {
  HTREEITEM caret = (HTREEITEM)SendMessageA(pane.Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
  return caret ? pane.ItemText(pane.Tree(), caret) : "<none>";
}

// Chooses the entry and gives the list the focus.
void ChooseEntry(const PaneReader& pane, const char* name) {
  int row = pane.RowNamed(name);
  ASSERT_GE(row, 0) << name;
  SendMessageA(pane.List(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)pane.RowItem(row));
  FocusIn(pane.List());
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); }));
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
