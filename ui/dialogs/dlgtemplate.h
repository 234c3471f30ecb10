// Builder of the library's in-memory dialog templates (DLGTEMPLATE with
// "MS Sans Serif" 8). Each dialog builds its template once and keeps it
// for the life of the process.
#pragma once

#include <windows.h>

#include <vector>

// Predefined control classes of a template item.
enum DlgItemClass : WORD {
  kDlgButton = 0x80,
  kDlgEdit = 0x81,
  kDlgStatic = 0x82,
  kDlgListBox = 0x83,
  kDlgScrollBar = 0x84,
  kDlgComboBox = 0x85,
};

class CDlgTemplateBuilder {
 public:
  // DS_SETFONT is added; the font is "MS Sans Serif" 8.
  CDlgTemplateBuilder(DWORD style, int cx, int cy, const char* caption);

  // A control of a predefined class; WS_CHILD and WS_VISIBLE are added
  // unless the style asks to be hidden with kDlgHidden.
  CDlgTemplateBuilder& Item(WORD cls, WORD id, DWORD style, int x, int y, int cx, int cy, const char* text = "");
  // A control of a named window class (e.g. "TreeList").
  CDlgTemplateBuilder& Item(const char* cls, WORD id, DWORD style, int x, int y, int cx, int cy, const char* text = "");

  // A control whose text is a resource ordinal (an icon of a static).
  CDlgTemplateBuilder& ItemOrdinal(WORD cls, WORD id, DWORD style, int x, int y, int cx, int cy, WORD ordinal);

  // The finished template; valid while the builder lives.
  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

 private:
  void BeginItem(DWORD style, int x, int y, int cx, int cy, WORD id);
  void Add(WORD w) { m_words.push_back(w); }
  void AddDword(DWORD d) { Add(LOWORD(d)), Add(HIWORD(d)); }
  void AddText(const char* s);

  size_t m_countAt = 0;
  std::vector<WORD> m_words;
};

// Pass in an item's style to leave the control hidden.
const DWORD kDlgHidden = 0x80000000u;
