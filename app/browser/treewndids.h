// Ids, style bits, messages and item-data encodings of the browser pane,
// shared by the pane, its registry data source, the view and the tests.
#pragma once

#include <windows.h>

// Child controls.
const UINT IDC_TREEWND_TREE = 27392;
const UINT IDC_TREEWND_LIST = 27393;
const UINT IDC_TREEWND_COMBO = 27394;

// Commands (buttons, keys and posted ones).
const UINT ID_TREEWND_UP = 26117;
const UINT ID_TREEWND_NEWFOLDER = 26119;
const UINT ID_TREEWND_GO = 26122;
const UINT ID_TREEWND_NEXTPART = 26123;
const UINT ID_TREEWND_BACK = 26124;
const UINT ID_TREEWND_FORWARD = 26125;
const UINT ID_TREEWND_REFRESH = 26126;
const UINT ID_TREEWND_CONTENTCHANGED = 26214;
const UINT ID_TREEWND_HISTORY_FIRST = 26368;  // + entry, | 0x10 backwards
const UINT ID_TREEWND_HISTORY_LAST = 26400;
const UINT ID_TREEWND_SELECTALL = 32780;
const UINT ID_TREEWND_DELETE = 32781;
const UINT ID_TREEWND_DELAYEDSELECT = 34952;  // wParam 0x12348888 posted by the timer

// Timers of the pane window.
const UINT_PTR kTreeWndTimerTreeSelect = 0x12348888;  // 150 ms
const UINT_PTR kTreeWndTimerCombo = 0x12347777;       // 200 ms
const UINT_PTR kTreeWndTimerContent = 0x12346666;     // 1000 ms

// Posted by the workers: wParam is the cursor the pane shows.
const UINT WM_TREEWND_SETCURSOR = 0x4567;
// WM_COMMAND wParam posted after every shown path.
const WPARAM kTreeWndPathShown = 0x19701;

// Style word (low 16 bits of the create style).
const DWORD TWS_NOLIST = 0x0001;
const DWORD TWS_NOTREE = 0x0002;
const DWORD TWS_NOPATHBAR = 0x0004;
const DWORD TWS_DELETE = 0x0008;
const DWORD TWS_DROPFILES = 0x0010;
const DWORD TWS_NODROP = 0x0020;
const DWORD TWS_TABOUT = 0x0040;
const DWORD TWS_EDITLABELS = 0x0080;
const DWORD TWS_NOLISTIMAGES = 0x0100;
const DWORD TWS_NOTREEIMAGES = 0x0200;
const DWORD TWS_NOHEADERSORT = 0x0400;
const DWORD TWS_ITEMSONLY = 0x0800;
const DWORD TWS_ALTERNATE = 0x1000;
const DWORD TWS_LINES = 0x2000;
const DWORD TWS_FULLMARK = 0x4000;

// Key-tree and entry-list item data.
const LPARAM kTreeItemMarker = 0x58000000;  // bits 27-31 = 01011
const LPARAM kTreeItemMarkerMask = 0xF8000000;
const LPARAM kTreeItemRootMask = 0x07FF0000;  // root index in bits 16-26
const int kTreeItemRootShift = 16;
const LPARAM kTreeItemFilled = 0x8000;       // children were filled
const LPARAM kTreeItemPlaceholder = 0x4000;  // the dummy child of an unfilled item
const LPARAM kTreeItemLevelMask = 0x0FFF;
const LPARAM kEntryIsItem = 0x0800;  // entry list: an item, not a folder
const int kTreeMaxFillLevel = 20;    // children are filled up to level 19

// The five words beside every entry and root name.
struct TreeWndEntry {
  int image;
  int selectedImage;
  int folder;  // 0 item, 1 folder, 2 root
  int type;    // registry: REG_*, + 0x100 for the default value, 255 a key, 254 a root
  int reserved;
};

// TreeWndEntry::type of the default value: its REG_* type plus this bit.
const int kEntryDefaultValue = 0x100;

// Folder kinds of TreeWndEntry::folder.
const int kEntryItem = 0, kEntryFolder = 1, kEntryRoot = 2;

// Flags of DeleteItems beside the level bits.
const UINT kDeleteMore = 0x1000;   // further selected entries follow
const UINT kDeleteFirst = 0x2000;  // the first of the selection

// What HitTest finds under a point; the view keeps it as its context kind.
enum TreeWndHit {
  kHitNothing = 0,
  kHitTreeItem = 1,    // the key tree (item or none)
  kHitEntryRow = 2,    // a row of the entry list
  kHitPathCombo = 3,   // the path combo or its edit
  kHitDropTarget = 4,  // the drop-test callback's target
  kHitEntryList = 5,   // the entry list without a row
};

// The pane's parts (GetChildKind, HitTestCursor, FocusNext, the last focused one).
enum TreeWndPart {
  kPartNone = 0,
  kPartTree = 1,
  kPartList = 2,
  kPartCombo = 3,
  kPartPane = 4,
};

// The pane's cursors, by kind.
enum TreeWndCursorKind {
  kTreeCursorArrow = 0,
  kTreeCursorNoDrop = 1,
  kTreeCursorCopy = 2,  // the application's drag cursors
  kTreeCursorMove = 3,
  kTreeCursorSize = 4,
  kTreeCursorWait = 5,
  kTreeCursorKinds = 6,
};

// ShowPath: what the entry list gets.
enum ShowPathFill {
  kShowFillThread = 0,   // the records, then the list-filling thread
  kShowFillRecords = 1,  // the records only
  kShowFillRefresh = 2,  // as kShowFillThread (F5)
};

// ShowPath and NavigateTo: what the history ring gets.
enum ShowPathHistory {
  kShowNoHistory = 0,
  kShowAddHistory = 1,
  kShowStartPath = 2,  // added; a ring of the one entry at 0 starts afresh with it
};

// Paths: at most this many characters.
const int kTreeWndMaxPath = 1024;
const int kTreeWndPathBuffer = 1040;
const int kTreeWndHistory = 32;
const int kTreeWndMaxRoots = 256;
const int kTreeWndExpandQueue = 8;

// The entry notification: NMHDR, then 1, 0, the entry index, 0.
struct NMTREEWNDENTRY {
  NMHDR hdr;
  DWORD one;
  DWORD zero1;
  DWORD index;
  DWORD zero2;
};
