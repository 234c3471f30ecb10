#include "system/shellitem.h"

#include <cstring>
#include <new>

IShellFolder* g_desktopFolder = nullptr;
LONG g_shellItemCount = 0;

namespace {

const unsigned kTerminator = 4;  // the 32-bit zero that ends an id list

void CopyText(char* dest, const char* text, int size) {
  int n = 0;
  while (n < size - 1 && text[n]) ++n;
  memcpy(dest, text, n);
  dest[n] = 0;
}

int IconIndex(LPCITEMIDLIST list, UINT flags) {
  if (!list) return -1;
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA((LPCSTR)list, 0, &info, sizeof info, flags | SHGFI_SYSICONINDEX | SHGFI_PIDL)) return -1;
  return info.iIcon;
}

int TypeName(LPCITEMIDLIST list, char* dest) {
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA((LPCSTR)list, 0, &info, sizeof info, SHGFI_TYPENAME | SHGFI_PIDL)) {
    dest[0] = 0;
    return 0;
  }
  CopyText(dest, info.szTypeName, SHELL_TYPE_NAME_SIZE);
  return 1;
}

}  // namespace

unsigned IdListLength(LPCITEMIDLIST list) {
  unsigned n = 0;
  if (!list) return 0;
  const BYTE* p = (const BYTE*)list;
  for (;;) {
    USHORT cb;
    memcpy(&cb, p + n, sizeof cb);
    if (!cb) return n;
    n += cb;
  }
}

int ShellNameFromStrRet(STRRET* name, LPCITEMIDLIST child, char* dest, int size) {
  if (size < 1) return 0;
  dest[0] = 0;
  switch (name->uType) {
    case STRRET_WSTR: {
      // WideCharToMultiByte fails on a short buffer: convert whole, then cut.
      if (!name->pOleStr) break;
      int n = WideCharToMultiByte(CP_ACP, 0, name->pOleStr, -1, nullptr, 0, nullptr, nullptr);
      char* whole = n > 0 ? new (std::nothrow) char[n] : nullptr;
      if (whole && WideCharToMultiByte(CP_ACP, 0, name->pOleStr, -1, whole, n, nullptr, nullptr) > 0)
        CopyText(dest, whole, size);
      delete[] whole;
      CoTaskMemFree(name->pOleStr);
      name->pOleStr = nullptr;
      break;
    }
    case STRRET_OFFSET: {
      // The text lies inside the item id: read no further than its size.
      if (!child) break;
      USHORT cb;
      memcpy(&cb, child, sizeof cb);
      if (name->uOffset >= cb) break;
      const char* text = (const char*)child + name->uOffset;
      int n = 0, room = cb - (int)name->uOffset;
      while (n < size - 1 && n < room && text[n]) ++n;
      memcpy(dest, text, n);
      dest[n] = 0;
      break;
    }
    case STRRET_CSTR: {
      int limit = size < (int)sizeof name->cStr ? size : (int)sizeof name->cStr;
      CopyText(dest, name->cStr, limit);
      break;
    }
  }
  return 1;
}

CShellItem::CShellItem() { ++g_shellItemCount; }

CShellItem::CShellItem(int csidl) : CShellItem() { OpenSpecialFolder(csidl); }

CShellItem::CShellItem(CShellItem* parent) : CShellItem() { OpenChild(parent); }

CShellItem::~CShellItem() {
  if (g_shellItemCount > 0) --g_shellItemCount;
  Release();
  if (g_desktopFolder && g_shellItemCount < 1) {
    g_desktopFolder->Release();
    g_desktopFolder = nullptr;
  }
}

void CShellItem::Release() {
  CoTaskMemFree(m_pBuffer);
  m_pBuffer = nullptr;
  m_pChild = nullptr;
  m_nBufferSize = m_nListLength = 0;
  if (m_pEnum) m_pEnum->Release();
  if (m_pFolder) m_pFolder->Release();
  m_pEnum = nullptr;
  m_pFolder = nullptr;
}

int CShellItem::Reset() {
  Release();
  m_nAttributes = 0;
  m_pParent = nullptr;
  if (!g_desktopFolder && FAILED(SHGetDesktopFolder(&g_desktopFolder))) g_desktopFolder = nullptr;
  return g_desktopFolder ? 1 : 0;
}

bool CShellItem::TakeList(const BYTE* list, unsigned listLength) {
  unsigned size = listLength + SHELL_BUFFER_SPARE;
  BYTE* buffer = (BYTE*)CoTaskMemAlloc(size);
  if (!buffer) return false;
  memcpy(buffer, list, listLength);
  memset(buffer + listLength, 0, kTerminator);
  m_pBuffer = buffer;
  m_nBufferSize = size;
  m_nListLength = listLength;
  m_pChild = nullptr;
  return true;
}

int CShellItem::OpenSpecialFolder(int csidl) {
  if (!Reset()) return 0;
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return 0;
  // The whole list: a special folder may lie deeper than the desktop.
  int ok = OpenIdList(list);
  CoTaskMemFree(list);
  return ok;
}

int CShellItem::OpenIdList(LPCITEMIDLIST list) {
  if (!Reset() || !list) return 0;
  HRESULT hr = IdListLength(list) == 0
                   ? g_desktopFolder->QueryInterface(IID_IShellFolder, (void**)&m_pFolder)
                   : g_desktopFolder->BindToObject(list, nullptr, IID_IShellFolder, (void**)&m_pFolder);
  if (FAILED(hr)) {
    m_pFolder = nullptr;
    return 0;
  }
  if (!TakeList((const BYTE*)list, IdListLength(list))) return 0;
  return m_pFolder->EnumObjects(nullptr, SHELL_ENUM_FLAGS, &m_pEnum) == S_OK ? 1 : 0;
}

int CShellItem::OpenChild(CShellItem* parent) {
  if (!Reset()) return 0;
  if (!parent || parent == this || !parent->m_pFolder || !parent->m_pChild) return 0;
  LPCITEMIDLIST child = (LPCITEMIDLIST)parent->m_pChild;
  ULONG attributes = SFGAO_FOLDER;
  if (FAILED(parent->m_pFolder->GetAttributesOf(1, &child, &attributes))) return 0;
  USHORT cb;
  memcpy(&cb, parent->m_pChild, sizeof cb);
  if (!TakeList(parent->m_pBuffer, parent->m_nListLength + cb)) return 0;
  if (!(attributes & SFGAO_FOLDER)) return 0;
  if (FAILED(parent->m_pFolder->BindToObject(child, nullptr, IID_IShellFolder, (void**)&m_pFolder))) {
    m_pFolder = nullptr;
    return 0;
  }
  m_pParent = parent;
  return m_pFolder->EnumObjects(nullptr, SHELL_ENUM_FLAGS, &m_pEnum) == S_OK ? 1 : 0;
}

int CShellItem::Next() {
  if (!m_pEnum || !m_pFolder) return 0;
  m_pChild = nullptr;
  if (m_pBuffer) memset(m_pBuffer + m_nListLength, 0, kTerminator);
  LPITEMIDLIST child = nullptr;
  ULONG fetched = 0;
  if (m_pEnum->Next(1, &child, &fetched) != S_OK || !child) {
    CoTaskMemFree(child);
    return 0;
  }
  if (!SetChild(child)) return 0;
  LPCITEMIDLIST current = (LPCITEMIDLIST)m_pChild;
  m_nAttributes = 0xFFFFFFFF;
  if (FAILED(m_pFolder->GetAttributesOf(1, &current, &m_nAttributes))) m_nAttributes = 0;
  return 1;
}

int CShellItem::SetChild(LPITEMIDLIST child) {
  if (!m_pBuffer || !child) {
    CoTaskMemFree(child);
    return 0;
  }
  USHORT cb;
  memcpy(&cb, child, sizeof cb);
  unsigned needed = m_nListLength + cb + kTerminator;
  if (needed > m_nBufferSize) {
    BYTE* buffer = (BYTE*)CoTaskMemRealloc(m_pBuffer, needed);
    if (!buffer) {
      CoTaskMemFree(child);
      return 0;
    }
    m_pBuffer = buffer;
    m_nBufferSize = needed;
  }
  memcpy(m_pBuffer + m_nListLength, child, cb);
  memset(m_pBuffer + m_nListLength + cb, 0, kTerminator);
  m_pChild = m_pBuffer + m_nListLength;
  CoTaskMemFree(child);
  return 1;
}

int CShellItem::GetDisplayName(char* dest) {
  dest[0] = 0;
  if (!m_pFolder || !m_pChild) return 0;
  STRRET name = {};
  if (FAILED(m_pFolder->GetDisplayNameOf((LPCITEMIDLIST)m_pChild, SHGDN_INFOLDER, &name))) return 0;
  return ShellNameFromStrRet(&name, (LPCITEMIDLIST)m_pChild, dest, SHELL_NAME_SIZE);
}

int CShellItem::GetPath(char* dest) {
  dest[0] = 0;
  if (!m_pChild || !(m_nAttributes & SFGAO_FILESYSTEM)) return 0;
  if (SHGetPathFromIDListA(IdList(), dest)) return 1;
  dest[0] = 0;
  return 0;
}

int CShellItem::GetLinkTarget(char* dest) {
  dest[0] = 0;
  if (!m_pFolder || !m_pChild || !(m_nAttributes & SFGAO_LINK)) return 0;
  LPCITEMIDLIST child = (LPCITEMIDLIST)m_pChild;
  IShellLinkA* link = nullptr;
  if (FAILED(m_pFolder->GetUIObjectOf(nullptr, 1, &child, IID_IShellLinkA, nullptr, (void**)&link))) return 0;
  if (!link) return 1;
  HRESULT hr = link->GetPath(dest, MAX_PATH, nullptr, 0);
  link->Release();
  if (FAILED(hr)) dest[0] = 0;
  return SUCCEEDED(hr) ? 1 : 0;
}

int CShellItem::GetTypeName(char* dest) {
  if (!m_pBuffer || !m_pChild) return 0;
  return TypeName(IdList(), dest);
}

int CShellItem::GetIconIndex(UINT flags) {
  if (!m_pBuffer || !m_pChild) return -1;
  return IconIndex(IdList(), flags);
}

int CShellEntry::Assign(CShellItem* item) {
  if (m_pIdList) Free();
  if (!item || !item->m_pBuffer) return 0;
  // Without a current child the entry stands for the folder itself.
  unsigned length = item->m_nListLength;
  char name[SHELL_NAME_SIZE] = "", path[MAX_PATH] = "";
  ULONG attributes;
  if (item->m_pChild) {
    USHORT cb;
    memcpy(&cb, item->m_pChild, sizeof cb);
    length += cb;
    attributes = item->m_nAttributes;
    item->GetDisplayName(name);
    if ((attributes & SFGAO_FILESYSTEM) && (attributes & SFGAO_LINK) && item->GetPath(path)) {
      size_t n = strlen(path);
      if (n + 1 < sizeof path) path[n] = '\\', path[n + 1] = 0;
    }
  } else {
    SHFILEINFOA info = {};
    info.dwAttributes = 0xFFFFFFFF;
    SHGetFileInfoA((LPCSTR)item->m_pBuffer, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES);
    attributes = info.dwAttributes;
    CopyText(name, info.szDisplayName, sizeof name);
  }
  LPITEMIDLIST list = (LPITEMIDLIST)CoTaskMemAlloc(length + kTerminator);
  if (!list) return 0;
  memcpy(list, item->m_pBuffer, length);
  memset((BYTE*)list + length, 0, kTerminator);
  size_t nameLength = strlen(name), pathLength = strlen(path);
  m_pNames = new char[nameLength + pathLength + 2];
  memcpy(m_pNames, name, nameLength + 1);
  memcpy(m_pNames + nameLength + 1, path, pathLength + 1);
  m_pIdList = list;
  m_nAttributes = attributes;
  return 1;
}

int CShellEntry::Free() {
  delete[] m_pNames;
  m_pNames = nullptr;
  if (!m_pIdList) return 0;
  CoTaskMemFree(m_pIdList);
  m_pIdList = nullptr;
  m_nAttributes = 0;
  return 1;
}

int CShellEntry::GetName(char* dest) {
  CopyText(dest, m_pNames ? m_pNames : "", MAX_PATH);
  return 1;
}

int CShellEntry::GetPath(char* dest) {
  dest[0] = 0;
  if (!m_pIdList || !(m_nAttributes & SFGAO_FILESYSTEM)) return 0;
  if (m_pNames) {
    const char* stored = m_pNames + strlen(m_pNames) + 1;
    if (*stored) {
      CopyText(dest, stored, MAX_PATH);
      return 1;
    }
  }
  if (SHGetPathFromIDListA(m_pIdList, dest)) return 1;
  dest[0] = 0;
  return 0;
}

int CShellEntry::GetTypeName(char* dest) {
  if (!m_pIdList) return 0;
  return TypeName(m_pIdList, dest);
}

int CShellEntry::GetIconIndex(UINT flags) { return IconIndex(m_pIdList, flags); }
