// The ring of visited paths behind a browser pane's back and forward
// buttons: the newest kTreeWndHistory paths, the oldest dropped first.
#pragma once

#include "app/browser/treewndids.h"
#include "base/cstring.h"

class PathHistory {
 public:
  // Puts the path after the current entry, which it becomes (the entries
  // that lay beyond the current one are gone). Returns 0 without adding an
  // empty path, the current entry's path, or the path of the entry before
  // the current one (going back and then to where one came from).
  int Add(const char* path);
  // A ring of the one entry at position 0 starts afresh, so that the next
  // path replaces that entry (a pane's start path).
  void RestartIfLoneFirst();

  bool Started() const { return m_started; }
  int Count() const;
  bool CanBack() const { return m_started && m_current != m_oldest; }
  bool CanForward() const { return m_started && m_current != m_newest; }
  // Moves up to steps entries back or forward, stopping at the oldest or the
  // newest; returns the steps made.
  int Step(bool back, int steps);
  // The current entry's path ("" before the first).
  const char* Current() const { return m_entries[m_current]; }
  // The path n entries back or forward from the current one, nullptr beyond the end.
  const char* Beyond(bool back, int n) const;

 private:
  int Next(int at, bool back) const { return (at + (back ? kTreeWndHistory - 1 : 1)) % kTreeWndHistory; }

  CString m_entries[kTreeWndHistory];
  int m_oldest = 0, m_newest = 0, m_current = 0;
  bool m_started = false;
};
