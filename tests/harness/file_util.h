// Files of the tests: names in the temporary folder and whole-file reads.
#pragma once

#include <string>

// <temp folder>\name.
std::string TempFile(const char* name);
// Every byte of a file ("" when it cannot be opened); others may be writing it.
std::string ReadFileBytes(const std::string& path);
