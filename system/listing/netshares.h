// Network side of the directory listing: the shares of a server, and the
// absolute form of a network path (walking the neighbourhood by display names).
#pragma once

#include <windows.h>

#include <lm.h>

#include <cstdint>

// One share enumeration (548 bytes in the 32-bit program).
struct ShareEnum {
  uint32_t status;         // of the last NetShareEnum: 0, or 234 when more waits
  SHARE_INFO_502* buffer;  // freed with NetApiBufferFree
  uint32_t entriesRead;
  uint32_t totalEntries;
  uint32_t resumeHandle;
  uint32_t position;      // next record of the buffer
  uint32_t prefixLength;  // of "\\server\"
  wchar_t path[260];      // "\\server\" and the share being tested
};

// The longest server name.
const int SHARE_SERVER_MAX = 64;

// Null when the server's shares cannot be listed.
ShareEnum* OpenShareEnum(const char* pszServerPath);
// The next reachable share that is no hidden one ("x$"); the bytes written
// with the NUL, 0 at the end.
int NextShare(ShareEnum* pEnum, char* pszName, int nSize);
int CloseShareEnum(ShareEnum* pEnum);

// The share calls, for tests (null: netapi32's and kernel32's own).
struct ShareCalls {
  NET_API_STATUS(WINAPI* netShareEnum)
  (LMSTR server, DWORD level, LPBYTE* buffer, DWORD preferred, LPDWORD read, LPDWORD total, LPDWORD resume);
  NET_API_STATUS(WINAPI* netApiBufferFree)(LPVOID buffer);
  DWORD(WINAPI* getFileAttributesW)(LPCWSTR path);
};
void SetShareCalls(const ShareCalls* calls);

// The display name of the network neighbourhood.
#define NETWORK_NEIGHBOURHOOD_NAME "Netzwerksumgebung"

// The absolute network form of a path ("//srv/x" -> "\\srv\x"); its length,
// 0 with an empty destination when it does not fit. A path that a directory
// search finds is taken at once; a neighbourhood path of display names
// stays in its two-backslash form.
int ResolveNetworkPath(const char* pszPath, char* pszOut, int nSize);
