// Browser pane tests: a parent window that logs the pane's notifications,
// a pane made on demand, registry fixtures below the tests' key and a helper
// thread that answers message boxes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser/regwnd.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"

// The parent of the panes: a plain top-level window.
class CBrowserHost : public CWnd {
 public:
  BOOL Make(int width, int height);
  struct Note {
    UINT_PTR id;
    int code;
    DWORD index;
  };
  std::vector<Note> notes;
  int contextMenus = 0;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  afx_msg void OnContextMenu(CWnd* wnd, CPoint pos);
  DECLARE_MESSAGE_MAP()
};

// Pumps until the pane's list thread is done and its rows are in.
void SettlePane(CTreeWnd& pane);
// Expands a key-tree item as a click would and waits for the expansion thread.
void ExpandAndWait(CTreeWnd& pane, HTREEITEM item);
// The key tree's caret (the shown key) with its children filled.
HTREEITEM ShownTreeItem(CTreeWnd& pane);
// Text of a cell of the entry list by row.
std::string CellText(CTreeListCtrl& list, int row, int column);
// Rows of the entry list, column 0.
std::vector<std::string> RowNames(CTreeListCtrl& list);
// Names of the children of a tree item (TVI_ROOT: the roots).
std::vector<std::string> ChildNames(CTreeListCtrl& tree, HTREEITEM item);
HTREEITEM FindChild(CTreeListCtrl& tree, HTREEITEM parent, const char* name);

// Writes a value with raw bytes.
void SetRaw(HKEY key, const char* name, DWORD type, const void* data, DWORD size);
void MakeKey(HKEY parent, const char* path);
// The same through the 16-bit calls; the bytes are stored as given (no
// terminator added to a string).
void SetRawW(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size);
void MakeKeyW(HKEY parent, const wchar_t* path);
// Everything below parent\name read through the 16-bit calls, as text: the
// class, each value (name, type and bytes in hex) and each subkey, in name
// order, indented by depth; "<missing>" when the key is not there.
std::string DumpKeyW(HKEY parent, const wchar_t* name);
// Names of the subkeys (and the values) of a key as the 16-bit calls give them, in enumeration order.
std::vector<std::wstring> SubkeyNamesW(HKEY key);
std::vector<std::wstring> ValueNamesW(HKEY key);

// Answers the message boxes of the calling thread in turn (IDOK, IDCANCEL
// ...) from a thread of its own, as a user would: it finds each box, keeps
// its lines joined by "\n" and clicks the answer. Without answers left:
// IDCANCEL.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<int> answers);
  ~BoxAnswerer();  // stops and joins the thread, pumping meanwhile
  std::vector<std::string> texts;
  int Answered() const { return m_done; }

 private:
  static DWORD WINAPI Run(void* self);
  std::vector<int> m_answers;
  DWORD m_uiThread;
  HANDLE m_thread = nullptr;
  volatile LONG m_stop = 0;
  volatile LONG m_done = 0;
};

class BrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;
  // A pane of the given style word over the whole host.
  CRegWnd& MakePane(DWORD style = 0x0CE8 | 0x4000, int width = 900, int height = 600);
  std::string Key(const char* sub = nullptr) const { return sub ? m_key->FullPath() + "\\" + sub : m_key->FullPath(); }
  void Show(CTreeWnd& pane, const std::string& path) {
    pane.NavigateTo(path.c_str(), 1);
    SettlePane(pane);
  }

  CBrowserHost* m_host = nullptr;
  CRegWnd* m_pane = nullptr;
  TestRegistryKey* m_key = nullptr;
};
