// Functions of Advapi32.dll the permission object looks up at run time.
// When the library cannot be loaded they fail with error 1157, when the
// function is missing with error 1.
#pragma once

#include <windows.h>

#include <aclapi.h>

BOOL SecConvertSidToStringSidW(PSID sid, LPWSTR* text);
DWORD SecFreeInheritedFromArray(PINHERITED_FROMW array, USHORT count);
DWORD SecGetInheritanceSourceW(LPWSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION parts, BOOL container, PACL acl,
                               PGENERIC_MAPPING mapping, PINHERITED_FROMW array);
BOOL SecConvertStringSdToSdW(LPCWSTR sddl, PSECURITY_DESCRIPTOR* psd);
DWORD SecTreeResetNamedSecurityInfoW(LPWSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION parts, PSID owner,
                                     PSID group, PACL dacl, PACL sacl, BOOL keepExplicit);
// The name of the library (NULL: "Advapi32.dll"); forgets what was loaded.
void SetSecurityImportLibrary(const char* name);
