#include "system/listing/netshares.h"

#include "system/listing/neighbourhood.h"

#include <cstring>
#include <string>

namespace {

const ShareCalls kSystemCalls = {NetShareEnum, NetApiBufferFree, GetFileAttributesW};
const ShareCalls* g_calls = &kSystemCalls;

const DWORD kMoreData = ERROR_MORE_DATA;  // 234

bool IsSep(char c) { return c == '\\' || c == '/'; }

// The name whole, then cut: the conversion fails on a short buffer.
int Narrow(const wchar_t* name, char* out, int size) {
  int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return 0;
  std::string all((size_t)n, '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, &all[0], n, nullptr, nullptr);
  int len = (int)strlen(all.c_str());
  if (len > size - 1) len = size - 1;
  memcpy(out, all.data(), (size_t)len);
  out[len] = 0;
  return len + 1;
}

bool Fetch(ShareEnum* e) {
  std::wstring server(e->path, e->prefixLength - 1);  // "\\server"
  LPBYTE buffer = nullptr;
  DWORD read = 0, total = 0, resume = e->resumeHandle;
  NET_API_STATUS status = g_calls->netShareEnum(&server[0], 502, &buffer, MAX_PREFERRED_LENGTH, &read, &total, &resume);
  if (status != 0 && status != kMoreData) {
    if (buffer) g_calls->netApiBufferFree(buffer);
    e->position = e->entriesRead = 0;
    return false;
  }
  e->status = status;
  e->buffer = reinterpret_cast<SHARE_INFO_502*>(buffer);
  e->entriesRead = read;
  e->totalEntries = total;
  e->resumeHandle = resume;
  e->position = 0;
  return true;
}

}  // namespace

void SetShareCalls(const ShareCalls* calls) { g_calls = calls ? calls : &kSystemCalls; }

ShareEnum* OpenShareEnum(const char* pszServerPath) {
  if (!pszServerPath) return nullptr;
  const char* p = pszServerPath;
  for (int i = 0; i < 2 && IsSep(*p); ++i) ++p;
  int n = 0;
  while (p[n] && !IsSep(p[n])) ++n;
  if (n < 1 || n > SHARE_SERVER_MAX) return nullptr;
  ShareEnum* e = static_cast<ShareEnum*>(GlobalAlloc(GPTR, sizeof(ShareEnum)));
  if (!e) return nullptr;
  e->path[0] = e->path[1] = L'\\';
  int w = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, p, n, e->path + 2, SHARE_SERVER_MAX);
  if (w <= 0) {
    GlobalFree(e);
    return nullptr;
  }
  e->path[2 + w] = L'\\';
  e->path[3 + w] = 0;
  e->prefixLength = (uint32_t)(3 + w);
  if (!Fetch(e)) {
    GlobalFree(e);
    return nullptr;
  }
  return e;
}

int NextShare(ShareEnum* e, char* pszName, int nSize) {
  if (nSize < 1 || !pszName) return 0;
  pszName[0] = 0;
  if (!e) return 0;
  for (;;) {
    while (e->buffer && e->position < e->entriesRead) {
      const wchar_t* name = e->buffer[e->position].shi502_netname;
      ++e->position;
      if (!name) continue;
      size_t room = 260 - e->prefixLength - 1;
      size_t len = wcsnlen(name, room + 1);
      if (len > room) continue;
      if (len > 1 && name[len - 1] == L'$') continue;
      memcpy(e->path + e->prefixLength, name, len * sizeof(wchar_t));
      e->path[e->prefixLength + len] = 0;
      DWORD attrs = g_calls->getFileAttributesW(e->path);
      if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) continue;
      return Narrow(name, pszName, nSize);
    }
    if (e->buffer) {
      g_calls->netApiBufferFree(e->buffer);
      e->buffer = nullptr;
    }
    // Another page only when one was announced and the last one held records.
    if (e->status != kMoreData || e->entriesRead == 0) return 0;
    if (!Fetch(e)) return 0;
  }
}

int CloseShareEnum(ShareEnum* e) {
  if (!e) return 0;
  if (e->buffer) g_calls->netApiBufferFree(e->buffer);
  GlobalFree(e);
  return 1;
}

int ResolveNetworkPath(const char* pszPath, char* pszOut, int nSize) {
  if (!pszOut || nSize < 1) return 0;
  pszOut[0] = 0;
  if (nSize < 4 || !pszPath) return 0;
  int length = (int)strlen(pszPath);
  auto copyConverted = [&](const char* from, int n, const char* prefix) {
    int p = prefix ? (int)strlen(prefix) : 0;
    if (p + n > nSize - 1) {
      pszOut[0] = 0;
      return 0;
    }
    if (p) memcpy(pszOut, prefix, (size_t)p);
    for (int i = 0; i < n; ++i) pszOut[p + i] = from[i] == '/' ? '\\' : from[i];
    pszOut[p + n] = 0;
    return p + n;
  };
  if (!(length > 2 && IsSep(pszPath[0]) && IsSep(pszPath[1]))) return copyConverted(pszPath, length, nullptr);
  // The first two components, probed with a directory search: an empty
  // share root or a "\\?\C:" prefix exists too.
  int end = 2, parts = 0;
  while (pszPath[end] && parts < 2) {
    while (pszPath[end] && !IsSep(pszPath[end])) ++end;
    ++parts;
    if (parts < 2 && pszPath[end]) ++end;
  }
  if (end > 512) return 0;
  std::string probe(pszPath, (size_t)end);
  for (char& c : probe) {
    if (c == '/') c = '\\';
  }
  probe += "\\*";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(probe.c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_NO_MORE_FILES) {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return copyConverted(pszPath, length, nullptr);
  }
  // Display names: the neighbourhood itself is the two backslashes.
  const char* rest = pszPath + 2;
  const size_t hoodLength = strlen(NETWORK_NEIGHBOURHOOD_NAME);
  if (_strnicmp(rest, NETWORK_NEIGHBOURHOOD_NAME, hoodLength) == 0 && (!rest[hoodLength] || IsSep(rest[hoodLength]))) {
    const char* after = rest + hoodLength;
    if (*after) ++after;
    if (!*after || strcmp(after, "*") == 0 || strcmp(after, "*.*") == 0) return copyConverted("", 0, "\\\\");
    rest = after;
  }
  // The rest is walked by display names without a final "*" or "*.*"; a
  // file-system folder met on the way gives its real path.
  int n = (int)strlen(rest);
  int last = n;
  while (last > 0 && !IsSep(rest[last - 1])) --last;
  if (strcmp(rest + last, "*") == 0 || strcmp(rest + last, "*.*") == 0) n = last > 0 ? last - 1 : 0;
  {
    CNeighbourhoodWalk walk;
    char real[MAX_PATH];
    if (walk.Walk(rest, n, true, nullptr) && walk.m_plain && walk.Match()->GetPath(real)) {
      int tail = length - (int)(rest - pszPath) - walk.m_rest;
      return copyConverted(rest + walk.m_rest, tail, real);
    }
  }
  return copyConverted(rest, n, "\\\\");
}
