// The process-wide cache of menu bitmaps, their sources' DCs and toolbar
// resources, ordered by hash and guarded by a semaphore.
#include <cstdlib>

#include "system/arrayorder.h"
#include "system/recordptrarray.h"
#include "ui/buttonimage/menubitmap.h"

namespace {
HANDLE g_semaphore = nullptr;
CRecordPtrArray* g_records = nullptr;
bool g_exitRegistered = false;

struct Lock {
  Lock() { WaitForSingleObject(g_semaphore, INFINITE); }
  ~Lock() { ReleaseSemaphore(g_semaphore, 1, nullptr); }
};

bool SameKey(const MenuBitmapRecord* a, const MenuBitmapRecord* b) {
  return a->hash == b->hash && a->kind == b->kind && a->x == b->x && a->y == b->y && a->width == b->width &&
         a->height == b->height && a->source == b->source;
}

const unsigned kHashOffset = offsetof(MenuBitmapRecord, hash);
}  // namespace

void* FindMenuBitmap(const MenuBitmapRecord* key) {
  if (!g_semaphore || !g_records || !key) return nullptr;
  Lock lock;
  unsigned i = g_records->BSearchInt(key->hash, 0, g_records->m_nCount, kHashOffset, ARRAY_UNSIGNED | ARRAY_FIRST);
  for (; i != ARRAY_NONE && i < g_records->m_nCount; i++) {
    auto* record = static_cast<const MenuBitmapRecord*>(g_records->m_ppRecords[i]);
    if (record->hash != key->hash) break;
    if (SameKey(record, key)) return record->handle;
  }
  return nullptr;
}

void AddMenuBitmap(const MenuBitmapRecord* record) {
  if (!record) return;
  if (!g_semaphore) {
    g_semaphore = CreateSemaphoreA(nullptr, 1, 0x7FFFFFFF, nullptr);
    if (!g_semaphore) return;
  }
  Lock lock;
  if (!g_records) g_records = new CRecordPtrArray(sizeof(MenuBitmapRecord));
  if (!g_exitRegistered) g_exitRegistered = std::atexit(FreeMenuBitmaps) == 0;
  unsigned at = g_records->BSearchInt(record->hash, 0, g_records->m_nCount, kHashOffset,
                                      ARRAY_UNSIGNED | ARRAY_AFTER_LAST | ARRAY_INSERT_POS);
  g_records->InsertAt(record, at == ARRAY_NONE ? g_records->m_nCount : at, 1);
}

void FreeMenuBitmaps() {
  if (!g_semaphore) return;
  Lock lock;
  if (!g_records) return;
  // The DCs first: a bitmap selected into a DC cannot be deleted.
  for (unsigned i = 0; i < g_records->m_nCount; i++) {
    auto* record = static_cast<MenuBitmapRecord*>(g_records->m_ppRecords[i]);
    if (record->kind == kMenuBitmapDC) DeleteDC(static_cast<HDC>(record->handle));
  }
  for (unsigned i = 0; i < g_records->m_nCount; i++) {
    auto* record = static_cast<MenuBitmapRecord*>(g_records->m_ppRecords[i]);
    if (record->kind == kMenuBitmapCut) DeleteObject(static_cast<HBITMAP>(record->handle));
  }
  delete g_records;
  g_records = nullptr;
}

int GetMenuBitmapCount() {
  if (!g_semaphore || !g_records) return 0;
  Lock lock;
  return g_records ? (int)g_records->m_nCount : 0;
}
