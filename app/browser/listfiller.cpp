#include "app/browser/listfiller.h"

DWORD WINAPI ListFiller::ThreadProc(LPVOID self) { return (DWORD)((ListFiller*)self)->RunHere(); }

int ListFiller::RunHere() {
  m_running = 1;
  m_state = kFillRunning;
  int count = m_fill(m_context);
  m_state = kFillDone;
  m_running = 0;
  return count;
}

void ListFiller::Start() {
  Stop();
  m_stop = 0;
  m_running = 1;
  m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId);
  if (!m_thread) RunHere();
}

void ListFiller::Stop() {
  if (!m_thread) return;
  InterlockedExchange(&m_stop, 1);
  WaitForSingleObject(m_thread, INFINITE);
  CloseHandle(m_thread);
  m_thread = nullptr;
  m_stop = 0;
  m_running = 0;
}

bool ListFiller::Wait(DWORD ms) {
  if (m_thread && WaitForSingleObject(m_thread, ms) == WAIT_OBJECT_0) {
    CloseHandle(m_thread);
    m_thread = nullptr;
  }
  return m_thread == nullptr;
}
