// COleDataSource: data offered to OLE drag and drop (or any other taker of an
// IDataObject), one global-memory block per clipboard format; the source
// owns the blocks until Empty or its end. COleDropSource decides when a drag
// starts, drops or is cancelled.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <vector>

#include "mfc/geometry.h"
#include "mfc/msgmap.h"

class CWnd;

// IUnknown of an interface object that lives inside its owner: counted, but
// never deleting itself.
template <class I>
struct CInnerInterface : I {
  explicit CInnerInterface(REFIID iid) : m_iid(iid) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == m_iid) {
      *ppv = static_cast<I*>(this);
      ++m_nRefs;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
  STDMETHODIMP_(ULONG) Release() override { return --m_nRefs; }

  const IID& m_iid;
  ULONG m_nRefs = 0;
};

// The effect of a drop (DROPEFFECT_COPY, _MOVE, _LINK or _NONE).
typedef DWORD DROPEFFECT;

class COleDropSource : public CCmdTarget {
 public:
  COleDropSource();
  ~COleDropSource() override = default;

  // Waits, with the mouse captured, until the mouse leaves m_rectStartDrag
  // or the drag delay has passed; FALSE when a click or Escape ended it.
  // The button held now drops, the other one cancels.
  virtual BOOL OnBeginDrag(CWnd* pWnd);
  virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
  virtual SCODE GiveFeedback(DROPEFFECT dropEffect);

  IDropSource* GetDropSource() { return &m_xDropSource; }

  CRect m_rectStartDrag;  // null: the drag starts at once
  BOOL m_bDragStarted = FALSE;
  DWORD m_dwButtonDrop = 0;
  DWORD m_dwButtonCancel = 0;

 private:
  struct XDropSource : CInnerInterface<IDropSource> {
    XDropSource() : CInnerInterface(IID_IDropSource) {}
    COleDropSource* m_pOwner = nullptr;
    STDMETHODIMP QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    STDMETHODIMP GiveFeedback(DWORD dwEffect) override;
  } m_xDropSource;
};

class COleDataSource : public CCmdTarget {
 public:
  COleDataSource();
  ~COleDataSource() override;  // frees the cached blocks

  // Offers hGlobal as cfFormat in global memory, for the aspect that
  // lpFormatEtc names (else DVASPECT_CONTENT); the source owns the block now.
  void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
  // Runs an OLE drag of the data; the effect that the drop target chose.
  // Without a rectangle the drag starts once the mouse moved a little.
  DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                        LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);
  // Frees every cached block.
  void Empty();

  IDataObject* GetDataObject() { return &m_xDataObject; }

 private:
  struct Entry {
    FORMATETC formatEtc;
    STGMEDIUM stgMedium;
  };
  const Entry* Find(const FORMATETC* pFormatEtc, HRESULT* phr) const;

  struct XDataObject : CInnerInterface<IDataObject> {
    XDataObject() : CInnerInterface(IID_IDataObject) {}
    COleDataSource* m_pOwner = nullptr;
    STDMETHODIMP GetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) override;
    STDMETHODIMP GetDataHere(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) override;
    STDMETHODIMP QueryGetData(FORMATETC* pFormatEtc) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* pFormatEtcIn, FORMATETC* pFormatEtcOut) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
  } m_xDataObject;

  std::vector<Entry> m_entries;
};
