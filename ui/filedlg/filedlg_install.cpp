// Installing the extension in a module's import table, and preparing and
// giving back each request's OPENFILENAME.
#include <cstdlib>
#include <cstring>

#include "ui/filedlg/filedlg.h"
#include "ui/filedlg/filedlg_state.h"
#include "ui/filedlg/filedlgnew.h"
#include "mfc/comdlgslots.h"

namespace {
const int kMaxDescriptors = 256;
const int kMaxThunks = 4096;

bool IsComdlg32(const char* name) {
  if (_strnicmp(name, "comdlg32", 8) != 0) return false;
  return name[8] == 0 || _stricmp(name + 8, ".dll") == 0;
}

// Puts replacement into an import slot, keeping what was there; a slot that
// holds the replacement already (a second install) is left alone.
void Patch(ULONG_PTR* slot, FileDlgFunction replacement, FileDlgFunction* saved) {
  if (*slot == (ULONG_PTR)replacement) return;
  DWORD old;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_WRITECOPY, &old) &&
      !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old))
    return;
  *saved = (FileDlgFunction)*slot;
  *slot = (ULONG_PTR)replacement;
}

// The same for a slot in writable memory of ours.
void Replace(FileDlgFunction* slot, FileDlgFunction replacement, FileDlgFunction* saved) {
  if (*slot == replacement) return;
  *saved = *slot;
  *slot = replacement;
}

void PatchModule(HMODULE module) {
  BYTE* base = (BYTE*)module;
  IMAGE_DOS_HEADER* dos = (IMAGE_DOS_HEADER*)base;
  if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return;
  IMAGE_IMPORT_DESCRIPTOR* desc = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
  for (int d = 0; d < kMaxDescriptors && desc[d].Name && desc[d].FirstThunk; ++d) {
    if (!IsComdlg32((const char*)(base + desc[d].Name)) || !desc[d].OriginalFirstThunk) continue;
    IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + desc[d].OriginalFirstThunk);
    IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + desc[d].FirstThunk);
    for (int i = 0; i < kMaxThunks && names[i].u1.AddressOfData; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const char* name = (const char*)((IMAGE_IMPORT_BY_NAME*)(base + names[i].u1.AddressOfData))->Name;
      ULONG_PTR* slot = (ULONG_PTR*)&slots[i].u1.Function;
      if (strcmp(name, "GetOpenFileNameA") == 0) Patch(slot, FileDlgGetOpenFileName, &FileDlg().open);
      if (strcmp(name, "GetSaveFileNameA") == 0) Patch(slot, FileDlgGetSaveFileName, &FileDlg().save);
    }
  }
}

// The caption of the read-only check box from the first filter string:
// "caption@..." advances the filter past the '@'.
char* TakeCaption(LPOPENFILENAMEA ofn) {
  const char* filter = ofn->lpstrFilter ? ofn->lpstrFilter : "";
  const char* at = strchr(filter, '@');
  size_t n = at ? (size_t)(at - filter) : strlen(filter);
  char* caption = new char[n + 1];
  memcpy(caption, filter, n);
  caption[n] = 0;
  if (at) ofn->lpstrFilter = at + 1;
  return caption;
}

// The common dialog's own function: never through an import slot, which
// may hold the replacement.
FileDlgFunction Saved(bool save) {
  FileDlgState& s = FileDlg();
  if (FileDlgFunction f = save ? s.save : s.open) return f;
  HMODULE comdlg = LoadLibraryA("comdlg32.dll");
  return (FileDlgFunction)(void*)GetProcAddress(comdlg, save ? "GetSaveFileNameA" : "GetOpenFileNameA");
}

BOOL Run(LPOPENFILENAMEA ofn, bool save) {
  FileDlgState& s = FileDlg();
  FileDlgFunction saved = Saved(save);
  if (!ofn) return saved(ofn);
  if (save && (ofn->Flags & OFN_EX_CAPTION)) {
    // The open dialog in save look.
    BOOL before = s.saveRequest;
    s.saveRequest = TRUE;
    BOOL result = Run(ofn, false);
    s.saveRequest = before;
    return result;
  }
  // What the caller gets back as it came: a reused block works again.
  const OPENFILENAMEA caller = *ofn;
  DWORD given = ofn->Flags & ~OFN_READONLY;
  FileDlgRequest outer = s.req;  // a nested request keeps the outer one's
  s.req = FileDlgRequest();
  FileDlgRequest& req = s.req;
  if (!(ofn->Flags & OFN_ENABLETEMPLATE)) ofn->Flags |= OFN_ENABLESIZING;
  if (!save && (ofn->Flags & OFN_EX_CAPTION)) {
    ofn->Flags &= ~OFN_EX_CAPTION;
    req.caption = TakeCaption(ofn);
  }
  req.mode = ofn->Flags & OFN_EX_MODEMASK;
  if (req.mode <= OFN_EX_HISTORY_READONLY) {
    req.source = ofn->lpstrDefExt && !IsBadStringPtrA(ofn->lpstrDefExt, 256) ? ofn->lpstrDefExt : "";
  } else if (req.mode < OFN_EX_NO_HISTORY) {
    req.source = ofn->lpstrCustomFilter ? ofn->lpstrCustomFilter : "";
    ofn->lpstrCustomFilter = nullptr;
  }
  req.saveMarker = save || s.saveRequest;
  if (ofn->lpstrDefExt && IsBadStringPtrA(ofn->lpstrDefExt, 256)) ofn->lpstrDefExt = nullptr;
  req.callerHook = (ofn->Flags & OFN_ENABLEHOOK) ? ofn->lpfnHook : nullptr;
  ofn->lpfnHook = FileDlgHookProc;
  ofn->Flags |= OFN_ENABLEHOOK;
  bool first = false;
  if (!s.enlargedOnce && !s.firstDialog &&
      (ofn->Flags & (OFN_ENABLESIZING | OFN_EXPLORER)) == (OFN_ENABLESIZING | OFN_EXPLORER)) {
    s.firstDialog = first = TRUE;
    s.extraHeight = ofn->lpTemplateName ? 100 : 0;
  }
  BOOL result = (s.saveRequest ? Saved(false) : saved)(ofn);
  StopFileDlgWorker(req);  // a dialog that ended without WM_DESTROY reaching us
  delete[] req.caption;
  s.req = outer;
  if (first) s.firstDialog = FALSE;
  DWORD readOnly = ofn->Flags & OFN_READONLY;
  ofn->lpfnHook = caller.lpfnHook;
  ofn->lpstrFilter = caller.lpstrFilter;
  ofn->lpstrCustomFilter = caller.lpstrCustomFilter;
  ofn->lpstrDefExt = caller.lpstrDefExt;
  ofn->Flags = given | readOnly;
  return result;
}
}  // namespace

FileDlgState& FileDlg() {
  static FileDlgState* state = [] {
    FileDlgState* s = new FileDlgState;
    InitializeCriticalSection(&s->lock);
    return s;
  }();
  return *state;
}

int InstallFileDialogHook(LPCSTR moduleName) {
  FileDlg();  // the lock exists before the first request
  static bool cleanupRegistered = false;
  if (!cleanupRegistered) cleanupRegistered = atexit([] { FileDlgHookCleanup(); }) == 0;
  PatchModule(GetModuleHandleA(moduleName));
  // The layer's file dialogs call through slots of their own.
  AfxComdlgSlots& slots = AfxComdlg();
  Replace(&slots.getOpenFileName, FileDlgGetOpenFileName, &FileDlg().open);
  Replace(&slots.getSaveFileName, FileDlgGetSaveFileName, &FileDlg().save);
  typedef BOOL(WINAPI * FilterFn)(UINT, DWORD);
  FilterFn filter = (FilterFn)(void*)GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilter");
  if (filter) {
    filter(0x49, 1);  // MSGFLT_ADD
    filter(WM_COPYDATA, 1);
    filter(WM_DROPFILES, 1);
  }
  return 1;
}

BOOL WINAPI FileDlgGetOpenFileName(LPOPENFILENAMEA ofn) { return Run(ofn, false); }
BOOL WINAPI FileDlgGetSaveFileName(LPOPENFILENAMEA ofn) { return Run(ofn, true); }

void SetFileDialogFunctions(FileDlgFunction open, FileDlgFunction save) {
  FileDlg().open = open;
  FileDlg().save = save;
}

void ResetFileDialogFirstSize() { FileDlg().enlargedOnce = FALSE; }
int FileDlgLiveWorkers() { return (int)FileDlg().liveWorkers; }
