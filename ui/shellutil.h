// Shell services: system icon indexes, the recycle bin, and OLE drags of a
// file or a text.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The system image-list index of a path's icon (SHGetFileInfo flags; with
// SHGFI_USEFILEATTRIBUTES only the extension counts and the answer is kept
// per extension and size); -1 on failure.
int GetSysIconIndex(const char* path, UINT flags);
// The system image list, small with SHGFI_SMALLICON.
HIMAGELIST GetSysImageList(UINT flags);

// Longest path the recycle bin takes: a longer one would be cut and name
// another file.
const int kMaxRecyclePath = 258;
// Moves the file or folder to the recycle bin without asking; 1 on success.
int DeleteToRecycleBin(const char* path);

// DragTextOle modes.
const int kDragTextAnsi = 0;  // 8-bit text as CF_TEXT
const int kDragTextUtf8 = 1;  // UTF-8: CF_UNICODETEXT and the bytes as CF_TEXT
const int kDragTextWide = 2;  // any other mode: 16-bit text, CF_UNICODETEXT and CF_TEXT

// Drags an existing file or folder (its full path as CF_HDROP); 1 when the
// drag ran, 0 when the path names nothing.
int DragFileOle(const char* path);
// Drags length characters of text (-1: up to the terminator); 0 for a
// length of 0, else 1.
int DragTextOle(const void* text, int length, int mode);
