// Editing one registry value in the editor its type asks for. The callers
// pass what the browser pane knows of the entry:
// the key (root and path, a null root takes it from the path), the value
// name and whether the entry is the key's default value.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/cstring.h"

class CWnd;

// How an edit ended.
enum {
  kEditGone = -2,      // the key or value was no longer there; one message was shown
  kEditFailed = -1,    // one message was shown; the registry is as it was
  kEditUnchanged = 0,  // cancelled, or OK without a change
  kEditWritten = 1,
};

// Strings of the prompt editor end below this size; longer ones go to hex.
const DWORD kPromptMaxBytes = 1000;
const DWORD kFirstReadBytes = 1024;

extern const char kRegPathOpenError[];
extern const char kRegValueReadError[];
extern const char kRegValueWriteError[];

// forceBinary: the hex editor whatever the type ("Binärdaten ändern").
int EditRegistryValue(CWnd* parent, HKEY root, const char* path, const char* name, bool isDefault, bool forceBinary);

// The strings of a multi-string up to the end of its data: an empty string
// inside stays a string, only the trailing NULs end the list.
std::vector<std::string> SplitMultiString(const char* data, size_t size);
// Each string with its NUL, then one more NUL.
std::string JoinMultiString(const std::vector<std::string>& strings);

// Whether UTF-16 text converts to the ANSI code page and back unchanged.
bool WideFitsAnsi(const WCHAR* text, size_t count);
