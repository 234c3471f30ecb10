// Helpers of the hex view's command tests: search-item lists, the
// clipboard, and the texts of the library's message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/window_util.h"
#include "ui/clipboard.h"
#include "ui/msgbox.h"
#include "viewers/tools/strlist.h"

// A string list (new[] block) of the strings in order.
inline char* MakeStrList(const std::vector<std::string>& strings) {
  char* list = nullptr;
  for (size_t i = 0; i < strings.size(); ++i) StrListInsertAt(&list, strings[i].c_str(), (int)i);
  return list;
}

inline std::string ClipboardString() {
  int length = 0;
  char* text = GetClipboardText(&length);
  std::string s = text ? std::string(text, (size_t)length) : std::string();
  delete[] text;
  return s;
}

// <build>\tests\viewers\hex\screens\name, made when missing.
inline std::string HexScreenFile(const char* name) { return ScreensPathIn("hex", name); }

// The text of a message box of the library: the lines of its list.
inline std::string MsgBoxText(HWND box) {
  HWND list = ::GetDlgItem(box, kMsgBoxTextId);
  std::string all;
  const int count = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    char text[512] = "";
    ::SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
    all += (i ? "\n" : "") + std::string(text);
  }
  return all;
}
