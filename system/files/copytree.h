// Copying (or, with CMF_MOVE, moving file by file) a directory or a whole
// tree into a target directory, on the walk of EnumFiles: the same block,
// callback, lists, depth limit and error codes.
#pragma once

#include <cstdint>

#include "system/files/copymove.h"
#include "system/files/filewalk.h"

// Flags of the tree copy besides the CMF_... bits for each file and
// EF_TOTAL64, EF_KEEP_COUNTS, EF_DIR_OF_PATH and EF_RECURSE. CMF_TOTAL64 and
// EF_TOTAL64 name one width: either makes both totals 64-bit.
const uint32_t TREE_CREATE_TARGET = 0x100;    // with its parents; -10 when that fails
const uint32_t TREE_CLEAR_TARGET = 0x200;     // emptied first, unless just created
const uint32_t TREE_TARGET_OF_PATH = 0x4000;  // the target names a file: its directory
const uint32_t TREE_STOP_ON_ERROR = 0x8000;   // the first failure ends the run with its code
const uint32_t TREE_NO_END_REPORT = 0x20000000;

// filesTotal after a complete run; 0 when cancelled or stopped by a report;
// a negative code otherwise. The source is never destroyed: a target that
// is or holds the source is not emptied (-11), a target inside the source
// is not walked into, and source directories stay also when files move.
int CopyMoveTree(uint32_t flags, const char* pszSource, const char* pszTarget, FileEnumBlock* pBlock);
int CopyMoveTreeW(uint32_t flags, const wchar_t* pszSource, const wchar_t* pszTarget, FileEnumBlockW* pBlock);
