// The program's entry when it defines none of its own: the framework's start.
// Alone in its file, so that only programs without a WinMain take it.
#include "mfc/winapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
