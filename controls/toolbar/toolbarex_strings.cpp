// The string table: UTF-16 strings with their length, at most 256 characters.
#include <cstring>
#include <new>
#include <vector>

#include "controls/toolbar/toolbarex_data.h"

namespace {
int Length(const WCHAR* s) { return s[0]; }
const WCHAR* Chars(const WCHAR* s) { return s + 1; }

// Appends one string; its index, -1 out of memory.
int Append(ToolbarExData* data, const WCHAR* text, int length) {
  if (data->stringCount == data->stringCapacity) {
    unsigned capacity = data->stringCapacity + 32;
    auto** grown = new (std::nothrow) WCHAR*[capacity];
    if (!grown) return -1;
    if (data->strings) std::memcpy(grown, data->strings, data->stringCount * sizeof *grown);
    delete[] data->strings;
    data->strings = grown;
    data->stringCapacity = capacity;
  }
  auto* s = new (std::nothrow) WCHAR[length + 2];
  if (!s) return -1;
  s[0] = (WCHAR)length;
  std::memcpy(s + 1, text, length * sizeof(WCHAR));
  s[length + 1] = 0;
  data->strings[data->stringCount] = s;
  return (int)data->stringCount++;
}

// The text as UTF-16: widened in the ANSI code page, as stored.
std::vector<WCHAR> Widen(const void* text, int length, bool wide) {
  if (wide) {
    const WCHAR* w = static_cast<const WCHAR*>(text);
    return std::vector<WCHAR>(w, w + length);
  }
  std::vector<WCHAR> out(length > 0 ? length : 1);
  int n = length > 0 ? MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(text), length, out.data(), length) : 0;
  out.resize(n);
  return out;
}

template <typename Ch>
int UnitLength(const Ch* s, Ch end, int max) {
  int n = 0;
  while (n <= max && s[n] && s[n] != end) n++;
  return n;
}

// Adds one string of n units; its index, -1 when too long or out of memory.
template <typename Ch>
int AddOne(ToolbarExData* data, const Ch* s, int n, bool wide) {
  if (n > kMaxStringLength) return -1;
  std::vector<WCHAR> w = Widen(s, n, wide);
  if ((int)w.size() > kMaxStringLength) return -1;
  return Append(data, w.data(), (int)w.size());
}

// Adds strings one after another until an empty one; the first index.
template <typename Ch>
int AddSeparated(ToolbarExData* data, const Ch* p, Ch separator, bool wide) {
  int first = -1;
  for (int k = 0; k < 32769; k++) {
    int n = UnitLength(p, separator, kMaxStringLength);
    if (n == 0) break;
    int index = AddOne(data, p, n, wide);
    if (index < 0) return -1;
    if (first < 0) first = index;
    p += n;
    // A 0 ends the buffer, unless 0 is the separator (then two end it).
    if (!*p && separator) break;
    p++;
  }
  return first;
}

// Adds the strings of the buffer in its unit type.
template <typename Ch>
int AddStrings(ToolbarExData* data, const Ch* p, UINT code, bool wide) {
  if (code == 0xFFFF) return AddOne(data, p + 1, UnitLength(p + 1, p[0], kMaxStringLength), wide);
  if (code == 0xFFFE) return AddOne(data, p, UnitLength(p, (Ch)0, kMaxStringLength), wide);
  return AddSeparated(data, p, (Ch)code, wide);
}
}  // namespace

int ToolbarExAddStrings(ToolbarExData* data, const void* buffer, UINT separator, bool wide) {
  if (!buffer) return -1;
  if (wide) return AddStrings(data, static_cast<const WCHAR*>(buffer), separator, true);
  return AddStrings(data, static_cast<const char*>(buffer), separator, false);
}

int ToolbarExAddStringResource(ToolbarExData* data, HINSTANCE module, UINT id) {
  if (!FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), (LPCWSTR)RT_STRING)) return -1;
  const WCHAR* text = nullptr;
  // Size 0: a read-only pointer to the unterminated resource string.
  int length = LoadStringW(module, id, (LPWSTR)&text, 0);
  if (length < 1 || !text) return -1;
  // The first character separates the strings of the rest.
  std::vector<WCHAR> copy(text + 1, text + length);
  copy.push_back(0);
  return AddSeparated(data, copy.data(), text[0], true);
}

int ToolbarExDeleteStrings(ToolbarExData* data, int first, int count) {
  if (first < 0 || (unsigned)first >= data->stringCount || count <= 0) return 0;
  if (count > (int)data->stringCount - first) count = (int)data->stringCount - first;
  for (int i = first; i < first + count; i++) delete[] data->strings[i];
  std::memmove(data->strings + first, data->strings + first + count,
               (data->stringCount - first - count) * sizeof *data->strings);
  data->stringCount -= count;
  bool changed = false;
  for (unsigned i = 0; i < data->buttonCount; i++) {
    ToolbarExButton* b = data->buttons[i];
    if (b->tb.iString >= first + count) {
      b->tb.iString -= count;
    } else if (b->tb.iString >= first) {
      // Its string is gone: no text rather than the one moved into the slot.
      b->tb.iString = -1;
      ToolbarExMarkButton(b);
      changed = true;
    }
  }
  if (changed) {
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  }
  return count;
}

int ToolbarExFindString(ToolbarExData* data, int start, int count, const void* text, bool wide) {
  if (!text || count <= 0 || start < 0 || (unsigned)start >= data->stringCount) return -1;
  std::vector<WCHAR> key;
  if (wide) {
    const WCHAR* w = static_cast<const WCHAR*>(text);
    key.assign(w, w + UnitLength(w, (WCHAR)0, kMaxStringLength + 1));
  } else {
    // Widened as TB_ADDSTRINGA stores it, so that "\x80" finds U+20AC.
    const char* a = static_cast<const char*>(text);
    int n = UnitLength(a, (char)0, 255);
    if (n > 254) return -1;
    key = Widen(a, n, false);
  }
  int end = start + count < (int)data->stringCount ? start + count : (int)data->stringCount;
  for (int i = start; i < end; i++) {
    const WCHAR* s = data->strings[i];
    if (Length(s) == (int)key.size() && std::memcmp(Chars(s), key.data(), key.size() * sizeof(WCHAR)) == 0) return i;
  }
  return -1;
}

int ToolbarExGetString(ToolbarExData* data, int index, int size, void* buffer, bool wide) {
  if (index < 0 || (unsigned)index >= data->stringCount || !buffer || size < 1) return -1;
  const WCHAR* s = data->strings[index];
  int length = Length(s);
  if (wide) {
    int n = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, Chars(s), n * sizeof(WCHAR));
    static_cast<WCHAR*>(buffer)[n] = 0;
    return n;
  }
  // A short buffer gets size - 1 bytes and a 0.
  std::vector<char> full((size_t)length * 2 + 1);
  int bytes = WideCharToMultiByte(CP_ACP, 0, Chars(s), length, full.data(), (int)full.size(), nullptr, nullptr);
  int n = bytes < size - 1 ? bytes : size - 1;
  std::memcpy(buffer, full.data(), n);
  static_cast<char*>(buffer)[n] = 0;
  return n;
}

int ToolbarExGetButtonText(ToolbarExData* data, int index, void* buffer, bool wide) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || !buffer) return -1;
  INT_PTR s = b->tb.iString;
  if (s < 0 || (unsigned)s >= data->stringCount) {
    if (wide) {
      *static_cast<WCHAR*>(buffer) = 0;
    } else {
      *static_cast<char*>(buffer) = 0;
    }
    return 0;
  }
  return ToolbarExGetString(data, (int)s, kMaxStringLength * 2 + 1, buffer, wide);
}

int ToolbarExSetButtonString(ToolbarExData* data, int index, const void* text, bool wide) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || !text) return -1;
  // ANSI text is compared as stored: widened in the ANSI code page.
  int n = wide ? UnitLength(static_cast<const WCHAR*>(text), (WCHAR)0, kMaxStringLength + 1)
               : UnitLength(static_cast<const char*>(text), (char)0, kMaxStringLength + 1);
  std::vector<WCHAR> w = Widen(text, n, wide);
  w.push_back(0);
  int s = data->stringCount ? ToolbarExFindString(data, 0, (int)data->stringCount, w.data(), true) : -1;
  if (s < 0) s = AddStrings(data, w.data(), 0xFFFE, true);
  if (s < 0) return -1;
  if (b->tb.iString != s) {
    b->tb.iString = s;
    ToolbarExMarkButton(b);
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  }
  return s;
}

void ToolbarExFreeStrings(ToolbarExData* data) {
  for (unsigned i = 0; i < data->stringCount; i++) delete[] data->strings[i];
  delete[] data->strings;
  data->strings = nullptr;
  data->stringCount = data->stringCapacity = 0;
}
