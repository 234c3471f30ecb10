// Writes the in-memory dialog templates of the view's dialogs (DLGTEMPLATE
// or DLGTEMPLATEEX) once into a static buffer.
#pragma once

#include <windows.h>

#include <vector>

// Predefined classes of template items.
const WORD kDlgButton = 0x80;
const WORD kDlgEdit = 0x81;
const WORD kDlgStatic = 0x82;
const WORD kDlgListBox = 0x83;

struct DlgItemDef {
  int id;
  WORD cls;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  short x, y, cx, cy;
  const char* text;  // 8-bit (code page 1252)
};

// A template with font "MS Sans Serif" 8 and the items; the words live as
// long as the vector.
void BuildDialogTemplate(std::vector<WORD>* words, bool extended, DWORD style, short cx, short cy, const char* caption,
                         const DlgItemDef* items, int count);
