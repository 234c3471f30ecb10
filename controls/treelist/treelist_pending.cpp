// Entry points whose behaviour comes with the items, columns, painting,
// selection, editing, tips and drag-and-drop code. Until then each answers
// the failure value its message promises, and holds no state of its own.
#include "controls/treelist/treelist_data.h"
#include "controls/treelist/treelist_keys.h"

LRESULT TreeListEndEdit(TreeListData*, int) { return 0; }
LRESULT TreeListOnPaste(TreeListData*) { return 0; }

LRESULT TreeListOnItemMessage(TreeListData*, UINT msg, WPARAM, LPARAM) {
  (void)msg;
  return 0;
}

// Until the cell editor exists: the parent is asked with the start of the
// request record and no editor opens.
LRESULT TreeListRequestEdit(TreeListData* data, TLHandle item, int column, UINT code, POINT pt) {
  struct {
    NMHDR hdr;
    TVITEMA item;
    UINT code;
    int droppedWidth, maxChoices;
    const char* choiceText;
    const char* const* choices;
    int x, y;
  } nm = {};
  TreeListItem* record = TreeListLookup(data, item);
  if (!(data->style & TVS_EDITLABELS) || !record || column < 0 || column >= (data->columnCount ? data->columnCount : 1))
    return 0;
  if (code < 32 && code != 13) return 0;
  nm.hdr.code = (UINT)TLN_EDITREQUEST;
  nm.item.mask = 0x801C;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)item;
  nm.item.state = record->state;
  nm.item.stateMask = (UINT)-1;
  nm.item.pszText = (LPSTR) "";
  nm.item.cChildren = column;
  nm.item.lParam = record->lParam;
  nm.code = code;
  nm.maxChoices = 255;
  nm.x = pt.x;
  nm.y = pt.y;
  TreeListNotifyUnlocked(data, &nm.hdr);
  return 0;
}

LRESULT TreeListEditCell(TreeListData*, int, UINT, POINT) { return 0; }
