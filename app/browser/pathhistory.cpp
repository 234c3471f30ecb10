#include "app/browser/pathhistory.h"

int PathHistory::Add(const char* path) {
  if (!path || !*path) return 0;
  if (!m_started) {
    m_entries[0] = path;
    m_oldest = m_newest = m_current = 0;
    m_started = true;
    return 1;
  }
  if (m_current != m_oldest && m_entries[Next(m_current, true)] == path) return 0;
  if (m_entries[m_current] == path) return 0;
  m_current = m_newest = Next(m_current, false);
  m_entries[m_current] = path;
  if (m_newest == m_oldest) m_oldest = Next(m_oldest, false);
  return 1;
}

void PathHistory::RestartIfLoneFirst() {
  if (m_started && m_oldest == 0 && m_newest == 0 && m_current == 0) m_started = false;
}

int PathHistory::Count() const {
  if (!m_started) return 0;
  return (m_newest - m_oldest + kTreeWndHistory) % kTreeWndHistory + 1;
}

int PathHistory::Step(bool back, int steps) {
  if (!m_started) return 0;
  int made = 0;
  for (; made < steps; ++made) {
    if (back ? m_current == m_oldest : m_current == m_newest) break;
    m_current = Next(m_current, back);
  }
  return made;
}

const char* PathHistory::Beyond(bool back, int n) const {
  if (!m_started || n < 0) return nullptr;
  int at = m_current;
  for (int i = 0; i < n; ++i) {
    if (back ? at == m_oldest : at == m_newest) return nullptr;
    at = Next(at, back);
  }
  return m_entries[at];
}
