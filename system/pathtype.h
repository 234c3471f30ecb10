// What a path names, and creating a directory with its missing parents.
#pragma once

enum PathType {
  PATHTYPE_NONE = 0,  // nothing there, or a drive that does not exist
  PATHTYPE_FILE = 1,
  PATHTYPE_DIRECTORY = 2,
  PATHTYPE_DRIVE_ROOT = 3,
};
int GetPathType(const char* pszPath);
int GetPathTypeW(const wchar_t* pszPath);

// Results of the directory creation.
enum CreateDirResult {
  CREATEDIR_FAILED = 0,
  CREATEDIR_CREATED = 1,  // also when nothing had to be created
  CREATEDIR_EXISTED = 2,
};
// The part before the file-name part, as nDirLength of CreateDirectoryPathEx.
const int CREATEDIR_PARENT = 65535;

int CreateDirectoryPath(const char* pszPath);
int CreateDirectoryPathW(const wchar_t* pszPath);
// Creates the directory named by the first nDirLength characters of the path
// (0 the whole path, CREATEDIR_PARENT the directory part).
int CreateDirectoryPathEx(const char* pszPath, int nDirLength);
int CreateDirectoryPathExW(const wchar_t* pszPath, int nDirLength);
