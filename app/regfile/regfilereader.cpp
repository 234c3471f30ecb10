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

LONG Apply(const std::vector<RegFileOp>& ops, volatile LONG* pCancel) {
  LONG first = ERROR_SUCCESS;
  HKEY hKey = nullptr;
  bool bKeyFailed = false;
  std::vector<BYTE> scratch;
  const RegFileOp* pPrevious = nullptr;  // the key hKey holds
  for (const RegFileOp& op : ops) {
    if (pCancel && *pCancel) {
      first = ERROR_CANCELLED;
      break;
    }
    LONG err = ERROR_SUCCESS;
    switch (op.kind) {
      case kRegFileOpKey: {
        // A subkey of the key before is made from its handle: a shorter walk.
        HKEY hFrom = RegFileRootKey(op.root);
        const wchar_t* pszSub = Wide(op.path);
        if (hKey && pPrevious && pPrevious->root == op.root && op.path.size() > pPrevious->path.size() &&
            op.path[pPrevious->path.size()] == u'\\' &&
            op.path.compare(0, pPrevious->path.size(), pPrevious->path) == 0) {
          hFrom = hKey;
          pszSub += pPrevious->path.size() + 1;
        }
        HKEY hNew = nullptr;
        err =
            RegCreateKeyExW(hFrom, pszSub, 0, nullptr, 0, KEY_READ | KEY_WRITE | kRegFileView, nullptr, &hNew, nullptr);
        if (hKey) RegCloseKey(hKey);
        hKey = hNew;
        bKeyFailed = err != ERROR_SUCCESS;
        pPrevious = bKeyFailed ? nullptr : &op;
        break;
      }
      case kRegFileOpDeleteKey:
        if (hKey) RegCloseKey(hKey), hKey = nullptr;
        pPrevious = nullptr;
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
        err = RegSetValueExW(hKey, op.path.empty() ? nullptr : Wide(op.path), 0, op.type, scratch.data(),
                             (DWORD)op.data.size());
        break;
      }
      case kRegFileOpDeleteValue:
        if (bKeyFailed) continue;
        err = RegDeleteValueW(hKey, op.path.empty() ? nullptr : Wide(op.path));
        if (err == ERROR_FILE_NOT_FOUND) err = ERROR_SUCCESS;
        break;
    }
    if (err != ERROR_SUCCESS && first == ERROR_SUCCESS) first = err;
  }
  if (hKey) RegCloseKey(hKey);
  return first;
}

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
  return Apply(ops, pCancel);
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
