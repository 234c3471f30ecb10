// The list-filling thread of a browser pane: one at a time, stopped by a
// request that the fill tests between entries and then joined, so that the
// thread that stops it may wait for it (the fill never waits for that thread).
#pragma once

#include <windows.h>

class ListFiller {
 public:
  // Fills the list; tests StopRequested between entries; returns the count.
  typedef int (*Fill)(void* context);
  enum State {
    kFillNone = 0,
    kFillRunning = 1,
    kFillDone = 2,
  };

  ListFiller(Fill fill, void* context) : m_fill(fill), m_context(context) {}
  ~ListFiller() { Stop(); }
  ListFiller(const ListFiller&) = delete;
  ListFiller& operator=(const ListFiller&) = delete;

  // Stops a running fill, then fills on a thread of its own (on the calling
  // thread when none can be made).
  void Start();
  // Runs the fill on the calling thread, with the states around it.
  int RunHere();
  // Asks the fill to stop and joins its thread.
  void Stop();
  // Waits at most ms for the thread to end and joins it then; true when no thread is left.
  bool Wait(DWORD ms);
  bool StopRequested() const { return m_stop != 0; }
  // A fill runs (or a thread for one was started).
  bool Filling() const { return m_running != 0; }
  // A thread was started and not joined yet.
  bool Started() const { return m_thread != nullptr; }
  State FillState() const { return (State)m_state; }
  // A new set of records: nothing filled from them yet.
  void ResetState() { m_state = kFillNone; }

 private:
  static DWORD WINAPI ThreadProc(LPVOID self);

  Fill m_fill;
  void* m_context;
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
  volatile LONG m_running = 0;
  volatile LONG m_stop = 0;
  volatile LONG m_state = kFillNone;
};
