#include "system/shelliconcache.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "system/blockarray.h"
#include "system/recordptrarray.h"

TEST(ShellIconCache, KeysFoldCaseCutAtEightAndMergeHighCharacters) {
  CShellIconCache cache;
  IconCacheRecord* html = cache.LookupExt("html");
  EXPECT_EQ(cache.LookupExt("HTML"), html);
  EXPECT_EQ(cache.LookupExt("HtMl"), html);
  EXPECT_EQ(cache.LookupExtW(L"hTmL"), html);
  EXPECT_EQ(memcmp(html->key, "html\0\0\0\0", 8), 0);

  IconCacheRecord* longer = cache.LookupExt("abcdefghijk");
  EXPECT_EQ(cache.LookupExt("ABCDEFGHxyz"), longer);
  EXPECT_EQ(memcmp(longer->key, "abcdefgh", 8), 0);
  EXPECT_NE(cache.LookupExt("abcdefg"), longer);

  IconCacheRecord* high = cache.LookupExt("\xE4z");  // ä
  EXPECT_EQ(cache.LookupExt("\xD6z"), high);         // Ö
  EXPECT_EQ(cache.LookupExtW(L"\u0416z"), high);     // Ж
  EXPECT_EQ(high->key[0], 0xFF);
  EXPECT_EQ(high->key[1], 'z');
}

TEST(ShellIconCache, ExtensionsLandInTheBucketOfTheirFirstLetter) {
  CShellIconCache cache;
  EXPECT_EQ(cache.m_ppBuckets, nullptr);
  IconCacheRecord* txt = cache.LookupExt("txt");
  IconCacheRecord* dotTxt = cache.LookupExt(".txt");
  EXPECT_NE(txt, dotTxt);
  ASSERT_NE(cache.m_ppBuckets, nullptr);
  ASSERT_NE(cache.m_ppBuckets[20], nullptr);
  EXPECT_EQ(cache.m_ppBuckets[20]->m_nCount, 1u);
  EXPECT_EQ(cache.m_ppBuckets[20]->m_ppRecords[0], txt);
  ASSERT_NE(cache.m_ppBuckets[0], nullptr);
  EXPECT_EQ(cache.m_ppBuckets[0]->m_ppRecords[0], dotTxt);
  EXPECT_EQ(cache.m_ppBuckets[1], nullptr);

  // A bucket stays sorted by key, whatever the order of the lookups.
  const char* names[] = {"tmp", "tar", "tz", "t", "tab", "TXT", "tgz"};
  for (const char* n : names) cache.LookupExt(n);
  CRecordPtrArray* t = cache.m_ppBuckets[20];
  ASSERT_EQ(t->m_nCount, 7u);
  for (unsigned i = 1; i < t->m_nCount; ++i) EXPECT_LT(memcmp(t->m_ppRecords[i - 1], t->m_ppRecords[i], 8), 0) << i;
}

TEST(ShellIconCache, RecordsStartUnknownAndKeepWhatUsersStore) {
  CShellIconCache cache;
  IconCacheRecord* r = cache.LookupExt("exe");
  for (int icon : r->icon) EXPECT_EQ(icon, -1);
  EXPECT_EQ(r->typeName, nullptr);
  r->icon[1] = 12;
  std::string name = "Anwendung und mehr";
  r->typeName = cache.AddString(name.c_str(), 9);                                   // only the first 9 characters
  for (int i = 0; i < 40; ++i) cache.LookupExt(("e" + std::to_string(i)).c_str());  // the bucket grows
  EXPECT_EQ(cache.LookupExt("EXE"), r);
  EXPECT_EQ(r->icon[1], 12);
  EXPECT_STREQ(r->typeName, "Anwendung");
  EXPECT_STREQ(cache.AddString("", 0), "");

  cache.Clear();
  EXPECT_EQ(cache.m_ppBuckets, nullptr);
  EXPECT_EQ(cache.m_pStrings, nullptr);
  IconCacheRecord* again = cache.LookupExt("exe");
  EXPECT_EQ(again->icon[1], -1);
  EXPECT_EQ(again->typeName, nullptr);
}

TEST(ShellIconCache, ThreadsLookingUpTheSameExtensionsShareRecords) {
  CShellIconCache cache;
  const char* names[] = {"doc", "xls", "ppt", "pdf", "zip", "7z", "bmp", "png"};
  std::vector<std::vector<IconCacheRecord*>> seen(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round)
        for (const char* n : names) seen[t].push_back(cache.LookupExt(n));
      cache.AddString("x", 1);
    });
  for (auto& th : threads) th.join();
  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(seen[0][i], cache.LookupExt(names[i]));
  EXPECT_EQ(cache.m_pStrings->m_nCount, 4u);
}

namespace {

// A made-up shell and clock that record what they were asked.
struct FakeShell {
  DWORD now = 100000;
  UINT driveType = DRIVE_FIXED;
  bool fail = false;
  int nextIcon = 10;
  DWORD mask = 0;
  const wchar_t* systemDir = L"c:\\windows\\system32";
  int fileInfoCalls = 0, maskCalls = 0, sysDirCalls = 0;
  std::wstring lastPath;
  DWORD lastAttributes = 0;
  UINT lastFlags = 0;
};
FakeShell g_fake;

DWORD_PTR WINAPI FakeFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT, UINT flags) {
  ++g_fake.fileInfoCalls;
  g_fake.lastPath = flags & SHGFI_PIDL ? L"<pidl>" : path;
  g_fake.lastAttributes = attributes;
  g_fake.lastFlags = flags;
  if (g_fake.fail) return 0;
  info->iIcon = g_fake.nextIcon++;
  return flags & SHGFI_PIDL ? (DWORD_PTR)(0x1000 + g_fake.fileInfoCalls) : 1;
}
UINT WINAPI FakeDriveType(LPCWSTR) { return g_fake.driveType; }
DWORD WINAPI FakeLogicalDrives() { return ++g_fake.maskCalls, g_fake.mask; }
UINT WINAPI FakeSystemDirectory(LPWSTR buffer, UINT size) {
  ++g_fake.sysDirCalls;
  if (!g_fake.systemDir) return 0;
  lstrcpynW(buffer, g_fake.systemDir, size);
  return lstrlenW(buffer);
}
DWORD WINAPI FakeTickCount() { return g_fake.now; }

class ShellIconHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fake = FakeShell();
    static const ShellIconCalls calls = {FakeFileInfo, FakeDriveType, FakeLogicalDrives, FakeSystemDirectory,
                                         FakeTickCount};
    SetShellIconCalls(&calls);
  }
  void TearDown() override { SetShellIconCalls(nullptr); }
};

}  // namespace

TEST_F(ShellIconHelpers, DriveLettersOutsideAToZAreRefused) {
  for (int letter : {(int)'1', (int)'@', (int)'[', (int)'`', (int)'{', 0xC4, 0x141, 0})
    EXPECT_EQ(GetDriveIconIndex(letter, 0), -2) << letter;
  EXPECT_EQ(g_fake.fileInfoCalls, 0);
}

TEST_F(ShellIconHelpers, FixedDrivesAreAskedOncePerSize) {
  EXPECT_EQ(GetDriveIconIndex('c', SHGFI_SMALLICON | SHGFI_OPENICON), 10);
  EXPECT_EQ(g_fake.lastPath, L"c:\\");  // the caller's case
  EXPECT_EQ(g_fake.lastAttributes, (DWORD)FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(g_fake.lastFlags, 0x4011u);
  g_fake.now += 100000;
  EXPECT_EQ(GetDriveIconIndex('C', SHGFI_SMALLICON), 10);  // same drive, never asked again
  EXPECT_EQ(g_fake.fileInfoCalls, 1);
  EXPECT_EQ(GetDriveIconIndex('C', 0), 11);  // the large icon is asked for once
  EXPECT_EQ(g_fake.lastFlags, 0x4010u);
  EXPECT_EQ(GetDriveIconIndex('c', 0), 11);
  EXPECT_EQ(g_fake.fileInfoCalls, 2);
}

TEST_F(ShellIconHelpers, OtherDrivesAreAskedAgainAfterThreeSeconds) {
  g_fake.driveType = DRIVE_REMOVABLE;
  EXPECT_EQ(GetDriveIconIndex('E', 0), 10);
  g_fake.now += 2999;
  EXPECT_EQ(GetDriveIconIndex('e', 0), 10);
  EXPECT_EQ(g_fake.fileInfoCalls, 1);
  g_fake.now += 1;
  EXPECT_EQ(GetDriveIconIndex('E', 0), 11);
  EXPECT_EQ(g_fake.fileInfoCalls, 2);

  // The tick count wraps around after 49 days; the difference still counts.
  SetUp();
  g_fake.driveType = DRIVE_REMOTE;
  g_fake.now = 0xFFFFFF00u;
  GetDriveIconIndex('F', 0);
  g_fake.now = 0x100;  // 512 ms later
  GetDriveIconIndex('F', 0);
  EXPECT_EQ(g_fake.fileInfoCalls, 1);
}

TEST_F(ShellIconHelpers, AFailedDriveQueryStoresNothing) {
  g_fake.fail = true;
  EXPECT_EQ(GetDriveIconIndex('D', 0), -1);
  g_fake.fail = false;
  EXPECT_EQ(GetDriveIconIndex('D', 0), 10);
  EXPECT_EQ(g_fake.fileInfoCalls, 2);

  // Soon after start-up the other size is still unknown, not a stale 0.
  SetUp();
  g_fake.driveType = DRIVE_CDROM;
  g_fake.now = 5;
  EXPECT_EQ(GetDriveIconIndex('G', SHGFI_SMALLICON), 10);
  EXPECT_EQ(GetDriveIconIndex('G', 0), 11);
}

TEST_F(ShellIconHelpers, DriveMaskIsAskedOncePerSecond) {
  g_fake.mask = 0x14;
  EXPECT_EQ(GetLogicalDrivesCached(), 0x14u);
  g_fake.mask = 0x1C;
  g_fake.now += 999;
  EXPECT_EQ(GetLogicalDrivesCached(), 0x14u);
  g_fake.now += 1;
  EXPECT_EQ(GetLogicalDrivesCached(), 0x1Cu);
  EXPECT_EQ(g_fake.maskCalls, 2);
  g_fake.mask = 0;  // an empty mask is never trusted
  g_fake.now += 1000;
  GetLogicalDrivesCached();
  GetLogicalDrivesCached();
  EXPECT_EQ(g_fake.maskCalls, 4);
}

TEST_F(ShellIconHelpers, SystemDriveFromTheSystemDirectoryOrTheDriveMask) {
  g_fake.systemDir = L"d:\\windows\\system32";
  EXPECT_EQ(GetSystemDriveLetter(), 'D');
  g_fake.systemDir = L"e:\\";
  EXPECT_EQ(GetSystemDriveLetter(), 'D');  // kept for the process
  EXPECT_EQ(g_fake.sysDirCalls, 1);

  SetUp();
  g_fake.systemDir = nullptr;
  g_fake.mask = 0x23;  // A, B, F
  EXPECT_EQ(GetSystemDriveLetter(), 'F');
  SetUp();
  g_fake.systemDir = nullptr;
  g_fake.mask = 0x3;  // only A and B
  EXPECT_EQ(GetSystemDriveLetter(), 'C');
}

TEST_F(ShellIconHelpers, FolderIconIsAskedForAMadeUpDirectoryEachTime) {
  EXPECT_EQ(GetFolderIconIndex(SHGFI_OPENICON), 10);
  EXPECT_EQ(g_fake.lastPath, L"Hallo");
  EXPECT_EQ(g_fake.lastAttributes, (DWORD)FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(g_fake.lastFlags, 0x4012u);
  EXPECT_EQ(GetFolderIconIndex(0), 11);
  g_fake.fail = true;
  EXPECT_EQ(GetFolderIconIndex(0), -1);
}

TEST_F(ShellIconHelpers, ImageListsAreAskedOnceEachUnlessTheShellFails) {
  g_fake.fail = true;
  EXPECT_EQ(GetSystemImageList(TRUE), nullptr);
  g_fake.fail = false;
  HIMAGELIST large = GetSystemImageList(TRUE);
  EXPECT_EQ(g_fake.lastFlags, 0x4008u);
  HIMAGELIST small = GetSystemImageList(FALSE);
  EXPECT_EQ(g_fake.lastFlags, 0x4009u);
  EXPECT_NE(large, nullptr);
  EXPECT_NE(small, nullptr);
  EXPECT_NE(large, small);
  EXPECT_EQ(GetSystemImageList(2), large);
  EXPECT_EQ(GetSystemImageList(FALSE), small);
  EXPECT_EQ(g_fake.fileInfoCalls, 3);
}

namespace {
int g_realCalls;
DWORD_PTR WINAPI CountingFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
  ++g_realCalls;
  return SHGetFileInfoW(path, attributes, info, size, flags);
}
}  // namespace

TEST(ShellIconsUnderWine, TheShellGivesADriveIconAndBothImageLists) {
  ShellIconCalls calls = {CountingFileInfo, GetDriveTypeW, GetLogicalDrives, GetSystemDirectoryW, GetTickCount};
  SetShellIconCalls(&calls);
  g_realCalls = 0;
  EXPECT_GE(GetDriveIconIndex('C', SHGFI_SMALLICON), 0);
  EXPECT_GE(GetFolderIconIndex(SHGFI_SMALLICON), 0);
  HIMAGELIST large = GetSystemImageList(TRUE);
  HIMAGELIST small = GetSystemImageList(FALSE);
  ASSERT_NE(large, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(GetSystemImageList(TRUE), large);
  EXPECT_EQ(GetSystemImageList(FALSE), small);
  EXPECT_EQ(g_realCalls, 4);
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(small, &cx, &cy));
  EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
  EXPECT_TRUE(ImageList_GetIconSize(large, &cx, &cy));
  EXPECT_EQ(cx, GetSystemMetrics(SM_CXICON));
  EXPECT_GE(GetLogicalDrivesCached() & 4, 4u);  // C: is there
  EXPECT_EQ(GetSystemDriveLetter(), 'C');
  SetShellIconCalls(nullptr);
}
