// The view's value editors and its new key and value commands; they act on
// the entry or key of the last context menu, double-click or Enter.
#include "app/editors/valueeditor.h"
#include "app/ostrovaview.h"
#include "res/resource.h"

namespace {
// What a pane sends with NM_DBLCLK and NM_RETURN on an entry.
struct EntryNotify {
  NMHDR hdr;
  DWORD kind;
  DWORD item;
  DWORD row;
  DWORD column;
};

const DWORD kNewValueTypes[] = {REG_SZ, REG_BINARY, REG_DWORD, REG_QWORD, REG_MULTI_SZ, REG_EXPAND_SZ};
}  // namespace

// The key path and entry of the context, taken from the pane. The stand-in
// pane knows its path but lists no entries, so nothing is edited yet; the
// browser pane fills in the entry text at the row, its default-value record
// (type + 0x100) and its current path with the root name.
bool COstrovaView::ContextEntry(const ViewContext& context, CString* path, CString* name, bool* isDefault) {
  if (context.pane < 0 || context.pane > 1 || context.row < 0) return false;
  *path = m_panes[context.pane].GetPath();
  name->Empty();
  *isDefault = false;
  return false;
}

// The browser pane fills the row's columns again (SetItemColumns).
void COstrovaView::RefreshContextRow(const ViewContext&) {}

void COstrovaView::EditContextValue(bool binary) {
  if (m_context.kind != 2) return;
  ViewContext context = m_context;
  m_context.kind = 0;
  CString path, name;
  bool isDefault = false;
  if (!ContextEntry(context, &path, &name, &isDefault)) return;
  if (EditRegistryValue(this, nullptr, path, name, isDefault, binary) == kEditWritten) RefreshContextRow(context);
}

void COstrovaView::OnModifyValue() { EditContextValue(false); }
void COstrovaView::OnModifyBinary() { EditContextValue(true); }

void COstrovaView::OnEntryActivate(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const EntryNotify* entry = (const EntryNotify*)pNMHDR;
  m_context = ViewContext();
  m_context.pane = pNMHDR->idFrom == IDC_PANE2 ? 1 : 0;
  m_context.kind = 2;
  m_context.row = (int)entry->row;
  m_context.column = 0;
  m_activePane = m_focusPane = m_context.pane;
  OnModifyValue();
}

void COstrovaView::OnNewKey() {
  if (m_context.kind != 1 && m_context.kind != 5) return;
  m_context.kind = 0;
  // The browser pane makes it in place (OnNewFolder) and starts renaming it.
  CreateNewKey(nullptr, m_panes[m_context.pane].GetPath(), nullptr);
}

void COstrovaView::OnNewValue(UINT nID) {
  if (m_context.kind != 1 && m_context.kind != 5) return;
  m_context.kind = 0;
  // The browser pane makes it in place (NewItemAt with mode 2) and starts renaming it.
  CreateNewValue(nullptr, m_panes[m_context.pane].GetPath(), kNewValueTypes[nID - ID_CTX_NEW_STRING], nullptr);
}
