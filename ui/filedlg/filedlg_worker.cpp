// The worker that lists the current folder for the autocompletion pop-up.
#include <cstring>
#include <string>
#include <vector>

#include "system/pathparts.h"
#include "ui/filedlg/filedlg.h"
#include "ui/filedlg/filedlg_state.h"
#include "ui/popuplist.h"

namespace {
const size_t kMaxNames = 2000;
const int kMaxPosted = 100;

// Posts a heap copy of the name to the pop-up; false when the post failed
// (the copy is freed).
bool PostName(HWND popup, const std::string& name) {
  char* copy = (char*)HeapAlloc(GetProcessHeap(), 0, name.size() + 1);
  if (!copy) return false;
  memcpy(copy, name.c_str(), name.size() + 1);
  if (PostMessageA(popup, kPopupListAddString, kPopupListStringMarker, (LPARAM)copy)) return true;
  HeapFree(GetProcessHeap(), 0, copy);
  return false;
}
}  // namespace

DWORD WINAPI FileDlgFolderThread(LPVOID param) {
  HWND dialog = (HWND)param;
  FileDlgState& s = FileDlg();
  InterlockedIncrement(&s.liveWorkers);
  HWND popup = s.req.popup;
  HANDLE stop = s.req.stopEvent;
  std::vector<std::string> names;
  HANDLE search = INVALID_HANDLE_VALUE;
  std::string typed;
  size_t scan = 0;
  int posted = 0;
  for (unsigned round = 0; WaitForSingleObject(stop, 0) == WAIT_TIMEOUT; ++round) {
    char folder[260] = "", text[260] = "";
    bool folderChanged, textChanged;
    EnterCriticalSection(&s.lock);
    folderChanged = s.folderChanged, textChanged = s.textChanged;
    if (folderChanged) lstrcpynA(folder, s.folder, 256);
    if (textChanged) lstrcpynA(text, s.typed, 256);
    s.folderChanged = s.textChanged = FALSE;
    LeaveCriticalSection(&s.lock);
    WIN32_FIND_DATAA fd;
    bool found = false;
    if (folderChanged) {
      if (search != INVALID_HANDLE_VALUE) FindClose(search), search = INVALID_HANDLE_VALUE;
      names.clear();
      scan = 0, posted = 0;
      PostMessageA(popup, LB_RESETCONTENT, 0, 0);
      if (folder[0]) {
        AppendBackslash(folder);
        lstrcatA(folder, "*");
        search = FindFirstFileA(folder, &fd);
        found = search != INVALID_HANDLE_VALUE;
      }
    } else if (search != INVALID_HANDLE_VALUE) {
      found = FindNextFileA(search, &fd) != FALSE;
      if (!found) FindClose(search), search = INVALID_HANDLE_VALUE;
    }
    if (textChanged) {
      typed = text;
      scan = 0, posted = 0;
      PostMessageA(popup, LB_RESETCONTENT, 0, 0);
    }
    if (found && strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) {
      names.push_back(fd.cFileName);
      if (names.size() > kMaxNames && search != INVALID_HANDLE_VALUE) FindClose(search), search = INVALID_HANDLE_VALUE;
    }
    InterlockedExchange(&s.heldNames, (LONG)names.size());
    InterlockedExchange(&s.searchOpen, search != INVALID_HANDLE_VALUE);
    if (!typed.empty() && scan < names.size() && posted < kMaxPosted) {
      if (_strnicmp(names[scan].c_str(), typed.c_str(), typed.size()) == 0) {
        if (!PostName(popup, names[scan])) {
          WaitForSingleObject(stop, 10);
          continue;  // the same name in the next round
        }
        if (posted == 0 &&
            !PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILEDLG_POPUP, FILEDLG_POPUP_SHOW), (LPARAM)popup)) {
          WaitForSingleObject(stop, 10);
          PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILEDLG_POPUP, FILEDLG_POPUP_SHOW), (LPARAM)popup);
        }
        ++posted;
      }
      ++scan;
    }
    if (search == INVALID_HANDLE_VALUE && (scan >= names.size() || typed.empty() || posted >= kMaxPosted))
      WaitForSingleObject(stop, 100);  // idle: woken by the stop event at once
    else if ((round & 255) == 255)
      WaitForSingleObject(stop, 10);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  InterlockedDecrement(&s.liveWorkers);
  return 0;
}

void StopFileDlgWorker(FileDlgRequest& req) {
  if (req.worker) {
    SetEvent(req.stopEvent);
    WaitForSingleObject(req.worker, INFINITE);
    CloseHandle(req.worker);
    CloseHandle(req.stopEvent);
    req.worker = req.stopEvent = nullptr;
  }
  if (req.popup) {
    // Names still queued for the pop-up are heap copies: freed here.
    MSG msg;
    while (PeekMessageA(&msg, req.popup, kPopupListAddString, kPopupListInsertString, PM_REMOVE))
      if ((msg.wParam & kPopupListMarkerMask) == kPopupListStringMarker)
        HeapFree(GetProcessHeap(), 0, (void*)msg.lParam);
    if (IsWindow(req.popup)) DestroyWindow(req.popup);
    req.popup = nullptr;
  }
  req.combo = nullptr;
}
