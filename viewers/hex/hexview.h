// CHexView: the hex editor window. Shows a caller's byte buffer in lines of
// an address column, a hex area and a character area.
#pragma once

#include "ui/statuspanemsg.h"
#include "viewers/hex/hexlayout.h"
#include "viewers/text/ansiview.h"

// Flag word; kHexViewPublicMask is what GetFlags and SetFlags reach.
const DWORD kHexViewReadOnly = 0x0001;
const DWORD kHexViewAutoWidth = 0x0002;
const DWORD kHexViewRasterScroll = 0x0004;
const DWORD kHexViewWidthRaster = 0x0008;
const DWORD kHexViewNoHexArea = kHexNoHexArea;
const DWORD kHexViewNoCharArea = kHexNoCharArea;
const DWORD kHexViewNoAddress = kHexNoAddress;
const DWORD kHexViewSaveSettings = 0x0080;
const DWORD kHexViewOwnsData = 0x0100;
const DWORD kHexViewRelayout = 0x4000;
const DWORD kHexViewModified = 0x8000;
const DWORD kHexViewPublicMask = 0x807F;
// Bits whose change makes SetFormat lay out again.
const DWORD kHexViewLayoutBits = 0x4076;

// SetData flags.
const UINT kHexDataWritable = 0x001;
const UINT kHexDataOwn = 0x002;
const UINT kHexDataKeepPosition = 0x004;
const UINT kHexDataNoRepaint = 0x008;
const UINT kHexDataKeepLayout = 0x010;
const UINT kHexDataInsertAllowed = 0x020;
const UINT kHexDataInsertOn = 0x040;
const UINT kHexDataInsertOff = 0x080;
const UINT kHexDataKeepOldBuffer = 0x100;

// WM_NOTIFY codes to the parent: the header and three 32-bit values.
const UINT kHexNotifySelection = 0x2BF5;  // lower offset, upper offset, active
const UINT kHexNotifyFormat = 0x2BF6;     // changed by the settings dialog
const UINT kHexNotifyKillFocus = 0x2BF7;
const UINT kHexNotifySetFocus = 0x2BF8;
struct NMHEXVIEW {
  NMHDR hdr;
  DWORD value1;
  DWORD value2;
  DWORD value3;
};

// Private message: wParam kHexCmd..., lParam the argument.
const UINT WM_HEXVIEW_COMMAND = 0x27F4;
enum {
  kHexCmdSetCursor = 0,
  kHexCmdGetCursorOrAnchor = 1,
  kHexCmdScrollTo = 2,
  kHexCmdGetFirstVisible = 3,
  kHexCmdSelectTo = 4,
  kHexCmdGetSelection = 5,
  kHexCmdSetBase = 6,
  kHexCmdGetBase = 7,
  kHexCmdGetSize = 8
};

// Status flags (StatusbarMode): bits 0-1 index the value widths {1, 2, 4, 4}.
const DWORD kHexStatusWidthMask = 0x0003;
const DWORD kHexStatusRefresh = 0x1000;
const DWORD kHexStatusLengthHex = 0x2000;
const DWORD kHexStatusBigEndian = 0x4000;
const DWORD kHexStatusUnsigned = 0x8000;
const DWORD kHexStatusDefault = 0x1002;

// Commands of the view that edit.
const UINT ID_HEXVIEW_REDO = 35075;

// --- commands, find, copy and settings -------------------------------------
// Commands of the view besides ID_EDIT_COPY, _FIND, _PASTE and _UNDO.
const UINT ID_HEXVIEW_SETTINGS = 35072;
const UINT ID_HEXVIEW_CHECKSUM = 35073;
const UINT ID_HEXVIEW_FIND_NEXT = 35076;
const UINT ID_HEXVIEW_FIND_SELECTION = 35077;
const UINT ID_HEXVIEW_GOTO = 35078;
const UINT ID_HEXVIEW_WRITE_NUMBER = 35079;
const UINT ID_HEXVIEW_CONVERTER = 35080;
const UINT ID_HEXVIEW_FLOAT = 35081;
const UINT ID_HEXVIEW_COPY_CPP = 35082;
const UINT ID_HEXVIEW_COPY_CSTRING = 35083;
const UINT ID_HEXVIEW_PASTE_SPECIAL = 35084;
const UINT ID_HEXVIEW_CRC = 35085;
// Bytes the tools take without a selection, and the limits of the copies.
const int kHexToolBytes = 0x100000;
const int kHexCopyMax = 0x400000;
const int kHexSourceCopyMax = 32768;
const int kHexFindTextBytes = 64;  // of a selection offered to the find dialog
const int kHexSearchItemsMax = 16;
const DWORD kHexFindFlagsDefault = 4;  // FINDF_WHOLE
// MatchItems modes.
enum { kHexMatchExact = 0, kHexMatchNoCase = 1, kHexMatchMasked = 2 };

// One change in the undo ring. Without saved bytes the step is inline:
// length 0 (a typed byte) or 1, the byte in inlineByte.
enum HexUndoOp : BYTE {
  kHexUndoOverwrite = 0,
  kHexUndoDeleted = 1,   // undo inserts the bytes again
  kHexUndoInserted = 2,  // undo deletes them
  kHexUndoOverwrite2 = 3
};
enum HexUndoDigit : BYTE { kHexUndoNoDigit = 0, kHexUndoHighDigit = 2, kHexUndoLowDigit = 3 };
struct HexUndoStep {
  BYTE* saved;
  int offset;
  int length;
  BYTE inlineByte;
  BYTE digit;           // HexUndoDigit; its lowest bit flips with each use
  BYTE modifiedBefore;  // the data were modified before this step
  BYTE operation;       // HexUndoOp; 1 and 2 exchange, 0 and 3 alternate
};
const int kHexUndoSteps = 256;  // one slot stays free: 255 can be undone

// Insertion is refused above this size.
const int kHexMaxInsertSize = 8192;
const int kHexRanges = 9;  // range 0 is the selection

// The view's refusal sound (a MessageBeep type); tests count the calls.
void HexBeep(UINT type = MB_ICONEXCLAMATION);
int GetHexBeepCount();
// Where the views get buffers and saved bytes (freed with delete[]); tests
// put in one that fails. Returns the previous one.
typedef BYTE* (*HexAllocFn)(size_t size);
HexAllocFn SetHexAllocator(HexAllocFn alloc);
// A buffer from the current allocator; null when it fails.
BYTE* HexAlloc(size_t size);

class CHexView : public CAnsiView {
  DECLARE_DYNAMIC(CHexView)
 public:
  explicit CHexView(DWORD flags = 0);
  ~CHexView() override;

  int SetData(void* data, int size, DWORD base, UINT flags);
  void* GetData(int* size, DWORD* base) const;
  int SetFormat(int bytesPerLine, int extraSpace, int insertSpace, int addressDigits, int outputFormat, int invert);
  const HexLayout& GetLayout() const { return m_layout; }
  DWORD GetFlagWord() const { return m_flags; }
  bool IsInsertAllowed() const { return m_insertAllowed != 0; }
  bool IsInsertOn() const { return m_insert != 0; }
  int GetLineShift() const { return m_lineShift; }

  // Marked ranges 0-7 (ranges 1-8 of the view; 0 is the selection).
  int SetMarkRange(int index, int start, int count);
  void SetBitMarks(const DWORD* bits, int count);
  const DWORD* GetBitMarks(int* count) const;
  // Makes the address (an offset unless absolute) the first byte of the top
  // line; returns the previous address of the first visible line.
  DWORD ScrollToAddress(DWORD position, BOOL absolute);
  DWORD GetFlags() const { return m_flags & kHexViewPublicMask; }
  // Returns the old public bits; read-only stays on a buffer that cannot be
  // written (with a beep).
  DWORD SetFlags(DWORD value, DWORD mask);
  bool IsModified() const { return (m_flags & kHexViewModified) != 0; }
  void SetModified(bool set);
  int GetFormatValue(int index) const;

  // Cursor and selection; offsets count from the data start, with absolute
  // positions are addresses.
  int MoveCursor(int column, int line, UINT flags) override;
  int OnCharHook(UINT ch, UINT flags) override;
  BOOL SetCursorAddress(DWORD position, BOOL absolute);
  BOOL SetCursorAddressEx(DWORD position, BOOL absolute, BOOL select);
  BOOL SetSelectionEnd(DWORD position, BOOL absolute);
  BOOL ClearSelection();
  // Selects count bytes from the position, scrolling them into the window.
  BOOL SelectRange(DWORD position, int count, BOOL absolute);
  // Scrolls the bytes into view with some context; TRUE when it scrolled.
  BOOL EnsureVisible(int offset, int count);
  // -1 the cursor or selection, 0-7 a marked range.
  BOOL ShowRange(int index);
  int SetEditArea(int area);
  int GetEditArea() const { return m_editArea; }
  int GetNibble() const { return m_nibble; }
  DWORD GetCursor(BOOL absolute) const { return Abs(m_cursor, absolute); }
  DWORD GetCursorOrSelection(BOOL absolute) const {
    return Abs(m_rangeActive[0] ? m_rangeStart[0] : m_cursor, absolute);
  }
  DWORD GetSelection(BOOL absolute, int* length) const;
  BOOL GetSelectionRange(DWORD* start, int* length, BOOL absolute, int maximum) const;
  // The first byte of the first line shown (0 while the line starts before
  // the data).
  DWORD GetFirstVisibleOffset(BOOL absolute) const;
  int LineOfOffset(int offset) const;
  // Column and line of a byte in the current edit area.
  void OffsetToLineCol(int offset, int* column, int* line) const;
  int GetSelectedBytes(void* buffer, int maximum) const;
  // GetSelectedBytes that also stores the count.
  int CopySelectedBytes(void* buffer, int maximum, int* count) const;
  int ReadAtCursor(void* buffer, int maximum) const;
  DWORD LineColToOffset(int column, int line) const;
  void SetSelectionRaster(bool on) { m_selectionRaster = on ? 1 : 0; }
  // Re-attaches the same buffer at another base; returns the old base.
  DWORD SetBaseAddress(DWORD base);

  // --- editing and undo (hexedit.cpp, hexundo.cpp) and status panes (hexstatus.cpp)
  int OnKeyDownHook(UINT key, UINT flags) override;
  // Insert and Delete; 1 when the key was one of them.
  int EditKeyDown(UINT key);
  // Typed characters other than Tab; 1 when handled.
  int TypeChar(UINT ch);
  void Backspace();
  int SetInsertMode(int toggle, int allow);
  int GetInsertMode() const;
  BOOL InsertBytes(int offset, int count);
  BOOL DeleteBytes(int offset, int count);
  // Records the bytes a caller is about to overwrite (cut to the data);
  // returns the count recorded.
  int RecordOverwrite(DWORD position, int count, BOOL absolute);
  // The step to fill in: saved bytes (new[], freed by the ring), inline
  // byte and operation; then CommitUndoStep.
  HexUndoStep* BeginUndoStep(int offset, int length);
  void CommitUndoStep();
  void ClearUndo();
  int UndoRedo(int steps);
  bool CanUndo() const { return m_undoCurrent != m_undoStart; }
  bool CanRedo() const { return m_undoCurrent != m_undoEnd; }
  void AddStatusPanes();
  void RemoveStatusPanes();
  void UpdateStatusPanes();
  void OnLayoutChanged(int columns, int lines, int deltaColumns, int deltaLines) override;
  // The texts of the two status panes as they stand.
  void FormatStatusTexts(char* pane0, char* pane1) const;

  // --- commands, find, copy and settings (hexcommands.cpp, hexfind.cpp,
  // hexcopy.cpp, hexsettings.cpp)
  void ShowContextMenu(int x, int y, CMenu* pMenu) override;
  // Ctrl+F, C, Insert, V and Y; 1 when the key was one of them.
  int ShortcutKeyDown(UINT key);
  // The find dialog and its searches; whether the last one found something.
  BOOL Find();
  BOOL FindNext();
  BOOL FindSelection();
  // Searches the item list (gap, then item lines) over count positions from
  // start (backward when count < 1); the hit or -1. select marks the items.
  // Later items end before rangeEnd (-1: the data's end).
  int Search(char** items, int start, int count, BOOL select, int rangeEnd = -1);
  // The first position of the length bytes at item (a mask follows them in
  // masked mode), or -1; a length below 1 gives start.
  int MatchItems(const BYTE* item, int length, int start, int count, int mode) const;
  int CopySelection();
  int Paste(BOOL special);
  int OnCopyAsCString();
  int OnCopyAsCpp();
  // -1 asks for the address; returns it, or -1 when cancelled.
  DWORD GoToAddress(DWORD address);
  int OnWriteNumber();
  INT_PTR EditSettings();
  int SetDisplayFlags(int widthRaster, int raster, int statusbarMode, int selectionRaster);
  int LoadSettings(const char* name);
  int SaveSettings(const char* name);
  DWORD GetStatusFlags() const { return m_statusFlags; }
  // The lists shared by every hex view, and the find options.
  static char** FindHistoryList() { return &s_findHistory; }
  static char** GroupList() { return &s_groupList; }
  static char** SearchItemList() { return &s_searchItems; }
  static DWORD& FindFlags() { return s_findFlags; }
  static int ViewCount() { return s_viewCount; }

  int GetLineWidth() override { return m_layout.charEnd; }
  void DrawMargin(CDC* pDC, const RECT& rect, int line) override;
  int PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags) override;
  void OnStyleChanged(UINT bits) override;

 protected:
  void FreeData();
  DWORD Abs(int offset, BOOL absolute) const { return (DWORD)offset + (absolute ? m_base : 0); }
  // Column and line of a byte in the current area (hex area high digit).
  void ByteCell(int offset, int area, int* column, int* line) const;
  // Moves the cursor to a byte as a program call, lays out and paints.
  void PlaceCursor(int offset, UINT flags);
  // Puts the cursor again on its byte (a program move; the low digit kept).
  void ReplaceCursor(UINT flags);
  // 0x2BF5 with the selection's ends, or zeros without one.
  void NotifySelection();
  bool InsertEffective() const { return m_insert && m_insertAllowed; }
  void NotifyHex(UINT code, DWORD value1, DWORD value2, DWORD value3);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg LRESULT OnHexCommand(WPARAM operation, LPARAM argument);
  // Repaints the lines that offsets a..b (either order) touch.
  void RepaintOffsets(int a, int b);

  BYTE* m_data = nullptr;
  int m_size = 0;
  DWORD m_base = 0;
  int m_lineShift = 0;
  BYTE* m_replaced = nullptr;
  int m_spare = 0;
  BYTE m_insert = 0, m_insertAllowed = 0;
  HexLayout m_layout;
  int m_lineWidthSetting = 16, m_extraSpaceSetting = 4;
  int m_raster = 4, m_rasterSetting = 4, m_widthRaster = 4, m_widthRasterSetting = 4;
  int m_cursor = 0;
  int m_rangeStart[kHexRanges] = {}, m_rangeEnd[kHexRanges] = {};
  BYTE m_rangeActive[kHexRanges] = {};
  BYTE m_rangeColor[kHexRanges] = {};
  const DWORD* m_bitMarks = nullptr;
  int m_bitCount = 0;
  int m_editArea = kHexAreaHex;
  int m_nibble = 1;  // 1 high digit, 0 low digit
  CPoint m_pressPoint = CPoint(-1, -1);
  BYTE m_selectionRaster = 0;
  DWORD m_statusFlags = 0x1002;
  DWORD m_flags = 0;
  DWORD m_lastLayoutFlags = (DWORD)-1;

  // Editing, undo, status panes and automatic width.
  // Insertion without the 8192 limit (undo restores what was deleted); 0
  // when the buffer cannot grow.
  BOOL InsertRaw(int offset, int count);
  void RemoveRaw(int offset, int count);
  // Lines, repaint and modified flag after a size change at offset.
  void SizeChanged(int offset);
  // Applies a step in its current direction; false when nothing could be done.
  bool ApplyUndoStep(HexUndoStep* step);
  void UpdateCaretShape();
  // Absolute move onto a byte (its low digit when asked), layout and paint.
  void CursorToByte(int offset, bool lowDigit);
  void Relayout();
  void SendPanes(int operation, StatusPaneBlock* block);
  afx_msg void OnEditUndo();
  afx_msg void OnEditRedo();
  afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditRedo(CCmdUI* pCmdUI);
  HexUndoStep m_undo[kHexUndoSteps] = {};
  int m_undoCurrent = 0, m_undoEnd = 0, m_undoStart = 0;
  int m_statusOffset = -1;
  char m_statusValue[48] = "";  // pane 1 as last sent
  BYTE m_panesShown = 0;
  int m_layoutCalls = 0;

  // Commands, find, copy and settings.
  void AttachSettings();  // from the constructor
  void DetachSettings();  // from the destructor
  // The program key (\ name); false without an application key name.
  bool SettingsPath(char* path, int size, const char* name) const;
  bool HasSelection() const { return m_rangeActive[0] != 0; }
  // The text a selection gives the find dialog and history: a quoted string
  // when every byte is 32 to 127, else a hex dump.
  CString SelectionFindText() const;
  // The selection's lower end and length clamped to the data, or the first
  // fallback bytes without a selection.
  int ToolRange(int fallback, int* start) const;
  afx_msg void OnSettingsCommand();
  afx_msg void OnChecksumCommand();
  afx_msg void OnFindNextCommand();
  afx_msg void OnFindSelectionCommand();
  afx_msg void OnGoToCommand();
  afx_msg void OnWriteNumberCommand();
  afx_msg void OnConverterCommand();
  afx_msg void OnFloatCommand();
  afx_msg void OnCopyCppCommand();
  afx_msg void OnCopyCStringCommand();
  afx_msg void OnPasteSpecialCommand();
  afx_msg void OnCrcCommand();
  afx_msg void OnCopyCommand();
  afx_msg void OnFindCommand();
  afx_msg void OnPasteCommand();
  afx_msg void OnUpdateNeedsSelection(CCmdUI* pCmdUI);
  afx_msg void OnUpdateFindNext(CCmdUI* pCmdUI);
  afx_msg void OnUpdatePaste(CCmdUI* pCmdUI);
  char* m_addressHistory = nullptr;  // of the go-to-address dialog
  static int s_viewCount;
  static bool s_listsLoaded;
  static char* s_findHistory;
  static char* s_groupList;
  static char* s_searchItems;
  static DWORD s_findFlags;

  DECLARE_MESSAGE_MAP()
};
