// Reads a .reg file of either format ("Windows Registry Editor Version 5.00"
// in UTF-16LE, "REGEDIT4" in code page 1252) into the registry. The whole
// file is parsed before the registry is touched: a syntax error imports
// nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

struct RegFileOp;

// Error of a file that is no .reg file or has a line it cannot read.
const LONG kRegFileSyntaxError = ERROR_BAD_FORMAT;

// 0, or a Win32 error: kRegFileSyntaxError with the line (1-based) in
// *pnErrorLine, the first error of the registry (the rest is still
// imported), ERROR_CANCELLED.
LONG RegFileImport(const char* pszFile, int* pnErrorLine = nullptr, volatile LONG* pCancel = nullptr);
LONG RegFileImportBuffer(const void* pData, size_t cb, int* pnErrorLine = nullptr, volatile LONG* pCancel = nullptr);
// Only the parse of a file, no registry write: 0, kRegFileSyntaxError with
// the line, or the error of reading the file.
LONG RegFileCheck(const char* pszFile, int* pnErrorLine = nullptr);
// The registry writes of parsed operations (RegFileParse): 0, the first
// error of the registry, or ERROR_CANCELLED.
LONG RegFileApply(const std::vector<RegFileOp>& ops, volatile LONG* pCancel = nullptr);
