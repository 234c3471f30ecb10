#include "app/regfile/regfilewriter.h"

#include <vector>

#include "app/regfile/regfileparse.h"
#include "app/regfile/regfileroots.h"
#include "app/regvalues.h"

namespace {
const char kUnicodeHeader[] = "Windows Registry Editor Version 5.00";
const char kAnsiHeader[] = "REGEDIT4";
const UINT kAnsiCodePage = 1252;
const size_t kLineBreakAt = 77;  // a hex line this long after a comma continues on the next
const size_t kFlushAt = 64 * 1024;
const DWORD kMaxValueName = 16384;

// Whether code page 1252 gives back exactly these 16-bit units.
bool Carries1252(const wchar_t* p, size_t n, std::string& narrow, std::wstring& back) {
  if (n == 0) return true;
  int cb = WideCharToMultiByte(kAnsiCodePage, 0, p, (int)n, nullptr, 0, nullptr, nullptr);
  if (cb <= 0) return false;
  narrow.resize(cb);
  WideCharToMultiByte(kAnsiCodePage, 0, p, (int)n, &narrow[0], cb, nullptr, nullptr);
  int cch = MultiByteToWideChar(kAnsiCodePage, 0, narrow.data(), cb, nullptr, 0);
  back.resize(cch > 0 ? cch : 0);
  if (cch > 0) MultiByteToWideChar(kAnsiCodePage, 0, narrow.data(), cb, &back[0], cch);
  return back.size() == n && back.compare(0, n, p, n) == 0;
}

// A REG_SZ the text form keeps whole: an even size ending in its only NUL.
bool IsRegularString(const BYTE* pData, DWORD cb) {
  if (cb < 2 || (cb & 1)) return false;
  const wchar_t* p = (const wchar_t*)pData;
  size_t n = cb / 2;
  if (p[n - 1] != 0) return false;
  for (size_t i = 0; i + 1 < n; ++i)
    if (p[i] == 0) return false;
  return true;
}

// The key of a path: its root and the rest; false when no root starts it.
bool SplitKeyPath(const char* pszKeyPath, HKEY* phRoot, std::wstring* pSub, const wchar_t** ppszLong) {
  std::wstring path = RegFileWiden(pszKeyPath);
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  size_t nSkip = 0;
  *phRoot = RegFileParseRoot(path.c_str(), path.size(), ppszLong, &nSkip);
  if (!*phRoot) return false;
  *pSub = path.substr(nSkip);
  return true;
}

// Opens the key of a path for reading; its long root name and the rest of
// the path come back for the file's key lines (either may be null).
LONG OpenKeyPath(const char* pszKeyPath, HKEY* phKey, std::wstring* pSub = nullptr,
                 const wchar_t** ppszLong = nullptr) {
  HKEY hRoot = nullptr;
  std::wstring sub;
  const wchar_t* pszLong = nullptr;
  if (!SplitKeyPath(pszKeyPath, &hRoot, &sub, &pszLong)) return ERROR_BAD_PATHNAME;
  LONG err = RegOpenKeyExW(hRoot, sub.empty() ? nullptr : sub.c_str(), 0, KEY_READ | kRegFileView, phKey);
  if (pSub) *pSub = sub;
  if (ppszLong) *ppszLong = pszLong;
  return err;
}

// Buffers for a key's values, grown as a key needs them.
class CValueReader {
 public:
  CValueReader() : m_name(kMaxValueName + 1), m_data(4096) {}

  // Calls fn(name, cchName, type, data, cb) for each value of the key until
  // it returns false; the number of subkeys.
  template <class F>
  DWORD ForEach(HKEY hKey, F fn) {
    // The counts in one call spare the enumerations their failing last call.
    DWORD nSubKeys = 0, nValues = 0, cbMaxData = 0;
    if (RegQueryInfoKeyW(hKey, nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, &nValues, nullptr, &cbMaxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
      return 0;
    if (cbMaxData + 2 > m_data.size()) m_data.resize(cbMaxData + 2);
    for (DWORD i = 0; i < nValues; ++i) {
      DWORD cchName = kMaxValueName + 1, cb = (DWORD)m_data.size(), type = 0;
      LONG err = RegEnumValueW(hKey, i, &m_name[0], &cchName, nullptr, &type, m_data.data(), &cb);
      if (err == ERROR_MORE_DATA) {  // grown since the count
        m_data.resize(cb + 2);
        --i;
        continue;
      }
      if (err != ERROR_SUCCESS || !fn(&m_name[0], cchName, type, m_data.data(), cb)) break;
    }
    return nSubKeys;
  }

 private:
  std::vector<wchar_t> m_name;
  std::vector<BYTE> m_data;
};

// Calls fn(hSub, name, cchName) for each of the first nSubKeys subkeys that
// opens, until it returns false.
template <class F>
void ForEachSubkey(HKEY hKey, DWORD nSubKeys, F fn) {
  wchar_t szSub[256];
  for (DWORD i = 0; i < nSubKeys; ++i) {
    DWORD cch = 256;
    LONG err = RegEnumKeyExW(hKey, i, szSub, &cch, nullptr, nullptr, nullptr, nullptr);
    if (err == ERROR_MORE_DATA) continue;  // longer than a key name may be: skip it
    if (err != ERROR_SUCCESS) break;
    HKEY hSub = nullptr;
    if (RegOpenKeyExW(hKey, szSub, 0, KEY_READ | kRegFileView, &hSub) != ERROR_SUCCESS) continue;
    bool bGoOn = fn(hSub, szSub, cch);
    RegCloseKey(hSub);
    if (!bGoOn) break;
  }
}

class CRegFileWriter {
 public:
  CRegFileWriter(int nFormat, volatile LONG* pCancel, HANDLE hFile, std::string* pOut)
      : m_bAnsi(nFormat == kRegFileAnsi), m_pCancel(pCancel), m_hFile(hFile), m_pOut(pOut) {}

  LONG Run(const char* pszKeyPath) {
    std::wstring sub;
    const wchar_t* pszLong = nullptr;
    HKEY hKey = nullptr;
    LONG err = OpenKeyPath(pszKeyPath, &hKey, &sub, &pszLong);
    if (err != ERROR_SUCCESS) return err;
    std::string header = RegFileHeader(m_bAnsi ? kRegFileAnsi : kRegFileUnicode);
    WriteBytes(header.data(), header.size());
    m_text += L"\r\n";
    std::wstring full = pszLong;
    if (!sub.empty()) full += L"\\" + sub;
    WriteKey(hKey, full);
    RegCloseKey(hKey);
    Flush();
    return m_err;
  }

 private:
  bool Cancelled() {
    if (m_pCancel && *m_pCancel && m_err == ERROR_SUCCESS) m_err = ERROR_CANCELLED;
    return m_err != ERROR_SUCCESS;
  }

  void WriteKey(HKEY hKey, std::wstring& path) {
    if (Cancelled()) return;
    m_text += L'[';
    m_text += path;
    m_text += L"]\r\n";
    DWORD nSubKeys =
        m_values.ForEach(hKey, [&](const wchar_t* pszName, DWORD cchName, DWORD type, const BYTE* pData, DWORD cb) {
          if (!NameFits(pszName, cchName)) return false;
          WriteValue(pszName, cchName, type, pData, cb);
          if (m_text.size() >= kFlushAt) Flush();
          return true;
        });
    if (m_err != ERROR_SUCCESS) return;
    m_text += L"\r\n";
    ForEachSubkey(hKey, nSubKeys, [&](HKEY hSub, const wchar_t* pszName, DWORD cch) {
      if (!NameFits(pszName, cch)) return false;
      size_t nOld = path.size();
      path += L'\\';
      path.append(pszName, cch);
      WriteKey(hSub, path);
      path.resize(nOld);
      return !Cancelled();
    });
  }

  // A name the ANSI format cannot write would name another key or value.
  bool NameFits(const wchar_t* p, size_t n) {
    if (!m_bAnsi || Carries1252(p, n, m_narrow, m_back)) return true;
    if (m_err == ERROR_SUCCESS) m_err = ERROR_NO_UNICODE_TRANSLATION;
    return false;
  }

  void AppendQuoted(const wchar_t* psz, size_t n) {
    m_text += L'"';
    for (size_t i = 0; i < n; ++i) {
      wchar_t c = psz[i];
      switch (c) {
        case L'\\':
          m_text += L"\\\\";
          break;
        case L'"':
          m_text += L"\\\"";
          break;
        case L'\n':
          m_text += L"\\n";
          break;
        case L'\r':
          m_text += L"\\r";
          break;
        default:
          m_text += c;
      }
    }
    m_text += L'"';
  }

  void WriteValue(const wchar_t* pszName, DWORD cchName, DWORD type, const BYTE* pData, DWORD cb) {
    // Text the ANSI format cannot carry (odd size, characters outside code
    // page 1252) goes as the bytes the registry holds, marked for the reader.
    bool bAnsiText = m_bAnsi && IsRegTextType(type);
    bool bNarrow = bAnsiText && !(cb & 1) && Carries1252((const wchar_t*)pData, cb / 2, m_narrow, m_back);
    if (bAnsiText && !bNarrow) {
      m_text += (const wchar_t*)kRegFileStoredBytesMark;
      m_text += L"\r\n";
    }
    size_t nLineStart = m_text.size();
    if (cchName == 0)
      m_text += L'@';
    else
      AppendQuoted(pszName, cchName);
    m_text += L'=';
    if (type == REG_SZ && IsRegularString(pData, cb) && (!bAnsiText || bNarrow)) {
      AppendQuoted((const wchar_t*)pData, cb / 2 - 1);
    } else if (type == REG_DWORD && cb == 4) {
      wchar_t sz[16];
      DWORD dw;
      memcpy(&dw, pData, 4);
      wsprintfW(sz, L"dword:%08x", dw);
      m_text += sz;
    } else {
      if (type == REG_BINARY) {
        m_text += L"hex:";
      } else {
        wchar_t sz[24];
        wsprintfW(sz, L"hex(%x):", type);
        m_text += sz;
      }
      if (bNarrow)  // the ANSI format holds text types in 8 bits
        AppendHex((const BYTE*)m_narrow.data(), cb ? (DWORD)m_narrow.size() : 0, m_text.size() - nLineStart);
      else
        AppendHex(pData, cb, m_text.size() - nLineStart);
    }
    m_text += L"\r\n";
  }

  void AppendHex(const BYTE* p, DWORD cb, size_t nLine) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    for (DWORD i = 0; i < cb; ++i) {
      m_text += kDigits[p[i] >> 4];
      m_text += kDigits[p[i] & 15];
      if (i + 1 == cb) break;
      m_text += L',';
      nLine += 3;
      if (nLine >= kLineBreakAt) {
        m_text += L"\\\r\n  ";
        nLine = 2;
      }
    }
  }

  void Flush() {
    if (m_text.empty()) return;
    if (m_bAnsi) {
      int n = WideCharToMultiByte(kAnsiCodePage, 0, m_text.data(), (int)m_text.size(), nullptr, 0, nullptr, nullptr);
      m_narrow.resize(n);
      WideCharToMultiByte(kAnsiCodePage, 0, m_text.data(), (int)m_text.size(), &m_narrow[0], n, nullptr, nullptr);
      WriteBytes(m_narrow.data(), m_narrow.size());
    } else {
      WriteBytes(m_text.data(), m_text.size() * sizeof(wchar_t));
    }
    m_text.clear();
  }

  void WriteBytes(const void* p, size_t cb) {
    if (m_err != ERROR_SUCCESS && m_err != ERROR_CANCELLED) return;
    if (m_pOut) {
      m_pOut->append((const char*)p, cb);
      return;
    }
    DWORD written = 0;
    if (!WriteFile(m_hFile, p, (DWORD)cb, &written, nullptr) || written != cb)
      m_err = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  }

  bool m_bAnsi;
  volatile LONG* m_pCancel;
  HANDLE m_hFile;
  std::string* m_pOut;
  LONG m_err = ERROR_SUCCESS;
  std::wstring m_text;
  std::string m_narrow;
  std::wstring m_back;
  CValueReader m_values;
};

// Walks a subtree for what RegFileScan reports.
class CRegFileScanner {
 public:
  explicit CRegFileScanner(volatile LONG* pCancel) : m_pCancel(pCancel) {}

  LONG Scan(HKEY hKey) {
    if (m_pCancel && *m_pCancel) return ERROR_CANCELLED;
    DWORD nSubKeys =
        m_values.ForEach(hKey, [&](const wchar_t* pszName, DWORD cchName, DWORD type, const BYTE* pData, DWORD cb) {
          if (!Carries1252(pszName, cchName, m_narrow, m_back)) m_nFlags |= kRegFileNotAnsiName;
          if ((type == REG_SZ && !IsRegularString(pData, cb)) || (type == REG_DWORD && cb != 4))
            m_nFlags |= kRegFileIrregular;
          if (IsRegTextType(type) && ((cb & 1) || !Carries1252((const wchar_t*)pData, cb / 2, m_narrow, m_back)))
            m_nFlags |= kRegFileNotAnsiText;
          return true;
        });
    LONG err = ERROR_SUCCESS;
    ForEachSubkey(hKey, nSubKeys, [&](HKEY hSub, const wchar_t* pszName, DWORD cch) {
      if (!Carries1252(pszName, cch, m_narrow, m_back)) m_nFlags |= kRegFileNotAnsiName;
      err = Scan(hSub);
      return err == ERROR_SUCCESS;
    });
    return err;
  }

  int m_nFlags = 0;

 private:
  volatile LONG* m_pCancel;
  CValueReader m_values;
  std::string m_narrow;
  std::wstring m_back;
};

}  // namespace

std::string RegFileHeader(int nFormat) {
  if (nFormat == kRegFileAnsi) return std::string(kAnsiHeader) + "\r\n";
  std::string out("\xFF\xFE", 2);
  for (const char* p = kUnicodeHeader; *p; ++p) out += *p, out += '\0';
  out.append("\r\0\n\0", 4);
  return out;
}

LONG RegFileExportToBuffer(std::string& out, const char* pszKeyPath, int nFormat, volatile LONG* pCancel) {
  out.clear();
  CRegFileWriter writer(nFormat, pCancel, nullptr, &out);
  LONG err = writer.Run(pszKeyPath);
  if (err != ERROR_SUCCESS) out.clear();
  return err;
}

LONG RegFileExport(const char* pszFile, const char* pszKeyPath, int nFormat, volatile LONG* pCancel) {
  HANDLE hFile = CreateFileA(pszFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return (LONG)GetLastError();
  CRegFileWriter writer(nFormat, pCancel, hFile, nullptr);
  LONG err = writer.Run(pszKeyPath);
  CloseHandle(hFile);
  // Half a file would import as if it were all of the key.
  if (err != ERROR_SUCCESS) DeleteFileA(pszFile);
  return err;
}

LONG RegFileScan(const char* pszKeyPath, int* pnFlags, volatile LONG* pCancel) {
  *pnFlags = 0;
  HKEY hKey = nullptr;
  LONG err = OpenKeyPath(pszKeyPath, &hKey);
  if (err != ERROR_SUCCESS) return err;
  CRegFileScanner scanner(pCancel);
  err = scanner.Scan(hKey);
  RegCloseKey(hKey);
  *pnFlags = scanner.m_nFlags;
  return err;
}
