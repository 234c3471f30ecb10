// Queries that differ between system versions or need care with security
// objects: Wow64 redirection, administrator tests, object owners and access
// lists, token privileges, computer names, process image paths. Entries that
// older systems lack are looked up at run time; their absence is a failure.
#pragma once

#include <windows.h>

// Mode: positive disables the file-system redirection, negative enables it,
// 0 undoes one level; only the outermost level calls the system. The
// system call's result, else the nesting count (0 when the entry is missing).
int SetWow64FsRedirection(int mode);
// The redirection entries (null: those of kernel32), for tests.
struct Wow64Calls {
  BOOL(WINAPI* disable)(PVOID* oldValue);
  BOOL(WINAPI* enable)(BOOLEAN enable);
  BOOL(WINAPI* revert)(PVOID oldValue);
};
void SetWow64Calls(const Wow64Calls* calls);

int IsWow64();
// Whether the process runs under Wine (its ntdll exports wine_get_version):
// some registry calls there act otherwise than on Windows.
bool IsWineSystem();
// Whether the token's groups hold Administrators (null: the process token).
int IsTokenAdmin(HANDLE hToken);
int IsUserAdmin();

// Bit of the object type: the object is an open handle, not a name.
const int SECURITY_OBJECT_HANDLE = 0x80;

// Results of GetObjectOwner.
enum ObjectOwnerResult {
  OWNER_OK = 0,
  OWNER_NO_SECURITY_INFO = -1,
  OWNER_NO_LOOKUP = -2,
  OWNER_BUFFER_TOO_SMALL = -3,  // a buffer not larger than its name's length
  OWNER_NO_MEMORY = -4,
  OWNER_LOOKUP_FAILED = -5,
};
// The account and domain of the object's owner; buffers (sizes in
// characters) may be null. A handle is passed in place of the name.
int GetObjectOwner(const char* pszObject, int type, char* pszAccount, DWORD nAccountSize, char* pszDomain,
                   DWORD nDomainSize);
int GetObjectOwnerW(const wchar_t* pszObject, int type, wchar_t* pszAccount, DWORD nAccountSize, wchar_t* pszDomain,
                    DWORD nDomainSize);

// "HKEY_LOCAL_MACHINE\x" -> "MACHINE\x" and so on: a pointer into the text.
const char* RegPathToSecurityName(const char* pszPath);
const wchar_t* RegPathToSecurityNameW(const wchar_t* pszPath);

// Everyone gets the rights, Administrators everything; ownership is taken
// when the object refuses. 1 on success.
int SetObjectAccess(const char* pszObject, DWORD rights, int type);
int SetObjectAccessW(const wchar_t* pszObject, DWORD rights, int type);

// 1 on success; 0 also when the token lacks the privilege (error 1300).
int EnableTokenPrivilege(HANDLE hToken, const char* pszPrivilege, int bEnable);

// Format: a COMPUTER_NAME_FORMAT, or COMPUTER_NAME_WORKGROUP for the LAN
// group. The name's length, 0 on failure (the buffer empty).
const int COMPUTER_NAME_WORKGROUP = -1;
int GetComputerNameFmt(char* pszBuffer, int nSize, int format);
int GetComputerNameFmtW(wchar_t* pszBuffer, int nSize, int format);

// The process's image path (size - 2 characters at most), its Wow64 flag
// in the character behind the terminator; 0 on failure.
int GetProcessImagePath(DWORD pid, char* pszBuffer, int nSize);
int GetProcessImagePathW(DWORD pid, wchar_t* pszBuffer, int nSize);
