// File sizes by handle, by name and of runtime streams.
#pragma once

#include <windows.h>

#include <cstdio>

// GetFileSize without the high part.
DWORD GetFileSizeByHandle(HANDLE hFile);
inline DWORD GetFileSizeByHandleW(HANDLE hFile) { return GetFileSizeByHandle(hFile); }

// The size goes to *pSize; the result is its low half, -1 on failure (the
// size all ones) or -2 for a real low half of 0xFFFFFFFF.
int GetFileSize64ByHandle(HANDLE hFile, ULONGLONG* pSize);
inline int GetFileSize64ByHandleW(HANDLE hFile, ULONGLONG* pSize) { return GetFileSize64ByHandle(hFile, pSize); }

// The low half of a file's size; -1 when it is missing or a directory.
int GetFileSizeByName(const char* pszPath);
int GetFileSizeByNameW(const wchar_t* pszPath);
int GetFileSize64ByName(const char* pszPath, ULONGLONG* pSize);
int GetFileSize64ByNameW(const wchar_t* pszPath, ULONGLONG* pSize);

// A stream's size (its position is kept); -1 for a null stream.
long GetStreamSize(FILE* pStream);
long long GetStreamSize64(FILE* pStream, ULONGLONG* pSize);
