#include "mfc/threadstate.h"

#include "mfc/handlemap.h"

AFX_THREAD_STATE::~AFX_THREAD_STATE() {
  for (int k = 0; k < AfxHandleKinds; ++k) DeleteTempMap((AfxHandleKind)k);
  if (m_hHookOldCbtFilter) UnhookWindowsHookEx(m_hHookOldCbtFilter);
}

void AFX_THREAD_STATE::DeleteTempMap(AfxHandleKind kind) {
  if (!m_tempMaps[kind].empty()) CHandleMap::DeleteTemps(kind, m_tempMaps[kind]);
}

namespace {
// The state lives in a fiber-local slot whose callback frees it when its
// thread ends: a thread_local object would be destroyed after its storage
// is gone under this runtime.
void WINAPI FreeThreadState(void* p) { delete static_cast<AFX_THREAD_STATE*>(p); }

DWORD StateSlot() {
  static DWORD slot = FlsAlloc(FreeThreadState);
  return slot;
}
}  // namespace

AFX_THREAD_STATE* AfxGetThreadState() {
  DWORD slot = StateSlot();
  auto* p = static_cast<AFX_THREAD_STATE*>(FlsGetValue(slot));
  if (!p) {
    p = new AFX_THREAD_STATE;
    FlsSetValue(slot, p);
  }
  return p;
}

void AfxLockTempMaps() { ++AfxGetThreadState()->m_nTempMapLock; }

BOOL AfxUnlockTempMaps(BOOL bDeleteTemps) {
  AFX_THREAD_STATE* s = AfxGetThreadState();
  if (s->m_nTempMapLock > 0 && --s->m_nTempMapLock == 0) {
    if (bDeleteTemps)
      for (int k = 0; k < AfxHandleKinds; ++k) s->DeleteTempMap((AfxHandleKind)k);
    return TRUE;
  }
  return s->m_nTempMapLock == 0;
}
