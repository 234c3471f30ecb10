// The key phase of the search. It keeps its own stack of open keys instead
// of CRegKeyStack's 12 levels, so that deeper keys are searched too, and
// enumerates each value once into reused buffers. Names are read with the
// 16-bit calls: a name outside the code page has a text of its own (see
// regnames.h), so the walk opens the key it found and its hit path leads the
// pane to that key, not to a "?" twin.
#include <cstring>
#include <string>
#include <vector>

#include "app/regnames.h"
#include "app/regvalues.h"
#include "app/search/regsearch.h"

namespace {

const REGSAM kWalkAccess = KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_WOW64_64KEY;
const int kStatusEvery = 32;
const int kMaxEnumFailures = 3;
const DWORD kValueNameChars = 16384;
const DWORD kKeyNameChars = 255;

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                  "HKEY_CURRENT_CONFIG"};
const HKEY kRootKeys[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG};
const int kRootCount = 5;

// Keys whose values and subkeys the value search leaves alone.
const char* const kExcluded[] = {"CurrentVersion\\Explorer\\UserAssist", "Brannock\\Ostrova\\RegFindDlg",
                                 "KasperskyLab\\protected", "Microsoft\\Code Store Database"};

bool IsExcluded(const char* path, int len) {
  for (const char* ex : kExcluded) {
    int n = (int)strlen(ex);
    if (len < n || _stricmp(path + len - n, ex) != 0) continue;
    if (len == n || path[len - n - 1] == '\\') return true;
  }
  return false;
}

struct Level {
  HKEY key;
  DWORD index;
  int pathPos;  // path length before this level's "\name"
  int failures;
};

class Walker {
 public:
  Walker(RegSearchState& state, char* path, const RegSearchHooks& hooks) : m_s(state), m_path(path), m_hooks(hooks) {}
  ~Walker() { CloseAll(); }
  int Run(int pathLength);

 private:
  bool Cancelled() const { return m_hooks.cancel && *m_hooks.cancel; }
  void CloseAll() {
    while (m_levels.size() > 1) Pop();
  }
  void Pop() {
    RegCloseKey(m_levels.back().key);
    m_len = m_levels.back().pathPos;
    m_path[m_len] = 0;
    m_levels.pop_back();
  }
  void StartRoot(int row);
  void Descend(const char* rest);
  int SearchValues(HKEY key);
  void SetHit(const char* name) { lstrcpynA(m_s.hitName, *name ? name : "(Standard)", kSearchHitNameSize); }

  RegSearchState& m_s;
  char* m_path;
  const RegSearchHooks& m_hooks;
  std::vector<Level> m_levels;
  int m_len = 0;
  int m_row = 0;
  std::vector<WCHAR> m_name = std::vector<WCHAR>(kValueNameChars + 1);
  std::string m_text;
  std::vector<BYTE> m_data = std::vector<BYTE>(4096 + 2);
  std::vector<BYTE> m_ansi = std::vector<BYTE>(4096 + 2);
};

void Walker::StartRoot(int row) {
  HKEY root = nullptr;
  const char* name = SearchRootAt(row, &root);
  m_row = row;
  m_levels.assign(1, Level{root, 0, 0, 0});
  lstrcpynA(m_path, name, kSearchPathSize);
  m_len = (int)strlen(m_path);
}

int FindIndexInParent(HKEY parent, const std::wstring& name) {
  WCHAR buf[kKeyNameChars + 1];
  for (DWORD i = 0;; ++i) {
    DWORD n = kKeyNameChars + 1;
    LONG e = RegEnumKeyExW(parent, i, buf, &n, nullptr, nullptr, nullptr, nullptr);
    if (e == ERROR_NO_MORE_ITEMS) return -1;
    if (e == ERROR_SUCCESS && CompareStringOrdinal(buf, (int)n, name.data(), (int)name.size(), TRUE) == CSTR_EQUAL)
      return (int)i;
  }
}

// Opens the components of rest below the root; each parent goes on after
// the child it opened. The first component that will not open ends it.
void Walker::Descend(const char* rest) {
  while (*rest) {
    const char* sep = strchr(rest, '\\');
    int n = sep ? (int)(sep - rest) : (int)strlen(rest);
    if (n == 0 || m_len + 1 + n >= kSearchPathSize) break;
    std::wstring comp = RegTextToWide(std::string(rest, n).c_str());
    HKEY sub;
    if (comp.empty() || RegOpenKeyExW(m_levels.back().key, comp.c_str(), 0, kWalkAccess, &sub) != ERROR_SUCCESS) break;
    int idx = FindIndexInParent(m_levels.back().key, comp);
    m_levels.back().index = idx < 0 ? 0 : (DWORD)idx + 1;
    Level lv{sub, 0, m_len, 0};
    m_path[m_len++] = '\\';
    memcpy(m_path + m_len, rest, n);
    m_len += n;
    m_path[m_len] = 0;
    m_levels.push_back(lv);
    rest += n + (sep ? 1 : 0);
  }
}

// 2 a hit, -1 cancelled, 0 none.
int Walker::SearchValues(HKEY key) {
  bool names = (m_s.flags & kSearchValueNames) != 0;
  bool data = (m_s.flags & kSearchValueData) != 0;
  const char* t = m_s.text;
  for (DWORD i = 0;; ++i) {
    if (Cancelled()) return kSearchCancelled;
    DWORD nameLen = kValueNameChars + 1, type = 0, cb = (DWORD)m_data.size() - 2;
    LONG e = RegEnumValueW(key, i, m_name.data(), &nameLen, nullptr, &type, data ? m_data.data() : nullptr,
                           data ? &cb : nullptr);
    if (e == ERROR_MORE_DATA && data && cb + 2 > m_data.size()) {
      m_data.resize(cb + cb / 2 + 2);
      --i;
      continue;
    }
    if (e == ERROR_NO_MORE_ITEMS) return kSearchNothing;
    if (e != ERROR_SUCCESS) continue;
    RegNameText(m_name.data(), (int)nameLen, m_text);
    if (names && m_s.match(m_text.c_str(), t, m_s.textLength) == 0) {
      SetHit(m_text.c_str());
      return kSearchValueFound;
    }
    if (!data) continue;
    const BYTE* bytes = m_data.data();
    if (IsRegTextType(type)) {
      // Text is matched in the code page, as the list shows it.
      int units = (int)(cb / 2);
      int need = units ? WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)bytes, units, nullptr, 0, nullptr, nullptr) : 0;
      if ((size_t)need + 2 > m_ansi.size()) m_ansi.resize(need + need / 2 + 2);
      cb = units ? (DWORD)WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)bytes, units, (char*)m_ansi.data(), need,
                                              nullptr, nullptr)
                 : 0;
      bytes = m_ansi.data();
      m_ansi[cb] = m_ansi[cb + 1] = 0;
    } else {
      m_data[cb] = m_data[cb + 1] = 0;
    }
    if (m_s.MatchesData(type, bytes, cb)) {
      SetHit(m_text.c_str());
      return kSearchValueFound;
    }
  }
}

int Walker::Run(int pathLength) {
  m_path[pathLength < kSearchPathSize ? pathLength : kSearchPathSize - 1] = 0;
  int rootLen = 0;
  int row = SearchFindRoot(m_path, &rootLen);
  if (row < 0) {
    if (m_hooks.message) m_hooks.message(m_hooks.ctx, "Basis Key nicht gefunden !");
    return kSearchNothing;
  }
  char start[kSearchPathSize];
  lstrcpynA(start, m_path, sizeof start);
  StartRoot(row);
  if (start[rootLen] == '\\') Descend(start + rootLen + 1);

  const bool keys = (m_s.flags & kSearchKeys) != 0;
  const bool values = (m_s.flags & (kSearchValueNames | kSearchValueData)) != 0;
  const char* t = m_s.text;
  WCHAR wide[kKeyNameChars + 1];
  std::string name;
  for (unsigned step = 1;; ++step) {
    if (Cancelled()) return kSearchCancelled;
    if (step % kStatusEvery == 0 && m_hooks.status) m_hooks.status(m_hooks.ctx, m_path);
    Level& top = m_levels.back();
    DWORD n = kKeyNameChars + 1;
    LONG e = RegEnumKeyExW(top.key, top.index, wide, &n, nullptr, nullptr, nullptr, nullptr);
    if (e != ERROR_SUCCESS) {
      if (e != ERROR_NO_MORE_ITEMS && ++top.failures < kMaxEnumFailures) {
        ++top.index;
        continue;
      }
      if (m_levels.size() > 1) {
        Pop();
        continue;
      }
      if (m_row + 1 >= kRootCount) return kSearchNothing;
      StartRoot(m_row + 1);
      continue;
    }
    top.failures = 0;
    ++top.index;
    // A key whose path would not fit is skipped with its subtree, and so is
    // one that will not open.
    RegNameText(wide, (int)n, name);
    if (m_len + 1 + (int)name.size() >= kSearchPathSize) continue;
    HKEY sub;
    if (RegOpenKeyExW(top.key, wide, 0, kWalkAccess, &sub) != ERROR_SUCCESS) continue;
    m_levels.push_back(Level{sub, 0, m_len, 0});
    m_path[m_len++] = '\\';
    memcpy(m_path + m_len, name.c_str(), name.size() + 1);
    m_len += (int)name.size();
    if (keys && m_s.match(name.c_str(), t, m_s.textLength) == 0) {
      // The hit's path stays; only the handles go.
      char hit[kSearchPathSize];
      memcpy(hit, m_path, m_len + 1);
      CloseAll();
      lstrcpynA(m_path, hit, kSearchPathSize);
      return kSearchKeyFound;
    }
    if (!values) continue;
    if (IsExcluded(m_path, m_len)) {
      Pop();
      continue;
    }
    int r = SearchValues(sub);
    if (r != kSearchNothing) {
      if (r == kSearchValueFound) {
        char hit[kSearchPathSize];
        memcpy(hit, m_path, m_len + 1);
        CloseAll();
        lstrcpynA(m_path, hit, kSearchPathSize);
      }
      return r;
    }
  }
}

}  // namespace

const char* SearchRootAt(int row, HKEY* phKey) {
  if (row < 0 || row >= kRootCount) {
    if (phKey) *phKey = nullptr;
    return nullptr;
  }
  if (phKey) *phKey = kRootKeys[row];
  return kRootNames[row];
}

int SearchFindRoot(const char* path, int* pnLength) {
  const char* sep = strchr(path, '\\');
  int n = sep ? (int)(sep - path) : (int)strlen(path);
  for (int i = 0; i < kRootCount; ++i) {
    if ((int)strlen(kRootNames[i]) == n && _strnicmp(path, kRootNames[i], n) == 0) {
      if (pnLength) *pnLength = n;
      return i;
    }
  }
  if (pnLength) *pnLength = 0;
  return -1;
}

int SearchRegistryKeys(RegSearchState& state, char* path, int pathLength, const RegSearchHooks& hooks) {
  if (!state.IsSet()) return kSearchNothing;
  state.hitName[0] = 0;
  Walker w(state, path, hooks);
  return w.Run(pathLength);
}
