// Writes a key with its subtree as a .reg file, line for line as the
// system's registry editor does: Unicode ("Windows Registry Editor Version
// 5.00", UTF-16LE with BOM) or ANSI ("REGEDIT4", code page 1252).
#pragma once

#include <windows.h>

#include <string>

enum RegFileFormat {
  kRegFileUnicode = 0,
  kRegFileAnsi = 1,
};

// The key path starts with a root name (long or short). 0, or a Win32
// error (ERROR_CANCELLED when *pCancel became non-zero). A file left by a
// failed or cancelled run is deleted.
LONG RegFileExport(const char* pszFile, const char* pszKeyPath, int nFormat, volatile LONG* pCancel = nullptr);
// The same into memory: the file's bytes.
LONG RegFileExportToBuffer(std::string& out, const char* pszKeyPath, int nFormat, volatile LONG* pCancel = nullptr);
// The bytes the file starts with: BOM and header, then CR LF.
std::string RegFileHeader(int nFormat);
