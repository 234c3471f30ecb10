// Hive files loaded under HKEY_LOCAL_MACHINE or HKEY_USERS and unloaded
// again, and the start of an outside registry editor at a key.
#pragma once

#include <windows.h>

#include "base/cstring.h"

class CWnd;

// Short and HKEY_-less root names become the long ones ("HKLM\x" is
// "HKEY_LOCAL_MACHINE\x"), "/" becomes "\"; other paths stay as they are.
CString NormaliseRegRoot(const char* path);

// The checks of an entered hive key.
enum HivePathCheck {
  kHivePathOk = 0,
  kHiveWrongRoot = 1,  // not below HKEY_LOCAL_MACHINE or HKEY_USERS
  kHiveNoSubkey = 2,   // nothing after the root
  kHiveTooDeep = 3,    // more than one level
};
int CheckHivePath(const char* text, HKEY* phRoot, CString* pstrSubKey);

// What the prompts propose: the root of the current path and "\" for a
// load, the path itself for an unload, "HKEY_USERS\" when the path lies
// under neither root.
CString ProposeHivePath(const char* currentPath, bool forUnload);

// RegLoadKeyA and RegUnLoadKeyA with the backup and restore privileges
// enabled just around the call; Win32 results.
LONG LoadHive(HKEY hRoot, const char* pszSubKey, const char* pszFile);
LONG UnloadHive(HKEY hRoot, const char* pszSubKey);
// Whether this process loaded the key.
bool IsOwnHive(HKEY hRoot, const char* pszSubKey);

// The view's commands with their dialogs and messages; a load answers the
// entered path to show, an unload whether the key is gone now.
bool RunLoadHive(CWnd* pParent, const char* currentPath, CString& strLoaded);
bool RunUnloadHive(CWnd* pParent, const char* currentPath);

// Results of StartOutsideRegistryEditor.
enum {
  kRegJumpStarted = 1,
  kRegeditStarted = 2,
  kRegeditMissing = -1,
  kRegeditNotStarted = -2,
};
// "..\Diverse\RegJump.exe" beside the program (programDir with its trailing
// separator; null: the program's own) with the quoted path, else regedit.exe
// after "LastKey" is written. Messages go to owner unless it is
// INVALID_HANDLE_VALUE.
int StartOutsideRegistryEditor(HWND owner, const char* path, const char* programDir);

// "LastKey" for regedit.exe, only where its key exists.
bool WriteRegeditLastKey(const char* path);

// Where regedit.exe keeps its last key.
extern const char kRegeditAppletKey[];
