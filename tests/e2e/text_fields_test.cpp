// End-to-end keys in the text fields of Ostrova.exe: the path bar, the
// in-place editors of the entry list and of the key tree, and the edits of
// the value prompt and the find dialog keep their editing keys (Ctrl+A,
// Delete, Backspace, undo, Home and End), and no key typed into a text field
// reaches the frame's accelerators or the pane's commands behind it.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>

#include "controls/treelist/treelist.h"
#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/frame_reader.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "e2e/driver/scenario_util.h"
#include "res/resource.h"
#include "ui/dialogs/dlgids.h"

namespace {
const char kBasicKey[] = "Software\\OstrovaTests\\E2E\\Basic";
const char kBasic[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic";
const int kBasicRowCount = 11;

struct Key {
  const char* name;
  UINT vk;
  std::initializer_list<UINT> modifiers;
};
#define CTRL \
  { VK_CONTROL, VK_LCONTROL }

// The frame's accelerators and the pane's own keys.
const Key kShortcuts[] = {
    {"Ctrl+A", 'A', CTRL},
    {"Ctrl+F", 'F', CTRL},
    {"Ctrl+N", 'N', CTRL},
    {"F3", VK_F3, {}},
    {"F6", VK_F6, {}},
    {"Shift+F6", VK_F6, {VK_SHIFT, VK_LSHIFT}},
    {"Alt+Backspace", VK_BACK, {VK_MENU, VK_LMENU}},
    {"F2", VK_F2, {}},
    {"Delete", VK_DELETE, {}},
    {"F5", VK_F5, {}},
};

// The selection of an edit as "start-end".
std::string Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
  return std::to_string(start) + "-" + std::to_string(end);
}

// The editing keys in an edit of the program, checked on its text and
// selection: Ctrl+A, Delete, Ctrl+Z, End, Backspace, Home.
void EditingKeysActOnTheText(const OstrovaProcess& app, HWND edit, const std::string& text) {
  SCOPED_TRACE(text);
  const std::string all = "0-" + std::to_string(text.size());
  SendMessageA(edit, EM_SETSEL, 1, 1);
  ASSERT_TRUE(PressWith(app, edit, 'A', CTRL));
  EXPECT_EQ(Selection(edit), all) << "Ctrl+A";
  ASSERT_TRUE(PressWith(app, edit, VK_DELETE));
  EXPECT_EQ(TextOf(edit), "") << "Delete";
  ASSERT_TRUE(PressWith(app, edit, 'Z', CTRL));
  EXPECT_EQ(TextOf(edit), text) << "Ctrl+Z";
  ASSERT_TRUE(PressWith(app, edit, VK_END));
  ASSERT_TRUE(PressWith(app, edit, VK_BACK));
  EXPECT_EQ(TextOf(edit), text.substr(0, text.size() - 1)) << "Backspace";
  ASSERT_TRUE(PressWith(app, edit, VK_HOME));
  EXPECT_EQ(Selection(edit), "0-0") << "Home";
}

// Starts the program on the seeded key and waits for its rows.
bool StartOnBasic(OstrovaProcess& app) {
  if (!app.Start(std::string("-1:") + kBasic)) return false;
  PaneReader pane(app.Process(), app.Pane(0));
  return WaitUntil([&] { return pane.ComboText() == kBasic && pane.RowCount() == kBasicRowCount; });
}

// The path bar and the edits of the value prompt and the find dialog:
// Ctrl+A selects the field's text, not every row of the list; Delete,
// Backspace and Ctrl+Z edit the text, not the registry; the rows, their
// selection and the key stay as they were.
TEST_F(EndToEnd, PathBarAndDialogEditsKeepTheirEditingKeys) {
  const std::string before = Dump(kBasicKey);
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  PaneReader pane(app.Process(), app.Pane(0));
  const std::string rows = pane.Names();
  ChooseEntry(pane, "Text");
  ASSERT_EQ(pane.SelectedNames(), "Text");

  HWND bar = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  FocusIn(bar);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(bar) == bar; }));
  EditingKeysActOnTheText(app, bar, kBasic);
  EXPECT_EQ(pane.SelectedNames(), "Text");
  EXPECT_EQ(pane.Names(), rows);
  EXPECT_EQ(FocusOf(bar), bar);

  // The value prompt of "Text".
  ChooseEntry(pane, "Text");
  Press(pane.List(), VK_RETURN);
  HWND prompt = WaitForTopLevel(app, "Bearbeite  'Text'");
  ASSERT_NE(prompt, nullptr);
  HWND edit = GetDlgItem(prompt, IDC_PROMPT_EDIT);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(edit) == edit; }));
  EditingKeysActOnTheText(app, edit, "Hallo Welt");
  Press(edit, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));

  // The find dialog's text field.
  ASSERT_TRUE(PressWith(app, pane.List(), 'F', CTRL));
  HWND find = WaitForTopLevel(app, "Suchen");
  ASSERT_NE(find, nullptr);
  HWND field = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    field = FocusOf(find);
    char cls[16] = "";
    GetClassNameA(field, cls, sizeof cls);
    return lstrcmpiA(cls, "Edit") == 0;
  }));
  ASSERT_TRUE(TypeInto(field, "Welt"));
  EditingKeysActOnTheText(app, field, "Welt");
  PostMessageA(find, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(find); }));

  EXPECT_EQ(pane.SelectedNames(), "Text");
  EXPECT_EQ(pane.Names(), rows);
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(Dump(kBasicKey), before);
}

// The in-place editors of the entry list and of the key tree keep every
// key until Return or Esc: the editing keys act on the text, and none of
// the frame's or the pane's keys ends the edit, opens a window, selects
// other rows or touches the registry. Esc then leaves all as it was.
TEST_F(EndToEnd, InPlaceEditorsKeepEveryKey) {
  const std::string before = Dump(kBasicKey);
  OstrovaProcess app;
  ASSERT_TRUE(StartOnBasic(app));
  PaneReader pane(app.Process(), app.Pane(0));
  const std::string rows = pane.Names();
  const std::string windows = OpenWindows(app);
  struct Place {
    const char* name;
    HWND ctrl;
    const char* text;
  } places[] = {{"entry list", pane.List(), "Text"}, {"key tree", pane.Tree(), "Basic"}};
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    ChooseEntry(pane, "Text");
    FocusIn(place.ctrl);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(place.ctrl) == place.ctrl; }));
    Press(place.ctrl, VK_F2);
    HWND editor = nullptr;
    auto open = [&] {
      editor = (HWND)SendMessageA(place.ctrl, TVM_GETEDITCONTROL, 0, 0);
      return editor && IsWindowVisible(editor) && FocusOf(editor) == editor;
    };
    ASSERT_TRUE(WaitUntil(open));
    EXPECT_EQ(TextOf(editor), place.text);
    EditingKeysActOnTheText(app, editor, place.text);
    for (const Key& key : kShortcuts) {
      ASSERT_TRUE(PressWith(app, editor, key.vk, key.modifiers)) << key.name;
      EXPECT_TRUE(open()) << key.name << " ended the edit";
      EXPECT_EQ(OpenWindows(app), windows) << key.name;
      EXPECT_EQ(pane.SelectedNames(), "Text") << key.name;
      EXPECT_EQ(Dump(kBasicKey), before) << key.name;
    }
    Press(editor, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }));
    EXPECT_EQ(pane.Names(), rows);
    EXPECT_EQ(pane.ComboText(), kBasic);
  }
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(Dump(kBasicKey), before);
}
}  // namespace
