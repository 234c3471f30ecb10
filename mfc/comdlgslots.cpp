#include "mfc/comdlgslots.h"

#include "mfc/winapp.h"

namespace {

FARPROC SystemFunction(const char* name) {
  static HMODULE comdlg = LoadLibraryA("comdlg32.dll");
  return comdlg ? GetProcAddress(comdlg, name) : nullptr;
}

// Each first value calls the system's function without writing its slot:
// an extension may have put itself there meanwhile and keeps this value as
// the function to pass requests on to.
template <class Fn, class Arg>
BOOL Call(const char* name, Arg arg) {
  static_assert(sizeof(Fn) == sizeof(FARPROC), "a function pointer");
  // The dialogs' shell views want OLE on the thread.
  AfxOleNeeded();
  Fn fn = (Fn)(void*)SystemFunction(name);
  if (!fn) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
  }
  return fn(arg);
}

BOOL WINAPI FirstGetOpenFileName(LPOPENFILENAMEA ofn) {
  return Call<BOOL(WINAPI*)(LPOPENFILENAMEA)>("GetOpenFileNameA", ofn);
}
BOOL WINAPI FirstGetSaveFileName(LPOPENFILENAMEA ofn) {
  return Call<BOOL(WINAPI*)(LPOPENFILENAMEA)>("GetSaveFileNameA", ofn);
}
BOOL WINAPI FirstChooseColor(LPCHOOSECOLORA cc) { return Call<BOOL(WINAPI*)(LPCHOOSECOLORA)>("ChooseColorA", cc); }
BOOL WINAPI FirstChooseFont(LPCHOOSEFONTA cf) { return Call<BOOL(WINAPI*)(LPCHOOSEFONTA)>("ChooseFontA", cf); }

}  // namespace

AfxComdlgSlots& AfxComdlg() {
  static AfxComdlgSlots slots = {FirstGetOpenFileName, FirstGetSaveFileName, FirstChooseColor, FirstChooseFont};
  return slots;
}
