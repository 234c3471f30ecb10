#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "../files/files_test_util.h"
#include "system/listing/dirlist.h"
#include "system/listing/neighbourhood.h"
#include "system/listing/netshares.h"
#include "system/shelliconcache.h"

namespace {

DWORD WINAPI NoDrives() { return 0; }

struct Seen {
  uint32_t mode;
  std::string path, target;
  int shellIndex;
};

// A scratch folder with a.txt, Größe.dat, sub\inner.txt and x.lnk -> sub,
// made the network neighbourhood through the seam.
class ShellListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    dir.Write("a.txt", "1");
    dir.Write("Größe.dat", "22");
    dir.Dir("sub");
    dir.Write("sub\\inner.txt", "333");
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)));
    link->SetPath((dir / "sub").c_str());
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)));
    EXPECT_TRUE(SUCCEEDED(file->Save(dir.W("x.lnk").c_str(), TRUE)));
    file->Release();
    link->Release();
    UseFolder(dir.Path());
  }
  void TearDown() override {
    SetNeighbourhoodFolder(CSIDL_NETWORK, nullptr);
    EXPECT_EQ(0, g_shellItemCount);
    EXPECT_EQ(nullptr, g_desktopFolder);
    CoUninitialize();
  }
  void UseFolder(const std::string& path) {
    IShellFolder* desktop = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
    std::wstring wide = Widen(path);
    LPITEMIDLIST list = nullptr;
    ASSERT_TRUE(SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &list, nullptr)));
    desktop->Release();
    SetNeighbourhoodFolder(0, list);
    CoTaskMemFree(list);
  }
  static std::map<std::string, Seen> Entries(CDirList& list) {
    std::map<std::string, Seen> out;
    for (int i = 0; i < list.m_entries.count; ++i) {
      FileStatRecord* e = list.EntryAt(i);
      int n = 0;
      const char* target = list.GetLinkTarget(e, &n);
      Seen s = {e->mode, list.GetEntryPath(i, nullptr, 0), target ? target : "", list.RecordOf(e)->shellIndex};
      out[e->name] = s;
    }
    return out;
  }
  std::string Dir() const { return dir.Path(); }
  FilesScratch dir;
};

TEST_F(ShellListing, NeighbourhoodChildren) {
  {
    CDirList list("\\\\", DIRLIST_NETWORK | DIRLIST_LIST_DIRS);
    ASSERT_EQ(4, list.Read());
    std::map<std::string, Seen> seen = Entries(list);
    ASSERT_EQ(4u, seen.size());
    // Files are shell entries; the folder is a file-system item in its real
    // directory; the shortcut keeps its target.
    EXPECT_EQ(DIRENTRY_SHELL, seen["a.txt"].mode);
    EXPECT_EQ("\\\\a.txt", seen["a.txt"].path);
    EXPECT_EQ(DIRENTRY_SHELL, seen["Größe.dat"].mode);
    EXPECT_EQ(FSTAT_DIRECTORY, seen["sub"].mode);
    EXPECT_EQ(Dir() + "sub", seen["sub"].path);
    EXPECT_EQ(DIRENTRY_SHELL | DIRENTRY_SHELL_LINK, seen["x"].mode);
    EXPECT_EQ(Dir() + "sub", seen["x"].target);
    EXPECT_EQ("", seen["a.txt"].target);
    // The path holder sits in the directory list and is never read.
    int holder = list.m_dirs.FindString((int)Dir().size(), Dir().c_str(), 0, -1, CTextList::kFindNoCase);
    ASSERT_GE(holder, 0);
    EXPECT_EQ(DIRLIST_PATH_HOLDER, *reinterpret_cast<int32_t*>(list.m_dirs.items[holder]));
    EXPECT_NE(0u, list.m_flags & DIRLIST_ENTRY_DIRS);
    // Shell entries: icons from the shell, no type name of their own.
    FileStatRecord* a = list.EntryAt(list.FindEntry("a.txt", 0, 5));
    ASSERT_NE(nullptr, a);
    EXPECT_GE(list.GetIconIndex(a, SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES), 0);
    EXPECT_EQ(nullptr, list.GetTypeName(a, SHGFI_USEFILEATTRIBUTES));
    CShellEntry* x = list.ShellEntryAt(seen["x"].shellIndex);
    ASSERT_NE(nullptr, x);
    char name[MAX_PATH];
    x->GetName(name);
    EXPECT_STREQ("x", name);
    // The path holder makes no batch of its own.
    EXPECT_EQ(-1, list.Read());
    // A refresh adds only the new child.
    dir.Write("neu.txt", "n");
    list.Open("\\\\", DIRLIST_NETWORK | DIRLIST_LIST_DIRS | DIRLIST_REFRESH, nullptr, nullptr);
    EXPECT_EQ(5, list.Read());
    EXPECT_EQ(1u, Entries(list).count("neu.txt"));
    // Another open frees the shell objects.
    list.Open("\\\\", DIRLIST_NETWORK, nullptr, nullptr);
    EXPECT_EQ(0, list.m_shellItems.count);
    EXPECT_EQ(0, list.m_shellEntries.count);
    // Directories only, with a pattern; then files only.
    list.Open("\\\\", DIRLIST_NETWORK | DIRLIST_DIRS_ONLY, "s*", nullptr);
    list.Read();
    EXPECT_EQ(1u, Entries(list).count("sub"));
    EXPECT_EQ(1, list.m_entries.count);
    list.Open("\\\\", DIRLIST_NETWORK | DIRLIST_SORTED, nullptr, "*.dat");
    list.Read();
    EXPECT_EQ(std::vector<std::string>({"a.txt", "neu.txt", "x"}),
              std::vector<std::string>(
                  {list.GetEntryName(0, nullptr), list.GetEntryName(1, nullptr), list.GetEntryName(2, nullptr)}));
    EXPECT_EQ(3, list.m_entries.count);
  }
}

TEST_F(ShellListing, PathsByDisplayName) {
  char out[MAX_PATH];
  // A file-system folder met by the walk gives its real path and the rest.
  std::string sub = Dir() + "sub\\*";
  EXPECT_EQ((int)sub.size(), ResolveNetworkPath("//Netzwerksumgebung/SUB/*", out, sizeof out));
  EXPECT_EQ(sub, out);
  EXPECT_EQ(0, ResolveNetworkPath("\\\\sub\\x", out, (int)sub.size()));
  EXPECT_STREQ("", out);
  // Display names that lead nowhere stay in their two-backslash form.
  EXPECT_EQ(9, ResolveNetworkPath("\\\\a.txt\\y", out, sizeof out));
  EXPECT_STREQ("\\\\a.txt\\y", out);
  // A shortcut reached by the walk lists its target.
  CDirList list("\\\\X", DIRLIST_NETWORK);
  std::vector<std::string> names;
  while (const char* n = list.Next(DIRNEXT_FULL_PATH, nullptr)) names.push_back(n);
  EXPECT_EQ(std::vector<std::string>({Dir() + "sub\\inner.txt"}), names);
  // A folder through the resolved path.
  list.Open("\\\\Netzwerksumgebung\\sub", DIRLIST_NETWORK, nullptr, nullptr);
  EXPECT_EQ(1, list.Read());
  EXPECT_STREQ("inner.txt", list.GetEntryName(0, nullptr));
  // A name the neighbourhood lacks is a plain directory that holds nothing.
  list.Open("\\\\fehlt\\", DIRLIST_NETWORK, nullptr, nullptr);
  EXPECT_EQ(0, list.Read());
  EXPECT_EQ(DIRLIST_FS_DIRECTORY, *reinterpret_cast<int32_t*>(list.m_dirs.items[0]));
}

TEST_F(ShellListing, RecursiveRootAndCancel) {
  ShellIconCalls calls = {SHGetFileInfoW, GetDriveTypeW, NoDrives, GetSystemDirectoryW, GetTickCount};
  SetShellIconCalls(&calls);
  {
    CDirList list(":", DIRLIST_NETWORK | DIRLIST_RECURSE | DIRLIST_LIST_DIRS | DIRLIST_SORTED);
    list.Read();
    std::map<std::string, Seen> seen = Entries(list);
    // The neighbourhood entry stands for the folder itself.
    ASSERT_EQ(1u, seen.count(NETWORK_NEIGHBOURHOOD_NAME));
    EXPECT_EQ(DIRENTRY_NEIGHBOURHOOD, seen[NETWORK_NEIGHBOURHOOD_NAME].mode);
    CShellEntry* hood = list.ShellEntryAt(seen[NETWORK_NEIGHBOURHOOD_NAME].shellIndex);
    ASSERT_NE(nullptr, hood);
    ASSERT_NE(nullptr, list.ShellItemAt(0));
    EXPECT_EQ(IdListLength(list.ShellItemAt(0)->IdList()), IdListLength(hood->m_pIdList));
    // The recursion read the neighbourhood and, below it, the real folder.
    EXPECT_EQ(1u, seen.count("x"));
    EXPECT_EQ(1u, seen.count("inner.txt"));
    EXPECT_EQ(Dir() + "sub\\inner.txt", seen["inner.txt"].path);
    EXPECT_EQ(6u, seen.size());
  }
  {
    // A cancel set while the shell folder is read stops after one entry.
    CDirList list;
    list.SetNotify(
        [](UINT_PTR context, int, int, uint32_t code) {
          if (code == 1) reinterpret_cast<CDirList*>(context)->m_cancel = 1;
        },
        (UINT_PTR)&list, 1, 2, 3, 4, 0x100);
    EXPECT_EQ(1, list.Read("\\\\", DIRLIST_NETWORK, nullptr, nullptr));
    EXPECT_EQ(DIRSTOP_CANCELLED, list.m_stopReason);
  }
  SetShellIconCalls(nullptr);
}

TEST_F(ShellListing, MyComputerQueuesItsFoldersByDisplayPath) {
  SetNeighbourhoodFolder(CSIDL_DRIVES, nullptr);
  CDirList list("\\\\", DIRLIST_NETWORK | DIRLIST_RECURSE | DIRLIST_LIST_DIRS);
  list.Read();
  bool drive = false, shellFolder = false;
  for (int i = 0; i < list.m_dirs.count; ++i) {
    std::string text = list.m_dirs.TextAt(i);
    int32_t extra = *reinterpret_cast<int32_t*>(list.m_dirs.items[i]);
    if (text == "C:\\") drive = extra == DIRLIST_FS_DIRECTORY;
    if (text.size() > 3 && text.compare(0, 2, "\\\\") == 0 && text.find("Control") != std::string::npos) {
      shellFolder = extra >= 0 && list.ShellItemAt(extra) != nullptr;
    }
  }
  EXPECT_TRUE(drive);
  ASSERT_TRUE(shellFolder);
  // The same folder opened by its display path is a shell directory too.
  std::string folder;
  for (int i = 0; i < list.m_dirs.count; ++i) {
    std::string text = list.m_dirs.TextAt(i);
    if (text.compare(0, 2, "\\\\") == 0 && text.find("Control") != std::string::npos) folder = text;
  }
  list.Open(folder.c_str(), DIRLIST_NETWORK | DIRLIST_LIST_DIRS, nullptr, nullptr);
  list.Read();
  ASSERT_GE(list.m_dirs.count, 1);
  EXPECT_EQ(folder, list.m_dirs.TextAt(0));
  EXPECT_GE(*reinterpret_cast<int32_t*>(list.m_dirs.items[0]), 0);
  for (int i = 0; i < list.m_entries.count; ++i) EXPECT_NE(0u, list.EntryAt(i)->mode & DIRENTRY_SHELL);
}

}  // namespace
