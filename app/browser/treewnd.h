// CTreeWnd: a browser pane with a path bar (back, forward, up, path combo),
// a key tree and an entry list. Everything it shows comes from the
// data-source operations below, which a derived class overrides; the
// defaults form a small test source of their own.
#pragma once

#include "app/browser/combopaths.h"
#include "app/browser/expandqueue.h"
#include "app/browser/listfiller.h"
#include "app/browser/pathhistory.h"
#include "app/browser/treewndids.h"
#include "base/cstring.h"
#include "controls/treelist/treelistctrl.h"
#include "mfc/controls.h"
#include "mfc/imagelist.h"
#include "mfc/mfc.h"
#include "text/textlist/textlist.h"

// Drag-and-drop callbacks (nothing in the program sets them).
typedef int (*TreeWndDropAction)(CTextList* paths, const char* target, int verdict, LPARAM user);
typedef int (*TreeWndDropTest)(int x, int y, UINT_PTR* item, LPARAM user);
typedef int (*TreeWndDropPath)(POINT pt, char* buffer, int size, LPARAM user);
typedef int (*TreeWndDragOver)(int mode, UINT_PTR target, LPARAM user);

// Sorted-insert callback of the key tree: natural order without regard to case.
int CALLBACK TreeWndCompareChildNames(HWND, HTREEITEM, LPCSTR siblingText, LPCSTR newText, LPARAM, LPARAM);

class CTreeWnd;
// Enter, Tab and F5 in the path combo's edit become the pane's commands.
void SubclassComboEdit(CTreeWnd* pane, HWND edit);

class CTreeWnd : public CWnd {
  DECLARE_DYNAMIC(CTreeWnd)

 public:
  CTreeWnd();
  ~CTreeWnd() override;

  // --- data source ---------------------------------------------------------
  virtual BOOL CreateWnd(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context = nullptr);
  virtual int SortList(int column, int descending);
  virtual int OnContentChanged();
  virtual int FillRoots(CTextList* roots);
  virtual int FillChildren(CTextList* list, const char* path, LPARAM itemValue);
  virtual int FillItems(CTextList* list, const char* path, LPARAM itemValue);
  virtual int NewItem(CTextList* list, const char* path, char* name, DWORD type);
  virtual int NewFolder(CTextList* list, const char* path, char* name);
  virtual int RenameItem(const char* oldPath, const char* newName, UINT flags);
  virtual int CanRenameItem(const char* path, const char* newName, UINT flags);
  virtual int DeleteItems(const char* path, const char* name, UINT flags);
  virtual int GetItemImage(const char* path, const char* name, LPARAM level, int open);
  virtual int ParsePath(char* path, int length, LPARAM* itemValue);
  virtual int SetItemColumns(HTREEITEM item);
  virtual int InsertColumns();

  // --- window --------------------------------------------------------------
  BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
              CCreateContext* context = nullptr) override;
  // Returns the old style word.
  DWORD SetStyle(DWORD bits, DWORD mask);
  DWORD GetStyleWord() const { return m_style; }
  // kind: a TreeWndCursorKind; returns the previous one.
  int SetCursorKind(int kind);
  int GetItemPath(HTREEITEM item, char* buffer, int size);
  int GetEntryPath(int index, char* buffer, int size);
  LPARAM FindPathItem(const char* path);
  int GetChildKind(CWnd* wnd);
  int HitTestCursor(UINT_PTR* item);
  int GetEntryType(int index);

  // --- navigation ------------------------------------------------------------
  // The modes take the values of ShowPathFill and ShowPathHistory.
  const char* NavigateTo(const char* path, int historyMode);
  int ShowPath(const char* path, const char* second, int fillMode, int historyMode);
  HTREEITEM ExpandToPath(const char* path, int expand, HTREEITEM start);
  int FillTreeChildren(HTREEITEM item, const char* path, int mode);
  int DeleteChildItems(HTREEITEM item);
  int AddToHistory(const char* path);
  int SetComboPath(const char* path, int length, LPARAM level);
  int GetComboItemText(int index, char* buffer, int size);
  int GoToComboSelection();
  int LoadComboHistory(const char* valueName, const char* subKey);
  int SaveComboHistory(const char* valueName, const char* subKey);
  int CollectComboItems();
  void WaitForListThread();
  // The current path with its final "\" ("" before the first path).
  const char* GetPath() const { return m_path ? m_path : ""; }
  const char* GetPathNoSlash() const { return m_pathNoSlash ? m_pathNoSlash : ""; }
  int GetRootIndex() const { return m_rootIndex; }
  int GetLevel() const { return m_level; }

  // --- entries and commands --------------------------------------------------
  // Returns a TreeWndHit.
  int HitTest(int x, int y, UINT_PTR* item, int* column);
  BOOL SelectEntry(int index, BOOL focus);
  BOOL SelectEntryByName(const char* name, BOOL focus);
  void ScrollToEntry(int index);
  // Fills an entry's row cells again from its source (after an edit).
  void RefreshEntry(int index);
  int GetSelectedEntry();
  int GetSelectedEntries(CTextList* list, int mode);
  void FocusList();
  HWND FocusNext(int part);
  int NewItemAt(const char* path, int mode, DWORD type);
  int NewFolderAt(const char* path, int mode, HTREEITEM* item);
  void Rename();
  int RenameEntry(int index, const char* newName);
  int RenameTreeItem(HTREEITEM item, const char* newName);
  int DeleteSelectedEntries();
  int DeleteTreeItem(HTREEITEM item);
  void ShowStatusPanes();
  void RemoveStatusPanes();
  void SetDropCallback(TreeWndDropAction action, LPARAM user);
  void SetDragCallbacks(TreeWndDropTest test, TreeWndDropPath drop, TreeWndDragOver over);
  int DropOnPath(const char* target, int verdict);

  CTreeListCtrl& Tree() { return m_tree; }
  CTreeListCtrl& List() { return m_list; }
  CComboBoxEx& Combo() { return m_combo; }
  CTextList& Entries() { return m_entries; }
  const CTextList& Entries() const { return m_entries; }
  CTextList& Roots() { return m_roots; }
  int ShownCount() const { return m_shownCount; }
  int TreeWidth() const { return m_treeWidth; }
  // The tree's width as shown in a client cx wide: never out of the pane.
  int ShownTreeWidth(int cx) const;
  int FillState() const { return m_listFiller.FillState(); }
  bool ListThreadRunning() const { return m_listFiller.Started(); }
  bool ExpandThreadRunning();
  int HistoryCount() const;
  int CursorKind() const { return m_cursorKind; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg void OnDestroy();
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg LRESULT OnCaptureChanged(WPARAM, LPARAM newOwner);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
  afx_msg void OnDropFiles(HDROP drop);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnClose();
  afx_msg void OnSetFocus(CWnd* old);
  afx_msg void OnContextMenu(CWnd* wnd, CPoint pos);
  afx_msg LRESULT OnSetWaitCursor(WPARAM wParam, LPARAM lParam);
  afx_msg void OnComboCloseUp();
  afx_msg void OnComboSelChange();
  afx_msg void OnComboSetFocus();
  afx_msg void OnTreeSelChanged(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeItemExpanded(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeBeginEdit(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeEndEdit(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeKeyDown(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeBeginDrag(NMHDR* nm, LRESULT* result);
  afx_msg void OnTreeSetFocus(NMHDR* nm, LRESULT* result);
  afx_msg void OnListSelChanged(NMHDR* nm, LRESULT* result);
  afx_msg void OnListHeaderClick(NMHDR* nm, LRESULT* result);
  afx_msg void OnListBeginEdit(NMHDR* nm, LRESULT* result);
  afx_msg void OnListEndEdit(NMHDR* nm, LRESULT* result);
  afx_msg void OnListKeyDown(NMHDR* nm, LRESULT* result);
  afx_msg void OnListDblClk(NMHDR* nm, LRESULT* result);
  afx_msg void OnListReturn(NMHDR* nm, LRESULT* result);
  afx_msg void OnListSetFocus(NMHDR* nm, LRESULT* result);
  afx_msg void OnListBeginDrag(NMHDR*, LRESULT* result) { *result = 0; }
  afx_msg void OnUp();
  afx_msg void OnNewFolder();
  afx_msg void OnGo();
  afx_msg void OnNextPart();
  afx_msg void OnBack();
  afx_msg void OnForward();
  afx_msg void OnHistoryCommand(UINT id);
  afx_msg void OnRefresh();
  afx_msg void OnContentChangedCmd();
  afx_msg void OnSelectAll();
  afx_msg void OnDelete();
  afx_msg void OnDelayedSelect();
  DECLARE_MESSAGE_MAP()

  // Runs the list-filling procedure on the calling thread.
  int FillListProc();
  // The thread's key data, for data sources that keep a handle per fill.
  virtual void OnListFillEnd() {}
  bool ListStopRequested() const { return m_listFiller.StopRequested(); }
  LPARAM CurrentItemValue() const { return ((LPARAM)m_rootIndex << kTreeItemRootShift) | m_level; }
  void PostCursor(TreeWndCursorKind kind);
  void ForgetOpenItemBelow(HTREEITEM item);
  // Deleting a key: drops references into its subtree; shows the parent when it held the shown path.
  void OnKeyDeleted(const char* keyPath);
  HWND MessageOwner() const;

  void StopWorkers() {
    StopListThread();
    StopExpandThread();
  }

  // The entry a data-source call is about (-1 none): lets the source tell
  // the default value from a value that carries its display name.
  int m_currentEntry = -1;
  // Set by RenameItem when the new name stands in the lists otherwise than
  // typed (the data source's own writing of it); empty: as typed.
  CString m_renamedText;
  // Set while the later entries of a confirmed multiple delete go out: the
  // last one carries no "more" flag and would be asked about again.
  bool m_deleteConfirmed = false;
  int m_treeWidthDefault = 200;
  CImageList* m_listImages = nullptr;
  CImageList* m_treeImages = nullptr;
  DWORD m_createStyle = 0;
  DWORD m_style = 0;

 private:
  void StopListThread();
  void StopExpandThread();
  // The list filler's work: the entry list's rows from the records.
  static int FillListRowsOf(void* self);
  int FillListRows();
  // The expansion queue's work: fills an expanded item's subtree.
  static void ExpandQueuedItem(void* self, HTREEITEM item);
  void StartListThread();
  void Layout();
  void ApplyExtendedStyles(DWORD mask);
  void SetButtons();
  HIMAGELIST SystemSmallIcons();
  void InsertRoots();
  void InsertPlaceholder(HTREEITEM item, LPARAM data);
  LRESULT TreeDirect(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ListDirect(UINT msg, WPARAM wParam, LPARAM lParam);
  LPARAM TreeParam(HTREEITEM item);
  int TreeText(HTREEITEM item, char* buffer, int size);
  HTREEITEM TreeNext(HTREEITEM item, UINT code);
  void ExpandAncestors(HTREEITEM item);
  void SelectListRows(HTREEITEM keep, bool select);
  HTREEITEM WalkToPath(const char* path, int expand, HTREEITEM start, bool* complete);
  int FillTreeChildrenLocked(HTREEITEM item, const char* path, int mode);
  void SetTreeImage(HTREEITEM item, int open);
  // A path's image in the combo (none with TWS_NOTREEIMAGES).
  int ComboImage(const char* path, LPARAM itemValue);
  static int ComboImageOf(void* self, const char* path);
  // The path bar names what the panes show (after a path they could not show).
  void ShowShownPathInBar();
  // Tells the user how far a path that names no key reaches.
  void ReportMissingPath(const char* path);
  int RefillEntries(int startThread);
  void RemoveEntry(int index);
  void EnterFolder(int index);
  void TabFrom(int part, bool shift);
  // release: false when the capture is gone already (and may be another window's).
  void EndDrag(bool release = true);
  void EvaluateDrag(int mode);
  bool OnUiThread() const { return GetCurrentThreadId() == m_uiThread; }
  HWND ParentHwnd() const { return ::GetParent(m_hWnd); }

  CTreeListCtrl m_tree;
  CTreeListCtrl m_list;
  CComboBoxEx m_combo;
  CButton m_back, m_forward, m_up;
  CTextList m_entries;
  CTextList m_roots;
  ComboPaths m_comboPaths;
  CTextList m_dragPaths;
  CImageList m_dragImages;

  PathHistory m_history;

  int m_columnCount = 0;
  int m_level = 0;
  int m_rootIndex = 0;
  char* m_path = nullptr;
  char* m_pathNoSlash = nullptr;
  int m_pathLength = 0;
  int m_pathNoSlashLength = 0;
  HTREEITEM m_openItem = nullptr;
  int m_treeWidth = 200;
  bool m_userWidth = false;
  int m_topHeight = 0;
  int m_buttonSize = 0;
  int m_dropHeight = 0;

  ListFiller m_listFiller{FillListRowsOf, this};
  int m_shownCount = 0;

  ExpandQueue m_expandQueue{ExpandQueuedItem, this};
  // Keeps walks of the key tree (UI thread and expansion thread) apart.
  CRITICAL_SECTION m_walkLock;
  int m_walkDepth = 0;
  volatile LONG m_postedKind = 0;

  int m_treeTicks = 0;
  int m_comboTicks = 0;
  HTREEITEM m_pendingSelect = nullptr;
  // Set while ShowPath gives the shown key the caret: its selection notice is
  // not a new choice.
  bool m_selectingShown = false;
  DWORD m_closeUpTick = 0;
  bool m_comboTyped = false;
  bool m_created = false;
  volatile LONG m_contentChanged = 0;
  int m_lastFocus = kPartTree;
  int m_editing = 0;
  int m_sortColumn = 0;
  int m_sortDescending = 0;
  DWORD m_uiThread = 0;

  HCURSOR m_cursors[kTreeCursorKinds] = {};
  HCURSOR m_cursor = nullptr;
  TreeWndCursorKind m_cursorKind = kTreeCursorArrow;

  // Drag state.
  bool m_dragging = false;
  bool m_ownDragImages = false;
  int m_dropKind = 0;
  UINT_PTR m_dropTarget = 0;
  int m_dropMode = 0;
  int m_dropVerdict = -1;
  char* m_dragPath = nullptr;
  int m_dragDriveLength = 0;
  int m_dragParentLength = 0;
  HTREEITEM m_dropHotItem = nullptr;
  int m_dropHotRow = -1;
  TreeWndDropAction m_dropAction = nullptr;
  LPARAM m_dropUser = 0;
  TreeWndDropTest m_dropTest = nullptr;
  TreeWndDropPath m_dropPath = nullptr;
  TreeWndDragOver m_dragOver = nullptr;
};
