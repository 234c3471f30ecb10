#include <aclapi.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "system/sysqueries.h"

namespace {

SID_IDENTIFIER_AUTHORITY kNtAuthority = SECURITY_NT_AUTHORITY;
SID_IDENTIFIER_AUTHORITY kWorldAuthority = SECURITY_WORLD_SID_AUTHORITY;

PSID AdministratorsSid() {
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&kNtAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                0, &sid))
    return nullptr;
  return sid;
}
PSID EveryoneSid() {
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&kWorldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid)) return nullptr;
  return sid;
}

// Frees on every way out.
struct SidHolder {
  PSID sid;
  ~SidHolder() {
    if (sid) FreeSid(sid);
  }
};
struct LocalHolder {
  HLOCAL p;
  ~LocalHolder() {
    if (p) LocalFree(p);
  }
};

template <class C>
bool StartsNoCase(const C* s, const char* prefix) {
  for (; *prefix; ++s, ++prefix) {
    C c = *s;
    if (c >= 'a' && c <= 'z') c = (C)(c - 32);
    if (c != (C)*prefix) return false;
  }
  return true;
}

template <class C>
const C* SecurityName(const C* path) {
  if (!path) return nullptr;
  if (!StartsNoCase(path, "HKEY_")) return path;
  path += 5;
  if (StartsNoCase(path, "LOCAL_")) path += 6;
  if (StartsNoCase(path, "CURRENT_C")) path += 8;
  return path;
}

// The security API's name of an object: for a key its security name with
// the root in capitals (the API takes no other on some systems).
template <class C>
std::basic_string<C> ObjectName(const C* name, int type) {
  if (type != SE_REGISTRY_KEY) return name;
  std::basic_string<C> s(SecurityName(name));
  for (C& c : s) {
    if (c == '\\' || c == '/') break;
    if (c >= 'a' && c <= 'z') c = (C)(c - 32);
  }
  return s;
}

inline DWORD NamedInfo(const char* n, SE_OBJECT_TYPE t, SECURITY_INFORMATION i, PSID* o, PACL* d,
                       PSECURITY_DESCRIPTOR* sd) {
  return GetNamedSecurityInfoA(n, t, i, o, nullptr, d, nullptr, sd);
}
inline DWORD NamedInfo(const wchar_t* n, SE_OBJECT_TYPE t, SECURITY_INFORMATION i, PSID* o, PACL* d,
                       PSECURITY_DESCRIPTOR* sd) {
  return GetNamedSecurityInfoW(n, t, i, o, nullptr, d, nullptr, sd);
}
inline DWORD SetNamedInfo(const char* n, SE_OBJECT_TYPE t, SECURITY_INFORMATION i, PSID o, PACL d) {
  return SetNamedSecurityInfoA(const_cast<char*>(n), t, i, o, nullptr, d, nullptr);
}
inline DWORD SetNamedInfo(const wchar_t* n, SE_OBJECT_TYPE t, SECURITY_INFORMATION i, PSID o, PACL d) {
  return SetNamedSecurityInfoW(const_cast<wchar_t*>(n), t, i, o, nullptr, d, nullptr);
}
inline BOOL LookupSid(PSID sid, char* a, DWORD* na, char* d, DWORD* nd, SID_NAME_USE* use) {
  return LookupAccountSidA(nullptr, sid, a, na, d, nd, use);
}
inline BOOL LookupSid(PSID sid, wchar_t* a, DWORD* na, wchar_t* d, DWORD* nd, SID_NAME_USE* use) {
  return LookupAccountSidW(nullptr, sid, a, na, d, nd, use);
}

template <class C>
int Owner(const C* object, int type, C* account, DWORD accountSize, C* domain, DWORD domainSize) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  DWORD error;
  SE_OBJECT_TYPE objectType = (SE_OBJECT_TYPE)(type & ~SECURITY_OBJECT_HANDLE);
  if (type & SECURITY_OBJECT_HANDLE) {
    error =
        GetSecurityInfo((HANDLE)object, objectType, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &sd);
  } else {
    if (!object) return OWNER_NO_SECURITY_INFO;
    error =
        NamedInfo(ObjectName(object, objectType).c_str(), objectType, OWNER_SECURITY_INFORMATION, &owner, nullptr, &sd);
  }
  LocalHolder sdHolder{sd};
  if (error != ERROR_SUCCESS || !owner) return OWNER_NO_SECURITY_INFO;
  DWORD na = 0, nd = 0;
  SID_NAME_USE use;
  if (!LookupSid(owner, (C*)nullptr, &na, (C*)nullptr, &nd, &use) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return OWNER_NO_LOOKUP;
  if ((account && accountSize <= na) || (domain && domainSize <= nd)) return OWNER_BUFFER_TOO_SMALL;
  HGLOBAL ha = GlobalAlloc(GMEM_FIXED, (na + 1) * sizeof(C));
  HGLOBAL hd = GlobalAlloc(GMEM_FIXED, (nd + 1) * sizeof(C));
  int result = OWNER_NO_MEMORY;
  if (ha && hd) {
    C* a = static_cast<C*>(ha);
    C* d = static_cast<C*>(hd);
    a[0] = d[0] = 0;
    DWORD la = na + 1, ld = nd + 1;
    if (!LookupSid(owner, a, &la, d, &ld, &use)) {
      result = OWNER_LOOKUP_FAILED;
    } else {
      // Bounded by both the lookup's buffers and the caller's.
      a[na] = d[nd] = 0;
      if (account) {
        DWORD i = 0;
        for (; i + 1 < accountSize && a[i]; ++i) account[i] = a[i];
        account[i] = 0;
      }
      if (domain) {
        DWORD i = 0;
        for (; i + 1 < domainSize && d[i]; ++i) domain[i] = d[i];
        domain[i] = 0;
      }
      result = OWNER_OK;
    }
  }
  if (ha) GlobalFree(ha);
  if (hd) GlobalFree(hd);
  return result;
}

// Sets the access list of a name or handle; the Win32 error.
template <class C>
DWORD ApplyAcl(const C* object, int type, PACL acl, PSID owner) {
  SE_OBJECT_TYPE objectType = (SE_OBJECT_TYPE)(type & ~SECURITY_OBJECT_HANDLE);
  SECURITY_INFORMATION info = owner ? OWNER_SECURITY_INFORMATION : DACL_SECURITY_INFORMATION;
  if (type & SECURITY_OBJECT_HANDLE)
    return SetSecurityInfo((HANDLE)object, objectType, info, owner, nullptr, owner ? nullptr : acl, nullptr);
  return SetNamedInfo(ObjectName(object, objectType).c_str(), objectType, info, owner, owner ? nullptr : acl);
}

template <class C>
int Access(const C* object, DWORD rights, int type) {
  if (!object) return 0;
  SidHolder everyone{EveryoneSid()}, admins{AdministratorsSid()};
  if (!everyone.sid || !admins.sid) return 0;
  EXPLICIT_ACCESSW entries[2];
  memset(entries, 0, sizeof entries);
  entries[0].grfAccessPermissions = rights;
  entries[0].grfAccessMode = SET_ACCESS;
  entries[0].grfInheritance = NO_INHERITANCE;
  entries[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entries[0].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  entries[0].Trustee.ptstrName = (LPWSTR)everyone.sid;
  entries[1] = entries[0];
  entries[1].grfAccessPermissions = GENERIC_ALL;
  entries[1].Trustee.TrusteeType = TRUSTEE_IS_GROUP;
  entries[1].Trustee.ptstrName = (LPWSTR)admins.sid;
  PACL acl = nullptr;
  if (SetEntriesInAclW(2, entries, nullptr, &acl) != ERROR_SUCCESS) return 0;
  LocalHolder aclHolder{acl};
  DWORD error = ApplyAcl(object, type, acl, nullptr);
  if (error == ERROR_SUCCESS) return 1;
  if (error != ERROR_ACCESS_DENIED) return 0;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return 0;
  bool ok = EnableTokenPrivilege(token, "SeTakeOwnershipPrivilege", 1) != 0;
  ok = ok && ApplyAcl(object, type, nullptr, admins.sid) == ERROR_SUCCESS;
  ok = EnableTokenPrivilege(token, "SeTakeOwnershipPrivilege", 0) != 0 && ok;
  ok = ok && ApplyAcl(object, type, acl, nullptr) == ERROR_SUCCESS;
  CloseHandle(token);
  return ok ? 1 : 0;
}

}  // namespace

int IsTokenAdmin(HANDLE hToken) {
  HANDLE own = nullptr;
  if (!hToken) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_QUERY_SOURCE, &own)) return 0;
    hToken = own;
  }
  alignas(8) BYTE buffer[4096];
  DWORD needed = 0;
  BOOL ok = GetTokenInformation(hToken, TokenGroups, buffer, sizeof buffer, &needed);
  if (own) CloseHandle(own);
  if (!ok) return 0;
  SidHolder admins{AdministratorsSid()};
  if (!admins.sid) return 0;
  const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    if (EqualSid(groups->Groups[i].Sid, admins.sid)) return 1;
  }
  return 0;
}

int IsUserAdmin() {
  typedef BOOL(WINAPI * CheckMembershipFn)(HANDLE, PSID, PBOOL);
  static CheckMembershipFn check;
  if (!check) {
    HMODULE advapi = LoadLibraryA("Advapi32.dll");
    if (advapi)
      check =
          reinterpret_cast<CheckMembershipFn>(reinterpret_cast<void*>(GetProcAddress(advapi, "CheckTokenMembership")));
  }
  SidHolder admins{AdministratorsSid()};
  BOOL member = FALSE;
  if (!check || !admins.sid || !check(nullptr, admins.sid, &member)) return 0;
  return member ? 1 : 0;
}

int GetObjectOwner(const char* pszObject, int type, char* pszAccount, DWORD nAccountSize, char* pszDomain,
                   DWORD nDomainSize) {
  return Owner(pszObject, type, pszAccount, nAccountSize, pszDomain, nDomainSize);
}
int GetObjectOwnerW(const wchar_t* pszObject, int type, wchar_t* pszAccount, DWORD nAccountSize, wchar_t* pszDomain,
                    DWORD nDomainSize) {
  return Owner(pszObject, type, pszAccount, nAccountSize, pszDomain, nDomainSize);
}
const char* RegPathToSecurityName(const char* pszPath) { return SecurityName(pszPath); }
const wchar_t* RegPathToSecurityNameW(const wchar_t* pszPath) { return SecurityName(pszPath); }
int SetObjectAccess(const char* pszObject, DWORD rights, int type) { return Access(pszObject, rights, type); }
int SetObjectAccessW(const wchar_t* pszObject, DWORD rights, int type) { return Access(pszObject, rights, type); }

int EnableTokenPrivilege(HANDLE hToken, const char* pszPrivilege, int bEnable) {
  TOKEN_PRIVILEGES tp;
  tp.PrivilegeCount = 1;
  if (!LookupPrivilegeValueA(nullptr, pszPrivilege, &tp.Privileges[0].Luid)) return 0;
  tp.Privileges[0].Attributes = bEnable ? SE_PRIVILEGE_ENABLED : 0;
  if (!AdjustTokenPrivileges(hToken, FALSE, &tp, sizeof tp, nullptr, nullptr)) return 0;
  return GetLastError() == ERROR_NOT_ALL_ASSIGNED ? 0 : 1;
}
