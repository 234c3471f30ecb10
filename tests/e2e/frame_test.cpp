// End-to-end scenarios of the main frame: its accelerators, the status
// panes a focused browser pane asks for, the menus and context menus as the
// user sees them, each layout with content.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/frame_reader.h"
#include "controls/treelist/treelist.h"
#include "mfc/afxres.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "res/resource.h"

namespace {
const char kBasic[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic";
const int kBasicRowCount = 11;

std::string Join(const std::vector<std::string>& items, const char* separator = "|") {
  std::string s;
  for (size_t i = 0; i < items.size(); ++i) s += (i ? separator : "") + items[i];
  return s;
}

std::string Title(HWND hwnd) {
  char title[128] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  return title;
}

// Visible top-level windows of the program.
int TopLevelCount(const OstrovaProcess& app) {
  struct Count {
    DWORD pid;
    int n;
  } c = {GetProcessId(app.Process()), 0};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
        auto* c = (Count*)lp;
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == c->pid && IsWindowVisible(hwnd)) ++c->n;
        return TRUE;
      },
      (LPARAM)&c);
  return c.n;
}

// Starts with pane 1 on the seeded key and waits for its rows.
bool StartOnBasic(OstrovaProcess& app, const std::string& more = "") {
  if (!app.Start(std::string("-1:") + kBasic + more)) return false;
  PaneReader pane(app.Process(), app.Pane(0));
  return WaitUntil([&] { return pane.ComboText() == kBasic && pane.RowCount() == kBasicRowCount; });
}

// A path typed into the pane's combo box and confirmed with Return.
bool TypePath(const PaneReader& pane, const std::string& path) {
  HWND edit = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)path.c_str());
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
  return WaitUntil([&] { return pane.ComboText() == path && pane.RowCount() == 2; });
}

// Ctrl+N is the framework's new document: the one document stays, the
// panes keep what they show (no start or last path is opened again), the
// title and the layout stay.
TEST_F(EndToEnd, CtrlNChangesNothing) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  PaneReader pane(app.Process(), app.Pane(0));
  const std::string level1 = std::string(kBasic) + "\\Ebene 1";
  ASSERT_TRUE(TypePath(pane, level1)) << pane.ComboText();
  FocusIn(pane.List());
  HWND view = app.View(), pane1 = app.Pane(0), pane2 = app.Pane(1);
  const std::vector<std::string> rows = pane.Rows();
  const int windows = TopLevelCount(app);

  ASSERT_TRUE(PressWith(app, pane.List(), 'N', {VK_CONTROL, VK_LCONTROL}));
  EXPECT_EQ(app.View(), view);
  EXPECT_EQ(app.Pane(0), pane1);
  EXPECT_EQ(app.Pane(1), pane2);
  EXPECT_FALSE(IsWindowVisible(pane2));
  EXPECT_EQ(Title(app.Frame()), "Ostrova");
  EXPECT_EQ(pane.ComboText(), level1);
  EXPECT_EQ(pane.Rows(), rows);
  EXPECT_EQ(FocusOf(app.Frame()), pane.List());
  EXPECT_EQ(TopLevelCount(app), windows);
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(StoredProgramString("LastPath1"), level1);
}

// F6 and Shift+F6 are the framework's next and previous pane: the view is
// in no splitter window, so the focus stays where it is, in either pane.
TEST_F(EndToEnd, F6AndShiftF6LeaveTheFocus) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app, " -2:HKEY_CURRENT_USER"));
  app.Command(ID_SPLIT_VERT);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Pane(1)) != FALSE; }));
  PaneReader first(app.Process(), app.Pane(0)), second(app.Process(), app.Pane(1));
  for (HWND target : {first.List(), first.Tree(), second.Tree()}) {
    FocusIn(target);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(target) == target; }));
    ASSERT_TRUE(PressWith(app, target, VK_F6));
    EXPECT_EQ(FocusOf(target), target) << "F6";
    ASSERT_TRUE(PressWith(app, target, VK_F6, {VK_SHIFT, VK_LSHIFT}));
    EXPECT_EQ(FocusOf(target), target) << "Shift+F6";
  }
  ASSERT_TRUE(app.Close());
}

// The width of a status pane of n characters: the icon title font's
// character width (its width, else two thirds of its height, at most 25).
int CharacterWidth() {
  LOGFONTA font = {};
  if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) return 7;
  int w = font.lfWidth ? font.lfWidth : font.lfHeight ? font.lfHeight * 2 / 3 : 7;
  if (w < 0) w = -w;
  return w > 25 ? 25 : w;
}

// A browser pane that gets the focus asks the frame for two empty status
// panes of 15 and 10 characters before the three key indicators; a second
// pane's focus replaces them; the indicators show their keys' lock state.
TEST_F(EndToEnd, PaneFocusShowsSixStatusPanes) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app, " -2:HKEY_CURRENT_USER"));
  EXPECT_TRUE(WaitUntil([&] { return app.StatusText(0) == "Bereit"; }));
  const std::vector<int> before = StatusPartRights(app);
  ASSERT_EQ(before.size(), 4u) << StatusTexts(app);

  PaneReader first(app.Process(), app.Pane(0)), second(app.Process(), app.Pane(1));
  FocusIn(app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return StatusPartRights(app).size() == 6; })) << StatusTexts(app);
  // The pane hands the focus on to its part that had it last.
  HWND focus = FocusOf(app.Frame());
  EXPECT_TRUE(focus == first.Tree() || focus == first.List() || IsChild(first.Combo(), focus)) << focus;
  std::vector<int> parts = StatusPartRights(app);
  const int gap = StatusPartGap(app), cw = CharacterWidth();
  ASSERT_GE(gap, 0);
  const int margin = (parts[2] - parts[1] - gap) - 10 * cw;
  EXPECT_EQ(parts[1] - parts[0] - gap, 15 * cw + margin) << cw;
  EXPECT_GT(margin, 0);
  // The indicators keep their widths at the right edge.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(parts[3 + i], before[1 + i]) << i;
  for (int i = 1; i < 3; ++i) EXPECT_EQ(app.StatusText(i), "") << i;

  // Both panes shown: the second pane's focus replaces the two panes.
  app.Command(ID_SPLIT_VERT);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Pane(1)) != FALSE; }));
  FocusIn(app.Pane(1));
  EXPECT_TRUE(WaitUntil([&] {
    HWND f = FocusOf(app.Frame());
    return f == second.Tree() || f == second.List() || IsChild(second.Combo(), f);
  }));
  EXPECT_EQ(StatusPartRights(app), parts);

  // A prompt goes into pane 0; the closed menu puts "Bereit" back.
  ASSERT_TRUE(Settle(app));
  EXPECT_EQ(StatusPartRights(app).size(), 6u);

  // Each lock key's indicator shows its text while the lock is on.
  DWORD thread = GetWindowThreadProcessId(app.Frame(), nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  const BYTE saved[3] = {keys[VK_CAPITAL], keys[VK_NUMLOCK], keys[VK_SCROLL]};
  struct Lock {
    UINT vk;
    const char* texts;
  };
  const Lock locks[] = {
      {VK_CAPITAL, "Bereit|||UF||"}, {VK_NUMLOCK, "Bereit|||UF|NUM|"}, {VK_SCROLL, "Bereit|||UF|NUM|RF"}};
  keys[VK_CAPITAL] = keys[VK_NUMLOCK] = keys[VK_SCROLL] = 0;
  SetKeyboardState(keys);
  PostMessageA(app.Frame(), WM_NULL, 0, 0);  // an idle turn updates the indicators
  EXPECT_TRUE(WaitUntil([&] { return StatusTexts(app) == "Bereit|||||"; })) << StatusTexts(app);
  for (const Lock& lock : locks) {
    keys[lock.vk] = 1;
    SetKeyboardState(keys);
    PostMessageA(app.Frame(), WM_NULL, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return StatusTexts(app) == lock.texts; })) << StatusTexts(app);
  }
  SaveScreen(app.Frame(), "frame_status_panes");
  keys[VK_CAPITAL] = saved[0];
  keys[VK_NUMLOCK] = saved[1];
  keys[VK_SCROLL] = saved[2];
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  ASSERT_TRUE(app.Close());
}

// The status bar keeps saying what it said when a pane takes the focus and
// asks for its panes, and after F5 refreshes the list.
TEST_F(EndToEnd, FocusAndRefreshKeepTheStatusText) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  ASSERT_TRUE(WaitUntil([&] { return app.StatusText(0) == "Bereit"; })) << app.StatusText(0);
  PaneReader pane(app.Process(), app.Pane(0));
  FocusIn(app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return StatusPartRights(app).size() == 6; })) << StatusTexts(app);
  EXPECT_EQ(app.StatusText(0), "Bereit") << "after the focus";
  FocusIn(pane.List());
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); }));
  // F5 fills the list anew: its rows go and come back.
  Press(pane.List(), VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return pane.RowCount() == kBasicRowCount; }));
  PostMessageA(app.Frame(), WM_NULL, 0, 0);  // an idle turn
  EXPECT_TRUE(WaitUntil([&] { return app.StatusText(0) == "Bereit"; })) << "after F5: " << app.StatusText(0);
  SaveScreen(app.Frame(), "frame_status_after_refresh");
  ASSERT_TRUE(app.Close());
}

// Each layout with both panes on a key, as the user sees it.
TEST_F(EndToEnd, LayoutsWithContent) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app, " -2:HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E"));
  SaveScreen(app.Frame(), "frame_single_pane");
  struct Step {
    int command;
    const char* name;
    bool sideBySide;
  };
  for (const Step& s :
       {Step{ID_SPLIT_VERT, "frame_split_vertical", true}, Step{ID_SPLIT_HORZ, "frame_split_horizontal", false}}) {
    app.Command(s.command);
    PaneReader second(app.Process(), app.Pane(1));
    ASSERT_TRUE(WaitUntil([&] {
      RECT a, b;
      if (!IsWindowVisible(app.Pane(1))) return false;
      GetWindowRect(app.Pane(0), &a);
      GetWindowRect(app.Pane(1), &b);
      return (s.sideBySide ? b.left > a.right : b.top > a.bottom) && second.RowCount() == 1;
    })) << s.name;
    SaveScreen(app.Frame(), s.name);
  }
  ASSERT_TRUE(app.Close());
}

// Opens the menu bar's popup with this mnemonic; the open menu or nullptr.
HWND OpenMainMenu(const OstrovaProcess& app, char mnemonic) {
  PostMessageA(app.Frame(), WM_SYSCOMMAND, SC_KEYMENU, mnemonic);
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = FindOpenMenu(app)) != nullptr; });
  return menu;
}

// Escape until no menu is open.
bool CloseMenus(const OstrovaProcess& app) {
  for (int i = 0; i < 4; ++i) {
    HWND menu = FindOpenMenu(app);
    if (!menu) break;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    WaitUntil([&] { return !IsWindowVisible(menu); }, 1000);
  }
  PostMessageA(app.Frame(), WM_KEYDOWN, VK_ESCAPE, 1);  // leaves the menu bar
  return WaitUntil([&] { return FindOpenMenu(app) == nullptr; });
}

// Every popup of the menu bar opens and walks its items with the Down key,
// each showing its prompt.
TEST_F(EndToEnd, MainMenusOpen) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  struct Popup {
    char mnemonic;
    const char* name;
    std::vector<UINT> commands;
  };
  const Popup popups[] = {
      {'d', "datei", {ID_APP_EXIT}},
      {'b',
       "bearbeiten",
       {ID_SELECT_ALL, ID_FIND, ID_FIND_NEXT_MENU, ID_EXPORT, ID_IMPORT, ID_PERMISSIONS, ID_LOAD_HIVE, ID_UNLOAD_HIVE}},
      {'a',
       "ansicht",
       {ID_FLAT_TOOLBAR, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_SHOW_COMBO, ID_SPLIT_MIDDLE_TOGGLE,
        ID_SPLIT_HORZ_TOGGLE, ID_SHOW_LINES, ID_ALTERNATE, ID_FULL_MARK}},
      {'?', "hilfe", {ID_APP_ABOUT}},
  };
  for (const Popup& p : popups) {
    HWND menu = OpenMainMenu(app, p.mnemonic);
    ASSERT_NE(menu, nullptr) << p.name;
    RECT frame, popup;
    GetWindowRect(app.Frame(), &frame);
    GetWindowRect(menu, &popup);
    EXPECT_TRUE(popup.top >= frame.top && popup.bottom <= frame.bottom) << p.name;
    std::vector<std::string> expected;
    for (UINT id : p.commands) expected.push_back(ProgramPrompt(id));
    std::vector<std::string> prompts = MenuPrompts(app, menu, expected.size());
    EXPECT_EQ(Join(prompts, "\n"), Join(expected, "\n")) << p.name;
    SaveScreen(app.Frame(), std::string("frame_menu_") + p.name);
    ASSERT_TRUE(CloseMenus(app)) << p.name;
  }
  ASSERT_TRUE(app.Close());
}

// A right click as the mouse gives it: the cursor first, then press and release.
void RightClick(HWND hwnd, POINT at) {
  POINT screen = at;
  ClientToScreen(hwnd, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The middle of a tree-list item in the control's client coordinates.
POINT ItemCentre(const OstrovaProcess& app, HWND ctrl, HTREEITEM item) {
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  RECT r = {};
  memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes back
  buf.Write(&r, sizeof r);
  SendMessageA(ctrl, TVM_GETITEMRECT, TRUE, (LPARAM)buf.Address());
  buf.Read(&r, sizeof r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The middle of a column of the entry list's header, in list coordinates.
int ColumnCentre(const OstrovaProcess& app, HWND list, int column) {
  HWND header = (HWND)SendMessageA(list, TLM_GETHEADER, 0, 0);
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  RECT r = {};
  SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)buf.Address());
  buf.Read(&r, sizeof r);
  return (r.left + r.right) / 2;
}

// Keys posted to an open menu, then the menu is waited away.
bool ChooseInMenu(const OstrovaProcess& app, HWND menu, std::initializer_list<UINT> keys) {
  for (UINT vk : keys) {
    PostMessageA(menu, WM_KEYDOWN, vk, 1);
    PostMessageA(menu, WM_KEYUP, vk, 0xC0000001);
  }
  return WaitUntil([&] { return FindOpenMenu(app) == nullptr; });
}

std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = (const char*)GlobalLock(data)) text = p;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

// Right clicks open the context menus of the key tree, an entry row, the
// "(Standard)" row and the list below the rows; their commands act on what
// was clicked: "Erweitern" and "Ausbelenden" toggle the key, "Feld
// kopieren" copies the clicked cell.
TEST_F(EndToEnd, ContextMenusOfTreeAndList) {
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  PaneReader pane(app.Process(), app.Pane(0));
  HTREEITEM basic = (HTREEITEM)SendMessageA(pane.Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
  ASSERT_EQ(pane.ItemText(pane.Tree(), basic), "Basic");
  auto expanded = [&] {
    return (SendMessageA(pane.Tree(), TVM_GETITEMSTATE, (WPARAM)basic, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  };
  const bool wasExpanded = expanded();
  HWND menu = nullptr;
  auto openAt = [&](HWND ctrl, POINT at, const std::string& name) {
    RightClick(ctrl, at);
    menu = nullptr;
    bool open = WaitUntil([&] { return (menu = FindOpenMenu(app)) != nullptr; });
    WaitUntil([] { return false; }, 200);  // the menu paints
    SaveScreen(app.Frame(), "frame_context_" + name);
    return open;
  };

  // The key tree: "&Erweitern" or "&Ausbelenden" by its mnemonic, twice.
  for (int round = 0; round < 2; ++round) {
    bool before = expanded();
    ASSERT_TRUE(openAt(pane.Tree(), ItemCentre(app, pane.Tree(), basic), round ? "tree_expanded" : "tree")) << round;
    ASSERT_TRUE(ChooseInMenu(app, menu, {UINT(before ? 'A' : 'E')})) << round;
    EXPECT_TRUE(WaitUntil([&] { return expanded() != before; })) << round;
  }
  EXPECT_EQ(expanded(), wasExpanded);

  // An entry row: "Feld kopieren", the first item, copies the clicked cell.
  struct Cell {
    int row, column;
    const char* text;
  };
  for (const Cell& c : {Cell{7, 0, "Text"}, Cell{7, 2, "\"Hallo Welt\""}, Cell{10, 1, "REG_DWORD"}}) {
    EmptyTheClipboard();
    POINT at = ItemCentre(app, pane.List(), pane.RowItem(c.row));
    at.x = ColumnCentre(app, pane.List(), c.column);
    ASSERT_TRUE(openAt(pane.List(), at, "list")) << c.text;
    ASSERT_TRUE(ChooseInMenu(app, menu, {VK_DOWN, VK_RETURN})) << c.text;
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == c.text; })) << c.text << ": " << ClipboardText();
  }

  // "Umbenennen", the last item, edits the clicked row's name in place.
  POINT at = ItemCentre(app, pane.List(), pane.RowItem(7));
  ASSERT_TRUE(openAt(pane.List(), at, "list_rename"));
  ASSERT_TRUE(ChooseInMenu(app, menu, {VK_UP, VK_RETURN}));
  HWND edit = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (edit = (HWND)SendMessageA(pane.List(), TVM_GETEDITCONTROL, 0, 0)) != nullptr; }));
  // WM_GETTEXT: GetWindowText of another process's control gives its
  // creation title.
  auto editText = [&] {
    char name[64] = "";
    SendMessageA(edit, WM_GETTEXT, sizeof name, (LPARAM)name);
    return std::string(name);
  };
  EXPECT_TRUE(WaitUntil([&] { return editText() == "Text" && IsWindowVisible(edit); })) << editText();
  SaveScreen(app.Frame(), "frame_context_renaming");
  // Escape ends the edit and keeps the name.
  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(edit, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(edit) || !IsWindowVisible(edit); }));
  EXPECT_EQ(pane.ItemText(pane.List(), pane.RowItem(7)), "Text");

  // "(Standard)" cannot be renamed; below the rows only "&Neu" is offered.
  ASSERT_TRUE(openAt(pane.List(), ItemCentre(app, pane.List(), pane.RowItem(0)), "list_default"));
  ASSERT_TRUE(CloseMenus(app));
  RECT client;
  GetClientRect(pane.List(), &client);
  ASSERT_TRUE(openAt(pane.List(), {client.right / 3, client.bottom - 10}, "list_empty"));
  ASSERT_TRUE(CloseMenus(app));
  ASSERT_TRUE(app.Close());
}
}  // namespace
