// Combo-box histories in the registry.
#include "ui/combohistory.h"

#include <cstring>
#include <string>
#include <vector>

#include "system/regkeystack.h"
#include "ui/windowutil.h"

namespace {

const char kMarker = 0x02;  // first byte of the entry holding the edit text
const int kMaxEntries = 16;
const int kTextSize = 2048;

bool OpenHistoryKey(CRegKeyStack& key, const char* pszKeyPath, DWORD dwMode) {
  if (pszKeyPath && *pszKeyPath == '#') {
    if (!key.Open(HKEY_CURRENT_USER, nullptr, dwMode)) return false;
    return !pszKeyPath[1] || key.OpenSubKey(pszKeyPath + 1);
  }
  return key.Open(HKEY_CURRENT_USER, pszKeyPath, dwMode);
}

HWND ComboOf(CWnd* pDialog, int nID) { return pDialog ? ::GetDlgItem(pDialog->GetSafeHwnd(), nID) : nullptr; }

std::string ItemText(HWND combo, int index) {
  int len = (int)SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (len <= 0) return std::string();
  std::vector<char> text(len + 1);
  if (SendMessageA(combo, CB_GETLBTEXT, index, (LPARAM)text.data()) < 0) return std::string();
  return text.data();
}

}  // namespace

int LoadComboHistoryFromKey(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key, char* pszText,
                            int nTextSize) {
  if (key.m_nDepth < 0) return 0;
  HWND combo = ComboOf(pDialog, nID);
  if (!combo || !pszValue) return 0;
  while (*pszValue == '*') ++pszValue;  // a saving name given as it stands
  bool bMarked = *pszValue == '#';
  if (bMarked) ++pszValue;
  char* pData = nullptr;
  if (!key.QueryValueAlloc(&pData, pszValue, REG_MULTI_SZ)) return 0;

  const char* pStart = pData;
  if (bMarked) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    if (*pData == kMarker) {
      SetWindowTextA(combo, pData + 1);
      pStart = pData + std::strlen(pData) + 1;
    }
  } else {
    while (SendMessageA(combo, CB_DELETESTRING, 0, 0) >= 0) {
    }
  }
  if (pszText && nTextSize > 0 && *pData) {
    const char* pFirst = pData + (*pData == kMarker ? 1 : 0);
    size_t n = std::strlen(pFirst);
    if (n > (size_t)nTextSize - 1) n = nTextSize - 1;
    std::memcpy(pszText, pFirst, n);
    pszText[n] = 0;
  }

  // A marked list read plainly: its first entry is the edit text, listed
  // once. Empty entries are left out, as an empty one would end the list.
  std::string list;
  const char* pFirst = pStart;
  if (*pStart == kMarker) ++pFirst;
  for (const char* p = pStart; *p; p += std::strlen(p) + 1) {
    const char* pEntry = p == pStart ? pFirst : p;
    if (!*pEntry || (p != pStart && pFirst != pStart && std::strcmp(pEntry, pFirst) == 0)) continue;
    list.append(pEntry, std::strlen(pEntry) + 1);
  }
  list.push_back(0);
  delete[] pData;
  return FillListFromString(combo, list.data(), 0, FALSE);
}

int LoadComboHistoryFromKeyStr(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key, CString& strText) {
  int n = LoadComboHistoryFromKey(pDialog, nID, pszValue, key, strText.GetBuffer(kTextSize), kTextSize);
  strText.ReleaseBuffer();
  return n;
}

int LoadComboHistory(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath, char* pszText,
                     int nTextSize) {
  CRegKeyStack key;
  if (!OpenHistoryKey(key, pszKeyPath, REGKS_READ)) return 0;
  return LoadComboHistoryFromKey(pDialog, nID, pszValue, key, pszText, nTextSize);
}

int LoadComboHistoryStr(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath, CString& strText) {
  int n = LoadComboHistory(pDialog, nID, pszValue, pszKeyPath, strText.GetBuffer(kTextSize), kTextSize);
  strText.ReleaseBuffer();
  return n;
}

int SaveComboHistoryToKey(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key) {
  if (key.m_nDepth < 0) return 0;
  HWND combo = ComboOf(pDialog, nID);
  if (!combo || !pszValue) return 0;
  bool bKeepEmpty = *pszValue == '*';
  if (bKeepEmpty) ++pszValue;
  bool bMarked = *pszValue == '#' || bKeepEmpty;
  if (*pszValue == '#') ++pszValue;

  char szText[kTextSize] = "";
  GetWindowTextA(combo, szText, sizeof szText);
  std::string text = szText;
  int sel = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (text.empty() && sel >= 0) text = ItemText(combo, sel);
  if (text.empty() && !bKeepEmpty) return 0;

  // An empty text is no item: an empty entry would end the REG_MULTI_SZ.
  std::string items;
  int entries = 0;
  if (!text.empty()) {
    items.append(text.c_str(), text.size() + 1);
    ++entries;
  }
  int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count && entries < kMaxEntries; ++i) {
    std::string item = ItemText(combo, i);
    if (item.empty() || item == text) continue;
    items.append(item.c_str(), item.size() + 1);
    ++entries;
  }
  items.push_back(0);

  // A typed text shows at the top of the list at once.
  if (sel < 0) FillListFromString(combo, items.data(), 0, TRUE);

  std::string list;
  if (bMarked) {
    list.push_back(kMarker);
    list.append(text.c_str(), text.size() + 1);
  }
  list += items;
  return key.SetMultiString(list.data(), pszValue) ? entries : 0;
}

int SaveComboHistory(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath) {
  CRegKeyStack key;
  if (!OpenHistoryKey(key, pszKeyPath, REGKS_CREATE)) return 0;
  return SaveComboHistoryToKey(pDialog, nID, pszValue, key);
}
