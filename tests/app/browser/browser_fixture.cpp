#include "browser_fixture.h"

#include <algorithm>

#include "mfc/winapp.h"
#include "ui/colorlistbox.h"
#include "ui/msgbox.h"

BEGIN_MESSAGE_MAP(CBrowserHost, CWnd)
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

BOOL CBrowserHost::Make(int width, int height) {
  LPCSTR cls = AfxRegisterWndClass(0, LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1), nullptr);
  return CreateEx(0, cls, "BrowserHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                  nullptr, nullptr);
}

BOOL CBrowserHost::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  NMHDR* nm = (NMHDR*)lParam;
  Note note = {nm->idFrom, (int)nm->code, (DWORD)-1};
  if (nm->code == (UINT)NM_DBLCLK || nm->code == (UINT)NM_RETURN) {
    NMTREEWNDENTRY* e = (NMTREEWNDENTRY*)nm;
    EXPECT_EQ(e->one, 1u);
    EXPECT_EQ(e->zero1, 0u);
    EXPECT_EQ(e->zero2, 0u);
    note.index = e->index;
  }
  notes.push_back(note);
  return CWnd::OnNotify(wParam, lParam, pResult);
}

void CBrowserHost::OnContextMenu(CWnd*, CPoint) { ++contextMenus; }

void SettlePane(CTreeWnd& pane) {
  for (int i = 0; i < 3; ++i) {
    pane.WaitForListThread();
    PumpMessages(0);
  }
  pane.Tree().SendMessage(TLM_RUNDEFERRED);
  pane.List().SendMessage(TLM_RUNDEFERRED);
}

void ExpandAndWait(CTreeWnd& pane, HTREEITEM item) {
  pane.Tree().SendMessage(TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
  DWORD start = GetTickCount();
  do {
    PumpMessages(5);
  } while (pane.ExpandThreadRunning() && GetTickCount() - start < 20000);
  PumpMessages(5);
  pane.Tree().SendMessage(TLM_RUNDEFERRED);
}

HTREEITEM ShownTreeItem(CTreeWnd& pane) {
  HTREEITEM caret = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  if (caret) ExpandAndWait(pane, caret);
  return caret;
}

std::string CellText(CTreeListCtrl& list, int row, int column) {
  char buf[600] = "";
  list.GetCellTextByRow(row, buf, sizeof buf, column);
  return buf;
}

std::vector<std::string> RowNames(CTreeListCtrl& list) {
  std::vector<std::string> names;
  int rows = (int)list.SendMessage(TLM_GETROWCOUNT);
  for (int r = 0; r < rows; ++r) names.push_back(CellText(list, r, 0));
  return names;
}

std::vector<std::string> ChildNames(CTreeListCtrl& tree, HTREEITEM item) {
  std::vector<std::string> names;
  HTREEITEM child = item == TVI_ROOT ? (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_ROOT, 0)
                                     : (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
  for (; child; child = (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child)) {
    char buf[300] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = child;
    tv.pszText = buf;
    tv.cchTextMax = sizeof buf;
    tree.SendMessage(TVM_GETITEMA, 0, (LPARAM)&tv);
    names.push_back(buf);
  }
  return names;
}

HTREEITEM FindChild(CTreeListCtrl& tree, HTREEITEM parent, const char* name) {
  HTREEITEM child = parent == TVI_ROOT ? (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_ROOT, 0)
                                       : (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent);
  for (; child; child = (HTREEITEM)tree.SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child)) {
    char buf[300] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = child;
    tv.pszText = buf;
    tv.cchTextMax = sizeof buf;
    tree.SendMessage(TVM_GETITEMA, 0, (LPARAM)&tv);
    if (!lstrcmpiA(buf, name)) return child;
  }
  return nullptr;
}

void SetRaw(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS) << name;
}

void MakeKey(HKEY parent, const char* path) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegCloseKey(k);
}

void SetRawW(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  // Non-zero bytes behind the data: the system adds a terminator to a
  // string whose next character is zero.
  std::vector<BYTE> padded((const BYTE*)data, (const BYTE*)data + size);
  padded.push_back(0xFF);
  padded.push_back(0xFF);
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, padded.data(), size), ERROR_SUCCESS);
}

void MakeKeyW(HKEY parent, const wchar_t* path) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegCloseKey(k);
}

namespace {

std::string Hex(const void* p, size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    BYTE b = ((const BYTE*)p)[i];
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string HexName(const std::wstring& name) { return Hex(name.data(), name.size() * 2); }

void Dump(HKEY key, int depth, std::string& out) {
  std::string pad(depth * 2, ' ');
  wchar_t cls[300] = L"";
  DWORD clsLength = 300;
  RegQueryInfoKeyW(key, cls, &clsLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  out += pad + "class " + HexName(std::wstring(cls, clsLength)) + "\n";
  std::vector<std::wstring> values = ValueNamesW(key);
  std::sort(values.begin(), values.end());
  for (const std::wstring& v : values) {
    DWORD type = 0, size = 0;
    RegQueryValueExW(key, v.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size + 1);
    RegQueryValueExW(key, v.c_str(), nullptr, &type, data.data(), &size);
    out += pad + "value " + HexName(v) + " " + std::to_string(type) + " " + Hex(data.data(), size) + "\n";
  }
  std::vector<std::wstring> subs = SubkeyNamesW(key);
  std::sort(subs.begin(), subs.end());
  for (const std::wstring& name : subs) {
    out += pad + "key " + HexName(name) + "\n";
    HKEY child;
    if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) {
      out += pad + "  <unreadable>\n";
      continue;
    }
    Dump(child, depth + 1, out);
    RegCloseKey(child);
  }
}

}  // namespace

std::vector<std::wstring> SubkeyNamesW(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[300];
    DWORD n = 300;
    if (RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, n);
  }
  return names;
}

std::vector<std::wstring> ValueNamesW(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    static wchar_t name[16384];
    DWORD n = 16384;
    if (RegEnumValueW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, n);
  }
  return names;
}

std::string DumpKeyW(HKEY parent, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
  std::string out;
  Dump(key, 0, out);
  RegCloseKey(key);
  return out;
}

// --- message boxes ------------------------------------------------------------------

namespace {

// A visible library message box of the thread, or nullptr.
HWND FindBox(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        if (!IsWindowVisible(w) || !GetDlgItem(w, kMsgBoxTextId)) return TRUE;
        *(HWND*)lp = w;
        return FALSE;
      },
      (LPARAM)&found);
  return found;
}

}  // namespace

BoxAnswerer::BoxAnswerer(std::vector<int> answers) : m_answers(std::move(answers)), m_uiThread(GetCurrentThreadId()) {
  m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer() {
  InterlockedExchange(&m_stop, 1);
  // The thread may be sending to this one: keep its messages flowing.
  while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  CloseHandle(m_thread);
}

DWORD WINAPI BoxAnswerer::Run(void* p) {
  auto* self = (BoxAnswerer*)p;
  while (!self->m_stop) {
    HWND box = FindBox(self->m_uiThread);
    if (!box) {
      Sleep(5);
      continue;
    }
    // The box runs its own modal loop on the UI thread, which answers these.
    HWND list = GetDlgItem(box, kMsgBoxTextId);
    std::string text;
    int count = (int)SendMessageA(list, CLB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
      char line[1024] = "";
      if ((int)SendMessageA(list, CLB_GETTEXTLEN, i, 0) < (int)sizeof line)
        SendMessageA(list, CLB_GETTEXT, i, (LPARAM)line);
      text += (i ? "\n" : "") + std::string(line);
    }
    self->texts.push_back(text);
    int done = self->m_done;
    int answer = (size_t)done < self->m_answers.size() ? self->m_answers[done] : IDCANCEL;
    if ((size_t)done < self->m_answers.size()) InterlockedIncrement(&self->m_done);
    PostMessageA(box, WM_COMMAND, answer, 0);
    while (!self->m_stop && IsWindow(box) && IsWindowVisible(box)) Sleep(2);
  }
  return 0;
}

// --- fixture -------------------------------------------------------------------------

namespace {
CWinApp* g_app = nullptr;
}

void BrowserTest::SetUpTestSuite() {
  if (!g_app) {
    g_app = new CWinApp("browser_tests");
    AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
  }
}

void BrowserTest::SetUp() {
  m_key = new TestRegistryKey;
  m_host = new CBrowserHost;
  ASSERT_TRUE(m_host->Make(920, 660));
}

void BrowserTest::TearDown() {
  if (m_pane) {
    if (m_pane->m_hWnd) m_pane->DestroyWindow();
    delete m_pane;
    m_pane = nullptr;
  }
  if (m_host) {
    m_host->DestroyWindow();
    delete m_host;
  }
  delete m_key;
}

CRegWnd& BrowserTest::MakePane(DWORD style, int width, int height) {
  m_pane = new CRegWnd;
  EXPECT_TRUE(m_pane->CreateWnd(style, CRect(0, 0, width, height), m_host, 4240));
  SettlePane(*m_pane);
  return *m_pane;
}
