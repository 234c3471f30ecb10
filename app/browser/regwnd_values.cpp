// A key's values read through the 16-bit registry functions and given as the
// 8-bit ones would give them, with the byte those drop.
#include <cstring>
#include <vector>

#include "app/browser/regwnd.h"

namespace {
bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// n characters into the code page as the 8-bit functions convert them; the
// number of bytes written, 0 when they do not fit. Plain ASCII, nearly every
// name and string, is copied without the conversion call.
int ToCodePage(const WCHAR* wide, int n, char* out, int room) {
  int i = 0;
  for (; i < n && i < room && wide[i] < 0x80; ++i) out[i] = (char)wide[i];
  if (i == n) return n;
  if (i == room) return 0;
  return WideCharToMultiByte(CP_ACP, 0, wide, n, out, room, nullptr, nullptr);
}
}  // namespace

LONG EnumRegValueAnsi(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* type, BYTE* data, DWORD* size,
                      int* oddByte) {
  *oddByte = -1;
  WCHAR wideName[16384];
  DWORD wideNameLength = sizeof wideName / sizeof wideName[0];
  // String data takes two bytes a character here, and one more for an odd end.
  WCHAR local[600];
  std::vector<WCHAR> heap;
  DWORD capacity = data ? *size * 2 + 1 : 0;
  WCHAR* wide = local;
  if (capacity > sizeof local) {
    heap.resize(capacity / 2 + 1);
    wide = heap.data();
  }
  DWORD wideSize = capacity;
  DWORD valueType = REG_NONE;
  LONG err = RegEnumValueW(key, index, wideName, &wideNameLength, nullptr, &valueType, data ? (BYTE*)wide : nullptr,
                           &wideSize);
  if (err != ERROR_SUCCESS && err != ERROR_MORE_DATA) return err;
  if (type) *type = valueType;
  // The name as the 8-bit function converts it (code page, best fit).
  int n = wideNameLength ? ToCodePage(wideName, (int)wideNameLength, name, (int)*nameLength - 1) : 0;
  if (wideNameLength && n == 0) return ERROR_MORE_DATA;
  name[n] = 0;
  *nameLength = (DWORD)n;
  bool text = IsStringType(valueType);
  // A code-page byte for each whole character; an odd last byte is dropped.
  DWORD needed = text ? wideSize / 2 : wideSize;
  if (!data || err == ERROR_MORE_DATA || needed > *size) {
    *size = needed;
    return data ? ERROR_MORE_DATA : ERROR_SUCCESS;
  }
  if (!text) {
    memcpy(data, wide, wideSize);
    *size = wideSize;
    return ERROR_SUCCESS;
  }
  DWORD chars = wideSize / 2;
  int converted = chars ? ToCodePage(wide, (int)chars, (char*)data, (int)*size) : 0;
  *size = (DWORD)converted;
  if (wideSize & 1) *oddByte = ((const BYTE*)wide)[wideSize - 1];
  return ERROR_SUCCESS;
}
