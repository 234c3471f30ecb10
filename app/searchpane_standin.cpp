// The stand-in pane behind the search's pane interface: a path and no
// entries. The browser pane brings the real entry list.
#include "app/ostrovaview.h"
#include "app/search/searchpane.h"

namespace {

class CStandInSearchPane : public IRegSearchPane {
 public:
  explicit CStandInSearchPane(CPaneStandIn& pane) : m_pane(pane) {}
  CString GetCurrentPath() override { return m_pane.GetPath(); }
  void WaitForListThread() override {}
  int GetSelectedEntry() override { return -1; }
  bool GetEntryText(int, int, CString&) override { return false; }
  DWORD GetEntryType(int) override { return REG_NONE; }
  void SelectEntry(int) override {}
  void NavigateTo(const char* path) override { m_pane.NavigateTo(path, 1); }
  bool SelectEntryByName(const char*) override { return false; }
  void FocusNext(int) override {
    if (m_pane.m_hWnd) m_pane.FocusNext(-3);
  }

 private:
  CPaneStandIn& m_pane;
};

}  // namespace

std::unique_ptr<IRegSearchPane> MakeSearchPane(COstrovaView* view, int pane) {
  return std::unique_ptr<IRegSearchPane>(new CStandInSearchPane(view->Pane(pane)));
}
