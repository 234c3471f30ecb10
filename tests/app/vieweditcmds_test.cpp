// The view's value editing on the program's own frame: Enter on a row of the
// browser pane opens the editor for that entry, OK writes the value and the
// row shows the new data; the default value is edited as the default value.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/mainframe.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"
#include "ui/dialogs/dlgids.h"
#include "ui/msgbox.h"

namespace {

class CEditTestApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(COstrovaDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(COstrovaView)));
    CCommandLineInfo cmdInfo;
    return ProcessShellCommand(cmdInfo);
  }
};

// Types text into the first prompt of the title and presses OK.
void AnswerPrompt(const std::string& title, const std::string& text) {
  for (int i = 0; i < 1500; ++i) {
    HWND dlg = FindWindowA("#32770", title.c_str());
    if (dlg && IsWindowVisible(dlg)) {
      SetDlgItemTextA(dlg, IDC_PROMPT_EDIT, text.c_str());
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(10);
  }
  // Not found: name what is open, then close it so the test ends.
  EnumWindows(
      [](HWND w, LPARAM) CALLBACK -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char text[256] = "";
        GetWindowTextA(w, text, sizeof text);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) {
          ADD_FAILURE() << "open window: " << text;
          PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
      },
      0);
}

std::string ReadString(HKEY key, const char* name) {
  char buf[256] = "";
  DWORD size = sizeof buf - 1, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buf, &size) != ERROR_SUCCESS || type != REG_SZ) return "?";
  return buf;
}

// Reads the lines of the library's box of the title and presses OK.
void AnswerBox(const std::string& title, std::string* text) {
  for (int i = 0; i < 1500; ++i) {
    HWND box = FindWindowA("#32770", title.c_str());
    if (box && IsWindowVisible(box)) {
      HWND list = GetDlgItem(box, kMsgBoxTextId);
      for (int n = 0, count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0); n < count; ++n) {
        char line[512] = "";
        SendMessageA(list, LB_GETTEXT, n, (LPARAM)line);
        *text += (n ? "\n" : "") + std::string(line);
      }
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(10);
  }
}

int RowOf(CRegWnd& pane, const char* text) {
  for (int row = 0; row < pane.Entries().count; ++row)
    if (std::string(pane.Entries().TextAt(row)) == text) return row;
  return -1;
}

void PressEnterOn(COstrovaView* view, CRegWnd& pane, int row) {
  NMTREEWNDENTRY entry = {{pane.m_hWnd, (UINT_PTR)pane.GetDlgCtrlID(), (UINT)NM_RETURN}, 1, 0, (DWORD)row, 0};
  view->SendMessage(WM_NOTIFY, entry.hdr.idFrom, (LPARAM)&entry);
}

// Waits for the open popup menu of this process, reads its entries as
// "id text" (" grau" when greyed) and closes it.
void ReadOpenMenu(std::vector<std::string>* entries) {
  for (int i = 0; i < 500; ++i) {
    HWND popup = FindWindowA("#32768", nullptr);
    DWORD pid = 0;
    if (popup) GetWindowThreadProcessId(popup, &pid);
    if (popup && pid == GetCurrentProcessId() && IsWindowVisible(popup)) {
      HMENU h = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
      for (int n = 0; n < GetMenuItemCount(h); ++n) {
        char text[64] = "";
        GetMenuStringA(h, n, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(h, n, MF_BYPOSITION);
        bool grey = !(state & MF_SEPARATOR) && (state & MF_GRAYED);
        entries->push_back(std::to_string((int)GetMenuItemID(h, n)) + " " + text + (grey ? " grau" : ""));
      }
      PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
      return;
    }
    Sleep(10);
  }
}

}  // namespace

TEST(ViewEditCommands, EnterOnARowEditsItsValueAndTheRowFollows) {
  CEditTestApp* app = new CEditTestApp;
  ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
  TestAppNames* names = new TestAppNames;
  TestRegistryKey key;
  ASSERT_EQ(RegSetValueExA(key.Handle(), "Farbe", 0, REG_SZ, (const BYTE*)"rot", 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.Handle(), "", 0, REG_SZ, (const BYTE*)"alt", 4), ERROR_SUCCESS);
  ASSERT_TRUE(app->InitInstance());
  CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, app->m_pMainWnd);
  ASSERT_NE(frame, nullptr);
  COstrovaView* view = DYNAMIC_DOWNCAST(COstrovaView, frame->GetActiveView());
  ASSERT_NE(view, nullptr);
  CRegWnd& pane = view->Pane(view->ActivePane());
  pane.NavigateTo(key.FullPath().c_str(), 1);
  pane.WaitForListThread();
  PumpMessages(100);

  int row = RowOf(pane, "Farbe");
  ASSERT_GE(row, 0);
  std::thread answer(AnswerPrompt, "Bearbeite  'Farbe'", "grün");
  PressEnterOn(view, pane, row);
  answer.join();
  EXPECT_EQ(ReadString(key.Handle(), "Farbe"), "grün");
  char cell[64] = "";
  pane.List().GetCellTextByRow(row, cell, sizeof cell, 2);
  EXPECT_NE(std::string(cell).find("grün"), std::string::npos) << cell;

  int standard = RowOf(pane, "(Standard)");
  ASSERT_GE(standard, 0);
  std::thread answerDefault(AnswerPrompt, "Bearbeite Wert", "neu");
  PressEnterOn(view, pane, standard);
  answerDefault.join();
  EXPECT_EQ(ReadString(key.Handle(), ""), "neu");
  EXPECT_EQ(ReadString(key.Handle(), "(Standard)"), "?");  // no namesake made

  // A row's menu offers the editors; the default value has no name to change.
  for (const char* name : {"Farbe", "(Standard)"}) {
    SCOPED_TRACE(name);
    HTREEITEM item = (HTREEITEM)pane.List().SendMessage(TLM_GETROWITEM, 0, RowOf(pane, name));
    RECT r = {};
    memcpy(&r, &item, sizeof item);
    ASSERT_TRUE(pane.List().SendMessage(TVM_GETITEMRECT, FALSE, (LPARAM)&r));
    POINT pt = {r.left + 40, (r.top + r.bottom) / 2};
    pane.List().ClientToScreen(&pt);
    std::vector<std::string> entries;
    std::thread reader(ReadOpenMenu, &entries);
    view->SendMessage(WM_CONTEXTMENU, (WPARAM)pane.List().m_hWnd, MAKELPARAM(pt.x, pt.y));
    reader.join();
    std::vector<std::string> want = {"4246 Feld kopieren",     "0 ", "4245 &Ändern...",
                                     "4244 Binärdaten ändern", "0 ", "32781 Löschen",
                                     "32791 Umbenennen"};
    if (std::string(name) == "(Standard)") want.back() += " grau";
    EXPECT_EQ(entries, want);
  }

  // Deleted by another program while the row showed it: one box says so,
  // and the row goes.
  ASSERT_EQ(RegSetValueExA(key.Handle(), "Weg", 0, REG_SZ, (const BYTE*)"x", 2), ERROR_SUCCESS);
  pane.SendMessage(WM_COMMAND, ID_TREEWND_REFRESH);
  pane.WaitForListThread();
  PumpMessages(100);
  row = RowOf(pane, "Weg");
  ASSERT_GE(row, 0);
  ASSERT_EQ(RegDeleteValueA(key.Handle(), "Weg"), ERROR_SUCCESS);
  std::string box;
  std::thread answerBox(AnswerBox, "Fehler", &box);
  PressEnterOn(view, pane, row);
  answerBox.join();
  EXPECT_NE(box.find("nicht mehr vorhanden"), std::string::npos) << box;
  PumpMessages(100);
  pane.WaitForListThread();
  PumpMessages(100);
  EXPECT_EQ(RowOf(pane, "Weg"), -1);
  EXPECT_GE(RowOf(pane, "Farbe"), 0);
  EXPECT_EQ(ReadString(key.Handle(), "Weg"), "?");

  frame->SendMessage(WM_CLOSE);
  app->Run();  // takes the quit message, which would end the next modal loop
  delete names;
  delete app;
}
