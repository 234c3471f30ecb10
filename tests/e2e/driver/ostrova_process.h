// Ostrova.exe started by the driver: its process, its windows found by id
// and class, and memory inside it for the messages that carry pointers
// (a pointer into the driver's own memory is filled with nothing).
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <string>

// Polls pred every few milliseconds until it holds or ms have passed.
bool WaitUntil(const std::function<bool()>& pred, DWORD ms = 5000);

// The program in the build tree: build\tests\e2e\<driver>.exe -> build\app\Ostrova.exe.
std::string OstrovaPath();

// A child of parent (at any depth) with this control id.
HWND FindDescendant(HWND parent, int id);
// A child of parent (at any depth) of this window class.
HWND FindDescendantOfClass(HWND parent, const char* cls);

// A key posted to a window of Ostrova, as the keyboard would deliver it.
void Press(HWND hwnd, UINT vk);
// Characters posted one by one (code page 1252), as typing delivers them.
void Type(HWND hwnd, const std::string& text);
// The text of a window of Ostrova through WM_GETTEXT (GetWindowText reads
// only captions across processes).
std::string TextOf(HWND hwnd);
// The focus window of hwnd's thread.
HWND FocusOf(HWND hwnd);
// Gives hwnd the focus inside Ostrova: SetFocus acts there while the input
// queues are joined.
void FocusIn(HWND hwnd);

class OstrovaProcess {
 public:
  OstrovaProcess() = default;
  ~OstrovaProcess();  // ends the process if it still runs
  OstrovaProcess(const OstrovaProcess&) = delete;
  OstrovaProcess& operator=(const OstrovaProcess&) = delete;

  // Starts the program with these arguments and waits for its visible main
  // window; false when it does not come.
  bool Start(const std::string& args = "");
  // Posts WM_CLOSE and waits for the process; true when it ended by itself with code 0.
  bool Close();

  HWND Frame() const { return m_frame; }
  HWND View() const;
  HWND Pane(int i) const;  // 0 or 1
  HWND ToolBar() const;
  HWND StatusBar() const;

  std::string StatusText(int pane) const;
  // Returns -1 for a command the toolbar lacks.
  int ToolBarState(int id) const { return (int)SendMessageA(ToolBar(), TB_GETSTATE, id, 0); }
  // Command ids of the toolbar's buttons (0 for separators), read from TB_GETBUTTON.
  std::string ToolBarCommands() const;
  void Command(int id) const { PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  HANDLE Process() const { return m_pi.hProcess; }
  // A visible top-level window of the program with this caption (a dialog,
  // a message box), or nullptr.
  HWND Dialog(const std::string& title) const;
  // The program's open popup menu window, or nullptr.
  HWND PopupMenu() const;

 private:
  PROCESS_INFORMATION m_pi = {};
  HWND m_frame = nullptr;
};

// Memory in another process, freed with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* Address() const { return m_p; }
  bool Read(void* to, size_t n) const;
  bool Write(const void* from, size_t n) const;

 private:
  HANDLE m_process;
  void* m_p;
};
