// Styles of the text view: colour entries, fonts, and the style's registry
// keys "Font" and "Colors\<id>".
#include <cstdio>
#include <cstring>
#include <string>

#include "base/appnames.h"
#include "system/regkeystack.h"
#include "text/numbers.h"
#include "viewers/text/ansicolordlg.h"
#include "viewers/text/ansiview.h"

CAnsiView* AnsiViewListHead();

namespace {
HKEY g_hMachineRoot = HKEY_LOCAL_MACHINE;

const char kFontValue[] = "Font";
const char kColorsKey[] = "Colors";
const int kMaxColorKeys = 256;
const int kMaxNameBytes = 1024;

void CopyFace(char* dest, const char* face) {
  size_t n = face ? strnlen(face, 31) : 0;
  std::memmove(dest, face ? face : "", n);
  dest[n] = 0;
}

void MeasureFont(HFONT font, int* width, int* height) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm = {};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  *width = tm.tmAveCharWidth;
  *height = tm.tmHeight;
}

// CreateFontIndirectA never fails: a face wins only when the mapper chose it.
bool FaceChosen(HFONT font, const char* face) {
  if (!*face) return true;
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  char chosen[LF_FACESIZE] = "";
  ::GetTextFaceA(dc, sizeof chosen, chosen);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return lstrcmpiA(chosen, face) == 0;
}

// Reads the 44-byte record; any other size is ignored.
bool ReadFontRecord(CRegKeyStack& key, ANSIFONTRECORD* record) {
  if (key.QueryValueSize(kFontValue) != (int)sizeof(ANSIFONTRECORD)) return false;
  ANSIFONTRECORD r = {};
  if (!key.QueryValue(&r, sizeof r, kFontValue, 0) || key.m_cbData != sizeof r) return false;
  r.face[31] = 0;
  *record = r;
  return true;
}
}  // namespace

HKEY SetAnsiViewMachineRoot(HKEY root) {
  HKEY old = g_hMachineRoot;
  g_hMachineRoot = root ? root : HKEY_LOCAL_MACHINE;
  return old;
}

HFONT CreateFontFromRecord(const ANSIFONTRECORD* record) {
  LOGFONTA lf = {};
  lf.lfHeight = record->height;
  lf.lfWidth = record->width;
  lf.lfWeight = (record->flags & kFontBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (record->flags & kFontItalic) ? 1 : 0;
  lf.lfUnderline = (record->flags & kFontUnderline) ? 1 : 0;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfOutPrecision = OUT_RASTER_PRECIS;
  lf.lfClipPrecision = (record->flags & kFontClipMask) ? CLIP_MASK : CLIP_STROKE_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = (record->flags & kFontFixedPitch) ? FIXED_PITCH : VARIABLE_PITCH;
  CopyFace(lf.lfFaceName, record->face);
  return ::CreateFontIndirectA(&lf);
}

int MeasureFontRecord(const char* path, int* width, int* height) {
  ANSIFONTRECORD r = {0, 15, kFontFixedPitch, "Courier"};
  if (path) {
    CRegKeyStack key;
    ANSIFONTRECORD stored;
    if ((key.Open(HKEY_CURRENT_USER, path, REGKS_READ) && ReadFontRecord(key, &stored)) ||
        (key.Open(g_hMachineRoot, path, REGKS_READ) && ReadFontRecord(key, &stored)))
      r = stored;
  }
  HFONT font = CreateFontFromRecord(&r);
  MeasureFont(font, width, height);
  ::DeleteObject(font);
  return *width > 0 && *height > 0;
}

// --- colours ----------------------------------------------------------------

int CAnsiView::AddColorEntry(COLORREF text, COLORREF background, const char* name, UINT id, UINT style) {
  if (id & 0x80000000) {
    id &= 0x7FFFFFFF;
    int pos = ColorListFind(m_pStyle->colors, nullptr, id);
    if (id != 0 && pos >= 0) return pos;
  }
  m_pStyle->colorCount = ColorListAdd(&m_pStyle->colors, text, background, name, id, style);
  delete[] m_pStyle->colorIndex;
  m_pStyle->colorIndex = nullptr;
  return m_pStyle->colorCount - 1;
}

int CAnsiView::GetColorEntry(int position, COLORREF* text, COLORREF* background, UINT* style) const {
  if (position < 0 || position >= m_pStyle->colorCount) return 0;
  const ANSICOLORENTRY& e = m_pStyle->colors[position];
  if (text) *text = e.text;
  if (background) *background = e.background;
  if (style) *style = e.style;
  return 1;
}

int CAnsiView::SelectColor(CDC* pDC, int attribute, UINT) {
  int previous = m_lastAttribute;
  if (attribute == m_lastAttribute) return previous;
  HDC dc = pDC->GetSafeHdc();
  int count = m_pStyle->colorCount;
  int fore = attribute & 0xFF, back = (attribute >> 8) & 0xFF;
  if (back == 0) back = fore;
  if (fore >= count) fore = 0;
  if (back >= count) back = 0;
  if (count > 0) {
    const ANSICOLORENTRY& f = m_pStyle->colors[fore];
    const ANSICOLORENTRY& b = m_pStyle->colors[back];
    ::SetTextColor(dc, f.text == kAnsiSystemColor ? ::GetSysColor(COLOR_WINDOWTEXT) : f.text);
    ::SetBkColor(dc, b.background == kAnsiSystemColor ? ::GetSysColor(COLOR_WINDOW) : b.background);
    int fontStyle = (int)(f.style & kAnsiColorStyleMask);
    if (fontStyle != m_lastFontStyle) {
      HFONT font = fontStyle && m_pStyle->variants[fontStyle] ? m_pStyle->variants[fontStyle] : m_pStyle->baseFont;
      if (font) ::SelectObject(dc, font);
      m_lastFontStyle = fontStyle;
    }
  }
  m_lastAttribute = attribute;
  return previous;
}

int CAnsiView::EditColors() {
  if (m_styleLock) return 2;
  CAnsiColorDlg dlg(this);
  INT_PTR result = dlg.DoModal(m_pStyle->colors, m_pStyle->baseFont, 0, nullptr);
  RecreateCaret();
  if (result == IDOK) {
    SaveStyle(nullptr);
    ApplyStyleToAll();
  }
  Invalidate(FALSE);
  return (int)result;
}

void CAnsiView::BroadcastStyleChanged(UINT bits) {
  for (CAnsiView* p = AnsiViewListHead(); p; p = p->m_pNext) {
    if (p->m_pStyle->serial != m_pStyle->serial) continue;
    p->MarkAll();
    p->OnStyleChanged(bits);
  }
}

void CAnsiView::ApplyStyleToAll() {
  for (CAnsiView* p = AnsiViewListHead(); p; p = p->m_pNext) {
    if (p->m_pStyle->serial != m_pStyle->serial) continue;
    if (p->m_cellWidth != m_pStyle->cellWidth || p->m_cellHeight != m_pStyle->cellHeight) {
      p->m_cellWidth = m_pStyle->cellWidth;
      p->m_cellHeight = m_pStyle->cellHeight;
      if (p->m_hWnd) {
        p->m_textWidth = p->m_textHeight = -1;  // counted again in the new cell
        p->RecreateCaret();
        p->OnSize(0, p->m_clientWidth, p->m_clientHeight);
      }
    }
    // Colours may have changed in every view, cells or not.
    if (p->m_hWnd) p->Invalidate(FALSE);
  }
}

// --- fonts ------------------------------------------------------------------

int CAnsiView::SetupFonts(int height, const char* face) {
  ANSIFONTRECORD record = m_pStyle->font;
  const char* candidates[5] = {nullptr, "Courier", "Terminal", "Fixedsys", ""};
  if (height != 0) {
    // Font-dialog heights are negative (character heights).
    int magnitude = height < 0 ? -height : height;
    if (magnitude < 6) magnitude = 6;
    if (magnitude > 48) magnitude = 48;
    record.width = 0;
    record.height = height < 0 ? -magnitude : magnitude;
    record.flags = kFontFixedPitch;
    candidates[0] = face;
  } else {
    candidates[0] = record.face;
  }
  char faces[5][32];
  for (int i = 0; i < 5; ++i) CopyFace(faces[i], candidates[i]);
  HFONT font = nullptr;
  for (int i = 0; i < 5 && !font; ++i) {
    if (i == 0 && !faces[0][0]) continue;
    CopyFace(record.face, faces[i]);
    HFONT candidate = CreateFontFromRecord(&record);
    if (candidate && FaceChosen(candidate, faces[i]))
      font = candidate;
    else if (candidate)
      ::DeleteObject(candidate);
  }
  if (font) {
    for (HFONT& v : m_pStyle->variants) {
      if (v == m_pStyle->baseFont) v = nullptr;
    }
    if (m_pStyle->baseFont) ::DeleteObject(m_pStyle->baseFont);
    m_pStyle->font = record;
    m_pStyle->baseFont = font;
  }
  // Measured with or without a window: a style loaded early needs its cell.
  int width = 0, cellHeight = 0;
  MeasureFont(m_pStyle->baseFont, &width, &cellHeight);
  if (width < 1) width = 1;
  if (cellHeight < 1) cellHeight = 1;
  if ((width != m_cellWidth || cellHeight != m_cellHeight) && m_caretVisible && m_hWnd) {
    ::HideCaret(m_hWnd);
    m_caretVisible = 0;
  }
  m_cellWidth = m_pStyle->cellWidth = width;
  m_cellHeight = m_pStyle->cellHeight = cellHeight;
  for (int k = 0; k < 8; ++k) {
    HFONT& v = m_pStyle->variants[k];
    if (v && v != m_pStyle->baseFont) ::DeleteObject(v);
    ANSIFONTRECORD r = m_pStyle->font;
    r.width = width;
    r.height = cellHeight;
    r.flags = kFontFixedPitch | (DWORD)k;
    HFONT variant = CreateFontFromRecord(&r);
    int vw = 0, vh = 0;
    MeasureFont(variant, &vw, &vh);
    if (vw == width && vh == cellHeight && FaceChosen(variant, r.face)) {
      v = variant;
    } else {
      ::DeleteObject(variant);
      v = m_pStyle->baseFont;
    }
  }
  m_visibleColumns = (m_textWidth - m_marginWidth + m_cellWidth - 1) / m_cellWidth;
  m_visibleLines = (m_textHeight + m_cellHeight - 1) / m_cellHeight;
  if (m_visibleColumns < 1) m_visibleColumns = 1;
  if (m_visibleLines < 1) m_visibleLines = 1;
  MarkAll();
  m_lastAttribute = m_lastFontStyle = -1;
  if (m_hWnd) {
    RecreateCaret();
    RecalcLayout(kLayoutNoNotify);
    ApplyStyleToAll();
  }
  return font != nullptr;
}

int CAnsiView::ChooseFont() {
  LOGFONTA lf = {};
  lf.lfHeight = m_pStyle->font.height;
  lf.lfWeight = (m_pStyle->font.flags & kFontBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (m_pStyle->font.flags & kFontItalic) ? 1 : 0;
  lf.lfUnderline = (m_pStyle->font.flags & kFontUnderline) ? 1 : 0;
  CopyFace(lf.lfFaceName, m_pStyle->font.face);
  CFontDialog dlg(&lf, CF_SCREENFONTS | CF_PRINTERFONTS | CF_FIXEDPITCHONLY | CF_LIMITSIZE | CF_EFFECTS, nullptr, this);
  dlg.m_cf.nSizeMin = 6;
  dlg.m_cf.nSizeMax = 48;
  dlg.m_cf.rgbColors = ::GetSysColor(COLOR_WINDOWTEXT);
  if (dlg.DoModal() != IDOK) return 0;
  m_pStyle->font.width = dlg.m_lf.lfWidth;
  m_pStyle->font.flags = kFontFixedPitch;
  SetupFonts(dlg.m_lf.lfHeight, dlg.m_lf.lfFaceName);
  SaveStyle(nullptr);
  Invalidate(FALSE);
  return 1;
}

// --- registry ---------------------------------------------------------------

void CAnsiView::SetRegistryPath(const char* path) {
  delete[] m_pszPathOverride;
  m_pszPathOverride = nullptr;
  if (path) {
    size_t n = std::strlen(path);
    m_pszPathOverride = new char[n + 1];
    std::memcpy(m_pszPathOverride, path, n + 1);
  }
}

int CAnsiView::BuildRegistryPath(char* buffer, int size, const char* name) const {
  if (size < 1) return 0;
  buffer[0] = 0;
  if (name && name[0] == '#') {
    std::snprintf(buffer, size, "%s", name + 1);
    return (int)std::strlen(buffer);
  }
  int length = 0;
  // A part that does not fit is left off, with its separator.
  auto append = [&](const char* separator, const char* part) {
    int s = (int)std::strlen(separator), n = (int)std::strlen(part);
    if (length + s + n + 1 > size) return;
    std::memcpy(buffer + length, separator, s);
    std::memcpy(buffer + length + s, part, n + 1);
    length += s + n;
  };
  if (m_pszPathOverride) {
    append("", m_pszPathOverride);
  } else {
    const CAppNames* names = AfxGetAppNames();
    append("", "Software");
    if (names && names->m_pszRegistryKey) append("\\", names->m_pszRegistryKey);
    if (names && names->m_pszProfileName) append("\\", names->m_pszProfileName);
  }
  if (name) append("\\", name);
  return length;
}

int CAnsiView::LoadStyle(const char* path, BOOL fromLocalMachine) {
  if (!path || m_styleLock) return 0;
  if (!m_pszPathOverride) {
    size_t n = std::strlen(path);
    while (n > 0 && path[n - 1] == '\\') --n;
    const char* name = m_pStyle->name ? m_pStyle->name : "";
    size_t total = n + 1 + std::strlen(name);
    char* built = new char[total + 1];
    std::memcpy(built, path, n);
    built[n] = '\\';
    std::strcpy(built + n + 1, name);
    delete[] m_pStyle->regPath;
    m_pStyle->regPath = built;
  }
  const char* open = m_pszPathOverride ? m_pszPathOverride : m_pStyle->regPath;
  CRegKeyStack key;
  if (!key.Open(fromLocalMachine ? g_hMachineRoot : HKEY_CURRENT_USER, open, REGKS_READ)) return 0;
  ANSIFONTRECORD record;
  if (ReadFontRecord(key, &record)) {
    m_pStyle->font = record;
    SetupFonts(0, "Courier");
  }
  int result = 0;
  if (key.OpenSubKey(kColorsKey, TRUE)) {
    result = 1;
    for (int i = 0; i < kMaxColorKeys; ++i) {
      char sub[CRegKeyStack::kMaxName + 1];
      if (key.EnumSubKeyNameCopy(sub, sizeof sub, i) <= 0) break;
      int id = ParseIntA(sub, 0, nullptr);
      if (id <= 0 || !key.OpenSubKey(sub, TRUE)) continue;
      char name[kMaxNameBytes + 1] = "";
      bool named = key.QueryValue(name, kMaxNameBytes, "Name", 0) && key.m_dwType == REG_SZ;
      // Stored without a terminator: ended here.
      name[named && key.m_cbData <= (DWORD)kMaxNameBytes ? key.m_cbData : kMaxNameBytes] = 0;
      if (named) {
        DWORD text = kAnsiSystemColor, background = kAnsiSystemColor, style = 0;
        if (!key.QueryValue(&text, sizeof text, "TX", 0) || key.m_cbData != sizeof text) text = kAnsiSystemColor;
        if (!key.QueryValue(&background, sizeof background, "BG", 0) || key.m_cbData != sizeof background)
          background = kAnsiSystemColor;
        if (!key.QueryValue(&style, sizeof style, kFontValue, 0) || key.m_cbData != sizeof style) style = 0;
        if (!ColorListSet(m_pStyle->colors, text, background, nullptr, (UINT)id, style))
          AddColorEntry(text, background, name, (UINT)id, style);
      }
      key.CloseKey();
    }
  }
  MarkAll();
  Invalidate(TRUE);
  return result;
}

int CAnsiView::SaveStyle(const char* path) {
  if (m_styleLock) return 0;
  const char* target = path ? path : m_pszPathOverride ? m_pszPathOverride : m_pStyle->regPath;
  if (!target) return 0;
  CRegKeyStack key;
  if (!key.Create(HKEY_CURRENT_USER, target, REGKS_CREATE)) return 0;
  if (!key.SetValue(&m_pStyle->font, sizeof m_pStyle->font, kFontValue, REG_BINARY)) return 0;
  if (!key.OpenSubKey(kColorsKey)) return 0;
  bool ok = true;
  for (int i = 0; i < m_pStyle->colorCount; ++i) {
    const ANSICOLORENTRY& e = m_pStyle->colors[i];
    if (e.id == 0) continue;
    char sub[16];
    std::snprintf(sub, sizeof sub, "%u", e.id);
    if (!key.OpenSubKey(sub)) {
      ok = false;
      continue;
    }
    DWORD style = e.style;
    ok &= key.SetValue(&e.background, sizeof(DWORD), "BG", REG_DWORD);
    ok &= key.SetValue(&e.text, sizeof(DWORD), "TX", REG_DWORD);
    // The registry counts a NUL right behind string data in: a blank stands
    // there so the name is stored without one.
    size_t n = std::strlen(e.name);
    std::string unterminated(e.name, n);
    unterminated += ' ';
    ok &= key.SetValue(unterminated.data(), (DWORD)n, "Name", REG_SZ);
    ok &= key.SetValue(&style, sizeof style, kFontValue, REG_DWORD);
    key.CloseKey();
  }
  return ok ? 1 : 0;
}
