#include "app/browser/expandqueue.h"

ExpandQueue::AddResult ExpandQueue::Add(HTREEITEM item) {
  bool start = false;
  AddResult result = kQueued;
  m_mutex.Lock();
  bool known = false;
  for (int i = 0; i < m_queued; ++i) known = known || m_queue[i] == item;
  if (known) {
    result = kWaiting;
  } else if (m_queued < kTreeWndExpandQueue) {
    m_queue[m_queued++] = item;
    // Whether a thread runs is decided here, under the lock that the
    // thread's own decision to end takes too.
    if (!m_running) start = m_running = true;
  } else {
    result = kFull;
  }
  m_mutex.Unlock();
  if (start) {
    if (m_thread) {
      WaitForSingleObject(m_thread, INFINITE);  // it has decided to end
      CloseHandle(m_thread);
    }
    m_stop = 0;
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!m_thread) {
      m_mutex.Lock();
      m_running = false;
      m_mutex.Unlock();
      Run();
    }
  }
  return result;
}

DWORD WINAPI ExpandQueue::ThreadProc(LPVOID self) {
  ((ExpandQueue*)self)->Run();
  return 0;
}

void ExpandQueue::Run() {
  for (;;) {
    m_mutex.Lock();
    if (m_queued > kTreeWndExpandQueue) m_queued = 0;
    if (m_stop || m_queued == 0) {
      m_queued = 0;
      m_running = false;
      m_mutex.Unlock();
      return;
    }
    HTREEITEM item = m_queue[0];
    m_mutex.Unlock();
    m_expand(m_context, item);
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

void ExpandQueue::Stop() {
  if (!m_thread) return;
  InterlockedExchange(&m_stop, 1);
  WaitForSingleObject(m_thread, INFINITE);
  CloseHandle(m_thread);
  m_thread = nullptr;
}

bool ExpandQueue::Running() {
  m_mutex.Lock();
  bool running = m_running;
  m_mutex.Unlock();
  return running;
}

int ExpandQueue::Count() {
  m_mutex.Lock();
  int count = m_queued;
  m_mutex.Unlock();
  return count;
}
