#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "path_test_util.h"
#include "system/deletefile.h"
#include "system/filesize.h"
#include "system/pathtype.h"

namespace {

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A drive letter that names no drive.
std::string MissingDrive() {
  DWORD drives = GetLogicalDrives();
  for (int i = 'Q' - 'A'; i < 26; ++i)
    if (!(drives >> i & 1)) return std::string(1, char('A' + i)) + ":";
  return "";
}

}  // namespace

TEST(PathType, Kinds) {
  ScratchDir dir;
  dir.WriteFile("f.txt", "hello");
  std::string missing = MissingDrive();
  ASSERT_FALSE(missing.empty());
  struct {
    std::string path;
    int want;
  } cases[] = {
      {"C:\\", PATHTYPE_DRIVE_ROOT},    {"c:/", PATHTYPE_DRIVE_ROOT},     {"1:\\x", PATHTYPE_NONE},
      {missing + "\\", PATHTYPE_NONE},  {missing, PATHTYPE_NONE},         {dir / "f.txt", PATHTYPE_FILE},
      {dir.Path(), PATHTYPE_DIRECTORY}, {dir / "nothing", PATHTYPE_NONE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPathType(c.path.c_str()), c.want) << c.path;
    EXPECT_EQ(GetPathTypeW(Wide(c.path).c_str()), c.want) << c.path;
  }
  EXPECT_EQ(GetPathType(nullptr), PATHTYPE_NONE);

  // "C:" names the drive's current directory.
  char full[MAX_PATH];
  GetFullPathNameA("C:", MAX_PATH, full, nullptr);
  EXPECT_EQ(GetPathType("C:"), full[3] ? PATHTYPE_DIRECTORY : PATHTYPE_DRIVE_ROOT);
}

TEST(PathType, CreateDirectoryPath) {
  ScratchDir dir;
  std::string deep = dir / "a\\b\\c";
  EXPECT_EQ(CreateDirectoryPath(deep.c_str()), CREATEDIR_CREATED);
  EXPECT_TRUE(IsDirectory(deep));
  EXPECT_EQ(CreateDirectoryPath(deep.c_str()), CREATEDIR_EXISTED);
  EXPECT_EQ(CreateDirectoryPath((deep + "\\").c_str()), CREATEDIR_EXISTED) << "a trailing separator";

  // Only the directory part of a file name.
  std::string file = dir / "x\\y\\file.txt";
  EXPECT_EQ(CreateDirectoryPathEx(file.c_str(), CREATEDIR_PARENT), CREATEDIR_CREATED);
  EXPECT_TRUE(IsDirectory(dir / "x\\y"));
  EXPECT_FALSE(Exists(file));

  // The first characters only.
  std::string counted = dir / "p\\q\\r";
  EXPECT_EQ(CreateDirectoryPathEx(counted.c_str(), (int)(dir / "p").size()), CREATEDIR_CREATED);
  EXPECT_TRUE(IsDirectory(dir / "p"));
  EXPECT_FALSE(Exists(dir / "p\\q"));

  // A file in the way.
  dir.WriteFile("f", "");
  EXPECT_EQ(CreateDirectoryPath((dir / "f").c_str()), CREATEDIR_FAILED);
  EXPECT_EQ(CreateDirectoryPath((dir / "f\\sub").c_str()), CREATEDIR_FAILED);

  EXPECT_EQ(CreateDirectoryPath("C:\\"), CREATEDIR_EXISTED);
  EXPECT_EQ(CreateDirectoryPath((MissingDrive() + "\\x").c_str()), CREATEDIR_FAILED);
  EXPECT_EQ(CreateDirectoryPath("1:\\x"), CREATEDIR_FAILED);

  std::wstring wide = Wide(dir / "w1\\w2");
  EXPECT_EQ(CreateDirectoryPathW(wide.c_str()), CREATEDIR_CREATED);
  EXPECT_TRUE(IsDirectory(dir / "w1\\w2"));
  EXPECT_EQ(CreateDirectoryPathExW((wide + L"\\f.txt").c_str(), CREATEDIR_PARENT), CREATEDIR_EXISTED);
}

TEST(PathType, FileSizes) {
  ScratchDir dir;
  dir.WriteFile("five", "12345");
  std::string five = dir / "five";
  ULONGLONG size = 0;
  EXPECT_EQ(GetFileSizeByName(five.c_str()), 5);
  EXPECT_EQ(GetFileSize64ByName(five.c_str(), &size), 5);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(GetFileSize64ByNameW(Wide(five).c_str(), &size), 5);
  EXPECT_EQ(GetFileSizeByNameW(Wide(five).c_str()), 5);
  for (const std::string& bad : {dir.Path(), dir / "missing"}) {
    size = 0;
    EXPECT_EQ(GetFileSize64ByName(bad.c_str(), &size), -1) << bad;
    EXPECT_EQ(size, ~0ULL) << bad;
    EXPECT_EQ(GetFileSizeByName(bad.c_str()), -1) << bad;
  }

  HANDLE h = CreateFileA(five.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSizeByHandle(h), 5u);
  EXPECT_EQ(GetFileSize64ByHandle(h, &size), 5);
  EXPECT_EQ(size, 5u);
  CloseHandle(h);
  EXPECT_EQ(GetFileSize64ByHandle(INVALID_HANDLE_VALUE, &size), -1);
  EXPECT_EQ(size, ~0ULL);

  FILE* f = std::fopen(five.c_str(), "rb");
  ASSERT_TRUE(f);
  std::fseek(f, 2, SEEK_SET);
  EXPECT_EQ(GetStreamSize(f), 5);
  EXPECT_EQ(std::ftell(f), 2) << "the position is kept";
  EXPECT_EQ(GetStreamSize64(f, &size), 5);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::ftell(f), 2);
  std::fclose(f);
  EXPECT_EQ(GetStreamSize(nullptr), -1);
  EXPECT_EQ(GetStreamSize64(nullptr, &size), -1);
  EXPECT_EQ(size, ~0ULL);
}

// A real low half of 0xFFFFFFFF is told apart from a failure.
TEST(PathType, FileSizeWithAllOnesLowHalf) {
  ScratchDir dir;
  std::string big = dir / "sparse";
  HANDLE h = CreateFileA(big.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD ret;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ret, nullptr);
  LONG high = 0;
  SetFilePointer(h, (LONG)0xFFFFFFFF, &high, FILE_BEGIN);
  if (!SetEndOfFile(h)) {
    CloseHandle(h);
    GTEST_SKIP() << "no room for a sparse file of 4 GB";
  }
  ULONGLONG size = 0;
  EXPECT_EQ(GetFileSize64ByHandle(h, &size), -2);
  EXPECT_EQ(size, 0xFFFFFFFFull);
  CloseHandle(h);
  EXPECT_EQ(GetFileSize64ByName(big.c_str(), &size), -2);
  EXPECT_EQ(size, 0xFFFFFFFFull);
}

TEST(PathType, DeleteFileForce) {
  ScratchDir dir;
  dir.WriteFile("ro", "x");
  std::string ro = dir / "ro";
  SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeleteFileForce(ro.c_str()), 1);
  EXPECT_FALSE(Exists(ro));
  EXPECT_EQ(DeleteFileForce(ro.c_str()), 0) << "missing";
  dir.WriteFile("w", "x");
  SetFileAttributesA((dir / "w").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(DeleteFileForceW(Wide(dir / "w").c_str()), 1);
  EXPECT_FALSE(Exists(dir / "w"));
}
