// Message-map dispatch: every handler signature, commands, notifications
// and command-update routing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/window_util.h"
#include "mfc/mfc.h"

namespace {
const UINT WM_TESTMSG = WM_APP + 7;

class CDispatchWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  BOOL m_bEnableCmd = TRUE;
  void Note(const char* fmt, ...) {
    char buf[160];
    va_list ap;
    va_start(ap, fmt);
    wvsprintfA(buf, fmt, ap);
    va_end(ap);
    calls.push_back(buf);
  }
  BOOL Make() {
    return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "dispatch", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr);
  }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    Note("create %s attached=%d", cs->lpszName, FromHandlePermanent(m_hWnd) == this);
    return CWnd::OnCreate(cs);
  }
  afx_msg void OnSize(UINT nType, int cx, int cy) { Note("size %u %d %d", nType, cx, cy); }
  afx_msg void OnSizing(UINT fwSide, LPRECT pRect) { Note("sizing %u %ld", fwSide, pRect->right); }
  afx_msg void OnExitSizeMove() { Note("exitsizemove"); }
  afx_msg void OnTimer(UINT_PTR id) { Note("timer %u", (UINT)id); }
  afx_msg void OnSetFocus(CWnd* pOld) { Note("setfocus %d", pOld == nullptr); }
  afx_msg void OnKillFocus(CWnd* pNew) { Note("killfocus %d", pNew && pNew->m_hWnd == (HWND)0x1234); }
  afx_msg void OnKeyDown(UINT nChar, UINT nRep, UINT nFlags) { Note("keydown %u %u %u", nChar, nRep, nFlags); }
  afx_msg void OnKeyUp(UINT nChar, UINT nRep, UINT nFlags) { Note("keyup %u %u %u", nChar, nRep, nFlags); }
  afx_msg void OnChar(UINT nChar, UINT nRep, UINT nFlags) { Note("char %u %u %u", nChar, nRep, nFlags); }
  afx_msg void OnLButtonDown(UINT f, CPoint p) { Note("ldown %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnLButtonUp(UINT f, CPoint p) { Note("lup %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnLButtonDblClk(UINT f, CPoint p) { Note("ldbl %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnRButtonDown(UINT f, CPoint p) { Note("rdown %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnRButtonUp(UINT f, CPoint p) { Note("rup %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnRButtonDblClk(UINT f, CPoint p) { Note("rdbl %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnMButtonDown(UINT f, CPoint p) { Note("mdown %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnMButtonUp(UINT f, CPoint p) { Note("mup %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnMButtonDblClk(UINT f, CPoint p) { Note("mdbl %u %ld %ld", f, p.x, p.y); }
  afx_msg void OnXButtonDown(UINT f, UINT b, CPoint p) { Note("xdown %u %u %ld %ld", f, b, p.x, p.y); }
  afx_msg void OnMouseMove(UINT f, CPoint p) { Note("move %u %ld %ld", f, p.x, p.y); }
  afx_msg BOOL OnMouseWheel(UINT f, short delta, CPoint p) {
    Note("wheel %u %d %ld %ld", f, delta, p.x, p.y);
    return TRUE;
  }
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    Note("hscroll %u %d %d", code, (int)pos, bar == nullptr);
  }
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    Note("vscroll %u %d %d", code, (int)pos, bar == nullptr);
  }
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT hit, UINT msg) {
    Note("setcursor %d %u %u", pWnd == this, hit, msg);
    return TRUE;
  }
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint p) { Note("context %d %ld %ld", pWnd == this, p.x, p.y); }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    Note("ctlcolor %u %d", nCtlColor, pDC->m_hDC == (HDC)0x55);
    return (HBRUSH)0x77;
  }
  afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) { Note("drawitem %d %u", id, dis->itemID); }
  afx_msg void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    Note("measureitem %d", id);
    mis->itemHeight = 21;
  }
  afx_msg void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSys) {
    Note("initmenupopup %d %u %d", pMenu && pMenu->m_hMenu != nullptr, nIndex, bSys);
  }
  afx_msg UINT OnGetDlgCode() { return DLGC_WANTCHARS | 0x4000; }
  afx_msg void OnSysColorChange() { Note("syscolorchange"); }
  afx_msg void OnDropFiles(HDROP h) { Note("dropfiles %d", h == (HDROP)0x99); }
  afx_msg void OnClose() { Note("close"); }  // not passed on: the window stays
  afx_msg LRESULT OnTestMsg(WPARAM w, LPARAM l) {
    Note("testmsg %u %ld", (UINT)w, (long)l);
    return 4711;
  }
  afx_msg void OnCmd100() { Note("cmd 100"); }
  afx_msg void OnCmdRange(UINT id) { Note("cmdrange %u", id); }
  afx_msg void OnUpdateCmd100(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEnableCmd); }
  afx_msg void OnEditChange() { Note("en_change"); }
  afx_msg void OnControlRange(UINT id) { Note("bn_doubleclicked %u", id); }
  afx_msg void OnRClick(NMHDR* p, LRESULT* r) {
    Note("nm_rclick %u", (UINT)p->idFrom);
    *r = 5;
  }
  afx_msg void OnOwnNotify(NMHDR* p, LRESULT* r) {
    Note("own %d", (int)p->code);
    *r = 0x80000000;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDispatchWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SIZING()
  ON_WM_EXITSIZEMOVE()
  ON_WM_TIMER()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_WM_MBUTTONDOWN()
  ON_WM_MBUTTONUP()
  ON_WM_MBUTTONDBLCLK()
  ON_WM_XBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSEWHEEL()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_SETCURSOR()
  ON_WM_CONTEXTMENU()
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_INITMENUPOPUP()
  ON_WM_GETDLGCODE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_DROPFILES()
  ON_WM_CLOSE()
  ON_MESSAGE(WM_TESTMSG, OnTestMsg)
  ON_COMMAND(100, OnCmd100)
  ON_UPDATE_COMMAND_UI(100, OnUpdateCmd100)
  ON_COMMAND_RANGE(200, 209, OnCmdRange)
  ON_EN_CHANGE(300, OnEditChange)
  ON_CONTROL_RANGE(BN_DOUBLECLICKED, 400, 401, OnControlRange)
  ON_NOTIFY(NM_RCLICK, 500, OnRClick)
  ON_NOTIFY(-435, 500, OnOwnNotify)
END_MESSAGE_MAP()

LPARAM XY(int x, int y) { return MAKELPARAM(x, y); }
}  // namespace

TEST(MessageMap, EverySignatureReachesItsHandler) {
  CDispatchWnd wnd;
  ASSERT_TRUE(wnd.Make());
  ASSERT_GE(wnd.calls.size(), 1u);
  EXPECT_EQ(wnd.calls[0], "create dispatch attached=1") << "WM_CREATE reaches the object attached at creation";
  HWND h = wnd.m_hWnd;

  RECT sizing = {0, 0, 77, 10};
  DRAWITEMSTRUCT dis = {};
  dis.itemID = 3;
  MEASUREITEMSTRUCT mis = {};
  HMENU menu = CreatePopupMenu();
  struct Case {
    UINT msg;
    WPARAM w;
    LPARAM l;
    const char* expect;
    LRESULT result;
  } cases[] = {
      {WM_SIZE, SIZE_RESTORED, XY(120, 45), "size 0 120 45", 0},
      {WM_SIZING, WMSZ_RIGHT, (LPARAM)&sizing, "sizing 2 77", TRUE},
      {WM_EXITSIZEMOVE, 0, 0, "exitsizemove", 0},
      {WM_TIMER, 17, 0, "timer 17", 0},
      {WM_SETFOCUS, 0, 0, "setfocus 1", 0},
      {WM_KILLFOCUS, 0x1234, 0, "killfocus 1", 0},
      {WM_KEYDOWN, VK_F5, MAKELPARAM(2, 0x3F), "keydown 116 2 63", 0},
      {WM_KEYUP, VK_F5, MAKELPARAM(1, 0xC03F), "keyup 116 1 49215", 0},
      {WM_CHAR, 0xE4, MAKELPARAM(1, 0), "char 228 1 0", 0},
      {WM_LBUTTONDOWN, MK_LBUTTON, XY(5, 6), "ldown 1 5 6", 0},
      {WM_LBUTTONUP, 0, XY(-3, 6), "lup 0 -3 6", 0},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, XY(7, 8), "ldbl 1 7 8", 0},
      {WM_RBUTTONDOWN, MK_RBUTTON, XY(1, 2), "rdown 2 1 2", 0},
      {WM_RBUTTONUP, 0, XY(1, 2), "rup 0 1 2", 0},
      {WM_RBUTTONDBLCLK, MK_RBUTTON, XY(1, 2), "rdbl 2 1 2", 0},
      {WM_MBUTTONDOWN, MK_MBUTTON, XY(3, 4), "mdown 16 3 4", 0},
      {WM_MBUTTONUP, 0, XY(3, 4), "mup 0 3 4", 0},
      {WM_MBUTTONDBLCLK, MK_MBUTTON, XY(3, 4), "mdbl 16 3 4", 0},
      {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), XY(9, 9), "xdown 64 2 9 9", TRUE},
      {WM_MOUSEMOVE, MK_SHIFT, XY(-40, 30), "move 4 -40 30", 0},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), XY(300, 200), "wheel 0 -120 300 200", TRUE},
      {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), 0, "hscroll 5 42 1", 0},
      {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "vscroll 1 0 1", 0},
      {WM_SETCURSOR, (WPARAM)h, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "setcursor 1 1 512", TRUE},
      {WM_CONTEXTMENU, (WPARAM)h, XY(11, 12), "context 1 11 12", 0},
      {WM_CTLCOLORSTATIC, 0x55, 0, "ctlcolor 6 1", 0x77},
      {WM_CTLCOLOREDIT, 0x55, 0, "ctlcolor 1 1", 0x77},
      {WM_DRAWITEM, 12, (LPARAM)&dis, "drawitem 12 3", TRUE},
      {WM_MEASUREITEM, 13, (LPARAM)&mis, "measureitem 13", TRUE},
      {WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(2, 0), "initmenupopup 1 2 0", 0},
      {WM_SYSCOLORCHANGE, 0, 0, "syscolorchange", 0},
      {WM_DROPFILES, 0x99, 0, "dropfiles 1", 0},
      {WM_CLOSE, 0, 0, "close", 0},
      {WM_TESTMSG, 3, -9, "testmsg 3 -9", 4711},
  };
  for (const Case& c : cases) {
    wnd.calls.clear();
    LRESULT r = SendMessageA(h, c.msg, c.w, c.l);
    ASSERT_EQ(wnd.calls.size(), 1u) << c.expect;
    EXPECT_EQ(wnd.calls[0], c.expect);
    EXPECT_EQ(r, c.result) << c.expect;
  }
  EXPECT_EQ(mis.itemHeight, 21u);
  EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), (LRESULT)(DLGC_WANTCHARS | 0x4000));
  EXPECT_TRUE(IsWindow(h)) << "OnClose without the default keeps the window";
  DestroyMenu(menu);
  wnd.DestroyWindow();
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(MessageMap, CommandsRangesAndNotifications) {
  CDispatchWnd wnd;
  ASSERT_TRUE(wnd.Make());
  HWND h = wnd.m_hWnd;
  HWND ctl = CreateWindowA("BUTTON", "", WS_CHILD, 0, 0, 10, 10, h, (HMENU)400, nullptr, nullptr);
  struct Case {
    UINT msg;
    WPARAM w;
    LPARAM l;
    const char* expect;  // null: no handler runs
    LRESULT result;
  } cases[] = {
      {WM_COMMAND, 100, 0, "cmd 100", 1},
      {WM_COMMAND, 199, 0, nullptr, 0},
      {WM_COMMAND, 200, 0, "cmdrange 200", 1},
      {WM_COMMAND, 209, 0, "cmdrange 209", 1},
      {WM_COMMAND, 210, 0, nullptr, 0},
      {WM_COMMAND, MAKEWPARAM(300, EN_CHANGE), (LPARAM)ctl, "en_change", 1},
      {WM_COMMAND, MAKEWPARAM(300, EN_UPDATE), (LPARAM)ctl, nullptr, 0},
      {WM_COMMAND, MAKEWPARAM(401, BN_DOUBLECLICKED), (LPARAM)ctl, "bn_doubleclicked 401", 1},
      {WM_COMMAND, MAKEWPARAM(402, BN_DOUBLECLICKED), (LPARAM)ctl, nullptr, 0},
  };
  for (const Case& c : cases) {
    wnd.calls.clear();
    LRESULT r = SendMessageA(h, c.msg, c.w, c.l);
    if (c.expect) {
      ASSERT_EQ(wnd.calls.size(), 1u) << c.expect;
      EXPECT_EQ(wnd.calls[0], c.expect);
    } else {
      EXPECT_TRUE(wnd.calls.empty()) << LOWORD(c.w);
    }
    EXPECT_EQ(r, c.result);
  }

  // Notifications with negative codes; the handler's result is the answer.
  NMHDR nm = {ctl, 500, (UINT)NM_RCLICK};
  wnd.calls.clear();
  EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 500, (LPARAM)&nm), 5);
  nm.code = (UINT)-435;
  EXPECT_EQ((DWORD)SendMessageA(h, WM_NOTIFY, 500, (LPARAM)&nm), 0x80000000u);
  nm.idFrom = 501;
  EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 501, (LPARAM)&nm), 0);
  ASSERT_EQ(wnd.calls.size(), 2u);
  EXPECT_EQ(wnd.calls[0], "nm_rclick 500");
  EXPECT_EQ(wnd.calls[1], "own -435");

  // A menu command whose update handler disables it does not run.
  wnd.m_bEnableCmd = FALSE;
  wnd.calls.clear();
  SendMessageA(h, WM_COMMAND, 100, 0);
  EXPECT_TRUE(wnd.calls.empty());
  // ... but a control's notification with the same id is a control's matter.
  AFX_CMDHANDLERINFO info = {};
  EXPECT_TRUE(wnd.OnCmdMsg(205, CN_COMMAND, nullptr, &info));
  EXPECT_EQ(info.pTarget, &wnd) << "handler info names the target without running it";
  EXPECT_TRUE(wnd.calls.empty());
  EXPECT_FALSE(wnd.OnCmdMsg(300, CN_COMMAND, nullptr, &info)) << "EN_CHANGE is no command";
}

TEST(MessageMap, CmdUIUpdatesMenusAndDisablesWithoutHandler) {
  CDispatchWnd wnd;
  ASSERT_TRUE(wnd.Make());
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 100, "Hundert");
  menu.AppendMenu(MF_STRING, 150, "Ohne Handler");
  menu.AppendMenu(MF_STRING, 205, "Bereich");
  for (UINT i = 0; i < 3; ++i) {
    CCmdUI ui;
    ui.m_pMenu = &menu;
    ui.m_nIndex = i;
    ui.m_nID = menu.GetMenuItemID(i);
    ui.DoUpdate(&wnd, TRUE);
  }
  wnd.m_bEnableCmd = FALSE;
  CCmdUI ui;
  ui.m_pMenu = &menu;
  ui.m_nIndex = 0;
  ui.m_nID = 100;
  EXPECT_TRUE(ui.DoUpdate(&wnd, TRUE));
  EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED) << "its update handler disabled it";
  EXPECT_TRUE(menu.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED) << "no handler at all";
  EXPECT_FALSE(menu.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED) << "a command handler without update handler";
  ui.m_nIndex = 2;
  ui.SetCheck(1);
  ui.SetText("Neu");
  CString text;
  menu.GetMenuString(2, text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Neu");
  EXPECT_TRUE(menu.GetMenuState(2, MF_BYPOSITION) & MF_CHECKED);
}
