#include <cstdlib>
#include <cstring>

#include "system/files/namecollate.h"
#include "system/listing/dirlist.h"
#include "text/casemode/convertcase.h"
#include "text/compare/naturalcompare.h"

namespace {

const int kPathRoom = 776;

bool IsSep(char c) { return c == '\\' || c == '/'; }

}  // namespace

FileStatRecord* CDirList::EntryAt(int index) const {
  if ((unsigned)index >= (unsigned)m_entries.count) return nullptr;
  return reinterpret_cast<FileStatRecord*>(m_entries.items[index] + m_recordOffset);
}

DirEntryRecord* CDirList::RecordOf(const FileStatRecord* entry) const {
  return reinterpret_cast<DirEntryRecord*>(
      const_cast<char*>(reinterpret_cast<const char*>(entry) - offsetof(DirEntryRecord, mode)));
}

void CDirList::SetNotify(NotifyRoutine routine, UINT_PTR context, uint32_t insertCode, uint32_t removeCode,
                         uint32_t reorderCode, uint32_t changeCode, uint32_t beforeMask) {
  m_notify = routine;
  m_notifyContext = context;
  m_insertCode = insertCode;
  m_removeCode = removeCode;
  m_reorderCode = reorderCode;
  m_changeCode = changeCode;
  m_beforeMask = beforeMask;
}

int CDirList::SetUserDataSize(unsigned size) {
  if (size < 4 || size > 4100 || m_entries.count) return 0;
  // At least the size asked, in whole 32-bit words.
  m_userSize = (size + 3) & ~3u;
  m_recordOffset = m_userSize + (uint32_t)offsetof(DirEntryRecord, mode);
  m_entries.extraSize = m_userSize + (uint32_t)sizeof(DirEntryRecord);
  delete[] m_workItem;
  m_workItem = nullptr;
  return 1;
}

const char* CDirList::GetEntryName(int index, int* pLength) const {
  if ((unsigned)index >= (unsigned)m_entries.count) {
    if (pLength) *pLength = 0;
    return nullptr;
  }
  if (pLength) *pLength = (int)m_entries.LengthAt(index);
  return m_entries.TextAt(index);
}

int CDirList::GetEntryPathLength(int index, int relative) const {
  FileStatRecord* e = EntryAt(index);
  if (!e) return 0;
  int dirLength = 0;
  GetEntryDir(e, relative, &dirLength);
  return dirLength + (int)m_entries.LengthAt(index);
}

const char* CDirList::GetEntryDir(const FileStatRecord* entry, int relative, int* pLength) const {
  const char* dir;
  int n;
  if (!entry) {
    dir = m_root ? m_root : "";
    n = m_root ? (int)strlen(m_root) : 0;
    if (relative) {
      dir += n;
      n = 0;
    }
  } else {
    const DirEntryRecord* r = RecordOf(entry);
    dir = r->directory ? r->directory : "";
    n = (int)CTextList::LengthOf(dir - m_dirs.extraSize);
    // A relative path skips the root only where the directory begins with it.
    if (relative && m_rootLength > 0 && n >= m_rootLength && m_root && _strnicmp(dir, m_root, m_rootLength) == 0) {
      dir += m_rootLength;
      n -= m_rootLength;
    }
  }
  if (pLength) *pLength = n;
  return dir;
}

const char* CDirList::GetEntryPath(int index, int* pLength, int relative) {
  FileStatRecord* e = EntryAt(index);
  if (!e) {
    if (pLength) *pLength = 0;
    return nullptr;
  }
  int dirLength = 0;
  const char* dir = GetEntryDir(e, relative, &dirLength);
  int n = (int)m_entries.LengthAt(index);
  if (dirLength + n >= kPathRoom) {
    if (pLength) *pLength = 0;
    return nullptr;
  }
  memmove(m_output, dir, (size_t)dirLength);
  memcpy(m_output + dirLength, m_entries.TextAt(index), (size_t)n + 1);
  m_loadedDir = -1;
  if (pLength) *pLength = dirLength + n;
  return m_output;
}

const char* CDirList::GetExtension(FileStatRecord* entry, int* pLength) {
  // The name follows the five stat fields.
  const char* name = reinterpret_cast<const char*>(entry) + offsetof(FileStatRecord, name);
  DirEntryRecord* r = RecordOf(entry);
  int n = (int)strlen(name);
  if (r->extensionOffset < 0) {
    int dot = n;
    for (int i = n; i > 0; --i) {
      if (name[i - 1] == '.') {
        dot = i;
        break;
      }
    }
    r->extensionOffset = dot;
  }
  if (pLength) *pLength = n - r->extensionOffset;
  return name + r->extensionOffset;
}

int64_t CDirList::GetEntrySize(const FileStatRecord* entry) {
  if (!entry) return -1;
  // Drive and shell entries have no size of their own.
  if (entry->mode & (DIRENTRY_DRIVE | DIRENTRY_SHELL)) return entry->size;
  return (int64_t)entry->size + ((int64_t)((entry->mode >> DIRENTRY_SIZE_SHIFT) & DIRENTRY_SIZE_HIGH_MAX) << 32);
}

int64_t CDirList::GetEntryTimeOf(const FileStatRecord* entry, int which) {
  if (!entry) return -1;
  uint32_t t = which == 1 ? entry->creationTime : which == 2 ? entry->accessTime : entry->writeTime;
  if (t == 0xFFFFFFFF) t = entry->writeTime;
  if (t == 0xFFFFFFFF) t = entry->creationTime;
  if (t == 0xFFFFFFFF) t = entry->accessTime;
  return t;
}

int64_t CDirList::GetEntryTime(const FileStatRecord* entry) { return GetEntryTimeOf(entry, 0); }

int64_t CDirList::GetTotalSize() const {
  int64_t total = 0;
  for (int i = 0; i < m_entries.count; ++i) {
    FileStatRecord* e = EntryAt(i);
    if (!(e->mode & (FSTAT_DIRECTORY | DIRENTRY_SHELL))) total += GetEntrySize(e);
  }
  return total;
}

int CDirList::CompareEntries(const char* a, const char* b, CDirList* list) {
  if (a == b) return 0;
  const DirEntryRecord* ra = reinterpret_cast<const DirEntryRecord*>(a + list->m_userSize);
  const DirEntryRecord* rb = reinterpret_cast<const DirEntryRecord*>(b + list->m_userSize);
  const char* na = a + list->m_entries.extraSize;
  const char* nb = b + list->m_entries.extraSize;
  int mode = list->m_sortMode == DIRSORT_UNKNOWN ? DIRSORT_NAME : list->m_sortMode;
  bool natural = (mode & DIRSORT_NATURAL) != 0;
  auto texts = [natural](const char* x, const char* y) {
    return natural ? CompareNaturalNoCaseA(x, y) : _stricmp(x, y);
  };
  int r = 0;
  if (!(mode & DIRSORT_MIXED)) {
    bool da = (ra->mode & FSTAT_DIRECTORY) != 0, db = (rb->mode & FSTAT_DIRECTORY) != 0;
    if (da != db) {
      r = da ? -1 : 1;
    } else if (da) {
      bool xa = (ra->mode & DIRENTRY_DRIVE) != 0, xb = (rb->mode & DIRENTRY_DRIVE) != 0;
      bool sa = (ra->mode & DIRENTRY_SHELL) != 0, sb = (rb->mode & DIRENTRY_SHELL) != 0;
      if (xa != xb) {
        r = xa ? -1 : 1;
      } else if (sa != sb) {
        r = sa ? 1 : -1;
      } else if (sa) {
        bool la = (ra->mode & DIRENTRY_SHELL_LINK) != 0, lb = (rb->mode & DIRENTRY_SHELL_LINK) != 0;
        if (la != lb) r = la ? 1 : -1;
      }
    }
  }
  auto unsignedCmp = [](uint64_t x, uint64_t y) { return x < y ? -1 : x > y ? 1 : 0; };
  int key = mode & (int)DIRSORT_KEY_MASK;
  if (r == 0) {
    switch (key) {
      case DIRSORT_TYPE:
        r = _stricmp(list->SortTypeName(a), list->SortTypeName(b));
        break;
      case DIRSORT_CREATION:
        r = unsignedCmp(ra->creationTime, rb->creationTime);
        break;
      case DIRSORT_ACCESS:
        r = unsignedCmp(ra->accessTime, rb->accessTime);
        break;
      case DIRSORT_WRITE:
        r = unsignedCmp(ra->writeTime, rb->writeTime);
        break;
      case DIRSORT_SIZE:
        r = unsignedCmp((uint64_t)GetEntrySize(reinterpret_cast<const FileStatRecord*>(&ra->mode)),
                        (uint64_t)GetEntrySize(reinterpret_cast<const FileStatRecord*>(&rb->mode)));
        break;
      case DIRSORT_DIRECTORY:
        if (ra->directory != rb->directory)
          r = texts(ra->directory ? ra->directory : "", rb->directory ? rb->directory : "");
        break;
      case DIRSORT_EXTENSION: {
        const char* ea = strrchr(na, '.');
        const char* eb = strrchr(nb, '.');
        r = _stricmp(ea ? ea + 1 : "", eb ? eb + 1 : "");
        break;
      }
      case DIRSORT_ATTRIBUTES:
        r = (int)(ra->mode & 0x1FF) - (int)(rb->mode & 0x1FF);
        break;
      case DIRSORT_TAG:
        r = unsignedCmp(ra->tag, rb->tag);
        break;
      default:
        break;
    }
  }
  if (r == 0) r = texts(na, nb);
  if (r == 0 && key != DIRSORT_DIRECTORY && ra->directory != rb->directory) {
    r = texts(ra->directory ? ra->directory : "", rb->directory ? rb->directory : "");
  }
  return (mode & DIRSORT_DESCENDING) ? -r : r;
}

const char* CDirList::SortTypeName(const char* item) {
  const DirEntryRecord* r = reinterpret_cast<const DirEntryRecord*>(item + m_userSize);
  if (r->typeName) return r->typeName;
  if (r->mode & FSTAT_DIRECTORY) return "Dateiordner";
  // Entries and the work record of a sorted insert alike. A name not kept
  // per extension comes from the output pool, which holds the last two.
  const char* t =
      GetTypeName(reinterpret_cast<FileStatRecord*>(const_cast<char*>(item) + m_recordOffset), SHGFI_USEFILEATTRIBUTES);
  return t ? t : "";
}

int CDirList::CompareByIndex(const CTextList* list, int i, int j) {
  CDirList* self = reinterpret_cast<CDirList*>(list->ownerWord);
  return CompareEntries(list->items[i], list->items[j], self);
}

void CDirList::Sort(int key, uint32_t bits) {
  m_sortMode = (int)(((uint32_t)key & DIRSORT_KEY_MASK) | (bits & ~DIRSORT_KEY_MASK));
  m_cursor = 0;
  if (m_entries.count < 2) return;
  Notify(0, m_entries.count, m_reorderCode, true);
  m_entries.ownerWord = (uintptr_t)this;
  m_entries.Sort(0, m_entries.count, CompareByIndex);
  Notify(0, m_entries.count, m_reorderCode, false);
}

// Inserts the work record under the name; DIRADD_SORTED finds the place.
int CDirList::InsertWork(const char* name, int length, int position) {
  char* item = m_workItem + 4;
  if (position == DIRADD_SORTED) {
    *reinterpret_cast<uint32_t*>(m_workItem) = (uint32_t)length;
    memcpy(item + m_entries.extraSize, name, (size_t)length);
    item[m_entries.extraSize + length] = 0;
    position = m_entries.BinaryFindWith(
        this, item, 0, m_entries.count, CTextList::kBinAfterEqual | CTextList::kBinInsertPos,
        [](const void* key, const char* other, void* context) {
          return CompareEntries(static_cast<const char*>(key), other, static_cast<CDirList*>(context));
        });
  } else if ((unsigned)position > (unsigned)m_entries.count) {
    position = m_entries.count;
  }
  Notify(position, 1, m_insertCode, true);
  int index = m_entries.InsertStringLen(length, name, position, item);
  Notify(index, 1, m_insertCode, false);
  return index;
}

int CDirList::AddPath(const char* path, int position, int mode) {
  if (!path || !m_workItem) WorkRecord();
  if (!path) return -1;
  if (position == DIRADD_SORTED && m_sortMode == DIRSORT_UNKNOWN) position = -1;
  DirEntryRecord* work = WorkRecord();
  char full[kPathRoom];
  const char* nameStart;
  int dirIndex = -1;
  size_t special = strcspn(path, "\\/:*?");
  if (mode == 0 && !path[special] && m_dirs.count) {
    dirIndex = m_dirs.count - 1;
    nameStart = path;
  } else {
    if (path[special] == '*' || path[special] == '?') return -1;
    int n = FullPathNameA(path, full, kPathRoom);
    if (n <= 0 || n >= kPathRoom) return -1;
    for (int i = 0; i < n; ++i) {
      if (full[i] == '/') full[i] = '\\';
    }
    if (mode != 0) {
      if (n == 3 && full[1] == ':' && IsSep(full[2])) {
        if (mode & DIRADD_NO_DIRECTORY) return -1;
        full[2] = 0;
        n = 2;
        work->mode = DIRENTRY_DRIVE | FSTAT_DIRECTORY;
        work->size = work->creationTime = work->accessTime = work->writeTime = 0;
      } else {
        FileStatRecord r;
        if (FileStatA(full, &r) != FSTAT_OK) return -1;
        bool isDir = (r.mode & FSTAT_DIRECTORY) != 0;
        if ((isDir && (mode & DIRADD_NO_DIRECTORY)) || (!isDir && (mode & DIRADD_NO_FILE))) return -1;
        uint32_t high = r.mode >> FSTAT_SIZE_HIGH_SHIFT;
        work->mode = (r.mode & FSTAT_ATTRIBUTE_MASK) |
                     ((high > DIRENTRY_SIZE_HIGH_MAX ? DIRENTRY_SIZE_HIGH_MAX : high) << DIRENTRY_SIZE_SHIFT);
        work->size = high > DIRENTRY_SIZE_HIGH_MAX ? 0xFFFFFFFF : r.size;
        work->creationTime = r.creationTime;
        work->accessTime = r.accessTime;
        work->writeTime = r.writeTime;
      }
    }
    int cut = n;
    while (cut > 0 && !IsSep(full[cut - 1])) --cut;
    if (cut == 0 && n == 2 && full[1] == ':') {
      // A drive entry lives in the root.
      cut = 0;
    }
    nameStart = full + cut;
    if (cut > 0) {
      dirIndex = m_dirs.FindString(cut, full, 0, -1, CTextList::kFindNoCase);
      if (dirIndex < 0) dirIndex = QueueDir(full, cut);
    } else {
      dirIndex = m_dirs.FindString(0, "", 0, -1, CTextList::kFindNoCase);
      if (dirIndex < 0) dirIndex = QueueDir("", 0);
    }
    if (dirIndex < 0) return -1;
  }
  int nameLength = (int)strlen(nameStart);
  if (nameLength == 0 || nameLength > 259) return -1;
  if ((mode & DIRADD_NO_DUPLICATE) && FindEntry(nameStart, dirIndex, nameLength) >= 0) return -1;
  work->directory = m_dirs.TextAt(dirIndex);
  work->directoryIndex = dirIndex;
  work->shellIndex = -1;
  work->tag = 0;
  work->typeName = nullptr;
  work->extensionOffset = -1;
  work->smallIcon = work->largeIcon = -1;
  if (position != DIRADD_SORTED) m_sortMode = DIRSORT_UNKNOWN;
  return InsertWork(nameStart, nameLength, position);
}

int CDirList::AddEntryFromStat(const FileStatRecord* stat, int position) {
  if (!stat) return -1;
  DirEntryRecord* work = WorkRecord();
  uint32_t high = stat->mode >> FSTAT_SIZE_HIGH_SHIFT;
  work->mode = (stat->mode & FSTAT_ATTRIBUTE_MASK) |
               ((high > DIRENTRY_SIZE_HIGH_MAX ? DIRENTRY_SIZE_HIGH_MAX : high) << DIRENTRY_SIZE_SHIFT);
  work->size = high > DIRENTRY_SIZE_HIGH_MAX ? 0xFFFFFFFF : stat->size;
  work->creationTime = stat->creationTime;
  work->accessTime = stat->accessTime;
  work->writeTime = stat->writeTime;
  return AddPath(stat->name, position, 0);
}

int CDirList::AddEntryFromFields(const char* name, int position, uint32_t mode, uint64_t size, uint32_t writeTime,
                                 uint32_t creationTime, uint32_t accessTime) {
  DirEntryRecord* work = WorkRecord();
  // Only the size's upper half goes into bits 10 and up; a file of 64 GiB or
  // more saturates instead of turning into a drive or shell entry.
  uint32_t high = (uint32_t)(size >> 32);
  bool special = (mode & (DIRENTRY_DRIVE | DIRENTRY_SHELL)) != 0;
  if (special) {
    work->mode = mode & ~(DIRENTRY_SIZE_HIGH_MAX << DIRENTRY_SIZE_SHIFT);
    work->size = 0;
  } else {
    work->mode =
        (mode & ~0xFC00u) | ((high > DIRENTRY_SIZE_HIGH_MAX ? DIRENTRY_SIZE_HIGH_MAX : high) << DIRENTRY_SIZE_SHIFT);
    work->size = high > DIRENTRY_SIZE_HIGH_MAX ? 0xFFFFFFFF : (uint32_t)size;
  }
  work->writeTime = writeTime;
  work->creationTime = creationTime;
  work->accessTime = accessTime;
  return AddPath(name, position, 0);
}

int CDirList::RenameEntry(int index, const char* name) {
  if (index == -1) index = m_cursor - 1;
  FileStatRecord* e = EntryAt(index);
  if (!e || !name) return m_entries.count;
  DirEntryRecord* r = RecordOf(e);
  r->typeName = nullptr;
  r->extensionOffset = -1;
  r->smallIcon = r->largeIcon = -1;
  m_sortMode = DIRSORT_UNKNOWN;
  Notify(index, 1, m_changeCode, true);
  m_entries.SetString(name, index, m_entries.items[index]);
  Notify(index, 1, m_changeCode, false);
  return index;
}

int CDirList::RemoveEntry(int index) {
  if ((unsigned)index >= (unsigned)m_entries.count) return 0;
  Notify(index, 1, m_removeCode, true);
  m_entries.RemoveAt(index);
  Notify(index, 1, m_removeCode, false);
  if (m_cursor > index) --m_cursor;
  if (m_entries.count == 0) m_dirs.RemoveAll();
  return 1;
}

int CDirList::RemoveAllEntries() {
  if (m_entries.count == 0) return 0;
  EmptyEntries();
  m_cursor = 0;
  m_dirs.RemoveAll();
  return 1;
}

int CDirList::FindEntry(const char* name, int dirIndex, int nameLength) const {
  if (!name) return -1;
  if (nameLength < 0) nameLength = (int)strlen(name);
  for (int i = 0; i < m_entries.count; ++i) {
    const DirEntryRecord* r = reinterpret_cast<const DirEntryRecord*>(m_entries.items[i] + m_userSize);
    if (r->directoryIndex != dirIndex || (int)m_entries.LengthAt(i) != nameLength) continue;
    const char* text = m_entries.TextAt(i);
    // A quick test of at most the first eight bytes, none past the names.
    int quick = nameLength < 8 ? nameLength : 8;
    bool differ = false;
    for (int k = 0; k < quick && !differ; ++k) differ = ((text[k] ^ name[k]) & ~0x20) != 0;
    if (differ) continue;
    if (_strnicmp(text, name, (size_t)nameLength) == 0) return i;
  }
  return -1;
}

int CDirList::FindEntryInDir(const char* name, const char* dir, int nameLength, int dirLength) const {
  if (!dir) return -1;
  if (dirLength < 0) dirLength = (int)strlen(dir);
  for (int i = m_dirs.count - 1; i >= 0; --i) {
    if ((int)m_dirs.LengthAt(i) == dirLength && CompareFileNamesN(m_dirs.TextAt(i), dir, dirLength, dirLength) == 0)
      return FindEntry(name, i, nameLength);
  }
  return -1;
}

void CDirList::ConvertCase(int mode) {
  for (int i = 0; i < m_entries.count; ++i) {
    char* text = m_entries.items[i] + m_entries.extraSize;
    ConvertCaseA(text, text, mode & ~0x2000);
  }
  if (mode & 0x100) {
    int dirMode = (mode & 0x800) ? mode : mode | 0x400;
    for (int i = 0; i < m_dirs.count; ++i) {
      char* text = m_dirs.items[i] + m_dirs.extraSize;
      ConvertCaseA(text, text, dirMode);
    }
    if (m_root) ConvertCaseA(m_root, m_root, dirMode);
  }
}
