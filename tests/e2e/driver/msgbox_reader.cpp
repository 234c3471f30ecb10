#include "e2e/driver/msgbox_reader.h"

#include "ui/colorlistbox.h"
#include "ui/msgbox.h"

std::vector<std::string> MsgBoxLines(HANDLE process, HWND box) {
  std::vector<std::string> lines;
  HWND list = GetDlgItem(box, kMsgBoxTextId);
  int count = list ? (int)SendMessageA(list, CLB_GETCOUNT, 0, 0) : 0;
  for (int i = 0; i < count; i++) {
    LRESULT length = SendMessageA(list, CLB_GETTEXTLEN, i, 0);
    void* at = (void*)SendMessageA(list, CLB_GETTEXTADDRESS, i, 0);
    if (length < 0 || length > 4096 || !at) {
      lines.push_back("<unreadable>");
      continue;
    }
    std::string text(length, '\0');
    SIZE_T got = 0;
    if (length && (!ReadProcessMemory(process, at, &text[0], length, &got) || got != (SIZE_T)length))
      text = "<unreadable>";
    lines.push_back(text);
  }
  return lines;
}
