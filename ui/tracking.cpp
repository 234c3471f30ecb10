#include "ui/tracking.h"

#include "ui/grips.h"

namespace {
const COLORREF kTrackBkColor = 0xFFFFC0;
const int kFrameThickness = 4;
const int kMaxPieces = 3;

enum TrackResult { kRunning = 0, kDone = 1, kCancelled = 2 };

// The common frame of the loops: capture, the desktop's update lock and DC,
// the drawn pieces and the message loop. Every exit gives back what it took.
class DragTracker {
 public:
  explicit DragTracker(CWnd* pWnd) : m_hwnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}
  ~DragTracker() { End(); }

  bool Begin() {
    if (!m_hwnd || GetCapture()) return false;
    HWND desktop = GetDesktopWindow();
    m_locked = LockWindowUpdate(desktop) != FALSE;
    HDC dc = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | (m_locked ? DCX_LOCKWINDOWUPDATE : 0));
    if (!dc) return false;
    m_dc.Attach(dc);
    // Pending paints first, so that the bar is not drawn over stale pixels.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return false;  // stays queued
    SetCapture(m_hwnd);
    m_captured = true;
    m_dc.SetBkColor(kTrackBkColor);
    return true;
  }

  // Runs until done or cancelled; onMove gets each mouse move's screen point.
  template <class OnMove>
  TrackResult Run(OnMove onMove) {
    MSG msg;
    while (GetCapture() == m_hwnd) {
      if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        AfxPostQuitMessage((int)msg.wParam);
        return kCancelled;
      }
      switch (msg.message) {
        case WM_LBUTTONUP:
          return kDone;
        case WM_RBUTTONDOWN:
          return kCancelled;
        case WM_KEYDOWN:
          if (msg.wParam == VK_ESCAPE) return kCancelled;
          break;  // other keys are dropped
        case WM_MOUSEMOVE:
          onMove(msg.pt);
          break;
        default:
          DispatchMessageA(&msg);
      }
    }
    return kDone;  // the capture went elsewhere
  }

  // Draws the pieces, each a frame of its thickness; the previous ones go in
  // the same pass.
  void Draw(const RECT* rects, const SIZE* sizes, int count) {
    for (int i = 0; i < count; ++i) {
      m_dc.DrawDragRect(&rects[i], sizes[i], i < m_count ? &m_rects[i] : nullptr, m_sizes[i]);
      m_rects[i] = rects[i];
      m_sizes[i] = sizes[i];
    }
    m_count = count;
  }
  void DrawBars(const RECT* rects, int count) {
    SIZE sizes[kMaxPieces];
    for (int i = 0; i < count; ++i) sizes[i] = {rects[i].right - rects[i].left, rects[i].bottom - rects[i].top};
    Draw(rects, sizes, count);
  }

  void End() {
    if (m_dc.m_hDC) {
      static const RECT kEmpty = {0, 0, 0, 0};
      for (int i = 0; i < m_count; ++i) m_dc.DrawDragRect(&kEmpty, SIZE{0, 0}, &m_rects[i], m_sizes[i]);
      m_count = 0;
      ReleaseDC(GetDesktopWindow(), m_dc.Detach());
    }
    if (m_locked) LockWindowUpdate(nullptr);
    m_locked = false;
    if (m_captured && GetCapture() == m_hwnd) ReleaseCapture();
    m_captured = false;
  }

 private:
  HWND m_hwnd;
  CDC m_dc;
  bool m_locked = false, m_captured = false;
  RECT m_rects[kMaxPieces] = {};
  SIZE m_sizes[kMaxPieces] = {};
  int m_count = 0;
};

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// One axis of a splitter: the area's span, where the line lies and the grab.
struct SplitAxis {
  int start, lowest, grab, lineStart, initial;

  void Init(int areaStart, int areaEnd, int position, int grabValue, int lineWidth, int offset) {
    start = areaStart;
    lowest = areaEnd - lineWidth > areaStart ? areaEnd - lineWidth : areaStart;
    grab = grabValue - offset;
    initial = Clamp(position, 0, lowest - areaStart);
    lineStart = areaStart + initial + offset;
  }
  void Move(int mouse) { lineStart = Clamp(mouse - grab, start, lowest); }
  int Change(int barWidth, int lineWidth, int offset) const {
    int line = Clamp(lineStart, start + offset, lowest + (barWidth - lineWidth + offset));
    return line - (start + offset) - initial;
  }
};
}  // namespace

int TrackSplitter(CWnd* pWnd, int mode, const RECT* area, int position, int grabX, int grabY, int barWidth,
                  int lineWidth, int offset) {
  if (barWidth < 1) barWidth = 1;
  if (grabX == kTrackDefault && grabY == kTrackDefault) grabX = grabY = barWidth / 2;
  if (lineWidth <= 0) lineWidth = barWidth;
  if (offset == kTrackDefault)
    offset = (barWidth - lineWidth + 1) / 2;
  else if (mode == kSplitterCross)
    offset = (short)LOWORD(offset);

  SplitAxis x = {}, y = {};
  bool moveX = mode != kSplitterHorizontal, moveY = mode == kSplitterHorizontal || mode == kSplitterCross;
  int posX = mode == kSplitterCross ? (short)LOWORD(position) : position;
  int posY = mode == kSplitterCross ? (short)HIWORD(position) : position;
  if (moveX) x.Init(area->left, area->right, posX, grabX, lineWidth, offset);
  if (moveY) y.Init(area->top, area->bottom, posY, grabY, lineWidth, offset);

  auto pieces = [&](RECT* rects) {
    if (mode == kSplitterHorizontal) {
      rects[0] = {area->left, y.lineStart, area->right, y.lineStart + lineWidth};
      return 1;
    }
    if (mode != kSplitterCross) {
      rects[0] = {x.lineStart, area->top, x.lineStart + lineWidth, area->bottom};
      return 1;
    }
    rects[0] = {area->left + offset, y.lineStart, area->right, y.lineStart + lineWidth};
    rects[1] = {x.lineStart, area->top, x.lineStart + lineWidth, y.lineStart};
    rects[2] = {x.lineStart, y.lineStart + lineWidth, x.lineStart + lineWidth, area->bottom};
    return 3;
  };

  DragTracker tracker(pWnd);
  if (!tracker.Begin()) return 0;
  RECT rects[kMaxPieces];
  tracker.DrawBars(rects, pieces(rects));
  TrackResult result = tracker.Run([&](POINT pt) {
    if (moveX) x.Move(pt.x);
    if (moveY) y.Move(pt.y);
    tracker.DrawBars(rects, pieces(rects));
  });
  tracker.End();
  if (result != kDone) return 0;
  int dx = moveX ? x.Change(barWidth, lineWidth, offset) : 0;
  int dy = moveY ? y.Change(barWidth, lineWidth, offset) : 0;
  if (mode == kSplitterCross) return (int)((DWORD)(dx & 0xFFFF) | ((DWORD)dy << 16));
  return mode == kSplitterHorizontal ? dy : dx;
}

int TrackRect(CWnd* pWnd, RECT* prc, int x, int y, int minWidth, int minHeight) {
  UINT excluded = (minWidth < 0 ? kBorderHorizontal : 0) | (minHeight < 0 ? kBorderVertical : 0);
  HCURSOR cursor = nullptr;
  UINT code = HitTestRectBorder(prc, x, y, 0, excluded, &cursor);
  if (!code) return 0;
  DragTracker tracker(pWnd);
  if (!tracker.Begin()) return 0;
  HCURSOR oldCursor = SetCursor(cursor);
  const SIZE frame = {kFrameThickness, kFrameThickness};
  RECT drawn = *prc;
  tracker.Draw(&drawn, &frame, 1);
  TrackResult result = tracker.Run([&](POINT pt) {
    int dx = pt.x - x, dy = pt.y - y;
    RECT rc = *prc;
    if (code & kBorderLeft) rc.left = rc.left + dx < rc.right - minWidth ? rc.left + dx : rc.right - minWidth;
    if (code & kBorderRight) rc.right = rc.right + dx > rc.left + minWidth ? rc.right + dx : rc.left + minWidth;
    if (code & kBorderTop) rc.top = rc.top + dy < rc.bottom - minHeight ? rc.top + dy : rc.bottom - minHeight;
    if (code & kBorderBottom) rc.bottom = rc.bottom + dy > rc.top + minHeight ? rc.bottom + dy : rc.top + minHeight;
    if (!EqualRect(&rc, &drawn)) {
      drawn = rc;
      tracker.Draw(&drawn, &frame, 1);
    }
  });
  tracker.End();
  SetCursor(oldCursor);
  if (result != kDone) return 0;
  *prc = drawn;
  return 1;
}

CSize TrackMoveRect(CWnd* pWnd, const RECT* prc, int grabX, int grabY) {
  DragTracker tracker(pWnd);
  if (!tracker.Begin()) return CSize(0, 0);
  const SIZE frame = {kFrameThickness, kFrameThickness};
  RECT drawn = *prc;
  CSize moved(0, 0);
  tracker.Draw(&drawn, &frame, 1);
  TrackResult result = tracker.Run([&](POINT pt) {
    moved = CSize(pt.x - grabX, pt.y - grabY);
    drawn = *prc;
    OffsetRect(&drawn, moved.cx, moved.cy);
    tracker.Draw(&drawn, &frame, 1);
  });
  tracker.End();
  return result == kDone ? moved : CSize(0, 0);
}
