// End-to-end: the built Ostrova.exe driven from outside as a user would,
// with the program key saved before and put back after, and a seeded test
// key for the scenarios that browse the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "harness/window_util.h"
#include "e2e/driver/layout_check.h"
#include "mfc/afxres.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/registry_snapshot.h"
#include "e2e/driver/scenario_util.h"
#include "res/resource.h"

std::string ScreenPath(const std::string& name) {
  // <build>\tests\e2e\screens\<name>, or screens\<display>\<name> on the
  // other displays of tools/e2e-displays.
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  dir = dir.substr(0, dir.rfind('\\')) + "\\screens";
  CreateDirectoryA(dir.c_str(), nullptr);
  char display[64] = "";
  if (GetEnvironmentVariableA("OSTROVA_SCREENS", display, sizeof display) && *display) {
    dir += std::string("\\") + display;
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  return dir + "\\" + name + ".png";
}

void SaveScreen(HWND hwnd, const std::string& name) {
  // What a user looks at is laid out, on every display and font size.
  EXPECT_EQ(LayoutProblems(hwnd), "") << name;
  // Taken once the program has painted the window itself: a redraw forced
  // from here would be captured half done.
  Shot(hwnd, name);
}

namespace {
const char kProgramKey[] = "Software\\Brannock\\Ostrova";
const char kSeedKey[] = "Software\\OstrovaTests\\E2E";
const char kSeedBasicPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic";
const int kSplitterGap = 7;
const int kMiddle = -10000;

// Toolbar commands in the order they are read in the states below.
const int kToolbarIds[] = {ID_SPLIT_HORZ, ID_SPLIT_VERT, ID_SPLIT_MIDDLE, ID_PANE_RIGHT, ID_PANE_LEFT};

bool SetDword(const char* path, const char* name, DWORD v) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, path, name, REG_DWORD, &v, sizeof v) == ERROR_SUCCESS;
}

// The stored DWORD, or 0x7FFFFFFF when it is missing.
int StoredDword(const char* name) {
  DWORD v = 0, size = sizeof v;
  if (RegGetValueA(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_REG_DWORD, nullptr, &v, &size) != ERROR_SUCCESS)
    return 0x7FFFFFFF;
  return (int)v;
}

std::string StoredString(const char* name) {
  char buf[1024] = "";
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return "<missing>";
  return buf;
}

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// A pane's rectangle in the view's client coordinates, or "hidden".
std::string PaneText(HWND pane, HWND view) {
  if (!pane || !IsWindowVisible(pane)) return "hidden";
  RECT r;
  GetWindowRect(pane, &r);
  MapWindowPoints(nullptr, view, (POINT*)&r, 2);
  return RectText(r);
}

struct Layout {
  int singleWnd;  // 0 both, 1 pane 1 alone, 2 pane 2 alone
  bool horz;
  int separator;
};

// What the panes should show for a layout: worked out here from the rules
// (the bar is 7 pixels, the middle rounds toward zero), not from the program.
std::string ExpectedPanes(HWND view, const Layout& l, int* splitPos) {
  RECT c;
  GetClientRect(view, &c);
  std::string full = RectText(c);
  if (l.singleWnd == 1) return full + " hidden";
  if (l.singleWnd == 2) return "hidden " + full;
  int extent = (l.horz ? c.bottom : c.right) - kSplitterGap;
  int off = l.separator <= kMiddle ? extent / 2 : l.separator < 0 ? 0 : l.separator > extent ? extent : l.separator;
  *splitPos = off;
  RECT a = c, b = c;
  if (l.horz) {
    a.bottom = off;
    b.top = off + kSplitterGap;
    b.bottom = off + kSplitterGap + (extent - off);
  } else {
    a.right = off;
    b.left = off + kSplitterGap;
    b.right = off + kSplitterGap + (extent - off);
  }
  return RectText(a) + " " + RectText(b);
}

std::string ActualPanes(const OstrovaProcess& app) {
  HWND view = app.View();
  return PaneText(app.Pane(0), view) + " " + PaneText(app.Pane(1), view);
}

// "1" enabled, "0" disabled, per kToolbarIds.
std::string ToolbarStates(const OstrovaProcess& app) {
  std::string s;
  for (int id : kToolbarIds) s += (app.ToolBarState(id) & TBSTATE_ENABLED) ? '1' : '0';
  return s;
}

// The bar between the panes as drawn on the screen: light, white, face...,
// shadow, black across its 7 pixels.
bool BarDrawn(HWND view, int splitPos, bool horz) {
  WindowCapture shot = WindowCapture::FromScreen(view);
  RECT w, c;
  GetWindowRect(view, &w);
  GetClientRect(view, &c);
  POINT origin = {0, 0};
  ClientToScreen(view, &origin);
  int dx = origin.x - w.left, dy = origin.y - w.top;
  auto at = [&](int along, int across) {
    return horz ? shot.Pixel(dx + along, dy + splitPos + across) : shot.Pixel(dx + splitPos + across, dy + along);
  };
  int mid = (horz ? c.right : c.bottom) / 2;
  return at(mid, 1) == RGB(255, 255, 255) && at(mid, 3) == GetSysColor(COLOR_BTNFACE) &&
         at(mid, 5) == GetSysColor(COLOR_BTNSHADOW) && at(mid, 6) == RGB(0, 0, 0);
}

// Waits until panes and toolbar show the layout; reports what they show.
void ExpectLayout(const OstrovaProcess& app, const Layout& l, const std::string& states, const std::string& name) {
  int splitPos = 0;
  std::string want = ExpectedPanes(app.View(), l, &splitPos);
  bool ok = WaitUntil([&] {
    return ActualPanes(app) == want && ToolbarStates(app) == states &&
           (l.singleWnd != 0 || BarDrawn(app.View(), splitPos, l.horz));
  });
  EXPECT_TRUE(ok) << name << ": panes " << ActualPanes(app) << " want " << want << "; toolbar " << ToolbarStates(app)
                  << " want " << states
                  << (l.singleWnd == 0 && !BarDrawn(app.View(), splitPos, l.horz) ? "; bar not drawn" : "");
  SaveScreen(app.Frame(), "layout_" + name);
}

}  // namespace

RegistrySnapshot* EndToEnd::s_saved = nullptr;

void EndToEnd::SetUpTestSuite() {
  s_saved = new RegistrySnapshot(RegistrySnapshot::Take(HKEY_CURRENT_USER, kProgramKey));
  SeedTestKey();
}

void EndToEnd::TearDownTestSuite() {
  EXPECT_TRUE(s_saved->Restore(HKEY_CURRENT_USER, kProgramKey));
  delete s_saved;
  s_saved = nullptr;
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kSeedKey));
}

void EndToEnd::SetUp() {
  // The mouse where no window of the program opens: resting on a toolbar
  // button it would put that button's prompt into the status bar.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey));
}

std::string StoredProgramString(const char* name) { return StoredString(name); }

void EndToEnd::SeedTestKey() {
  DeleteKeyTree(HKEY_CURRENT_USER, kSeedKey);
  const std::string basic = std::string(kSeedKey) + "\\Basic";
  auto set = [&](const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, type, data, size), ERROR_SUCCESS) << name;
  };
  auto setText = [&](const std::string& key, const char* name, DWORD type, const char* text) {
    set(key, name, type, text, (DWORD)strlen(text) + 1);
  };
  setText(basic, "", REG_SZ, "Standardwert");
  setText(basic, "Text", REG_SZ, "Hallo Welt");
  setText(basic, "äöüß€", REG_SZ, "äöüß€");
  setText(basic, "Pfad", REG_EXPAND_SZ, "%SystemRoot%\\system32");
  set(basic, "Liste", REG_MULTI_SZ, "eins\0zwei\0drei\0", 15);
  DWORD dword = 0x12345678;
  set(basic, "Zahl", REG_DWORD, &dword, sizeof dword);
  ULONGLONG qword = 0x0123456789ABCDEFull;
  set(basic, "Groß", REG_QWORD, &qword, sizeof qword);
  const BYTE binary[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
  set(basic, "Binär", REG_BINARY, binary, sizeof binary);
  set(basic, "Leer", REG_BINARY, nullptr, 0);
  // Natural order puts "Wert 9" before "Wert 10".
  setText(basic, "Wert 9", REG_SZ, "neun");
  setText(basic, "Wert 10", REG_SZ, "zehn");
  std::string deep = basic;
  for (const char* level : {"\\Ebene 1", "\\Ebene 2", "\\Ebene 3"}) {
    deep += level;
    setText(deep, "Tiefe", REG_SZ, level + 1);
  }
  setText(std::string(kSeedKey) + "\\äöüß€", "", REG_SZ, "Schlüssel mit Umlauten");
}

namespace {
TEST_F(EndToEnd, SeededKeyReadsBack) {
  char buf[64] = "";
  DWORD size = sizeof buf;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, (std::string(kSeedKey) + "\\Basic").c_str(), "äöüß€", RRF_RT_REG_SZ,
                         nullptr, buf, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buf, "äöüß€");
  size = sizeof buf;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, (std::string(kSeedKey) + "\\Basic\\Ebene 1\\Ebene 2\\Ebene 3").c_str(),
                         "Tiefe", RRF_RT_REG_SZ, nullptr, buf, &size),
            ERROR_SUCCESS);
}

TEST_F(EndToEnd, FirstStartWithoutSettings) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  char title[64] = "";
  GetWindowTextA(app.Frame(), title, sizeof title);
  EXPECT_STREQ(title, "Ostrova");
  EXPECT_TRUE(WaitUntil([&] { return app.StatusText(0) == "Bereit"; })) << app.StatusText(0);
  EXPECT_EQ(app.ToolBarCommands(), "32794,32795,32796,32798,32797,0,32813,0,57664");
  ExpectLayout(app, {1, false, kMiddle}, "11010", "first_start");
  EXPECT_NE(app.ToolBarState(ID_APP_ABOUT) & TBSTATE_ENABLED, 0) << "About";
  EXPECT_TRUE(app.Close());
  // Closing writes the defaults.
  EXPECT_EQ(StoredDword("SingleWnd"), 1);
  EXPECT_EQ(StoredDword("HorzSplit"), 0);
  EXPECT_EQ(StoredDword("FullMark"), 1);
  EXPECT_EQ(StoredDword("ShowCombo"), 1);
  EXPECT_EQ(StoredDword("SeparatorX"), kMiddle);
}

TEST_F(EndToEnd, LayoutCommandsFollowTheirUpdateHandlers) {
  struct Step {
    const char* name;
    int command;
    Layout layout;
    const char* toolbar;  // per kToolbarIds
  };
  // Only enabled commands are posted: the frame drops disabled ones.
  const Step steps[] = {
      {"vert", ID_SPLIT_VERT, {0, false, kMiddle}, "10011"},
      {"horz_toggle", ID_SPLIT_HORZ_TOGGLE, {0, true, kMiddle}, "01011"},
      {"pane_right", ID_PANE_RIGHT, {2, true, kMiddle}, "11001"},
      {"pane_left", ID_PANE_LEFT, {1, true, kMiddle}, "11010"},
      {"middle_toggle_on", ID_SPLIT_MIDDLE_TOGGLE, {0, true, kMiddle}, "01011"},
      {"middle_toggle_off", ID_SPLIT_MIDDLE_TOGGLE, {1, true, kMiddle}, "11010"},
      {"horz", ID_SPLIT_HORZ, {0, true, kMiddle}, "01011"},
      {"horz_toggle_back", ID_SPLIT_HORZ_TOGGLE, {0, false, kMiddle}, "10011"},
  };
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  ExpectLayout(app, {1, false, kMiddle}, "11010", "start");
  for (const Step& s : steps) {
    app.Command(s.command);
    ExpectLayout(app, s.layout, s.toolbar, s.name);
  }
  // The style toggles show in the stored settings.
  app.Command(ID_FULL_MARK);
  app.Command(ID_ALTERNATE);
  app.Command(ID_SHOW_LINES);
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredDword("SingleWnd"), 0);
  EXPECT_EQ(StoredDword("HorzSplit"), 0);
  EXPECT_EQ(StoredDword("FullMark"), 0);
  EXPECT_EQ(StoredDword("Alternate"), 1);
  EXPECT_EQ(StoredDword("ShowLines"), 1);
}

TEST_F(EndToEnd, RestartKeepsSettingsAndLastPaths) {
  std::string start = std::string("-1:") + kSeedBasicPath + " -2:HKEY_LOCAL_MACHINE";
  {
    OstrovaProcess app;
    ASSERT_TRUE(app.Start(start));
    app.Command(ID_SPLIT_HORZ);
    ExpectLayout(app, {0, true, kMiddle}, "01011", "restart_before");
    ASSERT_TRUE(app.Close());
  }
  EXPECT_EQ(StoredString("LastPath1"), kSeedBasicPath);
  EXPECT_EQ(StoredString("LastPath2"), "HKEY_LOCAL_MACHINE");
  {
    OstrovaProcess app;
    ASSERT_TRUE(app.Start());
    ExpectLayout(app, {0, true, kMiddle}, "01011", "restart_after");
    ASSERT_TRUE(app.Close());
  }
  // The panes reopened the last paths and keep them.
  EXPECT_EQ(StoredString("LastPath1"), kSeedBasicPath);
  EXPECT_EQ(StoredString("LastPath2"), "HKEY_LOCAL_MACHINE");

  // A stored bar position: "middle" becomes available and puts the bar back.
  ASSERT_TRUE(SetDword(kProgramKey, "HorzSplit", 0));
  ASSERT_TRUE(SetDword(kProgramKey, "SeparatorX", 150));
  {
    OstrovaProcess app;
    ASSERT_TRUE(app.Start());
    ExpectLayout(app, {0, false, 150}, "10111", "separator_150");
    app.Command(ID_SPLIT_MIDDLE);
    ExpectLayout(app, {0, false, kMiddle}, "10011", "separator_middle");
    ASSERT_TRUE(app.Close());
  }
  EXPECT_EQ(StoredDword("SeparatorX"), kMiddle);
}
}  // namespace

namespace {
// Presses the splitter bar at `at` (view client), moves the mouse to `to`
// and ends the drag with a release, or with Escape when cancel is set. The
// cursor goes first: a posted mouse message carries the position at posting.
void DragSplitter(const OstrovaProcess& app, POINT at, POINT to, bool cancel) {
  HWND view = app.View();
  DWORD thread = GetWindowThreadProcessId(view, nullptr);
  auto captured = [&] {
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(thread, &info) && info.hwndCapture == view;
  };
  POINT screen = at;
  ClientToScreen(view, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(WaitUntil(captured)) << "no drag";
  screen = to;
  ClientToScreen(view, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  if (cancel) PostMessageA(view, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  ASSERT_TRUE(WaitUntil([&] { return !captured(); })) << "drag did not end";
}
}  // namespace

// The splitter bar dragged 100 pixels, past the far edge and cancelled with
// Escape; the last position is stored.
TEST_F(EndToEnd, SplitterDragsAndEscape) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  app.Command(ID_SPLIT_VERT);
  ExpectLayout(app, {0, false, kMiddle}, "10011", "drag_start");
  RECT c;
  GetClientRect(app.View(), &c);
  const int middle = (c.right - kSplitterGap) / 2, y = c.bottom / 2;

  DragSplitter(app, {middle + 3, y}, {middle + 103, y}, false);
  ExpectLayout(app, {0, false, middle + 100}, "10111", "drag_plus_100");

  // Past the far edge: the bar stops with its 4-pixel line at the edge.
  DragSplitter(app, {middle + 103, y}, {c.right + 200, y + 20}, false);
  ExpectLayout(app, {0, false, c.right - 4}, "10111", "drag_past_end");

  // Escape: nothing moves.
  const int atEnd = c.right - kSplitterGap;
  DragSplitter(app, {atEnd + 3, y}, {atEnd - 200, y}, true);
  ExpectLayout(app, {0, false, c.right - 4}, "10111", "drag_escape");
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredDword("SeparatorX"), c.right - 4);
}

// A highlighted menu item puts its prompt in pane 0; the closed menu puts
// "Bereit" back.
TEST_F(EndToEnd, MenuSelectShowsThePrompt) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  HMENU edit = GetSubMenu(GetMenu(app.Frame()), 1);
  struct Case {
    int id;
    UINT flags;
    const char* text;
  };
  const Case cases[] = {
      {ID_FIND, MF_HILITE, "Sucht nach Key, Werten und Daten in der gesamten Registry."},
      {ID_EXPORT, MF_HILITE, "Die Daten vom aktuell gewählten Schlüssel in eine *.reg Datei exportieren."},
      {0, MF_HILITE | MF_SEPARATOR, ""},
      {ID_SPLIT_HORZ_TOGGLE, MF_HILITE, "Zeigt beide Fenster übereinander oder nebeneinander."},
  };
  for (const Case& c : cases) {
    SendMessageA(app.Frame(), WM_MENUSELECT, MAKEWPARAM(c.id, c.flags), (LPARAM)edit);
    EXPECT_TRUE(WaitUntil([&] { return app.StatusText(0) == c.text; })) << c.id << ": " << app.StatusText(0);
  }
  SendMessageA(app.Frame(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_TRUE(WaitUntil([&] { return app.StatusText(0) == "Bereit"; })) << app.StatusText(0);
  ASSERT_TRUE(app.Close());
}

// "Suchen" from the menu and "Suchen..." of the key tree's context menu open
// the same search dialog.
TEST_F(EndToEnd, FindCommandsOpenTheSearchDialog) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  DWORD pid = 0;
  GetWindowThreadProcessId(app.Frame(), &pid);
  for (int command : {ID_FIND, ID_CTX_FIND}) {
    app.Command(command);
    HWND dlg = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      dlg = FindWindowA("#32770", "Suchen");
      DWORD owner = 0;
      if (dlg) GetWindowThreadProcessId(dlg, &owner);
      return dlg && owner == pid && IsWindowVisible(dlg);
    })) << command;
    if (!dlg) continue;
    EXPECT_EQ(GetWindow(dlg, GW_OWNER), app.Frame());
    EXPECT_NE(GetDlgItem(dlg, IDC_FIND_TEXT), nullptr);
    if (command == ID_FIND) {
      WaitUntil([&] { return false; }, 200);  // let it paint
      SaveScreen(dlg, "find_dialog");
    }
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); })) << command;
  }
  ASSERT_TRUE(app.Close());
}

// Start paths never hide the window; arguments that are no start path open
// nothing, and a document name on the line opens no file.
TEST_F(EndToEnd, StartPathsShowTheWindowAndOthersOpenNothing) {
  struct Case {
    std::string args;
    const char *last1, *last2;
  };
  const Case cases[] = {
      {std::string("-1:") + kSeedBasicPath + " -2:HKEY_LOCAL_MACHINE", kSeedBasicPath, "HKEY_LOCAL_MACHINE"},
      {"/2:HKEY_CURRENT_USER", "", "HKEY_CURRENT_USER"},
      {"-3:x -1 -1x x.reg", "", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey));
    OstrovaProcess app;
    ASSERT_TRUE(app.Start(c.args)) << c.args;
    EXPECT_TRUE(IsWindowVisible(app.Frame())) << c.args;
    char title[64] = "";
    GetWindowTextA(app.Frame(), title, sizeof title);
    EXPECT_STREQ(title, "Ostrova") << c.args;
    ASSERT_TRUE(app.Close()) << c.args;
    EXPECT_EQ(StoredString("LastPath1"), c.last1) << c.args;
    EXPECT_EQ(StoredString("LastPath2"), c.last2) << c.args;
  }
}
