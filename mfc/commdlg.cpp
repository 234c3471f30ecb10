#include "mfc/commdlg.h"

#include <cstring>

#include "mfc/comdlgslots.h"
#include "mfc/dc.h"

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  std::memset(&m_cc, 0, sizeof m_cc);
  for (COLORREF& c : m_clrCustom) c = RGB(255, 255, 255);
  m_cc.lStructSize = sizeof m_cc;
  m_cc.lpCustColors = m_clrCustom;
  m_cc.Flags = dwFlags;
  if (clrInit != 0) SetCurrentColor(clrInit);
}

INT_PTR CColorDialog::DoModal() {
  HWND hWndFocus = ::GetFocus();
  m_cc.hwndOwner = GetSafeOwner(m_pParentWnd, &m_hWndTop);
  BOOL bResult = AfxComdlg().chooseColor(&m_cc);
  m_hWndTop = nullptr;
  if (hWndFocus && ::IsWindow(hWndFocus)) ::SetFocus(hWndFocus);
  return bResult ? IDOK : IDCANCEL;
}

CFontDialog::CFontDialog(const LOGFONTA* plfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd) {
  std::memset(&m_cf, 0, sizeof m_cf);
  std::memset(&m_lf, 0, sizeof m_lf);
  m_cf.lStructSize = sizeof m_cf;
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = dwFlags;
  if (plfInitial) {
    m_lf = *plfInitial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
  if (pdcPrinter) {
    m_cf.hDC = pdcPrinter->GetSafeHdc();
    m_cf.Flags |= CF_PRINTERFONTS;
  }
}

INT_PTR CFontDialog::DoModal() {
  HWND hWndFocus = ::GetFocus();
  m_cf.hwndOwner = GetSafeOwner(m_pParentWnd, &m_hWndTop);
  BOOL bResult = AfxComdlg().chooseFont(&m_cf);
  m_hWndTop = nullptr;
  if (hWndFocus && ::IsWindow(hWndFocus)) ::SetFocus(hWndFocus);
  return bResult ? IDOK : IDCANCEL;
}
