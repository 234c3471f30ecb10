// A single-document application made from one template (document, frame
// with toolbar and status bar, view) and run through the application's own
// message pump and idle time.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app_tests_res.h"
#include "harness/window_util.h"
#include "mfc/mfc.h"

namespace {
struct Counts {
  int docs, docsDeleted, newDocs;
  int views, viewsDeleted, initialUpdates;
  int frames, framesDeleted;
  int hello, mark, grey;
};
Counts g;

const COLORREF kViewColor = RGB(0, 128, 255);

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)

 public:
  CTestDoc() { ++g.docs; }
  ~CTestDoc() override { ++g.docsDeleted; }
  BOOL OnNewDocument() override {
    ++g.newDocs;
    return CDocument::OnNewDocument();
  }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)

 public:
  CTestView() { ++g.views; }
  ~CTestView() override { ++g.viewsDeleted; }
  void OnDraw(CDC* pDC) override {
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, kViewColor);
  }
  void OnInitialUpdate() override {
    ++g.initialUpdates;
    CView::OnInitialUpdate();
  }

 protected:
  afx_msg void OnHello() { ++g.hello; }
  afx_msg void OnMark() { ++g.mark; }
  afx_msg void OnGrey() { ++g.grey; }
  afx_msg void OnUpdateMark(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  afx_msg void OnUpdateGrey(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
  ON_COMMAND(ID_TEST_HELLO, OnHello)
  ON_COMMAND(ID_TEST_MARK, OnMark)
  ON_COMMAND(ID_TEST_GREY, OnGrey)
  ON_UPDATE_COMMAND_UI(ID_TEST_MARK, OnUpdateMark)
  ON_UPDATE_COMMAND_UI(ID_TEST_GREY, OnUpdateGrey)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CTestFrame)

 public:
  CTestFrame() { ++g.frames; }
  ~CTestFrame() override { ++g.framesDeleted; }

  CToolBar m_wndToolBar;
  CStatusBar m_wndStatusBar;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_FLYBY | CBRS_SIZE_DYNAMIC) ||
        !m_wndToolBar.LoadToolBar(IDR_TESTAPP))
      return -1;
    if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 4)) return -1;
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    AddDocTemplate(new CSingleDocTemplate(IDR_TESTAPP, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                          RUNTIME_CLASS(CTestView)));
    CCommandLineInfo cmdInfo;
    return ProcessShellCommand(cmdInfo);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
END_MESSAGE_MAP()

std::string WindowText(HWND h) {
  char buf[256] = "";
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// The rectangle of a child in its parent's client coordinates.
CRect ChildRect(HWND hChild) {
  CRect rc;
  GetWindowRect(hChild, &rc);
  MapWindowPoints(nullptr, GetParent(hChild), reinterpret_cast<LPPOINT>(&rc), 2);
  return rc;
}

UINT MenuState(HMENU hMenu, UINT nID) { return GetMenuState(hMenu, nID, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED); }

class SdiApp : public ::testing::Test {
 protected:
  void SetUp() override {
    g = {};
    m_app = new CTestApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = DYNAMIC_DOWNCAST(CTestFrame, m_app->m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    Idle();
  }
  void TearDown() override {
    if (m_app->m_pMainWnd) m_app->m_pMainWnd->SendMessage(WM_CLOSE);
    m_app->Run();  // takes the quit message that the main window left
    delete m_app;
  }

  // What is queued goes through the application's pump (accelerators
  // included), then idle time runs as the message loop would run it.
  void Idle() {
    MSG msg;
    for (int n = 0; n < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT; ++n)
      m_app->PumpMessage();
    for (LONG lCount = 0; m_app->OnIdle(lCount); ++lCount) {
    }
  }

  std::string PaneText(int nPane) {
    char buf[256] = "";
    HWND hBar = m_frame->m_wndStatusBar.m_hWnd;
    if (LOWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, nPane, 0)) < sizeof buf)
      SendMessageA(hBar, SB_GETTEXTA, nPane, (LPARAM)buf);
    return buf;
  }

  HMENU Popup(int nPos) { return GetSubMenu(GetMenu(m_frame->m_hWnd), nPos); }
  void InitPopup(int nPos) { m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)Popup(nPos), MAKELPARAM(nPos, FALSE)); }

  CTestApp* m_app = nullptr;
  CTestFrame* m_frame = nullptr;
};

TEST_F(SdiApp, FrameShowsToolbarViewAndStatusBarMadeFromTheTemplate) {
  EXPECT_STREQ(m_app->m_pszAppName, "Testprogramm");  // string 57344
  EXPECT_TRUE(m_frame->IsWindowVisible());
  EXPECT_EQ(WindowText(m_frame->m_hWnd), "Unbenannt - Testprogramm");
  EXPECT_NE(GetMenu(m_frame->m_hWnd), nullptr);
  EXPECT_NE(m_frame->m_hAccelTable, nullptr);
  EXPECT_NE(GetClassLongPtrA(m_frame->m_hWnd, GCLP_HICON), 0);

  CView* pView = m_frame->GetActiveView();
  ASSERT_NE(pView, nullptr);
  EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CTestView)));
  EXPECT_EQ(pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(pView->GetParentFrame(), m_frame);
  ASSERT_NE(pView->GetDocument(), nullptr);
  EXPECT_TRUE(pView->GetDocument()->IsKindOf(RUNTIME_CLASS(CTestDoc)));
  EXPECT_EQ(m_frame->GetActiveDocument(), pView->GetDocument());
  EXPECT_EQ(g.newDocs, 1);
  EXPECT_EQ(g.initialUpdates, 1);

  // Toolbar on top, status bar at the bottom, the view in between, all as
  // wide as the frame.
  CRect client;
  m_frame->GetClientRect(&client);
  CRect bar = ChildRect(m_frame->m_wndToolBar.m_hWnd);
  CRect status = ChildRect(m_frame->m_wndStatusBar.m_hWnd);
  CRect view = ChildRect(pView->m_hWnd);
  EXPECT_EQ(bar, CRect(0, 0, client.right, bar.bottom));
  EXPECT_GE(bar.Height(), 22 + 2);  // buttons and the bottom border
  EXPECT_EQ(view, CRect(0, bar.bottom, client.right, status.top));
  EXPECT_EQ(status.bottom, client.bottom);
  EXPECT_EQ(status.Width(), client.Width());
  EXPECT_GT(status.Height(), 10);

  EXPECT_EQ(PaneText(0), "Bereit");
  EXPECT_EQ(SendMessageA(m_frame->m_wndStatusBar.m_hWnd, SB_GETPARTS, 0, 0), 4);

  // The view paints its colour into the middle of the frame.
  WindowCapture capture(m_frame->m_hWnd);
  CRect frameRect;
  m_frame->GetWindowRect(&frameRect);
  CRect viewScreen;
  pView->GetWindowRect(&viewScreen);
  CPoint mid = viewScreen.CenterPoint();
  EXPECT_EQ(capture.Pixel(mid.x - frameRect.left, mid.y - frameRect.top), kViewColor);
}

TEST_F(SdiApp, UpdateHandlersDisableAndCheckToolbarButtonsAndMenuItems) {
  HWND hBar = m_frame->m_wndToolBar.m_hWnd;
  EXPECT_TRUE(SendMessageA(hBar, TB_ISBUTTONENABLED, ID_TEST_HELLO, 0));
  EXPECT_FALSE(SendMessageA(hBar, TB_ISBUTTONENABLED, ID_TEST_GREY, 0));
  EXPECT_TRUE(SendMessageA(hBar, TB_ISBUTTONCHECKED, ID_TEST_MARK, 0));
  EXPECT_FALSE(SendMessageA(hBar, TB_ISBUTTONCHECKED, ID_TEST_HELLO, 0));
  EXPECT_EQ(m_frame->m_wndToolBar.GetButtonStyle(2) & (TBBS_CHECKBOX | TBBS_CHECKED), TBBS_CHECKBOX | TBBS_CHECKED);

  // A popup is updated as it opens; items without a handler go grey.
  InitPopup(1);
  HMENU hTest = Popup(1);
  EXPECT_EQ(MenuState(hTest, ID_TEST_HELLO), 0u);
  EXPECT_EQ(MenuState(hTest, ID_TEST_MARK), (UINT)MF_CHECKED);
  EXPECT_EQ(MenuState(hTest, ID_TEST_GREY), (UINT)MF_GRAYED);
  EXPECT_EQ(MenuState(hTest, ID_TEST_NOHANDLER), (UINT)MF_GRAYED);
  // The application's commands and the frame's bar commands.
  InitPopup(0);
  EXPECT_EQ(MenuState(Popup(0), ID_FILE_NEW), 0u);
  EXPECT_EQ(MenuState(Popup(0), ID_APP_EXIT), 0u);
  InitPopup(2);
  EXPECT_EQ(MenuState(Popup(2), ID_VIEW_TOOLBAR), (UINT)MF_CHECKED);
  EXPECT_EQ(MenuState(Popup(2), ID_VIEW_STATUS_BAR), (UINT)MF_CHECKED);
}

TEST_F(SdiApp, CommandsReachTheViewFromMenuAcceleratorAndToolbarButDisabledOnesDoNot) {
  HWND hBar = m_frame->m_wndToolBar.m_hWnd;
  HWND hView = m_frame->GetActiveView()->m_hWnd;
  m_frame->PostMessage(WM_COMMAND, ID_TEST_HELLO);
  Idle();
  EXPECT_EQ(g.hello, 1);
  PostMessageA(hView, WM_KEYDOWN, VK_F3, 0x003D0001);  // accelerator F3
  Idle();
  EXPECT_EQ(g.hello, 2);
  // A click on the toolbar's first button.
  CRect rc;
  SendMessageA(hBar, TB_GETITEMRECT, 0, (LPARAM)&rc);
  LPARAM pos = MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y);
  SendMessageA(hBar, WM_LBUTTONDOWN, MK_LBUTTON, pos);
  SendMessageA(hBar, WM_LBUTTONUP, 0, pos);
  Idle();
  EXPECT_EQ(g.hello, 3);
  m_frame->SendMessage(WM_COMMAND, ID_TEST_MARK);
  EXPECT_EQ(g.mark, 1);

  // Disabled by its update handler: neither the menu (accelerator) nor a
  // bar's button runs it, although both still send it.
  m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_GREY, 1), 0);
  m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_GREY, BN_CLICKED), (LPARAM)hBar);
  EXPECT_EQ(g.grey, 0);
}

// An edit box keeps its editing keys from the frame's accelerators (Ctrl+A
// selects its text, Delete removes it), a window that wants every key keeps
// them all, and everywhere else the accelerators act.
LRESULT CALLBACK WantsAllKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC old = (WNDPROC)GetPropA(hwnd, "OldProc");
  LRESULT result = CallWindowProcA(old, hwnd, msg, wParam, lParam);
  return msg == WM_GETDLGCODE ? result | DLGC_WANTALLKEYS : result;
}

TEST_F(SdiApp, TextFieldsKeepTheirKeysFromTheFramesAccelerators) {
  HWND hView = m_frame->GetActiveView()->m_hWnd;
  HWND hEdit =
      CreateWindowExA(0, "EDIT", "Hallo Welt", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, hView, nullptr, nullptr, nullptr);
  HWND hEditor =
      CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 30, 200, 20, hView, nullptr, nullptr, nullptr);
  SetPropA(hEditor, "OldProc", (HANDLE)GetWindowLongPtrA(hEditor, GWLP_WNDPROC));
  SetWindowLongPtrA(hEditor, GWLP_WNDPROC, (LONG_PTR)WantsAllKeys);
  HWND hButton =
      CreateWindowExA(0, "BUTTON", "Knopf", WS_CHILD | WS_VISIBLE, 0, 60, 80, 20, hView, nullptr, nullptr, nullptr);
  struct Case {
    const char* what;
    HWND target;
    UINT vk;
    bool ctrl;
    int fires;
  } cases[] = {
      {"Ctrl+A in the edit", hEdit, 'A', true, 0},
      {"Delete in the edit", hEdit, VK_DELETE, false, 0},
      {"F3 in the edit", hEdit, VK_F3, false, 1},
      {"F3 in a window that wants every key", hEditor, VK_F3, false, 0},
      {"Ctrl+A in a window that wants every key", hEditor, 'A', true, 0},
      {"Ctrl+A in the view", hView, 'A', true, 1},
      {"Delete in the view", hView, VK_DELETE, false, 1},
      {"Ctrl+A on a button", hButton, 'A', true, 1},
  };
  BYTE keys[256];
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetFocus(c.target);
    SendMessageA(hEdit, EM_SETSEL, 2, 2);
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = c.ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    int before = g.hello;
    PostMessageA(c.target, WM_KEYDOWN, c.vk, 1);
    PostMessageA(c.target, WM_KEYUP, c.vk, 0xC0000001);
    Idle();
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(g.hello - before, c.fires);
    if (c.target == hEdit && c.vk == 'A') {
      DWORD start = 1, end = 1;
      SendMessageA(hEdit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
      EXPECT_EQ(start, 0u);
      EXPECT_EQ(end, 10u);
    }
  }
  // Delete removed the character after the caret only.
  char text[32] = "";
  GetWindowTextA(hEdit, text, sizeof text);
  EXPECT_STREQ(text, "Halo Welt");
  DestroyWindow(hEdit);
  DestroyWindow(hEditor);
  DestroyWindow(hButton);
}

// Keyboard-opened popup: the timer (dispatched by the menu's own loop) reads
// the status bar while the first item is highlighted, then ends the menu.
struct MenuProbe {
  static HWND s_bar;
  static std::string s_text;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    char buf[256] = "";
    SendMessageA(s_bar, SB_GETTEXTA, 0, (LPARAM)buf);
    s_text = buf;
    EndMenu();
  }
};
HWND MenuProbe::s_bar;
std::string MenuProbe::s_text;

TEST_F(SdiApp, StatusBarShowsThePromptOfTheHighlightedMenuItemAndThenBereit) {
  MenuProbe::s_bar = m_frame->m_wndStatusBar.m_hWnd;
  MenuProbe::s_text = "-";
  UINT_PTR timer = SetTimer(nullptr, 0, 200, MenuProbe::Tick);
  m_frame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 't');  // runs until the probe ends the menu
  KillTimer(nullptr, timer);
  EXPECT_EQ(MenuProbe::s_text, "Sagt Hallo.");  // the text before "\n"
  Idle();
  EXPECT_EQ(PaneText(0), "Bereit");

  // Items without a prompt clear the pane; a popup item says nothing either.
  m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_NOHANDLER, MF_STRING), (LPARAM)Popup(1));
  EXPECT_EQ(PaneText(0), "");
  m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_MARK, MF_STRING), (LPARAM)Popup(1));
  EXPECT_EQ(PaneText(0), "Markiert etwas.");
  m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0xFFFF, 0xFFFF), 0);
  EXPECT_EQ(PaneText(0), "Bereit");
}

TEST_F(SdiApp, KeyIndicatorsShowWhileTheirLockIsOn) {
  BYTE saved[256], keys[256];
  GetKeyboardState(saved);
  std::memcpy(keys, saved, sizeof keys);
  keys[VK_CAPITAL] &= ~1;
  keys[VK_NUMLOCK] |= 1;
  keys[VK_SCROLL] |= 1;
  SetKeyboardState(keys);
  Idle();
  EXPECT_EQ(PaneText(1), "");
  EXPECT_EQ(PaneText(2), "NUM");
  EXPECT_EQ(PaneText(3), "RF");
  keys[VK_CAPITAL] |= 1;
  keys[VK_NUMLOCK] &= ~1;
  SetKeyboardState(keys);
  Idle();
  EXPECT_EQ(PaneText(1), "UF");
  EXPECT_EQ(PaneText(2), "");
  SetKeyboardState(saved);
}

TEST_F(SdiApp, HidingTheToolbarGivesItsPlaceToTheView) {
  CWnd* pView = m_frame->GetActiveView();
  CRect before = ChildRect(pView->m_hWnd);
  ASSERT_GT(before.top, 0);
  m_frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  EXPECT_FALSE(m_frame->m_wndToolBar.IsWindowVisible());
  EXPECT_EQ(ChildRect(pView->m_hWnd), CRect(0, 0, before.right, before.bottom));
  InitPopup(2);
  EXPECT_EQ(MenuState(Popup(2), ID_VIEW_TOOLBAR), 0u);

  // The status bar likewise, then both back.
  CRect client;
  m_frame->GetClientRect(&client);
  m_frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
  EXPECT_EQ(ChildRect(pView->m_hWnd), client);
  m_frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
  m_frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  EXPECT_TRUE(m_frame->m_wndToolBar.IsWindowVisible());
  EXPECT_EQ(ChildRect(pView->m_hWnd), before);

  // Shown later: the layout at the next idle time.
  m_frame->ShowControlBar(&m_frame->m_wndToolBar, FALSE, TRUE);
  EXPECT_FALSE(m_frame->m_wndToolBar.IsVisible());
  EXPECT_EQ(ChildRect(pView->m_hWnd), before);
  Idle();
  EXPECT_EQ(ChildRect(pView->m_hWnd).top, 0);
}

TEST_F(SdiApp, StatusBarPanesTakeInfoTextAndPlainTextAfterTheirOwnerDrewThem) {
  CStatusBar& bar = m_frame->m_wndStatusBar;
  HWND hBar = bar.m_hWnd;
  ASSERT_EQ(bar.GetCount(), 4);
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_NUM), 2);
  EXPECT_EQ(bar.CommandToIndex(ID_TEST_HELLO), -1);
  UINT nID, nStyle;
  int cxWidth;
  bar.GetPaneInfo(0, nID, nStyle, cxWidth);
  EXPECT_EQ(nID, 0u);
  EXPECT_EQ(nStyle, (UINT)(SBPS_STRETCH | SBPS_NOBORDERS));

  // A pane's width: the message pane stretches over what the others leave.
  int before[4], after[4];
  SendMessageA(hBar, SB_GETPARTS, 4, (LPARAM)before);
  bar.GetPaneInfo(2, nID, nStyle, cxWidth);
  int cxGrow = 100 - cxWidth;
  bar.SetPaneInfo(2, ID_INDICATOR_NUM, SBPS_NORMAL, 100);
  SendMessageA(hBar, SB_GETPARTS, 4, (LPARAM)after);
  EXPECT_EQ(after[2] - after[1], before[2] - before[1] + cxGrow);
  EXPECT_EQ(after[3] - after[2], before[3] - before[2]);
  EXPECT_EQ(after[0], before[0] - cxGrow);

  // The frame can be sized: the grip in the corner lies over the last pane,
  // which is wider by it than its text needs, and ends at the bar's edge.
  ASSERT_TRUE(bar.GetStyle() & SBARS_SIZEGRIP);
  CRect barRect;
  bar.GetClientRect(&barRect);
  bar.GetPaneInfo(3, nID, nStyle, cxWidth);
  EXPECT_EQ(after[3], barRect.right);
  EXPECT_GE(after[3] - after[2], cxWidth + GetSystemMetrics(SM_CXVSCROLL));

  // Text later (at idle time) or at once.
  EXPECT_TRUE(bar.SetPaneText(0, "Später", FALSE));
  EXPECT_EQ(PaneText(0), "Bereit");
  EXPECT_EQ(bar.GetPaneText(0), "Später");
  Idle();
  EXPECT_EQ(PaneText(0), "Später");
  EXPECT_FALSE(bar.SetPaneText(9, "x"));

  // A pane that its owner drew past the bar gets plain text again, even the
  // text the bar had before.
  bar.SetPaneText(0, "Text");
  SendMessageA(hBar, SB_SETTEXTA, SBT_OWNERDRAW | 0, (LPARAM)0x1234);
  EXPECT_TRUE(HIWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, 0, 0)) & SBT_OWNERDRAW);
  bar.SetPaneText(0, "Text");
  EXPECT_FALSE(HIWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, 0, 0)) & SBT_OWNERDRAW);
  EXPECT_EQ(PaneText(0), "Text");
}

TEST_F(SdiApp, ToolbarSizesFollowItsButtonsBordersAndGripper) {
  CToolBar& bar = m_frame->m_wndToolBar;
  EXPECT_EQ(bar.GetCount(), 4);
  EXPECT_EQ(bar.GetItemID(1), 0u);  // the separator
  EXPECT_EQ(bar.CommandToIndex(ID_TEST_GREY), 3);
  EXPECT_EQ(bar.m_sizeButton, CSize(23, 22));
  EXPECT_EQ(bar.m_sizeImage, CSize(16, 15));

  // Inside: the bottom border (CBRS_TOP) and the gripper on the left.
  CRect inside(0, 0, 100, 50);
  bar.CalcInsideRect(inside, TRUE);
  EXPECT_EQ(inside, CRect(7, 0, 100, 48));
  bar.SetBorders(2, 2, 2, 2);
  inside.SetRect(0, 0, 100, 50);
  bar.CalcInsideRect(inside, FALSE);  // across a vertical bar the gripper is on top
  EXPECT_EQ(inside, CRect(2, 9, 98, 46));

  CSize sizeFixed = bar.CalcFixedLayout(FALSE, TRUE);
  EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE), CSize(32767, sizeFixed.cy));
  EXPECT_EQ(sizeFixed.cy, 22 + 2 + 2 + 2);
  EXPECT_GE(sizeFixed.cx, 3 * 23 + 7 + 2 + 2);
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), sizeFixed);
  EXPECT_EQ(bar.m_nMRUWidth, 32767);
  bar.CalcDynamicLayout(200, LM_HORZ | LM_COMMIT);
  EXPECT_EQ(bar.m_nMRUWidth, sizeFixed.cx);
}

TEST_F(SdiApp, SecondFileNewReusesFrameAndViewAndRenewsTheDocument) {
  CView* pView = m_frame->GetActiveView();
  CDocument* pDoc = pView->GetDocument();
  m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);  // bound in the application's map
  EXPECT_EQ(m_app->m_pMainWnd, m_frame);
  EXPECT_EQ(m_frame->GetActiveView(), pView);
  EXPECT_EQ(pView->GetDocument(), pDoc);
  EXPECT_EQ(g.frames, 1);
  EXPECT_EQ(g.views, 1);
  EXPECT_EQ(g.docs, 1);
  EXPECT_EQ(g.newDocs, 2);
  EXPECT_EQ(g.initialUpdates, 2);
  EXPECT_EQ(g.docsDeleted + g.viewsDeleted + g.framesDeleted, 0);

  // The document's title shows in the frame's; an empty one adds nothing.
  pDoc->SetTitle("Dokument");
  EXPECT_EQ(WindowText(m_frame->m_hWnd), "Dokument - Testprogramm");
  pDoc->SetTitle("");
  EXPECT_EQ(WindowText(m_frame->m_hWnd), "Testprogramm");
}

TEST_F(SdiApp, ClosingTheFrameDeletesFrameViewAndDocumentOnceAndEndsTheLoop) {
  m_frame->SendMessage(WM_CLOSE);
  EXPECT_EQ(g.framesDeleted, 1);
  EXPECT_EQ(g.viewsDeleted, 1);
  EXPECT_EQ(g.docsDeleted, 1);
  EXPECT_EQ(m_app->m_pMainWnd, nullptr);
  EXPECT_EQ(m_app->Run(), 0);  // the main window's end left the quit message
  EXPECT_EQ(g.framesDeleted + g.viewsDeleted + g.docsDeleted, 3);
}

TEST_F(SdiApp, ExitCommandClosesTheMainFrame) {
  m_frame->SendMessage(WM_COMMAND, ID_APP_EXIT);  // the application's own map
  EXPECT_EQ(g.framesDeleted, 1);
  EXPECT_EQ(g.docsDeleted, 1);
  EXPECT_EQ(m_app->m_pMainWnd, nullptr);
}

void CALLBACK ExitTick(HWND, UINT, UINT_PTR, DWORD) {
  if (CWnd* pMain = AfxGetApp()->m_pMainWnd) pMain->PostMessage(WM_COMMAND, ID_APP_EXIT);
}

// The whole start: AfxWinMain runs InitInstance and the message loop until
// the exit command that a timer gives.
TEST(SdiAppMain, AfxWinMainRunsTheApplicationUntilItsMainFrameCloses) {
  g = {};
  CTestApp app;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, ExitTick);
  EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL), 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g.frames, 1);
  EXPECT_EQ(g.framesDeleted, 1);
  EXPECT_EQ(g.viewsDeleted, 1);
  EXPECT_EQ(g.docsDeleted, 1);
}
}  // namespace
