// CRegWnd: the registry as the data source of a browser pane: the five root
// keys and their subkeys in the key tree, a key's values with type and data
// in the entry list, and creating, renaming and deleting keys and values.
#pragma once

#include <string>
#include <vector>

#include "app/browser/treewnd.h"
#include "app/regvalues.h"

// Rows of the root-key table; a row with length 0 ends every walk.
const int kRootKeyRows = 8;

// Name of a row; NULL with zeros from row 8 on.
const char* GetRootKey(int row, int* length, HKEY* handle);
const char* GetRootName(int row, HKEY* handle);
// Row of the path's first component (up to the first "\", any case), -1 with zeros.
int FindRootKey(const char* path, int* length, HKEY* handle);
// Renames a subkey of parent (names as the pane writes them, regnames.h); a
// Win32 error code, 0 on success (also the thread's last error). A name that
// differs only in letter case is taken too. *leftAt (may be null): after a
// failure, the name that holds the whole key when it is no longer oldName.
LONG RenameRegKey(HKEY parent, const char* oldName, const char* newName, std::string* leftAt = nullptr);
// Test seam: pretends the system has no RegRenameKey (moves by copy).
void SetRenameRegKeyFallback(bool fallback);

// Said after a failure's own text when the key or value is no longer there.
extern const char kRegKeyGoneText[];
extern const char kRegValueGoneText[];

// Posted by CRegWnd::ShowVanished to the pane.
const UINT WM_REGWND_VANISHED = WM_APP + 0x2F1;

// Every key the registry pane opens goes through here: one WOW64 view.
const REGSAM kRegWndView = KEY_WOW64_64KEY;
LONG OpenRegWndKey(HKEY root, const char* subPath, REGSAM access, HKEY* key);
// Deletes name below parent with all its subkeys, in the same view.
LONG DeleteRegWndTree(HKEY parent, const char* name);

class CRegWnd : public CTreeWnd {
  DECLARE_DYNAMIC(CRegWnd)

 public:
  CRegWnd();
  ~CRegWnd() override;

  BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
              CCreateContext* context = nullptr) override;
  BOOL CreateWnd(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context = nullptr) override;
  int FillRoots(CTextList* roots) override;
  int FillChildren(CTextList* list, const char* path, LPARAM itemValue) override;
  int FillItems(CTextList* list, const char* path, LPARAM itemValue) override;
  int NewItem(CTextList* list, const char* path, char* name, DWORD type) override;
  int NewFolder(CTextList* list, const char* path, char* name) override;
  int RenameItem(const char* oldPath, const char* newName, UINT flags) override;
  int CanRenameItem(const char* path, const char* newName, UINT flags) override;
  int DeleteItems(const char* path, const char* name, UINT flags) override;
  int GetItemImage(const char* path, const char* name, LPARAM level, int open) override;
  // The buffer holds at least kTreeWndPathBuffer characters; a result longer
  // than kTreeWndMaxPath is not a valid path.
  int ParsePath(char* path, int length, LPARAM* itemValue) override;
  int SetItemColumns(HTREEITEM item) override;
  int InsertColumns() override;

  // After a command found the registry other than the pane shows it (a key
  // or value that another program deleted): once the current message is
  // done, the key tree's children of keyPath's parent are filled again
  // (keyPath null: none), and the shown key is shown again, or its nearest
  // existing parent when it is gone.
  void ShowVanished(const char* keyPath);
  // Whether root\path (a full path, texts as the pane writes them) exists.
  static bool RegPathExists(const char* path);

 protected:
  void OnListFillEnd() override;
  afx_msg LRESULT OnShowVanished(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  // The part of a path below its root name (without a final "\"), and the root's row.
  static const char* BelowRoot(const char* path, int* row);
  bool IsDefaultEntry(const char* name) const;
  // The value name in the shown key for an entry path.
  const char* ValueNameOf(const char* path, const char* name) const;

  // Data read with the enumeration, so that filling the cells reads nothing
  // again: per value its type, full size and first bytes; an entry's fifth
  // word is its index + 1 (0: read it when the cells are filled).
  struct ValueData {
    DWORD type, fullSize, offset, size;
    int oddByte;
  };
  std::vector<ValueData> m_data;
  std::vector<BYTE> m_bytes;
  CImageList m_images;
  HKEY m_fillKey = nullptr;             // the shown key, open for one filling of the list
  std::vector<std::string> m_vanished;  // key paths waiting for ShowVanished
  bool m_vanishedPosted = false;
  bool m_fillKeyTried = false;
};
