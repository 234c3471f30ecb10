// CDocument: the data that the views of a document template show. It keeps
// its title, path and modified flag, knows its views and takes part in
// command routing (view, document, its template). CArchive is the stream its
// Serialize reads or writes.
#pragma once

#include <windows.h>

#include <vector>

#include "base/cstring.h"
#include "mfc/msgmap.h"

class CDocTemplate;
class CFrameWnd;
class CView;

// Position in a document's list of views (see GetFirstViewPosition).
typedef struct AfxPosition_* POSITION;

// A file read or written in one direction. It remembers a failed read or
// write, which Serialize has no way to report.
class CArchive {
 public:
  enum Mode { store = 0, load = 1 };
  CArchive(HANDLE hFile, UINT nMode) : m_hFile(hFile), m_nMode(nMode) {}

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  // Bytes read (fewer at the end of the file) or whether all were written.
  UINT Read(void* lpBuf, UINT nMax);
  BOOL Write(const void* lpBuf, UINT nMax);
  // A read or write failed: the document is not to be taken as saved or read.
  BOOL HasFailed() const { return m_bFailed; }

 private:
  HANDLE m_hFile;
  UINT m_nMode;
  BOOL m_bFailed = FALSE;
};

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

 public:
  CDocument() = default;
  ~CDocument() override;  // leaves its template

  const CString& GetTitle() const { return m_strTitle; }
  // Sets the title and shows it in the frames of the views.
  virtual void SetTitle(LPCSTR lpszTitle);
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

  // Views.
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  POSITION GetFirstViewPosition() const;
  CView* GetNextView(POSITION& rPosition) const;
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
  // Titles of the frames that show the document.
  virtual void UpdateFrameCounts();

  // The document's life: a new (empty) one, read from or written to a file,
  // closed with its frames.
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
  virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual void Serialize(CArchive& ar) {}
  // Whether the document may close; a document that keeps files asks about
  // its changes here. CanCloseFrame asks it for the document's last frame.
  virtual BOOL SaveModified() { return TRUE; }
  virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
  virtual void PreCloseFrame(CFrameWnd* pFrame) {}
  // Called when a view came or went: the last view gone closes the document.
  virtual void OnChangedViewList();

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  BOOL m_bAutoDelete = TRUE;  // deleted when closed
  BOOL m_bEmbedded = FALSE;

 protected:
  friend class CDocTemplate;
  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_viewList;
  BOOL m_bModified = FALSE;
};
