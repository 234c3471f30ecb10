// The path combo's items: the remembered paths (newest first, kept while
// the combo box does not exist, read from and written to the registry) and
// the operations on the combo box that show them. Every call takes the
// combo's window, which may be made later than the paths are read; without
// one the calls do nothing.
#pragma once

#include <windows.h>

#include "text/textlist/textlist.h"

class ComboPaths {
 public:
  // An image argument: the item shows none.
  static const int kNoImage = -0x7FFFFFFF - 1;
  // The image of a path in the combo, or kNoImage.
  typedef int (*ImageOf)(void* context, const char* path);

  ComboPaths() : m_paths(0) {}
  CTextList& Paths() { return m_paths; }

  // Inserts one path at index with its image (or kNoImage); the one insert of
  // every combo item.
  static BOOL InsertItem(HWND combo, int index, const char* path, int image);
  // Puts length characters of path into the combo's edit with its image (or kNoImage).
  static BOOL SetEditText(HWND combo, const char* path, int length, int image);
  // Text of item index (-1: the edit's); its length, -1 without the item or the combo.
  static int ItemText(HWND combo, int index, char* buffer, int size);
  // An entered path goes to the top: items from position keep on and
  // items equal to it (without regard to case or a final "\") go first.
  static void PutFirst(HWND combo, const char* path, int length, int image, int keep);

  // Shows the remembered paths in a combo that has no items yet; the count inserted.
  int FillCombo(HWND combo, ImageOf image, void* context);
  // Remembers the combo's items; their count, -1 without a combo.
  int Collect(HWND combo);

 private:
  CTextList m_paths;
};
