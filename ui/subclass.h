// Subclasses of EDIT and COMBOBOX controls: focus reports with the selection
// kept, keys offered to the parent first, a list opened by Down, dropped files
// taken as text, read-only and disabled edits, and the mirroring between the
// file dialog's history combo box and its hidden file-name field.
//
// Each procedure keeps the procedure it chains to in the window property
// "CeData" and answers the attach and detach messages itself. A window
// carries one "CeData", so it runs at most one member of the family: a
// second attach is refused while the property is there.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Private messages answered by every member.
enum {
  // lParam: the procedure to chain to (GWL_WNDPROC stays as it is), or 0: the
  // member installs itself and chains to the procedure it replaced. Answers 1
  // (0 when the window already runs a member).
  WM_CE_ATTACH = 0x69FD,
  // lParam 0: GWL_WNDPROC gets the stored procedure back. The property goes in
  // every case. Answers the stored procedure.
  WM_CE_DETACH = 0x69FC,
  // The companion mirror's own text, without mirroring: set and get.
  WM_CE_SETOWNTEXT = 0x39AA,
  WM_CE_GETOWNTEXT = 0x39AB,
};

// WM_COMMAND notification codes sent or posted to a control's parent.
enum {
  CEN_SETFOCUS = 0x100,   // the combo box's edit got the focus
  CEN_KILLFOCUS = 0x200,  // ... lost it
  CEN_EDITCHANGE = 5,     // the combo box's text changed through a dropped file
  CEN_CHANGE = 0x300,     // the text changed
  CEN_DROPFILES = 0x703,  // a dropped file was taken
};

// Sent as WM_NOTIFY (wParam = the sender's id) with code NM_KEYDOWN, or
// NM_RETURN for Return in a combo box's edit. The parent takes the key by
// answering nonzero or by writing CE_KEY_HANDLED into hdr.idFrom (which
// survives a forwarding that loses the answer).
struct CeKeyNotify {
  NMHDR hdr;
  UINT key;     // virtual key
  UINT lParam;  // of the key message
};
const UINT_PTR CE_KEY_HANDLED = 0x12345678;

// The companion of control id N is the control N ^ CE_COMPANION_XOR in the
// same parent.
const int CE_COMPANION_XOR = 0x5555;

// The "CeData" atom, made once together with the EDIT and COMBOBOX class
// procedures.
ATOM CeInitSubclassing();
WNDPROC CeEditClassProc();
WNDPROC CeComboClassProc();

// Attaches proc to the window (it installs itself): the member's answer.
LRESULT CeSubclassWindow(HWND hwnd, WNDPROC proc);
// The same; 0 for a null procedure.
LRESULT CeSubclassWindowChecked(HWND hwnd, WNDPROC proc);
// Detaches the member the window runs and restores its procedure.
LRESULT CeUnsubclassWindow(HWND hwnd);
// Keeps the window's procedure in GWL_USERDATA and installs proc; 0 for a
// null procedure, else 1. For ReadOnlyWhenDisabledProc.
int SubclassWindowUserData(HWND hwnd, WNDPROC proc);

// Fills hwndFrom and idFrom with the control and sends the block to its
// parent: 1 when idFrom came back as CE_KEY_HANDLED, else the parent's answer.
LRESULT CeNotifyParent(HWND control, CeKeyNotify* block);

// Combo box: CB_GETEDITSEL without the focus answers the selection the edit
// had when the focus left; WM_CTLCOLOREDIT goes to the parent's procedure.
LRESULT CALLBACK ComboBoxSelKeepProc(HWND, UINT, WPARAM, LPARAM);
// Its edit: CEN_SETFOCUS and CEN_KILLFOCUS to the combo box's parent.
LRESULT CALLBACK CeComboEditFocusProc(HWND, UINT, WPARAM, LPARAM);
// Keys: Tab (and Return in the edits) offered to the parent first; Down opens
// a combo box's list.
LRESULT CALLBACK CeComboKeyProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeComboEditKeyProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeEditKeyNotifyProc(HWND, UINT, WPARAM, LPARAM);
// Dropped files: the first path becomes the text.
LRESULT CALLBACK CeComboDropFilesProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeComboEditDropFilesProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeEditDropFilesProc(HWND, UINT, WPARAM, LPARAM);
// Edits that keep their readable look when disabled, or refuse changes.
LRESULT CALLBACK CeDisabledEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeReadOnlyEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ReadOnlyWhenDisabledProc(HWND, UINT, WPARAM, LPARAM);
// The file dialog's history combo box, its edit, and the hidden file-name
// field that mirrors it.
LRESULT CALLBACK CeHistoryComboProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeComboEditMirrorProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CeCompanionMirrorProc(HWND, UINT, WPARAM, LPARAM);
