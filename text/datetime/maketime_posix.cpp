// The native half of the conversion seam, for the sanitizer build off Windows.
#include "text/datetime/maketime.h"

bool UtcSecondsFromFields(const std::tm& fields, int64_t* seconds) {
  std::tm copy = fields;  // the runtime normalises in place
  std::time_t t = timegm(&copy);
  if (t == (std::time_t)-1) return false;
  *seconds = (int64_t)t;
  return true;
}

bool LocalSecondsFromFields(const std::tm& fields, int64_t* seconds) {
  std::tm copy = fields;
  std::time_t t = mktime(&copy);
  if (t == (std::time_t)-1) return false;
  *seconds = (int64_t)t;
  return true;
}
