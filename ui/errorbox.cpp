#include "ui/errorbox.h"

#include "mfc/mfc.h"
#include "ui/msgbox.h"

CString FormatWin32Error(const char* text, DWORD code) {
  if (code == (DWORD)-1) code = GetLastError();
  char buf[2048];
  int n = wsprintfA(buf, "%.896s\n\nErrorCode: %i / %08Xh\n", text ? text : "", (int)code, (unsigned)code);
  DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf + n,
                             (DWORD)(sizeof buf - n - 1), nullptr);
  buf[n + got] = 0;
  return CString(buf);
}

int ShowWin32Error(const char* text, DWORD code, UINT type) {
  CString msg = FormatWin32Error(text, code);
  CWnd* main = AfxGetMainWnd();
  return MsgBox(main ? main->m_hWnd : nullptr, msg, "Fehler", (type & 0xF) | MB_ICONERROR);
}
