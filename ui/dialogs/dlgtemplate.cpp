#include "ui/dialogs/dlgtemplate.h"

CDlgTemplateBuilder::CDlgTemplateBuilder(DWORD style, int cx, int cy, const char* caption) {
  AddDword(style | DS_SETFONT);
  AddDword(0);  // extended style
  m_countAt = m_words.size();
  Add(0);  // item count
  Add(0), Add(0), Add((WORD)cx), Add((WORD)cy);
  Add(0), Add(0);  // no menu, default class
  AddText(caption);
  Add(8);
  AddText("MS Sans Serif");
}

void CDlgTemplateBuilder::BeginItem(DWORD style, int x, int y, int cx, int cy, WORD id) {
  while (m_words.size() % 2) Add(0);  // items start on a DWORD
  // kDlgHidden shares its bit with WS_POPUP, which no child carries.
  DWORD visible = (style & kDlgHidden) ? 0 : WS_VISIBLE;
  AddDword((style & ~kDlgHidden) | WS_CHILD | visible);
  AddDword(0);
  Add((WORD)x), Add((WORD)y), Add((WORD)cx), Add((WORD)cy);
  Add(id);
  ++m_words[m_countAt];
}

CDlgTemplateBuilder& CDlgTemplateBuilder::Item(WORD cls, WORD id, DWORD style, int x, int y, int cx, int cy,
                                               const char* text) {
  BeginItem(style, x, y, cx, cy, id);
  Add(0xFFFF), Add(cls);
  AddText(text);
  Add(0);  // no creation data
  return *this;
}

CDlgTemplateBuilder& CDlgTemplateBuilder::Item(const char* cls, WORD id, DWORD style, int x, int y, int cx, int cy,
                                               const char* text) {
  BeginItem(style, x, y, cx, cy, id);
  AddText(cls);
  AddText(text);
  Add(0);
  return *this;
}

CDlgTemplateBuilder& CDlgTemplateBuilder::ItemOrdinal(WORD cls, WORD id, DWORD style, int x, int y, int cx, int cy,
                                                      WORD ordinal) {
  BeginItem(style, x, y, cx, cy, id);
  Add(0xFFFF), Add(cls);
  Add(0xFFFF), Add(ordinal);
  Add(0);
  return *this;
}

void CDlgTemplateBuilder::AddText(const char* s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
  std::vector<wchar_t> buf(n > 0 ? n : 1);
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, buf.data(), n);
  for (wchar_t c : buf) Add((WORD)c);
  if (n <= 0) Add(0);
}
