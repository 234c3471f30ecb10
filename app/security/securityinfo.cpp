#include "app/security/securityinfo.h"

#include <shlobj.h>

#include <cwchar>
#include <string>

#include "app/security/securityimports.h"
#include "app/security/securitytables.h"

namespace {
// Mpr.dll is loaded when a network drive first needs its server, not with
// the program.
DWORD NetConnectionOf(LPCWSTR drive, LPWSTR server, LPDWORD length) {
  typedef DWORD(WINAPI * GetConnectionFn)(LPCWSTR, LPWSTR, LPDWORD);
  static const GetConnectionFn getConnection = [] {
    HMODULE module = LoadLibraryA("mpr.dll");
    return module ? (GetConnectionFn)(void*)GetProcAddress(module, "WNetGetConnectionW") : nullptr;
  }();
  return getConnection ? getConnection(drive, server, length) : ERROR_NOT_CONNECTED;
}

const DWORD kTreeRequest = 0xC000;      // the editor's reset-the-children bits
const DWORD kTreeRequestBits = 0xC100;  // masked off before the system call
const DWORD kEditableFlags = 0x83;
const DWORD kReadOnlyFlags = SI_READONLY | SI_OWNER_READONLY;

std::string& AcluiName() {
  static std::string name = "AcLui.dll";
  return name;
}

POINT g_pagePos;
bool g_pagePosSet = false;

HRESULT FromWin32(DWORD code) { return code ? (HRESULT)(0x80070000 | (code & 0xFFFF)) : S_OK; }

wchar_t* LocalDup(const wchar_t* s) {
  size_t n = wcslen(s) + 1;
  wchar_t* p = (wchar_t*)LocalAlloc(LMEM_FIXED, n * sizeof(wchar_t));
  if (p) memcpy(p, s, n * sizeof(wchar_t));
  return p;
}

struct RootForm {
  const wchar_t* longName;
  const wchar_t* shortName;
};
const RootForm kRootForms[] = {{L"HKEY_CLASSES_ROOT", L"CLASSES_ROOT"},
                               {L"HKEY_CURRENT_USER", L"CURRENT_USER"},
                               {L"HKEY_LOCAL_MACHINE", L"MACHINE"},
                               {L"HKEY_CURRENT_CONFIG", L"CONFIG"},
                               {L"HKEY_USERS", L"USERS"}};

// "O:<owner>G:<group>" of the process token, "O:BAG:BA" when unreadable.
std::wstring ProcessOwnerGroup() {
  std::wstring out = L"O:BAG:BA";
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return out;
  BYTE owner[256], group[256];
  DWORD n;
  LPWSTR o = nullptr, g = nullptr;
  if (GetTokenInformation(token, TokenOwner, owner, sizeof owner, &n) &&
      GetTokenInformation(token, TokenPrimaryGroup, group, sizeof group, &n) &&
      SecConvertSidToStringSidW(((TOKEN_OWNER*)owner)->Owner, &o) &&
      SecConvertSidToStringSidW(((TOKEN_PRIMARY_GROUP*)group)->PrimaryGroup, &g))
    out = std::wstring(L"O:") + o + L"G:" + g;
  if (o) LocalFree(o);
  if (g) LocalFree(g);
  CloseHandle(token);
  return out;
}

}  // namespace

void RegPathToSecurityObjectName(const char* path, wchar_t* out, int size) {
  if (size < 1) return;
  int n = MultiByteToWideChar(CP_ACP, 0, path ? path : "", -1, out, size);
  if (n <= 0) out[0] = 0;
  out[size - 1] = 0;
  for (wchar_t* p = out; *p; ++p)
    if (*p == L'/') *p = L'\\';
  if (out[0] != L'H' && out[0] != L'h') return;
  for (const RootForm& r : kRootForms) {
    size_t len = wcslen(r.longName);
    if (_wcsnicmp(out, r.longName, len) != 0 || (out[len] && out[len] != L'\\')) continue;
    std::wstring rest = out + len;
    std::wstring whole = std::wstring(r.shortName) + rest;
    lstrcpynW(out, whole.c_str(), size);
    return;
  }
}

CSecurityInfo::CSecurityInfo() = default;

CSecurityInfo::~CSecurityInfo() { FreeNames(); }

void CSecurityInfo::FreeNames() {
  for (int i = 0; i < m_count; ++i) LocalFree(m_names[i]);
  if (m_names) LocalFree(m_names);
  if (m_server) LocalFree(m_server);
  m_names = nullptr;
  m_server = nullptr;
  m_count = 0;
}

bool CSecurityInfo::SetObjects(HWND owner, const char* const* names, int count, SE_OBJECT_TYPE type) {
  FreeNames();
  m_owner = owner;
  m_type = type;
  if (count < 0) count = 0;
  m_names = (wchar_t**)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, (count + 1) * sizeof(wchar_t*));
  if (!m_names) return false;
  wchar_t buf[1024];
  for (int i = 0; i < count; ++i) {
    if (type == SE_REGISTRY_KEY) {
      RegPathToSecurityObjectName(names[i], buf, 1024);
    } else {
      if (MultiByteToWideChar(CP_ACP, 0, names[i], -1, buf, 1024) <= 0) buf[0] = 0;
      buf[1023] = 0;
      for (wchar_t* p = buf; *p; ++p)
        if (*p == L'/') *p = L'\\';
    }
    m_names[i] = LocalDup(buf);
    if (!m_names[i]) return false;
    m_count = i + 1;
  }
  wchar_t server[MAX_PATH] = L"";
  if (type == SE_FILE_OBJECT && count > 0 && m_names[0][0] && m_names[0][1] == L':') {
    wchar_t drive[4] = {m_names[0][0], L':', L'\\', 0};
    if (GetDriveTypeW(drive) == DRIVE_REMOTE) {
      drive[2] = 0;
      DWORD n = MAX_PATH;
      if (NetConnectionOf(drive, server, &n) != NO_ERROR) server[0] = 0;
    }
  }
  m_server = LocalDup(server);
  return true;
}

void CSecurityInfo::SetEditFlags(int editable) {
  if (editable == 1)
    m_flags = (m_flags & ~0xFFu) | ((m_flags & 0xB7) | kEditableFlags);
  else
    m_flags |= kReadOnlyFlags;
}

// --- IUnknown -----------------------------------------------------------------

STDMETHODIMP CSecurityInfo::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISecurityInformation))
    *ppv = static_cast<ISecurityInformation*>(this);
  else if (IsEqualIID(riid, IID_ISecurityObjectTypeInfo))
    *ppv = static_cast<ISecurityObjectTypeInfo*>(this);
  else if (IsEqualIID(riid, IID_IEffectivePermission))
    *ppv = static_cast<IEffectivePermission*>(this);
  else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CSecurityInfo::AddRef() { return (ULONG)InterlockedIncrement(&m_refs); }

STDMETHODIMP_(ULONG) CSecurityInfo::Release() {
  LONG n = InterlockedDecrement(&m_refs);
  if (n == 0) delete this;
  // A caller releasing once too often gets 0, not a second delete.
  return n > 0 ? (ULONG)n : 0;
}

// --- ISecurityInformation -------------------------------------------------------

STDMETHODIMP CSecurityInfo::GetObjectInformation(PSI_OBJECT_INFO pInfo) {
  if (!pInfo) return E_POINTER;
  pInfo->dwFlags = m_flags;
  pInfo->hInstance = nullptr;
  pInfo->pszServerName = m_server;
  pInfo->pszPageTitle = nullptr;
  if (m_count == 1) {
    wchar_t* name = m_names[0];
    wchar_t* comp = name;
    for (wchar_t* p = name; *p; ++p)
      if (*p == L'\\' || *p == 0x202F) comp = p + 1;
    // A drive or a bare root shows whole.
    if (wcslen(comp) < 4 && comp > name && (comp[-1] == L':' || comp[-1] == L'\\' || comp[-1] == L'/') &&
        wcslen(name) < 4)
      comp = name;
    if (!*comp) comp = name;
    pInfo->pszObjectName = comp;
  } else {
    static wchar_t multiple[] = L"Multiple Objects";
    pInfo->pszObjectName = multiple;
  }
  return S_OK;
}

void CSecurityInfo::DefaultSddl(const wchar_t* name, wchar_t* sddl, int size) {
  std::wstring text;
  if (wcslen(name) >= 3) {
    text = ProcessOwnerGroup() +
           L"S:D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;CI;LC;;;BU)(A;;0x1200a9;;;AU)";
  } else {
    std::wstring parent = name;
    size_t cut = parent.find_last_of(L"\\/");
    parent = cut == std::wstring::npos ? std::wstring() : parent.substr(0, cut);
    PSID owner = nullptr, group = nullptr;
    PSECURITY_DESCRIPTOR psd = nullptr;
    LPWSTR o = nullptr, g = nullptr;
    if (!parent.empty() &&
        GetNamedSecurityInfoW(&parent[0], SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION,
                              &owner, &group, nullptr, nullptr, &psd) == ERROR_SUCCESS &&
        SecConvertSidToStringSidW(owner, &o) && SecConvertSidToStringSidW(group, &g))
      text = std::wstring(L"O:") + o + L"G:" + g;
    else
      text = ProcessOwnerGroup();
    if (o) LocalFree(o);
    if (g) LocalFree(g);
    if (psd) LocalFree(psd);
    text += L"S:ARAID:ARAI";
  }
  lstrcpynW(sddl, text.c_str(), size);
}

STDMETHODIMP CSecurityInfo::GetSecurity(SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR* ppsd, BOOL fDefault) {
  if (!ppsd) return E_POINTER;
  *ppsd = nullptr;
  wchar_t empty[1] = L"";
  wchar_t* name = m_count ? m_names[0] : empty;
  if (fDefault) {
    wchar_t sddl[256];
    DefaultSddl(name, sddl, 256);
    if (!SecConvertStringSdToSdW(sddl, ppsd)) {
      *ppsd = nullptr;
      return FromWin32(GetLastError());
    }
    return S_OK;
  }
  DWORD e = GetNamedSecurityInfoW(name, m_type, parts, nullptr, nullptr, nullptr, nullptr, ppsd);
  if (e != ERROR_SUCCESS) *ppsd = nullptr;
  return FromWin32(e);
}

DWORD CSecurityInfo::ApplyTo(const wchar_t* name, SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR psd) {
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision;
  GetSecurityDescriptorControl(psd, &control, &revision);
  SECURITY_INFORMATION apply = parts & ~kTreeRequestBits;
  if (parts & DACL_SECURITY_INFORMATION) {
    if (control & SE_DACL_PROTECTED) apply |= PROTECTED_DACL_SECURITY_INFORMATION;
    if (control & SE_DACL_AUTO_INHERIT_REQ) apply |= UNPROTECTED_DACL_SECURITY_INFORMATION;
  }
  if (parts & SACL_SECURITY_INFORMATION) {
    if (control & SE_SACL_PROTECTED) apply |= PROTECTED_SACL_SECURITY_INFORMATION;
    if (control & SE_SACL_AUTO_INHERIT_REQ) apply |= UNPROTECTED_SACL_SECURITY_INFORMATION;
  }
  PSID owner = nullptr, group = nullptr;
  PACL dacl = nullptr, sacl = nullptr;
  BOOL present, defaulted;
  if (parts & OWNER_SECURITY_INFORMATION) GetSecurityDescriptorOwner(psd, &owner, &defaulted);
  if (parts & GROUP_SECURITY_INFORMATION) GetSecurityDescriptorGroup(psd, &group, &defaulted);
  if (parts & DACL_SECURITY_INFORMATION) GetSecurityDescriptorDacl(psd, &present, &dacl, &defaulted);
  if (parts & SACL_SECURITY_INFORMATION) GetSecurityDescriptorSacl(psd, &present, &sacl, &defaulted);
  std::wstring n = name;
  if (m_type == SE_FILE_OBJECT && (parts & kTreeRequestBits)) {
    DWORD attr = GetFileAttributesW(name);
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) && !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
      return SecTreeResetNamedSecurityInfoW(&n[0], m_type, apply, owner, group, dacl, sacl, m_confirm == 1);
  }
  return SetNamedSecurityInfoW(&n[0], m_type, apply, owner, group, dacl, sacl);
}

STDMETHODIMP CSecurityInfo::SetSecurity(SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR psd) {
  if (!psd || !IsValidSecurityDescriptor(psd)) return E_POINTER;
  if (m_flags & SI_READONLY) return E_ACCESSDENIED;
  HWND owner = m_owner ? GetLastActivePopup(m_owner) : nullptr;
  if (m_confirm == 2) {
    if (parts & kTreeRequest) {
      int answer = MessageBoxW(owner,
                               L"By default, Ridgeward removes the explicit ACLs of the child objects, which is the "
                               L"same way as Windows behaves. Would you like to keep the explicit ACLs of the child "
                               L"objects? [Select No to mimic Windows behaviour]",
                               L"Ridgeward - Keep Explicit ACLs?", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
      if (answer == IDCANCEL) return S_OK;
      m_confirm = answer == IDYES ? 1 : 0;
    } else if (MessageBoxW(owner,
                           L"Are you sure you want to change the security descriptor for the selected object[s]?",
                           L"Change File Security?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
      return S_OK;
    }
  }
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  DWORD e = ERROR_SUCCESS;
  for (int i = 0; i < m_count && e == ERROR_SUCCESS; ++i) e = ApplyTo(m_names[i], parts, psd);
  m_confirm = 2;
  SetCursor(old);
  if (e == ERROR_SUCCESS && (m_flags & SI_CONTAINER) && m_count)
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, m_names[0], nullptr);
  return FromWin32(e);
}

STDMETHODIMP CSecurityInfo::GetAccessRights(const GUID*, DWORD, PSI_ACCESS* ppAccess, ULONG* pcAccess,
                                            ULONG* piDefault) {
  if (!ppAccess || !pcAccess || !piDefault) return E_POINTER;
  if (m_type == SE_REGISTRY_KEY) {
    *ppAccess = kRegistryAccess;
    *pcAccess = kRegistryAccessCount;
  } else {
    *ppAccess = kFileAccess;
    *pcAccess = kFileAccessCount;
  }
  *piDefault = kDefaultAccessIndex;
  return S_OK;
}

STDMETHODIMP CSecurityInfo::MapGeneric(const GUID*, UCHAR*, ACCESS_MASK* pMask) {
  if (!pMask) return E_POINTER;
  GENERIC_MAPPING map = {0x20089, 0x116, 0x200A0, 0x1F03FF};
  MapGenericMask(pMask, &map);
  return S_OK;
}

STDMETHODIMP CSecurityInfo::GetInheritTypes(PSI_INHERIT_TYPE* ppTypes, ULONG* pcTypes) {
  if (!ppTypes || !pcTypes) return E_POINTER;
  *ppTypes = kInheritTypes;
  *pcTypes = kInheritTypeCount;
  return S_OK;
}

STDMETHODIMP CSecurityInfo::PropertySheetPageCallback(HWND hwnd, UINT msg, SI_PAGE_TYPE page) {
  if (page != SI_PAGE_PERM && page != SI_PAGE_ADVPERM) return S_OK;
  if (msg == PSPCB_RELEASE) {
    RECT rc;
    if (hwnd && GetWindowRect(hwnd, &rc)) {
      g_pagePos = {rc.left, rc.top};
      g_pagePosSet = true;
    }
  } else if (msg == PSPCB_SI_INITDIALOG && g_pagePosSet && hwnd) {
    SetWindowPos(hwnd, nullptr, g_pagePos.x, g_pagePos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return S_OK;
}

// --- ISecurityObjectTypeInfo ----------------------------------------------------

STDMETHODIMP CSecurityInfo::GetInheritSource(SECURITY_INFORMATION parts, PACL acl, PINHERITED_FROM* ppInherit) {
  if (!ppInherit) return E_POINTER;
  *ppInherit = nullptr;
  if (!acl || !m_count) return E_INVALIDARG;
  USHORT aces = acl->AceCount;
  PINHERITED_FROMW array =
      (PINHERITED_FROMW)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, (aces + 1) * sizeof(INHERITED_FROMW));
  if (!array) return E_OUTOFMEMORY;
  GENERIC_MAPPING map = {0x120089, 0x120116, 0x1200A0, 0x1F03FF};
  DWORD e = SecGetInheritanceSourceW(m_names[0], m_type, parts, (m_flags & SI_CONTAINER) != 0, acl, &map, array);
  if (e != ERROR_SUCCESS) {
    LocalFree(array);
    return FromWin32(e);
  }
  if (!aces || !array[0].AncestorName) {
    *ppInherit = reinterpret_cast<PINHERITED_FROM>(array);  // the editor's entries are wide
    return S_OK;
  }
  // One block for the entries and copies of the names, so that the editor
  // frees it with one LocalFree.
  size_t bytes = aces * sizeof(INHERITED_FROMW);
  for (USHORT i = 0; i < aces; ++i)
    bytes += (wcslen(array[i].AncestorName ? array[i].AncestorName : L"Parent") + 1) * sizeof(wchar_t);
  BYTE* block = (BYTE*)LocalAlloc(LMEM_FIXED, bytes);
  if (!block) {
    SecFreeInheritedFromArray(array, aces);
    LocalFree(array);
    return E_OUTOFMEMORY;
  }
  PINHERITED_FROMW out = (PINHERITED_FROMW)block;
  wchar_t* text = (wchar_t*)(block + aces * sizeof(INHERITED_FROMW));
  for (USHORT i = 0; i < aces; ++i) {
    const wchar_t* name = array[i].AncestorName ? array[i].AncestorName : L"Parent";
    out[i].GenerationGap = array[i].GenerationGap;
    size_t n = wcslen(name) + 1;
    memcpy(text, name, n * sizeof(wchar_t));
    out[i].AncestorName = text;
    text += n;
  }
  SecFreeInheritedFromArray(array, aces);
  LocalFree(array);
  *ppInherit = reinterpret_cast<PINHERITED_FROM>(out);
  return S_OK;
}

// --- IEffectivePermission -------------------------------------------------------

STDMETHODIMP CSecurityInfo::GetEffectivePermission(const GUID*, PSID user, LPCWSTR, PSECURITY_DESCRIPTOR psd,
                                                   POBJECT_TYPE_LIST* ppTypes, ULONG* pcTypes, PACCESS_MASK* ppGranted,
                                                   ULONG* pcGranted) {
  if (!ppTypes || !pcTypes || !ppGranted || !pcGranted) return E_POINTER;
  *ppTypes = nullptr;
  *pcTypes = 0;
  *ppGranted = nullptr;
  *pcGranted = 0;
  static GUID nullGuid = GUID_NULL;
  static OBJECT_TYPE_LIST typeList = {ACCESS_OBJECT_GUID, 0, &nullGuid};
  *ppTypes = &typeList;
  *pcTypes = 1;
  BOOL present = FALSE, defaulted;
  PACL dacl = nullptr;
  if (!psd || !GetSecurityDescriptorDacl(psd, &present, &dacl, &defaulted) || !present || !dacl) return S_OK;
  TRUSTEEW trustee;
  BuildTrusteeWithSidW(&trustee, user);
  ACCESS_MASK mask = 0;
  DWORD e = GetEffectiveRightsFromAclW(dacl, &trustee, &mask);
  if (e != ERROR_SUCCESS) return FromWin32(e);
  PACCESS_MASK granted = (PACCESS_MASK)LocalAlloc(LMEM_FIXED, sizeof(ACCESS_MASK));
  if (!granted) return E_OUTOFMEMORY;
  *granted = mask;
  *ppGranted = granted;
  *pcGranted = 1;
  return S_OK;
}

void CSecurityInfo::SetLibraryNames(const char* advapi, const char* aclui) {
  SetSecurityImportLibrary(advapi);
  AcluiName() = aclui ? aclui : "AcLui.dll";
}

BOOL EditKeyPermissions(HWND owner, const char* path, SE_OBJECT_TYPE type) {
  HMODULE aclui = LoadLibraryA(AcluiName().c_str());
  if (!aclui) {
    MessageBoxA(owner, "Can't load AcLui.dll !", "Error", MB_ICONERROR);
    return FALSE;
  }
  typedef BOOL(WINAPI * EditSecurityFn)(HWND, LPSECURITYINFO);
  EditSecurityFn edit =
      reinterpret_cast<EditSecurityFn>(reinterpret_cast<void*>(GetProcAddress(aclui, "EditSecurity")));
  if (!edit) {
    MessageBoxA(owner, "Can't get EditSecurity(...) !", "Error", MB_ICONERROR);
    FreeLibrary(aclui);
    return FALSE;
  }
  // On the heap and ended by Release, so that an editor that releases once
  // too often frees nothing it does not own.
  CSecurityInfo* info = new CSecurityInfo();
  const char* names[1] = {path};
  info->SetObjects(owner, names, 1, type);
  info->SetEditFlags(1);
  BOOL ok = edit(owner, static_cast<ISecurityInformation*>(info));
  info->Release();
  FreeLibrary(aclui);
  return ok;
}
