// Answered messages whose behaviour is still to come (subtree selection,
// the focus cell): each answers the failure value its message promises.
#include "controls/treelist/treelist_data.h"

LRESULT TreeListOnItemMessage(TreeListData*, UINT msg, WPARAM, LPARAM) {
  (void)msg;
  return 0;
}
