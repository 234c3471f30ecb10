// CTreeWnd: dragging keys out of the key tree and dropping paths or files on
// the pane. Idle in the program (no drag style, no callbacks), kept whole for
// panes that set them.
#include <cstring>

#include "app/browser/treewnd.h"

#include <shellapi.h>

namespace {
const UINT kDragBitmap = 129;
}

void CTreeWnd::SetDropCallback(TreeWndDropAction action, LPARAM user) {
  m_dropAction = action;
  m_dropUser = user;
}

void CTreeWnd::SetDragCallbacks(TreeWndDropTest test, TreeWndDropPath drop, TreeWndDragOver over) {
  m_dropTest = test;
  m_dropPath = drop;
  m_dragOver = over;
}

void CTreeWnd::OnTreeBeginDrag(NMHDR* nm, LRESULT* result) {
  *result = 0;
  if (!(m_style & TWS_DROPFILES) || m_dragging) return;
  NMTREEVIEWA* tv = (NMTREEVIEWA*)nm;
  HTREEITEM item = tv->itemNew.hItem;
  char path[kTreeWndPathBuffer + 8];
  if (!GetItemPath(item, path, sizeof path)) return;
  if (m_ownDragImages)
    m_dragImages.DeleteImageList();
  else
    m_dragImages.Detach();
  m_ownDragImages = false;
  CImageList* image = m_tree.CreateDragImage(item, 0);
  if (image) {
    m_dragImages.Attach(image->Detach());
    delete image;
    m_ownDragImages = true;
  } else if (m_dragImages.Create(kDragBitmap, 95, 0, RGB(255, 255, 255))) {
    m_ownDragImages = true;
  }
  POINT pt;
  GetCursorPos(&pt);
  if (m_dragImages.GetSafeHandle()) {
    ImageList_BeginDrag(m_dragImages, 0, 20, 10);
    ImageList_DragEnter(nullptr, pt.x, pt.y);
  }
  m_dropKind = 0;
  m_dropTarget = 0;
  m_dropMode = 0;
  m_dropVerdict = -1;
  m_dropHotItem = nullptr;
  m_dropHotRow = -1;
  {
    size_t n = strlen(path);
    if (n > 0 && path[n - 1] == '\\') path[n - 1] = 0;
  }
  delete[] m_dragPath;
  m_dragPath = new char[strlen(path) + 1];
  strcpy(m_dragPath, path);
  const char* colon = strchr(m_dragPath, ':');
  m_dragDriveLength = colon ? (int)(colon - m_dragPath) + 1 : (int)strlen(m_dragPath);
  const char* slash = strrchr(m_dragPath, '\\');
  m_dragParentLength = slash ? (int)(slash - m_dragPath) + 1 : 0;
  m_dragPaths.RemoveAll();
  m_dragPaths.InsertString(m_dragPath);
  m_dragging = true;
  SetCapture();
}

void CTreeWnd::EvaluateDrag(int mode) {
  POINT pt;
  GetCursorPos(&pt);
  UINT_PTR target = 0;
  int kind = HitTest(pt.x, pt.y, &target, nullptr);
  if ((m_style & TWS_NODROP) && (kind == kHitTreeItem || kind == kHitEntryRow)) kind = kHitNothing;
  if (kind == m_dropKind && target == m_dropTarget && mode == m_dropMode) return;
  if (m_dropHotItem) m_tree.SendMessage(TLM_SETHOTITEM, 0, 0);
  if (m_dropHotRow >= 0) {
    HTREEITEM row = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, m_dropHotRow);
    if (row) m_list.SetItemState(row, 0, TVIS_DROPHILITED);
  }
  m_dropHotItem = nullptr;
  m_dropHotRow = -1;
  m_dropKind = kind;
  m_dropTarget = target;
  m_dropMode = mode;
  char targetPath[kTreeWndPathBuffer + 300] = "";
  int verdict = -1;
  if (kind == kHitTreeItem && target) {
    m_dropHotItem = (HTREEITEM)target;
    m_tree.SendMessage(TLM_SETHOTITEM, 0, (LPARAM)target);
    GetItemPath((HTREEITEM)target, targetPath, sizeof targetPath);
  } else if (kind == kHitEntryRow) {
    m_dropHotRow = (int)target;
    HTREEITEM row = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, m_dropHotRow);
    if (row) m_list.SetItemState(row, TVIS_DROPHILITED, TVIS_DROPHILITED);
    const TreeWndEntry* e =
        (unsigned)target < (unsigned)m_entries.count ? (TreeWndEntry*)m_entries.items[target] : nullptr;
    if (e && e->folder != kEntryItem)
      GetEntryPath((int)target, targetPath, sizeof targetPath);
    else
      lstrcpynA(targetPath, GetPath(), sizeof targetPath);
  }
  if ((kind == kHitTreeItem && target) || kind == kHitEntryRow) {
    size_t n = strlen(targetPath);
    if (n > 0 && targetPath[n - 1] == '\\') targetPath[n - 1] = 0;
    char parent[kTreeWndPathBuffer + 8];
    lstrcpynA(parent, m_dragPath ? m_dragPath : "", m_dragParentLength > 0 ? m_dragParentLength : 1);
    if (!m_dragPath || !lstrcmpiA(targetPath, m_dragPath) || !lstrcmpiA(targetPath, parent)) {
      verdict = -1;
    } else if (mode & 8) {
      verdict = 0;
    } else if (mode & 4) {
      verdict = 1;
    } else {
      int k = m_dragDriveLength;
      verdict =
          CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, targetPath, k, m_dragPath, k) == CSTR_EQUAL ? 1 : 0;
    }
  } else if (kind == kHitPathCombo && m_dragOver) {
    int r = m_dragOver(mode, target, m_dropUser);
    verdict = r == 1 ? 0 : r == 2 ? 1 : -1;
  }
  m_dropVerdict = verdict;
  SetCursorKind(verdict == -1 ? kTreeCursorNoDrop : verdict == 0 ? kTreeCursorCopy : kTreeCursorMove);
  ::SetCursor(m_cursor);
}

void CTreeWnd::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) {
    if (!(m_style & TWS_NOPATHBAR) && point.y < m_topHeight) ::SetCursor(m_cursors[kTreeCursorArrow]);
    return;
  }
  POINT pt;
  GetCursorPos(&pt);
  ImageList_DragMove(pt.x, pt.y);
  EvaluateDrag((flags & MK_SHIFT ? 4 : 0) | (flags & MK_CONTROL ? 8 : 0));
}

void CTreeWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (m_dragging && (key == VK_SHIFT || key == VK_CONTROL)) {
    EvaluateDrag(m_dropMode | (key == VK_SHIFT ? 4 : 8));
    return;
  }
  CWnd::OnKeyDown(key, repeat, flags);
}

void CTreeWnd::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  if (m_dragging && (key == VK_SHIFT || key == VK_CONTROL)) {
    EvaluateDrag(m_dropMode & ~(key == VK_SHIFT ? 4 : 8));
    return;
  }
  CWnd::OnKeyUp(key, repeat, flags);
}

void CTreeWnd::EndDrag(bool release) {
  m_dragging = false;
  ImageList_EndDrag();
  ImageList_DragLeave(nullptr);
  if (m_ownDragImages) m_dragImages.DeleteImageList();
  m_ownDragImages = false;
  if (release) ReleaseCapture();
  SetCursorKind(kTreeCursorArrow);
  if (m_dropHotItem) m_tree.SendMessage(TLM_SETHOTITEM, 0, 0);
  if (m_dropHotRow >= 0) {
    HTREEITEM row = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, m_dropHotRow);
    if (row) m_list.SetItemState(row, 0, TVIS_DROPHILITED);
  }
  m_dropHotItem = nullptr;
  m_dropHotRow = -1;
}

// Another window took the mouse (a menu, a box, a switch away): the drag
// ends without a drop, or it would never end and no drag could start again.
LRESULT CTreeWnd::OnCaptureChanged(WPARAM, LPARAM newOwner) {
  if (m_dragging && (HWND)newOwner != m_hWnd) EndDrag(false);
  return 0;
}

void CTreeWnd::OnLButtonUp(UINT flags, CPoint point) {
  if (!m_dragging) return CWnd::OnLButtonUp(flags, point);
  int verdict = m_dropVerdict;
  EndDrag();
  POINT pt;
  GetCursorPos(&pt);
  UINT_PTR target = 0;
  int kind = HitTest(pt.x, pt.y, &target, nullptr);
  if (kind == kHitNothing || ((m_style & TWS_NODROP) && (kind == kHitTreeItem || kind == kHitEntryRow))) return;
  char path[kTreeWndPathBuffer + 300] = "";
  if (kind == kHitTreeItem && target)
    GetItemPath((HTREEITEM)target, path, sizeof path);
  else if (kind == kHitEntryRow)
    GetEntryPath((int)target, path, sizeof path);
  else if (kind == kHitPathCombo && m_dropPath)
    m_dropPath(pt, path, kTreeWndPathBuffer, m_dropUser);
  DropOnPath(path, verdict);
}

void CTreeWnd::OnDropFiles(HDROP drop) {
  if (m_dragging) {
    DragFinish(drop);
    return;
  }
  POINT pt;
  DragQueryPoint(drop, &pt);
  ClientToScreen(&pt);
  UINT_PTR target = 0;
  int kind = HitTest(pt.x, pt.y, &target, nullptr);
  if (kind == kHitNothing || ((m_style & TWS_NODROP) && (kind == kHitTreeItem || kind == kHitEntryRow))) {
    DragFinish(drop);
    return;
  }
  char path[kTreeWndPathBuffer + 300] = "";
  if (kind == kHitTreeItem && target)
    GetItemPath((HTREEITEM)target, path, sizeof path);
  else if (kind == kHitEntryRow)
    GetEntryPath((int)target, path, sizeof path);
  m_dragPaths.RemoveAll();
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  char file[kTreeWndMaxPath + 1];
  for (UINT i = 0; i < count; ++i)
    if (DragQueryFileA(drop, i, file, sizeof file)) m_dragPaths.InsertString(file);
  DropOnPath(path, 0);
  DragFinish(drop);
}

int CTreeWnd::DropOnPath(const char* target, int verdict) {
  if (!m_dropAction || verdict == -1) return 0;
  char cut[kTreeWndPathBuffer + 300];
  lstrcpynA(cut, target ? target : "", sizeof cut);
  char* slash = strrchr(cut, '\\');
  if (slash) slash[1] = 0;
  int r = m_dropAction(&m_dragPaths, cut, verdict, m_dropUser);
  if ((r && m_path && !lstrcmpiA(cut, m_path)) || r == 2) ShowPath(nullptr, nullptr, kShowFillThread, kShowNoHistory);
  return r;
}
