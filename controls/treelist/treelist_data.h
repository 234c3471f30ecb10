// The tree-list's state block and records, shared by its source files.
// Every function here takes the state block first and expects the lock held
// unless its comment says otherwise.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "controls/treelist/treelist.h"

typedef UINT TLHandle;  // item handle: index into the item table, 0 = none

const int kTLMaxColumns = 32;
const int kTLColorSlots = 18;
const int kTLDispTextSize = 260;

// Colour slots.
enum {
  kTLColorBack = 0,
  kTLColorOdd = 1,
  kTLColorEven = 2,
  kTLColorGrid = 3,
  kTLColorText = 4,
  kTLColorSign = 5,
  kTLColorButtonFrame = 6,
  kTLColorHotText = 7,
  kTLColorSelOdd = 8,
  kTLColorSelEven = 9,
  kTLColorInsertMark = 10,
  kTLColorButtonInside = 11,
  kTLColorShaded = 12,
  kTLColorShadedOdd = 13,
  kTLColorShadedEven = 14,
  kTLColorDisabled = 15,
  kTLColorFixedLine = 16,
  kTLColorUnfocusedFrame = 17,
};

// Hit-test kinds the control adds to the TVHT_ flags; over a cell the
// column is in bits 24-31.
enum TreeListHitKind : UINT {
  kTLHitLabelText = 0x40000,
  kTLHitCellText = 0x80000,
  kTLHitBesideCellText = 0x100000,
  kTLHitCellImage = 0x200000,
  kTLHitCellEmptyOrText = 0x400000,
  kTLHitRightOfColumns = 0x800000,
  kTLHitOnCell = kTLHitCellEmptyOrText | kTLHitCellImage,
  kTLHitCellArea = kTLHitOnCell | kTLHitCellText,
};
const int kTLHitColumnShift = 24;

// Item record mask of the notifications that describe an item or a cell:
// handle, state, lParam and the column in cChildren.
const UINT kTLRecordMask = TLIF_CELL | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
// TreeListSelectItem flag: the other items lose their selection.
const UINT kTLSelectClearOthers = 0x8000;
inline int TreeListHitColumn(UINT flags) { return (int)(flags >> kTLHitColumnShift); }

// Callback flags of items and cells.
const BYTE kTLCallbackText = 0x01;
const BYTE kTLCallbackImage = 0x02;
const BYTE kTLCallbackSelImage = 0x20;
const BYTE kTLCallbackChildren = 0x40;

// Item flags.
const BYTE kTLItemChildrenReal = 0x01;  // button follows the real children
const BYTE kTLItemHasChildren = 0x02;   // button shown
const BYTE kTLItemHasImage = 0x04;
const BYTE kTLItemHot = 0x08;
const BYTE kTLItemOwnText = 0x10;
const BYTE kTLItemOwnBack = 0x20;
const BYTE kTLItemFocus = 0x40;
const BYTE kTLItemLineBelow = 0x80;

struct TreeListItem {
  LPARAM lParam;
  char* text;  // own copy; NULL for a callback text
  UINT state;
  int image;  // -1 callback, -2 none
  int selectedImage;
  int textWidth;  // 0 = measure again
  TLHandle firstChild, lastChild;
  TLHandle prevSibling, nextSibling;
  UINT row;  // row + 1, 0 = none
  TLHandle parent;
  WORD level;
  UINT textLength;  // 32 bits: long texts must come back whole
  BYTE callbackFlags;
  BYTE itemFlags;
  BYTE moveMark;
  COLORREF backColor;
  COLORREF textColor;
  // extraBytes caller bytes follow.
};

struct TreeListCell {
  char* text;
  UINT state;
  int image;
  int textWidth;
  UINT textLength;
  BYTE callbackFlags;
  BYTE cellFlags;
  COLORREF backColor;
  COLORREF textColor;
};

struct TreeListColumn {
  LPARAM editParam;  // choices: a text or an array, pointer-wide
  int editParam2;
  // A weighted column's share may go below zero while the list is narrower
  // than its fixed columns: widening gives back exactly what narrowing took.
  short baseWidth;
  WORD width;
  WORD minWidth;
  WORD keptWidth;
  BYTE minWidthFixed;
  BYTE weight;
  BYTE nextColumn;
  BYTE displayPos;
  BYTE textAlign;
  BYTE editKind;
  BYTE editFlags;
  BYTE maxChoices;
  BYTE separator;
  BYTE shaded;
  BYTE flag31;
};

struct TreeListDeferredOp {
  TreeListDeferredOp* next;
  UINT_PTR arg1;
  UINT_PTR arg2;
  int kind;
};

// Deferred-operation kinds.
enum {
  kTLOpSetState = 1,
  kTLOpSetStateQuiet = 2,
  kTLOpExpand = 3,
  kTLOpSelectionGone = 4,
  kTLOpHPos = 5,
  kTLOpVPos = 6,
  kTLOpHBar = 7,
  kTLOpVBar = 8,
  kTLOpRebuild = 9,
  kTLOpRepaintCell = 10,
  kTLOpRepaintRows = 11,
  kTLOpRepaintItem = 12,
};

// Scroll-setter code bit: the caller does not hold the lock.
const UINT kTLNoRelease = 0x10000;

typedef int(CALLBACK* TreeListPaintHook)(HDC, LPARAM, void*);

struct TLSize {
  int cx, cy;
};

struct TreeListData {
  HWND window;
  CRITICAL_SECTION lock;
  HTHEME theme;
  HTHEME buttonTheme;
  LPARAM paintHookContext;
  TreeListPaintHook paintHook;
  WNDPROC editorProc;
  HIMAGELIST stateImages;
  HIMAGELIST normalImages;
  HIMAGELIST checkImages;
  HIMAGELIST cellImages;
  HIMAGELIST headerImages;
  HFONT font;
  HFONT boldFont;
  HFONT measuredFont;
  HFONT ownBoldFont;
  HFONT tipFont;
  HWND editWindow;
  HWND header;
  HWND toolTip;
  WNDPROC toolTipProc;
  BYTE toolTipDue;  // the tip is made at its first use, on the window's thread
  COLORREF colors[kTLColorSlots];
  int fontHeight, fontAscent;
  int fixedPitch;
  TLSize stateImageSize, checkImageSize, imageSize, cellImageSize;
  int rowHeight;
  int weightedColumnsWidth, fixedColumnsWidth;
  int indent;
  int buttonBox;
  int paintSpacing;
  int contentWidth;
  void* paintBuffers[2];
  int paintBufferSize;
  UINT rowCount;
  TLHandle* rows;
  TreeListDeferredOp* queueHead;
  TreeListDeferredOp* queueTail;
  TreeListItem** items;
  TreeListCell** cells[kTLMaxColumns - 1];
  UINT capacity;
  UINT itemCount;
  UINT lastHandle;
  UINT extraBytes;
  UINT noCheckStates;
  DWORD lastVBarRedraw;
  TLHandle firstRoot, lastRoot;
  TLHandle checkedItem;
  int scrollX;
  int topRow;
  int clientWidth, clientHeight;
  int rowsAreaHeight;
  DWORD style;
  DWORD exStyle;
  int headerHeight;
  int rowsInView;
  int rowsPerPage;
  int fixedRows;
  UINT paintFlag;
  int columnCount;
  int weightedColumns;
  UINT selectedCount;
  TLHandle anchorItem;
  TLHandle caretItem;
  int caretColumn;
  UINT pressState[5];
  TLHandle focusCellItem;
  int focusCellColumn;
  TLHandle dragItem;
  UINT dragOptions;
  UINT dragKeys;
  POINT dragPoint;
  UINT dropHoverTicks;
  TLHandle tipItem;
  UINT tipDelay;
  int tipColumn;
  POINT tipPoint;
  int editKind;
  TLHandle editItem;
  int editColumn;
  int editWidth;     // the edit box's width when it opened: it grows with its text from there
  int hBarCache[2];  // page, range
  int vBarCache[2];
  int boldEllipsisWidth, ellipsisWidth;
  TLHandle hotItem;
  int hotColumn;
  TLHandle insertMarkItem;
  int shadedColumns;
  UINT buttonsDown;
  TLHandle dragCandidate;
  int dragCandidateColumn;
  UINT noDragStates;
  UINT editorWord;
  short lastMoveX, lastMoveY;
  TLHandle dropMarkItem;
  int dropMarkHeight, dropMarkOffset;
  POINT lastClickPoint;
  DWORD lastClickTick;
  UINT tipTextSize;
  char* tipText;
  WORD mergeColumns;
  WORD mergeMask;
  char dispText[2][kTLDispTextSize];
  TreeListColumn columns[kTLMaxColumns];
  COLORREF columnTextColors[kTLMaxColumns];
  int columnX[kTLMaxColumns + 2];
  BYTE columnOrder[kTLMaxColumns];
  BYTE colorSet[kTLColorSlots];
  BYTE option7;
  BYTE editChanged;
  BYTE rowHeightFixed;
  BYTE busy;
  BYTE linesAtRoot;
  BYTE keyReply;
  BYTE selectOnRelease, editOnRelease;
  BYTE enabled, hasFocus;
  BYTE ctrlAnchor;
  BYTE themedDrawing;
  BYTE editorFlag;
  BYTE autoScrollMode;
  BYTE quiet;
  BYTE clickArmed;
  BYTE queuePosted;
  signed char minRowHeight;
  BYTE hBarShown;
  BYTE dragFlags;
  BYTE ownsStateImages, ownsCheckImages, ownsCellImages, ownsNormalImages;
  BYTE redrawOff;
  BYTE option16;
  BYTE autoScrollTicks;
  BYTE scrollMargin;
  BYTE growColumn0;
  BYTE iconEighth;
  // Set while the control itself changes header items: their echoes are
  // not user changes.
  BYTE headerChanging;
  volatile LONG lockWaiters;  // threads waiting in TreeListLock
  volatile LONG batchHolds;   // workers inside a TLM_HOLDLOCK batch
};

// The item record of a handle; NULL for 0, above the capacity or free.
inline TreeListItem* TreeListLookup(const TreeListData* data, UINT_PTR handle) {
  if (handle == 0 || handle > data->capacity) return nullptr;
  return data->items[handle];
}

// Threads that wait in TreeListLock are counted, so that a worker's batch
// can let them in before it takes the lock again.
inline void TreeListLock(TreeListData* data) {
  if (TryEnterCriticalSection(&data->lock)) return;
  InterlockedIncrement(&data->lockWaiters);
  EnterCriticalSection(&data->lock);
  InterlockedDecrement(&data->lockWaiters);
}
inline void TreeListUnlock(TreeListData* data) { LeaveCriticalSection(&data->lock); }

// --- window (treelist_wnd.cpp)
// The state block of a window; NULL before WM_CREATE and after WM_NCDESTROY.
TreeListData* TreeListGetData(HWND hwnd);
LRESULT TreeListSendNotify(TreeListData* data, NMHDR* hdr);
// Sends with the lock left for the call, whatever the recursion depth.
LRESULT TreeListNotifyUnlocked(TreeListData* data, NMHDR* hdr);
void TreeListQueueOp(TreeListData* data, int kind, UINT_PTR arg1, UINT_PTR arg2);
// Queues an argument-less kind unless one already waits.
void TreeListQueueOnce(TreeListData* data, int kind);
// Allocation of the control's blocks (zeroed), with a failure seam for tests:
// after TreeListSetAllocFailure(n) the n-th allocation fails.
void* TreeListAlloc(size_t size);
void TreeListSetAllocFailure(int n);
LRESULT TreeListRunDeferred(TreeListData* data);
LRESULT TreeListOption(TreeListData* data, WPARAM wParam, LPARAM lParam);
// Leaves every level of the lock this thread holds; returns the depth.
int TreeListLeaveAll(TreeListData* data);
void TreeListEnterAll(TreeListData* data, int depth);

// Holds the control's lock for a handler: every handler runs under it.
// Leave() ends it early, before a last call to the parent; Enter() takes it
// again.
class TreeListLocked {
 public:
  explicit TreeListLocked(TreeListData* data) : m_data(data) { TreeListLock(data); }
  ~TreeListLocked() { Leave(); }
  TreeListLocked(const TreeListLocked&) = delete;
  TreeListLocked& operator=(const TreeListLocked&) = delete;
  void Leave() {
    if (m_held) TreeListUnlock(m_data);
    m_held = false;
  }
  void Enter() {
    if (!m_held) TreeListLock(m_data);
    m_held = true;
  }

 private:
  TreeListData* m_data;
  bool m_held = true;
};

// Leaves every level of the lock this thread holds for as long as it lives,
// so that the parent, a callback or another thread may call back into the
// control meanwhile; takes the levels again at its end.
class TreeListUnlocked {
 public:
  // release false: a caller that must keep the lock (a deferred operation).
  explicit TreeListUnlocked(TreeListData* data, bool release = true)
      : m_data(data), m_depth(release ? TreeListLeaveAll(data) : 0) {}
  ~TreeListUnlocked() { TreeListEnterAll(m_data, m_depth); }
  TreeListUnlocked(const TreeListUnlocked&) = delete;
  TreeListUnlocked& operator=(const TreeListUnlocked&) = delete;

 private:
  TreeListData* m_data;
  int m_depth;
};

// --- protocol (treelist_protocol.cpp)
LRESULT TreeListSetImageList(TreeListData* data, WPARAM kind, HIMAGELIST list);
LRESULT TreeListGetImageList(TreeListData* data, WPARAM kind);
LRESULT TreeListSetExtendedStyle(TreeListData* data, DWORD mask, DWORD bits);
LRESULT TreeListSetColorSlot(TreeListData* data, UINT slot, COLORREF color);
LRESULT TreeListGetColorSlot(TreeListData* data, UINT slot);
LRESULT TreeListSetIndent(TreeListData* data, int indent);
LRESULT TreeListSetItemHeight(TreeListData* data, int height);

// --- resources, colours, fonts, rows, geometry (treelist_resources.cpp, treelist_rows.cpp)
void TreeListAddRefResources();
void TreeListReleaseResources();
// Shared resources, for tests and the painting.
HPEN TreeListDottedPen();
HBRUSH TreeListCheckerBrush();
HCURSOR TreeListCursor(int which);  // 0 arrow, 1 hand, 2 no
int TreeListResourceCount();

struct TreeListThemeApi {
  HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR);
  HRESULT(WINAPI* CloseThemeData)(HTHEME);
  HRESULT(WINAPI* DrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  HRESULT(WINAPI* GetThemePartSize)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
  HRESULT(WINAPI* GetThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*);
  HRESULT(WINAPI* SetWindowTheme)(HWND, LPCWSTR, LPCWSTR);
  HRESULT(WINAPI* BufferedPaintInit)();
  HRESULT(WINAPI* BufferedPaintUnInit)();
  void* BeginBufferedPaint;
  void* EndBufferedPaint;
};
const TreeListThemeApi& TreeListTheme();
void TreeListOpenThemes(TreeListData* data);
void TreeListCloseThemes(TreeListData* data);

void TreeListUpdateColors(TreeListData* data);
int TreeListGetItemDispInfo(TreeListData* data, TreeListItem* item, TLHandle handle, UINT mask, int* image,
                            UINT* textLength, const char** text);
int TreeListGetCellDispInfo(TreeListData* data, TreeListItem* item, TreeListCell* cell, TLHandle handle, int column,
                            UINT mask, int* image, UINT* textLength, const char** text);
int TreeListMeasureFont(TreeListData* data);
int TreeListUpdateItemHeight(TreeListData* data);
void TreeListRebuildRows(TreeListData* data, TLHandle start);
int TreeListUpdateColumnPos(TreeListData* data);
void TreeListUpdateMergedColumns(TreeListData* data);
void TreeListFitColumns(TreeListData* data, int change);
int TreeListInvalidateCell(TreeListData* data, TLHandle item, int column);
int TreeListInvalidateColumn(TreeListData* data, int column);
void TreeListInvalidateItem(TreeListData* data, TLHandle item);
void TreeListInvalidateRows(TreeListData* data);
void TreeListInvalidateHeader(TreeListData* data);
// The visible index of a row field (row + 1); -1 when not shown.
int TreeListVisibleIndex(const TreeListData* data, UINT row);
// The last column merged into column by the item's state.
int TreeListLastMerged(const TreeListData* data, UINT state, int column);
LRESULT TreeListOnSize(TreeListData* data, LPARAM lParam);
LRESULT TreeListOnSysColorChange(TreeListData* data);
LRESULT TreeListOnSetFont(TreeListData* data, HFONT font, BOOL redraw);

// --- scrolling and expanding (treelist_scroll.cpp)
void TreeListUpdateHScrollBar(TreeListData* data, int release);
void TreeListUpdateVScrollBar(TreeListData* data, int release, int force);
void TreeListRefreshScrollInfo(TreeListData* data);
int TreeListSetHScrollPos(TreeListData* data, int pos, UINT code);
int TreeListSetVScrollPos(TreeListData* data, int top, UINT code);
LRESULT TreeListOnHScroll(TreeListData* data, WPARAM wParam);
LRESULT TreeListOnVScroll(TreeListData* data, WPARAM wParam);
LRESULT TreeListOnMouseWheel(TreeListData* data, WPARAM wParam);
LRESULT TreeListOnShowWindow(TreeListData* data, WPARAM wParam);
int TreeListExpandItem(TreeListData* data, TLHandle item, UINT code);
int TreeListGetItemRect(TreeListData* data, TLHandle item, UINT code, RECT* rc);
int TreeListEnsureVisible(TreeListData* data, UINT_PTR item, int column);
int TreeListGetVisibility(TreeListData* data, UINT_PTR item, int column);
LRESULT TreeListSelectFirstVisible(TreeListData* data, UINT_PTR item);

// --- item store (treelist_items.cpp)
int TreeListGrowTables(TreeListData* data, UINT needed);
TreeListCell* TreeListGetCell(TreeListData* data, TLHandle item, int column, bool create);
LRESULT TreeListOnDeleteMessage(TreeListData* data, WPARAM wParam, LPARAM lParam);
LRESULT TreeListGetColor(TreeListData* data, UINT_PTR item, int column, int kind);
LRESULT TreeListSetColor(TreeListData* data, UINT_PTR item, int column, int kind, COLORREF color, bool queue);
LRESULT TreeListSetInsertMark(TreeListData* data, UINT_PTR item, BOOL before);
// --- selection (treelist_select.cpp)
// Toggles one item's selection in multiple selection (not the caret).
LRESULT TreeListSetItemSelected(TreeListData* data, TLHandle item, UINT action);
LRESULT TreeListNotifyClick(TreeListData* data, int code, POINT pt, UINT hitFlags, TLHandle item, int column);
// Takes the item out of the selection (caret gone in single selection).
LRESULT TreeListUnselectItem(TreeListData* data, UINT_PTR item);

// --- navigation (treelist_navigation.cpp)
LRESULT TreeListGetNextItem(TreeListData* data, UINT code, UINT_PTR item);
LRESULT TreeListFindItem(TreeListData* data, UINT_PTR start, TreeListFindInfo* info);
LRESULT TreeListCountMatches(TreeListData* data, const TVITEMA* request);
LRESULT TreeListMoveItem(TreeListData* data, UINT_PTR item, UINT_PTR target, int mode);
// Next item in pre-order after start that is (or is not) selected, within
// the subtree of stop; TVI_ROOT starts at the first root.
TLHandle TreeListNextItemInOrder(TreeListData* data, UINT_PTR start, TLHandle stop);
TLHandle TreeListNextUnselectedItem(TreeListData* data, UINT_PTR start, TLHandle stop);

// --- painting (treelist_paint.cpp)
// The record handed to a column's draw callback.
struct TreeListPaintInfo {
  HWND window;
  TLHandle item;
  RECT* rect;
  LPARAM lParam;
  const char* text;
  UINT textLength;
  UINT stateFlags;
  int row;
  BYTE column;
  BYTE textOffset;
  COLORREF textColor;
};
// Clip region of the span merged into `first` by the merge bits; its right
// edge (content coordinates) and the number of joined columns come back.
HRGN TreeListMergedClipRgn(TreeListData* data, UINT mergeBits, int first, int* right, int* joined);

// --- columns (treelist_columns.cpp)
LRESULT TreeListInsertColumn(TreeListData* data, int index, const LVCOLUMNA* description);
LRESULT TreeListDeleteColumn(TreeListData* data, int column);
int TreeListColumnContentWidth(TreeListData* data, int column);
LRESULT TreeListSetColumn(TreeListData* data, int column, const LVCOLUMNA* description);
LRESULT TreeListGetColumn(TreeListData* data, int column, LVCOLUMNA* description);
LRESULT TreeListGetColumnWidth(TreeListData* data, int column);
LRESULT TreeListSetColumnOrder(TreeListData* data, WPARAM count, const int* order);
LRESULT TreeListGetColumnOrder(TreeListData* data, WPARAM count, int* order);
LRESULT TreeListSetColumnTextColor(TreeListData* data, WPARAM wParam, COLORREF color);
// Width of a text in the row font (bold with TVIS_BOLD).
int TreeListMeasureText(TreeListData* data, const char* text, UINT length, bool bold);

// --- entry points the window procedure and the handlers share
// Delete mode bits: rebuild the rows after the delete; only the children;
// queue rows, scrolling and notifications for the window's thread.
const int kTLDeleteRebuild = 0x1, kTLDeleteChildren = 0x2, kTLDeleteDeferred = 0x4;
LRESULT TreeListDeleteItem(TreeListData* data, UINT_PTR item, int mode);
LRESULT TreeListInsertItem(TreeListData* data, TVINSERTSTRUCTA* insert);
LRESULT TreeListSetItem(TreeListData* data, TVITEMA* item);
LRESULT TreeListGetItem(TreeListData* data, TVITEMA* item);
LRESULT TreeListSetStateEx(TreeListData* data, TVITEMA* item);
LRESULT TreeListExpand(TreeListData* data, UINT_PTR item, UINT code);
LRESULT TreeListSelectItem(TreeListData* data, UINT_PTR item, int column, UINT flags);
LRESULT TreeListHitTest(TreeListData* data, TVHITTESTINFO* info);
LRESULT TreeListEndEdit(TreeListData* data, int mode);
// Widens or narrows an open edit box to its text, between its first width
// and the control's right edge.
void TreeListFitEditor(TreeListData* data);
LRESULT TreeListTypeAhead(TreeListData* data, UINT ch);
LRESULT TreeListDropTarget(TreeListData* data, UINT keys, POINT pt);
LRESULT TreeListSetColumnWidth(TreeListData* data, int column, int width);
void TreeListPaint(TreeListData* data, HDC dc, const RECT* rc);
void TreeListCreateToolTip(TreeListData* data);
// Makes the tip that creation left for later (no tip on another thread).
void TreeListMakeDueToolTip(TreeListData* data);
void TreeListHideTip(TreeListData* data);
void TreeListCreateCheckImages(TreeListData* data, int which);  // 0 state list, 1 column list
LRESULT TreeListOnHeaderNotify(TreeListData* data, NMHDR* hdr);
LRESULT TreeListOnToolTipNotify(TreeListData* data, NMHDR* hdr);
LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM key, LPARAM keyData);
LRESULT TreeListOnButtonDown(TreeListData* data, UINT msg, WPARAM keys, LPARAM point);
LRESULT TreeListOnButtonUp(TreeListData* data, UINT msg, WPARAM keys, LPARAM point);
LRESULT TreeListOnMouseMove(TreeListData* data, WPARAM keys, LPARAM point);
LRESULT TreeListOnMouseLeave(TreeListData* data);
LRESULT TreeListOnTipTimer(TreeListData* data);
LRESULT TreeListOnPaste(TreeListData* data);
// TLM_SETFOCUSCELL and TLM_SELECTSUBTREE, and 0 for any other message.
LRESULT TreeListOnSetFocusCell(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListOnSelectSubtree(TreeListData* data, WPARAM select, LPARAM item);
// Focus cell: -1 keeps the item or column, item 0 clears it.
LRESULT TreeListSetFocusCell(TreeListData* data, UINT_PTR item, int column);
void TreeListClearFocusCell(TreeListData* data);
// Moves the focus cell (and its mark) without touching the caret.
void TreeListMoveFocusCell(TreeListData* data, TLHandle item, int column);
LRESULT TreeListSelectSubtree(TreeListData* data, UINT_PTR start, WPARAM how);
// A held cell button lets go: TLN_CHECKCHANGED, maybe the editor.
void TreeListReleaseCellButton(TreeListData* data, POINT pt);

// --- drag and drop (treelist_drag.cpp)
// Mark item (TVI_LAST after the last row, 0 none); height 0 = frame.
TLHandle TreeListSetDropMark(TreeListData* data, UINT_PTR item, int height, int offset);
// 0 refused, 1 already there, 2 allowed.
int TreeListCheckDropTarget(TreeListData* data, TLHandle item, UINT_PTR target, int mode);
// Keeps the dragged item's level or parent; 0 when that cannot be done.
int TreeListAdjustDropTarget(TreeListData* data, TLHandle item, UINT_PTR* target, int* mode);
// keys: MK_LBUTTON when begun with the left button, 0x80 begun by TLM_BEGINDRAG.
LRESULT TreeListBeginDrag(TreeListData* data, UINT_PTR item, UINT keys, POINT pt);
LRESULT TreeListBeginDragMessage(TreeListData* data, UINT_PTR item);
void TreeListDragOver(TreeListData* data, UINT keys, POINT pt, bool force);
LRESULT TreeListEndDrop(TreeListData* data);
// Button release while dragging: capture off, the drop, the drag's end.
void TreeListFinishDrop(TreeListData* data);
void TreeListCancelDrag(TreeListData* data);
// WM_CAPTURECHANGED: a drag whose capture went elsewhere is cancelled.
void TreeListOnCaptureChanged(TreeListData* data, HWND gainer);
// Ends a drag without a drop or a report (the dragged item is going).
void TreeListEndDragQuietly(TreeListData* data);
// Keys while a drag runs (takes the lock); true when the key was the drag's.
bool TreeListDragKeyDown(TreeListData* data, WPARAM key);
// A button press while dragging; true when it is used up.
bool TreeListDragButtonDown(TreeListData* data, UINT msg, POINT pt);
// Test seam: the source of TLM_BEGINDRAG's button state (NULL: the system's).
typedef SHORT (*TreeListAsyncKeyProc)(int key);
void TreeListSetAsyncKeyState(TreeListAsyncKeyProc proc);

// --- tips (treelist_tips.cpp)
LRESULT CALLBACK TreeListToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void TreeListKeepTipOnMonitor(TreeListData* data);
void TreeListUpdateInfoTip(TreeListData* data, UINT_PTR item, UINT flags);
// A tip window the control no longer uses forwards nothing to it any more.
void TreeListLetGoOfToolTip(HWND tip);

// --- images (treelist_images.cpp)
HIMAGELIST TreeListCreateDragImage(TreeListData* data, UINT_PTR item, int column);
// True for the control's own check images of kind 0 (state) or 1 (columns).
bool TreeListOwnCheckImages(const TreeListData* data, int kind);
// A themed check box (index 1 off, 2 on) in box, centred by height.
void TreeListDrawThemedCheck(TreeListData* data, HDC dc, const RECT& box, int index, bool hot, bool pressed);
// WM_PAINT's drawing through the visual styles' paint buffer where there is
// one, so that a repaint never flickers; takes the lock.
void TreeListPaintBuffered(TreeListData* data, HDC dc, const RECT* rc);
// Test seam: check images as if the "BUTTON" theme were missing.
void TreeListHideButtonTheme(bool hidden);

// --- check boxes (treelist_checks.cpp)
// Toggles the item's check box and sends TLN_CHECKCHANGED; 1 toggled.
LRESULT TreeListToggleCheck(TreeListData* data, TLHandle item, POINT pt);

// --- pointer tracking (treelist_tracking.cpp)
LRESULT TreeListSetHotItem(TreeListData* data, UINT_PTR item, int column);
// TVN_SINGLEEXPAND and the branch switch; 2.
LRESULT TreeListSingleExpand(TreeListData* data, TLHandle oldItem, TLHandle newItem);
// Before the button handlers (takes the lock): the drag's buttons and the
// double click the tip swallows. True when the message is used up.
bool TreeListBeforeButton(TreeListData* data, UINT* msg, LPARAM point);
LRESULT TreeListOnBeginDrag(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnSetDropMark(TreeListData* data, WPARAM mode, LPARAM item);
LRESULT TreeListOnCreateDragImage(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListOnSetHotItem(TreeListData* data, WPARAM column, LPARAM item);

// --- in-place editing (treelist_edit.cpp)
// Asks the parent with TLN_EDITREQUEST and opens the editor it names: 1
// when an editor opened.
LRESULT TreeListRequestEdit(TreeListData* data, UINT_PTR item, int column, UINT code, POINT pt);
// Edits the caret item's cell by the column's settings (or steps or checks
// it without an editor): 1 done, 0 refused.
LRESULT TreeListEditCell(TreeListData* data, int column, UINT code, POINT pt);
// Creates, places and shows the editor; NULL when refused.
HWND TreeListCreateEditor(TreeListData* data, UINT_PTR item, UINT flags);
LRESULT CALLBACK TreeListEditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// TVM_EDITLABELA, TVM_ENDEDITLABELNOW, TLM_SETCOLUMNEDIT, TLM_SETCOLUMNEDITPARAM.
LRESULT TreeListOnEditMessage(TreeListData* data, UINT msg, WPARAM wParam, LPARAM lParam);
// Edits started by the mouse on an item already hit and selected: the
// double-click, a click on an editable image area, the second click armed
// at the press and run at the release. True when the click was taken for
// an edit (no expand toggle then).
bool TreeListClickEdit(TreeListData* data, UINT msg, WPARAM keys, TLHandle item, UINT hitFlags, bool cellArea, POINT pt,
                       bool wasCaret, bool release);

// Sets or clears a mark bit (focus, hot) on an item or, for a column above 0,
// on its cell (made when setting), and repaints that cell.
void TreeListSetMarkFlag(TreeListData* data, TLHandle item, int column, BYTE flag, bool on);

// Before input is handled: the control takes the focus, with the lock left
// while SetFocus sends its messages. False when the control is disabled or
// the focus went elsewhere.
bool TreeListTakeFocusForInput(TreeListData* data);

// Message handlers of the dispatch table, one per message (wParam, lParam
// as the message has them).
LRESULT TreeListOnGetItemRect(TreeListData* data, WPARAM code, LPARAM lParam);
LRESULT TreeListOnEnsureVisible(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListOnGetVisibility(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListOnExpand(TreeListData* data, WPARAM code, LPARAM item);
LRESULT TreeListOnGetNextItem(TreeListData* data, WPARAM code, LPARAM item);
LRESULT TreeListOnFindItem(TreeListData* data, WPARAM start, LPARAM find);
LRESULT TreeListOnCountItems(TreeListData* data, WPARAM, LPARAM request);
LRESULT TreeListOnMoveItem(TreeListData* data, UINT msg, WPARAM target, LPARAM item);
LRESULT TreeListOnSelectItem(TreeListData* data, WPARAM code, LPARAM item);
LRESULT TreeListOnSelectCell(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListOnSetToolTips(TreeListData* data, WPARAM tip, LPARAM);
LRESULT TreeListOnGetToolTips(TreeListData* data, WPARAM, LPARAM);
LRESULT TreeListOnInsertItem(TreeListData* data, WPARAM, LPARAM insert);
LRESULT TreeListOnGetItem(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnSetItem(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnSetInsertMark(TreeListData* data, WPARAM after, LPARAM item);
LRESULT TreeListOnSetStateEx(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnGetItemState(TreeListData* data, WPARAM item, LPARAM);
LRESULT TreeListOnGetItemParam(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnSetItemParam(TreeListData* data, WPARAM param, LPARAM item);
LRESULT TreeListOnGetItemExtra(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnSetExtraSize(TreeListData* data, WPARAM, LPARAM size);
LRESULT TreeListOnGetCellColor(TreeListData* data, WPARAM item, LPARAM column, bool text);
LRESULT TreeListOnSetCellColor(TreeListData* data, WPARAM wParam, LPARAM color, bool text);
LRESULT TreeListOnSetColorRecord(TreeListData* data, WPARAM item, LPARAM record);
LRESULT TreeListOnHitTest(TreeListData* data, WPARAM, LPARAM info);
LRESULT TreeListOnGetItemRow(TreeListData* data, WPARAM, LPARAM item);
LRESULT TreeListOnGetRowItem(TreeListData* data, WPARAM, LPARAM row);
LRESULT TreeListOnInsertColumn(TreeListData* data, WPARAM index, LPARAM description);
LRESULT TreeListOnDeleteColumn(TreeListData* data, WPARAM column, LPARAM);
LRESULT TreeListOnSetColumn(TreeListData* data, WPARAM column, LPARAM description);
LRESULT TreeListOnSetColumnOrder(TreeListData* data, WPARAM count, LPARAM order);
