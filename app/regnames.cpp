// Names outside the ANSI code page: their texts and the registry calls that
// take a text.
#include "app/regnames.h"

#include <memory>
#include <vector>

#include "app/regvalues.h"

namespace {

const WCHAR kMarkUnit = 0x2039;  // "‹" itself: always written as a unit
const char kHex[] = "0123456789ABCDEF";

bool UnitFits(WCHAR unit) {
  if (unit == kMarkUnit) return false;
  char c[4];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &unit, 1, c, sizeof c, nullptr, &usedDefault);
  if (n != 1 || usedDefault) return false;
  WCHAR back = 0;
  return MultiByteToWideChar(CP_ACP, 0, c, 1, &back, 1) == 1 && back == unit;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The unit of "‹XXXX›" at text, or -1.
int MarkedUnitAt(const char* text) {
  if (text[0] != kRegNameMarkOpen) return -1;
  int unit = 0;
  for (int i = 1; i <= 4; ++i) {
    int v = HexValue(text[i]);
    if (v < 0) return -1;
    unit = unit * 16 + v;
  }
  return text[5] == kRegNameMarkClose ? unit : -1;
}

void AppendAnsi(std::wstring& out, const char* run, int n) {
  if (n <= 0) return;
  int w = MultiByteToWideChar(CP_ACP, 0, run, n, nullptr, 0);
  if (w <= 0) return;
  size_t at = out.size();
  out.resize(at + w);
  MultiByteToWideChar(CP_ACP, 0, run, n, &out[at], w);
}

}  // namespace

bool RegNameFitsCodePage(const WCHAR* name, int count) {
  if (count <= 0) return true;
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, count, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  std::unique_ptr<char[]> ansi(new char[n]);
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, count, ansi.get(), n, nullptr, &usedDefault);
  if (usedDefault) return false;
  int back = MultiByteToWideChar(CP_ACP, 0, ansi.get(), n, nullptr, 0);
  if (back != count) return false;
  std::unique_ptr<WCHAR[]> wide(new WCHAR[back]);
  MultiByteToWideChar(CP_ACP, 0, ansi.get(), n, wide.get(), back);
  return memcmp(wide.get(), name, count * sizeof(WCHAR)) == 0;
}

bool RegNameNeedsMarks(const WCHAR* name, int count) {
  for (int i = 0; i < count; ++i)
    if (name[i] == kMarkUnit) return true;
  return !RegNameFitsCodePage(name, count);
}

std::string RegNameText(const WCHAR* name, int count) {
  std::string out;
  RegNameText(name, count, out);
  return out;
}

void RegNameText(const WCHAR* name, int count, std::string& out) {
  out.clear();
  if (count <= 0) return;
  // Most names are ASCII: they stand as they are.
  int ascii = 0;
  while (ascii < count && name[ascii] < 0x80) ++ascii;
  if (ascii == count) {
    out.resize(count);
    for (int i = 0; i < count; ++i) out[i] = (char)name[i];
    return;
  }
  if (!RegNameNeedsMarks(name, count)) {
    int n = WideCharToMultiByte(CP_ACP, 0, name, count, nullptr, 0, nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, name, count, &out[0], n, nullptr, nullptr);
    return;
  }
  for (int i = 0; i < count; ++i) {
    WCHAR unit = name[i];
    if (UnitFits(unit)) {
      char c[4];
      int n = WideCharToMultiByte(CP_ACP, 0, &unit, 1, c, sizeof c, nullptr, nullptr);
      out.append(c, n > 0 ? n : 0);
      continue;
    }
    out += kRegNameMarkOpen;
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 15];
    out += kRegNameMarkClose;
  }
}

bool IsMarkedRegText(const char* text) {
  if (!text) return false;
  for (; *text; ++text)
    if (MarkedUnitAt(text) >= 0) return true;
  return false;
}

std::wstring RegTextToWide(const char* text) {
  std::wstring out;
  if (!text) return out;
  const char* run = text;
  const char* p = text;
  while (*p) {
    int unit = MarkedUnitAt(p);
    if (unit < 0) {
      ++p;
      continue;
    }
    AppendAnsi(out, run, (int)(p - run));
    out += (WCHAR)unit;
    p += 6;
    run = p;
  }
  AppendAnsi(out, run, (int)(p - run));
  return out;
}

LONG OpenRegKeyByText(HKEY parent, const char* subPath, REGSAM access, HKEY* key) {
  *key = nullptr;
  if (!subPath) subPath = "";
  if (!IsMarkedRegText(subPath)) return RegOpenKeyExA(parent, subPath, 0, access, key);
  return RegOpenKeyExW(parent, RegTextToWide(subPath).c_str(), 0, access, key);
}

LONG CreateRegKeyByText(HKEY parent, const char* name, REGSAM access, HKEY* key, DWORD* disposition) {
  *key = nullptr;
  DWORD ignored;
  if (!disposition) disposition = &ignored;
  if (!IsMarkedRegText(name)) return RegCreateKeyExA(parent, name, 0, nullptr, 0, access, nullptr, key, disposition);
  return RegCreateKeyExW(parent, RegTextToWide(name).c_str(), 0, nullptr, 0, access, nullptr, key, disposition);
}

LONG DeleteRegValueByText(HKEY key, const char* name) {
  if (!IsMarkedRegText(name)) return RegDeleteValueA(key, name);
  return RegDeleteValueW(key, RegTextToWide(name).c_str());
}

bool RegValueExistsByText(HKEY key, const char* name) {
  DWORD type, size = 0;
  LONG err = IsMarkedRegText(name) ? RegQueryValueExW(key, RegTextToWide(name).c_str(), nullptr, &type, nullptr, &size)
                                   : RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  return err == ERROR_SUCCESS || err == ERROR_MORE_DATA;
}

bool RegKeyExistsByText(HKEY parent, const char* name) {
  HKEY sub;
  if (OpenRegKeyByText(parent, name, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &sub) != ERROR_SUCCESS) return false;
  RegCloseKey(sub);
  return true;
}

LONG QueryRegValueByText(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
  if (!IsMarkedRegText(name)) return RegQueryValueExA(key, name, nullptr, type, data, size);
  std::wstring wide = RegTextToWide(name);
  DWORD wideSize = 0;
  LONG err = RegQueryValueExW(key, wide.c_str(), nullptr, type, nullptr, &wideSize);
  if (err != ERROR_SUCCESS) return err;
  std::vector<BYTE> raw(wideSize + 2);
  err = RegQueryValueExW(key, wide.c_str(), nullptr, type, raw.data(), &wideSize);
  if (err != ERROR_SUCCESS) return err;
  DWORD need = wideSize;
  std::string text;
  if (IsRegTextType(*type)) {
    int units = (int)(wideSize / 2);
    int n = units ? WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)raw.data(), units, nullptr, 0, nullptr, nullptr) : 0;
    text.resize(n > 0 ? n : 0);
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)raw.data(), units, &text[0], n, nullptr, nullptr);
    need = (DWORD)text.size();
  }
  if (!data) {
    *size = need;
    return ERROR_SUCCESS;
  }
  if (need > *size) {
    *size = need;
    return ERROR_MORE_DATA;
  }
  memcpy(data, IsRegTextType(*type) ? (const BYTE*)text.data() : raw.data(), need);
  *size = need;
  return ERROR_SUCCESS;
}
