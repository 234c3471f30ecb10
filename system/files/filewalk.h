// Walking a directory tree: deleting it (or only its files, or only old
// ones), and the enumeration with include and exclude lists, counters and a
// callback that the tree copy shares.
#pragma once

#include <windows.h>

#include <cstdint>

template <class C>
struct BasicFileEnumBlock;
typedef BasicFileEnumBlock<char> FileEnumBlock;
typedef BasicFileEnumBlock<wchar_t> FileEnumBlockW;

// Called with the entry's full path and the offset of its name in it; the
// block's nameLength, value and findData describe the entry. Greater than 0
// skips the entry, less than 0 stops the walk.
typedef int (*FileEnumCallback)(UINT_PTR userData, const char* path, int nameOffset, int reason, FileEnumBlock* block);
typedef int (*FileEnumCallbackW)(UINT_PTR userData, const wchar_t* path, int nameOffset, int reason,
                                 FileEnumBlockW* block);

template <class C>
struct FileEnumCallbackOf;
template <>
struct FileEnumCallbackOf<char> {
  typedef FileEnumCallback Type;
};
template <>
struct FileEnumCallbackOf<wchar_t> {
  typedef FileEnumCallbackW Type;
};

template <class C>
struct BasicFileEnumBlock {
  uint64_t bytesDone;   // handled by the tree copy
  uint64_t bytesTotal;  // counted by the enumeration
  uint32_t filesDone;
  uint32_t filesTotal;
  uint32_t dirsDone;
  uint32_t dirsTotal;
  int32_t depth;        // of the current entry, 0 for the start directory
  uint16_t maskCount;   // patterns in masks, 0: every name
  uint16_t nameLength;  // of the current entry's name; after a path-output call the start directory's length
  int64_t value;        // size, error code or result; after a path-output call the effective excludes pointer
  void* findData;       // in: a buffer of 261 characters for the search path; during a walk the entry's find data
  const C* masks;       // ';'-separated patterns to take (null or empty: all)
  const C* excludes;    // ';'-separated patterns to leave out
  void* copyTotal;      // 32 or 64 bits: the tree copy's running byte total
  void* countTotal;     // 32 or 64 bits: the enumeration's running byte total
  const volatile char* cancel;  // nonzero (from any thread) stops the walk
  UINT_PTR userData;
  typename FileEnumCallbackOf<C>::Type callback;
};

// Callback reasons.
enum FileEnumReason {
  ENUM_FILE = 0,
  ENUM_DIRECTORY = 1,     // before it is entered; the path ends in '\'
  ENUM_COPY_FILE = 2,     // tree copy: before the file is copied
  ENUM_CLEAR_TARGET = 3,  // tree copy: before the target is emptied
  ENUM_ERROR = 4,
  ENUM_END = 5,
};

// Error codes of the walks (also results).
enum FileEnumError {
  ENUM_ERR_SEARCH = -5,    // a directory's search failed for another reason
  ENUM_ERR_TOO_LONG = -8,  // last error 161
  ENUM_ERR_NO_PATH = -9,   // path not found
  ENUM_ERR_TARGET_DIR = -10,
  ENUM_ERR_CLEAR_TARGET = -11,
};

// EnumFiles flag bits; others pass through unread.
const uint32_t EF_TOTAL64 = 0x2;
const uint32_t EF_KEEP_COUNTS = 0x4;
const uint32_t EF_DIR_OF_PATH = 0x2000;
const uint32_t EF_RECURSE = 0x10000;
const uint32_t EF_OUTPUT_PATH = 0x20000000;
const uint32_t EF_PATH_ONLY = 0x40000000;

// Levels a walk opens at most.
const int ENUM_MAX_LEVELS = 16;

// The number of files counted; 0 when stopped; an error code; a stopping
// callback's negative result; 1 under EF_PATH_ONLY. A search that finds
// nothing is no error.
int EnumFilesA(uint32_t flags, const char* pszStart, FileEnumBlock* pBlock);
int EnumFilesW(uint32_t flags, const wchar_t* pszStart, FileEnumBlockW* pBlock);

// DeleteTree modes.
enum DeleteTreeMode {
  DELTREE_ALL = 0,
  DELTREE_KEEP_START = 1,  // the start directory stays, empty
  DELTREE_FILES_ONLY = 2,  // every directory stays
};
// Nonzero when everything asked went. Links are removed, never entered.
int DeleteTree(const char* pszDir, int mode);
int DeleteTreeW(const wchar_t* pszDir, int mode);
// Only files older than the age that match the list. A reference time of 0
// means now, with the age in seconds; else the age is in 100-ns units.
int DeleteOldFilesA(const char* pszDir, int mode, uint64_t age, const char* pszList, FILETIME reference);
int DeleteOldFilesW(const wchar_t* pszDir, int mode, uint64_t age, const wchar_t* pszList, FILETIME reference);
