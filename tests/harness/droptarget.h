// A drop target for drag tests: it takes every drag as a copy, counts the
// drops and hands each drop's data to the test's OnDrop.
#pragma once

#include <windows.h>
#include <ole2.h>

class CopyDropTarget : public IDropTarget {
 public:
  int m_nDrops = 0;

  virtual void OnDrop(IDataObject* data) = 0;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
      *ppv = this;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The tests own the target; OLE's references do not decide its life.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* pdwEffect) override {
    *pdwEffect &= DROPEFFECT_COPY;
    return S_OK;
  }
  STDMETHODIMP DragOver(DWORD, POINTL, DWORD* pdwEffect) override {
    *pdwEffect &= DROPEFFECT_COPY;
    return S_OK;
  }
  STDMETHODIMP DragLeave() override { return S_OK; }
  STDMETHODIMP Drop(IDataObject* pData, DWORD, POINTL, DWORD* pdwEffect) override {
    ++m_nDrops;
    OnDrop(pData);
    *pdwEffect = DROPEFFECT_COPY;
    return S_OK;
  }
};
