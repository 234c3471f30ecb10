// The library's own message box: MessageBoxIndirect's parameter block, text
// in a coloured list with inline codes, "Immer" and "Niemals" buttons, an
// auto-close time, and a place where the last box was closed.
#pragma once

#include <windows.h>

// Third argument of MsgBoxIndirect(Core): top byte 0x65 marks the block's
// strings as 8-bit, the low 24 bits are the auto-close time in ms; -1
// passes unchanged.
const DWORD kMsgBoxAnsiMarker = 0x65000000;
const DWORD kMsgBoxMarkerMask = 0xFF000000;
const DWORD kMsgBoxTimeMask = 0x00FFFFFF;

// Style bits of the library beside the MB_ ones.
const UINT kMsgBoxNeverButton = 0x8;     // adds button 13 "Niemals"
const UINT kMsgBoxAlwaysButton = 0x800;  // adds button 15 "Immer"
const UINT kMsgBoxNoSound = 0x2000;
const UINT kMsgBoxAnsi = 0x20000;         // 8-bit strings (inside the core)
const UINT kMsgBoxCentreGiven = 0x80000;  // the centre is in dwLanguageId and is written back
const UINT kMsgBoxPassTime = 0x100000;    // MsgBoxIndirect passes the third argument unchanged
const int kMsgBoxTabShift = 22;           // style >> 22: tab width in pixels

// Answers beside IDOK ... IDCONTINUE.
const int IDMSGBOX_NEVER = 13;
const int IDMSGBOX_ALWAYS = 15;
const int IDMSGBOX_TIMEOUT = 16;

// Dialog items.
const int kMsgBoxPlaceholderId = 100;
const int kMsgBoxIconId = 1088;
const int kMsgBoxTextId = 1099;

// No position yet (either coordinate).
const int kMsgBoxNoPosition = 0x8765;

// Attributes of the inline codes.
const BYTE kMsgBoxEmphasis = 0x40;     // font 1
const BYTE kMsgBoxSeparatorBS = 0x5F;  // end of a separator line, text right-aligned
const BYTE kMsgBoxSeparatorFF = 0x9F;  // end of a separator line, text centred

int MsgBox(HWND owner, const char* text, const char* caption, UINT type);
// With kMsgBoxCentreGiven the closing centre is written back into
// dwLanguageId (x | y << 16). The core takes 16-bit strings unless marked.
int MsgBoxIndirect(MSGBOXPARAMSA* params, const BYTE* attrs, DWORD timeAndMarker);
int MsgBoxIndirectCore(MSGBOXPARAMSA* params, const BYTE* attrs, DWORD timeAndMarker);
INT_PTR CALLBACK MsgBoxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Turns the inline codes into one attribute per character: text and attrs
// receive at most length characters; answers the length written.
int ParseMsgBoxCodes(const char* in, int length, char* text, BYTE* attrs);

// The process-wide centre of the last closed box.
POINT GetMsgBoxPoint();
void SetMsgBoxPoint(POINT pt);
