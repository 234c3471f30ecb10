// The "TreeList" window class: a tree view with columns. It answers the
// 8-bit tree-view messages by their numbers plus its own TLM_ messages, and
// notifies its parent with the tree-view codes plus its own TLN_ codes.
// Item handles are small integers; other threads call the window procedure
// directly (the entry comes from TLM_OPTION TLO_DIRECTENTRY).
#pragma once

#include <windows.h>
#include <commctrl.h>

#define TREELIST_CLASSNAME "TreeList"

// Registers the class once per process: 1 when registered, 0 on failure
// (a later call tries again).
int RegisterTreeListClass(HINSTANCE instance);
LRESULT CALLBACK TreeListWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Own messages.
const UINT TLM_SETCOLUMNTEXTCOLOR = 0x114E;
const UINT TLM_SETITEMPARAM = 0x114F;
const UINT TLM_GETITEMPARAM = 0x1150;
const UINT TLM_COUNTITEMS = 0x1151;
const UINT TLM_BEGINDRAG = 0x1152;
const UINT TLM_SETCOLOR = 0x1153;
const UINT TLM_SETAUTOSCROLL = 0x1154;
const UINT TLM_RUNDEFERRED = 0x1155;
const UINT TLM_SETDROPMARK = 0x1156;
const UINT TLM_SETSTATEEX = 0x1157;
const UINT TLM_MOVEITEM = 0x1158;  // mode = message - TLM_MOVEITEM, up to 0x115B
const UINT TLM_MOVEITEM_LAST = 0x115B;
const UINT TLM_SETCOLUMNORDER = 0x115C;
const UINT TLM_GETCOLUMNORDER = 0x115D;
const UINT TLM_SETFOCUSCELL = 0x115E;
const UINT TLM_GETVISIBILITY = 0x115F;
const UINT TLM_OPTION = 0x1160;
const UINT TLM_SELECTSUBTREE = 0x1161;
const UINT TLM_FINDITEM = 0x1163;
const UINT TLM_GETROWSINVIEW = 0x1164;
const UINT TLM_SETCOLUMNEDITPARAM = 0x1165;
const UINT TLM_SETCOLUMNEDIT = 0x1167;
const UINT TLM_SORTCHILDRENEX = 0x1168;
const UINT TLM_GETITEMEXTRA = 0x1169;
const UINT TLM_GETEXTRASIZE = 0x116A;
const UINT TLM_SETEXTRASIZE = 0x116B;
const UINT TLM_GETCOLUMNWIDTH = 0x116C;
const UINT TLM_SETCOLUMNWIDTH = 0x116D;
const UINT TLM_GETCOLUMN = 0x116F;
const UINT TLM_SETCOLUMN = 0x1171;
const UINT TLM_GETITEMROW = 0x1172;
const UINT TLM_GETROWCOUNT = 0x1173;
const UINT TLM_GETROWITEM = 0x1174;
const UINT TLM_GETTEXTCOLOR = 0x1175;
const UINT TLM_SETTEXTCOLOR = 0x1176;
const UINT TLM_GETBKCOLOR = 0x1177;
const UINT TLM_SETBKCOLOR = 0x1178;
const UINT TLM_SETHOTITEM = 0x1179;
const UINT TLM_SELECTCELL = 0x117A;
const UINT TLM_INSERTCOLUMN = 0x117C;
const UINT TLM_DELETECOLUMN = 0x117D;
const UINT TLM_GETCOLUMNCOUNT = 0x117E;
const UINT TLM_GETHEADER = 0x117F;
const UINT TLM_FIRST = 0x114E;
const UINT TLM_LAST = 0x117F;
// A worker's batch of direct calls under one hold of the lock: wParam TRUE
// takes it, FALSE leaves it and lets a thread that waits for it in first.
// Past the control's own numbers, which leave 0x1166 unanswered.
const UINT TLM_HOLDLOCK = 0x1180;

// TLM_SETCOLUMNORDER's wParam that takes the order from the header.
const WPARAM TL_ORDER_FROM_HEADER = 0x88776655;
// TLM_SETCOLUMN's width that restores the remembered width.
const int TL_WIDTH_RESTORE = 0x44332211;
// Option bits of a column record's mask (and, set or clear, of its fmt).
const UINT TLCF_SHADED = 0x10000000;
const UINT TLCF_AUTOWIDTH = 0x20000000;
const UINT TLCF_FIT = 0x40000000;
const UINT TLCF_FLAG31 = 0x80000000;
// TLM_SETCOLUMNTEXTCOLOR's high word.
const int TL_COLOR_STORE = 0, TL_COLOR_STOREREPAINT = 1, TL_COLOR_READ = 2;

// Notifications.
const int TLN_GETINFOTIP = -432;
const int TLN_CHECKCHANGED = -433;
const int TLN_CELLSTEPPED = -434;
const int TLN_EDITREQUEST = -435;
const int TLN_LBUTTONUP = -436;
const int TLN_RBUTTONUP = -437;
const int TLN_COLUMNCHANGED = -438;
const int TLN_HEADERRCLICK = -439;
const int TLN_DROP = -440;
const int TLN_SCROLLING = -441;

// TLN_SCROLLING: positions as they would be after the change.
struct NMTLSCROLLING {
  NMHDR hdr;
  WORD bar;   // 0 horizontal, 1 vertical
  WORD code;  // SB_* code, TL_SCROLL_OWN or TL_SCROLL_WHEEL
  int scrollX;
  int topRow;
};
const WORD TL_SCROLL_OWN = 9;
const WORD TL_SCROLL_WHEEL = 11;
// WM_HSCROLL / WM_VSCROLL code that takes the position from wParam >> 4.
const int TL_SB_SETPOS = 12;

// TLM_FINDITEM's request; flags are written back so a repeat continues.
struct TreeListFindInfo {
  UINT flags;
  int column;
  UINT state;
  UINT stateMask;
  LPARAM lParam;
  const char* text;
};
const UINT TLFI_TEXT = 0x1;
const UINT TLFI_PARAM = 0x4;
const UINT TLFI_STATE = 0x8;
const UINT TLFI_ONLYOPEN = 0x1000000;   // descend only into shown, expanded items
const UINT TLFI_FROMCHILD = 0x2000000;  // start at the first child
const UINT TLFI_AFTER = 0x4000000;      // start after the start item
const UINT TLFI_NOCASE = 0x8000000;
const UINT TLFI_TREE = 0x10000000;  // pre-order through the tree
const UINT TLFI_INCLUDESTART = 0x20000000;

// TVM_EXPAND flags of the control beside TLE_DEFER.
const UINT TLE_QUIET = 0x4000000;
const UINT TLE_SIBLINGS = 0x8000000;
const UINT TLE_SUBTREES = 0x10000000;
const UINT TLE_PARENT = 0x20000000;
const UINT TLE_KEEPPARTIAL = 0x40000000;
const UINT TLE_ANCESTORS = 0x80000000;

// TLN_COLUMNCHANGED.
struct NMTLCOLUMNCHANGED {
  NMHDR hdr;
  int column;
  int displayPos;
  int left;
  int width;
};

// TLN_HEADERRCLICK.
struct NMTLHEADERRCLICK {
  NMHDR hdr;
  HDHITTESTINFO hit;
};

// Sorted-insert callback (insert-after TLI_SORTCB, in hItem): window,
// sibling, sibling's text, new text, sibling's lParam, the record's lParam;
// above 0 places the new item after the sibling. One convention (stdcall)
// for every six-argument callback of the control.
typedef int(CALLBACK* TreeListCompareProc)(HWND, HTREEITEM, LPCSTR, LPCSTR, LPARAM, LPARAM);

// TLM_SORTCHILDRENEX callback: window, first item, second item, their
// lParams, the record's lParam; above 0 sorts the first after the second.
typedef int(CALLBACK* TreeListSortProc)(HWND, HTREEITEM, HTREEITEM, LPARAM, LPARAM, LPARAM);
// TLM_SORTCHILDRENEX's record, shaped like TVSORTCB.
struct TLSORTCBEX {
  HTREEITEM hParent;
  TreeListSortProc lpfnCompare;
  LPARAM lParam;
};

// Pseudo-handles beside TVI_ROOT, TVI_FIRST, TVI_LAST and TVI_SORT.
#define TLI_AFTER ((HTREEITEM)(ULONG_PTR)0xFFFF0005)         // after hParent, as its sibling
#define TLI_BEFORE ((HTREEITEM)(ULONG_PTR)0xFFFF0006)        // before hParent, as its sibling
#define TLI_SORTCB ((HTREEITEM)(ULONG_PTR)0xFFFF0007)        // sorted by the callback in hItem
#define TLI_CARET ((HTREEITEM)(ULONG_PTR)0xFFFF0008)         // the caret item (ensure-visible)
#define TLI_UNFIXEDROOTS ((HTREEITEM)(ULONG_PTR)0xFFFF0009)  // roots after the fixed rows (delete)

// TVITEMA mask bits of the control.
const UINT TLIF_ALLCELLSTATE = 0x2000;       // with TLIF_CELL: state reaches the item bits too
const UINT TLIF_CLICK = 0x4000;              // click record
const UINT TLIF_CELL = 0x8000;               // the cell of the column in cChildren
const UINT TLIF_DIRECT = 0x10000;            // no callbacks; consequences deferred
const UINT TLIF_PARAMINTEGRAL = 0x10000000;  // sorted insert: lParam in iIntegral
const UINT TLIF_TEXTPTR = 0x80000000;        // TVM_GETITEMA: pointer to the stored text

// TLM_SETSTATEEX scope bits: which items the record is applied to.
const UINT TLSE_SIBLINGS = 0x100000;
const UINT TLSE_ITEM = 0x200000;
const UINT TLSE_ANCESTORS = 0x400000;
const UINT TLSE_DESCENDANTS = 0x2000000;

// Item state bits of the control.
const UINT TLIS_HIDDEN = 0x4000;  // no row under TLS_EX_HIDEITEMS
const int TLIS_MERGESHIFT = 16;   // bits 16 and up: merge column k + 1 into k

// TVM_DELETEITEM wParam: delete modes beside the plain delete (0 or any
// other value), which rebuilds the rows at once. The deferred forms queue
// rows, scrolling and notifications for the window's thread, for callers on
// other threads.
const WPARAM TLDI_NOREBUILD = 0x87;         // rows not rebuilt
const WPARAM TLDI_CHILDREN = 0x88;          // only the children, rows not rebuilt
const WPARAM TLDI_DEFERRED = 0x89;          // rows rebuilt, consequences deferred
const WPARAM TLDI_CHILDRENDEFERRED = 0x8A;  // only the children, deferred

// TVM_EXPAND flag: queue the expansion for the window's thread.
const UINT TLE_DEFER = 0x2000000;
// TVM_GETITEMRECT code bits.
const UINT TL_RECT_TEXT = 0x1;
const UINT TL_RECT_CELL = 0x80;  // (code & 0xFC) == 0x80; column in bits 24-31
const UINT TL_RECT_OUTSIDE = 0x100;

// TVM_SETIMAGELIST: kinds and the bit that keeps ownership with the caller.
const int TLSIL_NORMAL = 0, TLSIL_STATE = 2, TLSIL_CHECK = 3, TLSIL_CELL = 4, TLSIL_HEADER = 5;
const WPARAM TLSIL_KEEP = 0x40000000;
// Image list marker: draw themed check boxes.
#define TL_CHECKBOX_MARKER ((HIMAGELIST)(ULONG_PTR)1)

// Extended style (TVM_SETEXTENDEDSTYLE).
const DWORD TLS_EX_MULTISELECT = 0x00000002;
const DWORD TLS_EX_SCROLLNOTIFY = 0x00000008;
const DWORD TLS_EX_NORIGHTSELECT = 0x00000100;
const DWORD TLS_EX_NOHSCROLL = 0x00000020;
const DWORD TLS_EX_HIDEITEMS = 0x00000200;
const DWORD TLS_EX_VSCROLLALWAYS = 0x00000400;
const DWORD TLS_EX_COLUMNNOTIFY = 0x00000800;
const DWORD TLS_EX_DRAGCOLUMNS = 0x00001000;
const DWORD TLS_EX_ONECHECKED = 0x00002000;  // one checked item at a time
const DWORD TLS_EX_ODDHEIGHT = 0x00004000;
const DWORD TLS_EX_CHECKFROMZERO = 0x00008000;  // check states 0/1 in place of 1/2
const DWORD TLS_EX_TALLROWS = 0x00010000;
const DWORD TLS_EX_ALTERNATE = 0x00020000;
const DWORD TLS_EX_CELLCARET = 0x00040000;
const DWORD TLS_EX_FOCUSROW = 0x00080000;
const DWORD TLS_EX_INFOTIPS = 0x00100000;
const DWORD TLS_EX_EXPANDEDIMAGE = 0x00200000;
const DWORD TLS_EX_FIXEDCOLUMNS = 0x00800000;
const DWORD TLS_EX_NOHEADER = 0x01000000;
const DWORD TLS_EX_DISABLEDCOLOR = 0x02000000;
const DWORD TLS_EX_GRIDINDENT = 0x04000000;  // with TLS_EX_TALLROWS: the indentation in the grid colour
const DWORD TLS_EX_SHAREWIDTH = 0x08000000;
const DWORD TLS_EX_SHAREDIMAGELISTS = 0x20000000;
// Bits whose change repaints all rows.
const DWORD TLS_EX_REPAINTMASK = 0x040E0002;

// TLM_OPTION: option numbers; TLO_SET in wParam sets lParam.
const WPARAM TLO_SET = 0x80000000;
const int TLO_PAINTSPACING = 1;
const int TLO_NODRAGSTATES = 2;
const int TLO_DRAGOPTIONS = 3;
const int TLO_FIXEDROWS = 4;
const int TLO_PAINTFLAG = 5;
const int TLO_SELECTEDCOUNT = 6;
const int TLO_BUTTONDOWN = 7;  // TL_CLICKEDIT_... bits
const int TLO_PAINTHOOK = 8;
const int TLO_PAINTHOOKCONTEXT = 9;
const int TLO_MINROWHEIGHT = 10;
const int TLO_DIRECTENTRY = 11;
const int TLO_NOCHECKSTATES = 12;
const int TLO_SCROLLMARGIN = 13;
const int TLO_MERGECOLUMNS = 14;
const int TLO_GROWCOLUMN0 = 15;
const int TLO_EDITFLAG = 16;

// Edit-on-click bits (TLM_OPTION TLO_BUTTONDOWN), under TLS_EX_EDITONCLICK.
const BYTE TL_CLICKEDIT_TEXTONLY = 0x01;  // only a click on the text itself
const BYTE TL_CLICKEDIT_FIRST = 0x02;     // the click that moves the caret edits too

// Drag options (TLM_OPTION TLO_DRAGOPTIONS).
const UINT TL_DRAG_NOINTO = 0x01;         // Ctrl does not drop onto an item
const UINT TL_DRAG_KEEPLEVEL = 0x02;      // the dragged item keeps its level
const UINT TL_DRAG_KEEPPARENT = 0x04;     // the dragged item keeps its parent
const UINT TL_DRAG_LEAVESONLY = 0x08;     // only items without children drag and take drops
const UINT TL_DRAG_NOFIXED = 0x10;        // fixed rows take no drops
const UINT TL_DRAG_ROOTSONLY = 0x20;      // automatic drags only of roots
const UINT TL_DRAG_REPORTOUTSIDE = 0x40;  // a drop outside the rows is reported
const UINT TL_DRAG_REPORTCANCEL = 0x80;   // an Esc cancel is reported
const UINT TL_DRAG_NEEDTEXT = 0x100;      // the caret must have text to drag
const UINT TL_DRAG_NOLAST = 0x200;        // no drop after the last row
// Window style: the control drags its items itself after TVN_BEGINDRAGA.
const DWORD TLS_AUTODRAG = 0x8000;
// TLN_DROP action: count in bits 0-23, mode in bits 24-25, and these.
const UINT TL_DROP_MODEMASK = 0x3000000;
const UINT TL_DROP_OUTSIDE = 0x4000000;
const UINT TL_DROP_CANCELLED = 0x5000000;
const UINT TL_DROP_BYMESSAGE = 0x20000000;
const UINT TL_DROP_INPLACE = 0x40000000;
const UINT TL_DROP_MOVED = 0x80000000;
// TLN_GETINFOTIP: itemNew.mask bit that asks for a delay of lParam ms.
const UINT TL_TIP_DELAY = 0x40000000;

// Timers of the control window.
const UINT_PTR TL_TIMER_DROPHOVER = 0x3910;
const UINT_PTR TL_TIMER_INFOTIP = 0x3912;
const UINT_PTR TL_TIMER_AUTOSCROLL = 0x3913;

// Child control ids.
const int TL_HEADER_ID = 1;
const int TL_EDITOR_ID = 3;

// TLM_GETVISIBILITY results.
const int TL_VIS_BADHANDLE = -1, TL_VIS_NOROW = 0, TL_VIS_OUTSIDE = 1, TL_VIS_LASTROW = 2, TL_VIS_CUT = 3,
          TL_VIS_FULL = 4;

// --- In-place editing.
// TLM_SETCOLUMNEDIT's word: flags in bits 0-7, kind in 8-10, column in
// 11-16, separator in 17-24, maximum number of choices in 25-31 (0: 1024).
inline WPARAM TreeListColumnEditWord(int column, int kind, UINT flags, BYTE separator = '|', UINT maxChoices = 0) {
  return (WPARAM)((flags & 0xFF) | ((UINT)(kind & 7) << 8) | ((UINT)(column & 0x3F) << 11) | ((UINT)separator << 17) |
                  ((maxChoices & 0x7F) << 25));
}
// Column edit kinds.
const int TLEK_NONE = 0;       // only the parent starts edits (TLN_EDITREQUEST)
const int TLEK_EDIT = 1;       // edit box
const int TLEK_COMBO = 2;      // combo box with an edit field
const int TLEK_LIST = 3;       // drop-down list
const int TLEK_STEP = 4;       // a click or key steps to the next choice
const int TLEK_STEPEDIT = 5;   // steps on a button click, else an edit box
const int TLEK_CHECK = 6;      // check box
const int TLEK_CHECKEDIT = 7;  // check box on a click, else an edit box
// Column edit flags.
const UINT TLCE_NEXTROW = 0x01;     // Return with a changed text moves down
const UINT TLCE_DBLCLICK = 0x02;    // a double-click edits
const UINT TLCE_ALIGN = 0x04;       // editor text aligned like the column
const UINT TLCE_ARRAY = 0x08;       // choices: NULL-terminated array of texts
const UINT TLCE_ASKTYPING = 0x10;   // typing and pasting ask the parent
const UINT TLCE_READONLY = 0x20;    // cells with state 0x8000 are read-only
const UINT TLCE_IMAGECLICK = 0x40;  // a click on the image area edits
const UINT TLIS_READONLY = 0x8000;  // cell state read under TLCE_READONLY
const UINT TLIS_CELLBUTTON = 0x40;  // cell state: the image is a button

// Codes that start an edit.
const UINT TLEC_RETURN = 13;
const UINT TLEC_CHAR = 0x1000000;  // OR the (unsigned) character
const UINT TLEC_DBLCLICK = 0x10000;
const UINT TLEC_IMAGE = 0x10001;
const UINT TLEC_RELEASE = 0x10002;
const UINT TLEC_PASTE = 0x10004;

// TVM_EDITLABELA: this plus the column asks the parent first (code 13);
// any other wParam is a set of editor flags.
const WPARAM TL_EDITLABEL_ASK = 0xF5A5A500;
// Editor flags (column in bits 0-7).
const UINT TLEF_CARETX = 0x04000000;    // caret at the x offset in bits 8-25
const UINT TLEF_CARETPOS = 0x08000000;  // caret at the character in bits 8-25
const UINT TLEF_SELECT = 0x0C000000;    // selection bits 8-16 to bits 17-25
const UINT TLEF_COMBO = 0x20000000;
const UINT TLEF_LIST = 0x40000000;
const UINT TLEF_ALIGN = 0x80000000;

// TLN_EDITREQUEST: the parent may fill the fields after code; its reply is
// 0 to refuse, else TLER_ bits.
struct NMTLEDITREQUEST {
  NMHDR hdr;
  TVITEMA item;                    // mask 0x801C, cChildren = column
  UINT code;                       // TLEC_ code
  int droppedWidth;                // 0
  int maxChoices;                  // 255
  char* choiceText;                // choices divided by the reply's separator
  const char* const* choiceArray;  // NULL-terminated
  int x, y;                        // the click point
};
// The reply's low 32 bits count; any other non-zero reply opens an edit box.
const UINT TLER_FREETEXT = 0x80;        // LocalFree the choice text after use
const int TLER_SEPARATORSHIFT = 8;      // bits 8-15: separator of the choice text
const UINT TLER_DROPDOWN = 0x10000000;  // drop the list at once
const UINT TLER_COMBO = 0x20000000;     // with TLER_NOTEXT: drop-down list
const UINT TLER_NOTEXT = 0x40000000;    // alone: an edit box without the text
const UINT TLER_ALIGN = 0x80000000;

// TVN_ENDLABELEDITA mask bits beside 0x801D.
const UINT TLIF_EDITCANCELLED = 0x1000000;
const UINT TLIF_EDITCHANGED = 0x20000000;
const UINT TLIF_EDITRETURN = 0x10000000;
// The editor's control id is TL_EDITOR_ID; its own command codes.
const WORD TL_EDIT_ACCEPT = 0x1578;
const WORD TL_EDIT_CANCEL = 0x1579;
const WORD TL_EDIT_TEXTSET = 0x1000;
// The most characters typed into the editor.
const int TL_EDIT_LIMIT = 2048;

// Extended style bits read by the editing.
const DWORD TLS_EX_EDITARROWS = 0x00004000;    // arrows at the text ends leave the editor
const DWORD TLS_EX_CHECKZEROONE = 0x00008000;  // check images 0 and 1 in place of 1 and 2
const DWORD TLS_EX_EDITONCLICK = 0x40000000;   // a second click edits
const DWORD TLS_EX_NOCARETX = 0x80000000;      // a second click selects the whole text
