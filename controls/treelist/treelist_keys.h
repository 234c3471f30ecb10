// Keyboard and sorting of the tree-list: the entry points the window
// procedure calls, the extended-style bits only they read, and the seams
// through which tests reach the process-wide type-ahead state.
#pragma once

#include "controls/treelist/treelist_data.h"

// Extended style bits of the keyboard.
const DWORD TLS_EX_TABTOPARENT = 0x00000040;  // Tab hands the focus to the parent
const DWORD TLS_EX_NOTYPEAHEAD = 0x00400000;
const DWORD TLS_EX_CTRLHOMEEND = 0x10000000;  // Ctrl+Home/End move the caret

// Selection flag beside the action: the item was selected already.
const UINT kTLSelectAgain = 0x800000;

// TVM_SORTCHILDREN, TVM_SORTCHILDRENCB and TLM_SORTCHILDRENEX; they take the
// lock themselves.
LRESULT TreeListOnSortMessage(TreeListData* data, UINT msg, WPARAM recurse, LPARAM lParam);
// Expect the lock held; it is left while callbacks run.
LRESULT TreeListSortChildren(TreeListData* data, WPARAM recurse, UINT_PTR parent);
LRESULT TreeListSortChildrenCB(TreeListData* data, WPARAM recurse, const TVSORTCB* sort);
LRESULT TreeListSortChildrenEx(TreeListData* data, WPARAM recurse, const TLSORTCBEX* sort);

// The display position a caret move lands on in a row whose merge bits
// join columns: the start of the span, or moving right the one after it.
int TreeListMergedSpan(TreeListData* data, TLHandle item, int pos, int prevPos);

// Type-ahead, one state for the process.
typedef DWORD (*TreeListTickSource)();
void TreeListResetTypeAhead();
// TVM_GETISEARCHSTRINGA: the characters of a running search (upper case)
// copied to buffer when given, terminated; their count, 0 when none runs.
LRESULT TreeListGetISearchString(char* buffer);
// NULL restores GetTickCount; the old source comes back (NULL for GetTickCount).
TreeListTickSource TreeListSetTickSource(TreeListTickSource source);
