#include "viewers/text/dlgtemplate.h"

namespace {
void AddDword(std::vector<WORD>* w, DWORD d) {
  w->push_back(LOWORD(d));
  w->push_back(HIWORD(d));
}
void AddText(std::vector<WORD>* w, const char* s) {
  WCHAR buf[128];
  int n = MultiByteToWideChar(1252, 0, s, -1, buf, 128);
  if (n <= 0) n = 1, buf[0] = 0;
  w->insert(w->end(), buf, buf + n);
}
}  // namespace

void BuildDialogTemplate(std::vector<WORD>* w, bool extended, DWORD style, short cx, short cy, const char* caption,
                         const DlgItemDef* items, int count) {
  w->clear();
  style |= DS_SETFONT;
  if (extended) {
    w->push_back(1);
    w->push_back(0xFFFF);
    AddDword(w, 0);  // help id
    AddDword(w, 0);  // extended style
    AddDword(w, style);
  } else {
    AddDword(w, style);
    AddDword(w, 0);
  }
  w->push_back((WORD)count);
  w->push_back(0), w->push_back(0), w->push_back(cx), w->push_back(cy);
  w->push_back(0), w->push_back(0);  // no menu, the dialog class
  AddText(w, caption);
  w->push_back(8);
  if (extended) w->push_back(FW_NORMAL), w->push_back(0);  // weight; italic and charset
  AddText(w, "MS Sans Serif");
  for (int i = 0; i < count; ++i) {
    const DlgItemDef& it = items[i];
    if (w->size() % 2) w->push_back(0);  // items start on a DWORD
    DWORD itemStyle = it.style | WS_CHILD | WS_VISIBLE;
    if (extended) {
      AddDword(w, 0), AddDword(w, 0), AddDword(w, itemStyle);
    } else {
      AddDword(w, itemStyle), AddDword(w, 0);
    }
    w->push_back(it.x), w->push_back(it.y), w->push_back(it.cx), w->push_back(it.cy);
    if (extended)
      AddDword(w, (DWORD)it.id);
    else
      w->push_back((WORD)it.id);
    w->push_back(0xFFFF), w->push_back(it.cls);
    AddText(w, it.text ? it.text : "");
    w->push_back(0);  // no creation data
  }
}
