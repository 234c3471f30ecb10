// The key-tree items that wait to be filled after they were expanded, and
// the one thread that fills them in turn. The queue is guarded by a mutex
// held only for queue operations; the thread never waits for the thread
// that queues, which may wait for it (Stop).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "app/browser/treewndids.h"
#include "mfc/sync.h"

class ExpandQueue {
 public:
  // Fills one item; runs on the queue's thread (or on the caller's when no
  // thread can be made).
  typedef void (*Expander)(void* context, HTREEITEM item);
  enum AddResult {
    kQueued,   // waits for the thread, which was started when none ran
    kWaiting,  // queued already (or being filled)
    kFull,     // kTreeWndExpandQueue wait: the caller fills the item itself
  };

  ExpandQueue(Expander expand, void* context) : m_expand(expand), m_context(context), m_mutex(FALSE) {}
  ~ExpandQueue() { Stop(); }
  ExpandQueue(const ExpandQueue&) = delete;
  ExpandQueue& operator=(const ExpandQueue&) = delete;

  AddResult Add(HTREEITEM item);
  // Asks the thread to end after its item, empties the queue and joins it.
  void Stop();
  // Tested by the expander between siblings.
  bool StopRequested() const { return m_stop != 0; }
  bool Running();
  int Count();

 private:
  static DWORD WINAPI ThreadProc(LPVOID self);
  void Run();

  Expander m_expand;
  void* m_context;
  CMutex m_mutex;
  // An item stays queued while it is filled, so it is neither taken twice
  // nor counted out of the limit.
  HTREEITEM m_queue[kTreeWndExpandQueue] = {};
  int m_queued = 0;
  HANDLE m_thread = nullptr;
  bool m_running = false;
  volatile LONG m_stop = 0;
};
