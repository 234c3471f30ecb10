#include <string>

#include "system/deletefile.h"
#include "system/files/copyhelpers.h"
#include "system/files/copymove.h"
#include "system/files/filetwins.h"
#include "system/pathchars.h"
#include "system/pathparts.h"
#include "system/pathtype.h"

using copyhelpers::Str;

namespace {

// Limits of the backup name: the name before the pattern's rest, and with it.
const size_t kNameLimit = 260;
const size_t kWholeLimit = 268;

inline int FullDirectory(char* out, const char* p, int size) { return GetFullDirectory(out, p, size); }
inline int FullDirectory(wchar_t* out, const wchar_t* p, int size) { return GetFullDirectoryW(out, p, size); }
inline int PathType(const char* p) { return GetPathType(p); }
inline int PathType(const wchar_t* p) { return GetPathTypeW(p); }
inline int DeleteForce(const char* p) { return DeleteFileForce(p); }
inline int DeleteForce(const wchar_t* p) { return DeleteFileForceW(p); }

template <class C>
Str<C> FileNamePart(const Str<C>& path) {
  return path.substr((size_t)pathchars::NameStart(path.c_str(), (int)path.size()));
}

// The name so far loses its last d extensions; with fewer it loses all of
// them and keeps the name before the first dot.
template <class C>
void RemoveExtensions(Str<C>& name, int d) {
  size_t start = (size_t)pathchars::NameStart(name.c_str(), (int)name.size());
  size_t cut = name.size();
  for (size_t i = name.size(); i > start + 1 && d > 0; --i) {
    if (name[i - 1] == '.') {
      cut = i - 1;
      --d;
    }
  }
  name.resize(cut);
}

template <class C>
void WriteCounter(Str<C>& name, size_t at, int digits, int value) {
  for (int k = digits - 1; k >= 0; --k) {
    name[at + (size_t)k] = (C)('0' + value % 10);
    value /= 10;
  }
}

template <class C>
int Backup(const C* file, const C* patternIn, uint8_t flags, int maxCount, int position, int digits, const C* baseIn) {
  if (!file || !patternIn || digits < 1 || digits > 4 || maxCount < 0) return 0;
  Str<C> pattern(patternIn);
  if (pattern.size() > kNameLimit) return 0;
  Str<C> base = copyhelpers::Text(baseIn ? baseIn : file);
  size_t lastStart = (size_t)pathchars::NameStart(pattern.c_str(), (int)pattern.size());
  size_t counterAt = Str<C>::npos;  // index into the pattern
  size_t markerLength = 0;
  if (position < 0) {
    for (size_t i = lastStart; i + 2 < pattern.size(); ++i) {
      if (pattern[i] == '#' && pattern[i + 1] >= '1' && pattern[i + 1] <= '4' && pattern[i + 2] == '#') {
        counterAt = i;
        digits = pattern[i + 1] - '0';
        markerLength = 3;
        break;
      }
    }
  } else {
    if ((size_t)position + (size_t)digits > pattern.size()) return 0;
    counterAt = (size_t)position;
    markerLength = (size_t)digits;
  }
  bool counter = counterAt != Str<C>::npos;

  Str<C> name;
  if (lastStart > 0) {
    name = pattern.substr(0, lastStart);
  } else {
    C dir[wintwins::kMaxPath];
    if (FullDirectory(dir, base.c_str(), wintwins::kMaxPath) <= 0) return 0;
    name = dir;
  }
  size_t p = lastStart;  // next pattern character to take
  Str<C> fileName = FileNamePart(base);
  if (p < pattern.size() && pattern[p] == '*') {
    name += fileName;
    ++p;
  } else if (p < pattern.size() && pattern[p] == '?') {
    int dot = -1;
    for (size_t i = 1; i < fileName.size(); ++i) {
      if (fileName[i] == '.') dot = (int)i;
    }
    name += dot < 0 ? fileName : fileName.substr(0, (size_t)dot);
    ++p;
  } else if (!counter) {
    name += fileName;
  }
  if (name.size() > kNameLimit) return 0;
  if (p + 1 < pattern.size() && pattern[p] == '$' && pattern[p + 1] >= '1' && pattern[p + 1] <= '9' &&
      (!counter || p < counterAt)) {
    RemoveExtensions(name, pattern[p + 1] - '0');
    p += 2;
  }
  if (name.size() + (pattern.size() - p) > kWholeLimit) return 0;
  size_t counterInName = Str<C>::npos;
  if (counter) {
    if (counterAt < p) return 0;  // the caller's position lies in a part already taken
    name.append(pattern, p, counterAt - p);
    counterInName = name.size();
    name.append((size_t)digits, (C)'0');
    p = counterAt + markerLength;
  } else if (!(flags & BACKUP_NO_COUNTER)) {
    name += (C)'.';
    counterInName = name.size();
    name += (C)'0';
    digits = 1;
  }
  name.append(pattern, p, Str<C>::npos);

  int capacity = 1;
  if (counterInName != Str<C>::npos) {
    for (int k = 0; k < digits; ++k) capacity *= 10;
  }
  int n = maxCount == 0 || maxCount > capacity ? capacity : maxCount;
  auto nameOf = [&](int value) {
    Str<C> s = name;
    if (counterInName != Str<C>::npos) WriteCounter(s, counterInName, digits, value);
    return s;
  };

  if (PathType(nameOf(0).c_str()) != PATHTYPE_NONE) {
    if (flags & BACKUP_NO_ROTATE) return 0;
    int free = 1;
    while (free < n && PathType(nameOf(free).c_str()) != PATHTYPE_NONE) ++free;
    if (free >= n) {
      free = n - 1;
      if (!DeleteForce(nameOf(free).c_str())) return 0;
    }
    for (int k = free; k > 0; --k) {
      if (!wintwins::Move(nameOf(k - 1).c_str(), nameOf(k).c_str())) return 0;
    }
  }
  Str<C> first = nameOf(0);
  BOOL ok = (flags & BACKUP_COPY) ? wintwins::Copy(file, first.c_str(), TRUE) : wintwins::Move(file, first.c_str());
  return ok ? 1 : 0;
}

}  // namespace

int MakeBackupFileA(const char* pszFile, const char* pszPattern, uint8_t flags, int nMax, int nPosition, int nDigits,
                    const char* pszBaseName) {
  return Backup(pszFile, pszPattern, flags, nMax, nPosition, nDigits, pszBaseName);
}
int MakeBackupFileW(const wchar_t* pszFile, const wchar_t* pszPattern, uint8_t flags, int nMax, int nPosition,
                    int nDigits, const wchar_t* pszBaseName) {
  return Backup(pszFile, pszPattern, flags, nMax, nPosition, nDigits, pszBaseName);
}
