#include "mfc/oledata.h"

#include <shlobj.h>

#include "mfc/winapp.h"
#include "mfc/wnd.h"

namespace {
const DWORD kDragDelay = 200;  // ms the mouse may rest before a drag starts
const int kDragMinDist = 2;    // pixels it must move before that
}  // namespace

// ---------------------------------------------------------------------------
// The drop source.

COleDropSource::COleDropSource() { m_xDropSource.m_pOwner = this; }

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd) {
  m_bDragStarted = FALSE;
  m_dwButtonDrop = m_dwButtonCancel = 0;
  if (::GetKeyState(VK_LBUTTON) < 0) {
    m_dwButtonDrop = MK_LBUTTON;
    m_dwButtonCancel = MK_RBUTTON;
  } else if (::GetKeyState(VK_RBUTTON) < 0) {
    m_dwButtonDrop = MK_RBUTTON;
    m_dwButtonCancel = MK_LBUTTON;
  }
  if (m_rectStartDrag.IsRectNull()) {
    m_bDragStarted = TRUE;
    return TRUE;
  }
  HWND hWndCapture = pWnd ? pWnd->m_hWnd : ::GetCapture();
  if (!hWndCapture) hWndCapture = ::GetActiveWindow();
  if (hWndCapture) ::SetCapture(hWndCapture);
  DWORD dwStart = ::GetTickCount();
  while (!m_bDragStarted) {
    if (hWndCapture && ::GetCapture() != hWndCapture) break;  // someone took the mouse
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
        ::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
      if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP || msg.message == WM_LBUTTONDOWN ||
          msg.message == WM_RBUTTONDOWN)
        break;
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
      m_bDragStarted = !m_rectStartDrag.PtInRect(msg.pt);
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_MOUSE | QS_KEY);
    }
    if (::GetTickCount() - dwStart > kDragDelay) m_bDragStarted = TRUE;
  }
  if (hWndCapture && ::GetCapture() == hWndCapture) ::ReleaseCapture();
  return m_bDragStarted;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) {
  if (bEscapePressed || (dwKeyState & m_dwButtonCancel)) return DRAGDROP_S_CANCEL;
  // Released the button that drags (or none was held): drop here.
  if (!(dwKeyState & m_dwButtonDrop)) return DRAGDROP_S_DROP;
  return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT) { return DRAGDROP_S_USEDEFAULTCURSORS; }

STDMETHODIMP COleDropSource::XDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) {
  return m_pOwner->QueryContinueDrag(fEscapePressed, grfKeyState);
}

STDMETHODIMP COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect) { return m_pOwner->GiveFeedback(dwEffect); }

// ---------------------------------------------------------------------------
// The data source.

COleDataSource::COleDataSource() { m_xDataObject.m_pOwner = this; }

COleDataSource::~COleDataSource() { Empty(); }

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc) {
  Entry entry = {};
  if (lpFormatEtc) {
    entry.formatEtc = *lpFormatEtc;
  } else {
    entry.formatEtc.dwAspect = DVASPECT_CONTENT;
    entry.formatEtc.lindex = -1;
  }
  entry.formatEtc.cfFormat = cfFormat;
  entry.formatEtc.tymed = TYMED_HGLOBAL;
  entry.stgMedium.tymed = TYMED_HGLOBAL;
  entry.stgMedium.hGlobal = hGlobal;
  // A second block of one format replaces the first.
  for (Entry& old : m_entries) {
    if (old.formatEtc.cfFormat == cfFormat && old.formatEtc.dwAspect == entry.formatEtc.dwAspect) {
      ::ReleaseStgMedium(&old.stgMedium);
      old = entry;
      return;
    }
  }
  m_entries.push_back(entry);
}

void COleDataSource::Empty() {
  for (Entry& entry : m_entries) ::ReleaseStgMedium(&entry.stgMedium);
  m_entries.clear();
}

const COleDataSource::Entry* COleDataSource::Find(const FORMATETC* pFormatEtc, HRESULT* phr) const {
  *phr = DV_E_FORMATETC;
  if (!pFormatEtc) return nullptr;
  for (const Entry& entry : m_entries) {
    if (entry.formatEtc.cfFormat != pFormatEtc->cfFormat) continue;
    if (entry.formatEtc.dwAspect != pFormatEtc->dwAspect) {
      *phr = DV_E_DVASPECT;
      continue;
    }
    if (!(entry.formatEtc.tymed & pFormatEtc->tymed)) {
      *phr = DV_E_TYMED;
      continue;
    }
    *phr = S_OK;
    return &entry;
  }
  return nullptr;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource) {
  COleDropSource dropSource;
  if (!pDropSource) pDropSource = &dropSource;
  if (lpRectStartDrag) {
    pDropSource->m_rectStartDrag = *lpRectStartDrag;
  } else {
    POINT pt;
    ::GetCursorPos(&pt);
    pDropSource->m_rectStartDrag.SetRect(pt.x - kDragMinDist, pt.y - kDragMinDist, pt.x + kDragMinDist,
                                         pt.y + kDragMinDist);
  }
  if (!pDropSource->OnBeginDrag(CWnd::GetCapture())) return DROPEFFECT_NONE;
  AfxOleNeeded();
  DWORD dwEffect = DROPEFFECT_NONE;
  HRESULT hr = ::DoDragDrop(GetDataObject(), pDropSource->GetDropSource(), dwEffects, &dwEffect);
  return hr == DRAGDROP_S_DROP ? dwEffect : DROPEFFECT_NONE;
}

STDMETHODIMP COleDataSource::XDataObject::GetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) {
  HRESULT hr;
  const Entry* pEntry = m_pOwner->Find(pFormatEtc, &hr);
  if (!pEntry) return hr;
  // The taker frees what it gets: a copy.
  HGLOBAL hCopy = (HGLOBAL)::OleDuplicateData(pEntry->stgMedium.hGlobal, pEntry->formatEtc.cfFormat, GMEM_MOVEABLE);
  if (!hCopy) return E_OUTOFMEMORY;
  pMedium->tymed = TYMED_HGLOBAL;
  pMedium->hGlobal = hCopy;
  pMedium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP COleDataSource::XDataObject::GetDataHere(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) {
  HRESULT hr;
  const Entry* pEntry = m_pOwner->Find(pFormatEtc, &hr);
  if (!pEntry) return hr;
  if (pMedium->tymed != TYMED_HGLOBAL || !pMedium->hGlobal) return DV_E_TYMED;
  SIZE_T cb = ::GlobalSize(pEntry->stgMedium.hGlobal);
  if (::GlobalSize(pMedium->hGlobal) < cb) return STG_E_MEDIUMFULL;
  void* pDst = ::GlobalLock(pMedium->hGlobal);
  void* pSrc = ::GlobalLock(pEntry->stgMedium.hGlobal);
  if (pDst && pSrc) ::CopyMemory(pDst, pSrc, cb);
  ::GlobalUnlock(pEntry->stgMedium.hGlobal);
  ::GlobalUnlock(pMedium->hGlobal);
  return pDst && pSrc ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP COleDataSource::XDataObject::QueryGetData(FORMATETC* pFormatEtc) {
  HRESULT hr;
  m_pOwner->Find(pFormatEtc, &hr);
  return hr;
}

STDMETHODIMP COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC* pFormatEtcIn, FORMATETC* pFormatEtcOut) {
  if (!pFormatEtcOut) return E_INVALIDARG;
  *pFormatEtcOut = *pFormatEtcIn;
  pFormatEtcOut->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) {
  if (dwDirection != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Entry& entry : m_pOwner->m_entries) formats.push_back(entry.formatEtc);
  return ::SHCreateStdEnumFmtEtc((UINT)formats.size(), formats.data(), ppEnum);
}
