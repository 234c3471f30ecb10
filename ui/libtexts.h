// The library's short German UI texts (titles, menu entries, button
// captions); each can be replaced through the module's string table.
#pragma once

#include <windows.h>

// Ids of the library texts, in table order.
enum LibTextId {
  kLibTextInformation = 0x507,  // "Information"
  kLibTextQuestion = 0x508,     // "Frage"
  kLibTextWarning = 0x509,      // "Warnung"
  kLibTextDeleteLine = 0x50A,   // "Zeile löschen"
  kLibTextCopyField = 0x50B,    // "Feld kopieren"
  kLibTextCopy = 0x50C,         // "&Kopieren"
  kLibTextMarkAll = 0x50D,      // "&Alles markieren"
  kLibTextSelectAll = 0x50E,    // "&Alles auswählen"
  kLibTextDeselectAll = 0x50F,  // "&Alles abwählen"
  kLibTextDeleteAll = 0x510,    // "&Alles löschen"
  kLibTextNever = 0x511,        // "Niemals"
  kLibTextAlways = 0x512,       // "Immer"
};
const int kLibTextCount = 12;

// The 8-bit text, NULL for an id outside the table. Makes the text block on
// first use; without a block the built-in default is answered.
const char* GetLibText(HMODULE module, UINT id, int* pLength);
// The 16-bit text, NULL for an id outside the table or without a block.
const wchar_t* GetLibTextW(HMODULE module, UINT id, int* pLength);
// Makes the text block from the module's string table and the defaults;
// registers FreeLibTexts at exit. Nothing happens when the block exists.
BOOL LoadLibTexts(HMODULE module);
// Frees the block; a later lookup makes it again.
void FreeLibTexts();
