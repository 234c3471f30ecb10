// What the search needs from a browser pane: the entry list to read from,
// the path it starts at, and the way to show a hit. The view hands the
// active pane over behind this interface.
#pragma once

#include "base/cstring.h"

class IRegSearchPane {
 public:
  virtual ~IRegSearchPane() = default;
  // The pane's current key with its root's long name; empty when none.
  virtual CString GetCurrentPath() = 0;
  // Waits until the list-filling thread has put every entry in.
  virtual void WaitForListThread() = 0;
  // Row of the selected entry, -1 when none.
  virtual int GetSelectedEntry() = 0;
  // Text of a cell (column 0 name, 2 data); false when the row has none.
  virtual bool GetEntryText(int row, int column, CString& text) = 0;
  // Registry type of an entry.
  virtual DWORD GetEntryType(int row) = 0;
  // Selects the entry with the focus and scrolls it into view.
  virtual void SelectEntry(int row) = 0;
  // Shows a key (history mode 1).
  virtual void NavigateTo(const char* path) = 0;
  virtual bool SelectEntryByName(const char* name) = 0;
  // 1: the key tree gets the focus, 2: the entry list.
  virtual void FocusNext(int part) = 0;
};

#include <memory>

class COstrovaView;

// The view's pane as the search, the hive and the editor commands see it.
std::unique_ptr<IRegSearchPane> MakeSearchPane(COstrovaView* view, int pane);
