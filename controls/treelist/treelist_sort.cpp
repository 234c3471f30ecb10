// Sorting an item's children in place: by text, by the Windows compare
// callback, or by the control's six-argument callback. The busy flag keeps
// inserts, deletes and moves out while the callbacks run without the lock.
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "controls/treelist/treelist_keys.h"

namespace {

enum SortKind { kByText, kByCallback, kByCallbackEx };

struct SortEntry {
  TLHandle handle;
  LPARAM param;
  const char* text;
};

struct SortRequest {
  SortKind kind;
  PFNTVCOMPARE compare;
  TreeListSortProc compareEx;
  LPARAM lParam;
};

// Quicksort with the middle element as pivot. Both scans stop on keys equal
// to the pivot, so that few distinct keys cost n log n compares, and both
// are bounded by the range, so that no answer of a callback (inconsistent,
// random) moves them outside it: the result is always a permutation.
template <typename Compare>
void QuickSort(SortEntry* a, int n, Compare compare) {
  struct Range {
    int lo, hi;
  };
  Range pending[64];  // the larger parts; each at most half of its parent
  int depth = 0;
  int lo = 0, hi = n - 1;
  for (;;) {
    while (hi > lo) {
      int mid = lo + (hi - lo) / 2;
      std::swap(a[lo], a[mid]);
      const SortEntry pivot = a[lo];
      int i = lo, j = hi + 1;
      for (;;) {
        while (++i <= hi && compare(a[i], pivot) < 0) {
        }
        while (--j > lo && compare(a[j], pivot) > 0) {
        }
        if (i >= j) break;
        std::swap(a[i], a[j]);
      }
      std::swap(a[lo], a[j]);
      if (j - lo < hi - j) {
        if (hi - j > 1) pending[depth++] = {j + 1, hi};
        hi = j - 1;
      } else {
        if (j - lo > 1) pending[depth++] = {lo, j - 1};
        lo = j + 1;
      }
    }
    if (depth == 0) break;
    --depth;
    lo = pending[depth].lo;
    hi = pending[depth].hi;
  }
}

TLHandle FirstChild(TreeListData* data, UINT_PTR parent) {
  if (parent == (UINT_PTR)TVI_ROOT) return data->firstRoot;
  TreeListItem* item = TreeListLookup(data, parent);
  return item ? item->firstChild : 0;
}

// Sorts one parent's children; the lock is held on entry and exit.
void SortLevel(TreeListData* data, UINT_PTR parent, const SortRequest& request) {
  std::vector<SortEntry> entries;
  for (TLHandle h = FirstChild(data, parent); h; h = data->items[h]->nextSibling)
    entries.push_back({h, data->items[h]->lParam, nullptr});
  if (entries.size() < 2) return;
  int n = (int)entries.size();
  HWND hwnd = data->window;
  if (request.kind == kByText) {
    // Callback texts are asked for once each and kept; stored texts are read
    // afterwards, under the lock that the compares keep.
    std::vector<char*> copies;
    for (SortEntry& e : entries) {
      TreeListItem* item = TreeListLookup(data, e.handle);
      if (!item || !(item->callbackFlags & kTLCallbackText)) continue;
      UINT length = 1;
      const char* text = "";
      if (!TreeListGetItemDispInfo(data, item, e.handle, TVIF_TEXT, nullptr, &length, &text)) text = "";
      char* copy = _strdup(text ? text : "");
      if (copy) copies.push_back(copy);
      e.text = copy ? copy : "";
    }
    for (SortEntry& e : entries) {
      if (e.text) continue;
      TreeListItem* item = TreeListLookup(data, e.handle);
      e.text = item && item->text ? item->text : "";
    }
    QuickSort(entries.data(), n, [](const SortEntry& x, const SortEntry& y) { return _stricmp(x.text, y.text); });
    for (char* copy : copies) free(copy);
  } else {
    TreeListUnlocked unlocked(data);
    if (request.kind == kByCallback) {
      PFNTVCOMPARE compare = request.compare;
      LPARAM lParam = request.lParam;
      QuickSort(entries.data(), n,
                [=](const SortEntry& x, const SortEntry& y) { return compare(x.param, y.param, lParam); });
    } else {
      TreeListSortProc compare = request.compareEx;
      LPARAM lParam = request.lParam;
      QuickSort(entries.data(), n, [=](const SortEntry& x, const SortEntry& y) {
        return compare(hwnd, (HTREEITEM)(UINT_PTR)x.handle, (HTREEITEM)(UINT_PTR)y.handle, x.param, y.param, lParam);
      });
    }
  }
  // The busy flag kept every child in place: relink them in the new order.
  for (int i = 0; i < n; ++i) {
    TreeListItem* item = data->items[entries[i].handle];
    item->prevSibling = i > 0 ? entries[i - 1].handle : 0;
    item->nextSibling = i + 1 < n ? entries[i + 1].handle : 0;
  }
  if (parent == (UINT_PTR)TVI_ROOT) {
    data->firstRoot = entries[0].handle;
    data->lastRoot = entries[n - 1].handle;
  } else {
    TreeListItem* p = data->items[parent];
    p->firstChild = entries[0].handle;
    p->lastChild = entries[n - 1].handle;
  }
}

LRESULT Sort(TreeListData* data, WPARAM recurse, UINT_PTR parent, const SortRequest& request) {
  if (parent != (UINT_PTR)TVI_ROOT && !TreeListLookup(data, parent)) return 0;
  if (request.kind == kByCallback && !request.compare) return 0;
  if (request.kind == kByCallbackEx && !request.compareEx) return 0;
  // A sort asked for from inside a compare, an insert or a delete would
  // relink children that are being walked.
  if (data->busy) return 0;
  // A single child: its children are the ones to order.
  UINT_PTR level = parent;
  for (;;) {
    TLHandle first = FirstChild(data, level);
    if (!first) return 1;
    if (data->items[first]->nextSibling) break;
    level = first;
  }
  data->busy = 1;
  // Every level that has children, nested ones first; each parent's list is
  // independent of the others, so the order of the sorts does not matter.
  std::vector<UINT_PTR> parents;
  parents.push_back(level);
  if (recurse) {
    std::vector<TLHandle> walk;
    for (TLHandle h = FirstChild(data, level); h; h = data->items[h]->nextSibling) walk.push_back(h);
    while (!walk.empty()) {
      TLHandle h = walk.back();
      walk.pop_back();
      TreeListItem* item = data->items[h];
      if (!item->firstChild) continue;
      parents.push_back(h);
      for (TLHandle c = item->firstChild; c; c = data->items[c]->nextSibling) walk.push_back(c);
    }
  }
  for (size_t i = parents.size(); i-- > 0;) SortLevel(data, parents[i], request);
  data->busy = 0;
  TreeListItem* shown = level == (UINT_PTR)TVI_ROOT ? nullptr : TreeListLookup(data, level);
  if (level == (UINT_PTR)TVI_ROOT) {
    TreeListRebuildRows(data, 0);
  } else if (shown && shown->row && (shown->state & TVIS_EXPANDED)) {
    TreeListRebuildRows(data, (TLHandle)level);
  } else {
    return 1;
  }
  if ((data->style & TVS_SHOWSELALWAYS) && TreeListLookup(data, data->caretItem))
    TreeListEnsureVisible(data, data->caretItem, data->caretColumn);
  return 1;
}

}  // namespace

LRESULT TreeListSortChildren(TreeListData* data, WPARAM recurse, UINT_PTR parent) {
  SortRequest request = {kByText, nullptr, nullptr, 0};
  return Sort(data, recurse, parent, request);
}

LRESULT TreeListSortChildrenCB(TreeListData* data, WPARAM recurse, const TVSORTCB* sort) {
  if (!sort) return 0;
  SortRequest request = {kByCallback, sort->lpfnCompare, nullptr, sort->lParam};
  return Sort(data, recurse, (UINT_PTR)sort->hParent, request);
}

LRESULT TreeListSortChildrenEx(TreeListData* data, WPARAM recurse, const TLSORTCBEX* sort) {
  if (!sort) return 0;
  SortRequest request = {kByCallbackEx, nullptr, sort->lpfnCompare, sort->lParam};
  return Sort(data, recurse, (UINT_PTR)sort->hParent, request);
}

LRESULT TreeListOnSortMessage(TreeListData* data, UINT msg, WPARAM recurse, LPARAM lParam) {
  TreeListLocked lock(data);
  LRESULT result;
  if (msg == TVM_SORTCHILDREN)
    result = TreeListSortChildren(data, recurse, (UINT_PTR)lParam);
  else if (msg == TVM_SORTCHILDRENCB)
    result = TreeListSortChildrenCB(data, recurse, (const TVSORTCB*)lParam);
  else
    result = TreeListSortChildrenEx(data, recurse, (const TLSORTCBEX*)lParam);
  return result;
}
