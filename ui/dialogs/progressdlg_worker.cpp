// The worker's side of the progress dialog: setters that store under the
// lock and post outside it, and the requests that wait for an answer.
#include "ui/dialogs/progressdlg.h"

#include <cstring>

#include "ui/dialogs/progressdlg_state.h"
#include "ui/textmeasure.h"

namespace {
const int kThrottleMs = 80;
const int kLineSize = 512;

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(cs); }
  ~Locked() { LeaveCriticalSection(m_cs); }

 private:
  CRITICAL_SECTION* m_cs;
};
}  // namespace

LONGLONG CProgressDlg::ScaleOf(LONGLONG total, LONGLONG* withHeadroom) {
  if (total <= 0) total = 1;
  if (total >= 513) total += total / 256;
  if (withHeadroom) *withHeadroom = total;
  int scale = 0;
  while ((total >> scale) > 1024) ++scale;
  return scale;
}

LONGLONG CProgressDlg::SetTotalLocked(LONGLONG total) {
  LONGLONG full;
  int scale = (int)ScaleOf(total, &full);
  m_nGivenTotal = total <= 0 ? 1 : total;
  if (full == m_nTotal) return -1;
  m_nTotal = full;
  m_nScale = scale;
  // The position keeps its place under the new scale.
  LONGLONG rel = m_nPos >= m_nGivenTotal ? m_nTotal : m_nPos < 0 ? 0 : m_nPos;
  m_nScaledPos = rel >> m_nScale;
  return m_nTotal >> m_nScale;
}

void CProgressDlg::SetTotal(LONGLONG total) {
  if (m_nMarquee) return;
  LONGLONG range;
  {
    Locked lock(&m_lock);
    range = SetTotalLocked(total);
  }
  if (range >= 0) PostUpdate(kProgressRange);
}

void CProgressDlg::SetRange64(LONGLONG start, LONGLONG end) {
  if (m_nMarquee) return;
  LONGLONG range;
  {
    Locked lock(&m_lock);
    m_nStart = start;
    range = SetTotalLocked(end - start);
  }
  if (range >= 0) PostUpdate(kProgressRange);
}

void CProgressDlg::SetPos64(LONGLONG pos) {
  bool post;
  {
    Locked lock(&m_lock);
    m_nPos = pos - m_nStart;
    // At the end the bar fills, headroom included.
    LONGLONG rel = m_nPos >= m_nGivenTotal ? m_nTotal : m_nPos < 0 ? 0 : m_nPos;
    LONGLONG scaled = rel >> m_nScale;
    // One waiting post is enough: the UI thread reads the latest position.
    post = scaled != m_nScaledPos && !m_bPositionPosted;
    m_nScaledPos = scaled;
    if (post) m_bPositionPosted = TRUE;
  }
  if (post && !PostUpdate(kProgressPosition)) {
    Locked lock(&m_lock);
    m_bPositionPosted = FALSE;
  }
}

void CProgressDlg::StepPos() {
  LONGLONG pos;
  {
    Locked lock(&m_lock);
    pos = m_nStart + m_nPos + 1;
  }
  SetPos64(pos);
}

void CProgressDlg::StepIt() { PostUpdate(kProgressStep); }

void CProgressDlg::Cancel() {
  m_nCancel = 1;
  HWND hwnd = m_hWndPost;
  if (!hwnd)
    m_bEarlyCancel = TRUE;  // applied when the window starts
  else
    ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
}

void CProgressDlg::SetStatusLineCount(int n) {
  if (n > 4) n = 4;
  {
    Locked lock(&m_lock);
    if (n <= m_nRequestedLines || n <= m_nLines) return;
    m_nRequestedLines = n;
  }
  PostUpdate(kProgressLineCount, (DWORD)n);
}

void CProgressDlg::EnsureLines(int line) {
  int have;
  {
    Locked lock(&m_lock);
    have = m_nRequestedLines > m_nLines ? m_nRequestedLines : m_nLines;
  }
  if (line > 0 && line >= have) SetStatusLineCount(line + 1);
}

void CProgressDlg::ThrottleLine(int n) {
  if (!m_hWndPost) return;  // shown when the window starts
  DWORD now = ProgressTick();
  bool show = false, startFlush = false;
  {
    Locked lock(&m_lock);
    if (now - m_dwLastShow[n] >= (DWORD)kThrottleMs) {
      m_dwLastShow[n] = now;  // one post per line per period
      m_bPending[n] = FALSE;
      show = true;
    } else {
      m_bPending[n] = TRUE;
      if (!m_bPendingTimer) {
        m_bPendingTimer = TRUE;
        startFlush = true;
      }
    }
  }
  if (show) PostUpdate(kProgressShowLine, (DWORD)n);
  if (startFlush) PostUpdate(kProgressLinePending, (DWORD)n);
}

void CProgressDlg::SetStatusText(int line, LPCSTR text) {
  if (line < 0 || line > 3) return;
  if (!text) text = "";
  EnsureLines(line);
  {
    Locked lock(&m_lock);
    if (strncmp(m_lines[line], text, kLineSize - 1) == 0) return;
    lstrcpynA(m_lines[line], text, kLineSize);
  }
  ThrottleLine(line);
}

void CProgressDlg::SetStatusPath(int line, LPCSTR text, LPCSTR path, int mode, int marker) {
  if (line < 0 || line > 3) return;
  if (!text) text = "";
  if (!path) path = "";
  ProgressProcessState& s = ProgressState();
  if (s.charWidthState == 0) {
    GetCharWidthTableStock(s.charWidths, -1);
    s.charWidthState = 2;
  }
  size_t len = strlen(text), cut = len, resume = len;
  if (marker > 0) {
    const char* at = (const char*)memchr(text, (char)marker, len);
    if (at) cut = at - text, resume = cut + 1;
  } else {
    size_t skip = (size_t)(-(LONGLONG)marker);
    if (skip < len) cut = resume = skip;  // past the text: at its end
  }
  char buf[kLineSize];
  size_t pos = cut < kLineSize - 1 ? cut : kLineSize - 1;
  memcpy(buf, text, pos);
  buf[pos] = 0;
  const char* after = text + resume;
  int afterLength = (int)strlen(after);
  int written = ShortenPathBetweenTexts(path, buf + pos, (int)(kLineSize - pos), m_nLineWidth - 5, s.charWidths, mode,
                                        buf, after, afterLength, (int)pos);
  if (written < 0) written = 0;
  pos += written;
  if (pos > kLineSize - 1) pos = kLineSize - 1;
  lstrcpynA(buf + pos, after, (int)(kLineSize - pos));
  SetStatusText(line, buf);
}

void CProgressDlg::SetPollSource(int mode, UINT interval, void* source, void* maximum) {
  m_poll.mode = mode, m_poll.interval = interval, m_poll.source = source, m_poll.maximum = maximum;
  PostUpdate(kProgressPollTimer);
}

void CProgressDlg::SetUserTimer(CallbackFn fn, UINT interval, DWORD arg) {
  m_pfnUserTimer = fn, m_nUserInterval = interval, m_dwUserArg = arg;
  PostUpdate(kProgressUserTimer);
}

void CProgressDlg::SetMarquee(UINT interval) {
  int old = m_nMarquee.exchange((int)interval);
  if (old == (int)interval) return;
  PostUpdate(kProgressMarquee, ((DWORD)(old & 0xFFF) << 12) | (interval & 0xFFF));
}

int CProgressDlg::WorkerMessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  if (m_bClosing) return 0;
  m_pszBoxText = text, m_pszBoxCaption = caption, m_nBoxType = type;
  m_nAnswer = 0;
  if (!Post(kProgressMessageBox)) return 0;
  m_semaphore.Lock();
  return (int)m_nAnswer;
}

INT_PTR CProgressDlg::WorkerDoModal(CDialog* dlg) {
  if (m_bClosing) return -1;
  m_pModalRequest = dlg;
  m_nAnswer = -1;
  if (!Post(kProgressDoModal)) return -1;
  m_semaphore.Lock();
  return m_nAnswer;
}
