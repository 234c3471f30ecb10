// CRegKeyStack: multi-string values as CTextList items.
#include "system/regkeystack.h"
#include "text/textlist.h"

bool CRegKeyStack::QueryTextList(CTextList& list, const char* pszName) {
  char* p;
  bool bOk = QueryValueAlloc(&p, pszName, REG_MULTI_SZ);
  list.RemoveAll();
  if (p) {
    list.AddSplit(0, p, -1);  // appended, one item per string
    delete[] p;
  }
  return bOk;
}
