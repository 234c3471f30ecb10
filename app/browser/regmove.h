// Keys and values through the 16-bit registry calls, so that every name is
// reached exactly: deleting a subtree, and moving a key or a value to a new
// name by copy, check and delete.
#pragma once

#include <windows.h>

#include <string>

// Deletes name below parent with everything under it.
LONG DeleteRegTreeW(HKEY parent, const WCHAR* name);

// Moves parent\oldName to parent\newName: a new key of that name gets
// every value (type and bytes as stored), subkey, class and readable access
// list; the copy is compared with the original, and only then is the
// original deleted. A failure before that removes the copy and leaves the
// original as it was. An existing newName is refused before anything is
// written (ERROR_ALREADY_EXISTS). *copyKept (may be null) is set when the
// copy is complete but the original could not be deleted whole: both exist.
LONG MoveRegKeyByCopy(HKEY parent, const WCHAR* oldName, const WCHAR* newName, bool* copyKept);

// Moves the value from to the name to in the same key: written, read back
// and compared, then from is deleted (when that fails, the new one goes
// again). An existing to is refused (ERROR_ALREADY_EXISTS).
LONG MoveRegValueW(HKEY key, const WCHAR* from, const WCHAR* to);

// Whether two names are one for the registry (letter case aside).
bool SameRegName(const WCHAR* a, const WCHAR* b);

// Moves an item of parent from one name to another; copyKept as above.
typedef LONG (*RegItemMover)(HKEY parent, const WCHAR* from, const WCHAR* to, bool* copyKept);
// A free name for a step between two names that differ only in letter case.
typedef bool (*RegItemExists)(HKEY parent, const WCHAR* name);
// Renames from to to with move. Names that differ only in letter case go
// through a free temporary name (the registry takes the new spelling for
// the old item); when the second step fails the first is undone. *leftAt
// (may be null): after a failure, the name that holds the whole item when
// it is no longer from (a step that could not be undone); else empty.
LONG RenameRegItem(HKEY parent, const WCHAR* from, const WCHAR* to, RegItemMover move, RegItemExists exists,
                   std::wstring* leftAt);

// Test seam: the write (a value or a subkey, counted over every copy from
// now on, from 1) that fails as if the registry refused it; 0: none.
void SetRegCopyFailAt(int write);
