// The native half of the local-time seam, for the sanitizer build off Windows.
#include "text/format/localtime64.h"

bool LocalTime64(int64_t seconds, std::tm* out) {
  if (seconds < 0) return false;  // as the Windows runtime
  std::time_t t = (std::time_t)seconds;
  return localtime_r(&t, out) != nullptr;
}
