// The hex view's clipboard: the selection as characters or a hex dump, as a
// C string or as source text, and paste of text back into bytes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "system/regkeystack.h"
#include "text/codecs/cliteral.h"
#include "text/codecs/hexcodec.h"
#include "text/codecs/maskedmem.h"
#include "ui/clipboard.h"
#include "viewers/hex/bytesource.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexnumberdlg.h"
#include "viewers/tools/valuetext.h"

namespace {

const char kCppCopyKey[] = "CppCopyDlg";
const int kPreviewBytes = 512;  // enough for the first line of every form

// Line size from the number dialog's value: a small value size shows a
// large width negative (sign-extended); it is read back unsigned.
int LineSizeOf(const unsigned char* value, int count) {
  int32_t v;
  std::memcpy(&v, value, sizeof v);
  if (v < 0 && count > 0 && count < 4) v &= (int32_t)((1u << (8 * count)) - 1);
  return v < 1 ? 16 : v;
}

void SourcePreview(DWORD_PTR data, DWORD_PTR length, int count, int format, const unsigned char* value, char* text,
                   int size) {
  const int n = std::min((int)length, kPreviewBytes);
  FormatBytesAsSource(reinterpret_cast<const BYTE*>(data), n, count, format, LineSizeOf(value, count), text, size);
  if (char* cr = std::strchr(text, '\r')) *cr = 0;
}

bool IsBlankOrBreak(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Plain paste: adjacent quoted literals, line after line, read as one (a C
// string split after a hex escape, or lines of strings); any other text as
// a value text.
int ParsePlainText(const char* text, BYTE* bytes, int size) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '"') return ParseValueTextEx(text, bytes, (uint32_t)size, false);
  int n = 0;
  for (;;) {
    while (IsBlankOrBreak(*p)) ++p;
    if (*p != '"' || n >= size) break;
    int used = 0;
    n += DecodeCStringLiteralA(bytes + n, (uint32_t)(size - n), p, &used);
    if (used <= 0) break;
    p += used;
  }
  return n;
}

// Paste special: hex pairs, with "0x" prefixes, commas, colons and line
// breaks passed over.
int ParseHexText(const char* text, int length, BYTE* bytes, int max) {
  std::string t(text, (size_t)length);
  const size_t first = t.find_first_not_of(" \t");
  if (first != std::string::npos && t[first] == '0' && first + 1 < t.size() && (t[first + 1] | 0x20) == 'x') {
    for (size_t i = 0; i + 1 < t.size(); ++i)
      if (t[i] == '0' && (t[i + 1] | 0x20) == 'x') t[i] = t[i + 1] = ' ';
  }
  for (char& c : t)
    if (c == ',' || c == ':' || c == '\n' || c == '\r' || (unsigned char)c == 0xA0) c = ' ';
  int n = 0;
  const char* p = t.c_str();
  while (n < max) {
    int used = 0;
    const int chunk = std::min(max - n, (int)HEXIN_MAX_MASK);
    const int got = HexToBytesA(bytes + n, (uint32_t)chunk, p, &used);
    n += got;
    p += used;
    if (got == 0) break;
  }
  return n;
}

}  // namespace

int CHexView::CopySelection() {
  if (!HasSelection()) return 0;
  const int lo = std::min(m_rangeStart[0], m_rangeEnd[0]);
  const int hi = std::min(std::max(m_rangeStart[0], m_rangeEnd[0]), m_size - 1);
  const int n = std::min(hi - lo + 1, kHexCopyMax);
  if (n <= 0 || lo < 0) return 0;
  const BYTE* bytes = m_data + lo;
  bool raw = m_editArea == kHexAreaChars;
  for (int i = 0; raw && i < n; ++i) raw = bytes[i] >= 32;
  if (raw) {
    SetClipboardText(reinterpret_cast<const char*>(bytes), n);
  } else {
    std::vector<char> text((size_t)n * 3 + 4);
    FormatValueBytes(bytes, n, text.data(), (int)text.size(), VALUE_DUMP);
    SetClipboardText(text.data(), -1);
  }
  return n;
}

int CHexView::Paste(BOOL special) {
  if (m_flags & kHexViewReadOnly) {
    HexBeep(MB_ICONASTERISK);
    return 0;
  }
  int length = 0;
  std::unique_ptr<char[]> text(GetClipboardText(&length));
  if (!text) return 0;
  // Room for the 4 or 8 bytes of a short number text; the buffer becomes the
  // undo step's saved bytes.
  const int size = std::max(length + 1, 8);
  std::unique_ptr<BYTE[]> bytes(new BYTE[size]());
  int n = special ? ParseHexText(text.get(), length, bytes.get(), length / 2 + 1)
                  : ParsePlainText(text.get(), bytes.get(), size);
  if (n <= 0) return 0;
  int offset = m_cursor;
  if (HasSelection()) {
    offset = std::min(m_rangeStart[0], m_rangeEnd[0]);
    n = std::min(n, std::abs(m_rangeEnd[0] - m_rangeStart[0]) + 1);
  }
  const bool insert = InsertEffective() && offset <= m_size;
  // Taken before the insertion sets the flag, so undo can clear it again.
  const BYTE modifiedBefore = IsModified() ? 1 : 0;
  if (insert) {
    if (!InsertBytes(offset, n)) {
      HexBeep(MB_ICONASTERISK);
      return 0;
    }
  } else {
    if (offset >= m_size) return 0;
    n = std::min(n, m_size - offset);
  }
  HexUndoStep* step = BeginUndoStep(offset, n);
  step->saved = bytes.release();
  step->operation = insert ? kHexUndoInserted : kHexUndoOverwrite;
  step->modifiedBefore = modifiedBefore;
  // The step keeps the bytes the data had (zeros where they were inserted).
  MemSwap(m_data + offset, step->saved, n);
  m_flags |= kHexViewModified;
  RepaintOffsets(offset, insert ? std::max(offset, m_size - 1) : offset + n - 1);
  CommitUndoStep();
  Invalidate(TRUE);
  return 1;
}

int CHexView::OnCopyAsCString() {
  if (!HasSelection()) return 0;
  std::vector<BYTE> bytes(kHexSourceCopyMax);
  const int n = GetSelectedBytes(bytes.data(), kHexSourceCopyMax);
  // A hex escape takes 4 characters, a literal split after it 2 more.
  std::vector<char> text((size_t)n * 6 + 3);
  int length = 0;
  text[length++] = '"';
  length += QuoteCStringA(&text[length], (int)text.size() - 2, bytes.data(), n, CLIT_SHORT_HEX | CLIT_NO_QUOTES);
  text[length++] = '"';
  text[length] = 0;
  SetClipboardText(text.data(), length);
  return length;
}

int CHexView::OnCopyAsCpp() {
  if (!HasSelection()) return 0;
  std::vector<BYTE> bytes(kHexSourceCopyMax);
  const int n = GetSelectedBytes(bytes.data(), kHexSourceCopyMax);
  int bigEndian = 0, valueSize = 1, lineSize = 16, format = SOURCE_C_ARRAY;
  char path[512];
  const bool stored = SettingsPath(path, sizeof path, kCppCopyKey);
  CRegKeyStack key;
  if (stored && key.Open(HKEY_CURRENT_USER, path, REGKS_READ)) {
    auto read = [&](const char* name, int* value) {
      DWORD v = 0;
      if (key.QueryValue(&v, sizeof v, name, 0) && key.m_dwType == REG_DWORD) *value = (int)v;
    };
    read("BigEndian", &bigEndian);
    read("ValueSize", &valueSize);
    read("LineSize", &lineSize);
    read("Format", &format);
    key.CloseAll();
  }
  CHexNumberDlg dlg(this);
  dlg.m_bCopyMode = 1;
  dlg.m_pszCaption = "Kopiere im C++ Format";
  dlg.m_pszLabel = "Spaltenbreite";
  dlg.m_pfnPreview = SourcePreview;
  dlg.m_dwContext1 = (DWORD_PTR)bytes.data();
  dlg.m_dwContext2 = (DWORD_PTR)n;
  dlg.m_nCount = valueSize;
  dlg.m_nStyle = 0;  // a width reads best in decimal
  dlg.m_bBigEndian = bigEndian ? 1 : 0;
  dlg.m_nFormat = format & SOURCE_KIND_MASK;
  const int32_t width = lineSize;
  std::memcpy(dlg.m_value, &width, sizeof width);
  if (dlg.DoModal() != IDOK) return 0;
  valueSize = dlg.m_nCount;
  bigEndian = dlg.m_bBigEndian ? 1 : 0;
  format = dlg.m_nFormat & SOURCE_KIND_MASK;
  lineSize = LineSizeOf(dlg.m_value, valueSize);
  if (stored && key.Create(HKEY_CURRENT_USER, path, REGKS_CREATE)) {
    const struct {
      const char* name;
      DWORD value;
    } values[] = {{"BigEndian", (DWORD)bigEndian},
                  {"ValueSize", (DWORD)valueSize},
                  {"LineSize", (DWORD)lineSize},
                  {"Format", (DWORD)format}};
    for (const auto& v : values) key.SetValue(&v.value, sizeof v.value, v.name, REG_DWORD);
  }
  const int size = (n / std::max(valueSize, 1) + 2 * n) * 4 + 20;
  std::vector<char> text((size_t)size);
  const int length = FormatBytesAsSource(bytes.data(), n, valueSize, format | (bigEndian ? SOURCE_BIG_ENDIAN : 0),
                                         lineSize, text.data(), size);
  SetClipboardText(text.data(), length);
  return length;
}
