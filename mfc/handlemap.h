// Maps from Windows handles to their wrapper objects. Permanent objects
// (attached by their owners) are seen by every thread; temporary objects,
// made by FromHandle for handles without one, belong to the asking thread.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "mfc/threadstate.h"

class CObject;

class CHandleMap {
 public:
  // newTemp wraps a handle in a new temporary object; clearTemp takes the
  // handle out of one again, so that deleting it frees nothing.
  CHandleMap(AfxHandleKind kind, CObject* (*newTemp)(void* h), void (*clearTemp)(CObject* p));
  CHandleMap(const CHandleMap&) = delete;
  CHandleMap& operator=(const CHandleMap&) = delete;

  CObject* LookupPermanent(void* h) const;
  CObject* LookupTemporary(void* h) const;
  void SetPermanent(void* h, CObject* p);
  void RemoveHandle(void* h);  // permanent entry, and this thread's temporary
  CObject* FromHandle(void* h);

  // Frees the temporaries of one thread's map of this kind.
  static void DeleteTemps(AfxHandleKind kind, std::unordered_map<void*, CObject*>& temps);

 private:
  AfxHandleKind m_kind;
  CObject* (*m_newTemp)(void*);
  void (*m_clearTemp)(CObject*);
  mutable SRWLOCK m_lock = SRWLOCK_INIT;
  std::unordered_map<void*, CObject*> m_permanent;
};

// The map of one wrapper class T whose handle member is M: temporaries are
// new T objects holding the handle.
template <class T, class H, H T::*M>
CHandleMap& AfxHandleMapOf(AfxHandleKind kind) {
  static CHandleMap map(
      kind,
      [](void* h) -> CObject* {
        T* p = new T;
        p->*M = (H)h;
        return p;
      },
      [](CObject* p) { static_cast<T*>(p)->*M = nullptr; });
  return map;
}

// Attach and Detach of a wrapper: the handle member and the permanent entry.
template <class T, class H>
BOOL AfxAttachHandle(CHandleMap& map, T* pObject, H& member, H h) {
  if (!h || member) return FALSE;
  member = h;
  map.SetPermanent(h, pObject);
  return TRUE;
}

template <class T, class H>
H AfxDetachHandle(CHandleMap& map, T* pObject, H& member) {
  H h = member;
  if (h) {
    if (map.LookupPermanent(h) == pObject) map.RemoveHandle(h);
    member = nullptr;
  }
  return h;
}

CHandleMap& afxMapHWND();
CHandleMap& afxMapHDC();
CHandleMap& afxMapHGDIOBJ();
CHandleMap& afxMapHMENU();
CHandleMap& afxMapHIMAGELIST();
