#include "system/listing/netshares.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../files/files_test_util.h"
#include "system/listing/dirlist.h"
#include "system/shelliconcache.h"

namespace {

// A made-up server: pages of share names, the reachable ones, an error.
struct FakeServer {
  std::vector<std::vector<std::wstring>> pages;
  std::vector<std::wstring> reachable;
  int failOnPage = -1;              // this page's call fails with 53
  bool moreWithoutRecords = false;  // an extra call answers 234 with no records
  int calls = 0;
  int freed = 0;
  std::vector<std::wstring> servers;
};
FakeServer* g_server;

NET_API_STATUS WINAPI FakeEnum(LMSTR server, DWORD level, LPBYTE* buffer, DWORD, LPDWORD read, LPDWORD total,
                               LPDWORD resume) {
  EXPECT_EQ(502u, level);
  g_server->servers.push_back(server);
  int page = (int)*resume;
  ++g_server->calls;
  *buffer = nullptr;
  *read = 0;
  if (page == g_server->failOnPage) return 53;
  if (page >= (int)g_server->pages.size()) {
    *total = 0;
    return g_server->moreWithoutRecords ? ERROR_MORE_DATA : 0;
  }
  const std::vector<std::wstring>& names = g_server->pages[page];
  SHARE_INFO_502* infos = static_cast<SHARE_INFO_502*>(GlobalAlloc(GPTR, sizeof(SHARE_INFO_502) * names.size() + 1));
  for (size_t i = 0; i < names.size(); ++i) infos[i].shi502_netname = const_cast<LPWSTR>(names[i].c_str());
  *buffer = reinterpret_cast<LPBYTE>(infos);
  *read = (DWORD)names.size();
  *total = *read;
  *resume = (DWORD)(page + 1);
  bool more =
      page + 1 < (int)g_server->pages.size() || g_server->moreWithoutRecords || page + 1 == g_server->failOnPage;
  return more ? ERROR_MORE_DATA : 0;
}
NET_API_STATUS WINAPI FakeFree(LPVOID p) {
  ++g_server->freed;
  GlobalFree(p);
  return 0;
}
DWORD WINAPI FakeAttributes(LPCWSTR path) {
  std::wstring p = path;
  for (const std::wstring& r : g_server->reachable) {
    if (p == L"\\\\SRV\\" + r) return FILE_ATTRIBUTE_DIRECTORY;
  }
  return INVALID_FILE_ATTRIBUTES;
}
const ShareCalls kFake = {FakeEnum, FakeFree, FakeAttributes};

std::vector<std::string> AllShares(const char* server) {
  std::vector<std::string> out;
  ShareEnum* e = OpenShareEnum(server);
  if (!e) return {"<none>"};
  char name[260];
  while (NextShare(e, name, sizeof name) > 0) out.push_back(name);
  EXPECT_EQ(1, CloseShareEnum(e));
  return out;
}

class NetShares : public ::testing::Test {
 protected:
  void SetUp() override {
    g_server = &server;
    SetShareCalls(&kFake);
  }
  void TearDown() override {
    SetShareCalls(nullptr);
    g_server = nullptr;
  }
  FakeServer server;
};

TEST_F(NetShares, HiddenAndUnreachableSharesAreLeftOut) {
  server.pages = {{L"data", L"print$", L"IPC$", L"$", L"weg", L"Maß"}};
  server.reachable = {L"data", L"print$", L"IPC$", L"$", L"Maß"};
  EXPECT_EQ(std::vector<std::string>({"data", "$", "Maß"}), AllShares("//SRV/egal"));
  EXPECT_EQ(L"\\\\SRV", server.servers[0]);
  EXPECT_EQ(1, server.freed);
  EXPECT_EQ(0, CloseShareEnum(nullptr));
  EXPECT_EQ(nullptr, OpenShareEnum("\\\\"));
  EXPECT_EQ(nullptr, OpenShareEnum(("\\\\" + std::string(65, 's')).c_str()));
}

TEST_F(NetShares, PagesEndsAndErrors) {
  server.pages = {{L"a", L"b"}, {L"c"}};
  server.reachable = {L"a", L"b", L"c"};
  EXPECT_EQ(std::vector<std::string>({"a", "b", "c"}), AllShares("\\\\SRV"));
  EXPECT_EQ(2, server.calls);
  // 234 without records ends instead of asking for ever.
  server = FakeServer();
  server.pages = {{L"a"}};
  server.reachable = {L"a"};
  server.moreWithoutRecords = true;
  EXPECT_EQ(std::vector<std::string>({"a"}), AllShares("\\\\SRV"));
  EXPECT_LE(server.calls, 3);
  // An error midway ends the list.
  server = FakeServer();
  server.pages = {{L"a"}, {L"b"}, {L"c"}};
  server.reachable = {L"a", L"b", L"c"};
  server.failOnPage = 1;
  EXPECT_EQ(std::vector<std::string>({"a"}), AllShares("\\\\SRV"));
  // The first call failing gives no enumeration.
  server = FakeServer();
  server.failOnPage = 0;
  EXPECT_EQ(std::vector<std::string>({"<none>"}), AllShares("\\\\SRV"));
  // A short destination is cut, not refused.
  server = FakeServer();
  server.pages = {{L"langername"}};
  server.reachable = {L"langername"};
  ShareEnum* e = OpenShareEnum("\\\\SRV");
  char name[5];
  EXPECT_EQ(5, NextShare(e, name, sizeof name));
  EXPECT_STREQ("lang", name);
  EXPECT_EQ(0, NextShare(e, name, 0));
  CloseShareEnum(e);
}

TEST_F(NetShares, ServerListing) {
  server.pages = {{L"data", L"daten", L"print$"}};
  server.reachable = {L"data", L"daten", L"print$"};
  // Without include patterns every share passes.
  CDirList list("\\\\SRV", DIRLIST_NETWORK | DIRLIST_DIRS_ONLY);
  std::vector<std::string> names;
  while (const char* n = list.Next(DIRNEXT_NAME, nullptr)) names.push_back(n);
  EXPECT_EQ(std::vector<std::string>({"data", "daten"}), names);
  EXPECT_EQ(DIRENTRY_SHELL | FSTAT_DIRECTORY, list.EntryAt(0) ? list.EntryAt(0)->mode : 0u);
  list.Open("\\\\SRV\\", DIRLIST_NETWORK | DIRLIST_DIRS_ONLY, "*n", nullptr);
  EXPECT_EQ(1, list.Read());
  EXPECT_STREQ("daten", list.GetEntryName(0, nullptr));
  list.Open("\\\\SRV", DIRLIST_NETWORK | DIRLIST_RECURSE, nullptr, nullptr);
  list.Read();
  EXPECT_EQ(3, list.m_dirs.count);
  EXPECT_STREQ("\\\\SRV\\daten\\", list.m_dirs.TextAt(2));
}

TEST(NetSharesReal, UnreachableServerListsNothing) {
  CDirList list("\\\\SRV", DIRLIST_NETWORK | DIRLIST_DIRS_ONLY);
  EXPECT_EQ(0, list.Read());
  EXPECT_EQ(-1, list.Read());
}

TEST(NetworkPaths, Resolve) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"c:/a/b", "c:\\a\\b"},
      {"//?/C:/windows/x", "\\\\?\\C:\\windows\\x"},
      {"\\\\Netzwerksumgebung", "\\\\"},
      {"\\\\netzwerksumgebung\\*", "\\\\"},
      {"//Netzwerksumgebung/*.*", "\\\\"},
      {"\\\\Netzwerksumgebung\\Domäne\\SRV\\*", "\\\\Domäne\\SRV"},
      {"//Gruppe/SRV/d", "\\\\Gruppe\\SRV\\d"},
  };
  for (const Case& c : cases) {
    char out[300];
    EXPECT_EQ((int)strlen(c.out), ResolveNetworkPath(c.in, out, sizeof out)) << c.in;
    EXPECT_STREQ(c.out, out) << c.in;
  }
  char small[6] = "keep";
  EXPECT_EQ(0, ResolveNetworkPath("c:/abcdef", small, sizeof small));
  EXPECT_STREQ("", small);
  EXPECT_EQ(0, ResolveNetworkPath("c:", small, 3));
}

// The drives of the namespace root, from a made-up drive mask.
DWORD WINAPI TwoDrives() { return (1u << 2) | (1u << 25); }

TEST(NetworkPaths, NamespaceRoot) {
  ShellIconCalls calls = {SHGetFileInfoW, GetDriveTypeW, TwoDrives, GetSystemDirectoryW, GetTickCount};
  SetShellIconCalls(&calls);
  CDirList list(":", DIRLIST_LIST_DIRS);
  std::vector<std::string> names;
  while (const char* n = list.Next(DIRNEXT_NAME, nullptr)) names.push_back(n);
  EXPECT_EQ(std::vector<std::string>({"C:", "Z:"}), names);
  list.Open(":", DIRLIST_LIST_DIRS | DIRLIST_NETWORK, nullptr, nullptr);
  EXPECT_EQ(3, list.Read());
  EXPECT_STREQ("Netzwerksumgebung", list.GetEntryName(2, nullptr));
  EXPECT_EQ(0xC010u, list.EntryAt(2)->mode);
  EXPECT_EQ(0x4010u, list.EntryAt(0)->mode);
  list.Open(":", DIRLIST_RECURSE, nullptr, nullptr);
  list.Read();
  EXPECT_EQ(3, list.m_dirs.count);
  EXPECT_STREQ("Z:\\", list.m_dirs.TextAt(2));
  SetShellIconCalls(nullptr);
}

}  // namespace
