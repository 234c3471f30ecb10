// System icon indexes, the recycle bin and OLE drags onto a drop target.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "harness/droptarget.h"
#include "harness/window_util.h"
#include "mfc/mfc.h"
#include "system/shelliconcache.h"
#include "ui/shellutil.h"

namespace {
std::string ModuleDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  return dir.substr(0, dir.rfind('\\'));
}

void MakeFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written;
  WriteFile(h, "x", 1, &written, nullptr);
  CloseHandle(h);
}

// Removes the files of a folder (not its subfolders).
void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + fd.cFileName).c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST(SysIconIndex, ByExtensionThroughTheCacheSlot) {
  IconCacheRecord* record = g_shellIconCache.LookupExt("zq1");
  record->icon[SHGFI_SMALLICON] = 4242;  // a sentinel no shell gives
  EXPECT_EQ(GetSysIconIndex("C:\\gibt\\es.nicht\\datei.zq1", SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON), 4242);
  // The large slot is asked of the shell once and kept.
  ASSERT_EQ(record->icon[0], -1);
  int large = GetSysIconIndex("datei.zq1", SHGFI_USEFILEATTRIBUTES);
  EXPECT_GE(large, 0);
  EXPECT_EQ(record->icon[0], large);
  record->icon[0] = 777;
  EXPECT_EQ(GetSysIconIndex("andere.ZQ1", SHGFI_USEFILEATTRIBUTES), 777);
  // A dot in a folder name is no extension.
  IconCacheRecord* none = g_shellIconCache.LookupExt("");
  none->icon[0] = 555;
  EXPECT_EQ(GetSysIconIndex("C:\\a.b\\ohne", SHGFI_USEFILEATTRIBUTES), 555);

  // Without the attribute flag the file itself is asked and no slot is written.
  IconCacheRecord* exe = g_shellIconCache.LookupExt("exe");
  exe->icon[0] = -1;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  EXPECT_GE(GetSysIconIndex(self, 0), 0);
  EXPECT_EQ(exe->icon[0], -1);
  EXPECT_EQ(GetSysIconIndex("C:\\gibt\\es\\nicht.exe", 0), -1);

  EXPECT_EQ(GetSysIconIndex("C:\\", SHGFI_SMALLICON), GetDriveIconIndex('C', SHGFI_SMALLICON));
  EXPECT_EQ(GetSysIconIndex("c:", 0), GetDriveIconIndex('c', 0));
  EXPECT_EQ(GetSysImageList(SHGFI_SMALLICON), GetSystemImageList(FALSE));
  EXPECT_EQ(GetSysImageList(0), GetSystemImageList(TRUE));
}

TEST(RecycleBin, DeletesIntoTheTrashAndRefusesLongPaths) {
  char xdg[MAX_PATH];
  if (!GetEnvironmentVariableA("XDG_DATA_HOME", xdg, sizeof xdg)) GTEST_SKIP() << "XDG_DATA_HOME not set";
  // Wine's trash of this run; it takes a data folder that exists.
  std::string data = std::string("Z:") + xdg;
  for (char& c : data)
    if (c == '/') c = '\\';
  CreateDirectoryA(data.c_str(), nullptr);
  CreateDirectoryA((data + "\\Trash").c_str(), nullptr);
  EmptyFolder(data + "\\Trash\\files");
  EmptyFolder(data + "\\Trash\\info");
  std::string trash = data + "\\Trash\\files\\Papierkorb-Test.txt";

  std::string dir = ModuleDir() + "\\recycle";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string file = dir + "\\Papierkorb-Test.txt";
  MakeFile(file);
  EXPECT_EQ(DeleteToRecycleBin(file.c_str()), 1);
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(Exists(trash)) << trash;

  EXPECT_EQ(DeleteToRecycleBin((dir + "\\fehlt.txt").c_str()), 0);
  EXPECT_EQ(DeleteToRecycleBin(""), 0);
  EXPECT_EQ(DeleteToRecycleBin(nullptr), 0);

  // A file whose path has 258 characters goes; one character more is refused,
  // since the cut path would name that other file.
  std::string deep = dir + "\\" + std::string(200 - (int)dir.size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  std::string longFile = deep + "\\" + std::string(258 - deep.size() - 1, 'f');
  ASSERT_EQ(longFile.size(), 258u);
  MakeFile(longFile);
  EXPECT_EQ(DeleteToRecycleBin((longFile + "g").c_str()), 0);
  EXPECT_TRUE(Exists(longFile));
  EXPECT_EQ(DeleteToRecycleBin(longFile.c_str()), 1);
  EXPECT_FALSE(Exists(longFile));
  RemoveDirectoryA(deep.c_str());
  std::string trashedLong = data + "\\Trash\\files\\" + longFile.substr(deep.size() + 1);
  EXPECT_TRUE(Exists(trashedLong));
  EmptyFolder(data + "\\Trash\\files");
  EmptyFolder(data + "\\Trash\\info");
}

namespace {
// A drop target that records the files and texts dropped on it.
class RecordingDropTarget : public CopyDropTarget {
 public:
  std::string m_file, m_text;
  std::wstring m_unicode;
  bool m_hasUnicode = false;
  void OnDrop(IDataObject* pData) override {
    FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (SUCCEEDED(pData->GetData(&fe, &medium))) {
      char path[MAX_PATH] = "";
      DragQueryFileA((HDROP)medium.hGlobal, 0, path, sizeof path);
      m_file = path;
      ReleaseStgMedium(&medium);
    }
    fe.cfFormat = CF_TEXT;
    if (SUCCEEDED(pData->GetData(&fe, &medium))) {
      m_text = static_cast<const char*>(GlobalLock(medium.hGlobal));
      GlobalUnlock(medium.hGlobal);
      ReleaseStgMedium(&medium);
    }
    fe.cfFormat = CF_UNICODETEXT;
    if ((m_hasUnicode = SUCCEEDED(pData->GetData(&fe, &medium)))) {
      m_unicode = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal));
      GlobalUnlock(medium.hGlobal);
      ReleaseStgMedium(&medium);
    }
  }
  void Reset() { *this = RecordingDropTarget(); }
};

// A top-most window under the mouse that takes drops.
class Drag : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(
        m_wnd.CreateEx(WS_EX_TOPMOST, nullptr, "Ziel", WS_POPUP | WS_VISIBLE, 300, 300, 200, 150, nullptr, nullptr));
    ASSERT_EQ(RegisterDragDrop(m_wnd.m_hWnd, &m_target), S_OK);
    SetCursorPos(400, 375);
    PumpMessages(50);
  }
  void TearDown() override {
    RevokeDragDrop(m_wnd.m_hWnd);
    m_wnd.DestroyWindow();
    OleUninitialize();
  }
  CWnd m_wnd;
  RecordingDropTarget m_target;
};
}  // namespace

TEST_F(Drag, TextInThreeModes) {
  EXPECT_EQ(DragTextOle("Grüße", -1, kDragTextAnsi), 1);
  EXPECT_EQ(m_target.m_nDrops, 1);
  EXPECT_EQ(m_target.m_text, "Grüße");
  EXPECT_FALSE(m_target.m_hasUnicode);

  m_target.Reset();
  EXPECT_EQ(DragTextOle("Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC und mehr", 11, kDragTextUtf8), 1);
  EXPECT_EQ(m_target.m_unicode, L"Gr\u00FC\u00DF\u20AC u");  // 11 bytes
  EXPECT_EQ(m_target.m_text, "Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC u");

  m_target.Reset();
  EXPECT_EQ(DragTextOle(L"\u20AC\u00E4x", -1, kDragTextWide), 1);
  EXPECT_EQ(m_target.m_unicode, L"\u20AC\u00E4x");
  EXPECT_EQ(m_target.m_text, "\xFF\xE4x");

  m_target.Reset();
  EXPECT_EQ(DragTextOle("abc", 0, kDragTextAnsi), 0);
  EXPECT_EQ(m_target.m_nDrops, 0);
  EXPECT_EQ(DragTextOle("", -1, kDragTextAnsi), 1);  // an empty text is still dragged
  EXPECT_EQ(m_target.m_nDrops, 1);
  EXPECT_EQ(m_target.m_text, "");
}

TEST_F(Drag, FileByItsFullPath) {
  std::string dir = ModuleDir();
  MakeFile(dir + "\\ziehen.txt");
  char oldDir[MAX_PATH];
  GetCurrentDirectoryA(sizeof oldDir, oldDir);
  SetCurrentDirectoryA(dir.c_str());
  EXPECT_EQ(DragFileOle("ziehen.txt"), 1);
  EXPECT_EQ(m_target.m_nDrops, 1);
  EXPECT_EQ(m_target.m_file, dir + "\\ziehen.txt");
  m_target.Reset();
  EXPECT_EQ(DragFileOle(dir.c_str()), 1);  // a folder too
  EXPECT_EQ(m_target.m_file, dir);
  m_target.Reset();
  EXPECT_EQ(DragFileOle("fehlt.txt"), 0);
  EXPECT_EQ(DragFileOle(""), 0);
  EXPECT_EQ(m_target.m_nDrops, 0);
  SetCurrentDirectoryA(oldDir);
  DeleteFileA((dir + "\\ziehen.txt").c_str());
}
