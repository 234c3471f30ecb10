// CDirList: the names below a path, one directory or a whole tree, filtered
// by name patterns, attributes and times, sorted on request, delivered in
// batches or at once, with notifications of every change. Besides the file
// system: the root ":" (the drives) and, in network mode, servers' shares
// and the folders of the shell namespace below the network neighbourhood.
#pragma once

#include <windows.h>

#include <cstdint>

#include "system/files/filestat.h"
#include "system/shellitem.h"
#include "system/listing/dirlistdefs.h"
#include "text/textlist/textlist.h"

class CDirList {
 public:
  // context, index, count, code; before a change code ^ before mask.
  typedef void (*NotifyRoutine)(UINT_PTR context, int index, int count, uint32_t code);

  CDirList(const char* path = nullptr, uint32_t flags = 0, const char* include = nullptr,
           const char* exclude = nullptr);
  ~CDirList();
  CDirList(const CDirList&) = delete;
  CDirList& operator=(const CDirList&) = delete;

  void Open(const char* path, uint32_t flags, const char* include, const char* exclude);
  // The number of entries held, or -1 when everything was read or nothing is open.
  int Read(const char* path = nullptr, uint32_t flags = 0, const char* include = nullptr,
           const char* exclude = nullptr);
  // The next entry by DirNextMode; null at the end. Path texts live until the next call.
  const char* Next(int mode, int* pLength);

  const char* GetEntryName(int index, int* pLength) const;
  const char* GetEntryPath(int index, int* pLength, int relative);
  int GetEntryPathLength(int index, int relative) const;
  const char* GetEntryDir(const FileStatRecord* entry, int relative, int* pLength) const;
  const char* GetExtension(FileStatRecord* entry, int* pLength);
  // A shell shortcut entry's stored target; null (length 0) for any other.
  const char* GetLinkTarget(const FileStatRecord* entry, int* pLength) const;
  static int64_t GetEntrySize(const FileStatRecord* entry);
  static int64_t GetEntryTime(const FileStatRecord* entry);
  static int64_t GetEntryTimeOf(const FileStatRecord* entry, int which);
  int GetIconIndex(FileStatRecord* entry, UINT flags);
  const char* GetTypeName(FileStatRecord* entry, UINT flags);
  int64_t GetTotalSize() const;

  void Sort(int key, uint32_t bits);
  static int CompareEntries(const char* a, const char* b, CDirList* list);
  static int CompareByIndex(const CTextList* list, int i, int j);

  // Position DIRADD_SORTED (-2) sorted, -1 or past the end appended.
  int AddPath(const char* path, int position, int mode);
  int AddEntryFromStat(const FileStatRecord* stat, int position);
  int AddEntryFromFields(const char* name, int position, uint32_t mode, uint64_t size, uint32_t writeTime,
                         uint32_t creationTime, uint32_t accessTime);
  int RenameEntry(int index, const char* name);
  int RemoveEntry(int index);
  int RemoveAllEntries();
  int FindEntry(const char* name, int dirIndex, int nameLength) const;
  int FindEntryInDir(const char* name, const char* dir, int nameLength, int dirLength) const;
  void ConvertCase(int mode);
  void SetNotify(NotifyRoutine routine, UINT_PTR context, uint32_t insertCode, uint32_t removeCode,
                 uint32_t reorderCode, uint32_t changeCode, uint32_t beforeMask);
  int SetUserDataSize(unsigned size);

  // The entry handle of an item, and the record around it.
  FileStatRecord* EntryAt(int index) const;
  DirEntryRecord* RecordOf(const FileStatRecord* entry) const;
  // The shell objects of the network mode; null when out of range.
  CShellEntry* ShellEntryAt(int index) const;
  CShellItem* ShellItemAt(int index) const;
  // Deletes every shell item and shell entry.
  void FreeShellObjects();

  static const int DIRADD_SORTED = -2;

  // Set by the user before reading (the constructor clears them).
  volatile char m_cancel;  // from any thread: the read stops at the next name
  uint8_t m_stopReason;
  uint32_t m_attrMask, m_attrValue, m_attrAny;
  int32_t m_writeProtect;  // 0 none, 1 read-only files, other writable files
  int32_t m_timeFilter;
  uint32_t m_timeBound1, m_timeBound2;

  // Read state, for callers that look.
  int32_t m_rootLength;
  uint32_t m_state;
  int32_t m_cursor;
  int32_t m_currentDir;
  int32_t m_atEnd;
  uint32_t m_flags;
  int32_t m_sortMode;
  uint32_t m_userSize;
  uint32_t m_recordOffset;           // item pointer to the stat part
  CTextList m_dirs;                  // extra word: DIRLIST_FS_DIRECTORY
  CTextList m_entries;               // extra: user area + DirEntryRecord
  CTextList m_excludes, m_includes;  // extra word: the pattern's kind
  CTextList m_shellEntries;          // extra: CShellEntry*; text: a shortcut's target
  CTextList m_shellItems;            // extra: CShellItem*; text: its directory

 private:
  int AddPatterns(const char* text, CTextList& list, bool matchAllRule);
  bool MatchName(const char* name, int length) const;
  bool Accept(const FileStatRecord& r, bool isDir) const;
  int ReadDir(int dirIndex);
  int ReadRoot(int dirIndex);
  int ReadShares(int dirIndex);
  int ReadShellDir(int dirIndex);
  int JoinNetworkPath(const char* path);
  int AddShellItem(CShellItem* item, const char* path, int length);
  int AddShellEntry(CShellEntry* entry, const char* target);
  int QueueShellDir(const char* path, int length, int32_t extra);
  void ResetWork(int dirIndex, uint32_t mode);
  static bool IsServerPath(const char* path);
  int InsertWork(const char* name, int length, int position);
  // Type name of an item for sorting: the cached one, "Dateiordner" for
  // a directory, else the one found by extension.
  const char* SortTypeName(const char* item);
  void CloseSearch();
  void EmptyEntries();
  void Notify(int index, int count, uint32_t code, bool before) const;
  int QueueDir(const char* path, int length);
  int LoadDir(int dirIndex);
  DirEntryRecord* WorkRecord();

  char* m_root;    // 520 bytes
  char* m_output;  // 1032 bytes: 776 for paths, 256 text pool
  uint32_t m_poolOffset;
  char* m_workItem;
  HANDLE m_search;
  bool m_sortedInsert;
  int32_t m_loadedDir;
  int32_t m_dirPathLength;
  int32_t m_dirCountAtOpen;
  NotifyRoutine m_notify;
  UINT_PTR m_notifyContext;
  uint32_t m_insertCode, m_removeCode, m_changeCode, m_reorderCode, m_beforeMask;
};
