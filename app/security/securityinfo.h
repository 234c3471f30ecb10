// The access-control editor's callback object for registry keys (and file
// objects): names the object, lists the rights in German, reads and writes
// its security descriptor, and reports inheritance and effective rights.
#pragma once

#include <windows.h>

#include <aclui.h>

class CSecurityInfo final : public ISecurityInformation, public ISecurityObjectTypeInfo, public IEffectivePermission {
 public:
  CSecurityInfo();

  // One or several objects; type 1 file objects, 4 registry keys. Root
  // names of registry paths become the security API's ("MACHINE\...").
  bool SetObjects(HWND owner, const char* const* names, int count, SE_OBJECT_TYPE type);
  // 1: editable (0x200B3 for the flags made at construction), else read-only.
  void SetEditFlags(int editable);

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  // ISecurityInformation
  STDMETHOD(GetObjectInformation)(PSI_OBJECT_INFO pInfo) override;
  STDMETHOD(GetSecurity)(SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR* ppsd, BOOL fDefault) override;
  STDMETHOD(SetSecurity)(SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR psd) override;
  STDMETHOD(GetAccessRights)
  (const GUID* type, DWORD flags, PSI_ACCESS* ppAccess, ULONG* pcAccess, ULONG* piDefault) override;
  STDMETHOD(MapGeneric)(const GUID* type, UCHAR* pAceFlags, ACCESS_MASK* pMask) override;
  STDMETHOD(GetInheritTypes)(PSI_INHERIT_TYPE* ppTypes, ULONG* pcTypes) override;
  STDMETHOD(PropertySheetPageCallback)(HWND hwnd, UINT msg, SI_PAGE_TYPE page) override;
  // Two entries after the interface's own that no query hands out.
  STDMETHOD(Reserved1)() { return E_NOTIMPL; }
  virtual BOOL STDMETHODCALLTYPE Reserved2() { return TRUE; }
  // ISecurityObjectTypeInfo
  STDMETHOD(GetInheritSource)(SECURITY_INFORMATION parts, PACL acl, PINHERITED_FROM* ppInherit) override;
  // IEffectivePermission
  STDMETHOD(GetEffectivePermission)
  (const GUID* type, PSID user, LPCWSTR server, PSECURITY_DESCRIPTOR psd, POBJECT_TYPE_LIST* ppTypes, ULONG* pcTypes,
   PACCESS_MASK* ppGranted, ULONG* pcGranted) override;

  // State the tests read.
  LONG RefCount() const { return m_refs; }
  int ObjectCount() const { return m_count; }
  const wchar_t* ObjectName(int i) const { return i >= 0 && i < m_count ? m_names[i] : nullptr; }
  DWORD Flags() const { return m_flags; }
  int Confirmation() const { return m_confirm; }

  // The default descriptor's SDDL text for a name.
  static void DefaultSddl(const wchar_t* name, wchar_t* sddl, int size);
  // Test seams: library names (NULL: the system's), cleared cache.
  static void SetLibraryNames(const char* advapi, const char* aclui);

 private:
  ~CSecurityInfo();
  void FreeNames();
  DWORD ApplyTo(const wchar_t* name, SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR psd);

  volatile LONG m_refs = 1;
  int m_count = 0;
  int m_confirm = 2;  // 2 ask, 1 keep explicit child ACLs, 0 do not
  HWND m_owner = nullptr;
  DWORD m_flags = 0x2007B;
  wchar_t* m_server = nullptr;
  wchar_t** m_names = nullptr;
  SE_OBJECT_TYPE m_type = SE_REGISTRY_KEY;
};

// Shows the system's access-control editor for a key (type 4) or a file
// (type 1). False when the editor could not be loaded or reported failure.
BOOL EditKeyPermissions(HWND owner, const char* path, SE_OBJECT_TYPE type);

// The security API's name of a registry path: widened from the ANSI code
// page, "/" as "\", the root as "MACHINE", "CURRENT_USER", ...
void RegPathToSecurityObjectName(const char* path, wchar_t* out, int size);
