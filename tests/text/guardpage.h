// Test helper: memory whose end touches an inaccessible page, so that a
// routine reading past the end of a text there faults at once.
#pragma once

#include <cstddef>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

class GuardedBlock {
 public:
  GuardedBlock() {
#ifdef _WIN32
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    page_ = si.dwPageSize;
    base_ = (char*)VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
#else
    page_ = (size_t)sysconf(_SC_PAGESIZE);
    base_ = (char*)mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    mprotect(base_ + page_, page_, PROT_NONE);
#endif
  }
  ~GuardedBlock() {
#ifdef _WIN32
    VirtualFree(base_, 0, MEM_RELEASE);
#else
    munmap(base_, 2 * page_);
#endif
  }
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;

  // Places the bytes so that the last one is the last accessible byte.
  template <class C>
  const C* AtEnd(const C* data, size_t count) {
    char* p = base_ + page_ - count * sizeof(C);
    std::memcpy(p, data, count * sizeof(C));
    return (const C*)p;
  }

 private:
  size_t page_ = 0;
  char* base_ = nullptr;
};
