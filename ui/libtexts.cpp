#include "ui/libtexts.h"

#include <cstdlib>
#include <cstring>

#include "base/check.h"

namespace {
struct LibTextDefault {
  UINT id;
  const char* text;
};

const LibTextDefault kDefaults[kLibTextCount] = {
    {kLibTextInformation, "Information"},
    {kLibTextQuestion, "Frage"},
    {kLibTextWarning, "Warnung"},
    {kLibTextDeleteLine, "Zeile löschen"},
    {kLibTextCopyField, "Feld kopieren"},
    {kLibTextCopy, "&Kopieren"},
    {kLibTextMarkAll, "&Alles markieren"},
    {kLibTextSelectAll, "&Alles auswählen"},
    {kLibTextDeselectAll, "&Alles abwählen"},
    {kLibTextDeleteAll, "&Alles löschen"},
    {kLibTextAlways, "Immer"},
    {kLibTextNever, "Niemals"},
};

struct LibTextEntry {
  BYTE length;
  BYTE fromTable;
  char* text;
  wchar_t* textW;
};

void* g_block = nullptr;
LibTextEntry g_entries[kLibTextCount];
bool g_exitRegistered = false;

int IndexOf(UINT id) {
  for (int i = 0; i < kLibTextCount; i++) {
    if (kDefaults[i].id == id) return i;
  }
  return -1;
}

// Room of one text in the block: a 16-bit and an 8-bit copy, each with its
// terminator, kept on even offsets.
size_t EntrySize(int length) { return 3 * (size_t)((length + 2) & ~1); }

void FreeLibTextsAtExit() { FreeLibTexts(); }
}  // namespace

BOOL LoadLibTexts(HMODULE module) {
  if (g_block) return TRUE;
  int lengths[kLibTextCount];
  bool found[kLibTextCount];
  size_t total = 0;
  for (int i = 0; i < kLibTextCount; i++) {
    // Size 0 answers a read-only pointer into the resource, not terminated.
    const wchar_t* resource = nullptr;
    int n = LoadStringW(module, kDefaults[i].id, (LPWSTR)&resource, 0);
    found[i] = n > 0 && resource;
    lengths[i] = found[i] ? n : (int)strlen(kDefaults[i].text);
    if (lengths[i] > 255) lengths[i] = 255;  // the entry keeps the length in a byte
    total += EntrySize(lengths[i]);
  }
  BYTE* block = (BYTE*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, total);
  if (!block) return FALSE;
  if (!g_exitRegistered) g_exitRegistered = std::atexit(FreeLibTextsAtExit) == 0;
  size_t offset = 0;
  for (int i = 0; i < kLibTextCount; i++) {
    int n = lengths[i];
    wchar_t* w = (wchar_t*)(block + offset);
    char* a = (char*)(w + n + 1);
    if (found[i]) {
      LoadStringW(module, kDefaults[i].id, w, n + 1);
      WideCharToMultiByte(CP_ACP, 0, w, n, a, n + 1, nullptr, nullptr);
    } else {
      memcpy(a, kDefaults[i].text, n);
      MultiByteToWideChar(CP_ACP, 0, a, n, w, n + 1);
    }
    w[n] = 0;
    a[n] = 0;
    g_entries[i] = {(BYTE)n, (BYTE)found[i], a, w};
    offset += EntrySize(n);
    DEBUG_CHECK((BYTE*)(a + n + 1) <= block + offset);
  }
  DEBUG_CHECK(offset == total);
  g_block = block;
  return TRUE;
}

void FreeLibTexts() {
  if (!g_block) return;
  HeapFree(GetProcessHeap(), 0, g_block);
  g_block = nullptr;
  memset(g_entries, 0, sizeof g_entries);
}

const char* GetLibText(HMODULE module, UINT id, int* pLength) {
  int i = IndexOf(id);
  if (i < 0) {
    if (pLength) *pLength = 0;
    return nullptr;
  }
  if (!g_block) LoadLibTexts(module);
  if (!g_block) {
    if (pLength) *pLength = (int)strlen(kDefaults[i].text);
    return kDefaults[i].text;
  }
  if (pLength) *pLength = g_entries[i].length;
  return g_entries[i].text;
}

const wchar_t* GetLibTextW(HMODULE module, UINT id, int* pLength) {
  int i = IndexOf(id);
  if (i >= 0 && !g_block) LoadLibTexts(module);
  if (i < 0 || !g_block) {
    if (pLength) *pLength = 0;
    return nullptr;
  }
  if (pLength) *pLength = g_entries[i].length;
  return g_entries[i].textW;
}
