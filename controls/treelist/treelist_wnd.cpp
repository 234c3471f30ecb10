// The "TreeList" window: class registration, the state block's life, the
// dispatcher, the lock frame, the deferred queue, options and timers.
#include <cstdlib>
#include <cstring>

#include "base/check.h"
#include "controls/treelist/treelist_data.h"
#include "controls/treelist/treelist_keys.h"

namespace {

LONG g_registered = 0;
// Guards reading the block pointer together with counting foreign callers,
// so that WM_NCDESTROY can wait for direct callers before freeing it.
CRITICAL_SECTION g_blocksLock;
INIT_ONCE g_blocksOnce = INIT_ONCE_STATIC_INIT;
int g_allocFailAt = 0;  // test seam: the n-th allocation from now fails

BOOL CALLBACK InitBlocksLock(PINIT_ONCE, PVOID, PVOID*) {
  InitializeCriticalSection(&g_blocksLock);
  return TRUE;
}

void EnterBlocks() {
  InitOnceExecuteOnce(&g_blocksOnce, InitBlocksLock, nullptr, nullptr);
  EnterCriticalSection(&g_blocksLock);
}

bool IsLockOwner(TreeListData* data) {
  return (DWORD)(ULONG_PTR)data->lock.OwningThread == GetCurrentThreadId() && data->lock.RecursionCount > 0;
}

}  // namespace

// Extra state beside the block: callers on other threads in flight and the
// thread that owns the window.
struct TreeListBlock {
  TreeListData data;
  volatile LONG foreignCalls;
  DWORD ownerThread;
};

namespace {
// The window whose lock this thread holds for a batch, and its block: the
// batch's direct calls find the block without the blocks lock and the
// window-word lookup that every other call takes. The hold counts as a
// foreign call, so the block outlives it.
thread_local HWND t_heldWindow = nullptr;
thread_local TreeListBlock* t_heldBlock = nullptr;
thread_local int t_holdDepth = 0;
}  // namespace

void* TreeListAlloc(size_t size) {
  if (g_allocFailAt > 0 && --g_allocFailAt == 0) return nullptr;
  return calloc(1, size);
}

void TreeListSetAllocFailure(int n) { g_allocFailAt = n; }

int RegisterTreeListClass(HINSTANCE instance) {
  if (g_registered) return 1;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TreeListWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
  wc.lpszClassName = TREELIST_CLASSNAME;
  if (!RegisterClassExA(&wc)) return 0;
  InterlockedExchange(&g_registered, 1);
  return 1;
}

TreeListData* TreeListGetData(HWND hwnd) { return (TreeListData*)GetWindowLongPtrA(hwnd, 0); }

int TreeListLeaveAll(TreeListData* data) {
  int depth = 0;
  while (IsLockOwner(data)) {
    TreeListUnlock(data);
    ++depth;
  }
  return depth;
}

void TreeListEnterAll(TreeListData* data, int depth) {
  for (int i = 0; i < depth; ++i) TreeListLock(data);
}

LRESULT TreeListSendNotify(TreeListData* data, NMHDR* hdr) {
  hdr->hwndFrom = data->window;
  hdr->idFrom = (UINT_PTR)GetWindowLongPtrA(data->window, GWLP_ID);
  return SendMessageA(GetParent(data->window), WM_NOTIFY, hdr->idFrom, (LPARAM)hdr);
}

LRESULT TreeListNotifyUnlocked(TreeListData* data, NMHDR* hdr) {
  TreeListUnlocked unlocked(data);
  return TreeListSendNotify(data, hdr);
}

void TreeListQueueOp(TreeListData* data, int kind, UINT_PTR arg1, UINT_PTR arg2) {
  TreeListDeferredOp* op = (TreeListDeferredOp*)TreeListAlloc(sizeof(TreeListDeferredOp));
  if (!op) return;
  op->kind = kind;
  op->arg1 = arg1;
  op->arg2 = arg2;
  op->next = nullptr;
  if (data->queueTail)
    data->queueTail->next = op;
  else
    data->queueHead = op;
  data->queueTail = op;
  if (!data->queuePosted) {
    data->queuePosted = 1;
    PostMessageA(data->window, TLM_RUNDEFERRED, 0, 0);
  }
}

// True when a node of this kind waits already: bar redraws and full
// repaints need only one each, however many calls asked for them.
static bool IsQueued(TreeListData* data, int kind) {
  for (TreeListDeferredOp* op = data->queueHead; op; op = op->next)
    if (op->kind == kind) return true;
  return false;
}

void TreeListQueueOnce(TreeListData* data, int kind) {
  if (!IsQueued(data, kind)) TreeListQueueOp(data, kind, 0, 0);
}

static void SendSelectionGone(TreeListData* data, UINT_PTR item, LPARAM lParam) {
  NMTREEVIEWA nm = {};
  nm.hdr.code = TVN_SELCHANGEDA;
  nm.action = 0;
  nm.itemOld.mask = kTLRecordMask;
  nm.itemOld.hItem = (HTREEITEM)item;
  nm.itemOld.state = TVIS_SELECTED;
  nm.itemOld.stateMask = (UINT)-1;
  nm.itemOld.pszText = (LPSTR)(INT_PTR)-1;
  nm.itemOld.cchTextMax = -1;
  nm.itemOld.lParam = lParam;
  nm.itemNew.mask = kTLRecordMask;
  nm.itemNew.stateMask = (UINT)-1;
  nm.itemNew.pszText = (LPSTR)(INT_PTR)-1;
  nm.itemNew.cchTextMax = -1;
  TreeListNotifyUnlocked(data, &nm.hdr);
}

LRESULT TreeListRunDeferred(TreeListData* data) {
  TreeListLocked lock(data);
  LRESULT count = 0;
  // While a worker inserts by batches it queues as fast as the ops run:
  // only what waited at the start runs then, so that the window's thread
  // gets back to painting; the rest has its own posted run.
  TreeListDeferredOp* last = data->queueTail;
  bool lastDone = false;
  while (TreeListDeferredOp* op = data->queueHead) {
    if (lastDone && data->batchHolds > 0) break;
    lastDone = lastDone || op == last;
    data->queueHead = op->next;
    if (!data->queueHead) data->queueTail = nullptr;
    ++count;
    switch (op->kind) {
      case kTLOpSetState:
      case kTLOpSetStateQuiet: {
        TVITEMA item = {};
        item.mask = TVIF_STATE;
        item.hItem = (HTREEITEM)op->arg1;
        item.state = (UINT)op->arg2;
        item.stateMask = (UINT)op->arg2 >> 16;
        BYTE quiet = data->quiet;
        if (op->kind == kTLOpSetStateQuiet) data->quiet = 1;
        TreeListSetItem(data, &item);
        data->quiet = quiet;
        break;
      }
      case kTLOpExpand:
        TreeListExpand(data, op->arg1, (UINT)op->arg2);
        break;
      case kTLOpSelectionGone:
        SendSelectionGone(data, op->arg1, (LPARAM)op->arg2);
        break;
      case kTLOpHPos: {
        // The flipped position makes the setter apply arg2 even when it is
        // current; a veto restores the position the view really has.
        int old = data->scrollX;
        data->scrollX = (int)(op->arg2 ^ 1);
        int moved = TreeListSetHScrollPos(data, (int)op->arg2, TL_SCROLL_OWN);
        if (moved < 0) data->scrollX = old;
        if (moved > 0) TreeListInvalidateRows(data);
        break;
      }
      case kTLOpVPos: {
        int old = data->topRow;
        data->topRow = (int)(op->arg2 ^ 1);
        int moved = TreeListSetVScrollPos(data, (int)op->arg2, TL_SCROLL_OWN);
        if (moved < 0) data->topRow = old;
        if (moved > 0) TreeListInvalidateRows(data);
        break;
      }
      case kTLOpHBar:
        TreeListUpdateHScrollBar(data, 1);
        break;
      case kTLOpVBar:
        TreeListUpdateVScrollBar(data, 1, 1);
        break;
      case kTLOpRebuild:
        // The relative may be gone by now: then everything.
        TreeListRebuildRows(data, TreeListLookup(data, op->arg1) ? (TLHandle)op->arg1 : 0);
        break;
      case kTLOpRepaintCell:
        TreeListInvalidateCell(data, (TLHandle)op->arg1, (int)op->arg2);
        break;
      case kTLOpRepaintRows:
        TreeListInvalidateRows(data);
        break;
      case kTLOpRepaintItem:
        TreeListInvalidateItem(data, (TLHandle)op->arg1);
        break;
    }
    free(op);
  }
  data->queuePosted = data->queueHead != nullptr;
  if (data->queuePosted) PostMessageA(data->window, TLM_RUNDEFERRED, 0, 0);
  return count;
}

LRESULT TreeListOption(TreeListData* data, WPARAM wParam, LPARAM lParam) {
  int option = (int)(wParam & 0x7FFFFFFF);
  bool set = (wParam & TLO_SET) != 0;
  UINT value = (UINT)lParam;
  // Options set without the lock.
  switch (option) {
    case TLO_PAINTHOOK: {
      LRESULT old = (LRESULT)data->paintHook;
      if (set) data->paintHook = (TreeListPaintHook)lParam;
      return old;
    }
    case TLO_PAINTHOOKCONTEXT: {
      LRESULT old = data->paintHookContext;
      if (set) data->paintHookContext = lParam;
      return old;
    }
    case TLO_DIRECTENTRY:
      return (LRESULT)TreeListWndProc;
    case TLO_EDITFLAG: {
      LRESULT old = data->option16;
      if (set) data->option16 = value != 0;
      return old;
    }
    case TLO_SELECTEDCOUNT:
      return data->selectedCount;
    default:
      break;
  }
  if (option < 1 || option > 16) return 0;
  TreeListLocked lock(data);
  LRESULT old = 0;
  switch (option) {
    case TLO_PAINTSPACING:
      old = data->paintSpacing;
      if (set && (int)value != data->paintSpacing) {
        data->paintSpacing = (int)value;
        if (data->rowCount) TreeListInvalidateRows(data);
      }
      break;
    case TLO_NODRAGSTATES:
      old = data->noDragStates;
      if (set) data->noDragStates = value;
      break;
    case TLO_DRAGOPTIONS:
      old = data->dragOptions;
      if (set) data->dragOptions = value;
      break;
    case TLO_FIXEDROWS:
      old = data->fixedRows;
      if (set && (int)value != data->fixedRows) {
        data->fixedRows = (int)value;
        TreeListInvalidateRows(data);
      }
      break;
    case TLO_PAINTFLAG: {
      old = data->paintFlag ? 1 : 0;
      UINT flag = value ? 0x80000000 : 0;
      if (set && flag != data->paintFlag) {
        data->paintFlag = flag;
        TreeListInvalidateRows(data);
      }
      break;
    }
    case TLO_BUTTONDOWN:
      old = data->option7;
      if (set) data->option7 = (BYTE)value;
      break;
    case TLO_MINROWHEIGHT:
      old = data->minRowHeight;
      if (set && (signed char)value != data->minRowHeight) {
        data->minRowHeight = (signed char)value;
        TreeListUpdateItemHeight(data);
        TreeListUpdateVScrollBar(data, 1, 0);
      }
      break;
    case TLO_NOCHECKSTATES:
      old = data->noCheckStates;
      if (set) data->noCheckStates = value;
      break;
    case TLO_SCROLLMARGIN:
      old = data->scrollMargin;
      if (set) data->scrollMargin = (BYTE)value;
      break;
    case TLO_MERGECOLUMNS:
      old = data->mergeColumns;
      if (set && (WORD)value != data->mergeColumns) {
        data->mergeColumns = (WORD)value;
        TreeListUpdateMergedColumns(data);
      }
      break;
    case TLO_GROWCOLUMN0:
      old = data->growColumn0;
      if (set && (BYTE)value != data->growColumn0) {
        data->growColumn0 = (BYTE)value;
        TreeListRebuildRows(data, 0);
      }
      break;
  }
  return old;
}

// Frees every item record and cell without telling anyone: the last step of
// destruction, after the notifying delete has run.
static void FreeAllRecords(TreeListData* data) {
  if (!data->items) return;
  for (UINT h = 1; h <= data->capacity; ++h) {
    if (TreeListItem* item = data->items[h]) {
      free(item->text);
      free(item);
      data->items[h] = nullptr;
    }
    for (int c = 0; c < kTLMaxColumns - 1; ++c) {
      if (data->cells[c] && data->cells[c][h]) {
        free(data->cells[c][h]->text);
        free(data->cells[c][h]);
        data->cells[c][h] = nullptr;
      }
    }
  }
  for (UINT r = 0; r < data->rowCount; ++r) data->rows[r] = 0;
  data->rowCount = 0;
  data->itemCount = 0;
  data->firstRoot = data->lastRoot = 0;
}

static void FreeQueue(TreeListData* data) {
  while (TreeListDeferredOp* op = data->queueHead) {
    data->queueHead = op->next;
    free(op);
  }
  data->queueTail = nullptr;
}

static LRESULT OnCreate(HWND hwnd) {
  TreeListBlock* block = (TreeListBlock*)TreeListAlloc(sizeof(TreeListBlock));
  char* tip = block ? (char*)TreeListAlloc(256) : nullptr;
  TreeListItem** items = tip ? (TreeListItem**)TreeListAlloc(sizeof(TreeListItem*)) : nullptr;
  TLHandle* rows = items ? (TLHandle*)TreeListAlloc(sizeof(TLHandle)) : nullptr;
  if (!rows) {
    free(items);
    free(tip);
    free(block);
    return -1;
  }
  TreeListAddRefResources();
  TreeListData* data = &block->data;
  block->ownerThread = GetCurrentThreadId();
  InitializeCriticalSection(&data->lock);
  data->tipText = tip;
  data->tipTextSize = 256;
  data->items = items;
  data->rows = rows;
  data->window = hwnd;
  data->indent = 19;
  data->buttonBox = 7;
  data->style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
  data->enabled = IsWindowEnabled(hwnd) ? 1 : 0;
  data->iconEighth = (BYTE)(GetSystemMetrics(SM_CYICON) / 8);
  data->scrollMargin = 3;
  data->paintSpacing = 1;
  data->columnOrder[0] = 0;
  data->columnOrder[1] = 1;
  data->columns[0].nextColumn = 1;
  if (data->style & (TVS_HASBUTTONS | TVS_HASLINES)) data->linesAtRoot = (data->style & TVS_LINESATROOT) ? 1 : 0;
  for (int c = 0; c < kTLMaxColumns; ++c) data->columnTextColors[c] = CLR_NONE;
  EnterBlocks();
  SetWindowLongPtrA(hwnd, 0, (LONG_PTR)data);
  LeaveCriticalSection(&g_blocksLock);
  TreeListLocked lock(data);
  // A tooltip window costs milliseconds: it is made when first needed.
  data->toolTipDue = 1;
  TreeListMeasureFont(data);
  TreeListUpdateItemHeight(data);
  TreeListUpdateColors(data);
  TreeListUpdateVScrollBar(data, 0, 0);
  TreeListOpenThemes(data);
  if (data->style & TVS_CHECKBOXES) TreeListCreateCheckImages(data, 0);
  return 0;
}

static void DestroyOwnedList(HIMAGELIST list, BYTE owned) {
  if (owned && list && list != TL_CHECKBOX_MARKER) ImageList_Destroy(list);
}

static LRESULT OnDestroy(TreeListData* data) {
  TreeListLocked lock(data);
  TreeListDeleteItem(data, (UINT_PTR)TVI_ROOT, 0);
  FreeAllRecords(data);
  if (data->stateImages == TL_CHECKBOX_MARKER) data->stateImages = nullptr;
  if (data->checkImages == TL_CHECKBOX_MARKER) data->checkImages = nullptr;
  if (data->ownBoldFont) DeleteObject(data->ownBoldFont);
  data->ownBoldFont = nullptr;
  HWND children[3] = {data->editWindow, data->header, data->toolTip};
  data->editWindow = data->header = data->toolTip = nullptr;
  bool keepLists = (data->exStyle & TLS_EX_SHAREDIMAGELISTS) != 0;
  DestroyOwnedList(data->stateImages, data->ownsStateImages);
  DestroyOwnedList(data->checkImages, data->ownsCheckImages);
  if (!keepLists) {
    DestroyOwnedList(data->normalImages, data->ownsNormalImages);
    if (data->cellImages != data->normalImages) DestroyOwnedList(data->cellImages, data->ownsCellImages);
  }
  data->stateImages = data->checkImages = data->normalImages = data->cellImages = data->headerImages = nullptr;
  data->ownsStateImages = data->ownsCheckImages = data->ownsNormalImages = data->ownsCellImages = 0;
  TreeListCloseThemes(data);
  for (int c = 1; c < data->columnCount; ++c) {
    free(data->cells[c - 1]);
    data->cells[c - 1] = nullptr;
  }
  for (int i = 0; i < 2; ++i) {
    free(data->paintBuffers[i]);
    data->paintBuffers[i] = nullptr;
  }
  data->paintBufferSize = 0;
  data->columnCount = 0;
  lock.Leave();
  // Child windows go without the lock: they may notify us back.
  for (HWND child : children)
    if (child && IsWindow(child)) DestroyWindow(child);
  return 0;
}

static LRESULT OnNcDestroy(HWND hwnd, TreeListData* data) {
  TreeListBlock* block = (TreeListBlock*)data;
  EnterBlocks();
  SetWindowLongPtrA(hwnd, 0, 0);
  LeaveCriticalSection(&g_blocksLock);
  // Direct callers that found the block before it was unhooked finish first.
  while (block->foreignCalls > 0) Sleep(1);
  TreeListLocked lock(data);
  free(data->tipText);
  FreeAllRecords(data);
  free(data->items);
  free(data->rows);
  for (int c = 0; c < kTLMaxColumns - 1; ++c) free(data->cells[c]);
  FreeQueue(data);
  lock.Leave();
  DeleteCriticalSection(&data->lock);
  memset(block, 0, sizeof(*block));
  free(block);
  TreeListReleaseResources();
  return 0;
}

static void RepaintCaret(TreeListData* data) {
  if (data->selectedCount >= 2) {
    TreeListInvalidateRows(data);
  } else if (data->caretItem) {
    if (data->exStyle & TLS_EX_FOCUSROW)
      TreeListInvalidateItem(data, data->caretItem);
    else
      TreeListInvalidateCell(data, data->caretItem, data->caretColumn);
  }
}

static LRESULT OnFocus(TreeListData* data, BOOL gained) {
  if (data->hasFocus == (gained ? 1 : 0)) return 0;
  TreeListLocked lock(data);
  data->hasFocus = gained ? 1 : 0;
  RepaintCaret(data);
  lock.Leave();
  NMHDR hdr = {};
  hdr.code = gained ? NM_SETFOCUS : NM_KILLFOCUS;
  TreeListSendNotify(data, &hdr);
  return 0;
}

// Window styles the rows are painted by.
const DWORD kStylesThatPaint =
    TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_TRACKSELECT | TVS_SINGLEEXPAND;

static void ApplyStyle(TreeListData* data, DWORD style) {
  DWORD changed = style ^ data->style;
  data->style = style;
  if (changed & (TVS_CHECKBOXES | TVS_NONEVENHEIGHT)) {
    if (!(style & TVS_CHECKBOXES)) {
      DestroyOwnedList(data->stateImages, data->ownsStateImages);
      data->stateImages = nullptr;
      data->ownsStateImages = 0;
      data->stateImageSize = {0, 0};
    } else if (!data->stateImages) {
      TreeListCreateCheckImages(data, 0);
    }
    TreeListUpdateItemHeight(data);
    TreeListUpdateVScrollBar(data, 1, 0);
    // The check boxes come or go also when the row height stays.
    TreeListInvalidateRows(data);
  }
  if (changed & kStylesThatPaint) {
    data->linesAtRoot = (style & (TVS_HASBUTTONS | TVS_HASLINES)) && (style & TVS_LINESATROOT) ? 1 : 0;
    TreeListInvalidateRows(data);
  }
  if (changed & TVS_NOSCROLL) {
    data->hBarCache[0] = data->hBarCache[1] = -1;
    data->vBarCache[0] = data->vBarCache[1] = -1;
    TreeListUpdateHScrollBar(data, 1);
    TreeListUpdateVScrollBar(data, 1, 1);
  }
  if (changed & TVS_NOTOOLTIPS) {
    if (style & TVS_NOTOOLTIPS)
      TreeListHideTip(data);
    else if (!data->toolTip)
      TreeListCreateToolTip(data);
  }
  if (changed & WS_DISABLED) {
    data->enabled = (style & WS_DISABLED) ? 0 : 1;
    TreeListInvalidateRows(data);
    if (!data->enabled) TreeListHideTip(data);
  }
}

static LRESULT OnStyleChanged(TreeListData* data, WPARAM which, const STYLESTRUCT* ss) {
  if (which != (WPARAM)GWL_STYLE || !ss) return 0;
  TreeListLocked lock(data);
  ApplyStyle(data, ss->styleNew);
  return 0;
}

static LRESULT OnEnable(TreeListData* data, WPARAM enable) {
  BYTE want = enable ? 1 : 0;
  if (data->enabled == want) return 0;
  HWND hwnd = data->window;
  DWORD current = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
  DWORD style =
      (current & 0xFFFF0000 & ~WS_DISABLED) | (data->style & 0xFFFF) | ((data->style & WS_DISABLED) ^ WS_DISABLED);
  SetWindowLongA(hwnd, GWL_STYLE, (LONG)style);
  // The style write announces itself with WM_STYLECHANGED; where it does
  // not (an unchanged value), the change is applied here.
  if (data->enabled != want) {
    TreeListLocked lock(data);
    ApplyStyle(data, style);
  }
  return 0;
}

static LRESULT OnSetRedraw(TreeListData* data, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (!wParam) {
    TreeListLocked lock(data);
    data->redrawOff = 1;
    lock.Leave();
    return DefWindowProcA(hwnd, WM_SETREDRAW, wParam, lParam);
  }
  if (!data->redrawOff) return DefWindowProcA(hwnd, WM_SETREDRAW, wParam, lParam);
  TreeListLocked lock(data);
  data->redrawOff = 0;
  lock.Leave();
  LRESULT result = DefWindowProcA(hwnd, WM_SETREDRAW, wParam, lParam);
  lock.Enter();
  TreeListInvalidateRows(data);
  TreeListInvalidateHeader(data);
  lock.Leave();
  TreeListRefreshScrollInfo(data);
  return result;
}

static LRESULT OnPaint(TreeListData* data, HWND hwnd, HDC given) {
  if (given) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    TreeListLocked lock(data);
    TreeListPaint(data, given, &rc);
    return 0;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) TreeListPaintBuffered(data, dc, &ps.rcPaint);
  EndPaint(hwnd, &ps);
  return 0;
}

static LRESULT OnGetDlgCode(TreeListData* data, const MSG* msg) {
  if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || (msg->wParam == VK_ESCAPE && data->dragItem)))
    return DLGC_WANTALLKEYS;
  return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

// Commands of the in-place editor; any other child's are not the control's.
static LRESULT OnCommand(TreeListData* data, WPARAM wParam) {
  if (LOWORD(wParam) != TL_EDITOR_ID) return 0;
  DWORD code = (DWORD)wParam;
  TreeListLocked lock(data);
  const DWORD editKillFocus = MAKEWPARAM(TL_EDITOR_ID, EN_KILLFOCUS), accept = MAKEWPARAM(TL_EDITOR_ID, TL_EDIT_ACCEPT);
  const DWORD comboKillFocus = MAKEWPARAM(TL_EDITOR_ID, CBN_KILLFOCUS);
  if (code == editKillFocus || code == accept || code == comboKillFocus) {
    if (data->editItem) {
      int kind = data->editKind;
      TreeListEndEdit(data, code == accept ? 2 : 1);
      lock.Leave();
      if (kind && code != editKillFocus) SetFocus(data->window);
      return 0;
    }
  } else if (code == MAKEWPARAM(TL_EDITOR_ID, TL_EDIT_CANCEL)) {
    if (data->editItem) {
      int kind = data->editKind;
      TreeListEndEdit(data, 0);
      lock.Leave();
      if (kind) SetFocus(data->window);
      return 0;
    }
  } else if (code == MAKEWPARAM(TL_EDITOR_ID, EN_CHANGE) || code == MAKEWPARAM(TL_EDITOR_ID, CBN_EDITCHANGE) ||
             code == MAKEWPARAM(TL_EDITOR_ID, CBN_SELCHANGE) || code == MAKEWPARAM(TL_EDITOR_ID, TL_EDIT_TEXTSET)) {
    data->editChanged = 1;
    if (code == MAKEWPARAM(TL_EDITOR_ID, EN_CHANGE) || code == MAKEWPARAM(TL_EDITOR_ID, TL_EDIT_TEXTSET))
      TreeListFitEditor(data);
  }
  return 0;
}

static LRESULT OnClipboard(TreeListData* data, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND edit = data->editWindow;
  if (edit && IsWindowVisible(edit)) {
    PostMessageA(edit, msg, wParam, lParam);
    return 0;
  }
  if (msg == WM_PASTE && data->caretItem && IsClipboardFormatAvailable(CF_TEXT)) {
    if (TreeListOnPaste(data)) return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void OnDropHoverTimer(TreeListData* data) {
  if (++data->dropHoverTicks < 5) return;
  TreeListLocked lock(data);
  TVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(data->window, &hit.pt);
  UINT_PTR item = (UINT_PTR)TreeListHitTest(data, &hit);
  if (item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) {
    TreeListItem* record = TreeListLookup(data, item);
    if (record && record->firstChild && !(record->state & TVIS_EXPANDED)) TreeListExpandItem(data, (TLHandle)item, 0);
  }
}

// One auto-scroll tick: false when the tick takes no step.
static bool OnAutoScrollTimer(TreeListData* data) {
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(data->window, &pt);
  int mode = data->autoScrollMode;
  int d;
  WPARAM direction;
  if (pt.y < data->clientHeight / 2) {
    direction = SB_LINEUP;
    d = data->headerHeight - pt.y;
    if ((mode & 1) && pt.y < 0) return false;
  } else {
    direction = SB_LINEDOWN;
    d = pt.y - data->clientHeight + 1;
    if ((mode & 1) && pt.y > data->clientHeight) return false;
  }
  if (mode & 2) {
    if (pt.x < 0 || pt.x > data->imageSize.cx - 1) return false;
    d += data->rowHeight;
  }
  if (d < 0) return false;
  int speed = (mode & 1) ? d + 2 : d / 3;
  if (speed > 11) speed = 11;
  data->autoScrollTicks = (BYTE)(data->autoScrollTicks + 1);
  // At or above the threshold: a faster speed lowers it below the counter.
  if (data->autoScrollTicks >= 12 - speed) {
    data->autoScrollTicks = 0;
    TreeListWndProc(data->window, WM_VSCROLL, direction, 0);
  }
  return true;
}

static LRESULT OnTimer(TreeListData* data, HWND hwnd, WPARAM id, LPARAM lParam) {
  switch (id) {
    case TL_TIMER_DROPHOVER:
      OnDropHoverTimer(data);
      return 0;
    case TL_TIMER_INFOTIP:
      return TreeListOnTipTimer(data);
    case TL_TIMER_AUTOSCROLL:
      if (!OnAutoScrollTimer(data)) return DefWindowProcA(hwnd, WM_TIMER, id, lParam);
      return 0;
  }
  return 0;
}

static LRESULT OnSetAutoScroll(TreeListData* data, WPARAM mode, LPARAM interval) {
  TreeListLocked lock(data);
  data->autoScrollMode = (BYTE)mode;
  data->autoScrollTicks = 0;
  lock.Leave();
  if (interval == 0) return KillTimer(data->window, TL_TIMER_AUTOSCROLL);
  int ms = (int)interval;
  if (ms < 30) ms = 30;
  if (ms > 900) ms = 900;
  return (LRESULT)SetTimer(data->window, TL_TIMER_AUTOSCROLL, (UINT)ms, nullptr);
}

static LRESULT OnKeyUp(TreeListData* data, HWND hwnd, WPARAM key, LPARAM keyData) {
  if (key == VK_CONTROL && data->dragItem && data->dropMarkHeight >= 5) {
    TreeListLocked lock(data);
    TreeListDropTarget(data, data->dragKeys & ~MK_CONTROL, data->dragPoint);
  }
  DefWindowProcA(hwnd, WM_KEYUP, key, keyData);
  return 1;
}

static LRESULT OnSize(TreeListData* data, HWND hwnd, LPARAM size) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return TreeListOnSize(data, MAKELPARAM(LOWORD(size), rc.bottom));
}

// The header's owner-drawn items are the parent's to draw.
static LRESULT OnDrawItem(TreeListData* data, WPARAM id, LPARAM item) {
  if (id != TL_HEADER_ID) return 0;
  HWND hwnd = data->window;
  return SendMessageA(GetParent(hwnd), WM_DRAWITEM, (WPARAM)GetWindowLongPtrA(hwnd, GWLP_ID), item);
}

static LRESULT OnNotify(TreeListData* data, WPARAM id, LPARAM hdr) {
  if (!hdr) return 0;
  if (id == TL_HEADER_ID) return TreeListOnHeaderNotify(data, (NMHDR*)hdr);
  return TreeListOnToolTipNotify(data, (NMHDR*)hdr);
}

static LRESULT OnKeyDown(TreeListData* data, WPARAM key, LPARAM keyData) {
  if (data->dragItem && TreeListDragKeyDown(data, key)) return 0;
  return TreeListOnKeyDown(data, key, keyData);
}

static LRESULT OnChar(TreeListData* data, WPARAM ch, LPARAM keyData) {
  int repeat = LOWORD(keyData);
  TreeListLocked lock(data);
  for (int i = 0; i < repeat; ++i) TreeListTypeAhead(data, (UINT)ch);
  return 0;
}

static LRESULT OnCaptureChanged(TreeListData* data, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  TreeListOnCaptureChanged(data, (HWND)lParam);
  return DefWindowProcA(hwnd, WM_CAPTURECHANGED, wParam, lParam);
}

static LRESULT OnButtonDown(TreeListData* data, UINT msg, WPARAM keys, LPARAM point) {
  if (TreeListBeforeButton(data, &msg, point)) return 0;
  return TreeListOnButtonDown(data, msg, keys, point);
}

static LRESULT OnLButtonUp(TreeListData* data, WPARAM keys, LPARAM point) {
  UINT msg = WM_LBUTTONUP;
  if (TreeListBeforeButton(data, &msg, point)) return 0;
  return TreeListOnButtonUp(data, msg, keys, point);
}

static LRESULT OnRButtonUp(TreeListData* data, HWND hwnd, WPARAM keys, LPARAM point) {
  TreeListOnButtonUp(data, WM_RBUTTONUP, keys, point);
  return DefWindowProcA(hwnd, WM_RBUTTONUP, keys, point);
}

// A worker's batch: the lock stays held across its direct calls. On leaving,
// a thread that waits for the lock (the window's, to paint) takes it before
// the worker's next batch can: the lock would otherwise go straight back to
// the worker. The wait is bounded and needs nothing of the waiter but to run.
static LRESULT OnHoldLock(TreeListData* data, WPARAM take) {
  TreeListBlock* block = (TreeListBlock*)data;
  if (take) {
    if (t_heldBlock && t_heldBlock != block) return 0;  // one window at a time
    if (t_holdDepth++ == 0) {
      InterlockedIncrement(&block->foreignCalls);
      t_heldWindow = data->window;
      t_heldBlock = block;
      InterlockedIncrement(&data->batchHolds);
    }
    TreeListLock(data);
    return 1;
  }
  if (t_heldBlock != block || !IsLockOwner(data)) return 0;
  TreeListUnlock(data);
  if (--t_holdDepth == 0) {
    t_heldWindow = nullptr;
    t_heldBlock = nullptr;
    InterlockedDecrement(&data->batchHolds);
    InterlockedDecrement(&block->foreignCalls);
  }
  for (int i = 0; i < 10000 && data->lockWaiters > 0 && !IsLockOwner(data); ++i) SwitchToThread();
  return 1;
}

// The message table: every message the control answers has its case here;
// any other number, including the free ones among the control's, declines.
static LRESULT Dispatch(TreeListData* data, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // clang-format off
  switch (msg) {
    case WM_DESTROY:              return OnDestroy(data);
    case WM_SIZE:                 return OnSize(data, hwnd, lParam);
    case WM_SETFOCUS:             return OnFocus(data, TRUE);
    case WM_KILLFOCUS:            return OnFocus(data, FALSE);
    case WM_ENABLE:               return OnEnable(data, wParam);
    case WM_SETREDRAW:            return OnSetRedraw(data, hwnd, wParam, lParam);
    case WM_PAINT:
    case WM_PRINTCLIENT:          return OnPaint(data, hwnd, (HDC)wParam);
    case WM_SYSCOLORCHANGE:       return TreeListOnSysColorChange(data);
    case WM_SHOWWINDOW:           return TreeListOnShowWindow(data, wParam);
    case WM_DRAWITEM:             return OnDrawItem(data, wParam, lParam);
    case WM_SETFONT:              return TreeListOnSetFont(data, (HFONT)wParam, (BOOL)lParam);
    case WM_GETFONT:              return (LRESULT)data->font;
    case WM_NOTIFY:               return OnNotify(data, wParam, lParam);
    case WM_STYLECHANGED:         return OnStyleChanged(data, wParam, (const STYLESTRUCT*)lParam);
    case WM_GETDLGCODE:           return OnGetDlgCode(data, (const MSG*)lParam);
    case WM_KEYDOWN:              return OnKeyDown(data, wParam, lParam);
    case WM_KEYUP:                return OnKeyUp(data, hwnd, wParam, lParam);
    case WM_CHAR:                 return OnChar(data, wParam, lParam);
    case WM_COMMAND:              return OnCommand(data, wParam);
    case WM_TIMER:                return OnTimer(data, hwnd, wParam, lParam);
    case WM_HSCROLL:              return TreeListOnHScroll(data, wParam);
    case WM_VSCROLL:              return TreeListOnVScroll(data, wParam);
    case WM_MOUSEWHEEL:           return TreeListOnMouseWheel(data, wParam);
    case WM_MOUSEMOVE:            return TreeListOnMouseMove(data, wParam, lParam);
    case WM_MOUSELEAVE:           return TreeListOnMouseLeave(data);
    case WM_CAPTURECHANGED:       return OnCaptureChanged(data, hwnd, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:        return OnButtonDown(data, msg, wParam, lParam);
    case WM_LBUTTONUP:            return OnLButtonUp(data, wParam, lParam);
    case WM_RBUTTONUP:            return OnRButtonUp(data, hwnd, wParam, lParam);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:                return OnClipboard(data, hwnd, msg, wParam, lParam);
    case CCM_GETUNICODEFORMAT:    return 0;
    // Tree-view messages.
    case TVM_INSERTITEMA:         return TreeListOnInsertItem(data, wParam, lParam);
    case TVM_DELETEITEM:          return TreeListOnDeleteMessage(data, wParam, lParam);
    case TVM_EXPAND:              return TreeListOnExpand(data, wParam, lParam);
    case TVM_GETITEMRECT:         return TreeListOnGetItemRect(data, wParam, lParam);
    case TVM_GETCOUNT:            return data->itemCount;
    case TVM_GETINDENT:           return data->indent;
    case TVM_SETINDENT:           return TreeListSetIndent(data, (int)wParam);
    case TVM_GETIMAGELIST:        return TreeListGetImageList(data, wParam);
    case TVM_SETIMAGELIST:        return TreeListSetImageList(data, wParam, (HIMAGELIST)lParam);
    case TVM_GETNEXTITEM:         return TreeListOnGetNextItem(data, wParam, lParam);
    case TVM_SELECTITEM:          return TreeListOnSelectItem(data, wParam, lParam);
    case TVM_GETITEMA:            return TreeListOnGetItem(data, wParam, lParam);
    case TVM_SETITEMA:            return TreeListOnSetItem(data, wParam, lParam);
    case TVM_EDITLABELA:
    case TVM_ENDEDITLABELNOW:     return TreeListOnEditMessage(data, msg, wParam, lParam);
    case TVM_GETEDITCONTROL:      return (LRESULT)data->editWindow;
    case TVM_GETVISIBLECOUNT:     return data->rowsPerPage;
    case TVM_HITTEST:             return TreeListOnHitTest(data, wParam, lParam);
    case TVM_CREATEDRAGIMAGE:     return TreeListOnCreateDragImage(data, wParam, lParam);
    case TVM_SORTCHILDREN:
    case TVM_SORTCHILDRENCB:      return TreeListOnSortMessage(data, msg, wParam, lParam);
    case TVM_ENSUREVISIBLE:       return TreeListOnEnsureVisible(data, wParam, lParam);
    case TVM_GETISEARCHSTRINGA:   return TreeListGetISearchString((char*)lParam);
    case TVM_SETTOOLTIPS:         return TreeListOnSetToolTips(data, wParam, lParam);
    case TVM_GETTOOLTIPS:         return TreeListOnGetToolTips(data, wParam, lParam);
    case TVM_SETINSERTMARK:       return TreeListOnSetInsertMark(data, wParam, lParam);
    case TVM_SETITEMHEIGHT:       return TreeListSetItemHeight(data, (int)wParam);
    case TVM_GETITEMHEIGHT:       return data->rowHeight;
    case TVM_SETBKCOLOR:          return TreeListSetColorSlot(data, (UINT)wParam, (COLORREF)lParam);
    case TVM_GETBKCOLOR:          return TreeListGetColorSlot(data, (UINT)wParam);
    case TVM_SETTEXTCOLOR:        return TreeListSetColorSlot(data, kTLColorText, (COLORREF)lParam);
    case TVM_GETTEXTCOLOR:        return TreeListGetColorSlot(data, kTLColorText);
    case TVM_SETINSERTMARKCOLOR:  return TreeListSetColorSlot(data, kTLColorInsertMark, (COLORREF)lParam);
    case TVM_GETINSERTMARKCOLOR:  return TreeListGetColorSlot(data, kTLColorInsertMark);
    case TVM_GETITEMSTATE:        return TreeListOnGetItemState(data, wParam, lParam);
    case TVM_SETLINECOLOR:        return TreeListSetColorSlot(data, kTLColorSign, (COLORREF)lParam);
    case TVM_GETLINECOLOR:        return TreeListGetColorSlot(data, kTLColorSign);
    case TVM_SETEXTENDEDSTYLE:    return TreeListSetExtendedStyle(data, (DWORD)wParam, (DWORD)lParam);
    case TVM_GETEXTENDEDSTYLE:    return data->exStyle;
    // The control's own messages.
    case TLM_SETCOLUMNTEXTCOLOR:  return TreeListSetColumnTextColor(data, wParam, (COLORREF)lParam);
    case TLM_SETITEMPARAM:        return TreeListOnSetItemParam(data, wParam, lParam);
    case TLM_GETITEMPARAM:        return TreeListOnGetItemParam(data, wParam, lParam);
    case TLM_COUNTITEMS:          return TreeListOnCountItems(data, wParam, lParam);
    case TLM_BEGINDRAG:           return TreeListOnBeginDrag(data, wParam, lParam);
    case TLM_SETCOLOR:            return TreeListOnSetColorRecord(data, wParam, lParam);
    case TLM_SETAUTOSCROLL:       return OnSetAutoScroll(data, wParam, lParam);
    case TLM_RUNDEFERRED:         return TreeListRunDeferred(data);
    case TLM_SETDROPMARK:         return TreeListOnSetDropMark(data, wParam, lParam);
    case TLM_SETSTATEEX:          return TreeListOnSetStateEx(data, wParam, lParam);
    case TLM_MOVEITEM:
    case TLM_MOVEITEM + 1:
    case TLM_MOVEITEM + 2:
    case TLM_MOVEITEM_LAST:       return TreeListOnMoveItem(data, msg, wParam, lParam);
    case TLM_SETCOLUMNORDER:      return TreeListOnSetColumnOrder(data, wParam, lParam);
    case TLM_GETCOLUMNORDER:      return TreeListGetColumnOrder(data, wParam, (int*)lParam);
    case TLM_SETFOCUSCELL:        return TreeListOnSetFocusCell(data, wParam, lParam);
    case TLM_GETVISIBILITY:       return TreeListOnGetVisibility(data, wParam, lParam);
    case TLM_OPTION:              return TreeListOption(data, wParam, lParam);
    case TLM_SELECTSUBTREE:       return TreeListOnSelectSubtree(data, wParam, lParam);
    case TLM_FINDITEM:            return TreeListOnFindItem(data, wParam, lParam);
    case TLM_GETROWSINVIEW:       return data->rowsInView;
    case TLM_HOLDLOCK:            return OnHoldLock(data, wParam);
    case TLM_SETCOLUMNEDITPARAM:
    case TLM_SETCOLUMNEDIT:       return TreeListOnEditMessage(data, msg, wParam, lParam);
    case TLM_SORTCHILDRENEX:      return TreeListOnSortMessage(data, msg, wParam, lParam);
    case TLM_GETITEMEXTRA:        return TreeListOnGetItemExtra(data, wParam, lParam);
    case TLM_GETEXTRASIZE:        return data->extraBytes;
    case TLM_SETEXTRASIZE:        return TreeListOnSetExtraSize(data, wParam, lParam);
    case TLM_GETCOLUMNWIDTH:      return TreeListGetColumnWidth(data, (int)wParam);
    case TLM_SETCOLUMNWIDTH:      return TreeListSetColumnWidth(data, (int)wParam, (int)lParam);
    case TLM_GETCOLUMN:           return TreeListGetColumn(data, (int)wParam, (LVCOLUMNA*)lParam);
    case TLM_SETCOLUMN:           return TreeListOnSetColumn(data, wParam, lParam);
    case TLM_GETITEMROW:          return TreeListOnGetItemRow(data, wParam, lParam);
    case TLM_GETROWCOUNT:         return data->rowCount;
    case TLM_GETROWITEM:          return TreeListOnGetRowItem(data, wParam, lParam);
    case TLM_GETTEXTCOLOR:        return TreeListOnGetCellColor(data, wParam, lParam, true);
    case TLM_SETTEXTCOLOR:        return TreeListOnSetCellColor(data, wParam, lParam, true);
    case TLM_GETBKCOLOR:          return TreeListOnGetCellColor(data, wParam, lParam, false);
    case TLM_SETBKCOLOR:          return TreeListOnSetCellColor(data, wParam, lParam, false);
    case TLM_SETHOTITEM:          return TreeListOnSetHotItem(data, wParam, lParam);
    case TLM_SELECTCELL:          return TreeListOnSelectCell(data, wParam, lParam);
    case TLM_INSERTCOLUMN:        return TreeListOnInsertColumn(data, wParam, lParam);
    case TLM_DELETECOLUMN:        return TreeListOnDeleteColumn(data, wParam, lParam);
    case TLM_GETCOLUMNCOUNT:      return data->columnCount;
    case TLM_GETHEADER:           return (LRESULT)data->header;
    default:                      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  // clang-format on
}

LRESULT CALLBACK TreeListWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return OnCreate(hwnd);
  if (hwnd == t_heldWindow && t_heldWindow) return Dispatch(&t_heldBlock->data, hwnd, msg, wParam, lParam);
  EnterBlocks();
  TreeListBlock* block = (TreeListBlock*)GetWindowLongPtrA(hwnd, 0);
  bool foreign = block && block->ownerThread != GetCurrentThreadId();
  if (foreign) InterlockedIncrement(&block->foreignCalls);
  LeaveCriticalSection(&g_blocksLock);
  if (!block) {
    // No state block: before WM_CREATE, after WM_NCDESTROY, or a window of
    // another class. Window messages get the default; direct calls nothing.
    if (msg >= 0x1100 && msg < 0x1200) return 0;
    if (msg == CCM_GETUNICODEFORMAT) return 0;
    return IsWindow(hwnd) ? DefWindowProcA(hwnd, msg, wParam, lParam) : 0;
  }
  LRESULT result;
  if (msg == WM_NCDESTROY) {
    if (foreign) {
      InterlockedDecrement(&block->foreignCalls);
      return 0;
    }
    return OnNcDestroy(hwnd, &block->data);
  }
  result = Dispatch(&block->data, hwnd, msg, wParam, lParam);
  if (foreign) InterlockedDecrement(&block->foreignCalls);
  return result;
}
