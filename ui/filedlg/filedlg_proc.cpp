// The hook procedure of every request and the replacement procedure of the
// main dialog: the history combo box, the pop-up list and its worker.
#include <windowsx.h>

#include <cstring>

#include "ui/clipboard.h"
#include "ui/filedlg/filedlg.h"
#include "ui/filedlg/filedlg_state.h"
#include "ui/popuplist.h"
#include "ui/subclass.h"

namespace {
const int kFirstWidth = 600, kFirstHeight = 450;

INT_PTR CallSaved(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC saved = FileDlg().req.savedDlgProc;
  return saved ? CallWindowProcA(saved, hwnd, msg, wParam, lParam) : 0;
}

int FieldOf(HWND dialog) {
  if (GetDlgItem(dialog, IDC_FILEDLG_FIELD)) return IDC_FILEDLG_FIELD;
  if (GetDlgItem(dialog, IDC_FILEDLG_FIELD_WINE)) return IDC_FILEDLG_FIELD_WINE;
  return 0;
}

void HidePopup() {
  HWND popup = FileDlg().req.popup;
  if (popup && IsWindowVisible(popup)) ShowWindow(popup, SW_HIDE);
}

// The combo box's text as a chosen item: no selection, the text, all of it
// selected.
void PutComboText(HWND combo, const char* text) {
  SendMessageA(combo, CB_SETCURSEL, (WPARAM)-1, 0);
  SetWindowTextA(combo, text);
  SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, 255));
}

void ComboText(HWND combo, char* text, int size) {
  int sel = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
  text[0] = 0;
  if (sel >= 0 && SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0) < size)
    SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)text);
  else
    GetWindowTextA(combo, text, size);
}

void EnlargeFirst(HWND dialog) {
  FileDlgState& s = FileDlg();
  if (s.enlargedOnce || s.reentry) return;
  s.enlargedOnce = s.reentry = TRUE;
  int cx = kFirstWidth, cy = kFirstHeight + s.extraHeight;
  int icon = GetSystemMetrics(SM_CXICON);
  if (icon > 32) cx = icon * cx / 32, cy = icon * cy / 32;
  SetWindowPos(dialog, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE);
  s.reentry = FALSE;
}

void ShowCaption(HWND dialog) {
  FileDlgRequest& req = FileDlg().req;
  if (!req.caption) return;
  RECT rc;
  int w = 450;
  HWND field = GetDlgItem(dialog, req.fieldId ? req.fieldId : FieldOf(dialog));
  if (field && GetClientRect(field, &rc)) w = rc.right;
  HWND check = GetDlgItem(dialog, IDC_FILEDLG_READONLY);
  if (check && GetWindowRect(check, &rc) && rc.right - rc.left < w)
    SetWindowPos(check, nullptr, 0, 0, w, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOMOVE);
  if (FileDlg().saveRequest) {
    char ok[32] = "";
    GetDlgItemTextA(dialog, IDOK, ok, sizeof ok);
    SetDlgItemTextA(dialog, IDOK, strcmp(ok, "Ö&ffnen") == 0 ? "&Speichern" : "&Save");
  }
  if (check) SetWindowTextA(check, req.caption);
  delete[] req.caption;
  req.caption = nullptr;
}

void CreateHistoryCombo(HWND dialog) {
  FileDlgState& s = FileDlg();
  FileDlgRequest& req = s.req;
  int id = FieldOf(dialog);
  if (req.mode == OFN_EX_NO_HISTORY || !id || req.combo) return;
  HWND field = GetDlgItem(dialog, id);
  RECT rc;
  GetWindowRect(field, &rc);
  MapWindowPoints(nullptr, dialog, (POINT*)&rc, 2);
  HWND combo = CreateWindowExA(WS_EX_ACCEPTFILES, "ComboBox", "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_AUTOHSCROLL | CBS_DROPDOWN, rc.left, rc.top,
                               rc.right - rc.left, 260, dialog, (HMENU)(INT_PTR)id,
                               (HINSTANCE)GetWindowLongPtrA(dialog, GWLP_HINSTANCE), nullptr);
  if (!combo) return;
  SetWindowPos(combo, field, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  char text[260] = "";
  GetWindowTextA(field, text, sizeof text);
  SetWindowTextA(combo, text);
  SendMessageA(combo, WM_SETFONT, SendMessageA(field, WM_GETFONT, 0, 0), FALSE);
  ShowWindow(field, SW_HIDE);
  SetWindowLongPtrA(field, GWLP_ID, id ^ CE_COMPANION_XOR);
  CeInitSubclassing();
  CeSubclassWindow(field, CeCompanionMirrorProc);
  CeSubclassWindow(combo, CeHistoryComboProc);
  SetFocus(combo);
  req.combo = combo;
  req.fieldId = id;
  LoadSaveFileDlgHistory(combo, req.mode, req.source, FALSE);

  if (req.popup) return;
  req.popup = CreatePopupList(0, WS_BORDER, nullptr, dialog, IDC_FILEDLG_POPUP);
  if (!req.popup || req.worker) return;
  req.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EnterCriticalSection(&s.lock);
  s.folderChanged = s.textChanged = TRUE;
  LeaveCriticalSection(&s.lock);
  req.worker = CreateThread(nullptr, 0, FileDlgFolderThread, dialog, 0, nullptr);
}

void Record(HWND dialog, const char* text) {
  FileDlgRequest& req = FileDlg().req;
  if (req.combo) RecordFileDlgHistory(req.combo, text, req.mode, req.source, req.saveMarker);
  (void)dialog;
}

BOOL OnKeyNotify(HWND dialog, CeKeyNotify* block) {
  FileDlgRequest& req = FileDlg().req;
  if (!req.popup) return FALSE;
  if (block->key == VK_DOWN || block->key == VK_UP) {
    if (!IsWindowVisible(req.popup)) return FALSE;
    int step = block->key == VK_DOWN ? 1 : -1;
    int cur = (int)SendMessageA(req.popup, LB_GETCURSEL, 0, 0);
    SendMessageA(req.popup, LB_SETCURSEL, cur + step, 0);
    int now = (int)SendMessageA(req.popup, LB_GETCURSEL, 0, 0);
    if (now != cur && now >= 0) {
      char text[MAX_PATH] = "";
      if (SendMessageA(req.popup, LB_GETTEXTLEN, now, 0) < MAX_PATH)
        SendMessageA(req.popup, LB_GETTEXT, now, (LPARAM)text);
      PutComboText(req.combo, text);
    }
    block->hdr.idFrom = CE_KEY_HANDLED;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
  }
  if (block->key == VK_RETURN && (int)block->hdr.idFrom == req.fieldId && req.combo) {
    char text[260];
    ComboText(req.combo, text, sizeof text);
    bool changed = false;
    for (char* p = text; *p; ++p)
      if (*p == '/') *p = '\\', changed = true;
    if (changed) PutComboText(req.combo, text);
  }
  return FALSE;
}

INT_PTR OnCommand(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  FileDlgState& s = FileDlg();
  FileDlgRequest& req = s.req;
  int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDC_FILEDLG_POPUP && req.popup) {
    if (code == 1) {
      int sel = (int)SendMessageA(req.popup, LB_GETCURSEL, 0, 0);
      char text[MAX_PATH] = "";
      if (sel >= 0 && SendMessageA(req.popup, LB_GETTEXTLEN, sel, 0) < MAX_PATH)
        SendMessageA(req.popup, LB_GETTEXT, sel, (LPARAM)text);
      if (text[0]) {
        PutComboText(req.combo, text);
        HidePopup();
      }
    } else if (code == FILEDLG_POPUP_SHOW) {
      EnterCriticalSection(&s.lock);
      bool typed = s.typed[0] != 0;
      LeaveCriticalSection(&s.lock);
      if (typed && !IsWindowVisible(req.popup) && !SendMessageA(req.combo, CB_GETDROPPEDSTATE, 0, 0)) {
        RECT rc;
        GetWindowRect(req.combo, &rc);
        SetWindowPos(req.popup, nullptr, rc.left, rc.bottom, rc.right - rc.left - 20, 120,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(req.popup, SW_SHOWNOACTIVATE);
      }
    }
    return CallSaved(dialog, msg, wParam, lParam);
  }
  if (id == req.fieldId && req.combo && (HWND)lParam == req.combo) {
    switch (code) {
      case CBN_KILLFOCUS: {
        HWND focus = GetFocus();
        if (req.popup && focus != req.popup && !IsChild(req.popup, focus)) HidePopup();
        break;
      }
      case CBN_EDITCHANGE: {
        char text[260] = "";
        GetWindowTextA(req.combo, text, 260);
        EnterCriticalSection(&s.lock);
        lstrcpynA(s.typed, text, sizeof s.typed);
        s.textChanged = TRUE;
        LeaveCriticalSection(&s.lock);
        if (!text[0]) HidePopup();
        break;
      }
      case CBN_DROPDOWN:
        HidePopup();
        break;
      case CBN_CLOSEUP: {
        if (req.mode == OFN_EX_NO_HISTORY) break;
        int sel = (int)SendMessageA(req.combo, CB_GETCURSEL, 0, 0);
        char text[MAX_PATH] = "";
        if (sel >= 0 && SendMessageA(req.combo, CB_GETLBTEXTLEN, sel, 0) < MAX_PATH) {
          SendMessageA(req.combo, CB_GETLBTEXT, sel, (LPARAM)text);
          DWORD attr = GetFileAttributesA(text);
          if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        break;
      }
      case CEN_CHANGE: {
        if (req.mode == OFN_EX_NO_HISTORY) break;
        HWND field = GetDlgItem(dialog, req.fieldId ^ CE_COMPANION_XOR);
        char own[260] = "", text[260] = "";
        if (field) SendMessageA(field, WM_CE_GETOWNTEXT, sizeof own, (LPARAM)own);
        GetWindowTextA(req.combo, text, sizeof text);
        if (field && strcmp(own, text) != 0) SendMessageA(field, WM_CE_SETOWNTEXT, 0, (LPARAM)text);
        CallSaved(dialog, WM_COMMAND, MAKEWPARAM(req.fieldId, CEN_CHANGE), (LPARAM)req.combo);
        break;
      }
    }
    return CallSaved(dialog, msg, wParam, lParam);
  }
  if (id == IDOK && req.combo && req.mode != OFN_EX_NO_HISTORY && req.mode != OFN_EX_HISTORY_LIST) {
    char text[260] = "";
    GetWindowTextA(req.combo, text, 260);
    Record(dialog, text);
  }
  if (id == (int)ID_FILEDLG_COPYPATH) {
    char folder[260] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, 259, (LPARAM)folder);
    if (folder[0]) SetClipboardText(folder, -1);
    return TRUE;
  }
  return CallSaved(dialog, msg, wParam, lParam);
}

// The common dialog's notifications (from the hook) and the key blocks of
// the combo box (to the main dialog); true when a key was taken.
bool HandleNotify(HWND dialog, LPARAM lParam) {
  FileDlgState& s = FileDlg();
  FileDlgRequest& req = s.req;
  NMHDR* hdr = (NMHDR*)lParam;
  if (hdr->code == (UINT)NM_KEYDOWN) {
    return OnKeyNotify(dialog, (CeKeyNotify*)lParam) != FALSE;
  } else if (hdr->code == (UINT)CDN_FOLDERCHANGE) {
    HidePopup();
    char folder[260] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, 259, (LPARAM)folder);
    EnterCriticalSection(&s.lock);
    lstrcpynA(s.folder, folder, sizeof s.folder);
    s.folderChanged = s.textChanged = TRUE;
    s.typed[0] = 0;
    LeaveCriticalSection(&s.lock);
  } else if (hdr->code == (UINT)CDN_FILEOK && req.mode != OFN_EX_NO_HISTORY) {
    HidePopup();
    OFNOTIFYA* n = (OFNOTIFYA*)lParam;
    if (n->lpOFN && n->lpOFN->lpstrFile) {
      char file[260];
      lstrcpynA(file, n->lpOFN->lpstrFile, sizeof file);
      Record(dialog, file);
    }
  }
  return false;
}
}  // namespace

UINT_PTR CALLBACK FileDlgHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FileDlgRequest& req = FileDlg().req;
  HWND main = GetParent(hwnd);
  if (!req.savedDlgProc && main) {
    req.savedDlgProc = (WNDPROC)GetWindowLongPtrA(main, DWLP_DLGPROC);
    SetWindowLongPtrA(main, DWLP_DLGPROC, (LONG_PTR)FileDlgDialogProc);
  }
  // A plain caller's window gets the common dialog's notifications here; a
  // framework object's window hands them over through CFileDialogNew.
  if (msg == WM_NOTIFY && main && hwnd != FileDlg().takenOver) {
    UINT code = ((NMHDR*)lParam)->code;
    if (code >= (UINT)CDN_LAST && code <= (UINT)CDN_FIRST) HandleNotify(main, lParam);
  }
  UINT_PTR result = req.callerHook ? req.callerHook(hwnd, msg, wParam, lParam) : 0;
  // After the caller's hook, which starts the caller's object on the window.
  if (msg == WM_INITDIALOG) FileDlgTakeOverHookWindow(hwnd);
  return result;
}

INT_PTR CALLBACK FileDlgDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  FileDlgRequest& req = FileDlg().req;
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wParam) {
        EnlargeFirst(dialog);
        ShowCaption(dialog);
        CreateHistoryCombo(dialog);
      }
      break;
    case WM_DESTROY:
      StopFileDlgWorker(req);
      break;
    case WM_MOVING:
    case WM_LBUTTONDOWN:
      HidePopup();
      break;
    case WM_CONTEXTMENU:
      if ((HWND)wParam == dialog) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, ID_FILEDLG_COPYPATH, "Kopiere aktuellen Pfad");
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0, dialog, nullptr);
        DestroyMenu(menu);
        return 0;
      }
      break;
    case WM_COMMAND:
      return OnCommand(dialog, msg, wParam, lParam);
    case WM_NOTIFY:
      if (((NMHDR*)lParam)->code == (UINT)NM_KEYDOWN && HandleNotify(dialog, lParam)) return TRUE;
      if (((NMHDR*)lParam)->code >= (UINT)CDN_LAST && ((NMHDR*)lParam)->code <= (UINT)CDN_FIRST)
        HandleNotify(dialog, lParam);
      break;
  }
  return CallSaved(dialog, msg, wParam, lParam);
}
