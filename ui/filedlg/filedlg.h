// The extension of every 8-bit open and save dialog of the process: a
// history combo box in place of the file-name field, an autocompletion
// list filled by a worker, a larger first dialog, a caption for the
// read-only check box and "Kopiere aktuellen Pfad".
#pragma once

#include <windows.h>
#include <commdlg.h>

// Private bits of OPENFILENAME.Flags read by the extension; the caller gets
// them back.
enum OfnPrivateFlags : DWORD {
  OFN_EX_CAPTION = 0x80000000,  // lpstrFilter starts with "caption@"
  OFN_EX_MODEMASK = 0x70000000,
  OFN_EX_HISTORY_FOLDER = 0x00000000,  // "OfnList" + lpstrDefExt: folders
  OFN_EX_HISTORY_PATH = 0x10000000,    // ... full paths
  OFN_EX_HISTORY_READONLY = 0x20000000,
  OFN_EX_HISTORY_LIST = 0x30000000,  // lpstrCustomFilter: entries, not stored
  OFN_EX_KEY_FOLDER = 0x40000000,    // lpstrCustomFilter: "key\value"
  OFN_EX_KEY_PATH = 0x50000000,
  OFN_EX_KEY_READONLY = 0x60000000,
  OFN_EX_NO_HISTORY = 0x70000000,
};

// Control ids and the command of the dialogs.
const int IDC_FILEDLG_FIELD = 1152;  // the file-name field (Wine: 1148)
const int IDC_FILEDLG_FIELD_WINE = 1148;
const int IDC_FILEDLG_READONLY = 1040;
const int IDC_FILEDLG_POPUP = 1408;
const UINT ID_FILEDLG_COPYPATH = 0x4899;
const UINT FILEDLG_POPUP_SHOW = 10;  // WM_COMMAND code from the worker

// Patches the module's import of GetOpenFileNameA and GetSaveFileNameA
// (NULL: the executable) and the layer's file-dialog slots. A second install keeps the first saved
// functions. Returns 1.
int InstallFileDialogHook(LPCSTR moduleName);
BOOL WINAPI FileDlgGetOpenFileName(LPOPENFILENAMEA ofn);
BOOL WINAPI FileDlgGetSaveFileName(LPOPENFILENAMEA ofn);
UINT_PTR CALLBACK FileDlgHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FileDlgDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Loads (save 0) or writes (save 1) the history of a combo box.
void LoadSaveFileDlgHistory(HWND combo, DWORD mode, LPCSTR source, BOOL save);
// The registry key (below HKEY_CURRENT_USER) and value of a history; FALSE
// for the modes without a registry value.
BOOL FileDlgHistoryValue(DWORD mode, LPCSTR source, char* key, int keySize, char* value, int valueSize);
// Records an accepted name in the combo box by the mode's rules and writes
// the history; saveMarker: the request saves.
void RecordFileDlgHistory(HWND combo, LPCSTR text, DWORD mode, LPCSTR source, BOOL saveMarker);

// Test seams: the functions a request runs (NULL: the common dialog's), the first-dialog
// enlargement, and the worker's count of live workers.
void SetFileDialogFunctions(BOOL(WINAPI* open)(LPOPENFILENAMEA), BOOL(WINAPI* save)(LPOPENFILENAMEA));
void ResetFileDialogFirstSize();
int FileDlgLiveWorkers();
