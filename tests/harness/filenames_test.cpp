// File names beyond ASCII: Wine maps them to the Linux side through the
// locale, which must exist for "ä ö ü ß €" to survive through the A and W calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kNameA[] = "ä ö ü ß €";  // code page 1252 bytes
const wchar_t kNameW[] = L"ä ö ü ß €";

// The names in a folder, without "." and "..", through the A or the W calls.
std::vector<std::string> ListA(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

std::vector<std::wstring> ListW(const std::wstring& path) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) names.push_back(fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

// A fresh folder below the temporary folder, removed with what is left in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "ostrova-names-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const std::string& name : ListA(m_path)) {
      std::string full = m_path + "\\" + name;
      DeleteFileA(full.c_str());
      RemoveDirectoryA(full.c_str());
    }
    RemoveDirectoryA(m_path.c_str());
  }
  const std::string& Path() const { return m_path; }
  std::wstring PathW() const {
    wchar_t wide[MAX_PATH];
    int n = MultiByteToWideChar(CP_ACP, 0, m_path.c_str(), -1, wide, MAX_PATH);
    return std::wstring(wide, n > 0 ? n - 1 : 0);
  }

 private:
  std::string m_path;
};

std::string ReadAll(HANDLE h) {
  char buffer[64];
  DWORD got = 0;
  ReadFile(h, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(h);
  return std::string(buffer, got);
}

}  // namespace

TEST(FileNames, NonAsciiThroughTheAnsiCalls) {
  ASSERT_EQ(GetACP(), 1252u);
  ScratchFolder folder;
  std::string dir = folder.Path() + "\\" + kNameA;
  std::string file = dir + "\\" + kNameA + ".txt";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << GetLastError();
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  DWORD written;
  WriteFile(h, "Grüße", 5, &written, nullptr);
  CloseHandle(h);

  EXPECT_EQ(ListA(folder.Path()), std::vector<std::string>{kNameA});
  EXPECT_EQ(ListW(folder.PathW()), std::vector<std::wstring>{kNameW}) << "the A name reads back as U+20AC";
  EXPECT_EQ(ReadAll(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)), "Grüße");

  EXPECT_TRUE(DeleteFileA(file.c_str())) << GetLastError();
  EXPECT_TRUE(RemoveDirectoryA(dir.c_str())) << GetLastError();
  EXPECT_TRUE(ListA(folder.Path()).empty());
}

TEST(FileNames, NonAsciiThroughTheWideCalls) {
  ScratchFolder folder;
  std::wstring dir = folder.PathW() + L"\\" + kNameW;
  std::wstring file = dir + L"\\" + kNameW + L".txt";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr)) << GetLastError();
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  DWORD written;
  WriteFile(h, "Euro", 4, &written, nullptr);
  CloseHandle(h);

  EXPECT_EQ(ListW(folder.PathW()), std::vector<std::wstring>{kNameW});
  EXPECT_EQ(ListA(folder.Path()), std::vector<std::string>{kNameA}) << "the W name reads back as byte 0x80";
  std::string fileA = folder.Path() + "\\" + kNameA + "\\" + kNameA + ".txt";
  EXPECT_EQ(ReadAll(CreateFileA(fileA.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)), "Euro");

  EXPECT_TRUE(DeleteFileW(file.c_str())) << GetLastError();
  EXPECT_TRUE(RemoveDirectoryW(dir.c_str())) << GetLastError();
  EXPECT_TRUE(ListW(folder.PathW()).empty());
}
