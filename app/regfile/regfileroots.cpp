#include "app/regfile/regfileroots.h"

#include "app/regfile/regfileparse.h"

namespace {
const HKEY kRootKeys[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG};
}  // namespace

HKEY RegFileParseRoot(const wchar_t* pszPath, size_t nLength, const wchar_t** ppszLongName, size_t* pnSkip) {
  const char16_t* pszLong = nullptr;
  int root = RegFileFindRoot((const char16_t*)pszPath, nLength, &pszLong, pnSkip);
  if (root < 0) return nullptr;
  if (ppszLongName) *ppszLongName = (const wchar_t*)pszLong;
  return kRootKeys[root];
}

HKEY RegFileRootKey(int nRoot) { return kRootKeys[nRoot]; }

std::wstring RegFileWiden(const char* psz, UINT codePage) {
  std::wstring out;
  if (!psz || !*psz) return out;
  int n = MultiByteToWideChar(codePage, 0, psz, -1, nullptr, 0);
  if (n <= 1) return out;
  out.resize(n - 1);
  MultiByteToWideChar(codePage, 0, psz, -1, &out[0], n);
  return out;
}
