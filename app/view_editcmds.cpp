// The view's value editors and its new key and value commands; they act on
// the entry or key of the last context menu, double-click or Enter.
#include "app/editors/valueeditor.h"
#include "app/ostrovaview.h"
#include "res/resource.h"

namespace {
const DWORD kNewValueTypes[] = {REG_SZ, REG_BINARY, REG_DWORD, REG_QWORD, REG_MULTI_SZ, REG_EXPAND_SZ};
}  // namespace

// The key path and the value entry of the context, from the pane: the entry's
// record tells the default value (type + 0x100), not its text.
bool COstrovaView::ContextEntry(const ViewContext& context, CString* path, CString* name, bool* isDefault) {
  if (context.pane < 0 || context.pane > 1 || context.row < 0) return false;
  CRegWnd& pane = m_panes[context.pane];
  const CTextList& entries = pane.Entries();
  if (context.row >= entries.count || entries.extraSize < sizeof(TreeWndEntry)) return false;
  const TreeWndEntry* entry = (const TreeWndEntry*)entries.items[context.row];
  if (entry->folder != kEntryItem) return false;
  *path = pane.GetPathNoSlash();
  *isDefault = (entry->type & kEntryDefaultValue) != 0;
  if (*isDefault)
    name->Empty();
  else
    *name = CString(entries.TextAt(context.row), (int)entries.LengthAt(context.row));
  return !path->IsEmpty();
}

void COstrovaView::RefreshContextRow(const ViewContext& context) {
  if (context.pane >= 0 && context.pane <= 1) m_panes[context.pane].RefreshEntry(context.row);
}

void COstrovaView::EditContextValue(bool binary) {
  if (m_context.kind != kHitEntryRow) return;
  ViewContext context = m_context;
  m_context.kind = kHitNothing;
  CString path, name;
  bool isDefault = false;
  if (!ContextEntry(context, &path, &name, &isDefault)) return;
  int result = EditRegistryValue(this, nullptr, path, name, isDefault, binary);
  if (result == kEditWritten) RefreshContextRow(context);
  // Deleted by another program meanwhile: the pane shows what is there now.
  if (result == kEditGone) m_panes[context.pane].ShowVanished(nullptr);
}

void COstrovaView::OnModifyValue() { EditContextValue(false); }
void COstrovaView::OnModifyBinary() { EditContextValue(true); }

void COstrovaView::OnEntryActivate(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const NMTREEWNDENTRY* entry = (const NMTREEWNDENTRY*)pNMHDR;
  m_context = ViewContext();
  m_context.pane = pNMHDR->idFrom == IDC_PANE2 ? 1 : 0;
  m_context.kind = kHitEntryRow;
  m_context.row = (int)entry->index;
  m_context.column = 0;
  m_activePane = m_focusPane = m_context.pane;
  OnModifyValue();
}

void COstrovaView::OnNewKey() {
  if (m_context.kind != kHitTreeItem && m_context.kind != kHitEntryList) return;
  m_context.kind = kHitNothing;
  // Made in place, with its name open for editing.
  m_panes[m_context.pane].NewFolderAt(nullptr, 2, nullptr);
}

void COstrovaView::OnNewValue(UINT nID) {
  if (m_context.kind != kHitTreeItem && m_context.kind != kHitEntryList) return;
  m_context.kind = kHitNothing;
  // Made in place, with its name open for editing.
  m_panes[m_context.pane].NewItemAt(nullptr, 2, kNewValueTypes[nID - ID_CTX_NEW_STRING]);
}
