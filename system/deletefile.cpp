#include "system/deletefile.h"

#include "system/wintwins.h"

namespace {

template <class C>
int DeleteFileForceT(const C* path) {
  if (wintwins::RemoveFile(path)) return 1;
  if (GetLastError() != ERROR_ACCESS_DENIED) return 0;
  wintwins::SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
  return wintwins::RemoveFile(path) ? 1 : 0;
}

}  // namespace

int DeleteFileForce(const char* path) { return DeleteFileForceT(path); }
int DeleteFileForceW(const wchar_t* path) { return DeleteFileForceT(path); }
