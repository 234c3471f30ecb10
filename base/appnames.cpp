#include "base/appnames.h"

namespace {
CAppNames* g_pAppNames = nullptr;  // constant-initialised: safe for static application objects
}  // namespace

CAppNames* AfxGetAppNames() { return g_pAppNames; }

void AfxSetAppNames(CAppNames* pNames) { g_pAppNames = pNames; }
