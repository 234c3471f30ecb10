#include "system/pathedit.h"

#include "base/cstring.h"
#include "system/pathchars.h"

using namespace pathchars;

namespace {

// "*.bak", ".bak" and "bak" all name the extension "bak".
template <class C>
const C* SkipExtensionPrefix(const C* ext) {
  if (*ext == '*') ++ext;
  if (*ext == '.') ++ext;
  return ext;
}

// The source, cut to size - 1 characters, as the target.
template <class C>
int CopyCut(C* target, const C* src, int n, int size) {
  if (n > size - 1) n = size - 1;
  if (target != src) Move(target, src, n);
  target[n] = 0;
  return n;
}

// Start of the file name; the first character is never taken as a separator.
template <class C>
int NameStartAfterFirst(const C* p, int n) {
  while (n > 1 && !IsSepOrColon(p[n - 1])) --n;
  return n > 1 ? n : 0;
}

template <class C>
int InsertExtensionT(int n, C* target, const C* src, const C* ext, int size) {
  if (size < 1) return 0;
  n = LengthOr(n, src);
  ext = SkipExtensionPrefix(ext);
  int nExt = Length(ext);
  int at = n;  // the last dot of the name, a leading one included
  for (int i = n - 1; i >= 0 && !IsSepOrColon(src[i]); --i) {
    if (src[i] == '.') {
      at = i;
      break;
    }
  }
  int total = n + 1 + nExt;
  if (total > size - 1) return CopyCut(target, src, n, size);
  Move(target + at + 1 + nExt, src + at, n - at);
  if (target != src) Move(target, src, at);
  target[at] = '.';
  Move(target + at + 1, ext, nExt);
  target[total] = 0;
  return total;
}

template <class C>
int ReplaceExtensionT(int n, C* target, const C* src, const C* ext, int size) {
  if (size < 1) return 0;
  n = LengthOr(n, src);
  ext = SkipExtensionPrefix(ext);
  int dot = ExtensionDot(src, n, true);
  if (dot < 0) dot = n;
  if (dot + 1 >= size - 1) return CopyCut(target, src, n, size);
  if (target != src) Move(target, src, dot);
  int total = dot;
  if (*ext) {
    target[total++] = '.';
    int nExt = Length(ext);
    if (nExt > size - 1 - total) nExt = size - 1 - total;
    Move(target + total, ext, nExt);
    total += nExt;
  }
  target[total] = 0;
  return total;
}

template <class C>
int ReplaceFileNamePartT(int n, C* target, const C* src, const C* name, int nName, int size) {
  if (size < 1) return 0;
  n = LengthOr(n, src);
  int start = NameStartAfterFirst(src, n);
  if (start >= size - 1) return CopyCut(target, src, n, size);
  if (target != src) Move(target, src, start);
  nName = LengthOr(nName, name);
  if (nName > size - 1 - start) nName = size - 1 - start;
  Move(target + start, name, nName);
  target[start + nName] = 0;
  return start + nName;
}

template <class C>
int ReplaceBaseNameT(int n, C* target, const C* src, const C* text, int nText, int size) {
  if (size < 1) return 0;
  n = LengthOr(n, src);
  nText = LengthOr(nText, text);
  int start = NameStartAfterFirst(src, n);
  int dot = n;  // the base runs to the name's last dot, a leading one included
  for (int i = n - 1; i >= start; --i) {
    if (src[i] == '.') {
      dot = i;
      break;
    }
  }
  int total = start + nText + (n - dot);
  if (total > size - 1) return n;
  Move(target + start + nText, src + dot, n - dot);
  if (target != src) Move(target, src, start);
  Move(target + start, text, nText);
  target[total] = 0;
  return total;
}

template <class C>
int ReplaceDirectoryPartT(int n, C* target, const C* src, const C* dir, int nDir, int size) {
  if (size < 1) return 0;
  n = LengthOr(n, src);
  nDir = LengthOr(nDir, dir);
  int start = NameStart(src, n);
  int nSep = (nDir > 0 && IsSep(dir[nDir - 1])) ? 0 : 1;
  int total = nDir + nSep + (n - start);
  if (total > size - 1) return n;
  Move(target + nDir + nSep, src + start, n - start);
  Move(target, dir, nDir);
  if (nSep) target[nDir] = '\\';
  target[total] = 0;
  return total;
}

// Runs an editing routine in place on str, sized for the source, the new
// text and two more characters. The text is a copy: str's buffer may move.
template <class Edit>
int EditStr(CString& str, const CString& text, Edit edit) {
  int nSrc = str.GetLength();
  int size = nSrc + text.GetLength() + 2;
  char* buf = str.GetBuffer(size);
  int n = edit(nSrc, buf, (const char*)text, text.GetLength(), size);
  str.ReleaseBuffer(n);
  return n;
}

int InsertExt(int n, char* buf, const char* ext, int, int size) { return InsertExtensionT(n, buf, buf, ext, size); }
int ReplaceExt(int n, char* buf, const char* ext, int, int size) { return ReplaceExtensionT(n, buf, buf, ext, size); }
int ReplaceName(int n, char* buf, const char* name, int nName, int size) {
  return ReplaceFileNamePartT(n, buf, buf, name, nName, size);
}
int ReplaceBase(int n, char* buf, const char* text, int nText, int size) {
  return ReplaceBaseNameT(n, buf, buf, text, nText, size);
}
int ReplaceDir(int n, char* buf, const char* dir, int nDir, int size) {
  return ReplaceDirectoryPartT(n, buf, buf, dir, nDir, size);
}

CString TextCopy(const char* text, int n) { return n < 0 ? CString(text) : CString(text, n); }

// The same from a source text, which may lie inside str.
template <class Edit>
int EditStrFrom(CString& str, const char* src, const CString& text, Edit edit) {
  str = src;
  return EditStr(str, text, edit);
}

}  // namespace

int InsertExtension(int n, char* t, const char* src, const char* ext, int size) {
  return InsertExtensionT(n, t, src, ext, size);
}
int InsertExtensionW(int n, wchar_t* t, const wchar_t* src, const wchar_t* ext, int size) {
  return InsertExtensionT(n, t, src, ext, size);
}
int InsertExtensionStr(CString& str, const char* ext) { return EditStr(str, CString(ext), InsertExt); }
int InsertExtensionStr(CString& str, const char* src, const char* ext) {
  return EditStrFrom(str, src, CString(ext), InsertExt);
}
int InsertExtensionStr(CString& str, const CString& src, const char* ext) {
  return EditStrFrom(str, src, CString(ext), InsertExt);
}

int ReplaceExtension(int n, char* t, const char* src, const char* ext, int size) {
  return ReplaceExtensionT(n, t, src, ext, size);
}
int ReplaceExtensionW(int n, wchar_t* t, const wchar_t* src, const wchar_t* ext, int size) {
  return ReplaceExtensionT(n, t, src, ext, size);
}
int ReplaceExtensionStr(CString& str, const char* ext) { return EditStr(str, CString(ext), ReplaceExt); }
int ReplaceExtensionStr(CString& str, const char* src, const char* ext) {
  return EditStrFrom(str, src, CString(ext), ReplaceExt);
}
int ReplaceExtensionStr(CString& str, const CString& src, const char* ext) {
  return EditStrFrom(str, src, CString(ext), ReplaceExt);
}

int ReplaceFileNamePart(int n, char* t, const char* src, const char* name, int nName, int size) {
  return ReplaceFileNamePartT(n, t, src, name, nName, size);
}
int ReplaceFileNamePartW(int n, wchar_t* t, const wchar_t* src, const wchar_t* name, int nName, int size) {
  return ReplaceFileNamePartT(n, t, src, name, nName, size);
}
int ReplaceFileNamePartStr(CString& str, const char* name, int nName) {
  return EditStr(str, TextCopy(name, nName), ReplaceName);
}
int ReplaceFileNamePartStr(CString& str, const char* src, const char* name, int nName) {
  return EditStrFrom(str, src, TextCopy(name, nName), ReplaceName);
}
int ReplaceFileNamePartStr(CString& str, const CString& src, const char* name, int nName) {
  return EditStrFrom(str, src, TextCopy(name, nName), ReplaceName);
}

int ReplaceBaseName(int n, char* t, const char* src, const char* text, int nText, int size) {
  return ReplaceBaseNameT(n, t, src, text, nText, size);
}
int ReplaceBaseNameW(int n, wchar_t* t, const wchar_t* src, const wchar_t* text, int nText, int size) {
  return ReplaceBaseNameT(n, t, src, text, nText, size);
}
int ReplaceBaseNameStr(CString& str, const char* text, int nText) {
  return EditStr(str, TextCopy(text, nText), ReplaceBase);
}
int ReplaceBaseNameStr(CString& str, const char* src, const char* text, int nText) {
  return EditStrFrom(str, src, TextCopy(text, nText), ReplaceBase);
}
int ReplaceBaseNameStr(CString& str, const CString& src, const char* text, int nText) {
  return EditStrFrom(str, src, TextCopy(text, nText), ReplaceBase);
}

int ReplaceDirectoryPart(int n, char* t, const char* src, const char* dir, int nDir, int size) {
  return ReplaceDirectoryPartT(n, t, src, dir, nDir, size);
}
int ReplaceDirectoryPartW(int n, wchar_t* t, const wchar_t* src, const wchar_t* dir, int nDir, int size) {
  return ReplaceDirectoryPartT(n, t, src, dir, nDir, size);
}
int ReplaceDirectoryPartStr(CString& str, const char* dir, int nDir) {
  return EditStr(str, TextCopy(dir, nDir), ReplaceDir);
}
int ReplaceDirectoryPartStr(CString& str, const char* src, const char* dir, int nDir) {
  return EditStrFrom(str, src, TextCopy(dir, nDir), ReplaceDir);
}
int ReplaceDirectoryPartStr(CString& str, const CString& src, const char* dir, int nDir) {
  return EditStrFrom(str, src, TextCopy(dir, nDir), ReplaceDir);
}
