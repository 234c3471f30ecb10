// CShellItem walks one folder of the shell namespace: the folder, an
// enumerator over its children and the folder's absolute id list with the
// current child appended, from which the child's name, path, shortcut
// target, type name and icon come. A walk down the namespace is a chain of
// items, each opened on its parent's current child. All items share one
// desktop folder, released with the last item. One thread; COM initialised
// by the caller.
//
// CShellEntry keeps what a caller needs of one child after the item moved on.
#pragma once

#include <windows.h>
#include <shlobj.h>

constexpr int SHELL_NAME_SIZE = 256;       // GetDisplayName's destination
constexpr int SHELL_TYPE_NAME_SIZE = 80;   // GetTypeName's destination
constexpr DWORD SHELL_ENUM_FLAGS = 0xE0;   // folders, non-folders and hidden items
constexpr DWORD SHELL_BUFFER_SPARE = 260;  // room for a child behind the folder's list

class CShellItem {
 public:
  CShellItem* m_pParent = nullptr;  // whose current child this item opened; not owned
  ULONG m_nAttributes = 0;          // SFGAO_ flags of the current child
  unsigned m_nBufferSize = 0;
  unsigned m_nListLength = 0;  // the folder's own absolute list, no terminator
  BYTE* m_pChild = nullptr;    // the current child's item id in the buffer
  BYTE* m_pBuffer = nullptr;   // task memory: folder list, child, 32-bit zero
  IEnumIDList* m_pEnum = nullptr;
  IShellFolder* m_pFolder = nullptr;

  CShellItem();
  explicit CShellItem(int csidl);
  explicit CShellItem(CShellItem* parent);
  ~CShellItem();
  CShellItem(const CShellItem&) = delete;
  CShellItem& operator=(const CShellItem&) = delete;

  // Empties the item and makes sure of the desktop folder: 1 when it is there.
  int Reset();
  // The special folder (CSIDL) with its whole id list; 1 on success.
  int OpenSpecialFolder(int csidl);
  // The folder of an absolute id list (copied; the caller keeps its own); 1 on success.
  int OpenIdList(LPCITEMIDLIST list);
  // The parent's current child, which must be a folder; 1 on success.
  int OpenChild(CShellItem* parent);
  // Moves to the next child: 1 when there is one.
  int Next();
  // Puts the one-level child id behind the folder's list and frees the
  // caller's copy; 0 without a buffer.
  int SetChild(LPITEMIDLIST child);

  // The current child's name in its folder, cut to 255 characters; 0 and
  // empty without folder or child or when the shell fails.
  int GetDisplayName(char* dest);
  // The file-system path (MAX_PATH); 0 and empty unless SFGAO_FILESYSTEM.
  int GetPath(char* dest);
  // A shortcut's target (MAX_PATH); 0 and empty unless SFGAO_LINK.
  int GetLinkTarget(char* dest);
  // The type name (SHELL_TYPE_NAME_SIZE); 0 and dest untouched without a child.
  int GetTypeName(char* dest);
  // The system image-list index by SHGFI_ flags; -1 without a child or on failure.
  int GetIconIndex(UINT flags);

  // The absolute id list of the current child, else of the folder; null
  // without a buffer.
  LPCITEMIDLIST IdList() const { return (LPCITEMIDLIST)m_pBuffer; }

 private:
  void Release();
  // A buffer of the first listLength bytes of list, a spare and a terminator.
  bool TakeList(const BYTE* list, unsigned listLength);
};

extern IShellFolder* g_desktopFolder;
extern LONG g_shellItemCount;

// The STRRET as 8-bit text in dest (size characters, terminated); child is
// the item id an offset counts in. Wide text is converted whole, then cut;
// its memory is freed. Returns 1, also for an unknown type (empty text).
int ShellNameFromStrRet(STRRET* name, LPCITEMIDLIST child, char* dest, int size);
// The length in bytes of an id list, terminator not counted.
unsigned IdListLength(LPCITEMIDLIST list);

struct CShellEntry {
  ULONG m_nAttributes;
  LPITEMIDLIST m_pIdList;  // task memory: the child's absolute list
  // Heap block: display name, NUL, then a NUL or (a file-system shortcut)
  // the shortcut file's path with a backslash appended and a NUL.
  char* m_pNames;

  // Takes the item's current child, or without one the folder itself; frees
  // what the entry held. 0 when the item has no buffer.
  int Assign(CShellItem* item);
  // 1 when there was an id list to free.
  int Free();
  int GetName(char* dest);  // MAX_PATH
  // A shortcut's own path (with its backslash) or SHGetPathFromIDListA; 0
  // and empty unless SFGAO_FILESYSTEM.
  int GetPath(char* dest);
  int GetTypeName(char* dest);
  int GetIconIndex(UINT flags);
};
#ifndef _WIN64
static_assert(sizeof(CShellEntry) == 12, "a shell entry is 12 bytes");
#endif
