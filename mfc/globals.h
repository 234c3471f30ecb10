// The framework's process-wide services: module handles, message boxes,
// the main window and the end of the message loop.
#pragma once

#include <windows.h>

class CWnd;

HINSTANCE AfxGetInstanceHandle();
// Where resources are looked up (the program itself unless changed).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// The application's name for captions ("" without an application object).
LPCSTR AfxGetAppName();
// The main window of the calling thread (or of the application).
CWnd* AfxGetMainWnd();

// A message box with the application's name as caption, owned by the active
// window of the thread.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

void AfxPostQuitMessage(int nExitCode);
