// The system's open and save dialogs through CFileDialog: its request block,
// the call through the layer's slot, the object attached before any hook sees
// WM_INITDIALOG, and a dialog ended by a timer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mfc/comdlgslots.h"
#include "mfc/mfc.h"

namespace {
// Puts pfn into the layer's slot of a dialog function for the life of the
// object, as a process-wide extension of the dialogs does.
class SlotPatch {
 public:
  SlotPatch(BOOL open, BOOL(WINAPI* pfn)(LPOPENFILENAMEA))
      : m_slot(open ? &AfxComdlg().getOpenFileName : &AfxComdlg().getSaveFileName), m_saved(*m_slot) {
    *m_slot = pfn;
  }
  ~SlotPatch() { *m_slot = m_saved; }
  BOOL(WINAPI* Saved() const)(LPOPENFILENAMEA) { return m_saved; }

 private:
  BOOL(WINAPI** m_slot)(LPOPENFILENAMEA);
  BOOL(WINAPI* m_saved)(LPOPENFILENAMEA);
};

// What the replacement saw: its calls, and whether the hook window had its
// framework object when the request's hook got WM_INITDIALOG.
struct Interception {
  static SlotPatch* s_patch;
  static LPOFNHOOKPROC s_hook;
  static int s_calls;
  static bool s_attachedAtInit;

  static UINT_PTR CALLBACK Hook(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) s_attachedAtInit = CWnd::FromHandlePermanent(hWnd) != nullptr;
    return s_hook(hWnd, message, wParam, lParam);
  }
  // Wraps the request's hook in its own, as the extension does.
  static BOOL WINAPI Replacement(OPENFILENAMEA* pOfn) {
    ++s_calls;
    s_hook = pOfn->lpfnHook;
    pOfn->lpfnHook = Hook;
    BOOL bResult = s_patch->Saved()(pOfn);
    pOfn->lpfnHook = s_hook;
    return bResult;
  }
};
SlotPatch* Interception::s_patch;
LPOFNHOOKPROC Interception::s_hook;
int Interception::s_calls;
bool Interception::s_attachedAtInit;

class CProbeFileDialog : public CFileDialog {
 public:
  using CFileDialog::CFileDialog;
  int m_nInitDone = 0;
  bool m_bOwnWindowAtInit = false;

  BOOL OnInitDialog() override {
    m_bOwnWindowAtInit = m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this;
    return CFileDialog::OnInitDialog();
  }

 protected:
  void OnInitDone() override { ++m_nInitDone; }
};

// Ends the running dialog with a command once its window is there.
struct Closer {
  static CFileDialog* s_dlg;
  static WPARAM s_command;
  static std::string s_pathWhileOpen;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!s_dlg->m_hWnd || !IsWindowVisible(GetParent(s_dlg->m_hWnd))) return;
    KillTimer(nullptr, id);
    s_pathWhileOpen = s_dlg->GetPathName();
    PostMessageA(GetParent(s_dlg->m_hWnd), WM_COMMAND, s_command, 0);
  }
  static INT_PTR Run(CFileDialog& dlg, WPARAM command) {
    s_dlg = &dlg;
    s_command = command;
    s_pathWhileOpen.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    INT_PTR nResult = dlg.DoModal();
    KillTimer(nullptr, timer);
    return nResult;
  }
};
CFileDialog* Closer::s_dlg;
WPARAM Closer::s_command;
std::string Closer::s_pathWhileOpen;

std::string FilterText(const char* p) {
  std::string s;
  while (*p) {
    s += p;
    s += '|';
    p += std::strlen(p) + 1;
  }
  return s;
}
}  // namespace

TEST(FileDialog, RequestBlockKeepsTheCallersFlagsAndEndsTheFilterWithTwoNuls) {
  const char* ext = "ExportPath";
  CFileDialog dlg(FALSE, ext, nullptr, 0x80880800,
                  "ANSI Format benutzen@Registrierungsdateien (*.reg)|*.reg|Alle Dateien  (*.*)|*.*|");
  EXPECT_EQ(dlg.m_ofn.Flags, 0x80880800 | OFN_ENABLEHOOK | OFN_EXPLORER);
  EXPECT_EQ(dlg.m_ofn.lpstrDefExt, ext);
  EXPECT_NE(dlg.m_ofn.lpfnHook, nullptr);
  EXPECT_EQ(dlg.m_ofn.lStructSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(dlg.m_ofn.lpstrFile[0], 0);
  EXPECT_EQ(FilterText(dlg.m_ofn.lpstrFilter),
            "ANSI Format benutzen@Registrierungsdateien (*.reg)|*.reg|Alle Dateien  (*.*)|*.*|");
  // Without the closing '|' the list still ends.
  CFileDialog dlg2(TRUE, nullptr, "Start.reg", OFN_HIDEREADONLY, "Alle|*.*");
  EXPECT_EQ(FilterText(dlg2.m_ofn.lpstrFilter), "Alle|*.*|");
  EXPECT_STREQ(dlg2.m_ofn.lpstrFile, "Start.reg");
  EXPECT_EQ(dlg2.GetPathName(), "Start.reg");
}

TEST(FileDialog, CancelledByATimerThroughTheLayersSlotWithItsObjectAttachedBeforeTheHook) {
  struct Case {
    BOOL bOpen;
    const char* pszFunction;
  };
  for (const Case& c : {Case{TRUE, "GetOpenFileNameA"}, Case{FALSE, "GetSaveFileNameA"}}) {
    SCOPED_TRACE(c.pszFunction);
    SlotPatch patch(c.bOpen, Interception::Replacement);
    Interception::s_patch = &patch;
    Interception::s_calls = 0;
    Interception::s_attachedAtInit = false;
    CProbeFileDialog dlg(c.bOpen, "reg", nullptr, OFN_HIDEREADONLY | OFN_ENABLESIZING, "Registrierungsdateien|*.reg|");
    EXPECT_EQ(Closer::Run(dlg, IDCANCEL), IDCANCEL);
    EXPECT_EQ(Interception::s_calls, 1);
    EXPECT_TRUE(Interception::s_attachedAtInit);
    EXPECT_TRUE(dlg.m_bOwnWindowAtInit);
    EXPECT_EQ(dlg.m_nInitDone, 1);  // the dialog's notifications reach the object
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_ofn.lpfnHook != nullptr, true);
  }
}

TEST(FileDialog, OkGivesThePathName) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "ofn", 0, path);
  CFileDialog dlg(TRUE, nullptr, path, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "Alle Dateien|*.*|");
  EXPECT_EQ(Closer::Run(dlg, IDOK), IDOK);
  EXPECT_EQ(dlg.GetPathName().CompareNoCase(path), 0);
  std::string name = std::strrchr(path, '\\') + 1;
  EXPECT_EQ(dlg.GetFileName().CompareNoCase(name.c_str()), 0);
  EXPECT_EQ(dlg.GetFileExt().CompareNoCase("tmp"), 0);
  EXPECT_EQ(dlg.GetFileTitle().CompareNoCase(name.substr(0, name.size() - 4).c_str()), 0);
  DeleteFileA(path);
}
