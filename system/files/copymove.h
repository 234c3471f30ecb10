// Careful operations on one file: copy or move under a flag word with byte
// totals, cancel and an optional temporary file; numbered backups by a name
// pattern; safe replacement through a temporary name; patching a byte
// range; comparing contents.
#pragma once

#include <windows.h>

#include <cstdint>

// CopyMoveFile flag word.
const uint32_t CMF_TOTAL64 = 0x0001;       // the byte total is 64-bit (else 32-bit)
const uint32_t CMF_SIZE64 = 0x0002;        // the size output is 64-bit
const uint32_t CMF_ADD_TO_TOTAL = 0x0004;  // the total runs on from its value
const uint32_t CMF_NO_OVERWRITE = 0x0008;  // an existing target gives -1 (a directory -2)
const uint32_t CMF_VIA_TEMP = 0x0010;      // written beside the target, which it replaces when complete
const uint32_t CMF_COPY_TIMES = 0x0020;    // the target takes the source's times
const uint32_t CMF_COPY_ATTRIBUTES = 0x0040;
const uint32_t CMF_CLEAR_READONLY = 0x0080;        // once: a target refused with access denied is made normal
const uint32_t CMF_CREATE_DIRS = 0x0100;           // once: a missing target directory is created
const uint32_t CMF_REMOVE_BLOCKING_FILE = 0x0200;  // with CMF_CREATE_DIRS: a file of the directory's name goes
const uint32_t CMF_MOVE = 0x0400;                  // rename, else copy and delete the source
const uint32_t CMF_FORCE_DELETE_SOURCE = 0x0800;   // with CMF_MOVE: a read-only source is deleted too
const uint32_t CMF_COUNT_ALWAYS = 0x1000;          // the total advances by the whole size whatever happens

// CopyMoveFile results.
enum CopyMoveResult {
  CMF_DONE = 1,
  CMF_CANCELLED = 0,        // the partly written file is gone
  CMF_TARGET_EXISTS = -1,   // last error 80
  CMF_TARGET_REFUSED = -2,  // not writable, not creatable, or the old target not deletable
  CMF_SOURCE_REFUSED = -3,  // missing, a directory, or not readable
  CMF_WRITE_FAILED = -4,
  CMF_READ_FAILED = -5,
  CMF_TEMP_NOT_RENAMED = -6,   // the old target stays
  CMF_SOURCE_NOT_DELETED = -7  // moved by copying; the target is complete
};

// The suffix of the temporary file, appended to the target cut to 252 characters.
#define CMF_TEMP_SUFFIX ".cfp.tmp"
const int CMF_TEMP_BASE_LENGTH = 252;

// pTotal and pSize point at 32 or 64 bits by the flags (may be null); a
// nonzero *pCancel (may be null, set by another thread) stops the copy.
int CopyMoveFile(uint32_t flags, const char* pszSource, const char* pszTarget, void* pTotal, void* pSize,
                 const volatile char* pCancel);
int CopyMoveFileW(uint32_t flags, const wchar_t* pszSource, const wchar_t* pszTarget, void* pTotal, void* pSize,
                  const volatile char* pCancel);

// The calls CopyMoveFile makes where the file system decides, for tests.
struct FileCopyCalls {
  BOOL(WINAPI* moveFileExA)(LPCSTR from, LPCSTR to, DWORD flags);
  BOOL(WINAPI* moveFileExW)(LPCWSTR from, LPCWSTR to, DWORD flags);
  BOOL(WINAPI* deleteFileA)(LPCSTR path);
  BOOL(WINAPI* deleteFileW)(LPCWSTR path);
  BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
  BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
};
// Installs other calls (null: the system's own).
void SetFileCopyCalls(const FileCopyCalls* calls);

// MakeBackupFile flags.
const uint8_t BACKUP_COPY = 1;        // copy, leave the file in place
const uint8_t BACKUP_NO_ROTATE = 2;   // only when the first backup name is free
const uint8_t BACKUP_NO_COUNTER = 4;  // no counter unless the pattern or the caller places one

// Pattern: a directory part (else the base name's directory) and a last
// component that may begin with '*' (the base's file name) or '?' (without
// its extension), then "$d" (d extensions removed), and hold "#n#" (an
// n-digit counter). nMax 0: as many as the counter allows. nPosition >= 0
// places an nDigits counter at that index of the pattern. 1 when made.
int MakeBackupFileA(const char* pszFile, const char* pszPattern, uint8_t flags, int nMax, int nPosition, int nDigits,
                    const char* pszBaseName);
int MakeBackupFileW(const wchar_t* pszFile, const wchar_t* pszPattern, uint8_t flags, int nMax, int nPosition,
                    int nDigits, const wchar_t* pszBaseName);

// ReplaceFileSafe flags.
const uint8_t REPLACE_DELETE_NEW_ON_FAILURE = 1;
const uint8_t REPLACE_TARGET_OPTIONAL = 2;
const uint8_t REPLACE_PLAIN_DELETE = 4;  // with 1: no read-only retry
const uint8_t REPLACE_SWAP = 8;          // the old file takes the new file's name

#define REPLACE_TEMP_SUFFIX ".rf.tmp"
#define PATCH_TEMP_SUFFIX ".cf.tmp"

// The new file takes the target's place ("*ext": the new file's name with
// that extension); the old one goes, or becomes a backup by the pattern.
// Replacing a file by itself touches nothing and gives 0.
int ReplaceFileSafeA(const char* pszNew, const char* pszTarget, uint8_t flags, const char* pszPattern, int nBackups);
int ReplaceFileSafeW(const wchar_t* pszNew, const wchar_t* pszTarget, uint8_t flags, const wchar_t* pszPattern,
                     int nBackups);
// Replaces nLength bytes at nOffset by the data: in place when the lengths
// agree, else through a copy.
int PatchFileA(const char* pszFile, int nOffset, int nLength, const void* pData, int nDataLength,
               const char* pszPattern, int nBackups);
int PatchFileW(const wchar_t* pszFile, int nOffset, int nLength, const void* pData, int nDataLength,
               const wchar_t* pszPattern, int nBackups);
// 1 when both files can be read and hold the same bytes.
int CompareFileContentsA(const char* pszA, const char* pszB);
int CompareFileContentsW(const wchar_t* pszA, const wchar_t* pszB);
