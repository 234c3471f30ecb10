// The common dialogs' functions as the layer calls them: slots of our own in
// place of import slots, so that comdlg32.dll (and, under Wine, the printer
// spooler it pulls in) loads at the first dialog instead of at start. An
// extension that wants to see every dialog replaces a slot, as it would an
// import slot; the first value of each finds the system's function.
#pragma once

#include <windows.h>

#include <commdlg.h>

struct AfxComdlgSlots {
  BOOL(WINAPI* getOpenFileName)(LPOPENFILENAMEA);
  BOOL(WINAPI* getSaveFileName)(LPOPENFILENAMEA);
  BOOL(WINAPI* chooseColor)(LPCHOOSECOLORA);
  BOOL(WINAPI* chooseFont)(LPCHOOSEFONTA);
};

AfxComdlgSlots& AfxComdlg();
