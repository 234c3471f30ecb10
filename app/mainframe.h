// CMainFrame: the program's top-level window with its toolbar, status bar and
// owner-drawn menus. Other windows of the process add panes of their own to
// its status bar, write into them and colour them through WM_STATUSPANES.
#pragma once

#include "app/menuitems.h"
#include "app/statuspanes.h"
#include "controls/toolbar/toolbarnew.h"
#include "mfc/mfc.h"

class CMainFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)

 public:
  CMainFrame();
  ~CMainFrame() override;

  CStatusBar& StatusBar() { return m_wndStatusBar; }
  CToolBarNew& ToolBar() { return m_wndToolBar; }
  int FlatMode() const { return m_flatMode; }

  // The status-pane service (operations 0-4 of WM_STATUSPANES).
  int SetPanes(const int* ids, const int* widths, int count);
  int SetPaneText(int index, const char* text, BOOL update, int background, int textColor);
  int RemovePanes(int tag);
  int InsertPanes(const int* ids, const int* widths, int count);
  int SetPaneColors(int index, BOOL update, int background, int textColor);

  // Owner-drawn menus: icons from the toolbar resources (a 0 id or count
  // ends the list); 1 when icons were found.
  BOOL InitMenuIcons(const UINT* toolbarIds, int count);
  // The menus with the icons of toolbar 128, made when a menu first opens
  // (or something first asks for an item's block): the window shows sooner.
  void MakeMenus();
  int AllocMenuItemData(HMENU popup, int pos, const char* text, UINT command);
  void FreeMenuItemData(HMENU popup, int pos);
  void SetMenuTextColumnWidth(HMENU popup, int width);
  // Draws a menu item; FALSE when the item is none.
  BOOL DrawMenuItem(LPDRAWITEMSTRUCT lpdis);
  int IconWidth() const { return m_iconWidth; }

  // Changes after the menus were made. The text of the command's item (one
  // beginning with a tab replaces the part from the item's tab on): 1, also
  // for an equal text; 0 when no item has the command.
  int SetMenuItemTextByCommand(UINT command, LPCSTR text);
  // The icon the command's item shows, -1 for none.
  int GetMenuIconIndex(UINT command);
  // Every item of the command shows that icon (-1 or an index beyond the
  // lists: none); 0 when no item has the command.
  int SetMenuIconIndex(UINT command, int index);
  // An icon, or the cells of a bitmap strip with its mask colour, added to
  // both lists; the command's item shows it unless the command is
  // kNoMenuCommand. The (first) new index, -1 on failure.
  int AddMenuIcon(UINT command, HICON icon);
  int AddMenuBitmap(UINT command, HBITMAP bitmap, COLORREF maskColor);
  // The blended scheme's switch, and its check mark; no command is mapped
  // to them.
  afx_msg void ToggleLargeMenuMode();
  afx_msg void ApplyLargeMenuMode(CCmdUI* pCmdUI);

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

 protected:
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  afx_msg LRESULT OnStatusPanes(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDrawStatusPane(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnQueryPaneService(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetPaneTextById(WPARAM wParam, LPARAM lParam);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpdis);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpmis);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg LRESULT OnMenuItemData(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnInitMenu(WPARAM wParam, LPARAM lParam);
  afx_msg void OnFlatToolbar();
  afx_msg void OnUpdateFlatToolbar(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 private:
  struct PaneDef {
    UINT id;
    UINT style;
    int width;
    CString text;
    int tag;
  };
  void ResetPanesIfBare();
  int ResolveIndex(int index) const;  // -1 when outside the bar
  bool ServiceReady() const;
  BOOL ApplyPanes(const PaneDef* panes, int count, bool withText);
  void ReadPanes(PaneDef* panes, int count) const;

  CStatusBar m_wndStatusBar;
  CToolBarNew m_wndToolBar;
  int m_ownPaneCount = 0;
  int m_firstIndicator = 1;
  int m_nextPaneTag = 2;
  int m_paneTags[kMaxStatusPanes] = {};
  int m_flatMode = 1;

  int MeasureMenuText(const char* text, int tabPos, int* accelWidth);
  // Fills a block for the text and command; its text column.
  int FillMenuBlock(MenuItemBlock* b, const char* text, UINT command);
  // Every block item of the popup takes the widest one's text column.
  void EqualizeTextColumns(HMENU popup);
  bool MakeIconLists();
  int AddIconStrip(HBITMAP strip, BITMAPINFO* dib, void* bits, COLORREF key);
  // The new icons from index first on belong to the command.
  void RecordIconCommands(int first, int count, UINT command);
  bool m_menusMade = false;
  WORD m_menuCommandIds[kMaxMenuCommands] = {};
  int m_commandCount = 0;
  int m_iconWidth = 16;
  int m_iconHeight = 15;
  HFONT m_menuFont = nullptr;
  HIMAGELIST m_normalIcons = nullptr;
  HIMAGELIST m_greyIcons = nullptr;
  char m_recentTexts[16][64] = {};
};
