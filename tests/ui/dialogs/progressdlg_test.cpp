// The progress dialog with real worker threads, driven from the test
// thread's modal loop.
#include "ui/dialogs/progressdlg.h"

#include <gtest/gtest.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <atomic>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

#include "modal_driver.h"
#include "tests/harness/window_util.h"
#include "ui/dialogs/textprompt.h"

namespace {
std::function<int(CProgressDlg*)> g_work;
int RunWork(CProgressDlg* dlg) { return g_work ? g_work(dlg) : -7; }

std::atomic<int> g_cancelCalls;
void CountCancel(DWORD arg) { g_cancelCalls += (int)arg; }

// A manual clock for the status-line throttle.
std::atomic<DWORD> g_now;
DWORD ManualTick() { return g_now; }

HWND Item(HWND d, int id) { return GetDlgItem(d, id); }
int BarPos(HWND d) { return (int)SendMessageA(Item(d, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0); }
int BarMax(HWND d) { return (int)SendMessageA(Item(d, IDC_PROGRESS_BAR), PBM_GETRANGE, FALSE, 0); }

// Waits (on the worker) until the test thread has seen what it looks for.
struct Gate {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ~Gate() { CloseHandle(event); }
  void Open() { SetEvent(event); }
  bool Wait(DWORD ms = 10000) { return WaitForSingleObject(event, ms) == WAIT_OBJECT_0; }
};

class Progress : public ::testing::Test {
 protected:
  void SetUp() override {
    CProgressDlg::ResetProcessState();
    CProgressDlg::SetTickSource(nullptr);
    CProgressDlg::ForceCommonControls6(-1);
    CProgressDlg::SetTaskbarFactory(nullptr);
    g_cancelCalls = 0;
  }
  void TearDown() override {
    g_work = nullptr;
    CProgressDlg::SetTickSource(nullptr);
    CProgressDlg::ForceCommonControls6(-1);
    CProgressDlg::SetTaskbarFactory(nullptr);
  }
};
}  // namespace

TEST_F(Progress, WorkerThatReturnsAtOnce) {
  {
    CProgressDlg dlg;
    g_work = [](CProgressDlg* d) { return (int)(d->m_dwArgs[0] + d->m_dwArgs[4]); };
    dlg.SetWorker(RunWork, 40, 0, 0, 0, 2);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nResult, 42);
  }
  CProgressDlg none;
  EXPECT_EQ(none.DoModal(), IDOK);
  EXPECT_EQ(none.m_nResult, -1) << "no worker function";
}

TEST_F(Progress, ScalingKeepsTheBarWithin1024Steps) {
  struct Case {
    LONGLONG total, full;
    int scale;
  } cases[] = {{0, 1, 0},       {-5, 1, 0},
               {512, 512, 0},   {513, 515, 0},
               {1000, 1003, 0}, {1021, 1024, 0},
               {1022, 1025, 1}, {1000000000000LL, 1000000000000LL + 1000000000000LL / 256, 30}};
  for (const Case& c : cases) {
    LONGLONG full = 0;
    EXPECT_EQ(CProgressDlg::ScaleOf(c.total, &full), c.scale) << c.total;
    EXPECT_EQ(full, c.full) << c.total;
    EXPECT_LE(full >> c.scale, 1024);
  }

  // On the bar: a position at the given total fills it, headroom included.
  for (LONGLONG total : {513LL, 1000000000000LL}) {
    CProgressDlg dlg;
    Gate seen, filled;
    int range = 0, before = 0, full = 0;
    g_work = [&](CProgressDlg* d) {
      d->SetTotal(total);
      d->SetPos64(total - 1);
      seen.Wait();
      d->SetPos64(total);
      filled.Wait();
      return 0;
    };
    dlg.SetWorker(RunWork);
    LONGLONG withHeadroom;
    int scale = (int)CProgressDlg::ScaleOf(total, &withHeadroom);
    ModalDriver driver({[&](HWND d) {
                          if (BarPos(d) != (int)((total - 1) >> scale)) return false;
                          range = BarMax(d), before = BarPos(d);
                          seen.Open();
                          return true;
                        },
                        [&](HWND d) {
                          if (BarPos(d) == before) return false;
                          full = BarPos(d);
                          filled.Open();
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(range, (int)(withHeadroom >> scale));
    EXPECT_EQ(full, range) << total;
  }
}

namespace {
// Counts the position posts that reach the dialog.
std::atomic<int> g_positionPosts;
HHOOK g_hook;
LRESULT CALLBACK CountPosts(int code, WPARAM wParam, LPARAM lParam) {
  MSG* msg = (MSG*)lParam;
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_COMMAND && msg->wParam == kProgressUpdate &&
      (msg->lParam & 0xFF) == kProgressPosition)
    ++g_positionPosts;
  return CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

TEST_F(Progress, PositionsWithinOneStepPostNothing) {
  g_positionPosts = 0;
  g_hook = SetWindowsHookExA(WH_GETMESSAGE, CountPosts, nullptr, GetCurrentThreadId());
  CProgressDlg dlg;
  Gate full;
  g_work = [&](CProgressDlg* d) {
    d->SetTotal(1000000);
    for (LONGLONG i = 0; i < 1000000; i += 7) d->SetPos64(i);
    for (int i = 0; i < 50; ++i) d->StepPos();
    full.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  // However few posts get through, the bar ends on the latest position.
  ModalDriver driver({[&](HWND d) {
    if (BarPos(d) != BarMax(d)) return false;
    full.Open();
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  UnhookWindowsHookEx(g_hook);
  EXPECT_TRUE(driver.Done());
  EXPECT_GE(g_positionPosts, 1);
  EXPECT_LE(g_positionPosts, 1025);
}

TEST_F(Progress, APositionPostWaitsForTheUiThreadBeforeTheNext) {
  // While the UI thread is busy no second position post piles up.
  g_positionPosts = 0;
  g_hook = SetWindowsHookExA(WH_GETMESSAGE, CountPosts, nullptr, GetCurrentThreadId());
  CProgressDlg dlg;
  Gate busy, stepped, seen;
  int shown = -1;
  g_work = [&](CProgressDlg* d) {
    d->SetTotal(1000);
    busy.Wait();
    for (LONGLONG i = 1; i <= 600; ++i) d->SetPos64(i);
    stepped.Open();
    seen.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  ModalDriver driver({[&](HWND) {
                        busy.Open();
                        stepped.Wait();  // the UI thread handles nothing meanwhile
                        return true;
                      },
                      [&](HWND d) {
                        if (BarPos(d) != 600) return false;
                        shown = BarPos(d);
                        seen.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  UnhookWindowsHookEx(g_hook);
  EXPECT_EQ(shown, 600);
  EXPECT_EQ(g_positionPosts, 1);
}

TEST_F(Progress, PositionsWithinAPeriodWaitForItsEnd) {
  CProgressDlg::SetTickSource(ManualTick);
  g_now = 100000;  // frozen: every later update falls in the same period
  g_positionPosts = 0;
  g_hook = SetWindowsHookExA(WH_GETMESSAGE, CountPosts, nullptr, GetCurrentThreadId());
  CProgressDlg dlg;
  Gate first, last;
  g_work = [&](CProgressDlg* d) {
    d->SetTotal(1000);
    d->SetPos64(100);
    first.Wait();
    d->SetPos64(200);  // held by the period's timer ...
    d->SetPos64(300);  // ... which then shows this one, without a post
    last.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  ModalDriver driver({[&](HWND d) {
                        if (BarPos(d) != 100) return false;
                        first.Open();
                        return true;
                      },
                      [&](HWND d) {
                        if (BarPos(d) != 300) return false;
                        last.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  UnhookWindowsHookEx(g_hook);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(g_positionPosts, 2);
}

TEST_F(Progress, StatusLinesAreThrottledAndFlushed) {
  CProgressDlg::SetTickSource(ManualTick);
  g_now = 100000;
  CProgressDlg dlg;
  dlg.SetTitle("Suche");
  Gate shown, flushed;
  std::string first, second, caption;
  g_work = [&](CProgressDlg* d) {
    d->SetStatusText(0, "erste Zeile");
    shown.Wait();
    d->SetStatusText(0, "zweite Zeile");  // same tick: within 80 ms
    d->SetStatusText(0, "dritte Zeile");
    flushed.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  ModalDriver driver({[&](HWND d) {
                        if (TextOf(Item(d, IDC_PROGRESS_LINE0)) != "erste Zeile") return false;
                        first = TextOf(Item(d, IDC_PROGRESS_LINE0));
                        caption = TextOf(d);
                        shown.Open();
                        return true;
                      },
                      [&](HWND d) {
                        // The flush timer shows the last text only.
                        second = TextOf(Item(d, IDC_PROGRESS_LINE0));
                        if (second == "erste Zeile") return false;
                        flushed.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(caption, "Suche");
  EXPECT_EQ(first, "erste Zeile");
  EXPECT_EQ(second, "dritte Zeile");
}

TEST_F(Progress, LineTwoGrowsTheDialogByTwoLines) {
  CProgressDlg dlg;
  Gate measured, done;
  int height0 = 0, height1 = 0, lineHeight = 0, barMove = 0;
  std::string texts;
  g_work = [&](CProgressDlg* d) {
    measured.Wait();
    d->SetStatusText(0, "Schlüssel:");
    d->SetStatusPath(2, "In * gefunden", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID", 3, '*');
    d->SetStatusLineCount(2);  // not above the present count: nothing
    done.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  RECT bar0 = {};
  ModalDriver driver({[&](HWND d) {
                        RECT rc;
                        GetWindowRect(d, &rc);
                        height0 = rc.bottom - rc.top;
                        GetWindowRect(Item(d, IDC_PROGRESS_BAR), &bar0);
                        GetClientRect(Item(d, IDC_PROGRESS_LINE0), &rc);
                        lineHeight = rc.bottom + 2;
                        measured.Open();
                        return true;
                      },
                      [&](HWND d) {
                        if (!Item(d, IDC_PROGRESS_LINE0 + 2) || TextOf(Item(d, IDC_PROGRESS_LINE0 + 2)).empty() ||
                            TextOf(Item(d, IDC_PROGRESS_LINE0)).empty())  // by the flush timer
                          return false;
                        RECT rc, bar;
                        GetWindowRect(d, &rc);
                        height1 = rc.bottom - rc.top;
                        GetWindowRect(Item(d, IDC_PROGRESS_BAR), &bar);
                        barMove = bar.top - bar0.top;
                        for (int i = 0; i < 4; ++i)
                          texts += Item(d, IDC_PROGRESS_LINE0 + i) ? TextOf(Item(d, IDC_PROGRESS_LINE0 + i)) + "|"
                                                                   : std::string("none|");
                        WindowCapture(d).SavePng(ScreenshotPath("progress_lines.png").c_str());
                        done.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetLineCount(), 3);
  EXPECT_EQ(height1 - height0, 2 * lineHeight);
  EXPECT_EQ(barMove, 2 * lineHeight);
  EXPECT_EQ(texts, "Schlüssel:||In HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID gefunden|none|");
}

TEST_F(Progress, WorkerRequestsAMessageBoxAndADialog) {
  CProgressDlg dlg;
  int box = 0;
  INT_PTR modal = 0;
  std::string prompt;
  g_work = [&](CProgressDlg* d) {
    box = d->WorkerMessageBox("Weiter suchen?", "Frage", MB_YESNO | MB_ICONQUESTION);
    CTextPromptDlg ask;
    ask.SetText("Eingabe");
    modal = d->WorkerDoModal(&ask);
    prompt = (const char*)ask.GetText();
    return 0;
  };
  dlg.SetWorker(RunWork);
  ModalDriver driver({[&](HWND d) {
                        if (TextOf(d) != "Frage") return false;
                        WindowCapture(d).SavePng(ScreenshotPath("progress_worker_box.png").c_str());
                        PostMessageA(d, WM_COMMAND, IDYES, 0);
                        return true;
                      },
                      [&](HWND d) {
                        if (!GetDlgItem(d, 1008)) return false;
                        SetWindowTextA(GetDlgItem(d, 1008), "getippt");
                        PressButton(d, IDOK);
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(box, IDYES);
  EXPECT_EQ(modal, IDOK);
  EXPECT_EQ(prompt, "getippt");
}

TEST_F(Progress, CancelRunsTheCallbackOnceAndWaitsForTheWorker) {
  struct Way {
    const char* name;
    std::function<void(HWND)> cancel;
  } ways[] = {
      {"button", [](HWND d) { PressButton(d, IDCANCEL); }},
      {"escape", [](HWND d) { PostMessageA(GetFocus() ? GetFocus() : d, WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    g_cancelCalls = 0;
    CProgressDlg dlg;
    dlg.SetCancelCallback(CountCancel, 1);
    std::atomic<bool> release{false};
    bool buttonDisabled = false, stillOpen = false;
    g_work = [&](CProgressDlg* d) {
      while (!release) Sleep(5);
      return d->m_nCancel ? 5 : 6;
    };
    dlg.SetWorker(RunWork);
    ModalDriver driver({[&](HWND d) {
                          way.cancel(d);
                          return true;
                        },
                        [&](HWND d) {
                          if (!dlg.m_nCancel) return false;
                          way.cancel(d);  // again: no second callback
                          PressButton(d, IDCANCEL);
                          return true;
                        },
                        [&](HWND d) {
                          buttonDisabled = !IsWindowEnabled(Item(d, IDCANCEL));
                          stillOpen = IsWindow(d) != FALSE;
                          release = true;
                          return true;
                        }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_cancelCalls, 1);
    EXPECT_TRUE(buttonDisabled);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dlg.m_nResult, 5);
  }
}

TEST_F(Progress, CancelBeforeTheWindowAndAfterReturnIsSafe) {
  CProgressDlg dlg;
  dlg.SetCancelCallback(CountCancel, 1);
  LONG seen = -1;
  g_work = [&](CProgressDlg* d) {
    seen = d->m_nCancel;
    return 0;
  };
  dlg.SetWorker(RunWork);
  dlg.Cancel();
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(seen, 1) << "the worker sees the early cancel from its first step";
  EXPECT_EQ(g_cancelCalls, 1);
  dlg.Cancel();
  dlg.Cancel();
  EXPECT_EQ(g_cancelCalls, 1);
}

TEST_F(Progress, DestroyedOwnerEndsTheDialogAndTheWorkerIsJoined) {
  HWND owner =
      CreateWindowExA(0, "STATIC", "Besitzer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner);
  DWORD threadId = 0;
  INT_PTR result = 0;
  {
    CProgressDlg dlg(CWnd::FromHandle(owner));
    g_work = [&](CProgressDlg* d) {
      threadId = GetCurrentThreadId();
      while (!d->m_nCancel) Sleep(5);
      Sleep(100);  // still running when the object goes
      return 0;
    };
    dlg.SetWorker(RunWork);
    ModalDriver driver({[&](HWND) {
      DestroyWindow(owner);
      return true;
    }});
    result = dlg.DoModal();
  }
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_NE(threadId, 0u);
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  if (thread) {
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "the worker has ended with the object";
    CloseHandle(thread);
  }
}

namespace {
int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {sizeof te};
  int n = 0;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
    if (te.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snap);
  return n;
}
}  // namespace

TEST_F(Progress, ManyRunsKeepTheThreadCount) {
  g_work = [](CProgressDlg* d) {
    d->SetTotal(10);
    d->SetPos64(5);
    return 0;
  };
  {
    CProgressDlg warm;
    warm.SetWorker(RunWork);
    warm.DoModal();
  }
  int before = ThreadCount();
  for (int i = 0; i < 200; ++i) {
    CProgressDlg dlg;
    dlg.SetWorker(RunWork);
    ASSERT_EQ(dlg.DoModal(), IDOK);
  }
  EXPECT_LE(ThreadCount(), before + 1);
}

TEST_F(Progress, OwnMarqueePaintsATrainOfBlocksThatWraps) {
  CProgressDlg::ForceCommonControls6(0);
  CProgressDlg dlg;
  Gate done, stopped;
  g_work = [&](CProgressDlg* d) {
    d->SetMarquee(5);  // no timer: the steps move it
    done.Wait();
    d->SetMarquee(0);
    stopped.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  std::vector<int> blocks;
  int barWidth = 0;
  bool ownAfterStart = false;
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  auto countBlocks = [&](HWND d) {
    HWND bar = Item(d, IDC_PROGRESS_BAR);
    WindowCapture cap(bar);
    RECT rc;
    GetClientRect(bar, &rc);
    barWidth = rc.right;
    int y = cap.Height() / 2, n = 0;
    bool in = false;
    for (int x = 0; x < cap.Width(); ++x) {
      bool lit = cap.Pixel(x, y) == hl;
      if (lit && !in) ++n;
      in = lit;
    }
    return n;
  };
  int step = 0;
  ModalDriver driver({[&](HWND d) {
                        if (!dlg.IsOwnMarquee()) return false;
                        ownAfterStart = true;
                        blocks.push_back(countBlocks(d));  // phase 0: one block
                        for (int i = 0; i < 6; ++i) SendMessageA(d, WM_COMMAND, kProgressUpdate, kProgressStep);
                        blocks.push_back(countBlocks(d));  // phase 6: five blocks
                        WindowCapture(d).SavePng(ScreenshotPath("progress_marquee.png").c_str());
                        // the border of the bar's window, 1 pixel, sits outside the client area
                        HWND bar = Item(d, IDC_PROGRESS_BAR);
                        RECT rc;
                        GetClientRect(bar, &rc);
                        int n = (rc.right + 1 + 8) / 10;
                        while (dlg.GetMarqueePhase() % (n + 4) != 0) {
                          SendMessageA(d, WM_COMMAND, kProgressUpdate, kProgressStep);
                          if (++step > 1000) break;
                        }
                        blocks.push_back(countBlocks(d));  // wrapped: one block again
                        done.Open();
                        return true;
                      },
                      [&](HWND) {
                        if (dlg.IsOwnMarquee()) return false;
                        stopped.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(ownAfterStart);
  EXPECT_EQ(blocks, (std::vector<int>{1, 5, 1}));
  EXPECT_GT(barWidth, 100);
}

TEST_F(Progress, CommonControlsMarqueeUsesTheBarStyle) {
  CProgressDlg::ForceCommonControls6(1);
  CProgressDlg dlg;
  Gate done, stopped;
  g_work = [&](CProgressDlg* d) {
    d->SetMarquee(500);
    d->SetTotal(5000);  // ignored in marquee mode
    done.Wait();
    d->SetMarquee(0);
    stopped.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  bool marqueeStyle = false, own = true, styleAfter = true;
  ModalDriver driver({[&](HWND d) {
                        if (!(GetWindowLongPtrA(Item(d, IDC_PROGRESS_BAR), GWL_STYLE) & PBS_MARQUEE)) return false;
                        marqueeStyle = true;
                        own = dlg.IsOwnMarquee();
                        done.Open();
                        return true;
                      },
                      [&](HWND d) {
                        styleAfter = (GetWindowLongPtrA(Item(d, IDC_PROGRESS_BAR), GWL_STYLE) & PBS_MARQUEE) != 0;
                        if (styleAfter) return false;
                        stopped.Open();
                        return true;
                      }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(marqueeStyle);
  EXPECT_FALSE(own);
  EXPECT_FALSE(styleAfter) << "interval 0 stops it";
}

TEST_F(Progress, RemembersWhereItClosedWithinTheMonitor) {
  auto runAt = [&](int x, int y, RECT* shown) {
    CProgressDlg dlg;
    Gate done;
    g_work = [&](CProgressDlg*) {
      done.Wait();
      return 0;
    };
    dlg.SetWorker(RunWork);
    ModalDriver driver({[&](HWND d) {
      GetWindowRect(d, shown);
      if (x >= 0) SetWindowPos(d, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      done.Open();
      return true;
    }});
    dlg.DoModal();
  };
  RECT first, second, third, fourth;
  runAt(50, 60, &first);
  runAt(GetSystemMetrics(SM_CXSCREEN) - 90, 60, &second);
  EXPECT_EQ(second.left, 50);
  EXPECT_EQ(second.top, 60);
  runAt(-1, -1, &third);
  EXPECT_EQ(third.left, first.left) << "near the right edge: placed as at first";
  EXPECT_EQ(third.top, first.top);
  runAt(-1, -1, &fourth);
  EXPECT_EQ(fourth.left, first.left);
}

namespace {
RECT g_during;
bool g_enabledDuring;
// Looks at the dialog while it is parked; the driver only sees enabled ones.
void CALLBACK ProbeParked(HWND, UINT, UINT_PTR id, DWORD) {
  HWND d = FindWindowA("#32770", "Dialog");
  if (!d) return;
  GetWindowRect(d, &g_during);
  g_enabledDuring = IsWindowEnabled(d) != FALSE;
  KillTimer(nullptr, id);
}
}  // namespace

TEST_F(Progress, ShowDelayKeepsTheDialogAwayAndDisabled) {
  CProgressDlg dlg;
  dlg.SetShowDelay(300);
  Gate done;
  g_work = [&](CProgressDlg* d) {
    d->SetStatusText(0, "gleich");
    done.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  RECT after = {};
  bool enabledAfter = false;
  std::string line;
  g_during = {};
  g_enabledDuring = true;
  UINT_PTR probe = SetTimer(nullptr, 0, 60, ProbeParked);
  ModalDriver driver({[&](HWND d) {
    GetWindowRect(d, &after);
    enabledAfter = IsWindowEnabled(d) != FALSE;
    line = TextOf(Item(d, IDC_PROGRESS_LINE0));
    done.Open();
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  KillTimer(nullptr, probe);
  EXPECT_EQ(g_during.left, 28672);
  EXPECT_FALSE(g_enabledDuring);
  EXPECT_TRUE(enabledAfter);
  EXPECT_LT(after.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(line, "gleich");
}

namespace {
// Records what the dialog tells the taskbar button.
class FakeTaskbar : public ITaskbarList3 {
 public:
  std::vector<std::string> calls;
  LONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
    calls.push_back(std::to_string(done) + "/" + std::to_string(total));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG flags) override {
    calls.push_back("state " + std::to_string((int)flags));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return S_OK; }
};
FakeTaskbar* g_fake;
int g_factoryCalls;
ITaskbarList3* MakeFake() {
  ++g_factoryCalls;
  if (!g_fake) return nullptr;
  g_fake->AddRef();
  return g_fake;
}
}  // namespace

TEST_F(Progress, TaskbarNeverRunsBackwardsAndShowsRequests) {
  FakeTaskbar fake;
  g_fake = &fake;
  g_factoryCalls = 0;
  CProgressDlg::SetTaskbarFactory(MakeFake);
  {
    CProgressDlg dlg;
    dlg.SetTaskbarParts(2, 1);
    Gate answered;
    g_work = [&](CProgressDlg* d) {
      d->SetTotal(1000);
      for (LONGLONG pos : {500LL, 10LL, 20LL, 600LL}) {
        d->SetPos64(pos);
        Sleep(30);  // one post at a time
      }
      d->WorkerMessageBox("Fehlgeschlagen", "Fehler", MB_OK | MB_ICONERROR);
      return 0;
    };
    dlg.SetWorker(RunWork);
    ModalDriver driver({[&](HWND d) {
      if (TextOf(d) != "Fehler") return false;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
  }
  // 500 of 1003 in the second of two parts: 1024 + 510 of 2048; 10 and 20
  // would run back and are held; 600 goes on.
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"state 2", "1534/2048", "1636/2048", "state 4", "state 2", "state 0"}));
  EXPECT_EQ(fake.refs, 1) << "released";
  g_fake = nullptr;

  // A failed taskbar is not tried again by the next dialog.
  CProgressDlg::ResetProcessState();
  g_factoryCalls = 0;
  for (int i = 0; i < 2; ++i) {
    CProgressDlg dlg;
    g_work = [](CProgressDlg* d) {
      d->SetPos64(50);
      Sleep(50);
      return 0;
    };
    dlg.SetWorker(RunWork);
    dlg.DoModal();
  }
  EXPECT_EQ(g_factoryCalls, 1);
}

namespace {
std::atomic<int> g_ticks;
void CountTick(DWORD arg) { g_ticks += (int)arg; }
}  // namespace

TEST_F(Progress, PollSourceAndUserTimerRunOnTheDialogsThread) {
  CProgressDlg dlg;
  volatile LONGLONG pos = 0, maximum = 0;
  Gate done;
  g_ticks = 0;
  g_work = [&](CProgressDlg* d) {
    d->SetPollSource(4, 20, (void*)&pos, (void*)&maximum);
    d->SetUserTimer(CountTick, 20, 2);
    maximum = 4000;
    pos = 2000;
    done.Wait();
    return 0;
  };
  dlg.SetWorker(RunWork);
  int barPos = 0, barMax = 0;
  ModalDriver driver({[&](HWND d) {
    if (g_ticks < 6 || BarMax(d) < 1000) return false;
    barPos = BarPos(d), barMax = BarMax(d);
    done.Open();
    return true;
  }});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  LONGLONG full;
  int scale = (int)CProgressDlg::ScaleOf(4000, &full);
  EXPECT_EQ(barMax, (int)(full >> scale));
  EXPECT_EQ(barPos, (int)(2000 >> scale));
  EXPECT_EQ(g_ticks % 2, 0);
}

TEST_F(Progress, CancelDuringARequestAndDuringTheDelay) {
  {
    CProgressDlg dlg;
    dlg.SetCancelCallback(CountCancel, 1);
    int answer = -5;
    g_work = [&](CProgressDlg* d) {
      answer = d->WorkerMessageBox("Noch da?", "Frage", MB_OKCANCEL);
      return 0;
    };
    dlg.SetWorker(RunWork);
    ModalDriver driver({[&](HWND d) {
      if (TextOf(d) != "Frage") return false;
      dlg.Cancel();  // from outside while the worker waits
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(g_cancelCalls, 1);
  }
  {
    g_cancelCalls = 0;
    CProgressDlg dlg;
    dlg.SetCancelCallback(CountCancel, 1);
    dlg.SetShowDelay(2000);
    g_work = [&](CProgressDlg* d) {
      d->Cancel();  // in the delay: the dialog never shows
      while (!d->m_nCancel) Sleep(5);
      return 0;
    };
    dlg.SetWorker(RunWork);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_cancelCalls, 1);
  }
}
