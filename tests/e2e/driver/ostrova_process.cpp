#include "e2e/driver/ostrova_process.h"

#include <commctrl.h>

#include "res/resource.h"

bool WaitUntil(const std::function<bool()>& pred, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(10);
  }
}

std::string OstrovaPath() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  for (int up = 0; up < 3; ++up) p.resize(p.find_last_of("\\/"));
  return p + "\\app\\Ostrova.exe";
}

namespace {
struct Search {
  int id;
  const char* cls;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (s->cls ? lstrcmpA(cls, s->cls) == 0 : GetDlgCtrlID(hwnd) == s->id) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct TopLevel {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM lParam) {
  auto* t = reinterpret_cast<TopLevel*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  // The frame is the visible owner-less window with a menu.
  if (pid == t->pid && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER) && GetMenu(hwnd)) {
    t->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindDescendant(HWND parent, int id) {
  Search s{id, nullptr, nullptr};
  EnumChildWindows(parent, MatchChild, (LPARAM)&s);
  return s.found;
}

HWND FindDescendantOfClass(HWND parent, const char* cls) {
  Search s{0, cls, nullptr};
  EnumChildWindows(parent, MatchChild, (LPARAM)&s);
  return s.found;
}

void Press(HWND hwnd, UINT vk) {
  PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
  PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

void Type(HWND hwnd, const std::string& text) {
  for (unsigned char c : text) PostMessageA(hwnd, WM_CHAR, c, 1);
}

std::string TextOf(HWND hwnd) {
  char text[2048] = "";
  SendMessageA(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text);
  return text;
}

HWND FocusOf(HWND hwnd) {
  GUITHREADINFO info = {sizeof info};
  return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
}

void FocusIn(HWND hwnd) {
  DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  SetFocus(hwnd);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
}

namespace {
struct Shown {
  DWORD pid;
  const char* title;  // nullptr: the popup menu class
  HWND found;
};

BOOL CALLBACK MatchShown(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<Shown*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  char text[256] = "";
  if (s->title)
    GetWindowTextA(hwnd, text, sizeof text);
  else
    GetClassNameA(hwnd, text, sizeof text);
  if (lstrcmpA(text, s->title ? s->title : "#32768") != 0) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND OstrovaProcess::Dialog(const std::string& title) const {
  Shown s{m_pi.dwProcessId, title.c_str(), nullptr};
  EnumWindows(MatchShown, (LPARAM)&s);
  return s.found;
}

HWND OstrovaProcess::PopupMenu() const {
  Shown s{m_pi.dwProcessId, nullptr, nullptr};
  EnumWindows(MatchShown, (LPARAM)&s);
  return s.found;
}

OstrovaProcess::~OstrovaProcess() {
  if (!m_pi.hProcess) return;
  if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_pi.hProcess, 1);
  WaitForSingleObject(m_pi.hProcess, 5000);
  CloseHandle(m_pi.hThread);
  CloseHandle(m_pi.hProcess);
}

bool OstrovaProcess::Start(const std::string& args) {
  std::string exe = OstrovaPath();
  std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA si = {sizeof si};
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) return false;
  WaitForInputIdle(m_pi.hProcess, 10000);
  TopLevel t{m_pi.dwProcessId, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchTopLevel, (LPARAM)&t);
        return t.found != nullptr;
      },
      10000);
  m_frame = t.found;
  return m_frame && WaitUntil([&] { return Pane(0) && StatusBar() && ToolBar(); });
}

bool OstrovaProcess::Close() {
  if (!m_pi.hProcess) return false;
  PostMessageA(m_frame, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(m_pi.hProcess, 10000) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  GetExitCodeProcess(m_pi.hProcess, &code);
  return code == 0;
}

HWND OstrovaProcess::View() const { return FindDescendantOfClass(m_frame, "OstrovaView"); }
HWND OstrovaProcess::Pane(int i) const {
  HWND view = View();
  return view ? GetDlgItem(view, IDC_PANE1 + i) : nullptr;
}
HWND OstrovaProcess::ToolBar() const { return FindDescendant(m_frame, 59392); }
HWND OstrovaProcess::StatusBar() const { return FindDescendant(m_frame, 59393); }

std::string OstrovaProcess::StatusText(int pane) const {
  HWND bar = StatusBar();
  char text[512] = "";
  RemoteBuffer buf(m_pi.hProcess, sizeof text);
  DWORD len = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, pane, 0));
  if (!buf.Address() || len >= sizeof text) return "";
  SendMessageA(bar, SB_GETTEXTA, pane, (LPARAM)buf.Address());
  buf.Read(text, len + 1);
  text[len] = 0;
  return text;
}

std::string OstrovaProcess::ToolBarCommands() const {
  HWND bar = ToolBar();
  int n = (int)SendMessageA(bar, TB_BUTTONCOUNT, 0, 0);
  RemoteBuffer buf(m_pi.hProcess, sizeof(TBBUTTON));
  std::string ids;
  for (int i = 0; i < n && buf.Address(); ++i) {
    TBBUTTON b = {};
    if (!SendMessageA(bar, TB_GETBUTTON, i, (LPARAM)buf.Address()) || !buf.Read(&b, sizeof b)) return "?";
    ids += (ids.empty() ? "" : ",") + std::to_string(b.fsStyle & BTNS_SEP ? 0 : b.idCommand);
  }
  return ids;
}

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size)
    : m_process(process), m_p(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
RemoteBuffer::~RemoteBuffer() {
  if (m_p) VirtualFreeEx(m_process, m_p, 0, MEM_RELEASE);
}
bool RemoteBuffer::Read(void* to, size_t n) const {
  SIZE_T got = 0;
  return m_p && ReadProcessMemory(m_process, m_p, to, n, &got) && got == n;
}
bool RemoteBuffer::Write(const void* from, size_t n) const {
  SIZE_T put = 0;
  return m_p && WriteProcessMemory(m_process, m_p, from, n, &put) && put == n;
}
