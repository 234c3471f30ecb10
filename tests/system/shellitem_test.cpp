#include "system/shellitem.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
  return s;
}

std::string WithSlash(std::string s) { return s.empty() || s.back() == '\\' ? s : s + "\\"; }

struct Child {
  std::string name, path, target, type;
  ULONG attributes;
  int icon;
};

// A fresh folder under the temporary directory with a.txt, Größe.dat, sub
// (a folder) and x.lnk pointing at sub.
class ShellItem : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char temp[MAX_PATH], full[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ASSERT_GT(GetLongPathNameA(temp, full, MAX_PATH), 0u);
    dir_ = WithSlash(full) + "ostrova_shell_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    for (const char* name : {"a.txt", "Größe.dat"}) {
      HANDLE h = CreateFileA((dir_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      DWORD written;
      WriteFile(h, "data", 4, &written, nullptr);
      CloseHandle(h);
    }
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\sub").c_str(), nullptr));
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)));
    link->SetPath((dir_ + "\\sub").c_str());
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (dir_ + "\\x.lnk").c_str(), -1, wide, MAX_PATH);
    EXPECT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    file->Release();
    link->Release();
  }
  void TearDown() override {
    for (const char* name : {"a.txt", "Größe.dat", "x.lnk"}) DeleteFileA((dir_ + "\\" + name).c_str());
    RemoveDirectoryA((dir_ + "\\sub").c_str());
    RemoveDirectoryA(dir_.c_str());
    CoUninitialize();
  }

  // From My Computer down along the paths to the folder: the chain of items,
  // the last one open on the folder.
  std::vector<std::unique_ptr<CShellItem>> Descend(const std::string& target) {
    std::vector<std::unique_ptr<CShellItem>> chain;
    chain.emplace_back(new CShellItem(CSIDL_DRIVES));
    const std::string goal = Lower(WithSlash(target));
    for (int depth = 0; depth < 20; ++depth) {
      CShellItem* item = chain.back().get();
      bool deeper = false;
      while (!deeper && item->Next()) {
        char path[MAX_PATH];
        if (!item->GetPath(path) || (item->m_nAttributes & SFGAO_LINK)) continue;
        std::string p = Lower(WithSlash(path));
        if (goal.compare(0, p.size(), p) != 0) continue;
        chain.emplace_back(new CShellItem(item));
        EXPECT_EQ(chain.back()->m_pParent, item);
        if (p == goal) return chain;
        deeper = true;
      }
      if (!deeper) break;
    }
    ADD_FAILURE() << "no way down to " << target;
    return chain;
  }

  std::string dir_;
};

TEST_F(ShellItem, WalkFromMyComputer) {
  {
    auto chain = Descend(dir_);
    ASSERT_GT(chain.size(), 1u);
    EXPECT_EQ(g_shellItemCount, (LONG)chain.size());
    CShellItem* folder = chain.back().get();
    std::map<std::string, Child> children;  // by the path's file name
    std::unique_ptr<CShellItem> opened;
    while (folder->Next()) {
      Child c;
      char text[MAX_PATH];
      EXPECT_EQ(folder->GetDisplayName(text), 1);
      c.name = text;
      folder->GetPath(text);
      c.path = text;
      folder->GetLinkTarget(text);
      c.target = text;
      EXPECT_EQ(folder->GetTypeName(text), 1) << c.name;
      c.type = text;
      c.attributes = folder->m_nAttributes;
      c.icon = folder->GetIconIndex(SHGFI_SMALLICON);
      std::string file = c.path.substr(c.path.rfind('\\') + 1);
      children[file] = c;
      if (file == "a.txt") {
        CShellItem child(folder);
        EXPECT_EQ(child.m_pFolder, nullptr) << "a file opens no folder";
        EXPECT_EQ(child.m_nListLength, folder->m_nListLength + *(USHORT*)folder->m_pChild);
      }
      if (file == "sub") {
        opened.reset(new CShellItem());
        EXPECT_EQ(opened->OpenChild(folder), 1);
      }
      // An entry keeps the child after the item moved on.
      CShellEntry entry = {};
      ASSERT_EQ(entry.Assign(folder), 1);
      char name[MAX_PATH], path[MAX_PATH];
      entry.GetName(name);
      EXPECT_EQ(c.name, name);
      EXPECT_EQ(entry.GetPath(path), 1);
      if (file == "x.lnk") {
        EXPECT_EQ(std::string(path), dir_ + "\\x.lnk\\") << "a shortcut's own path with a backslash";
      } else {
        EXPECT_EQ(std::string(path), c.path);
      }
      EXPECT_EQ(entry.GetIconIndex(SHGFI_SMALLICON), c.icon);
      EXPECT_EQ(entry.Free(), 1);
      EXPECT_EQ(entry.Free(), 0);
    }
    EXPECT_EQ(folder->m_pChild, nullptr) << "no current child at the end";
    EXPECT_EQ(folder->Next(), 0);
    ASSERT_EQ(children.size(), 4u);
    for (const char* f : {"a.txt", "Größe.dat", "sub", "x.lnk"}) ASSERT_EQ(children.count(f), 1u) << f;
    EXPECT_EQ(children["a.txt"].name, "a.txt");
    EXPECT_EQ(children["Größe.dat"].name, "Größe.dat");
    EXPECT_EQ(children["x.lnk"].name, "x");
    EXPECT_EQ(children["a.txt"].attributes & (SFGAO_FILESYSTEM | SFGAO_FOLDER), (ULONG)SFGAO_FILESYSTEM);
    EXPECT_EQ(children["sub"].attributes & (SFGAO_FILESYSTEM | SFGAO_FOLDER), (ULONG)(SFGAO_FILESYSTEM | SFGAO_FOLDER));
    EXPECT_TRUE(children["x.lnk"].attributes & SFGAO_LINK);
    EXPECT_EQ(children["x.lnk"].target, dir_ + "\\sub");
    EXPECT_EQ(children["a.txt"].target, "");
    EXPECT_EQ(children["sub"].path, dir_ + "\\sub");
    for (auto& c : children) EXPECT_GE(c.second.icon, 0) << c.first;
    EXPECT_FALSE(children["a.txt"].type.empty());
    // The empty subfolder.
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->Next(), 0);
    EXPECT_EQ(opened->m_pChild, nullptr);

    // The folder itself as an entry, taken from an item without a child.
    CShellEntry self = {};
    ASSERT_EQ(self.Assign(folder), 1);
    char path[MAX_PATH];
    EXPECT_EQ(self.GetPath(path), 1);
    EXPECT_EQ(Lower(path), Lower(dir_));
    EXPECT_EQ(IdListLength(self.m_pIdList), folder->m_nListLength);
    self.Free();
    EXPECT_NE(g_desktopFolder, nullptr);
    opened.reset();
  }
  // The last item released the desktop; the next one fetches it again.
  EXPECT_EQ(g_shellItemCount, 0);
  EXPECT_EQ(g_desktopFolder, nullptr);
  CShellItem again;
  EXPECT_EQ(again.GetTypeName(nullptr), 0) << "no child: the destination untouched";
  EXPECT_EQ(again.GetIconIndex(0), -1);
  EXPECT_EQ(again.Reset(), 1);
  EXPECT_NE(g_desktopFolder, nullptr);
  CShellEntry empty = {};
  EXPECT_EQ(empty.Assign(&again), 0) << "no buffer";
  EXPECT_EQ(empty.GetIconIndex(0), -1);
}

// The special folder keeps its whole id list, also below the desktop's
// children (the Windows folder lies under My Computer and its drive).
TEST_F(ShellItem, SpecialFolderKeepsItsWholeList) {
  LPITEMIDLIST list = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_WINDOWS, &list)));
  unsigned length = IdListLength(list);
  USHORT first = list->mkid.cb;
  CoTaskMemFree(list);
  ASSERT_GT(length, (unsigned)first);
  CShellItem windows(CSIDL_WINDOWS);
  EXPECT_EQ(windows.m_nListLength, length);
  EXPECT_EQ(windows.m_nBufferSize, length + SHELL_BUFFER_SPARE);
  ASSERT_EQ(windows.Next(), 1);
  char path[MAX_PATH];
  ASSERT_EQ(windows.GetPath(path), 1);
  char expected[MAX_PATH];
  GetWindowsDirectoryA(expected, MAX_PATH);
  EXPECT_EQ(Lower(std::string(path).substr(0, strlen(expected))), Lower(expected));
}

TEST(ShellName, FromStrRet) {
  char dest[SHELL_NAME_SIZE];
  STRRET name = {};
  name.uType = STRRET_WSTR;
  name.pOleStr = (LPWSTR)CoTaskMemAlloc(301 * sizeof(wchar_t));
  for (int i = 0; i < 300; ++i) name.pOleStr[i] = i == 0 ? 0xE4 : L'a' + i % 26;  // "ä" first
  name.pOleStr[300] = 0;
  EXPECT_EQ(ShellNameFromStrRet(&name, nullptr, dest, sizeof dest), 1);
  EXPECT_EQ(strlen(dest), 255u);
  EXPECT_EQ((unsigned char)dest[0], 0xE4);
  EXPECT_EQ(name.pOleStr, nullptr) << "the wide text is freed";

  name.uType = STRRET_CSTR;
  strcpy(name.cStr, "Datei");
  EXPECT_EQ(ShellNameFromStrRet(&name, nullptr, dest, sizeof dest), 1);
  EXPECT_STREQ(dest, "Datei");
  EXPECT_EQ(ShellNameFromStrRet(&name, nullptr, dest, 4), 1);
  EXPECT_STREQ(dest, "Dat");

  // Text inside the item id, read no further than the id's size.
  BYTE item[16] = {12, 0, 'x', 'x', 'N', 'a', 'm', 'e', 0, 0, 0, 0, 0, 0, 0, 0};
  name.uType = STRRET_OFFSET;
  name.uOffset = 4;
  EXPECT_EQ(ShellNameFromStrRet(&name, (LPCITEMIDLIST)item, dest, sizeof dest), 1);
  EXPECT_STREQ(dest, "Name");
  BYTE unterminated[8] = {8, 0, 'x', 'x', 'A', 'B', 'C', 'D'};
  EXPECT_EQ(ShellNameFromStrRet(&name, (LPCITEMIDLIST)unterminated, dest, sizeof dest), 1);
  EXPECT_STREQ(dest, "ABCD");
  name.uOffset = 8;
  EXPECT_EQ(ShellNameFromStrRet(&name, (LPCITEMIDLIST)unterminated, dest, sizeof dest), 1);
  EXPECT_STREQ(dest, "");

  name.uType = 7;
  strcpy(dest, "old");
  EXPECT_EQ(ShellNameFromStrRet(&name, nullptr, dest, sizeof dest), 1);
  EXPECT_STREQ(dest, "");
}

}  // namespace
