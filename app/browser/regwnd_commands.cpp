// CRegWnd: new keys and values, renaming and deleting, and RenameRegKey.
#include <cstdio>
#include <cstring>

#include "app/browser/regmove.h"
#include "app/regnames.h"
#include "app/browser/regwnd.h"
#include "system/regkeystack.h"
#include "system/sysqueries.h"
#include "ui/errorbox.h"
#include "ui/msgbox.h"

namespace {

const char kTextOpenFailed[] = "Der Registry-Pfad konnte nicht geöffnet werden !";
const char kTextWriteFailed[] = "Der Registry-Wert konnte nicht geschrieben werden !";
const char kTextReadFailed[] = "Der Registry-Wert konnte nicht gelesen werden !";
const char kTextRenameFailed[] = "Der Registry-Pfad konnte nicht umbenannt werden !";
const char kTextDeleteFailed[] = "Fehler beim Löschen !";
const char kTextValueExists[] = "Ein Registry-Wert mit diesem Namen existiert bereits !";
const char kTextKeyExists[] = "Ein Registry-Schlüssel mit diesem Namen existiert bereits !";
const char kTextRootKey[] = "Ein Hauptschlüssel kann nicht gelöscht werden !";
const char kTextNoFreeName[] = "Es konnte kein freier Name gefunden werden !";
const char kTextBadKeyName[] = "Ein Schlüsselname darf keinen '\\' enthalten !";
const char kTextLeftAt[] = "\n\nDer vollständige Schlüssel steht jetzt unter dem Namen '%s'.";
// Beyond "#8" the numbering goes on up to this.
const int kMaxNewNumber = 999;

typedef LONG(WINAPI* RegRenameKeyFn)(HKEY, LPCWSTR, LPCWSTR);
bool g_forceFallback = false;

// The system's own rename where it is sound. Wine's RegRenameKey returns 0
// but corrupts the parent: with subkeys "Aaa", "Neu #1" and "Sub\child",
// renaming "Neu #1" to "Neu xyz" leaves "Aaa", "Neu xyz", "Neu xyz" and
// "Sub" is gone with all below it (later calls on the prefix may hang).
// Under Wine, and where the system has no such call, keys move by copy.
RegRenameKeyFn RegRenameKeyEntry() {
  static RegRenameKeyFn fn =
      IsWineSystem() ? nullptr : (RegRenameKeyFn)(void*)GetProcAddress(GetModuleHandleA("ADVAPI32"), "RegRenameKey");
  return g_forceFallback ? nullptr : fn;
}

LONG MoveKey(HKEY parent, const WCHAR* from, const WCHAR* to, bool* copyKept) {
  *copyKept = false;
  if (RegRenameKeyFn rename = RegRenameKeyEntry()) {
    HKEY probe;
    if (RegOpenKeyExW(parent, to, 0, KEY_QUERY_VALUE | kRegWndView, &probe) == ERROR_SUCCESS) {
      RegCloseKey(probe);
      return ERROR_ALREADY_EXISTS;
    }
    return rename(parent, from, to);
  }
  return MoveRegKeyByCopy(parent, from, to, copyKept);
}

bool KeyExistsW(HKEY parent, const WCHAR* name) {
  HKEY probe;
  if (RegOpenKeyExW(parent, name, 0, KEY_QUERY_VALUE | kRegWndView, &probe) != ERROR_SUCCESS) return false;
  RegCloseKey(probe);
  return true;
}

LONG MoveValue(HKEY key, const WCHAR* from, const WCHAR* to, bool* copyKept) {
  *copyKept = false;
  return MoveRegValueW(key, from, to);
}

bool ValueExistsW(HKEY key, const WCHAR* name) {
  DWORD size = 0;
  LONG err = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
  return err == ERROR_SUCCESS || err == ERROR_MORE_DATA;
}

LONG SetError(LONG err) {
  SetLastError((DWORD)err);
  return err;
}

bool ValueExists(HKEY key, const char* name) { return RegValueExistsByText(key, name); }

bool KeyExists(HKEY key, const char* name) { return RegKeyExistsByText(key, name); }

bool IsGone(LONG err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_KEY_DELETED; }

// The failure's own text, then that the key or value is no longer there.
void ShowGone(const char* text, const char* gone, LONG err) {
  std::string t = std::string(text) + gone;
  ShowWin32Error(t.c_str(), (DWORD)err);
}

void ShowOpenError(LONG err) {
  if (IsGone(err))
    ShowGone(kTextOpenFailed, kRegKeyGoneText, err);
  else
    ShowWin32Error(kTextOpenFailed, (DWORD)err);
}

}  // namespace

void SetRenameRegKeyFallback(bool fallback) { g_forceFallback = fallback; }

LONG RenameRegKey(HKEY parent, const char* oldName, const char* newName, std::string* leftAt) {
  if (leftAt) leftAt->clear();
  std::wstring from = RegTextToWide(oldName), to = RegTextToWide(newName);
  if (from.empty() || to.empty()) return SetError(ERROR_INVALID_PARAMETER);
  // A key name never holds "\": the system would make a path of it.
  if (to.find(L'\\') != std::wstring::npos) return SetError(ERROR_INVALID_NAME);
  if (from == to) return SetError(ERROR_SUCCESS);
  std::wstring left;
  LONG err = RenameRegItem(parent, from.c_str(), to.c_str(), MoveKey, KeyExistsW, &left);
  if (leftAt && !left.empty()) *leftAt = RegNameText(left.c_str(), (int)left.size());
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
    ShowOpenError(err);
    if (IsGone(err)) ShowVanished(nullptr);
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
      ShowWin32Error(kTextNoFreeName, ERROR_ALREADY_EXISTS);
      return -1;
    }
  } else if (ValueExists(key, name)) {
    RegCloseKey(key);
    ShowWin32Error(kTextValueExists, ERROR_ALREADY_EXISTS);
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
    ShowWin32Error(kTextWriteFailed, (DWORD)err);
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
  // Opened, not created: a key that another program deleted meanwhile
  // must not come back.
  LONG err = below ? OpenRegWndKey(root, sub, KEY_READ | KEY_CREATE_SUB_KEY, &key) : ERROR_PATH_NOT_FOUND;
  if (err != ERROR_SUCCESS) {
    ShowOpenError(err);
    if (IsGone(err)) ShowVanished(nullptr);
    return 0;
  }
  bool chosen = *name != 0;
  DWORD disposition;
  for (int k = 1; !chosen || k == 1; ++k) {
    if (!chosen) {
      if (k > kMaxNewNumber) break;
      sprintf(name, "Neuer Schlüssel #%d", k);
      if (KeyExists(key, name)) continue;
    }
    HKEY created;
    err = CreateRegKeyByText(key, name, KEY_READ | kRegWndView, &created, &disposition);
    if (err != ERROR_SUCCESS) {
      RegCloseKey(key);
      ShowWin32Error(kTextWriteFailed, (DWORD)err);
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
  ShowWin32Error(chosen ? kTextKeyExists : kTextNoFreeName, ERROR_ALREADY_EXISTS);
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
  std::wstring from = RegTextToWide(oldName), to = RegTextToWide(newName);
  // "‹xxxx›" typed for a character: the lists write the new name their way.
  std::string stored = RegNameText(to.c_str(), (int)to.size());
  if (stored != newName) m_renamedText = stored.c_str();
  if (from == to) return 1;
  int parentLength = (int)(oldName - oldPath);
  if (parentLength > 0) --parentLength;  // the "\" before the name
  char parent[kTreeWndPathBuffer + 8];
  lstrcpynA(parent, oldPath, parentLength + 1 < (int)sizeof parent ? parentLength + 1 : (int)sizeof parent);
  int row = -1;
  const char* below = BelowRoot(parent, &row);
  HKEY root = nullptr;
  GetRootKey(row, nullptr, &root);
  // A new spelling of the same name renames too (through a name between):
  // the list shows what the registry holds.
  bool caseOnly = SameRegName(from.c_str(), to.c_str());
  if (value) {
    if (IsDefaultEntry(oldName) || to.empty()) return 0;
    HKEY key = nullptr;
    LONG err = below ? OpenRegWndKey(root, below, KEY_READ | KEY_SET_VALUE, &key) : ERROR_PATH_NOT_FOUND;
    if (err != ERROR_SUCCESS) {
      ShowOpenError(err);
      if (IsGone(err)) ShowVanished(nullptr);
      return 0;
    }
    // Read and written through the UTF-16 functions with the exact names:
    // characters outside the code page survive, and a literal twin ("a?b"
    // beside "a中b") is never touched.
    if (!ValueExistsW(key, from.c_str())) {
      RegCloseKey(key);
      ShowGone(kTextReadFailed, kRegValueGoneText, ERROR_FILE_NOT_FOUND);
      ShowVanished(nullptr);
      return 0;
    }
    if (!caseOnly && ValueExistsW(key, to.c_str())) {
      RegCloseKey(key);
      ShowWin32Error(kTextValueExists, ERROR_ALREADY_EXISTS);
      return 0;
    }
    std::wstring left;
    err = RenameRegItem(key, from.c_str(), to.c_str(), MoveValue, ValueExistsW, &left);
    RegCloseKey(key);
    if (err == ERROR_SUCCESS) return 1;
    if (IsGone(err)) {
      ShowGone(kTextReadFailed, kRegValueGoneText, err);
      ShowVanished(nullptr);
    } else {
      ShowWin32Error(err == ERROR_ALREADY_EXISTS ? kTextValueExists : kTextWriteFailed, (DWORD)err);
    }
    return 0;
  }
  if ((flags & kTreeItemLevelMask) < 1 || !below) return 0;
  if (to.find(L'\\') != std::wstring::npos) {
    ShowWin32Error(kTextBadKeyName, ERROR_INVALID_NAME);
    return 0;
  }
  HKEY key;
  LONG err = OpenRegWndKey(root, below, KEY_READ | KEY_WRITE, &key);
  if (err != ERROR_SUCCESS) {
    ShowOpenError(err);
    if (IsGone(err)) ShowVanished(parent);
    return 0;
  }
  if (!KeyExists(key, oldName)) {
    RegCloseKey(key);
    ShowGone(kTextRenameFailed, kRegKeyGoneText, ERROR_FILE_NOT_FOUND);
    ShowVanished(oldPath);
    return 0;
  }
  if (!caseOnly && KeyExists(key, newName)) {
    RegCloseKey(key);
    ShowWin32Error(kTextKeyExists, ERROR_ALREADY_EXISTS);
    return 0;
  }
  std::string leftAt;
  err = RenameRegKey(key, oldName, newName, &leftAt);
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) {
    if (IsGone(err)) {
      ShowGone(kTextRenameFailed, kRegKeyGoneText, err);
      ShowVanished(oldPath);
      return 0;
    }
    char text[400 + kTreeWndPathBuffer];
    int n = _snprintf(text, sizeof text - 1, "%s", kTextRenameFailed);
    if (!leftAt.empty() && n > 0)
      _snprintf(text + n, sizeof text - 1 - n, kTextLeftAt, leftAt.substr(0, kTreeWndMaxPath).c_str());
    text[sizeof text - 1] = 0;
    ShowWin32Error(text, (DWORD)err);
    // What the key tree shows of the parent follows what is there now.
    if (!leftAt.empty()) ShowVanished(oldPath);
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
    ShowWin32Error(kTextRootKey, ERROR_ACCESS_DENIED);
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
  LONG err = OpenRegWndKey(root, parentBelow, KEY_READ | KEY_SET_VALUE | DELETE, &key);
  if (err != ERROR_SUCCESS) {
    if (!IsGone(err)) return 0;
    ShowGone(kTextDeleteFailed, kRegKeyGoneText, err);
    ShowVanished(value ? nullptr : path);
    return 0;
  }
  // By the exact name: a literal twin ("a?b" beside "a中b") stays.
  if (value)
    err = DeleteRegValueByText(key, IsDefaultEntry(name) ? "" : name);
  else
    err = DeleteRegWndTree(key, name);
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) {
    // An unset default value is always listed: not one that went meanwhile.
    bool gone = IsGone(err) && !(value && IsDefaultEntry(name));
    if (gone)
      ShowGone(kTextDeleteFailed, value ? kRegValueGoneText : kRegKeyGoneText, err);
    else
      ShowWin32Error(kTextDeleteFailed, (DWORD)err);
    if (gone) ShowVanished(value ? nullptr : path);
    return 0;
  }
  if (!value) OnKeyDeleted(path);
  return 1;
}
