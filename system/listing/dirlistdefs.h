// The record of a listed entry and the flag words of the directory listing.
#pragma once

#include <cstdint>

// Behind the caller's user area in each entry's extra data; the five stat
// fields and the entry's name (the item's text) form a FileStatRecord.
struct DirEntryRecord {
  uint32_t tag;             // the caller's value; sort key DIRSORT_TAG
  const char* directory;    // the entry's directory in the directory list
  const char* typeName;     // cached, null until asked
  int32_t extensionOffset;  // in the name, -1 until asked
  int32_t directoryIndex;
  int32_t shellIndex;  // -1: no shell entry
  int32_t smallIcon;   // cached system image-list indexes, -1 until asked
  int32_t largeIcon;
  uint32_t mode;  // FSTAT_... bits, DIRENTRY_... bits, size bits 10 to 13
  uint32_t size;
  uint32_t creationTime;
  uint32_t accessTime;
  uint32_t writeTime;
};
static_assert(sizeof(void*) != 4 || sizeof(DirEntryRecord) == 52, "the record is 52 bytes in the 32-bit program");

// Entry mode bits beside the file-status bits.
const uint32_t DIRENTRY_DRIVE = 0x4000;  // a drive or namespace root
const uint32_t DIRENTRY_SHELL = 0x8000;  // made from a shell child
const uint32_t DIRENTRY_SHELL_LINK = 0x40;
// Bits 10 to 13 hold the size's upper half, up to 15 (sizes saturate below 64 GiB).
const int DIRENTRY_SIZE_SHIFT = 10;
const uint32_t DIRENTRY_SIZE_HIGH_MAX = 15;

// Open flags.
const uint32_t DIRLIST_SEARCH_PATTERN = 0x1;  // set by Open: search with the only include pattern
const uint32_t DIRLIST_ENTRY_DIRS = 0x2;      // paths from each entry's own directory
const uint32_t DIRLIST_SORTED = 0x100;        // kept sorted while reading
const uint32_t DIRLIST_FIRST_MATCH = 0x200;   // stop after the first accepted entry
const uint32_t DIRLIST_NETWORK = 0x400;
const uint32_t DIRLIST_REFRESH = 0x800;       // keep what is held, add what is new
const uint32_t DIRLIST_ALL_AT_ONCE = 0x1000;  // set by Open with DIRLIST_SORTED or DIRLIST_REFRESH
const uint32_t DIRLIST_RECURSE = 0x2000;
const uint32_t DIRLIST_LIST_DIRS = 0x4000;     // directories are entries
const uint32_t DIRLIST_DIRS_ONLY = 0x8000;     // files skipped, directories pattern-tested
const uint32_t DIRLIST_PARENT = 0x10000;       // with DIRLIST_LIST_DIRS: ".." too
const uint32_t DIRLIST_INCREMENTAL = 0x20000;  // a read returns after 16 examined names
const uint32_t DIRLIST_DIRS_MATCH = 0x40000;   // with DIRLIST_LIST_DIRS: directories pattern-tested

// Sort mode word: a key in the low byte and three bits.
enum DirSortKey {
  DIRSORT_NAME = 0,
  DIRSORT_TYPE = 1,
  DIRSORT_CREATION = 2,
  DIRSORT_ACCESS = 3,
  DIRSORT_WRITE = 4,
  DIRSORT_SIZE = 5,
  DIRSORT_DIRECTORY = 6,
  DIRSORT_EXTENSION = 7,
  DIRSORT_ATTRIBUTES = 8,
  DIRSORT_TAG = 9,
};
const uint32_t DIRSORT_KEY_MASK = 0xFF;
const uint32_t DIRSORT_NATURAL = 0x2000;     // texts in natural order
const uint32_t DIRSORT_MIXED = 0x4000;       // directories not first
const uint32_t DIRSORT_DESCENDING = 0x8000;  // negates the whole compare
const int DIRSORT_UNKNOWN = -1;

// Read states.
const uint32_t DIRLIST_STATE_CLOSED = 0xFFFFFFFF;
const uint32_t DIRLIST_STATE_OPENED = 0;
const uint32_t DIRLIST_STATE_DIR_DONE = 1;
const uint32_t DIRLIST_STATE_SEARCH_OPEN = 0x80000000;  // with the directory's index
const uint32_t DIRLIST_STATE_FINISHED = 0xF0000000;

// Stop reasons.
enum DirListStop { DIRSTOP_NONE = 0, DIRSTOP_FIRST_MATCH = 1, DIRSTOP_CANCELLED = 2 };

// Next modes.
enum DirNextMode { DIRNEXT_NAME = 0, DIRNEXT_FULL_PATH = 1, DIRNEXT_RELATIVE_PATH = 2 };

// AddPath modes.
const int DIRADD_NO_DUPLICATE = 2;
const int DIRADD_NO_DIRECTORY = 4;
const int DIRADD_NO_FILE = 8;

// Time filter kinds: odd kinds test the creation time, even the write time.
enum DirTimeFilter {
  DIRTIME_NONE = 0,
  DIRTIME_UNTIL = 1,    // t <= b1
  DIRTIME_FROM = 3,     // t >= b1
  DIRTIME_BETWEEN = 5,  // b1 <= t <= b2
  DIRTIME_OUTSIDE = 7,  // t > b1 or t < b2
};

// The directory list's extra word of a file-system directory; 0 up to
// DIRLIST_PATH_HOLDER an index into the shell items.
const int32_t DIRLIST_FS_DIRECTORY = -1;
// The real directory of file-system items met in a shell folder: never read.
const int32_t DIRLIST_PATH_HOLDER = 0x8000;

// The mode of the network neighbourhood entry of the namespace root.
const uint32_t DIRENTRY_NEIGHBOURHOOD = 0xC010;
