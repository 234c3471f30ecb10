#include "system/files/copytree.h"

#include <string>

#include "system/files/copyhelpers.h"
#include "system/files/filetwins.h"
#include "system/files/walkhelpers.h"
#include "system/pathchars.h"
#include "system/pathtype.h"

namespace {

using walkhelpers::IsSep;

const int kPathSize = 520;
const int kMaxNestedDirLength = 256;
// The bits each file copy takes from the caller's flags.
const uint32_t kFileCopyBits = CMF_NO_OVERWRITE | CMF_VIA_TEMP | CMF_COPY_TIMES | CMF_COPY_ATTRIBUTES |
                               CMF_CLEAR_READONLY | CMF_MOVE | CMF_FORCE_DELETE_SOURCE | CMF_COUNT_ALWAYS;

inline int CreateDirs(const char* p) { return CreateDirectoryPath(p); }
inline int CreateDirs(const wchar_t* p) { return CreateDirectoryPathW(p); }
inline int PathType(const char* p) { return GetPathType(p); }
inline int PathType(const wchar_t* p) { return GetPathTypeW(p); }
inline int Enumerate(uint32_t f, const char* s, FileEnumBlock* b) { return EnumFilesA(f, s, b); }
inline int Enumerate(uint32_t f, const wchar_t* s, FileEnumBlockW* b) { return EnumFilesW(f, s, b); }
inline int DeleteTreeOf(const char* p, int mode) { return DeleteTree(p, mode); }
inline int DeleteTreeOf(const wchar_t* p, int mode) { return DeleteTreeW(p, mode); }

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

// The full path in a comparable form: separators as '\', ASCII letters in
// upper case, with a trailing separator.
template <class C>
std::basic_string<C> Comparable(const C* path) {
  C full[kPathSize];
  DWORD n = wintwins::FullPathName(path, kPathSize, full);
  if (n == 0 || n >= (DWORD)kPathSize) return std::basic_string<C>();
  std::basic_string<C> s(full, n);
  for (C& c : s) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = (C)(c - 32);
  }
  if (s.empty() || s.back() != '\\') s += (C)'\\';
  return s;
}

// Whether the directory inner is dir or lies below it.
template <class C>
bool Within(const std::basic_string<C>& inner, const std::basic_string<C>& dir) {
  return !dir.empty() && inner.size() >= dir.size() && inner.compare(0, dir.size(), dir) == 0;
}

template <class C>
int Copy(uint32_t flags, const C* source, const C* target, BasicFileEnumBlock<C>* b) {
  typedef typename wintwins::FindData<C>::Type FD;
  if (!b || !source || !target) return ENUM_ERR_SEARCH;
  static const C kEmpty[1] = {0};
  if (flags & (CMF_TOTAL64 | EF_TOTAL64)) flags |= CMF_TOTAL64 | EF_TOTAL64;
  const uint32_t fileFlags = (flags & (kFileCopyBits | CMF_TOTAL64)) | CMF_ADD_TO_TOTAL | CMF_COUNT_ALWAYS;
  auto cb = b->callback;
  FD errorData;
  errorData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  errorData.cFileName[0] = 0;
  auto report = [&](const C* p, int offset, int nameLength, int reason, int64_t value, void* fd) {
    b->nameLength = (uint16_t)nameLength;
    b->value = value;
    b->findData = fd;
    return cb(b->userData, p, offset, reason, b);
  };
  auto finish = [&](int result) {
    if (cb && !(flags & TREE_NO_END_REPORT)) report(kEmpty, 0, 0, ENUM_END, result, nullptr);
    return result;
  };

  // The counting pass, or only the search pattern.
  C src[kPathSize];
  src[0] = 0;
  b->findData = src;
  uint32_t enumFlags = (flags & ~(EF_OUTPUT_PATH | EF_PATH_ONLY)) | (b->countTotal ? EF_OUTPUT_PATH : EF_PATH_ONLY);
  int counted = Enumerate(enumFlags, source, b);
  if (counted <= 0) return finish(counted);
  const C* excludes = (const C*)(INT_PTR)b->value;
  const int srcDirLength = b->nameLength;
  const int maskCount = b->maskCount;
  const C* masks = maskCount ? b->masks : nullptr;

  FD fds[ENUM_MAX_LEVELS];
  HANDLE handles[ENUM_MAX_LEVELS];
  int srcOffset[ENUM_MAX_LEVELS];
  size_t tgtOffset[ENUM_MAX_LEVELS];
  handles[0] = wintwins::FindFirst(src, &fds[0]);
  src[srcDirLength] = 0;
  if (handles[0] == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (walkhelpers::FoundNothing(error)) return finish((int)b->filesTotal);
    int code = error == ERROR_PATH_NOT_FOUND ? ENUM_ERR_NO_PATH : ENUM_ERR_SEARCH;
    if (cb) report(src, srcDirLength, 0, ENUM_ERROR, code, &errorData);
    return finish(code);
  }
  int level = 0;
  auto closeAll = [&]() {
    for (; level >= 0; --level) FindClose(handles[level]);
  };

  // The target directory with its trailing separator.
  std::basic_string<C> tgt(target);
  if (flags & TREE_TARGET_OF_PATH) {
    int start = pathchars::NameStart(tgt.c_str(), (int)tgt.size());
    tgt.resize(start > 260 ? 260 : (size_t)start);
  } else {
    if (tgt.size() > 258) tgt.resize(258);
    if (tgt.empty() || !IsSep(tgt.back())) tgt += (C)'\\';
  }
  const std::basic_string<C> targetFull = Comparable(tgt.c_str());
  if (flags & TREE_CREATE_TARGET) {
    bool existed = PathType(tgt.c_str()) != PATHTYPE_NONE;
    int made = CreateDirs(tgt.c_str());
    if (made == CREATEDIR_FAILED) {
      closeAll();
      return finish(ENUM_ERR_TARGET_DIR);
    }
    if (!existed && made == CREATEDIR_CREATED) flags &= ~TREE_CLEAR_TARGET;
  }
  if (flags & TREE_CLEAR_TARGET) {
    int r = cb ? report(tgt.c_str(), (int)tgt.size(), 0, ENUM_CLEAR_TARGET, 0, &errorData) : 0;
    if (r < 0) {
      closeAll();
      return finish(0);
    }
    if (r == 0) {
      // Emptying a target that is or holds the source would destroy it.
      std::basic_string<C> sourceFull = Comparable(src);
      bool refused = targetFull.empty() || Within(sourceFull, targetFull);
      if (refused || !DeleteTreeOf(tgt.c_str(), DELTREE_KEEP_START)) {
        if (refused || (flags & TREE_STOP_ON_ERROR)) {
          if (refused && cb) report(tgt.c_str(), (int)tgt.size(), 0, ENUM_ERROR, ENUM_ERR_CLEAR_TARGET, &errorData);
          closeAll();
          return finish(ENUM_ERR_CLEAR_TARGET);
        }
        if (cb) {
          r = report(tgt.c_str(), (int)tgt.size(), 0, ENUM_ERROR, ENUM_ERR_CLEAR_TARGET, &errorData);
          if (r < 0) {
            closeAll();
            return finish(r);
          }
        }
      }
    }
  }

  srcOffset[0] = srcDirLength;
  tgtOffset[0] = tgt.size();
  b->depth = 0;
  int result = 0;
  bool stopped = false;
  auto stop = [&](int r) {
    result = r;
    stopped = true;
  };
  while (level >= 0 && !stopped) {
    FD& fd = fds[level];
    if (b->cancel && *b->cancel) {
      stop(0);
      break;
    }
    const C* name = fd.cFileName;
    int n = Length(name);
    int at = srcOffset[level];
    for (int i = 0; i <= n; ++i) src[at + i] = name[i];
    b->depth = level;
    b->findData = &fd;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!walkhelpers::IsDotEntry(name)) {
        ++b->dirsDone;
        if (flags & EF_RECURSE) {
          int p = at + n;
          src[p++] = '\\';
          src[p] = 0;
          if (p > kMaxNestedDirLength) {
            int r = cb ? report(src, at, n, ENUM_ERROR, ENUM_ERR_TOO_LONG, &fd) : 0;
            if (r < 0) stop(r);
          } else if (!targetFull.empty() && Comparable(src) == targetFull) {
            // The target inside the source: its copies are not copied again.
          } else {
            int r = cb ? report(src, at, n, ENUM_DIRECTORY, 0, &fd) : 0;
            if (r < 0) {
              stop(0);
            } else if (r > 0) {
              --b->dirsDone;
            } else if (level + 1 < ENUM_MAX_LEVELS) {
              src[p] = '*';
              src[p + 1] = 0;
              tgt.resize(tgtOffset[level]);
              tgt.append(name, (size_t)n);
              tgt += (C)'\\';
              HANDLE h = wintwins::FindFirst(src, &fds[level + 1]);
              int code = 0;
              if (h == INVALID_HANDLE_VALUE) {
                code = GetLastError() == ERROR_PATH_NOT_FOUND ? ENUM_ERR_NO_PATH : ENUM_ERR_SEARCH;
              } else if (CreateDirs(tgt.c_str()) == CREATEDIR_FAILED) {
                FindClose(h);
                code = ENUM_ERR_TARGET_DIR;
              }
              if (code == 0) {
                ++level;
                handles[level] = h;
                srcOffset[level] = p;
                tgtOffset[level] = tgt.size();
                if (b->dirsTotal < b->dirsDone) b->dirsTotal = b->dirsDone;
                b->depth = level;
                continue;
              }
              if (flags & TREE_STOP_ON_ERROR) {
                stop(code);
              } else if (cb) {
                r = report(src, at, n, ENUM_ERROR, code, &fd);
                if (r < 0) stop(r);
              }
            }
          }
        }
      }
    } else {
      bool take = !(masks && walkhelpers::MatchList(name, n, masks) < 1) &&
                  !(excludes && walkhelpers::MatchList(name, n, excludes) > 0);
      if (take) {
        uint64_t size = walkhelpers::SizeOf(fd);
        tgt.resize(tgtOffset[level]);
        tgt.append(name, (size_t)n);
        int r = cb ? report(src, at, n, ENUM_COPY_FILE, (int64_t)size, &fd) : 0;
        if (r < 0) {
          stop(0);
        } else if (r == 0) {
          int copied = copyhelpers::CopyFileOfSize(fileFlags, src, tgt.c_str(), size, b->copyTotal, b->cancel);
          if (copied == CMF_CANCELLED) {
            stop(0);
          } else if (copied < 0 && (flags & TREE_STOP_ON_ERROR)) {
            stop(copied);
          } else {
            if (copied < 0 && cb) {
              b->findData = &fd;
              int e = report(src, at, n, ENUM_ERROR, copied, &fd);
              if (e < 0) stop(e);
            }
            ++b->filesDone;
            if (b->copyTotal != &b->bytesDone) b->bytesDone += size;
            if (b->bytesTotal < b->bytesDone) b->bytesTotal = b->bytesDone;
            if (b->filesTotal < b->filesDone) b->filesTotal = b->filesDone;
          }
        }
      }
    }
    if (stopped) break;
    while (level >= 0 && !wintwins::FindNext(handles[level], &fds[level])) {
      FindClose(handles[level]);
      --level;
      if (level >= 0) b->depth = level;
    }
  }
  if (stopped) {
    closeAll();
  } else {
    result = (int)b->filesTotal;
  }
  return finish(result);
}

}  // namespace

int CopyMoveTree(uint32_t flags, const char* pszSource, const char* pszTarget, FileEnumBlock* pBlock) {
  return Copy(flags, pszSource, pszTarget, pBlock);
}
int CopyMoveTreeW(uint32_t flags, const wchar_t* pszSource, const wchar_t* pszTarget, FileEnumBlockW* pBlock) {
  return Copy(flags, pszSource, pszTarget, pBlock);
}
