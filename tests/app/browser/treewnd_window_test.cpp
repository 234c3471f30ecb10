// The pane's layout and painting, read back from the screen.
#include "browser_fixture.h"

namespace {

CRect ChildRect(CWnd& child) {
  CRect rc;
  child.GetWindowRect(&rc);
  MapWindowPoints(nullptr, child.GetParent()->m_hWnd, reinterpret_cast<LPPOINT>(&rc), 2);
  return rc;
}

TEST_F(BrowserTest, WideClientGivesAQuarterToTheTree) {
  CRegWnd& pane = MakePane(0xCE8, 1000, 600);
  CRect tree = ChildRect(pane.Tree()), list = ChildRect(pane.List());
  EXPECT_EQ(tree.left, 0);
  EXPECT_EQ(tree.Width(), 250);
  EXPECT_EQ(list.left, 257);
  EXPECT_EQ(list.right, 1000);
  pane.UpdateWindow();
  WindowCapture shot = WindowCapture::FromScreen(pane.m_hWnd);
  int y = tree.top + 100;
  // The splitter between them: light, white, face, shadow, black.
  EXPECT_EQ(shot.Pixel(251, y), RGB(255, 255, 255));
  EXPECT_EQ(shot.Pixel(253, y), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(shot.Pixel(255, y), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(shot.Pixel(256, y), RGB(0, 0, 0));
  // A narrow one keeps 200.
  pane.MoveWindow(0, 0, 700, 500);
  EXPECT_EQ(ChildRect(pane.Tree()).Width(), 200);
}

// A pane narrower than its tree's width shares itself between tree and
// list; neither reaches out of it, and the splitter stays between them.
TEST_F(BrowserTest, NarrowPaneSharesItsWidth) {
  CRegWnd& pane = MakePane(0xCE8, 150, 400);
  for (int width : {150, 300, 40, 700}) {
    SCOPED_TRACE(width);
    pane.MoveWindow(0, 0, width, 400);
    CRect tree = ChildRect(pane.Tree()), list = ChildRect(pane.List());
    EXPECT_EQ(tree.left, 0);
    EXPECT_LE(tree.right + 7, width);
    EXPECT_EQ(list.left, tree.right + 7);
    EXPECT_EQ(list.right, width);
    // The list keeps room for its names while the tree can give it.
    EXPECT_GE(list.Width(), width - 7 < 200 ? (width - 7) / 2 : 100);
  }
  EXPECT_EQ(ChildRect(pane.Tree()).Width(), 200);
}

TEST_F(BrowserTest, BarOnlyPanePaintsTheWindowColour) {
  CTreeWnd pane;
  ASSERT_TRUE(pane.CreateWnd(0x0003, CRect(0, 0, 600, 400), m_host, 4241));
  EXPECT_FALSE(pane.Tree().IsWindowVisible());
  EXPECT_FALSE(pane.List().IsWindowVisible());
  pane.UpdateWindow();
  WindowCapture shot = WindowCapture::FromScreen(pane.m_hWnd);
  CRect below(10, 80, 590, 390);
  EXPECT_EQ(shot.Count(GetSysColor(COLOR_WINDOW), below), below.Width() * below.Height());
  pane.DestroyWindow();
}

TEST_F(BrowserTest, StyleSwitchesAlternateRowsInBothLists) {
  CRegWnd& pane = MakePane(0xCE8);
  EXPECT_EQ(pane.Tree().SendMessage(TVM_GETEXTENDEDSTYLE) & TLS_EX_ALTERNATE, 0);
  pane.SetStyle(0x1000, 0x1000);
  EXPECT_EQ(pane.Tree().SendMessage(TVM_GETEXTENDEDSTYLE) & TLS_EX_ALTERNATE, (LRESULT)TLS_EX_ALTERNATE);
  EXPECT_EQ(pane.List().SendMessage(TVM_GETEXTENDEDSTYLE) & TLS_EX_ALTERNATE, (LRESULT)TLS_EX_ALTERNATE);
  EXPECT_EQ(pane.GetStyleWord() & 0x1000, 0x1000u);
  pane.SetStyle(0, 0x1000);
  EXPECT_EQ(pane.List().SendMessage(TVM_GETEXTENDEDSTYLE) & TLS_EX_ALTERNATE, 0);
}

TEST_F(BrowserTest, StyleSevenThousandScreenshot) {
  HKEY k = m_key->Handle();
  for (int i = 0; i < 12; ++i) SetRaw(k, ("Wert " + std::to_string(i)).c_str(), REG_DWORD, &i, 4);
  CRegWnd& pane = MakePane(0xCE8 | 0x7000);
  Show(pane, Key());
  pane.SelectEntry(3, TRUE);
  PumpMessages(50);
  EXPECT_EQ(pane.List().SendMessage(TVM_GETEXTENDEDSTYLE) & 0xB0000, 0xB0000);
  EXPECT_TRUE(WindowCapture::FromScreen(m_host->m_hWnd).SavePng(ScreenshotPath("browser_style_7000.png").c_str()));
}

class CManyRoots : public CTreeWnd {
 public:
  int FillRoots(CTextList* roots) override {
    TreeWndEntry e = {0, 0, kEntryRoot, 0, 0};
    for (int i = 0; i < 300; ++i) roots->InsertString(("R" + std::to_string(i)).c_str(), -1, &e);
    return 300;
  }
};

TEST_F(BrowserTest, AtMost256Roots) {
  CManyRoots pane;
  ASSERT_TRUE(pane.CreateWnd(0, CRect(0, 0, 600, 400), m_host, 4241));
  pane.Tree().SendMessage(TLM_RUNDEFERRED);
  std::vector<std::string> roots = ChildNames(pane.Tree(), TVI_ROOT);
  ASSERT_EQ(roots.size(), 256u);
  EXPECT_EQ(roots.back(), "R255");
  char path[64];
  HTREEITEM last = FindChild(pane.Tree(), TVI_ROOT, "R255");
  EXPECT_EQ(pane.GetItemPath(last, path, sizeof path), 5);
  EXPECT_STREQ(path, "R255\\");
  pane.DestroyWindow();
}

TEST_F(BrowserTest, DoubleClickOnAValueNotifiesTheParent) {
  SetRaw(m_key->Handle(), "v", REG_SZ, "x\0", 2);
  MakeKey(m_key->Handle(), "k");
  CRegWnd& pane = MakePane(0xCE8 & ~0x0800);  // the registry pane keeps items only
  Show(pane, Key());
  m_host->notes.clear();
  pane.SelectEntry(1, TRUE);
  NMHDR nm = {pane.List().m_hWnd, IDC_TREEWND_LIST, (UINT)NM_RETURN};
  pane.SendMessage(WM_NOTIFY, IDC_TREEWND_LIST, (LPARAM)&nm);
  bool found = false;
  for (auto& n : m_host->notes) {
    if (n.code != (int)NM_RETURN) continue;
    found = true;
    EXPECT_EQ(n.index, 1u);
    EXPECT_EQ(n.id, 4240u);
  }
  EXPECT_TRUE(found);
}

}  // namespace
