// Names of keys and values in the program's 8-bit texts (entries, tree
// items, paths). A name that the ANSI code page carries stands as itself. A
// name with a character outside it would come back from the 8-bit calls as
// "?" or a look-alike ("a中b" as "a?b", "Ω" as "O") and then reach another
// value or key, or none. Such a name stands with each of those UTF-16 units
// written as "‹XXXX›" (four hex digits between single guillemets; a "‹" of
// the name itself is written so too), so that every name has a text of its
// own and the 16-bit calls reach it exactly.
#pragma once

#include <windows.h>

#include <string>

const char kRegNameMarkOpen = '\x8B';   // "‹" in code page 1252
const char kRegNameMarkClose = '\x9B';  // "›"

// Whether the ANSI code page carries the UTF-16 text unchanged.
bool RegNameFitsCodePage(const WCHAR* name, int count);
// Whether the name's text is written with marks (not the name as it stands).
bool RegNameNeedsMarks(const WCHAR* name, int count);
// The text of a name of count units (no terminator needed).
std::string RegNameText(const WCHAR* name, int count);
// The same into out, whose buffer a walk over many names keeps.
void RegNameText(const WCHAR* name, int count, std::string& out);
// Whether a text holds a written unit: it needs the 16-bit calls.
bool IsMarkedRegText(const char* text);
// The exact name (or path: "\" stays) a text stands for. A "‹" that does not
// start "‹XXXX›" stands for itself.
std::wstring RegTextToWide(const char* text);

// The registry calls by text: a marked text goes through the 16-bit call
// with its exact name, any other through the 8-bit one as the system reads it.
LONG OpenRegKeyByText(HKEY parent, const char* subPath, REGSAM access, HKEY* key);
// Opens an existing parent and creates one subkey below it; never creates
// the parent. disposition may be null.
LONG CreateRegKeyByText(HKEY parent, const char* name, REGSAM access, HKEY* key, DWORD* disposition);
LONG DeleteRegValueByText(HKEY key, const char* name);
// Whether the value exists (also when it is too long for no buffer).
bool RegValueExistsByText(HKEY key, const char* name);
bool RegKeyExistsByText(HKEY parent, const char* name);
// Reads as the 8-bit call does: strings in the ANSI code page. A marked
// name reads the 16-bit way and converts the text (only for showing it).
LONG QueryRegValueByText(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
