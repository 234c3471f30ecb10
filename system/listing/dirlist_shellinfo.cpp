#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "system/listing/dirlist.h"
#include "system/shelliconcache.h"

namespace {

const int kPathRoom = 776;
const int kPoolStart = 776;
const int kPoolSize = 256;
const int kPoolCopy = 64;

// The file attributes that the entry's mode stands for.
DWORD AttributesOf(uint32_t mode) {
  DWORD a = 0;
  if (!(mode & FSTAT_WRITABLE)) a |= FILE_ATTRIBUTE_READONLY;
  if (mode & FSTAT_HIDDEN) a |= FILE_ATTRIBUTE_HIDDEN;
  if (mode & FSTAT_SYSTEM) a |= FILE_ATTRIBUTE_SYSTEM;
  if (mode & FSTAT_ARCHIVE) a |= FILE_ATTRIBUTE_ARCHIVE;
  if (mode & FSTAT_DIRECTORY) a |= FILE_ATTRIBUTE_DIRECTORY;
  return a ? a : FILE_ATTRIBUTE_NORMAL;
}

// Names whose icon is their own: programs, icons, pages, links.
bool OwnIcon(const char* name, int n) {
  if (n < 5) return false;
  char tail[5];
  for (int i = 0; i < 4; ++i) tail[i] = (char)(name[n - 4 + i] & ~0x20);
  tail[4] = 0;
  // '.' is 0x2E, which the mask turns into 0x0E.
  return strcmp(tail,
                "\x0E"
                "EXE") == 0 ||
         strcmp(tail,
                "\x0E"
                "ICO") == 0 ||
         strcmp(tail,
                "\x0E"
                "HTM") == 0 ||
         strcmp(tail, "HTML") == 0 ||
         strcmp(tail,
                "\x0E"
                "LNK") == 0;
}

}  // namespace

int CDirList::GetIconIndex(FileStatRecord* entry, UINT flags) {
  if (!entry) return -1;
  DirEntryRecord* r = RecordOf(entry);
  bool small = (flags & SHGFI_SMALLICON) != 0;
  int32_t& slot = small ? r->smallIcon : r->largeIcon;
  bool isWork = m_workItem && reinterpret_cast<char*>(r) == m_workItem + 4 + m_userSize;
  if (!isWork && slot >= 0) return slot;
  if ((m_flags & DIRLIST_NETWORK) && r->shellIndex >= 0) {
    CShellEntry* shell = ShellEntryAt(r->shellIndex);
    int icon = shell ? shell->GetIconIndex(flags & ~SHGFI_USEFILEATTRIBUTES) : -1;
    if (!isWork && icon >= 0) slot = icon;
    return icon;
  }
  const char* name = entry->name;
  int n = (int)strlen(name);
  SHFILEINFOA info;
  if (entry->mode & DIRENTRY_DRIVE) {
    int icon = GetDriveIconIndex(name[0], SHGFI_SMALLICON);
    if (icon == -2) {
      char root[8];
      int k = n < 4 ? n : 4;
      memcpy(root, name, (size_t)k);
      root[k] = '\\';
      root[k + 1] = 0;
      icon = SHGetFileInfoA(root, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, 0x4010) ? info.iIcon : -1;
    }
    if (!isWork) slot = icon;
    return icon;
  }
  UINT useAttrs = flags & SHGFI_USEFILEATTRIBUTES;
  if ((entry->mode & FSTAT_DIRECTORY) || OwnIcon(name, n)) useAttrs = 0;
  IconCacheRecord* ext = nullptr;
  const char* query = name;
  char path[kPathRoom + 2];
  if (useAttrs) {
    int extLength = 0;
    const char* e = GetExtension(entry, &extLength);
    ext = g_shellIconCache.LookupExt(e);
    if (ext && ext->icon[flags & 3] >= 0) {
      if (!isWork) slot = ext->icon[flags & 3];
      return ext->icon[flags & 3];
    }
  } else {
    int dirLength = 0;
    const char* dir = GetEntryDir(entry, 0, &dirLength);
    bool parent = n == 2 && name[0] == '.' && name[1] == '.';
    if (dirLength + n >= kPathRoom) return -1;
    memcpy(path, dir, (size_t)dirLength);
    if (parent) {
      if (dirLength > 0) --dirLength;  // the directory itself, without its separator
      path[dirLength] = 0;
    } else {
      memcpy(path + dirLength, name, (size_t)n + 1);
    }
    query = path;
  }
  if (!SHGetFileInfoA(query, AttributesOf(entry->mode), &info, sizeof info, flags | SHGFI_SYSICONINDEX)) return -1;
  if (!isWork) slot = info.iIcon;
  if (ext) ext->icon[flags & 3] = info.iIcon;
  return info.iIcon;
}

const char* CDirList::GetTypeName(FileStatRecord* entry, UINT flags) {
  if (!entry) return nullptr;
  DirEntryRecord* r = RecordOf(entry);
  if (r->typeName) return r->typeName;
  if ((m_flags & DIRLIST_NETWORK) && r->shellIndex >= 0) return nullptr;
  SHFILEINFOA info;
  auto store = [this](const char* text) {
    int n = (int)strnlen(text, kPoolCopy);
    if (m_poolOffset + (uint32_t)n + 1 > (uint32_t)kPoolSize) m_poolOffset = 0;
    char* copy = m_output + kPoolStart + m_poolOffset;
    memcpy(copy, text, (size_t)n);
    copy[n] = 0;
    m_poolOffset += (uint32_t)n + 1;
    return copy;
  };
  if (entry->mode & DIRENTRY_DRIVE) {
    // One backslash after the drive, as for its icon.
    char root[8];
    int n = (int)strnlen(entry->name, 4);
    memcpy(root, entry->name, (size_t)n);
    root[n] = '\\';
    root[n + 1] = 0;
    if (!SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) return nullptr;
    return store(info.szTypeName);
  }
  IconCacheRecord* ext = nullptr;
  if ((flags & SHGFI_USEFILEATTRIBUTES) && !(entry->mode & FSTAT_DIRECTORY)) {
    int extLength = 0;
    ext = g_shellIconCache.LookupExt(GetExtension(entry, &extLength));
    if (ext && ext->typeName) return r->typeName = ext->typeName;
  }
  if (!SHGetFileInfoA(entry->name, AttributesOf(entry->mode), &info, sizeof info,
                      SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
    return nullptr;
  if (ext) {
    ext->typeName = g_shellIconCache.AddString(info.szTypeName, (int)strlen(info.szTypeName));
    return r->typeName = ext->typeName;
  }
  return store(info.szTypeName);
}
