// Thin wrappers of the standard controls: CStatic, CButton, CEdit,
// CComboBox, CComboBoxEx, CListBox, CScrollBar and CStatusBarCtrl. Each
// member sends one message; objects attach by creating the control or by
// subclassing one (DDX_Control, SubclassDlgItem).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "mfc/wnd.h"

class CImageList;

// Registers the common-control classes of the given ICC_ kinds (once each).
BOOL AfxInitCommonControls(DWORD dwClasses);

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF) {
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
  }
  HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
  HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
  HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
  HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
  }
  int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
  UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
  UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
  HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }
  HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
  HICON GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON); }
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  DWORD GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }
  void GetSel(int& nStartChar, int& nEndChar) const { SendMessage(EM_GETSEL, (WPARAM)&nStartChar, (LPARAM)&nEndChar); }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    SendMessage(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) SendMessage(EM_SCROLLCARET);
  }
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE) {
    SetSel((int)(short)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
  }
  void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
  UINT GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
  int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
  int GetLine(int nIndex, LPSTR lpszBuffer, int nMaxLength) const;
  int LineIndex(int nLine = -1) const { return (int)SendMessage(EM_LINEINDEX, nLine); }
  int LineLength(int nLine = -1) const { return (int)SendMessage(EM_LINELENGTH, nLine); }
  int LineFromChar(int nIndex = -1) const { return (int)SendMessage(EM_LINEFROMCHAR, nIndex); }
  void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
  int GetFirstVisibleLine() const { return (int)SendMessage(EM_GETFIRSTVISIBLELINE); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly); }
  BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
  void SetPasswordChar(char ch) { SendMessage(EM_SETPASSWORDCHAR, (BYTE)ch); }
  void SetMargins(UINT nLeft, UINT nRight) {
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
  }
  BOOL CanUndo() const { return (BOOL)SendMessage(EM_CANUNDO); }
  BOOL Undo() { return (BOOL)SendMessage(EM_UNDO); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
  int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
  int SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, nSelect); }
  int AddString(LPCSTR lpszString) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)lpszString); }
  int InsertString(int nIndex, LPCSTR lpszString) {
    return (int)SendMessage(CB_INSERTSTRING, nIndex, (LPARAM)lpszString);
  }
  int DeleteString(UINT nIndex) { return (int)SendMessage(CB_DELETESTRING, nIndex); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetLBText(int nIndex, LPSTR lpszText) const { return (int)SendMessage(CB_GETLBTEXT, nIndex, (LPARAM)lpszText); }
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, nIndex); }
  int FindString(int nStartAfter, LPCSTR lpszString) const {
    return (int)SendMessage(CB_FINDSTRING, nStartAfter, (LPARAM)lpszString);
  }
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return (int)SendMessage(CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCSTR lpszString) {
    return (int)SendMessage(CB_SELECTSTRING, nStartAfter, (LPARAM)lpszString);
  }
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, nIndex); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return (int)SendMessage(CB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
  DWORD GetEditSel() const { return (DWORD)SendMessage(CB_GETEDITSEL); }
  BOOL SetEditSel(int nStartChar, int nEndChar) {
    return (BOOL)SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar));
  }
  BOOL LimitText(int nMaxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, nMaxChars); }
  void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
  BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
  void GetDroppedControlRect(LPRECT lprect) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect); }
  int SetDroppedWidth(UINT nWidth) { return (int)SendMessage(CB_SETDROPPEDWIDTH, nWidth); }
  int GetDroppedWidth() const { return (int)SendMessage(CB_GETDROPPEDWIDTH); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)SendMessage(CB_SETITEMHEIGHT, nIndex, cyItemHeight); }
  int GetItemHeight(int nIndex) const { return (int)SendMessage(CB_GETITEMHEIGHT, nIndex); }
  void SetHorizontalExtent(UINT nExtent) { SendMessage(CB_SETHORIZONTALEXTENT, nExtent); }
  int GetTopIndex() const { return (int)SendMessage(CB_GETTOPINDEX); }
  int SetTopIndex(int nIndex) { return (int)SendMessage(CB_SETTOPINDEX, nIndex); }
  BOOL GetComboBoxInfo(PCOMBOBOXINFO pcbi) const { return ::GetComboBoxInfo(m_hWnd, pcbi); }
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
};

class CComboBoxEx : public CComboBox {
  DECLARE_DYNAMIC(CComboBoxEx)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int InsertItem(const COMBOBOXEXITEMA* pCBItem) { return (int)SendMessage(CBEM_INSERTITEMA, 0, (LPARAM)pCBItem); }
  int DeleteItem(int iIndex) { return (int)SendMessage(CBEM_DELETEITEM, iIndex); }
  BOOL GetItem(COMBOBOXEXITEMA* pCBItem) { return (BOOL)SendMessage(CBEM_GETITEMA, 0, (LPARAM)pCBItem); }
  BOOL SetItem(const COMBOBOXEXITEMA* pCBItem) { return (BOOL)SendMessage(CBEM_SETITEMA, 0, (LPARAM)pCBItem); }
  // The previous list (as a temporary wrapper when it has no object).
  CImageList* SetImageList(CImageList* pImageList);
  CImageList* GetImageList() const;
  CEdit* GetEditCtrl() const { return static_cast<CEdit*>(FromHandle((HWND)SendMessage(CBEM_GETEDITCONTROL))); }
  CComboBox* GetComboBoxCtrl() const {
    return static_cast<CComboBox*>(FromHandle((HWND)SendMessage(CBEM_GETCOMBOCONTROL)));
  }
  DWORD SetExtendedStyle(DWORD dwExMask, DWORD dwExStyles) {
    return (DWORD)SendMessage(CBEM_SETEXTENDEDSTYLE, dwExMask, dwExStyles);
  }
  DWORD GetExtendedStyle() const { return (DWORD)SendMessage(CBEM_GETEXTENDEDSTYLE); }
  BOOL HasEditChanged() { return (BOOL)SendMessage(CBEM_HASEDITCHANGED); }
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
  int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
  int SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, nSelect); }
  int GetSel(int nIndex) const { return (int)SendMessage(LB_GETSEL, nIndex); }
  int SetSel(int nIndex, BOOL bSelect = TRUE) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
  int GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT); }
  int GetSelItems(int nMaxItems, LPINT rgIndex) const {
    return (int)SendMessage(LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex);
  }
  int AddString(LPCSTR lpszItem) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszItem); }
  int InsertString(int nIndex, LPCSTR lpszItem) { return (int)SendMessage(LB_INSERTSTRING, nIndex, (LPARAM)lpszItem); }
  int DeleteString(UINT nIndex) { return (int)SendMessage(LB_DELETESTRING, nIndex); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetText(int nIndex, LPSTR lpszBuffer) const { return (int)SendMessage(LB_GETTEXT, nIndex, (LPARAM)lpszBuffer); }
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, nIndex); }
  int FindString(int nStartAfter, LPCSTR lpszItem) const {
    return (int)SendMessage(LB_FINDSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return (int)SendMessage(LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCSTR lpszItem) {
    return (int)SendMessage(LB_SELECTSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, nIndex); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return (int)SendMessage(LB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
  int GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX); }
  int SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, nIndex); }
  int GetItemRect(int nIndex, LPRECT lpRect) const { return (int)SendMessage(LB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
  // The item nearest pt; bOutside is set when pt lies outside every item.
  UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;
  int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)SendMessage(LB_SETITEMHEIGHT, nIndex, cyItemHeight); }
  int GetItemHeight(int nIndex) const { return (int)SendMessage(LB_GETITEMHEIGHT, nIndex); }
  int GetCaretIndex() const { return (int)SendMessage(LB_GETCARETINDEX); }
  int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) { return (int)SendMessage(LB_SETCARETINDEX, nIndex, bScroll); }
  void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, cxExtent); }
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
  void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
  }
  void ShowScrollBar(BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
  BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
  }
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
  }
  int GetScrollLimit();
};

class CStatusBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CStatusBarCtrl)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SetText(LPCSTR lpszText, int nPane, int nType) {
    return (BOOL)SendMessage(SB_SETTEXTA, (nPane & 0xFF) | nType, (LPARAM)lpszText);
  }
  CString GetText(int nPane, int* pType = nullptr) const;
  int GetTextLength(int nPane, int* pType = nullptr) const;
  BOOL SetParts(int nParts, int* pWidths) { return (BOOL)SendMessage(SB_SETPARTS, nParts, (LPARAM)pWidths); }
  int GetParts(int nParts, int* pParts) const { return (int)SendMessage(SB_GETPARTS, nParts, (LPARAM)pParts); }
  BOOL GetBorders(int* pBorders) const { return (BOOL)SendMessage(SB_GETBORDERS, 0, (LPARAM)pBorders); }
  void SetMinHeight(int nMin) { SendMessage(SB_SETMINHEIGHT, nMin); }
  BOOL SetSimple(BOOL bSimple = TRUE) { return (BOOL)SendMessage(SB_SIMPLE, bSimple); }
  BOOL IsSimple() const { return (BOOL)SendMessage(SB_ISSIMPLE); }
  BOOL GetRect(int nPane, LPRECT lpRect) const { return (BOOL)SendMessage(SB_GETRECT, nPane, (LPARAM)lpRect); }
  BOOL SetIcon(int nPane, HICON hIcon) { return (BOOL)SendMessage(SB_SETICON, nPane, (LPARAM)hIcon); }
  void SetTipText(int nPane, LPCSTR pszTipText) { SendMessage(SB_SETTIPTEXTA, nPane, (LPARAM)pszTipText); }
  COLORREF SetBkColor(COLORREF cr) { return (COLORREF)SendMessage(SB_SETBKCOLOR, 0, cr); }
};
