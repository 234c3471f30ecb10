#include <string>

#include "system/files/filetwins.h"
#include "system/files/filewalk.h"
#include "system/files/walkhelpers.h"
#include "system/pathchars.h"

namespace {

using walkhelpers::IsSep;

// The working path: a directory path below 257 characters, a name of up to
// 259 and the terminator.
const int kPathSize = 520;
// Longest start directory and longest search pattern.
const int kMaxDirLength = 255;
const int kMaxSearchLength = 259;
const int kMaxNestedDirLength = 256;

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

template <class C>
int Enum(uint32_t flags, const C* start, BasicFileEnumBlock<C>* b) {
  typedef typename wintwins::FindData<C>::Type FD;
  if (!b) return ENUM_ERR_SEARCH;
  static const C kEmpty[1] = {0};
  if (!start) start = kEmpty;
  const bool outputPath = (flags & EF_OUTPUT_PATH) != 0;
  const bool wideTotals = (flags & EF_TOTAL64) != 0;
  void* const callerBuffer = b->findData;
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
    if (cb && !outputPath) report(kEmpty, 0, 0, ENUM_END, result, nullptr);
    return result;
  };

  // The start directory, with its trailing separator.
  C path[kPathSize];
  int startLength = Length(start);
  int dirLength;
  if (flags & EF_DIR_OF_PATH) {
    dirLength = pathchars::NameStart(start, startLength);
    if (dirLength > kMaxDirLength) dirLength = kMaxDirLength + 1;  // too long, see below
    for (int i = 0; i < dirLength; ++i) path[i] = start[i];
  } else {
    dirLength = startLength < 258 ? startLength : 258;
    for (int i = 0; i < dirLength; ++i) path[i] = start[i];
    if (dirLength == 0 || !IsSep(path[dirLength - 1])) path[dirLength++] = '\\';
  }
  path[dirLength] = 0;
  if (dirLength > kMaxDirLength) {
    SetLastError(ERROR_BAD_PATHNAME);
    if (!cb) return ENUM_ERR_TOO_LONG;
    report(start, startLength, 0, ENUM_ERROR, ENUM_ERR_TOO_LONG, &errorData);
    return finish(ENUM_ERR_TOO_LONG);
  }

  const C* masks = b->masks && b->masks[0] ? b->masks : nullptr;
  int maskCount = 0;
  if (masks) {
    maskCount = 1;
    for (const C* p = masks; *p; ++p) maskCount += *p == ';';
  }
  b->maskCount = (uint16_t)(maskCount < 0xFFFF ? maskCount : 0xFFFF);
  const bool singlePattern = maskCount == 1 && !(flags & EF_RECURSE);
  std::basic_string<C> search(path, (size_t)dirLength);
  if (singlePattern) {
    search += masks;
    if ((int)search.size() > kMaxSearchLength) {
      SetLastError(ERROR_BAD_PATHNAME);
      return ENUM_ERR_TOO_LONG;
    }
  } else {
    search += (C)'*';
  }
  const C* excludes = b->excludes && b->excludes[0] ? b->excludes : nullptr;

  b->depth = 0;
  if (!(flags & EF_KEEP_COUNTS)) {
    b->bytesDone = b->bytesTotal = 0;
    b->filesDone = b->filesTotal = b->dirsDone = b->dirsTotal = 0;
    walkhelpers::ResetTotal(b->countTotal, wideTotals);
    walkhelpers::ResetTotal(b->copyTotal, wideTotals);
  }
  auto outputFields = [&]() {
    b->value = (int64_t)(INT_PTR)excludes;
    b->nameLength = (uint16_t)dirLength;
  };
  if ((flags & (EF_PATH_ONLY | EF_OUTPUT_PATH)) && callerBuffer) {
    C* out = static_cast<C*>(callerBuffer);
    for (size_t i = 0; i <= search.size(); ++i) out[i] = search.c_str()[i];
  }
  if (flags & EF_PATH_ONLY) {
    if (callerBuffer) outputFields();
    return 1;
  }

  FD fds[ENUM_MAX_LEVELS];
  HANDLE handles[ENUM_MAX_LEVELS];
  int nameOffset[ENUM_MAX_LEVELS];
  int level = 0;
  handles[0] = wintwins::FindFirst(search.c_str(), &fds[0]);
  int result;
  if (handles[0] == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (!walkhelpers::FoundNothing(error)) {
      int code = error == ERROR_PATH_NOT_FOUND ? ENUM_ERR_NO_PATH : ENUM_ERR_SEARCH;
      if (cb) report(path, dirLength, 0, ENUM_ERROR, code, &errorData);
      if (outputPath && callerBuffer) outputFields();
      return finish(code);
    }
    result = (int)b->filesTotal;
    level = -1;
  }
  nameOffset[0] = dirLength;
  bool stopped = false;
  while (level >= 0) {
    FD& fd = fds[level];
    if (b->cancel && *b->cancel) {
      result = 0;
      stopped = true;
      break;
    }
    const C* name = fd.cFileName;
    int n = Length(name);
    int at = nameOffset[level];
    for (int i = 0; i <= n; ++i) path[at + i] = name[i];
    b->depth = level;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!walkhelpers::IsDotEntry(name)) {
        ++b->dirsTotal;
        if (flags & EF_RECURSE) {
          int p = at + n;
          path[p++] = '\\';
          path[p] = 0;
          if (p > kMaxNestedDirLength) {
            if (cb) {
              int r = report(path, at, n, ENUM_ERROR, ENUM_ERR_TOO_LONG, &fd);
              if (r < 0) {
                result = r;
                stopped = true;
                break;
              }
            }
          } else {
            int r = cb ? report(path, at, n, ENUM_DIRECTORY, 0, &fd) : 0;
            if (r < 0) {
              result = 0;
              stopped = true;
              break;
            }
            if (r > 0) {
              --b->dirsTotal;
            } else if (level + 1 < ENUM_MAX_LEVELS) {
              path[p] = '*';
              path[p + 1] = 0;
              HANDLE h = wintwins::FindFirst(path, &fds[level + 1]);
              if (h != INVALID_HANDLE_VALUE) {
                ++level;
                handles[level] = h;
                nameOffset[level] = p;
                b->depth = level;
                continue;
              }
              DWORD error = GetLastError();
              if (!walkhelpers::FoundNothing(error) && cb) {
                int code = error == ERROR_PATH_NOT_FOUND ? ENUM_ERR_NO_PATH : ENUM_ERR_SEARCH;
                r = report(path, at, n, ENUM_ERROR, code, &fd);
                if (r < 0) {
                  result = r;
                  stopped = true;
                  break;
                }
              }
            }
          }
        }
      }
    } else {
      bool take = !(maskCount && !singlePattern && walkhelpers::MatchList(name, n, masks) < 1) &&
                  !(excludes && walkhelpers::MatchList(name, n, excludes) > 0);
      if (take) {
        uint64_t size = walkhelpers::SizeOf(fd);
        int r = cb ? report(path, at, n, ENUM_FILE, (int64_t)size, &fd) : 0;
        if (r < 0) {
          result = 0;
          stopped = true;
          break;
        }
        if (r == 0) {
          ++b->filesTotal;
          b->bytesTotal += size;
          if (b->countTotal != &b->bytesTotal) walkhelpers::AddTotal(b->countTotal, wideTotals, size);
        }
      }
    }
    while (level >= 0 && !wintwins::FindNext(handles[level], &fds[level])) {
      FindClose(handles[level]);
      --level;
      if (level >= 0) b->depth = level;
    }
  }
  if (stopped) {
    for (; level >= 0; --level) FindClose(handles[level]);
  } else {
    result = (int)b->filesTotal;
  }
  if (outputPath && callerBuffer) outputFields();
  return finish(result);
}

}  // namespace

int EnumFilesA(uint32_t flags, const char* pszStart, FileEnumBlock* pBlock) { return Enum(flags, pszStart, pBlock); }
int EnumFilesW(uint32_t flags, const wchar_t* pszStart, FileEnumBlockW* pBlock) {
  return Enum(flags, pszStart, pBlock);
}
