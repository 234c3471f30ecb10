// What the shell said about icons, kept so that a listing need not ask it for
// every file: the process-wide cache of icon indexes and type names per
// file-name extension, and small caches of drive icons, the drive mask, the
// system drive and the system image lists.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

class CRecordPtrArray;
class CBlockArray;

// One extension's entry. Users keep the pointer (valid until Clear) and read
// and write the icon slots and the type name without the lock: each is one
// aligned 32-bit store.
struct IconCacheRecord {
  unsigned char key[8];  // the extension key, zero-padded (not terminated at 8 characters)
  int icon[4];           // by SHGFI flag bits small (1) and open (2); -1 while unknown
  const char* typeName;  // pooled by AddString; null while unknown
};

class CShellIconCache {
 public:
  CShellIconCache();
  ~CShellIconCache();
  CShellIconCache(const CShellIconCache&) = delete;
  CShellIconCache& operator=(const CShellIconCache&) = delete;

  // Drops every record and pooled string; the cache fills again on use.
  void Clear();
  // The record of the extension (its first 8 characters, caseless for A-Z,
  // characters from 128 up alike), created with unknown icons when absent.
  IconCacheRecord* LookupExt(const char* ext);
  IconCacheRecord* LookupExtW(const wchar_t* ext);
  // A terminated copy of length characters of text that lives until Clear.
  const char* AddString(const char* text, int length);

  // Bucket 0: keys that begin with anything but a-z; 1-26: a-z. Null until
  // the first lookup; guarded by the lock like the pool.
  CRecordPtrArray** m_ppBuckets;
  CBlockArray* m_pStrings;

 private:
  IconCacheRecord* Lookup(const unsigned char key[8]);
  CRITICAL_SECTION m_lock;
};

extern CShellIconCache g_shellIconCache;

// The system image-list index of a drive's icon, small when flags has
// SHGFI_SMALLICON; -2 when the letter is not a-z (either case), -1 when the
// shell fails. Fixed drives are asked once, others again after 3000 ms.
int GetDriveIconIndex(int letter, UINT flags);
// GetLogicalDrives, asked at most once per 1000 ms.
DWORD GetLogicalDrivesCached();
// The system drive's letter in upper case ('C' when nothing tells).
char GetSystemDriveLetter();
// The index of the generic folder icon for these SHGFI flags; -1 on failure.
int GetFolderIconIndex(UINT flags);
// The system image list of large icons (large nonzero) or small icons, each
// asked of the shell once. Callers holding SHGFI flags pass
// !(flags & SHGFI_SMALLICON): the argument is no flag word.
HIMAGELIST GetSystemImageList(BOOL large);

// The system calls behind the free functions above, replaceable for tests.
struct ShellIconCalls {
  DWORD_PTR(WINAPI* getFileInfo)(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags);
  UINT(WINAPI* getDriveType)(LPCWSTR root);
  DWORD(WINAPI* getLogicalDrives)();
  UINT(WINAPI* getSystemDirectory)(LPWSTR buffer, UINT size);
  DWORD(WINAPI* getTickCount)();
};
// Installs other calls (null: the system's own) and forgets everything the
// static caches hold, since it came from the calls before.
void SetShellIconCalls(const ShellIconCalls* calls);
