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

void CTreeWnd::PostCursor(int kind) {
  // Each post is a server round trip: only changes go out.
  if (InterlockedExchange(&m_postedKind, kind) == kind) return;
  if (m_hWnd) ::PostMessageA(m_hWnd, WM_TREEWND_SETCURSOR, (WPARAM)m_cursors[kind], kind);
}

// --- list-filling thread ------------------------------------------------------

DWORD WINAPI CTreeWnd::ListThreadProc(LPVOID self) { return (DWORD)((CTreeWnd*)self)->FillListProc(); }

int CTreeWnd::FillListProc() {
  m_listRunning = 1;
  m_fillState = 1;
  PostCursor(5);
  ListDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)TVI_ROOT);
  int count = m_entries.count;
  LPARAM keyBits = kTreeItemMarker | ((LPARAM)m_rootIndex << kTreeItemRootShift);
  int i = 0;
  // Rows go in by batches, each under one hold of the list's lock: the
  // user-interface thread gets the lock between batches and paints the
  // first screen while the rest is inserted.
  bool held = false;
  for (; i < count && !m_listStop; ++i) {
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
  PostCursor(0);
  m_fillState = 2;
  m_listRunning = 0;
  return i;
}

void CTreeWnd::StartListThread() {
  StopListThread();
  m_listStop = 0;
  m_listRunning = 1;
  m_listThread = CreateThread(nullptr, 0, ListThreadProc, this, 0, &m_listThreadId);
  if (!m_listThread) FillListProc();
}

void CTreeWnd::StopListThread() {
  if (!m_listThread) return;
  InterlockedExchange(&m_listStop, 1);
  WaitForSingleObject(m_listThread, INFINITE);
  CloseHandle(m_listThread);
  m_listThread = nullptr;
  m_listStop = 0;
  m_listRunning = 0;
}

void CTreeWnd::WaitForListThread() {
  if (m_listThread) {
    if (WaitForSingleObject(m_listThread, 60000) == WAIT_OBJECT_0) {
      CloseHandle(m_listThread);
      m_listThread = nullptr;
    }
  }
  if (m_list.m_hWnd) m_list.SendMessage(TLM_RUNDEFERRED);
}

// --- expansion thread ---------------------------------------------------------------

void CTreeWnd::OnTreeItemExpanded(NMHDR* nm, LRESULT* result) {
  NMTREEVIEWA* tv = (NMTREEVIEWA*)nm;
  *result = 0;
  HTREEITEM item = tv->itemNew.hItem;
  if (!item || !m_created) return;
  if (!(m_tree.SendMessage(TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED)) return;
  bool start = false, now = false;
  m_mutex.Lock();
  bool known = false;
  for (int i = 0; i < m_queued; ++i) known = known || m_queue[i] == item;
  if (!known) {
    if (m_queued < kTreeWndExpandQueue) {
      m_queue[m_queued++] = item;
      // Whether a thread runs is decided here, under the lock that the
      // thread's own decision to end takes too.
      if (!m_expandRunning) start = m_expandRunning = true;
    } else {
      now = true;
    }
  }
  m_mutex.Unlock();
  if (start) {
    if (m_expandThread) {
      WaitForSingleObject(m_expandThread, INFINITE);  // it has decided to end
      CloseHandle(m_expandThread);
    }
    m_expandStop = 0;
    m_expandThread = CreateThread(nullptr, 0, ExpandThreadProc, this, 0, nullptr);
    if (!m_expandThread) {
      m_mutex.Lock();
      m_expandRunning = false;
      m_mutex.Unlock();
      ExpandQueuedItems();
    }
  }
  if (now) ExpandToPath("", 1, item);
}

DWORD WINAPI CTreeWnd::ExpandThreadProc(LPVOID self) {
  ((CTreeWnd*)self)->ExpandQueuedItems();
  return 0;
}

void CTreeWnd::ExpandQueuedItems() {
  for (;;) {
    m_mutex.Lock();
    if (m_queued > kTreeWndExpandQueue) m_queued = 0;
    if (m_expandStop || m_queued == 0) {
      m_queued = 0;
      m_expandRunning = false;
      m_mutex.Unlock();
      return;
    }
    // The item stays queued while it is walked, so it is neither taken
    // twice nor counted out of the queue's limit.
    HTREEITEM item = m_queue[0];
    m_mutex.Unlock();
    ExpandToPath("", 1, item);
    m_mutex.Lock();
    for (int i = 0; i < m_queued; ++i) {
      if (m_queue[i] == item) {
        for (int k = i + 1; k < m_queued; ++k) m_queue[k - 1] = m_queue[k];
        --m_queued;
        break;
      }
    }
    m_mutex.Unlock();
  }
}

void CTreeWnd::StopExpandThread() {
  if (!m_expandThread) return;
  InterlockedExchange(&m_expandStop, 1);
  WaitForSingleObject(m_expandThread, INFINITE);
  CloseHandle(m_expandThread);
  m_expandThread = nullptr;
}

bool CTreeWnd::ExpandThreadRunning() {
  m_mutex.Lock();
  bool running = m_expandRunning;
  m_mutex.Unlock();
  return running;
}
