#include "controls/toolbar/toolbarnew.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mfc/controls.h"
#include "mfc/frame.h"
#include "mfc/globals.h"
#include "mfc/menu.h"
#include "mfc/view.h"

IMPLEMENT_DYNAMIC(CToolBarNew, CToolBar)

BEGIN_MESSAGE_MAP(CToolBarNew, CToolBar)
  ON_WM_TIMER()
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {
const UINT_PTR kControlTimer = 0x197F;
const UINT kMainToolBarId = 59392;
const char* const kMenuDefaults[5] = {"Kleine Icons", "Mittler Icons", "Große Icons", "Flache Symbolleiste",
                                      "ausblenden"};

// Command-UI of one button of the bar: enable and check go to its state.
class CToolBarNewCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    Bar()->Send(TBX_SETSTATESTYLE, kTbxByIndex | m_nIndex, bOn ? 0x04040000 : 0x06000000);
  }
  void SetCheck(int nCheck) override {
    DWORD v = (DWORD)Bar()->Send(TBX_GETSTATESTYLE, kTbxByIndex | m_nIndex);
    v &= ~(0x10000u | 0x100000u);
    if (nCheck == 1) v |= 0x10000;
    if (nCheck == 2) v |= 0x100000;
    v |= BTNS_CHECK;
    Bar()->Send(TBX_SETSTATESTYLE, kTbxByIndex | m_nIndex, (LPARAM)(0xFF00FF00 | v));
  }
  void SetText(LPCSTR) override {}

 private:
  CToolBarNew* Bar() const { return static_cast<CToolBarNew*>(m_pOther); }
};

// The second command of an embedded combo box's selection change.
LONG_PTR SecondCommand(WPARAM wParam, HWND control) {
  if (HIWORD(wParam) != CBN_SELCHANGE) return -1;
  LRESULT selection = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
  LRESULT data = ::SendMessageA(control, CB_GETITEMDATA, (WPARAM)selection, 0);
  return data > 0 ? data : ::GetWindowLongPtrA(control, GWLP_ID) + selection;
}

CFrameWnd* MainFrame() {
  CWnd* main = AfxGetMainWnd();
  return main && main->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(main) : nullptr;
}
}  // namespace

CToolBarNew::CToolBarNew() {
  for (int i = 0; i < 5; i++) {
    m_menuTexts[i] = nullptr;
    m_menuIds[i] = (WORD)(kToolBarCmdFirst + i);
  }
}

CToolBarNew::~CToolBarNew() {
  if (m_hWnd) DestroyWindow();  // the control lets go of the bitmap first
  if (m_ownedBitmap) DeleteObject(m_ownedBitmap);
}

int CToolBarNew::MinLengthFor(int iconHeight) {
  int length = (iconHeight - 32) * 64 / 32 + 28;
  return std::min(std::max(length, 16), 48);
}

BOOL CToolBarNew::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBarNew::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
  m_menuFlags = dwCtrlStyle & 0xFFFF0000;
  // The framework's standard bar would only initialise the common controls.
  AfxInitCommonControls(ICC_BAR_CLASSES);
  m_minLength = MinLengthFor(GetSystemMetrics(SM_CYICON));
  if (!RegisterToolbarExClass(AfxGetInstanceHandle())) return FALSE;
  SetBorders(&rcBorders);
  m_dwStyle = dwStyle & CBRS_ALL;
  if (nID == kMainToolBarId) m_dwStyle |= CBRS_HIDE_INPLACE;
  DWORD style = (dwStyle & ~0x40FFB1u) | (dwCtrlStyle & 0xFFFF) | 0x4030004E;
  if (!CWnd::CreateEx(0, TOOLBAREX_CLASS, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID)) return FALSE;
  CWnd* main = AfxGetMainWnd();
  SendMessage(TB_SETPARENT, (WPARAM)(main ? main->m_hWnd : nullptr), kTbxParentControlTarget);
  SendMessage(TB_SETPARENT, (WPARAM)(INT_PTR)-1, kTbxParentExtraTarget);
  SetSizes(m_sizeButton, m_sizeImage);
  return TRUE;
}

BOOL CToolBarNew::LoadToolBar(UINT nIDResource) {
  LPCSTR names[2] = {MAKEINTRESOURCEA(nIDResource), nullptr};
  return LoadToolBar(names, nullptr, 0, nullptr, 256);
}

BOOL CToolBarNew::LoadToolBar(const LPCSTR* names, const UINT* ids, int count, const BYTE* descriptors, int scale) {
  std::vector<UINT> kept;
  if (count == (int)kToolBarKeepButtons) {
    int n = (int)SendMessage(TB_BUTTONCOUNT);
    std::vector<DWORD> current(n > 0 ? n : 1);
    if (n < 0 || SendMessage(TBX_GETCOMMANDIDS, (WPARAM)n, (LPARAM)current.data()) != n) return FALSE;
    kept.assign(current.begin(), current.begin() + n);
    ids = kept.data();
    count = n;
  }
  SendMessage(TBX_DELETEBUTTONS, 0, 0xFFFF);
  SendMessage(TBX_DELETEALLIMAGES);
  HINSTANCE module = AfxGetResourceHandle();
  std::vector<std::vector<UINT>> lists;
  BOOL ok = TRUE;
  m_imageWidth = 0;
  for (int n = 0; names && names[n] && n < 8; n++) {
    TbxAddBitmap add = {};
    if (descriptors && descriptors[n]) {
      const auto* d = reinterpret_cast<const ToolBarDescriptor*>(names[n]);
      add = {d->module, d->source, (WORD)(d->flags | kTbxImageFixed), 0, d->width, (WORD)(d->scale ? d->scale : scale)};
      lists.emplace_back();
      if (d->ids) lists.back().assign(d->ids, d->ids + d->count);
    } else {
      HRSRC res = FindResourceA(module, names[n], RT_TOOLBAR);
      const WORD* data = res ? static_cast<const WORD*>(LockResource(LoadResource(module, res))) : nullptr;
      if (!data || SizeofResource(module, res) < 8 || SizeofResource(module, res) < 8u + 2u * data[3]) {
        ok = FALSE;
        break;
      }
      add = {module,  (UINT_PTR)names[n], (WORD)(kTbxImageFrameColumn | kTbxImageFixed | kTbxImageReportWidth), 0,
             data[1], (WORD)scale};
      lists.emplace_back(data + 4, data + 4 + data[3]);
    }
    if (SendMessage(TB_ADDBITMAP, kTbxByIndex, (LPARAM)&add) == -1) {
      lists.pop_back();
      ok = FALSE;
      break;
    }
    if (n == 0 && add.cellWidth != kTbxScanCells) m_imageWidth = add.cellWidth;
  }
  auto append = [&](UINT id, int image) {
    TBBUTTON b = {id ? image : -1, (int)id, TBSTATE_ENABLED, (BYTE)(id ? BTNS_BUTTON : BTNS_SEP), {}, 0, -1};
    return SendMessage(TBX_ADDBUTTONS, 0x53FF0001, (LPARAM)&b) != 0;
  };
  if (!ids) {
    int image = 0;
    for (UINT id : lists.empty() ? std::vector<UINT>() : lists[0]) {
      if (!append(id, image)) ok = FALSE;
      if (id) image++;
    }
  } else {
    for (int i = 0; i < count; i++) {
      // The image of an id: its place among the non-zero ids of all names.
      int image = -1, position = 0;
      for (const auto& list : lists) {
        for (UINT id : list) {
          if (!id) continue;
          if (id == ids[i] && image < 0) image = position;
          position++;
        }
      }
      if (!append(ids[i], image)) ok = FALSE;
    }
  }
  m_bDelayedButtonLayout = TRUE;
  CWnd* parent = GetParent();
  CRect client;
  GetClientRect(&client);
  if (parent && (parent->GetStyle() & WS_POPUP)) {
    CRect parentClient;
    parent->GetClientRect(&parentClient);
    FitSize(TRUE, parentClient.Width());
  } else if (client.Width() <= 1 || client.Height() <= 1) {
    FitSize(TRUE, 0);
  }
  return ok;
}

BOOL CToolBarNew::ReplaceBitmapFromHandle(HBITMAP bitmap, int imageWidth, BOOL own, const UINT* ids, int count,
                                          int scale) {
  BITMAP bm = {};
  TbxImageInfo info = {};
  if (imageWidth < 1) imageWidth = m_imageWidth;
  if (!bitmap || !GetObject(bitmap, sizeof bm, &bm) || imageWidth < 1 || imageWidth > 0xFFFF) {
    if (own && bitmap) DeleteObject(bitmap);
    return FALSE;
  }
  bool replaced = false;
  if (SendMessage(TBX_GETIMAGEINFO, MAKEWPARAM(0, 1), (LPARAM)&info) == 1) {
    int cells = imageWidth == kTbxScanCells ? kTbxScanCells : bm.bmWidth / imageWidth;
    TBREPLACEBITMAP r = {(HINSTANCE)info.module, info.source, nullptr, (UINT_PTR)bitmap, cells};
    replaced = cells > 0 && SendMessage(TB_REPLACEBITMAP, (WPARAM)scale, (LPARAM)&r) != 0;
  }
  if (replaced) {
    // The entry no longer uses the bitmap the bar owned before.
    if (m_ownedBitmap && m_ownedBitmap != bitmap) DeleteObject(m_ownedBitmap);
    m_ownedBitmap = own ? bitmap : nullptr;
    if (imageWidth != kTbxScanCells) m_imageWidth = imageWidth;
    RecalcLayout();
    return TRUE;
  }
  // No entry to replace, or one whose cells others count on: rebuild the
  // bar on this bitmap alone, with the buttons of the ids (their cells in
  // order, 0 a separator) or else those it has. An owned bitmap goes to
  // the new entry, which deletes it also when it cannot be added.
  std::vector<UINT> order;
  if (ids && count >= 0 && count != (int)kToolBarKeepButtons) {
    order.assign(ids, ids + count);
  } else {
    int n = (int)SendMessage(TB_BUTTONCOUNT);
    std::vector<DWORD> current(n > 0 ? n : 1);
    if (n < 0 || SendMessage(TBX_GETCOMMANDIDS, (WPARAM)n, (LPARAM)current.data()) != n) {
      if (own) DeleteObject(bitmap);
      return FALSE;
    }
    order.assign(current.begin(), current.begin() + n);
  }
  ToolBarDescriptor d = {nullptr,     (UINT_PTR)bitmap, (WORD)(kTbxImageFrameColumn | (own ? kTbxImageOwnBitmap : 0)),
                         (WORD)scale, (WORD)imageWidth, (WORD)order.size(),
                         order.data()};
  LPCSTR names[2] = {reinterpret_cast<LPCSTR>(&d), nullptr};
  const BYTE descriptors[1] = {1};
  BOOL ok = LoadToolBar(names, nullptr, 0, descriptors, 256);
  // The old entries are gone, and the bar's own bitmap with them.
  if (m_ownedBitmap && m_ownedBitmap != bitmap) DeleteObject(m_ownedBitmap);
  m_ownedBitmap = nullptr;
  RecalcLayout();
  return ok;
}

BOOL CToolBarNew::ReplaceBitmapFromResource(UINT id, int imageWidth, HINSTANCE module, const UINT* ids, int count,
                                            int scale) {
  HBITMAP bitmap = ::LoadBitmapA(module ? module : AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
  return bitmap && ReplaceBitmapFromHandle(bitmap, imageWidth, TRUE, ids, count, scale);
}

BOOL CToolBarNew::SetButtons(const UINT* ids, int count) {
  SendMessage(TBX_DELETEBUTTONS, 0, 0xFFFF);
  int image = 0;
  BOOL ok = TRUE;
  for (int i = 0; i < count; i++) {
    UINT id = ids ? ids[i] : 0;
    TBBUTTON b = {-1, (int)id, TBSTATE_ENABLED, BTNS_SEP, {}, 0, -1};
    if (!ids) {
      b.iBitmap = 0;
      b.fsStyle = BTNS_BUTTON;
    } else if (id) {
      b.iBitmap = image++;
      b.fsStyle = BTNS_BUTTON;
    }
    if (!SendMessage(TBX_ADDBUTTONS, 0x50000001 | ((WPARAM)i << 16), (LPARAM)&b)) ok = FALSE;
  }
  m_bDelayedButtonLayout = TRUE;
  return ok;
}

BOOL CToolBarNew::MakeButtonGroup(int first, int count) {
  if (count < 2) return FALSE;
  LRESULT n = SendMessage(TBX_SETSTYLEBYTES, MAKEWPARAM(first, first + 1), MAKELPARAM(0x84, 0x84));
  n += SendMessage(TBX_SETSTYLEBYTES, MAKEWPARAM(first + 1, first + count), MAKELPARAM(0x04, 0x04));
  return n == count;
}

void CToolBarNew::SetButtonInfo(int button, int id, int stateWord, int image) {
  SetButtonInfoEx(button, id, stateWord, image, 0, 0);
}

void CToolBarNew::SetButtonInfoEx(int button, int id, int stateWord, int image, WORD styleWord, WORD styleMask) {
  WPARAM at = ((DWORD)button & kTbxFormMask) == kTbxForm ? (WPARAM)(DWORD)button : kTbxByIndex | (WPARAM)button;
  if (id != -1) SendMessage(TBX_SETCOMMANDID, at, id);
  if (stateWord != -1) {
    DWORD v = (DWORD)stateWord ^ TBBS_DISABLED;
    SendMessage(TBX_SETSTATESTYLE, at, (LPARAM)(0xFF00FF00 | (v & 0x00FF00FF)));
  }
  if (image >= -1) SendMessage(TBX_SETIMAGE, at, image);
  if (styleMask) SendMessage(TBX_SETSTYLEWORD, at, MAKELPARAM(styleWord, styleMask));
}

BOOL CToolBarNew::GetButtonInfo(int button, UINT* id, UINT* stateWord, int* image) const {
  return ButtonInfo(button, 0, id, stateWord, image);
}

BOOL CToolBarNew::GetButtonInfoEx(int button, UINT* id, UINT* stateWord, int* image) const {
  return ButtonInfo(button, kTbxInfoStyleWord, id, stateWord, image);
}

BOOL CToolBarNew::ButtonInfo(int button, DWORD extraMask, UINT* id, UINT* stateWord, int* image) const {
  struct {
    TBBUTTONINFOA info;
    BYTE room[8];
  } big = {};
  big.info.cbSize = std::max<UINT>(52, sizeof(TBBUTTONINFOA));
  big.info.dwMask = TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE | extraMask;
  if (SendMessage(TB_GETBUTTONINFOA, (WPARAM)(DWORD)button, (LPARAM)&big) < 0) return FALSE;
  if (id) *id = (UINT)big.info.idCommand;
  if (stateWord) *stateWord = MAKELONG(big.info.fsStyle, big.info.fsState) ^ TBBS_DISABLED;
  if (image) *image = big.info.iImage;
  return TRUE;
}

void CToolBarNew::SetStyle(DWORD style) {
  SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)style);
  RecalcLayout();
}

DWORD CToolBarNew::ModifyStyle(DWORD value, DWORD mask, BOOL relayout) {
  DWORD old = GetStyle(), now = (old & ~mask) | (value & mask);
  SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)now);
  if (relayout && ((old ^ now) & mask & 0x10000820)) RecalcLayout();
  return old;
}

int CToolBarNew::SetImageScale(int scale, BOOL relayout) {
  int old = (int)SendMessage(TBX_SETIMAGESCALE, (WPARAM)-1, scale);
  if (relayout && old != (scale ? scale : 256)) RecalcLayout();
  return old;
}

int CToolBarNew::SetImageEntryScale(int entry, int scale, BOOL relayout) {
  int old = (int)SendMessage(TBX_SETIMAGESCALE, (WPARAM)entry, scale);
  if (relayout && old != -1 && old != (scale ? scale : 256)) RecalcLayout();
  return old;
}

COLORREF CToolBarNew::SetColors(COLORREF color0, COLORREF color1) {
  if (color0 == (COLORREF)-1) return (COLORREF)-1;
  COLORREF old = (COLORREF)SendMessage(TBX_COLOR, 0x80000000, color0);
  SendMessage(TBX_COLOR, 0x80000001, color1);
  return old;
}

void CToolBarNew::SetButtonColor(int button, DWORD value, int kind) {
  if (kind == -1) {
    // 5-6-5: red in bits 0-4, green 5-10, blue 11-15.
    DWORD r = GetRValue(value) >> 3, g = GetGValue(value) >> 2, b = GetBValue(value) >> 3;
    value = (r | (g << 5) | (b << 11)) | 0xFFFF0000;
  }
  SendMessage(TBX_SETBUTTONVALUE, kTbxByIndex | (WPARAM)button, (LPARAM)value);
}

int CToolBarNew::SetButtonControl(CWnd* control, DWORD button, int n, BOOL setFont) {
  int index = -1;
  if (n == -1) {
    for (int k = 0; k < 128; k++) {
      int i = (int)SendMessage(TB_COMMANDTOINDEX, kTbxNthCommand | ((DWORD)k << 16) | (button & 0xFFFF));
      if (i < 0) break;
      if (!SendMessage(TBX_GETBUTTONVALUE, kTbxByIndex | (WPARAM)i)) {
        index = i;
        break;
      }
    }
  } else {
    index = (int)SendMessage(TB_COMMANDTOINDEX, (n ? kTbxNthCommand | ((DWORD)n << 16) | (button & 0xFFFF) : button));
  }
  if (index < 0 || !control) return -1;
  if (setFont) control->SendMessage(WM_SETFONT, (WPARAM)GetStockObject(ANSI_VAR_FONT), 0);
  SendMessage(TBX_SETSTYLEWORD, kTbxByIndex | (WPARAM)index, 0x20002000);
  SendMessage(TBX_SETBUTTONVALUE, kTbxByIndex | (WPARAM)index, (LPARAM)control->m_hWnd);
  return (int)SendMessage(TBX_COUNTBUTTONS, MAKEWPARAM(0, index), MAKELPARAM(kTbxControl, kTbxControl));
}

void CToolBarNew::AttachControls(int n, const UINT* ids, CWnd* const* controls, COLORREF firstColor) {
  if (firstColor != (COLORREF)-1) SendMessage(TBX_COLOR, 0x80000000, firstColor);
  for (int i = 0; ids && controls && i < n; i++) {
    SendMessage(TBX_SETBUTTONVALUE, kTbxByCommand | (ids[i] & 0xFFFF), (LPARAM)controls[i]->GetSafeHwnd());
  }
}

void CToolBarNew::AttachControlRange(int n, UINT firstId, CWnd* const* controls, COLORREF firstColor) {
  if (firstColor != (COLORREF)-1) SendMessage(TBX_COLOR, 0x80000000, firstColor);
  for (int i = 0; controls && i < n; i++) {
    SendMessage(TBX_SETBUTTONVALUE, kTbxByCommand | ((firstId + i) & 0xFFFF), (LPARAM)controls[i]->GetSafeHwnd());
  }
}

CWnd* CToolBarNew::GetControlAt(int n) const {
  if (n < 0 || n >= 128) return nullptr;
  HWND control = (HWND)SendMessage(TBX_GETBUTTONVALUE, 0x12802E7E | ((DWORD)n << 16));
  return control ? CWnd::FromHandle(control) : nullptr;
}

CWnd* CToolBarNew::FindControlById(int id, int k) const {
  for (int n = 0; n < 128; n++) {
    CWnd* control = GetControlAt(n);
    if (!control) break;
    if (::GetWindowLongPtrA(control->m_hWnd, GWLP_ID) == id && k-- == 0) return control;
  }
  return nullptr;
}

BOOL CToolBarNew::AddLabel(LPCSTR text, DWORD anchor, int dx, int dy, BYTE flags, BYTE tag) {
  TbxLabelHead head = {anchor, (short)dx, (short)dy, flags, tag, 0, 0};
  return (BOOL)SendMessage(TBX_ADDLABELA, (WPARAM)&head, (LPARAM)text);
}

void CToolBarNew::RecalcLayout() {
  m_bDelayedButtonLayout = TRUE;
  if (!IsWindowVisible()) {
    SendMessage(TBX_SETDIRTY, 3, 1);
    return;
  }
  SendMessage(TBX_SETDIRTY, 3, 0);
  if (CFrameWnd* frame = MainFrame()) {
    frame->ShowControlBar(this, FALSE, FALSE);
    frame->ShowControlBar(this, TRUE, FALSE);
  }
}

CSize CToolBarNew::WithBorders(LRESULT size, BOOL horizontal) {
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horizontal);
  return CSize(LOWORD(size) - inside.Width(), HIWORD(size) - inside.Height());
}

CSize CToolBarNew::FitSize(BOOL apply, int minWidth) {
  CSize size = WithBorders(SendMessage(TBX_CALCSIZE, 17000, 0), TRUE);
  size.cx = std::max((int)size.cx, minWidth);
  if (apply) SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return size;
}

CSize CToolBarNew::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  return WithBorders(SendMessage(TBX_CALCSIZE, bStretch ? 17000 : 0, 0), bHorz);
}

CSize CToolBarNew::CalcDynamicLayout(int nLength, DWORD dwMode) {
  LPARAM apply = (dwMode & LM_COMMIT) >> 6;
  CRect inside(0, 0, 0, 0);
  if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
    bool horizontal = (dwMode & LM_HORZDOCK) != 0;
    return WithBorders(SendMessage(TBX_CALCSIZE, horizontal ? 17000 : 0, apply), horizontal);
  }
  CalcInsideRect(inside, TRUE);
  int bordersX = -inside.Width(), bordersY = -inside.Height();
  CSize size;
  if (dwMode & LM_LENGTHY) {
    size = WithBorders(SendMessage(TBX_CALCSIZE, (WPARAM)(nLength - bordersY), 2 | apply), TRUE);
  } else {
    int length = (dwMode & LM_MRUWIDTH) ? m_nMRUWidth : nLength;
    size = WithBorders(SendMessage(TBX_CALCSIZE, (WPARAM)(length - bordersX), apply), TRUE);
  }
  size.cx = std::max((int)size.cx, m_minLength);
  if (dwMode & LM_COMMIT) m_nMRUWidth = size.cx;
  return size;
}

void CToolBarNew::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolBarNewCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)SendMessage(TB_BUTTONCOUNT);
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    TBBUTTONINFOA info = {sizeof info, TBIF_COMMAND | TBIF_STYLE | TBIF_BYINDEX};
    if (SendMessage(TB_GETBUTTONINFOA, state.m_nIndex, (LPARAM)&info) < 0 || (info.fsStyle & BTNS_SEP)) continue;
    state.m_nID = (UINT)info.idCommand;
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
    if (state.m_nID >= 1 && state.m_nID <= 0xFFFE) state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

BOOL CToolBarNew::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  CFrameWnd* frame = MainFrame();
  // The control's style carries WS_HSCROLL | WS_VSCROLL: the default answer
  // would be a scroll bar on its right and bottom borders.
  if (message == WM_NCHITTEST) {
    *pResult = HTCLIENT;
    return TRUE;
  }
  if (message == WM_COMMAND) {
    if (LOWORD(wParam) == kToolBarCmdHide && !lParam) {
      if (frame) frame->ShowControlBar(this, FALSE, FALSE);
      *pResult = 0;
      return TRUE;
    }
    if (lParam && SendMessage(TBX_FINDCONTROL, 0, lParam) >= 0) {
      LONG_PTR second = SecondCommand(wParam, (HWND)lParam);
      for (CWnd* target : {static_cast<CWnd*>(frame), frame ? static_cast<CWnd*>(frame->GetActiveView()) : nullptr}) {
        if (!target) continue;
        target->PostMessage(WM_COMMAND, wParam, lParam);
        if (second >= 0) target->PostMessage(WM_COMMAND, (WPARAM)second, lParam);
      }
      *pResult = 0;
      return TRUE;
    }
  }
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && SendMessage(TBX_FINDCONTROL, 0, (LPARAM)header->hwndFrom) >= 0) {
      LRESULT last = 0;
      for (CWnd* target : {static_cast<CWnd*>(frame), frame ? static_cast<CWnd*>(frame->GetActiveView()) : nullptr}) {
        if (!target) continue;
        LRESULT r = target->SendMessage(WM_NOTIFY, wParam, lParam);
        if (r) last = r;
      }
      *pResult = last;
      return TRUE;
    }
  }
  return CToolBar::OnWndMsg(message, wParam, lParam, pResult);
}

void CToolBarNew::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kControlTimer) {
    SendMessage(TBX_TIMERTICK, 0);
    return;
  }
  CToolBar::OnTimer(nIDEvent);
}

void CToolBarNew::OnContextMenu(CWnd* pWnd, CPoint pos) {
  if (!(m_menuFlags & kToolBarMenuMask)) {
    Default();
    return;
  }
  // Texts: the caller's, else the string resource's parts, else the defaults.
  char parts[5][64] = {};
  char resource[512] = "";
  if (LoadStringA(AfxGetResourceHandle(), kToolBarMenuTextsId, resource, sizeof resource) > 0) {
    const char* p = resource;
    for (int i = 0; i < 5 && p; i++) {
      const char* end = strchr(p, '\n');
      size_t n = end ? (size_t)(end - p) : strlen(p);
      memcpy(parts[i], p, std::min<size_t>(n, 63));
      p = end ? end + 1 : nullptr;
    }
  }
  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  bool sizes = false, any = false;
  for (int i = 0; i < 5; i++) {
    if (!(m_menuFlags & (0x10000u << i))) continue;
    if ((i == 3 && sizes) || (i == 4 && any)) menu.AppendMenu(MF_SEPARATOR);
    const char* text = m_menuTexts[i] ? m_menuTexts[i] : parts[i][0] ? parts[i] : kMenuDefaults[i];
    bool checked = i < 3 ? i == m_iconSizeIndex : i == 3 ? (GetStyle() & TBSTYLE_FLAT) != 0 : false;
    menu.AppendMenu(MF_STRING | (checked ? MF_CHECKED : 0), m_menuIds[i], text);
    if (i < 3) sizes = true;
    any = true;
  }
  if (pos.x == -1 && pos.y == -1) GetCursorPos(&pos);
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pos.x, pos.y, this);
}
