#include "system/listing/neighbourhood.h"

#include <cstring>

namespace {

int g_csidl = CSIDL_NETWORK;
LPITEMIDLIST g_list = nullptr;

bool IsSep(char c) { return c == '\\' || c == '/'; }

struct Component {
  int offset, length;
};

}  // namespace

void SetNeighbourhoodFolder(int csidl, LPCITEMIDLIST list) {
  CoTaskMemFree(g_list);
  g_list = nullptr;
  g_csidl = csidl;
  if (!list) return;
  unsigned n = IdListLength(list) + 2;
  g_list = (LPITEMIDLIST)CoTaskMemAlloc(n);
  if (g_list) memcpy(g_list, list, n);
}

int OpenNeighbourhood(CShellItem* item) { return g_list ? item->OpenIdList(g_list) : item->OpenSpecialFolder(g_csidl); }

CNeighbourhoodWalk::~CNeighbourhoodWalk() {
  for (CShellItem* item : m_levels) delete item;
}

int CNeighbourhoodWalk::Walk(const char* path, int length, bool fileSystemFirst, volatile const char* cancel) {
  Component parts[kMaxLevels];
  int count = 0;
  for (int i = 0; i < length;) {
    while (i < length && IsSep(path[i])) ++i;
    int start = i;
    while (i < length && !IsSep(path[i])) ++i;
    if (i == start) break;
    // Deeper than the walk goes: no match can end it.
    if (count == kMaxLevels) return 0;
    parts[count++] = {start, i - start};
  }
  if (count == 0) return 0;
  m_levels[0] = new CShellItem;
  if (!OpenNeighbourhood(m_levels[0])) return 0;
  m_depth = 0;
  char name[SHELL_NAME_SIZE];
  while (m_depth >= 0) {
    if (cancel && *cancel) break;
    CShellItem* item = m_levels[m_depth];
    if (!item->Next()) {
      if (m_depth > 0) {
        delete item;
        m_levels[m_depth] = nullptr;
      }
      --m_depth;
      continue;
    }
    bool plain = IsPlainFileSystem(item->m_nAttributes);
    if (plain && !(fileSystemFirst && m_depth == 0)) continue;
    if (!item->GetDisplayName(name)) continue;
    const Component& part = parts[m_depth];
    if ((int)strlen(name) != part.length || _strnicmp(name, path + part.offset, (size_t)part.length) != 0) continue;
    m_rest = part.offset + part.length;
    m_plain = plain;
    if (plain || m_depth == count - 1) return 1;
    CShellItem* sub = new CShellItem;
    if (!sub->OpenChild(item)) {
      delete sub;
      continue;
    }
    m_levels[++m_depth] = sub;
  }
  m_depth = -1;
  return 0;
}
