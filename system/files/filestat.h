// A stat-like record of one file: mode bits from the attributes, size, three
// times in Unix seconds and, during a search, the name.
#pragma once

#include <windows.h>

#include <cstdint>

struct FileStatRecord {
  uint32_t mode;  // FSTAT_... bits; bits 10 up: the size's upper half << 10
  uint32_t size;  // the size's lower half
  uint32_t creationTime;
  uint32_t accessTime;
  uint32_t writeTime;  // before 1970: 0
  char name[260];      // empty after FileStatA
};

// Mode bits.
const uint32_t FSTAT_ALWAYS = 0x01;
const uint32_t FSTAT_WRITABLE = 0x02;  // not read-only
const uint32_t FSTAT_DIRECTORY = 0x10;
const uint32_t FSTAT_HIDDEN = 0x20;
const uint32_t FSTAT_ARCHIVE = 0x40;
const uint32_t FSTAT_SYSTEM = 0x80;
const uint32_t FSTAT_ATTRIBUTE_MASK = 0x3FF;
const int FSTAT_SIZE_HIGH_SHIFT = 10;

// Result codes.
enum FileStatResult {
  FSTAT_OK = 0,
  FSTAT_INVALID = -1,    // no record, or not a valid search handle
  FSTAT_NOT_FOUND = -3,  // also: no further match
  FSTAT_ERROR = -6,
  FSTAT_NO_PATH = -7,  // the directory is missing (FileStatA), not a directory (FileStatFirstA)
};

// GetFullPathNameA; a size of 0 or less gives 0 and leaves the buffer alone.
int FullPathNameA(const char* pszName, char* pszBuffer, int nSize);

int FileStatA(const char* pszName, FileStatRecord* pRecord);
// The search handle, or 0 with the code in *pnError (when given).
HANDLE FileStatFirstA(const char* pszPattern, FileStatRecord* pRecord, int* pnError);
int FileStatNextA(HANDLE hFind, FileStatRecord* pRecord);
int FileStatClose(HANDLE hFind);
