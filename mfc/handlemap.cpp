#include "mfc/handlemap.h"

#include "mfc/object.h"

namespace {
// Each kind's way to clear a temporary, registered by its map.
void (*g_clearTemp[AfxHandleKinds])(CObject*);
}  // namespace

CHandleMap::CHandleMap(AfxHandleKind kind, CObject* (*newTemp)(void*), void (*clearTemp)(CObject*))
    : m_kind(kind), m_newTemp(newTemp), m_clearTemp(clearTemp) {
  g_clearTemp[kind] = clearTemp;
}

CObject* CHandleMap::LookupPermanent(void* h) const {
  AcquireSRWLockShared(&m_lock);
  auto it = m_permanent.find(h);
  CObject* p = it == m_permanent.end() ? nullptr : it->second;
  ReleaseSRWLockShared(&m_lock);
  return p;
}

CObject* CHandleMap::LookupTemporary(void* h) const {
  auto& temps = AfxGetThreadState()->m_tempMaps[m_kind];
  auto it = temps.find(h);
  return it == temps.end() ? nullptr : it->second;
}

void CHandleMap::SetPermanent(void* h, CObject* p) {
  AcquireSRWLockExclusive(&m_lock);
  m_permanent[h] = p;
  ReleaseSRWLockExclusive(&m_lock);
}

void CHandleMap::RemoveHandle(void* h) {
  AcquireSRWLockExclusive(&m_lock);
  m_permanent.erase(h);
  ReleaseSRWLockExclusive(&m_lock);
  auto& temps = AfxGetThreadState()->m_tempMaps[m_kind];
  auto it = temps.find(h);
  if (it != temps.end()) {
    m_clearTemp(it->second);
    delete it->second;
    temps.erase(it);
  }
}

CObject* CHandleMap::FromHandle(void* h) {
  if (!h) return nullptr;
  if (CObject* p = LookupPermanent(h)) return p;
  auto& temps = AfxGetThreadState()->m_tempMaps[m_kind];
  CObject*& slot = temps[h];
  if (!slot) slot = m_newTemp(h);
  return slot;
}

void CHandleMap::DeleteTemps(AfxHandleKind kind, std::unordered_map<void*, CObject*>& temps) {
  // A destructor may reach the map again, so the map is emptied first.
  std::unordered_map<void*, CObject*> old;
  old.swap(temps);
  for (auto& e : old) {
    g_clearTemp[kind](e.second);
    delete e.second;
  }
}
