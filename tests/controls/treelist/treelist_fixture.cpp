#include "treelist_fixture.h"

#include <cstdlib>
#include <cstring>

namespace {
const char kParentClass[] = "TreeListTestParent";
}

TreeListFixture::TreeListFixture(DWORD style, int width, int height) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterTreeListClass(instance);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = instance;
  wc.lpszClassName = kParentClass;
  wc.cbWndExtra = sizeof(LONG_PTR);
  RegisterClassA(&wc);
  m_parent = CreateWindowExA(0, kParentClass, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width + 60,
                             height + 80, nullptr, nullptr, instance, nullptr);
  SetWindowLongPtrA(m_parent, 0, (LONG_PTR)this);
  m_hwnd =
      CreateWindowExA(0, TREELIST_CLASSNAME, "", style, 0, 0, width, height, m_parent, (HMENU)7, instance, nullptr);
  // Fixed geometry whatever the font: 16-pixel rows.
  Send(TVM_SETITEMHEIGHT, 16);
}

TreeListFixture::~TreeListFixture() {
  if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
  SetWindowLongPtrA(m_parent, 0, 0);
  DestroyWindow(m_parent);
}

LRESULT CALLBACK TreeListFixture::ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TreeListFixture* self = (TreeListFixture*)GetWindowLongPtrA(hwnd, 0);
  if (msg == WM_NOTIFY && self) {
    NMHDR* hdr = (NMHDR*)lp;
    TLNote note = {};
    note.code = (int)hdr->code;
    if (hdr->code == (UINT)TLN_SCROLLING)
      note.scroll = *(NMTLSCROLLING*)lp;
    else if (hdr->code == TVN_ITEMEXPANDINGA || hdr->code == TVN_ITEMEXPANDEDA || hdr->code == TVN_SELCHANGEDA ||
             hdr->code == TVN_SELCHANGINGA || hdr->code == TVN_DELETEITEMA || hdr->code == TVN_BEGINDRAGA ||
             hdr->code == NM_CLICK || hdr->code == NM_DBLCLK || hdr->code == NM_RCLICK ||
             hdr->code == (UINT)TLN_LBUTTONUP || hdr->code == (UINT)TLN_RBUTTONUP)
      note.tv = *(NMTREEVIEWA*)lp;
    else
      note.tv.hdr = *hdr;
    LRESULT result = self->onNotify ? self->onNotify(hdr) : 0;
    self->notes.push_back(note);
    return result;
  }
  if (msg == WM_CONTEXTMENU && self) {
    TLNote note = {};
    note.code = kNoteContextMenu;
    self->notes.push_back(note);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

static void Grow(TreeListData* d, UINT needed) {
  if (needed <= d->capacity) return;
  UINT cap = needed + needed / 2 + 64;
  d->items = (TreeListItem**)realloc(d->items, (cap + 1) * sizeof(TreeListItem*));
  d->rows = (TLHandle*)realloc(d->rows, (cap + 1) * sizeof(TLHandle));
  for (UINT i = d->capacity + 1; i <= cap; ++i) d->items[i] = nullptr;
  for (UINT i = d->capacity; i <= cap; ++i) d->rows[i] = 0;
  d->capacity = cap;
}

TLHandle TreeListFixture::Add(TLHandle parent, const char* text, bool expanded) {
  TreeListData* d = Data();
  TreeListLock(d);
  Grow(d, d->lastHandle + 1);
  TLHandle h = ++d->lastHandle;
  TreeListItem* item = (TreeListItem*)calloc(1, sizeof(TreeListItem));
  item->text = _strdup(text);
  item->textLength = (UINT)strlen(text);
  item->image = item->selectedImage = -2;
  item->state = expanded ? TVIS_EXPANDED : 0;
  item->lParam = (LPARAM)h * 10;
  item->itemFlags = kTLItemChildrenReal;
  item->parent = parent;
  d->items[h] = item;
  if (parent) {
    TreeListItem* p = d->items[parent];
    item->level = (WORD)(p->level + 1);
    item->prevSibling = p->lastChild;
    if (p->lastChild)
      d->items[p->lastChild]->nextSibling = h;
    else
      p->firstChild = h;
    p->lastChild = h;
    p->itemFlags |= kTLItemHasChildren;
  } else {
    item->prevSibling = d->lastRoot;
    if (d->lastRoot)
      d->items[d->lastRoot]->nextSibling = h;
    else
      d->firstRoot = h;
    d->lastRoot = h;
  }
  ++d->itemCount;
  TreeListUnlock(d);
  return h;
}

void TreeListFixture::AddRoots(int n) {
  for (int i = 0; i < n; ++i) Add(0);
  Rebuild();
}

void TreeListFixture::Rebuild() {
  TreeListData* d = Data();
  TreeListLock(d);
  TreeListRebuildRows(d, 0);
  TreeListUnlock(d);
}

void TreeListFixture::SetTopRow(int top) { Send(WM_VSCROLL, TL_SB_SETPOS | ((WPARAM)top << 4)); }

std::vector<int> Codes(const std::vector<TLNote>& notes) {
  std::vector<int> codes;
  for (const TLNote& n : notes) codes.push_back(n.code);
  return codes;
}

TLHandle Insert(TreeListFixture& f, TLHandle parent, const char* text, LPARAM param) {
  TVINSERTSTRUCTA ins = {};
  ins.hParent = (HTREEITEM)(UINT_PTR)parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = (char*)text;
  ins.item.lParam = param;
  return (TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}
