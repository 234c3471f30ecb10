// Document templates: which document, frame and view classes make up one
// kind of document, and the resources (menu, accelerators, icon and the
// document string) of its resource id. CSingleDocTemplate keeps one document
// at a time: a second File New reuses its frame and view.
#pragma once

#include <windows.h>

#include "base/cstring.h"
#include "mfc/msgmap.h"

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

// What a new frame needs to make its view: passed to the frame's and the
// view's creation as the CREATESTRUCT's lpCreateParams.
struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// A new object of pClass as a T, or null (nothing is left over when pClass
// makes no T).
template <class T>
T* AfxCreateObjectOf(CRuntimeClass* pClass) {
  CObject* pObject = pClass ? pClass->CreateObject() : nullptr;
  T* p = dynamic_cast<T*>(pObject);
  if (pObject && !p) delete pObject;
  return p;
}

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)

 public:
  // Parts of the document string (string nIDResource), separated by "\n".
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  BOOL GetDocString(CString& rString, DocStringIndex index) const;

  virtual CDocument* CreateNewDocument();
  // A new frame of the frame class, loaded with LoadFrame from the
  // template's resource id; null when it could not be made.
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);
  // Opens a new document (null name) or the named file.
  virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;
  virtual BOOL SaveAllModified() = 0;
  virtual void CloseAllDocuments(BOOL bEndSession) = 0;

  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;

 protected:
  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)

 public:
  CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

  CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* pDocument) override;
  BOOL SaveAllModified() override;
  void CloseAllDocuments(BOOL bEndSession) override;
  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;

  CDocument* GetOnlyDoc() const { return m_pOnlyDoc; }

 protected:
  CDocument* m_pOnlyDoc = nullptr;
};
