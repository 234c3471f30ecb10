// The subclass family's attach protocol, the key handling and the combo box
// that keeps its edit selection.
#include "ui/subclass.h"

#include "ui/subclass_impl.h"

namespace {

ATOM g_atom;
WNDPROC g_editProc, g_comboProc;

// Where the selection the edit had when it lost the focus is kept, plus one
// (0 = none). Not in the edit's id, which the dialog still needs.
const char kSavedSelProp[] = "CeSavedSel";

WNDPROC StoredProc(HWND hwnd) { return (WNDPROC)GetPropW(hwnd, (LPCWSTR)(UINT_PTR)CeInitSubclassing()); }

}  // namespace

ATOM CeInitSubclassing() {
  // The UI thread makes it; a repeat only finds the same atom again.
  if (!g_atom) {
    WNDCLASSA wc;
    if (GetClassInfoA(nullptr, "EDIT", &wc)) g_editProc = wc.lpfnWndProc;
    if (GetClassInfoA(nullptr, "COMBOBOX", &wc)) g_comboProc = wc.lpfnWndProc;
    g_atom = GlobalAddAtomW(L"CeData");
  }
  return g_atom;
}

WNDPROC CeEditClassProc() {
  CeInitSubclassing();
  return g_editProc;
}

WNDPROC CeComboClassProc() {
  CeInitSubclassing();
  return g_comboProc;
}

LRESULT CeSubclassWindow(HWND hwnd, WNDPROC proc) {
  CeInitSubclassing();
  return proc(hwnd, WM_CE_ATTACH, 0, 0);
}

LRESULT CeSubclassWindowChecked(HWND hwnd, WNDPROC proc) { return proc ? CeSubclassWindow(hwnd, proc) : 0; }

LRESULT CeUnsubclassWindow(HWND hwnd) { return StoredProc(hwnd) ? SendMessageA(hwnd, WM_CE_DETACH, 0, 0) : 0; }

int SubclassWindowUserData(HWND hwnd, WNDPROC proc) {
  if (!proc) return 0;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)proc);
  return 1;
}

LRESULT CeNotifyParent(HWND control, CeKeyNotify* block) {
  block->hdr.hwndFrom = control;
  int id = GetDlgCtrlID(control);
  block->hdr.idFrom = (UINT_PTR)(UINT)id;
  LRESULT answer = SendMessageA(GetParent(control), WM_NOTIFY, (WPARAM)(UINT)id, (LPARAM)block);
  return block->hdr.idFrom == CE_KEY_HANDLED ? 1 : answer;
}

namespace ce {

bool AttachMessage(HWND hwnd, UINT msg, LPARAM lParam, WNDPROC self, LRESULT* result) {
  ATOM atom = CeInitSubclassing();
  LPCWSTR prop = (LPCWSTR)(UINT_PTR)atom;
  if (msg == WM_CE_ATTACH) {
    *result = 0;
    if (GetPropW(hwnd, prop)) return true;  // two members would call each other
    WNDPROC chain = (WNDPROC)lParam;
    if (!chain) {
      chain = (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
      if (chain == self) chain = (WNDPROC)GetClassLongPtrA(hwnd, GCLP_WNDPROC);
    }
    if (!chain || !SetPropW(hwnd, prop, (HANDLE)chain)) return true;
    if (!lParam) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)self);
    *result = 1;
    return true;
  }
  if (msg == WM_CE_DETACH) {
    WNDPROC stored = (WNDPROC)GetPropW(hwnd, prop);
    if (!lParam && stored) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)stored);
    RemovePropW(hwnd, prop);
    *result = (LRESULT)stored;
    return true;
  }
  return false;
}

bool AttachWithEdit(HWND combo, UINT msg, LPARAM lParam, WNDPROC self, WNDPROC childProc, LRESULT* result) {
  if (!AttachMessage(combo, msg, lParam, self, result)) return false;
  HWND edit = ComboEdit(combo);
  if (msg == WM_CE_ATTACH && *result && edit) {
    *result = CeSubclassWindow(edit, childProc);
  } else if (msg == WM_CE_DETACH && edit && (WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC) == childProc) {
    SendMessageA(edit, WM_CE_DETACH, 0, 0);
  }
  return true;
}

LRESULT Chain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = StoredProc(hwnd);
  // Detached while a message was under way: the class still answers.
  if (!proc) proc = (WNDPROC)GetClassLongPtrA(hwnd, GCLP_WNDPROC);
  return CallWindowProcA(proc, hwnd, msg, wParam, lParam);
}

HWND ComboEdit(HWND combo) { return FindWindowExA(combo, nullptr, "Edit", nullptr); }

WPARAM CommandWord(HWND control, UINT code) { return MAKEWPARAM(GetDlgCtrlID(control), code); }

}  // namespace ce

namespace {

struct KeyRules {
  bool combo;       // closes the list first and opens it on Down
  bool withReturn;  // Return is offered besides Tab
  UINT returnCode;  // NM_RETURN or NM_KEYDOWN
};

// Keys act on WM_KEYDOWN only: the character '(' is 0x28, the code of Down,
// and must be typed. The character and key-up messages of an eaten key are
// dropped.
bool HandleKey(HWND reporter, UINT msg, WPARAM wParam, LPARAM lParam, const KeyRules& rules, UINT* lastEaten,
               LRESULT* result) {
  if (msg < WM_KEYFIRST || msg > WM_KEYLAST) return false;
  *result = 0;
  if (msg != WM_KEYDOWN) {
    return *lastEaten && wParam == *lastEaten;
  }
  if (wParam == VK_TAB || (wParam == VK_RETURN && rules.withReturn)) {
    if (rules.combo) SendMessageA(reporter, CB_SHOWDROPDOWN, FALSE, 0);
    CeKeyNotify block = {};
    block.hdr.code = wParam == VK_RETURN ? rules.returnCode : (UINT)NM_KEYDOWN;
    block.key = (UINT)wParam;
    block.lParam = (UINT)lParam;
    if (CeNotifyParent(reporter, &block)) {
      *lastEaten = (UINT)wParam;
      return true;
    }
    *lastEaten = 0;
    return false;
  }
  if (wParam == VK_DOWN && rules.combo && !SendMessageA(reporter, CB_GETDROPPEDSTATE, 0, 0) &&
      SendMessageA(reporter, CB_GETCOUNT, 0, 0) > 0) {
    SendMessageA(reporter, CB_SHOWDROPDOWN, TRUE, 0);
    return true;
  }
  return false;
}

UINT g_comboLastKey, g_comboEditLastKey, g_editLastKey;

}  // namespace

LRESULT CALLBACK CeComboKeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachWithEdit(hwnd, msg, lParam, CeComboKeyProc, CeComboEditKeyProc, &result)) return result;
  static const KeyRules rules = {true, false, (UINT)NM_KEYDOWN};
  if (HandleKey(hwnd, msg, wParam, lParam, rules, &g_comboLastKey, &result)) return result;
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeComboEditKeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeComboEditKeyProc, &result)) return result;
  static const KeyRules rules = {true, true, (UINT)NM_RETURN};
  if (HandleKey(GetParent(hwnd), msg, wParam, lParam, rules, &g_comboEditLastKey, &result)) return result;
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeEditKeyNotifyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeEditKeyNotifyProc, &result)) return result;
  static const KeyRules rules = {false, true, (UINT)NM_KEYDOWN};
  if (HandleKey(hwnd, msg, wParam, lParam, rules, &g_editLastKey, &result)) return result;
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ComboBoxSelKeepProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachWithEdit(hwnd, msg, lParam, ComboBoxSelKeepProc, CeComboEditFocusProc, &result)) return result;
  if (msg == WM_CTLCOLOREDIT) {
    HWND parent = GetParent(hwnd);
    return CallWindowProcA((WNDPROC)GetWindowLongPtrA(parent, GWLP_WNDPROC), parent, msg, wParam, (LPARAM)hwnd);
  }
  if (msg == CB_GETEDITSEL) {
    HWND edit = ce::ComboEdit(hwnd);
    HWND focus = GetFocus();
    UINT_PTR saved = edit ? (UINT_PTR)GetPropA(edit, kSavedSelProp) : 0;
    if (saved && focus != edit && focus != hwnd) {
      DWORD sel = (DWORD)(saved - 1);
      if (wParam) *(DWORD*)wParam = LOWORD(sel);
      if (lParam) *(DWORD*)lParam = HIWORD(sel);
      return sel;
    }
  }
  return ce::Chain(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CeComboEditFocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  if (ce::AttachMessage(hwnd, msg, lParam, CeComboEditFocusProc, &result)) return result;
  HWND combo = GetParent(hwnd);
  if (msg == WM_SETFOCUS) {
    result = ce::Chain(hwnd, msg, wParam, lParam);
    SendMessageA(GetParent(combo), WM_COMMAND, ce::CommandWord(combo, CEN_SETFOCUS), (LPARAM)combo);
    return result;
  }
  if (msg == WM_KILLFOCUS) {
    SendMessageA(GetParent(combo), WM_COMMAND, ce::CommandWord(combo, CEN_KILLFOCUS), (LPARAM)combo);
    // Read before passing on: the combo box clears the selection when it
    // hears of the focus loss.
    DWORD sel = (DWORD)SendMessageA(hwnd, EM_GETSEL, 0, 0);
    SetPropA(hwnd, kSavedSelProp, (HANDLE)((UINT_PTR)sel + 1));
  }
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kSavedSelProp);
  return ce::Chain(hwnd, msg, wParam, lParam);
}
