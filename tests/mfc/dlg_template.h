// Builds in-memory dialog templates (DLGTEMPLATE or DLGTEMPLATEEX) for tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

class DlgTemplate {
 public:
  DlgTemplate(DWORD style, int cx, int cy, const char* caption, bool extended = false) : m_extended(extended) {
    style |= DS_SETFONT;
    if (extended) {
      Add(1);       // version
      Add(0xFFFF);  // signature
      AddDword(0);  // help id
      AddDword(0);  // extended style
      AddDword(style);
    } else {
      AddDword(style);
      AddDword(0);
    }
    m_countAt = m_words.size();
    Add(0);  // item count
    Add(10), Add(10), Add(cx), Add(cy);
    Add(0), Add(0);  // no menu, default class
    AddText(caption);
    Add(8);
    if (extended) Add(FW_NORMAL), Add(0);  // weight, italic and charset
    AddText("MS Sans Serif");
  }

  // cls: 0x80 button, 0x81 edit, 0x82 static, 0x83 list box, 0x85 combo box.
  DlgTemplate& Item(WORD cls, WORD id, DWORD style, int x, int y, int cx, int cy, const char* text = "") {
    while (m_words.size() % 2) Add(0);  // items start on a DWORD
    if (m_extended) {
      AddDword(0), AddDword(0), AddDword(style | WS_CHILD | WS_VISIBLE);
    } else {
      AddDword(style | WS_CHILD | WS_VISIBLE), AddDword(0);
    }
    Add(x), Add(y), Add(cx), Add(cy);
    if (m_extended)
      AddDword(id);
    else
      Add(id);
    Add(0xFFFF), Add(cls);
    AddText(text);
    Add(0);  // no creation data
    ++m_words[m_countAt];
    return *this;
  }

  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

 private:
  void Add(int w) { m_words.push_back((WORD)w); }
  void AddDword(DWORD d) { Add(LOWORD(d)), Add(HIWORD(d)); }
  void AddText(const char* s) {
    wchar_t buf[256];
    int n = MultiByteToWideChar(1252, 0, s, -1, buf, 256);
    for (int i = 0; i < n; ++i) Add(buf[i]);
  }
  bool m_extended;
  size_t m_countAt;
  std::vector<WORD> m_words;
};
