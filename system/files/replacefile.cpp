#include <cstring>
#include <string>

#include "system/deletefile.h"
#include "system/files/copyhelpers.h"
#include "system/files/copymove.h"
#include "system/files/filetwins.h"
#include "system/filesize.h"
#include "system/pathedit.h"
#include "system/pathtype.h"

using copyhelpers::Str;

namespace {

const size_t kNameLimit = 260;
const DWORD kBlock = 4096;
const DWORD kSequential = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;

inline int PathType(const char* p) { return GetPathType(p); }
inline int PathType(const wchar_t* p) { return GetPathTypeW(p); }
inline int DeleteForce(const char* p) { return DeleteFileForce(p); }
inline int DeleteForce(const wchar_t* p) { return DeleteFileForceW(p); }
inline int ReplaceExt(char* out, const char* src, const char* ext, int size) {
  return ReplaceExtension(-1, out, src, ext, size);
}
inline int ReplaceExt(wchar_t* out, const wchar_t* src, const wchar_t* ext, int size) {
  return ReplaceExtensionW(-1, out, src, ext, size);
}
inline int FileSize(const char* p) { return GetFileSizeByName(p); }
inline int FileSize(const wchar_t* p) { return GetFileSizeByNameW(p); }
inline int Backup(const char* f, const char* p, uint8_t fl, int n, const char* b) {
  return MakeBackupFileA(f, p, fl, n, -1, 1, b);
}
inline int Backup(const wchar_t* f, const wchar_t* p, uint8_t fl, int n, const wchar_t* b) {
  return MakeBackupFileW(f, p, fl, n, -1, 1, b);
}

// Whether two names lead to one file: their full paths agree without regard
// to case.
template <class C>
bool SameFile(const C* a, const C* b) {
  C fa[wintwins::kMaxPath], fb[wintwins::kMaxPath];
  if (!wintwins::FullPath(a, fa) || !wintwins::FullPath(b, fb)) return false;
  Str<C> x(fa), y(fb);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    C ca = x[i], cb = y[i];
    if (ca >= 'a' && ca <= 'z') ca = (C)(ca - 32);
    if (cb >= 'a' && cb <= 'z') cb = (C)(cb - 32);
    if (ca == '/') ca = '\\';
    if (cb == '/') cb = '\\';
    if (ca != cb) return false;
  }
  return true;
}

template <class C>
int Replace(const C* newFile, const C* targetIn, uint8_t flags, const C* pattern, int backups) {
  if (!newFile || !targetIn) return 0;
  Str<C> target(targetIn);
  if (!target.empty() && target[0] == '*') {
    if (Str<C>(newFile).size() >= 259) return 0;
    C derived[268];
    Str<C> ext = target.substr(target.size() > 1 && target[1] == '.' ? 2 : 1);
    ReplaceExt(derived, newFile, ext.c_str(), 268);
    target = derived;
  }
  if (target.size() > kNameLimit) return 0;
  // One file as both would lose it: the new file's delete on failure, or the
  // rename chain, would take the only copy.
  if (SameFile(newFile, target.c_str())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Str<C> temp = target + copyhelpers::Ascii<C>(REPLACE_TEMP_SUFFIX);
  DeleteForce(temp.c_str());
  bool kept = wintwins::Move(target.c_str(), temp.c_str()) != 0;
  bool ok = kept || ((flags & REPLACE_TARGET_OPTIONAL) && PathType(target.c_str()) == PATHTYPE_NONE);
  if (ok && !wintwins::Move(newFile, target.c_str())) {
    if (kept) wintwins::Move(temp.c_str(), target.c_str());
    ok = false;
  }
  if (!ok) {
    if (flags & REPLACE_DELETE_NEW_ON_FAILURE) {
      if (flags & REPLACE_PLAIN_DELETE) {
        wintwins::RemoveFile(newFile);
      } else {
        DeleteForce(newFile);
      }
    }
    return 0;
  }
  if (!kept) return 1;
  if (flags & REPLACE_SWAP) {
    if (!wintwins::Move(temp.c_str(), newFile)) {
      wintwins::Move(target.c_str(), newFile);
      wintwins::Move(temp.c_str(), target.c_str());
      return 0;
    }
    return 1;
  }
  if (!pattern) {
    DeleteForce(temp.c_str());
    return 1;
  }
  if (backups <= 0) {
    Backup(temp.c_str(), pattern, BACKUP_NO_ROTATE | BACKUP_NO_COUNTER, 1, target.c_str());
  } else if (backups == 1) {
    Backup(temp.c_str(), pattern, BACKUP_NO_COUNTER, 1, target.c_str());
  } else {
    Backup(temp.c_str(), pattern, 0, backups, target.c_str());
  }
  return 1;
}

bool ReadExactly(HANDLE h, char* buf, DWORD n) {
  DWORD got = 0;
  return ReadFile(h, buf, n, &got, nullptr) && got == n;
}
bool WriteExactly(HANDLE h, const void* buf, DWORD n) {
  DWORD put = 0;
  return n == 0 || (WriteFile(h, buf, n, &put, nullptr) && put == n);
}

template <class C>
int Patch(const C* file, int offset, int length, const void* data, int dataLength, const C* pattern, int backups) {
  if (!file || offset < 0 || length < 0 || dataLength < 0 || (dataLength > 0 && !data)) return 0;
  int size = FileSize(file);
  if (size < 0 || offset > size) return 0;
  if ((int64_t)offset + length > size) length = size - offset;
  if (length == dataLength) {
    if (pattern) {
      int made = backups <= 0   ? Backup(file, pattern, BACKUP_COPY | BACKUP_NO_ROTATE | BACKUP_NO_COUNTER, 1, nullptr)
                 : backups == 1 ? Backup(file, pattern, BACKUP_COPY | BACKUP_NO_COUNTER, 1, nullptr)
                                : Backup(file, pattern, BACKUP_COPY, backups, nullptr);
      if (!made && backups != 0) return 0;
    }
    HANDLE h = wintwins::OpenFile(file, GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return 0;
    bool ok = SetFilePointer(h, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
              WriteExactly(h, data, (DWORD)dataLength);
    CloseHandle(h);
    return ok ? 1 : 0;
  }
  Str<C> temp = Str<C>(file) + copyhelpers::Ascii<C>(PATCH_TEMP_SUFFIX);
  if (temp.size() > kNameLimit + 7) return 0;
  HANDLE in = wintwins::OpenFile(file, GENERIC_READ, 0, OPEN_EXISTING, kSequential);
  if (in == INVALID_HANDLE_VALUE) return 0;
  HANDLE out = wintwins::OpenFile(temp.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, kSequential);
  if (out == INVALID_HANDLE_VALUE) {
    CloseHandle(in);
    return 0;
  }
  char buf[kBlock];
  bool ok = true;
  for (int done = 0; ok && done < offset;) {
    DWORD n = (DWORD)(offset - done < (int)kBlock ? offset - done : (int)kBlock);
    ok = ReadExactly(in, buf, n) && WriteExactly(out, buf, n);
    done += (int)n;
  }
  ok = ok && SetFilePointer(in, length, nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER;
  ok = ok && WriteExactly(out, data, (DWORD)dataLength);
  // The rest in blocks that end on the source's 4096-byte boundaries.
  for (int at = offset + length; ok && at < size;) {
    int next = (at / (int)kBlock + 1) * (int)kBlock;
    if (next > size) next = size;
    DWORD n = (DWORD)(next - at);
    ok = ReadExactly(in, buf, n) && WriteExactly(out, buf, n);
    at = next;
  }
  CloseHandle(out);
  CloseHandle(in);
  if (!ok) {
    DeleteForce(temp.c_str());
    return 0;
  }
  return Replace(temp.c_str(), file, REPLACE_DELETE_NEW_ON_FAILURE, pattern, backups);
}

template <class C>
int CompareContents(const C* a, const C* b) {
  if (!a || !b) return 0;
  HANDLE ha = wintwins::OpenFile(a, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (ha == INVALID_HANDLE_VALUE) return 0;
  wintwins::HandleCloser closeA(ha);
  HANDLE hb = wintwins::OpenFile(b, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (hb == INVALID_HANDLE_VALUE) return 0;
  wintwins::HandleCloser closeB(hb);
  LARGE_INTEGER sa, sb;
  if (!GetFileSizeEx(ha, &sa) || !GetFileSizeEx(hb, &sb) || sa.QuadPart != sb.QuadPart) return 0;
  char ba[kBlock], bb[kBlock];
  for (;;) {
    DWORD na = 0, nb = 0;
    if (!ReadFile(ha, ba, kBlock, &na, nullptr) || !ReadFile(hb, bb, kBlock, &nb, nullptr)) return 0;
    if (na != nb || memcmp(ba, bb, na) != 0) return 0;
    if (na < kBlock) return 1;
  }
}

}  // namespace

int ReplaceFileSafeA(const char* pszNew, const char* pszTarget, uint8_t flags, const char* pszPattern, int nBackups) {
  return Replace(pszNew, pszTarget, flags, pszPattern, nBackups);
}
int ReplaceFileSafeW(const wchar_t* pszNew, const wchar_t* pszTarget, uint8_t flags, const wchar_t* pszPattern,
                     int nBackups) {
  return Replace(pszNew, pszTarget, flags, pszPattern, nBackups);
}
int PatchFileA(const char* pszFile, int nOffset, int nLength, const void* pData, int nDataLength,
               const char* pszPattern, int nBackups) {
  return Patch(pszFile, nOffset, nLength, pData, nDataLength, pszPattern, nBackups);
}
int PatchFileW(const wchar_t* pszFile, int nOffset, int nLength, const void* pData, int nDataLength,
               const wchar_t* pszPattern, int nBackups) {
  return Patch(pszFile, nOffset, nLength, pData, nDataLength, pszPattern, nBackups);
}
int CompareFileContentsA(const char* pszA, const char* pszB) { return CompareContents(pszA, pszB); }
int CompareFileContentsW(const wchar_t* pszA, const wchar_t* pszB) { return CompareContents(pszA, pszB); }
