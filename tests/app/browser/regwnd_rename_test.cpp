// Renaming keys and values: the whole key moves with every byte, its
// siblings stay byte for byte, a failure part-way leaves the old key as it
// was, and a new spelling of the same name is taken.
#include <algorithm>
#include <cstring>

#include "app/browser/regmove.h"
#include "browser_fixture.h"

namespace {

const wchar_t kOdd[] = L"\u4E2D";  // a name no code page 1252 call can carry

// A key with values of every kind the copy must keep: strings of odd length,
// without terminator and with an inner NUL, an unknown type, an empty value,
// names outside the code page, and a subtree three levels deep.
// Values and subkeys a copy of it writes.
const int kFillWrites = 13;
void Fill(HKEY parent, const wchar_t* name, const char* tag) {
  MakeKeyW(parent, name);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  std::string t(tag);
  SetRawW(key, L"", REG_SZ, L"standard", 18);
  SetRawW(key, L"odd", REG_SZ, "A\0B", 3);
  SetRawW(key, L"unterminated", REG_SZ, L"xy", 4);
  SetRawW(key, L"inner", REG_MULTI_SZ, L"a\0\0b\0", 12);
  SetRawW(key, L"unknown", 0x1234, t.data(), (DWORD)t.size());
  SetRawW(key, L"empty", REG_BINARY, "", 0);
  SetRawW(key, kOdd, REG_DWORD, "\x01\x02\x03\x04", 4);
  SetRawW(key, L"a?b", REG_SZ, L"twin", 10);
  MakeKeyW(key, L"L1\\L2\\L3");
  HKEY deep;
  ASSERT_EQ(RegOpenKeyExW(key, L"L1\\L2\\L3", 0, KEY_ALL_ACCESS, &deep), ERROR_SUCCESS);
  SetRawW(deep, L"tief", REG_BINARY, t.data(), (DWORD)t.size());
  RegCloseKey(deep);
  MakeKeyW(key, (std::wstring(L"L1\\") + kOdd).c_str());
  RegCloseKey(key);
}

class KeyRename : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    HKEY k = m_key->Handle();
    Fill(k, L"Aaa", "aaa");
    Fill(k, L"Neu #1", "neu");
    Fill(k, L"Sub", "sub");
    Fill(k, L"Zzz", "zzz");
    SetRawW(k, L"wert", REG_SZ, L"oben", 10);
  }
  // Every sibling and the parent's own values.
  std::string Siblings(const wchar_t* skip) {
    std::string out;
    for (const wchar_t* name : {L"Aaa", L"Neu #1", L"Sub", L"Zzz"})
      if (wcscmp(name, skip)) out += DumpKeyW(m_key->Handle(), name);
    return out + std::to_string(ValueNamesW(m_key->Handle()).size());
  }
};

// The new name sorts before all, between, and after all the siblings; the
// renamed key was made last, as "Neu → Schlüssel" makes it.
TEST_F(KeyRename, WholeKeyMovesAndSiblingsStay) {
  CRegWnd& pane = MakePane();
  int n = 0;
  for (const char* name : {"0 vorn", "Neu xyz", "zzzz hinten"}) {
    SCOPED_TRACE(name);
    std::wstring parentName = L"T" + std::to_wstring(n++);
    HKEY parent;
    ASSERT_EQ(
        RegCreateKeyExW(m_key->Handle(), parentName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parent, nullptr),
        ERROR_SUCCESS);
    for (const wchar_t* sib : {L"Aaa", L"Sub", L"Zzz"}) Fill(parent, sib, "sib");
    Fill(parent, L"Neu #1", "neu");
    std::string moved = DumpKeyW(parent, L"Neu #1");
    std::string siblings = DumpKeyW(parent, L"Aaa") + DumpKeyW(parent, L"Sub") + DumpKeyW(parent, L"Zzz");
    std::string parentPath(parentName.begin(), parentName.end());
    Show(pane, Key((parentPath + "\\Neu #1").c_str()));
    HTREEITEM caret = ShownTreeItem(pane);
    ASSERT_EQ(pane.RenameTreeItem(caret, name), 1);
    std::wstring wide(name, name + strlen(name));
    EXPECT_EQ(DumpKeyW(parent, wide.c_str()), moved);
    EXPECT_EQ(DumpKeyW(parent, L"Neu #1"), "<missing>");
    EXPECT_EQ(DumpKeyW(parent, L"Aaa") + DumpKeyW(parent, L"Sub") + DumpKeyW(parent, L"Zzz"), siblings);
    std::vector<std::wstring> names = SubkeyNamesW(parent);
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> want = {L"Aaa", L"Sub", L"Zzz", wide};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(names, want);
    EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key((parentPath + "\\" + name).c_str()));
    RegCloseKey(parent);
  }
  SettlePane(pane);
}

// Any write of the copy that fails removes what was copied; the key keeps
// its name and every byte.
TEST_F(KeyRename, FailurePartWayLeavesTheOldKey) {
  std::string before = Siblings(L"");
  HKEY parent;
  ASSERT_EQ(RegOpenKeyExA(m_key->Handle(), "", 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  for (int at : {1, 2, 5, 9, 12}) {
    SetRegCopyFailAt(at);
    std::string left = "x";
    EXPECT_EQ(RenameRegKey(parent, "Neu #1", "Neu xyz", &left), ERROR_WRITE_FAULT) << at;
    SetRegCopyFailAt(0);
    EXPECT_EQ(left, "") << at;
    EXPECT_EQ(DumpKeyW(m_key->Handle(), L"Neu xyz"), "<missing>") << at;
    EXPECT_EQ(Siblings(L""), before) << at;
  }
  // An existing target is refused before anything is written.
  EXPECT_EQ(RenameRegKey(parent, "Neu #1", "sub"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(Siblings(L""), before);
  RegCloseKey(parent);
}

// A key with a deny entry in its access list gets that list on its copy.
TEST_F(KeyRename, AccessListMovesWithTheKey) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(m_key->Handle(), L"Neu #1", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  DWORD size = 0;
  ASSERT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size), ERROR_INSUFFICIENT_BUFFER);
  // A protected list of one entry: everyone may read.
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof sid;
  ASSERT_TRUE(CreateWellKnownSid(WinWorldSid, nullptr, sid, &sidSize));
  BYTE aclBuffer[256];
  ACL* acl = (ACL*)aclBuffer;
  ASSERT_TRUE(InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION));
  ASSERT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, sid));
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
  auto dacl = [](HKEY k) {
    DWORD n = 0;
    RegGetKeySecurity(k, DACL_SECURITY_INFORMATION, nullptr, &n);
    std::vector<BYTE> buf(n);
    if (RegGetKeySecurity(k, DACL_SECURITY_INFORMATION, buf.data(), &n) != ERROR_SUCCESS) return std::string();
    BOOL present = FALSE, defaulted = FALSE;
    ACL* a = nullptr;
    GetSecurityDescriptorDacl(buf.data(), &present, &a, &defaulted);
    return a ? std::string((const char*)a, a->AclSize) : std::string();
  };
  std::string want = dacl(key);
  RegCloseKey(key);
  ASSERT_FALSE(want.empty());
  HKEY parent;
  ASSERT_EQ(RegOpenKeyExA(m_key->Handle(), "", 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  ASSERT_EQ(RenameRegKey(parent, "Neu #1", "Neu xyz"), ERROR_SUCCESS);
  RegCloseKey(parent);
  ASSERT_EQ(RegOpenKeyExW(m_key->Handle(), L"Neu xyz", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(dacl(key), want);
  RegCloseKey(key);
}

// "Case" to "CASE": the registry then holds the new spelling with every
// byte; when a step fails the old spelling stays or comes back whole.
TEST_F(KeyRename, NewSpellingOfTheSameName) {
  HKEY k = m_key->Handle();
  Fill(k, L"Case", "case");
  SetRawW(k, L"Fall", REG_BINARY, "\x01\x02", 2);
  std::string keyBytes = DumpKeyW(k, L"Case");
  std::string others = Siblings(L"");
  HKEY parent;
  ASSERT_EQ(RegOpenKeyExA(k, "", 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  // Writes 1 to kFillWrites copy to the name between, the rest to the new spelling.
  for (int at : {1, kFillWrites, kFillWrites + 1, kFillWrites + 7, 2 * kFillWrites}) {
    SetRegCopyFailAt(at);
    std::string left = "x";
    EXPECT_EQ(RenameRegKey(parent, "Case", "CASE", &left), ERROR_WRITE_FAULT) << at;
    SetRegCopyFailAt(0);
    EXPECT_EQ(left, "") << at;
    std::vector<std::wstring> names = SubkeyNamesW(k);
    EXPECT_EQ(std::count(names.begin(), names.end(), std::wstring(L"Case")), 1) << at;
    EXPECT_EQ(names.size(), 5u) << at;
    EXPECT_EQ(DumpKeyW(k, L"Case"), keyBytes) << at;
    EXPECT_EQ(Siblings(L""), others) << at;
  }
  RegCloseKey(parent);

  CRegWnd& pane = MakePane();
  Show(pane, Key());
  HTREEITEM caret = ShownTreeItem(pane);
  HTREEITEM item = FindChild(pane.Tree(), caret, "Case");
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(pane.RenameTreeItem(item, "CASE"), 1);
  std::vector<std::wstring> names = SubkeyNamesW(k);
  EXPECT_EQ(std::count(names.begin(), names.end(), std::wstring(L"CASE")), 1);
  EXPECT_EQ(names.size(), 5u);
  EXPECT_EQ(DumpKeyW(k, L"CASE"), keyBytes);
  EXPECT_EQ(Siblings(L""), others);
  EXPECT_EQ(ChildNames(pane.Tree(), caret), (std::vector<std::string>{"Aaa", "CASE", "Neu #1", "Sub", "Zzz"}));

  int row = -1;
  std::vector<std::string> rows = RowNames(pane.List());
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == "Fall") row = (int)i;
  ASSERT_GE(row, 0);
  ASSERT_EQ(pane.RenameEntry(row, "FALL"), 1);
  std::vector<std::wstring> values = ValueNamesW(k);
  EXPECT_EQ(std::count(values.begin(), values.end(), std::wstring(L"FALL")), 1);
  EXPECT_EQ(values.size(), 2u);
  DWORD type = 0, size = 8;
  BYTE data[8] = {};
  ASSERT_EQ(RegQueryValueExW(k, L"FALL", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_BINARY);
  EXPECT_EQ(std::string((char*)data, size), std::string("\x01\x02", 2));
  EXPECT_EQ(RowNames(pane.List())[row], "FALL");
  SettlePane(pane);
}

}  // namespace
