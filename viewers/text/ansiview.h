// CAnsiView: a scrolling, line-oriented text window with a caret, a margin
// column, per-character colour attributes, and fonts and colour schemes that
// the views of one style share. It holds no text: a derived class draws each
// line in PrintLine and reacts to input through the virtual hooks.
#pragma once

#include "mfc/mfc.h"
#include "viewers/text/colorlist.h"

// Control ids of the two scroll bars.
const UINT kAnsiViewHorzBarId = 912;
const UINT kAnsiViewVertBarId = 913;
// Private message: wParam kAnsiCmd..., lParam column (low) and line (high).
const UINT WM_ANSIVIEW_COMMAND = 0x27F3;
enum {
  kAnsiCmdSetCursor = 0,
  kAnsiCmdGetCursor = 1,
  kAnsiCmdSetScroll = 2,
  kAnsiCmdGetScroll = 3,
  kAnsiCmdSelectTo = 4,
  kAnsiCmdGetCursor2 = 5
};
// WM_NOTIFY codes sent to the parent with two values after the header.
const UINT kAnsiNotifyScroll = 0x27F4;     // first column, first line
const UINT kAnsiNotifySetFocus = 0x27F5;   // 0, 0
const UINT kAnsiNotifyKillFocus = 0x27F6;  // 0, 0
struct NMANSIVIEW {
  NMHDR hdr;
  DWORD value1;
  DWORD value2;
};
// Context menu commands.
const UINT ID_ANSIVIEW_COLORS = 37424;
const UINT ID_ANSIVIEW_FONT = 37425;
// The timer of mouse selection and of the right-button hold.
const UINT_PTR kAnsiViewTimerId = 0x8856;
const UINT kAnsiViewTimerPeriod = 165;

// Style flags.
const UINT kAnsiNoHScroll = 0x001;
const UINT kAnsiNoVScroll = 0x002;
const UINT kAnsiNoHBar = 0x004;
const UINT kAnsiNoVBar = 0x008;
const UINT kAnsiHRangeExact = 0x010;
const UINT kAnsiVRangeExact = 0x020;
const UINT kAnsiHBarDisabled = 0x100;
const UINT kAnsiVBarDisabled = 0x200;

// Repaint word.
const DWORD kRepaintAll = 0x80000000;
const DWORD kRepaintCaret = 0x40000000;
const DWORD kRepaintCursorLine = 0x20000000;
const DWORD kRepaintBelowCursor = 0x10000000;
const DWORD kRepaintCursorTail = 0x08000000;
const DWORD kRepaintRange = 0x04000000;  // first line bits 0-16, count bits 17-21
const DWORD kRepaintFrom = 0x02000000;   // line bits 0-21
const DWORD kRepaintLine = 0x01000000;   // line bits 0-21
const DWORD kRepaintInLayout = 0x00400000;
const DWORD kRepaintLineMask = 0x003FFFFF;
const DWORD kRepaintRangeLineMask = 0x0001FFFF;
const int kRepaintRangeCountShift = 17;
const DWORD kRepaintRangeCountMask = 0x1F;

// Caret mode bits.
const int kCaretThin = 1;
const int kCaretShown = 2;

// MoveCursor flags.
const UINT kMoveRelative = 0x01;
const UINT kMoveExtend = 0x02;
const UINT kMoveCtrl = 0x04;
const UINT kMoveMouse = 0x08;
const UINT kMovePress = 0x10;
const UINT kMoveKeepSelection = 0x20;
const UINT kMoveProgram = 0x40;
const UINT kMoveArrow = 0x80;

// Hook flags of OnMarginMouseHook, beside the MK_ bits; kHookSkip in a
// mouse message's key state makes its handler skip the hook.
const UINT kHookRight = 0x0400;
const UINT kHookLeft = 0x0800;
const UINT kHookMove = 0x1000;
const UINT kHookDblClk = 0x2000;
const UINT kHookPress = 0x4000;
const UINT kHookRelease = 0x8000;
const UINT kHookSkip = 0x0400;

// RecalcLayout flags.
const int kLayoutKeepJumpInside = 1;
const int kLayoutNoNotify = 2;
const int kLayoutNoPaint = 4;

// PrintLine flags: bit 1 always, the x of column 0 from bit 12 on.
const UINT kPrintLineScreen = 2;
const int kPrintLineOriginShift = 12;

// Font record flags.
const DWORD kFontBold = 1;
const DWORD kFontItalic = 2;
const DWORD kFontUnderline = 4;
const DWORD kFontFixedPitch = 8;
const DWORD kFontClipMask = 16;

// The font of a style, stored as the registry value "Font" (REG_BINARY).
struct ANSIFONTRECORD {
  LONG width;
  LONG height;
  DWORD flags;
  char face[32];
};
static_assert(sizeof(ANSIFONTRECORD) == 44, "the stored record");

// What the views of one style share.
struct ANSIVIEWSTYLE {
  int refCount;
  int serial;
  HFONT baseFont;
  HFONT variants[8];  // by style bits; the base font where the cell differs
  int colorCount;
  ANSIFONTRECORD font;
  ANSICOLORENTRY* colors;
  BYTE* colorIndex;  // discarded whenever an entry is added
  char* regPath;
  const char* name;  // the caller's text
  int cellWidth, cellHeight;
};

// A font from a record: OUT_RASTER_PRECIS, the pitch and clip precision of
// its flags.
HFONT CreateFontFromRecord(const ANSIFONTRECORD* record);
// Reads "Font" at path (HKCU, else the machine root; none: Courier 15) and
// measures it on the screen; 1 when both sizes are above 0.
int MeasureFontRecord(const char* path, int* width, int* height);
// The root that stands for HKEY_LOCAL_MACHINE in style loading and font
// measuring (tests put a key of their own there); returns the old one.
HKEY SetAnsiViewMachineRoot(HKEY root);

class CAnsiView : public CWnd {
  DECLARE_DYNAMIC(CAnsiView)

 public:
  // name must outlive every view of the style.
  CAnsiView(const char* name, int columns, int lines);
  ~CAnsiView() override;

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // --- style, fonts and colours -------------------------------------------
  int AddColorEntry(COLORREF text, COLORREF background, const char* name, UINT id, UINT style);
  int GetColorEntry(int position, COLORREF* text, COLORREF* background, UINT* style) const;
  int SelectColor(CDC* pDC, int attribute, UINT flags = 0);
  int LoadStyle(const char* path, BOOL fromLocalMachine);
  int SaveStyle(const char* path);
  void SetRegistryPath(const char* path);
  int BuildRegistryPath(char* buffer, int size, const char* name) const;
  int SetupFonts(int height, const char* face);
  int ChooseFont();
  void ApplyStyleToAll();
  void BroadcastStyleChanged(UINT bits);
  const ANSIVIEWSTYLE* GetStyle() const { return m_pStyle; }
  int GetCellWidth() const { return m_cellWidth; }
  int GetCellHeight() const { return m_cellHeight; }

  // --- geometry and painting -------------------------------------------
  int SetCaretMode(int mode);
  UINT SetStyleFlags(UINT value, UINT mask);
  void RecalcLayout(int flags);
  void Invalidate(BOOL onlyIfDirty);
  int MarkCursorMoved(int flags);
  void MarkCursorSeen();
  int HitTest(int x, int y, int* column, int* line, int flags) const;
  int DrawAttributedText(CDC* pDC, POINT point, const char* text, const BYTE* attributes, int count, UINT flags);
  int DrawTextLineW(CDC* pDC, const RECT& rect, const char* text, const WORD* attributes, int count, UINT flags,
                    int tabSize);
  // Extent of the text; re-lays out.
  void SetTextSize(int columns, int lines);
  int GetTotalColumns() const { return m_totalColumns; }
  int GetTotalLines() const { return m_totalLines; }
  DWORD GetRepaintWord() const { return m_repaint; }
  int GetMarginWidth() const { return m_marginWidth; }

  // --- positions ------------------------------------------------------
  CPoint SetCursorPos(int column, int line, BOOL select);
  CPoint GetCursorPos() const { return CPoint(m_cursorColumn, m_cursorLine); }
  CPoint SetScrollPos(int column, int line);
  CPoint SetScrollPosEx(int column, int line, BOOL repaint);
  CPoint GetScrollPos() const { return CPoint(m_firstColumn, m_firstLine); }
  CSize GetVisibleSize() const { return CSize(m_visibleColumns, m_visibleLines); }
  CPoint GetContextPos() const { return CPoint(m_rbColumn, m_rbLine); }
  HCURSOR SetCursorShape(HCURSOR hCursor);
  HCURSOR SetCursorShapeById(LPCSTR id);

  CScrollBar* GetScrollBarCtrl(int nBar) const override;

  // --- virtual operations -------------------------------------------------
  virtual int EditColors();
  virtual int SetMarginWidth(int width);
  virtual void OnStyleChanged(UINT bits) {}
  virtual int PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags);
  virtual void DrawMargin(CDC* pDC, const RECT& rect, int line);
  virtual void ShowContextMenu(int x, int y, CMenu* pMenu);
  virtual int MoveCursor(int column, int line, UINT flags);
  virtual int GetLineWidth() { return 0; }
  virtual void OnScrollChanged() {}
  virtual void OnLayoutChanged(int columns, int lines, int deltaColumns, int deltaLines) {}
  virtual int OnScrollHook(UINT key) { return 0; }
  virtual int OnCharHook(UINT ch, UINT flags) { return 0; }
  virtual int OnKeyUpHook(UINT key, UINT flags) { return 0; }
  virtual int OnKeyDownHook(UINT key, UINT flags) { return 0; }
  virtual int OnPickHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnRButtonDblClkHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnLButtonDownHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnRButtonDownHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnLButtonUpHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnRButtonUpHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnMouseMoveHook(UINT flags, int x, int y, int column, int line) { return 0; }
  virtual int OnMarginMouseHook(UINT flags, int x, int y, int line) { return 0; }
  virtual int OnExtraHook(WPARAM a, LPARAM b, LPARAM c) { return 0; }
  virtual int OnWheelHook(UINT flags, int delta) { return 0; }
  virtual void Draw(CDC* pPaintDC);
  virtual CScrollBar* GetScrollBar(int index);

 protected:
  // Repaint requests under the combining rule.
  void MarkAll() { m_repaint = (m_repaint & kRepaintInLayout) | kRepaintAll; }
  void MarkFrom(int line);
  void MarkLine(int line);
  void MarkRange(int first, int count);
  bool IsDirty() const { return (m_repaint & ~kRepaintInLayout) != 0; }
  void Notify(UINT code, DWORD value1, DWORD value2);
  void RecreateCaret() { SetCaretMode(4); }
  void ReadModifiers();
  void BeginHandDrag();
  void StopTimer();
  void MouseToCell(int x, int y, int* column, int* line) const;
  bool InMargin(int x) const { return x >= 0 && x < m_marginWidth; }
  int UpdateScrollBars(int bar, SCROLLINFO* info, int flags);
  bool BarInfoPending(int bar) const;
  int SetBarInfo(int bar);
  void PaintLines(CDC* pDC, DWORD word, bool full);
  bool KeyStep(UINT key);
  void HandleScroll(int bar, UINT code, UINT pos);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnSysColorChange();
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnXButtonDown(UINT nFlags, UINT nButton, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnCaptureChanged();
  afx_msg void OnColorsCommand();
  afx_msg void OnFontCommand();
  afx_msg LRESULT OnAnsiCommand(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 public:
  // Members in the order of the view's data (see the class comment).
  ANSIVIEWSTYLE* m_pStyle = nullptr;
  HCURSOR m_hCurrentCursor = nullptr;
  HCURSOR m_hViewCursor = nullptr;
  int m_cellWidth = 10, m_cellHeight = 13;
  int m_visibleColumns = 1, m_visibleLines = 1;
  int m_clientWidth = 0, m_clientHeight = 0;
  int m_textWidth = 0, m_textHeight = 0;
  int m_firstColumn = 0, m_firstLine = 0;
  int m_cursorColumn = 0, m_cursorLine = 0;
  int m_caretMode = 0;
  int m_rbColumn = 0, m_rbLine = 0, m_rbX = 0, m_rbY = 0;
  int m_dragOriginColumn = 0, m_dragOriginLine = 0;
  int m_totalLines = 0, m_totalColumns = 0;
  DWORD m_repaint = 0;
  int m_modifiers = 0;  // bit 0 Shift, bit 1 Ctrl
  int m_lastAttribute = -1, m_lastFontStyle = -1;
  int m_marginWidth = 0;
  UINT m_styleFlags = 0;
  int m_mouseX = 0, m_mouseY = 0;
  BYTE m_styleLock = 0;
  BYTE m_rbState = 0;  // 0 none, 1 text, 2 margin, 3 hand drag
  BYTE m_hasFocus = 0;
  char* m_pszPathOverride = nullptr;
  int m_lastCaretMode = -1, m_lastCursorColumn = -1, m_lastCursorLine = -1;
  int m_lastVisibleColumns = -1, m_lastVisibleLines = -1;
  int m_barColumn = -1, m_barLine = -1;
  UINT m_lastStyleFlags = 0;
  int m_lastTotalColumns = -1, m_lastTotalLines = -1;
  int m_partialColumn = 0, m_partialLine = 0;
  int m_pixelX = 0, m_pixelY = 0;
  int m_caretColumn = 0, m_caretLine = 0;
  BYTE m_caretHiddenByFocus = 0, m_caretVisible = 0;
  BYTE m_captureState = 0;  // 0 none, 3 hand drag, 4 left button
  BYTE m_lbState = 0;       // 0 none, 1 selecting, 2 margin
  BYTE m_timerTicks = 0;
  BYTE m_timerState = 0;  // 0 off, 1 selection auto-scroll, 2 right-button hold
  int m_stepColumns = 0, m_stepLines = 0;
  DWORD m_ignoreUntil = 0;
  int m_mouseColumn = 0, m_mouseLine = 0;
  int m_layoutNesting = 0;
  CAnsiView* m_pNext = nullptr;
  CAnsiView* m_pPrev = nullptr;
  CScrollBar m_bars[2];
  BYTE m_barShown[2] = {0, 0};

 protected:
  bool m_bDeferBars = false;  // key repeats set the bars once at the end
  int m_layoutDepth = 0;      // RecalcLayout inside RecalcLayout
  int m_barPage[2] = {-1, -1};
  bool m_bCaretExists = false;
};
