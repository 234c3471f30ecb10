#include "text/web/tags.h"

#include <type_traits>

#include "text/classtable.h"
#include "text/tokens/token.h"
#include "text/twins.h"
#include "text/web/webdecode.h"

namespace {

template <class Char>
unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}
inline unsigned Fold(unsigned u) { return u - 'A' < 26 ? u + 32 : u; }

// After a name: letters and digits go on with it; in 16-bit text every
// character above 255 does too.
template <class Char>
bool ContinuesName(Char c) {
  unsigned u = Unit(c);
  return (sizeof(Char) > 1 && u > 255) || (u <= 255 && (CharClassTable[u] & CC_ALNUM));
}
template <class Char>
bool IsWordChar(Char c) {
  unsigned u = Unit(c);
  return u > 255 || (CharClassTable[u] & (CC_IDENT | CC_HIGH));
}
template <class Char>
bool SameName(const Char* s, const Char* name, int length) {
  for (int i = 0; i < length; ++i)
    if (Fold(Unit(s[i])) != Fold(Unit(name[i]))) return false;
  return true;
}

// Passes over a quoted stretch at s[i] (a double quote or apostrophe): it
// ends at its own quote (consumed), or before "<" or ">".
template <class Char>
int SkipQuoted(const Char* s, int i, int n) {
  Char quote = s[i++];
  while (i < n && s[i] != quote && s[i] != '<' && s[i] != '>') ++i;
  return i < n && s[i] == quote ? i + 1 : i;
}

// From inside a tag to the position after its ">", or n.
template <class Char>
int SkipTag(const Char* s, int i, int n) {
  while (i < n) {
    if (s[i] == '"' || s[i] == '\'') {
      i = SkipQuoted(s, i, n);
    } else if (s[i] == '>') {
      return i + 1;
    } else {
      ++i;
    }
  }
  return n;
}

template <class Char>
int SkipToTagEnd(int n, const Char* s, uint32_t flags) {
  if (n < 1) return 0;
  if ((flags & TAGEND_MUST_OPEN) && s[0] != '<') return 0;
  for (int i = 0; i < n; ++i) {
    if (s[i] == '>') return i + 1;
    if (s[i] == 0 && (flags & TAGEND_NUL_ENDS)) return i;
    if (s[i] == '"') {
      ++i;
      while (i < n && s[i] != '"') {
        if (s[i] == 0 && (flags & TAGEND_NUL_ENDS)) return i;
        ++i;
      }
    }
  }
  return n;
}

template <class Char>
int FindTag(const Char* s, int n, const Char* name, int* after, int* end, uint32_t flags) {
  int nameLength = (int)(flags & TAGFIND_NAME_LENGTH);
  if (!nameLength) nameLength = twins::LengthBounded(name, 255);
  if (flags & TAGFIND_NUL_ENDS) {
    for (int i = 0; i < n; ++i)
      if (s[i] == 0) n = i;
  }
  if (n < 0) n = 0;
  if (nameLength < 1) {
    if (after) *after = n;
    return -1;
  }
  const bool wantClosing = (flags & TAGFIND_CLOSING) != 0;
  const bool nested = wantClosing && (flags & TAGFIND_NESTED);
  int depth = flags & TAGFIND_DEPTH_MINUS1 ? -1 : 0;
  int i = 0;
  while (i < n) {
    if (s[i] != '<') {
      ++i;
      continue;
    }
    const int pos = i;
    int j = i + 1;
    bool closing = j < n && s[j] == '/';
    if (closing) ++j;
    bool examined = closing ? (flags & (TAGFIND_CLOSING | TAGFIND_NESTED)) != 0 : true;
    // The name and the character after it lie inside the text.
    bool match =
        examined && j + nameLength < n && SameName(s + j, name, nameLength) && !ContinuesName(s[j + nameLength]);
    int tagEnd = SkipTag(s, j, n);
    if (!match) {
      i = tagEnd > pos + 1 ? tagEnd : pos + 1;
      continue;
    }
    bool selfClosing = tagEnd - 2 > pos && s[tagEnd - 1] == '>' && s[tagEnd - 2] == '/';
    bool result;
    if (!wantClosing) {
      result = !closing;
    } else if (!nested) {
      result = closing;
    } else if (!closing) {
      if (!selfClosing) ++depth;
      result = false;
    } else {
      result = depth < 1;
      if (!result) --depth;
    }
    if (!result) {
      i = tagEnd;
      continue;
    }
    if (after) *after = tagEnd;
    if (end) {
      int e = tagEnd, length = 0;
      if (!closing && !selfClosing) {
        int closeAfter;
        int c = FindTag(s + tagEnd, n - tagEnd, name, &closeAfter, nullptr,
                        TAGFIND_CLOSING | TAGFIND_NESTED | (flags & TAGFIND_NUL_ENDS) | (uint32_t)nameLength);
        if (c < 0) {
          e = n;
        } else {
          e = tagEnd + (flags & TAGFIND_END_AT_CLOSE ? c : closeAfter);
          length = closeAfter - c > 255 ? 255 : closeAfter - c;
        }
      }
      if (flags & TAGFIND_END_WITH_LENGTH) e = (int)((unsigned)e << 8 | (unsigned)length);
      *end = e;
    }
    return pos;
  }
  if (after) *after = n;
  return -1;
}

int ScanToken(const char* s, char open, int n) { return ScanTokenNA(s, 0, open, n); }
int ScanToken(const wchar_t* s, wchar_t open, int n) { return ScanTokenNW(s, 0, open, n); }

template <class Char>
int FindTagAttribute(const Char* s, int n, const Char* name, int* valueLength, int* after) {
  const int nameLength = twins::Length(name);
  int i = 0;
  if (valueLength) *valueLength = 0;
  while (i < n) {
    Char c = s[i];
    if (c == '>') {
      if (after) *after = i + 1;
      return -1;
    }
    if (c == '"' || c == '\'') {
      i = SkipQuoted(s, i, n);
      continue;
    }
    if (!IsWordChar(c)) {
      ++i;
      continue;
    }
    int j = i;
    while (j < n && IsWordChar(s[j])) ++j;
    if (nameLength > 0 && j - i == nameLength && j < n && s[j] == '=' && SameName(s + i, name, nameLength)) {
      int v = j + 1, e;
      if (v < n && (s[v] == '"' || s[v] == '\'')) {
        Char quote = s[v++];
        e = v;
        while (e < n && s[e] != quote && s[e] != '<' && s[e] != '>') ++e;
      } else {
        e = v;
        while (e < n && s[e] != ' ' && s[e] != '\t' && s[e] != '\r' && s[e] != '\n' && s[e] != '"' && s[e] != '\'' &&
               s[e] != '<' && s[e] != '>')
          ++e;
      }
      if (valueLength) *valueLength = e - v;
      if (after) {
        int k = e;
        while (k < n && s[k] != '>') ++k;
        *after = k < n ? k + 1 : n;
      }
      return v;
    }
    i = j;
    if (i < n && s[i] == '=') {
      // Another attribute's value, passed over as one token; a bare one
      // stops at the tag's ">".
      ++i;
      int k = i;
      while (k < n && (s[k] == ' ' || s[k] == '\t')) ++k;
      if (k < n && (s[k] == '"' || s[k] == '\'')) {
        i += ScanToken(s + i, s[k], n - i);
      } else {
        while (k < n && s[k] != '>' && Unit(s[k]) > ' ' && s[k] != ',' && s[k] != ';') ++k;
        i = k;
      }
    }
  }
  if (after) *after = n;
  return -1;
}

int DecodeValue(const char* s, int n, char* dest, int size) {
  return DecodeWebTextA(s, n, dest, size, WEBDEC_UTF8 | WEBDEC_REFERENCES, nullptr);
}
int DecodeValue(const wchar_t* s, int n, wchar_t* dest, int size) {
  return DecodeWebTextW(s, n, dest, size, WEBDEC_UTF8 | WEBDEC_REFERENCES, nullptr);
}

template <class Char>
int GetTagAttribute(const Char* s, int n, Char* dest, int size, const Char* name) {
  int length = 0;
  int v = FindTagAttribute(s, n, name, &length, nullptr);
  if (v < 0) {
    if (size >= 1) dest[0] = 0;
    return 0;
  }
  return DecodeValue(s + v, length, dest, size);
}

}  // namespace

int SkipToTagEndA(int n, const char* text, uint32_t flags) { return SkipToTagEnd(n, text, flags); }
int SkipToTagEndW(int n, const wchar_t* text, uint32_t flags) { return SkipToTagEnd(n, text, flags); }
int FindTagA(const char* text, int n, const char* name, int* after, int* end, uint32_t flags) {
  return FindTag(text, n, name, after, end, flags);
}
int FindTagW(const wchar_t* text, int n, const wchar_t* name, int* after, int* end, uint32_t flags) {
  return FindTag(text, n, name, after, end, flags);
}
int FindTagAttributeA(const char* text, int n, const char* name, int* valueLength, int* after) {
  return FindTagAttribute(text, n, name, valueLength, after);
}
int FindTagAttributeW(const wchar_t* text, int n, const wchar_t* name, int* valueLength, int* after) {
  return FindTagAttribute(text, n, name, valueLength, after);
}
int GetTagAttributeA(const char* text, int n, char* dest, int size, const char* name) {
  return GetTagAttribute(text, n, dest, size, name);
}
int GetTagAttributeW(const wchar_t* text, int n, wchar_t* dest, int size, const wchar_t* name) {
  return GetTagAttribute(text, n, dest, size, name);
}
