// In-place editing: an "EDIT" or "COMBOBOX" child laid over an item's text
// or a cell, started from the column's edit settings or by the parent's
// answer to TLN_EDITREQUEST, ended by TVN_ENDLABELEDITA after which the
// control stores the text unless the parent objects; and cells that step
// through their choices or toggle a check without an editor.
// Every notification goes out with the lock left; records are looked up
// again after each, since the parent may delete the item meanwhile.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kItemBitsInCell = 0xE2;
// Longest text read back from the editor (typing stops at TL_EDIT_LIMIT).
const int kEditReadMax = 2051;
const int kMaxChoiceLength = 1023;
const int kDefaultMaxChoices = 1024;
const UINT kEndMask = kTLRecordMask | TVIF_TEXT;
const UINT kCancelMask = kTLRecordMask | TLIF_EDITCANCELLED;
// Editor kinds as stored in editKind.
enum { kEditorEdit = 0, kEditorCombo = 1, kEditorList = 2 };

typedef std::vector<std::string> Choices;

struct EditorSetup {
  bool giveText = true;
  const Choices* choices = nullptr;
  bool listPicksFirst = false;  // a list without an equal choice selects the first
  int droppedWidth = 0;
  bool dropDown = false;
};

bool ValidColumn(const TreeListData* data, int column) {
  return column >= 0 && column < (data->columnCount > 0 ? data->columnCount : 1);
}

// A cell's own state (the item's for column 0).
UINT OwnState(TreeListData* data, TLHandle handle, int column) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  if (column == 0) return item->state;
  TreeListCell* cell = TreeListGetCell(data, handle, column, false);
  return cell ? cell->state : 0;
}

// The state as the notifications show it: a cell carries the item's bits.
UINT ShownState(TreeListData* data, TLHandle handle, int column) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  if (column == 0) return item->state;
  return (item->state & kItemBitsInCell) | (OwnState(data, handle, column) & ~kItemBitsInCell);
}

// The text of an item or cell; callback texts are asked from the parent.
// False when the item went meanwhile.
bool ReadText(TreeListData* data, TLHandle handle, int column, std::string* text, bool* callback) {
  text->clear();
  *callback = false;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return false;
  const char* got = nullptr;
  UINT length = 0;
  if (column == 0) {
    if (item->callbackFlags & kTLCallbackText) {
      *callback = true;
      if (!TreeListGetItemDispInfo(data, item, handle, TVIF_TEXT, nullptr, &length, &got)) return false;
    } else {
      got = item->text;
      length = item->textLength;
    }
  } else {
    TreeListCell* cell = TreeListGetCell(data, handle, column, false);
    if (cell && (cell->callbackFlags & kTLCallbackText)) {
      *callback = true;
      if (!TreeListGetCellDispInfo(data, item, cell, handle, column, TVIF_TEXT, nullptr, &length, &got)) return false;
    } else if (cell) {
      got = cell->text;
      length = cell->textLength;
    }
  }
  if (got) text->assign(got, length);
  return TreeListLookup(data, handle) != nullptr;
}

void SplitChoices(const char* text, BYTE separator, int max, Choices* out) {
  if (!text) return;
  const char* p = text;
  while ((int)out->size() < max) {
    const char* end = p;
    while (*end && (BYTE)*end != separator) ++end;
    if (end == p) break;  // an empty choice ends the list
    size_t n = (size_t)(end - p);
    out->emplace_back(p, n > (size_t)kMaxChoiceLength ? (size_t)kMaxChoiceLength : n);
    if (!*end) break;
    p = end + 1;
  }
}

void ArrayChoices(const char* const* array, int max, Choices* out) {
  if (!array) return;
  for (int i = 0; array[i] && (int)out->size() < max; ++i) {
    size_t n = strlen(array[i]);
    out->emplace_back(array[i], n > (size_t)kMaxChoiceLength ? (size_t)kMaxChoiceLength : n);
  }
}

Choices ColumnChoices(const TreeListColumn& col) {
  Choices out;
  int max = col.maxChoices ? col.maxChoices : kDefaultMaxChoices;
  if (col.editFlags & TLCE_ARRAY)
    ArrayChoices((const char* const*)col.editParam, max, &out);
  else
    SplitChoices((const char*)col.editParam, col.separator, max, &out);
  return out;
}

int FindChoice(const Choices& choices, const std::string& text) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i] == text) return (int)i;
  return -1;
}

bool IsComboClass(HWND hwnd) {
  char name[16] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return lstrcmpiA(name, "ComboBox") == 0;
}

// The window that holds the text: the edit box, or the combo box's field.
HWND TextField(HWND editor, int kind) {
  if (kind == kEditorEdit) return editor;
  return kind == kEditorCombo ? GetWindow(editor, GW_CHILD) : nullptr;
}

void Subclass(HWND hwnd) {
  LONG_PTR old = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, old);
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)TreeListEditorProc);
}

// Where the text of the item (column 0) or the cell lies, in client
// coordinates; false when it has no row in view.
bool TextRect(TreeListData* data, TLHandle handle, int column, RECT* rc) {
  if (column == 0) {
    UINT code = data->columnCount ? (TL_RECT_CELL | TL_RECT_TEXT) : TL_RECT_TEXT;
    return TreeListGetItemRect(data, handle, code, rc) != 0;
  }
  if (!TreeListGetItemRect(data, handle, TL_RECT_CELL | ((UINT)column << 24), rc)) return false;
  const TreeListColumn& col = data->columns[column];
  TreeListCell* cell = TreeListGetCell(data, handle, column, false);
  UINT state = cell ? cell->state : 0;
  int free = 0;
  if (col.editKind >= TLEK_CHECK)
    free = (state & 0x20) ? data->checkImageSize.cx : 0;
  else if (cell && (cell->cellFlags & kTLItemHasImage))
    free = data->imageSize.cx;
  if (free) {
    if (state & 0x80)
      rc->right -= free;
    else
      rc->left += free;
    if (rc->right < rc->left) rc->right = rc->left;
  }
  return true;
}

// Caret placement at a click's x offset within the text rectangle.
UINT CaretAtClick(TreeListData* data, TLHandle handle, int column, int x) {
  RECT rc;
  if (!TextRect(data, handle, column, &rc)) return 0;
  int offset = x - rc.left;
  if (offset < 0) offset = 0;
  if (offset > 0x3FFFF) offset = 0x3FFFF;
  return TLEF_CARETX | ((UINT)offset << 8);
}

// Selects the characters the flags name in the editor's text field.
void PlaceCaret(TreeListData* data, HWND editor, int kind, UINT flags, const RECT& textRect, int editorLeft,
                const std::string& text, bool bold) {
  if (kind == kEditorList) return;
  HWND field = TextField(editor, kind);
  int length = field ? GetWindowTextLengthA(field) : (int)text.size();
  UINT value = (flags >> 8) & 0x3FFFF;
  int start = 0, end = -1;
  switch ((flags >> 26) & 3) {
    case 1: {  // x offset within the text rectangle
      int x = textRect.left + (int)value - editorLeft - 1;
      int width = TreeListMeasureText(data, text.c_str(), (UINT)text.size(), bold);
      if (x >= width + 2 || !field) {
        start = length;
      } else {
        LRESULT pos = SendMessageA(field, EM_CHARFROMPOS, 0, MAKELPARAM(x < 0 ? 0 : x, 1));
        start = LOWORD(pos);
      }
      end = start;
      break;
    }
    case 2:
      start = end = (int)value;
      break;
    case 3:
      start = (int)(value & 0x1FF);
      end = (int)(value >> 9);
      break;
    default:
      break;
  }
  if (kind == kEditorEdit)
    SendMessageA(editor, EM_SETSEL, (WPARAM)start, end);
  else
    SendMessageA(editor, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

void DestroyUnlocked(TreeListData* data, HWND hwnd) {
  TreeListUnlocked unlocked(data);
  DestroyWindow(hwnd);
}

HWND CreateEditor(TreeListData* data, TLHandle handle, UINT flags, const EditorSetup& setup) {
  int column = (int)(flags & 0xFF);
  if (!TreeListLookup(data, handle) || !ValidColumn(data, column)) return nullptr;
  // One editor at a time: an open one is accepted as a focus change would.
  if (data->editItem) {
    TreeListEndEdit(data, 1);
    if (!TreeListLookup(data, handle) || !ValidColumn(data, column)) return nullptr;
  }
  int caretColumn = (data->exStyle & TLS_EX_CELLCARET) ? column : 0;
  if (data->caretItem != handle || data->caretColumn != caretColumn)
    TreeListSelectItem(data, handle, column, kTLSelectClearOthers);
  if (!TreeListLookup(data, handle)) return nullptr;
  TreeListEnsureVisible(data, handle, column);
  if (!TreeListLookup(data, handle) || !ValidColumn(data, column)) return nullptr;
  if (HWND old = data->editWindow) {
    data->editWindow = nullptr;
    DestroyUnlocked(data, old);
    if (!TreeListLookup(data, handle) || !ValidColumn(data, column)) return nullptr;
  }

  int kind = (flags & TLEF_LIST) ? kEditorList : (flags & TLEF_COMBO) ? kEditorCombo : kEditorEdit;
  const TreeListColumn& col = data->columns[column];
  DWORD style;
  const char* cls;
  if (kind != kEditorEdit) {
    cls = "COMBOBOX";
    style =
        WS_CHILD | WS_BORDER | WS_VSCROLL | CBS_AUTOHSCROLL | (kind == kEditorList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
  } else {
    cls = "EDIT";
    style = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
    if (flags & TLEF_ALIGN) style |= col.textAlign == 2 ? ES_RIGHT : col.textAlign == 1 ? ES_CENTER : 0;
  }
  HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(data->window, GWLP_HINSTANCE);
  HWND editor =
      CreateWindowExA(0, cls, "", style, 0, 0, 0, 0, data->window, (HMENU)(INT_PTR)TL_EDITOR_ID, instance, nullptr);
  if (!editor) return nullptr;
  SendMessageA(editor, kind == kEditorEdit ? EM_LIMITTEXT : CB_LIMITTEXT, TL_EDIT_LIMIT, 0);
  if (TreeListTheme().SetWindowTheme) TreeListTheme().SetWindowTheme(editor, L"", L"");
  data->editorProc = (WNDPROC)GetWindowLongPtrA(editor, GWLP_WNDPROC);
  Subclass(editor);
  for (HWND child = GetWindow(editor, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) Subclass(child);
  if (kind != kEditorEdit) SendMessageA(editor, CB_RESETCONTENT, 0, 0);
  data->editWindow = editor;
  data->editKind = kind;

  // The text and its place.
  std::string text;
  bool callback = false;
  if (!ReadText(data, handle, column, &text, &callback)) return nullptr;
  if (data->editWindow != editor || !ValidColumn(data, column)) return nullptr;
  TreeListItem* item = TreeListLookup(data, handle);
  bool bold = column == 0 && (item->state & TVIS_BOLD);
  RECT rc;
  if (!TextRect(data, handle, column, &rc)) return nullptr;
  int width = TreeListMeasureText(data, text.c_str(), (UINT)text.size(), bold) + 10;
  int least = kind == kEditorEdit ? 48 : 60;
  if (width < least) width = least;
  if (kind != kEditorEdit) width += GetSystemMetrics(SM_CXVSCROLL);
  // A cell's editor covers the cell.
  if (column > 0 && width < rc.right - rc.left - 2) width = rc.right - rc.left - 2;
  int x = rc.left + 2;
  if ((flags & TLEF_ALIGN) && col.textAlign == 2 && rc.right - width > x) x = rc.right - width;
  if ((flags & TLEF_ALIGN) && col.textAlign == 1 && (rc.left + rc.right - width) / 2 > x)
    x = (rc.left + rc.right - width) / 2;
  int y = rc.top + 1;
  int height = kind == kEditorEdit ? data->fontHeight + 4 : 260;

  NMTVDISPINFOA nm = {};
  nm.hdr.code = TVN_BEGINLABELEDITA;
  nm.item.mask = kEndMask;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.item.state = ShownState(data, handle, column);
  nm.item.stateMask = (UINT)-1;
  nm.item.pszText = &text[0];
  nm.item.cchTextMax = (int)text.size();
  nm.item.cChildren = column;
  nm.item.lParam = item->lParam;
  if (TreeListNotifyUnlocked(data, &nm.hdr)) return nullptr;
  if (!TreeListLookup(data, handle) || data->editWindow != editor || !ValidColumn(data, column)) return nullptr;

  TreeListHideTip(data);
  {
    TreeListUnlocked unlocked(data);
    SetFocus(editor);
  }
  item = TreeListLookup(data, handle);
  if (!item || data->editWindow != editor) return nullptr;
  SetWindowPos(editor, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SendMessageA(editor, WM_SETFONT, (WPARAM)(bold ? data->boldFont : data->measuredFont), FALSE);
  if (setup.choices) {
    for (const std::string& choice : *setup.choices) SendMessageA(editor, CB_ADDSTRING, 0, (LPARAM)choice.c_str());
  }
  if (setup.giveText && kind != kEditorList) SetWindowTextA(editor, text.c_str());
  if (setup.choices && kind != kEditorEdit) {
    int index = FindChoice(*setup.choices, text);
    if (index < 0 && setup.listPicksFirst && kind == kEditorList && !setup.choices->empty()) index = 0;
    if (index >= 0) SendMessageA(editor, CB_SETCURSEL, (WPARAM)index, 0);
    if (setup.droppedWidth) SendMessageA(editor, CB_SETDROPPEDWIDTH, (WPARAM)setup.droppedWidth, 0);
  }
  if (setup.giveText) PlaceCaret(data, editor, kind, flags, rc, x, text, bold);
  RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  data->editItem = handle;
  data->editColumn = column;
  data->editWidth = width;
  data->editorFlag = callback ? 1 : 0;
  data->editorWord = flags >> 8;
  // Setting the text counts as no change.
  data->editChanged = 0;
  if (setup.dropDown && kind != kEditorEdit) SendMessageA(editor, CB_SHOWDROPDOWN, TRUE, 0);
  return editor;
}

// Sends the character or the paste that started an edit on to the editor.
void PassStart(TreeListData* data, HWND editor, UINT code, bool paste) {
  if (code & TLEC_CHAR) {
    // Unsigned: a sign-extended code page 1252 letter would not be a character.
    SendMessageA(editor, WM_CHAR, (WPARAM)(BYTE)(code & 0xFF), 1);
    data->editChanged = 1;
  } else if (code == TLEC_PASTE && paste) {
    PostMessageA(editor, WM_PASTE, 0, 0);
  }
}

bool IsCharCode(UINT code) { return (code & TLEC_CHAR) || (code >= 32 && code < 0x10000); }

// Kinds 4 to 7 without an editor: the next choice, the check toggled.
LRESULT StepCell(TreeListData* data, TLHandle handle, int column, UINT code, POINT pt) {
  std::string text;
  bool callback = false;
  if (!ReadText(data, handle, column, &text, &callback) || !ValidColumn(data, column)) return 0;
  const TreeListColumn& col = data->columns[column];
  int kind = col.editKind;
  Choices choices = ColumnChoices(col);
  if (choices.empty() && kind < TLEK_CHECK) return 0;
  UINT state = OwnState(data, handle, column);
  TVITEMA tv = {};
  tv.mask = TVIF_HANDLE | TLIF_CELL;
  tv.hItem = (HTREEITEM)(UINT_PTR)handle;
  tv.cChildren = column;
  std::string next = text;
  if (!choices.empty()) {
    int index = (FindChoice(choices, text) + 1) % (int)choices.size();
    next = choices[index];
    tv.mask |= TVIF_TEXT;
    tv.pszText = &next[0];
    if (col.editParam2 >= 0) {
      tv.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      tv.iImage = tv.iSelectedImage = col.editParam2 + index * ((state & TLIS_CELLBUTTON) ? 2 : 1);
    }
  }
  if (kind >= TLEK_CHECK) {
    UINT keep =
        ((col.editFlags & TLCE_READONLY) ? TLIS_READONLY : 0) | ((data->exStyle & TLS_EX_HIDEITEMS) ? TLIS_HIDDEN : 0);
    UINT mask = TVIS_STATEIMAGEMASK & ~keep;
    UINT current = state & mask;
    tv.mask |= TVIF_STATE;
    tv.stateMask = mask;
    if (data->exStyle & TLS_EX_CHECKZEROONE)
      tv.state = current ? 0 : INDEXTOSTATEIMAGEMASK(1);
    else
      tv.state = current == INDEXTOSTATEIMAGEMASK(2) ? INDEXTOSTATEIMAGEMASK(1) : INDEXTOSTATEIMAGEMASK(2);
  }
  TreeListSetItem(data, &tv);
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)(kind >= TLEK_CHECK ? TLN_CHECKCHANGED : TLN_CELLSTEPPED);
  nm.action = code;
  nm.itemNew.mask = kEndMask;
  nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.itemNew.state = ShownState(data, handle, column);
  nm.itemNew.stateMask = (UINT)-1;
  nm.itemNew.pszText = &next[0];
  nm.itemNew.cchTextMax = 256;
  nm.itemNew.cChildren = column;
  nm.itemNew.lParam = item->lParam;
  nm.ptDrag = pt;
  TreeListNotifyUnlocked(data, &nm.hdr);
  return 1;
}

LRESULT SetColumnEdit(TreeListData* data, WPARAM word, LPARAM param) {
  int column = (int)((word >> 11) & 0x3F);
  int kind = (int)((word >> 8) & 7);
  if (!ValidColumn(data, column) || (column == 0 && kind >= TLEK_CHECK)) return 0;
  TreeListLocked lock(data);
  TreeListColumn& col = data->columns[column];
  col.editFlags = (BYTE)(word & 0xFF);
  col.editKind = (BYTE)kind;
  col.separator = (BYTE)((word >> 17) & 0xFF);
  col.maxChoices = (BYTE)((word >> 25) & 0x7F);
  col.editParam = param;
  col.editParam2 = -1;
  if (kind >= TLEK_CHECK && !data->checkImages) TreeListCreateCheckImages(data, 1);
  if (data->columnCount) TreeListInvalidateColumn(data, column);
  return 1;
}

}  // namespace

HWND TreeListCreateEditor(TreeListData* data, UINT_PTR item, UINT flags) {
  if (item > data->capacity) return nullptr;
  EditorSetup setup;
  Choices choices;
  int column = (int)(flags & 0xFF);
  if ((flags & (TLEF_COMBO | TLEF_LIST)) && ValidColumn(data, column) && data->columns[column].editParam) {
    choices = ColumnChoices(data->columns[column]);
    setup.choices = &choices;
    setup.listPicksFirst = true;
  }
  return CreateEditor(data, (TLHandle)item, flags, setup);
}

LRESULT TreeListRequestEdit(TreeListData* data, UINT_PTR item, int column, UINT code, POINT pt) {
  if (!(data->style & TVS_EDITLABELS) || item > data->capacity) return 0;
  TLHandle handle = (TLHandle)item;
  if (!TreeListLookup(data, handle) || !ValidColumn(data, column)) return 0;
  if (code < 32 && code != TLEC_RETURN) return 0;
  if (IsCharCode(code) && (GetKeyState(VK_MENU) < 0 || GetKeyState(VK_CONTROL) < 0)) return 0;
  std::string text;
  bool callback = false;
  if (!ReadText(data, handle, column, &text, &callback) || !ValidColumn(data, column)) return 0;
  TreeListItem* record = TreeListLookup(data, handle);
  NMTLEDITREQUEST nm = {};
  nm.hdr.code = (UINT)TLN_EDITREQUEST;
  nm.item.mask = kTLRecordMask;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.item.state = ShownState(data, handle, column);
  nm.item.stateMask = (UINT)-1;
  nm.item.pszText = &text[0];
  nm.item.cchTextMax = (int)text.size();
  if (column == 0) {
    nm.item.iImage = record->image;
    nm.item.iSelectedImage = record->selectedImage;
  } else {
    TreeListCell* cell = TreeListGetCell(data, handle, column, false);
    nm.item.iImage = nm.item.iSelectedImage = cell ? cell->image : -2;
  }
  nm.item.cChildren = column;
  nm.item.lParam = record->lParam;
  nm.code = code;
  nm.droppedWidth = 0;
  nm.maxChoices = 255;
  nm.x = pt.x;
  nm.y = pt.y;
  UINT reply = (UINT)TreeListNotifyUnlocked(data, &nm.hdr);
  // The choice text given to the control is freed on every path.
  struct FreeText {
    char* text;
    ~FreeText() {
      if (text) LocalFree(text);
    }
  } owned = {(reply & TLER_FREETEXT) ? nm.choiceText : nullptr};
  if (!reply || !TreeListLookup(data, handle) || !ValidColumn(data, column)) return 0;
  if (code == TLEC_RETURN) code = TLEC_DBLCLICK;
  UINT flags = (UINT)column | (reply & TLER_ALIGN);
  bool list = (reply & (TLER_COMBO | TLER_NOTEXT)) == (TLER_COMBO | TLER_NOTEXT);
  if (list)
    flags |= TLEF_LIST;
  else if (reply & TLER_COMBO)
    flags |= TLEF_COMBO;
  if (code == TLEC_RELEASE && !(data->exStyle & TLS_EX_NOCARETX)) flags |= CaretAtClick(data, handle, column, pt.x);
  EditorSetup setup;
  setup.giveText = !(reply & TLER_NOTEXT) || list;
  Choices choices;
  if (flags & (TLEF_COMBO | TLEF_LIST)) {
    if (nm.choiceText)
      SplitChoices(nm.choiceText, (BYTE)(reply >> TLER_SEPARATORSHIFT), nm.maxChoices, &choices);
    else
      ArrayChoices(nm.choiceArray, nm.maxChoices, &choices);
    setup.choices = &choices;
    setup.droppedWidth = nm.droppedWidth;
    setup.dropDown = (reply & TLER_DROPDOWN) != 0;
  }
  HWND editor = CreateEditor(data, handle, flags, setup);
  if (!editor) return 0;
  if (code >= 0x10000) {
    data->editChanged = 0;
    PassStart(data, editor, code, !(reply & TLER_NOTEXT));
  } else if (code >= 32) {
    data->editChanged = 1;
    PostMessageA(editor, WM_CHAR, (WPARAM)code, 1);
  }
  return 1;
}

LRESULT TreeListEditCell(TreeListData* data, int column, UINT code, POINT pt) {
  if (data->editItem || !ValidColumn(data, column)) return 0;
  TLHandle handle = data->caretItem;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  const TreeListColumn& col = data->columns[column];
  int kind = col.editKind;
  if (!kind) return 0;
  bool checkKind = kind >= TLEK_CHECK;
  if (!(data->style & TVS_EDITLABELS) && !(code == TLEC_IMAGE && checkKind)) return 0;
  if ((col.editFlags & TLCE_READONLY) && (OwnState(data, handle, column) & TLIS_READONLY)) return 0;
  if (data->option16 && !(item->row && (int)item->row <= data->fixedRows)) return 0;
  bool isChar = IsCharCode(code);
  if (isChar) {
    BYTE ch = (BYTE)(code & 0xFF);
    bool typing = kind == TLEK_EDIT || kind == TLEK_COMBO || kind == TLEK_STEPEDIT || kind == TLEK_CHECKEDIT;
    if (!typing || (col.editFlags & TLCE_ASKTYPING) || ch <= 32) return 0;
  }
  bool noEditor = kind == TLEK_STEP || kind == TLEK_CHECK ||
                  ((kind == TLEK_STEPEDIT || kind == TLEK_CHECKEDIT) && code == TLEC_IMAGE);
  if (noEditor) return StepCell(data, handle, column, code, pt);
  UINT flags = (UINT)column | ((col.editFlags & TLCE_ALIGN) ? TLEF_ALIGN : 0);
  if (kind == TLEK_COMBO)
    flags |= TLEF_COMBO;
  else if (kind == TLEK_LIST)
    flags |= TLEF_LIST;
  if (code == TLEC_RELEASE && !(data->exStyle & TLS_EX_NOCARETX)) flags |= CaretAtClick(data, handle, column, pt.x);
  EditorSetup setup;
  Choices choices;
  if (kind == TLEK_COMBO || kind == TLEK_LIST) {
    choices = ColumnChoices(col);
    setup.choices = &choices;
    setup.listPicksFirst = true;
  }
  HWND editor = CreateEditor(data, handle, flags, setup);
  if (!editor) return 0;
  if (isChar && code != TLEC_RELEASE) {
    UINT ch = code & 0xFF;
    PassStart(data, editor, TLEC_CHAR | ch, true);
  } else if (code == TLEC_PASTE) {
    PostMessageA(editor, WM_PASTE, 0, 0);
  }
  return 1;
}

LRESULT TreeListEndEdit(TreeListData* data, int mode) {
  TLHandle handle = data->editItem;
  int column = data->editColumn;
  bool callback = data->editorFlag != 0;
  data->editItem = 0;
  data->editColumn = 0;
  data->editorFlag = 0;
  HWND editor = data->editWindow;
  int kind = data->editKind;
  if (!handle) return 0;
  std::string text;
  int selected = -1;
  if (mode && editor) {
    text.resize(kEditReadMax + 1);
    int n = GetWindowTextA(editor, &text[0], kEditReadMax + 1);
    text.resize(n > 0 ? (size_t)n : 0);
    if (kind != kEditorEdit) selected = (int)SendMessageA(editor, CB_GETCURSEL, 0, 0);
  }
  bool changed = data->editChanged != 0;
  if (editor) {
    // Hidden before the parent hears of it; the focus comes back here.
    TreeListUnlocked unlocked(data);
    HWND focus = GetFocus();
    bool inside = focus && (focus == editor || IsChild(editor, focus));
    if (kind != kEditorEdit) SendMessageA(editor, CB_SHOWDROPDOWN, FALSE, 0);
    ShowWindow(editor, SW_HIDE);
    if (inside && GetFocus() != data->window && IsWindowVisible(data->window)) SetFocus(data->window);
  }
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  NMTVDISPINFOA nm = {};
  nm.hdr.code = TVN_ENDLABELEDITA;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.item.state = ShownState(data, handle, column);
  nm.item.stateMask = (UINT)-1;
  nm.item.cChildren = column;
  nm.item.lParam = item->lParam;
  // The parent may write into the text up to its limit.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.resize(kEditReadMax + 1, 0);
  if (mode) {
    nm.item.mask = kEndMask | (changed ? TLIF_EDITCHANGED : 0) | (mode == 2 ? TLIF_EDITRETURN : 0);
    nm.item.pszText = buffer.data();
    nm.item.cchTextMax = kEditReadMax;
  } else {
    nm.item.mask = kCancelMask;
  }
  LRESULT reply = TreeListNotifyUnlocked(data, &nm.hdr);
  // 0 lets the control store the text; a cancel never stores.
  if (!mode || reply) return 0;
  item = TreeListLookup(data, handle);
  if (!item || !ValidColumn(data, column)) return 0;
  buffer[kEditReadMax] = 0;
  text.assign(buffer.data());
  if (callback) {
    NMTVDISPINFOA set = {};
    set.hdr.code = TVN_SETDISPINFOA;
    set.item.mask = kEndMask;
    set.item.hItem = (HTREEITEM)(UINT_PTR)handle;
    set.item.pszText = &text[0];
    set.item.cChildren = column;
    TreeListNotifyUnlocked(data, &set.hdr);
    return 1;
  }
  const TreeListColumn& col = data->columns[column];
  bool nextRow = (col.editFlags & TLCE_NEXTROW) && mode == 2 && col.editKind != TLEK_NONE && col.editKind != TLEK_STEP;
  if (nextRow && !changed) {
    std::string stored;
    bool storedCallback = false;
    if (!ReadText(data, handle, column, &stored, &storedCallback)) return 0;
    if (stored == text) return 1;  // unchanged: neither stored again nor moved
  }
  TVITEMA tv = {};
  tv.mask = TVIF_HANDLE | TVIF_TEXT | TLIF_CELL;
  tv.hItem = (HTREEITEM)(UINT_PTR)handle;
  tv.pszText = &text[0];
  tv.cChildren = column;
  if (col.editKind && col.editParam2 >= 0) {
    int index = kind != kEditorEdit ? selected : FindChoice(ColumnChoices(col), text);
    // No choice: the images stay (index -1 would make them callbacks).
    if (index >= 0) {
      tv.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      tv.iImage = tv.iSelectedImage = col.editParam2 + index;
    }
  }
  TreeListSetItem(data, &tv);
  if (nextRow) {
    item = TreeListLookup(data, handle);
    if (item && item->row && item->row < data->rowCount)
      TreeListSelectItem(data, data->rows[item->row], column, TVC_BYKEYBOARD | kTLSelectClearOthers);
  }
  return 1;
}

void TreeListFitEditor(TreeListData* data) {
  HWND editor = data->editWindow;
  // An edit box aligned right or centred keeps its place and width.
  if (!editor || !data->editItem || data->editKind != kEditorEdit ||
      (GetWindowLongA(editor, GWL_STYLE) & (ES_RIGHT | ES_CENTER)))
    return;
  int length = GetWindowTextLengthA(editor);
  std::string text(length + 1, '\0');
  GetWindowTextA(editor, &text[0], length + 1);
  HDC dc = GetDC(editor);
  HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(editor, WM_GETFONT, 0, 0));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), length, &size);
  SelectObject(dc, old);
  ReleaseDC(editor, dc);
  RECT rc, shown;
  GetWindowRect(editor, &rc);
  SendMessageA(editor, EM_GETRECT, 0, (LPARAM)&shown);
  MapWindowPoints(nullptr, data->window, (POINT*)&rc, 2);
  // The text, what the edit keeps around its text (margins, border: more
  // with larger fonts) and the caret; at least as wide as when it opened.
  int around = (rc.right - rc.left) - (shown.right - shown.left);
  int width = size.cx + around + 1;
  if (width < size.cx + 10) width = size.cx + 10;
  if (width < data->editWidth) width = data->editWidth;
  if (width > data->clientWidth - rc.left) width = data->clientWidth - rc.left;
  if (width < 1 || width == rc.right - rc.left) return;
  SetWindowPos(editor, nullptr, 0, 0, width, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The edit scrolled while it was narrow: its start shows again.
  DWORD start = 0, end = 0;
  SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
  SendMessageA(editor, EM_SETSEL, 0, 0);
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
  SendMessageA(editor, EM_SETSEL, start, end);
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
}

LRESULT TreeListOnPaste(TreeListData* data) {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return 0;
  TreeListLocked lock(data);
  LRESULT result = 0;
  if (TreeListLookup(data, data->caretItem) && !data->editItem) {
    int column = data->caretColumn;
    POINT pt = {0, 0};
    const TreeListColumn& col = data->columns[column];
    int kind = col.editKind;
    bool direct = (kind == TLEK_EDIT || kind == TLEK_COMBO || kind == TLEK_STEPEDIT || kind == TLEK_CHECKEDIT) &&
                  !(col.editFlags & TLCE_ASKTYPING);
    result = direct ? TreeListEditCell(data, column, TLEC_PASTE, pt)
                    : TreeListRequestEdit(data, data->caretItem, column, TLEC_PASTE, pt);
  }
  return result;
}

LRESULT TreeListOnEditMessage(TreeListData* data, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case TVM_EDITLABELA: {
      if (!(data->style & TVS_EDITLABELS)) return 0;
      TreeListLocked lock(data);
      LRESULT result;
      if ((wParam & ~(WPARAM)0xFF) == TL_EDITLABEL_ASK)
        result = TreeListRequestEdit(data, (UINT_PTR)lParam, (int)(wParam & 0xFF), TLEC_RETURN, POINT{0, 0});
      else
        result = (LRESULT)TreeListCreateEditor(data, (UINT_PTR)lParam, (UINT)wParam);
      return result;
    }
    case TVM_ENDEDITLABELNOW: {
      TreeListLocked lock(data);
      if (data->editItem) TreeListEndEdit(data, wParam ? 0 : 1);
      return 0;
    }
    case TLM_SETCOLUMNEDIT:
      return SetColumnEdit(data, wParam, lParam);
    case TLM_SETCOLUMNEDITPARAM: {
      int column = (int)wParam;
      TreeListLocked lock(data);
      bool ok = ValidColumn(data, column) && data->columns[column].editKind;
      if (ok) data->columns[column].editParam2 = (int)lParam;
      return ok ? 1 : 0;
    }
  }
  return 0;
}

// Arrow keys at the ends of the text leave the editor under
// TLS_EX_EDITARROWS; true when the key was taken.
static bool LeaveByArrow(HWND hwnd, WPARAM key) {
  if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return false;
  if (GetKeyState(VK_SHIFT) < 0) return false;
  HWND parent = GetParent(hwnd);
  bool isCombo = IsComboClass(hwnd);
  bool inCombo = !isCombo && IsComboClass(parent);
  HWND control = inCombo ? GetParent(parent) : parent;
  if (!(SendMessageA(control, TVM_GETEXTENDEDSTYLE, 0, 0) & TLS_EX_EDITARROWS)) return false;
  bool list = isCombo && (GetWindowLongA(hwnd, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
  bool editBox = !isCombo && !inCombo;
  DWORD start = 0, end = 0;
  if (!list) SendMessageA(hwnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
  DWORD length = (DWORD)GetWindowTextLengthA(hwnd);
  bool leave = false;
  switch (key) {
    case VK_LEFT:
      leave = !list && start == 0 && end == 0;
      break;
    case VK_RIGHT:
      leave = !list && start == length && end == length;
      break;
    default:
      leave = editBox;
      break;
  }
  if (!leave) return false;
  // Accepted as a focus change would: Return's move to the next row must
  // not run before the arrow's own move.
  SendMessageA(control, TVM_ENDEDITLABELNOW, 0, 0);
  if (GetFocus() != control) SetFocus(control);
  PostMessageA(control, WM_KEYDOWN, key, 0x500001);
  PostMessageA(control, WM_KEYUP, key, (LPARAM)0xC0500001);
  return true;
}

LRESULT CALLBACK TreeListEditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC old = (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  HWND parent = GetParent(hwnd);
  switch (msg) {
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        WORD code = wParam == VK_RETURN ? TL_EDIT_ACCEPT : TL_EDIT_CANCEL;
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(TL_EDITOR_ID, code), (LPARAM)hwnd);
        return 0;
      }
      if (LeaveByArrow(hwnd, wParam)) return 0;
      if (wParam == VK_DOWN) {
        HWND combo = IsComboClass(hwnd) ? hwnd : IsComboClass(parent) ? parent : nullptr;
        if (combo && !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) {
          SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
          return 0;
        }
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == 27) return 0;
      break;
    case WM_GETDLGCODE:
      return (old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : 0) | DLGC_WANTALLKEYS;
    case WM_MOUSEWHEEL: {
      HWND combo = IsComboClass(hwnd) ? hwnd : IsComboClass(parent) ? parent : nullptr;
      if (combo && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) {
        int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        int top = (int)SendMessageA(combo, CB_GETTOPINDEX, 0, 0) - steps;
        SendMessageA(combo, CB_SETTOPINDEX, (WPARAM)(top < 0 ? 0 : top), 0);
        return 0;
      }
      break;
    }
    case WM_SETTEXT: {
      LRESULT result = old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : 0;
      SendMessageA(parent, WM_COMMAND, MAKEWPARAM(TL_EDITOR_ID, TL_EDIT_TEXTSET), (LPARAM)hwnd);
      return result;
    }
    case WM_COMMAND:
      // The combo box's field: accept and cancel go on to the control.
      if (HIWORD(wParam) == TL_EDIT_ACCEPT || HIWORD(wParam) == TL_EDIT_CANCEL) {
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(TL_EDITOR_ID, HIWORD(wParam)), (LPARAM)hwnd);
        return 0;
      }
      break;
  }
  return old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool TreeListClickEdit(TreeListData* data, UINT msg, WPARAM keys, TLHandle item, UINT hitFlags, bool cellArea, POINT pt,
                       bool wasCaret, bool release) {
  int column = 0;
  bool onImage = false;
  if (cellArea) {
    int hitColumn = TreeListHitColumn(hitFlags);
    if (!ValidColumn(data, hitColumn)) return false;
    const TreeListColumn& hitCol = data->columns[hitColumn];
    onImage = (hitFlags & kTLHitCellImage) && hitCol.editKind && (hitCol.editFlags & TLCE_IMAGECLICK);
    column = ((data->exStyle & TLS_EX_CELLCARET) || onImage) ? hitColumn : 0;
  }
  const TreeListColumn& col = data->columns[column];
  bool isCaret = data->caretItem == item && TreeListLookup(data, item);
  if (release) {
    if (!isCaret) return false;
    if (col.editKind) return TreeListEditCell(data, column, TLEC_RELEASE, pt) != 0;
    return TreeListRequestEdit(data, item, column, TLEC_RELEASE, pt) != 0;
  }
  if (msg == WM_LBUTTONDBLCLK) {
    if (!isCaret) return false;
    bool direct = col.editKind && ((col.editFlags & TLCE_DBLCLICK) || onImage);
    if (direct) return TreeListEditCell(data, column, TLEC_DBLCLICK + (onImage ? 1 : 0), pt) != 0;
    return TreeListRequestEdit(data, item, column, TLEC_DBLCLICK, pt) != 0;
  }
  if (msg != WM_LBUTTONDOWN) return false;
  // A held cell button of the item takes the press itself.
  if (onImage) return isCaret && data->pressState[3] != item && TreeListEditCell(data, column, TLEC_IMAGE, pt) != 0;
  // The second click on the caret edits when the button comes up.
  if (!(data->exStyle & TLS_EX_EDITONCLICK) || (keys & (MK_SHIFT | MK_CONTROL))) return false;
  if (!wasCaret && !(data->option7 & TL_CLICKEDIT_FIRST)) return false;
  UINT area;
  if (cellArea)
    area = (data->option7 & TL_CLICKEDIT_TEXTONLY)
               ? kTLHitCellText
               : (((data->style & TVS_FULLROWSELECT) ? kTLHitCellArea | kTLHitBesideCellText : kTLHitCellArea) &
                  ~kTLHitCellImage);
  else
    area = (data->option7 & TL_CLICKEDIT_TEXTONLY) ? kTLHitLabelText
                                                   : (UINT)(TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON | TVHT_ONITEMRIGHT);
  if (hitFlags & area) data->editOnRelease = 1;
  return false;
}
