#include "mfc/document.h"

#include <algorithm>

#include "mfc/doctemplate.h"
#include "mfc/frame.h"
#include "mfc/view.h"
#include "mfc/winapp.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  DWORD nRead = 0;
  if (!IsLoading() || !::ReadFile(m_hFile, lpBuf, nMax, &nRead, nullptr)) {
    m_bFailed = TRUE;
    return 0;
  }
  return nRead;
}

BOOL CArchive::Write(const void* lpBuf, UINT nMax) {
  DWORD nWritten = 0;
  if (IsStoring() && ::WriteFile(m_hFile, lpBuf, nMax, &nWritten, nullptr) && nWritten == nMax) return TRUE;
  m_bFailed = TRUE;
  return FALSE;
}

CDocument::~CDocument() {
  // Views that outlive their document forget it.
  for (CView* pView : m_viewList) pView->m_pDocument = nullptr;
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
  m_strTitle = lpszTitle ? lpszTitle : "";
  UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU) {
  char full[MAX_PATH];
  DWORD n = ::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr);
  m_strPathName = n > 0 && n < MAX_PATH ? full : lpszPathName;
  // The title is the file's name.
  const char* pszName = m_strPathName;
  for (const char* p = pszName; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') pszName = p + 1;
  SetTitle(pszName);
  if (bAddToMRU)
    if (CWinApp* pApp = AfxGetApp()) pApp->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView) {
  if (!pView || pView->m_pDocument == this) return;
  if (pView->m_pDocument) pView->m_pDocument->RemoveView(pView);
  m_viewList.push_back(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
  if (it == m_viewList.end()) return;
  m_viewList.erase(it);
  pView->m_pDocument = nullptr;
  OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const {
  return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>((INT_PTR)1);
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
  size_t i = (size_t) reinterpret_cast<INT_PTR>(rPosition) - 1;
  CView* pView = i < m_viewList.size() ? m_viewList[i] : nullptr;
  rPosition = i + 1 < m_viewList.size() ? reinterpret_cast<POSITION>((INT_PTR)(i + 2)) : nullptr;
  return pView;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  // A copy: an update may add or remove views.
  std::vector<CView*> views = m_viewList;
  for (CView* pView : views)
    if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts() {
  for (CView* pView : m_viewList)
    if (CFrameWnd* pFrame = pView->GetParentFrame()) pFrame->OnUpdateFrameTitle(TRUE);
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName) {
  HANDLE hFile = ::CreateFileA(lpszPathName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  DeleteContents();
  CArchive ar(hFile, CArchive::load);
  Serialize(ar);
  ::CloseHandle(hFile);
  if (ar.HasFailed()) return FALSE;
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName) {
  // Written beside the file and moved over it, so that a failed save leaves
  // the old file as it was.
  CString strTemp = CString(lpszPathName) + ".tmp";
  HANDLE hFile = ::CreateFileA(strTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  CArchive ar(hFile, CArchive::store);
  Serialize(ar);
  BOOL bOk = ::CloseHandle(hFile) && !ar.HasFailed();
  if (!bOk || !::MoveFileExA(strTemp, lpszPathName, MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileA(strTemp);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::OnCloseDocument() {
  // Kept alive while its frames go, then deleted when it deletes itself.
  BOOL bAutoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;
  while (!m_viewList.empty()) {
    CView* pView = m_viewList.front();
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (!pFrame) {
      RemoveView(pView);
      continue;
    }
    PreCloseFrame(pFrame);
    pFrame->DestroyWindow();  // takes the view with it
    if (!m_viewList.empty() && m_viewList.front() == pView) RemoveView(pView);
  }
  m_bAutoDelete = bAutoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
  // Another frame still shows the document: this one may go.
  for (CView* pView : m_viewList)
    if (pView->GetParentFrame() != pFrame) return TRUE;
  return SaveModified();
}

void CDocument::OnChangedViewList() {
  if (m_bAutoDelete && m_viewList.empty()) {
    OnCloseDocument();
    return;
  }
  UpdateFrameCounts();
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
