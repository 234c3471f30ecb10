#include "mfc/resstring.h"

#include <cstring>

#include "mfc/globals.h"

bool AfxLoadString(CString& rString, UINT nID) {
  // The table holds UTF-16 texts of any length; a zero size gives a pointer
  // to the text itself.
  const wchar_t* pText = nullptr;
  int n = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&pText), 0);
  if (n <= 0 && AfxGetResourceHandle() != AfxGetInstanceHandle())
    n = ::LoadStringW(AfxGetInstanceHandle(), nID, reinterpret_cast<LPWSTR>(&pText), 0);
  if (n <= 0 || !pText) {
    rString.Empty();
    return false;
  }
  int nBytes = ::WideCharToMultiByte(CP_ACP, 0, pText, n, nullptr, 0, nullptr, nullptr);
  ::WideCharToMultiByte(CP_ACP, 0, pText, n, rString.GetBuffer(nBytes), nBytes, nullptr, nullptr);
  rString.ReleaseBuffer(nBytes);
  return true;
}

BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep) {
  rString.Empty();
  if (!lpszFullString) return FALSE;
  const char* p = lpszFullString;
  for (; iSubString > 0; --iSubString) {
    p = std::strchr(p, chSep);
    if (!p) return FALSE;
    ++p;
  }
  const char* end = std::strchr(p, chSep);
  rString = CString(p, end ? (int)(end - p) : (int)std::strlen(p));
  return TRUE;
}
