// CRegWnd: the root-key table, creation, the key tree's and entry list's
// contents and path parsing.
#include "app/browser/regwnd.h"

#include <cstring>

#include "app/browser/regmove.h"
#include "app/regnames.h"
#include "text/compare/naturalcompare.h"

IMPLEMENT_DYNAMIC(CRegWnd, CTreeWnd)

BEGIN_MESSAGE_MAP(CRegWnd, CTreeWnd)
  ON_MESSAGE(WM_REGWND_VANISHED, OnShowVanished)
END_MESSAGE_MAP()

namespace {

const UINT kRegImagesBitmap = 131;
const COLORREF kRegImagesMask = RGB(255, 0, 0);

struct RootKeyTable {
  HKEY handle[kRootKeyRows];
  int length[kRootKeyRows];
  const char* name[kRootKeyRows];
};

const RootKeyTable kRoots = {
    {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, 0, 0, 0},
    {17, 17, 18, 10, 19, 0, 0, 0},
    {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG", "", "", ""},
};

// Images of the entries.
const int kImageOther = 0, kImageString = 1, kImageNumber = 2, kImageKey = 3, kImageOpenKey = 4, kImageRoot = 5;

int ImageOfType(DWORD type) {
  if (IsRegTextType(type)) return kImageString;
  if (type == REG_DWORD || type == REG_QWORD) return kImageNumber;
  return kImageOther;
}

const char kDefaultName[] = "(Standard)";
// Bytes of a value the cells show at most (strings: 250 characters and more).
const DWORD kCellBytes = 272;

// Names in natural order; the default value before a value that carries its name.
int CompareItemNames(const CTextList* list, int i, int j) {
  const char* a = (unsigned)i < (unsigned)list->count ? list->TextAt(i) : "";
  const char* b = (unsigned)j < (unsigned)list->count ? list->TextAt(j) : "";
  int r = CompareNaturalNoCaseA(a, b);
  if (r || (unsigned)i >= (unsigned)list->count || (unsigned)j >= (unsigned)list->count) return r;
  int da = (((const TreeWndEntry*)list->items[i])->type & kEntryDefaultValue) != 0;
  int db = (((const TreeWndEntry*)list->items[j])->type & kEntryDefaultValue) != 0;
  return db - da;
}

}  // namespace

// --- root-key table --------------------------------------------------------------

const char* GetRootKey(int row, int* length, HKEY* handle) {
  if (row < 0 || row >= kRootKeyRows) {
    if (length) *length = 0;
    if (handle) *handle = nullptr;
    return nullptr;
  }
  if (length) *length = kRoots.length[row];
  if (handle) *handle = kRoots.handle[row];
  return kRoots.name[row];
}

const char* GetRootName(int row, HKEY* handle) { return GetRootKey(row, nullptr, handle); }

int FindRootKey(const char* path, int* length, HKEY* handle) {
  if (length) *length = 0;
  if (handle) *handle = nullptr;
  if (!path) return -1;
  const char* slash = strchr(path, '\\');
  int n = slash ? (int)(slash - path) : (int)strlen(path);
  for (int row = 0; row < kRootKeyRows && kRoots.length[row]; ++row) {
    if (kRoots.length[row] == n && !_strnicmp(path, kRoots.name[row], n)) {
      if (length) *length = n;
      if (handle) *handle = kRoots.handle[row];
      return row;
    }
  }
  return -1;
}

LONG OpenRegWndKey(HKEY root, const char* subPath, REGSAM access, HKEY* key) {
  return OpenRegKeyByText(root, subPath, access | kRegWndView, key);
}

LONG DeleteRegWndTree(HKEY parent, const char* name) {
  if (!name || !*name) return ERROR_INVALID_PARAMETER;  // "" would be the parent itself
  // Through the 16-bit calls: a subkey that the code page cannot carry has
  // a literal twin ("a?b" beside "a中b") that the 8-bit calls would reach.
  return DeleteRegTreeW(parent, RegTextToWide(name).c_str());
}

// --- the pane ----------------------------------------------------------------------

CRegWnd::CRegWnd() {
  m_images.Create(kRegImagesBitmap, 16, 6, kRegImagesMask);
  m_listImages = m_treeImages = &m_images;
  m_treeWidthDefault = 200 * GetSystemMetrics(SM_CXICON) / 32;
}

CRegWnd::~CRegWnd() {
  StopWorkers();
  if (m_fillKey) RegCloseKey(m_fillKey);
}

BOOL CRegWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                     CCreateContext* context) {
  style = (style & ~0x0303u) | TWS_ITEMSONLY;
  return CTreeWnd::Create(className, windowName, style, rect, parent, id, context);
}

BOOL CRegWnd::CreateWnd(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context) {
  return Create(nullptr, "RegWnd", style | WS_CHILD | WS_VISIBLE, rect, parent, id, context);
}

int CRegWnd::InsertColumns() {
  int icon = GetSystemMetrics(SM_CXICON);
  List().InsertColumn(0, "Name", 0, 150 * icon / 32);
  List().InsertColumn(1, "Typ", 0, 130 * icon / 32);
  List().InsertColumn(2, "Daten", 0, -1);
  List().Invalidate();
  return 2;
}

int CRegWnd::FillRoots(CTextList* roots) {
  TreeWndEntry e = {kImageRoot, kImageRoot, kEntryRoot, 254, 0};
  int row = 0;
  for (; row < kRootKeyRows && kRoots.length[row]; ++row) roots->InsertString(kRoots.name[row], -1, &e);
  return row;
}

const char* CRegWnd::BelowRoot(const char* path, int* row) {
  int length = 0;
  *row = FindRootKey(path, &length, nullptr);
  if (*row < 0) return nullptr;
  return path[length] == '\\' ? path + length + 1 : path + length;
}

namespace {
// Opens root\path (the path may end with "\").
LONG OpenBelow(int row, const char* below, REGSAM access, HKEY* key) {
  HKEY root = nullptr;
  GetRootKey(row, nullptr, &root);
  char sub[kTreeWndPathBuffer + 8];
  lstrcpynA(sub, below ? below : "", sizeof sub);
  size_t n = strlen(sub);
  if (n > 0 && sub[n - 1] == '\\') sub[n - 1] = 0;
  return OpenRegWndKey(root, sub, access, key);
}

// n characters into the code page as the 8-bit calls convert them; the bytes
// written, 0 when they do not fit. Plain ASCII, nearly every string, is
// copied without the conversion call.
int ToCodePage(const WCHAR* wide, int n, char* out, int room) {
  int i = 0;
  for (; i < n && i < room && wide[i] < 0x80; ++i) out[i] = (char)wide[i];
  if (i == n) return n;
  if (i == room) return 0;
  return WideCharToMultiByte(CP_ACP, 0, wide, n, out, room, nullptr, nullptr);
}
}  // namespace

int CRegWnd::FillChildren(CTextList* list, const char* path, LPARAM itemValue) {
  int row = (int)((itemValue >> kTreeItemRootShift) & 7);
  int pathRow = -1;
  const char* below = BelowRoot(path, &pathRow);
  if (!below) return 0;
  if (pathRow >= 0) row = pathRow;
  HKEY key;
  if (OpenBelow(row, below, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD subKeys = 0;
  if (!list) {
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return (int)subKeys;
  }
  TreeWndEntry e = {kImageKey, kImageOpenKey, kEntryFolder, 255, 0};
  // The 16-bit names: one outside the code page gets a text of its own.
  WCHAR name[260];
  for (DWORD i = 0;; ++i) {
    DWORD n = 260;
    if (RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    std::string text = RegNameText(name, (int)n);
    list->InsertStringLen((int)text.size(), text.c_str(), -1, &e);
  }
  RegCloseKey(key);
  return list->count;
}

int CRegWnd::FillItems(CTextList* list, const char* path, LPARAM) {
  int row = -1;
  const char* below = BelowRoot(path, &row);
  if (!below) return 0;
  HKEY key;
  if (OpenBelow(row, below, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  // Names and data through the 16-bit call, once per value: a name that the
  // code page cannot carry gets a text of its own (the 8-bit call would give
  // it another value's, "a?b" for "a中b"); strings are shown in the code
  // page as the 8-bit call reads them.
  static WCHAR name[16384];  // the UI thread only
  static BYTE wide[2 * kCellBytes];
  static BYTE data[kCellBytes];
  bool hasDefault = false;
  // Only the records of the pane keep their data.
  bool keep = list == &Entries();
  if (keep) {
    m_data.clear();
    m_bytes.clear();
  }
  for (DWORD i = 0;; ++i) {
    DWORD n = 16384, type = 0, wideSize = sizeof wide;
    // The data comes in the same call: the cells reuse it.
    LONG err = RegEnumValueW(key, i, name, &n, nullptr, &type, wide, &wideSize);
    bool whole = err == ERROR_SUCCESS;
    if (err == ERROR_MORE_DATA) {
      n = 16384;
      err = RegEnumValueW(key, i, name, &n, nullptr, &type, nullptr, nullptr);
    }
    if (err != ERROR_SUCCESS) break;
    TreeWndEntry e = {ImageOfType(type), 0, kEntryItem, (int)type, 0};
    if (keep && whole) {
      DWORD size = wideSize;
      const BYTE* bytes = wide;
      int oddByte = -1;
      if (IsRegTextType(type)) {
        int units = (int)(wideSize / 2);
        int got = units ? ToCodePage((const WCHAR*)wide, units, (char*)data, sizeof data) : 0;
        size = got > 0 ? (DWORD)got : 0;
        bytes = data;
        if (units && !got) size = sizeof data + 1;  // not cached: read when the cells are filled
        // The byte that is half a character, which the 8-bit call drops.
        if (wideSize & 1) oddByte = wide[wideSize - 1];
      }
      if (size <= sizeof data) {
        m_data.push_back({type, size, (DWORD)m_bytes.size(), size, oddByte});
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
        e.reserved = (int)m_data.size();
      }
    }
    if (n == 0) {
      hasDefault = true;
      DWORD size = 0, realType = 0;
      if (RegQueryValueExA(key, "", nullptr, &realType, nullptr, &size) != ERROR_SUCCESS) e.image = kImageString;
      e.type = (int)type + kEntryDefaultValue;
      e.selectedImage = e.image;
      list->InsertString(kDefaultName, -1, &e);
    } else {
      e.selectedImage = e.image;
      std::string text = RegNameText(name, (int)n);
      list->InsertStringLen((int)text.size(), text.c_str(), -1, &e);
    }
  }
  RegCloseKey(key);
  // Kept while the key is shown (a sort fills the rows again from it): no
  // room to spare beyond what it holds.
  if (keep) {
    m_data.shrink_to_fit();
    m_bytes.shrink_to_fit();
  }
  if (!hasDefault) {
    TreeWndEntry e = {kImageString, kImageString, kEntryItem, REG_SZ | kEntryDefaultValue, 0};
    list->InsertString(kDefaultName, 0, &e);
  }
  // The registry mostly gives the values in the order they were written,
  // often already in order: one pass over them is then the whole sort.
  int sorted = 1;
  while (sorted < list->count && CompareItemNames(list, sorted - 1, sorted) <= 0) ++sorted;
  if (sorted < list->count) list->Sort(0, list->count, CompareItemNames);
  return list->count;
}

int CRegWnd::GetItemImage(const char*, const char*, LPARAM level, int open) {
  if ((level & kTreeItemLevelMask) == 0) return kImageRoot;
  return open == 1 ? kImageOpenKey : kImageKey;
}

int CRegWnd::ParsePath(char* path, int length, LPARAM* itemValue) {
  if (itemValue) *itemValue = -1;
  if (!path) return 0;
  if (length < 0) length = (int)strlen(path);
  if (length == 0 || length >= kTreeWndPathBuffer) return 0;
  path[length] = 0;
  static const char* const shortNames[4] = {"HKCR", "HKCU", "HKLM", "HKCC"};
  static const int shortRows[4] = {0, 1, 2, 4};
  static const char* const bareNames[5] = {"CLASSES_ROOT", "CURRENT_USER", "MACHINE", "USERS", "CONFIG"};
  static const int bareRows[5] = {0, 1, 2, 3, 4};
  const char* replace = nullptr;
  int replaced = 0;
  if (length >= 4 && (path[4] == '\\' || path[4] == '/' || path[4] == 0)) {
    for (int i = 0; i < 4 && !replace; ++i)
      if (!_strnicmp(path, shortNames[i], 4)) replace = kRoots.name[shortRows[i]];
    if (!replace) return 0;
    replaced = 4;
  } else {
    int first = 0;
    while (path[first] && path[first] != '\\' && path[first] != '/') ++first;
    for (int i = 0; i < 5 && !replace; ++i)
      if ((int)strlen(bareNames[i]) == first && !_strnicmp(path, bareNames[i], first))
        replace = kRoots.name[bareRows[i]], replaced = first;
  }
  if (replace) {
    int add = (int)strlen(replace) - replaced;
    // The text grows in place: a result beyond the longest path is not valid.
    if (length + add > kTreeWndMaxPath) return 0;
    memmove(path + replaced + add, path + replaced, length - replaced + 1);
    memcpy(path, replace, strlen(replace));
    length += add;
  }
  int out = 0;
  for (int i = 0; i < length; ++i) {
    char c = path[i] == '/' ? '\\' : path[i];
    if (c == '\\' && out > 0 && path[out - 1] == '\\') continue;
    path[out++] = c;
  }
  path[out] = 0;
  length = out;
  if (length > kTreeWndMaxPath) return 0;
  int row = -1;
  for (int r = 0; r < kRootKeyRows && kRoots.length[r]; ++r) {
    int n = kRoots.length[r];
    if (length >= n && (path[n] == '\\' || path[n] == 0) && !_strnicmp(path, kRoots.name[r], n)) {
      row = r;
      break;
    }
  }
  if (row < 0) return 0;
  int levels = 0;
  for (const char* p = strchr(path, '\\'); p && *p; ++p)
    if (*p == '\\' && p[1]) ++levels;
  if (itemValue) *itemValue = kTreeItemMarker | ((LPARAM)row << kTreeItemRootShift) | levels;
  return length;
}

// --- cells -------------------------------------------------------------------------------

bool CRegWnd::IsDefaultEntry(const char* name) const {
  int index = m_currentEntry;
  if ((unsigned)index < (unsigned)Entries().count)
    return (((const TreeWndEntry*)Entries().items[index])->type & kEntryDefaultValue) != 0;
  return name && !strcmp(name, kDefaultName);
}

int CRegWnd::SetItemColumns(HTREEITEM item) {
  const char* name;
  char text[260];
  if ((unsigned)m_currentEntry < (unsigned)Entries().count) {
    name = Entries().TextAt(m_currentEntry);
  } else {
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    text[0] = 0;
    CTreeListCtrl::DirectEntry()(List().m_hWnd, TVM_GETITEMA, 0, (LPARAM)&tv);
    name = text;
  }
  bool isDefault = IsDefaultEntry(name);
  const char* valueName = isDefault ? "" : name;
  BYTE buffer[272];
  DWORD type = 0, size = 260;
  int cached = (unsigned)m_currentEntry < (unsigned)Entries().count
                   ? ((const TreeWndEntry*)Entries().items[m_currentEntry])->reserved
                   : 0;
  LONG err;
  DWORD fullSize;
  int oddByte = -1;
  if (cached > 0 && (size_t)cached <= m_data.size()) {
    const ValueData& v = m_data[cached - 1];
    type = v.type;
    fullSize = v.fullSize;
    oddByte = v.oddByte;
    size = v.size < 270 ? v.size : 270;
    memcpy(buffer, m_bytes.data() + v.offset, size);
    err = ERROR_SUCCESS;
  } else {
    // One open per filling, and only when a value was not read with the names.
    if (!m_fillKey && !m_fillKeyTried) {
      m_fillKeyTried = true;
      int pathRow = -1;
      const char* below = BelowRoot(GetPath(), &pathRow);
      if (below) OpenBelow(pathRow >= 0 ? pathRow : GetRootIndex(), below, KEY_QUERY_VALUE, &m_fillKey);
    }
    err = m_fillKey ? QueryRegValueByText(m_fillKey, valueName, &type, buffer, &size) : ERROR_FILE_NOT_FOUND;
    fullSize = size;
  }
  if (err == ERROR_MORE_DATA && m_fillKey) {
    BYTE* whole = new BYTE[size + 2];
    DWORD wholeSize = size;
    err = QueryRegValueByText(m_fillKey, valueName, &type, whole, &wholeSize);
    fullSize = wholeSize;
    size = wholeSize < 270 ? wholeSize : 270;
    memcpy(buffer, whole, size);
    delete[] whole;
  }
  char typeText[64], dataText[400];
  int ok = FormatRegValueCells(err == ERROR_SUCCESS, isDefault, type, buffer, size, fullSize, typeText, sizeof typeText,
                               dataText, sizeof dataText, oddByte);
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TLIF_CELL | TLIF_DIRECT;
  tv.hItem = item;
  tv.pszText = typeText;
  tv.cChildren = 1;
  WNDPROC entry = CTreeListCtrl::DirectEntry();
  entry(List().m_hWnd, TVM_SETITEMA, 0, (LPARAM)&tv);
  tv.pszText = dataText;
  tv.cChildren = 2;
  entry(List().m_hWnd, TVM_SETITEMA, 0, (LPARAM)&tv);
  return ok;
}

void CRegWnd::OnListFillEnd() {
  if (m_fillKey) RegCloseKey(m_fillKey);
  m_fillKey = nullptr;
  m_fillKeyTried = false;
}

// --- a registry that changed under the pane ------------------------------------------

bool CRegWnd::RegPathExists(const char* path) {
  int row = -1;
  const char* below = BelowRoot(path, &row);
  if (!below) return false;
  HKEY key;
  if (OpenBelow(row, below, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void CRegWnd::ShowVanished(const char* keyPath) {
  if (keyPath && *keyPath) m_vanished.push_back(keyPath);
  if (m_vanishedPosted || !m_hWnd) return;
  m_vanishedPosted = true;
  PostMessage(WM_REGWND_VANISHED);
}

LRESULT CRegWnd::OnShowVanished(WPARAM, LPARAM) {
  m_vanishedPosted = false;
  std::vector<std::string> paths;
  paths.swap(m_vanished);
  WaitForListThread();
  for (std::string& path : paths) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    if (!RegPathExists(path.c_str())) OnKeyDeleted(path.c_str());
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) continue;
    std::string parent = path.substr(0, slash);
    HTREEITEM item = ExpandToPath(parent.c_str(), 0, nullptr);
    char itemPath[kTreeWndPathBuffer + 8];
    int n = item ? GetItemPath(item, itemPath, sizeof itemPath) : 0;
    if (n > 0 && itemPath[n - 1] == '\\') itemPath[--n] = 0;
    if (n > 0 && !lstrcmpiA(itemPath, parent.c_str())) {
      FillTreeChildren(item, nullptr, 1);
      Tree().SendMessage(TLM_RUNDEFERRED);
    }
  }
  // The shown key, or the nearest of its parents that is still there.
  std::string shown = GetPathNoSlash();
  while (!shown.empty() && !RegPathExists(shown.c_str())) {
    size_t slash = shown.rfind('\\');
    if (slash == std::string::npos) break;
    shown.resize(slash);
  }
  std::string current = GetPathNoSlash();
  if (!shown.empty() && shown.size() < current.size()) {
    // The first key of the shown path that is gone: the pane shows its parent.
    size_t end = current.find('\\', shown.size() + 1);
    OnKeyDeleted(current.substr(0, end).c_str());
  }
  SendMessage(WM_COMMAND, ID_TREEWND_REFRESH);
  return 0;
}
