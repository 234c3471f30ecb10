// The view's registry commands: find and find next, permissions, loading and
// unloading hives, and the outside registry editor.
#include "app/regnames.h"
#include "app/hives.h"
#include "app/ostrovaview.h"
#include "app/search/regfinddlg.h"
#include "app/search/searchpane.h"
#include "app/security/securityinfo.h"
#include "ui/dialogs/progressdlg.h"
#include "ui/msgbox.h"

namespace {

// The worker needs pointers, which the dialog's DWORD arguments cannot hold
// in a 64-bit build.
class CSearchProgressDlg : public CProgressDlg {
 public:
  CSearchProgressDlg(CWnd* parent, RegSearchState& state, char* path)
      : CProgressDlg(parent), m_state(state), m_path(path) {}
  RegSearchState& m_state;
  char* m_path;
  int m_result = kSearchNothing;
};

void SearchStatus(void* ctx, const char* path) {
  static_cast<CProgressDlg*>(ctx)->SetStatusPath(0, "Pfad: @", path, 0, '@');
}

void SearchMessage(void* ctx, const char* text) { static_cast<CProgressDlg*>(ctx)->WorkerMessageBox(text, nullptr, 0); }

int SearchWorker(CProgressDlg* dlg) {
  CSearchProgressDlg* d = static_cast<CSearchProgressDlg*>(dlg);
  RegSearchHooks hooks;
  hooks.cancel = &dlg->m_nCancel;
  hooks.status = SearchStatus;
  hooks.message = SearchMessage;
  hooks.ctx = dlg;
  d->m_result = SearchRegistryKeys(d->m_state, d->m_path, (int)strlen(d->m_path), hooks);
  return d->m_result;
}

}  // namespace

void COstrovaView::OnFind() {
  m_context.kind = kHitNothing;
  CRegFindDlg dlg(this);
  if (dlg.DoModal() != IDOK) return;
  int flags = (dlg.FindKeys ? kSearchKeys : 0) | (dlg.FindItems ? kSearchValueNames : 0) |
              (dlg.FindData ? kSearchValueData : 0);
  m_search.Setup(flags, dlg.FindMode, dlg.MatchCase, dlg.FindText);
  SearchRegistry();
}

void COstrovaView::OnFindNext() {
  if (m_search.IsSet()) SearchRegistry();
}

void COstrovaView::OnFindNextKey() {
  if (m_search.IsSet())
    SearchRegistry();
  else
    OnFind();
}

void COstrovaView::OnUpdateFindNext(CCmdUI* pCmdUI) { pCmdUI->Enable(m_search.IsSet()); }

int COstrovaView::SearchRegistry() {
  if (!m_search.IsSet()) return 0;
  std::unique_ptr<IRegSearchPane> pane = MakeSearchPane(this, m_activePane);
  if (SearchPaneEntries(m_search, *pane)) return 1;

  char path[kSearchPathSize];
  lstrcpynA(path, pane->GetCurrentPath(), sizeof path);
  m_search.hitName[0] = 0;
  int result;
  {
    CSearchProgressDlg dlg(this, m_search, path);
    dlg.SetTitle("Suchen");
    dlg.SetMarquee(500);
    dlg.SetWorker(SearchWorker);
    INT_PTR answer = dlg.DoModal();
    result = answer == IDOK ? dlg.m_result : kSearchCancelled;
  }
  if (result == kSearchKeyFound || result == kSearchValueFound) {
    pane->NavigateTo(path);
    if (result == kSearchValueFound && m_search.hitName[0]) {
      pane->WaitForListThread();
      pane->SelectEntryByName(m_search.hitName);
    }
    pane->FocusNext(result);
    return 1;
  }
  m_search.Reset();
  if (result == kSearchNothing)
    ::MessageBoxA(m_hWnd, "Das Durchsuchen der Registry ist beendet.", "Information", MB_ICONINFORMATION);
  return 0;
}

void COstrovaView::OnPermissions() {
  std::unique_ptr<IRegSearchPane> pane = MakeSearchPane(this, m_activePane);
  CString path = pane->GetCurrentPath();
  if (path.IsEmpty()) return;
  // The access editor names the key by its 8-bit path.
  if (IsMarkedRegText(path)) {
    MsgBox(m_hWnd,
           "Die Berechtigungen dieses Schlüssels können nicht bearbeitet werden: sein Pfad enthält einen Namen "
           "mit Zeichen außerhalb des Zeichensatzes (Codepage 1252).",
           "Fehler", MB_OK | MB_ICONERROR);
    return;
  }
  AfxOleNeeded();
  EditKeyPermissions(m_hWnd, path, SE_REGISTRY_KEY);
}

void COstrovaView::OnLoadHive() {
  std::unique_ptr<IRegSearchPane> pane = MakeSearchPane(this, m_activePane);
  CString loaded;
  if (RunLoadHive(this, pane->GetCurrentPath(), loaded)) pane->NavigateTo(loaded);
}

void COstrovaView::OnUnloadHive() {
  std::unique_ptr<IRegSearchPane> pane = MakeSearchPane(this, m_activePane);
  // A key gone (unloaded, or deleted where the system does that) is no
  // longer shown by either pane.
  if (RunUnloadHive(this, pane->GetCurrentPath()))
    for (CRegWnd& shown : m_panes) shown.ShowVanished(shown.GetPathNoSlash());
}

void COstrovaView::OnStartRegedit() {
  std::unique_ptr<IRegSearchPane> pane = MakeSearchPane(this, m_activePane);
  StartOutsideRegistryEditor(m_hWnd, pane->GetCurrentPath(), nullptr);
}
