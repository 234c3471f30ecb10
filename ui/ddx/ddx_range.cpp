#include <cstdio>
#include <cstdlib>

#include "ui/ddx/ddxextra.h"

namespace {
const int kModes = 6;

bool IsStatic(HWND h) {
  char cls[16] = "";
  ::GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, "Static") == 0;
}

struct RangeGroup {
  HWND first = nullptr, label1 = nullptr, second = nullptr, label2 = nullptr, selector = nullptr;
};

RangeGroup FindGroup(HWND first) {
  RangeGroup g;
  g.first = first;
  HWND h = ::GetWindow(first, GW_HWNDNEXT);
  if (h && IsStatic(h)) g.label1 = h, h = ::GetWindow(h, GW_HWNDNEXT);
  g.second = h;
  h = h ? ::GetWindow(h, GW_HWNDNEXT) : nullptr;
  if (h && IsStatic(h)) g.label2 = h, h = ::GetWindow(h, GW_HWNDNEXT);
  g.selector = h;
  return g;
}

bool IsRadio(HWND h) { return (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0; }

// The buttons of the radio group that starts at first.
int RadioIndex(HWND first, int set) {
  int i = 0, found = -1;
  for (HWND h = first; h && IsRadio(h); h = ::GetWindow(h, GW_HWNDNEXT), ++i) {
    if (i && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP)) break;
    if (set >= -1)
      ::SendMessageA(h, BM_SETCHECK, i == set ? BST_CHECKED : BST_UNCHECKED, 0);
    else if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
      found = i;
  }
  return found;
}

int SelectorIndex(HWND selector, int set) {  // set < -1: read
  if (!selector) return -1;
  if (IsRadio(selector)) return RadioIndex(selector, set);
  char cls[16] = "";
  ::GetClassNameA(selector, cls, sizeof cls);
  bool list = lstrcmpiA(cls, "ListBox") == 0;
  if (set >= -1) {
    ::SendMessageA(selector, list ? LB_SETCURSEL : CB_SETCURSEL, set, 0);
    return set;
  }
  return (int)::SendMessageA(selector, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
}

int ModeToIndex(int mode, UINT mask) {
  if (mode < 0 || mode >= kModes) return 0;
  int index = mode;
  for (int m = 0; m < mode; ++m)
    if (!(mask & (1u << m))) --index;
  return index;
}

int IndexToMode(int index, UINT mask) {
  for (int m = 0, i = 0; m < kModes; ++m) {
    if (!(mask & (1u << m))) continue;
    if (i++ == index) return m;
  }
  return 0;
}

void SetLabels(const RangeGroup& g, int mode, bool both) {
  if (g.label1) AfxSetWindowText(g.label1, mode == kRangeRange ? "Von :" : "Wert :");
  if (both && g.label2) AfxSetWindowText(g.label2, mode == kRangeRange ? "Bis :" : "");
  ::EnableWindow(g.first, mode != kRangeNone);
  if (g.second) ::EnableWindow(g.second, mode == kRangeRange);
}

void ExchangeMode(CDataExchange* pDX, const RangeGroup& g, int* mode, UINT mask) {
  if (pDX->m_bSaveAndValidate)
    *mode = IndexToMode(SelectorIndex(g.selector, -2), mask);
  else
    SelectorIndex(g.selector, ModeToIndex(*mode, mask));
}

void IntField(CDataExchange* pDX, HWND edit, int* value) {
  if (!edit) return;
  char text[34];
  if (pDX->m_bSaveAndValidate) {
    ::GetWindowTextA(edit, text, sizeof text);
    *value = atoi(text);
  } else {
    snprintf(text, sizeof text, "%d", *value);
    AfxSetWindowText(edit, text);
  }
}
}  // namespace

void DDX_ValueRange(CDataExchange* pDX, int nIDC, int* from, int* to, int* mode, UINT mask) {
  RangeGroup g = FindGroup(pDX->PrepareEditCtrl(nIDC));
  IntField(pDX, g.first, from);
  IntField(pDX, g.second, to);
  ExchangeMode(pDX, g, mode, mask);
  SetLabels(g, *mode, true);
}

void DDX_DoubleRange(CDataExchange* pDX, int nIDC, double* from, double* to, int decimals, int* mode, UINT mask) {
  RangeGroup g = FindGroup(pDX->PrepareEditCtrl(nIDC));
  DDX_Double(pDX, nIDC, from, decimals);
  if (g.second) {
    int id = ::GetDlgCtrlID(g.second);
    DDX_Double(pDX, id, to, decimals);
  }
  ExchangeMode(pDX, g, mode, mask);
  SetLabels(g, *mode, false);
}
