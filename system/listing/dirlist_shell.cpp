// The shell side of the network mode: the neighbourhood, folders that exist
// only in the shell namespace, and the shell objects the listing keeps.
#include <cstring>
#include <vector>

#include "system/listing/dirlist.h"
#include "system/listing/neighbourhood.h"

namespace {

const int kPathRoom = 776;
const int kMaxDirLength = kPathRoom - 260;

bool IsSep(char c) { return c == '\\' || c == '/'; }

template <typename T>
T* PointerAt(const CTextList& list, int index) {
  if (index < 0 || index >= list.count) return nullptr;
  T* p;
  memcpy(&p, list.items[index], sizeof p);
  return p;
}

}  // namespace

CShellEntry* CDirList::ShellEntryAt(int index) const { return PointerAt<CShellEntry>(m_shellEntries, index); }

CShellItem* CDirList::ShellItemAt(int index) const { return PointerAt<CShellItem>(m_shellItems, index); }

void CDirList::FreeShellObjects() {
  for (int i = 0; i < m_shellEntries.count; ++i) {
    CShellEntry* entry = ShellEntryAt(i);
    if (entry) entry->Free();
    delete entry;
  }
  m_shellEntries.RemoveAll();
  // The last item releases the desktop folder.
  for (int i = 0; i < m_shellItems.count; ++i) delete ShellItemAt(i);
  m_shellItems.RemoveAll();
}

int CDirList::AddShellItem(CShellItem* item, const char* path, int length) {
  // The directory list's extra word holds the index below the path holder.
  if (m_shellItems.count >= DIRLIST_PATH_HOLDER) {
    delete item;
    return -1;
  }
  int index = m_shellItems.InsertStringLen(length, path, -1, &item);
  if (index < 0) delete item;
  return index;
}

int CDirList::AddShellEntry(CShellEntry* entry, const char* target) {
  int index = m_shellEntries.InsertStringLen((int)strlen(target), target, -1, &entry);
  if (index < 0) {
    entry->Free();
    delete entry;
  }
  return index;
}

int CDirList::QueueShellDir(const char* path, int length, int32_t extra) {
  if (length > kMaxDirLength) return -1;
  return m_dirs.InsertStringLen(length, path, -1, &extra);
}

const char* CDirList::GetLinkTarget(const FileStatRecord* entry, int* pLength) const {
  if (pLength) *pLength = 0;
  if (!entry) return nullptr;
  const uint32_t link = DIRENTRY_SHELL | DIRENTRY_SHELL_LINK;
  const DirEntryRecord* r = RecordOf(entry);
  if ((r->mode & link) != link || r->shellIndex < 0 || r->shellIndex >= m_shellEntries.count) return nullptr;
  int n = (int)m_shellEntries.LengthAt(r->shellIndex);
  if (n == 0) return nullptr;
  if (pLength) *pLength = n;
  return m_shellEntries.TextAt(r->shellIndex);
}

int CDirList::JoinNetworkPath(const char* path) {
  int length = (int)strlen(path);
  // The two backslashes alone are the neighbourhood (a search may take
  // them for an empty directory).
  if (length == 2 && IsSep(path[0]) && IsSep(path[1])) {
    CShellItem* hood = new CShellItem;
    OpenNeighbourhood(hood);
    int item = AddShellItem(hood, path, length);
    return item >= 0 ? QueueShellDir(path, length, item) : QueueDir(path, length);
  }
  // A directory search that can succeed: an empty share root exists too.
  if (length + 2 < kPathRoom) {
    char probe[kPathRoom];
    memcpy(probe, path, (size_t)length);
    int n = length;
    if (n && !IsSep(probe[n - 1])) probe[n++] = '\\';
    strcpy(probe + n, "*");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(probe, &fd);
    DWORD error = GetLastError();
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    if (h != INVALID_HANDLE_VALUE || error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES)
      return QueueDir(path, length);
  }
  CNeighbourhoodWalk walk;
  if (walk.Walk(path, length, false, &m_cancel)) {
    CShellItem* match = walk.Match();
    char target[MAX_PATH + 1];
    if ((match->m_nAttributes & SFGAO_LINK) && match->GetLinkTarget(target) && target[0]) {
      // A shortcut leads to its target's directory.
      int n = (int)strlen(target);
      if (!IsSep(target[n - 1])) target[n++] = '\\', target[n] = 0;
      return QueueDir(target, n);
    }
    CShellItem* folder = new CShellItem;
    if (folder->OpenChild(match)) {
      folder->m_pParent = nullptr;  // the walk's items go with the walk
      int item = AddShellItem(folder, path, length);
      if (item >= 0) return QueueShellDir(path, length, item);
    } else {
      delete folder;
    }
  }
  return QueueDir(path, length);
}

int CDirList::ReadShellDir(int dirIndex) {
  int32_t extra = *reinterpret_cast<const int32_t*>(m_dirs.items[dirIndex]);
  if (extra >= DIRLIST_PATH_HOLDER) return 0;
  const bool skipKnown = (m_flags & DIRLIST_REFRESH) != 0;
  CShellItem* item = ShellItemAt(extra);
  if (!item) return 0;
  // A refresh enumerates the folder afresh.
  if (skipKnown && item->m_pBuffer) {
    std::vector<BYTE> list(item->m_pBuffer, item->m_pBuffer + item->m_nListLength);
    list.insert(list.end(), 4, 0);
    item->OpenIdList(reinterpret_cast<LPCITEMIDLIST>(list.data()));
  }
  int dirLength = LoadDir(dirIndex);
  const char* shellDir = m_dirs.TextAt(dirIndex);
  int added = 0;
  int lastHolder = -1;
  char name[SHELL_NAME_SIZE];
  char path[MAX_PATH + 1];
  char target[MAX_PATH];
  while (item->Next()) {
    if (m_cancel) {
      m_stopReason = DIRSTOP_CANCELLED;
      break;
    }
    if (!item->GetDisplayName(name)) continue;
    int n = (int)strlen(name);
    ULONG attributes = item->m_nAttributes;
    bool folder = (attributes & SFGAO_FOLDER) != 0;
    if (folder && name[0] == '.' && (n == 1 || (n == 2 && name[1] == '.'))) continue;
    if (folder && (m_flags & DIRLIST_RECURSE)) {
      if (item->GetPath(path)) {
        int k = (int)strlen(path);
        if (k && !IsSep(path[k - 1])) path[k++] = '\\';
        QueueDir(path, k);
      } else if (dirLength + n + 1 <= kMaxDirLength) {
        CShellItem* sub = new CShellItem;
        if (sub->OpenChild(item)) {
          char sub_path[kPathRoom];
          memcpy(sub_path, shellDir, (size_t)dirLength);
          memcpy(sub_path + dirLength, name, (size_t)n);
          sub_path[dirLength + n] = '\\';
          int index = AddShellItem(sub, sub_path, dirLength + n + 1);
          if (index >= 0) QueueShellDir(sub_path, dirLength + n + 1, index);
        } else {
          delete sub;
        }
      }
    }
    bool take;
    if (folder && (m_flags & DIRLIST_LIST_DIRS))
      take = true;
    else if (folder)
      take = (m_flags & DIRLIST_DIRS_ONLY) && MatchName(name, n);
    else
      take = !(m_flags & DIRLIST_DIRS_ONLY) && MatchName(name, n);
    if (!take) continue;
    bool plain = IsPlainFileSystem(attributes);
    uint32_t mode = plain ? 0 : (attributes & SFGAO_LINK) ? DIRENTRY_SHELL | DIRENTRY_SHELL_LINK : DIRENTRY_SHELL;
    if (folder) mode |= FSTAT_DIRECTORY;
    ResetWork(dirIndex, mode);
    DirEntryRecord* work = WorkRecord();
    // A plain file-system item belongs to its real directory, a path holder.
    if (plain) {
      if (!item->GetPath(path)) continue;
      int cut = (int)strlen(path);
      while (cut > 0 && !IsSep(path[cut - 1])) --cut;
      int holder = lastHolder >= 0 && (int)m_dirs.LengthAt(lastHolder) == cut &&
                           _strnicmp(m_dirs.TextAt(lastHolder), path, (size_t)cut) == 0
                       ? lastHolder
                       : m_dirs.FindString(cut, path, 0, -1, CTextList::kFindNoCase);
      if (holder < 0) holder = QueueShellDir(path, cut, DIRLIST_PATH_HOLDER);
      if (holder < 0) continue;
      lastHolder = holder;
      work->directory = m_dirs.TextAt(holder);
      work->directoryIndex = holder;
      m_flags |= DIRLIST_ENTRY_DIRS;
    }
    if (skipKnown && FindEntry(name, work->directoryIndex, n) >= 0) continue;
    target[0] = 0;
    if (mode & DIRENTRY_SHELL_LINK) item->GetLinkTarget(target);
    CShellEntry* entry = new CShellEntry{};
    entry->Assign(item);
    work->shellIndex = AddShellEntry(entry, target);
    InsertWork(name, n, m_sortedInsert ? DIRADD_SORTED : -1);
    ++added;
    if (m_flags & DIRLIST_FIRST_MATCH) {
      m_stopReason = DIRSTOP_FIRST_MATCH;
      break;
    }
  }
  ResetWork(dirIndex, 0);
  return added;
}
