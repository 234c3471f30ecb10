#include "system/sysqueries.h"

#include <lm.h>

#include <cstring>

namespace {

// Lazily filled, never released; a race resolves an entry twice, harmlessly.
HMODULE g_kernel;
bool g_wow64Looked;
Wow64Calls g_systemWow64;
const Wow64Calls* g_wow64 = nullptr;
int g_nesting;
PVOID g_savedRedirection;

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);
bool g_isWow64Looked;
IsWow64ProcessFn g_isWow64Process;
int g_wow64Flag = -1;

template <class T>
T Entry(HMODULE module, const char* name) {
  return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE Kernel() {
  if (!g_kernel) g_kernel = GetModuleHandleW(L"KERNEL32");
  return g_kernel;
}

const Wow64Calls& Wow64Entries() {
  if (g_wow64) return *g_wow64;
  if (!g_wow64Looked) {
    g_systemWow64.disable = Entry<BOOL(WINAPI*)(PVOID*)>(Kernel(), "Wow64DisableWow64FsRedirection");
    g_systemWow64.enable = Entry<BOOL(WINAPI*)(BOOLEAN)>(Kernel(), "Wow64EnableWow64FsRedirection");
    g_systemWow64.revert = Entry<BOOL(WINAPI*)(PVOID)>(Kernel(), "Wow64RevertWow64FsRedirection");
    g_wow64Looked = true;
  }
  return g_systemWow64;
}

IsWow64ProcessFn IsWow64Entry() {
  if (!g_isWow64Looked) {
    g_isWow64Process = Entry<IsWow64ProcessFn>(Kernel(), "IsWow64Process");
    g_isWow64Looked = true;
  }
  return g_isWow64Process;
}

// The Wow64 flag of a process; 0 when unknown.
int Wow64FlagOf(HANDLE process) {
  IsWow64ProcessFn fn = IsWow64Entry();
  BOOL flag = FALSE;
  return fn && fn(process, &flag) && flag ? 1 : 0;
}

typedef NET_API_STATUS(WINAPI* NetWkstaGetInfoFn)(LPWSTR, DWORD, LPBYTE*);
typedef NET_API_STATUS(WINAPI* NetApiBufferFreeFn)(LPVOID);
typedef BOOL(WINAPI* GetComputerNameExAFn)(COMPUTER_NAME_FORMAT, LPSTR, LPDWORD);

typedef BOOL(WINAPI* QueryImageNameAFn)(HANDLE, DWORD, LPSTR, PDWORD);
typedef BOOL(WINAPI* QueryImageNameWFn)(HANDLE, DWORD, LPWSTR, PDWORD);
typedef DWORD(WINAPI* ModuleFileNameExAFn)(HANDLE, HMODULE, LPSTR, DWORD);
typedef DWORD(WINAPI* ModuleFileNameExWFn)(HANDLE, HMODULE, LPWSTR, DWORD);

HMODULE Psapi() {
  static HMODULE module;
  if (!module) module = GetModuleHandleW(L"Psapi.dll");
  if (!module) module = LoadLibraryW(L"Psapi.dll");
  return module;
}

struct ImageCalls {
  QueryImageNameAFn queryA;
  QueryImageNameWFn queryW;
  ModuleFileNameExAFn moduleA;
  ModuleFileNameExWFn moduleW;
};

const ImageCalls& ImageEntries() {
  static ImageCalls calls;
  static bool looked;
  if (!looked) {
    calls.queryA = Entry<QueryImageNameAFn>(Kernel(), "QueryFullProcessImageNameA");
    calls.queryW = Entry<QueryImageNameWFn>(Kernel(), "QueryFullProcessImageNameW");
    HMODULE psapi = Psapi();
    calls.moduleA = Entry<ModuleFileNameExAFn>(psapi, "GetModuleFileNameExA");
    calls.moduleW = Entry<ModuleFileNameExWFn>(psapi, "GetModuleFileNameExW");
    IsWow64Entry();
    looked = true;
  }
  return calls;
}

inline DWORD QueryImage(const ImageCalls& c, HANDLE h, char* buf, DWORD size, bool* available) {
  *available = c.queryA != nullptr;
  DWORD n = size;
  return c.queryA && c.queryA(h, 0, buf, &n) ? n : 0;
}
inline DWORD QueryImage(const ImageCalls& c, HANDLE h, wchar_t* buf, DWORD size, bool* available) {
  *available = c.queryW != nullptr;
  DWORD n = size;
  return c.queryW && c.queryW(h, 0, buf, &n) ? n : 0;
}
inline bool ModuleImage(const ImageCalls& c, HANDLE h, char* buf, DWORD size, DWORD* n) {
  if (!c.moduleA) return false;
  *n = c.moduleA(h, nullptr, buf, size);
  return true;
}
inline bool ModuleImage(const ImageCalls& c, HANDLE h, wchar_t* buf, DWORD size, DWORD* n) {
  if (!c.moduleW) return false;
  *n = c.moduleW(h, nullptr, buf, size);
  return true;
}

template <class C>
int ImagePath(DWORD pid, C* buffer, int size) {
  if (size <= 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    if (size >= 1 && buffer) buffer[0] = 0;
    return 0;
  }
  const ImageCalls& calls = ImageEntries();
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!h) return 0;
  DWORD room = (DWORD)(size - 2);
  bool available = false;
  DWORD n = QueryImage(calls, h, buffer, room, &available);
  if (n == 0) {
    if (ModuleImage(calls, h, buffer, room, &n)) {
      if (n < 1 || n >= room) n = 0;
      buffer[n] = 0;
    } else {
      SetLastError(ERROR_NOT_SUPPORTED);
      buffer[0] = 0;
      n = 0;
    }
  }
  buffer[n + 1] = (C)Wow64FlagOf(h);
  CloseHandle(h);
  return (int)n;
}

}  // namespace

void SetWow64Calls(const Wow64Calls* calls) {
  g_wow64 = calls;
  g_nesting = 0;
}

int SetWow64FsRedirection(int mode) {
  const Wow64Calls& calls = Wow64Entries();
  if (mode != 0) {
    if (++g_nesting == 1) {
      if (mode > 0) return calls.disable ? calls.disable(&g_savedRedirection) : 0;
      return calls.enable ? calls.enable(TRUE) : 0;
    }
    bool present = mode > 0 ? calls.disable != nullptr : calls.enable != nullptr;
    return present ? g_nesting : 0;
  }
  if (g_nesting > 0 && --g_nesting == 0) return calls.revert ? calls.revert(g_savedRedirection) : 0;
  return calls.revert ? 1 : 0;
}

int IsWow64() {
  if (g_wow64Flag < 0) g_wow64Flag = Wow64FlagOf(GetCurrentProcess());
  return g_wow64Flag;
}

bool IsWineSystem() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

int GetComputerNameFmt(char* pszBuffer, int nSize, int format) {
  if (nSize < 1 || !pszBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  pszBuffer[0] = 0;
  if (format == COMPUTER_NAME_WORKGROUP) {
    static HMODULE netapi;
    if (!netapi) netapi = GetModuleHandleA("NETAPI32");
    if (!netapi) netapi = LoadLibraryA("NETAPI32");
    auto getInfo = Entry<NetWkstaGetInfoFn>(netapi, "NetWkstaGetInfo");
    auto freeBuffer = Entry<NetApiBufferFreeFn>(netapi, "NetApiBufferFree");
    if (!getInfo || !freeBuffer) {
      SetLastError(ERROR_PROC_NOT_FOUND);
      return 0;
    }
    LPBYTE info = nullptr;
    if (getInfo(nullptr, 100, &info) != 0 || !info) return 0;
    const wchar_t* group = reinterpret_cast<WKSTA_INFO_100*>(info)->wki100_langroup;
    int length = -1;
    if (group) {
      for (int i = 0; i < nSize - 1; ++i) {
        pszBuffer[i] = (char)group[i];
        if (!group[i]) {
          length = i;
          break;
        }
      }
    }
    freeBuffer(info);
    if (length < 0) {
      pszBuffer[0] = 0;
      if (group) SetLastError(ERROR_BUFFER_OVERFLOW);
      return 0;
    }
    return length;
  }
  auto getName = Entry<GetComputerNameExAFn>(Kernel(), "GetComputerNameExA");
  if (!getName) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return 0;
  }
  DWORD n = (DWORD)nSize;
  if (!getName((COMPUTER_NAME_FORMAT)format, pszBuffer, &n)) {
    pszBuffer[0] = 0;
    return 0;
  }
  return (int)n;
}

int GetComputerNameFmtW(wchar_t* pszBuffer, int nSize, int format) {
  if (nSize < 1 || !pszBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  char* narrow = reinterpret_cast<char*>(pszBuffer);
  int n = GetComputerNameFmt(narrow, nSize, format);
  // Widened in place from the end, each byte zero-extended.
  for (int i = n; i >= 0; --i) pszBuffer[i] = (wchar_t)(unsigned char)narrow[i];
  return n;
}

int GetProcessImagePath(DWORD pid, char* pszBuffer, int nSize) { return ImagePath(pid, pszBuffer, nSize); }
int GetProcessImagePathW(DWORD pid, wchar_t* pszBuffer, int nSize) { return ImagePath(pid, pszBuffer, nSize); }
