#include "controls/dialogs/choicetreelist.h"

#include <algorithm>

#include "mfc/afxres.h"
#include "ui/clipboard.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/dialogs/dlgtemplate.h"
#include "ui/libtexts.h"

namespace {
LPCDLGTEMPLATE TreeListTemplate() {
  static const CDlgTemplateBuilder t = [] {
    CDlgTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 225, 184, "Auswahl");
    b.Item(kDlgButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 165, 50, 14, "OK")
        .Item(kDlgButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 120, 165, 50, 14, "Abbrechen")
        .Item(kDlgStatic, IDC_CHOICE_TREEFRAME, SS_BLACKFRAME | kDlgHidden, 0, 15, 225, 145)
        .Item(kDlgStatic, IDC_CHOICE_PROMPT, SS_LEFT, 5, 3, 215, 8);
    return b;
  }();
  return t.Get();
}

// Where tree-list dialogs were last closed, and the last header sort, for
// the life of the process.
POINT s_rememberedPos;
bool s_hasRememberedPos = false;
int s_sortColumn = -1;
bool s_sortDescending = false;

// Extended style of the control (before the mode's additions).
const DWORD kBaseExStyle = 0x32000;  // one checked item, alternating and taller rows
const DWORD kPlainRowBits = TLS_EX_TALLROWS | TLS_EX_ALTERNATE;
const DWORD kOneCheckedItem = 0x2000;
const DWORD kExStyleAdded = 0x10000000 | TLS_EX_FOCUSROW;
// Edit word of an editable column: an edit box that opens on a
// double-click, its text aligned like the column.
const WPARAM kColumnEditWord = 0x106;
const int kColumnEditShift = 11;
// TLM_SELECTSUBTREE: unselect.
const WPARAM kSelectSubtreeUnselect = 2;
// TLM_SORTCHILDRENEX: with subtrees.
const WPARAM kSortRecurse = 1;
// TVN_ENDLABELEDITA: the text was changed.
const UINT kEditTextChanged = 0x20000000;
// TLN_EDITREQUEST answer: an edit box aligned like the column.
const LRESULT kEditAlignedBox = (LRESULT)(LONG)0x80000000;
// TVM_GETNEXTITEM: the item with the focus cell.
const WPARAM kNextFocusItem = 15;
const int kStateChecked = 2, kStateUnchecked = 1;
// The control grows by this when there is no prompt.
const int kPromptSpace = 20;

// The stored text of item's cell in column (the item's own for 0); "" when
// there is none.
LPCSTR ItemText(HWND tree, HTREEITEM item, int column) {
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TLIF_CELL | TLIF_TEXTPTR;
  tv.hItem = item;
  tv.cChildren = column;
  if (!::SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv) || !tv.pszText || tv.pszText == LPSTR_TEXTCALLBACKA)
    return "";
  return tv.pszText;
}
}  // namespace

BEGIN_MESSAGE_MAP(CChoiceTreeListDlg, CDialog)
  ON_WM_SIZE()
  ON_WM_SIZING()
  ON_WM_EXITSIZEMOVE()
  ON_COMMAND(ID_CHOICE_SELECTALL, OnSelectAll)
  ON_COMMAND(ID_CHOICE_DESELECTALL, OnDeselectAll)
  ON_COMMAND(ID_CHOICE_COPYFIELD, OnCopy)
  ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
  ON_NOTIFY(NM_RCLICK, IDC_CHOICE_TREELIST, OnRClick)
  ON_NOTIFY(NM_DBLCLK, IDC_CHOICE_TREELIST, OnDblClk)
  ON_NOTIFY(NM_RETURN, IDC_CHOICE_TREELIST, OnReturn)
  ON_NOTIFY(HDN_ITEMCLICKA, IDC_CHOICE_TREELIST, OnHeaderClick)
  ON_NOTIFY(TVN_BEGINLABELEDITA, IDC_CHOICE_TREELIST, OnBeginLabelEdit)
  ON_NOTIFY(TVN_ENDLABELEDITA, IDC_CHOICE_TREELIST, OnEndLabelEdit)
  ON_NOTIFY(TLN_EDITREQUEST, IDC_CHOICE_TREELIST, OnBeginCellEdit)
  ON_NOTIFY(TVN_KEYDOWN, IDC_CHOICE_TREELIST, OnKeyDown)
END_MESSAGE_MAP()

CChoiceTreeListDlg::CChoiceTreeListDlg(CWnd* pParent) { InitModalIndirect(TreeListTemplate(), pParent); }

CChoiceTreeListDlg::~CChoiceTreeListDlg() {
  DeleteAllRows();
  delete m_pTree;
}

void CChoiceTreeListDlg::ResetProcessState() {
  s_hasRememberedPos = false;
  s_sortColumn = -1;
  s_sortDescending = false;
}

int CChoiceTreeListDlg::SortColumn() { return s_sortColumn; }
bool CChoiceTreeListDlg::SortDescending() { return s_sortDescending; }

// ---- rows, columns and cells

int CChoiceTreeListDlg::AddColumn(LPCSTR title, int width, int format, BOOL editable) {
  if (m_rows.Count()) return -1;
  m_columns.push_back({title ? title : "", width, format, editable != FALSE});
  return (int)m_columns.size() - 1;
}

int CChoiceTreeListDlg::InsertRow(int index, DWORD data, LPCSTR text, BOOL flag) {
  int n = m_rows.Insert(index, data, text, flag);
  if (n < 0) return n;
  // Cells keep to their rows.
  for (Cell& cell : m_cells)
    if (cell.row >= n) ++cell.row;
  return n;
}

CChoiceTreeListDlg::Cell* CChoiceTreeListDlg::FindCell(int row, int column) {
  for (Cell& cell : m_cells)
    if (cell.row == row && cell.column == column) return &cell;
  return nullptr;
}

const CChoiceTreeListDlg::Cell* CChoiceTreeListDlg::FindCell(int row, int column) const {
  return const_cast<CChoiceTreeListDlg*>(this)->FindCell(row, column);
}

BOOL CChoiceTreeListDlg::SetCellText(int n, LPCSTR text, int column) {
  if (column == 0) return SetRowText(n, text);
  if (!m_rows.Valid(n) || column < 1 || column >= (int)m_columns.size()) return FALSE;
  if (!text) text = "";
  if (Cell* cell = FindCell(n, column))
    cell->text = text;
  else
    m_cells.push_back({text, n, column});
  return TRUE;
}

LPCSTR CChoiceTreeListDlg::GetCellText(int n, int column) const {
  if (!m_rows.Valid(n)) return nullptr;
  if (column == 0) return m_rows.Text(n);
  if (column < 1 || column >= (int)m_columns.size()) return nullptr;
  const Cell* cell = FindCell(n, column);
  return cell ? cell->text.c_str() : "";
}

int CChoiceTreeListDlg::FindRow(LPCSTR text, int mode) {
  int n = m_rows.Find(text, mode);
  if (n >= 0) m_nSelection = n;
  return n;
}

int CChoiceTreeListDlg::CompareRowTexts(DWORD, LPCSTR text1, DWORD, LPCSTR text2) { return lstrcmpiA(text1, text2); }

void CChoiceTreeListDlg::SortRows(CChoiceItems::Compare compare) {
  if (m_cells.empty()) {
    m_rows.Sort(compare);
    return;
  }
  // The cells follow their rows: sort a copy of the order, then renumber.
  int count = m_rows.Count();
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return compare(m_rows.Data(a), m_rows.Text(a), m_rows.Data(b), m_rows.Text(b)) < 0;
  });
  std::vector<int> newIndex(count);
  for (int i = 0; i < count; ++i) newIndex[order[i]] = i;
  m_rows.Sort(compare);
  for (Cell& cell : m_cells) cell.row = newIndex[cell.row];
}

void CChoiceTreeListDlg::DeleteAllRows() {
  m_rows.DeleteAll();
  m_cells.clear();
}

// ---- window

BOOL CChoiceTreeListDlg::OnInitDialog() {
  bool editableColumn = std::any_of(m_columns.begin(), m_columns.end(), [](const Column& c) { return c.editable; });
  if (editableColumn || (m_columns.empty() && (m_dwMode & (kTreeChoiceAddRow | kTreeChoiceDelete))))
    m_dwMode |= kTreeChoiceEditing;

  // The control over the frame that marks its place.
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP;
  if (Checks()) style |= TVS_CHECKBOXES;
  if (m_dwMode & kTreeChoiceEditing) style |= TVS_EDITLABELS;
  delete m_pTree;  // from an earlier run of this object
  m_pTree = new CTreeListCtrl;
  if (!m_pTree->CreateFromItem(WS_EX_CLIENTEDGE, style, IDC_CHOICE_TREEFRAME, this, IDC_CHOICE_TREELIST)) {
    EndDialog(-1);
    return FALSE;
  }
  HWND tree = m_pTree->m_hWnd;
  DWORD exStyle = kBaseExStyle;
  if ((m_dwMode & (kTreeChoiceMulti | kTreeChoiceChecks)) == kTreeChoiceMulti) exStyle |= TLS_EX_MULTISELECT;
  // Several rows with check boxes: any number of them may be checked.
  if ((m_dwMode & (kTreeChoiceMulti | kTreeChoiceChecks)) == (kTreeChoiceMulti | kTreeChoiceChecks))
    exStyle &= ~kOneCheckedItem;
  if (m_dwMode & kTreeChoicePlainRows) exStyle &= ~kPlainRowBits;
  if (m_dwMode & kTreeChoiceEditing) exStyle |= TLS_EX_CELLCARET;
  if (m_columns.empty()) exStyle |= TLS_EX_NOHEADER;
  ::SendMessageA(tree, TVM_SETEXTENDEDSTYLE, 0, exStyle | kExStyleAdded);
  for (size_t i = 0; i < m_columns.size(); ++i) {
    const Column& c = m_columns[i];
    m_pTree->InsertColumn((int)i, c.title.c_str(), c.format, c.width);
    if (c.editable) ::SendMessageA(tree, TLM_SETCOLUMNEDIT, ((i & 63) << kColumnEditShift) | kColumnEditWord, 0);
  }

  // Layout for sizing, in client coordinates.
  if (m_bFocus) PostMessage(WM_NEXTDLGCTL, (WPARAM)tree, TRUE);
  if (m_strPrompt.IsEmpty()) MoveDlgItemBy(m_hWnd, IDC_CHOICE_TREELIST, 0, -kPromptSpace, 0, kPromptSpace);
  RECT client, rcTree = DlgItemRect(m_hWnd, IDC_CHOICE_TREELIST);
  ::GetClientRect(m_hWnd, &client);
  RECT ok = DlgItemRect(m_hWnd, IDOK), cancel = DlgItemRect(m_hWnd, IDCANCEL);
  m_treeMargins = {rcTree.left, rcTree.top, client.right - rcTree.right, client.bottom - rcTree.bottom};
  m_nButtonsBottom = client.bottom - ok.top;
  RECT rcWnd;
  GetWindowRect(&rcWnd);
  int ncx = (rcWnd.right - rcWnd.left) - client.right, ncy = (rcWnd.bottom - rcWnd.top) - client.bottom;
  int buttons = m_bCancel ? cancel.right - ok.left : ok.right - ok.left;
  int above = m_strPrompt.IsEmpty() ? 100 - kPromptSpace : 100;
  m_minSize = {ncx + buttons + 40, ncy + above + m_nButtonsBottom};

  PlaceChoiceDlg(m_hWnd, rcWnd, s_hasRememberedPos ? &s_rememberedPos : nullptr, m_rememberedSize, m_nWidthChange,
                 m_nHeightChange, m_minSize, m_bCancel != 0);
  OnSize(SIZE_RESTORED, 0, 0);  // lays out for the size now, changed or not

  FillControl();
  CDialog::OnInitDialog();
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
  if (m_strPrompt.IsEmpty())
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_CHOICE_PROMPT), SW_HIDE);
  else
    SetDlgItemText(IDC_CHOICE_PROMPT, m_strPrompt);
  return TRUE;
}

void CChoiceTreeListDlg::FillControl() {
  HWND tree = m_pTree->m_hWnd;
  bool single = !(m_dwMode & kTreeChoiceMulti);
  int count = m_rows.Count();
  // In single choice a flagged row is the choice unless one was given.
  if (single && m_nSelection == -1) {
    for (int i = 0; i < count && m_nSelection == -1; ++i)
      if (m_rows.Check(i)) m_nSelection = i;
  }
  ::SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
  std::vector<HTREEITEM> items(count);
  for (int i = 0; i < count; ++i) {
    UINT state = 0, stateMask = 0;
    if (Checks()) {
      state = INDEXTOSTATEIMAGEMASK(m_rows.Check(i) ? kStateChecked : kStateUnchecked);
      stateMask = TVIS_STATEIMAGEMASK;
    } else if (!single && m_rows.Check(i)) {
      state = stateMask = TVIS_SELECTED;
    }
    items[i] = m_pTree->InsertItem(TVIF_TEXT | TVIF_PARAM | (stateMask ? TVIF_STATE : 0), m_rows.Text(i), 0, 0, state,
                                   stateMask, i, TVI_ROOT, TVI_LAST);
  }
  for (const Cell& cell : m_cells) {
    if (cell.row >= count || !items[cell.row]) continue;
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TLIF_CELL;
    tv.hItem = items[cell.row];
    tv.pszText = const_cast<LPSTR>(cell.text.c_str());
    tv.cChildren = cell.column;
    m_pTree->SetItem(&tv);
  }
  if (m_nSelection > -2 && (single || m_rows.Valid(m_nSelection))) {
    if (!m_rows.Valid(m_nSelection)) m_nSelection = 0;
    if (m_rows.Valid(m_nSelection)) {
      HTREEITEM item = items[m_nSelection];
      if (Checks())
        m_pTree->SetItemState(item, INDEXTOSTATEIMAGEMASK(kStateChecked), TVIS_STATEIMAGEMASK);
      else
        m_pTree->SelectItem(item);
    }
  }
  if (m_dwMode & kTreeChoiceAddRow)
    m_pTree->InsertItem(TVIF_TEXT | TVIF_PARAM, "", 0, 0, 0, 0, count, TVI_ROOT, TVI_LAST);
  ::SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(tree, nullptr, TRUE);
}

void CChoiceTreeListDlg::RememberPlacement() {
  RECT rc;
  GetWindowRect(&rc);
  s_rememberedPos = {rc.left, rc.top};
  s_hasRememberedPos = true;
  m_rememberedSize = {rc.right - rc.left, rc.bottom - rc.top};
}

bool CChoiceTreeListDlg::ItemState(HTREEITEM item) const {
  UINT state = (UINT)::SendMessageA(m_pTree->m_hWnd, TVM_GETITEMSTATE, (WPARAM)item, 0);
  if (Checks()) return (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(kStateChecked);
  return (state & TVIS_SELECTED) != 0;
}

void CChoiceTreeListDlg::OnOK() {
  RememberPlacement();
  m_nSelection = -1;
  for (HTREEITEM item = m_pTree->GetRootItem(); item; item = m_pTree->GetNextSiblingItem(item)) {
    LPARAM row = (LPARAM)m_pTree->GetItemData(item);
    if (!IsRealRow(row)) continue;
    bool on = ItemState(item);
    m_rows.SetCheck((int)row, on);
    if (on) m_nSelection = (int)row;
  }
  if (m_rows.Valid(m_nSelection)) {
    m_strResult = m_rows.Text(m_nSelection);
    m_dwResultData = m_rows.Data(m_nSelection);
  } else {
    m_strResult.Empty();
    m_dwResultData = 0;
  }
  CDialog::OnOK();
}

void CChoiceTreeListDlg::OnCancel() {
  if (!m_bCancel) return;
  RememberPlacement();
  m_strResult.Empty();
  m_nSelection = -1;
  EndDialog(IDCANCEL);
}

// ---- sizing

void CChoiceTreeListDlg::OnSize(UINT nType, int, int) {
  if (!m_pTree || !m_pTree->m_hWnd || nType == SIZE_MINIMIZED) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::SetWindowPos(m_pTree->m_hWnd, nullptr, m_treeMargins.left, m_treeMargins.top,
                 client.right - m_treeMargins.left - m_treeMargins.right,
                 client.bottom - m_treeMargins.top - m_treeMargins.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  CenterDlgButtons(m_hWnd, m_bCancel != FALSE, client.bottom - m_nButtonsBottom);
}

void CChoiceTreeListDlg::OnSizing(UINT fwSide, LPRECT pRect) {
  KeepSizingMinimum(fwSide, pRect, m_minSize);
  m_bSizeChanged = TRUE;
}

void CChoiceTreeListDlg::OnExitSizeMove() {
  if (!m_bSizeChanged) return;
  m_bSizeChanged = FALSE;
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- commands

void CChoiceTreeListDlg::SetAllItems(bool on) {
  if (!(m_dwMode & (kTreeChoiceMulti | kTreeChoiceChecks))) return;
  for (HTREEITEM item = m_pTree->GetRootItem(); item; item = m_pTree->GetNextSiblingItem(item)) {
    if (!IsRealRow((LPARAM)m_pTree->GetItemData(item))) continue;
    if (Checks())
      m_pTree->SetItemState(item, INDEXTOSTATEIMAGEMASK(on ? kStateChecked : kStateUnchecked), TVIS_STATEIMAGEMASK);
    else if (ItemState(item) != on)
      m_pTree->SetItemState(item, on ? TVIS_SELECTED : 0, TVIS_SELECTED);
  }
}

void CChoiceTreeListDlg::OnSelectAll() { SetAllItems(true); }
void CChoiceTreeListDlg::OnDeselectAll() { SetAllItems(false); }

void CChoiceTreeListDlg::OnCopy() {
  if (!m_hClickItem) return;
  LPCSTR text = ItemText(m_pTree->m_hWnd, m_hClickItem, m_nClickColumn);
  SetClipboardText(text, -1);
}

void CChoiceTreeListDlg::DeleteItemRow(HTREEITEM item) {
  if (!item) return;
  LPARAM lp = (LPARAM)m_pTree->GetItemData(item);
  if (!IsRealRow(lp)) return;
  int row = (int)lp;
  HTREEITEM neighbour = m_pTree->GetNextSiblingItem(item);
  if (!neighbour) neighbour = m_pTree->GetPrevSiblingItem(item);
  m_rows.Remove(row);
  m_cells.erase(std::remove_if(m_cells.begin(), m_cells.end(), [row](const Cell& c) { return c.row == row; }),
                m_cells.end());
  for (Cell& cell : m_cells)
    if (cell.row > row) --cell.row;
  if (m_hClickItem == item) m_hClickItem = nullptr;
  m_pTree->DeleteItem(item);
  if (neighbour) m_pTree->SelectItem(neighbour);
  for (HTREEITEM h = m_pTree->GetRootItem(); h; h = m_pTree->GetNextSiblingItem(h)) {
    LPARAM other = (LPARAM)m_pTree->GetItemData(h);
    if (other > row) m_pTree->SetItemData(h, other - 1);
  }
}

void CChoiceTreeListDlg::OnEditClear() {
  if (!(m_dwMode & kTreeChoiceDelete) || !m_pTree) return;
  HTREEITEM item = m_pTree->GetNextItem(nullptr, kNextFocusItem);
  if (!item) item = m_pTree->GetSelectedItem();
  DeleteItemRow(item);
}

// ---- notifications of the control

void CChoiceTreeListDlg::OnRClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  HWND tree = m_pTree->m_hWnd;
  POINT pt;
  ::GetCursorPos(&pt);
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  ::ScreenToClient(tree, &hit.pt);
  m_hClickItem = (HTREEITEM)::SendMessageA(tree, TVM_HITTEST, 0, (LPARAM)&hit);
  m_nClickColumn = (int)(hit.flags >> 24);
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuA(menu, MF_STRING, ID_CHOICE_COPYFIELD, GetLibText(nullptr, kLibTextCopyField, nullptr));
  if (m_dwMode & kTreeChoiceDelete)
    ::AppendMenuA(menu, MF_STRING, ID_EDIT_CLEAR, GetLibText(nullptr, kLibTextDeleteLine, nullptr));
  if (m_dwMode & (kTreeChoiceMulti | kTreeChoiceChecks)) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, ID_CHOICE_SELECTALL, GetLibText(nullptr, kLibTextSelectAll, nullptr));
    ::AppendMenuA(menu, MF_STRING, ID_CHOICE_DESELECTALL, GetLibText(nullptr, kLibTextDeselectAll, nullptr));
  }
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

void CChoiceTreeListDlg::OnDblClk(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const NMTREEVIEWA* nm = (const NMTREEVIEWA*)pNMHDR;
  HTREEITEM item = nm->itemNew.hItem;
  if (!item || !IsRealRow((LPARAM)m_pTree->GetItemData(item))) return;
  if (m_dwMode == 0) {
    OnOK();
  } else if (m_dwMode == kTreeChoiceChecks) {
    // The one checked row is the one accepted.
    for (HTREEITEM h = m_pTree->GetRootItem(); h; h = m_pTree->GetNextSiblingItem(h))
      m_pTree->SetItemState(h, INDEXTOSTATEIMAGEMASK(h == item ? kStateChecked : kStateUnchecked), TVIS_STATEIMAGEMASK);
    OnOK();
  }
}

void CChoiceTreeListDlg::OnReturn(NMHDR*, LRESULT* pResult) {
  // The control keeps Return for itself; without editing it accepts, as the
  // default button would.
  *pResult = 0;
  if (!(m_dwMode & kTreeChoiceEditing)) OnOK();
}

int CALLBACK CChoiceTreeListDlg::CompareRows(HWND hwnd, HTREEITEM item1, HTREEITEM item2, LPARAM row1, LPARAM row2,
                                             LPARAM self) {
  // The row that adds rows stays last whichever way the rest goes.
  const CChoiceTreeListDlg* dlg = (const CChoiceTreeListDlg*)self;
  if (dlg) {
    bool real1 = dlg->IsRealRow(row1), real2 = dlg->IsRealRow(row2);
    if (real1 != real2) return real1 ? -1 : 1;
  }
  int column = s_sortColumn < 0 ? 0 : s_sortColumn;
  int result = lstrcmpiA(ItemText(hwnd, item1, column), ItemText(hwnd, item2, column));
  if (!result) result = row1 < row2 ? -1 : row1 > row2 ? 1 : 0;
  return s_sortDescending ? -result : result;
}

void CChoiceTreeListDlg::OnHeaderClick(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  if (m_dwMode & kTreeChoiceNoSort) return;
  int column = ((const NMHEADERA*)pNMHDR)->iItem & 0xFF;
  if (column != s_sortColumn) {
    s_sortColumn = column;
    s_sortDescending = false;
  } else {
    s_sortDescending = !s_sortDescending;
  }
  TVSORTCB sort = {};
  sort.hParent = TVI_ROOT;
  sort.lpfnCompare = (PFNTVCOMPARE)(void*)CompareRows;
  sort.lParam = (LPARAM)this;
  ::SendMessageA(m_pTree->m_hWnd, TLM_SORTCHILDRENEX, kSortRecurse, (LPARAM)&sort);
}

void CChoiceTreeListDlg::OnBeginCellEdit(NMHDR*, LRESULT* pResult) {
  *pResult = m_columns.empty() && (m_dwMode & kTreeChoiceEditing) ? kEditAlignedBox : 0;
}

void CChoiceTreeListDlg::OnBeginLabelEdit(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  // The rows hold texts of any length (a multi-string's line may be long):
  // the editor's typing limit would keep a long one from growing.
  HWND editor = (HWND)::SendMessageA(m_pTree->m_hWnd, TVM_GETEDITCONTROL, 0, 0);
  if (!editor) return;
  char cls[16] = "";
  ::GetClassNameA(editor, cls, sizeof cls);
  ::SendMessageA(editor, lstrcmpiA(cls, "COMBOBOX") == 0 ? CB_LIMITTEXT : EM_LIMITTEXT, 0, 0);
}

void CChoiceTreeListDlg::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult) {
  // 0 lets the control store the text in its item as well.
  *pResult = 0;
  const NMTVDISPINFOA* info = (const NMTVDISPINFOA*)pNMHDR;
  if (!(info->item.mask & kEditTextChanged) || !info->item.pszText || info->item.pszText == LPSTR_TEXTCALLBACKA) return;
  HWND tree = m_pTree->m_hWnd;
  HTREEITEM item = info->item.hItem;
  LPARAM row = info->item.lParam;
  int column = info->item.cChildren;
  LPCSTR text = info->item.pszText;
  if (row < 0) return;
  if (row >= m_rows.Count()) {
    // The empty row: an entry makes it a row, and a new empty row follows.
    if (!(m_dwMode & kTreeChoiceAddRow) || !*text) return;
    if ((m_dwMode & (kTreeChoiceMulti | kTreeChoiceChecks)) == kTreeChoiceMulti)
      m_pTree->SetItemState(item, 0, TVIS_SELECTED);
    int n = m_rows.Insert(-1, m_dwNewRowData, column == 0 ? text : "");
    if (n < 0) return;
    if (row != n) m_pTree->SetItemData(item, n);
    HTREEITEM empty = m_pTree->InsertItem(TVIF_TEXT | TVIF_PARAM, "", 0, 0, 0, 0, n + 1, TVI_ROOT, TVI_LAST);
    ::SendMessageA(tree, TLM_SELECTSUBTREE, kSelectSubtreeUnselect, (LPARAM)TVI_ROOT);
    ::SendMessageA(tree, TLM_SELECTCELL, column, (LPARAM)empty);
    ::SendMessageA(tree, TVM_ENSUREVISIBLE, column, (LPARAM)empty);
    if (column != 0) SetCellText(n, text, column);
    return;
  }
  SetCellText((int)row, text, column);
  if (*text ||
      (m_dwMode & (kTreeChoiceDelete | kTreeChoiceDeleteEmpty)) != (kTreeChoiceDelete | kTreeChoiceDeleteEmpty))
    return;
  for (int c = 0; c < (int)std::max<size_t>(m_columns.size(), 1); ++c) {
    LPCSTR cell = GetCellText((int)row, c);
    if (cell && *cell) return;
  }
  ::SendMessageA(tree, TLM_SETFOCUSCELL, (WPARAM)-1, (LPARAM)item);
  DeleteItemRow(item);
}

void CChoiceTreeListDlg::OnKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  if (((const NMTVKEYDOWN*)pNMHDR)->wVKey != VK_DELETE || !(m_dwMode & kTreeChoiceDelete)) return;
  OnEditClear();
  *pResult = 1;
}
