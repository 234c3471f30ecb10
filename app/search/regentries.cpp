// The entry phase of the search: the active pane's entries after the
// selected one, by their names and by the data the list shows.
#include <cstring>

#include "app/search/regsearch.h"
#include "app/search/searchpane.h"
#include "system/regkeystack.h"
#include "text/numbers/intparse.h"

namespace {

const DWORD kDefaultEntry = 0x100;  // added to the type of "(Standard)"

bool IsDataType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD || type == REG_MULTI_SZ || type == REG_QWORD;
}

// Whole and special mode read the strings of a multi-string from the key.
bool MatchMultiString(const RegSearchState& s, const char* path, const char* name) {
  CRegKeyStack key;
  if (!key.Open(nullptr, path, REGKS_READ)) return false;
  char* data = nullptr;
  if (!key.QueryValueAlloc(&data, name, 7)) return false;
  bool hit = key.m_dwType == REG_MULTI_SZ && s.MatchesData(REG_MULTI_SZ, (const BYTE*)data, key.m_cbData);
  delete[] data;
  return hit;
}

bool MatchShownData(const RegSearchState& s, IRegSearchPane& pane, int row, DWORD type, const CString& shown) {
  const char* t = s.text;
  const char* d = shown;
  if (s.mode == kSearchPartial) return s.match(d, t, s.textLength) == 0;
  switch (type & 0xFF) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      // The list shows strings in quotes.
      char buf[kSearchPathSize];
      if (*d == '"') ++d;
      lstrcpynA(buf, d, sizeof buf);
      size_t n = strlen(buf);
      if (n && buf[n - 1] == '"') buf[n - 1] = 0;
      return s.match(buf, t, s.textLength) == 0;
    }
    case REG_MULTI_SZ: {
      CString name;
      if (!(type & kDefaultEntry) && !pane.GetEntryText(row, 0, name)) return false;
      return MatchMultiString(s, pane.GetCurrentPath(), name);
    }
    case REG_DWORD:
      if (s.mode == kSearchSpecial) return s.match(d, t, s.textLength) == 0;
      return s.MatchesDword((DWORD)ParseIntA(d, 0, nullptr));
    case REG_QWORD:
      if (s.mode == kSearchSpecial) return s.match(d, t, s.textLength) == 0;
      return s.MatchesQword((uint64_t)ParseInt64A(d, 0, nullptr));
  }
  return false;
}

}  // namespace

bool SearchPaneEntries(const RegSearchState& s, IRegSearchPane& pane) {
  if (!s.IsSet() || !(s.flags & (kSearchValueNames | kSearchValueData))) return false;
  pane.WaitForListThread();
  const char* t = s.text;
  for (int row = pane.GetSelectedEntry() + 1;; ++row) {
    CString name;
    if (!pane.GetEntryText(row, 0, name)) return false;
    bool hit = (s.flags & kSearchValueNames) && s.match(name, t, s.textLength) == 0;
    if (!hit && (s.flags & kSearchValueData)) {
      DWORD type = pane.GetEntryType(row);
      if (IsDataType(type & 0xFF)) {
        CString shown;
        if (!pane.GetEntryText(row, 2, shown)) return false;
        hit = MatchShownData(s, pane, row, type, shown);
      }
    }
    if (hit) {
      pane.SelectEntry(row);
      return true;
    }
  }
}
