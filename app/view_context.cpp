// COstrovaView: the context menus of the key trees and entry lists, and the
// commands that act on the item or cell the menu was opened on.
#include "app/ostrovaview.h"
#include "controls/treelist/treelist.h"
#include "res/resource.h"
#include "ui/buttonimage/menubitmap.h"
#include "ui/clipboard.h"

namespace {
// Images of the menu strip beside the items.
const int kImageCopy = 1;
const int kImageDelete = 3;
const int kImageEditBinary = 5;
const int kImageFind = 6;
const int kImageNew = 7;
const int kImageModify = 9;

void StripImage(CMenu* menu, UINT item, int image) {
  SetMenuItemBitmapFromStrip(menu, item, MAKEINTRESOURCEA(IDB_MENUSTRIP), image, kMenuStripImageSize);
}

// An image beside the item of a command.
struct CommandImage {
  UINT command;
  int image;
};

const CommandImage kKeyImages[] = {
    {ID_CTX_COPY, kImageCopy},
    {ID_CTX_FIND, kImageFind},
    {ID_DELETE_ITEM, kImageDelete},
};
const CommandImage kRowImages[] = {
    {ID_DELETE_ITEM, kImageDelete},
    {ID_CTX_EDIT_BINARY, kImageEditBinary},
    {ID_CTX_MODIFY, kImageModify},
    {ID_CTX_COPY, kImageCopy},
};

template <int N>
void StripImages(CMenu* menu, const CommandImage (&images)[N]) {
  for (const CommandImage& i : images) StripImage(menu, i.command, i.image);
}

// The "&Neu" pop-up has no command: it is found by its menu.
void PopupImage(CMenu* menu, HMENU popup, int image) {
  for (int i = 0, n = menu->GetMenuItemCount(); i < n; ++i)
    if (::GetSubMenu(menu->m_hMenu, i) == popup) return StripImage(menu, kMenuItemByPosition | i, image);
}

// The text of a cell of a tree-list item (column 0: the item's own text).
CString CellText(CTreeListCtrl& ctrl, HTREEITEM item, int column) {
  char text[1100] = "";
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  tv.cChildren = column;
  if (!item || !ctrl.GetItem(&tv)) return CString();
  return CString(tv.pszText ? tv.pszText : "");
}

bool HasChildren(CTreeListCtrl& tree, HTREEITEM item) {
  if (tree.GetChildItem(item)) return true;
  TVITEMA tv = {};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = item;
  return tree.GetItem(&tv) && tv.cChildren != 0;
}
}  // namespace

void COstrovaView::OnContextMenu(CWnd* pWnd, CPoint pos) {
  if (!pWnd) return;
  int pane = m_settings.singleWnd == kOnlyPane2 ? 1 : 0;
  UINT_PTR item = 0;
  int column = -1;
  TreeWndHit kind = (TreeWndHit)m_panes[pane].HitTest(pos.x, pos.y, &item, &column);
  if (kind == kHitNothing && BothShown()) {
    pane = 1;
    kind = (TreeWndHit)m_panes[1].HitTest(pos.x, pos.y, &item, &column);
  }
  if (kind != kHitTreeItem && kind != kHitEntryRow && kind != kHitEntryList) {
    m_context = ViewContext();
    return;
  }
  m_context.pane = pane;
  m_context.kind = kind;
  m_context.item = kind == kHitTreeItem ? item : 0;
  m_context.row = kind == kHitEntryRow ? (int)item : -1;
  m_context.column = column;
  m_activePane = m_focusPane = pane;
  CMenu newMenu;
  newMenu.CreatePopupMenu();
  HMENU newPopup = newMenu.m_hMenu;
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_KEY, "Schlüssel");
  newMenu.AppendMenu(MF_SEPARATOR);
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_STRING, "Zeichenfolge");
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_BINARY, "Binärwert");
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_DWORD, "DWORD-Wert (32-Bit)");
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_QWORD, "QWORD-Wert (64-Bit)");
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_MULTI, "Mult-String");
  newMenu.AppendMenu(MF_STRING, ID_CTX_NEW_EXPAND, "Erweiterbare Zeichnefolge");
  CMenu menu;
  menu.CreatePopupMenu();
  if (kind == kHitTreeItem) {
    CTreeListCtrl& tree = m_panes[pane].Tree();
    HTREEITEM hit = (HTREEITEM)item;
    UINT grey = hit ? 0 : MF_GRAYED;
    bool expanded = hit && (tree.GetItemState(hit, TVIS_EXPANDED) & TVIS_EXPANDED);
    menu.AppendMenu(MF_STRING | grey, ID_CTX_COPY, "Schlüsselnamen kopieren");
    menu.AppendMenu(MF_STRING | (hit && HasChildren(tree, hit) ? 0 : MF_GRAYED), ID_CTX_EXPAND,
                    expanded ? "&Ausbelenden" : "&Erweitern");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_POPUP, (UINT_PTR)newMenu.Detach(), "&Neu");
    menu.AppendMenu(MF_STRING | grey, ID_CTX_FIND, "Suchen...");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | grey, ID_DELETE_ITEM, "Löschen");
    menu.AppendMenu(MF_STRING | grey, ID_RENAME_ITEM, "Umbenennen");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | grey, ID_EXPORT, "Exportieren");
    menu.AppendMenu(MF_STRING | grey, ID_PERMISSIONS, "Berechtigungen");
    StripImages(&menu, kKeyImages);
    PopupImage(&menu, newPopup, kImageNew);
  } else if (kind == kHitEntryRow) {
    int row = m_context.row;
    UINT grey = row >= 0 ? 0 : MF_GRAYED;
    // The default value by its record: a value named "(Standard)" can be renamed.
    const CTextList& entries = m_panes[pane].Entries();
    bool isDefault =
        row >= 0 && row < entries.count && (((const TreeWndEntry*)entries.items[row])->type & kEntryDefaultValue);
    menu.AppendMenu(MF_STRING | grey, ID_CTX_COPY, "Feld kopieren");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | grey, ID_CTX_MODIFY, "&Ändern...");
    menu.AppendMenu(MF_STRING | grey, ID_CTX_EDIT_BINARY, "Binärdaten ändern");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | grey, ID_DELETE_ITEM, "Löschen");
    menu.AppendMenu(MF_STRING | (row < 0 || isDefault ? MF_GRAYED : 0), ID_RENAME_ITEM, "Umbenennen");
    StripImages(&menu, kRowImages);
  } else {
    menu.AppendMenu(MF_POPUP, (UINT_PTR)newMenu.Detach(), "&Neu");
    PopupImage(&menu, newPopup, kImageNew);
  }
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pos.x, pos.y, this);
  menu.DestroyMenu();
}

void COstrovaView::OnContextExpand() {
  if (m_context.kind == kHitTreeItem && m_context.item)
    m_panes[m_context.pane].Tree().Expand((HTREEITEM)m_context.item, TVE_TOGGLE);
  m_context.kind = kHitNothing;
}

void COstrovaView::OnContextCopy() {
  CRegWnd& pane = m_panes[m_context.pane];
  if (m_context.kind == kHitTreeItem) {
    SetClipboardText(pane.GetPathNoSlash(), -1);
  } else if (m_context.kind == kHitEntryRow && m_context.row >= 0) {
    CTreeListCtrl& list = pane.List();
    HTREEITEM item = (HTREEITEM)list.SendMessage(TLM_GETROWITEM, 0, m_context.row);
    CString text = CellText(list, item, m_context.column > 0 ? m_context.column : 0);
    SetClipboardText(text, text.GetLength());
  }
  m_context.kind = kHitNothing;
}

bool COstrovaView::FocusContextTarget() {
  CRegWnd& pane = m_panes[m_context.pane];
  if (m_context.kind == kHitTreeItem && m_context.item) {
    pane.Tree().SelectItem((HTREEITEM)m_context.item);
    pane.Tree().SetFocus();
    return true;
  }
  if (m_context.kind == kHitEntryRow && m_context.row >= 0) {
    pane.SelectEntry(m_context.row, TRUE);
    return true;
  }
  return false;
}

void COstrovaView::OnContextDelete() {
  if (FocusContextTarget()) m_panes[m_context.pane].SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
}

void COstrovaView::OnContextRename() {
  if (FocusContextTarget()) m_panes[m_context.pane].Rename();
}
