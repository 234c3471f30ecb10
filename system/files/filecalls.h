// Single-call file routines: setting times, existence with the find or
// attribute record, writing a buffer, reading a whole file.
#pragma once

#include <windows.h>

#include <cstdint>

// Note the order: last write, creation, last access; an absent time stays.
// Nonzero when the times were set (a directory cannot be opened: 0).
int SetFileTimesA(const char* pszName, const FILETIME* pWrite, const FILETIME* pCreation, const FILETIME* pAccess);
int SetFileTimesW(const wchar_t* pszName, const FILETIME* pWrite, const FILETIME* pCreation, const FILETIME* pAccess);
// Unix seconds: negative leaves that time, 0 passes the FILETIME 0.
int SetFileTimesUnixA(const char* pszName, int32_t write, int32_t creation, int32_t access);
int SetFileTimesUnixW(const wchar_t* pszName, int32_t write, int32_t creation, int32_t access);
// The target takes the source's three times; 1 only when they were set.
int CopyFileTimesA(const char* pszSource, const char* pszTarget);
int CopyFileTimesW(const wchar_t* pszSource, const wchar_t* pszTarget);

// Results of the existence queries.
enum FileKind {
  FILEKIND_NONE = 0,
  FILEKIND_FILE = 1,
  FILEKIND_DIRECTORY = 2,
};
// A name with '*' or '?' gives FILEKIND_NONE without a search.
int GetFileFindDataA(const char* pszName, WIN32_FIND_DATAA* pData);
int GetFileFindDataW(const wchar_t* pszName, WIN32_FIND_DATAW* pData);
int GetFileAttrDataA(const char* pszName, WIN32_FILE_ATTRIBUTE_DATA* pData);
int GetFileAttrDataW(const wchar_t* pszName, WIN32_FILE_ATTRIBUTE_DATA* pData);

// Creates (or with bAppend extends) the file; 1 when every byte was written.
int WriteBufferToFileA(const char* pszName, const void* pData, int nCount, int bAppend);
int WriteBufferToFileW(const wchar_t* pszName, const void* pData, int nCount, int bAppend);
// Reads at most nSize - 2 bytes and puts two zero bytes behind them; the
// number of bytes read, 0 on failure.
int ReadFileToBufferA(const char* pszName, void* pBuffer, int nSize);
int ReadFileToBufferW(const wchar_t* pszName, void* pBuffer, int nSize);
