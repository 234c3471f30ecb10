// The list-filling thread, without a pane: a fill that counts rows until it
// is asked to stop.
#include <gtest/gtest.h>

#include "app/browser/listfiller.h"

namespace {

struct Rows {
  ListFiller* filler = nullptr;
  int total = 0;  // rows of a whole fill; -1: endless
  volatile LONG done = 0;
  volatile LONG fills = 0;
  HANDLE started = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD thread = 0;
  ~Rows() { CloseHandle(started); }
  static int Fill(void* self) {
    Rows* r = (Rows*)self;
    r->thread = GetCurrentThreadId();
    InterlockedIncrement(&r->fills);
    EXPECT_EQ(r->filler->FillState(), ListFiller::kFillRunning);
    r->done = 0;
    SetEvent(r->started);
    int i = 0;
    for (; (r->total < 0 || i < r->total) && !r->filler->StopRequested(); ++i) {
      InterlockedIncrement(&r->done);
      if (r->total < 0) Sleep(0);
    }
    return i;
  }
};

TEST(ListFiller, FillsOnAThreadOfItsOwn) {
  Rows rows;
  ListFiller filler(Rows::Fill, &rows);
  rows.filler = &filler;
  rows.total = 1000;
  EXPECT_EQ(filler.FillState(), ListFiller::kFillNone);
  EXPECT_FALSE(filler.Started());
  filler.Start();
  EXPECT_TRUE(filler.Started());
  EXPECT_TRUE(filler.Wait(10000));
  EXPECT_FALSE(filler.Started());
  EXPECT_EQ(filler.FillState(), ListFiller::kFillDone);
  EXPECT_FALSE(filler.Filling());
  EXPECT_EQ(rows.done, 1000);
  EXPECT_NE(rows.thread, GetCurrentThreadId());
  filler.ResetState();
  EXPECT_EQ(filler.FillState(), ListFiller::kFillNone);
  // On the calling thread, with the same states.
  EXPECT_EQ(filler.RunHere(), 1000);
  EXPECT_EQ(rows.thread, GetCurrentThreadId());
  EXPECT_EQ(filler.FillState(), ListFiller::kFillDone);
}

TEST(ListFiller, ANewStartStopsTheRunningFillFirst) {
  Rows rows;
  ListFiller filler(Rows::Fill, &rows);
  rows.filler = &filler;
  rows.total = -1;
  for (int i = 0; i < 5; ++i) {
    filler.Start();
    ASSERT_EQ(WaitForSingleObject(rows.started, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(filler.StopRequested());
  }
  EXPECT_EQ(rows.fills, 5);
  EXPECT_FALSE(filler.Wait(0));  // still filling
  filler.Stop();
  EXPECT_FALSE(filler.Started());
  EXPECT_FALSE(filler.StopRequested());
  EXPECT_EQ(filler.FillState(), ListFiller::kFillDone);
  filler.Stop();  // nothing to stop
  EXPECT_TRUE(filler.Wait(0));
}

TEST(ListFiller, DestroyedWhileFillingJoinsTheThread) {
  Rows rows;
  rows.total = -1;
  HANDLE thread = nullptr;
  {
    ListFiller filler(Rows::Fill, &rows);
    rows.filler = &filler;
    filler.Start();
    ASSERT_EQ(WaitForSingleObject(rows.started, 10000), WAIT_OBJECT_0);
    thread = OpenThread(SYNCHRONIZE, FALSE, rows.thread);
    ASSERT_NE(thread, nullptr);
  }
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
}

}  // namespace
