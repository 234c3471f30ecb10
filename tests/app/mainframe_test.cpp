// The editor's frame, view and status panes, made from the program's own
// template and resources in this process, with the program key redirected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_test_app.h"
#include "app/mainframe.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"
#include "ui/errorbox.h"

namespace {
CRect ChildRect(CWnd& child) {
  CRect rc;
  child.GetWindowRect(&rc);
  MapWindowPoints(nullptr, child.GetParent()->m_hWnd, reinterpret_cast<LPPOINT>(&rc), 2);
  return rc;
}

DWORD ReadDword(const std::string& path, const char* sub, const char* name) {
  std::string key = sub ? path + "\\" + sub : path;
  DWORD v = 0xDEADBEEF, size = sizeof v;
  RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &v, &size);
  return v;
}

class EditorFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    // A toolbar button under the cursor shows its prompt for "Bereit"; an
    // earlier test program leaves the cursor anywhere on the display.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    m_app = new CEditorTestApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
    m_names = new TestAppNames;
    Start();
  }
  void TearDown() override {
    Stop();
    delete m_names;
    delete m_app;
  }
  void Start() {
    Make();
    ASSERT_NE(m_view, nullptr);
    m_frame->SetWindowPos(nullptr, 0, 0, 820, 620, SWP_NOZORDER | SWP_NOMOVE);
    Idle();
  }
  // A new start with nothing run after it: what shows before the first message.
  void StartWithoutIdle() {
    Stop();
    Make();
  }
  void Make() {
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = DYNAMIC_DOWNCAST(CMainFrame, m_app->m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    m_view = DYNAMIC_DOWNCAST(COstrovaView, m_frame->GetActiveView());
    ASSERT_NE(m_view, nullptr);
  }
  void Stop() {
    if (m_app->m_pMainWnd) m_app->m_pMainWnd->SendMessage(WM_CLOSE);
    m_app->Run();
    m_frame = nullptr;
    m_view = nullptr;
  }
  void Idle() {
    MSG msg;
    for (int n = 0; n < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT; ++n)
      m_app->PumpMessage();
    for (LONG lCount = 0; m_app->OnIdle(lCount); ++lCount) {
    }
  }
  void Command(UINT id) {
    m_frame->SendMessage(WM_COMMAND, id);
    Idle();
  }
  // What the update handlers make of a command: enabled, checked.
  std::pair<bool, bool> State(UINT id) {
    struct Probe : CCmdUI {
      bool enabled = true, checked = false;
      void Enable(BOOL on) override {
        enabled = on != 0;
        m_bEnableChanged = TRUE;
      }
      void SetCheck(int check) override { checked = check != 0; }
    } probe;
    probe.m_nID = id;
    probe.DoUpdate(m_frame, TRUE);
    return {probe.enabled, probe.checked};
  }
  LRESULT Panes(int op, INT_PTR w0, INT_PTR w1, int w2, int w3 = -1, int w4 = -1) {
    StatusPaneBlock b = {w0, w1, w2, w3, w4};
    return m_frame->SendMessage(WM_STATUSPANES, (WPARAM)op, (LPARAM)&b);
  }
  int PaneCount() { return m_frame->StatusBar().GetCount(); }
  int PaneWidth(int i) {
    UINT id, style;
    int cx;
    m_frame->StatusBar().GetPaneInfo(i, id, style, cx);
    return cx;
  }
  std::string PaneText(int i) {
    char buf[256] = "";
    if (LOWORD(m_frame->StatusBar().SendMessage(SB_GETTEXTLENGTHA, i)) < sizeof buf)
      m_frame->StatusBar().SendMessage(SB_GETTEXTA, i, (LPARAM)buf);
    return buf;
  }
  void Save(const char* name) {
    m_frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    WindowCapture(m_frame->m_hWnd).SavePng(ScreenshotPath(name).c_str());
  }

  CEditorTestApp* m_app = nullptr;
  TestAppNames* m_names = nullptr;
  CMainFrame* m_frame = nullptr;
  COstrovaView* m_view = nullptr;
};

// A pane hidden at start is made after the first paint, at the first idle
// pass, or at once when a command shows it before that.
TEST_F(EditorFrame, HiddenSecondPaneIsMadeAtTheFirstIdlePassOrWhenShown) {
  StartWithoutIdle();
  EXPECT_EQ(m_view->Pane(1).m_hWnd, nullptr);
  m_frame->SendMessage(WM_COMMAND, ID_ALTERNATE);  // a style set before the pane exists
  EXPECT_EQ(m_view->Pane(1).m_hWnd, nullptr);
  Idle();
  ASSERT_NE(m_view->Pane(1).m_hWnd, nullptr);
  EXPECT_EQ(m_view->Pane(1).GetDlgCtrlID(), IDC_PANE2);
  EXPECT_FALSE(m_view->Pane(1).IsWindowVisible());
  EXPECT_EQ(m_view->Pane(1).GetStyleWord(), m_view->Pane(0).GetStyleWord());

  StartWithoutIdle();
  ASSERT_EQ(m_view->Pane(1).m_hWnd, nullptr);
  m_frame->SendMessage(WM_COMMAND, ID_SPLIT_MIDDLE_TOGGLE);
  ASSERT_NE(m_view->Pane(1).m_hWnd, nullptr);
  EXPECT_TRUE(m_view->Pane(0).IsWindowVisible() && m_view->Pane(1).IsWindowVisible());
  CRect client;
  m_view->GetClientRect(&client);
  EXPECT_EQ(ChildRect(m_view->Pane(1)).right, client.right);
  Idle();
}

// The second pane, made only as it first shows, takes a typed path in its
// path combo at once: the pane shows the key and keeps the path at the top
// of its history.
TEST_F(EditorFrame, SecondPanesPathComboWorksWhenThePaneFirstShows) {
  TestRegistryKey key;
  RegSetKeyValueA(key.Handle(), nullptr, "Wert", REG_SZ, "Daten", 6);
  StartWithoutIdle();
  ASSERT_EQ(m_view->Pane(1).m_hWnd, nullptr);
  m_frame->SendMessage(WM_COMMAND, ID_PANE_RIGHT);
  CRegWnd& pane = m_view->Pane(1);
  ASSERT_NE(pane.m_hWnd, nullptr);
  EXPECT_TRUE(pane.IsWindowVisible());
  EXPECT_TRUE(pane.Combo().IsWindowVisible());
  HWND edit = (HWND)pane.Combo().SendMessage(CBEM_GETEDITCONTROL);
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, key.FullPath().c_str());
  pane.SendMessage(WM_COMMAND, ID_TREEWND_GO);
  pane.WaitForListThread();
  Idle();
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), key.FullPath());
  char first[1100] = "";
  pane.GetComboItemText(0, first, sizeof first);
  EXPECT_EQ(std::string(first), key.FullPath());
  EXPECT_EQ(pane.List().SendMessage(TVM_GETCOUNT), 2) << "(Standard) and Wert";
}

// The menus get their blocks and icons as a menu first opens: until then
// the items are the resource's plain strings; in the open popup they are
// the frame's own.
TEST_F(EditorFrame, MenusAreMadeOwnerDrawnAsOneFirstOpens) {
  HMENU edit = GetSubMenu(GetMenu(m_frame->m_hWnd), 1);
  HMENU help = GetSubMenu(GetMenu(m_frame->m_hWnd), 3);
  auto block = [](HMENU popup, UINT id) -> MenuItemBlock* {
    MENUITEMINFOA mii = {sizeof mii, MIIM_DATA | MIIM_FTYPE};
    GetMenuItemInfoA(popup, id, FALSE, &mii);
    return (mii.fType & MFT_OWNERDRAW) ? MenuBlockFromData(mii.dwItemData) : nullptr;
  };
  EXPECT_EQ(block(edit, ID_FIND), nullptr);
  EXPECT_EQ(block(help, ID_APP_ABOUT), nullptr);
  // Opened for real; a timer looks at the items while the popup shows, then
  // closes it.
  static HMENU s_edit;
  static bool s_shown, s_madeWhileOpen;
  static int s_ticks;
  s_edit = edit;
  s_shown = s_madeWhileOpen = false;
  s_ticks = 0;
  struct Look {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND popup = nullptr;
      while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(popup, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(popup)) break;
      }
      if (!popup && ++s_ticks < 200) return;
      s_shown = popup != nullptr;
      MENUITEMINFOA mii = {sizeof mii, MIIM_DATA | MIIM_FTYPE};
      GetMenuItemInfoA(s_edit, ID_FIND, FALSE, &mii);
      s_madeWhileOpen = (mii.fType & MFT_OWNERDRAW) && MenuBlockFromData(mii.dwItemData);
      KillTimer(nullptr, id);
      EndMenu();
    }
  };
  UINT_PTR timer = SetTimer(nullptr, 0, 20, Look::Tick);
  TrackPopupMenu(edit, TPM_RETURNCMD, 100, 100, 0, m_frame->m_hWnd, nullptr);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(s_shown);
  EXPECT_TRUE(s_madeWhileOpen);
  MenuItemBlock* find = block(edit, ID_FIND);
  ASSERT_NE(find, nullptr);
  EXPECT_STREQ(find->text, "Suchen\tStrg+F");
  // Every popup of the bar was made, with the toolbar's icons.
  MenuItemBlock* about = block(help, ID_APP_ABOUT);
  ASSERT_NE(about, nullptr);
  EXPECT_NE(about->icon, kNoMenuIcon);
  EXPECT_EQ(m_frame->GetMenuIconIndex(ID_APP_ABOUT), about->icon);
}

TEST_F(EditorFrame, FirstStartShowsPaneOneWithToolbarAndReadyText) {
  EXPECT_TRUE(m_frame->IsWindowVisible());
  EXPECT_TRUE(m_view->Pane(0).IsWindowVisible());
  EXPECT_FALSE(m_view->Pane(1).IsWindowVisible());
  EXPECT_EQ(m_view->Pane(0).GetDlgCtrlID(), IDC_PANE1);
  EXPECT_EQ(m_view->Pane(1).GetDlgCtrlID(), IDC_PANE2);
  EXPECT_EQ(m_view->Pane(0).GetStyleWord(), 0xCE8u | 0x4000u);  // full-row marks, path bars
  CRect client;
  m_view->GetClientRect(&client);
  EXPECT_EQ(ChildRect(m_view->Pane(0)).Size(), client.Size());
  EXPECT_EQ(PaneText(0), "Bereit");
  EXPECT_EQ(m_frame->ToolBar().GetDlgCtrlID(), AFX_IDW_TOOLBAR);
  EXPECT_EQ(m_frame->StatusBar().GetDlgCtrlID(), AFX_IDW_STATUS_BAR);
  EXPECT_EQ(m_frame->SendMessage(WM_QUERYPANESERVICE), 0x12345678);
  // The view's class is its own: no brush, a size cursor.
  char cls[64] = "";
  GetClassNameA(m_view->m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, kOstrovaViewClass);
  EXPECT_EQ(GetClassLongPtrA(m_view->m_hWnd, GCLP_HBRBACKGROUND), 0);
  EXPECT_EQ((HCURSOR)GetClassLongPtrA(m_view->m_hWnd, GCLP_HCURSOR), LoadCursorA(nullptr, (LPCSTR)IDC_SIZEWE));
  // Toolbar states follow the update handlers.
  HWND bar = m_frame->ToolBar().m_hWnd;
  auto enabled = [&](UINT id) { return (SendMessageA(bar, TB_GETSTATE, id, 0) & TBSTATE_ENABLED) != 0; };
  EXPECT_TRUE(enabled(ID_SPLIT_VERT));
  EXPECT_TRUE(enabled(ID_PANE_RIGHT));
  EXPECT_FALSE(enabled(ID_PANE_LEFT));
  EXPECT_FALSE(enabled(ID_SPLIT_MIDDLE));
  Save("app_first_start.png");
  // The menus' grey icons come from the same bitmap resource: enabled buttons
  // keep the art's navy and white, disabled ones show neither.
  WindowCapture toolbar(bar);
  toolbar.SavePng(ScreenshotPath("app_toolbar.png").c_str());
  auto count = [&](UINT id, COLORREF color) {
    CRect rc;
    SendMessageA(bar, TB_GETRECT, id, (LPARAM)&rc);
    return toolbar.Count(color, rc);
  };
  EXPECT_GT(count(ID_SPLIT_VERT, RGB(0, 0, 0x80)), 20);
  EXPECT_GT(count(ID_SPLIT_VERT, RGB(255, 255, 255)), 20);
  EXPECT_GT(count(ID_PANE_RIGHT, RGB(0, 0, 0x80)), 20);
  EXPECT_EQ(count(ID_SPLIT_MIDDLE, RGB(0, 0, 0x80)), 0);
}

TEST_F(EditorFrame, LayoutCommandsFollowTheirUpdateHandlers) {
  // From pane 1 alone: "Fenster horizontal teilen" shows both one above the
  // other; again, side by side.
  EXPECT_EQ(State(ID_PANE_LEFT), std::make_pair(false, false));
  Command(ID_SPLIT_HORZ_TOGGLE);
  CRect client;
  m_view->GetClientRect(&client);
  int middle = (client.Height() - 7) / 2;
  EXPECT_EQ(ChildRect(m_view->Pane(0)), CRect(0, 0, client.right, middle));
  EXPECT_EQ(ChildRect(m_view->Pane(1)), CRect(0, middle + 7, client.right, client.bottom - (client.Height() - 7) % 2));
  EXPECT_TRUE(State(ID_SPLIT_HORZ_TOGGLE).second);
  EXPECT_FALSE(State(ID_SPLIT_HORZ).first);
  EXPECT_EQ((HCURSOR)GetClassLongPtrA(m_view->m_hWnd, GCLP_HCURSOR), LoadCursorA(nullptr, (LPCSTR)IDC_SIZENS));
  Save("app_layout_horizontal.png");
  Command(ID_SPLIT_HORZ_TOGGLE);
  middle = (client.Width() - 7) / 2;
  EXPECT_EQ(ChildRect(m_view->Pane(0)), CRect(0, 0, middle, client.bottom));
  EXPECT_EQ(ChildRect(m_view->Pane(1)).left, middle + 7);
  EXPECT_FALSE(State(ID_SPLIT_VERT).first);
  EXPECT_TRUE(State(ID_SPLIT_MIDDLE_TOGGLE).second);
  EXPECT_FALSE(State(ID_SPLIT_MIDDLE).first);
  Save("app_layout_side_by_side.png");
  // The bar between the panes is painted.
  WindowCapture shot(m_view->m_hWnd);
  EXPECT_NE(shot.Pixel(middle + 3, client.Height() / 2), RGB(255, 255, 255));

  // "Fenster mittig teilen" with both centred: pane 1 alone; again both centred.
  Command(ID_SPLIT_MIDDLE_TOGGLE);
  EXPECT_TRUE(m_view->Pane(0).IsWindowVisible());
  EXPECT_FALSE(m_view->Pane(1).IsWindowVisible());
  Command(ID_SPLIT_MIDDLE_TOGGLE);
  EXPECT_TRUE(m_view->Pane(1).IsWindowVisible());
  EXPECT_EQ(m_view->SplitPos(), middle);

  Command(ID_PANE_RIGHT);
  EXPECT_FALSE(m_view->Pane(0).IsWindowVisible());
  EXPECT_EQ(ChildRect(m_view->Pane(1)).Size(), client.Size());
  EXPECT_FALSE(State(ID_PANE_RIGHT).first);
  EXPECT_TRUE(State(ID_PANE_LEFT).first);
  Save("app_layout_right.png");
  Command(ID_SPLIT_HORZ);
  EXPECT_TRUE(m_view->Pane(0).IsWindowVisible() && m_view->Pane(1).IsWindowVisible());
  EXPECT_EQ(m_view->Settings().horzSplit, 1);
}

TEST_F(EditorFrame, StyleTogglesChangeBothPanesAndShowChecks) {
  struct Toggle {
    UINT id;
    DWORD bit;
    bool bitWhenChecked;
  };
  const Toggle toggles[] = {{ID_FULL_MARK, 0x4000, true},
                            {ID_ALTERNATE, 0x1000, true},
                            {ID_SHOW_LINES, 0x2000, true},
                            {ID_SHOW_COMBO, 0x0004, false}};
  for (const Toggle& t : toggles) {
    SCOPED_TRACE(t.id);
    bool checked = State(t.id).second;
    Command(t.id);
    EXPECT_EQ(State(t.id).second, !checked);
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ((m_view->Pane(i).GetStyleWord() & t.bit) != 0, (!checked) == t.bitWhenChecked);
  }
}

TEST_F(EditorFrame, SettingsSurviveARestart) {
  Command(ID_SPLIT_HORZ);
  Command(ID_ALTERNATE);
  Command(ID_FLAT_TOOLBAR);
  m_view->Pane(1).NavigateTo("HKEY_LOCAL_MACHINE\\Software", 2);
  Stop();
  std::string key = m_names->ProgramKeyPath();
  EXPECT_EQ(ReadDword(key, nullptr, "SingleWnd"), 0u);
  EXPECT_EQ(ReadDword(key, nullptr, "HorzSplit"), 1u);
  EXPECT_EQ(ReadDword(key, nullptr, "SeparatorY"), (DWORD)-10000);
  EXPECT_EQ(ReadDword(key, "Settings", "FlatMode"), 0u);
  Start();
  EXPECT_EQ(m_view->Settings().alternate, 1);
  EXPECT_EQ(m_frame->FlatMode(), 0);
  EXPECT_TRUE(m_view->Pane(1).IsWindowVisible());
  EXPECT_STREQ(m_view->Pane(1).GetPathNoSlash(), "HKEY_LOCAL_MACHINE\\Software");
  EXPECT_TRUE(State(ID_FLAT_TOOLBAR) == std::make_pair(true, false));
}

TEST_F(EditorFrame, StatusPaneServiceOperations) {
  int ids[8] = {};
  // Refused before the first SetPanes.
  EXPECT_EQ(Panes(kSetPaneText, 0, (INT_PTR) "x", 1), 0);
  EXPECT_EQ(Panes(kInsertPanes, (INT_PTR)ids, 0, 1), 0);
  EXPECT_EQ(Panes(kRemovePanes, 2, 0, 0), 0);
  EXPECT_EQ(Panes(kSetPaneColors, 0, 0, 1, 255, 0), 0);
  EXPECT_EQ(PaneCount(), 4);

  int widths[2] = {-20, -23};
  EXPECT_EQ(Panes(kSetPanes, (INT_PTR)ids, (INT_PTR)widths, 2), 2);
  EXPECT_EQ(PaneCount(), 6);
  EXPECT_EQ(PaneWidth(1), 20 * PaneCharWidth());
  EXPECT_EQ(PaneWidth(2), 23 * PaneCharWidth());
  // The message pane keeps its text.
  EXPECT_EQ(PaneText(0), "Bereit");
  EXPECT_EQ(m_frame->StatusBar().GetItemID(3), (UINT)ID_INDICATOR_CAPS);

  // Index -1 is the last own pane.
  EXPECT_EQ(Panes(kSetPaneText, -1, (INT_PTR) "zwei", 1), 1);
  EXPECT_EQ(PaneText(2), "zwei");
  EXPECT_EQ(Panes(kSetPaneText, 7, (INT_PTR) "weg", 1), 0);

  // Count 12 places 8; -1 up to the first id 0.
  int many[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(Panes(kSetPanes, (INT_PTR)many, 0, 12), 8);
  EXPECT_EQ(PaneCount(), 12);
  EXPECT_EQ(PaneWidth(1), 50);
  int three[4] = {11, 12, 13, 0};
  EXPECT_EQ(Panes(kSetPanes, (INT_PTR)three, 0, -1), 3);
  EXPECT_EQ(PaneCount(), 7);

  // Insertions: handle = tag low, index of the first new pane high.
  int ins[2] = {21, 22};
  LRESULT h1 = Panes(kInsertPanes, (INT_PTR)ins, 0, 2);
  EXPECT_EQ(LOWORD(h1), 2);
  EXPECT_EQ((short)HIWORD(h1), -2);
  EXPECT_EQ(m_frame->StatusBar().GetItemID(4), 21u);
  LRESULT h2 = Panes(kInsertPanes, (INT_PTR)ins, 0, 1);
  EXPECT_EQ(LOWORD(h2), 3);
  EXPECT_EQ((short)HIWORD(h2), -3);
  EXPECT_EQ(PaneCount(), 10);
  // Removing names its tag: the first insertion goes, the second stays.
  EXPECT_EQ(Panes(kRemovePanes, (INT_PTR)h1, 0, 0), 8);
  EXPECT_EQ(m_frame->StatusBar().GetItemID(4), 21u);
  EXPECT_EQ(m_frame->StatusBar().GetItemID(5), (UINT)ID_INDICATOR_CAPS);
  // Nothing fits past 24 other panes.
  int lots[8] = {31, 32, 33, 34, 35, 36, 37, 38};
  for (int i = 0; i < 2; ++i) Panes(kInsertPanes, (INT_PTR)lots, 0, 8);
  LRESULT last = Panes(kInsertPanes, (INT_PTR)lots, 0, 8);
  EXPECT_NE(last, -1);
  EXPECT_EQ(PaneCount(), 3 + 24);  // the own panes and 24 others
  EXPECT_EQ(Panes(kInsertPanes, (INT_PTR)lots, 0, 1), -1);

  // All words 0 removes the own panes again.
  EXPECT_EQ(Panes(kSetPanes, 0, 0, 0), 0);
  EXPECT_EQ(PaneCount(), 24);
}

TEST_F(EditorFrame, ColouredPanesAreDrawnAndFreedOnce) {
  int ids[2] = {0, 0};
  int widths[2] = {-20, -10};
  ASSERT_EQ(Panes(kSetPanes, (INT_PTR)ids, (INT_PTR)widths, 2), 2);
  int before = OwnerDrawPaneCount();
  EXPECT_EQ(Panes(kSetPaneText, 0, (INT_PTR) "Rot", 1, RGB(255, 0, 0), RGB(255, 255, 255)), 1);
  EXPECT_EQ(OwnerDrawPaneCount(), before + 1);
  Idle();
  RECT rc;
  m_frame->StatusBar().GetItemRect(1, &rc);
  m_frame->StatusBar().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  WindowCapture shot(m_frame->StatusBar().m_hWnd);
  EXPECT_GT(shot.Count(RGB(255, 0, 0), rc), (rc.right - rc.left) * (rc.bottom - rc.top) / 2);
  EXPECT_GT(shot.Count(RGB(255, 255, 255), rc), 0);  // the text
  shot.SavePng(ScreenshotPath("app_status_coloured.png").c_str());

  // Same colours: nothing new; plain colours: the block goes.
  EXPECT_EQ(Panes(kSetPaneColors, 0, 0, 1, RGB(255, 0, 0), RGB(255, 255, 255)), 1);
  EXPECT_EQ(OwnerDrawPaneCount(), before + 1);
  EXPECT_EQ(Panes(kSetPaneColors, 0, 0, 1, -1, -1), 1);
  EXPECT_EQ(OwnerDrawPaneCount(), before);
  EXPECT_EQ(PaneText(1), "Rot");

  // Many rounds of colours and plain text, layouts between: no block lost.
  for (int i = 0; i < 1000; ++i) {
    Panes(kSetPaneText, i % 2, (INT_PTR) "Runde", 0, RGB(i % 256, 0, 0), -1);
    if (i % 3 == 0) Panes(kSetPaneText, 1, (INT_PTR) "schlicht", 0);
    if (i % 50 == 0) m_frame->RecalcLayout();
    if (i % 100 == 0) Panes(kSetPanes, (INT_PTR)ids, (INT_PTR)widths, 2);
  }
  EXPECT_LE(OwnerDrawPaneCount(), before + 2);
  Panes(kSetPanes, 0, 0, 0);
  EXPECT_EQ(OwnerDrawPaneCount(), before);
}

BOOL CALLBACK FindOwnedTip(HWND hwnd, LPARAM lParam) {
  HWND* io = reinterpret_cast<HWND*>(lParam);
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && GetWindow(hwnd, GW_OWNER) == io[0]) {
    io[1] = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST_F(EditorFrame, ToolbarItemsShowTheirPromptAndTip) {
  HWND bar = m_frame->ToolBar().m_hWnd;
  RECT rc = {};
  ASSERT_TRUE(SendMessageA(bar, TB_GETITEMRECT, 0, (LPARAM)&rc));
  LPARAM over = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  SendMessageA(bar, WM_MOUSEMOVE, 0, over);
  Idle();
  EXPECT_EQ(PaneText(0), "Zeigt beide Fenster übereinander.");

  // A popup's owner is the top-level window.
  HWND io[2] = {m_frame->m_hWnd, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwnedTip, (LPARAM)io);
  ASSERT_NE(io[1], nullptr);
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = io[1];
  info.hdr.code = TTN_NEEDTEXTA;
  SendMessageA(bar, WM_NOTIFY, 0, (LPARAM)&info);
  EXPECT_STREQ(info.lpszText, "Horizontal teilen");

  SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
  Idle();
  EXPECT_EQ(PaneText(0), "Bereit");
}

// The find command and the key tree's "Suchen..." open the same dialog.
TEST_F(EditorFrame, FindAndTheContextFindOpenTheSearchDialog) {
  static std::vector<std::string> seen;
  seen.clear();
  // Ends the dialog from inside its modal loop and notes its title.
  UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
    HWND dlg = FindWindowA("#32770", "Suchen");
    if (!dlg || GetWindowThreadProcessId(dlg, nullptr) != GetCurrentThreadId()) return;
    char title[64] = "";
    GetWindowTextA(dlg, title, sizeof title);
    seen.push_back(title + std::string(GetDlgItem(dlg, IDC_FIND_TEXT) ? " combo" : ""));
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  Command(ID_FIND);
  Command(ID_CTX_FIND);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seen, (std::vector<std::string>{"Suchen combo", "Suchen combo"}));
  EXPECT_TRUE(State(ID_CTX_FIND).first);
}

TEST_F(EditorFrame, ErrorTextCarriesTheCodeAndTheSystemMessage) {
  CString text = FormatWin32Error("Schlüssel fehlt", ERROR_FILE_NOT_FOUND);
  std::string s = (const char*)text;
  EXPECT_EQ(s.rfind("Schlüssel fehlt\n\nErrorCode: 2 / 00000002h\n", 0), 0u) << s;
  EXPECT_GT(s.size(), strlen("Schlüssel fehlt\n\nErrorCode: 2 / 00000002h\n"));
  SetLastError(5);
  EXPECT_NE(std::string((const char*)FormatWin32Error("x", (DWORD)-1)).find("ErrorCode: 5 / 00000005h"),
            std::string::npos);
  std::string longText(2000, 'a');
  EXPECT_NE(std::string((const char*)FormatWin32Error(longText.c_str(), 2)).find(std::string(896, 'a') + "\n"),
            std::string::npos);
}
}  // namespace

namespace {
INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

struct DialogControl {
  int id;
  const char* cls;
  const char* text;
  DWORD kind;  // BS_TYPEMASK for buttons, else 0
  bool visible;
};

void ExpectDialog(UINT id, const char* caption, const std::vector<DialogControl>& controls, const char* png) {
  HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PlainDialog, 0);
  ASSERT_NE(dlg, nullptr) << id;
  char text[128] = "";
  GetWindowTextA(dlg, text, sizeof text);
  EXPECT_STREQ(text, caption);
  for (const DialogControl& c : controls) {
    HWND item = GetDlgItem(dlg, c.id);
    ASSERT_NE(item, nullptr) << c.id;
    char cls[32] = "";
    GetClassNameA(item, cls, sizeof cls);
    EXPECT_STREQ(cls, c.cls) << c.id;
    GetWindowTextA(item, text, sizeof text);
    if (c.text) {
      EXPECT_STREQ(text, c.text) << c.id;
    }
    if (c.kind) {
      EXPECT_EQ(GetWindowLongA(item, GWL_STYLE) & BS_TYPEMASK, (LONG)c.kind) << c.id;
    }
    EXPECT_EQ((GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0, c.visible) << c.id;
  }
  SetWindowPos(dlg, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages(200);
  WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath(png).c_str());
  DestroyWindow(dlg);
}
}  // namespace

// The dialogs of the hex editor and the search, as their code expects them.
TEST(DialogResources, HexEditAndFindHoldTheirControls) {
  ExpectDialog(IDD_HEXEDIT, "Bearbeiten",
               {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON, true},
                {IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON, true},
                {IDC_HEXEDIT_FRAME, "Static", "", 0, false},
                {IDC_HEXEDIT_LENGTH_LABEL, "Static", "Länge :", 0, true},
                {IDC_HEXEDIT_LENGTH, "Static", "", 0, true},
                {IDC_HEXEDIT_INSERT, "Button", "Einfügen", BS_AUTOCHECKBOX, true}},
               "app_dialog_hexedit.png");
  ExpectDialog(IDD_REGFIND, "Suchen",
               {{IDC_FIND_TEXT, "ComboBox", nullptr, 0, true},
                {IDC_FIND_TOKENS, "Button", "", BS_PUSHBUTTON, true},
                {IDOK, "Button", "OK", BS_DEFPUSHBUTTON, true},
                {IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON, true},
                {IDC_FIND_KEYS, "Button", "Schlüssel", BS_AUTOCHECKBOX, true},
                {IDC_FIND_VALUES, "Button", "Werte", BS_AUTOCHECKBOX, true},
                {IDC_FIND_DATA, "Button", "Daten", BS_AUTOCHECKBOX, true},
                {IDC_FIND_PARTIAL, "Button", "Text muss teilweise enthalten sein", BS_AUTORADIOBUTTON, true},
                {IDC_FIND_WHOLE, "Button", "Text muss vollständig enthalten sein", BS_AUTORADIOBUTTON, true},
                {IDC_FIND_SPECIAL, "Button", "Text enthält spezial Suchoptionen", BS_AUTORADIOBUTTON, true},
                {IDC_FIND_MATCH_CASE, "Button", "Groß- / Kleinschreibung beachten", BS_AUTOCHECKBOX, true}},
               "app_dialog_find.png");
  // The combo box is a drop-down with an edit field.
  HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_REGFIND), nullptr, PlainDialog, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, IDC_FIND_TEXT), GWL_STYLE) & 3, CBS_DROPDOWN);
  DestroyWindow(dlg);
}

TEST(StartPaths, DashOrSlashDigitColon) {
  struct Case {
    std::vector<const char*> args;
    const char *one, *two;
  };
  const Case cases[] = {
      {{"x", "-1:HKEY_CURRENT_USER\\Software", "/2:HKLM"}, "HKEY_CURRENT_USER\\Software", "HKLM"},
      {{"x", "-3:x", "-1", "-1x", "x.reg"}, "", ""},
      {{"x", "-1:a", "/1:b"}, "b", ""},
      {{"x", "-2:"}, "", ""},
  };
  for (const Case& c : cases) {
    CString one, two;
    ParseStartPaths((int)c.args.size(), const_cast<char**>(c.args.data()), &one, &two);
    EXPECT_STREQ(one, c.one);
    EXPECT_STREQ(two, c.two);
  }
}

namespace {
TEST_F(EditorFrame, FocusedPaneAsksForTwoEmptyStatusPanes) {
  EXPECT_EQ(PaneCount(), 4);
  m_view->Pane(0).SendMessage(WM_SETFOCUS);
  Idle();
  ASSERT_EQ(PaneCount(), 6);
  EXPECT_EQ(PaneWidth(1), 15 * PaneCharWidth());
  EXPECT_EQ(PaneWidth(2), 10 * PaneCharWidth());
  EXPECT_EQ(PaneText(1), "");
  EXPECT_EQ(PaneText(2), "");
}
}  // namespace
