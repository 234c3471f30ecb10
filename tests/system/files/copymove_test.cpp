#include "system/files/copymove.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "files_test_util.h"
#include "system/files/filetimes.h"

namespace {

int Copy(bool wide, uint32_t flags, const std::string& s, const std::string& t, void* total, void* size,
         const volatile char* cancel = nullptr) {
  return wide ? CopyMoveFileW(flags, Widen(s).c_str(), Widen(t).c_str(), total, size, cancel)
              : CopyMoveFile(flags, s.c_str(), t.c_str(), total, size, cancel);
}

// Seam: the calls fail as the test asks, by the name they get.
struct Faults {
  std::function<DWORD(const std::wstring& from)> move;  // error to fail with, 0 none
  std::function<DWORD(const std::wstring& path)> remove;
  DWORD readError = 0;
  bool shortWrite = false;
};
Faults* g_faults = nullptr;

std::wstring WideOf(LPCSTR s) { return Widen(s); }
BOOL WINAPI MoveA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (DWORD e = g_faults->move ? g_faults->move(WideOf(from)) : 0) return SetLastError(e), FALSE;
  return MoveFileExA(from, to, flags);
}
BOOL WINAPI MoveW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (DWORD e = g_faults->move ? g_faults->move(from) : 0) return SetLastError(e), FALSE;
  return MoveFileExW(from, to, flags);
}
BOOL WINAPI DeleteA(LPCSTR path) {
  if (DWORD e = g_faults->remove ? g_faults->remove(WideOf(path)) : 0) return SetLastError(e), FALSE;
  return DeleteFileA(path);
}
BOOL WINAPI DeleteW(LPCWSTR path) {
  if (DWORD e = g_faults->remove ? g_faults->remove(path) : 0) return SetLastError(e), FALSE;
  return DeleteFileW(path);
}
BOOL WINAPI Read(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED o) {
  if (g_faults->readError) return SetLastError(g_faults->readError), FALSE;
  return ReadFile(h, buf, n, got, o);
}
BOOL WINAPI Write(HANDLE h, LPCVOID buf, DWORD n, LPDWORD put, LPOVERLAPPED o) {
  return WriteFile(h, buf, g_faults->shortWrite && n > 1 ? n - 1 : n, put, o);
}
const FileCopyCalls kFaultCalls = {MoveA, MoveW, DeleteA, DeleteW, Read, Write};

class CopyMove : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    g_faults = &faults;
    SetFileCopyCalls(&kFaultCalls);
  }
  void TearDown() override {
    SetFileCopyCalls(nullptr);
    g_faults = nullptr;
  }
  bool wide = GetParam();
  Faults faults;
  FilesScratch dir;
};

bool EndsWith(const std::wstring& s, const wchar_t* tail) {
  size_t n = wcslen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

TEST_P(CopyMove, FlagCases) {
  struct Case {
    const char* name;
    uint32_t flags;
    std::function<void(const FilesScratch&, Faults&)> setup;
    const char* target;  // below the scratch directory
    int result;
    DWORD error;          // 0: not checked
    uint32_t total;       // starts at 5
    const char* content;  // of the target afterwards, "<none>" when absent
    bool sourceStays;
  };
  auto none = [](const FilesScratch&, Faults&) {};
  auto existing = [](const FilesScratch& d, Faults&) { d.Write("Ziel €.txt", "alt"); };
  // clang-format off
  const Case cases[] = {
    {"copy", 0, none, "Ziel €.txt", 1, 0, 10, "0123456789", true},
    {"copy over", 0, existing, "Ziel €.txt", 1, 0, 10, "0123456789", true},
    {"add to total", CMF_ADD_TO_TOTAL, none, "Ziel €.txt", 1, 0, 15, "0123456789", true},
    {"no overwrite", CMF_NO_OVERWRITE, existing, "Ziel €.txt", -1, 80, 0, "alt", true},
    {"no overwrite counts", CMF_NO_OVERWRITE | CMF_COUNT_ALWAYS, existing, "Ziel €.txt", -1, 80, 10, "alt", true},
    {"no overwrite dir", CMF_NO_OVERWRITE, [](const FilesScratch& d, Faults&) { d.Dir("Ziel €.txt"); }, "Ziel €.txt", -2, 267, 0, "<none>", true},
    {"missing dir", 0, none, "neu\\ab\\Ziel.txt", -2, 0, 0, "<none>", true},
    {"create dirs", CMF_CREATE_DIRS, none, "neu\\ab\\Ziel.txt", 1, 0, 10, "0123456789", true},
    {"blocking file", CMF_CREATE_DIRS | CMF_REMOVE_BLOCKING_FILE, [](const FilesScratch& d, Faults&) { d.Write("neu", "x"); }, "neu\\Ziel.txt", 1, 0, 10, "0123456789", true},
    {"blocking file kept", CMF_CREATE_DIRS, [](const FilesScratch& d, Faults&) { d.Write("neu", "x"); }, "neu\\Ziel.txt", -2, 3, 0, "<none>", true},
    {"move", CMF_MOVE, existing, "Ziel €.txt", 1, 0, 10, "0123456789", false},
    {"move create dirs", CMF_MOVE | CMF_CREATE_DIRS, none, "a\\b\\Ziel.txt", 1, 0, 10, "0123456789", false},
    {"move missing dir", CMF_MOVE, none, "a\\b\\Ziel.txt", -2, 0, 0, "<none>", true},
    {"move into dir", CMF_MOVE, [](const FilesScratch& d, Faults&) { d.Dir("Ziel €.txt"); }, "Ziel €.txt", -2, 5, 0, "<none>", true},
    {"move by copy", CMF_MOVE, [](const FilesScratch&, Faults& f) { f.move = [](const std::wstring&) { return 17ul; }; }, "Ziel €.txt", 1, 0, 10, "0123456789", false},
    {"source stays", CMF_MOVE, [](const FilesScratch&, Faults& f) {
        f.move = [](const std::wstring&) { return 17ul; };
        f.remove = [](const std::wstring& p) { return EndsWith(p, L"Quelle.txt") ? 5ul : 0ul; }; }, "Ziel €.txt", -7, 0, 10, "0123456789", true},
    {"source forced", CMF_MOVE | CMF_FORCE_DELETE_SOURCE, [](const FilesScratch&, Faults& f) {
        f.move = [](const std::wstring&) { return 17ul; };
        auto once = std::make_shared<int>(0);
        f.remove = [once](const std::wstring&) { return (*once)++ ? 0ul : 5ul; }; }, "Ziel €.txt", 1, 0, 10, "0123456789", false},
    {"short write", 0, [](const FilesScratch&, Faults& f) { f.shortWrite = true; }, "Ziel €.txt", -4, 0, 0, "<none>", true},
    {"short write counts", CMF_COUNT_ALWAYS, [](const FilesScratch&, Faults& f) { f.shortWrite = true; }, "Ziel €.txt", -4, 0, 10, "<none>", true},
    {"read fails", CMF_VIA_TEMP, [](const FilesScratch& d, Faults& f) { d.Write("Ziel €.txt", "alt"); f.readError = 23; }, "Ziel €.txt", -5, 0, 0, "alt", true},
    {"via temp", CMF_VIA_TEMP, existing, "Ziel €.txt", 1, 0, 10, "0123456789", true},
    {"via temp new", CMF_VIA_TEMP, none, "Ziel €.txt", 1, 0, 10, "0123456789", true},
    {"via temp not renamed", CMF_VIA_TEMP, [](const FilesScratch& d, Faults& f) {
        d.Write("Ziel €.txt", "alt");
        f.move = [](const std::wstring& p) { return EndsWith(p, L".cfp.tmp") ? 32ul : 0ul; }; }, "Ziel €.txt", -6, 0, 10, "alt", true},
    {"via temp read-only", CMF_VIA_TEMP, [](const FilesScratch& d, Faults&) {
        d.Write("Ziel €.txt", "alt");
        SetFileAttributesA((d / "Ziel €.txt").c_str(), FILE_ATTRIBUTE_READONLY); }, "Ziel €.txt", -2, 5, 10, "alt", true},
    {"via temp clear read-only", CMF_VIA_TEMP | CMF_CLEAR_READONLY, [](const FilesScratch& d, Faults&) {
        d.Write("Ziel €.txt", "alt");
        SetFileAttributesA((d / "Ziel €.txt").c_str(), FILE_ATTRIBUTE_READONLY); }, "Ziel €.txt", 1, 0, 10, "0123456789", true},
  };
  // clang-format on
  for (const Case& c : cases) {
    FilesScratch d;
    Faults f;
    faults = f;
    d.Write("Quelle.txt", "0123456789");
    c.setup(d, faults);
    uint32_t total = 5;
    SetLastError(0);
    int r = Copy(wide, c.flags, d / "Quelle.txt", d / c.target, &total, nullptr);
    DWORD error = GetLastError();
    faults = Faults();
    EXPECT_EQ(c.result, r) << c.name;
    if (c.error) {
      EXPECT_EQ(c.error, error) << c.name;
    }
    EXPECT_EQ(c.total, total) << c.name;
    DWORD attrs = GetFileAttributesA((d / c.target).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
      EXPECT_EQ(c.content, d.Read(c.target)) << c.name;
    }
    EXPECT_EQ(c.sourceStays, d.Exists("Quelle.txt")) << c.name;
    EXPECT_FALSE(d.Exists(std::string(c.target) + ".cfp.tmp")) << c.name;
  }
}

TEST_P(CopyMove, SizesTotalsTimesAndAttributes) {
  std::string big(8192, 'b');
  dir.Write("acht.bin", big);
  dir.Write("leer.bin", "");
  uint64_t total = 3, size = 7;
  EXPECT_EQ(1, Copy(wide, CMF_TOTAL64 | CMF_SIZE64 | CMF_ADD_TO_TOTAL, dir / "acht.bin", dir / "x.bin", &total, &size));
  EXPECT_EQ(8195u, total);
  EXPECT_EQ(8192u, size);
  EXPECT_EQ(big, dir.Read("x.bin"));
  uint32_t total32 = 9, size32 = 9;
  EXPECT_EQ(1, Copy(wide, 0, dir / "leer.bin", dir / "y.bin", &total32, &size32));
  EXPECT_EQ(0u, total32);
  EXPECT_EQ(0u, size32);
  EXPECT_EQ("", dir.Read("y.bin"));
  // A missing source or a directory with a total: -3 at once, the size 0.
  size32 = 9;
  EXPECT_EQ(-3, Copy(wide, 0, dir / "fehlt", dir / "z.bin", &total32, &size32));
  EXPECT_EQ(0u, size32);
  dir.Dir("ordner");
  EXPECT_EQ(-3, Copy(wide, 0, dir / "ordner", dir / "z.bin", &total32, nullptr));
  EXPECT_EQ(-3, Copy(wide, CMF_MOVE, dir / "fehlt", dir / "z.bin", nullptr, nullptr));
  EXPECT_FALSE(dir.Exists("z.bin"));

  // Times and attributes travel on request.
  dir.Write("alt.txt", "t");
  SetFileAttributesA((dir / "alt.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  FILETIME write;
  UnixTimeToFileTime(1000000000, &write);
  HANDLE h = CreateFileA((dir / "alt.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &write);
  CloseHandle(h);
  EXPECT_EQ(1, Copy(wide, CMF_COPY_TIMES | CMF_COPY_ATTRIBUTES, dir / "alt.txt", dir / "kopie.txt", nullptr, nullptr));
  EXPECT_EQ(1000000000u, GetFileUnixTimeA((dir / "kopie.txt").c_str(), 0));
  EXPECT_EQ(GetFileAttributesA((dir / "alt.txt").c_str()), GetFileAttributesA((dir / "kopie.txt").c_str()));
  EXPECT_EQ(1, Copy(wide, 0, dir / "alt.txt", dir / "plain.txt", nullptr, nullptr));
  EXPECT_NE(1000000000u, GetFileUnixTimeA((dir / "plain.txt").c_str(), 0));
  EXPECT_EQ(1, Copy(wide, CMF_MOVE, dir / "alt.txt", dir / "bewegt.txt", nullptr, nullptr));
  EXPECT_EQ(1000000000u, GetFileUnixTimeA((dir / "bewegt.txt").c_str(), 0));
  EXPECT_TRUE(GetFileAttributesA((dir / "bewegt.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_P(CopyMove, CancelAndTargetsHeldOpen) {
  dir.Write("q.txt", "0123456789");
  dir.Write("z.txt", "alt");
  char cancel = 1;
  uint32_t total = 0;
  EXPECT_EQ(0, Copy(wide, CMF_COUNT_ALWAYS, dir / "q.txt", dir / "z.txt", &total, nullptr, &cancel));
  EXPECT_FALSE(dir.Exists("z.txt"));
  EXPECT_EQ(10u, total);
  dir.Write("z.txt", "alt");
  EXPECT_EQ(0, Copy(wide, CMF_VIA_TEMP, dir / "q.txt", dir / "z.txt", nullptr, nullptr, &cancel));
  EXPECT_EQ("alt", dir.Read("z.txt"));
  EXPECT_FALSE(dir.Exists("z.txt.cfp.tmp"));

  HANDLE h = CreateFileA((dir / "z.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  EXPECT_EQ(-2, Copy(wide, 0, dir / "q.txt", dir / "z.txt", nullptr, nullptr));
  SetLastError(0);
  EXPECT_EQ(-2, Copy(wide, CMF_VIA_TEMP, dir / "q.txt", dir / "z.txt", nullptr, nullptr));
  EXPECT_EQ(5u, GetLastError());
  CloseHandle(h);
  EXPECT_EQ("alt", dir.Read("z.txt"));
  EXPECT_FALSE(dir.Exists("z.txt.cfp.tmp"));

  // The temporary file lies beside the target under the target's name.
  std::wstring seen;
  faults.move = [&seen](const std::wstring& from) {
    seen = from;
    return 32ul;
  };
  EXPECT_EQ(-6, Copy(wide, CMF_VIA_TEMP, dir / "q.txt", dir / "z.txt", nullptr, nullptr));
  EXPECT_EQ(dir.W("z.txt.cfp.tmp"), seen);
}

INSTANTIATE_TEST_SUITE_P(Widths, CopyMove, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

// A second thread cancels a copy of 64 MB on its way.
TEST(CopyMoveCancel, FromAnotherThread) {
  FilesScratch dir;
  std::string source = dir / "groß.bin";
  {
    HANDLE h = CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string block(1 << 20, 'g');
    DWORD n;
    for (int i = 0; i < 64; ++i) WriteFile(h, block.data(), (DWORD)block.size(), &n, nullptr);
    CloseHandle(h);
  }
  for (bool viaTemp : {false, true}) {
    dir.Write("ziel.bin", "alt");
    volatile char cancel = 0;
    uint64_t total = 0;
    std::atomic<bool> done{false};
    std::thread canceller([&] {
      while (!done && total < (4u << 20)) Sleep(0);
      cancel = 1;
    });
    int r = CopyMoveFile(CMF_TOTAL64 | (viaTemp ? CMF_VIA_TEMP : 0), source.c_str(), (dir / "ziel.bin").c_str(), &total,
                         nullptr, &cancel);
    done = true;
    canceller.join();
    EXPECT_EQ(0, r) << viaTemp;
    EXPECT_LT(total, 64u << 20);
    EXPECT_EQ(viaTemp ? "alt" : "<none>", dir.Read("ziel.bin")) << viaTemp;
    EXPECT_FALSE(dir.Exists("ziel.bin.cfp.tmp"));
  }
}

}  // namespace
