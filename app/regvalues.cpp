// Names of the value types and the "Typ" and "Daten" cells of a value.
#include "app/regvalues.h"

#include <cstdio>
#include <cstring>

namespace {

const int kMaxStringChars = 250;  // characters after the opening quote
const DWORD kMaxHexBytes = 75;

struct Out {
  char* p;
  int size;
  int n = 0;
  void Put(char c) {
    if (n < size - 1) p[n++] = c;
  }
  void Puts(const char* s) {
    while (*s) Put(*s++);
  }
  void End() { p[n < size ? n : size - 1] = 0; }
};

// The byte of a string's data that is half a character, after the text.
void PutOddByte(Out& out, int oddByte) {
  if (oddByte < 0) return;
  static const char hex[] = "0123456789ABCDEF";
  out.Puts(" (+1 Byte: ");
  out.Put(hex[(oddByte >> 4) & 15]);
  out.Put(hex[oddByte & 15]);
  out.Put(')');
}

void FormatString(Out& out, const BYTE* data, DWORD size, DWORD fullSize, bool multi, int oddByte) {
  // A multi-string's final NUL goes first, so its last string closes like a string's.
  bool dropped = multi && size > 0 && size == fullSize && data[size - 1] == 0;
  if (dropped) --size, --fullSize;
  out.Put('"');
  int chars = 0;
  for (DWORD i = 0; i < size; ++i) {
    BYTE b = data[i];
    if (chars >= kMaxStringChars) {
      out.Puts(" ...");
      return;
    }
    if (b == 0) {
      bool more = i + 1 < fullSize;
      if (multi && more) {
        out.Puts("\"   \"");
        chars += 5;
        continue;
      }
      out.Put('"');
      PutOddByte(out, oddByte);
      return;
    }
    out.Put((char)b);
    ++chars;
  }
  // Data cut at the bytes read: more follows.
  if (size < fullSize) {
    out.Puts(" ...");
    return;
  }
  // Also a string stored without its NUL shows where it ends.
  out.Put('"');
  PutOddByte(out, oddByte);
}

}  // namespace

const char* GetRegTypeName(DWORD type, int flag) {
  static const char* const names[] = {"REG_NONE",
                                      "REG_SZ",
                                      "REG_EXPAND_SZ",
                                      "REG_BINARY",
                                      "REG_DWORD",
                                      "REG_DWORD_BIG_ENDIAN",
                                      "REG_LINK",
                                      "REG_MULTI_SZ",
                                      "REG_RESOURCE_LIST",
                                      "REG_FULL_RESOURCE_DESCRIPTOR",
                                      "REG_RESOURCE_REQUIREMENTS_LIST",
                                      "REG_QWORD"};
  if (type < 12) return names[type];
  return flag ? nullptr : "???";
}

int FormatRegValueCells(bool ok, bool isDefault, DWORD type, const BYTE* data, DWORD size, DWORD fullSize,
                        char* typeText, int typeSize, char* dataText, int dataSize, int oddByte) {
  Out out{dataText, dataSize};
  if (!ok) {
    lstrcpynA(typeText, isDefault ? "REG_SZ" : "???", typeSize);
    out.Puts(isDefault ? "(Wert nicht festgelegt)" : "(Fehler beim Lesen)");
    out.End();
    return 0;
  }
  lstrcpynA(typeText, GetRegTypeName(type, 0), typeSize);
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
      if (isDefault && fullSize <= 1 && oddByte < 0)
        out.Puts("(Wert nicht gesetzt)");
      else
        FormatString(out, data, size, fullSize, type == REG_MULTI_SZ, oddByte);
      break;
    case REG_DWORD: {
      // Shorter data is taken zero-extended.
      DWORD v = 0;
      memcpy(&v, data, size < 4 ? size : 4);
      char buf[40];
      sprintf(buf, "0x%08X / %d", (unsigned)v, (int)v);
      out.Puts(buf);
      break;
    }
    case REG_QWORD: {
      unsigned long long v = 0;
      memcpy(&v, data, size < 8 ? size : 8);
      char buf[64];
      sprintf(buf, "0x%08X%08X / ", (unsigned)(v >> 32), (unsigned)v);
      out.Puts(buf);
      // Signed decimal without relying on the runtime's 64-bit printf.
      char digits[24];
      int k = 0;
      bool negative = (long long)v < 0;
      unsigned long long m = negative ? 0 - v : v;
      do {
        digits[k++] = (char)('0' + m % 10);
        m /= 10;
      } while (m);
      if (negative) out.Put('-');
      while (k) out.Put(digits[--k]);
      break;
    }
    default: {
      DWORD n = fullSize < kMaxHexBytes ? fullSize : kMaxHexBytes;
      if (n > size) n = size;
      static const char hex[] = "0123456789ABCDEF";
      for (DWORD i = 0; i < n; ++i) {
        out.Put(hex[data[i] >> 4]);
        out.Put(hex[data[i] & 15]);
        out.Put(' ');
        if (i % 4 == 3 || i + 1 == n) out.Put(' ');
      }
      if (fullSize > kMaxHexBytes) out.Puts("...");
    }
  }
  out.End();
  return 1;
}
