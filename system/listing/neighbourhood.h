// The network neighbourhood of the shell namespace, and walks down it by
// display names.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "system/shellitem.h"

// The neighbourhood folder, for tests: a special folder, or an absolute id
// list (copied) when list is not null. By default CSIDL_NETWORK (18).
void SetNeighbourhoodFolder(int csidl, LPCITEMIDLIST list);
// Opens item on the neighbourhood folder; 1 on success.
int OpenNeighbourhood(CShellItem* item);

// A child that is a file-system item and lies below one (a folder or drive
// of the file system): the listing reads it with file searches.
inline bool IsPlainFileSystem(ULONG attributes) {
  return (attributes & SFGAO_FILESYSTEM) && (attributes & SFGAO_FILESYSANCESTOR);
}

// Follows the components of a path of display names (separated by '\' or
// '/') down the neighbourhood, at most six levels deep; an exhausted level
// sends the walk back up one. Names compare ignoring case, whole.
class CNeighbourhoodWalk {
 public:
  static const int kMaxLevels = 6;

  CNeighbourhoodWalk() = default;
  ~CNeighbourhoodWalk();
  CNeighbourhoodWalk(const CNeighbourhoodWalk&) = delete;
  CNeighbourhoodWalk& operator=(const CNeighbourhoodWalk&) = delete;

  // 1 when the last component matched a child that is no plain file-system
  // item, or (with fileSystemFirst) a first component matched a plain
  // file-system child. Match() then has that child current and m_rest is
  // the offset behind the matched component. 0 otherwise or on a cancel.
  int Walk(const char* path, int length, bool fileSystemFirst, volatile const char* cancel);
  CShellItem* Match() const { return m_depth >= 0 ? m_levels[m_depth] : nullptr; }

  int m_rest = 0;
  bool m_plain = false;  // the match is a plain file-system item

 private:
  CShellItem* m_levels[kMaxLevels] = {};
  int m_depth = -1;
};
