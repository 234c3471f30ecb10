#include "text/web/spliturl.h"

#include "text/numbers/intparse.h"
#include "text/twins.h"
#include "text/web/webdecode.h"

namespace {

constexpr uint32_t kPartDecoding = WEBDEC_UTF8 | WEBDEC_PERCENT;

int DecodePart(const char* s, int n, char* dest, int size) {
  return DecodeWebTextA(s, n, dest, size, kPartDecoding, nullptr);
}
int DecodePart(const wchar_t* s, int n, wchar_t* dest, int size) {
  return DecodeWebTextW(s, n, dest, size, kPartDecoding, nullptr);
}
int ParsePort(const char* s, int n) { return ParseIntNA(s, n, PARSE_AUTO, nullptr); }
int ParsePort(const wchar_t* s, int n) { return ParseIntNW(s, n, PARSE_AUTO, nullptr); }

template <class Char>
bool IsSeparator(Char c) {
  return c == '/' || c == '\\';
}
template <class Char>
bool EndsAuthority(Char c) {
  return IsSeparator(c) || c == '?' || c == '#';
}
template <class Char>
bool IsLetter(Char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
template <class Char>
int FindAuthorityEnd(const Char* s, int from, int n) {
  while (from < n && !EndsAuthority(s[from])) ++from;
  return from;
}

template <class Char>
uint32_t Split(const Char* s, Char* host, int hostSize, Char* user, Char* password, int* port, Char* scheme, Char* path,
               int pathSize, Char* rest, int restSize) {
  // Empty parts for those not found.
  if (host && hostSize > 0) host[0] = 0;
  if (user) user[0] = 0;
  if (password) password[0] = 0;
  if (scheme) scheme[0] = 0;
  if (path && pathSize > 0) path[0] = 0;
  if (rest && restSize > 0) rest[0] = 0;
  if (port) *port = 0;

  const int n = twins::Length(s);
  uint32_t found = 0;
  int authStart = 0;
  int authEnd = FindAuthorityEnd(s, 0, n);
  int pathStart = -1;  // set: a drive path, no host
  if (authEnd > 0 && authEnd + 1 < n && s[authEnd - 1] == ':' && s[authEnd] == '/' && s[authEnd + 1] == '/') {
    found |= URLPART_SCHEME;
    if (scheme) DecodePart(s, authEnd - 1, scheme, URLPART_SCHEME_SIZE);
    authStart = authEnd + 2;
    authEnd = FindAuthorityEnd(s, authStart, n);
  } else if (n >= 2 && IsSeparator(s[0]) && IsSeparator(s[1])) {
    authStart = 2;
    authEnd = FindAuthorityEnd(s, authStart, n);
  }
  // A drive: a letter and ":" (so "a:80" too), unless the ":" separates a
  // one-letter user from a password.
  if (authStart + 1 < n && IsLetter(s[authStart]) && s[authStart + 1] == ':') {
    bool at = false;
    for (int i = authStart; i < authEnd; ++i) at = at || s[i] == '@';
    if (!at) pathStart = authStart;
  }

  if (pathStart < 0) {
    int hostStart = authStart;
    int at = -1;
    for (int i = authStart; i < authEnd; ++i)
      if (s[i] == '@') at = i;
    if (at >= 0) {
      found |= URLPART_USER;
      int colon = authStart;
      while (colon < at && s[colon] != ':') ++colon;
      if (user) DecodePart(s + authStart, colon - authStart, user, URLPART_USER_SIZE);
      if (colon < at) {
        found |= URLPART_PASSWORD;
        if (password) DecodePart(s + colon + 1, at - colon - 1, password, URLPART_PASSWORD_SIZE);
      }
      hostStart = at + 1;
    }
    int hostEnd = hostStart;
    if (hostStart < authEnd && s[hostStart] == '[') {
      while (hostEnd < authEnd && s[hostEnd] != ']') ++hostEnd;
      if (hostEnd < authEnd) ++hostEnd;  // the brackets stay in the host
    } else {
      while (hostEnd < authEnd && s[hostEnd] != ':') ++hostEnd;
    }
    if (hostEnd > hostStart) {
      found |= URLPART_HOST;
      if (host && hostSize > 0) DecodePart(s + hostStart, hostEnd - hostStart, host, hostSize);
    }
    if (hostEnd + 1 < authEnd && s[hostEnd] == ':' && s[hostEnd + 1] >= '0' && s[hostEnd + 1] <= '9') {
      found |= URLPART_PORT;
      if (port) *port = ParsePort(s + hostEnd + 1, authEnd - hostEnd - 1);
    }
    if (authEnd >= n) return found;
    // The path starts after the separator that ended the authority; a "?"
    // or "#" there begins the rest at once.
    pathStart = IsSeparator(s[authEnd]) ? authEnd + 1 : authEnd;
  }

  found |= URLPART_PATH;
  int pathEnd = pathStart;
  while (pathEnd < n && s[pathEnd] != '?' && s[pathEnd] != '#') ++pathEnd;
  if (pathEnd < n) found |= URLPART_REST;
  int pathLength = (rest ? pathEnd : n) - pathStart;
  if (path && pathSize > 0) {
    const Char* p = s + pathStart;
    bool dotted = p[0] == '.' && (pathLength == 1 || (pathLength > 1 && IsSeparator(p[1])));
    int at = 0;
    if (!dotted && pathSize > 1) path[at++] = '/';
    DecodePart(p, pathLength, path + at, pathSize - at);
  }
  if (rest && restSize > 0 && pathEnd < n) DecodePart(s + pathEnd, n - pathEnd, rest, restSize);
  return found;
}

}  // namespace

uint32_t SplitUrlA(const char* text, char* host, int hostSize, char* user, char* password, int* port, char* scheme,
                   char* path, int pathSize, char* rest, int restSize) {
  return Split(text, host, hostSize, user, password, port, scheme, path, pathSize, rest, restSize);
}
uint32_t SplitUrlW(const wchar_t* text, wchar_t* host, int hostSize, wchar_t* user, wchar_t* password, int* port,
                   wchar_t* scheme, wchar_t* path, int pathSize, wchar_t* rest, int restSize) {
  return Split(text, host, hostSize, user, password, port, scheme, path, pathSize, rest, restSize);
}
