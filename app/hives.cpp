#include "app/hives.h"

#include <cstring>
#include <set>
#include <string>

#include "app/regnames.h"
#include "app/ostrovaview.h"
#include "mfc/filedialog.h"
#include "system/pathtype.h"
#include "system/programpath.h"
#include "system/regkeystack.h"
#include "system/spawnprocess.h"
#include "system/sysqueries.h"
#include "ui/dialogs/textprompt.h"
#include "ui/errorbox.h"

const char kRegeditAppletKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

namespace {

const char kHivePrompt[] = "Hier den Pfad für HKEY_LOCAL_MACHINE oder HKEY_USERS eintragen :";
const int kPromptWider = 120;

struct ShortRoot {
  const char* name;
  int minLength;  // for the forms without "HKEY_"
  const char* longName;
};
const ShortRoot kShortRoots[] = {{"HKCR", 0, "HKEY_CLASSES_ROOT"},
                                 {"HKCU", 0, "HKEY_CURRENT_USER"},
                                 {"HKLM", 0, "HKEY_LOCAL_MACHINE"},
                                 {"HKCC", 0, "HKEY_CURRENT_CONFIG"}};
const ShortRoot kBareRoots[] = {{"CLASSES_ROOT", 12, "HKEY_CLASSES_ROOT"},
                                {"CURRENT_USER", 12, "HKEY_CURRENT_USER"},
                                {"MACHINE", 7, "HKEY_LOCAL_MACHINE"},
                                {"USERS", 5, "HKEY_USERS"},
                                {"CONFIG", 6, "HKEY_CURRENT_CONFIG"}};

bool IsSep(char c) { return c == '\\' || c == '/'; }

// The loaded keys, "root handle|name" in upper case.
std::set<std::string>& OwnHives() {
  static std::set<std::string> hives;
  return hives;
}
std::string HiveId(HKEY hRoot, const char* sub) {
  std::string id = std::to_string((UINT_PTR)hRoot) + "|" + sub;
  for (char& c : id) c = (char)toupper((unsigned char)c);
  return id;
}

// Enables or restores the two privileges of a hive call.
class CHivePrivileges {
 public:
  CHivePrivileges() {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &m_token)) m_token = nullptr;
    if (m_token) {
      EnableTokenPrivilege(m_token, "SeBackupPrivilege", 1);
      EnableTokenPrivilege(m_token, "SeRestorePrivilege", 1);
    }
  }
  ~CHivePrivileges() {
    if (!m_token) return;
    DWORD err = GetLastError();
    EnableTokenPrivilege(m_token, "SeRestorePrivilege", 0);
    EnableTokenPrivilege(m_token, "SeBackupPrivilege", 0);
    CloseHandle(m_token);
    SetLastError(err);
  }

 private:
  HANDLE m_token = nullptr;
};

void ErrorBox(HWND owner, const char* text) { ::MessageBoxA(owner, text, "Fehler", MB_ICONERROR); }

const char* const kLoadChecks[] = {
    nullptr, "Es kann nur unter HKEY_LOCAL_MACHINE oder HKEY_USERS eine Datei eingehängt werden !",
    "Es fehlt der Subpfad nach HKEY_LOCAL_MACHINE bzw. HKEY_USERS !",
    "Nur eine Ebene nach HKEY_LOCAL_MACHINE bzw. HKEY_USERS angegeben werden !"};
const char* const kUnloadChecks[] = {
    nullptr, "Es kann nur ein Pfad bei HKEY_LOCAL_MACHINE oder HKEY_USERS ausgehängt werden !",
    "Es fehlt der Subpfad nach HKEY_LOCAL_MACHINE bzw. HKEY_USERS !",
    "Nur die erste Ebene nach HKEY_LOCAL_MACHINE bzw. HKEY_USERS darf benutzt werden !"};

bool AskHivePath(CWnd* pParent, const char* title, const char* proposal, CString& text) {
  CTextPromptDlg dlg(pParent);
  dlg.m_nWidthChange = kPromptWider;
  dlg.SetText(proposal);
  dlg.SetTitle(title);
  dlg.SetPrompt(kHivePrompt);
  if (dlg.DoModal() != IDOK) return false;
  text = dlg.GetText();
  return true;
}

}  // namespace

CString NormaliseRegRoot(const char* text) {
  if (!text) return CString();
  std::string slashes(text);
  for (char& c : slashes)
    if (c == '/') c = '\\';
  const char* path = slashes.c_str();
  size_t first = 0;
  while (path[first] && !IsSep(path[first])) ++first;
  if (first == 4) {
    for (const ShortRoot& r : kShortRoots)
      if (_strnicmp(path, r.name, 4) == 0) return CString(r.longName) + (path + 4);
  }
  for (const ShortRoot& r : kBareRoots) {
    size_t n = strlen(r.name);
    if (first == n && _strnicmp(path, r.name, n) == 0) return CString(r.longName) + (path + n);
  }
  return CString(path);
}

int CheckHivePath(const char* text, HKEY* phRoot, CString* pstrSubKey) {
  CString norm = NormaliseRegRoot(text);
  const char* p = norm;
  HKEY root = nullptr;
  int skip = ParseRegRootName(&root, p);
  if (skip == 0 || (root != HKEY_LOCAL_MACHINE && root != HKEY_USERS)) return kHiveWrongRoot;
  const char* sub = p + skip;
  if (!*sub) return kHiveNoSubkey;
  const char* sep = sub;
  while (*sep && !IsSep(*sep)) ++sep;
  if (*sep) return kHiveTooDeep;
  if (phRoot) *phRoot = root;
  if (pstrSubKey) *pstrSubKey = sub;
  return kHivePathOk;
}

CString ProposeHivePath(const char* currentPath, bool forUnload) {
  HKEY root = nullptr;
  int skip = ParseRegRootName(&root, currentPath);
  if (skip && (root == HKEY_LOCAL_MACHINE || root == HKEY_USERS)) {
    if (forUnload) return CString(currentPath);
    int n = skip - (currentPath[skip - 1] == '\\');
    return CString(currentPath, n) + "\\";
  }
  return CString("HKEY_USERS\\");
}

LONG LoadHive(HKEY hRoot, const char* pszSubKey, const char* pszFile) {
  LONG e;
  {
    CHivePrivileges privileges;
    // A name outside the code page comes as the browser writes it.
    if (IsMarkedRegText(pszSubKey)) {
      WCHAR file[MAX_PATH * 2] = L"";
      MultiByteToWideChar(CP_ACP, 0, pszFile, -1, file, MAX_PATH * 2);
      e = RegLoadKeyW(hRoot, RegTextToWide(pszSubKey).c_str(), file);
    } else
      e = RegLoadKeyA(hRoot, pszSubKey, pszFile);
  }
  if (e == ERROR_SUCCESS) OwnHives().insert(HiveId(hRoot, pszSubKey));
  return e;
}

LONG UnloadHive(HKEY hRoot, const char* pszSubKey) {
  LONG e;
  {
    CHivePrivileges privileges;
    e = IsMarkedRegText(pszSubKey) ? RegUnLoadKeyW(hRoot, RegTextToWide(pszSubKey).c_str())
                                   : RegUnLoadKeyA(hRoot, pszSubKey);
  }
  if (e == ERROR_SUCCESS) OwnHives().erase(HiveId(hRoot, pszSubKey));
  return e;
}

bool IsOwnHive(HKEY hRoot, const char* pszSubKey) { return OwnHives().count(HiveId(hRoot, pszSubKey)) != 0; }

bool RunLoadHive(CWnd* pParent, const char* currentPath, CString& strLoaded) {
  CFileDialog fd(TRUE, "", nullptr, 0x881904, "Alle Dateien  (*.*)|*.*|", pParent);
  fd.m_ofn.lpstrTitle = "Schlüsselpfad laden";
  if (fd.DoModal() != IDOK || !currentPath || !*currentPath) return false;
  CString file = fd.GetPathName();
  CString text;
  if (!AskHivePath(pParent, "Schlüssel einhängen", ProposeHivePath(currentPath, false), text)) return false;
  HWND owner = pParent ? pParent->m_hWnd : nullptr;
  HKEY root;
  CString sub;
  int check = CheckHivePath(text, &root, &sub);
  if (check != kHivePathOk) {
    ErrorBox(owner, kLoadChecks[check]);
    return false;
  }
  LONG e = LoadHive(root, sub, file);
  if (e != ERROR_SUCCESS) {
    ShowWin32Error("Die Datei konnte nicht eingehäng werden:", (DWORD)e);
    return false;
  }
  strLoaded = NormaliseRegRoot(text);
  return true;
}

bool RunUnloadHive(CWnd* pParent, const char* currentPath) {
  if (!currentPath || !*currentPath) return false;
  CString text;
  if (!AskHivePath(pParent, "Schlüssel aushängen", ProposeHivePath(currentPath, true), text)) return false;
  HWND owner = pParent ? pParent->m_hWnd : nullptr;
  HKEY root;
  CString sub;
  int check = CheckHivePath(text, &root, &sub);
  if (check != kHivePathOk) {
    ErrorBox(owner, kUnloadChecks[check]);
    return false;
  }
  CString full = NormaliseRegRoot(text);
  // Wine's RegUnLoadKey deletes a key that is no loaded hive, with all below
  // it, and reports success; Windows refuses such a key.
  bool own = IsOwnHive(root, sub);
  bool deletes = !own && IsWineSystem();
  if (!own) {
    CString q = "Der Schlüssel\n\n    " + full + "\n\nwurde nicht von diesem Programm eingehängt.";
    if (deletes)
      q += "\n\nIst er keine eingehängte Datei, wird er beim Aushängen mit allen Unterschlüsseln und Werten "
           "gelöscht !";
    q += "\n\nTrotzdem aushängen ?";
    if (::MessageBoxA(owner, q, "Frage", MB_YESNO | (deletes ? MB_ICONWARNING : MB_ICONQUESTION) | MB_DEFBUTTON2) !=
        IDYES)
      return false;
  }
  LONG e = UnloadHive(root, sub);
  if (e != ERROR_SUCCESS) {
    ShowWin32Error("Der Schlüssel konnte nicht ausgehäng werden:", (DWORD)e);
    return false;
  }
  HKEY still = nullptr;
  bool gone = OpenRegKeyByText(root, sub, KEY_QUERY_VALUE, &still) != ERROR_SUCCESS;
  if (still) RegCloseKey(still);
  if (deletes && gone) {
    CString done = "Der Schlüssel\n\n    " + full +
                   "\n\nwar keine von diesem Programm eingehängte Datei: er wurde mit allen Unterschlüsseln und "
                   "Werten gelöscht.";
    ::MessageBoxA(owner, done, "Information", MB_OK | MB_ICONINFORMATION);
  } else {
    ::MessageBoxA(owner, "Der Schlüssel wurde erfolgreich ausgehäng.", "Information", MB_ICONINFORMATION);
  }
  return gone;
}

bool WriteRegeditLastKey(const char* path) {
  CRegKeyStack key;
  if (!key.Open(HKEY_CURRENT_USER, kRegeditAppletKey, REGKS_WRITE)) return false;
  if (!IsMarkedRegText(path)) return key.SetValue(path, (DWORD)strlen(path) + 1, "LastKey", REG_SZ);
  // A key name outside the code page: the editor gets the exact path.
  std::wstring wide = RegTextToWide(path);
  return RegSetValueExW(key.m_hKey, L"LastKey", 0, REG_SZ, (const BYTE*)wide.c_str(),
                        (DWORD)(wide.size() + 1) * sizeof(WCHAR)) == ERROR_SUCCESS;
}

int StartOutsideRegistryEditor(HWND owner, const char* path, const char* programDir) {
  if (!path) path = "";
  bool quiet = owner == INVALID_HANDLE_VALUE;
  if (quiet) owner = nullptr;
  char dir[MAX_PATH];
  if (programDir)
    lstrcpynA(dir, programDir, sizeof dir);
  else if (!GetProgramDirectory(dir, sizeof dir))
    dir[0] = 0;
  CString jump = CString(dir) + "..\\Diverse\\RegJump.exe";
  if (GetPathType(jump) == 1) {
    CSpawnProcess spawn;
    if (spawn.Start("?" + jump, 0, "\"%s\"", path) == 1) return kRegJumpStarted;
  }
  char editor[MAX_PATH + 16];
  UINT n = GetWindowsDirectoryA(editor, MAX_PATH);
  lstrcpyA(editor + n, n && editor[n - 1] == '\\' ? "regedit.exe" : "\\regedit.exe");
  if (GetPathType(editor) != 1) {
    n = GetSystemDirectoryA(editor, MAX_PATH);
    lstrcpyA(editor + n, n && editor[n - 1] == '\\' ? "regedit.exe" : "\\regedit.exe");
    if (GetPathType(editor) != 1) {
      if (!quiet) ErrorBox(owner, "Das Programm 'RegEdit.exe' konnte nicht gefunden werden !");
      return kRegeditMissing;
    }
  }
  WriteRegeditLastKey(path);
  CSpawnProcess spawn;
  if (spawn.Start(CString("?") + editor, 0) != 1) {
    if (!quiet) ErrorBox(owner, "Das Programm 'RegEdit.exe' konnte nicht gestartet werden !");
    return kRegeditNotStarted;
  }
  return kRegeditStarted;
}
