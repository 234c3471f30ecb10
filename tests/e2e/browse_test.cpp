// End-to-end browsing: the panes of Ostrova.exe show the seeded test key,
// follow typed paths and the history, sort, rename and delete in place.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/browser/treewndids.h"
#include "controls/treelist/treelist.h"
#include "e2e/driver/e2e_fixture.h"
#include "harness/window_util.h"
#include "e2e/driver/msgbox_reader.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "e2e/driver/registry_snapshot.h"
#include "res/resource.h"

namespace {
const char kBasic[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic";

std::string Join(const std::vector<std::string>& rows) {
  std::string s;
  for (const std::string& r : rows) s += r + "\n";
  return s;
}

const char* const kBasicRows =
    "(Standard)|REG_SZ|\"Standardwert\"\n"
    "äöüß€|REG_SZ|\"äöüß€\"\n"
    "Binär|REG_BINARY|00 01 7F 80  FE FF  \n"
    "Groß|REG_QWORD|0x0123456789ABCDEF / 81985529216486895\n"
    "Leer|REG_BINARY|\n"
    "Liste|REG_MULTI_SZ|\"eins\"   \"zwei\"   \"drei\"\n"
    "Pfad|REG_EXPAND_SZ|\"%SystemRoot%\\system32\"\n"
    "Text|REG_SZ|\"Hallo Welt\"\n"
    "Wert 9|REG_SZ|\"neun\"\n"
    "Wert 10|REG_SZ|\"zehn\"\n"
    "Zahl|REG_DWORD|0x12345678 / 305419896\n";
const char kLevel2Rows[] = "(Standard)|REG_SZ|(Wert nicht festgelegt)\nTiefe|REG_SZ|\"Ebene 2\"\n";
const char kRoots[] = "HKEY_CLASSES_ROOT,HKEY_CURRENT_USER,HKEY_LOCAL_MACHINE,HKEY_USERS,HKEY_CURRENT_CONFIG";

// Waits until the pane shows path in its combo box and rows in its list
// (filled by a worker, so the cells come a little after the rows).
bool WaitForPath(const PaneReader& pane, const std::string& path, const std::string& rows) {
  return WaitUntil([&] { return pane.ComboText() == path && Join(pane.Rows()) == rows; });
}

// The tree item of a path below the roots, or nullptr.
HTREEITEM TreePath(const PaneReader& pane, std::initializer_list<const char*> names) {
  HTREEITEM item = nullptr;
  for (const char* name : names)
    if (!(item = pane.ChildNamed(item, name))) return nullptr;
  return item;
}

TEST_F(EndToEnd, StartPathsShowTreeComboAndCells) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic + " -2:HKLM"));
  PaneReader pane(app.Process(), app.Pane(0));
  EXPECT_TRUE(WaitForPath(pane, kBasic, kBasicRows)) << pane.ComboText() << "\n" << Join(pane.Rows());
  EXPECT_EQ(pane.Children(nullptr), kRoots);
  // The tree is opened down to the key, which is its caret.
  HTREEITEM e2e = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E"});
  EXPECT_EQ(pane.Children(e2e), "äöüß€,Basic");
  HTREEITEM caret = (HTREEITEM)SendMessageA(pane.Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
  EXPECT_EQ(pane.ItemText(pane.Tree(), caret), "Basic");
  SaveScreen(app.Frame(), "browse_start");

  // Pane 2 shows its start path, given short, once both panes are shown.
  app.Command(ID_SPLIT_VERT);
  ASSERT_TRUE(WaitUntil([&] { return app.Pane(1) && IsWindowVisible(app.Pane(1)); }));
  PaneReader second(app.Process(), app.Pane(1));
  EXPECT_TRUE(WaitUntil([&] { return second.ComboText() == "HKEY_LOCAL_MACHINE" && second.RowCount() == 1; }))
      << "[" << second.ComboText() << "] " << second.RowCount();
  SaveScreen(app.Frame(), "browse_two_panes");
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredProgramString("LastPath2"), "HKEY_LOCAL_MACHINE");
}

// Without a path to open, each pane's path bar names the key selected in
// its tree, the first root; the program remembers no path for it.
TEST_F(EndToEnd, PathBarNamesTheSelectedKeyAtStart) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  PaneReader pane(app.Process(), app.Pane(0));
  HTREEITEM caret = (HTREEITEM)SendMessageA(pane.Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
  EXPECT_EQ(pane.ItemText(pane.Tree(), caret), "HKEY_CLASSES_ROOT");
  EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == "HKEY_CLASSES_ROOT"; })) << pane.ComboText();
  SaveScreen(app.Frame(), "browse_start_without_path");
  app.Command(ID_SPLIT_VERT);
  ASSERT_TRUE(WaitUntil([&] { return app.Pane(1) && IsWindowVisible(app.Pane(1)); }));
  PaneReader second(app.Process(), app.Pane(1));
  EXPECT_TRUE(WaitUntil([&] { return second.ComboText() == "HKEY_CLASSES_ROOT"; })) << second.ComboText();
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredProgramString("LastPath1"), "");
  EXPECT_EQ(StoredProgramString("LastPath2"), "");
}

// A path typed into the combo box and confirmed with Return is shown; an
// invalid one leaves the pane where it was.
TEST_F(EndToEnd, TypedPathShowsItsRows) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  HWND edit = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  ASSERT_NE(edit, nullptr);

  const std::string deep = std::string(kBasic) + "\\Ebene 1\\Ebene 2";
  SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)deep.c_str());
  Press(edit, VK_RETURN);
  EXPECT_TRUE(WaitForPath(pane, deep, kLevel2Rows)) << pane.ComboText() << "\n" << Join(pane.Rows());
  SaveScreen(app.Frame(), "browse_typed_path");

  const std::string invalid = std::string(kBasic) + "\\Gibt es nicht";
  SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)invalid.c_str());
  Press(edit, VK_RETURN);
  // The typed text stays for correcting (the combo has the focus); the
  // rows and the shown path stay.
  WaitUntil([] { return false; }, 500);
  EXPECT_EQ(Join(pane.Rows()), kLevel2Rows);
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredProgramString("LastPath1"), deep);
}

// Paths typed one after another each go into the history.
TEST_F(EndToEnd, TypedPathsInARowAllGoIntoTheHistory) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  HWND edit = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  const std::string level1 = std::string(kBasic) + "\\Ebene 1";
  const std::string level2 = level1 + "\\Ebene 2";
  const std::string level1Rows = "(Standard)|REG_SZ|(Wert nicht festgelegt)\nTiefe|REG_SZ|\"Ebene 1\"\n";
  for (const std::string& path : {level1, level2}) {
    SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)path.c_str());
    Press(edit, VK_RETURN);
    // The combo shows the typed text at once: wait for the rows.
    ASSERT_TRUE(WaitForPath(pane, path, path == level1 ? level1Rows : kLevel2Rows)) << Join(pane.Rows());
  }
  for (const std::string& path : {level1, std::string(kBasic)}) {
    HWND button = GetDlgItem(app.Pane(0), ID_TREEWND_BACK);
    PostMessageA(app.Pane(0), WM_COMMAND, MAKEWPARAM(ID_TREEWND_BACK, BN_CLICKED), (LPARAM)button);
    EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == path; })) << path << ": " << pane.ComboText();
  }
  ASSERT_TRUE(app.Close());
}

// Back and forward walk the shown paths; their buttons follow the history.
TEST_F(EndToEnd, BackAndForwardFollowTheHistory) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  const std::string level1 = std::string(kBasic) + "\\Ebene 1";
  const std::string level2 = level1 + "\\Ebene 2";
  auto buttons = [&] {
    return std::string(pane.ButtonEnabled(ID_TREEWND_BACK) ? "1" : "0") +
           (pane.ButtonEnabled(ID_TREEWND_FORWARD) ? "1" : "0");
  };
  HTREEITEM item = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Basic"});
  for (const std::string& path : {level1, level2}) {
    // Keys chosen in the tree.
    // The tree fills a level ahead on its own thread: wait for the child.
    const char* name = path == level1 ? "Ebene 1" : "Ebene 2";
    HTREEITEM parent = item;
    ASSERT_TRUE(WaitUntil([&] { return (item = pane.ChildNamed(parent, name)) != nullptr; })) << name;
    PostMessageA(pane.Tree(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == path; }, 10000)) << pane.ComboText();
  }
  EXPECT_TRUE(WaitUntil([&] { return buttons() == "10"; })) << buttons();
  struct Step {
    UINT command;
    std::string path;
    const char* buttons;
  };
  const Step steps[] = {
      {ID_TREEWND_BACK, level1, "11"},    {ID_TREEWND_BACK, kBasic, "01"}, {ID_TREEWND_FORWARD, level1, "11"},
      {ID_TREEWND_FORWARD, level2, "10"}, {ID_TREEWND_BACK, level1, "11"},
  };
  for (const Step& s : steps) {
    // As a click on the pane's button does.
    HWND button = GetDlgItem(app.Pane(0), s.command);
    PostMessageA(app.Pane(0), WM_COMMAND, MAKEWPARAM(s.command, BN_CLICKED), (LPARAM)button);
    EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == s.path && buttons() == s.buttons; }))
        << s.path << ": " << pane.ComboText() << " " << buttons() << " want " << s.buttons;
  }
  EXPECT_TRUE(WaitUntil([&] {
    return Join(pane.Rows()) == "(Standard)|REG_SZ|(Wert nicht festgelegt)\nTiefe|REG_SZ|\"Ebene 1\"\n";
  })) << Join(pane.Rows());
  SaveScreen(app.Frame(), "browse_history");
  ASSERT_TRUE(app.Close());
}

// Clicks a column of the list's header in the middle of its item.
void ClickHeader(const OstrovaProcess& app, const PaneReader& pane, int column) {
  HWND header = (HWND)SendMessageA(pane.List(), TLM_GETHEADER, 0, 0);
  ASSERT_NE(header, nullptr);
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  RECT r = {};
  ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)buf.Address()) && buf.Read(&r, sizeof r));
  POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  LPARAM at = MAKELPARAM(pt.x, pt.y);
  ClientToScreen(header, &pt);
  SetCursorPos(pt.x, pt.y);
  PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(header, WM_LBUTTONUP, 0, at);
}

// A key opened in the tree shows its children; header clicks leave the
// order of the entries.
TEST_F(EndToEnd, ExpandShowsChildrenAndHeaderClicksKeepTheOrder) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  const char natural[] = "(Standard),äöüß€,Binär,Groß,Leer,Liste,Pfad,Text,Wert 9,Wert 10,Zahl";
  EXPECT_EQ(pane.Names(), natural);
  // The view's pane style 0xCE8 holds TWS_NOHEADERSORT: a click reaches
  // the list (it takes the focus) and the natural order stays.
  for (int column : {0, 0, 1}) {
    FocusIn(pane.Tree());
    ClickHeader(app, pane, column);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); })) << column;
    EXPECT_EQ(pane.Names(), natural) << column;
  }
  SaveScreen(app.Frame(), "browse_sorted");

  HTREEITEM level1 = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Basic", "Ebene 1"});
  ASSERT_NE(level1, nullptr);
  // Chosen, then opened with the Right key.
  PostMessageA(pane.Tree(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)level1);
  Press(pane.Tree(), VK_RIGHT);
  EXPECT_TRUE(WaitUntil([&] { return pane.Children(level1) == "Ebene 2"; })) << pane.Children(level1);

  ASSERT_TRUE(app.Close());
}

// Chooses the entry and gives the list the focus.
void ChooseEntry(const PaneReader& pane, const char* name) {
  int row = pane.RowNamed(name);
  ASSERT_GE(row, 0) << name;
  SendMessageA(pane.List(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)pane.RowItem(row));
  FocusIn(pane.List());
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); }));
}

// A visible top-level window of Ostrova other than its frame.
HWND FindBox(const OstrovaProcess& app) {
  struct Search {
    DWORD pid;
    HWND frame, found;
  } s = {GetProcessId(app.Process()), app.Frame(), nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
        auto* s = (Search*)lp;
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == s->pid && hwnd != s->frame && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&s);
  return s.found;
}

std::string ValueOf(const char* name, DWORD* type) {
  char data[256] = "";
  DWORD size = sizeof data;
  *type = REG_NONE;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\E2E\\Basic", name, RRF_RT_ANY | RRF_NOEXPAND, type, data,
                   &size) != ERROR_SUCCESS)
    return "<missing>";
  return std::string(data, size);
}

// F2 renames a value in place, keeping its type and bytes; Delete asks
// first: Cancel keeps the value, OK removes it.
TEST_F(EndToEnd, RenameAndDeleteAValue) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  DWORD type = 0;
  const std::string bytes = ValueOf("Pfad", &type);
  ASSERT_EQ(type, (DWORD)REG_EXPAND_SZ);

  ChooseEntry(pane, "Pfad");
  Press(pane.List(), VK_F2);
  HWND edit = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (edit = (HWND)SendMessageA(pane.List(), TVM_GETEDITCONTROL, 0, 0)) != nullptr; }));
  SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "Pfad neu");
  SaveScreen(app.Frame(), "browse_rename");
  Press(edit, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return ValueOf("Pfad neu", &type) == bytes && type == REG_EXPAND_SZ; }));
  EXPECT_EQ(ValueOf("Pfad", &type), "<missing>");
  EXPECT_TRUE(WaitUntil([&] { return pane.RowNamed("Pfad neu") >= 0 && pane.RowNamed("Pfad") < 0; })) << pane.Names();

  for (int answer : {IDCANCEL, IDOK}) {
    ChooseEntry(pane, "Pfad neu");
    Press(pane.List(), VK_DELETE);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox(app)) != nullptr; })) << answer;
    char caption[64] = "";
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, "Ostrova");
    // Nine lines: entry, blank, name, blank, "in :", blank, key, blank, question.
    EXPECT_EQ(Join(MsgBoxLines(app.Process(), box)),
              "Den Registry-Eintrag\n\n    'Pfad neu'\n\nin :\n\n"
              "    'HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic'    \n\nwirklich löschen ?\n");
    if (answer == IDCANCEL) SaveScreen(box, "browse_delete_box");
    PostMessageA(box, WM_COMMAND, answer, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    if (answer == IDCANCEL) {
      EXPECT_EQ(ValueOf("Pfad neu", &type), bytes);
      EXPECT_GE(pane.RowNamed("Pfad neu"), 0);
    } else {
      EXPECT_TRUE(WaitUntil([&] { return ValueOf("Pfad neu", &type) == "<missing>"; }));
      EXPECT_TRUE(WaitUntil([&] { return pane.RowNamed("Pfad neu") < 0; })) << pane.Names();
    }
  }
  ASSERT_TRUE(app.Close());
  // The seeded value back for the scenarios after this one.
  EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\E2E\\Basic", "Pfad", REG_EXPAND_SZ,
                            bytes.data(), (DWORD)bytes.size()),
            ERROR_SUCCESS);
}

// The distance between the centres of two windows, the larger of x and y.
int CentreOffset(HWND a, HWND b) {
  RECT ra, rb;
  GetWindowRect(a, &ra);
  GetWindowRect(b, &rb);
  int dx = (ra.left + ra.right) / 2 - (rb.left + rb.right) / 2;
  int dy = (ra.top + ra.bottom) / 2 - (rb.top + rb.bottom) / 2;
  return std::max(std::abs(dx), std::abs(dy));
}

// The delete questions for a key and for several entries name the whole
// path with its root; the box opens over the program's window, also when
// that window is away from the middle of the screen. Cancel keeps all.
TEST_F(EndToEnd, DeleteQuestionsNameTheRootAndOpenOverTheWindow) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  SetWindowPos(app.Frame(), nullptr, 30, 20, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] {
    RECT r;
    GetWindowRect(app.Frame(), &r);
    return r.left == 30 && r.top == 20;
  }));
  HTREEITEM level1 = TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Basic", "Ebene 1"});
  ASSERT_NE(level1, nullptr);
  struct Case {
    const char* name;
    const char* lines;
  } cases[] = {
      {"key",
       "Den Registry-Schlüssel\n\n   'HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic\\Ebene 1'    \n\n"
       "wirklich löschen ?\n"},
      {"entries",
       "Die Registry-Einträge in\n\n    'HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic'    \n\n"
       "wirklich löschen ?\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.name[0] == 'k') {
      PostMessageA(pane.Tree(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)level1);
      FocusIn(pane.Tree());
      ASSERT_TRUE(WaitUntil([&] { return FocusOf(pane.Tree()) == pane.Tree(); }));
      // Choosing the key shows it; the question waits for that.
      ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == std::string(kBasic) + "\\Ebene 1"; }));
      Press(pane.Tree(), VK_DELETE);
    } else {
      PostMessageA(app.Pane(0), WM_COMMAND, ID_TREEWND_BACK, 0);
      ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
      ChooseEntry(pane, "Text");
      PostMessageA(app.Pane(0), WM_COMMAND, ID_TREEWND_SELECTALL, 0);
      ASSERT_TRUE(WaitUntil([&] { return pane.SelectedNames() == pane.Names(); }));
      FocusIn(pane.List());
      Press(pane.List(), VK_DELETE);
    }
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox(app)) != nullptr; }));
    EXPECT_EQ(Join(MsgBoxLines(app.Process(), box)), c.lines);
    EXPECT_LE(CentreOffset(box, app.Frame()), 1);
    SaveScreen(GetDesktopWindow(), std::string("browse_delete_") + c.name);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }
  EXPECT_NE(
      pane.ChildNamed(TreePath(pane, {"HKEY_CURRENT_USER", "Software", "OstrovaTests", "E2E", "Basic"}), "Ebene 1"),
      nullptr);
  EXPECT_EQ(pane.Names(), "(Standard),äöüß€,Binär,Groß,Leer,Liste,Pfad,Text,Wert 9,Wert 10,Zahl");
  ASSERT_TRUE(app.Close());
}

// Strings stored with half a character at their end, or without their
// NUL, show what is stored: the text in its quotes and the odd byte.
TEST_F(EndToEnd, StringsOfOddLengthShowWhatIsStored) {
  const char kOdd[] = "Software\\OstrovaTests\\E2EOdd";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOdd, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  struct Raw {
    const wchar_t* name;
    std::string bytes;
  } raws[] = {
      {L"gerade", std::string("A\0B\0\0\0", 6)},
      {L"ungerade", std::string("A\0B\0\0\0C", 7)},
      {L"halb", std::string("A\0B", 3)},
      {L"offen", std::string("A\0B\0", 4)},
  };
  for (const Raw& r : raws)
    ASSERT_EQ(RegSetValueExW(key, r.name, 0, REG_SZ, (const BYTE*)r.bytes.data(), (DWORD)r.bytes.size()),
              ERROR_SUCCESS);
  RegCloseKey(key);
  OstrovaProcess app;
  const std::string path = std::string("HKEY_CURRENT_USER\\") + kOdd;
  ASSERT_TRUE(app.Start("-1:" + path));
  PaneReader pane(app.Process(), app.Pane(0));
  EXPECT_TRUE(WaitForPath(pane, path,
                          "(Standard)|REG_SZ|(Wert nicht festgelegt)\n"
                          "gerade|REG_SZ|\"AB\"\n"
                          "halb|REG_SZ|\"A\" (+1 Byte: 42)\n"
                          "offen|REG_SZ|\"AB\"\n"
                          "ungerade|REG_SZ|\"AB\" (+1 Byte: 43)\n"))
      << Join(pane.Rows());
  SaveScreen(app.Frame(), "browse_odd_strings");
  ASSERT_TRUE(app.Close());
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kOdd));
}

// Ctrl+A in the list fires the frame's accelerator and selects every row.
TEST_F(EndToEnd, CtrlASelectsAllRows) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitForPath(pane, kBasic, kBasicRows));
  ChooseEntry(pane, "Text");
  EXPECT_EQ(pane.SelectedNames(), "Text");
  DWORD thread = GetWindowThreadProcessId(pane.List(), nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
  SetKeyboardState(keys);
  Press(pane.List(), 'A');
  bool all = WaitUntil([&] { return pane.SelectedNames() == pane.Names(); });
  keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  EXPECT_TRUE(all) << pane.SelectedNames();
  SaveScreen(app.Frame(), "browse_select_all");
  ASSERT_TRUE(app.Close());
}
}  // namespace
