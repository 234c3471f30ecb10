// The frame's status-pane service: panes set, inserted, removed and coloured
// by other windows of the process.
#include <cstring>

#include "app/mainframe.h"

namespace {
// Set by the first SetPanes on a live bar; operations 1-4 wait for it.
LRESULT g_paneServiceMarker = 0;

int CountIds(const int* ids, int count) {
  if (!ids) return 0;
  if (count < 0) {
    int n = 0;
    while (n < kMaxOwnPanes && ids[n] != 0) ++n;
    return n;
  }
  return count;
}
}  // namespace

bool CMainFrame::ServiceReady() const { return g_paneServiceMarker == kPaneServiceMarker && m_wndStatusBar.m_hWnd; }

void CMainFrame::ResetPanesIfBare() {
  if (m_wndStatusBar.GetCount() > 1 + kIndicatorCount) return;
  m_nextPaneTag = 2;
  m_ownPaneCount = 0;
  m_firstIndicator = 1;
  memset(m_paneTags, 0, sizeof m_paneTags);
}

int CMainFrame::ResolveIndex(int index) const {
  int count = m_wndStatusBar.GetCount();
  int pane = index >= 0 ? index + 1 : index + count - kIndicatorCount;
  return pane >= 1 && pane < count ? pane : -1;
}

void CMainFrame::ReadPanes(PaneDef* panes, int count) const {
  for (int i = 0; i < count; ++i) {
    m_wndStatusBar.GetPaneInfo(i, panes[i].id, panes[i].style, panes[i].width);
    panes[i].text = m_wndStatusBar.GetPaneText(i);
    if (const OwnerDrawPane* block = OwnerDrawPaneOf(m_wndStatusBar.m_hWnd, i)) panes[i].text = block->text;
    panes[i].tag = i < kMaxStatusPanes ? m_paneTags[i] : 0;
  }
}

BOOL CMainFrame::ApplyPanes(const PaneDef* panes, int count, bool withText) {
  UINT ids[kMaxStatusPanes + 8] = {};
  for (int i = 0; i < count; ++i) ids[i] = panes[i].id;
  m_wndStatusBar.SetIndicators(ids, count);
  memset(m_paneTags, 0, sizeof m_paneTags);
  for (int i = 0; i < count; ++i) {
    m_wndStatusBar.SetPaneInfo(i, panes[i].id, panes[i].style, panes[i].width);
    if (withText) m_wndStatusBar.SetPaneText(i, panes[i].text, TRUE);
    if (i < kMaxStatusPanes) m_paneTags[i] = panes[i].tag;
  }
  return TRUE;
}

int CMainFrame::SetPanes(const int* ids, const int* widths, int count) {
  if (!m_wndStatusBar.m_hWnd) return 0;
  g_paneServiceMarker = kPaneServiceMarker;
  ResetPanesIfBare();
  count = CountIds(ids, count);
  if (count > kMaxOwnPanes) count = kMaxOwnPanes;
  int scaled[kMaxOwnPanes];
  for (int i = 0; i < count; ++i) scaled[i] = widths ? widths[i] : kDefaultPaneWidth;
  ScalePaneWidths(scaled, count);

  int old = m_wndStatusBar.GetCount();
  PaneDef before[kMaxStatusPanes + 8];
  if (old > kMaxStatusPanes + 8) old = kMaxStatusPanes + 8;
  ReadPanes(before, old);
  PaneDef after[kMaxStatusPanes + 8];
  int n = 0;
  // The message pane goes on saying what it said: a pane taking the focus
  // asks for its panes, and the bar would otherwise stand empty.
  after[n] = before[0];
  ++n;
  for (int i = 0; i < count; ++i, ++n) after[n] = {(UINT)ids[i], 0, scaled[i], CString(), 1};
  for (int i = m_firstIndicator; i < old && n < kMaxStatusPanes; ++i, ++n) after[n] = before[i];
  m_firstIndicator = count + 1;
  m_ownPaneCount = count;
  ApplyPanes(after, n, true);
  return count;
}

int CMainFrame::SetPaneText(int index, const char* text, BOOL update, int background, int textColor) {
  if (!ServiceReady()) return 0;
  int pane = ResolveIndex(index);
  if (pane < 0) return 0;
  if (background < 0 && textColor < 0) {
    m_wndStatusBar.SetPaneText(pane, text, update);
  } else {
    // The bar owns the block from here on and frees the one it replaces.
    OwnerDrawPane* block = AllocOwnerDrawPane(text, background, textColor);
    if (!m_wndStatusBar.SendMessage(SB_SETTEXTA, (WPARAM)(pane | kOwnerDrawPaneType), (LPARAM)block))
      FreeOwnerDrawPane(block);
    if (update) m_wndStatusBar.UpdateWindow();
  }
  return 1;
}

int CMainFrame::SetPaneColors(int index, BOOL update, int background, int textColor) {
  if (!ServiceReady() || SendMessage(WM_QUERYPANESERVICE) != kPaneServiceMarker) return 0;
  int pane = ResolveIndex(index);
  if (pane < 0) return 0;
  const OwnerDrawPane* block = OwnerDrawPaneOf(m_wndStatusBar.m_hWnd, pane);
  if (block && block->background == background && block->textColor == textColor) return 1;
  if (!block && background < 0 && textColor < 0) return 1;
  CString text;
  if (block) {
    text = block->text;
  } else {
    char buf[256] = "";
    LRESULT len = m_wndStatusBar.SendMessage(SB_GETTEXTLENGTHA, (WPARAM)pane);
    if (LOWORD(len) < sizeof buf) m_wndStatusBar.SendMessage(SB_GETTEXTA, (WPARAM)pane, (LPARAM)buf);
    text = buf;
  }
  return SetPaneText(index, text, update, background, textColor);
}

int CMainFrame::InsertPanes(const int* ids, const int* widths, int count) {
  if (!ServiceReady()) return 0;
  ResetPanesIfBare();
  count = CountIds(ids, count);
  if (count > kMaxOwnPanes) count = kMaxOwnPanes;
  int old = m_wndStatusBar.GetCount();
  // Pane 0 and the indicators count among the others.
  int others = old - m_ownPaneCount;
  if (count > kMaxOtherPanes - others) count = kMaxOtherPanes - others;
  if (count <= 0) return -1;
  int scaled[kMaxOwnPanes];
  for (int i = 0; i < count; ++i) scaled[i] = widths ? widths[i] : kDefaultPaneWidth;
  ScalePaneWidths(scaled, count);

  PaneDef before[kMaxStatusPanes + 8];
  ReadPanes(before, old);
  PaneDef after[kMaxStatusPanes + 8];
  int n = 0;
  for (int i = 0; i < m_firstIndicator; ++i) after[n++] = before[i];
  int tag = m_nextPaneTag;
  for (int i = 0; i < count; ++i) after[n++] = {(UINT)ids[i], 0, scaled[i], CString(), tag};
  for (int i = m_firstIndicator; i < old; ++i) after[n++] = before[i];
  ApplyPanes(after, n, false);
  int first = m_firstIndicator - old - count + kIndicatorCount;
  m_nextPaneTag = m_nextPaneTag >= 0xFFFF ? 2 : m_nextPaneTag + 1;
  return (int)(((DWORD)(WORD)first << 16) | (WORD)tag);
}

int CMainFrame::RemovePanes(int tag) {
  if (g_paneServiceMarker != kPaneServiceMarker) return 0;
  ResetPanesIfBare();
  if (!m_wndStatusBar.m_hWnd) return 0;
  int wanted = tag & 0xFFFF;
  int old = m_wndStatusBar.GetCount();
  PaneDef before[kMaxStatusPanes + 8];
  ReadPanes(before, old);
  PaneDef after[kMaxStatusPanes + 8];
  int n = 0;
  for (int i = 0; i < old; ++i)
    if (i < m_firstIndicator || before[i].tag != wanted) after[n++] = before[i];
  ApplyPanes(after, n, false);
  return n;
}
