#include <string>

#include "system/deletefile.h"
#include "system/files/copyhelpers.h"
#include "system/files/copymove.h"
#include "system/files/filecalls.h"
#include "system/files/filetwins.h"
#include "system/filesize.h"
#include "system/pathparts.h"
#include "system/pathtype.h"

using copyhelpers::Str;

namespace {

const FileCopyCalls kSystemCalls = {MoveFileExA, MoveFileExW, DeleteFileA, DeleteFileW, ReadFile, WriteFile};
const FileCopyCalls* g_calls = &kSystemCalls;

const DWORD kSequential = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
const DWORD kBlock = 4096;

inline int FileSize64(const char* p, ULONGLONG* size) { return GetFileSize64ByName(p, size); }
inline int FileSize64(const wchar_t* p, ULONGLONG* size) { return GetFileSize64ByNameW(p, size); }
inline int DeleteForce(const char* p) { return DeleteFileForce(p); }
inline int DeleteForce(const wchar_t* p) { return DeleteFileForceW(p); }
inline int CreateDirs(const char* p) { return CreateDirectoryPath(p); }
inline int CreateDirs(const wchar_t* p) { return CreateDirectoryPathW(p); }
inline int FullDirectory(char* out, const char* p, int size) { return GetFullDirectory(out, p, size); }
inline int FullDirectory(wchar_t* out, const wchar_t* p, int size) { return GetFullDirectoryW(out, p, size); }
inline int CopyTimes(const char* s, const char* t) { return CopyFileTimesA(s, t); }
inline int CopyTimes(const wchar_t* s, const wchar_t* t) { return CopyFileTimesW(s, t); }

// Creates the directory of the path (its full directory part without the
// trailing separator), first removing a file of that name when asked.
template <class C>
bool MakeDirectoryOf(const C* path, bool removeBlockingFile) {
  C dir[wintwins::kMaxPath];
  int n = FullDirectory(dir, path, wintwins::kMaxPath);
  if (n <= 0) return false;
  if (n > 3 && (dir[n - 1] == '\\' || dir[n - 1] == '/')) dir[--n] = 0;
  if (removeBlockingFile) DeleteForce(dir);
  return CreateDirs(dir) != CREATEDIR_FAILED;
}

// The byte total of one call, 32 or 64 bits wide.
class Total {
 public:
  Total(void* p, bool wide) : m_p(p), m_wide(wide) {}
  bool Given() const { return m_p != nullptr; }
  void Reset() {
    if (!m_p) return;
    if (m_wide) {
      *static_cast<uint64_t*>(m_p) = 0;
    } else {
      *static_cast<uint32_t*>(m_p) = 0;
    }
  }
  void Add(uint64_t n) {
    m_added += n;
    if (!m_p) return;
    if (m_wide) {
      *static_cast<uint64_t*>(m_p) += n;
    } else {
      *static_cast<uint32_t*>(m_p) += (uint32_t)n;
    }
  }
  uint64_t Added() const { return m_added; }

 private:
  void* m_p;
  bool m_wide;
  uint64_t m_added = 0;
};

bool Cancelled(const volatile char* cancel) { return cancel && *cancel; }

// Steps from the rename on; the caller counts the rest of a failed file.
template <class C>
int CopyOrMove(uint32_t& flags, const C* source, const C* target, Total& total, uint64_t size,
               const volatile char* cancel) {
  if (flags & CMF_MOVE) {
    for (;;) {
      if (copyhelpers::MoveReplace(source, target)) {
        total.Add(size);
        return CMF_DONE;
      }
      DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED) {
        if ((flags & CMF_CLEAR_READONLY) && wintwins::SetAttributes(target, FILE_ATTRIBUTE_NORMAL)) {
          flags &= ~CMF_CLEAR_READONLY;
          continue;
        }
        return CMF_TARGET_REFUSED;
      }
      if (error == ERROR_PATH_NOT_FOUND) {
        if (!(flags & CMF_CREATE_DIRS)) return CMF_TARGET_REFUSED;
        if (!MakeDirectoryOf(target, flags & CMF_REMOVE_BLOCKING_FILE)) {
          SetLastError(ERROR_PATH_NOT_FOUND);
          return CMF_TARGET_REFUSED;
        }
        flags &= ~CMF_CREATE_DIRS;
        continue;
      }
      if (error == ERROR_FILE_NOT_FOUND) return CMF_SOURCE_REFUSED;
      break;  // another volume: copy, then delete the source
    }
  }

  HANDLE in = wintwins::OpenFile(source, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, kSequential);
  if (in == INVALID_HANDLE_VALUE) return CMF_SOURCE_REFUSED;
  Str<C> written(target);
  if (flags & CMF_VIA_TEMP) {
    if (written.size() > (size_t)CMF_TEMP_BASE_LENGTH) written.resize(CMF_TEMP_BASE_LENGTH);
    written += copyhelpers::Ascii<C>(CMF_TEMP_SUFFIX);
  }
  HANDLE out;
  for (;;) {
    out = wintwins::OpenFile(written.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, kSequential);
    if (out != INVALID_HANDLE_VALUE) break;
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && (flags & CMF_CLEAR_READONLY)) {
      wintwins::SetAttributes(written.c_str(), FILE_ATTRIBUTE_NORMAL);
      flags &= ~CMF_CLEAR_READONLY;
      continue;
    }
    if (error == ERROR_PATH_NOT_FOUND && (flags & CMF_CREATE_DIRS)) {
      flags &= ~CMF_CREATE_DIRS;
      if (MakeDirectoryOf(written.c_str(), flags & CMF_REMOVE_BLOCKING_FILE)) continue;
      SetLastError(ERROR_PATH_NOT_FOUND);
    }
    CloseHandle(in);
    return CMF_TARGET_REFUSED;
  }

  int result = CMF_DONE;
  char buffer[kBlock];
  for (;;) {
    if (Cancelled(cancel)) {
      result = CMF_CANCELLED;
      break;
    }
    DWORD got = 0;
    if (!g_calls->readFile(in, buffer, kBlock, &got, nullptr)) {
      result = CMF_READ_FAILED;
      break;
    }
    if (got == 0) break;
    if (Cancelled(cancel)) {
      result = CMF_CANCELLED;
      break;
    }
    DWORD put = 0;
    if (!g_calls->writeFile(out, buffer, got, &put, nullptr) || put != got) {
      result = CMF_WRITE_FAILED;
      break;
    }
    total.Add(got);
    if (got < kBlock) break;
  }
  if (result != CMF_DONE) {
    SetFilePointer(out, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(out);
    CloseHandle(out);
    CloseHandle(in);
    wintwins::RemoveFile(written.c_str());
    return result;
  }
  CloseHandle(out);
  CloseHandle(in);

  if (flags & CMF_VIA_TEMP) {
    // The old target is replaced in one rename, so that it stays whole when
    // the new file cannot take its name.
    DWORD attrs = wintwins::FileAttributes(target);
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) {
      if (flags & CMF_CLEAR_READONLY) {
        wintwins::SetAttributes(target, FILE_ATTRIBUTE_NORMAL);
      } else {
        wintwins::RemoveFile(written.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return CMF_TARGET_REFUSED;
      }
    }
    if (!copyhelpers::MoveReplace(written.c_str(), target)) {
      DWORD error = GetLastError();
      wintwins::RemoveFile(written.c_str());
      if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) {
        wintwins::SetAttributes(target, attrs);
      }
      if (error == ERROR_ACCESS_DENIED) {
        SetLastError(ERROR_ACCESS_DENIED);
        return CMF_TARGET_REFUSED;
      }
      SetLastError(error);
      return CMF_TEMP_NOT_RENAMED;
    }
  }
  if (flags & CMF_COPY_TIMES) CopyTimes(source, target);
  if (flags & CMF_COPY_ATTRIBUTES) {
    DWORD attrs = wintwins::FileAttributes(source);
    if (attrs != INVALID_FILE_ATTRIBUTES) wintwins::SetAttributes(target, attrs);
  }
  if (flags & CMF_MOVE) {
    if (!copyhelpers::Delete(source)) {
      bool deleted = false;
      if (GetLastError() == ERROR_ACCESS_DENIED && (flags & CMF_FORCE_DELETE_SOURCE)) {
        wintwins::SetAttributes(source, FILE_ATTRIBUTE_NORMAL);
        deleted = copyhelpers::Delete(source) != 0;
      }
      if (!deleted) return CMF_SOURCE_NOT_DELETED;
    }
  }
  return CMF_DONE;
}

// knownSize: the source's size when the caller has just read it from the
// directory (the tree copy), which spares a query per file; null to ask.
template <class C>
int CopyMove(uint32_t flags, const C* source, const C* target, void* pTotal, void* pSize, const volatile char* cancel,
             const uint64_t* knownSize) {
  Total total(pTotal, flags & CMF_TOTAL64);
  if (!(flags & CMF_ADD_TO_TOTAL)) total.Reset();
  ULONGLONG size = 0;
  if (knownSize) {
    size = *knownSize;
  } else if (pTotal || pSize) {
    bool ok = source && FileSize64(source, &size) != -1;
    if (!ok) size = 0;
    if (pSize) {
      if (flags & CMF_SIZE64) {
        *static_cast<uint64_t*>(pSize) = size;
      } else {
        *static_cast<uint32_t*>(pSize) = (uint32_t)size;
      }
    }
    if (!ok) return CMF_SOURCE_REFUSED;
  }
  if (!source || !target) return CMF_SOURCE_REFUSED;
  if (flags & CMF_NO_OVERWRITE) {
    DWORD attrs = wintwins::FileAttributes(target);
    if (attrs != INVALID_FILE_ATTRIBUTES) {
      if (flags & CMF_COUNT_ALWAYS) total.Add(size);
      if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_DIRECTORY);
        return CMF_TARGET_REFUSED;
      }
      SetLastError(ERROR_FILE_EXISTS);
      return CMF_TARGET_EXISTS;
    }
  }
  int result = CopyOrMove(flags, source, target, total, size, cancel);
  if (result != CMF_DONE && (flags & CMF_COUNT_ALWAYS) && total.Added() <= size) {
    DWORD error = GetLastError();
    total.Add(size - total.Added());
    SetLastError(error);
  }
  return result;
}

}  // namespace

namespace copyhelpers {
const FileCopyCalls& Calls() { return *g_calls; }
int CopyFileOfSize(uint32_t flags, const char* source, const char* target, uint64_t size, void* pTotal,
                   const volatile char* cancel) {
  return CopyMove(flags, source, target, pTotal, nullptr, cancel, &size);
}
int CopyFileOfSize(uint32_t flags, const wchar_t* source, const wchar_t* target, uint64_t size, void* pTotal,
                   const volatile char* cancel) {
  return CopyMove(flags, source, target, pTotal, nullptr, cancel, &size);
}
}  // namespace copyhelpers

void SetFileCopyCalls(const FileCopyCalls* calls) { g_calls = calls ? calls : &kSystemCalls; }

int CopyMoveFile(uint32_t flags, const char* pszSource, const char* pszTarget, void* pTotal, void* pSize,
                 const volatile char* pCancel) {
  return CopyMove(flags, pszSource, pszTarget, pTotal, pSize, pCancel, nullptr);
}
int CopyMoveFileW(uint32_t flags, const wchar_t* pszSource, const wchar_t* pszTarget, void* pTotal, void* pSize,
                  const volatile char* pCancel) {
  return CopyMove(flags, pszSource, pszTarget, pTotal, pSize, pCancel, nullptr);
}
