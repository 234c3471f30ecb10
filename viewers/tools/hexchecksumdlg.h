// "Checksumme": added, subtracted and XOR-ed sums of bytes, words and double
// words, little- or big-endian.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

enum {
  IDC_SUM_BYTE_ADD = 1055,
  IDC_SUM_WORD_ADD = 1075,
  IDC_SUM_DWORD_ADD = 1077,
  IDC_SUM_BYTE_SUB = 1105,
  IDC_SUM_WORD_SUB = 1106,
  IDC_SUM_DWORD_SUB = 1107,
  IDC_SUM_BYTE_XOR = 1057,
  IDC_SUM_WORD_XOR = 1062,
  IDC_SUM_DWORD_XOR = 1063,
  IDC_SUM_BIG_ENDIAN = 1043,
};

struct HexChecksums {
  uint32_t byteAdd, byteSub, byteXor;
  uint32_t wordAdd, wordSub, wordXor;     // little-endian
  uint32_t dwordAdd, dwordSub, dwordXor;  // little-endian
  uint32_t wordAddBe, wordSubBe, wordXorBe;
  uint32_t dwordAddBe, dwordSubBe, dwordXorBe;
};
// The sums; a trailing part counts as if padded with zero bytes.
HexChecksums ComputeHexChecksums(const void* bytes, int count);

class CHexChecksumDlg : public CDialog {
 public:
  CHexChecksumDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  // Computes the sums and runs the dialog; the result carries no data.
  INT_PTR Compute(const void* bytes, int count);

  HexChecksums m_sums = {};
  int m_bBigEndian = 0;
  int m_nShowOption = 1;  // 0 or less: "Big Endian" hidden and off

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void ShowSums();
  afx_msg void OnBigEndian();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};
