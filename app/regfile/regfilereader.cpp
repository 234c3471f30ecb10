#include "app/regfile/regfilereader.h"

#include <string>
#include <vector>

#include "app/regfile/regfileroots.h"

namespace {
const wchar_t kUnicodeHeader[] = L"Windows Registry Editor Version 5.00";
const wchar_t kAnsiHeader[] = L"REGEDIT4";
const UINT kAnsiCodePage = 1252;

enum OpKind { kOpKey, kOpDeleteKey, kOpValue, kOpDeleteValue };

struct RegOp {
  OpKind kind;
  HKEY root;
  std::wstring path;  // key operations: the path below the root; values: the name
  DWORD type;
  std::vector<BYTE> data;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

bool StartsNoCase(const std::wstring& s, size_t pos, const wchar_t* psz) {
  size_t n = wcslen(psz);
  return s.size() - pos >= n && _wcsnicmp(s.c_str() + pos, psz, n) == 0;
}

class CRegFileParser {
 public:
  CRegFileParser(std::wstring& text, bool bAnsi, bool bCutChar = false)
      : m_text(text), m_bAnsi(bAnsi), m_bCutChar(bCutChar) {}

  // Fills m_ops; false with m_nErrorLine on a syntax error.
  bool Parse() {
    size_t pos = 0;
    m_ops.reserve(m_text.size() / 48);  // about one operation per line
    if (!NextLine(pos)) return Fail();
    std::wstring first = TrimRight(m_line);
    if (first != (m_bAnsi ? kAnsiHeader : kUnicodeHeader)) return Fail();
    bool bInKey = false, bSkipValues = false;
    while (NextLine(pos)) {
      size_t i = 0;
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i == m_line.size()) continue;
      if (m_line[i] == L';') {
        m_bStoredBytes = m_bAnsi && TrimRight(m_line.substr(i)) == kRegFileStoredBytesMark;
        continue;
      }
      if (m_line[i] == L'[') {
        if (!ParseKey(i)) return Fail();
        bSkipValues = m_ops.back().kind == kOpDeleteKey;
        m_bStoredBytes = false;
        bInKey = true;
        continue;
      }
      if (!bInKey) return Fail();
      if (!ParseValue(pos, i, bSkipValues)) return Fail();
      m_bStoredBytes = false;
    }
    // Half a character at the end: the file was cut short.
    return m_bCutChar ? Fail() : true;
  }

  std::vector<RegOp> m_ops;
  int m_nErrorLine = 0;

 private:
  bool Fail() {
    m_nErrorLine = m_nLine;
    return false;
  }

  static std::wstring TrimRight(const std::wstring& s) {
    size_t n = s.size();
    while (n && (IsBlank(s[n - 1]) || s[n - 1] == 0)) --n;
    return s.substr(0, n);
  }

  // The next physical line (CR LF, LF or CR ends it) into m_line;
  // m_bLineEnd tells whether a line end followed it.
  bool NextLine(size_t& pos) {
    if (pos >= m_text.size()) return false;
    size_t end = pos;
    while (end < m_text.size() && m_text[end] != L'\r' && m_text[end] != L'\n') ++end;
    m_line.assign(m_text, pos, end - pos);
    m_bLineEnd = end < m_text.size();
    if (end < m_text.size() && m_text[end] == L'\r') ++end;
    if (end < m_text.size() && m_text[end] == L'\n') ++end;
    pos = end;
    ++m_nLine;
    return true;
  }

  bool ParseKey(size_t i) {
    size_t close = m_line.rfind(L']');
    if (close == std::wstring::npos || close <= i) return false;
    for (size_t k = close + 1; k < m_line.size(); ++k) {
      if (m_line[k] == L';') break;
      if (!IsBlank(m_line[k])) return false;
    }
    ++i;
    bool bDelete = i < close && m_line[i] == L'-';
    if (bDelete) ++i;
    std::wstring path = m_line.substr(i, close - i);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    size_t nSkip = 0;
    HKEY root = RegFileParseRoot(path.c_str(), path.size(), nullptr, &nSkip);
    if (!root) return false;
    RegOp op;
    op.kind = bDelete ? kOpDeleteKey : kOpKey;
    op.root = root;
    op.path = path.substr(nSkip);
    op.type = 0;
    // The root itself cannot go.
    if (bDelete && op.path.empty()) return false;
    m_ops.push_back(std::move(op));
    return true;
  }

  // A quoted text at m_line[i] (the opening quote); i ends after the closing one.
  bool ParseQuoted(size_t& i, std::wstring& out) {
    ++i;
    for (; i < m_line.size(); ++i) {
      wchar_t c = m_line[i];
      if (c == L'"') {
        ++i;
        return true;
      }
      if (c == L'\\' && i + 1 < m_line.size()) {
        wchar_t n = m_line[++i];
        if (n == L'n')
          out += L'\n';
        else if (n == L'r')
          out += L'\r';
        else if (n == L'\\' || n == L'"')
          out += n;
        else
          out += L'\\', out += n;
        continue;
      }
      out += c;
    }
    return false;
  }

  static bool RestIsEmpty(const std::wstring& s, size_t i) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    return i == s.size() || s[i] == L';';
  }

  bool ParseValue(size_t& pos, size_t i, bool bSkip) {
    RegOp op;
    op.root = nullptr;
    op.type = 0;
    if (m_line[i] == L'@') {
      ++i;
    } else if (m_line[i] == L'"') {
      if (!ParseQuoted(i, op.path)) return false;
    } else {
      return false;
    }
    while (i < m_line.size() && IsBlank(m_line[i])) ++i;
    if (i == m_line.size() || m_line[i] != L'=') return false;
    ++i;
    while (i < m_line.size() && IsBlank(m_line[i])) ++i;
    if (i == m_line.size()) return false;
    wchar_t c = m_line[i];
    if (c == L'-') {
      if (!RestIsEmpty(m_line, i + 1)) return false;
      op.kind = kOpDeleteValue;
    } else if (c == L'"') {
      std::wstring text;
      if (!ParseQuoted(i, text) || !RestIsEmpty(m_line, i)) return false;
      op.kind = kOpValue;
      op.type = REG_SZ;
      op.data.assign((const BYTE*)text.c_str(), (const BYTE*)(text.c_str() + text.size() + 1));
    } else if (StartsNoCase(m_line, i, L"dword:")) {
      i += 6;
      DWORD dw = 0;
      int nDigits = 0;
      for (; i < m_line.size() && HexDigit(m_line[i]) >= 0; ++i, ++nDigits) dw = dw * 16 + HexDigit(m_line[i]);
      if (nDigits < 1 || nDigits > 8 || !RestIsEmpty(m_line, i)) return false;
      op.kind = kOpValue;
      op.type = REG_DWORD;
      op.data.assign((const BYTE*)&dw, (const BYTE*)&dw + 4);
    } else if (StartsNoCase(m_line, i, L"hex")) {
      i += 3;
      op.type = REG_BINARY;
      if (i < m_line.size() && m_line[i] == L'(') {
        ++i;
        DWORD type = 0;
        int nDigits = 0;
        for (; i < m_line.size() && HexDigit(m_line[i]) >= 0; ++i, ++nDigits) type = type * 16 + HexDigit(m_line[i]);
        if (nDigits < 1 || nDigits > 8 || i == m_line.size() || m_line[i] != L')') return false;
        ++i;
        op.type = type;
      }
      if (i == m_line.size() || m_line[i] != L':') return false;
      ++i;
      if (!ParseHex(pos, i, op.data)) return false;
      op.kind = kOpValue;
      if (m_bAnsi && !m_bStoredBytes && (op.type == REG_SZ || op.type == REG_EXPAND_SZ || op.type == REG_MULTI_SZ))
        Widen(op.data);
    } else {
      return false;
    }
    if (!bSkip) m_ops.push_back(std::move(op));
    return true;
  }

  // Byte list "xx,xx,..." from m_line[i]; a backslash at the end of a line
  // continues it on the next.
  // A list that the end of the file cuts off (after a comma, inside a
  // byte, on a continued line without its line end) is an error: the file
  // was cut short, and its last value would come in shortened.
  bool ParseHex(size_t& pos, size_t i, std::vector<BYTE>& out) {
    out.reserve((m_line.size() - i + 1) / 3);
    bool bContinued = false, bOpen = true, bShortByte = false;
    for (;;) {
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i == m_line.size() || m_line[i] == L';') {
        // A trailing comma is forgiven where the line ends.
        return m_bLineEnd || !(bContinued || bOpen || bShortByte);
      }
      wchar_t c = m_line[i];
      if (c == L'\\' && RestIsEmpty(m_line, i + 1)) {
        if (!m_bLineEnd || !NextLine(pos)) return false;
        bContinued = true;
        i = 0;
        continue;
      }
      int h = HexDigit(c);
      if (h < 0) return false;
      int v = h;
      ++i;
      bShortByte = true;
      if (i < m_line.size() && HexDigit(m_line[i]) >= 0) v = v * 16 + HexDigit(m_line[i++]), bShortByte = false;
      bOpen = false;
      out.push_back((BYTE)v);
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i < m_line.size() && m_line[i] == L',') {
        ++i;
        bOpen = true;
        bShortByte = false;
      } else if (i < m_line.size() && m_line[i] != L'\\' && m_line[i] != L';') {
        return false;
      }
    }
  }

  // 8-bit text of the ANSI format as the UTF-16 the registry keeps.
  static void Widen(std::vector<BYTE>& data) {
    if (data.empty()) return;
    int n = MultiByteToWideChar(kAnsiCodePage, 0, (const char*)data.data(), (int)data.size(), nullptr, 0);
    std::vector<BYTE> wide(n * sizeof(wchar_t));
    MultiByteToWideChar(kAnsiCodePage, 0, (const char*)data.data(), (int)data.size(), (wchar_t*)wide.data(), n);
    data.swap(wide);
  }

  std::wstring& m_text;
  bool m_bAnsi;
  bool m_bCutChar;
  std::wstring m_line;
  bool m_bLineEnd = false;
  bool m_bStoredBytes = false;  // the value line after the mark
  int m_nLine = 0;
};

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

LONG Apply(const std::vector<RegOp>& ops, volatile LONG* pCancel) {
  LONG first = ERROR_SUCCESS;
  HKEY hKey = nullptr;
  bool bKeyFailed = false;
  std::vector<BYTE> scratch;
  const RegOp* pPrevious = nullptr;  // the key hKey holds
  for (const RegOp& op : ops) {
    if (pCancel && *pCancel) {
      first = ERROR_CANCELLED;
      break;
    }
    LONG err = ERROR_SUCCESS;
    switch (op.kind) {
      case kOpKey: {
        // A subkey of the key before is made from its handle: a shorter walk.
        HKEY hFrom = op.root;
        const wchar_t* pszSub = op.path.c_str();
        if (hKey && pPrevious && pPrevious->root == op.root && op.path.size() > pPrevious->path.size() &&
            op.path[pPrevious->path.size()] == L'\\' &&
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
      case kOpDeleteKey:
        if (hKey) RegCloseKey(hKey), hKey = nullptr;
        pPrevious = nullptr;
        bKeyFailed = true;  // no values follow a deleted key
        err = DeleteKeyTree(op.root, op.path);
        break;
      case kOpValue: {
        if (bKeyFailed) continue;
        // Text without its terminator: a non-NUL byte after the data keeps
        // the system from adding one.
        scratch.assign(op.data.begin(), op.data.end());
        scratch.push_back(0xFF);
        scratch.push_back(0xFF);
        err = RegSetValueExW(hKey, op.path.empty() ? nullptr : op.path.c_str(), 0, op.type, scratch.data(),
                             (DWORD)op.data.size());
        break;
      }
      case kOpDeleteValue:
        if (bKeyFailed) continue;
        err = RegDeleteValueW(hKey, op.path.empty() ? nullptr : op.path.c_str());
        if (err == ERROR_FILE_NOT_FOUND) err = ERROR_SUCCESS;
        break;
    }
    if (err != ERROR_SUCCESS && first == ERROR_SUCCESS) first = err;
  }
  if (hKey) RegCloseKey(hKey);
  return first;
}
}  // namespace

namespace {
// Parses the bytes of a file; false with the line of the first error.
bool ParseBuffer(const void* pData, size_t cb, std::vector<RegOp>& ops, int* pnErrorLine) {
  const BYTE* p = (const BYTE*)pData;
  std::wstring text;
  bool bAnsi = false;
  bool bOddTail = false;  // a UTF-16 file cut inside a character
  if (cb >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
    text.assign((const wchar_t*)(p + 2), (cb - 2) / 2);
    bOddTail = cb & 1;
  } else {
    bAnsi = true;
    if (cb) {
      int n = MultiByteToWideChar(kAnsiCodePage, 0, (const char*)p, (int)cb, nullptr, 0);
      text.resize(n);
      MultiByteToWideChar(kAnsiCodePage, 0, (const char*)p, (int)cb, &text[0], n);
    }
  }
  CRegFileParser parser(text, bAnsi, bOddTail);
  if (!parser.Parse()) {
    if (pnErrorLine) *pnErrorLine = parser.m_nErrorLine;
    return false;
  }
  ops.swap(parser.m_ops);
  return true;
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
  if (pnErrorLine) *pnErrorLine = 0;
  std::vector<RegOp> ops;
  if (!ParseBuffer(pData, cb, ops, pnErrorLine)) return kRegFileSyntaxError;
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
  std::vector<RegOp> ops;
  return ParseBuffer(bytes.data(), bytes.size(), ops, pnErrorLine) ? ERROR_SUCCESS : kRegFileSyntaxError;
}
