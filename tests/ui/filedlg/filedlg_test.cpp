// The file-dialog extension: history storage and recording on a plain
// combo box, the request's block with a recording common dialog, and a real
// dialog through the test program's own import table.
#include "mfc/comdlgslots.h"
#include "ui/filedlg/filedlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/dialogs/modal_driver.h"
#include "mfc/filedialog.h"
#include "tests/harness/window_util.h"
#include "ui/filedlg/filedlg_state.h"
#include "ui/filedlg/filedlgnew.h"
#include "ui/popuplist.h"

namespace {
std::string TempDir(const char* name) {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  std::string dir = std::string(base) + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void EmptyDir(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + fd.cFileName).c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

void Touch(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(h);
}

std::vector<std::string> Items(HWND combo) {
  std::vector<std::string> items;
  int n = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; ++i) {
    char text[MAX_PATH] = "";
    SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)text);
    items.push_back(text);
  }
  return items;
}

class FileDlgHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    combo =
        CreateWindowExA(0, "ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, host, nullptr, nullptr, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
  }
  void TearDown() override {
    DestroyWindow(host);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
  }
  HWND host = nullptr, combo = nullptr;
};
}  // namespace

TEST_F(FileDlgHistory, ValueNamesFromTheSource) {
  struct Case {
    DWORD mode;
    const char* source;
    const char* key;
    const char* value;
  } cases[] = {
      {OFN_EX_HISTORY_FOLDER, "reg", "Software\\Brannock\\Common\\OfnList", "OfnListReg"},
      {OFN_EX_HISTORY_PATH, "*.REG", "Software\\Brannock\\Common\\OfnList", "OfnListReg"},
      {OFN_EX_HISTORY_READONLY, "", "Software\\Brannock\\Common\\OfnList", "OfnList"},
      {OFN_EX_KEY_FOLDER, "Software\\OstrovaTests\\Ofn\\Zuletzt", "Software\\OstrovaTests\\Ofn", "Zuletzt"},
  };
  for (const Case& c : cases) {
    char key[128] = "", value[32] = "";
    ASSERT_TRUE(FileDlgHistoryValue(c.mode, c.source, key, sizeof key, value, sizeof value)) << c.source;
    EXPECT_STREQ(key, c.key);
    EXPECT_STREQ(value, c.value);
  }
  char key[128], value[32];
  EXPECT_FALSE(FileDlgHistoryValue(OFN_EX_HISTORY_LIST, "a\0b\0", key, sizeof key, value, sizeof value));
  EXPECT_FALSE(FileDlgHistoryValue(OFN_EX_NO_HISTORY, "", key, sizeof key, value, sizeof value));
  EXPECT_FALSE(FileDlgHistoryValue(OFN_EX_KEY_PATH, "\\Wert", key, sizeof key, value, sizeof value));
}

TEST_F(FileDlgHistory, StoresSixteenAndLoadsThemBack) {
  const char* source = "Software\\OstrovaTests\\Ofn\\Liste";
  for (int i = 0; i < 20; ++i)
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)("C:\\Eintrag" + std::to_string(i)).c_str());
  SendMessageA(combo, CB_INSERTSTRING, 3, (LPARAM) "");  // empty items are left out
  LoadSaveFileDlgHistory(combo, OFN_EX_KEY_FOLDER, source, TRUE);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  LoadSaveFileDlgHistory(combo, OFN_EX_KEY_FOLDER, source, FALSE);
  std::vector<std::string> items = Items(combo);
  ASSERT_EQ(items.size(), 15u) << "16 items written, one of them empty";
  EXPECT_EQ(items[0], "C:\\Eintrag0");
  EXPECT_EQ(items[3], "C:\\Eintrag3");

  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  LoadSaveFileDlgHistory(combo, OFN_EX_HISTORY_LIST, "eins\0zwei\0", FALSE);
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"eins", "zwei"}));
  LoadSaveFileDlgHistory(combo, OFN_EX_NO_HISTORY, source, FALSE);
  EXPECT_EQ(Items(combo).size(), 2u);
}

TEST_F(FileDlgHistory, RecordsByTheModesRules) {
  std::string dir = TempDir("ofn_rec");
  std::string sub = dir + "\\Unter";
  CreateDirectoryA(sub.c_str(), nullptr);
  Touch(dir + "\\datei.reg");
  const char* source = "Software\\OstrovaTests\\Ofn\\Liste";
  struct Case {
    DWORD mode;
    std::string text;
    BOOL save;
    std::string recorded;  // empty: nothing
  } cases[] = {
      {OFN_EX_KEY_FOLDER, sub, FALSE, sub + "\\"},
      {OFN_EX_KEY_FOLDER, sub + "/", FALSE, sub + "\\"},
      {OFN_EX_KEY_FOLDER, dir + "\\datei.reg", FALSE, dir + "\\"},
      {OFN_EX_KEY_FOLDER, dir + "\\fehlt.reg", FALSE, dir + "\\"},
      {OFN_EX_KEY_FOLDER, dir + "\\fehlt.reg", TRUE, ""},
      {OFN_EX_KEY_FOLDER, dir + "\\fehlt\\tief.reg", FALSE, ""},
      {OFN_EX_KEY_PATH, dir + "\\datei.reg", FALSE, dir + "\\datei.reg"},
      {OFN_EX_KEY_PATH, dir + "\\neu.reg", FALSE, ""},
      {OFN_EX_KEY_PATH, dir + "\\neu.reg", TRUE, dir + "\\neu.reg"},
      {OFN_EX_HISTORY_LIST, sub, FALSE, ""},
      {OFN_EX_HISTORY_LIST, dir + "\\datei.reg", FALSE, dir + "\\datei.reg"},
      {OFN_EX_KEY_READONLY, dir + "\\datei.reg", FALSE, ""},
  };
  for (const Case& c : cases) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    RecordFileDlgHistory(combo, c.text.c_str(), c.mode, source, c.save);
    std::vector<std::string> items = Items(combo);
    if (c.recorded.empty()) {
      EXPECT_TRUE(items.empty()) << c.text;
    } else {
      EXPECT_EQ(items, std::vector<std::string>{c.recorded}) << c.text;
    }
  }
  // A shorter entry replaces the longer one it begins.
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  std::string deeper = sub + "\\Tiefer\\";
  for (const char* e : {"X:\\eins\\", "X:\\zwei\\", deeper.c_str()}) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)e);
  RecordFileDlgHistory(combo, sub.c_str(), OFN_EX_KEY_FOLDER, source, FALSE);
  EXPECT_EQ(Items(combo), (std::vector<std::string>{sub + "\\", "X:\\eins\\", "X:\\zwei\\"}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  RecordFileDlgHistory(combo, sub.c_str(), OFN_EX_KEY_FOLDER, source, FALSE);
  EXPECT_EQ(Items(combo).size(), 3u) << "already first";
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  LoadSaveFileDlgHistory(combo, OFN_EX_KEY_FOLDER, source, FALSE);
  EXPECT_EQ(Items(combo).size(), 3u) << "written to the registry";
}

namespace {
// A common dialog that records the block it was given.
OPENFILENAMEA g_seen;
int g_openCalls, g_saveCalls;
BOOL WINAPI FakeOpen(LPOPENFILENAMEA ofn) {
  ++g_openCalls;
  g_seen = *ofn;
  ofn->Flags |= OFN_READONLY;
  return TRUE;
}
BOOL WINAPI FakeSave(LPOPENFILENAMEA ofn) {
  ++g_saveCalls;
  g_seen = *ofn;
  return FALSE;
}
UINT_PTR CALLBACK CallerHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
}  // namespace

TEST(FileDlgRequest, BlockIsPreparedAndGivenBackAsItCame) {
  SetFileDialogFunctions(FakeOpen, FakeSave);
  g_openCalls = g_saveCalls = 0;
  char file[MAX_PATH] = "";
  const char filter[] = "ANSI Format benutzen@Registrierungsdateien\0*.reg\0\0";
  const char custom[] = "Software\\OstrovaTests\\Ofn\\Export";
  OPENFILENAMEA ofn = {sizeof ofn};
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrFilter = filter;
  ofn.lpstrCustomFilter = (LPSTR)custom;
  ofn.lpfnHook = CallerHook;
  ofn.Flags = OFN_EXPLORER | OFN_EX_CAPTION | OFN_EX_KEY_FOLDER;
  for (int round = 0; round < 2; ++round) {  // a reused block works the same way
    SCOPED_TRACE(round);
    EXPECT_FALSE(GetSaveFileNameA == FileDlgGetSaveFileName);
    EXPECT_TRUE(FileDlgGetSaveFileName(&ofn));
    EXPECT_EQ(g_openCalls, round + 1) << "a save with a caption runs the open dialog";
    EXPECT_EQ(g_saveCalls, 0);
    EXPECT_EQ(g_seen.lpfnHook, FileDlgHookProc);
    EXPECT_EQ(g_seen.Flags & (OFN_ENABLEHOOK | OFN_ENABLESIZING), (DWORD)(OFN_ENABLEHOOK | OFN_ENABLESIZING));
    EXPECT_EQ(g_seen.Flags & OFN_EX_CAPTION, 0u);
    EXPECT_EQ(g_seen.lpstrFilter, filter + strlen("ANSI Format benutzen@"));
    EXPECT_EQ(g_seen.lpstrCustomFilter, nullptr);
    EXPECT_EQ(ofn.Flags, (DWORD)(OFN_EXPLORER | OFN_EX_CAPTION | OFN_EX_KEY_FOLDER | OFN_READONLY));
    EXPECT_EQ(ofn.lpstrFilter, filter);
    EXPECT_EQ(ofn.lpstrCustomFilter, custom);
    EXPECT_EQ(ofn.lpfnHook, CallerHook);
    ofn.Flags &= ~OFN_READONLY;
  }
  // A plain save goes to the save function; a template keeps the size.
  ofn.Flags = OFN_EXPLORER | OFN_ENABLETEMPLATE;
  EXPECT_FALSE(FileDlgGetSaveFileName(&ofn));
  EXPECT_EQ(g_saveCalls, 1);
  EXPECT_EQ(g_seen.Flags & OFN_ENABLESIZING, 0u);
  EXPECT_EQ(ofn.Flags, (DWORD)(OFN_EXPLORER | OFN_ENABLETEMPLATE));
  SetFileDialogFunctions(nullptr, nullptr);
}

namespace {
struct RealRun {
  HWND dialog = nullptr;
  int fieldId = 0;
  bool fieldHidden = false, hiddenIdSwapped = false;
  RECT rc = {};
  std::string caption1040;
};

HWND MainDialog(HWND d) {
  // The driver may find the hook child or the main dialog.
  return GetDlgItem(d, IDOK) ? d : GetParent(d);
}
}  // namespace

TEST(FileDlgReal, HookedDialogGetsTheHistoryComboAndOkWorks) {
  std::string dir = TempDir("ofn_real");
  Touch(dir + "\\abc1.reg");
  Touch(dir + "\\abc2.reg");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
  ASSERT_EQ(InstallFileDialogHook(nullptr), 1);
  ASSERT_EQ(InstallFileDialogHook(nullptr), 1) << "a second install keeps the saved functions";
  // The layer's file dialogs go the same way.
  EXPECT_EQ(AfxComdlg().getOpenFileName, FileDlgGetOpenFileName);
  EXPECT_EQ(AfxComdlg().getSaveFileName, FileDlgGetSaveFileName);
  ResetFileDialogFirstSize();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {sizeof ofn};
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFilter = "Nur lesen zeigen@Registrierungsdateien\0*.reg\0\0";
    ofn.lpstrInitialDir = dir.c_str();
    ofn.lpstrCustomFilter = (LPSTR) "Software\\OstrovaTests\\Ofn\\Zuletzt";
    ofn.Flags = OFN_EXPLORER | OFN_EX_CAPTION | OFN_EX_KEY_PATH;
    RealRun run;
    std::string target = dir + "/abc2.reg";
    ModalDriver driver({[&](HWND d) {
      HWND main = MainDialog(d);
      HWND combo = GetDlgItem(main, IDC_FILEDLG_FIELD);
      run.fieldId = IDC_FILEDLG_FIELD;
      if (!combo) combo = GetDlgItem(main, IDC_FILEDLG_FIELD_WINE), run.fieldId = IDC_FILEDLG_FIELD_WINE;
      char cls[32] = "";
      GetClassNameA(combo, cls, sizeof cls);
      if (lstrcmpiA(cls, "ComboBox") != 0) return false;
      run.dialog = main;
      HWND field = GetDlgItem(main, run.fieldId ^ 0x5555);
      run.hiddenIdSwapped = field != nullptr;
      run.fieldHidden = field && !IsWindowVisible(field);
      run.caption1040 = TextOf(GetDlgItem(main, IDC_FILEDLG_READONLY));
      GetWindowRect(main, &run.rc);
      if (round == 0) WindowCapture(main).SavePng(ScreenshotPath("file_dialog.png").c_str());
      // Typed with '/', Return turns it into '\'.
      SetWindowTextA(combo, target.c_str());
      SendMessageA(combo, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), 0);
      struct {
        NMHDR hdr;
        UINT key, lParam;
      } block = {{combo, (UINT_PTR)run.fieldId, (UINT)NM_KEYDOWN}, VK_RETURN, 0};
      SendMessageA(main, WM_NOTIFY, run.fieldId, (LPARAM)&block);
      // The hidden field carries what OK reads.
      SendMessageA(main, WM_COMMAND, MAKEWPARAM(run.fieldId, 0x300), (LPARAM)combo);
      PostMessageA(main, WM_COMMAND, IDOK, 0);
      return true;
    }});
    BOOL ok = GetOpenFileNameA(&ofn);
    ASSERT_TRUE(run.dialog) << "no history combo box";
    EXPECT_TRUE(ok);
    EXPECT_STREQ(file, (dir + "\\abc2.reg").c_str());
    EXPECT_TRUE(run.hiddenIdSwapped);
    EXPECT_TRUE(run.fieldHidden);
    EXPECT_EQ(run.caption1040, "Nur lesen zeigen");
    EXPECT_EQ(ofn.Flags & OFN_EX_CAPTION, OFN_EX_CAPTION);
    if (round == 0) {
      int icon = GetSystemMetrics(SM_CXICON);
      int cx = icon > 32 ? icon * 600 / 32 : 600, cy = icon > 32 ? icon * 450 / 32 : 450;
      EXPECT_EQ(run.rc.right - run.rc.left, cx) << "the first dialog is enlarged";
      EXPECT_EQ(run.rc.bottom - run.rc.top, cy);
    }
    EXPECT_EQ(FileDlgLiveWorkers(), 0) << "the worker ended with the dialog";
  }
  // The accepted path is in the history.
  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND combo =
      CreateWindowExA(0, "ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, host, nullptr, nullptr, nullptr);
  LoadSaveFileDlgHistory(combo, OFN_EX_KEY_PATH, "Software\\OstrovaTests\\Ofn\\Zuletzt", FALSE);
  EXPECT_EQ(Items(combo), std::vector<std::string>{dir + "\\abc2.reg"});
  DestroyWindow(host);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
}

namespace {
// The autocompletion list: a pop-up frame of this thread owned by the dialog.
struct PopupSearch {
  HWND owner, found;
};
BOOL CALLBACK FindOwnedFrame(HWND h, LPARAM lp) {
  PopupSearch* s = (PopupSearch*)lp;
  char cls[16] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (GetWindow(h, GW_OWNER) == s->owner && lstrcmpiA(cls, "Static") == 0 &&
      (GetWindowLongPtrA(h, GWL_STYLE) & WS_POPUP)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}
HWND FindPopup(HWND main) {
  PopupSearch s = {main, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwnedFrame, (LPARAM)&s);
  return s.found;
}
}  // namespace

TEST(FileDlgReal, PopupListsTheFolderAndArrowsWalkIt) {
  std::string dir = TempDir("ofn_popup");
  EmptyDir(dir);
  for (int i = 0; i < 150; ++i) {
    char name[32];
    snprintf(name, sizeof name, "\\n%04d.txt", i);
    Touch(dir + name);
  }
  Touch(dir + "\\zulu1.txt");
  Touch(dir + "\\Zulu2.txt");
  InstallFileDialogHook(nullptr);
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn = {sizeof ofn};
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = dir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_EX_HISTORY_READONLY;
  std::vector<std::string> listed;
  std::string afterDown, afterUp, copied;
  int nCount = -1;
  HWND main = nullptr, combo = nullptr, popup = nullptr;
  int fieldId = 0;
  auto type = [&](const char* text) {
    SetWindowTextA(combo, text);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(fieldId, CBN_EDITCHANGE), (LPARAM)combo);
  };
  auto key = [&](UINT vk) {
    struct {
      NMHDR hdr;
      UINT key, lParam;
    } block = {{combo, (UINT_PTR)fieldId, (UINT)NM_KEYDOWN}, vk, 0};
    SendMessageA(main, WM_NOTIFY, fieldId, (LPARAM)&block);
  };
  ModalDriver driver({[&](HWND d) {
                        main = MainDialog(d);
                        fieldId = GetDlgItem(main, IDC_FILEDLG_FIELD) ? IDC_FILEDLG_FIELD : IDC_FILEDLG_FIELD_WINE;
                        combo = GetDlgItem(main, fieldId);
                        popup = GetDlgItem(main, IDC_FILEDLG_POPUP);
                        if (!popup) popup = FindPopup(main);
                        if (!combo || !popup) return false;
                        SendMessageA(main, WM_COMMAND, ID_FILEDLG_COPYPATH, 0);  // "Kopiere aktuellen Pfad"
                        if (OpenClipboard(nullptr)) {
                          HANDLE data = GetClipboardData(CF_TEXT);
                          const char* text = data ? (const char*)GlobalLock(data) : nullptr;
                          if (text) copied = text;
                          if (data) GlobalUnlock(data);
                          CloseClipboard();
                        }
                        type("zu");
                        return true;
                      },
                      [&](HWND) {
                        static DWORD start = GetTickCount();
                        if (GetTickCount() - start > 10000) {
                          PostMessageA(main, WM_COMMAND, IDCANCEL, 0);  // never shown: fail, not hang
                          return true;
                        }
                        if (!IsWindowVisible(popup) || SendMessageA(popup, LB_GETCOUNT, 0, 0) < 2) return false;
                        int n = (int)SendMessageA(popup, LB_GETCOUNT, 0, 0);
                        for (int i = 0; i < n; ++i) {
                          char text[MAX_PATH] = "";
                          SendMessageA(popup, LB_GETTEXT, i, (LPARAM)text);
                          listed.push_back(text);
                        }
                        WindowCapture(main).SavePng(ScreenshotPath("file_dialog_popup.png").c_str());
                        key(VK_DOWN);
                        afterDown = TextOf(combo);
                        key(VK_DOWN);
                        key(VK_UP);
                        afterUp = TextOf(combo);
                        type("n");
                        return true;
                      },
                      [&](HWND) {
                        // Only names starting with the text, at most 100 posted.
                        static DWORD since = GetTickCount();
                        int n = (int)SendMessageA(popup, LB_GETCOUNT, 0, 0);
                        if (n < 100 && GetTickCount() - since < 5000) return false;
                        nCount = n;
                        PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
                        return true;
                      }});
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(listed, (std::vector<std::string>{"zulu1.txt", "Zulu2.txt"}));
  EXPECT_EQ(afterDown, "zulu1.txt");
  EXPECT_EQ(afterUp, "zulu1.txt");
  EXPECT_EQ(nCount, 100);
  EXPECT_EQ(lstrcmpiA(copied.c_str(), dir.c_str()), 0) << copied;
  EXPECT_EQ(FileDlgLiveWorkers(), 0);
}

namespace {
// Stands in for the pop-up: keeps the names the worker posts.
std::vector<std::string> g_posted;
LRESULT CALLBACK NameSink(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPopupListAddString && (wp & kPopupListMarkerMask) == kPopupListStringMarker) {
    g_posted.push_back((const char*)lp);
    HeapFree(GetProcessHeap(), 0, (void*)lp);
    return 0;
  }
  if (msg == LB_RESETCONTENT) g_posted.clear();
  return DefWindowProcA(h, msg, wp, lp);
}
}  // namespace

// Completion reads at most 2001 names of a folder: the rest stay unread.
TEST(FileDlgWorker, AFolderOfMoreThan2000NamesGivesTheFirst2001) {
  std::string dir = TempDir("ofn_many");
  EmptyDir(dir);
  for (int i = 0; i < 2100; ++i) {
    char name[32];
    snprintf(name, sizeof name, "\\f%04d", i);
    Touch(dir + name);
  }
  // The folder in the order the system gives it.
  std::vector<std::string> order;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do {
    if (fd.cFileName[0] != '.') order.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  ASSERT_EQ(order.size(), 2100u);

  WNDCLASSA wc = {};
  wc.lpfnWndProc = NameSink;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OfnNameSink";
  RegisterClassA(&wc);
  HWND sink = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  FileDlgState& s = FileDlg();
  s.req.popup = sink;
  s.req.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  s.heldNames = s.searchOpen = 0;
  EnterCriticalSection(&s.lock);
  lstrcpyA(s.folder, dir.c_str());
  lstrcpyA(s.typed, order[2000].c_str());
  s.folderChanged = s.textChanged = TRUE;
  LeaveCriticalSection(&s.lock);
  g_posted.clear();
  s.req.worker = CreateThread(nullptr, 0, FileDlgFolderThread, sink, 0, nullptr);
  ASSERT_TRUE(s.req.worker);
  // Until the search is closed and the name came (20 s at most: a failure, not a hang).
  auto done = [&] { return s.heldNames > 0 && !s.searchOpen && !g_posted.empty(); };
  for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 20000;) PumpMessages(10);
  ASSERT_TRUE(done());
  EXPECT_EQ(s.heldNames, 2001) << "the search closed after the 2001st name";
  EXPECT_EQ(g_posted, std::vector<std::string>{order[2000]});
  StopFileDlgWorker(s.req);
  EXPECT_FALSE(IsWindow(sink));
  EXPECT_EQ(FileDlgLiveWorkers(), 0);
  EmptyDir(dir);
}

namespace {
// A framework caller whose own notification handler must still run.
class CCountingFileDialog : public CFileDialog {
 public:
  using CFileDialog::CFileDialog;
  int fileOk = 0;

 protected:
  BOOL OnFileNameOK() override {
    ++fileOk;
    return FALSE;
  }
};
}  // namespace

TEST(FileDlgReal, SaveLookNoHistoryModeAndFrameworkCaller) {
  std::string dir = TempDir("ofn_save");
  Touch(dir + "\\alt.reg");
  InstallFileDialogHook(nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
  {
    // A save with a caption shows the open dialog captioned for saving; no
    // history mode leaves the field as it is.
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {sizeof ofn};
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFilter = "ANSI Format benutzen@Registrierungsdateien\0*.reg\0\0";
    ofn.lpstrInitialDir = dir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_EX_CAPTION | OFN_EX_NO_HISTORY;
    std::string okText, check;
    bool swapped = true, popup = true;
    ModalDriver driver({[&](HWND d) {
      HWND main = MainDialog(d);
      if (!GetDlgItem(main, IDOK)) return false;
      okText = TextOf(GetDlgItem(main, IDOK));
      check = TextOf(GetDlgItem(main, IDC_FILEDLG_READONLY));
      swapped = GetDlgItem(main, IDC_FILEDLG_FIELD ^ 0x5555) || GetDlgItem(main, IDC_FILEDLG_FIELD_WINE ^ 0x5555);
      popup = FindPopup(main) != nullptr;
      WindowCapture(main).SavePng(ScreenshotPath("file_dialog_save_look.png").c_str());
      PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
      return true;
    }});
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_TRUE(okText == "&Save" || okText == "&Speichern") << okText;
    EXPECT_EQ(check, "ANSI Format benutzen");
    EXPECT_FALSE(swapped) << "no combo box in place of the field";
    EXPECT_FALSE(popup);
    EXPECT_EQ(ofn.Flags & OFN_EX_MODEMASK, (DWORD)OFN_EX_NO_HISTORY);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn", 0, KEY_READ, &key), ERROR_SUCCESS);
  }
  {
    CCountingFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_EX_KEY_PATH);
    dlg.m_ofn.lpstrInitialDir = dir.c_str();
    dlg.m_ofn.lpstrCustomFilter = (LPSTR) "Software\\OstrovaTests\\Ofn\\Rahmen";
    std::string target = dir + "\\alt.reg";
    ModalDriver driver({[&](HWND d) {
      HWND main = MainDialog(d);
      int id = GetDlgItem(main, IDC_FILEDLG_FIELD) ? IDC_FILEDLG_FIELD : IDC_FILEDLG_FIELD_WINE;
      HWND combo = GetDlgItem(main, id);
      char cls[32] = "";
      GetClassNameA(combo, cls, sizeof cls);
      if (lstrcmpiA(cls, "ComboBox") != 0) return false;
      SetWindowTextA(combo, target.c_str());
      SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0x300), (LPARAM)combo);
      PostMessageA(main, WM_COMMAND, IDOK, 0);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.GetPathName(), target.c_str());
    EXPECT_EQ(dlg.fileOk, 1) << "the caller's own handler still runs";
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND combo =
        CreateWindowExA(0, "ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, host, nullptr, nullptr, nullptr);
    LoadSaveFileDlgHistory(combo, OFN_EX_KEY_PATH, "Software\\OstrovaTests\\Ofn\\Rahmen", FALSE);
    EXPECT_EQ(Items(combo), std::vector<std::string>{target}) << "recorded at CDN_FILEOK and OK";
    DestroyWindow(host);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OstrovaTests\\Ofn");
}

TEST(FileDlgReal, FiftyRoundsLeaveNoWorker) {
  InstallFileDialogHook(nullptr);
  std::string dir = TempDir("ofn_rec");
  for (int i = 0; i < 50; ++i) {
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {sizeof ofn};
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = dir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_EX_HISTORY_READONLY;
    ModalDriver driver({[&](HWND d) {
                         HWND main = MainDialog(d);
                         if (!FindPopup(main)) return false;
                         PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
                         return true;
                       }},
                       5);
    ASSERT_FALSE(GetOpenFileNameA(&ofn));
    ASSERT_EQ(FileDlgLiveWorkers(), 0) << i;
  }
}

namespace {
// A framework caller with handlers of its own for the folder and the name.
class CTrackingFileDialog : public CFileDialog {
 public:
  using CFileDialog::CFileDialog;
  int folderChanges = 0, fileOk = 0;

 protected:
  void OnFolderChange() override { ++folderChanges; }
  BOOL OnFileNameOK() override {
    ++fileOk;
    return FALSE;
  }
};
}  // namespace

TEST(FileDlgReal, FrameworkCallerGetsFolderCompletionAndKeepsItsHandlers) {
  std::string dir = TempDir("ofn_frame");
  EmptyDir(dir);
  Touch(dir + "\\zulu1.txt");
  Touch(dir + "\\zulu2.txt");
  InstallFileDialogHook(nullptr);
  CTrackingFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_EX_HISTORY_READONLY);
  dlg.m_ofn.lpstrInitialDir = dir.c_str();
  std::vector<std::string> listed;
  HWND main = nullptr, combo = nullptr, popup = nullptr;
  int fieldId = 0;
  std::string target = dir + "\\zulu1.txt";
  ModalDriver driver({[&](HWND d) {
                        main = MainDialog(d);
                        fieldId = GetDlgItem(main, IDC_FILEDLG_FIELD) ? IDC_FILEDLG_FIELD : IDC_FILEDLG_FIELD_WINE;
                        combo = GetDlgItem(main, fieldId);
                        popup = FindPopup(main);
                        if (!combo || !popup) return false;
                        SetWindowTextA(combo, "zu");
                        SendMessageA(main, WM_COMMAND, MAKEWPARAM(fieldId, CBN_EDITCHANGE), (LPARAM)combo);
                        return true;
                      },
                      [&](HWND) {
                        static DWORD start = GetTickCount();
                        bool shown = IsWindowVisible(popup) && SendMessageA(popup, LB_GETCOUNT, 0, 0) >= 2;
                        if (!shown && GetTickCount() - start < 5000) return false;
                        for (int i = 0; i < (int)SendMessageA(popup, LB_GETCOUNT, 0, 0); ++i) {
                          char text[MAX_PATH] = "";
                          SendMessageA(popup, LB_GETTEXT, i, (LPARAM)text);
                          listed.push_back(text);
                        }
                        SetWindowTextA(combo, target.c_str());
                        SendMessageA(main, WM_COMMAND, MAKEWPARAM(fieldId, 0x300), (LPARAM)combo);
                        PostMessageA(main, WM_COMMAND, IDOK, 0);
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(listed, (std::vector<std::string>{"zulu1.txt", "zulu2.txt"})) << "the folder reached the worker";
  EXPECT_GE(dlg.folderChanges, 1) << "the caller's own handlers still run";
  EXPECT_EQ(dlg.fileOk, 1);
  EXPECT_STREQ(dlg.GetPathName(), target.c_str());
  EXPECT_EQ(FileDlgLiveWorkers(), 0);
}

TEST(FileDlgObject, TakesOverOnlyAFrameworkWindowAndHandsMessagesOn) {
  HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CFileDialogNew* object = new CFileDialogNew;
  EXPECT_FALSE(object->TakeOverWindow(plain)) << "a plain caller's window";
  DestroyWindow(plain);
  // A framework object's window: messages still reach that object.
  CWnd caller;
  ASSERT_TRUE(caller.CreateEx(0, "STATIC", "alt", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  HWND window = caller.m_hWnd;
  EXPECT_TRUE(object->TakeOverWindow(window));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), object);
  EXPECT_EQ(caller.m_hWnd, window);
  SetWindowTextA(window, "neu");
  EXPECT_EQ(TextOf(window), "neu");
  DestroyWindow(window);
  EXPECT_EQ(object->m_hWnd, nullptr) << "released with the window";
  EXPECT_EQ(caller.m_hWnd, nullptr);
  delete object;
}
