// The state shared by the pieces of the file-dialog extension.
#pragma once

#include <windows.h>
#include <commdlg.h>

class CFileDialogNew;

typedef BOOL(WINAPI* FileDlgFunction)(LPOPENFILENAMEA);

// What belongs to one request; saved and restored around a nested one.
struct FileDlgRequest {
  char* caption = nullptr;  // of the read-only check box, until shown
  LPCSTR source = "";       // history source
  DWORD mode = 0;
  BOOL saveMarker = FALSE;
  WNDPROC savedDlgProc = nullptr;
  LPOFNHOOKPROC callerHook = nullptr;
  int fieldId = 0;  // the field the combo box took the place of
  HWND combo = nullptr, popup = nullptr;
  HANDLE worker = nullptr, stopEvent = nullptr;
};

struct FileDlgState {
  FileDlgFunction open = nullptr, save = nullptr;
  BOOL saveRequest = FALSE;
  int extraHeight = 0;
  BOOL firstDialog = FALSE, enlargedOnce = FALSE, reentry = FALSE;
  FileDlgRequest req;
  // The message target of framework callers' hook windows, made on the
  // first dialog, and the hook window it holds now.
  CFileDialogNew* object = nullptr;
  HWND takenOver = nullptr;
  // Shared with the worker, under lock.
  CRITICAL_SECTION lock;
  char folder[260] = "";
  char typed[260] = "";
  BOOL folderChanged = FALSE, textChanged = FALSE;
  LONG liveWorkers = 0;
  // Written by the worker: the names it holds for the folder, and whether
  // its search of the folder is still open.
  LONG heldNames = 0, searchOpen = 0;
};

FileDlgState& FileDlg();
DWORD WINAPI FileDlgFolderThread(LPVOID mainDialog);
// Makes the file-dialog object once and lets it take the hook window over
// from a framework caller's object.
void FileDlgTakeOverHookWindow(HWND hookWindow);
// Stops and joins the request's worker, frees the names still queued for
// the pop-up, destroys the pop-up.
void StopFileDlgWorker(FileDlgRequest& req);
