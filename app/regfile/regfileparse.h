// The parse step of the .reg reader, without the registry: the bytes of a
// file of either format ("Windows Registry Editor Version 5.00" in UTF-16LE,
// "REGEDIT4" in code page 1252) into the operations it asks for. No Windows
// calls here, so that it builds natively for the sanitizers and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The roots, in the order of their names.
enum RegFileRoot {
  kRegFileLocalMachine,
  kRegFileCurrentUser,
  kRegFileClassesRoot,
  kRegFileUsers,
  kRegFileCurrentConfig,
};

// Finds the root at the start of a path ("HKEY_CURRENT_USER", "HKCU", any
// case) followed by a backslash or the end: the root, its long name in
// *ppszLongName and the characters to skip (with the backslash) in *pnSkip;
// -1 when the path names no root.
int RegFileFindRoot(const char16_t* pszPath, size_t nLength, const char16_t** ppszLongName, size_t* pnSkip);

// The comment line before a value of an ANSI file whose text the code page
// cannot carry: its hex list holds the registry's bytes, not 8-bit text.
// Other readers take the list as 8-bit text; the line is a comment to them.
const char16_t kRegFileStoredBytesMark[] = u"; bytes as stored";

enum RegFileOpKind { kRegFileOpKey, kRegFileOpDeleteKey, kRegFileOpValue, kRegFileOpDeleteValue };

struct RegFileOp {
  RegFileOpKind kind;
  int root;             // key operations
  std::u16string path;  // key operations: the path below the root; values: the name
  uint32_t type;
  std::vector<uint8_t> data;
  // Byte offsets in the file: the start of the operation's first line and
  // the end of its last one (before the line end).
  size_t begin;
  size_t end;
};

// Parses a whole file: true with the operations in order, or false with the
// line (1-based) of the first error in *pnErrorLine. A value line that the
// end of the file cuts off is an error.
bool RegFileParse(const void* pData, size_t cb, std::vector<RegFileOp>& ops, int* pnErrorLine);
