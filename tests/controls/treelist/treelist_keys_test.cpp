// Keys: caret movement, fixed rows, ranges that follow the caret, Ctrl
// scrolling, Return, check boxes and the process-wide type-ahead, each
// checked against the parent's notifications in order. After every test a
// worker's direct call must still get the lock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/treelist/treelist_keys.h"
#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

const int kSelChanging = (int)TVN_SELCHANGINGA, kSelChanged = (int)TVN_SELCHANGEDA, kKeyDown = (int)TVN_KEYDOWN;

void SetModifiers(bool shift, bool ctrl) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
}

void Key(TreeListFixture& f, WPARAM vk, bool shift = false, bool ctrl = false) {
  SetModifiers(shift, ctrl);
  f.Send(WM_KEYDOWN, vk, 1);
  f.Send(WM_KEYUP, vk, 0xC0000001);
  SetModifiers(false, false);
}

void Type(TreeListFixture& f, const char* text) {
  for (const char* p = text; *p; ++p) f.Send(WM_CHAR, (BYTE)*p, 1);
}

DWORD g_now = 100000;
DWORD FakeTicks() { return g_now; }

DWORD WINAPI ReadItem(void* arg) {
  TreeListFixture* f = (TreeListFixture*)arg;
  WNDPROC direct = TreeListWndProc;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TLIF_DIRECT;
  tv.hItem = (HTREEITEM)(UINT_PTR)1;
  direct(f->Hwnd(), TVM_GETITEMA, 0, (LPARAM)&tv);
  return 0;
}

class TreeListKeys : public ::testing::Test {
 protected:
  explicit TreeListKeys(DWORD style = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                      TVS_EDITLABELS | TVS_CHECKBOXES)
      : f(style) {}
  void SetUp() override {
    TreeListResetTypeAhead();
    TreeListSetTickSource(FakeTicks);
    SetForegroundWindow(f.Parent());
    SetFocus(f.Hwnd());
    SetModifiers(false, false);
  }
  void TearDown() override {
    TreeListSetTickSource(nullptr);
    TreeListResetTypeAhead();
    // The lock is free again: a worker's direct read returns at once.
    HANDLE thread = CreateThread(nullptr, 0, ReadItem, &f, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 1000), WAIT_OBJECT_0);
    CloseHandle(thread);
  }
  TLHandle Caret() { return (TLHandle)f.Send(TVM_GETNEXTITEM, TVGN_CARET); }
  int CaretRow() { return (int)f.Send(TLM_GETITEMROW, 0, Caret()); }
  TLHandle Row(int r) { return (TLHandle)f.Send(TLM_GETROWITEM, 0, r); }
  std::vector<int> SelectedRows() {
    std::vector<int> out;
    for (int r = 0; r < (int)f.Send(TLM_GETROWCOUNT); ++r)
      if (f.Send(TVM_GETITEMSTATE, Row(r), TVIS_SELECTED) & TVIS_SELECTED) out.push_back(r);
    return out;
  }
  void Roots(std::initializer_list<const char*> names) {
    for (const char* n : names) Insert(f, 0, n);
  }
  TreeListFixture f;
};

TEST_F(TreeListKeys, ArrowsMoveTheCaretThenNotifyTheKey) {
  Roots({"alpha", "beta", "gamma"});
  f.notes.clear();
  Key(f, VK_DOWN);
  ASSERT_EQ(Codes(f.notes), (std::vector<int>{kSelChanging, kSelChanged, kKeyDown}));
  EXPECT_EQ(f.notes[0].tv.action, (UINT)TVC_BYKEYBOARD);
  EXPECT_EQ(f.notes[1].tv.itemNew.hItem, (HTREEITEM)(UINT_PTR)Row(0));
  EXPECT_EQ(CaretRow(), 0);
  // The key record: the virtual key and the key data.
  struct {
    int vk;
    int row;
  } steps[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 2},  {VK_UP, 1},
               {VK_HOME, 0}, {VK_END, 2},  {VK_PRIOR, 0}, {VK_NEXT, 2}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.vk);
    Key(f, s.vk);
    EXPECT_EQ(CaretRow(), s.row);
  }
  f.notes.clear();
  Key(f, VK_DOWN);
  ASSERT_EQ(Codes(f.notes), (std::vector<int>{kKeyDown})) << "no move at the last row";
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
}

TEST_F(TreeListKeys, LeftAndRightCollapseExpandAndClimb) {
  TLHandle p = Insert(f, 0, "parent");
  TLHandle c1 = Insert(f, p, "one");
  Insert(f, p, "two");
  Insert(f, 0, "after");
  f.Send(TVM_SELECTITEM, TVGN_CARET, p);
  f.notes.clear();
  Key(f, VK_RIGHT);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_ITEMEXPANDINGA, (int)TVN_ITEMEXPANDEDA, kKeyDown}));
  EXPECT_EQ(Caret(), p);
  Key(f, VK_RIGHT);
  EXPECT_EQ(Caret(), c1) << "an expanded item moves on to its first child";
  Key(f, VK_LEFT);
  EXPECT_EQ(Caret(), p) << "a child climbs to its parent";
  f.notes.clear();
  Key(f, VK_LEFT);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_ITEMEXPANDINGA, (int)TVN_ITEMEXPANDEDA, kKeyDown}));
  EXPECT_FALSE(f.Send(TVM_GETITEMSTATE, p, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(Caret(), p);
  // Backspace: the parent's row.
  f.Send(TVM_EXPAND, TVE_EXPAND, p);
  f.Send(TVM_SELECTITEM, TVGN_CARET, c1);
  Key(f, VK_BACK);
  EXPECT_EQ(Caret(), p);
}

TEST_F(TreeListKeys, HomeStopsBelowTheFixedRowsFirst) {
  for (int i = 0; i < 8; ++i) Insert(f, 0, "row");
  f.Send(TLM_OPTION, TLO_SET | TLO_FIXEDROWS, 2);
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(5));
  Key(f, VK_HOME);
  EXPECT_EQ(CaretRow(), 2);
  Key(f, VK_HOME);
  EXPECT_EQ(CaretRow(), 0);
}

TEST_F(TreeListKeys, CtrlScrollsAndTheCaretStays) {
  for (int i = 0; i < 40; ++i) Insert(f, 0, "row");
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(3));
  f.notes.clear();
  Key(f, VK_DOWN, false, true);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{kKeyDown}));
  EXPECT_EQ(f.Data()->topRow, 1);
  EXPECT_EQ(CaretRow(), 3);
  Key(f, VK_NEXT, false, true);
  int page = f.Data()->rowsPerPage - 1;
  EXPECT_EQ(f.Data()->topRow, 1 + page);
  Key(f, VK_END, false, true);
  EXPECT_EQ(f.Data()->topRow, 40 - f.Data()->rowsPerPage);
  Key(f, VK_HOME, false, true);
  EXPECT_EQ(f.Data()->topRow, 0);
  Key(f, VK_UP, false, true);
  EXPECT_EQ(f.Data()->topRow, 0) << "clamped";
  EXPECT_EQ(CaretRow(), 3);
}

class TreeListMultiKeys : public TreeListKeys {
 protected:
  void SetUp() override {
    TreeListKeys::SetUp();
    f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT);
    for (int i = 0; i < 8; ++i) Insert(f, 0, "row");
  }
};

TEST_F(TreeListMultiKeys, ShiftRangesFollowTheCaret) {
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(3));
  struct {
    int vk;
    std::vector<int> selected;
  } steps[] = {
      {VK_DOWN, {3, 4}}, {VK_DOWN, {3, 4, 5}},      {VK_UP, {3, 4}},
      {VK_UP, {3}},      {VK_UP, {2, 3}},           {VK_UP, {1, 2, 3}},
      {VK_DOWN, {2, 3}}, {VK_END, {3, 4, 5, 6, 7}}, {VK_HOME, {0, 1, 2, 3}},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(testing::Message() << "key " << s.vk << " to " << s.selected.size());
    Key(f, s.vk, true);
    EXPECT_EQ(SelectedRows(), s.selected);
  }
  EXPECT_EQ(CaretRow(), 0);
  // Without Shift the others go.
  f.notes.clear();
  Key(f, VK_DOWN);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
  // Reselecting an already selected item says so in the action's bits.
  bool sawAgain = false;
  for (const TLNote& n : f.notes)
    if (n.code == kSelChanging && n.tv.itemNew.hItem == (HTREEITEM)(UINT_PTR)Row(1))
      sawAgain = (n.tv.action & kTLSelectAgain) && (n.tv.action & TVC_BYKEYBOARD);
  EXPECT_TRUE(sawAgain);
}

TEST_F(TreeListKeys, ReturnAsksThePeerToEditWithoutAKeyNotification) {
  Roots({"alpha", "beta"});
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(1));
  UINT code = 0;
  HTREEITEM asked = nullptr;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == (UINT)TLN_EDITREQUEST) {
      struct Request {
        NMHDR hdr;
        TVITEMA item;
        UINT code;
      };
      code = ((Request*)hdr)->code;
      asked = ((Request*)hdr)->item.hItem;
    }
    return 0;
  };
  f.notes.clear();
  Key(f, VK_RETURN);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_RETURN, TLN_EDITREQUEST}));
  EXPECT_EQ(code, 13u);
  EXPECT_EQ(asked, (HTREEITEM)(UINT_PTR)Row(1));
}

TEST_F(TreeListKeys, SpaceTogglesTheCheckBox) {
  Roots({"alpha", "beta"});
  TLHandle b = Row(1);
  f.Send(TVM_SELECTITEM, TVGN_CARET, b);
  f.notes.clear();
  Key(f, VK_SPACE);
  ASSERT_EQ(Codes(f.notes), (std::vector<int>{TLN_CHECKCHANGED, kKeyDown}));
  EXPECT_EQ(f.Send(TVM_GETITEMSTATE, b, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK, (LRESULT)INDEXTOSTATEIMAGEMASK(2));
  Key(f, VK_SPACE);
  EXPECT_EQ(f.Send(TVM_GETITEMSTATE, b, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK, (LRESULT)INDEXTOSTATEIMAGEMASK(1));
}

TEST_F(TreeListMultiKeys, ShiftAfterCtrlClickAddsFromTheAnchor) {
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(5));
  // Ctrl+click on row 1 makes it the anchor.
  LPARAM at = MAKELPARAM(f.Data()->indent + 3, 1 * 16 + 8);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
  f.Send(WM_LBUTTONUP, MK_CONTROL, at);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 5}));
  Key(f, VK_DOWN, true);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2}));
  EXPECT_EQ(f.Data()->ctrlAnchor, 0);
  Key(f, VK_DOWN, true);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
}

TEST_F(TreeListKeys, CollapsedItemsInARangeTakeTheirChildrenAlong) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT);
  TLHandle r0 = Insert(f, 0, "r0"), r1 = Insert(f, 0, "r1");
  TLHandle c1 = Insert(f, r1, "c1"), c2 = Insert(f, r1, "c2");
  Insert(f, 0, "r2");
  f.Send(TVM_SELECTITEM, TVGN_CARET, r0);
  auto selected = [&](TLHandle h) { return (f.Send(TVM_GETITEMSTATE, h, TVIS_SELECTED) & TVIS_SELECTED) != 0; };
  Key(f, VK_DOWN, true);
  Key(f, VK_DOWN, true);
  EXPECT_TRUE(selected(r1));
  EXPECT_TRUE(selected(c1) && selected(c2)) << "hidden under a selected collapsed item";
  Key(f, VK_UP, true);
  Key(f, VK_UP, true);
  EXPECT_FALSE(selected(r1));
  EXPECT_FALSE(selected(c1) || selected(c2));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 1);
}

TEST_F(TreeListKeys, CellCaretStepsOverColumnsAndMergedSpans) {
  for (int c = 0; c < 4; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH;
    col.cx = c == 2 ? 40 : 50;
    f.Send(TLM_INSERTCOLUMN, c, (LPARAM)&col);
  }
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  Roots({"plain", "merged"});
  f.Send(TLM_SELECTCELL, 0, Row(0));
  struct {
    int vk;
    int column;
  } plain[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 3}, {VK_RIGHT, 3}, {VK_LEFT, 2}};
  for (const auto& s : plain) {
    Key(f, s.vk);
    EXPECT_EQ(f.Data()->caretColumn, s.column);
  }
  // Column 2 joined to column 1 in the second row.
  f.Send(TLM_OPTION, TLO_SET | TLO_MERGECOLUMNS, 0x2);
  TreeListLock(f.Data());
  f.Data()->items[Row(1)]->state |= 0x2 << TLIS_MERGESHIFT;
  TreeListUnlock(f.Data());
  f.Send(TLM_SELECTCELL, 0, Row(1));
  struct {
    int vk;
    int column;
  } merged[] = {{VK_RIGHT, 1}, {VK_RIGHT, 3}, {VK_LEFT, 1}, {VK_LEFT, 0}};
  for (const auto& s : merged) {
    Key(f, s.vk);
    EXPECT_EQ(f.Data()->caretColumn, s.column);
  }
  EXPECT_EQ(Caret(), Row(1));
}

TEST_F(TreeListKeys, EscapeCancelsADragAndReportsIt) {
  Roots({"alpha", "beta"});
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, 0x80);
  TreeListLock(f.Data());
  f.Data()->dragItem = Row(1);
  TreeListUnlock(f.Data());
  NMTREEVIEWA drop = {};
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == (UINT)TLN_DROP) drop = *(NMTREEVIEWA*)hdr;
    return 0;
  };
  f.notes.clear();
  Key(f, VK_ESCAPE);
  f.onNotify = nullptr;
  ASSERT_EQ(Codes(f.notes), (std::vector<int>{TLN_DROP}));
  EXPECT_EQ(drop.action, 0x5000001u);
  EXPECT_EQ(drop.itemNew.hItem, (HTREEITEM)(UINT_PTR)Row(1));
  EXPECT_EQ(f.Data()->dragItem, 0u);
  // Return during a drag does nothing at all.
  TreeListLock(f.Data());
  f.Data()->dragItem = Row(1);
  TreeListUnlock(f.Data());
  f.notes.clear();
  Key(f, VK_RETURN);
  EXPECT_TRUE(f.notes.empty());
  TreeListLock(f.Data());
  f.Data()->dragItem = 0;
  TreeListUnlock(f.Data());
}

TEST_F(TreeListKeys, TabLeavesForTheParentAndDisabledIgnores) {
  Roots({"alpha", "beta"});
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_TABTOPARENT, TLS_EX_TABTOPARENT);
  f.notes.clear();
  Key(f, VK_TAB);
  EXPECT_EQ(GetFocus(), f.Parent());
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_KILLFOCUS}));
  SetFocus(f.Hwnd());
  EnableWindow(f.Hwnd(), FALSE);
  f.notes.clear();
  Key(f, VK_DOWN);
  EXPECT_TRUE(f.notes.empty());
  EXPECT_EQ(Caret(), 0u);
  EnableWindow(f.Hwnd(), TRUE);
}

// A parent that waits in every notification for a worker's direct call:
// the handlers never notify with the lock held.
TEST_F(TreeListMultiKeys, ParentWaitingForAWorkerInEachNotification) {
  int waits = 0, stuck = 0;
  f.onNotify = [&](NMHDR*) -> LRESULT {
    ++waits;
    HANDLE thread = CreateThread(nullptr, 0, ReadItem, &f, 0, nullptr);
    if (WaitForSingleObject(thread, 1000) != WAIT_OBJECT_0) ++stuck;
    CloseHandle(thread);
    return 0;
  };
  Key(f, VK_DOWN);
  Key(f, VK_DOWN, true);
  Key(f, VK_DOWN, true);
  Key(f, VK_UP, true);
  Key(f, VK_RETURN);
  Key(f, VK_SPACE);
  Key(f, VK_DOWN, false, true);
  f.Send(WM_CHAR, 'r', 1);
  f.onNotify = nullptr;
  EXPECT_GT(waits, 10);
  EXPECT_EQ(stuck, 0);
}

TEST_F(TreeListKeys, TargetDeletedInsideTheSelectionChange) {
  Roots({"alpha", "beta", "gamma"});
  f.Send(TVM_SELECTITEM, TVGN_CARET, Row(0));
  TLHandle victim = Row(1);
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_SELCHANGINGA) SendMessageA(f.Hwnd(), TVM_DELETEITEM, 0, victim);
    return 0;
  };
  f.notes.clear();
  Key(f, VK_DOWN);
  f.onNotify = nullptr;
  EXPECT_EQ(f.Send(TVM_GETCOUNT), 2);
  EXPECT_NE(Caret(), victim);
  EXPECT_EQ(Codes(f.notes).back(), kKeyDown);
}

// A range made with Shift+Down in cell selection, with its focus cell: the
// picture a user sees, saved beside the test program.
TEST_F(TreeListMultiKeys, ShiftRangeWithFocusCellScreenshot) {
  f.Send(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = c ? 60 : 80;
    col.pszText = (char*)(c == 0 ? "Name" : c == 1 ? "Typ" : "Wert");
    f.Send(TLM_INSERTCOLUMN, c, (LPARAM)&col);
  }
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  const char* names[] = {"Eintrag A", "Eintrag B", "Eintrag C", "Eintrag D", "Eintrag E"};
  for (const char* n : names) {
    TLHandle h = Insert(f, 0, n);
    TVITEMA cell = {};
    cell.mask = TLIF_CELL | TVIF_TEXT;
    cell.hItem = (HTREEITEM)(UINT_PTR)h;
    cell.cChildren = 1;
    cell.pszText = (char*)"REG_SZ";
    f.Send(TVM_SETITEMA, 0, (LPARAM)&cell);
  }
  f.Send(TLM_SELECTCELL, 1, Row(1));
  Key(f, VK_DOWN, true);
  Key(f, VK_DOWN, true);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(f.Data()->focusCellItem, Row(3));
  EXPECT_EQ(f.Data()->focusCellColumn, 1);
  UpdateWindow(f.Hwnd());
  WindowCapture cap(f.Hwnd());
  EXPECT_TRUE(cap.SavePng(ScreensPathIn("treelist", "keys_shift_range.png").c_str()));
}

class TreeListTypeAheadTest : public TreeListKeys {
 protected:
  void SetUp() override {
    TreeListKeys::SetUp();
    Roots({"Zeta", "Alpha", "Abend", "beta", "ABC", "\xC4pfel"});
    f.Send(TVM_SELECTITEM, TVGN_CARET, Row(0));
  }
  std::string CaretText() {
    char buffer[64] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = (HTREEITEM)(UINT_PTR)Caret();
    tv.pszText = buffer;
    tv.cchTextMax = sizeof(buffer);
    f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
    return buffer;
  }
};

TEST_F(TreeListTypeAheadTest, TwoCharactersFindTheirPrefix) {
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Alpha");
  g_now += 700;
  Type(f, "b");
  EXPECT_EQ(CaretText(), "Abend") << "\"AB\" from the row the search started at";
  // Past the timeout a new search begins at the caret.
  g_now += 800;
  Type(f, "a");
  EXPECT_EQ(CaretText(), "ABC");
}

TEST_F(TreeListTypeAheadTest, SearchStringWhileTheSearchRuns) {
  char buffer[32] = "?";
  EXPECT_EQ(0, f.Send(TVM_GETISEARCHSTRINGA, 0, (LPARAM)buffer));
  EXPECT_STREQ("?", buffer);
  Type(f, "ab");
  EXPECT_EQ(2, f.Send(TVM_GETISEARCHSTRINGA, 0, (LPARAM)buffer));
  EXPECT_STREQ("AB", buffer);
  EXPECT_EQ(2, f.Send(TVM_GETISEARCHSTRINGA));
  g_now += 700;
  EXPECT_EQ(2, f.Send(TVM_GETISEARCHSTRINGA, 0, (LPARAM)buffer));
  g_now += 100;
  EXPECT_EQ(0, f.Send(TVM_GETISEARCHSTRINGA, 0, (LPARAM)buffer)) << "past its time the search is over";
  Type(f, "abe");
  g_now += 1000;
  EXPECT_EQ(3, f.Send(TVM_GETISEARCHSTRINGA, 0, (LPARAM)buffer)) << "three characters wait longer";
  EXPECT_STREQ("ABE", buffer);
}

TEST_F(TreeListTypeAheadTest, RepeatedLetterStepsThroughItsItems) {
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Alpha");
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Abend");
  Type(f, "a");
  EXPECT_EQ(CaretText(), "ABC");
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Alpha") << "wraps";
}

TEST_F(TreeListTypeAheadTest, SeventeenthCharacterStartsAgain) {
  Insert(f, 0, "aaaaaaaaaaaaaaaaaaaa");
  Type(f, "aaaaaaaaaaaaaaaa");
  EXPECT_EQ(CaretText(), "aaaaaaaaaaaaaaaaaaaa");
  // A longer search would stay; a new one steps on to the next "A".
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Alpha");
}

TEST_F(TreeListTypeAheadTest, UmlautFindsItsCapital) {
  UINT code = 0;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    struct Request {
      NMHDR hdr;
      TVITEMA item;
      UINT code;
    };
    if (hdr->code == (UINT)TLN_EDITREQUEST) code = ((Request*)hdr)->code;
    return 0;
  };
  f.notes.clear();
  f.Send(WM_CHAR, 0xE4, 1);
  EXPECT_EQ(CaretText(), "\xC4pfel");
  EXPECT_EQ(code, 0x10000E4u);
  // Typed characters went to the parent first, unsigned and marked.
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{TLN_EDITREQUEST, kSelChanging, kSelChanged}));
}

TEST_F(TreeListTypeAheadTest, KeyReplySuppressesTheCharacter) {
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_KEYDOWN ? 1 : 0; };
  f.Send(WM_KEYDOWN, 'A', 1);
  f.Send(WM_CHAR, 'a', 1);
  EXPECT_EQ(CaretText(), "Zeta");
  f.onNotify = nullptr;
  f.Send(WM_KEYDOWN, 'A', 1);
  f.Send(WM_CHAR, 'a', 1);
  EXPECT_EQ(CaretText(), "Alpha");
}

TEST_F(TreeListTypeAheadTest, SharedByEveryControlOfTheProcess) {
  TreeListFixture other;
  Insert(other, 0, "Abend");
  Insert(other, 0, "Alpha");
  Type(f, "a");
  EXPECT_EQ(CaretText(), "Alpha");
  // The second control continues the same search: "AL".
  other.Send(WM_CHAR, 'l', 1);
  EXPECT_EQ(other.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)2);
}

}  // namespace
