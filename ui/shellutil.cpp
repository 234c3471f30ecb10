#include "ui/shellutil.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "mfc/mfc.h"
#include "system/shelliconcache.h"
#include "text/codecs/utf.h"

namespace {
const DWORD kDragEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
const UINT kIconFlagMask = 0xFFFF;
const UINT kIconSlotMask = SHGFI_SMALLICON | SHGFI_OPENICON;

// The extension after the last '.' of the name part; "" when none.
const char* ExtensionOf(const char* path) {
  const char* end = path + std::strlen(path);
  for (const char* p = end; p > path; --p) {
    char c = p[-1];
    if (c == '.') return p;
    if (c == '\\' || c == '/') break;
  }
  return end;
}

bool IsDrive(const char* path) {
  char c = path[0] | 0x20;
  if (c < 'a' || c > 'z' || path[1] != ':') return false;
  const char* rest = path + 2;
  if (*rest == '\\' || *rest == '/') ++rest;
  return *rest == 0;
}

HGLOBAL FixedBlock(const void* data, SIZE_T size, SIZE_T terminator) {
  HGLOBAL h = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size + terminator);
  if (h) std::memcpy((void*)h, data, size);
  return h;
}
}  // namespace

int GetSysIconIndex(const char* path, UINT flags) {
  flags &= kIconFlagMask;
  IconCacheRecord* record = nullptr;
  int slot = flags & kIconSlotMask;
  if (flags & SHGFI_USEFILEATTRIBUTES) {
    record = g_shellIconCache.LookupExt(ExtensionOf(path));
    if (record && record->icon[slot] >= 0) return record->icon[slot];
  }
  if (IsDrive(path)) {
    int index = GetDriveIconIndex(path[0], flags);
    if (index != -2) return index;
  }
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA(path, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags | SHGFI_SYSICONINDEX)) return -1;
  if (record) record->icon[slot] = info.iIcon;
  return info.iIcon;
}

HIMAGELIST GetSysImageList(UINT flags) { return GetSystemImageList(!(flags & SHGFI_SMALLICON)); }

int DeleteToRecycleBin(const char* path) {
  int n = path ? (int)std::strlen(path) : 0;
  if (n < 1 || n > kMaxRecyclePath) return 0;
  char from[kMaxRecyclePath + 2] = {};
  std::memcpy(from, path, n);
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from;
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted ? 1 : 0;
}

int DragFileOle(const char* path) {
  char full[MAX_PATH];
  DWORD n = path ? GetFullPathNameA(path, sizeof full, full, nullptr) : 0;
  if (n < 1 || n >= sizeof full || GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES) return 0;
  // A DROPFILES of 8-bit names, the path and a double terminator.
  HGLOBAL h = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, n + 24);
  if (!h) return 0;
  auto* drop = reinterpret_cast<DROPFILES*>(h);
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), full, n);
  COleDataSource source;
  source.CacheGlobalData(CF_HDROP, h);
  source.DoDragDrop(kDragEffects);
  source.Empty();
  return 1;
}

int DragTextOle(const void* text, int length, int mode) {
  if (length == 0 || !text) return 0;
  COleDataSource source;
  if (mode == kDragTextAnsi || mode == kDragTextUtf8) {
    const char* s = static_cast<const char*>(text);
    if (length < 0) length = (int)std::strlen(s);
    if (mode == kDragTextUtf8) {
      wchar_t* wide = new wchar_t[length + 1];
      int n = Utf8ToUtf16N(wide, s, length + 1, length);
      if (HGLOBAL h = FixedBlock(wide, n * sizeof(wchar_t), sizeof(wchar_t))) source.CacheGlobalData(CF_UNICODETEXT, h);
      delete[] wide;
    }
    if (HGLOBAL h = FixedBlock(s, length, 1)) source.CacheGlobalData(CF_TEXT, h);
  } else {
    const wchar_t* w = static_cast<const wchar_t*>(text);
    if (length < 0) length = lstrlenW(w);
    if (HGLOBAL h = FixedBlock(w, length * sizeof(wchar_t), sizeof(wchar_t))) source.CacheGlobalData(CF_UNICODETEXT, h);
    char* narrow = new char[length + 1];
    int n = Utf16ToLatin1N(narrow, w, length + 1, length);
    if (HGLOBAL h = FixedBlock(narrow, n, 1)) source.CacheGlobalData(CF_TEXT, h);
    delete[] narrow;
  }
  source.DoDragDrop(kDragEffects);
  source.Empty();
  return 1;
}
