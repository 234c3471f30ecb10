// The list-filling and expansion threads: stopped, joined, never two at once.
#include <atomic>
#include <cstring>

#include "browser_fixture.h"
// after windows.h
#include <tlhelp32.h>

namespace {

// One key of 50,000 values for the whole run.
const std::string& BigValueKey() {
  static TestRegistryKey* key = nullptr;
  static std::string path;
  if (!key) {
    key = new TestRegistryKey;  // removed when the process ends
    atexit([] { delete key; });
    HKEY big;
    RegCreateKeyExA(key->Handle(), "big", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &big, nullptr);
    char name[32];
    for (DWORD i = 0; i < 50000; ++i) {
      sprintf(name, "Wert %05lu", (unsigned long)i);
      RegSetValueExA(big, name, 0, REG_DWORD, (const BYTE*)&i, 4);
    }
    RegCloseKey(big);
    path = key->FullPath() + "\\big";
  }
  return path;
}

int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {sizeof te};
  int n = 0;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
    n += te.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snap);
  return n;
}

TEST_F(BrowserTest, QuickSwitchesEndWithTheLastKeysRows) {
  const std::string& big = BigValueKey();
  HKEY k = m_key->Handle();
  SetRaw(k, "eins", REG_SZ, "1\0", 2);
  SetRaw(k, "zwei", REG_SZ, "2\0", 2);
  CRegWnd& pane = MakePane();
  // Each visit of the big key enumerates its 50,000 names (about 2 s under
  // Wine): 20 round trips stop 20 fillings in their first rows.
  for (int i = 0; i < 20; ++i) {
    pane.NavigateTo(big.c_str(), 1);
    pane.NavigateTo(Key().c_str(), 1);
    if (i % 5 == 0) PumpMessages(0);
  }
  SettlePane(pane);
  EXPECT_EQ(RowNames(pane.List()), (std::vector<std::string>{"(Standard)", "eins", "zwei"}));
  EXPECT_EQ(CellText(pane.List(), 2, 2), "\"2\"");
  EXPECT_EQ(pane.FillState(), 2);
}

TEST_F(BrowserTest, BigKeyScreenshotAndFullListing) {
  const std::string& big = BigValueKey();
  CRegWnd& pane = MakePane();
  // The first screen, with its cells, is there while the thread still
  // inserts: the user-interface thread asks for it all along the filling.
  pane.NavigateTo(big.c_str(), 1);
  std::string firstScreenData;
  while (pane.FillState() != 2 && firstScreenData.empty()) {
    pane.List().SendMessage(TLM_RUNDEFERRED);
    if ((int)pane.List().SendMessage(TLM_GETROWCOUNT) >= 40) {
      std::string data = CellText(pane.List(), 39, 2);
      if (pane.FillState() != 2) firstScreenData = data;
    }
  }
  EXPECT_EQ(firstScreenData, "0x00000026 / 38");  // row 0 is the default value
  SettlePane(pane);
  ASSERT_EQ((int)pane.List().SendMessage(TLM_GETROWCOUNT), 50001);
  EXPECT_EQ(CellText(pane.List(), 50000, 0), "Wert 49999");
  EXPECT_EQ(CellText(pane.List(), 50000, 2), "0x0000C34F / 49999");
  pane.ScrollToEntry(25000);
  PumpMessages(100);
  EXPECT_TRUE(WindowCapture::FromScreen(m_host->m_hWnd).SavePng(ScreenshotPath("browser_50000_values.png").c_str()));
}

TEST_F(BrowserTest, DestroyingWhileFillingLeavesNoThread) {
  const std::string& big = BigValueKey();
  int before = ThreadCount();
  for (int round = 0; round < 3; ++round) {
    CRegWnd* pane = new CRegWnd;
    ASSERT_TRUE(pane->CreateWnd(0xCE8, CRect(0, 0, 800, 500), m_host, 4241));
    pane->NavigateTo(big.c_str(), 1);
    EXPECT_TRUE(pane->ListThreadRunning());
    if (round == 1) {
      // And an expansion on its way.
      HTREEITEM root = (HTREEITEM)pane->Tree().SendMessage(TVM_GETNEXTITEM, TVGN_ROOT, 0);
      pane->Tree().SendMessage(TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
    }
    if (round == 2)
      delete pane;  // destroys the window in the destructor
    else {
      pane->DestroyWindow();
      EXPECT_FALSE(pane->ListThreadRunning());
      EXPECT_FALSE(pane->ExpandThreadRunning());
      delete pane;
    }
  }
  PumpMessages(50);
  EXPECT_LE(ThreadCount(), before);
}

// A source whose children block on the expansion thread until released.
class CBlockingSource : public CTreeWnd {
 public:
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> inside{0}, most{0};
  std::vector<DWORD> threadOf = std::vector<DWORD>(20, 0);
  DWORD ui = GetCurrentThreadId();
  CRITICAL_SECTION lock;
  CBlockingSource() { InitializeCriticalSection(&lock); }
  ~CBlockingSource() override {
    CloseHandle(release);
    DeleteCriticalSection(&lock);
  }
  int FillRoots(CTextList* roots) override {
    TreeWndEntry e = {0, 0, kEntryRoot, 0, 0};
    for (int i = 0; i < 12; ++i) roots->InsertString(("R" + std::to_string(i)).c_str(), -1, &e);
    return 12;
  }
  int FillChildren(CTextList* list, const char* path, LPARAM value) override {
    if (list && (value & kTreeItemLevelMask) == 0) {
      int root = atoi(path + 1);
      if (GetCurrentThreadId() != ui) {
        int now = ++inside;
        int m = most;
        while (now > m && !most.compare_exchange_weak(m, now)) {
        }
        WaitForSingleObject(release, 10000);
        --inside;
      }
      EnterCriticalSection(&lock);
      threadOf[root] = GetCurrentThreadId();
      LeaveCriticalSection(&lock);
    }
    return CTreeWnd::FillChildren(list, path, value);
  }
};

DWORD WINAPI ReleaseLater(LPVOID event) {
  Sleep(600);
  SetEvent((HANDLE)event);
  return 0;
}

TEST_F(BrowserTest, OneExpansionThreadAndTheNinthOnTheUiThread) {
  CBlockingSource pane;
  ASSERT_TRUE(pane.CreateWnd(0, CRect(0, 0, 600, 500), m_host, 4241));
  std::vector<HTREEITEM> roots;
  for (HTREEITEM r = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_ROOT, 0); r;
       r = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)r))
    roots.push_back(r);
  ASSERT_EQ(roots.size(), 12u);
  HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, pane.release, 0, nullptr);
  // Eight wait in the queue (the first being walked); the ninth is filled at once here.
  for (int i = 0; i < 9; ++i) pane.Tree().SendMessage(TVM_EXPAND, TVE_EXPAND, (LPARAM)roots[i]);
  DWORD start = GetTickCount();
  while (pane.ExpandThreadRunning() && GetTickCount() - start < 20000) PumpMessages(5);
  WaitForSingleObject(releaser, INFINITE);
  CloseHandle(releaser);
  PumpMessages(20);
  EXPECT_EQ(pane.most.load(), 1);
  EXPECT_EQ(pane.threadOf[8], GetCurrentThreadId());
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(pane.threadOf[i], 0u);
    EXPECT_NE(pane.threadOf[i], GetCurrentThreadId());
  }
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    LPARAM data = pane.Tree().SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)roots[i]);
    EXPECT_TRUE(data & kTreeItemFilled);
    EXPECT_EQ(ChildNames(pane.Tree(), roots[i]), std::vector<std::string>{"Ebene 0"});
  }
  pane.DestroyWindow();
}

}  // namespace
