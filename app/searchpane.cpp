// The browser pane behind the search's pane interface: its entry records
// (rows of the entry list) and its list cells.
#include "app/ostrovaview.h"
#include "app/search/searchpane.h"

namespace {

const int kCellTextMax = 4096;

class CRegSearchPane : public IRegSearchPane {
 public:
  explicit CRegSearchPane(CRegWnd& pane) : m_pane(pane) {}
  CString GetCurrentPath() override { return m_pane.GetPathNoSlash(); }
  void WaitForListThread() override { m_pane.WaitForListThread(); }
  int GetSelectedEntry() override { return m_pane.GetSelectedEntry(); }
  bool GetEntryText(int row, int column, CString& text) override {
    if ((unsigned)row >= (unsigned)m_pane.Entries().count) return false;
    if (column == 0) {
      text = CString(m_pane.Entries().TextAt(row), (int)m_pane.Entries().LengthAt(row));
      return true;
    }
    char* buffer = text.GetBuffer(kCellTextMax);
    buffer[0] = 0;
    m_pane.List().GetCellTextByRow(row, buffer, kCellTextMax, column);
    text.ReleaseBuffer();
    return true;
  }
  DWORD GetEntryType(int row) override {
    const CTextList& entries = m_pane.Entries();
    if ((unsigned)row >= (unsigned)entries.count || entries.extraSize < sizeof(TreeWndEntry)) return REG_NONE;
    return (DWORD)((const TreeWndEntry*)entries.items[row])->type;  // with 0x100 for the default value
  }
  void SelectEntry(int row) override {
    if (m_pane.SelectEntry(row, TRUE)) m_pane.ScrollToEntry(row);
  }
  void NavigateTo(const char* path) override { m_pane.NavigateTo(path, 1); }
  // The hit is scrolled into view, as an entry found in the list is.
  bool SelectEntryByName(const char* name) override {
    if (!m_pane.SelectEntryByName(name, TRUE)) return false;
    m_pane.ScrollToEntry(m_pane.GetSelectedEntry());
    return true;
  }
  void FocusNext(int part) override {
    if (m_pane.m_hWnd) m_pane.FocusNext(part);
  }

 private:
  CRegWnd& m_pane;
};

}  // namespace

std::unique_ptr<IRegSearchPane> MakeSearchPane(COstrovaView* view, int pane) {
  return std::unique_ptr<IRegSearchPane>(new CRegSearchPane(view->Pane(pane)));
}
