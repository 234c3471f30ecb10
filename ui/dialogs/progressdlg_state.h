// Process-wide state shared by all progress dialogs.
#pragma once

#include <windows.h>

struct ITaskbarList3;

struct ProgressProcessState {
  RECT rememberedRect;
  bool rememberedValid;
  int lastLineWidth;  // of status line 0, 410 at start
  BYTE charWidths[256];
  int charWidthState;  // 0 empty, 1 from the dialog font, 2 from ANSI_VAR_FONT
  int comctl6;         // -1 not asked, else whether the loaded comctl32 is 6 or later
  int forcedComctl6;   // -1, or the answer given by a test
  int taskbarState;    // 0 untried, 1 available, 2 failed
  DWORD (*tick)();
  ITaskbarList3* (*taskbarFactory)();
};

ProgressProcessState& ProgressState();
inline DWORD ProgressTick() { return ProgressState().tick ? ProgressState().tick() : GetTickCount(); }
// Whether the common controls draw PBS_MARQUEE themselves.
bool ProgressHasComctl6();
