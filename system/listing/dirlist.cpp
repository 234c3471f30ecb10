#include "system/listing/dirlist.h"

#include <cstdlib>
#include <cstring>

#include "system/listing/neighbourhood.h"
#include "system/listing/netshares.h"
#include "system/shelliconcache.h"
#include "text/wildcard/wildcard.h"

namespace {

const int kRootSize = 520;
const int kOutputSize = 1032;
const int kPathRoom = 776;  // the part of the output buffer for paths
// Longest directory path queued: a name of 259 characters must still fit.
const int kMaxDirLength = kPathRoom - 260;
const int kIncrementalNames = 16;

bool IsSep(char c) { return c == '\\' || c == '/'; }

}  // namespace

CDirList::CDirList(const char* path, uint32_t flags, const char* include, const char* exclude)
    : m_cancel(0),
      m_stopReason(0),
      m_attrMask(0),
      m_attrValue(0),
      m_attrAny(0),
      m_writeProtect(0),
      m_timeFilter(0),
      m_timeBound1(0),
      m_timeBound2(0),
      m_rootLength(0),
      m_state(DIRLIST_STATE_CLOSED),
      m_cursor(0),
      m_currentDir(0),
      m_atEnd(0),
      m_flags(0),
      m_sortMode(DIRSORT_UNKNOWN),
      m_userSize(0),
      m_recordOffset(offsetof(DirEntryRecord, mode)),
      m_dirs(4),
      m_entries(sizeof(DirEntryRecord)),
      m_excludes(4),
      m_includes(4),
      m_shellEntries(sizeof(void*)),
      m_shellItems(sizeof(void*)),
      m_root(nullptr),
      m_output(new char[kOutputSize]),
      m_poolOffset(0),
      m_workItem(nullptr),
      m_search(nullptr),
      m_sortedInsert(false),
      m_loadedDir(-1),
      m_dirPathLength(0),
      m_dirCountAtOpen(0),
      m_notify(nullptr),
      m_notifyContext(0),
      m_insertCode(0),
      m_removeCode(0),
      m_changeCode(0),
      m_reorderCode(0),
      m_beforeMask(0) {
  m_output[0] = 0;
  Open(path, flags, include, exclude);
}

CDirList::~CDirList() {
  Open(nullptr, 0, nullptr, nullptr);
  delete[] m_output;
  delete[] m_workItem;
}

void CDirList::Notify(int index, int count, uint32_t code, bool before) const {
  if (m_notify) m_notify(m_notifyContext, index, count, before ? code ^ m_beforeMask : code);
}

void CDirList::CloseSearch() {
  if (m_search) FileStatClose(m_search);
  m_search = nullptr;
}

void CDirList::EmptyEntries() {
  int n = m_entries.count;
  if (n == 0) return;
  Notify(0, n, m_removeCode, true);
  m_entries.RemoveAll();
  Notify(0, n, m_removeCode, false);
}

DirEntryRecord* CDirList::WorkRecord() {
  if (!m_workItem) {
    // A length word, the extra data and a name of up to 259 characters.
    size_t size = 4 + m_entries.extraSize + 260;
    m_workItem = new char[size];
    memset(m_workItem, 0, size);
  }
  return reinterpret_cast<DirEntryRecord*>(m_workItem + 4 + m_userSize);
}

int CDirList::AddPatterns(const char* text, CTextList& list, bool matchAllRule) {
  int matchAll = 0;
  while (text && *text) {
    const char* end = strchr(text, ';');
    int n = end ? (int)(end - text) : (int)strlen(text);
    if (n > 0) {
      if (matchAllRule && ((n == 1 && text[0] == '*') || (n == 3 && strncmp(text, "*.*", 3) == 0))) {
        matchAll = 1;
      } else {
        int k = 0;
        while (k < n && text[k] == '*') ++k;
        bool wild = memchr(text + k, '*', (size_t)(n - k)) || memchr(text + k, '?', (size_t)(n - k));
        uint32_t kind = wild ? 0 : (uint32_t)(k + 1);
        list.InsertStringLen(n, text, -1, &kind);
      }
    }
    if (!end) break;
    text = end + 1;
  }
  return matchAll;
}

// A kind k >= 1 pattern is a plain ending: the name ends with the pattern
// less its k - 1 leading stars.
static bool PatternMatches(const CTextList& list, int i, const char* name, int length) {
  uint32_t kind = *reinterpret_cast<const uint32_t*>(list.items[i]);
  const char* p = list.TextAt(i);
  int n = (int)list.LengthAt(i);
  if (kind == 0) return MatchWildcardNA(p, n, name, length, MATCH_IGNORE_CASE) == 0;
  int skip = (int)kind - 1;
  int tail = n - skip;
  return length >= tail && _stricmp(name + length - tail, p + skip) == 0;
}

bool CDirList::MatchName(const char* name, int length) const {
  if (m_includes.count) {
    bool any = false;
    for (int i = 0; i < m_includes.count && !any; ++i) any = PatternMatches(m_includes, i, name, length);
    if (!any) return false;
  }
  for (int i = 0; i < m_excludes.count; ++i) {
    if (PatternMatches(m_excludes, i, name, length)) return false;
  }
  return true;
}

void CDirList::Open(const char* path, uint32_t flags, const char* include, const char* exclude) {
  CloseSearch();
  m_includes.RemoveAll();
  m_excludes.RemoveAll();
  char* oldRoot = nullptr;
  int oldRootLength = 0;
  if (path && (flags & DIRLIST_REFRESH) && m_root) {
    oldRoot = m_root;
    oldRootLength = m_rootLength;
    m_root = nullptr;
    flags |= DIRLIST_ALL_AT_ONCE;
    m_currentDir = m_dirs.count;
  } else {
    EmptyEntries();
    FreeShellObjects();
    m_dirs.RemoveAll();
    m_state = DIRLIST_STATE_CLOSED;
    m_loadedDir = -1;
    m_rootLength = m_cursor = m_currentDir = 0;
  }
  m_dirCountAtOpen = m_dirs.count;
  if (!path) {
    delete[] m_root;
    m_root = nullptr;
    m_state = DIRLIST_STATE_CLOSED;
    return;
  }
  if (!m_root) m_root = new char[kRootSize];
  m_root[0] = 0;
  flags &= ~0xFFu;
  if (flags & DIRLIST_REFRESH) flags |= DIRLIST_ALL_AT_ONCE;
  bool includeFromPath = false;
  bool fromFile = false;

  char full[kRootSize];
  int n = 0;
  if (path[0] == ':') {
    // The namespace root: the drives (and in network mode the neighbourhood).
    int cut = (int)strlen(path);
    while (cut > 1 && !IsSep(path[cut - 1]) && path[cut - 1] != ':') --cut;
    if (cut > 0 && path[cut]) {
      AddPatterns(path + cut, m_includes, false);
      includeFromPath = true;
    }
    strcpy(full, ":");
    n = 0;
  } else {
    // The absolute path; one too long for the root is refused.
    bool network = (flags & DIRLIST_NETWORK) && IsSep(path[0]) && IsSep(path[1]);
    n = network ? ResolveNetworkPath(path, full, kRootSize - 2) : FullPathNameA(path, full, kRootSize - 2);
    if (n <= 0 || n >= kRootSize - 2) {
      delete[] oldRoot;
      delete[] m_root;
      m_root = nullptr;
      m_state = DIRLIST_STATE_CLOSED;
      return;
    }
    for (int i = 0; i < n; ++i) {
      if (full[i] == '/') full[i] = '\\';
    }
    int wild = (int)strcspn(full, ";*?");
    bool split = true;
    if (wild == n) {
      if (IsSep(full[n - 1])) {
        split = false;
      } else {
        FileStatRecord r;
        if (FileStatA(full, &r) == FSTAT_OK) {
          if (r.mode & FSTAT_DIRECTORY) {
            full[n++] = '\\';
            full[n] = 0;
            split = false;
          } else {
            include = nullptr;
            fromFile = true;
            flags &= ~DIRLIST_RECURSE;
            if (!(flags & DIRLIST_LIST_DIRS)) flags |= DIRLIST_SEARCH_PATTERN;
          }
        } else if (IsSep(full[0]) && IsSep(full[1])) {
          // A server or share: probed with a search, which an empty root passes.
          char probe[kRootSize + 2];
          memcpy(probe, full, (size_t)n);
          strcpy(probe + n, "\\*");
          WIN32_FIND_DATAA fd;
          HANDLE h = FindFirstFileA(probe, &fd);
          DWORD error = GetLastError();
          if (h != INVALID_HANDLE_VALUE) FindClose(h);
          if (h != INVALID_HANDLE_VALUE || error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ||
              (flags & DIRLIST_NETWORK)) {
            full[n++] = '\\';
            full[n] = 0;
            split = false;
          }
        }
      }
    }
    if (split) {
      int cut = n;
      while (cut > 0 && !IsSep(full[cut - 1])) --cut;
      if (cut < n) {
        AddPatterns(full + cut, m_includes, false);
        includeFromPath = true;
      }
      full[cut] = 0;
      n = cut;
    }
  }
  memcpy(m_root, full, strlen(full) + 1);
  m_rootLength = n;

  bool matchAll = false;
  if (!includeFromPath) matchAll = AddPatterns(include, m_includes, true) != 0;
  AddPatterns(exclude, m_excludes, false);
  if (matchAll) m_includes.RemoveAll();
  if (includeFromPath && m_includes.count == 1) {
    const char* p = m_includes.TextAt(0);
    if (strcmp(p, "*") == 0 || strcmp(p, "*.*") == 0) m_includes.RemoveAll();
  }
  // Only a wildcard pattern, or the name of an existing file, can be the
  // search itself: a plain pattern ("bak") means names that end with it.
  if (m_includes.count == 1 && !(flags & (DIRLIST_RECURSE | DIRLIST_LIST_DIRS)) &&
      (fromFile || *reinterpret_cast<const uint32_t*>(m_includes.items[0]) == 0)) {
    flags |= DIRLIST_SEARCH_PATTERN;
  }
  if (!(m_includes.count == 1)) flags &= ~DIRLIST_SEARCH_PATTERN;

  if (oldRoot) {
    if (oldRootLength == m_rootLength && _stricmp(oldRoot, m_root) != 0) m_rootLength = 0;
    delete[] oldRoot;
  } else if (m_entries.count) {
    m_rootLength = 0;
  }
  m_sortedInsert = false;
  if (flags & DIRLIST_SORTED) {
    if (m_entries.count <= 1 || m_sortMode != DIRSORT_UNKNOWN) {
      // Before any Sort the order is by name, ascending, directories first.
      if (m_sortMode == DIRSORT_UNKNOWN) m_sortMode = DIRSORT_NAME;
      m_sortedInsert = true;
      flags |= DIRLIST_ALL_AT_ONCE;
    } else {
      flags &= ~DIRLIST_SORTED;
    }
  }
  m_flags = flags;
  m_atEnd = 0;
  m_state = DIRLIST_STATE_OPENED;
}

int CDirList::QueueDir(const char* path, int length) {
  if (length > kMaxDirLength) return -1;
  int32_t extra = DIRLIST_FS_DIRECTORY;
  return m_dirs.InsertStringLen(length, path, -1, &extra);
}

int CDirList::LoadDir(int dirIndex) {
  if (dirIndex < 0 || dirIndex >= m_dirs.count) return 0;
  int n = (int)m_dirs.LengthAt(dirIndex);
  memcpy(m_output, m_dirs.TextAt(dirIndex), (size_t)n + 1);
  m_dirPathLength = n;
  m_loadedDir = dirIndex;
  return n;
}

bool CDirList::Accept(const FileStatRecord& r, bool isDir) const {
  if (isDir) return true;
  if (m_writeProtect == 1 && (r.mode & FSTAT_WRITABLE)) return false;
  if (m_writeProtect != 0 && m_writeProtect != 1 && !(r.mode & FSTAT_WRITABLE)) return false;
  uint32_t attrs = r.mode & FSTAT_ATTRIBUTE_MASK;
  if (m_attrAny && !(attrs & m_attrAny)) return false;
  if (m_attrMask && (attrs & m_attrMask) != (m_attrValue & m_attrMask)) return false;
  if (m_timeFilter > 0 && m_timeFilter <= 8) {
    uint32_t t = (m_timeFilter & 1) ? r.creationTime : r.writeTime;
    switch ((m_timeFilter + 1) / 2) {
      case 1:
        if (t > m_timeBound1) return false;
        break;
      case 2:
        if (t < m_timeBound1) return false;
        break;
      case 3:
        if (t < m_timeBound1 || t > m_timeBound2) return false;
        break;
      default:
        if (t >= m_timeBound2 && t <= m_timeBound1) return false;
        break;
    }
  }
  return true;
}

int CDirList::ReadDir(int dirIndex) {
  if (dirIndex < 0 || dirIndex >= m_dirs.count) return 0;
  // Refresh: a directory known before the open is read under its earlier
  // index, and names it already holds are skipped.
  const bool skipKnown = (m_flags & DIRLIST_REFRESH) != 0;
  if (skipKnown && dirIndex >= m_dirCountAtOpen) {
    int earlier = m_dirs.FindString((int)m_dirs.LengthAt(dirIndex), m_dirs.TextAt(dirIndex), 0, m_dirCountAtOpen,
                                    CTextList::kFindNoCase);
    if (earlier >= 0) {
      m_dirs.RemoveAt(dirIndex);
      if (m_currentDir > 0) --m_currentDir;
      dirIndex = earlier;
    }
  }
  if (strcmp(m_dirs.TextAt(dirIndex), ":") == 0) return ReadRoot(dirIndex);
  if ((m_flags & DIRLIST_NETWORK) && *reinterpret_cast<const int32_t*>(m_dirs.items[dirIndex]) >= 0)
    return ReadShellDir(dirIndex);
  if ((m_flags & DIRLIST_NETWORK) && IsServerPath(m_dirs.TextAt(dirIndex))) return ReadShares(dirIndex);
  int dirLength = LoadDir(dirIndex);
  DirEntryRecord* work = WorkRecord();
  work->directory = m_dirs.TextAt(dirIndex);
  work->directoryIndex = dirIndex;
  work->shellIndex = -1;
  FileStatRecord r;
  if (!m_search) {
    char pattern[kPathRoom];
    const char* tail = (m_flags & DIRLIST_SEARCH_PATTERN) && m_includes.count == 1 ? m_includes.TextAt(0) : "*";
    int tailLength = (int)strlen(tail);
    if (dirLength + tailLength >= kPathRoom) return 0;
    memcpy(pattern, m_output, (size_t)dirLength);
    memcpy(pattern + dirLength, tail, (size_t)tailLength + 1);
    m_search = FileStatFirstA(pattern, &r, nullptr);
    if (!m_search) return 0;
  } else if (FileStatNextA(m_search, &r) != FSTAT_OK) {
    CloseSearch();
    return 0;
  }
  int added = 0, examined = 0;
  bool sortLater = false;
  auto settle = [&]() {
    if (!sortLater || m_entries.count < 2) return;
    m_entries.ownerWord = (uintptr_t)this;
    m_entries.Sort(0, m_entries.count, CompareByIndex);
  };
  for (;;) {
    if (m_cancel) {
      m_stopReason = DIRSTOP_CANCELLED;
      break;
    }
    ++examined;
    int n = (int)strlen(r.name);
    bool isDir = (r.mode & FSTAT_DIRECTORY) != 0;
    bool take = false, tested = false;
    bool dots = n == 2 && r.name[0] == '.' && r.name[1] == '.';
    if (n == 1 && r.name[0] == '.') {
      take = false;
    } else if (dots) {
      take = (m_flags & DIRLIST_PARENT) && (m_flags & DIRLIST_LIST_DIRS);
    } else if (isDir) {
      if (m_flags & DIRLIST_RECURSE) {
        char sub[kPathRoom];
        if (dirLength + n + 1 <= kMaxDirLength) {
          memcpy(sub, m_output, (size_t)dirLength);
          memcpy(sub + dirLength, r.name, (size_t)n);
          sub[dirLength + n] = '\\';
          QueueDir(sub, dirLength + n + 1);
        }
      }
      if (m_flags & DIRLIST_LIST_DIRS) {
        tested = (m_flags & DIRLIST_DIRS_MATCH) != 0;
        take = !tested || MatchName(r.name, n);
      } else if (m_flags & DIRLIST_DIRS_ONLY) {
        tested = true;
        take = MatchName(r.name, n);
      }
    } else if (!(m_flags & DIRLIST_DIRS_ONLY)) {
      tested = true;
      take = Accept(r, false) && MatchName(r.name, n);
    }
    if (take && skipKnown && FindEntry(r.name, dirIndex, n) >= 0) take = false;
    if (take) {
      work->mode = r.mode;
      // The size's upper half saturates below the drive and shell bits.
      uint32_t high = r.mode >> FSTAT_SIZE_HIGH_SHIFT;
      work->mode = (r.mode & FSTAT_ATTRIBUTE_MASK);
      if (high > DIRENTRY_SIZE_HIGH_MAX) {
        work->mode |= DIRENTRY_SIZE_HIGH_MAX << DIRENTRY_SIZE_SHIFT;
        work->size = 0xFFFFFFFF;
      } else {
        work->mode |= high << DIRENTRY_SIZE_SHIFT;
        work->size = r.size;
      }
      work->creationTime = r.creationTime;
      work->accessTime = r.accessTime;
      work->writeTime = r.writeTime;
      work->tag = 0;
      work->typeName = nullptr;
      work->extensionOffset = -1;
      work->smallIcon = work->largeIcon = -1;
      // Without anyone to tell of each position, a sorted read appends and
      // sorts once: the same order without moving the list per entry.
      bool later = m_sortedInsert && !m_notify;
      InsertWork(r.name, n, m_sortedInsert && !later ? DIRADD_SORTED : -1);
      if (later) sortLater = true;
      ++added;
      if (m_flags & DIRLIST_FIRST_MATCH) {
        m_stopReason = DIRSTOP_FIRST_MATCH;
        CloseSearch();
        settle();
        return added;
      }
      if ((m_flags & DIRLIST_INCREMENTAL) && tested && examined >= kIncrementalNames) {
        settle();
        return added;
      }
    }
    if (FileStatNextA(m_search, &r) != FSTAT_OK) break;
  }
  CloseSearch();
  settle();
  return added;
}

// Two backslashes and a server name, with or without a final backslash.
bool CDirList::IsServerPath(const char* path) {
  if (!IsSep(path[0]) || !IsSep(path[1]) || !path[2] || IsSep(path[2])) return false;
  const char* p = path + 2;
  while (*p && !IsSep(*p)) ++p;
  return !*p || (IsSep(*p) && !p[1]);
}

void CDirList::ResetWork(int dirIndex, uint32_t mode) {
  DirEntryRecord* work = WorkRecord();
  work->directory = m_dirs.TextAt(dirIndex);
  work->directoryIndex = dirIndex;
  work->shellIndex = -1;
  work->mode = mode;
  work->size = work->creationTime = work->accessTime = work->writeTime = 0;
  work->tag = 0;
  work->typeName = nullptr;
  work->extensionOffset = -1;
  work->smallIcon = work->largeIcon = -1;
}

int CDirList::ReadRoot(int dirIndex) {
  int added = 0;
  m_rootLength = 0;
  DWORD drives = GetLogicalDrivesCached();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    if (m_cancel) {
      m_stopReason = DIRSTOP_CANCELLED;
      return added;
    }
    char name[4] = {(char)('A' + i), ':', '\\', 0};
    if (m_flags & DIRLIST_RECURSE) QueueDir(name, 3);
    if (m_flags & (DIRLIST_LIST_DIRS | DIRLIST_DIRS_ONLY)) {
      ResetWork(dirIndex, DIRENTRY_DRIVE | FSTAT_DIRECTORY);
      InsertWork(name, 2, m_sortedInsert ? DIRADD_SORTED : -1);
      ++added;
    }
  }
  if (m_flags & DIRLIST_NETWORK) {
    CShellItem* hood = new CShellItem;
    OpenNeighbourhood(hood);
    int item = AddShellItem(hood, "\\\\", 2);
    // The recursion reads the neighbourhood item itself.
    if ((m_flags & DIRLIST_RECURSE) && item >= 0) QueueShellDir("\\\\", 2, item);
    if (m_flags & (DIRLIST_LIST_DIRS | DIRLIST_DIRS_ONLY)) {
      ResetWork(dirIndex, DIRENTRY_NEIGHBOURHOOD);
      CShellEntry* entry = new CShellEntry{};
      entry->Assign(hood);
      WorkRecord()->shellIndex = AddShellEntry(entry, "");
      InsertWork(NETWORK_NEIGHBOURHOOD_NAME, (int)strlen(NETWORK_NEIGHBOURHOOD_NAME),
                 m_sortedInsert ? DIRADD_SORTED : -1);
      ++added;
    }
  }
  return added;
}

int CDirList::ReadShares(int dirIndex) {
  int dirLength = LoadDir(dirIndex);
  ShareEnum* shares = OpenShareEnum(m_output);
  if (!shares) return 0;
  char base[kPathRoom];
  memcpy(base, m_output, (size_t)dirLength + 1);
  if (dirLength && !IsSep(base[dirLength - 1])) base[dirLength++] = '\\';
  int added = 0;
  char name[260];
  while (NextShare(shares, name, sizeof name) > 0) {
    if (m_cancel) {
      m_stopReason = DIRSTOP_CANCELLED;
      break;
    }
    int n = (int)strlen(name);
    if ((m_flags & DIRLIST_RECURSE) && dirLength + n + 1 <= kMaxDirLength) {
      char sub[kPathRoom];
      memcpy(sub, base, (size_t)dirLength);
      memcpy(sub + dirLength, name, (size_t)n);
      sub[dirLength + n] = '\\';
      QueueDir(sub, dirLength + n + 1);
    }
    bool take = (m_flags & DIRLIST_LIST_DIRS) || ((m_flags & DIRLIST_DIRS_ONLY) && MatchName(name, n));
    if (take && (m_flags & DIRLIST_REFRESH) && FindEntry(name, dirIndex, n) >= 0) take = false;
    if (!take) continue;
    ResetWork(dirIndex, DIRENTRY_SHELL | FSTAT_DIRECTORY);
    InsertWork(name, n, m_sortedInsert ? DIRADD_SORTED : -1);
    ++added;
  }
  CloseShareEnum(shares);
  return added;
}

int CDirList::Read(const char* path, uint32_t flags, const char* include, const char* exclude) {
  m_stopReason = 0;
  m_cancel = 0;
  if (path) Open(path, flags, include, exclude);
  if (!m_root) {
    m_atEnd = 2;
    return -1;
  }
  WorkRecord();
  int before = m_entries.count;
  auto finish = [&]() {
    if (m_entries.count > before && !(m_flags & DIRLIST_SORTED) && m_entries.count > 1) m_sortMode = DIRSORT_UNKNOWN;
    return m_entries.count;
  };
  auto readRest = [&]() {
    if (!(m_flags & DIRLIST_ALL_AT_ONCE)) return;
    while (m_currentDir + 1 < m_dirs.count && !m_search) {
      if (m_cancel) {
        m_stopReason = DIRSTOP_CANCELLED;
        return;
      }
      ++m_currentDir;
      ReadDir(m_currentDir);
      if (m_search) m_state = DIRLIST_STATE_SEARCH_OPEN | (uint32_t)m_currentDir;
    }
  };
  if (m_state != DIRLIST_STATE_CLOSED && m_state != DIRLIST_STATE_FINISHED && (m_state & DIRLIST_STATE_SEARCH_OPEN)) {
    int dir = (int)(m_state & ~DIRLIST_STATE_SEARCH_OPEN);
    ReadDir(dir);
    if (!m_search) {
      m_state = DIRLIST_STATE_DIR_DONE;
      readRest();
    }
    if (m_entries.count != before) return finish();
  }
  if (m_state == DIRLIST_STATE_OPENED) {
    int dir = m_dirs.FindString(m_rootLength, m_root, 0, -1, CTextList::kFindNoCase);
    if (dir < 0 || !(m_flags & DIRLIST_REFRESH)) {
      bool network = (m_flags & DIRLIST_NETWORK) && IsSep(m_root[0]) && IsSep(m_root[1]);
      dir = network ? JoinNetworkPath(m_root) : QueueDir(m_root, (int)strlen(m_root));
    }
    if (dir < 0) {
      m_atEnd = 2;
      return -1;
    }
    m_currentDir = dir;
    ReadDir(dir);
    if (m_search) {
      m_state = DIRLIST_STATE_SEARCH_OPEN | (uint32_t)dir;
    } else {
      m_cursor = 0;
      m_state = DIRLIST_STATE_DIR_DONE;
      readRest();
    }
    return finish();
  }
  if (m_state == DIRLIST_STATE_DIR_DONE) {
    // Path holders are never read: they make no batch of their own.
    while (m_currentDir + 1 < m_dirs.count && (m_flags & DIRLIST_NETWORK) &&
           *reinterpret_cast<const int32_t*>(m_dirs.items[m_currentDir + 1]) >= DIRLIST_PATH_HOLDER) {
      ++m_currentDir;
    }
    if (m_currentDir + 1 >= m_dirs.count) {
      m_atEnd = 1;
      m_state = DIRLIST_STATE_FINISHED;
      return -1;
    }
    EmptyEntries();
    before = 0;
    // The finished directories leave the front of the queue.
    m_dirs.RemoveRange(0, m_currentDir + 1);
    m_currentDir = 0;
    m_loadedDir = -1;
    ReadDir(m_currentDir);
    m_state = m_search ? DIRLIST_STATE_SEARCH_OPEN | (uint32_t)m_currentDir : DIRLIST_STATE_DIR_DONE;
    m_cursor = 0;
    return finish();
  }
  m_atEnd = 1;
  return -1;
}

const char* CDirList::Next(int mode, int* pLength) {
  m_cancel = 0;
  while (m_cursor >= m_entries.count) {
    if (Read() < 0 || (m_cursor >= m_entries.count && m_state == DIRLIST_STATE_FINISHED)) {
      m_atEnd = 1;
      if (pLength) *pLength = 0;
      return nullptr;
    }
  }
  int index = m_cursor++;
  if (mode == DIRNEXT_NAME) return GetEntryName(index, pLength);
  return GetEntryPath(index, pLength, mode == DIRNEXT_RELATIVE_PATH);
}
