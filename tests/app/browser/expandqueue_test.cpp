// The expansion queue and its thread, without a pane: the expander here
// records which thread filled which item and can hold the thread inside an item.
#include <gtest/gtest.h>

#include <vector>

#include "app/browser/expandqueue.h"

namespace {

HTREEITEM Item(int n) { return (HTREEITEM)(UINT_PTR)n; }

struct Recorder {
  ExpandQueue* queue = nullptr;
  HANDLE inside = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // an item is being filled
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // items may end
  CRITICAL_SECTION lock;
  std::vector<int> items;
  std::vector<DWORD> threads;
  LONG now = 0, most = 0;
  Recorder() { InitializeCriticalSection(&lock); }
  ~Recorder() {
    CloseHandle(inside);
    CloseHandle(release);
    DeleteCriticalSection(&lock);
  }
  static void Expand(void* self, HTREEITEM item) {
    Recorder* r = (Recorder*)self;
    LONG n = InterlockedIncrement(&r->now);
    EnterCriticalSection(&r->lock);
    if (n > r->most) r->most = n;
    LeaveCriticalSection(&r->lock);
    SetEvent(r->inside);
    // Held until released, or until the queue is asked to stop (as the
    // pane's walk tests between siblings).
    while (WaitForSingleObject(r->release, 1) == WAIT_TIMEOUT && !r->queue->StopRequested()) {
    }
    EnterCriticalSection(&r->lock);
    r->items.push_back((int)(UINT_PTR)item);
    r->threads.push_back(GetCurrentThreadId());
    LeaveCriticalSection(&r->lock);
    InterlockedDecrement(&r->now);
  }
};

bool WaitIdle(ExpandQueue& q) {
  for (DWORD start = GetTickCount(); q.Running(); Sleep(1))
    if (GetTickCount() - start > 10000) return false;
  return true;
}

TEST(ExpandQueue, OneThreadFillsEightInTurnAndTheNinthIsTheCallers) {
  Recorder r;
  ExpandQueue q(Recorder::Expand, &r);
  r.queue = &q;
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(q.Add(Item(i)), ExpandQueue::kQueued) << i;
  ASSERT_EQ(WaitForSingleObject(r.inside, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(q.Add(Item(9)), ExpandQueue::kFull);
  EXPECT_EQ(q.Add(Item(1)), ExpandQueue::kWaiting);  // being filled
  EXPECT_EQ(q.Add(Item(5)), ExpandQueue::kWaiting);
  EXPECT_EQ(q.Count(), 8);
  EXPECT_TRUE(q.Running());
  SetEvent(r.release);
  ASSERT_TRUE(WaitIdle(q));
  EXPECT_EQ(r.items, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(r.most, 1);
  for (DWORD t : r.threads) {
    EXPECT_EQ(t, r.threads[0]);
    EXPECT_NE(t, GetCurrentThreadId());
  }
  EXPECT_EQ(q.Count(), 0);
}

TEST(ExpandQueue, AnItemQueuedDuringTheLastGoesToTheSameThread) {
  Recorder r;
  ExpandQueue q(Recorder::Expand, &r);
  r.queue = &q;
  EXPECT_EQ(q.Add(Item(1)), ExpandQueue::kQueued);
  ASSERT_EQ(WaitForSingleObject(r.inside, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(q.Add(Item(2)), ExpandQueue::kQueued);
  SetEvent(r.release);
  ASSERT_TRUE(WaitIdle(q));
  ASSERT_EQ(r.items, (std::vector<int>{1, 2}));
  EXPECT_EQ(r.threads[0], r.threads[1]);
  EXPECT_EQ(r.most, 1);
  // Idle again: the next item starts a thread anew.
  EXPECT_EQ(q.Add(Item(3)), ExpandQueue::kQueued);
  ASSERT_TRUE(WaitIdle(q));
  EXPECT_EQ(r.items.back(), 3);
}

TEST(ExpandQueue, StopEndsAfterTheItemInHandAndJoins) {
  Recorder r;
  ExpandQueue q(Recorder::Expand, &r);
  r.queue = &q;
  for (int i = 1; i <= 3; ++i) q.Add(Item(i));
  ASSERT_EQ(WaitForSingleObject(r.inside, 10000), WAIT_OBJECT_0);
  q.Stop();  // the item in hand sees the request and ends; the others are dropped
  EXPECT_FALSE(q.Running());
  EXPECT_EQ(q.Count(), 0);
  EXPECT_EQ(r.items, std::vector<int>{1});
  // A stopped queue takes items again.
  SetEvent(r.release);
  EXPECT_EQ(q.Add(Item(4)), ExpandQueue::kQueued);
  ASSERT_TRUE(WaitIdle(q));
  EXPECT_EQ(r.items, (std::vector<int>{1, 4}));
  q.Stop();
  q.Stop();  // twice: nothing left to join
}

}  // namespace
