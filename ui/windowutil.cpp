#include "ui/windowutil.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const int kMaxItemText = 255;

// The box's messages: combo boxes have their own numbers.
struct BoxMessages {
  UINT add, insert, remove, count, textLen, text, getSel, setSel;
};
const BoxMessages kListBox = {LB_ADDSTRING,  LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT,
                              LB_GETTEXTLEN, LB_GETTEXT,      LB_GETCURSEL,    LB_SETCURSEL};
const BoxMessages kComboBox = {CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT,
                               CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETCURSEL,    CB_SETCURSEL};

const BoxMessages& MessagesOf(HWND box) {
  char cls[32] = "";
  GetClassNameA(box, cls, sizeof cls);
  return lstrcmpiA(cls, "ComboBox") == 0 ? kComboBox : kListBox;
}

// An item's text; long items through a heap buffer.
std::vector<char> ItemText(HWND box, const BoxMessages& m, int index) {
  LRESULT n = SendMessageA(box, m.textLen, index, 0);
  std::vector<char> text(n > 0 ? n + 1 : 1, 0);
  if (n > 0) SendMessageA(box, m.text, index, (LPARAM)text.data());
  return text;
}
}  // namespace

HWND ChildWindowFromScreenPoint(POINT pt, HWND parent, BOOL visibleOnly) {
  HWND current = parent;
  for (;;) {
    HWND child = nullptr;
    while ((child = FindWindowExA(current, child, nullptr, nullptr)) != nullptr) {
      if (visibleOnly && !(GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE)) continue;
      RECT rc;
      if (GetWindowRect(child, &rc) && PtInRect(&rc, pt)) break;
    }
    if (!child) return current;
    current = child;
  }
}

CWnd* ChildCWndFromScreenPoint(POINT pt, CWnd* pParent, BOOL visibleOnly) {
  HWND hwnd = ChildWindowFromScreenPoint(pt, pParent ? pParent->GetSafeHwnd() : nullptr, visibleOnly);
  return hwnd ? CWnd::FromHandle(hwnd) : nullptr;
}

int FillListFromString(HWND box, const char* list, char separator, BOOL clear) {
  const BoxMessages& m = MessagesOf(box);
  int sel = (int)SendMessageA(box, m.getSel, 0, 0);
  std::vector<char> selText;
  if (sel >= 0) selText = ItemText(box, m, sel);
  if (clear)
    while (SendMessageA(box, m.remove, 0, 0) >= 0) {
    }
  int added = 0;
  if (list) {
    const char* p = list;
    for (;;) {
      const char* end = p;
      if (separator)
        while (*end && *end != separator) ++end;
      else
        end += std::strlen(p);
      int n = (int)(end - p);
      if (n > 0) {
        char piece[kMaxItemText + 1];
        if (n > kMaxItemText) n = kMaxItemText;
        std::memcpy(piece, p, n);
        piece[n] = 0;
        if (SendMessageA(box, m.add, 0, (LPARAM)piece) >= 0) ++added;
      }
      if (separator ? *end == 0 : end == p) break;
      p = end + 1;
    }
  }
  if (sel >= 0) {
    int count = (int)SendMessageA(box, m.count, 0, 0);
    for (int i = 0; i < count; ++i)
      if (std::strcmp(ItemText(box, m, i).data(), selText.data()) == 0) {
        SendMessageA(box, m.setSel, i, 0);
        break;
      }
  }
  return added;
}

int InsertListItemMru(HWND box, const char* text, int maxCount, BOOL caseSensitive) {
  const BoxMessages& m = MessagesOf(box);
  bool hadSelection = SendMessageA(box, m.getSel, 0, 0) >= 0;
  SendMessageA(box, m.insert, 0, (LPARAM)text);
  for (int i = 1; i < (int)SendMessageA(box, m.count, 0, 0);) {
    bool remove = i > maxCount;
    if (!remove) {
      std::vector<char> item = ItemText(box, m, i);
      remove = (caseSensitive ? std::strcmp(item.data(), text) : _stricmp(item.data(), text)) == 0;
    }
    if (!remove) {
      ++i;
    } else if (SendMessageA(box, m.remove, i, 0) < 0) {
      break;
    }
  }
  if (hadSelection) SendMessageA(box, m.setSel, 0, 0);
  return 0;
}

void ForceForegroundWindow(HWND hwnd) {
  DWORD self = GetCurrentThreadId();
  DWORD other = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  bool attached = other && other != self && AttachThreadInput(other, self, TRUE);
  BringWindowToTop(hwnd);
  ShowWindow(hwnd, IsZoomed(hwnd) ? SW_MAXIMIZE : SW_RESTORE);
  if (attached) AttachThreadInput(other, self, FALSE);
}

int AttachConsoleStdout() {
  static bool s_done = false;
  if (s_done) return 1;
  s_done = true;
  AllocConsole();
  int fd = _open_osfhandle((intptr_t)GetStdHandle(STD_OUTPUT_HANDLE), _O_TEXT);
  if (fd < 0) return 1;
  std::fflush(stdout);
  if (_fileno(stdout) >= 0) {
    // A descriptor of its own: replaced, so that every runtime's stdout
    // writes to the console.
    _dup2(fd, _fileno(stdout));
  } else if (FILE* stream = _fdopen(fd, "w")) {
    // A GUI program's stdout has none (-2): a stream on the console takes
    // its place.
    *stdout = *stream;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  return 1;
}
