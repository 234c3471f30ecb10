// The registry search: the state a confirmed find dialog sets up, the six
// match functions, the walk through the active pane's entries and the walk
// through the keys behind the current one. Plain code, so that the tests
// drive it without windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/cstring.h"

class IRegSearchPane;

// What the search looks at.
enum {
  kSearchKeys = 1,
  kSearchValueNames = 2,
  kSearchValueData = 4,
};

// Search modes: the dialog's radio group.
enum {
  kSearchPartial = 0,
  kSearchWhole = 1,
  kSearchSpecial = 2,
};

// Results of the key walk.
enum {
  kSearchCancelled = -1,
  kSearchNothing = 0,
  kSearchKeyFound = 1,
  kSearchValueFound = 2,
};

// Candidate, search text, its length; 0 is a match.
typedef int (*RegMatchFn)(const char* candidate, const char* text, int textLength);

int MatchContainsNoCase(const char* candidate, const char* text, int textLength);
int MatchContains(const char* candidate, const char* text, int textLength);
int MatchWholeNoCase(const char* candidate, const char* text, int textLength);
int MatchWhole(const char* candidate, const char* text, int textLength);
int MatchSpecialNoCase(const char* candidate, const char* text, int textLength);
int MatchSpecial(const char* candidate, const char* text, int textLength);

RegMatchFn SelectMatchFunction(int mode, int matchCase);

// The bound of every path the search handles, terminator included.
const int kSearchPathSize = 1024;
const int kSearchHitNameSize = 256;

struct RegSearchState {
  int flags = 0;
  int mode = 0;
  CString text;
  int textLength = 0;
  int64_t number = 0;
  bool isNumber = false;
  RegMatchFn match = nullptr;
  char hitName[kSearchHitNameSize] = {};

  bool IsSet() const { return match != nullptr; }
  void Reset() { match = nullptr; }
  void Setup(int searchFlags, int searchMode, int matchCase, const char* searchText);
  // Whole mode compares numbers: a DWORD matches by its signed and by its
  // unsigned value, so 0xFFFFFFFF is found by -1 and by 4294967295.
  bool MatchesDword(DWORD value) const;
  bool MatchesQword(uint64_t value) const;
  // The data of one value, by type.
  bool MatchesData(DWORD type, const BYTE* data, DWORD size) const;
};

// Progress of the key walk: polled cancel flag, a status text every 32
// steps and the worker's message box.
struct RegSearchHooks {
  volatile LONG* cancel = nullptr;
  void (*status)(void* ctx, const char* path) = nullptr;
  void (*message)(void* ctx, const char* text) = nullptr;
  void* ctx = nullptr;
};

// Walks depth-first from the key in path (kSearchPathSize bytes, its first
// component a root's long name) through its subkeys, the keys after it and
// the following roots. On a hit path holds the key and, for a value,
// state.hitName its name.
int SearchRegistryKeys(RegSearchState& state, char* path, int pathLength, const RegSearchHooks& hooks);

// The entry phase: the pane's entries after the selected one. Selects the
// hit and answers true.
bool SearchPaneEntries(const RegSearchState& state, IRegSearchPane& pane);

// The root table the walk moves through: long name and handle of a row,
// null after the last.
const char* SearchRootAt(int row, HKEY* phKey);
// The row of a path's first component (long names, any case), -1 if none.
int SearchFindRoot(const char* path, int* pnLength);
