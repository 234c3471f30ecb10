// CColorDialog and CFontDialog: the system's colour and font dialogs (8-bit),
// run by ChooseColorA and ChooseFontA without hooks of their own.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "mfc/filedialog.h"

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)

 public:
  // clrInit becomes the start colour (CC_RGBINIT) unless it is 0.
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

  // IDOK with the colour in m_cc.rgbResult, else IDCANCEL.
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) {
    m_cc.rgbResult = clr;
    m_cc.Flags |= CC_RGBINIT;
  }
  // The 16 custom colours the dialog starts with; each object has its own.
  COLORREF* GetSavedCustomColors() { return m_clrCustom; }

  CHOOSECOLORA m_cc;

 private:
  COLORREF m_clrCustom[16];
};

class CFontDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFontDialog)

 public:
  // plfInitial (when given) is the start font (CF_INITTOLOGFONTSTRUCT).
  explicit CFontDialog(const LOGFONTA* plfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                       CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

  // IDOK with the font in m_lf (and m_cf), else IDCANCEL.
  INT_PTR DoModal() override;
  void GetCurrentFont(LOGFONTA* plf) const { *plf = m_lf; }
  CString GetFaceName() const { return CString(m_lf.lfFaceName); }
  int GetSize() const { return m_cf.iPointSize; }  // tenths of a point
  COLORREF GetColor() const { return m_cf.rgbColors; }
  int GetWeight() const { return m_lf.lfWeight; }
  BOOL IsItalic() const { return m_lf.lfItalic != 0; }
  BOOL IsUnderline() const { return m_lf.lfUnderline != 0; }
  BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }

  CHOOSEFONTA m_cf;
  LOGFONTA m_lf;
};
