// CRegWnd: new keys and values, renaming and deleting, and RenameRegKey.
#include <cstdio>
#include <cstring>

#include "app/browser/regwnd.h"
#include "system/regkeystack.h"
#include "ui/msgbox.h"

namespace {

const char kTextOpenFailed[] = "Der Registry-Pfad konnte nicht geöffnet werden !";
const char kTextWriteFailed[] = "Der Registry-Wert konnte nicht geschrieben werden !";
const char kTextReadFailed[] = "Der Registry-Wert konnte nicht gelesen werden !";
const char kTextOldNotDeleted[] = "Der alte Registry-Wert konnte nicht gelöscht werden !";
const char kTextRenameFailed[] = "Der Registry-Pfad konnte nicht umbenannt werden !";
const char kTextDeleteFailed[] = "Fehler beim Löschen !";
const char kTextValueExists[] = "Ein Registry-Wert mit diesem Namen existiert bereits !";
const char kTextKeyExists[] = "Ein Registry-Schlüssel mit diesem Namen existiert bereits !";
const char kTextRootKey[] = "Ein Hauptschlüssel kann nicht gelöscht werden !";
const char kTextNoFreeName[] = "Es konnte kein freier Name gefunden werden !";
// Beyond "#8" the numbering goes on up to this.
const int kMaxNewNumber = 999;

typedef LONG(WINAPI* RegRenameKeyFn)(HKEY, LPCWSTR, LPCWSTR);
bool g_forceFallback = false;

RegRenameKeyFn RegRenameKeyEntry() {
  static RegRenameKeyFn fn = (RegRenameKeyFn)(void*)GetProcAddress(GetModuleHandleA("ADVAPI32"), "RegRenameKey");
  return g_forceFallback ? nullptr : fn;
}

LONG SetError(LONG err) {
  SetLastError((DWORD)err);
  return err;
}

bool ValueExists(HKEY key, const char* name) {
  DWORD type, size = 0;
  LONG err = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  return err == ERROR_SUCCESS || err == ERROR_MORE_DATA;
}

bool KeyExists(HKEY key, const char* name) {
  HKEY sub;
  if (OpenRegWndKey(key, name, KEY_QUERY_VALUE, &sub) != ERROR_SUCCESS) return false;
  RegCloseKey(sub);
  return true;
}

}  // namespace

void SetRenameRegKeyFallback(bool fallback) { g_forceFallback = fallback; }

LONG RenameRegKey(HKEY parent, const char* oldName, const char* newName) {
  if (RegRenameKeyFn rename = RegRenameKeyEntry()) {
    // The names are in the ANSI code page ("€" is 0x80 in 1252).
    WCHAR oldW[257], newW[257];
    int a = MultiByteToWideChar(CP_ACP, 0, oldName, -1, oldW, 257);
    int b = MultiByteToWideChar(CP_ACP, 0, newName, -1, newW, 257);
    if (!a || !b) return SetError(ERROR_INVALID_PARAMETER);
    return SetError(rename(parent, oldW, newW));
  }
  if (!lstrcmpiA(oldName, newName)) return SetError(ERROR_SUCCESS);
  HKEY old;
  LONG err = OpenRegWndKey(parent, oldName, KEY_READ, &old);
  if (err != ERROR_SUCCESS) return SetError(err);
  DWORD subKeys = 0, values = 0;
  err = RegQueryInfoKeyA(old, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr);
  RegCloseKey(old);
  if (err != ERROR_SUCCESS) return SetError(err);
  // Only an empty key can change its name this way.
  if (subKeys || values) return SetError(ERROR_DIR_NOT_EMPTY);
  HKEY created;
  DWORD disposition = 0;
  err = RegCreateKeyExA(parent, newName, 0, nullptr, 0, KEY_ALL_ACCESS | kRegWndView, nullptr, &created, &disposition);
  if (err != ERROR_SUCCESS) return SetError(err);
  RegCloseKey(created);
  // A key that was there before is not ours to delete again.
  if (disposition != REG_CREATED_NEW_KEY) return SetError(ERROR_ALREADY_EXISTS);
  err = RegDeleteKeyExA(parent, oldName, kRegWndView, 0);
  if (err != ERROR_SUCCESS) RegDeleteKeyExA(parent, newName, kRegWndView, 0);
  return SetError(err);
}

const char* CRegWnd::ValueNameOf(const char* path, const char* name) const {
  // The entry's name in the shown key; a split at the last "\" would take a
  // value "Sub\Name" for the value "Name" of the subkey "Sub".
  int n = (int)strlen(GetPath());
  if (n && !_strnicmp(path, GetPath(), n)) return path + n;
  if (name) return name;
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

int CRegWnd::NewItem(CTextList* list, const char* path, char* name, DWORD type) {
  int row = -1;
  const char* below = BelowRoot(path, &row);
  HKEY root = nullptr;
  GetRootKey(row, nullptr, &root);
  HKEY key = nullptr;
  char sub[kTreeWndPathBuffer + 8];
  lstrcpynA(sub, below ? below : "", sizeof sub);
  size_t len = strlen(sub);
  if (len && sub[len - 1] == '\\') sub[len - 1] = 0;
  LONG err = below ? OpenRegWndKey(root, sub, KEY_READ | KEY_SET_VALUE, &key) : ERROR_PATH_NOT_FOUND;
  if (err != ERROR_SUCCESS) {
    ShowError(kTextOpenFailed, (DWORD)err);
    return -1;
  }
  if (!*name) {
    // Never over an existing value: the numbering goes on past #8.
    int k = 1;
    for (; k <= kMaxNewNumber; ++k) {
      sprintf(name, "Neuer Wert #%d", k);
      if (!ValueExists(key, name)) break;
    }
    if (k > kMaxNewNumber) {
      *name = 0;
      RegCloseKey(key);
      ShowError(kTextNoFreeName, ERROR_ALREADY_EXISTS);
      return -1;
    }
  } else if (ValueExists(key, name)) {
    RegCloseKey(key);
    ShowError(kTextValueExists, ERROR_ALREADY_EXISTS);
    return -1;
  }
  static const BYTE zeros[8] = {};
  DWORD size = 0;
  int image = 0;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      size = 1, image = 1;
      break;
    case REG_MULTI_SZ:
      size = 2, image = 1;
      break;
    case REG_DWORD:
      size = 4, image = 2;
      break;
    case REG_QWORD:
      size = 8, image = 2;
      break;
  }
  err = RegSetValueExA(key, name, 0, type, zeros, size);
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) {
    ShowError(kTextWriteFailed, (DWORD)err);
    return -1;
  }
  TreeWndEntry e = {image, image, kEntryItem, (int)type, 0};
  return list->InsertString(name, -1, &e);
}

int CRegWnd::NewFolder(CTextList*, const char* path, char* name) {
  int row = -1;
  const char* below = BelowRoot(path, &row);
  HKEY root = nullptr;
  GetRootKey(row, nullptr, &root);
  char sub[kTreeWndPathBuffer + 8];
  lstrcpynA(sub, below ? below : "", sizeof sub);
  size_t len = strlen(sub);
  if (len && sub[len - 1] == '\\') sub[len - 1] = 0;
  HKEY key = nullptr;
  DWORD disposition;
  LONG err = below ? RegCreateKeyExA(root, sub, 0, nullptr, 0, KEY_READ | KEY_CREATE_SUB_KEY | kRegWndView, nullptr,
                                     &key, &disposition)
                   : ERROR_PATH_NOT_FOUND;
  if (err != ERROR_SUCCESS) {
    ShowError(kTextOpenFailed, (DWORD)err);
    return 0;
  }
  bool chosen = *name != 0;
  for (int k = 1; !chosen || k == 1; ++k) {
    if (!chosen) {
      if (k > kMaxNewNumber) break;
      sprintf(name, "Neuer Schlüssel #%d", k);
      if (KeyExists(key, name)) continue;
    }
    HKEY created;
    err = RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_READ | kRegWndView, nullptr, &created, &disposition);
    if (err != ERROR_SUCCESS) {
      RegCloseKey(key);
      ShowError(kTextWriteFailed, (DWORD)err);
      return -1;
    }
    RegCloseKey(created);
    // Made by someone else meanwhile: not ours, take the next number.
    if (disposition == REG_CREATED_NEW_KEY) {
      RegCloseKey(key);
      return 0x7FFFFFFF;
    }
    if (chosen) break;
  }
  RegCloseKey(key);
  ShowError(chosen ? kTextKeyExists : kTextNoFreeName, ERROR_ALREADY_EXISTS);
  return -1;
}

int CRegWnd::CanRenameItem(const char* path, const char*, UINT flags) {
  if (flags & kEntryIsItem) return IsDefaultEntry(ValueNameOf(path, nullptr)) ? 0 : 1;
  return (flags & kTreeItemLevelMask) >= 1 ? 1 : 0;
}

int CRegWnd::RenameItem(const char* oldPath, const char* newName, UINT flags) {
  bool value = (flags & kEntryIsItem) != 0;
  const char* oldName;
  if (value) {
    oldName = ValueNameOf(oldPath, nullptr);
  } else {
    const char* slash = strrchr(oldPath, '\\');
    oldName = slash ? slash + 1 : oldPath;
  }
  if (!lstrcmpiA(oldName, newName)) return 1;
  int parentLength = (int)(oldName - oldPath);
  if (parentLength > 0) --parentLength;  // the "\" before the name
  char parent[kTreeWndPathBuffer + 8];
  lstrcpynA(parent, oldPath, parentLength + 1 < (int)sizeof parent ? parentLength + 1 : (int)sizeof parent);
  int row = -1;
  const char* below = BelowRoot(parent, &row);
  HKEY root = nullptr;
  GetRootKey(row, nullptr, &root);
  if (value) {
    if (IsDefaultEntry(oldName)) return 0;
    CRegKeyStack key;
    // Read and written through the UTF-16 functions: characters outside the
    // code page survive.
    if (!below || !key.Open(root, below, REGKS_WRITE | kRegWndView)) {
      ShowError(kTextOpenFailed, (DWORD)key.m_nLastError);
      return 0;
    }
    if (ValueExists(key.m_hKey, newName)) {
      ShowError(kTextValueExists, ERROR_ALREADY_EXISTS);
      return 0;
    }
    BYTE* data = nullptr;
    if (!key.QueryValueAllocW(&data, oldName, 0x20000003)) {
      ShowError(kTextReadFailed, (DWORD)key.m_nLastError);
      return 0;
    }
    DWORD type = key.m_dwType, size = key.m_cbData;
    bool written = key.SetValueW(data, size, newName, 0x20000000 | type);
    delete[] data;
    if (!written) {
      ShowError(kTextWriteFailed, (DWORD)key.m_nLastError);
      return 0;
    }
    LONG err = RegDeleteValueA(key.m_hKey, oldName);
    if (err != ERROR_SUCCESS) {
      RegDeleteValueA(key.m_hKey, newName);
      ShowError(kTextOldNotDeleted, (DWORD)err);
      return 0;
    }
    return 1;
  }
  if ((flags & kTreeItemLevelMask) < 1 || !below) return 0;
  HKEY key;
  LONG err = OpenRegWndKey(root, below, 0x2001F, &key);
  if (err != ERROR_SUCCESS) {
    ShowError(kTextOpenFailed, (DWORD)err);
    return 0;
  }
  if (KeyExists(key, newName)) {
    RegCloseKey(key);
    ShowError(kTextKeyExists, ERROR_ALREADY_EXISTS);
    return 0;
  }
  err = RenameRegKey(key, oldName, newName);
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) {
    ShowError(kTextRenameFailed, (DWORD)err);
    return 0;
  }
  return 1;
}

int CRegWnd::DeleteItems(const char* path, const char* nameArg, UINT flags) {
  bool value = (flags & kEntryIsItem) != 0;
  const char* name = value ? ValueNameOf(path, nameArg) : nameArg;
  int row = -1;
  const char* below = BelowRoot(path, &row);
  // A root, or a key without a name, is never deleted: "" would be its parent.
  if (!below || (!value && ((flags & kTreeItemLevelMask) < 1 || !name || !*name || !*below))) {
    ShowError(kTextRootKey, ERROR_ACCESS_DENIED);
    return 0;
  }
  int parentLength = (int)(strlen(path) - strlen(name));
  if (parentLength > 0) --parentLength;
  char parent[kTreeWndPathBuffer + 8];
  lstrcpynA(parent, path, parentLength + 1 < (int)sizeof parent ? parentLength + 1 : (int)sizeof parent);
  int parentRow = -1;
  const char* parentBelow = BelowRoot(parent, &parentRow);
  if (!parentBelow) return 0;

  if (!m_deleteConfirmed && (!(flags & kDeleteMore) || (flags & kDeleteFirst))) {
    // The paths are named with their root: the same key can exist in HKCU and HKLM.
    char text[1400];
    if ((flags & kDeleteMore) && (flags & kDeleteFirst))
      _snprintf(text, sizeof text - 1, "Die Registry-Einträge in\n\n    '%.1024s'    \n\nwirklich löschen ?", parent);
    else if (value)
      _snprintf(text, sizeof text - 1,
                "Den Registry-Eintrag\n\n    '%.99s'\n\nin :\n\n    '%.1024s'    \n\nwirklich löschen ?", name, parent);
    else
      _snprintf(text, sizeof text - 1, "Den Registry-Schlüssel\n\n   '%.1024s'    \n\nwirklich löschen ?", path);
    text[sizeof text - 1] = 0;
    if (MsgBox(MessageOwner(), text, AfxGetAppName(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return -1;
  }
  HKEY root = nullptr;
  GetRootKey(parentRow, nullptr, &root);
  HKEY key;
  if (OpenRegWndKey(root, parentBelow, KEY_READ | KEY_SET_VALUE | DELETE, &key) != ERROR_SUCCESS) return 0;
  LONG err;
  if (value)
    err = RegDeleteValueA(key, IsDefaultEntry(name) ? "" : name);
  else
    err = DeleteRegWndTree(key, name);
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) {
    ShowError(kTextDeleteFailed, (DWORD)err);
    return 0;
  }
  if (!value) OnKeyDeleted(path);
  return 1;
}
