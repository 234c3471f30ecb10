// The colour dialog "Farben einstellen": picks background, text colour and
// style of the entries of a colour scheme. It works on a copy of the list and
// copies it back only on OK.
#pragma once

#include "mfc/mfc.h"
#include "viewers/text/colorlist.h"

// Control ids of the dialog.
enum {
  kColorDlgPreview = 1025,
  kColorDlgBackgroundGroup = 1026,
  kColorDlgTextGroup = 1027,
  kColorDlgEntries = 1028,
  kColorDlgBold = 1030,
  kColorDlgItalic = 1031,
  kColorDlgUnderline = 1032,
  kColorDlgFilter = 1033,
  kColorDlgDefineBackground = 1037,
  kColorDlgDefineText = 1049,
  kColorDlgBackgroundSwatches = 1052,
  kColorDlgTextSwatches = 1053,
};
// Colours of the entry that stands in for an empty list.
const COLORREF kColorDlgSentinelColor = 0xC8C8C8;
const int kColorDlgMaxEntries = 256;
// Bytes of an id filter: one bit per id 0-255.
const int kColorFilterBytes = 32;

// The preview: the static paints itself from the dialog's current colours.
class CAnsiColorPreview : public CWnd {
 public:
  class CAnsiColorDlg* m_pDlg = nullptr;
  void Paint(HDC dc);

 protected:
  afx_msg void OnPaint();
  afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

class CAnsiColorDlg : public CDialog {
 public:
  explicit CAnsiColorDlg(CWnd* pParentWnd = nullptr);
  ~CAnsiColorDlg() override;

  // Runs the dialog over list (at most 256 entries) with the preview in
  // font (ANSI_FIXED_FONT when null), the entry at position current and the
  // id filter (kColorFilterBytes, or null). On IDOK with entries the list
  // takes the edited colours and styles. Returns the dialog's result.
  INT_PTR DoModal(ANSICOLORENTRY* list, HFONT font, int position, const BYTE* filter);

  // For the preview and for tests.
  COLORREF CurrentBackground() const { return m_background; }
  COLORREF CurrentText() const { return m_text; }
  int CurrentPosition() const { return m_position; }
  int SwatchSize() const { return m_swatchSize; }
  HFONT PreviewFont() const { return m_hFont; }

 protected:
  BOOL OnInitDialog() override;
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS);
  afx_msg void OnEntryChange();
  afx_msg void OnBackgroundSwatch();
  afx_msg void OnTextSwatch();
  afx_msg void OnStyleCheck(UINT nID);
  afx_msg void OnFilterCheck();
  afx_msg void OnDefineBackground();
  afx_msg void OnDefineText();
  DECLARE_MESSAGE_MAP()

 private:
  INT_PTR DoModal() override { return CDialog::DoModal(); }
  void FitSwatchList(int id);
  void FillEntries();
  void SelectEntry(int position);
  void SelectSwatches();
  void UpdatePreview();
  void StoreColors();
  COLORREF DefineColor(COLORREF start, int sysColor);

  ANSICOLORENTRY* m_pList = nullptr;
  ANSICOLORENTRY* m_pWork = nullptr;
  BYTE m_filter[kColorFilterBytes];
  bool m_bFilter = false;
  int m_position = 0;
  COLORREF m_background = 0;
  COLORREF m_text = 0;
  HFONT m_hFont = nullptr;
  int m_count = 0;
  int m_swatchSize = 18;
  int m_styleChecks[3] = {};
  CAnsiColorPreview m_preview;
};
