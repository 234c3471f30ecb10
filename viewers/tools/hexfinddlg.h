// "Wert suchen": turns the user's value, its size, direction and options, or
// a group of up to 16 values, into search-item lines and an option word. The
// hex view searches with them.
#pragma once

#include "mfc/mfc.h"

// Find option flag word.
constexpr DWORD FINDF_BACKWARD = 0x1;
constexpr DWORD FINDF_SELECTION = 0x2;
constexpr DWORD FINDF_WHOLE = 0x4;
constexpr DWORD FINDF_NOCASE = 0x8;
constexpr DWORD FINDF_GROUP = 0x10;
constexpr DWORD FINDF_ORDER = 0x20;
constexpr DWORD FINDF_FROMSTART = 0x40;
constexpr DWORD FINDF_UNICODE = 0x80;
constexpr DWORD FINDF_MOTOROLA = 0x100;
constexpr DWORD FINDF_RESULT_MASK = 0x1FF;  // what the dialog gives back
constexpr DWORD FINDF_NOFINDNEXT = 0x1000;  // input only
constexpr DWORD FINDF_NOGROUP = 0x2000;
constexpr DWORD FINDF_FORWARDONLY = 0x4000;
constexpr DWORD FINDF_HASSEL = 0x8000;
constexpr INT_PTR kFindNextResult = 0x8000 | IDOK;  // "Weiter&suchen"
constexpr int kFindHistoryMax = 16;
constexpr int kFindItemsMax = 16;
constexpr int kFindLineSize = 2100;  // a line holds the dump of 256 bytes and their value text

enum {
  IDC_FIND_TEXT = 1042,
  IDC_FIND_DECIMAL = 1087,  // kind radios 1087-1092, then 1124
  IDC_FIND_HEX = 1088,
  IDC_FIND_BINARY = 1089,
  IDC_FIND_OCTAL = 1090,
  IDC_FIND_AS_TEXT = 1091,
  IDC_FIND_DUMP = 1092,
  IDC_FIND_MASK = 1124,
  IDC_FIND_BYTE = 1093,  // size radios 1093-1096
  IDC_FIND_WORD = 1094,
  IDC_FIND_DWORD = 1095,
  IDC_FIND_VARIABLE = 1096,
  IDC_FIND_BACKWARD = 1047,
  IDC_FIND_FORWARD = 1048,
  IDC_FIND_GROUP = 1046,
  IDC_FIND_ORDER = 1097,
  IDC_FIND_UNICODE = 1043,
  IDC_FIND_NOCASE = 1125,
  IDC_FIND_WHOLE = 1044,
  IDC_FIND_SELECTION = 1045,
  IDC_FIND_FROMSTART = 1098,
  IDC_FIND_MOTOROLA = 1126,
  IDC_FIND_RANGE = 1055,
  IDC_FIND_ITEMS = 1099,
  IDC_FIND_ADD = 1100,
  IDC_FIND_DELETE = 1101,
  IDC_FIND_DELETE_ALL = 1102,
  IDC_FIND_UP = 1103,
  IDC_FIND_DOWN = 1104,
  IDC_FIND_NEXT = 1050,
};

class CHexFindDlg : public CDialog {
 public:
  CHexFindDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal(DWORD* pFlags, char** ppHistory, char** ppItems, char** ppSearch, const char* pszText);

  // Writes the line of the current input; 0 (nothing written) when it gives no bytes.
  int BuildSearchData(char* line, int size);
  void AddToHistory();

  int m_nKind = -1;  // 0-6, -1: none
  int m_nSize = 0;   // 0 Byte, 1 Word, 2 DWord, 3 Variabel
  int m_nDirection = 1;
  int m_bSelection = 0, m_bWhole = 0, m_bNoCase = 0, m_bGroup = 0, m_bOrder = 0, m_bFromStart = 0;
  int m_bUnicode = 0, m_bMotorola = 0;
  int m_nRange = 1000;
  CString m_strText;
  int m_nTextLen = 0;
  bool m_bReclassify = false;
  int m_nLastGroup = -1;
  static int s_nSize;  // the size of the next dialog

 protected:
  DWORD m_dwInFlags = 0;
  char** m_ppHistory = nullptr;
  char** m_ppItems = nullptr;
  char** m_ppSearch = nullptr;
  const char* m_pszText = nullptr;

  CString ComboText(bool preferSelection) const;
  void SetComboText(const char* text);
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void Finish(INT_PTR marker);
  void InputChanged(bool chosen);
  void Layout(bool group);

  afx_msg void OnInputEdited() { InputChanged(false); }
  afx_msg void OnInputChosen() { InputChanged(true); }
  afx_msg void OnKindOrSize(UINT nID);
  afx_msg void OnOptions(UINT nID);
  afx_msg void OnListChanged() { OnOptions(0); }
  afx_msg void OnFindNext() { Finish(0x8000); }
  afx_msg void OnAdd();
  afx_msg void OnDelete();
  afx_msg void OnDeleteAll();
  afx_msg void OnUp() { MoveItem(-1); }
  afx_msg void OnDown() { MoveItem(1); }
  afx_msg void OnItemDoubleClick();
  void MoveItem(int step);
  DECLARE_MESSAGE_MAP()
};
