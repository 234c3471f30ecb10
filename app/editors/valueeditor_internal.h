// What the editors of one value share.
#pragma once

#include "app/editors/valueeditor.h"
#include "system/regkeystack.h"

// The value an edit works on, taken once before any dialog opens.
struct ValueRef {
  HKEY root = nullptr;
  CString path;
  CString name;
  bool isDefault = false;
  const char* Name() const { return isDefault ? nullptr : name.GetString(); }
  CString Title() const;  // "Bearbeite  '%s'" or "Bearbeite Wert"
};

// Opens the key for reading (mode REGKS_READ) or writing (REGKS_WRITE, which
// creates nothing); shows the path message on failure.
bool OpenValueKey(CRegKeyStack& key, const ValueRef& value, DWORD mode);
// Writes the bytes with the type through the 8-bit or the 16-bit interface.
int WriteValueBytes(const ValueRef& value, const void* data, DWORD size, DWORD type, bool wide);
void ShowEditError(const char* text, LONG code);

int EditBinaryValue(CWnd* parent, const ValueRef& value);
int EditMultiStringValue(CWnd* parent, const ValueRef& value);
