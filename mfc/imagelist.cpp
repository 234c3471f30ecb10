#include "mfc/imagelist.h"

#include "mfc/dc.h"
#include "mfc/globals.h"
#include "mfc/handlemap.h"
#include "mfc/wnd.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

CHandleMap& afxMapHIMAGELIST() {
  return AfxHandleMapOf<CImageList, HIMAGELIST, &CImageList::m_hImageList>(AfxHandleImageList);
}

CImageList* CImageList::FromHandle(HIMAGELIST h) { return static_cast<CImageList*>(afxMapHIMAGELIST().FromHandle(h)); }

CImageList* CImageList::FromHandlePermanent(HIMAGELIST h) {
  return h ? static_cast<CImageList*>(afxMapHIMAGELIST().LookupPermanent(h)) : nullptr;
}

void CImageList::DeleteTempMap() { AfxGetThreadState()->DeleteTempMap(AfxHandleImageList); }

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  return AfxAttachHandle(afxMapHIMAGELIST(), this, m_hImageList, hImageList);
}

HIMAGELIST CImageList::Detach() { return AfxDetachHandle(afxMapHIMAGELIST(), this, m_hImageList); }

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Attach(
      ImageList_LoadImageA(AfxGetResourceHandle(), lpszBitmapID, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Create(MAKEINTRESOURCEA(nBitmapID), cx, nGrow, crMask);
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  return ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

BOOL CImageList::DragEnter(CWnd* pWndLock, CPoint point) {
  return ImageList_DragEnter(pWndLock->GetSafeHwnd(), point.x, point.y);
}

BOOL CImageList::DragLeave(CWnd* pWndLock) { return ImageList_DragLeave(pWndLock->GetSafeHwnd()); }
