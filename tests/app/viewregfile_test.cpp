// The view's export and import commands on the program's own frame: the
// file dialogs answered from a helper thread, the progress dialog while the
// system's editor runs, the file written, the overwrite question, and the
// import reading the file back.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "editor_test_app.h"
#include "harness/file_util.h"
#include "app/mainframe.h"
#include "app/ostrovaapp.h"
#include "app/ostrovaview.h"
#include "app/regfile/regeditrun.h"
#include "app/regfile/regfilewriter.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"
#include "res/resource.h"
#include "ui/msgbox.h"

namespace {

const int kFileNameField = 1148;
const int kReadOnlyBox = 1040;  // "ANSI Format benutzen"

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(h);
}

HWND VisibleDialog(const char* title) {
  HWND dlg = FindWindowA("#32770", title);
  return dlg && IsWindowVisible(dlg) ? dlg : nullptr;
}

// The lines of the library's message box.
std::string BoxText(HWND box) {
  HWND list = GetDlgItem(box, kMsgBoxTextId);
  std::string text;
  for (int i = 0, n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    char line[512] = "";
    SendMessageA(list, LB_GETTEXT, i, (LPARAM)line);
    text += (i ? "\n" : "") + std::string(line);
  }
  return text;
}

// What the helper saw of one run of a command.
struct CommandRun {
  bool dialog = false;    // the file dialog came and was answered
  bool progress = false;  // the progress dialog showed
  std::string box;        // the text of a message box, answered with boxAnswer
};

// Answers the file dialog of the title with file (ticking "ANSI Format
// benutzen" when asked), then watches for the progress dialog of the same
// title and answers a message box of boxTitle; ends when the command has
// returned.
void AnswerRun(const char* title, std::string file, bool ansi, const char* boxTitle, int boxAnswer,
               const char* progressPng, const char* boxPng, const std::atomic<bool>* returned, CommandRun* run) {
  HWND fileDlg = nullptr;
  while (!*returned) {
    HWND dlg = VisibleDialog(title);
    if (dlg && !run->dialog && GetDlgItem(dlg, kFileNameField)) {
      fileDlg = dlg;
      if (ansi) SendMessageA(GetDlgItem(dlg, kReadOnlyBox), BM_CLICK, 0, 0);
      SetWindowTextA(GetDlgItem(dlg, kFileNameField), file.c_str());
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
      run->dialog = true;
    } else if (dlg && run->dialog && dlg != fileDlg && !GetDlgItem(dlg, kFileNameField) && !run->progress) {
      run->progress = true;
      if (progressPng) WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath(progressPng).c_str());
    }
    HWND box = boxTitle ? VisibleDialog(boxTitle) : nullptr;
    if (box && run->box.empty()) {
      run->box = BoxText(box);
      if (boxPng) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        WindowCapture::FromScreen(box).SavePng(ScreenshotPath(boxPng).c_str());
      }
      PostMessageA(box, WM_COMMAND, boxAnswer, 0);
    }
    Sleep(5);
  }
}

// A progress dialog of the title that came up on this thread: the own
// writer and reader may be done before the helper looks.
const char* s_progressTitle = nullptr;
bool s_progressSeen = false;
LRESULT CALLBACK WatchDialogs(int code, WPARAM wp, LPARAM lp) {
  const CWPRETSTRUCT* msg = (const CWPRETSTRUCT*)lp;
  if (code == HC_ACTION && msg->message == WM_INITDIALOG && !GetDlgItem(msg->hwnd, kFileNameField)) {
    char text[128] = "";
    GetWindowTextA(msg->hwnd, text, sizeof text);
    if (s_progressTitle && lstrcmpA(text, s_progressTitle) == 0) s_progressSeen = true;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// Runs a command of the frame with the helper answering it.
CommandRun RunCommand(CFrameWnd* frame, UINT id, const char* title, const std::string& file, bool ansi,
                      const char* boxTitle = nullptr, int boxAnswer = IDOK, const char* progressPng = nullptr,
                      const char* boxPng = nullptr) {
  CommandRun run;
  std::atomic<bool> returned(false);
  s_progressTitle = title;
  s_progressSeen = false;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDialogs, nullptr, GetCurrentThreadId());
  std::thread helper(AnswerRun, title, file, ansi, boxTitle, boxAnswer, progressPng, boxPng, &returned, &run);
  frame->SendMessage(WM_COMMAND, id);
  returned = true;
  helper.join();
  UnhookWindowsHookEx(hook);
  run.progress = run.progress || s_progressSeen;
  return run;
}

std::string ProgramString(const TestAppNames& names, const char* value) {
  char buf[MAX_PATH] = "";
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, names.ProgramKeyPath().c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return "<missing>";
  return buf;
}

void Fill(HKEY key) {
  RegSetValueExA(key, "", 0, REG_SZ, (const BYTE*)"Vorgabe", 8);
  DWORD dword = 0x2A;
  RegSetValueExA(key, "Zahl", 0, REG_DWORD, (const BYTE*)&dword, 4);
  RegSetValueExA(key,
                 "Gr\xF6\xDF"
                 "e \x80",
                 0, REG_SZ, (const BYTE*)"\x80 und \"x\"", 10);
  BYTE bin[60];
  for (int i = 0; i < 60; ++i) bin[i] = (BYTE)(i * 7);
  RegSetValueExA(key, "Bin\xE4r", 0, REG_BINARY, bin, sizeof bin);
  RegSetValueExA(key, "Liste", 0, REG_MULTI_SZ, (const BYTE*)"a\0bc\0", 6);
  HKEY sub;
  RegCreateKeyA(key, "\xC4nderung", &sub);
  RegSetValueExA(sub, "x", 0, REG_EXPAND_SZ, (const BYTE*)"%TEMP%", 7);
  RegCloseKey(sub);
}

// Values the text forms keep only when written with care: odd-sized,
// unterminated, inner-NUL and non-1252 text, empty multi-string items, an
// unknown type.
void FillIrregular(HKEY key) {
  struct {
    const wchar_t* name;
    DWORD type;
    const char* data;
    DWORD cb;
  } values[] = {
      {L"ungerade", REG_SZ, "A\0BX", 3},
      {L"offen", REG_SZ, "A\0B\0X", 4},
      {L"innen", REG_SZ, "A\0\0\0B\0\0\0", 8},
      {L"Omega", REG_SZ, "\xa9\x03\0\0", 4},
      {L"Omega offen", REG_EXPAND_SZ, "%\0\xa9\x03X", 4},
      {L"Liste leer", REG_MULTI_SZ, "a\0\0\0\0\0b\0\0\0\0\0", 12},
      {L"Liste ungerade", REG_MULTI_SZ, "a\0\0X", 3},
      {L"Typ", 0x7654321, "\x01\x02\x03", 3},
  };
  for (const auto& v : values) RegSetValueExW(key, v.name, 0, v.type, (const BYTE*)v.data, v.cb);
}

// Every name, type and byte of a subtree, in the registry's order.
std::string SubtreeBytes(HKEY parent, const wchar_t* path) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(parent, path, 0, KEY_READ, &h) != ERROR_SUCCESS) return "<missing>";
  std::string out;
  auto put = [&out](const void* p, size_t cb) {
    DWORD n = (DWORD)cb;
    out.append((const char*)&n, 4).append((const char*)p, cb);
  };
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    BYTE data[4096];
    DWORD cch = 16384, cb = sizeof data, type = 0;
    if (RegEnumValueW(h, i, name, &cch, nullptr, &type, data, &cb) != ERROR_SUCCESS) break;
    put(name, cch * 2);
    put(&type, 4);
    put(data, cb);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD cch = 256;
    if (RegEnumKeyExW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    put(name, cch * 2);
    out += SubtreeBytes(h, name);
  }
  RegCloseKey(h);
  return out;
}

std::string Exported(const std::string& path, int format) {
  std::string text;
  EXPECT_EQ(RegFileExportToBuffer(text, path.c_str(), format), ERROR_SUCCESS);
  return text;
}

}  // namespace

TEST(ViewRegFile, ExportBothFormatsAskBeforeOverwritingAndImportBack) {
  CEditorTestApp* app = new CEditorTestApp;
  ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL));
  TestAppNames* names = new TestAppNames;
  TestRegistryKey key;
  Fill(key.Handle());
  FillIrregular(key.Handle());
  const std::string path = key.FullPath();
  const std::wstring widePath(key.Path().begin(), key.Path().end());
  const std::string bytes = SubtreeBytes(HKEY_CURRENT_USER, widePath.c_str());
  const std::string unicodeText = Exported(path, kRegFileUnicode), ansiText = Exported(path, kRegFileAnsi);
  ASSERT_TRUE(app->InitInstance());
  CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, app->m_pMainWnd);
  ASSERT_NE(frame, nullptr);
  COstrovaView* view = DYNAMIC_DOWNCAST(COstrovaView, frame->GetActiveView());
  ASSERT_NE(view, nullptr);
  view->Pane(view->ActivePane()).NavigateTo(path.c_str(), 1);
  const char* exportTitle = "Registry-Daten exportieren";
  const std::string file = TempFile("ostrova view export.reg");
  DeleteFileA(file.c_str());

  // The system's editor writes the UTF-16 file while the progress shows.
  CommandRun run = RunCommand(frame, ID_EXPORT, exportTitle, file, false, "Fehler", IDOK, "app_export_progress.png");
  EXPECT_TRUE(run.dialog);
  EXPECT_TRUE(run.progress);
  EXPECT_EQ(run.box, "");
  EXPECT_TRUE(ReadFileBytes(file) == unicodeText) << ReadFileBytes(file).size() << " bytes";
  EXPECT_EQ(ProgramString(*names, "ExportPath"), file);

  // The file is there: No keeps it and runs nothing.
  run = RunCommand(frame, ID_EXPORT, exportTitle, file, true, "Frage", IDNO);
  EXPECT_EQ(run.box, "Die Datei '" + file +
                         "' existiert bereits !\n\nSoll sie \xFC"
                         "berschrieben werden ?");
  EXPECT_FALSE(run.progress);
  EXPECT_TRUE(ReadFileBytes(file) == unicodeText);
  // Yes writes the 8-bit format.
  run = RunCommand(frame, ID_EXPORT, exportTitle, file, true, "Frage", IDYES);
  EXPECT_NE(run.box.find("existiert bereits"), std::string::npos) << run.box;
  EXPECT_TRUE(run.progress);
  EXPECT_EQ(ReadFileBytes(file), ansiText);

  // The import puts every byte back.
  ASSERT_EQ(RegDeleteTreeA(key.Handle(), nullptr), ERROR_SUCCESS);
  ASSERT_NE(Exported(path, kRegFileUnicode), unicodeText);
  run = RunCommand(frame, ID_IMPORT, "Registry-Daten importieren", file, false, "Fehler");
  EXPECT_TRUE(run.dialog);
  EXPECT_TRUE(run.progress);
  EXPECT_EQ(run.box, "");
  EXPECT_TRUE(SubtreeBytes(HKEY_CURRENT_USER, widePath.c_str()) == bytes);
  EXPECT_EQ(ProgramString(*names, "ImportPath"), file);
  // And so does the UTF-16 file.
  const std::string wideFile = TempFile("ostrova view export wide.reg");
  DeleteFileA(wideFile.c_str());
  run = RunCommand(frame, ID_EXPORT, exportTitle, wideFile, false, "Fehler");
  EXPECT_EQ(run.box, "");
  ASSERT_EQ(RegDeleteTreeA(key.Handle(), nullptr), ERROR_SUCCESS);
  run = RunCommand(frame, ID_IMPORT, "Registry-Daten importieren", wideFile, false, "Fehler");
  EXPECT_EQ(run.box, "");
  EXPECT_TRUE(SubtreeBytes(HKEY_CURRENT_USER, widePath.c_str()) == bytes);
  DeleteFileA(wideFile.c_str());

  // A file with a fault imports nothing and says so.
  const std::string bad = TempFile("ostrova view bad.reg");
  WriteFileBytes(bad, "REGEDIT4\r\n\r\n[" + path + "\\Neu]\r\n\"v\"=hex:01,zz\r\n");
  run = RunCommand(frame, ID_IMPORT, "Registry-Daten importieren", bad, false, "Fehler", IDOK, nullptr,
                   "app_import_error_line.png");
  EXPECT_EQ(run.box.find("Es gabe einen Fehler beim Importiren !\n\nZeile 4 der Datei"), 0u) << run.box;
  HKEY made;
  EXPECT_EQ(RegOpenKeyExA(key.Handle(), "Neu", 0, KEY_READ, &made), ERROR_FILE_NOT_FOUND);

  // A name below the key that code page 1252 cannot carry: the ANSI format
  // is refused before the file is touched.
  HKEY odd;
  ASSERT_EQ(RegCreateKeyExW(key.Handle(), L"x\u4E2Dy", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &odd, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(odd);
  DeleteFileA(file.c_str());
  run = RunCommand(frame, ID_EXPORT, exportTitle, file, true, "Fehler", IDOK, nullptr, "app_export_ansi_refused.png");
  EXPECT_TRUE(run.progress);
  EXPECT_NE(run.box.find("nicht im ANSI-Format exportiert werden"), std::string::npos) << run.box;
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);

  // A key whose name code page 1252 cannot carry ("x中y" beside "x?y"):
  // neither the system's editor nor the own writer could name it, so the
  // export and the permissions are refused before anything runs.
  const std::string oddPath = path +
                              "\\x\x8B"
                              "4E2D\x9By";
  view->Pane(view->ActivePane()).NavigateTo(oddPath.c_str(), 1);
  ASSERT_EQ(std::string(view->Pane(view->ActivePane()).GetPathNoSlash()), oddPath);
  DeleteFileA(file.c_str());
  run = RunCommand(frame, ID_EXPORT, exportTitle, file, false, "Fehler");
  EXPECT_FALSE(run.dialog);
  EXPECT_NE(run.box.find("kann nicht exportiert werden"), std::string::npos) << run.box;
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  run = RunCommand(frame, ID_PERMISSIONS, "never", file, false, "Fehler");
  EXPECT_NE(run.box.find("Berechtigungen"), std::string::npos) << run.box;

  DeleteFileA(file.c_str());
  DeleteFileA(bad.c_str());
  frame->SendMessage(WM_CLOSE);
  app->Run();
  delete names;
  delete app;
  SetRegeditImportsAnswer(-1);
}
