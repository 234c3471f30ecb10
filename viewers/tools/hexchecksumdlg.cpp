#include "viewers/tools/hexchecksumdlg.h"

#include <cstring>

#include "text/numbers/intformat.h"
#include "viewers/tools/tooldlg.h"

namespace {

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 247, 95, "Checksumme");
    const DWORD ro = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;
    t.Item(TPL_STATIC, -1, 0, 60, 8, 55, 8, "Addiert")
        .Item(TPL_STATIC, -1, 0, 122, 8, 55, 8, "Subtrahiert")
        .Item(TPL_STATIC, -1, 0, 184, 8, 55, 8, "Xor")
        .Item(TPL_STATIC, -1, 0, 7, 22, 45, 8, "BYTE :")
        .Item(TPL_STATIC, -1, 0, 7, 40, 45, 8, "WORD :")
        .Item(TPL_STATIC, -1, 0, 7, 58, 45, 8, "DWORD :")
        .Item(TPL_EDIT, IDC_SUM_BYTE_ADD, ro, 60, 20, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_WORD_ADD, ro, 60, 38, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_DWORD_ADD, ro, 60, 56, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_BYTE_SUB, ro, 122, 20, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_WORD_SUB, ro, 122, 38, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_DWORD_SUB, ro, 122, 56, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_BYTE_XOR, ro, 184, 20, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_WORD_XOR, ro, 184, 38, 55, 12)
        .Item(TPL_EDIT, IDC_SUM_DWORD_XOR, ro, 184, 56, 55, 12)
        .Item(TPL_BUTTON, IDC_SUM_BIG_ENDIAN, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 77, 80, 10, "Big Endian")
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 75, 50, 14, "OK");
    return t;
  }();
  return t;
}

void AddTo(uint32_t& add, uint32_t& sub, uint32_t& x, uint32_t v) {
  add += v;
  sub -= v;
  x ^= v;
}

uint32_t Swap16(uint32_t w) { return ((w & 0xFF) << 8) | (w >> 8); }
uint32_t Swap32(uint32_t d) { return (d >> 24) | ((d >> 8) & 0xFF00) | ((d << 8) & 0xFF0000) | (d << 24); }

}  // namespace

HexChecksums ComputeHexChecksums(const void* bytes, int count) {
  HexChecksums s = {};
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  if (count < 0) count = 0;
  for (int i = 0; i < count; i++) AddTo(s.byteAdd, s.byteSub, s.byteXor, p[i]);
  // Words and double words of the data padded with zero bytes to the next boundary.
  for (int i = 0; i < count; i += 2) {
    uint32_t w = p[i] | (i + 1 < count ? (uint32_t)p[i + 1] << 8 : 0);
    AddTo(s.wordAdd, s.wordSub, s.wordXor, w);
    AddTo(s.wordAddBe, s.wordSubBe, s.wordXorBe, Swap16(w));
  }
  for (int i = 0; i < count; i += 4) {
    uint32_t d = 0;
    for (int k = 0; k < 4 && i + k < count; k++) d |= (uint32_t)p[i + k] << (8 * k);
    AddTo(s.dwordAdd, s.dwordSub, s.dwordXor, d);
    AddTo(s.dwordAddBe, s.dwordSubBe, s.dwordXorBe, Swap32(d));
  }
  return s;
}

BEGIN_MESSAGE_MAP(CHexChecksumDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(IDC_SUM_BIG_ENDIAN, OnBigEndian)
END_MESSAGE_MAP()

INT_PTR CHexChecksumDlg::Compute(const void* bytes, int count) {
  m_sums = ComputeHexChecksums(bytes, count);
  InitModalIndirect(Template().Get(), m_pParentWnd);
  return DoModal();
}

BOOL CHexChecksumDlg::OnInitDialog() {
  RestoreToolDlgPos(m_hWnd, TOOLPOS_CHECKSUM);
  CDialog::OnInitDialog();
  if (m_nShowOption <= 0) {
    m_bBigEndian = 0;
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SUM_BIG_ENDIAN), SW_HIDE);
  }
  CheckDlgButton(IDC_SUM_BIG_ENDIAN, m_bBigEndian ? BST_CHECKED : BST_UNCHECKED);
  ShowSums();
  return TRUE;
}

void CHexChecksumDlg::ShowSums() {
  bool be = m_bBigEndian != 0;
  const struct {
    int id;
    uint32_t value;
  } fields[] = {
      {IDC_SUM_BYTE_ADD, m_sums.byteAdd},
      {IDC_SUM_BYTE_SUB, m_sums.byteSub},
      {IDC_SUM_BYTE_XOR, m_sums.byteXor},
      {IDC_SUM_WORD_ADD, be ? m_sums.wordAddBe : m_sums.wordAdd},
      {IDC_SUM_WORD_SUB, be ? m_sums.wordSubBe : m_sums.wordSub},
      {IDC_SUM_WORD_XOR, be ? m_sums.wordXorBe : m_sums.wordXor},
      {IDC_SUM_DWORD_ADD, be ? m_sums.dwordAddBe : m_sums.dwordAdd},
      {IDC_SUM_DWORD_SUB, be ? m_sums.dwordSubBe : m_sums.dwordSub},
      {IDC_SUM_DWORD_XOR, be ? m_sums.dwordXorBe : m_sums.dwordXor},
  };
  for (auto& f : fields) {
    char text[24];
    FormatIntA((int32_t)f.value, text, FORMAT_0X | FormatWidth(8));
    SetDlgItemText(f.id, text);
  }
}

void CHexChecksumDlg::OnBigEndian() {
  m_bBigEndian = IsDlgButtonChecked(IDC_SUM_BIG_ENDIAN) == BST_CHECKED;
  ShowSums();
}

HBRUSH CHexChecksumDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
  switch (id) {
    case IDC_SUM_BYTE_ADD:
    case IDC_SUM_WORD_ADD:
    case IDC_SUM_DWORD_ADD:
    case IDC_SUM_BYTE_SUB:
    case IDC_SUM_WORD_SUB:
    case IDC_SUM_DWORD_SUB:
    case IDC_SUM_BYTE_XOR:
    case IDC_SUM_WORD_XOR:
    case IDC_SUM_DWORD_XOR:
      return ToolFieldBrush(pDC->GetSafeHdc(), false);
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CHexChecksumDlg::OnOK() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_CHECKSUM);
  CDialog::OnOK();
}

void CHexChecksumDlg::OnCancel() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_CHECKSUM);
  CDialog::OnCancel();
}
