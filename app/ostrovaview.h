// COstrovaView: the document's only view. It holds the two browser panes side
// by side or one above the other with a splitter between them (or only one),
// keeps the view settings in the program key, offers every command to the
// active pane first and shows the context menus of the panes.
#pragma once

#include "app/browser/regwnd.h"
#include "app/search/regsearch.h"
#include "app/viewlayout.h"
#include "base/cstring.h"
#include "mfc/mfc.h"
#include "system/spawnprocess.h"

class CProgressDlg;

// Browser style bits the view sets.
const DWORD kPaneHideCombo = TWS_NOPATHBAR;
const DWORD kPaneViewStyle = 0x0CE8;  // the view's fixed bits
const DWORD kPaneAlternate = TWS_ALTERNATE;
const DWORD kPaneShowLines = TWS_LINES;
const DWORD kPaneFullMark = TWS_FULLMARK;

// Window class of the view: its own, so that changing its cursor touches no
// other window.
extern const char kOstrovaViewClass[];

struct ViewSettings {
  int fullMark = 1;
  int showCombo = 1;
  int alternate = 0;
  int showLines = 0;
  int horzSplit = 0;
  int singleWnd = kOnlyPane1;
  int separatorX = kSeparatorMiddle;
  int separatorY = kSeparatorMiddle;
  CString lastPath1, lastPath2;

  void Load();        // the values that exist in the program key
  void Save() const;  // all of them
  // The browser style of both panes for these settings.
  DWORD PaneStyle() const;
};

// The paths the panes open at first; the first update empties the one it used.
extern CString StartPath1;
extern CString StartPath2;

struct ViewContext {
  int pane = 0;
  TreeWndHit kind = kHitNothing;  // kHitTreeItem, kHitEntryRow or kHitEntryList
  UINT_PTR item = 0;
  int row = -1;
  int column = -1;
};

class COstrovaView : public CView {
  DECLARE_DYNCREATE(COstrovaView)

 public:
  COstrovaView();
  ~COstrovaView() override;

  CDocument* GetDocument() const { return CView::GetDocument(); }
  CRegWnd& Pane(int i) { return m_panes[i]; }
  const ViewSettings& Settings() const { return m_settings; }
  int SplitPos() const { return m_splitPos; }
  int ActivePane() const { return m_activePane; }
  // Searches on from the active pane's position: 1 found, 0 not.
  int SearchRegistry();
  RegSearchState& Search() { return m_search; }

  // Lays the panes out in the last client size.
  void Layout();
  // The key the active pane shows (what an export writes).
  CString ActiveKeyPath() const;
  // Export and import (view_regfile.cpp): the progress dialog's worker and
  // cancel callback, and the dialog around them (the worker's result).
  static int RunRegedit(CProgressDlg* dlg);
  static void OnCancelRegedit(DWORD arg);
  // *pnErrorLine: the line of the file's syntax error (an import), else 0;
  // *pnError: the Win32 error of a failed run.
  int RunRegeditDialog(const char* title, const char* option, const char* file, const char* key,
                       int* pnErrorLine = nullptr, LONG* pnError = nullptr);

  void OnDraw(CDC* pDC) override;
  void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  afx_msg void OnPaneSetFocus(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

  afx_msg void OnPaneRight();
  afx_msg void OnPaneLeft();
  afx_msg void OnSplitHorzToggle();
  afx_msg void OnSplitVert();
  afx_msg void OnSplitHorz();
  afx_msg void OnSplitMiddle();
  afx_msg void OnSplitMiddleToggle();
  afx_msg void OnUpdatePaneRight(CCmdUI* pCmdUI);
  afx_msg void OnUpdatePaneLeft(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSplitHorzToggle(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSplitVert(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSplitHorz(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSplitMiddle(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSplitMiddleToggle(CCmdUI* pCmdUI);

  afx_msg void OnFullMark();
  afx_msg void OnAlternate();
  afx_msg void OnShowLines();
  afx_msg void OnShowCombo();
  afx_msg void OnUpdateFullMark(CCmdUI* pCmdUI);
  afx_msg void OnUpdateAlternate(CCmdUI* pCmdUI);
  afx_msg void OnUpdateShowLines(CCmdUI* pCmdUI);
  afx_msg void OnUpdateShowCombo(CCmdUI* pCmdUI);
  afx_msg void OnFind();
  afx_msg void OnFindNext();
  afx_msg void OnFindNextKey();
  afx_msg void OnUpdateFindNext(CCmdUI* pCmdUI);
  afx_msg void OnPermissions();
  afx_msg void OnLoadHive();
  afx_msg void OnUnloadHive();
  afx_msg void OnStartRegedit();
  // Value editors and new keys and values (view_editcmds.cpp).
  afx_msg void OnModifyValue();
  afx_msg void OnModifyBinary();
  afx_msg void OnEntryActivate(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnNewKey();
  afx_msg void OnNewValue(UINT nID);
  afx_msg void OnExport();
  afx_msg void OnImport();
  // The context menu's own commands (view_context.cpp).
  afx_msg void OnContextExpand();
  afx_msg void OnContextCopy();
  afx_msg void OnContextDelete();
  afx_msg void OnContextRename();
  afx_msg void OnNothing() {}
  afx_msg void OnUpdateNothing(CCmdUI*) {}
  DECLARE_MESSAGE_MAP()

 private:
  bool BothShown() const { return m_settings.singleWnd == kBothPanes; }
  int& CurrentSeparator() { return m_settings.horzSplit ? m_settings.separatorY : m_settings.separatorX; }
  void SetSizeCursor();
  // Makes pane i unless it exists; hidden, where Layout() shows it.
  bool MakePane(int i, bool visible, const RECT* at = nullptr);
  void LayoutAndRedraw();
  void ToggleStyle(int& setting, DWORD bit, bool bitWhenOn);
  void EditContextValue(bool binary);
  bool ContextEntry(const ViewContext& context, CString* path, CString* name, bool* isDefault);
  void RefreshContextRow(const ViewContext& context);
  // Gives the context's key-tree item or entry row the caret and its control
  // the focus, as the pane's delete and rename act on them; false without one.
  bool FocusContextTarget();

  ViewContext m_context;
  RegSearchState m_search;
  CRegWnd m_panes[2];
  ViewSettings m_settings;
  int m_activePane = 0;
  int m_focusPane = 0;
  int m_cx = 0, m_cy = 0;
  int m_splitPos = 0;
  CSpawnProcess m_regedit;  // the system's registry editor, reused by every run
};
