// Toggling an item's check box (a state image of the control's check
// images): plain, with states 0/1, or with one checked item at a time;
// TLN_CHECKCHANGED tells the parent, with the lock left.
#include <cstdlib>
#include <cstring>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kCheckRecordMask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE | TVIF_PARAM;

void SetImage(TreeListData* data, TLHandle item, int image) {
  TVITEMA tv = {};
  tv.mask = TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)item;
  tv.state = INDEXTOSTATEIMAGEMASK(image);
  tv.stateMask = TVIS_STATEIMAGEMASK;
  TreeListSetItem(data, &tv);
}

// The record of one item; its text is a copy the caller frees, since the
// stored one may go while the parent runs.
void Describe(TreeListData* data, TLHandle item, TVITEMA* tv) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return;
  tv->mask = kCheckRecordMask;
  tv->hItem = (HTREEITEM)(UINT_PTR)item;
  tv->state = record->state;
  tv->stateMask = (UINT)-1;
  UINT length = record->text ? record->textLength : 0;
  char* text = (char*)malloc(length + 1);
  if (text) {
    if (length) memcpy(text, record->text, length);
    text[length] = 0;
  }
  tv->pszText = text;
  tv->cchTextMax = text ? (int)length : 0;
  tv->lParam = record->lParam;
}

}  // namespace

LRESULT TreeListToggleCheck(TreeListData* data, TLHandle item, POINT pt) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record || (record->state & data->noCheckStates)) return 0;
  bool zeroBased = (data->exStyle & TLS_EX_CHECKFROMZERO) != 0;
  int on = zeroBased ? 1 : 2, off = zeroBased ? 0 : 1;
  int image = (int)((record->state >> 12) & 0xF);
  bool oneChecked = (data->exStyle & TLS_EX_ONECHECKED) != 0;
  TLHandle previous = data->checkedItem;
  if (oneChecked && image == on) return 0;
  if (oneChecked && previous && previous != item && TreeListLookup(data, previous)) SetImage(data, previous, off);
  if (!TreeListLookup(data, item)) return 0;
  SetImage(data, item, image == on ? off : on);
  data->checkedItem = item;
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)TLN_CHECKCHANGED;
  nm.action = 0x10000;
  if (oneChecked && previous != item) Describe(data, previous, &nm.itemOld);
  Describe(data, item, &nm.itemNew);
  nm.ptDrag = pt;
  char* texts[2] = {nm.itemOld.pszText, nm.itemNew.pszText};
  TreeListNotifyUnlocked(data, &nm.hdr);
  free(texts[0]);
  free(texts[1]);
  return 1;
}

void TreeListReleaseCellButton(TreeListData* data, POINT pt) {
  TLHandle item = data->pressState[3];
  int column = (int)data->pressState[4];
  if (!item) return;
  data->pressState[3] = data->pressState[4] = 0;
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return;
  TreeListInvalidateCell(data, item, column);
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)TLN_CHECKCHANGED;
  nm.action = 0x10003;
  TVITEMA* tv = &nm.itemNew;
  tv->mask = TLIF_CELL | kCheckRecordMask;
  tv->hItem = (HTREEITEM)(UINT_PTR)item;
  tv->stateMask = (UINT)-1;
  tv->cChildren = column;
  tv->lParam = record->lParam;
  tv->state = record->state;
  const char* stored = record->text;
  UINT length = record->text ? record->textLength : 0;
  if (column > 0) {
    TreeListCell* cell = TreeListGetCell(data, item, column, false);
    tv->state = (record->state & 0xE2) | (cell ? cell->state : 0);
    stored = cell ? cell->text : NULL;
    length = stored ? cell->textLength : 0;
  }
  // A copy: the stored text may go while the parent runs.
  char* text = (char*)malloc(length + 1);
  if (text) {
    if (length) memcpy(text, stored, length);
    text[length] = 0;
  }
  tv->pszText = text;
  tv->cchTextMax = text ? (int)length : 0;
  nm.ptDrag = pt;
  LRESULT reply = TreeListNotifyUnlocked(data, &nm.hdr);
  free(text);
  if (reply || !TreeListLookup(data, item) || column >= data->columnCount) return;
  const TreeListColumn& col = data->columns[column];
  if (col.editKind && (col.editFlags & TLCE_IMAGECLICK)) TreeListEditCell(data, column, TLEC_IMAGE, pt);
}
