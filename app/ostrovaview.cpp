#include "app/ostrovaview.h"

#include "res/resource.h"
#include "ui/grips.h"
#include "ui/tracking.h"

const char kOstrovaViewClass[] = "OstrovaView";
CString StartPath1;
CString StartPath2;

IMPLEMENT_DYNCREATE(COstrovaView, CView)

BEGIN_MESSAGE_MAP(COstrovaView, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_LBUTTONDOWN()
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_NOTIFY(NM_SETFOCUS, IDC_PANE1, OnPaneSetFocus)
  ON_NOTIFY(NM_SETFOCUS, IDC_PANE2, OnPaneSetFocus)
  ON_COMMAND(ID_PANE_RIGHT, OnPaneRight)
  ON_COMMAND(ID_PANE_LEFT, OnPaneLeft)
  ON_COMMAND(ID_SPLIT_HORZ_TOGGLE, OnSplitHorzToggle)
  ON_COMMAND(ID_SPLIT_VERT, OnSplitVert)
  ON_COMMAND(ID_SPLIT_HORZ, OnSplitHorz)
  ON_COMMAND(ID_SPLIT_MIDDLE, OnSplitMiddle)
  ON_COMMAND(ID_SPLIT_MIDDLE_TOGGLE, OnSplitMiddleToggle)
  ON_UPDATE_COMMAND_UI(ID_PANE_RIGHT, OnUpdatePaneRight)
  ON_UPDATE_COMMAND_UI(ID_PANE_LEFT, OnUpdatePaneLeft)
  ON_UPDATE_COMMAND_UI(ID_SPLIT_HORZ_TOGGLE, OnUpdateSplitHorzToggle)
  ON_UPDATE_COMMAND_UI(ID_SPLIT_VERT, OnUpdateSplitVert)
  ON_UPDATE_COMMAND_UI(ID_SPLIT_HORZ, OnUpdateSplitHorz)
  ON_UPDATE_COMMAND_UI(ID_SPLIT_MIDDLE, OnUpdateSplitMiddle)
  ON_UPDATE_COMMAND_UI(ID_SPLIT_MIDDLE_TOGGLE, OnUpdateSplitMiddleToggle)
  ON_COMMAND(ID_FULL_MARK, OnFullMark)
  ON_COMMAND(ID_ALTERNATE, OnAlternate)
  ON_COMMAND(ID_SHOW_LINES, OnShowLines)
  ON_COMMAND(ID_SHOW_COMBO, OnShowCombo)
  ON_UPDATE_COMMAND_UI(ID_FULL_MARK, OnUpdateFullMark)
  ON_UPDATE_COMMAND_UI(ID_ALTERNATE, OnUpdateAlternate)
  ON_UPDATE_COMMAND_UI(ID_SHOW_LINES, OnUpdateShowLines)
  ON_UPDATE_COMMAND_UI(ID_SHOW_COMBO, OnUpdateShowCombo)
  ON_COMMAND(ID_FIND, OnFind)
  ON_COMMAND(ID_CTX_FIND, OnFind)  // the key tree's "Suchen..." is the same search
  ON_COMMAND(ID_FIND_NEXT_MENU, OnFindNext)
  ON_UPDATE_COMMAND_UI(ID_FIND_NEXT_MENU, OnUpdateFindNext)
  ON_COMMAND(ID_FIND_NEXT, OnFindNextKey)
  ON_COMMAND(ID_PERMISSIONS, OnPermissions)
  ON_COMMAND(ID_LOAD_HIVE, OnLoadHive)
  ON_COMMAND(ID_UNLOAD_HIVE, OnUnloadHive)
  ON_COMMAND(ID_REGEDIT, OnStartRegedit)
  ON_COMMAND(ID_EXPORT, OnExport)
  ON_COMMAND(ID_IMPORT, OnImport)
  ON_COMMAND(ID_EDIT_COPY, OnNothing)
  ON_COMMAND(ID_CTX_MODIFY, OnModifyValue)
  ON_COMMAND(ID_CTX_EDIT_BINARY, OnModifyBinary)
  ON_NOTIFY(NM_DBLCLK, IDC_PANE1, OnEntryActivate)
  ON_NOTIFY(NM_DBLCLK, IDC_PANE2, OnEntryActivate)
  ON_NOTIFY(NM_RETURN, IDC_PANE1, OnEntryActivate)
  ON_NOTIFY(NM_RETURN, IDC_PANE2, OnEntryActivate)
  ON_COMMAND(ID_CTX_NEW_KEY, OnNewKey)
  ON_COMMAND_RANGE(ID_CTX_NEW_STRING, ID_CTX_NEW_EXPAND, OnNewValue)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNothing)
  ON_COMMAND(ID_CTX_EXPAND, OnContextExpand)
  ON_COMMAND(ID_CTX_COPY, OnContextCopy)
  ON_COMMAND(ID_EDIT_CLEAR, OnContextDelete)
  ON_COMMAND(ID_DELETE_ITEM, OnContextDelete)
  ON_COMMAND(ID_RENAME_ITEM, OnContextRename)
END_MESSAGE_MAP()

COstrovaView::COstrovaView() { m_settings.Load(); }

COstrovaView::~COstrovaView() {
  // The panes' current paths become the last paths.
  m_settings.lastPath1 = m_panes[0].GetPathNoSlash();
  m_settings.lastPath2 = m_panes[1].GetPathNoSlash();
  m_settings.Save();
  m_panes[0].SaveComboHistory("RegList1", nullptr);
  m_panes[1].SaveComboHistory("RegList2", nullptr);
}

BOOL COstrovaView::PreCreateWindow(CREATESTRUCT& cs) {
  HINSTANCE hInst = AfxGetInstanceHandle();
  WNDCLASSA wc = {};
  if (!GetClassInfoA(hInst, kOstrovaViewClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_SIZEWE);
    wc.lpszClassName = kOstrovaViewClass;
    if (!RegisterClassA(&wc)) return FALSE;
  }
  cs.lpszClass = kOstrovaViewClass;
  if (!CView::PreCreateWindow(cs)) return FALSE;
  cs.style |= WS_CLIPCHILDREN;
  return TRUE;
}

int COstrovaView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CView::OnCreate(lpcs) == -1) return -1;
  m_panes[0].LoadComboHistory("RegList1", nullptr);
  m_panes[1].LoadComboHistory("RegList2", nullptr);
  // The panes are made where the first layout puts them: each is laid out
  // once. A pane hidden at start is made after the first paint (the first
  // idle pass), or earlier when something shows or navigates it.
  CRect client;
  GetClientRect(&client);
  m_cx = client.Width();
  m_cy = client.Height();
  PaneLayout layout;
  bool sized =
      ComputePaneLayout(m_cx, m_cy, m_settings.singleWnd, m_settings.horzSplit != 0, CurrentSeparator(), &layout);
  for (int i = 0; i < 2; ++i) {
    if (i == 1 && m_settings.singleWnd == kOnlyPane1) break;
    if (!MakePane(i, !sized || layout.visible[i], sized ? &layout.pane[i] : nullptr)) return -1;
  }
  SetSizeCursor();
  return 0;
}

bool COstrovaView::MakePane(int i, bool visible, const RECT* at) {
  if (m_panes[i].m_hWnd) return true;
  static const CRect kFirstRect[2] = {CRect(0, 0, 500, 500), CRect(500, 0, 1000, 500)};
  DWORD style = m_settings.PaneStyle() | WS_CHILD | (visible ? WS_VISIBLE : 0);
  return m_panes[i].Create(nullptr, "RegWnd", style, at ? *at : kFirstRect[i], this, i ? IDC_PANE2 : IDC_PANE1) !=
         FALSE;
}

LRESULT COstrovaView::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (!m_panes[1].m_hWnd && MakePane(1, false)) Layout();
  return 0;
}

void COstrovaView::SetSizeCursor() {
  if (!m_hWnd) return;
  LPCSTR cursor = m_settings.horzSplit ? (LPCSTR)IDC_SIZENS : (LPCSTR)IDC_SIZEWE;
  SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, (LONG_PTR)LoadCursorA(nullptr, cursor));
}

void COstrovaView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  m_cx = cx;
  m_cy = cy;
  Layout();
}

void COstrovaView::Layout() {
  PaneLayout layout;
  if (!ComputePaneLayout(m_cx, m_cy, m_settings.singleWnd, m_settings.horzSplit != 0, CurrentSeparator(), &layout))
    return;
  m_splitPos = layout.splitPos;
  for (int i = 0; i < 2; ++i) {
    if (!m_panes[i].m_hWnd && (!layout.visible[i] || !MakePane(i, false))) continue;
    if (layout.visible[i]) {
      // A moved pane paints itself anew: the old pixels would leave its parts
      // half drawn, pieces of scroll bars where a list was before.
      const RECT& r = layout.pane[i];
      ::SetWindowPos(m_panes[i].m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
      m_panes[i].ShowWindow(SW_SHOW);
    } else {
      m_panes[i].ShowWindow(SW_HIDE);
    }
  }
}

void COstrovaView::LayoutAndRedraw() {
  Layout();
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COstrovaView::OnDraw(CDC* pDC) {
  CRect rc;
  GetClientRect(&rc);
  if (!BothShown()) return;
  // The gap between the panes is the only part of the view not covered.
  CRect gap = m_settings.horzSplit ? CRect(0, m_splitPos, rc.right, m_splitPos + kSplitterGap)
                                   : CRect(m_splitPos, 0, m_splitPos + kSplitterGap, rc.bottom);
  pDC->FillSolidRect(&gap, GetSysColor(COLOR_BTNFACE));
  DrawSplitterBar(pDC->m_hDC, m_splitPos, 10000, m_settings.horzSplit != 0);
}

void COstrovaView::OnUpdate(CView*, LPARAM lHint, CObject*) {
  if (lHint == 0) {
    CString* starts[2] = {&StartPath1, &StartPath2};
    CString* lasts[2] = {&m_settings.lastPath1, &m_settings.lastPath2};
    for (int i = 0; i < 2; ++i) {
      if (!starts[i]->IsEmpty()) {
        // A start path is typed like a path in the combo box: "HKLM\..." and
        // "/" separators are spelled out before the tree is walked.
        char path[kTreeWndPathBuffer + 8];
        lstrcpynA(path, *starts[i], kTreeWndPathBuffer - 32);
        if (MakePane(i, false) && m_panes[i].ParsePath(path, -1, nullptr) > 0)
          m_panes[i].NavigateTo(path, kShowStartPath);
        starts[i]->Empty();
      } else if (!lasts[i]->IsEmpty()) {
        if (MakePane(i, false)) m_panes[i].NavigateTo(*lasts[i], kShowStartPath);
        lasts[i]->Empty();
      }
    }
  }
  if (CDocument* doc = GetDocument()) doc->SetTitle("");
}

BOOL COstrovaView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  CRegWnd& active = m_panes[m_activePane];
  if (active.m_hWnd && active.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return CView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void COstrovaView::OnPaneSetFocus(NMHDR* pNMHDR, LRESULT* pResult) {
  m_activePane = m_focusPane = pNMHDR->idFrom == IDC_PANE2 ? 1 : 0;
  *pResult = 0;
}

void COstrovaView::OnSetFocus(CWnd* pOldWnd) {
  static bool busy = false;  // giving a pane the focus comes back here
  if (busy) return;
  busy = true;
  bool backwards = GetKeyState(VK_SHIFT) < 0;
  bool tabbing = GetKeyState(VK_TAB) < 0;
  auto owns = [&](int i) {
    return pOldWnd && m_panes[i].m_hWnd && (pOldWnd->m_hWnd == m_panes[i].m_hWnd || m_panes[i].IsChild(pOldWnd));
  };
  int dir = backwards ? -1 : 1;
  if (!BothShown()) {
    int shown = m_settings.singleWnd == kOnlyPane2 ? 1 : 0;
    m_panes[shown].FocusNext(tabbing && owns(shown) ? dir : -3);
  } else if (tabbing && owns(0)) {
    m_panes[1].FocusNext(dir);
  } else if (tabbing && owns(1)) {
    m_panes[0].FocusNext(dir);
  } else {
    m_panes[m_focusPane].FocusNext(-3);
  }
  busy = false;
}

void COstrovaView::OnLButtonDown(UINT nFlags, CPoint point) {
  CView::OnLButtonDown(nFlags, point);
  if (!BothShown()) return;
  CRect area;
  GetClientRect(&area);
  ClientToScreen(&area);
  bool horz = m_settings.horzSplit != 0;
  int grabX = horz ? point.x : point.x - m_splitPos;
  int grabY = horz ? point.y - m_splitPos : point.y;
  int moved = TrackSplitter(this, horz ? kSplitterHorizontal : kSplitterVertical, &area, m_splitPos, grabX, grabY, 4, 0,
                            kTrackDefault);
  if (moved == 0) return;
  int limit = horz ? m_cy : m_cx;
  int pos = m_splitPos + moved;
  if (pos < 0) pos = 0;
  if (pos > limit) pos = limit;
  CurrentSeparator() = pos;
  LayoutAndRedraw();
}

// --- layout commands ---------------------------------------------------------

void COstrovaView::OnPaneRight() {
  m_settings.singleWnd = kOnlyPane2;
  LayoutAndRedraw();
}

void COstrovaView::OnPaneLeft() {
  m_settings.singleWnd = kOnlyPane1;
  LayoutAndRedraw();
}

void COstrovaView::OnSplitHorzToggle() {
  m_settings.singleWnd = kBothPanes;
  m_settings.horzSplit = !m_settings.horzSplit;
  SetSizeCursor();
  LayoutAndRedraw();
}

void COstrovaView::OnSplitVert() {
  if (BothShown() && !m_settings.horzSplit) return;
  m_settings.horzSplit = 0;
  m_settings.singleWnd = kBothPanes;
  SetSizeCursor();
  LayoutAndRedraw();
}

void COstrovaView::OnSplitHorz() {
  if (BothShown() && m_settings.horzSplit) return;
  m_settings.horzSplit = 1;
  m_settings.singleWnd = kBothPanes;
  SetSizeCursor();
  LayoutAndRedraw();
}

void COstrovaView::OnSplitMiddle() {
  if (BothShown() && CurrentSeparator() > kSeparatorMiddle) CurrentSeparator() = kSeparatorMiddle;
  LayoutAndRedraw();
}

void COstrovaView::OnSplitMiddleToggle() {
  if (BothShown() && CurrentSeparator() <= kSeparatorMiddle) {
    m_settings.singleWnd = kOnlyPane1;
  } else {
    m_settings.singleWnd = kBothPanes;
    CurrentSeparator() = kSeparatorMiddle;
  }
  LayoutAndRedraw();
}

void COstrovaView::OnUpdatePaneRight(CCmdUI* pCmdUI) { pCmdUI->Enable(m_settings.singleWnd != kOnlyPane2); }
void COstrovaView::OnUpdatePaneLeft(CCmdUI* pCmdUI) { pCmdUI->Enable(m_settings.singleWnd != kOnlyPane1); }
void COstrovaView::OnUpdateSplitHorzToggle(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_settings.horzSplit && BothShown()); }
void COstrovaView::OnUpdateSplitVert(CCmdUI* pCmdUI) { pCmdUI->Enable(!(BothShown() && !m_settings.horzSplit)); }
void COstrovaView::OnUpdateSplitHorz(CCmdUI* pCmdUI) { pCmdUI->Enable(!(BothShown() && m_settings.horzSplit)); }
void COstrovaView::OnUpdateSplitMiddle(CCmdUI* pCmdUI) {
  pCmdUI->Enable(BothShown() && CurrentSeparator() > kSeparatorMiddle);
}
void COstrovaView::OnUpdateSplitMiddleToggle(CCmdUI* pCmdUI) {
  pCmdUI->SetCheck(BothShown() && CurrentSeparator() <= kSeparatorMiddle);
}

// --- style toggles -----------------------------------------------------------

void COstrovaView::ToggleStyle(int& setting, DWORD bit, bool bitWhenOn) {
  setting = !setting;
  BOOL on = (setting != 0) == bitWhenOn;
  for (CRegWnd& pane : m_panes) pane.SetStyle(on ? bit : 0, bit);
}

void COstrovaView::OnFullMark() { ToggleStyle(m_settings.fullMark, kPaneFullMark, true); }
void COstrovaView::OnAlternate() { ToggleStyle(m_settings.alternate, kPaneAlternate, true); }
void COstrovaView::OnShowLines() { ToggleStyle(m_settings.showLines, kPaneShowLines, true); }
void COstrovaView::OnShowCombo() { ToggleStyle(m_settings.showCombo, kPaneHideCombo, false); }
void COstrovaView::OnUpdateFullMark(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_settings.fullMark != 0); }
void COstrovaView::OnUpdateAlternate(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_settings.alternate != 0); }
void COstrovaView::OnUpdateShowLines(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_settings.showLines != 0); }
void COstrovaView::OnUpdateShowCombo(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_settings.showCombo != 0); }

// --- search ------------------------------------------------------------------

// OnFind and the other registry commands live in view_regcmds.cpp.
