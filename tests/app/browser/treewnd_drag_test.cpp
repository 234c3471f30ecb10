// Dragging a key out of the tree and dropping files on the pane: the drop
// callback gets the paths, the target's parent path and the verdict
// (0 copy, 1 move); a drop on the key itself or its parent is refused.
#include <shlobj.h>

#include <cstring>

#include "browser_fixture.h"

namespace {

struct Drop {
  std::vector<std::string> paths;
  std::string target;
  int verdict;
};
std::vector<Drop> g_drops;

int RecordDrop(CTextList* paths, const char* target, int verdict, LPARAM) {
  Drop d{{}, target, verdict};
  for (int i = 0; i < paths->count; ++i) d.paths.push_back(paths->items[i]);
  g_drops.push_back(d);
  return 1;
}

// The screen point in the middle of a tree item's text.
POINT ItemCentre(CTreeListCtrl& tree, HTREEITEM item) {
  RECT r = {};
  memcpy(&r, &item, sizeof item);
  tree.SendMessage(TVM_GETITEMRECT, TRUE, (LPARAM)&r);
  POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(tree.m_hWnd, &pt);
  return pt;
}

// The item of a path of names below the roots, each level expanded.
HTREEITEM TreeItem(CTreeWnd& pane, std::initializer_list<const char*> names) {
  HTREEITEM item = TVI_ROOT;
  for (const char* name : names) {
    if (item != TVI_ROOT) ExpandAndWait(pane, item);
    item = FindChild(pane.Tree(), item, name);
    if (!item) return nullptr;
  }
  return item;
}

class TreeWndDragTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    GetCursorPos(&m_cursorBefore);
    g_drops.clear();
    ASSERT_TRUE(m_pane2.CreateWnd(TWS_DROPFILES, CRect(0, 0, 900, 600), m_host, 4241));
    m_pane2.SetDropCallback(RecordDrop, 0);
    m_host->ShowWindow(SW_SHOW);
    m_host->UpdateWindow();
  }
  void TearDown() override {
    m_pane2.DestroyWindow();
    BrowserTest::TearDown();
    // The next program's windows may open under it: a toolbar there would
    // show its prompt in the status bar.
    SetCursorPos(m_cursorBefore.x, m_cursorBefore.y);
  }
  POINT m_cursorBefore = {};
  // Starts dragging item as the tree reports it.
  void BeginDrag(HTREEITEM item) {
    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = m_pane2.Tree().m_hWnd;
    nm.hdr.idFrom = IDC_TREEWND_TREE;
    nm.hdr.code = TVN_BEGINDRAGA;
    nm.itemNew.hItem = item;
    m_pane2.SendMessage(WM_NOTIFY, IDC_TREEWND_TREE, (LPARAM)&nm);
  }
  // Moves the captured mouse over item with the keys in flags.
  void MoveTo(HTREEITEM item, UINT flags) {
    POINT pt = ItemCentre(m_pane2.Tree(), item);
    SetCursorPos(pt.x, pt.y);
    ::ScreenToClient(m_pane2.m_hWnd, &pt);
    m_pane2.SendMessage(WM_MOUSEMOVE, MK_LBUTTON | flags, MAKELPARAM(pt.x, pt.y));
  }
  void Release(HTREEITEM item) {
    POINT pt = ItemCentre(m_pane2.Tree(), item);
    SetCursorPos(pt.x, pt.y);
    ::ScreenToClient(m_pane2.m_hWnd, &pt);
    m_pane2.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  }
  CTreeWnd m_pane2;  // the generic pane over its own test data
};

TEST_F(TreeWndDragTest, KeyDroppedOnTreeItemsGivesVerdictsByDriveAndKeys) {
  HTREEITEM dragged = TreeItem(m_pane2, {"1:", "Ebene 0", "Ebene 1"});
  HTREEITEM parent = TreeItem(m_pane2, {"1:", "Ebene 0"});
  HTREEITEM root1 = TreeItem(m_pane2, {"1:"});
  HTREEITEM other = TreeItem(m_pane2, {"2:", "Ebene 0"});
  ASSERT_TRUE(dragged && parent && root1 && other);
  struct Case {
    HTREEITEM target;
    UINT keys;
    int cursorKind;  // 1 refused, 2 copy, 3 move
    int verdict;     // -1: no drop
  };
  const Case cases[] = {
      {parent, 0, 1, -1},                    // its own parent
      {dragged, 0, 1, -1},                   // itself
      {root1, 0, 3, 1},                      // same drive: move
      {root1, MK_CONTROL, 2, 0},             // Ctrl copies
      {other, 0, 2, 0},                      // other drive: copy
      {other, MK_SHIFT, 3, 1},               // Shift moves
      {other, MK_SHIFT | MK_CONTROL, 2, 0},  // Ctrl wins
  };
  for (const Case& c : cases) {
    g_drops.clear();
    BeginDrag(dragged);
    ASSERT_EQ(GetCapture(), m_pane2.m_hWnd);
    MoveTo(c.target, c.keys);
    EXPECT_EQ(m_pane2.CursorKind(), c.cursorKind) << c.keys;
    Release(c.target);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(m_pane2.CursorKind(), 0);
    if (c.verdict < 0) {
      EXPECT_TRUE(g_drops.empty());
      continue;
    }
    ASSERT_EQ(g_drops.size(), 1u);
    EXPECT_EQ(g_drops[0].paths, std::vector<std::string>{"1:\\Ebene 0\\Ebene 1"});
    EXPECT_EQ(g_drops[0].verdict, c.verdict);
    char target[64];
    m_pane2.GetItemPath(c.target, target, sizeof target);
    EXPECT_EQ(g_drops[0].target, target);
  }
}

// A drag whose capture is taken away ends there; the next drag starts.
TEST_F(TreeWndDragTest, LostCaptureEndsTheDrag) {
  HTREEITEM dragged = TreeItem(m_pane2, {"1:", "Ebene 0", "Ebene 1"});
  HTREEITEM root1 = TreeItem(m_pane2, {"1:"});
  ASSERT_TRUE(dragged && root1);
  BeginDrag(dragged);
  MoveTo(root1, 0);
  EXPECT_EQ(m_pane2.CursorKind(), 3);
  m_host->SetCapture();
  EXPECT_EQ(m_pane2.CursorKind(), 0);
  EXPECT_EQ(GetCapture(), m_host->m_hWnd);  // the new owner keeps it
  ReleaseCapture();
  Release(root1);
  EXPECT_TRUE(g_drops.empty());
  BeginDrag(dragged);
  EXPECT_EQ(GetCapture(), m_pane2.m_hWnd);
  MoveTo(root1, 0);
  Release(root1);
  EXPECT_EQ(g_drops.size(), 1u);
}

TEST_F(TreeWndDragTest, FilesDroppedOnAKeyComeAsCopies) {
  HTREEITEM key = TreeItem(m_pane2, {"3:", "Ebene 0"});
  ASSERT_TRUE(key);
  // Files dropped from outside onto a key: copies of every file.
  POINT pt = ItemCentre(m_pane2.Tree(), key);
  ::ScreenToClient(m_pane2.m_hWnd, &pt);
  const char files[] = "C:\\a.reg\0C:\\Daten\\b \xE4.reg\0";
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof files + 1);
  auto* df = (DROPFILES*)GlobalLock(mem);
  df->pFiles = sizeof(DROPFILES);
  df->pt = pt;
  memcpy(df + 1, files, sizeof files);
  GlobalUnlock(mem);
  m_pane2.SendMessage(WM_DROPFILES, (WPARAM)mem, 0);  // the pane frees it
  ASSERT_EQ(g_drops.size(), 1u);
  EXPECT_EQ(g_drops[0].paths, (std::vector<std::string>{"C:\\a.reg", "C:\\Daten\\b \xE4.reg"}));
  EXPECT_EQ(g_drops[0].target, "3:\\Ebene 0\\");
  EXPECT_EQ(g_drops[0].verdict, 0);
}

}  // namespace
