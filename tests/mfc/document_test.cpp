// A document read from and written to a file through Serialize.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mfc/mfc.h"

namespace {
class CNoteDoc : public CDocument {
 public:
  CString m_text;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.Write(m_text, m_text.GetLength());
    } else {
      char buf[256];
      m_text = CString(buf, (int)ar.Read(buf, sizeof buf));
    }
  }
};

std::string FileText(const char* path) {
  char buf[256] = "";
  DWORD n = 0;
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "-";
  ReadFile(h, buf, sizeof buf - 1, &n, nullptr);
  CloseHandle(h);
  return std::string(buf, n);
}
}  // namespace

TEST(Document, SavesWholeOrNotAtAllAndReadsBack) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "doc", 0, path);
  CNoteDoc doc;
  doc.m_text = "Schlüssel";
  doc.SetModifiedFlag();
  ASSERT_TRUE(doc.OnSaveDocument(path));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(FileText(path), "Schlüssel");

  CNoteDoc doc2;
  doc2.SetModifiedFlag();
  ASSERT_TRUE(doc2.OnOpenDocument(path));
  EXPECT_EQ(doc2.m_text, "Schlüssel");
  EXPECT_FALSE(doc2.IsModified());
  doc2.SetPathName(path, FALSE);
  EXPECT_EQ(doc2.GetTitle(), CString(std::strrchr(path, '\\') + 1));

  // A file that cannot be replaced (another holds it open) keeps its
  // content, and nothing is left beside it.
  HANDLE hHeld = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  doc.m_text = "neu";
  doc.SetModifiedFlag();
  EXPECT_FALSE(doc.OnSaveDocument(path));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(FileText(path), "Schlüssel");
  EXPECT_EQ(GetFileAttributesA((std::string(path) + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(doc.OnOpenDocument((std::string(path) + ".fehlt").c_str()));
  CloseHandle(hHeld);
  DeleteFileA(path);
}

TEST(Document, ArchiveRemembersAFailedReadOrWrite) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "arc", 0, path);
  HANDLE hReadOnly = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  CArchive store(hReadOnly, CArchive::store);
  EXPECT_FALSE(store.HasFailed());
  EXPECT_FALSE(store.Write("abc", 3));
  EXPECT_TRUE(store.HasFailed());
  char buf[4];
  CArchive load(hReadOnly, CArchive::load);
  EXPECT_EQ(load.Read(buf, sizeof buf), 0u);  // the end of an empty file is no failure
  EXPECT_FALSE(load.HasFailed());
  CloseHandle(hReadOnly);
  CArchive closed(hReadOnly, CArchive::load);
  EXPECT_EQ(closed.Read(buf, sizeof buf), 0u);
  EXPECT_TRUE(closed.HasFailed());
  DeleteFileA(path);
}
