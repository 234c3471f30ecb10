// Registry values as the program shows them: the names of the value types
// and the "Typ" and "Daten" cells of the entry list. Used by the browser, the
// editors and the search alike, so it sits beside them rather than in one.
#pragma once

#include <windows.h>

// Said after a failure's own text when the key or value is no longer there
// (deleted or renamed by another program meanwhile).
extern const char kRegKeyGoneText[];
extern const char kRegValueGoneText[];

// The types whose data are text (UTF-16 as stored).
inline bool IsRegTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// "REG_SZ" ... for 0-11; another type: NULL when flag is nonzero, else "???".
const char* GetRegTypeName(DWORD type, int flag);

// The "Typ" and "Daten" cells of a value. data holds the first bytes read
// (size of them), fullSize the value's size; ok false when reading failed;
// oddByte the last byte of string data of odd length, -1 for none.
// Returns 1 when the value was read, else 0.
int FormatRegValueCells(bool ok, bool isDefault, DWORD type, const BYTE* data, DWORD size, DWORD fullSize,
                        char* typeText, int typeSize, char* dataText, int dataSize, int oddByte = -1);
