#include "mfc/doctemplate.h"

#include "mfc/afxres.h"
#include "mfc/document.h"
#include "mfc/frame.h"
#include "mfc/globals.h"
#include "mfc/resstring.h"
#include "mfc/view.h"
#include "mfc/winapp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {
  AfxLoadString(m_strDocStrings, nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const {
  return AfxExtractSubString(rString, m_strDocStrings, (int)index);
}

CDocument* CDocTemplate::CreateNewDocument() {
  CDocument* pDocument = AfxCreateObjectOf<CDocument>(m_pDocClass);
  if (pDocument) AddDocument(pDocument);
  return pDocument;
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
  CCreateContext context;
  context.m_pCurrentFrame = pOther;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  CFrameWnd* pFrame = AfxCreateObjectOf<CFrameWnd>(m_pFrameClass);
  if (!pFrame) return nullptr;
  // A frame that fails to load has deleted itself.
  if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
  return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
  CDocTemplate::AddDocument(pDoc);
  m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
  CDocTemplate::RemoveDocument(pDoc);
  if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  CString strDocName;
  if (!GetDocString(strDocName, docName) || strDocName.IsEmpty()) {
    if (!AfxLoadString(strDocName, AFX_IDS_UNTITLED)) strDocName = "Unbenannt";
  }
  pDocument->SetTitle(strDocName);
}

BOOL CSingleDocTemplate::SaveAllModified() { return !m_pOnlyDoc || m_pOnlyDoc->SaveModified(); }

void CSingleDocTemplate::CloseAllDocuments(BOOL) {
  if (m_pOnlyDoc) m_pOnlyDoc->OnCloseDocument();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible) {
  CDocument* pDocument = m_pOnlyDoc;
  CFrameWnd* pFrame = nullptr;
  bool bCreated = false;
  if (pDocument) {
    // One document at a time: the present one is reinitialised in its frame.
    if (!pDocument->SaveModified()) return nullptr;
    POSITION pos = pDocument->GetFirstViewPosition();
    if (CView* pView = pos ? pDocument->GetNextView(pos) : nullptr) pFrame = pView->GetParentFrame();
    if (!pFrame) {
      CWnd* pMainWnd = AfxGetMainWnd();
      pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pMainWnd);
    }
  } else {
    pDocument = CreateNewDocument();
    if (!pDocument) return nullptr;
    bCreated = true;
  }
  if (!pFrame) {
    // The document must not delete itself when a failing frame takes its view.
    BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (!pFrame) {
      if (bCreated) delete pDocument;
      return nullptr;
    }
  }
  BOOL bOk;
  if (!lpszPathName) {
    SetDefaultTitle(pDocument);
    bOk = pDocument->OnNewDocument();
  } else {
    bOk = pDocument->OnOpenDocument(lpszPathName);
    if (bOk) pDocument->SetPathName(lpszPathName);
  }
  if (!bOk) {
    // A new frame goes with the new document; a reused one keeps showing it.
    if (bCreated) {
      pFrame->DestroyWindow();
      if (m_pOnlyDoc == pDocument) delete pDocument;  // a frame without a view left it
    }
    return nullptr;
  }
  CWinThread* pThread = AfxGetThread();
  if (bCreated && pThread && !pThread->m_pMainWnd) pThread->m_pMainWnd = pFrame;
  InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
  return pDocument;
}
