// Members of the subclass family for dropped files, read-only and disabled
// edits, and the file dialog's mirrored history combo box.
#include <cstring>

#include "ui/subclass.h"
#include "ui/subclass_impl.h"

namespace {

bool IsEditMessage(UINT msg) { return msg >= EM_GETSEL && msg <= 0xD9; }

// The first dropped path, or false when none; DragFinish is the caller's.
bool FirstDroppedPath(WPARAM hDrop, char (&path)[MAX_PATH]) {
  path[0] = 0;
  if (DragQueryFileA((HDROP)hDrop, 0xFFFFFFFF, nullptr, 0) < 1) return false;
  return DragQueryFileA((HDROP)hDrop, 0, path, MAX_PATH) > 0;
}

void PostCommand(HWND parent, HWND reporter, UINT code) {
  PostMessageA(parent, WM_COMMAND, ce::CommandWord(reporter, code), (LPARAM)reporter);
}

// A drop's first path becomes the text of target (a combo box loses its
// selection first); the parent of reporter hears changeCode, then
// CEN_DROPFILES. The drop is freed in any case.
LRESULT TakeDroppedPath(WPARAM hDrop, HWND target, HWND reporter, UINT changeCode, bool clearSelection) {
  char path[MAX_PATH];
  if (FirstDroppedPath(hDrop, path)) {
    if (clearSelection) SendMessageA(target, CB_SETCURSEL, (WPARAM)-1, 0);
    SendMessageA(target, WM_SETTEXT, 0, (LPARAM)path);
    PostCommand(GetParent(reporter), reporter, changeCode);
    PostCommand(GetParent(reporter), reporter, CEN_DROPFILES);
  }
  DragFinish((HDROP)hDrop);
  return 0;
}

HWND Companion(HWND control) { return GetDlgItem(GetParent(control), GetDlgCtrlID(control) ^ CE_COMPANION_XOR); }

bool IsRefusedEdit(UINT msg, WPARAM wParam) {
  switch (msg) {
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
      return true;
    case WM_CHAR:
      // Copying and selecting all stay: the text is still there to read.
      return wParam != 3 && wParam != 1;
    default:
      return msg >= WM_KEYFIRST && msg <= WM_KEYLAST && (wParam == VK_BACK || wParam == VK_DELETE);
  }
}

}  // namespace

LRESULT CALLBACK CeComboDropFilesProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachWithEdit(hwnd, msg, lParam, CeComboDropFilesProc, CeComboEditDropFilesProc, &result)) return result;
  if (msg == WM_DROPFILES) return TakeDroppedPath(wParam, hwnd, hwnd, CEN_EDITCHANGE, true);
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeComboEditDropFilesProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeComboEditDropFilesProc, &result)) return result;
  // The combo box reports the drop on its edit.
  if (msg == WM_DROPFILES) return TakeDroppedPath(wParam, hwnd, GetParent(hwnd), CEN_EDITCHANGE, false);
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeEditDropFilesProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeEditDropFilesProc, &result)) return result;
  if (msg == WM_DROPFILES) return TakeDroppedPath(wParam, hwnd, hwnd, CEN_CHANGE, false);
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeDisabledEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeDisabledEditProc, &result)) return result;
  // The edit never hears that it is disabled, so it keeps its readable look.
  if (msg == WM_ENABLE) return ce::Chain(hwnd, msg, TRUE, lParam);
  if (!IsWindowEnabled(hwnd)) {
    if (msg == WM_GETDLGCODE) return DLGC_STATIC;
    if (msg == WM_SETFOCUS) return 0;
  }
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeReadOnlyEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeReadOnlyEditProc, &result)) return result;
  if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS;
  if (IsRefusedEdit(msg, wParam)) return 0;
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ReadOnlyWhenDisabledProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC chain = (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  if (!chain) chain = (WNDPROC)GetClassLongPtrA(hwnd, GCLP_WNDPROC);
  if (msg == WM_ENABLE) return CallWindowProcA(chain, hwnd, msg, TRUE, lParam);
  if (IsWindowEnabled(hwnd)) {
    if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS;
  } else if (IsRefusedEdit(msg, wParam)) {
    return 0;
  }
  return CallWindowProcA(chain, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeHistoryComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachWithEdit(hwnd, msg, lParam, CeHistoryComboProc, CeComboEditMirrorProc, &result)) return result;
  HWND edit = ce::ComboEdit(hwnd);
  HWND parent = GetParent(hwnd);
  switch (msg) {
    case WM_COMMAND: {
      static const UINT kForwarded[] = {0x300, 0x705, 0x703, 0x500, 0x200, 0x501,
                                        0x702, 0x100, 0x706, 0x400, 0x602, 0x601};
      UINT code = HIWORD(wParam);
      bool forwarded = false;
      for (UINT c : kForwarded) forwarded = forwarded || c == code;
      if (!edit || (HWND)lParam != edit || !forwarded) break;
      result = ce::Chain(hwnd, msg, wParam, lParam);
      SendMessageA(parent, WM_COMMAND, ce::CommandWord(hwnd, code), lParam);
      HWND companion = Companion(hwnd);
      if (code == CEN_CHANGE && companion) {
        char text[MAX_PATH] = "";
        SendMessageA(edit, WM_GETTEXT, MAX_PATH, (LPARAM)text);
        SendMessageA(companion, WM_CE_SETOWNTEXT, 0, (LPARAM)text);
        ce::Chain(hwnd, WM_COMMAND, wParam, lParam);
      }
      return result;
    }
    case WM_NOTIFY:
      if (edit && lParam && ((NMHDR*)lParam)->hwndFrom == edit) {
        SendMessageA(parent, WM_NOTIFY, wParam, lParam);
        return ce::Chain(hwnd, msg, wParam, lParam);
      }
      break;
    case WM_SETTEXT: {
      result = ce::Chain(hwnd, msg, wParam, lParam);
      HWND companion = Companion(hwnd);
      if (companion && lParam) {
        char own[MAX_PATH] = "";
        SendMessageA(companion, WM_CE_GETOWNTEXT, MAX_PATH - 1, (LPARAM)own);
        if (std::strcmp(own, (const char*)lParam) != 0) SendMessageA(companion, WM_CE_SETOWNTEXT, wParam, lParam);
      }
      return result;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      int sel = (int)SendMessageA(hwnd, CB_GETCURSEL, 0, 0);
      if (sel < 0) {
        if (edit) return SendMessageA(edit, msg, wParam, lParam);
        break;
      }
      int len = (int)SendMessageA(hwnd, CB_GETLBTEXTLEN, sel, 0);
      if (msg == WM_GETTEXTLENGTH) return len;
      char* buf = (char*)lParam;
      int size = (int)wParam;
      if (!buf || size <= 0) return 0;
      if (len >= 0 && len < size) return SendMessageA(hwnd, CB_GETLBTEXT, sel, lParam);
      if (len >= 1 && len <= 1023) {
        char item[1024] = "";
        SendMessageA(hwnd, CB_GETLBTEXT, sel, (LPARAM)item);
        std::memcpy(buf, item, size - 1);
        buf[size - 1] = 0;
        return size - 1;
      }
      buf[0] = 0;
      return 0;
    }
    case WM_DROPFILES: {
      if (!(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) break;
      char path[MAX_PATH];
      if (FirstDroppedPath(wParam, path)) {
        SendMessageA(hwnd, CB_SETCURSEL, (WPARAM)-1, 0);
        ce::Chain(hwnd, WM_SETTEXT, 0, (LPARAM)path);
        if (HWND companion = Companion(hwnd)) SendMessageA(companion, WM_CE_SETOWNTEXT, 0, (LPARAM)path);
        PostCommand(parent, hwnd, CEN_EDITCHANGE);
        PostCommand(parent, hwnd, CEN_CHANGE);
        PostCommand(parent, hwnd, CEN_DROPFILES);
      }
      DragFinish((HDROP)wParam);
      return 0;
    }
    case WM_KEYDOWN: {
      CeKeyNotify block = {};
      block.hdr.code = (UINT)NM_KEYDOWN;
      block.key = (UINT)wParam;
      block.lParam = (UINT)lParam;
      if (CeNotifyParent(hwnd, &block)) return 0;
      break;
    }
    default:
      if (IsEditMessage(msg) && edit) return SendMessageA(edit, msg, wParam, lParam);
      break;
  }
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeComboEditMirrorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeComboEditMirrorProc, &result)) return result;
  HWND combo = GetParent(hwnd);
  if (msg == WM_SETTEXT) {
    result = ce::Chain(hwnd, msg, wParam, lParam);
    HWND companion = Companion(combo);
    if (result && companion) {
      char own[1024] = "", text[1024] = "";
      SendMessageA(companion, WM_CE_GETOWNTEXT, sizeof own, (LPARAM)own);
      ce::Chain(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text);
      if (std::strcmp(own, text) != 0) {
        SendMessageA(companion, WM_CE_SETOWNTEXT, 0, (LPARAM)text);
        SendMessageA(GetParent(combo), WM_COMMAND, ce::CommandWord(combo, CEN_CHANGE), (LPARAM)combo);
      }
    }
    return result;
  }
  if (msg == WM_KEYDOWN) {
    CeKeyNotify block = {};
    block.hdr.code = (UINT)NM_KEYDOWN;
    block.key = (UINT)wParam;
    block.lParam = (UINT)lParam;
    if (CeNotifyParent(hwnd, &block)) return 0;
  }
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeCompanionMirrorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeCompanionMirrorProc, &result)) return result;
  if (msg == WM_CE_SETOWNTEXT) return ce::Chain(hwnd, WM_SETTEXT, wParam, lParam);
  if (msg == WM_CE_GETOWNTEXT) return ce::Chain(hwnd, WM_GETTEXT, wParam, lParam);
  if (IsEditMessage(msg) || msg == WM_SETTEXT || msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) {
    result = ce::Chain(hwnd, msg, wParam, lParam);
    HWND companion = Companion(hwnd);
    return companion ? SendMessageA(companion, msg, wParam, lParam) : result;
  }
  if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
    if (HWND companion = Companion(hwnd)) {
      CeKeyNotify block = {};
      block.hdr.code = (UINT)NM_KEYDOWN;
      block.key = (UINT)wParam;
      block.lParam = (UINT)lParam;
      if (CeNotifyParent(companion, &block)) return 0;
    }
  }
  return ce::Chain(hwnd, msg, wParam, lParam);
}
