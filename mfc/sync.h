// Synchronisation objects: CSemaphore, CMutex, CCriticalSection and
// CSingleLock.
#pragma once

#include <windows.h>

#include "mfc/object.h"

class CSyncObject : public CObject {
 public:
  ~CSyncObject() override;
  // TRUE when the object was acquired within the time-out.
  virtual BOOL Lock(DWORD dwTimeout = INFINITE);
  virtual BOOL Unlock() = 0;
  virtual BOOL Unlock(LONG lCount, LPLONG lpPrevCount = nullptr) { return TRUE; }
  operator HANDLE() const { return m_hObject; }

  HANDLE m_hObject = nullptr;

 protected:
  CSyncObject() = default;
};

class CSemaphore : public CSyncObject {
 public:
  explicit CSemaphore(LONG lInitialCount = 1, LONG lMaxCount = 1, LPCSTR pstrName = nullptr,
                      LPSECURITY_ATTRIBUTES lpsaAttributes = nullptr);
  BOOL Unlock() override { return Unlock(1, nullptr); }
  BOOL Unlock(LONG lCount, LPLONG lpPrevCount = nullptr) override {
    return ::ReleaseSemaphore(m_hObject, lCount, lpPrevCount);
  }
};

class CMutex : public CSyncObject {
 public:
  explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCSTR lpszName = nullptr, LPSECURITY_ATTRIBUTES lpsaAttribute = nullptr);
  BOOL Lock(DWORD dwTimeout = INFINITE) override;  // an abandoned mutex is acquired too
  BOOL Unlock() override { return ::ReleaseMutex(m_hObject); }
};

class CCriticalSection : public CSyncObject {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
  ~CCriticalSection() override { ::DeleteCriticalSection(&m_sect); }
  BOOL Lock() {
    ::EnterCriticalSection(&m_sect);
    return TRUE;
  }
  BOOL Lock(DWORD) override { return Lock(); }
  BOOL Unlock() override {
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
  }
  operator CRITICAL_SECTION*() { return &m_sect; }

  CRITICAL_SECTION m_sect;
};

// Holds one lock of a synchronisation object for a scope.
class CSingleLock {
 public:
  explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject) {
    if (bInitialLock) Lock();
  }
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  BOOL Lock(DWORD dwTimeout = INFINITE) {
    if (!m_bAcquired) m_bAcquired = m_pObject->Lock(dwTimeout);
    return m_bAcquired;
  }
  BOOL Unlock() {
    if (m_bAcquired) m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
  }
  BOOL IsLocked() const { return m_bAcquired; }

 private:
  CSyncObject* m_pObject;
  BOOL m_bAcquired = FALSE;
};
