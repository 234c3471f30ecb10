#include "text/datetime/maketime.h"

bool UtcSecondsFromFields(const std::tm& fields, int64_t* seconds) {
  std::tm copy = fields;  // the runtime normalises in place
  __time64_t t = _mkgmtime64(&copy);
  if (t == -1) return false;
  *seconds = t;
  return true;
}

bool LocalSecondsFromFields(const std::tm& fields, int64_t* seconds) {
  std::tm copy = fields;
  __time64_t t = _mktime64(&copy);
  if (t == -1) return false;
  *seconds = t;
  return true;
}
