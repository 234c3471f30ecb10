// Subclassed edits and combo boxes: attaching, keys offered to the parent,
// focus reports and the kept selection, dropped files, read-only and
// disabled edits.
#include <windows.h>
// shlobj.h needs windows.h first.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/window_util.h"
#include "ui/subclass.h"

namespace {

// What the parent heard.
struct Heard {
  UINT msg;
  UINT code;  // notification code
  UINT_PTR id;
  HWND from;  // hwndFrom or lParam
  UINT key;
};
std::vector<Heard> g_heard;
LRESULT g_notifyAnswer = 0;
bool g_markHandled = false;  // writes the marker instead of answering

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    CeKeyNotify* block = (CeKeyNotify*)lParam;
    g_heard.push_back({msg, block->hdr.code, block->hdr.idFrom, block->hdr.hwndFrom, block->key});
    if (g_markHandled) {
      block->hdr.idFrom = CE_KEY_HANDLED;
      return 0;
    }
    return g_notifyAnswer;
  }
  if (msg == WM_COMMAND) {
    g_heard.push_back({msg, HIWORD(wParam), LOWORD(wParam), (HWND)lParam, 0});
    return 0;
  }
  if (msg == WM_CTLCOLOREDIT) g_heard.push_back({msg, 0, 0, (HWND)lParam, 0});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Records what reaches the control's own procedure below a member.
std::vector<UINT> g_passed;
WNDPROC g_recorderChain;
LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) g_passed.push_back(msg);
  return CallWindowProcA(g_recorderChain, hwnd, msg, wParam, lParam);
}

class SubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CeTestParent";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    m_top = CreateWindowExA(0, "CeTestParent", "", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr, nullptr,
                            nullptr);
    m_other = Child("EDIT", WS_BORDER, 200, 10, 99);
    g_heard.clear();
    g_passed.clear();
    g_notifyAnswer = 0;
    g_markHandled = false;
    SetForegroundWindow(m_top);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
  }
  void TearDown() override { DestroyWindow(m_top); }

  HWND Child(const char* cls, DWORD style, int x, int y, int id) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, 150, 120, m_top, (HMENU)(INT_PTR)id,
                           nullptr, nullptr);
  }
  HWND Combo(int id) {
    HWND combo = Child("COMBOBOX", CBS_DROPDOWN | CBS_HASSTRINGS, 10, 10, id);
    for (const char* item : {"eins", "zwei", "drei"}) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)item);
    return combo;
  }
  static HWND EditOf(HWND combo) { return FindWindowExA(combo, nullptr, "Edit", nullptr); }
  static std::string Text(HWND hwnd) {
    char text[300] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
  }
  // A key pressed on the focused window, as the message loop delivers it.
  static void PressKey(HWND hwnd, UINT vk) {
    LPARAM down = 1 | (MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16);
    PostMessageA(hwnd, WM_KEYDOWN, vk, down);
    PumpMessages();  // the character follows the key-down, before the key-up
    PostMessageA(hwnd, WM_KEYUP, vk, down | 0xC0000000);
    PumpMessages();
  }

  HWND m_top = nullptr, m_other = nullptr;
};

// The key blocks the parent heard.
std::vector<Heard> Notifies() {
  std::vector<Heard> blocks;
  for (const Heard& h : g_heard) {
    if (h.msg == WM_NOTIFY) blocks.push_back(h);
  }
  return blocks;
}

WNDPROC ProcOf(HWND hwnd) { return (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_WNDPROC); }
WNDPROC Stored(HWND hwnd) { return (WNDPROC)GetPropW(hwnd, (LPCWSTR)(UINT_PTR)CeInitSubclassing()); }

}  // namespace

TEST_F(SubclassTest, EveryMemberInstallsItselfAndDetachRestores) {
  const WNDPROC members[] = {CeEditKeyNotifyProc, CeEditDropFilesProc, CeDisabledEditProc, CeReadOnlyEditProc,
                             CeCompanionMirrorProc};
  for (WNDPROC member : members) {
    HWND edit = Child("EDIT", 0, 10, 10, 100);
    WNDPROC original = ProcOf(edit);
    EXPECT_EQ(CeSubclassWindow(edit, member), 1);
    EXPECT_EQ(ProcOf(edit), member);
    EXPECT_EQ(Stored(edit), original);
    SetWindowTextA(edit, "chained");  // reaches the edit's own procedure
    EXPECT_EQ(Text(edit), "chained");
    EXPECT_EQ(SendMessageA(edit, WM_CE_DETACH, 0, 0), (LRESULT)original);
    EXPECT_EQ(ProcOf(edit), original);
    EXPECT_EQ(Stored(edit), nullptr);
    DestroyWindow(edit);
  }
  EXPECT_EQ(CeSubclassWindowChecked(m_other, nullptr), 0);
}

TEST_F(SubclassTest, AttachCases) {
  // Already running the member: it chains to the class, not to itself.
  HWND edit = Child("EDIT", 0, 10, 10, 100);
  WNDPROC classProc = (WNDPROC)GetClassLongPtrA(edit, GCLP_WNDPROC);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)CeEditKeyNotifyProc);
  EXPECT_EQ(CeSubclassWindow(edit, CeEditKeyNotifyProc), 1);
  EXPECT_EQ(Stored(edit), classProc);
  SetWindowTextA(edit, "ohne Schleife");
  EXPECT_EQ(Text(edit), "ohne Schleife");

  // A given procedure: GWL_WNDPROC stays, the member chains to it.
  HWND edit2 = Child("EDIT", 0, 10, 40, 101);
  WNDPROC original = ProcOf(edit2);
  g_recorderChain = original;
  EXPECT_EQ(CeReadOnlyEditProc(edit2, WM_CE_ATTACH, 0, (LPARAM)RecorderProc), 1);
  EXPECT_EQ(ProcOf(edit2), original);
  EXPECT_EQ(Stored(edit2), RecorderProc);
  CeReadOnlyEditProc(edit2, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(g_passed, std::vector<UINT>{WM_KEYDOWN});
  EXPECT_EQ(CeReadOnlyEditProc(edit2, WM_CE_DETACH, 1, 1), (LRESULT)RecorderProc);
  EXPECT_EQ(ProcOf(edit2), original);  // lParam set: not put back
  EXPECT_EQ(Stored(edit2), nullptr);

  // One member per window: a second one would chain into the first and back.
  HWND edit3 = Child("EDIT", 0, 10, 70, 102);
  EXPECT_EQ(CeSubclassWindow(edit3, CeEditDropFilesProc), 1);
  EXPECT_EQ(CeSubclassWindow(edit3, CeReadOnlyEditProc), 0);
  EXPECT_EQ(ProcOf(edit3), CeEditDropFilesProc);
  SetWindowTextA(edit3, "noch da");
  EXPECT_EQ(Text(edit3), "noch da");

  // Combo box members also attach their edit's member, and detach it.
  HWND combo = Combo(200);
  WNDPROC comboProc = ProcOf(combo);
  EXPECT_EQ(CeSubclassWindow(combo, ComboBoxSelKeepProc), 1);
  EXPECT_EQ(ProcOf(combo), ComboBoxSelKeepProc);
  EXPECT_EQ(ProcOf(EditOf(combo)), CeComboEditFocusProc);
  EXPECT_EQ(CeUnsubclassWindow(combo), (LRESULT)comboProc);
  EXPECT_EQ(ProcOf(combo), comboProc);
  EXPECT_NE(ProcOf(EditOf(combo)), CeComboEditFocusProc);
  EXPECT_EQ(Stored(EditOf(combo)), nullptr);
}

TEST_F(SubclassTest, ReturnTakenByTheParentIsEatenWhole) {
  HWND edit = Child("EDIT", ES_MULTILINE | ES_WANTRETURN, 10, 10, 100);
  g_recorderChain = ProcOf(edit);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)RecorderProc);
  ASSERT_EQ(CeSubclassWindow(edit, CeEditKeyNotifyProc), 1);
  SetFocus(edit);
  SetWindowTextA(edit, "ab");
  SendMessageA(edit, EM_SETSEL, 2, 2);

  g_notifyAnswer = 1;
  PressKey(edit, VK_RETURN);
  std::vector<Heard> blocks = Notifies();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].code, (UINT)NM_KEYDOWN);
  EXPECT_EQ(blocks[0].key, (UINT)VK_RETURN);
  EXPECT_EQ(blocks[0].from, edit);
  EXPECT_EQ(blocks[0].id, 100u);
  EXPECT_TRUE(g_passed.empty());  // no WM_KEYDOWN, WM_CHAR or WM_KEYUP
  EXPECT_EQ(Text(edit), "ab");

  // The marker in idFrom counts as taken as well.
  g_notifyAnswer = 0;
  g_markHandled = true;
  PressKey(edit, VK_TAB);
  EXPECT_TRUE(g_passed.empty());

  // Not taken: the edit gets the key.
  g_markHandled = false;
  g_heard.clear();
  PressKey(edit, VK_RETURN);
  EXPECT_EQ(Notifies().size(), 1u);
  EXPECT_EQ(Text(edit), "ab\r\n");
  EXPECT_EQ(g_passed, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(SubclassTest, DownOpensTheListAndParenthesisIsTyped) {
  HWND combo = Combo(300);
  ASSERT_EQ(CeSubclassWindow(combo, CeComboKeyProc), 1);
  HWND edit = EditOf(combo);
  EXPECT_EQ(ProcOf(edit), CeComboEditKeyProc);
  SetFocus(edit);
  PostMessageA(edit, WM_CHAR, '(', 1);  // 0x28, the code of VK_DOWN
  PumpMessages();
  EXPECT_EQ(Text(combo), "(");
  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
  PressKey(edit, VK_DOWN);
  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 1);

  // Return closes the list and reaches the parent for the combo box.
  g_notifyAnswer = 1;
  PressKey(edit, VK_RETURN);
  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
  std::vector<Heard> blocks = Notifies();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].code, (UINT)NM_RETURN);
  EXPECT_EQ(blocks[0].from, combo);
  EXPECT_EQ(blocks[0].id, 300u);
  EXPECT_EQ(Text(combo), "(");

  // An empty list stays closed.
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  PressKey(edit, VK_DOWN);
  EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
}

TEST_F(SubclassTest, SelectionKeptAfterTheFocusLeft) {
  HWND combo = Combo(400);
  ASSERT_EQ(CeSubclassWindow(combo, ComboBoxSelKeepProc), 1);
  HWND edit = EditOf(combo);
  int editId = GetDlgCtrlID(edit);
  SetWindowTextA(combo, "abcdef");
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 2, 4);
  SetFocus(m_other);
  PumpMessages();

  DWORD start = 0, end = 0;
  EXPECT_EQ(SendMessageA(combo, CB_GETEDITSEL, (WPARAM)&start, (LPARAM)&end), MAKELONG(2, 4));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(GetDlgCtrlID(edit), editId);  // the id is left alone
  std::vector<UINT> codes;
  for (const Heard& h : g_heard) {
    if (h.msg == WM_COMMAND && h.id == 400 && h.from == combo) codes.push_back(h.code);
  }
  EXPECT_NE(std::find(codes.begin(), codes.end(), (UINT)CEN_SETFOCUS), codes.end());
  EXPECT_NE(std::find(codes.begin(), codes.end(), (UINT)CEN_KILLFOCUS), codes.end());

  // With the focus back the edit answers for itself.
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 1, 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETEDITSEL, 0, 0), MAKELONG(1, 3));

  // The edit's colour question reaches the parent for the combo box.
  g_heard.clear();
  HDC dc = GetDC(edit);
  SendMessageA(combo, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit);
  ReleaseDC(edit, dc);
  ASSERT_FALSE(g_heard.empty());
  EXPECT_EQ(g_heard.back().msg, (UINT)WM_CTLCOLOREDIT);
  EXPECT_EQ(g_heard.back().from, combo);
}

namespace {
// A drop as the shell would hand it over: DROPFILES and a double-NUL list.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& p : paths) list += p + '\0';
  list += '\0';
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  DROPFILES* df = (DROPFILES*)GlobalLock(h);
  df->pFiles = sizeof(DROPFILES);
  memcpy(df + 1, list.data(), list.size());
  GlobalUnlock(h);
  return h;
}

std::vector<UINT> CommandCodes(int id) {
  std::vector<UINT> codes;
  for (const Heard& h : g_heard) {
    if (h.msg == WM_COMMAND && (int)h.id == id) codes.push_back(h.code);
  }
  return codes;
}
}  // namespace

TEST_F(SubclassTest, DroppedFileBecomesTheText) {
  HWND edit = Child("EDIT", ES_AUTOHSCROLL, 10, 10, 500);
  ASSERT_EQ(CeSubclassWindow(edit, CeEditDropFilesProc), 1);
  EXPECT_EQ(SendMessageA(edit, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\Daten\\erste.txt", "C:\\zweite.txt"}), 0), 0);
  g_heard.clear();  // the edit's own reports; the posted ones follow
  EXPECT_EQ(Text(edit), "C:\\Daten\\erste.txt");
  PumpMessages();
  EXPECT_EQ(CommandCodes(500), (std::vector<UINT>{CEN_CHANGE, CEN_DROPFILES}));

  HWND combo = Combo(501);
  ASSERT_EQ(CeSubclassWindow(combo, CeComboDropFilesProc), 1);
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  SendMessageA(combo, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\a b.reg"}), 0);
  g_heard.clear();
  EXPECT_EQ(Text(combo), "C:\\a b.reg");
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);
  PumpMessages();
  EXPECT_EQ(CommandCodes(501), (std::vector<UINT>{CEN_EDITCHANGE, CEN_DROPFILES}));
  // Dropped on the combo box's edit: reported for the combo box.
  SendMessageA(EditOf(combo), WM_DROPFILES, (WPARAM)MakeDrop({"C:\\c.txt"}), 0);
  g_heard.clear();
  EXPECT_EQ(Text(combo), "C:\\c.txt");
  PumpMessages();
  EXPECT_EQ(CommandCodes(501), (std::vector<UINT>{CEN_EDITCHANGE, CEN_DROPFILES}));

  // No file: nothing changes, nothing reported.
  g_heard.clear();
  SendMessageA(edit, WM_DROPFILES, (WPARAM)MakeDrop({}), 0);
  PumpMessages();
  EXPECT_EQ(Text(edit), "C:\\Daten\\erste.txt");
  EXPECT_TRUE(g_heard.empty());
}

TEST_F(SubclassTest, ReadOnlyEditRefusesChangesButCopies) {
  HWND edit = Child("EDIT", ES_AUTOHSCROLL, 10, 10, 600);
  ASSERT_EQ(CeSubclassWindow(edit, CeReadOnlyEditProc), 1);
  SetWindowTextA(edit, "fest");
  EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, 2);
  PostMessageA(edit, WM_CHAR, 'x', 1);
  PressKey(edit, VK_BACK);
  PressKey(edit, VK_DELETE);
  for (UINT msg : {WM_CUT, WM_CLEAR, WM_PASTE}) SendMessageA(edit, msg, 0, 0);
  EXPECT_EQ(Text(edit), "fest");

  // Ctrl+C still copies.
  ASSERT_TRUE(OpenClipboard(m_top));
  EmptyClipboard();
  CloseClipboard();
  SendMessageA(edit, WM_CHAR, 3, 1);  // Ctrl+C as the edit hears it
  ASSERT_TRUE(OpenClipboard(m_top));
  HANDLE h = GetClipboardData(CF_TEXT);
  std::string copied = h ? (const char*)GlobalLock(h) : "";
  if (h) GlobalUnlock(h);
  CloseClipboard();
  EXPECT_EQ(copied, "fe");
}

namespace {
// Pixels of the grey text colour in a window's picture.
int GreyTextPixels(HWND hwnd) {
  WindowCapture cap(hwnd);
  return cap.Count(GetSysColor(COLOR_GRAYTEXT), {0, 0, cap.Width(), cap.Height()});
}
}  // namespace

TEST_F(SubclassTest, DisabledEditsKeepTheirReadableLook) {
  HWND plain = Child("EDIT", 0, 10, 10, 700);
  HWND kept = Child("EDIT", 0, 10, 40, 701);
  HWND userData = Child("EDIT", 0, 10, 70, 702);
  ASSERT_EQ(CeSubclassWindow(kept, CeDisabledEditProc), 1);
  WNDPROC original = ProcOf(userData);
  ASSERT_EQ(SubclassWindowUserData(userData, ReadOnlyWhenDisabledProc), 1);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(userData, GWLP_USERDATA), original);
  EXPECT_EQ(SubclassWindowUserData(userData, nullptr), 0);

  // Enabled, the user-data edit is read-write.
  SetFocus(userData);
  EXPECT_EQ(SendMessageA(userData, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  PostMessageA(userData, WM_CHAR, 'x', 1);
  PumpMessages();
  EXPECT_EQ(Text(userData), "x");

  for (HWND edit : {plain, kept, userData}) {
    SetWindowTextA(edit, "WWWWWW");
    EnableWindow(edit, FALSE);
  }
  PumpMessages();
  EXPECT_GT(GreyTextPixels(plain), 0);
  EXPECT_EQ(GreyTextPixels(kept), 0);
  EXPECT_EQ(GreyTextPixels(userData), 0);
  EXPECT_EQ(SendMessageA(kept, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
  EXPECT_EQ(SendMessageA(kept, WM_SETFOCUS, 0, 0), 0);

  // Disabled, the user-data edit refuses changes.
  SendMessageA(userData, WM_CHAR, 'y', 1);
  SendMessageA(userData, WM_KEYDOWN, VK_BACK, 1);
  SendMessageA(userData, EM_SETSEL, 0, -1);
  SendMessageA(userData, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(userData), "WWWWWW");
}

TEST_F(SubclassTest, HistoryComboMirrorsTheHiddenFileNameField) {
  const int kFieldId = 0x480, kComboId = kFieldId ^ CE_COMPANION_XOR;
  HWND field = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10, m_top, (HMENU)(INT_PTR)kFieldId,
                               nullptr, nullptr);
  HWND combo = Combo(kComboId);
  SetWindowLongPtrA(combo, GWL_EXSTYLE, GetWindowLongPtrA(combo, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  ASSERT_EQ(CeSubclassWindow(field, CeCompanionMirrorProc), 1);
  ASSERT_EQ(CeSubclassWindow(combo, CeHistoryComboProc), 1);
  HWND edit = EditOf(combo);
  EXPECT_EQ(ProcOf(edit), CeComboEditMirrorProc);
  auto ownText = [field] {
    char text[300] = "";
    SendMessageA(field, WM_CE_GETOWNTEXT, sizeof text, (LPARAM)text);
    return std::string(text);
  };

  // The dialog writes the hidden field: the combo box shows it.
  SetWindowTextA(field, "C:\\a.txt");
  EXPECT_EQ(ownText(), "C:\\a.txt");
  EXPECT_EQ(Text(combo), "C:\\a.txt");
  // The combo box's text is what the dialog reads from the field.
  SetWindowTextA(combo, "b.txt");
  EXPECT_EQ(ownText(), "b.txt");
  EXPECT_EQ(Text(field), "b.txt");

  // Typing: the field follows, the dialog hears a change of the combo box.
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 5, 5);
  g_heard.clear();
  PostMessageA(edit, WM_CHAR, 'x', 1);
  PumpMessages();
  EXPECT_EQ(ownText(), "b.txtx");
  EXPECT_NE(std::find(CommandCodes(kComboId).begin(), CommandCodes(kComboId).end(), (UINT)CEN_CHANGE),
            CommandCodes(kComboId).end());

  // A selected item is the text, cut to the caller's buffer.
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  char small[3] = "";
  EXPECT_EQ(SendMessageA(combo, WM_GETTEXT, sizeof small, (LPARAM)small), 2);
  EXPECT_STREQ(small, "zw");
  EXPECT_EQ(SendMessageA(combo, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(Text(field), "zwei");

  // Return in the field reaches the dialog for the combo box.
  g_heard.clear();
  g_notifyAnswer = 1;
  SendMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
  std::vector<Heard> blocks = Notifies();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].from, combo);
  EXPECT_EQ(blocks[0].id, (UINT_PTR)kComboId);

  // The edit's keys go through the combo box, which loses the answer: the
  // marker in idFrom still tells the edit that the key was taken.
  SendMessageA(combo, CB_SETCURSEL, (WPARAM)-1, 0);
  SetWindowTextA(combo, "abc");
  SendMessageA(edit, EM_SETSEL, 0, 0);
  g_notifyAnswer = 0;
  g_markHandled = true;
  SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(Text(combo), "abc");
  g_markHandled = false;
  SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(Text(combo), "bc");

  // A dropped file: text, field and three reports.
  SendMessageA(combo, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\neu.reg"}), 0);
  g_heard.clear();
  PumpMessages();
  EXPECT_EQ(Text(combo), "C:\\neu.reg");
  EXPECT_EQ(ownText(), "C:\\neu.reg");
  EXPECT_EQ(CommandCodes(kComboId), (std::vector<UINT>{CEN_EDITCHANGE, CEN_CHANGE, CEN_DROPFILES}));
}
