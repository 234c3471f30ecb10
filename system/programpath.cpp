#include "system/programpath.h"

#include "base/cstring.h"
#include "system/pathedit.h"
#include "system/wintwins.h"

namespace {

using wintwins::kMaxPath;

template <class C>
int GetProgramPathT(C* buf, int size) {
  if (size < 1) return 0;
  DWORD n = wintwins::ModuleFileName(buf, size);
  if (n == 0 || n >= (DWORD)size) {  // a cut path is no path
    buf[0] = 0;
    return 0;
  }
  return (int)n;
}

int CutToDirectory(int n, char* buf, int size) { return ReplaceFileNamePart(n, buf, buf, "", 0, size); }
int CutToDirectory(int n, wchar_t* buf, int size) { return ReplaceFileNamePartW(n, buf, buf, L"", 0, size); }

template <class C>
int GetProgramDirectoryT(C* buf, int size) {
  int n = GetProgramPathT(buf, size);
  return n ? CutToDirectory(n, buf, size) : 0;
}

template <class Get>
int IntoStr(CString& str, Get get) {
  int n = get(str.GetBuffer(kMaxPath), kMaxPath);
  str.ReleaseBuffer(n);
  return n;
}

}  // namespace

int GetProgramPath(char* buf, int size) { return GetProgramPathT(buf, size); }
int GetProgramPathW(wchar_t* buf, int size) { return GetProgramPathT(buf, size); }
int GetProgramPathStr(CString& str) { return IntoStr(str, GetProgramPathT<char>); }
int GetProgramDirectory(char* buf, int size) { return GetProgramDirectoryT(buf, size); }
int GetProgramDirectoryW(wchar_t* buf, int size) { return GetProgramDirectoryT(buf, size); }
int GetProgramDirectoryStr(CString& str) { return IntoStr(str, GetProgramDirectoryT<char>); }
