// Checks of internal invariants that a later change could break. They are on
// where OSTROVA_CHECKS is defined (debug builds and the native sanitizer
// build) and cost nothing in release builds, where the condition is not run.
#pragma once

#if defined(OSTROVA_CHECKS)
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void CheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}
#define DEBUG_CHECK(condition) ((condition) ? (void)0 : CheckFailed(#condition, __FILE__, __LINE__))
#else
#define DEBUG_CHECK(condition) ((void)sizeof(!(condition)))
#endif
