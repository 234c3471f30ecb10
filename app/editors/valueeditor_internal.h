// What the editors of one value share. They reach the value through
// CRegKeyStack, not the raw calls the browser enumerates with: one value by
// name, read whole and written back through its 8-bit or 16-bit interface,
// with the error of each step kept for the message; a name the code page
// cannot carry goes through the 16-bit calls on the key object's handle.
#pragma once

#include <string>
#include <vector>

#include "app/editors/valueeditor.h"
#include "system/regkeystack.h"

// The value an edit works on, read once before any dialog opens; only the
// write opens its key again.
struct ValueRef {
  HKEY root = nullptr;
  CString path;
  CString name;
  bool isDefault = false;
  // The name stands for one that the code page cannot carry (regnames.h):
  // it is read and written only through the 16-bit calls with wideName.
  bool exact = false;
  std::wstring wideName;
  // Set when an open or read found the key or the value gone.
  mutable bool vanished = false;
  // Type and bytes as the registry stores them (strings as UTF-16); a
  // default value that is not there is an empty REG_SZ.
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
  const char* Name() const { return isDefault ? nullptr : name.GetString(); }
  const WCHAR* WideName() const { return isDefault ? nullptr : wideName.c_str(); }
  CString Title() const;  // "Bearbeite  '%s'" or "Bearbeite Wert"
};

// Opens the key for reading (mode REGKS_READ) or writing (REGKS_WRITE, which
// creates nothing); shows the path message on failure.
bool OpenValueKey(CRegKeyStack& key, const ValueRef& value, DWORD mode);
// The same without a message: the Win32 error, 0 when open.
LONG OpenValueKeyQuietly(CRegKeyStack& key, const ValueRef& value, DWORD mode);
// The read message, and for a value that is gone says so and marks it.
void ShowReadError(const ValueRef& value, LONG code);
// The 8-bit text of a string value's bytes, as the 8-bit interface reads
// it where it converts exactly (WideFitsAnsi): one byte per character.
std::string AnsiOfValue(const ValueRef& value);
// Writes the bytes with the type through the 8-bit or the 16-bit interface.
int WriteValueBytes(const ValueRef& value, const void* data, DWORD size, DWORD type, bool wide);
void ShowEditError(const char* text, LONG code);

int EditBinaryValue(CWnd* parent, const ValueRef& value);
int EditMultiStringValue(CWnd* parent, const ValueRef& value);
