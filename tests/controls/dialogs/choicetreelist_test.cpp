// The tree-list choice dialog, run modally and driven from inside its loop:
// the mode word's control set-up, edits as the control reports them, row
// deletion, sorting, checks, the context menu, copy, double-clicks and the
// remembered placement.
#include "controls/dialogs/choicetreelist.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "mfc/afxres.h"
#include "tests/harness/window_util.h"
#include "tests/ui/dialogs/modal_driver.h"
#include "ui/clipboard.h"
#include "ui/dialogs/dlgids.h"

namespace {

// Messages the dialog sent to a tree-list, with their results.
struct TLMessage {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
  TVSORTCB sort;  // TLM_SORTCHILDRENEX's record
};

std::vector<TLMessage> g_messages;
HHOOK g_hook;

LRESULT CALLBACK RecordTreeListMessages(int code, WPARAM wp, LPARAM lp) {
  const CWPRETSTRUCT* m = (const CWPRETSTRUCT*)lp;
  char cls[16] = "";
  if (code == HC_ACTION && m->message >= TV_FIRST && m->message <= TLM_LAST &&
      GetClassNameA(m->hwnd, cls, sizeof cls) && lstrcmpA(cls, TREELIST_CLASSNAME) == 0) {
    TLMessage r = {m->message, m->wParam, m->lParam, m->lResult, {}};
    if (m->message == TLM_SORTCHILDRENEX && m->lParam) r.sort = *(const TVSORTCB*)m->lParam;
    g_messages.push_back(r);
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

// The messages msg that were sent, in order.
std::vector<TLMessage> Sent(UINT msg) {
  std::vector<TLMessage> out;
  for (const TLMessage& m : g_messages)
    if (m.msg == msg) out.push_back(m);
  return out;
}

HWND Tree(HWND dialog) { return GetDlgItem(dialog, IDC_CHOICE_TREELIST); }

std::vector<HTREEITEM> Roots(HWND tree) {
  std::vector<HTREEITEM> out;
  for (HTREEITEM h = TreeView_GetRoot(tree); h; h = TreeView_GetNextSibling(tree, h)) out.push_back(h);
  return out;
}

std::string CellText(HWND tree, HTREEITEM item, int column) {
  char buf[256] = "";
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TLIF_CELL;
  tv.hItem = item;
  tv.pszText = buf;
  tv.cchTextMax = sizeof buf;
  tv.cChildren = column;
  SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
  return buf;
}

LPARAM Param(HWND tree, HTREEITEM item) { return SendMessageA(tree, TLM_GETITEMPARAM, 0, (LPARAM)item); }

// The control's rows as "text:lParam" joined by blanks.
std::string Items(HWND tree) {
  std::string s;
  for (HTREEITEM h : Roots(tree)) {
    if (!s.empty()) s += ' ';
    s += CellText(tree, h, 0) + ":" + std::to_string(Param(tree, h));
  }
  return s;
}

// The dialog's rows joined by blanks, flags after a '*'.
std::string Rows(const CChoiceTreeListDlg& dlg) {
  std::string s;
  for (int i = 0; dlg.GetRowText(i); ++i) {
    if (i) s += ' ';
    s += dlg.GetRowText(i);
    if (dlg.GetRowFlag(i)) s += '*';
  }
  return s;
}

UINT StateImage(HWND tree, HTREEITEM item) {
  return ((UINT)SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12;
}

bool Selected(HWND tree, HTREEITEM item) {
  return (SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
}

// Ends an edit of item's cell as the control does: TVN_ENDLABELEDITA to the
// dialog, and on a zero reply the text stored in the item (when it is still
// there). Returns the reply.
LRESULT EndEdit(HWND dialog, HTREEITEM item, int column, const char* text, bool changed = true) {
  HWND tree = Tree(dialog);
  char buf[2052];
  lstrcpynA(buf, text, sizeof buf);
  NMTVDISPINFOA nm = {};
  nm.hdr.hwndFrom = tree;
  nm.hdr.idFrom = IDC_CHOICE_TREELIST;
  nm.hdr.code = TVN_ENDLABELEDITA;
  nm.item.mask = 0x801D | (changed ? 0x20000000u : 0);
  nm.item.hItem = item;
  nm.item.stateMask = (UINT)-1;
  nm.item.pszText = buf;
  nm.item.cchTextMax = 2051;
  nm.item.cChildren = column;
  nm.item.lParam = Param(tree, item);
  LRESULT reply = SendMessageA(dialog, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TLIF_CELL;
  tv.hItem = item;
  tv.pszText = buf;
  tv.cChildren = column;
  if (!reply && changed) SendMessageA(tree, TVM_SETITEMA, 0, (LPARAM)&tv);
  return reply;
}

// The control's edit request record.
struct EditRequest {
  NMHDR hdr;
  TVITEMA item;
  int code;
  int droppedWidth, maxChoices;
  const char* choiceText;
  const char** choices;
  int x, y;
};

LRESULT AskToEdit(HWND dialog, HTREEITEM item, int column) {
  EditRequest r = {};
  r.hdr = {Tree(dialog), (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)TLN_EDITREQUEST};
  r.item.mask = 0x801C;
  r.item.hItem = item;
  r.item.pszText = (LPSTR) "";
  r.item.cChildren = column;
  r.code = 0x10000;
  r.maxChoices = 255;
  return SendMessageA(dialog, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&r);
}

LRESULT KeyDown(HWND dialog, WORD key) {
  NMTVKEYDOWN nm = {};
  nm.hdr = {Tree(dialog), (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)TVN_KEYDOWN};
  nm.wVKey = key;
  return SendMessageA(dialog, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
}

// Client point in the middle of item's cell in column (column 0: the text).
POINT CellPoint(HWND tree, HTREEITEM item, int column) {
  RECT rc = {};
  memcpy(&rc, &item, sizeof item);  // the item travels in the rectangle
  SendMessageA(tree, TVM_GETITEMRECT, TL_RECT_CELL | (column << 24), (LPARAM)&rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// A right click as input: the cursor on the point, the press posted so the
// step ends before the context menu's loop runs.
void PostRightClick(HWND tree, POINT pt) {
  POINT screen = pt;
  ClientToScreen(tree, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x, pt.y));
  PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

// In the menu's loop: the open pop-up's entries as "id text", then closes it.
ModalDriver::Step ReadMenu(std::vector<std::string>* entries) {
  return [entries](HWND) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return false;
    HMENU h = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    for (int i = 0; i < GetMenuItemCount(h); ++i) {
      char text[64] = "";
      GetMenuStringA(h, i, text, sizeof text, MF_BYPOSITION);
      entries->push_back(std::to_string(GetMenuItemID(h, i)) + " " + text);
    }
    EndMenu();
    return true;
  };
}

// What the screen shows of the dialog, once the display has caught up.
void Snapshot(HWND dialog, const char* name) {
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(100);
  WindowCapture::FromScreen(dialog).SavePng(ScreenshotPath(name).c_str());
}

void AddRows(CChoiceTreeListDlg& dlg, std::vector<const char*> texts) {
  for (size_t i = 0; i < texts.size(); ++i) dlg.InsertRow(-1, 100 + (DWORD)i, texts[i]);
}

}  // namespace

class ChoiceTreeList : public ::testing::Test {
 protected:
  void SetUp() override {
    CChoiceTreeListDlg::ResetProcessState();
    g_messages.clear();
    g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, RecordTreeListMessages, nullptr, GetCurrentThreadId());
  }
  void TearDown() override { UnhookWindowsHookEx(g_hook); }
};

TEST_F(ChoiceTreeList, LinesModeSetsUpAnEditableListWithAnEmptyRow) {
  CChoiceTreeListDlg dlg;
  dlg.SetTitle("Mehrteilige Zeichenfolge");
  dlg.m_dwMode = kTreeChoiceLinesMode;
  AddRows(dlg, {"erste Zeile", "zweite Zeile"});
  LONG_PTR style = 0;
  LRESULT exStyle = 0, askRow = 0, askEmpty = 0;
  std::string items, title;
  bool promptVisible = true, selected0 = false;
  RECT frame = {}, tree = {};
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    style = GetWindowLongPtrA(t, GWL_STYLE);
    exStyle = SendMessageA(t, TVM_GETEXTENDEDSTYLE, 0, 0);
    items = Items(t);
    title = TextOf(d);
    promptVisible = IsWindowVisible(GetDlgItem(d, IDC_CHOICE_PROMPT));
    selected0 = Selected(t, Roots(t)[0]);
    GetWindowRect(GetDlgItem(d, IDC_CHOICE_TREEFRAME), &frame);
    GetWindowRect(t, &tree);
    askRow = AskToEdit(d, Roots(t)[1], 0);
    askEmpty = AskToEdit(d, Roots(t)[2], 0);
    Snapshot(d, "choice_treelist_lines.png");
    PressButton(d, IDCANCEL);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  std::vector<TLMessage> set = Sent(TVM_SETEXTENDEDSTYLE);
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].wParam, 0u);
  EXPECT_EQ((DWORD)set[0].lParam, 0x110F2000u);
  EXPECT_EQ((DWORD)exStyle, 0x110F2000u);
  EXPECT_EQ(dlg.m_dwMode, 0xB8u) << "editing is on";
  EXPECT_TRUE(style & TVS_EDITLABELS);
  EXPECT_FALSE(style & TVS_CHECKBOXES);
  EXPECT_TRUE((style & (TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP | WS_TABSTOP)) ==
              (TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP | WS_TABSTOP));
  EXPECT_EQ(items, "erste Zeile:0 zweite Zeile:1 :2");
  EXPECT_EQ(title, "Mehrteilige Zeichenfolge");
  EXPECT_FALSE(promptVisible);
  EXPECT_TRUE(selected0) << "single choice starts on the first row";
  EXPECT_EQ(tree.top, frame.top - 20) << "without a prompt the control moves up";
  EXPECT_EQ(tree.bottom, frame.bottom);
  EXPECT_EQ((DWORD)askRow, 0x80000000u);
  EXPECT_EQ((DWORD)askEmpty, 0x80000000u);
  EXPECT_STREQ(dlg.GetText(), "");
  EXPECT_EQ(Sent(TLM_SETCOLUMNEDIT).size(), 0u);
}

TEST_F(ChoiceTreeList, LinesModeAddsDeletesAndKeepsRows) {
  CChoiceTreeListDlg dlg;
  dlg.m_dwMode = kTreeChoiceLinesMode;
  dlg.m_dwNewRowData = 7;
  AddRows(dlg, {"a", "b"});
  std::string added, addedRows, afterEmpty, afterDelete, deleteRows, afterEmptied, emptiedRows, afterKey, afterLast;
  LRESULT reply = -1, keyReply = 0;
  bool caretOnNewEmpty = false, caretOnNeighbour = false;
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    // The empty row edited to "c": a row is added with a new empty row.
    reply = EndEdit(d, Roots(t)[2], 0, "c");
    added = Items(t);
    addedRows = Rows(dlg);
    caretOnNewEmpty = TreeView_GetSelection(t) == Roots(t)[3];
    // Nothing entered in the new empty row, an edit without a change.
    EndEdit(d, Roots(t)[3], 0, "");
    EndEdit(d, Roots(t)[1], 0, "b", false);
    afterEmpty = Items(t) + " | " + Rows(dlg);
    // Row 0 deleted: the later rows move up.
    TreeView_SelectItem(t, Roots(t)[0]);
    SendMessageA(d, WM_COMMAND, ID_EDIT_CLEAR, 0);
    afterDelete = Items(t);
    deleteRows = Rows(dlg);
    caretOnNeighbour = TreeView_GetSelection(t) == Roots(t)[0];
    // A row emptied is kept without 0x40.
    EndEdit(d, Roots(t)[0], 0, "");
    afterEmptied = Items(t);
    emptiedRows = Rows(dlg);
    // Delete in the control on the caret row, then on the empty row.
    keyReply = KeyDown(d, VK_DELETE);
    afterKey = Items(t) + " | " + Rows(dlg);
    TreeView_SelectItem(t, Roots(t)[1]);
    KeyDown(d, VK_DELETE);
    SendMessageA(d, WM_COMMAND, ID_EDIT_CLEAR, 0);
    afterLast = Items(t) + " | " + Rows(dlg);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(reply, 0) << "the control keeps the entered text";
  EXPECT_EQ(added, "a:0 b:1 c:2 :3");
  EXPECT_EQ(addedRows, "a b c");
  std::vector<TLMessage> unselect = Sent(TLM_SELECTSUBTREE), select = Sent(TLM_SELECTCELL);
  ASSERT_EQ(unselect.size(), 1u);
  EXPECT_EQ(unselect[0].wParam, 2u);
  EXPECT_EQ(unselect[0].lParam, (LPARAM)TVI_ROOT);
  ASSERT_EQ(select.size(), 1u);
  EXPECT_EQ(select[0].wParam, 0u);
  if (select[0].result)
    EXPECT_TRUE(caretOnNewEmpty);
  else
    std::cout << "[  NOTE    ] the control does not answer TLM_SELECTCELL: the caret is not checked\n";
  EXPECT_EQ(afterEmpty, "a:0 b:1 c:2 :3 | a b c");
  EXPECT_EQ(afterDelete, "b:0 c:1 :2");
  EXPECT_EQ(deleteRows, "b c");
  EXPECT_TRUE(caretOnNeighbour) << "the row after the deleted one";
  EXPECT_EQ(afterEmptied, ":0 c:1 :2");
  EXPECT_EQ(emptiedRows, " c");
  EXPECT_EQ(keyReply, 1);
  EXPECT_EQ(afterKey, "c:0 :1 | c");
  EXPECT_EQ(afterLast, "c:0 :1 | c") << "the empty row is no row to delete";
  EXPECT_EQ(Rows(dlg), "c") << "the empty row chosen: no row";
  EXPECT_EQ(dlg.GetRowText(1), nullptr);
}

// Through the control's own editor and keys: the same edits as above, once
// the control opens editors and reports keys.
TEST_F(ChoiceTreeList, LinesModeThroughTheControlsEditorAndKeys) {
  CChoiceTreeListDlg dlg;
  dlg.m_dwMode = kTreeChoiceLinesMode;
  AddRows(dlg, {"a", "b"});
  LRESULT asked = -1;
  HWND editorAfterDoubleClick = nullptr;
  std::string added, emptied, deleted;
  auto accept = [](HWND t, const char* text) {
    HWND editor = (HWND)SendMessageA(t, TVM_GETEDITCONTROL, 0, 0);
    SetWindowTextA(editor, text);
    SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  };
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    SetFocus(t);
    // Return on the empty row asks the dialog, whose answer opens an edit box.
    asked = SendMessageA(t, TVM_EDITLABELA, 0xF5A5A500, (LPARAM)Roots(t)[2]);
    if (asked) {
      accept(t, "c");
      added = Items(t) + " | " + Rows(dlg);
      POINT pt = CellPoint(t, Roots(t)[1], 0);
      ClickAt(t, pt.x, pt.y, true);
      editorAfterDoubleClick = (HWND)SendMessageA(t, TVM_GETEDITCONTROL, 0, 0);
      if (editorAfterDoubleClick && IsWindowVisible(editorAfterDoubleClick)) accept(t, "");
      emptied = Items(t) + " | " + Rows(dlg);
      TreeView_SelectItem(t, Roots(t)[0]);
      SendMessageA(t, WM_KEYDOWN, VK_DELETE, 0);
      deleted = Items(t) + " | " + Rows(dlg);
    }
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  if (!asked) {
    std::cout << "[  NOTE    ] the control opens no editor yet: its edits are not checked\n";
    return;
  }
  EXPECT_EQ(added, "a:0 b:1 c:2 :3 | a b c");
  EXPECT_TRUE(editorAfterDoubleClick) << "a double-click edits through the dialog's answer";
  EXPECT_EQ(emptied, "a:0 :1 c:2 :3 | a  c");
  EXPECT_EQ(deleted, ":0 c:1 :2 |  c");
}

TEST_F(ChoiceTreeList, AddedRowTakesTheNewRowData) {
  CChoiceTreeListDlg dlg;
  dlg.m_dwMode = kTreeChoiceLinesMode;
  dlg.m_dwNewRowData = 7;
  AddRows(dlg, {"a"});
  ModalDriver driver({[&](HWND d) {
    EndEdit(d, Roots(Tree(d))[1], 0, "neu");
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_STREQ(dlg.GetRowText(1), "neu");
  EXPECT_EQ(dlg.GetRowData(1), 7u);
}

TEST_F(ChoiceTreeList, EmptiedRowIsDeletedOnlyWithBothDeleteBits) {
  struct Case {
    DWORD mode;
    const char* items;
    const char* rows;
    size_t focusResets;
  } cases[] = {
      {0x38, ":0 b:1 :2", "* b", 0},
      {0x78, "b:0 :1", "b*", 1},
      {0x58, ":0 b:1 :2", "* b", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    g_messages.clear();
    CChoiceTreeListDlg dlg;
    dlg.m_dwMode = c.mode;
    AddRows(dlg, {"a", "b"});
    std::string items;
    HTREEITEM first = nullptr;
    ModalDriver driver({[&](HWND d) {
      first = Roots(Tree(d))[0];
      EndEdit(d, first, 0, "");
      items = Items(Tree(d));
      PressButton(d, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(Rows(dlg), c.rows);
    std::vector<TLMessage> focus = Sent(TLM_SETFOCUSCELL);
    ASSERT_EQ(focus.size(), c.focusResets);
    if (c.focusResets) {
      EXPECT_EQ(focus[0].wParam, (WPARAM)-1);
      EXPECT_EQ(focus[0].lParam, (LPARAM)first);
    }
  }
}

TEST_F(ChoiceTreeList, ColumnsCellsAndCellEdits) {
  CChoiceTreeListDlg dlg;
  dlg.SetPrompt("Werte:");
  dlg.m_dwMode = kTreeChoiceAddRow | kTreeChoiceDelete | kTreeChoiceDeleteEmpty;
  EXPECT_EQ(dlg.AddColumn("Name", 120), 0);
  EXPECT_EQ(dlg.AddColumn("Wert", 100, LVCFMT_RIGHT, TRUE), 1);
  EXPECT_EQ(dlg.AddColumn("Typ", 80), 2);
  dlg.InsertRow(-1, 1, "Breite");
  dlg.InsertRow(-1, 2, "Höhe");
  EXPECT_EQ(dlg.AddColumn("spät", 50), -1) << "only before the rows";
  EXPECT_TRUE(dlg.SetCellText(0, "640", 1));
  EXPECT_TRUE(dlg.SetCellText(0, "REG_DWORD", 2));
  EXPECT_TRUE(dlg.SetCellText(1, "480", 1));
  EXPECT_TRUE(dlg.SetCellText(1, "481", 1)) << "replaces";
  EXPECT_FALSE(dlg.SetCellText(2, "x", 1));
  EXPECT_FALSE(dlg.SetCellText(0, "x", 3));
  EXPECT_STREQ(dlg.GetCellText(1, 1), "481");
  EXPECT_STREQ(dlg.GetCellText(1, 2), "") << "a missing cell";
  EXPECT_EQ(dlg.GetCellText(1, 3), nullptr);
  EXPECT_EQ(dlg.GetCellText(2, 0), nullptr);
  EXPECT_STREQ(dlg.GetCellText(1, 0), "Höhe");
  // A row inserted in front keeps the cells with their rows.
  EXPECT_EQ(dlg.InsertRow(-12345, 3, "Alter"), 0);
  EXPECT_STREQ(dlg.GetCellText(1, 1), "640");
  char buf[3];
  EXPECT_EQ(dlg.CopyCellText(1, 2, buf, sizeof buf), 2);
  EXPECT_STREQ(buf, "RE");

  std::string shown, added, deleted;
  LRESULT ask = -1;
  DWORD exStyle = 0;
  int columns = 0;
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    exStyle = (DWORD)SendMessageA(t, TVM_GETEXTENDEDSTYLE, 0, 0);
    columns = (int)SendMessageA(t, TLM_GETCOLUMNCOUNT, 0, 0);
    std::vector<HTREEITEM> r = Roots(t);
    shown = CellText(t, r[1], 1) + "," + CellText(t, r[1], 2) + "," + CellText(t, r[2], 1);
    ask = AskToEdit(d, r[1], 0);
    Snapshot(d, "choice_treelist_columns.png");
    // A value entered in the empty row's second column adds a row.
    EndEdit(d, r[3], 1, "42");
    added = Items(t) + " | " + CellText(t, Roots(t)[3], 1);
    // Emptied in every column: deleted.
    EndEdit(d, Roots(t)[3], 1, "");
    deleted = Items(t);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(exStyle, 0x100F2000u) << "editing on, header shown";
  EXPECT_EQ(columns, 3);
  EXPECT_EQ(shown, "640,REG_DWORD,481");
  EXPECT_EQ(ask, 0) << "columns edit by their own settings";
  std::vector<TLMessage> edit = Sent(TLM_SETCOLUMNEDIT);
  ASSERT_EQ(edit.size(), 1u);
  EXPECT_EQ(edit[0].wParam, (1u << 11) | 0x106u);
  std::vector<TLMessage> select = Sent(TLM_SELECTCELL);
  ASSERT_EQ(select.size(), 1u);
  EXPECT_EQ(select[0].wParam, 1u) << "the new empty row in the edited column";
  EXPECT_EQ(added, "Alter:0 Breite:1 Höhe:2 :3 :4 | 42");
  EXPECT_EQ(deleted, "Alter:0 Breite:1 Höhe:2 :3");
  EXPECT_EQ(dlg.GetRowCount(), 3);
  EXPECT_STREQ(dlg.GetCellText(2, 1), "481");
}

TEST_F(ChoiceTreeList, HeaderClicksSortUpThenDownAndEqualTextsByRow) {
  CChoiceTreeListDlg dlg;
  dlg.AddColumn("Name", 100);
  dlg.AddColumn("Wert", 80);
  const char* names[] = {"b", "a", "B", "c"};
  const char* values[] = {"2", "4", "1", "3"};
  for (int i = 0; i < 4; ++i) {
    dlg.InsertRow(-1, i, names[i]);
    dlg.SetCellText(i, values[i], 1);
  }
  struct Click {
    int column;
    int sortColumn;
    bool descending;
    const char* order;  // when the control sorts
  };
  const Click clicks[] = {
      {0, 0, false, "a:1 b:0 B:2 c:3"},
      {0, 0, true, "c:3 B:2 b:0 a:1"},
      {1, 1, false, "B:2 b:0 c:3 a:1"},
  };
  std::vector<int> sortColumns;
  std::vector<bool> directions;
  std::vector<std::string> orders;
  std::vector<int> compares;
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    HWND header = (HWND)SendMessageA(t, TLM_GETHEADER, 0, 0);
    for (const Click& c : clicks) {
      RECT rc;
      SendMessageA(header, HDM_GETITEMRECT, c.column, (LPARAM)&rc);
      ClickAt(header, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
      sortColumns.push_back(CChoiceTreeListDlg::SortColumn());
      directions.push_back(CChoiceTreeListDlg::SortDescending());
      orders.push_back(Items(t));
    }
    // The order itself, asked of the compare the control calls: b and B
    // are equal texts, so their rows decide.
    std::vector<HTREEITEM> r = Roots(t);
    HTREEITEM a = nullptr, b = nullptr, B = nullptr;
    for (HTREEITEM h : r) {
      std::string s = CellText(t, h, 0);
      if (s == "a") a = h;
      if (s == "b") b = h;
      if (s == "B") B = h;
    }
    auto compare = [&](HTREEITEM x, HTREEITEM y) {
      int v = CChoiceTreeListDlg::CompareRows(t, x, y, Param(t, x), Param(t, y), (LPARAM)&dlg);
      return v < 0 ? -1 : v > 0 ? 1 : 0;
    };
    CChoiceTreeListDlg::ResetProcessState();
    NMHEADERA nm = {{t, (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)HDN_ITEMCLICKA}, 0, 0, nullptr};
    SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);  // column 0 ascending
    compares = {compare(a, b), compare(b, B), compare(B, b), compare(b, b)};
    SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);  // descending
    compares.insert(compares.end(), {compare(a, b), compare(b, B), compare(B, b)});
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(sortColumns, (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(directions, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(compares, (std::vector<int>{-1, -1, 1, 0, 1, 1, -1}));
  std::vector<TLMessage> sorts = Sent(TLM_SORTCHILDRENEX);
  ASSERT_EQ(sorts.size(), 5u);
  EXPECT_EQ(sorts[0].wParam, 1u);
  EXPECT_EQ(sorts[0].sort.hParent, TVI_ROOT);
  EXPECT_EQ(sorts[0].sort.lParam, (LPARAM)&dlg);
  EXPECT_EQ((void*)sorts[0].sort.lpfnCompare, (void*)CChoiceTreeListDlg::CompareRows);
  if (sorts[0].result) {
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(orders[i], clicks[i].order) << "click " << i;
  } else {
    std::cout << "[  NOTE    ] the control does not sort yet: the shown order is not checked\n";
  }
}

TEST_F(ChoiceTreeList, HeaderClickDoesNotSortWithTheNoSortBit) {
  CChoiceTreeListDlg dlg;
  dlg.m_dwMode = kTreeChoiceNoSort;
  dlg.AddColumn("Name", 100);
  AddRows(dlg, {"b", "a"});
  ModalDriver driver({[&](HWND d) {
    NMHEADERA nm = {{Tree(d), (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)HDN_ITEMCLICKA}, 0, 0, nullptr};
    SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(Sent(TLM_SORTCHILDRENEX).size(), 0u);
  EXPECT_EQ(CChoiceTreeListDlg::SortColumn(), -1);
}

TEST_F(ChoiceTreeList, EmptyRowStaysLastInTheSortOrder) {
  CChoiceTreeListDlg dlg;
  dlg.m_dwMode = kTreeChoiceAddRow;
  dlg.AddColumn("Name", 100, LVCFMT_LEFT, TRUE);
  AddRows(dlg, {"b", "a"});
  int up = 0, down = 0;
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    std::vector<HTREEITEM> r = Roots(t);
    NMHEADERA nm = {{t, (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)HDN_ITEMCLICKA}, 0, 0, nullptr};
    SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
    up = CChoiceTreeListDlg::CompareRows(t, r[2], r[1], 2, 1, (LPARAM)&dlg);
    SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
    down = CChoiceTreeListDlg::CompareRows(t, r[2], r[0], 2, 0, (LPARAM)&dlg);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_GT(up, 0);
  EXPECT_GT(down, 0);
}

TEST_F(ChoiceTreeList, ChecksAndSelectionsFollowTheMode) {
  struct Case {
    DWORD mode;
    bool checkBoxes;
    DWORD exBits;  // multi-selection and one-checked-item bits
    const char* shown;
    const char* all;
    const char* none;
    const char* result;  // rows after OK with rows 1 and 2 chosen
  } cases[] = {
      {0x00, false, 0x2000, "0100", "0100", "0100", "a b* c d"},
      {0x01, false, 0x2002, "0101", "1111", "0000", "a b* c* d"},
      {0x02, true, 0x2000, "1212", "2222", "1111", "a b* c* d"},
      {0x03, true, 0x0000, "1212", "2222", "1111", "a b* c* d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CChoiceTreeListDlg dlg;
    dlg.m_dwMode = c.mode;
    AddRows(dlg, {"a", "b", "c", "d"});
    dlg.SetRowFlag(1, TRUE);
    dlg.SetRowFlag(3, TRUE);
    std::string shown, all, none;
    LONG_PTR style = 0;
    DWORD exStyle = 0;
    auto state = [&](HWND t) {
      std::string s;
      for (HTREEITEM h : Roots(t)) s += c.checkBoxes ? (char)('0' + StateImage(t, h)) : (Selected(t, h) ? '1' : '0');
      return s;
    };
    ModalDriver driver({[&](HWND d) {
      HWND t = Tree(d);
      style = GetWindowLongPtrA(t, GWL_STYLE);
      exStyle = (DWORD)SendMessageA(t, TVM_GETEXTENDEDSTYLE, 0, 0);
      shown = state(t);
      if (c.mode == 0x03) Snapshot(d, "choice_treelist_checks.png");
      SendMessageA(d, WM_COMMAND, ID_CHOICE_SELECTALL, 0);
      all = state(t);
      SendMessageA(d, WM_COMMAND, ID_CHOICE_DESELECTALL, 0);
      none = state(t);
      std::vector<HTREEITEM> r = Roots(t);
      if (c.checkBoxes) {
        TreeView_SetItemState(t, r[1], INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
        TreeView_SetItemState(t, r[2], INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
      } else if (c.mode & 1) {
        TreeView_SetItemState(t, r[1], TVIS_SELECTED, TVIS_SELECTED);
        TreeView_SetItemState(t, r[2], TVIS_SELECTED, TVIS_SELECTED);
      } else {
        TreeView_SelectItem(t, r[1]);
      }
      PressButton(d, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ((style & TVS_CHECKBOXES) != 0, c.checkBoxes);
    EXPECT_EQ(exStyle & 0x2002, c.exBits);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(all, c.all);
    EXPECT_EQ(none, c.none);
    EXPECT_EQ(Rows(dlg), c.result);
    EXPECT_STREQ(dlg.GetText(), c.mode ? "c" : "b") << "the last chosen row";
    EXPECT_EQ(dlg.m_dwResultData, c.mode ? 102u : 101u);
  }
}

TEST_F(ChoiceTreeList, ContextMenuEntriesFollowTheMode) {
  struct Case {
    DWORD mode;
    std::vector<std::string> entries;
  } cases[] = {
      {0x00, {"1140 Feld kopieren"}},
      {0x20, {"1140 Feld kopieren", "57632 Zeile löschen"}},
      {0x01, {"1140 Feld kopieren", "0 ", "1138 &Alles auswählen", "1139 &Alles abwählen"}},
      {0x02, {"1140 Feld kopieren", "0 ", "1138 &Alles auswählen", "1139 &Alles abwählen"}},
      {0x22, {"1140 Feld kopieren", "57632 Zeile löschen", "0 ", "1138 &Alles auswählen", "1139 &Alles abwählen"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CChoiceTreeListDlg dlg;
    dlg.m_dwMode = c.mode;
    AddRows(dlg, {"a", "b"});
    std::vector<std::string> entries;
    ModalDriver driver({[&](HWND d) {
                          HWND t = Tree(d);
                          PostRightClick(t, CellPoint(t, Roots(t)[1], 0));
                          return true;
                        },
                        ReadMenu(&entries),
                        [&](HWND d) {
                          PressButton(d, IDCANCEL);
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(entries, c.entries);
  }
}

TEST_F(ChoiceTreeList, CopyPutsTheRightClickedFieldOnTheClipboard) {
  CChoiceTreeListDlg dlg;
  dlg.AddColumn("Name", 100);
  dlg.AddColumn("Wert", 100);
  AddRows(dlg, {"Breite", "Höhe"});
  dlg.SetCellText(1, "480 Punkte", 1);
  std::vector<std::string> entries;
  std::string copiedCell, copiedRow;
  ModalDriver driver({[&](HWND d) {
                        HWND t = Tree(d);
                        PostRightClick(t, CellPoint(t, Roots(t)[1], 1));
                        return true;
                      },
                      ReadMenu(&entries),
                      [&](HWND d) {
                        SendMessageA(d, WM_COMMAND, ID_CHOICE_COPYFIELD, 0);
                        char buf[64] = "";
                        GetClipboardTextBuf(buf, sizeof buf);
                        copiedCell = buf;
                        HWND t = Tree(d);
                        PostRightClick(t, CellPoint(t, Roots(t)[0], 0));
                        return true;
                      },
                      ReadMenu(&entries),
                      [&](HWND d) {
                        SendMessageA(d, WM_COMMAND, ID_CHOICE_COPYFIELD, 0);
                        char buf[64] = "";
                        GetClipboardTextBuf(buf, sizeof buf);
                        copiedRow = buf;
                        PressButton(d, IDOK);
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(copiedCell, "480 Punkte");
  EXPECT_EQ(copiedRow, "Breite");
}

TEST_F(ChoiceTreeList, DoubleClickAcceptsInPlainAndOneCheckModes) {
  struct Case {
    DWORD mode;
    INT_PTR result;
    const char* rows;
    const char* text;
  } cases[] = {
      {0x00, IDOK, "a b c*", "c"},
      {0x02, IDOK, "a b c*", "c"},  // the check moves to the double-clicked row
      {0x01, IDCANCEL, "a* b c", ""},
      {0x03, IDCANCEL, "a* b c", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CChoiceTreeListDlg dlg;
    dlg.m_dwMode = c.mode;
    AddRows(dlg, {"a", "b", "c"});
    dlg.SetRowFlag(0, TRUE);
    ModalDriver driver({[&](HWND d) {
                          HWND t = Tree(d);
                          POINT pt = CellPoint(t, Roots(t)[2], 0);
                          ClickAt(t, pt.x, pt.y, true);
                          return true;
                        },
                        [&](HWND d) {  // still open: not accepted
                          PressButton(d, IDCANCEL);
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), c.result);
    EXPECT_EQ(Rows(dlg), c.rows);
    EXPECT_STREQ(dlg.GetText(), c.text);
  }
}

TEST_F(ChoiceTreeList, ReturnInTheControlAcceptsUnlessItEdits) {
  for (DWORD mode : std::vector<DWORD>{0x00, 0x01, kTreeChoiceLinesMode}) {
    SCOPED_TRACE(mode);
    CChoiceTreeListDlg dlg;
    dlg.m_dwMode = mode;
    AddRows(dlg, {"a", "b"});
    ModalDriver driver({[&](HWND d) {
                          NMHDR nm = {Tree(d), (UINT_PTR)IDC_CHOICE_TREELIST, (UINT)NM_RETURN};
                          SendMessageA(d, WM_NOTIFY, IDC_CHOICE_TREELIST, (LPARAM)&nm);
                          return true;
                        },
                        [&](HWND d) {  // still open: Return is the editor's
                          PressButton(d, IDCANCEL);
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), mode == kTreeChoiceLinesMode ? IDCANCEL : IDOK);
  }
}

TEST_F(ChoiceTreeList, OkWithNothingChosenGivesAnEmptyResult) {
  CChoiceTreeListDlg dlg;
  AddRows(dlg, {"a", "b"});
  dlg.m_nSelection = -2;
  dlg.m_strResult = "alt";
  dlg.m_dwResultData = 9;
  bool anySelected = true;
  ModalDriver driver({[&](HWND d) {
    HWND t = Tree(d);
    anySelected = Selected(t, Roots(t)[0]) || Selected(t, Roots(t)[1]);
    PressButton(d, IDOK);
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(anySelected);
  EXPECT_STREQ(dlg.GetText(), "");
  EXPECT_EQ(dlg.m_dwResultData, 0u);
  EXPECT_EQ(dlg.m_nSelection, -1);
  EXPECT_EQ(Rows(dlg), "a b");
}

TEST_F(ChoiceTreeList, FlaggedOrFoundRowIsTheSingleChoice) {
  struct Case {
    int flagged;
    const char* find;
    int selection;
    const char* text;
  } cases[] = {
      {2, nullptr, -1, "c"},  // a flagged row is the choice
      {-1, "B", -1, "b"},     // found without regard to case
      {-1, nullptr, 7, "a"},  // out of range: the first row
  };
  for (const Case& c : cases) {
    CChoiceTreeListDlg dlg;
    AddRows(dlg, {"a", "b", "c"});
    if (c.flagged >= 0) dlg.SetRowFlag(c.flagged, TRUE);
    dlg.m_nSelection = c.selection;
    if (c.find) {
      EXPECT_EQ(dlg.FindRow(c.find, 0), -1);
      EXPECT_EQ(dlg.FindRow(c.find, 1), 1);
    }
    ModalDriver driver({[&](HWND d) {
      PressButton(d, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.GetText(), c.text);
  }
}

TEST_F(ChoiceTreeList, TwoInstancesShareThePositionAndKeepTheirSizes) {
  CChoiceTreeListDlg first, second;
  AddRows(first, {"a"});
  AddRows(second, {"b"});
  auto run = [](CChoiceTreeListDlg& dlg, RECT* shown, const RECT* place) {
    ModalDriver driver({[&](HWND d) {
      GetWindowRect(d, shown);
      if (place)
        SetWindowPos(d, nullptr, place->left, place->top, place->right - place->left, place->bottom - place->top,
                     SWP_NOZORDER);
      PressButton(d, IDOK);
      return true;
    }});
    dlg.DoModal();
  };
  RECT a1, b1, a2;
  RECT placeA = {123, 77, 123 + 520, 77 + 410}, placeB = {150, 90, 150 + 400, 90 + 380};
  run(first, &a1, &placeA);
  run(second, &b1, &placeB);
  run(first, &a2, nullptr);
  EXPECT_EQ(b1.left, 123);
  EXPECT_EQ(b1.top, 77);
  EXPECT_EQ(b1.right - b1.left, a1.right - a1.left) << "the second's own default size";
  EXPECT_EQ(a2.left, 150) << "where the last one was closed";
  EXPECT_EQ(a2.top, 90);
  EXPECT_EQ(a2.right - a2.left, 520) << "the first keeps its own size";
  EXPECT_EQ(a2.bottom - a2.top, 410);
}

TEST_F(ChoiceTreeList, SizeChangesMinimumAndButtonsWithoutCancel) {
  struct Case {
    LONG width, height;
    BOOL cancel;
  } cases[] = {{0, 0, TRUE}, {0x123401A0, 0x12340190, TRUE}, {-1000, -1000, FALSE}};
  std::vector<SIZE> sizes;
  for (const Case& c : cases) {
    CChoiceTreeListDlg dlg;
    dlg.SetPrompt("Bitte wählen:");
    dlg.m_nWidthChange = c.width;
    dlg.m_nHeightChange = c.height;
    dlg.m_bCancel = c.cancel;
    AddRows(dlg, {"a"});
    RECT rc = {}, ok = {}, client = {}, tree = {};
    bool cancelVisible = true;
    RECT small = {};
    ModalDriver driver({[&](HWND d) {
                          GetWindowRect(d, &rc);
                          GetClientRect(d, &client);
                          GetWindowRect(GetDlgItem(d, IDOK), &ok);
                          MapWindowPoints(nullptr, d, (POINT*)&ok, 2);
                          GetWindowRect(Tree(d), &tree);
                          MapWindowPoints(nullptr, d, (POINT*)&tree, 2);
                          cancelVisible = IsWindowVisible(GetDlgItem(d, IDCANCEL));
                          small = {rc.left, rc.top, rc.left + 10, rc.top + 10};
                          SendMessageA(d, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&small);
                          PressButton(d, IDCANCEL);  // without Cancel: nothing
                          return true;
                        },
                        [&](HWND d) {
                          PressButton(d, IDOK);
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), c.cancel ? IDCANCEL : IDOK);
    sizes.push_back({rc.right - rc.left, rc.bottom - rc.top});
    EXPECT_EQ(cancelVisible, c.cancel != FALSE);
    EXPECT_EQ(tree.right, client.right) << "the control reaches the right edge";
    EXPECT_LT(tree.bottom, ok.top);
    EXPECT_GT(small.right - small.left, 10) << "kept at the minimum";
    EXPECT_GT(small.bottom - small.top, 10);
    if (!c.cancel) {
      EXPECT_NEAR((ok.left + ok.right) / 2, client.right / 2, 1) << "OK alone is centred";
      EXPECT_EQ(sizes.back().cx, small.right - small.left) << "a large shrink stops at the minimum";
      EXPECT_EQ(sizes.back().cy, small.bottom - small.top);
    }
  }
  // 0x1234nnnn gives nnnn of 347 (width) and of 301 (height) nominal units.
  EXPECT_NEAR(sizes[1].cx, sizes[0].cx * 416 / 347, 1);
  EXPECT_NEAR(sizes[1].cy, sizes[0].cy * 400 / 301, 1);
}

TEST_F(ChoiceTreeList, RowStoreInsertsSortsAndDeletes) {
  CChoiceTreeListDlg dlg;
  dlg.AddColumn("Name", 80);
  dlg.AddColumn("Nr", 40);
  EXPECT_EQ(dlg.InsertRow(-1, 5, "d"), 0);
  EXPECT_EQ(dlg.InsertRow(99, 1, "b"), 1);
  EXPECT_EQ(dlg.InsertRow(-12345, 9, "C"), 0) << "before the first greater text";
  EXPECT_EQ(dlg.InsertRow(-12346, 3, "a"), 0) << "before the first greater data";
  EXPECT_EQ(dlg.InsertRow(0, 0, "e"), 0);
  EXPECT_EQ(Rows(dlg), "e a C d b");
  for (int i = 0; i < 5; ++i) dlg.SetCellText(i, std::to_string(i).c_str(), 1);
  dlg.SortRows(CChoiceTreeListDlg::CompareRowTexts);
  EXPECT_EQ(Rows(dlg), "a b C d e");
  EXPECT_STREQ(dlg.GetCellText(0, 1), "1") << "cells follow their rows";
  EXPECT_STREQ(dlg.GetCellText(4, 1), "0");
  EXPECT_EQ(dlg.SetRowData(2, 77), 9u);
  EXPECT_EQ(dlg.GetRowData(2), 77u);
  EXPECT_EQ(dlg.SetRowData(5, 1), 0u);
  EXPECT_TRUE(dlg.SetRowText(2, "c"));
  EXPECT_FALSE(dlg.SetRowText(5, "x"));
  EXPECT_EQ(dlg.GetRowData(2), 77u) << "a new text keeps the data";
  char buf[8];
  EXPECT_EQ(dlg.CopyRowText(5, buf, sizeof buf), 0);
  EXPECT_EQ(dlg.CopyRowText(2, buf, 1), 0);
  EXPECT_STREQ(buf, "");
  dlg.DeleteAllRows();
  EXPECT_EQ(dlg.GetRowCount(), 0);
  EXPECT_EQ(dlg.GetCellText(0, 1), nullptr);
  EXPECT_EQ(dlg.AddColumn("wieder", 10), 2);
}
