// The history of the file dialogs: where it is stored, loading and
// writing it, and which accepted names it records.
#include <cstring>

#include "mfc/winapp.h"
#include "system/regkeystack.h"
#include "ui/filedlg/filedlg.h"

namespace {
const int kStoreEntries = 16;
const int kLoadEntries = 32;
const int kStoreBytes = 4096;

bool OpenForReading(const char* key) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool IsSep(char c) { return c == '\\' || c == '/'; }
}  // namespace

BOOL FileDlgHistoryValue(DWORD mode, LPCSTR source, char* key, int keySize, char* value, int valueSize) {
  if (!source) source = "";
  mode &= OFN_EX_MODEMASK;
  if (mode <= OFN_EX_HISTORY_READONLY) {
    CWinApp* app = AfxGetApp();
    CString r = app && app->m_pszRegistryKey ? app->m_pszRegistryKey : "";
    CString a = app && app->m_pszAppName ? app->m_pszAppName : "";
    if (r.IsEmpty() && !a.IsEmpty()) {
      CString probe = CString("Software\\Brannock\\") + a;
      if (OpenForReading(probe)) r = "Brannock";
    }
    if (r.IsEmpty() || a.IsEmpty()) a = "OfnList", r = "Brannock\\Common";
    CString k = CString("Software\\") + r + "\\" + a;
    lstrcpynA(key, k, keySize < 128 ? keySize : 128);
    const char* ext = source;
    for (const char* p = source; *p; ++p)
      if (*p == '.' || *p == '*' || *p == '?') ext = p + 1;
    char name[32] = "OfnList";
    int n = 7;
    for (const char* p = ext; *p && n < 7 + 24; ++p, ++n) {
      char c = *p;
      if (n == 7 && c >= 'a' && c <= 'z') c -= 32;
      if (n > 7 && c >= 'A' && c <= 'Z') c += 32;
      name[n] = c;
    }
    name[n] = 0;
    lstrcpynA(value, name, valueSize);
    return TRUE;
  }
  if (mode == OFN_EX_HISTORY_LIST || mode == OFN_EX_NO_HISTORY) return FALSE;
  char path[128];
  lstrcpynA(path, source, sizeof path);
  char* split = strrchr(path, '\\');
  if (!split || split == path) return FALSE;
  *split = 0;
  lstrcpynA(key, path, keySize);
  lstrcpynA(value, split + 1, valueSize < 32 ? valueSize : 32);
  return TRUE;
}

void LoadSaveFileDlgHistory(HWND combo, DWORD mode, LPCSTR source, BOOL save) {
  mode &= OFN_EX_MODEMASK;
  if (!combo || mode == OFN_EX_NO_HISTORY) return;
  if (mode == OFN_EX_HISTORY_LIST) {
    if (save || !source) return;
    int i = 0;
    for (const char* p = source; *p && i < kLoadEntries; p += strlen(p) + 1, ++i)
      SendMessageA(combo, CB_INSERTSTRING, i, (LPARAM)p);
    return;
  }
  char key[128], value[32];
  if (!FileDlgHistoryValue(mode, source, key, sizeof key, value, sizeof value)) return;
  CRegKeyStack rk;
  if (!rk.Open(HKEY_CURRENT_USER, key, save ? REGKS_CREATE : REGKS_READ)) return;
  if (save) {
    char list[kStoreBytes];
    int used = 0;
    int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count && i < kStoreEntries; ++i) {
      int len = (int)SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
      if (len <= 0 || used + len + 3 > kStoreBytes) continue;
      char* item = new char[len + 1];
      SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)item);
      memcpy(list + used, item, len + 1);
      used += len + 1;
      delete[] item;
    }
    list[used] = 0;
    rk.SetMultiString(list, value);
    return;
  }
  char* data = nullptr;
  if (!rk.QueryValueAlloc(&data, value, REG_MULTI_SZ) || !data) return;
  int i = 0;
  for (const char* p = data; *p && i < kLoadEntries; p += strlen(p) + 1, ++i)
    SendMessageA(combo, CB_INSERTSTRING, i, (LPARAM)p);
  delete[] data;
}

void RecordFileDlgHistory(HWND combo, LPCSTR input, DWORD mode, LPCSTR source, BOOL saveMarker) {
  mode &= OFN_EX_MODEMASK;
  DWORD m = mode & 0x30000000;
  if (!combo || !input || mode == OFN_EX_NO_HISTORY || m == OFN_EX_HISTORY_READONLY) return;
  char text[MAX_PATH + 2];
  lstrcpynA(text, input, MAX_PATH);
  size_t len = strlen(text);
  if (len > 1 && IsSep(text[len - 1])) text[--len] = 0;
  DWORD attr = GetFileAttributesA(text);
  bool exists = attr != INVALID_FILE_ATTRIBUTES;
  bool folder = exists && (attr & FILE_ATTRIBUTE_DIRECTORY);
  bool notFolder = !folder;
  if (!exists && !saveMarker && m == 0) {
    char* cut = nullptr;
    for (char* p = text; *p; ++p)
      if (IsSep(*p)) cut = p;
    if (!cut || cut == text) return;
    *cut = 0;
    attr = GetFileAttributesA(text);
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    exists = true;
    folder = (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    len = strlen(text);
  }
  if (exists && folder && len && !IsSep(text[len - 1])) {
    text[len++] = '\\';
    text[len] = 0;
  } else if (exists && m == 0) {
    char* cut = nullptr;
    for (char* p = text; *p; ++p)
      if (IsSep(*p)) cut = p;
    if (!cut) return;
    cut[1] = 0;
    folder = true;
  }
  bool record;
  switch (m) {
    case 0:
      record = exists && folder;
      break;
    case OFN_EX_HISTORY_PATH:
      record = exists || saveMarker;
      break;
    default:  // files
      record = (exists && !folder) || (!exists && saveMarker);
      break;
  }
  if (!record) return;
  int found = (int)SendMessageA(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)text);
  if (found == 0) return;
  SendMessageA(combo, CB_INSERTSTRING, 0, (LPARAM)text);
  if (found > 0) {
    SendMessageA(combo, CB_DELETESTRING, found + 1, 0);
    if (!notFolder) SendMessageA(combo, CB_SETCURSEL, 0, 0);
  }
  if (mode != OFN_EX_HISTORY_LIST) LoadSaveFileDlgHistory(combo, mode, source, TRUE);
}
