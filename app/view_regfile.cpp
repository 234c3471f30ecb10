// The view's .reg export and import: the file dialogs, the overwrite
// question and the run of the system's registry editor in the worker of a
// progress dialog (app/regfile/ does the work where the editor does not).
#include "app/regnames.h"
#include "app/ostrovaview.h"
#include "app/regfile/regeditrun.h"
#include "res/resource.h"
#include "system/pathtype.h"
#include "system/regkeystack.h"
#include "ui/dialogs/progressdlg.h"
#include "ui/msgbox.h"

namespace {
const DWORD kExportFlags = 0x80880800;  // caption bit, sizing, explorer, path must exist
const DWORD kImportFlags = 0x881904;    // + file must exist, no validation, no read-only box
const char kExportFilter[] = "ANSI Format benutzen@Registrierungsdateien (*.reg)|*.reg|Alle Dateien  (*.*)|*.*|";
const char kImportFilter[] = "Registrierungsdateien (*.reg)|*.reg|Alle Dateien  (*.*)|*.*|";
const char kExportTitle[] = "Registry-Daten exportieren";
const char kImportTitle[] = "Registry-Daten importieren";
const UINT kMarqueeMs = 500;

// What one run needs; the worker's argument words are 32 bits wide, so the
// run travels as a slot of this table rather than as a pointer.
struct RegeditJob {
  COstrovaView* view;
  const char* option;
  const char* file;
  const char* key;  // null for an import
  int errorLine;    // out: the line of the file's syntax error
  LONG error;       // out: the Win32 error of a failure
};
RegeditJob* volatile s_jobs[8];

DWORD PutJob(RegeditJob* job) {
  for (DWORD i = 0; i < 8; ++i)
    if (!InterlockedCompareExchangePointer((void* volatile*)&s_jobs[i], job, nullptr)) return i;
  return (DWORD)-1;
}
RegeditJob* GetJob(DWORD slot) { return slot < 8 ? s_jobs[slot] : nullptr; }
void DropJob(DWORD slot) {
  if (slot < 8) InterlockedExchangePointer((void* volatile*)&s_jobs[slot], nullptr);
}

CString ReadProgramString(const char* name) {
  CString s;
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE)) key.QueryString(s, name);
  return s;
}

void WriteProgramString(const char* name, const CString& value) {
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE)) key.SetString(value, name);
}
}  // namespace

CString COstrovaView::ActiveKeyPath() const { return m_panes[m_activePane].GetPathNoSlash(); }

int COstrovaView::RunRegedit(CProgressDlg* dlg) {
  RegeditJob* job = GetJob(dlg->m_dwArgs[0]);
  if (!job) return -1;
  char program[MAX_PATH];
  if (!FindRegeditProgram(program, sizeof program)) {
    dlg->WorkerMessageBox("Das Programm 'RegEdit.exe' konnte nicht gefunden werden.", "Fehler", MB_OK | MB_ICONERROR);
    return -1;
  }
  RegeditRequest req;
  req.program = program;
  req.option = job->option;
  req.file = job->file;
  req.key = job->key;
  req.cancel = &dlg->m_nCancel;
  req.errorLine = &job->errorLine;
  int result = RunRegeditRequest(job->view->m_regedit, req, &job->error);
  if (result < 0)
    dlg->WorkerMessageBox("Das Programm 'RegEdit.exe' konnte nicht gestartet werden.", "Fehler", MB_OK | MB_ICONERROR);
  return result;
}

void COstrovaView::OnCancelRegedit(DWORD arg) {
  RegeditJob* job = GetJob(arg);
  if (job) job->view->m_regedit.Terminate(1);
}

int COstrovaView::RunRegeditDialog(const char* title, const char* option, const char* file, const char* key,
                                   int* pnErrorLine, LONG* pnError) {
  RegeditJob job = {this, option, file, key, 0, ERROR_SUCCESS};
  DWORD slot = PutJob(&job);
  if (slot == (DWORD)-1) return -1;
  int result;
  {
    CProgressDlg dlg(this);
    dlg.SetTitle(title);
    dlg.SetMarquee(kMarqueeMs);
    dlg.SetWorker(RunRegedit, slot);
    dlg.SetCancelCallback(OnCancelRegedit, slot);
    dlg.DoModal();
    result = dlg.m_nResult;
  }
  DropJob(slot);
  if (pnErrorLine) *pnErrorLine = job.errorLine;
  if (pnError) *pnError = job.error;
  return result;
}

void COstrovaView::OnExport() {
  // The system's editor and the own writer both take the key by its 8-bit
  // path, which would name another key or none.
  if (IsMarkedRegText(ActiveKeyPath())) {
    MsgBox(m_hWnd,
           "Dieser Schlüssel kann nicht exportiert werden: sein Pfad enthält einen Namen mit Zeichen außerhalb "
           "des Zeichensatzes (Codepage 1252).",
           "Fehler", MB_OK | MB_ICONERROR);
    return;
  }
  CString last = ReadProgramString("ExportPath");
  CFileDialog fd(FALSE, last, nullptr, kExportFlags, kExportFilter, this);
  fd.m_ofn.lpstrTitle = kExportTitle;
  if (fd.DoModal() != IDOK) return;
  CString path = fd.GetPathName();
  WriteProgramString("ExportPath", path);
  if (GetPathType(path) == 1) {
    CString question;
    question.Format(
        "Die Datei '%s' existiert bereits !\n\nSoll sie \xFC"
        "berschrieben werden ?",
        (const char*)path);
    if (MsgBox(m_hWnd, question, "Frage", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  const char* option = (fd.m_ofn.Flags & OFN_READONLY) ? "/A" : "/E";
  CString key = ActiveKeyPath();
  // No key would export the whole registry.
  LONG error = ERROR_SUCCESS;
  int result = key.IsEmpty() ? 0 : RunRegeditDialog(kExportTitle, option, path, key, nullptr, &error);
  if (result == 0 && error == ERROR_NO_UNICODE_TRANSLATION)
    MsgBox(m_hWnd,
           "Dieser Schlüssel kann nicht im ANSI-Format exportiert werden:\nein Schlüssel- oder Wertname darin "
           "enthält Zeichen außerhalb des Zeichensatzes (Codepage 1252).\n\nDas Unicode-Format kann ihn "
           "exportieren.",
           "Fehler", MB_OK | MB_ICONERROR);
  else if (result == 0)
    MsgBox(m_hWnd, "Es gabe einen Fehler beim Exportiren !", "Fehler", MB_OK | MB_ICONERROR);
}

void COstrovaView::OnImport() {
  CString last = ReadProgramString("ImportPath");
  CFileDialog fd(TRUE, last, nullptr, kImportFlags, kImportFilter, this);
  fd.m_ofn.lpstrTitle = kImportTitle;
  if (fd.DoModal() != IDOK) return;
  CString path = fd.GetPathName();
  WriteProgramString("ImportPath", path);
  int line = 0;
  if (RunRegeditDialog(kImportTitle, "/I", path, nullptr, &line) != 0) return;
  CString text = "Es gabe einen Fehler beim Importiren !";
  // A file that is broken or cut short: nothing was imported; say where.
  if (line > 0) {
    CString where;
    where.Format("\n\nZeile %d der Datei ist fehlerhaft oder unvollst\xE4ndig; es wurde nichts importiert.", line);
    text += where;
  }
  MsgBox(m_hWnd, text, "Fehler", MB_OK | MB_ICONERROR);
}
