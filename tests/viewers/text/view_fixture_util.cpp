#include <functional>

#include "view_fixture.h"

std::vector<std::string> ViewTest::s_notes;

namespace {
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    const NMANSIVIEW* nm = (const NMANSIVIEW*)lParam;
    // The text view's codes and the hex view's (0x2BF5-0x2BF8).
    if ((nm->hdr.code >= kAnsiNotifyScroll && nm->hdr.code <= kAnsiNotifyKillFocus) ||
        (nm->hdr.code >= 0x2BF5 && nm->hdr.code <= 0x2BF8))
      ViewTest::Notes().push_back(std::to_string(nm->hdr.code) + " " + std::to_string((int)nm->value1) + "," +
                                  std::to_string((int)nm->value2));
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

int RecordingView::PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags) {
  painted.push_back(line);
  if (!derivedLines) return CAnsiView::PrintLine(pDC, rect, line, firstColumn, count, flags);
  return 0;
}

int RecordingView::MoveCursor(int column, int line, UINT flags) {
  char text[64];
  wsprintfA(text, "move %d,%d,%x", column, line, flags);
  log.push_back(text);
  return CAnsiView::MoveCursor(column, line, flags);
}

void RecordingView::ShowContextMenu(int x, int y, CMenu*) {
  log.push_back("menu " + std::to_string(x) + "," + std::to_string(y));
}

int RecordingView::OnScrollHook(UINT key) {
  log.push_back("scrollhook " + std::to_string(key));
  return 0;
}

int RecordingView::OnPickHook(UINT flags, int x, int y, int column, int line) {
  log.push_back("pick " + std::to_string(column) + "," + std::to_string(line));
  return pickAnswer;
}

int RecordingView::OnLButtonUpHook(UINT, int, int, int, int) {
  log.push_back("lup");
  return lbuttonUpAnswer;
}

int RecordingView::OnMarginMouseHook(UINT flags, int x, int y, int line) {
  char text[64];
  wsprintfA(text, "margin %x %d", flags, line);
  log.push_back(text);
  return 0;
}

void ViewTest::SetUp() {
  static ATOM s_class = 0;
  if (!s_class) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OstrovaViewTestParent";
    s_class = RegisterClassA(&wc);
  }
  s_notes.clear();
}

void ViewTest::Make(CAnsiView* view, int width, int height) {
  RECT rc = {0, 0, width, height};
  AdjustWindowRect(&rc, WS_POPUP | WS_CAPTION, FALSE);
  m_parent = CreateWindowExA(0, "OstrovaViewTestParent", "Ansicht", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40,
                             rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
  m_view = view;
  RECT client = {0, 0, width, height};
  ASSERT_TRUE(view->Create(WS_CHILD | WS_VISIBLE, client, CWnd::FromHandle(m_parent), 77));
  SetForegroundWindow(m_parent);
  ::SetFocus(view->m_hWnd);
  PumpMessages(20);
  s_notes.clear();
}

void ViewTest::TearDown() {
  if (m_view && m_view->m_hWnd) m_view->DestroyWindow();
  if (m_parent) DestroyWindow(m_parent);
  m_parent = nullptr;
}

void ViewTest::Key(UINT vk, int repeat) {
  SendMessageA(m_view->m_hWnd, WM_KEYDOWN, vk, repeat);
  SendMessageA(m_view->m_hWnd, WM_KEYUP, vk, 0xC0000001);
}

void ViewTest::WithModifiers(bool shift, bool ctrl, const std::function<void()>& action) {
  INPUT in[2] = {};
  int n = 0;
  if (shift) in[n].type = INPUT_KEYBOARD, in[n++].ki.wVk = VK_SHIFT;
  if (ctrl) in[n].type = INPUT_KEYBOARD, in[n++].ki.wVk = VK_CONTROL;
  if (n) SendInput(n, in, sizeof(INPUT));
  PumpMessages(10);
  action();
  for (int i = 0; i < n; ++i) in[i].ki.dwFlags = KEYEVENTF_KEYUP;
  if (n) SendInput(n, in, sizeof(INPUT));
  PumpMessages(10);
}
