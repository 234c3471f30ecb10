// Rounds of long use of Ostrova.exe, driven from outside: navigate, open and
// close each value editor, rename a value there and back, export a small
// key and import it again, switch layouts. The process's handle count and
// private bytes are read between rounds. Shared by the short end-to-end
// scenario and the long soak of tools/bench, so no test framework here.
#pragma once

#include <windows.h>

#include <string>

class OstrovaProcess;

struct ProcessFigures {
  DWORD handles = 0;
  int gdiObjects = -1;  // -1: not readable
  SIZE_T privateBytes = 0;
};

// The GDI objects a process holds, from its GDI handle table; -1 when the
// table cannot be read.
int GdiObjectCount(HANDLE process);
// The handle count, GDI objects and private bytes of a process; false when
// the handles or bytes are unreadable.
bool ReadProcessFigures(HANDLE process, ProcessFigures* figures);

// The figures once the program is idle: read after it has worked off its
// messages, until two readings agree (paints hold GDI objects for a moment).
bool ReadSettledFigures(const OstrovaProcess& app, ProcessFigures* figures);

class SoakRounds {
 public:
  // Seeds the soak key below HKEY_CURRENT_USER\Software\OstrovaTests.
  SoakRounds();
  // Removes the key and the export file.
  ~SoakRounds();
  SoakRounds(const SoakRounds&) = delete;
  SoakRounds& operator=(const SoakRounds&) = delete;

  // Starts the program on the soak key; "" or what went wrong.
  std::string Start(OstrovaProcess& app);
  // One round; "" or what went wrong.
  std::string Round(OstrovaProcess& app, int round);
  // Every value and subkey of the soak key with its bytes, one line each.
  std::string KeyText() const;

 private:
  std::string m_file;   // the export file
  std::string m_names;  // the rows of the soak key as first shown
};
