// CTreeWnd's two workers: the list-filling thread and the expansion thread.
// Neither waits for the user-interface thread: they reach the tree-lists only
// through the deferring direct calls and the pane only by PostMessage, so the
// user-interface thread may wait for them (stop flag, then a join).
#include "app/browser/treewnd.h"

namespace {
// Rows inserted under one hold of the list's lock; the first batch is the
// first screen and more.
const int kListFillBatch = 64;
}  // namespace

void CTreeWnd::PostCursor(TreeWndCursorKind kind) {
  // Each post is a server round trip: only changes go out.
  if (InterlockedExchange(&m_postedKind, kind) == kind) return;
  if (m_hWnd) ::PostMessageA(m_hWnd, WM_TREEWND_SETCURSOR, (WPARAM)m_cursors[kind], kind);
}

// --- list-filling thread ------------------------------------------------------

int CTreeWnd::FillListProc() { return m_listFiller.RunHere(); }

int CTreeWnd::FillListRowsOf(void* self) { return ((CTreeWnd*)self)->FillListRows(); }

int CTreeWnd::FillListRows() {
  PostCursor(kTreeCursorWait);
  ListDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)TVI_ROOT);
  int count = m_entries.count;
  LPARAM keyBits = kTreeItemMarker | ((LPARAM)m_rootIndex << kTreeItemRootShift);
  int i = 0;
  // Rows go in by batches, each under one hold of the list's lock: the
  // user-interface thread gets the lock between batches and paints the
  // first screen while the rest is inserted.
  bool held = false;
  for (; i < count && !m_listFiller.StopRequested(); ++i) {
    if (i % kListFillBatch == 0) {
      if (held) ListDirect(TLM_HOLDLOCK, FALSE, 0);
      held = ListDirect(TLM_HOLDLOCK, TRUE, 0) != 0;
    }
    const TreeWndEntry* e = (const TreeWndEntry*)m_entries.items[i];
    LPARAM data = keyBits | (e->folder != kEntryItem ? m_level + 1 : m_level | kEntryIsItem);
    HTREEITEM item = m_list.InsertItemDirect(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                             m_entries.TextAt(i), e->image, e->image, 0, 0, data, TVI_ROOT, TVI_LAST);
    if (item) {
      m_currentEntry = i;
      SetItemColumns(item);
    }
  }
  if (held) ListDirect(TLM_HOLDLOCK, FALSE, 0);
  m_currentEntry = -1;
  OnListFillEnd();
  PostCursor(kTreeCursorArrow);
  return i;
}

void CTreeWnd::StartListThread() { m_listFiller.Start(); }

void CTreeWnd::StopListThread() { m_listFiller.Stop(); }

void CTreeWnd::WaitForListThread() {
  m_listFiller.Wait(60000);
  if (m_list.m_hWnd) m_list.SendMessage(TLM_RUNDEFERRED);
}

// --- expansion thread ---------------------------------------------------------------

void CTreeWnd::OnTreeItemExpanded(NMHDR* nm, LRESULT* result) {
  NMTREEVIEWA* tv = (NMTREEVIEWA*)nm;
  *result = 0;
  HTREEITEM item = tv->itemNew.hItem;
  if (!item || !m_created) return;
  if (!(m_tree.SendMessage(TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED)) return;
  // With the queue full the item is filled here and now.
  if (m_expandQueue.Add(item) == ExpandQueue::kFull) ExpandToPath("", 1, item);
}

void CTreeWnd::ExpandQueuedItem(void* self, HTREEITEM item) { ((CTreeWnd*)self)->ExpandToPath("", 1, item); }

void CTreeWnd::StopExpandThread() { m_expandQueue.Stop(); }

bool CTreeWnd::ExpandThreadRunning() { return m_expandQueue.Running(); }
