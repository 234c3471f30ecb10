// Deleting a file even when it is read-only.
#pragma once

// 1 when the file was deleted, else 0.
int DeleteFileForce(const char* pszPath);
int DeleteFileForceW(const wchar_t* pszPath);
