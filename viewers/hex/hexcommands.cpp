// The hex view's commands: context menu, Ctrl shortcuts, update handlers and
// the tool dialogs it opens over the selection or the cursor.
#include <algorithm>
#include <cstring>

#include "ui/msgbox.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/crccalcdlg.h"
#include "viewers/tools/floatconvertdlg.h"
#include "viewers/tools/hexchecksumdlg.h"
#include "viewers/tools/hexinputdlg.h"
#include "viewers/tools/hexnumberdlg.h"
#include "viewers/tools/numconvertdlg.h"

void CHexView::ShowContextMenu(int x, int y, CMenu* pMenu) {
  CMenu own;
  if (!pMenu) {
    own.CreatePopupMenu();
    pMenu = &own;
  }
  pMenu->AppendMenu(MF_STRING, ID_HEXVIEW_CHECKSUM, "&Checksumme");
  pMenu->AppendMenu(MF_STRING, ID_HEXVIEW_GOTO, "&Zu Adresse");
  pMenu->AppendMenu(MF_STRING | (HasSelection() ? 0 : MF_GRAYED), ID_EDIT_COPY, "&Kopieren");
  pMenu->AppendMenu(MF_STRING, ID_EDIT_FIND, "&Suchen");
  pMenu->AppendMenu(MF_SEPARATOR);
  pMenu->AppendMenu(MF_STRING, ID_HEXVIEW_SETTINGS, "&Einstellungen");
  CAnsiView::ShowContextMenu(x, y, pMenu);
}

int CHexView::ShortcutKeyDown(UINT key) {
  if (!(m_modifiers & 2)) return 0;
  switch (key) {
    case 'F':
      Find();
      return 1;
    case 'C':
    case VK_INSERT:
      CopySelection();
      return 1;
    case 'V':
      Paste(FALSE);
      return 1;
    case 'Y':
      OnConverterCommand();
      return 1;
    default:
      return 0;
  }
}

int CHexView::ToolRange(int fallback, int* start) const {
  if (HasSelection()) {
    const int lo = std::max(0, std::min(m_rangeStart[0], m_rangeEnd[0]));
    const int hi = std::min(std::max(m_rangeStart[0], m_rangeEnd[0]), m_size - 1);
    *start = lo;
    return std::max(0, hi - lo + 1);
  }
  *start = 0;
  return std::min(m_size, fallback);
}

DWORD CHexView::GoToAddress(DWORD address) {
  if (address == (DWORD)-1) {
    CHexInputDlg dlg(this);
    dlg.m_pszCaption = "Cursor setzen";
    dlg.m_pszLabel = "Neue Adresse :";
    dlg.m_ppHistory = &m_addressHistory;
    dlg.m_nFlags = HEXINPUT_HEX;
    dlg.m_nValue = m_base + (DWORD)m_cursor;
    if (HasSelection()) {
      BYTE bytes[8] = {};
      const int n = GetSelectedBytes(bytes, 8);
      unsigned long long value = 0;
      for (int i = n - 1; i >= 0; --i) value = value << 8 | bytes[i];
      if (value < m_base) value += m_base;
      dlg.m_nValue = (DWORD)value;
    }
    if (dlg.DoModal() != IDOK) return (DWORD)-1;
    address = (DWORD)dlg.m_nValue;
  }
  SetCursorAddress(address, TRUE);
  return address;
}

int CHexView::OnWriteNumber() {
  CHexNumberDlg dlg(this);
  int position = m_cursor;
  if (HasSelection()) {
    position = std::min(m_rangeStart[0], m_rangeEnd[0]);
    dlg.m_nCount = GetSelectedBytes(dlg.m_value, 8);
  } else {
    dlg.m_nCount = std::max(0, std::min(4, m_size - position));
    if (dlg.m_nCount) std::memcpy(dlg.m_value, m_data + position, (size_t)dlg.m_nCount);
  }
  if (dlg.DoModal() != IDOK || position < 0 || position >= m_size) return 0;
  if (m_flags & kHexViewReadOnly) {
    MsgBox(m_hWnd, "Die Daten sind schreibgeschützt !", nullptr, MB_OK);
    return 0;
  }
  BYTE value[8];
  int n = std::max(1, std::min(dlg.m_nCount, 8));
  std::memcpy(value, dlg.m_value, sizeof value);
  if (dlg.m_bBigEndian) std::reverse(value, value + n);
  n = std::min(n, m_size - position);
  RecordOverwrite(position, n, FALSE);
  std::memcpy(m_data + position, value, (size_t)n);
  m_flags |= kHexViewModified;
  RepaintOffsets(position, position + n - 1);
  Invalidate(TRUE);
  return n;
}

void CHexView::OnSettingsCommand() { EditSettings(); }

void CHexView::OnChecksumCommand() {
  int start = 0;
  const int n = ToolRange(kHexToolBytes, &start);
  CHexChecksumDlg dlg(this);
  dlg.Compute(m_data + start, n);
}

void CHexView::OnCrcCommand() {
  int start = 0;
  const int n = ToolRange(kHexToolBytes, &start);
  CCrcCalcDlg dlg(this);
  dlg.DoModal(m_data + start, n);
}

// A calculator: nothing is written back.
void CHexView::OnConverterCommand() {
  CNumConvertDlg dlg(this);
  BYTE bytes[4] = {};
  const int n = GetSelectedBytes(bytes, 4);
  uint32_t value = 0;
  for (int i = n - 1; i >= 0; --i) value = value << 8 | bytes[i];
  dlg.m_nValue = (int32_t)value;
  dlg.m_nValue64 = (int32_t)value;
  dlg.DoModal();
}

void CHexView::OnFloatCommand() {
  CFloatConvertDlg dlg(this);
  dlg.m_nCount = ReadAtCursor(dlg.m_bytes, 8);
  dlg.m_nMode = 2;
  dlg.DoModal();
}

void CHexView::OnFindNextCommand() { FindNext(); }
void CHexView::OnFindSelectionCommand() { FindSelection(); }
void CHexView::OnGoToCommand() { GoToAddress((DWORD)-1); }
void CHexView::OnWriteNumberCommand() { OnWriteNumber(); }
void CHexView::OnCopyCppCommand() { OnCopyAsCpp(); }
void CHexView::OnCopyCStringCommand() { OnCopyAsCString(); }
void CHexView::OnPasteSpecialCommand() { Paste(TRUE); }
void CHexView::OnCopyCommand() { CopySelection(); }
void CHexView::OnFindCommand() { Find(); }
void CHexView::OnPasteCommand() { Paste(FALSE); }

void CHexView::OnUpdateNeedsSelection(CCmdUI* pCmdUI) { pCmdUI->Enable(HasSelection()); }

void CHexView::OnUpdateFindNext(CCmdUI* pCmdUI) { pCmdUI->Enable(s_searchItems && *s_searchItems); }

void CHexView::OnUpdatePaste(CCmdUI* pCmdUI) {
  pCmdUI->Enable(m_size > 0 && !(m_flags & kHexViewReadOnly) && ::IsClipboardFormatAvailable(CF_TEXT));
}
