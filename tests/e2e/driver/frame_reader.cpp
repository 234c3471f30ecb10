#include "e2e/driver/frame_reader.h"

#include <commctrl.h>

#include "e2e/driver/ostrova_process.h"
#include "res/resource.h"

std::vector<int> StatusPartRights(const OstrovaProcess& app) {
  const int most = 64;
  RemoteBuffer buf(app.Process(), most * sizeof(int));
  int n = (int)SendMessageA(app.StatusBar(), SB_GETPARTS, most, (LPARAM)buf.Address());
  std::vector<int> rights(n > 0 && n <= most ? n : 0);
  if (!rights.empty() && !buf.Read(rights.data(), rights.size() * sizeof(int))) rights.clear();
  return rights;
}

int StatusPartGap(const OstrovaProcess& app) {
  RemoteBuffer buf(app.Process(), 3 * sizeof(int));
  int borders[3] = {-1, -1, -1};
  if (!SendMessageA(app.StatusBar(), SB_GETBORDERS, 0, (LPARAM)buf.Address()) || !buf.Read(borders, sizeof borders))
    return -1;
  return borders[2];
}

std::string StatusTexts(const OstrovaProcess& app) {
  std::string s;
  for (size_t i = 0, n = StatusPartRights(app).size(); i < n; ++i) s += (i ? "|" : "") + app.StatusText((int)i);
  return s;
}

namespace {
struct MenuSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMenu(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<MenuSearch*>(lParam);
  char cls[16] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && lstrcmpA(cls, "#32768") == 0 && IsWindowVisible(hwnd)) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindOpenMenu(const OstrovaProcess& app) {
  MenuSearch s = {GetProcessId(app.Process()), nullptr};
  EnumWindows(MatchMenu, (LPARAM)&s);
  return s.found;
}

std::string ProgramPrompt(UINT id) {
  static HMODULE program = LoadLibraryExA(OstrovaPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char text[512] = "";
  if (!program || !LoadStringA(program, id, text, sizeof text)) return "<none>";
  std::string s(text);
  return s.substr(0, s.find('\n'));
}

std::vector<std::string> MenuPrompts(const OstrovaProcess& app, HWND menuWindow, size_t count) {
  std::vector<std::string> prompts;
  std::string last = "Bereit";
  auto changed = [&] { return app.StatusText(0) != last && app.StatusText(0) != ""; };
  // A popup opened by its mnemonic comes with its first item chosen.
  while (prompts.size() < count) {
    if (!prompts.empty()) {
      PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
      PostMessageA(menuWindow, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    if (!WaitUntil(changed)) break;
    last = app.StatusText(0);
    prompts.push_back(last);
  }
  return prompts;
}

bool Settle(const OstrovaProcess& app) {
  const char kFindPrompt[] = "Sucht nach Key, Werten und Daten in der gesamten Registry.";
  HMENU edit = GetSubMenu(GetMenu(app.Frame()), 1);
  PostMessageA(app.Frame(), WM_MENUSELECT, MAKEWPARAM(ID_FIND, MF_HILITE), (LPARAM)edit);
  if (!WaitUntil([&] { return app.StatusText(0) == kFindPrompt; })) return false;
  PostMessageA(app.Frame(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  return WaitUntil([&] { return app.StatusText(0) == "Bereit"; });
}

bool PressWith(const OstrovaProcess& app, HWND target, UINT vk, std::initializer_list<UINT> modifiers) {
  DWORD thread = GetWindowThreadProcessId(target, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  for (UINT m : modifiers) keys[m] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(target, WM_KEYDOWN, vk, 1);
  PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
  bool settled = Settle(app);
  for (UINT m : modifiers) keys[m] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  return settled;
}
