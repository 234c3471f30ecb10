#include "app/security/securityimports.h"

#include <sddl.h>

#include <string>

namespace {

std::string& LibraryName() {
  static std::string name = "Advapi32.dll";
  return name;
}

struct Imports {
  bool tried = false;
  HMODULE module = nullptr;
};
Imports& State() {
  static Imports s;
  return s;
}

// The function's address, or null with the last error set.
FARPROC Lookup(const char* name) {
  Imports& s = State();
  if (!s.tried) {
    s.tried = true;
    std::wstring wide(LibraryName().begin(), LibraryName().end());
    s.module = LoadLibraryW(wide.c_str());
  }
  if (!s.module) {
    SetLastError(ERROR_DLL_NOT_FOUND);
    return nullptr;
  }
  FARPROC p = GetProcAddress(s.module, name);
  if (!p) SetLastError(ERROR_INVALID_FUNCTION);
  return p;
}

template <typename F>
F Get(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(Lookup(name)));
}

}  // namespace

void SetSecurityImportLibrary(const char* name) {
  LibraryName() = name ? name : "Advapi32.dll";
  Imports& s = State();
  if (s.module) FreeLibrary(s.module);
  s = Imports();
}

BOOL SecConvertSidToStringSidW(PSID sid, LPWSTR* text) {
  typedef BOOL(WINAPI * Fn)(PSID, LPWSTR*);
  Fn f = Get<Fn>("ConvertSidToStringSidW");
  return f ? f(sid, text) : FALSE;
}

DWORD SecFreeInheritedFromArray(PINHERITED_FROMW array, USHORT count) {
  typedef DWORD(WINAPI * Fn)(PINHERITED_FROMW, USHORT, PFN_OBJECT_MGR_FUNCTS);
  Fn f = Get<Fn>("FreeInheritedFromArray");
  return f ? f(array, count, nullptr) : GetLastError();
}

DWORD SecGetInheritanceSourceW(LPWSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION parts, BOOL container, PACL acl,
                               PGENERIC_MAPPING mapping, PINHERITED_FROMW array) {
  typedef DWORD(WINAPI * Fn)(LPWSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, BOOL, GUID**, DWORD, PACL,
                             PFN_OBJECT_MGR_FUNCTS, PGENERIC_MAPPING, PINHERITED_FROMW);
  Fn f = Get<Fn>("GetInheritanceSourceW");
  return f ? f(name, type, parts, container, nullptr, 0, acl, nullptr, mapping, array) : GetLastError();
}

BOOL SecConvertStringSdToSdW(LPCWSTR sddl, PSECURITY_DESCRIPTOR* psd) {
  typedef BOOL(WINAPI * Fn)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  Fn f = Get<Fn>("ConvertStringSecurityDescriptorToSecurityDescriptorW");
  return f ? f(sddl, SDDL_REVISION_1, psd, nullptr) : FALSE;
}

DWORD SecTreeResetNamedSecurityInfoW(LPWSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION parts, PSID owner,
                                     PSID group, PACL dacl, PACL sacl, BOOL keepExplicit) {
  typedef DWORD(WINAPI * Fn)(LPWSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL, BOOL, FN_PROGRESS,
                             PROG_INVOKE_SETTING, PVOID);
  Fn f = Get<Fn>("TreeResetNamedSecurityInfoW");
  return f ? f(name, type, parts, owner, group, dacl, sacl, keepExplicit, nullptr, ProgressInvokeNever, nullptr)
           : GetLastError();
}
