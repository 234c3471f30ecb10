// The view's search commands on the program's own frame: a key found through
// the progress dialog, "Weitersuchen" while a search is set up, the end
// message, F3 opening the find dialog afterwards, and cancel.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "editor_test_app.h"
#include "app/mainframe.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {

bool Enabled(CFrameWnd* frame, UINT id) {
  struct Probe : CCmdUI {
    bool enabled = true;
    void Enable(BOOL on) override {
      enabled = on != 0;
      m_bEnableChanged = TRUE;
    }
  } probe;
  probe.m_nID = id;
  probe.DoUpdate(frame, TRUE);
  return probe.enabled;
}

// Answers the first dialog of the title with the command; keeps its text.
void Answer(const char* title, WPARAM command, std::string* text) {
  for (int i = 0; i < 1500; ++i) {
    HWND box = FindWindowA("#32770", title);
    if (box && IsWindowVisible(box)) {
      char buf[512] = "";
      GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
      *text = buf;
      PostMessageA(box, WM_COMMAND, command, 0);
      return;
    }
    Sleep(10);
  }
}

TEST(ViewSearch, FindNextUntilTheEnd) {
  CEditorTestApp* app = new CEditorTestApp;
  ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
  TestAppNames* names = new TestAppNames;
  TestRegistryKey key;
  HKEY k;
  ASSERT_EQ(RegCreateKeyA(key.Handle(), "A\\ViewSearchZiel", &k), ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_TRUE(app->InitInstance());
  CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, app->m_pMainWnd);
  ASSERT_NE(frame, nullptr);
  COstrovaView* view = DYNAMIC_DOWNCAST(COstrovaView, frame->GetActiveView());
  ASSERT_NE(view, nullptr);

  EXPECT_FALSE(Enabled(frame, ID_FIND_NEXT_MENU));
  view->Pane(view->ActivePane()).NavigateTo(key.FullPath().c_str(), 1);
  view->Search().Setup(kSearchKeys, kSearchWhole, 0, "viewsearchziel");
  EXPECT_TRUE(Enabled(frame, ID_FIND_NEXT_MENU));
  EXPECT_EQ(view->SearchRegistry(), 1);
  EXPECT_EQ(std::string(view->Pane(view->ActivePane()).GetPathNoSlash()), key.FullPath() + "\\A\\ViewSearchZiel");
  EXPECT_TRUE(Enabled(frame, ID_FIND_NEXT_MENU));

  // Onward through the rest of the registry (the user's key shows up again
  // below HKEY_USERS) until the end message.
  std::string text;
  std::thread end(Answer, "Information", IDOK, &text);
  int found = 0;
  while (view->Search().IsSet() && found < 5) found += view->SearchRegistry();
  end.join();
  EXPECT_EQ(text, "Das Durchsuchen der Registry ist beendet.");
  EXPECT_FALSE(view->Search().IsSet());
  EXPECT_FALSE(Enabled(frame, ID_FIND_NEXT_MENU));

  // F3 without a search opens the find dialog.
  std::string unused;
  std::thread dialog(Answer, "Suchen", IDCANCEL, &unused);
  frame->SendMessage(WM_COMMAND, ID_FIND_NEXT);
  dialog.join();
  EXPECT_FALSE(view->Search().IsSet());

  // Cancel in the progress dialog: the search ends without a message.
  view->Pane(view->ActivePane()).NavigateTo("HKEY_CLASSES_ROOT", 1);
  view->Search().Setup(kSearchValueData, kSearchPartial, 0, "gibt es sicher nirgends 8f3a");
  std::string status;
  std::thread cancel([&status] {
    for (int i = 0; i < 1000; ++i) {
      HWND dlg = FindWindowA("#32770", "Suchen");
      if (dlg && IsWindowVisible(dlg)) {
        Sleep(700);
        char buf[512] = "";
        GetDlgItemTextA(dlg, 1034, buf, sizeof buf);
        status = buf;
        WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath("app_search_progress.png").c_str());
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      Sleep(10);
    }
  });
  EXPECT_EQ(view->SearchRegistry(), 0);
  cancel.join();
  EXPECT_EQ(status.substr(0, 6), "Pfad: ") << status;
  EXPECT_FALSE(view->Search().IsSet());
  EXPECT_EQ(FindWindowA("#32770", "Information"), nullptr);

  frame->SendMessage(WM_CLOSE);
  app->Run();
  delete names;
  delete app;
}

// Visible in the pane's control: the item's row lies in the client area.
bool InView(HWND control, HTREEITEM item) {
  RECT rc = {};
  memcpy(&rc, &item, sizeof item);
  return item && SendMessageA(control, TVM_GETITEMRECT, FALSE, (LPARAM)&rc) != 0;
}

HTREEITEM Caret(HWND control) { return (HTREEITEM)SendMessageA(control, TVM_GETNEXTITEM, TVGN_CARET, 0); }

// A hit far down a long list, and a key far down a long tree level, is
// scrolled into view; a key whose name the code page cannot carry is found
// and shown by its own name beside its "?" twin.
TEST(ViewSearch, HitsAreScrolledIntoViewAndShownByTheirOwnNames) {
  CEditorTestApp* app = new CEditorTestApp;
  ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
  TestAppNames* names = new TestAppNames;
  TestRegistryKey key;
  const int kRows = 3000;
  HKEY k;
  ASSERT_EQ(RegCreateKeyA(key.Handle(), "Viele", &k), ERROR_SUCCESS);
  for (int i = 0; i < kRows; ++i) {
    char name[32];
    wsprintfA(name, i == kRows - 2 ? "W%04d treffer" : "W%04d", i);
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)"x", 2);
  }
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKeyA(key.Handle(), "Zweige", &k), ERROR_SUCCESS);
  for (int i = 0; i < kRows; ++i) {
    char name[32];
    wsprintfA(name, i == kRows - 2 ? "K%04d zweigziel" : "K%04d", i);
    HKEY sub;
    RegCreateKeyA(k, name, &sub);
    RegCloseKey(sub);
  }
  RegCloseKey(k);
  for (const wchar_t* twin : {L"Zwilling\\a?b", L"Zwilling\\a\u4E2Db"}) {
    ASSERT_EQ(RegCreateKeyExW(key.Handle(), twin, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    const wchar_t* data = wcschr(twin, L'?') ? L"zwilling" : L"eigener name";
    RegSetValueExW(k, L"Wert", 0, REG_SZ, (const BYTE*)data, (DWORD)(wcslen(data) + 1) * 2);
    RegCloseKey(k);
  }
  ASSERT_TRUE(app->InitInstance());
  CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, app->m_pMainWnd);
  COstrovaView* view = DYNAMIC_DOWNCAST(COstrovaView, frame->GetActiveView());
  ASSERT_NE(view, nullptr);
  CRegWnd& pane = view->Pane(view->ActivePane());

  pane.NavigateTo(key.FullPath().c_str(), 1);
  view->Search().Setup(kSearchValueNames, kSearchPartial, 0, "treffer");
  ASSERT_EQ(view->SearchRegistry(), 1);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), key.FullPath() + "\\Viele");
  EXPECT_EQ(pane.GetSelectedEntry(), kRows - 1);  // after "(Standard)"
  EXPECT_TRUE(InView(pane.List().m_hWnd, Caret(pane.List().m_hWnd))) << "the hit row is scrolled away";

  view->Search().Setup(kSearchKeys, kSearchPartial, 0, "zweigziel");
  ASSERT_EQ(view->SearchRegistry(), 1);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), key.FullPath() + "\\Zweige\\K2998 zweigziel");
  EXPECT_TRUE(InView(pane.Tree().m_hWnd, Caret(pane.Tree().m_hWnd))) << "the hit key is scrolled away";

  view->Search().Setup(kSearchValueData, kSearchPartial, 0, "eigener");
  ASSERT_EQ(view->SearchRegistry(), 1);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), key.FullPath() +
                                                    "\\Zwilling\\a\x8B"
                                                    "4E2D\x9B"
                                                    "b");
  EXPECT_EQ(pane.GetSelectedEntry(), 1);  // after "(Standard)"
  ASSERT_GE(pane.GetSelectedEntry(), 0);
  char cell[64] = "";
  pane.List().GetCellTextByRow(pane.GetSelectedEntry(), cell, sizeof cell, 2);
  EXPECT_STREQ(cell, "\"eigener name\"");

  frame->SendMessage(WM_CLOSE);
  app->Run();
  delete names;
  delete app;
}

}  // namespace
