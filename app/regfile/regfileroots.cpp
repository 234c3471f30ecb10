#include "app/regfile/regfileroots.h"

namespace {
struct RootName {
  const wchar_t* longName;
  const wchar_t* shortName;
  HKEY root;
};
const RootName kRoots[] = {
    {L"HKEY_LOCAL_MACHINE", L"HKLM", HKEY_LOCAL_MACHINE},   {L"HKEY_CURRENT_USER", L"HKCU", HKEY_CURRENT_USER},
    {L"HKEY_CLASSES_ROOT", L"HKCR", HKEY_CLASSES_ROOT},     {L"HKEY_USERS", L"HKU", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", L"HKCC", HKEY_CURRENT_CONFIG},
};

bool StartsWithName(const wchar_t* psz, size_t nLength, const wchar_t* pszName, size_t* pnSkip) {
  size_t n = wcslen(pszName);
  if (nLength < n || _wcsnicmp(psz, pszName, n) != 0) return false;
  if (nLength == n) {
    *pnSkip = n;
    return true;
  }
  if (psz[n] != L'\\') return false;
  *pnSkip = n + 1;
  return true;
}
}  // namespace

HKEY RegFileParseRoot(const wchar_t* pszPath, size_t nLength, const wchar_t** ppszLongName, size_t* pnSkip) {
  for (const RootName& r : kRoots) {
    if (StartsWithName(pszPath, nLength, r.longName, pnSkip) || StartsWithName(pszPath, nLength, r.shortName, pnSkip)) {
      if (ppszLongName) *ppszLongName = r.longName;
      return r.root;
    }
  }
  return nullptr;
}

std::wstring RegFileWiden(const char* psz, UINT codePage) {
  std::wstring out;
  if (!psz || !*psz) return out;
  int n = MultiByteToWideChar(codePage, 0, psz, -1, nullptr, 0);
  if (n <= 1) return out;
  out.resize(n - 1);
  MultiByteToWideChar(codePage, 0, psz, -1, &out[0], n);
  return out;
}
