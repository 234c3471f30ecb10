// CRegKeyStack: multi-string values as CTextList items.
#include "system/regkeystack.h"
#include "text/textlist/textlist.h"

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

bool CRegKeyStack::SetTextList(const CTextList& list, const char* pszName, int nFirst, int nEnd) {
  char* p = nullptr;
  list.JoinMultiString(nFirst, nEnd, &p);
  bool bOk = SetMultiString(p, pszName);
  delete[] p;
  return bOk;
}
