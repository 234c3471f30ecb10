#include "mfc/sync.h"

CSyncObject::~CSyncObject() {
  if (m_hObject) ::CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD dwTimeout) { return ::WaitForSingleObject(m_hObject, dwTimeout) == WAIT_OBJECT_0; }

CSemaphore::CSemaphore(LONG lInitialCount, LONG lMaxCount, LPCSTR pstrName, LPSECURITY_ATTRIBUTES lpsaAttributes) {
  m_hObject = ::CreateSemaphoreA(lpsaAttributes, lInitialCount, lMaxCount, pstrName);
}

CMutex::CMutex(BOOL bInitiallyOwn, LPCSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute) {
  m_hObject = ::CreateMutexA(lpsaAttribute, bInitiallyOwn, lpszName);
}

BOOL CMutex::Lock(DWORD dwTimeout) {
  DWORD r = ::WaitForSingleObject(m_hObject, dwTimeout);
  return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}
