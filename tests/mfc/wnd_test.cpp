// Window objects: creation, subclassing, handle maps across threads,
// auto-deleting objects, worker threads and painting.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "harness/window_util.h"
#include "mfc/mfc.h"

namespace {
// Deletes itself when its window is gone, and counts its deletions.
class CSelfDeletingWnd : public CWnd {
 public:
  explicit CSelfDeletingWnd(int* pDeleted) : m_pDeleted(pDeleted) {}
  ~CSelfDeletingWnd() override { ++*m_pDeleted; }

 protected:
  void PostNcDestroy() override { delete this; }

 private:
  int* m_pDeleted;
};

class CCharCountingEdit : public CEdit {
 public:
  int m_nChars = 0;

 protected:
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    ++m_nChars;
    CEdit::OnChar(nChar, nRepCnt, nFlags);  // the edit control still types it
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCharCountingEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

HWND MakeTopWindow(const char* cls = "STATIC") {
  return CreateWindowExA(0, cls, "top", WS_POPUP | WS_VISIBLE, 20, 20, 200, 120, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}
}  // namespace

TEST(Wnd, AutoDeletingObjectIsDeletedOnceWhicheverWayItsWindowGoes) {
  int deleted = 0;
  CSelfDeletingWnd* p = new CSelfDeletingWnd(&deleted);
  ASSERT_TRUE(p->CreateEx(0, nullptr, "a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HWND h = p->m_hWnd;
  DestroyWindow(h);  // destroyed from outside the object
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);

  // A class its window cannot be made of: no window, no WM_NCDESTROY, and
  // still exactly one deletion.
  p = new CSelfDeletingWnd(&deleted);
  EXPECT_FALSE(p->CreateEx(0, "NoSuchClass", "b", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(deleted, 2);

  // Deleting the object itself destroys the window without a second delete.
  int deleted2 = 0;
  p = new CSelfDeletingWnd(&deleted2);
  ASSERT_TRUE(p->CreateEx(0, nullptr, "c", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  h = p->m_hWnd;
  delete p;
  EXPECT_EQ(deleted2, 1);
  EXPECT_FALSE(IsWindow(h));
}

TEST(Wnd, SubclassedEditStillBehavesAsAnEdit) {
  HWND top = MakeTopWindow();
  HWND hEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 150, 20, top, (HMENU)10, nullptr, nullptr);
  WNDPROC original = (WNDPROC)GetWindowLongPtrA(hEdit, GWLP_WNDPROC);
  CCharCountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  EXPECT_EQ(CWnd::FromHandle(hEdit), &edit);
  for (int ch : {0x61, 0x62, 0xE4, 0xDF})  // a, b and, in code page 1252, ä and ß
    SendMessageA(hEdit, WM_CHAR, ch, 1);
  CString text;
  edit.GetWindowText(text);
  EXPECT_STREQ(text, "ab\xE4\xDF");
  EXPECT_EQ(edit.m_nChars, 4);
  edit.SetSel(1, 3);
  int from = 0, to = 0;
  edit.GetSel(from, to);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(to, 3);
  edit.ReplaceSel("X");
  edit.GetWindowText(text);
  EXPECT_STREQ(text, "aX\xDF");

  EXPECT_EQ(edit.UnsubclassWindow(), hEdit);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(hEdit, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
  SendMessageA(hEdit, WM_CHAR, 'z', 1);
  EXPECT_EQ(edit.m_nChars, 4) << "no longer ours";
  DestroyWindow(top);
}

TEST(Wnd, TemporaryObjectsBelongToTheirThread) {
  HWND top = MakeTopWindow();
  CWnd* mine = CWnd::FromHandle(top);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(CWnd::FromHandle(top), mine) << "one temporary per handle and thread";
  EXPECT_EQ(CWnd::FromHandlePermanent(top), nullptr);

  struct Shared {
    HWND top;
    CWnd* other = nullptr;
    std::atomic<int> step{0};
    bool otherStillValid = false;
  } shared;
  shared.top = top;
  auto worker = [](LPVOID p) -> UINT {
    Shared* s = static_cast<Shared*>(p);
    s->other = CWnd::FromHandle(s->top);
    s->step = 1;
    while (s->step != 2) Sleep(1);  // the main thread frees its temporaries now
    s->otherStillValid = s->other->m_hWnd == s->top && CWnd::FromHandle(s->top) == s->other;
    return 0;
  };
  CWinThread* t = AfxBeginThread(worker, &shared, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(t, nullptr);
  t->m_bAutoDelete = FALSE;
  t->ResumeThread();
  while (shared.step != 1) Sleep(1);
  EXPECT_NE(shared.other, mine) << "the other thread has its own temporary";
  CWnd::DeleteTempMap();
  shared.step = 2;
  WaitForSingleObject(t->m_hThread, 5000);
  EXPECT_TRUE(shared.otherStillValid) << "freeing this thread's temporaries leaves the other's alone";
  delete t;

  // A permanent object is the same for every thread.
  CWnd wnd;
  ASSERT_TRUE(wnd.Attach(top));
  struct Lookup {
    HWND hwnd;
    CWnd* seen;
  } lookup = {top, nullptr};
  t = AfxBeginThread(
      [](LPVOID p) -> UINT {
        Lookup* l = static_cast<Lookup*>(p);
        l->seen = CWnd::FromHandle(l->hwnd);
        return 0;
      },
      &lookup, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  t->m_bAutoDelete = FALSE;
  t->ResumeThread();
  WaitForSingleObject(t->m_hThread, 5000);
  delete t;
  EXPECT_EQ(lookup.seen, &wnd);
  wnd.Detach();
  DestroyWindow(top);
}

namespace {
const UINT WM_WORKDONE = WM_APP + 20;

class CReceiverWnd : public CWnd {
 public:
  int m_nReceived = 0;
  WPARAM m_wParam = 0;
  DWORD m_senderThread = 0;

 protected:
  afx_msg LRESULT OnWorkDone(WPARAM w, LPARAM l) {
    ++m_nReceived;
    m_wParam = w;
    m_senderThread = (DWORD)l;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReceiverWnd, CWnd)
  ON_MESSAGE(WM_WORKDONE, OnWorkDone)
END_MESSAGE_MAP()

struct WorkerArgs {
  HWND target;
  CWinThread* seenThread = nullptr;
};

UINT PostingWorker(LPVOID p) {
  WorkerArgs* args = static_cast<WorkerArgs*>(p);
  args->seenThread = AfxGetThread();
  ::PostMessageA(args->target, WM_WORKDONE, 42, (LPARAM)GetCurrentThreadId());
  return 7;
}
}  // namespace

TEST(Thread, WorkerPostsToAWindowAndEndsOnItsOwn) {
  CReceiverWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  WorkerArgs args = {wnd.m_hWnd};
  CWinThread* t = AfxBeginThread(PostingWorker, &args);
  ASSERT_NE(t, nullptr);
  DWORD id = t->m_nThreadID;
  for (int i = 0; i < 400 && !wnd.m_nReceived; ++i) PumpMessages(5);
  EXPECT_EQ(wnd.m_nReceived, 1);
  EXPECT_EQ(wnd.m_wParam, 42u);
  EXPECT_EQ(wnd.m_senderThread, id);
  EXPECT_NE(args.seenThread, nullptr) << "AfxGetThread inside the worker";

  // Kept object: the exit code is the procedure's result.
  t = AfxBeginThread(PostingWorker, &args, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  t->m_bAutoDelete = FALSE;
  t->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(t->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(t->m_hThread, &code);
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(args.seenThread, t);
  delete t;
  PumpMessages();
}

TEST(Sync, SemaphoreMutexAndCriticalSection) {
  CSemaphore sem(1, 0x7F000000);
  EXPECT_TRUE(sem.Lock(0));
  EXPECT_FALSE(sem.Lock(0)) << "taken";
  EXPECT_TRUE(sem.Unlock());
  EXPECT_TRUE(sem.Lock(0));

  CMutex mutex;
  {
    CSingleLock lock(&mutex, TRUE);
    EXPECT_TRUE(lock.IsLocked());
    bool otherGotIt = true;
    CWinThread* t = AfxBeginThread(
        [](LPVOID p) -> UINT {
          auto* args = static_cast<std::pair<CMutex*, bool*>*>(p);
          *args->second = args->first->Lock(0);
          return 0;
        },
        new std::pair<CMutex*, bool*>(&mutex, &otherGotIt), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    t->m_bAutoDelete = FALSE;
    t->ResumeThread();
    WaitForSingleObject(t->m_hThread, 5000);
    delete t;
    EXPECT_FALSE(otherGotIt);
  }
  EXPECT_TRUE(mutex.Lock(0)) << "released by the lock's scope";
  mutex.Unlock();

  CCriticalSection cs;
  EXPECT_TRUE(cs.Lock());
  EXPECT_TRUE(cs.Unlock());
}

namespace {
class CPaintedWnd : public CWnd {
 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, RGB(255, 255, 255));
    CBrush red(RGB(255, 0, 0));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush* oldBrush = dc.SelectObject(&red);
    CPen* oldPen = dc.SelectObject(&blue);
    dc.Rectangle(10, 10, 50, 30);  // blue frame, red inside
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    dc.Draw3dRect(60, 10, 20, 20, RGB(0, 255, 0), RGB(0, 0, 0));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

// The window's client area copied into a memory bitmap.
struct ClientPixels {
  CDC mem;
  CBitmap bmp;
  ClientPixels(CWnd* pWnd, int cx, int cy) {
    CClientDC dc(pWnd);
    mem.CreateCompatibleDC(&dc);
    bmp.CreateCompatibleBitmap(&dc, cx, cy);
    mem.SelectObject(&bmp);
    mem.BitBlt(0, 0, cx, cy, &dc, 0, 0, SRCCOPY);
  }
  COLORREF At(int x, int y) { return mem.GetPixel(x, y); }
};
}  // namespace

TEST(Gdi, PaintDCDrawingShowsInThePixels) {
  CPaintedWnd wnd;
  LPCSTR cls = AfxRegisterWndClass(0, nullptr, (HBRUSH)GetStockObject(BLACK_BRUSH));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(AfxRegisterWndClass(0, nullptr, (HBRUSH)GetStockObject(BLACK_BRUSH)), cls) << "registered once";
  ASSERT_TRUE(wnd.CreateEx(0, cls, "paint", WS_POPUP | WS_VISIBLE, 30, 30, 100, 50, nullptr, nullptr));
  wnd.UpdateWindow();
  PumpMessages(20);
  ClientPixels px(&wnd, 100, 50);
  EXPECT_EQ(px.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(px.At(10, 10), RGB(0, 0, 255)) << "pen";
  EXPECT_EQ(px.At(30, 20), RGB(255, 0, 0)) << "brush";
  EXPECT_EQ(px.At(60, 15), RGB(0, 255, 0)) << "3-D frame, top left";
  EXPECT_EQ(px.At(79, 15), RGB(0, 0, 0)) << "3-D frame, bottom right";
  EXPECT_EQ(px.At(70, 20), RGB(255, 255, 255)) << "inside the frame";
}

TEST(Gdi, DragRectInvertsOnlyTheFrameAndMovesIt) {
  CDC dc;
  CClientDC screen(nullptr);
  ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(&screen, 60, 60));
  dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 60, 60, RGB(0, 0, 0));
  CBrush white(RGB(255, 255, 255));
  CRect r1(10, 10, 40, 40), r2(12, 10, 42, 40);
  dc.DrawDragRect(&r1, CSize(2, 2), nullptr, CSize(0, 0), &white);
  EXPECT_EQ(dc.GetPixel(10, 20), RGB(255, 255, 255)) << "frame";
  EXPECT_EQ(dc.GetPixel(11, 20), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(12, 20), RGB(0, 0, 0)) << "inside stays";
  EXPECT_EQ(dc.GetPixel(20, 39), RGB(255, 255, 255));
  dc.DrawDragRect(&r2, CSize(2, 2), &r1, CSize(2, 2), &white);
  EXPECT_EQ(dc.GetPixel(10, 20), RGB(0, 0, 0)) << "old frame gone";
  EXPECT_EQ(dc.GetPixel(12, 20), RGB(255, 255, 255)) << "new frame";
  EXPECT_EQ(dc.GetPixel(41, 20), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(20, 10), RGB(255, 255, 255)) << "shared top edge stays drawn";
  dc.DrawDragRect(&r2, CSize(2, 2), nullptr, CSize(0, 0), &white);
  int lit = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) lit += dc.GetPixel(x, y) != RGB(0, 0, 0);
  EXPECT_EQ(lit, 0) << "drawing the same frame again takes it away";
  EXPECT_NE(CDC::GetHalftoneBrush(), nullptr);
  EXPECT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
}

TEST(Gdi, TemporaryWrappersFreeNothing) {
  HBRUSH h = CreateSolidBrush(RGB(1, 2, 3));
  CBrush* temp = CBrush::FromHandle(h);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ((HBRUSH)*temp, h);
  CGdiObject::DeleteTempMap();
  LOGBRUSH lb = {};
  EXPECT_EQ(GetObjectA(h, sizeof lb, &lb), (int)sizeof lb) << "still alive";
  EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
  {
    CBrush owner;
    owner.Attach(h);
    EXPECT_EQ(CBrush::FromHandle(h), &owner);
  }
  EXPECT_EQ(GetObjectA(h, sizeof lb, &lb), 0) << "deleted by its owner";
  CWnd* nothing = nullptr;
  EXPECT_EQ(nothing->GetSafeHwnd(), nullptr);
}

namespace {
// Beneath the wrapper: sees what the control still holds when its own
// WM_DESTROY handling starts.
WNDPROC g_treeProc;
HIMAGELIST g_normalAtDestroy, g_stateAtDestroy;
LRESULT CALLBACK TreeRecorder(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DESTROY) {
    g_normalAtDestroy = (HIMAGELIST)CallWindowProcA(g_treeProc, h, TVM_GETIMAGELIST, TVSIL_NORMAL, 0);
    g_stateAtDestroy = (HIMAGELIST)CallWindowProcA(g_treeProc, h, TVM_GETIMAGELIST, TVSIL_STATE, 0);
  }
  return CallWindowProcA(g_treeProc, h, msg, w, l);
}
}  // namespace

TEST(TreeCtrl, LeavesTheControlsOwnImageListsAndTakesBackFrameworkOnes) {
  HWND top = MakeTopWindow();
  AfxInitCommonControls(ICC_TREEVIEW_CLASSES);
  HWND hTree =
      CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 150, 100, top, (HMENU)5, nullptr, nullptr);
  g_treeProc = (WNDPROC)SetWindowLongPtrA(hTree, GWLP_WNDPROC, (LONG_PTR)TreeRecorder);
  CTreeCtrl tree;
  ASSERT_TRUE(tree.SubclassWindow(hTree));
  CImageList ours;
  ASSERT_TRUE(ours.Create(16, 16, ILC_COLOR32, 1, 1));
  tree.SetImageList(&ours, TVSIL_NORMAL);
  // A list without a framework object, as controls make for themselves.
  HIMAGELIST state = ImageList_Create(16, 16, ILC_COLOR32, 2, 1);
  ImageList_SetImageCount(state, 2);
  tree.SendMessage(TVM_SETIMAGELIST, TVSIL_STATE, (LPARAM)state);
  HTREEITEM a = tree.InsertItem("Alpha");
  HTREEITEM b = tree.InsertItem("Beta", 0, 0, a);
  EXPECT_EQ(tree.GetParentItem(b), a);
  EXPECT_EQ(tree.GetItemText(b), CString("Beta"));
  tree.SetItemData(b, 77);
  EXPECT_EQ(tree.GetItemData(b), 77u);
  EXPECT_TRUE(tree.ItemHasChildren(a));

  DestroyWindow(top);
  EXPECT_EQ(g_normalAtDestroy, nullptr) << "the framework's list was taken back";
  EXPECT_EQ(g_stateAtDestroy, state) << "the control's own list was left to it";
  EXPECT_EQ(tree.m_hWnd, nullptr);
  EXPECT_NE(ours.m_hImageList, nullptr) << "our list is still ours to delete";
  ImageList_Destroy(state);
}

TEST(RuntimeClass, KindsAndDynamicCreation) {
  CEdit edit;
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_FALSE(edit.IsKindOf(RUNTIME_CLASS(CButton)));
  EXPECT_STREQ(edit.GetRuntimeClass()->m_lpszClassName, "CEdit");
  CWnd* p = &edit;
  EXPECT_EQ(DYNAMIC_DOWNCAST(CEdit, p), &edit);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CDialog, p), nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CWnd)->CreateObject(), nullptr) << "CWnd is not dynamically creatable";
}

TEST(Time, LocalPartsAndInvalidDates) {
  CTime t(2024, 3, 5, 13, 7, 9);
  EXPECT_EQ(t.GetYear(), 2024);
  EXPECT_EQ(t.GetMonth(), 3);
  EXPECT_EQ(t.GetDay(), 5);
  EXPECT_EQ(t.GetHour(), 13);
  EXPECT_EQ(t.GetMinute(), 7);
  EXPECT_EQ(t.GetSecond(), 9);
  EXPECT_EQ(t.GetDayOfWeek(), 3) << "a Tuesday";
  EXPECT_STREQ(t.Format("%d.%m.%Y %H:%M"), "05.03.2024 13:07");
  EXPECT_EQ((t + CTimeSpan(1, 0, 0, 0)).GetDay(), 6);
  EXPECT_EQ(CTime(2024, 4, 31, 0, 0, 0).GetTime(), -1) << "31 April does not exist";
  FILETIME ft = {0xD53E8000, 0x019DB1DE};  // 1 January 1970
  EXPECT_EQ(CTime(ft).GetTime(), 0);
}
