#include "text/format/localtime64.h"

bool LocalTime64(int64_t seconds, std::tm* out) {
  if (seconds < 0) return false;
  __time64_t t = seconds;
  const std::tm* tm = _localtime64(&t);  // the runtime keeps one per thread
  if (!tm) return false;
  *out = *tm;
  return true;
}
