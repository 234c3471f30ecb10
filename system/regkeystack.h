// CRegKeyStack: the library's way into the registry. It keeps a stack of up
// to 12 open keys (level 0 is a root and a path below it, every further level
// a subkey of the one before) and works on the innermost one. After each call
// the name, type and size of the value handled and the call's result are left
// in the object, so callers test one boolean and read the detail from it.
#pragma once

#include <windows.h>

class CString;
class CTextList;

// Name arguments that stand for no text: the entry at the current level's
// enumeration index, and every entry of the current key.
#define REGKS_NAME_ENUM ((const char*)(INT_PTR)-1)
#define REGKS_NAME_ALL ((const char*)(INT_PTR)-2)

// Open flags: bits 0-5 are the mode, bits 6-30 go into the access mask as they
// stand (e.g. KEY_WOW64_64KEY), bit 31 only counts as "a flag was given".
enum {
  REGKS_READ = 0,    // read only
  REGKS_WRITE = 1,   // writable (any mode but 0)
  REGKS_CREATE = 2,  // writable, creating missing keys
  REGKS_MODE_MASK = 63,
  REGKS_ACCESS_MASK = 0x7FFFFFC0,      // bits 6-30
  REGKS_NO_AUTO_64 = (int)0x80000000,  // keeps Open from adding KEY_WOW64_64KEY for HKLM
};

// The object's own error codes, besides the Win32 ones.
enum {
  REGKS_ERR_CLOSED = 22549,    // no level open
  REGKS_ERR_TOO_DEEP = 22550,  // the operation needs a depth of at most 10
  REGKS_ERR_MODE = 22551,      // refused by the mode, or a failed open
  REGKS_ERR_NO_DATA = 22552,   // a write without data
};

// Type word of the 16-bit variants: the registry type in the low bits, the
// interface in bits 28-29 (0 or 1: the 8-bit functions, 2: the 16-bit ones).
enum {
  REGKS_SEL_WIDE = 0x20000000,
  REGKS_SEL_MASK = 0x30000000,
};

class CRegKeyStack {
 public:
  enum { kMaxLevels = 12, kMaxName = 256 };

  CRegKeyStack();
  ~CRegKeyStack();

  // --- opening and levels ---------------------------------------------------
  // Opens root\path as level 0 (closing what was open). A null root is named
  // at the start of the path; a null path is the program key for HKCU, HKLM
  // and HKCC and the root itself for the others.
  bool Open(HKEY hRoot, const char* pszPath = nullptr, DWORD dwFlags = REGKS_READ);
  bool Create(HKEY hRoot, const char* pszPath = nullptr, DWORD dwFlags = REGKS_CREATE);
  // A null or REGKS_NAME_ENUM name opens the subkey at the subkey index.
  bool OpenSubKey(const char* pszName, BOOL bNoCreate = FALSE);
  // A null name is the application's registry key name.
  bool CreateSubKey(const char* pszName);
  bool CloseKey();
  bool CloseAll();
  bool RestartSubKeyEnum();

  // Texts the levels were opened with (level -1 is the innermost).
  const char* GetLevelNamePtr(int nLevel = -1);
  const char* GetLevelNameLen(int* pnLen, int nLevel = -1);
  int GetLevelName(char* pszBuf, int nSize, int nLevel = -1);
  int GetLevelNameAlloc(char** ppsz, int nLevel = -1);  // caller frees with delete[]
  int FindIndexInParent(int nLevel = -1);
  // The current key as text; start 0 with the root name, 1 from level 0,
  // 2 from level 1. Returns 0, or -1 when it fails.
  int GetFullPath(char* pszBuf, int nSize, int nStart = 0);

  // --- reading values (fix-up type: 1/2 one NUL, 7 two NULs) ---------------
  int QueryValueSize(const char* pszName);
  bool QueryValue(void* pBuf, DWORD cbSize, const char* pszName, DWORD dwFixType);
  bool QueryValueAlloc(char** ppData, const char* pszName, DWORD dwFixType);  // delete[]
  bool QueryValueEx(void* pBuf, DWORD cbSize, const char* pszName, DWORD dwTypeWord);
  bool QueryValueAllocW(BYTE** ppData, const char* pszName, DWORD dwTypeWord);  // delete[]
  bool QueryFloat(float* pf, const char* pszName);
  bool QueryDouble(double* pd, const char* pszName);
  bool QueryString(CString& str, const char* pszName);
  bool QueryTextList(CTextList& list, const char* pszName);

  // --- writing values -------------------------------------------------------
  bool SetValue(const void* pData, DWORD cbSize, const char* pszName, DWORD dwType);
  bool SetValueW(const void* pData, DWORD cbSize, const char* pszName, DWORD dwTypeWord);
  bool SetDouble(const double* pd, const char* pszName);
  bool SetString(const CString& str, const char* pszName);
  bool SetMultiString(const char* pszList, const char* pszName);
  bool SetTextList(const CTextList& list, const char* pszName, int nFirst, int nEnd);

  // --- deleting (REGKS_NAME_ALL: every value or subkey) ---------------------
  bool DeleteValue(const char* pszName);
  bool DeleteKey(const char* pszName);

  // --- counting and enumerating (index -1: the level's own index) -----------
  DWORD GetValueCount();
  DWORD GetSubKeyCount();
  const char* EnumValueName(int nIndex);
  const char* EnumValueNameLen(int* pnLen, int nIndex);
  int EnumValueNameCopy(char* pszBuf, int nSize, int nIndex);
  int EnumValueNameAlloc(char** ppsz, int nIndex);  // caller frees with delete[]
  const char* EnumSubKeyName(int nIndex);
  const char* EnumSubKeyNameLen(int* pnLen, int nIndex);
  int EnumSubKeyNameCopy(char* pszBuf, int nSize, int nIndex);
  int EnumSubKeyNameAlloc(char** ppsz, int nIndex);

  // --- hives (the caller holds the privileges) ------------------------------
  bool SaveKey(const char* pszFile);
  bool LoadKey(const char* pszSubKey, const char* pszFile);
  bool ReplaceKey(const char* pszSubKey, const char* pszNewFile, const char* pszOldFile);

  HKEY m_hKey;         // the innermost level; null when closed
  HKEY m_hRoot;        // the root of level 0; null when closed
  char m_szName[260];  // last value or subkey name handled
  DWORD m_dwType;      // type of the last value handled
  DWORD m_cbData;      // its size in bytes
  DWORD m_nNameLen;    // length of m_szName
  HKEY m_hKeys[kMaxLevels];
  DWORD m_nValueIndex[kMaxLevels];   // per level: value enumeration index
  DWORD m_nSubKeyIndex[kMaxLevels];  // per level: subkey enumeration index
  char* m_pszLevelName[kMaxLevels];  // per level: the text it was opened with
  int m_nDepth;                      // innermost open level; -1 when closed
  int m_nMode;                       // open flags & 63
  REGSAM m_samAccess;                // access mask of every level
  LONG m_nLastError;

 private:
  CRegKeyStack(const CRegKeyStack&) = delete;
  CRegKeyStack& operator=(const CRegKeyStack&) = delete;

  bool Fail(LONG nError) {
    m_nLastError = nError;
    return false;
  }
  bool CheckOpen();   // 22549
  bool CheckDepth();  // 22549, 22550
  bool OpenLevel0(HKEY hRoot, const char* pszPath, DWORD dwFlags, bool bCreate);
  void PushLevel(HKEY hKey, const char* pszName);
  void SetName(const char* pszName);
  LONG NameToWide(WCHAR* pwsz);
  LONG ReadByName(bool bWide, void* pBuf, DWORD* pcb);
  bool EnumValueAt(DWORD nIndex);
  bool EnumSubKeyAt(DWORD nIndex);
  const char* EnumName(bool bSubKey, int nIndex);
  void FixFailedRead(BYTE* pBuf, DWORD cbSize, DWORD dwFixType);
  bool FixTerminators(BYTE* pBuf, DWORD cbSize, DWORD n, DWORD dwFixType);
  bool AllocRead(void** ppData, const char* pszName, bool bWide, DWORD dwFixType);
  bool WriteValue(const void* pData, DWORD cbSize, const char* pszName, DWORD dwTypeWord, bool bSelector);
  bool DeleteNamedValue();
  bool DeleteKeyTree(const char* pszName, bool bAtIndex);
  static int CopyOut(const char* psz, int nLen, char* pszBuf, int nSize);
  static int AllocOut(const char* psz, int nLen, char** ppsz);
};

// "Software\<registry key name>\<application name>[\<sub>]" of the
// application object; returns the length written (0 when nSize < 1).
int BuildAppRegistryPath(char* pszBuf, int nSize, const char* pszSub = nullptr);

// Recognises a root name ("HKEY_LOCAL_MACHINE", any case) at the start of a
// path; returns the characters to skip. No root name means HKEY_CURRENT_USER.
int ParseRegRootName(HKEY* phRoot, const char* pszPath);

// The long name of a root of the tables, or null.
const char* GetRegRootName(HKEY hRoot);
