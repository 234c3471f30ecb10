// The permission object: object names, its interfaces and counts, the
// tables, reading and writing a fixture key's descriptor, the confirmation
// answered from a second thread, and the system's gaps as HRESULTs.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <string>
#include <thread>

#include "app/security/securityinfo.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"

namespace {

std::wstring SecName(const char* path) {
  wchar_t buf[1024];
  RegPathToSecurityObjectName(path, buf, 1024);
  return buf;
}

TEST(SecurityInfo, ObjectNames) {
  EXPECT_EQ(SecName("HKEY_LOCAL_MACHINE\\SOFTWARE"), L"MACHINE\\SOFTWARE");
  EXPECT_EQ(SecName("HKEY_CURRENT_USER"), L"CURRENT_USER");
  EXPECT_EQ(SecName("hkey_current_user\\Software"), L"CURRENT_USER\\Software");
  EXPECT_EQ(SecName("HKEY_CURRENT_USERX"), L"HKEY_CURRENT_USERX");
  EXPECT_EQ(SecName("HKEY_CLASSES_ROOT/a/b"), L"CLASSES_ROOT\\a\\b");
  EXPECT_EQ(SecName("HKEY_USERS\\.DEFAULT"), L"USERS\\.DEFAULT");
  EXPECT_EQ(SecName("HKEY_CURRENT_CONFIG"), L"CONFIG");
  EXPECT_EQ(SecName("/"), L"\\");
  EXPECT_EQ(SecName("Software\\Ma\xDF \x80"), L"Software\\Ma\u00DF \u20AC");

  CSecurityInfo* info = new CSecurityInfo;
  const char* one[] = {"HKEY_CURRENT_USER\\Software\\Ostrova"};
  ASSERT_TRUE(info->SetObjects(nullptr, one, 1, SE_REGISTRY_KEY));
  SI_OBJECT_INFO oi = {};
  EXPECT_EQ(info->GetObjectInformation(&oi), S_OK);
  EXPECT_STREQ(oi.pszObjectName, L"Ostrova");
  EXPECT_STREQ(oi.pszServerName, L"");
  EXPECT_EQ(oi.dwFlags, 0x2007Bu);
  const char* root[] = {"HKEY_CURRENT_USER"};
  info->SetObjects(nullptr, root, 1, SE_REGISTRY_KEY);
  info->GetObjectInformation(&oi);
  EXPECT_STREQ(oi.pszObjectName, L"CURRENT_USER");
  const char* two[] = {"HKEY_CURRENT_USER\\a", "HKEY_CURRENT_USER\\b"};
  info->SetObjects(nullptr, two, 2, SE_REGISTRY_KEY);
  info->GetObjectInformation(&oi);
  EXPECT_STREQ(oi.pszObjectName, L"Multiple Objects");
  EXPECT_EQ(info->ObjectCount(), 2);
  EXPECT_EQ(info->Release(), 0u);
}

TEST(SecurityInfo, InterfacesCountsAndFlags) {
  CSecurityInfo* info = new CSecurityInfo;
  ISecurityInformation* si = info;
  void* p = nullptr;
  EXPECT_EQ(si->QueryInterface(IID_IUnknown, &p), S_OK);
  EXPECT_EQ(p, (void*)si);
  EXPECT_EQ(si->QueryInterface(IID_ISecurityInformation, &p), S_OK);
  EXPECT_EQ(p, (void*)si);
  EXPECT_EQ(si->QueryInterface(IID_ISecurityObjectTypeInfo, &p), S_OK);
  EXPECT_EQ(p, (void*)static_cast<ISecurityObjectTypeInfo*>(info));
  EXPECT_NE(p, (void*)si);
  // The second interface answers for the whole object.
  void* back = nullptr;
  EXPECT_EQ(static_cast<ISecurityObjectTypeInfo*>(p)->QueryInterface(IID_IEffectivePermission, &back), S_OK);
  EXPECT_EQ(back, (void*)static_cast<IEffectivePermission*>(info));
  p = (void*)1;
  EXPECT_EQ(si->QueryInterface(IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(si->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(info->RefCount(), 5);
  for (int i = 0; i < 4; ++i) static_cast<ISecurityObjectTypeInfo*>(info)->Release();
  EXPECT_EQ(info->RefCount(), 1);

  EXPECT_EQ(info->Flags(), 0x2007Bu);
  info->SetEditFlags(1);
  EXPECT_EQ(info->Flags(), 0x200B3u);
  info->SetEditFlags(0);
  EXPECT_EQ(info->Flags(), 0x200B3u | 0x48u);
  EXPECT_EQ(info->Confirmation(), 2);

  PSI_ACCESS access;
  ULONG count, def;
  const char* key[] = {"HKEY_CURRENT_USER"};
  info->SetObjects(nullptr, key, 1, SE_REGISTRY_KEY);
  ASSERT_EQ(info->GetAccessRights(nullptr, 0, &access, &count, &def), S_OK);
  EXPECT_EQ(count, 13u);
  EXPECT_EQ(def, 2u);
  EXPECT_EQ(access[0].mask, 0xF003Fu);
  EXPECT_STREQ(access[0].pszName, L"Vollzugriff");
  EXPECT_EQ(access[0].dwFlags, 0x30000u);
  EXPECT_STREQ(access[4].pszName, L"Unterschl\u00FCssel erstellen");
  EXPECT_STREQ(access[12].pszName, L"---");
  const char* file[] = {"C:\\windows"};
  info->SetObjects(nullptr, file, 1, SE_FILE_OBJECT);
  ASSERT_EQ(info->GetAccessRights(nullptr, 0, &access, &count, &def), S_OK);
  EXPECT_EQ(count, 24u);
  EXPECT_EQ(access[0].mask, 0x1F03FFu);
  EXPECT_EQ(access[4].mask, 0x120089u);
  EXPECT_EQ(access[4].dwFlags, 0x20003u);
  PSI_INHERIT_TYPE types;
  ASSERT_EQ(info->GetInheritTypes(&types, &count), S_OK);
  EXPECT_EQ(count, 7u);
  EXPECT_EQ(types[4].dwFlags, 0xBu);
  EXPECT_STREQ(types[0].pszName, L"Nur diese Objekt");
  ACCESS_MASK mask = GENERIC_READ;
  info->MapGeneric(nullptr, nullptr, &mask);
  EXPECT_EQ(mask, 0x20089u);
  mask = GENERIC_ALL;
  info->MapGeneric(nullptr, nullptr, &mask);
  EXPECT_EQ(mask, 0x1F03FFu);
  EXPECT_EQ(info->Reserved1(), E_NOTIMPL);
  EXPECT_TRUE(info->Reserved2());
  EXPECT_EQ(info->Release(), 0u);
}

TEST(SecurityInfo, DefaultDescriptors) {
  wchar_t sddl[256];
  CSecurityInfo::DefaultSddl(L"MACHINE\\SOFTWARE", sddl, 256);
  std::wstring s = sddl;
  EXPECT_EQ(s.substr(0, 2), L"O:");
  EXPECT_NE(s.find(L"G:"), std::wstring::npos);
  EXPECT_NE(s.find(L"S:D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;CI;LC;;;BU)(A;;0x1200a9;;;AU)"),
            std::wstring::npos);
  CSecurityInfo::DefaultSddl(L"C:", sddl, 256);
  s = sddl;
  EXPECT_EQ(s.substr(s.size() - 12), L"S:ARAID:ARAI");

  CSecurityInfo* info = new CSecurityInfo;
  const char* key[] = {"HKEY_CURRENT_USER\\Software"};
  info->SetObjects(nullptr, key, 1, SE_REGISTRY_KEY);
  PSECURITY_DESCRIPTOR psd = nullptr;
  ASSERT_EQ(info->GetSecurity(DACL_SECURITY_INFORMATION, &psd, TRUE), S_OK);
  ASSERT_NE(psd, nullptr);
  EXPECT_TRUE(IsValidSecurityDescriptor(psd));
  LocalFree(psd);
  info->Release();
}

// The DACL's ACE count, -1 when it cannot be read.
int AceCount(const std::wstring& name) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR psd = nullptr;
  std::wstring n = name;
  if (GetNamedSecurityInfoW(&n[0], SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &psd))
    return -1;
  int count = dacl ? dacl->AceCount : 0;
  LocalFree(psd);
  return count;
}

// Answers the first box of the title with the command; keeps its text.
void AnswerBox(const char* title, WPARAM command, std::string* text) {
  for (int i = 0; i < 500; ++i) {
    HWND box = FindWindowA("#32770", title);
    if (box) {
      char buf[512] = "";
      GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
      *text = buf;
      PostMessageA(box, WM_COMMAND, command, 0);
      return;
    }
    Sleep(10);
  }
}

TEST(SecurityInfo, SetSecurityOnlyAfterYes) {
  TestRegistryKey key;
  std::string path = key.FullPath();
  CSecurityInfo* info = new CSecurityInfo;
  const char* names[] = {path.c_str()};
  info->SetObjects(nullptr, names, 1, SE_REGISTRY_KEY);
  info->SetEditFlags(1);
  std::wstring name = info->ObjectName(0);
  EXPECT_EQ(name.substr(0, 13), L"CURRENT_USER\\");

  PSECURITY_DESCRIPTOR current = nullptr;
  ASSERT_EQ(info->GetSecurity(DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION, &current, FALSE), S_OK);
  ASSERT_NE(current, nullptr);
  LocalFree(current);
  int before = AceCount(name);
  ASSERT_GE(before, 0);

  // Everyone full access, one ACE: a change the key's owner survives.
  PSECURITY_DESCRIPTOR wanted = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)(A;;KR;;;BU)", SDDL_REVISION_1,
                                                                   &wanted, nullptr));
  std::string text;
  std::thread no(AnswerBox, "Change File Security?", IDNO, &text);
  EXPECT_EQ(info->SetSecurity(DACL_SECURITY_INFORMATION, wanted), S_OK);
  no.join();
  EXPECT_EQ(text, "Are you sure you want to change the security descriptor for the selected object[s]?");
  EXPECT_EQ(AceCount(name), before);

  std::thread yes(AnswerBox, "Change File Security?", IDYES, &text);
  EXPECT_EQ(info->SetSecurity(DACL_SECURITY_INFORMATION, wanted), S_OK);
  yes.join();
  EXPECT_EQ(AceCount(name), 2);
  EXPECT_EQ(info->Confirmation(), 2);

  // The tree question: Cancel applies nothing.
  std::thread cancel(AnswerBox, "Ridgeward - Keep Explicit ACLs?", IDCANCEL, &text);
  EXPECT_EQ(info->SetSecurity(DACL_SECURITY_INFORMATION | 0x4000, wanted), S_OK);
  cancel.join();
  EXPECT_NE(text.find("Ridgeward removes the explicit ACLs"), std::string::npos);

  EXPECT_EQ(info->SetSecurity(DACL_SECURITY_INFORMATION, nullptr), E_POINTER);
  info->SetEditFlags(0);
  EXPECT_EQ(info->SetSecurity(DACL_SECURITY_INFORMATION, wanted), E_ACCESSDENIED);
  LocalFree(wanted);
  info->Release();
}

TEST(SecurityInfo, GapsOfTheSystemGiveResults) {
  TestRegistryKey key;
  std::string path = key.FullPath();
  CSecurityInfo* info = new CSecurityInfo;
  const char* names[] = {path.c_str()};
  info->SetObjects(nullptr, names, 1, SE_REGISTRY_KEY);
  PSECURITY_DESCRIPTOR psd = nullptr;
  ASSERT_EQ(info->GetSecurity(DACL_SECURITY_INFORMATION, &psd, FALSE), S_OK);
  BOOL present = FALSE, defaulted;
  PACL dacl = nullptr;
  GetSecurityDescriptorDacl(psd, &present, &dacl, &defaulted);
  ASSERT_TRUE(present && dacl);

  // Inheritance sources: an array, or the system's error as an HRESULT.
  PINHERITED_FROM inherit = (PINHERITED_FROM)1;
  HRESULT hr = info->GetInheritSource(DACL_SECURITY_INFORMATION, dacl, &inherit);
  if (hr == S_OK) {
    EXPECT_NE(inherit, nullptr);
    LocalFree(inherit);
  } else {
    EXPECT_EQ(hr & 0xFFFF0000, (HRESULT)0x80070000) << std::hex << hr;
    EXPECT_EQ(inherit, nullptr);
  }

  // Effective rights of the current user.
  HANDLE token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  BYTE user[256];
  DWORD n;
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &n));
  CloseHandle(token);
  POBJECT_TYPE_LIST types = nullptr;
  ULONG typeCount = 0, grantedCount = 5;
  PACCESS_MASK granted = (PACCESS_MASK)1;
  hr = info->GetEffectivePermission(&GUID_NULL, ((TOKEN_USER*)user)->User.Sid, nullptr, psd, &types, &typeCount,
                                    &granted, &grantedCount);
  EXPECT_EQ(typeCount, 1u);
  if (hr == S_OK) {
    ASSERT_NE(granted, nullptr);
    EXPECT_EQ(grantedCount, 1u);
    EXPECT_NE(*granted, 0u);
    LocalFree(granted);
  } else {
    EXPECT_EQ(hr & 0xFFFF0000, (HRESULT)0x80070000) << std::hex << hr;
    EXPECT_EQ(granted, nullptr);
    EXPECT_EQ(grantedCount, 0u);
  }
  // Without a DACL: no mask.
  SECURITY_DESCRIPTOR empty;
  InitializeSecurityDescriptor(&empty, SECURITY_DESCRIPTOR_REVISION);
  EXPECT_EQ(info->GetEffectivePermission(&GUID_NULL, ((TOKEN_USER*)user)->User.Sid, nullptr, &empty, &types, &typeCount,
                                         &granted, &grantedCount),
            S_OK);
  EXPECT_EQ(granted, nullptr);
  LocalFree(psd);

  // A library that cannot be loaded: 1157; a function it lacks: 1.
  CSecurityInfo::SetLibraryNames("ostrova_fehlt.dll", nullptr);
  EXPECT_EQ(info->GetSecurity(DACL_SECURITY_INFORMATION, &psd, TRUE), (HRESULT)0x80070485);
  EXPECT_EQ(psd, nullptr);
  CSecurityInfo::SetLibraryNames("kernel32.dll", nullptr);
  EXPECT_EQ(info->GetSecurity(DACL_SECURITY_INFORMATION, &psd, TRUE), (HRESULT)0x80070001);
  CSecurityInfo::SetLibraryNames(nullptr, nullptr);
  info->Release();
}

TEST(SecurityInfo, MissingEditorLibrary) {
  CSecurityInfo::SetLibraryNames(nullptr, "ostrova_fehlt.dll");
  std::string text;
  std::thread answer(AnswerBox, "Error", IDOK, &text);
  EXPECT_FALSE(EditKeyPermissions(nullptr, "HKEY_CURRENT_USER\\Software", SE_REGISTRY_KEY));
  answer.join();
  EXPECT_EQ(text, "Can't load AcLui.dll !");
  CSecurityInfo::SetLibraryNames(nullptr, nullptr);
}

}  // namespace

namespace {

struct SheetWatch {
  DWORD thread = 0;
  std::string title;
};

BOOL CALLBACK FindSheet(HWND hwnd, LPARAM lp) {
  char cls[32] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *(HWND*)lp = hwnd;
  return FALSE;
}

// Waits for the editor's window on the test's thread, takes its picture and
// cancels it.
void CloseSheet(SheetWatch* w) {
  for (int i = 0; i < 500; ++i) {
    HWND sheet = nullptr;
    EnumThreadWindows(w->thread, FindSheet, (LPARAM)&sheet);
    if (sheet) {
      Sleep(300);
      char buf[256] = "";
      GetWindowTextA(sheet, buf, sizeof buf);
      w->title = buf;
      WindowCapture::FromScreen(sheet).SavePng(ScreenshotPath("app_permissions_dialog.png").c_str());
      PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    Sleep(10);
  }
}

TEST(SecurityInfo, SystemEditorForAFixtureKey) {
  TestRegistryKey key;
  HMODULE aclui = LoadLibraryA("aclui.dll");
  if (!aclui || !GetProcAddress(aclui, "EditSecurity")) GTEST_SKIP() << "no access-control editor";
  FreeLibrary(aclui);
  SheetWatch w;
  w.thread = GetCurrentThreadId();
  std::thread watch(CloseSheet, &w);
  EditKeyPermissions(nullptr, key.FullPath().c_str(), SE_REGISTRY_KEY);
  watch.join();
  // Wine's editor leaves its title unformatted ("Properties for %s").
  EXPECT_FALSE(w.title.empty());
}

}  // namespace
