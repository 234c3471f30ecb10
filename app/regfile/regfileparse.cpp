#include "app/regfile/regfileparse.h"

namespace {
const char16_t kUnicodeHeader[] = u"Windows Registry Editor Version 5.00";
const char16_t kAnsiHeader[] = u"REGEDIT4";
const uint32_t kTypeSz = 1, kTypeExpandSz = 2, kTypeBinary = 3, kTypeDword = 4, kTypeMultiSz = 7;

// Code page 1252 at 0x80..0x9F; the other bytes are their own code points.
const char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t From1252(uint8_t b) { return b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : (char16_t)b; }

struct RootName {
  const char16_t* longName;
  const char16_t* shortName;
};
const RootName kRoots[] = {
    {u"HKEY_LOCAL_MACHINE", u"HKLM"}, {u"HKEY_CURRENT_USER", u"HKCU"},   {u"HKEY_CLASSES_ROOT", u"HKCR"},
    {u"HKEY_USERS", u"HKU"},          {u"HKEY_CURRENT_CONFIG", u"HKCC"},
};

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? (char16_t)(c - 32) : c; }

size_t Length(const char16_t* psz) {
  size_t n = 0;
  while (psz[n]) ++n;
  return n;
}

bool EqualNoCase(const char16_t* a, const char16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool StartsWithName(const char16_t* psz, size_t nLength, const char16_t* pszName, size_t* pnSkip) {
  size_t n = Length(pszName);
  if (nLength < n || !EqualNoCase(psz, pszName, n)) return false;
  if (nLength == n) {
    *pnSkip = n;
    return true;
  }
  if (psz[n] != u'\\') return false;
  *pnSkip = n + 1;
  return true;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool StartsNoCase(const std::u16string& s, size_t pos, const char16_t* psz) {
  size_t n = Length(psz);
  return s.size() - pos >= n && EqualNoCase(s.c_str() + pos, psz, n);
}

class CRegFileParser {
 public:
  CRegFileParser(const std::u16string& text, bool bAnsi, bool bCutChar, std::vector<RegFileOp>& ops)
      : m_ops(ops), m_text(text), m_bAnsi(bAnsi), m_bCutChar(bCutChar) {}

  // Fills m_ops; false with m_nErrorLine on a syntax error.
  bool Parse() {
    size_t pos = 0;
    m_ops.reserve(m_text.size() / 48);  // about one operation per line
    if (!NextLine(pos)) return Fail();
    if (TrimRight(m_line) != (m_bAnsi ? kAnsiHeader : kUnicodeHeader)) return Fail();
    bool bInKey = false, bSkipValues = false;
    while (NextLine(pos)) {
      size_t i = 0;
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i == m_line.size()) continue;
      if (m_line[i] == u';') {
        m_bStoredBytes = m_bAnsi && TrimRight(m_line.substr(i)) == kRegFileStoredBytesMark;
        continue;
      }
      size_t begin = m_lineStart;
      if (m_line[i] == u'[') {
        if (!ParseKey(i)) return Fail();
        bSkipValues = m_ops.back().kind == kRegFileOpDeleteKey;
        bInKey = true;
        m_bStoredBytes = false;
        Close(m_ops.back(), begin);
        continue;
      }
      if (!bInKey) return Fail();
      if (!ParseValue(pos, i, bSkipValues, begin)) return Fail();
      m_bStoredBytes = false;
    }
    // Half a character at the end: the file was cut short.
    return m_bCutChar ? Fail() : true;
  }

  int m_nErrorLine = 0;

 private:
  bool Fail() {
    m_nErrorLine = m_nLine > 0 ? m_nLine : 1;  // an empty file: its first line
    return false;
  }

  size_t ByteOffset(size_t unit) const { return m_bAnsi ? unit : 2 + 2 * unit; }

  void Close(RegFileOp& op, size_t begin) const {
    op.begin = ByteOffset(begin);
    op.end = ByteOffset(m_lineStart + m_line.size());
  }

  static std::u16string TrimRight(const std::u16string& s) {
    size_t n = s.size();
    while (n && (IsBlank(s[n - 1]) || s[n - 1] == 0)) --n;
    return s.substr(0, n);
  }

  // The next physical line (CR LF, LF or CR ends it) into m_line;
  // m_bLineEnd tells whether a line end followed it.
  bool NextLine(size_t& pos) {
    if (pos >= m_text.size()) return false;
    size_t end = pos;
    while (end < m_text.size() && m_text[end] != u'\r' && m_text[end] != u'\n') ++end;
    m_line.assign(m_text, pos, end - pos);
    m_lineStart = pos;
    m_bLineEnd = end < m_text.size();
    if (end < m_text.size() && m_text[end] == u'\r') ++end;
    if (end < m_text.size() && m_text[end] == u'\n') ++end;
    pos = end;
    ++m_nLine;
    return true;
  }

  bool ParseKey(size_t i) {
    size_t close = m_line.rfind(u']');
    if (close == std::u16string::npos || close <= i) return false;
    for (size_t k = close + 1; k < m_line.size(); ++k) {
      if (m_line[k] == u';') break;
      if (!IsBlank(m_line[k])) return false;
    }
    ++i;
    bool bDelete = i < close && m_line[i] == u'-';
    if (bDelete) ++i;
    std::u16string path = m_line.substr(i, close - i);
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    size_t nSkip = 0;
    int root = RegFileFindRoot(path.c_str(), path.size(), nullptr, &nSkip);
    if (root < 0) return false;
    RegFileOp op;
    op.kind = bDelete ? kRegFileOpDeleteKey : kRegFileOpKey;
    op.root = root;
    op.path = path.substr(nSkip);
    op.type = 0;
    // The root itself cannot go.
    if (bDelete && op.path.empty()) return false;
    m_ops.push_back(std::move(op));
    return true;
  }

  // A quoted text at m_line[i] (the opening quote); i ends after the closing one.
  bool ParseQuoted(size_t& i, std::u16string& out) {
    ++i;
    for (; i < m_line.size(); ++i) {
      char16_t c = m_line[i];
      if (c == u'"') {
        ++i;
        return true;
      }
      if (c == u'\\' && i + 1 < m_line.size()) {
        char16_t n = m_line[++i];
        if (n == u'n')
          out += u'\n';
        else if (n == u'r')
          out += u'\r';
        else if (n == u'\\' || n == u'"')
          out += n;
        else
          out += u'\\', out += n;
        continue;
      }
      out += c;
    }
    return false;
  }

  static bool RestIsEmpty(const std::u16string& s, size_t i) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    return i == s.size() || s[i] == u';';
  }

  bool ParseValue(size_t& pos, size_t i, bool bSkip, size_t begin) {
    RegFileOp op;
    op.root = -1;
    op.type = 0;
    if (m_line[i] == u'@') {
      ++i;
    } else if (m_line[i] == u'"') {
      if (!ParseQuoted(i, op.path)) return false;
    } else {
      return false;
    }
    while (i < m_line.size() && IsBlank(m_line[i])) ++i;
    if (i == m_line.size() || m_line[i] != u'=') return false;
    ++i;
    while (i < m_line.size() && IsBlank(m_line[i])) ++i;
    if (i == m_line.size()) return false;
    char16_t c = m_line[i];
    if (c == u'-') {
      if (!RestIsEmpty(m_line, i + 1)) return false;
      op.kind = kRegFileOpDeleteValue;
    } else if (c == u'"') {
      std::u16string text;
      if (!ParseQuoted(i, text) || !RestIsEmpty(m_line, i)) return false;
      op.kind = kRegFileOpValue;
      op.type = kTypeSz;
      op.data.resize((text.size() + 1) * 2);
      for (size_t k = 0; k < text.size(); ++k) op.data[2 * k] = (uint8_t)text[k], op.data[2 * k + 1] = text[k] >> 8;
    } else if (StartsNoCase(m_line, i, u"dword:")) {
      i += 6;
      uint32_t dw = 0;
      int nDigits = 0;
      for (; i < m_line.size() && HexDigit(m_line[i]) >= 0; ++i, ++nDigits) dw = dw * 16 + HexDigit(m_line[i]);
      if (nDigits < 1 || nDigits > 8 || !RestIsEmpty(m_line, i)) return false;
      op.kind = kRegFileOpValue;
      op.type = kTypeDword;
      op.data = {(uint8_t)dw, (uint8_t)(dw >> 8), (uint8_t)(dw >> 16), (uint8_t)(dw >> 24)};
    } else if (StartsNoCase(m_line, i, u"hex")) {
      i += 3;
      op.type = kTypeBinary;
      if (i < m_line.size() && m_line[i] == u'(') {
        ++i;
        uint32_t type = 0;
        int nDigits = 0;
        for (; i < m_line.size() && HexDigit(m_line[i]) >= 0; ++i, ++nDigits) type = type * 16 + HexDigit(m_line[i]);
        if (nDigits < 1 || nDigits > 8 || i == m_line.size() || m_line[i] != u')') return false;
        ++i;
        op.type = type;
      }
      if (i == m_line.size() || m_line[i] != u':') return false;
      ++i;
      if (!ParseHex(pos, i, op.data)) return false;
      op.kind = kRegFileOpValue;
      bool bText = op.type == kTypeSz || op.type == kTypeExpandSz || op.type == kTypeMultiSz;
      if (m_bAnsi && !m_bStoredBytes && bText) Widen(op.data);
    } else {
      return false;
    }
    if (bSkip) return true;
    Close(op, begin);
    m_ops.push_back(std::move(op));
    return true;
  }

  // Byte list "xx,xx,..." from m_line[i]; a backslash at the end of a line
  // continues it on the next. A list that the end of the file cuts off
  // (after a comma, inside a byte, on a continued line without its line
  // end) is an error: the file was cut short, and its last value would come
  // in shortened.
  bool ParseHex(size_t& pos, size_t i, std::vector<uint8_t>& out) {
    out.reserve((m_line.size() - i + 1) / 3);
    bool bContinued = false, bOpen = true, bShortByte = false;
    for (;;) {
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i == m_line.size() || m_line[i] == u';') {
        // A trailing comma is forgiven where the line ends.
        return m_bLineEnd || !(bContinued || bOpen || bShortByte);
      }
      char16_t c = m_line[i];
      if (c == u'\\' && RestIsEmpty(m_line, i + 1)) {
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
      out.push_back((uint8_t)v);
      while (i < m_line.size() && IsBlank(m_line[i])) ++i;
      if (i < m_line.size() && m_line[i] == u',') {
        ++i;
        bOpen = true;
        bShortByte = false;
      } else if (i < m_line.size() && m_line[i] != u'\\' && m_line[i] != u';') {
        return false;
      }
    }
  }

  // 8-bit text of the ANSI format as the UTF-16 the registry keeps.
  static void Widen(std::vector<uint8_t>& data) {
    std::vector<uint8_t> wide(data.size() * 2);
    for (size_t k = 0; k < data.size(); ++k) {
      char16_t c = From1252(data[k]);
      wide[2 * k] = (uint8_t)c;
      wide[2 * k + 1] = (uint8_t)(c >> 8);
    }
    data.swap(wide);
  }

  std::vector<RegFileOp>& m_ops;
  const std::u16string& m_text;
  bool m_bAnsi;
  bool m_bCutChar;
  std::u16string m_line;
  size_t m_lineStart = 0;
  bool m_bLineEnd = false;
  bool m_bStoredBytes = false;  // the value line after the mark
  int m_nLine = 0;
};
}  // namespace

int RegFileFindRoot(const char16_t* pszPath, size_t nLength, const char16_t** ppszLongName, size_t* pnSkip) {
  for (size_t r = 0; r < sizeof kRoots / sizeof kRoots[0]; ++r) {
    if (StartsWithName(pszPath, nLength, kRoots[r].longName, pnSkip) ||
        StartsWithName(pszPath, nLength, kRoots[r].shortName, pnSkip)) {
      if (ppszLongName) *ppszLongName = kRoots[r].longName;
      return (int)r;
    }
  }
  return -1;
}

bool RegFileParse(const void* pData, size_t cb, std::vector<RegFileOp>& ops, int* pnErrorLine) {
  if (pnErrorLine) *pnErrorLine = 0;
  ops.clear();
  const uint8_t* p = (const uint8_t*)pData;
  std::u16string text;
  bool bAnsi = !(cb >= 2 && p[0] == 0xFF && p[1] == 0xFE);
  bool bCutChar = false;  // a UTF-16 file cut inside a character
  if (!bAnsi) {
    size_t n = (cb - 2) / 2;
    text.resize(n);
    for (size_t k = 0; k < n; ++k) text[k] = (char16_t)(p[2 + 2 * k] | p[3 + 2 * k] << 8);
    bCutChar = cb & 1;
  } else {
    text.resize(cb);
    for (size_t k = 0; k < cb; ++k) text[k] = From1252(p[k]);
  }
  CRegFileParser parser(text, bAnsi, bCutChar, ops);
  if (parser.Parse()) return true;
  if (pnErrorLine) *pnErrorLine = parser.m_nErrorLine;
  ops.clear();
  return false;
}
