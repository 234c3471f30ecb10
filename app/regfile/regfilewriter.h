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

// What a subtree holds that the system's editor would not write back exactly.
enum RegFileScanFlags {
  kRegFileIrregular = 1,    // a REG_SZ other than one terminated text, a REG_DWORD not of 4 bytes
  kRegFileNotAnsiText = 2,  // text the ANSI format cannot carry as 8-bit text
  kRegFileNotAnsiName = 4,  // a key or value name outside code page 1252
};
// 0, or a Win32 error; *pnFlags: the flags of what was found.
LONG RegFileScan(const char* pszKeyPath, int* pnFlags, volatile LONG* pCancel = nullptr);
