// The floor of the start-up benchmark: the windows Ostrova shows first, made
// with bare system calls and the program's own resources. A frame with its
// menu, a toolbar, a status bar, a path bar (ComboBoxEx and three bitmap
// buttons), a tree of the five roots and a report list of the start key's
// values ("-1:HKEY_CURRENT_USER\<key>" on the command line, as Ostrova takes
// it). What Ostrova needs over this is its own; the rest is the system's.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstring>

#include "app/browser/treewndids.h"
#include "resource.h"

namespace {
// The ids Ostrova's windows have, so that the benchmark finds the list alike.
const UINT kEntryList = IDC_TREEWND_LIST, kTree = IDC_TREEWND_TREE, kCombo = IDC_TREEWND_COMBO;
const UINT kToolBar = 0xE800, kStatus = 0xE801;                                    // the frame's bars
const UINT kButtons[3] = {IDB_BROWSER_BACK, IDB_BROWSER_FORWARD, IDB_BROWSER_UP};  // their bitmaps and ids
const char kCurrentUser[] = "HKEY_CURRENT_USER\\";
const char* const kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                              "HKEY_CURRENT_CONFIG"};
const COLORREF kMaskColor = RGB(0xC0, 0xC0, 0xC0);
const COLORREF kImagesMask = RGB(255, 0, 0);

HINSTANCE g_instance;
char g_path[MAX_PATH] = "";
HWND g_toolbar, g_status, g_combo, g_tree, g_list, g_buttons[3];
BUTTON_IMAGELIST g_buttonImages[3];

// The pane's images, as Ostrova loads them.
HIMAGELIST PaneImages() {
  return ImageList_LoadImageA(g_instance, MAKEINTRESOURCEA(IDB_BROWSER_IMAGES), 16, 6, kImagesMask, IMAGE_BITMAP,
                              LR_CREATEDIBSECTION);
}

HWND Child(HWND parent, const char* cls, DWORD style, UINT id, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent, (HMENU)(UINT_PTR)id,
                         g_instance, nullptr);
}

void MakeToolBar(HWND frame) {
  g_toolbar = Child(frame, TOOLBARCLASSNAMEA, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, kToolBar);
  SendMessageA(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBADDBITMAP bitmap = {g_instance, IDR_MAINFRAME};
  SendMessageA(g_toolbar, TB_ADDBITMAP, 7, (LPARAM)&bitmap);
  TBBUTTON buttons[9] = {};
  for (int i = 0, image = 0; i < 9; ++i) {
    bool separator = i == 5 || i == 7;
    buttons[i].iBitmap = separator ? 0 : image++;
    buttons[i].idCommand = separator ? 0 : 100 + i;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = separator ? BTNS_SEP : BTNS_BUTTON;
  }
  SendMessageA(g_toolbar, TB_ADDBUTTONSA, 9, (LPARAM)buttons);
}

void MakeStatusBar(HWND frame) {
  g_status = Child(frame, STATUSCLASSNAMEA, SBARS_SIZEGRIP, kStatus);
  int parts[4] = {600, 660, 720, -1};
  SendMessageA(g_status, SB_SETPARTS, 4, (LPARAM)parts);
  const char* texts[4] = {"Bereit", "UF", "NUM", "RF"};
  for (int i = 0; i < 4; ++i) SendMessageA(g_status, SB_SETTEXTA, i, (LPARAM)texts[i]);
}

void MakePathBar(HWND frame, HIMAGELIST icons) {
  g_combo = Child(frame, WC_COMBOBOXEXA, CBS_DROPDOWN | WS_VSCROLL | CBS_AUTOHSCROLL, kCombo);
  SendMessageA(g_combo, CBEM_SETIMAGELIST, 0, (LPARAM)icons);
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
  item.iItem = -1;
  item.pszText = g_path;
  item.iImage = item.iSelectedImage = 3;
  SendMessageA(g_combo, CBEM_SETITEMA, 0, (LPARAM)&item);
  for (int i = 0; i < 3; ++i) {
    g_buttons[i] = Child(frame, "BUTTON", BS_PUSHBUTTON | BS_BITMAP | (i < 2 ? WS_DISABLED : 0), kButtons[i]);
    HBITMAP bitmap = LoadBitmapA(g_instance, MAKEINTRESOURCEA(kButtons[i]));
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    HIMAGELIST list = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_MASK | ILC_COLORDDB, 1, 1);
    ImageList_AddMasked(list, bitmap, kMaskColor);
    DeleteObject(bitmap);
    g_buttonImages[i] = {list, {0, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_CENTER};
    SendMessageA(g_buttons[i], BCM_SETIMAGELIST, 0, (LPARAM)&g_buttonImages[i]);
  }
}

void MakeTree(HWND frame, HIMAGELIST icons) {
  g_tree = Child(frame, WC_TREEVIEWA,
                 TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | WS_TABSTOP,
                 kTree);
  TreeView_SetImageList(g_tree, icons, TVSIL_NORMAL);
  for (const char* root : kRoots) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(root);
    insert.item.cChildren = 1;
    insert.item.iImage = insert.item.iSelectedImage = 3;
    SendMessageA(g_tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
  }
}

// The values of the start key: name, type and data as text.
void MakeList(HWND frame, HIMAGELIST icons) {
  g_list = Child(frame, WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP, kEntryList);
  ListView_SetExtendedListViewStyle(g_list, LVS_EX_FULLROWSELECT);
  ListView_SetImageList(g_list, icons, LVSIL_SMALL);
  const char* titles[3] = {"Name", "Typ", "Daten"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column = {LVCF_TEXT | LVCF_WIDTH, 0, i == 2 ? 300 : 150, const_cast<char*>(titles[i])};
    SendMessageA(g_list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
  }
  HKEY key;
  size_t prefix = sizeof kCurrentUser - 1;
  if (_strnicmp(g_path, kCurrentUser, prefix) != 0 ||
      RegOpenKeyExA(HKEY_CURRENT_USER, g_path + prefix, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  char name[256];
  BYTE data[1024];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    data[dataSize] = 0;
    LVITEMA item = {LVIF_TEXT | LVIF_IMAGE, (int)i, 0, 0, 0, name, 0, 3};
    int row = (int)SendMessageA(g_list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    ListView_SetItemText(g_list, row, 1, const_cast<char*>(type == REG_SZ ? "REG_SZ" : "REG_BINARY"));
    ListView_SetItemText(g_list, row, 2, reinterpret_cast<char*>(data));
  }
  RegCloseKey(key);
}

void Layout(HWND frame) {
  RECT rc, bar;
  GetClientRect(frame, &rc);
  SendMessageA(g_toolbar, TB_AUTOSIZE, 0, 0);
  SendMessageA(g_status, WM_SIZE, 0, 0);
  GetWindowRect(g_toolbar, &bar);
  int top = bar.bottom - bar.top + 2;
  GetWindowRect(g_status, &bar);
  int bottom = rc.bottom - (bar.bottom - bar.top);
  RECT combo;
  GetWindowRect(g_combo, &combo);
  int s = combo.bottom - combo.top;
  for (int i = 0; i < 3; ++i) MoveWindow(g_buttons[i], 3 + i * s, top + 3, s, s, TRUE);
  MoveWindow(g_combo, 3 * s + 4, top + 3, rc.right - 3 * s - 7, 300, TRUE);
  top += s + 11;
  int treeWidth = rc.right / 4;
  MoveWindow(g_tree, 0, top, treeWidth, bottom - top, TRUE);
  MoveWindow(g_list, treeWidth + 4, top, rc.right - treeWidth - 4, bottom - top, TRUE);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      HIMAGELIST icons = PaneImages();
      MakeToolBar(hwnd);
      MakeStatusBar(hwnd);
      MakePathBar(hwnd, icons);
      MakeTree(hwnd, icons);
      MakeList(hwnd, icons);
      Layout(hwnd);
      return 0;
    }
    case WM_SIZE:
      if (g_list) Layout(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  g_instance = instance;
  const char* path = strstr(commandLine, "-1:");
  if (path) lstrcpynA(g_path, path + 3, MAX_PATH);
  if (char* quote = strchr(g_path, '"')) *quote = 0;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                              ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "StartupBare";
  RegisterClassA(&wc);
  HWND frame = CreateWindowExA(0, "StartupBare", "Ostrova", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                               LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME)), instance, nullptr);
  ShowWindow(frame, show);
  UpdateWindow(frame);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
