// Helpers of the end-to-end scenarios that drive the program's dialogs from
// outside: top-level windows of the program, keys and text as the keyboard
// gives them, file dialogs, screen shots, and the registry read with the
// 16-bit functions.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "e2e/driver/registry_snapshot.h"

const char kE2EKey[] = "Software\\OstrovaTests\\E2E";
const char kE2EPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E";
const int kFileNameField = 1148;  // cmb13 of the hooked file dialog
const int kReadOnlyBox = 1040;    // chx1: "ANSI Format benutzen"
const int kPromptEdit = 1008;     // the text prompt's edit
const int kMsgBoxText = 0xFFFF;   // the system message box's text

// A path below the scenarios' key, relative to HKEY_CURRENT_USER and in full.
std::string Sub(const char* name);

std::string SubPath(const char* name);

// A visible top-level window of the program with this title (any owned one
// for no title), other than the window `except`; nullptr when there is none.
HWND TopLevelOf(const OstrovaProcess& app, const char* title, HWND except = nullptr);

// The program's visible top-level windows by title, for failure messages.
std::string OpenWindows(const OstrovaProcess& app);

// Whether a window and its children have painted everything they show.
bool Painted(HWND hwnd);

// The union of two windows' rectangles on the screen, once both are painted,
// saved at ScreenPath(name) (a window of another process paints late: a
// redraw forced from here would be captured half done).
void SaveScreens(HWND a, HWND b, const std::string& name);

void Shot(HWND hwnd, const std::string& name);

HWND WaitForTopLevel(const OstrovaProcess& app, const char* title, DWORD ms = 10000);

// The edit of the file-name field: the program's file-dialog extension puts
// a combo box of its own in the place of the dialog's (which it hides and
// renumbers), so the field is the direct child with the field's id.
HWND FileNameEdit(HWND dlg);

// A file dialog of this title: the one that has the file-name field.
HWND WaitForFileDialog(const OstrovaProcess& app, const char* title);

// A key as the keyboard delivers it to the window with the focus in the
// thread of hwnd (or to hwnd when nothing has it); with Ctrl held through
// the joined input state when ctrl is set, until done() holds.
bool PressKey(HWND hwnd, UINT vk, bool ctrl, const std::function<bool()>& done);

// Types text into an edit as the keyboard would, over what it held.
bool TypeInto(HWND edit, const std::string& text);

void Click(HWND button);

bool Checked(HWND button);

// Types the file name into the dialog's field and presses OK.
bool ChooseFile(const OstrovaProcess& app, HWND dlg, const std::string& file);

// UTF-16LE bytes after the BOM as code page 1252 text.
std::string FromUtf16(const std::string& bytes);

std::wstring Wide(const std::string& s);

std::string Utf8(const std::wstring& w);

// Every key and value below a key, one line each with the stored bytes, read
// with the 16-bit functions in enumeration order.
void DumpTree(HKEY parent, const std::wstring& name, const std::wstring& shown, std::string& out);

std::string Dump(const char* path);

void SetW(const std::string& key, const wchar_t* name, DWORD type, const void* data, DWORD size);

// Removes a key of a scenario when it ends, however it ends.
struct ScratchKey {
  std::string path;
  explicit ScratchKey(std::string p) : path(std::move(p)) { DeleteKeyTree(HKEY_CURRENT_USER, path); }
  ~ScratchKey() { DeleteKeyTree(HKEY_CURRENT_USER, path); }
};

// Waits until the pane shows the path and the entry list has its rows.
bool WaitForPath(const PaneReader& pane, const std::string& path, int rows);

std::string CaretName(const PaneReader& pane);

// Chooses the entry and gives the list the focus.
void ChooseEntry(const PaneReader& pane, const char* name);

// Shows a path through the pane's combo box, as typed and confirmed.
bool GoTo(const PaneReader& pane, const std::string& path);

// The visible pop-up menu of the program, or nullptr.
HWND MenuOf(const OstrovaProcess& app);

// The program is back in its main window: no dialog of the title is left
// and the frame takes input again.
bool Idle(const OstrovaProcess& app, const char* title);
