#include "app/regfile/regfilereader.h"

#include <string>
#include <vector>

#include "app/regfile/regfileparse.h"
#include "app/regfile/regfileroots.h"

namespace {
const wchar_t* Wide(const std::u16string& s) { return (const wchar_t*)s.c_str(); }

LONG DeleteKeyTree(HKEY root, const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  std::wstring parent = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  HKEY hParent = nullptr;
  LONG err =
      RegOpenKeyExW(root, parent.empty() ? nullptr : parent.c_str(), 0, KEY_READ | KEY_WRITE | kRegFileView, &hParent);
  if (err == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;  // nothing to delete
  if (err != ERROR_SUCCESS) return err;
  HKEY hKey = nullptr;
  err = RegOpenKeyExW(hParent, name.c_str(), 0, KEY_READ | KEY_WRITE | kRegFileView, &hKey);
  if (err == ERROR_SUCCESS) {
    err = RegDeleteTreeW(hKey, nullptr);
    RegCloseKey(hKey);
    if (err == ERROR_SUCCESS) err = RegDeleteKeyExW(hParent, name.c_str(), kRegFileView, 0);
  }
  RegCloseKey(hParent);
  return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

// The keys open along the path of the last key of an import: each new key
// is made from its nearest open ancestor, mostly its parent, so that the
// registry walks one name and every key is opened once.
class CKeyChain {
 public:
  ~CKeyChain() { Clear(); }

  LONG Create(int nRoot, const std::u16string& path) {
    if (nRoot != m_nRoot) Clear();
    m_nRoot = nRoot;
    // Drop what is no ancestor of the path.
    while (!m_keys.empty()) {
      size_t n = m_keys.back().length;
      if (n < path.size() && path[n] == u'\\' && path.compare(0, n, m_path, 0, n) == 0) break;
      RegCloseKey(m_keys.back().key);
      m_keys.pop_back();
    }
    size_t skip = m_keys.empty() ? 0 : m_keys.back().length + 1;
    HKEY hFrom = m_keys.empty() ? RegFileRootKey(nRoot) : m_keys.back().key;
    HKEY hNew = nullptr;
    LONG err = RegCreateKeyExW(hFrom, Wide(path) + skip, 0, nullptr, 0, KEY_READ | KEY_WRITE | kRegFileView, nullptr,
                               &hNew, nullptr);
    if (err != ERROR_SUCCESS) return err;
    m_path = path;
    m_keys.push_back({path.size(), hNew});
    return ERROR_SUCCESS;
  }

  HKEY Top() const { return m_keys.back().key; }

  void Clear() {
    for (const Open& k : m_keys) RegCloseKey(k.key);
    m_keys.clear();
    m_nRoot = -1;
  }

 private:
  struct Open {
    size_t length;  // of its path, a prefix of m_path
    HKEY key;
  };
  std::vector<Open> m_keys;
  std::u16string m_path;
  int m_nRoot = -1;
};
}  // namespace

LONG RegFileApply(const std::vector<RegFileOp>& ops, volatile LONG* pCancel) {
  LONG first = ERROR_SUCCESS;
  CKeyChain chain;
  bool bKeyFailed = true;  // no key yet, or the last one could not be made
  std::vector<BYTE> scratch;
  for (const RegFileOp& op : ops) {
    if (pCancel && *pCancel) {
      first = ERROR_CANCELLED;
      break;
    }
    LONG err = ERROR_SUCCESS;
    switch (op.kind) {
      case kRegFileOpKey:
        err = chain.Create(op.root, op.path);
        bKeyFailed = err != ERROR_SUCCESS;
        break;
      case kRegFileOpDeleteKey:
        chain.Clear();
        bKeyFailed = true;  // no values follow a deleted key
        err = DeleteKeyTree(RegFileRootKey(op.root), std::wstring(Wide(op.path), op.path.size()));
        break;
      case kRegFileOpValue: {
        if (bKeyFailed) continue;
        // Text without its terminator: a non-NUL byte after the data keeps
        // the system from adding one.
        scratch.assign(op.data.begin(), op.data.end());
        scratch.push_back(0xFF);
        scratch.push_back(0xFF);
        err = RegSetValueExW(chain.Top(), op.path.empty() ? nullptr : Wide(op.path), 0, op.type, scratch.data(),
                             (DWORD)op.data.size());
        break;
      }
      case kRegFileOpDeleteValue:
        if (bKeyFailed) continue;
        err = RegDeleteValueW(chain.Top(), op.path.empty() ? nullptr : Wide(op.path));
        if (err == ERROR_FILE_NOT_FOUND) err = ERROR_SUCCESS;
        break;
    }
    if (err != ERROR_SUCCESS && first == ERROR_SUCCESS) first = err;
  }
  return first;
}

namespace {
LONG ReadWholeFile(const char* pszFile, std::string& bytes) {
  HANDLE hFile =
      CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return (LONG)GetLastError();
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(hFile, &size) || size.QuadPart > 0x7FFFFFF0) {
    CloseHandle(hFile);
    return ERROR_FILE_TOO_LARGE;
  }
  bytes.assign((size_t)size.QuadPart, '\0');
  DWORD read = 0;
  BOOL ok = bytes.empty() || ReadFile(hFile, &bytes[0], (DWORD)bytes.size(), &read, nullptr);
  LONG err = ok ? ERROR_SUCCESS : (LONG)GetLastError();
  CloseHandle(hFile);
  bytes.resize(read);
  return err;
}
}  // namespace

LONG RegFileImportBuffer(const void* pData, size_t cb, int* pnErrorLine, volatile LONG* pCancel) {
  std::vector<RegFileOp> ops;
  if (!RegFileParse(pData, cb, ops, pnErrorLine)) return kRegFileSyntaxError;
  return RegFileApply(ops, pCancel);
}

LONG RegFileImport(const char* pszFile, int* pnErrorLine, volatile LONG* pCancel) {
  if (pnErrorLine) *pnErrorLine = 0;
  std::string bytes;
  LONG err = ReadWholeFile(pszFile, bytes);
  if (err != ERROR_SUCCESS) return err;
  return RegFileImportBuffer(bytes.data(), bytes.size(), pnErrorLine, pCancel);
}

LONG RegFileCheck(const char* pszFile, int* pnErrorLine) {
  if (pnErrorLine) *pnErrorLine = 0;
  std::string bytes;
  LONG err = ReadWholeFile(pszFile, bytes);
  if (err != ERROR_SUCCESS) return err;
  std::vector<RegFileOp> ops;
  return RegFileParse(bytes.data(), bytes.size(), ops, pnErrorLine) ? ERROR_SUCCESS : kRegFileSyntaxError;
}
