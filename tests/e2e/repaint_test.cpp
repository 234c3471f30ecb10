// End-to-end: what the program paints by itself after each layout command is
// what a full repaint paints; an empty value list shows no scroll bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/frame_reader.h"
#include "harness/window_util.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "res/resource.h"

namespace {
const char kBasic[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E\\Basic";

// The pixels in which two pictures of one size differ.
int Differing(const WindowCapture& a, const WindowCapture& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

// What the screen shows of the window once the program has painted what it
// wanted to: taken again after each settling until two pictures agree.
WindowCapture Settled(const OstrovaProcess& app, HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  WindowCapture last = WindowCapture::FromScreenRect(rc);
  for (int i = 0; i < 40; ++i) {
    Settle(app);
    WindowCapture now = WindowCapture::FromScreenRect(rc);
    if (Differing(now, last) == 0) return now;
    last = now;
  }
  return last;
}

// Every layout command leaves every pane painted as a forced repaint of the
// whole window would: no pieces of old scroll bars, no half-painted labels.
TEST_F(EndToEnd, LayoutCommandsLeaveEveryPaneFullyPainted) {
  struct Step {
    const char* name;
    int command;
  };
  const Step steps[] = {
      {"vert", ID_SPLIT_VERT},
      {"horz_toggle", ID_SPLIT_HORZ_TOGGLE},
      {"horz_toggle_back", ID_SPLIT_HORZ_TOGGLE},
      {"pane_right", ID_PANE_RIGHT},
      {"pane_left", ID_PANE_LEFT},
      {"horz", ID_SPLIT_HORZ},
      {"middle_toggle_off", ID_SPLIT_MIDDLE_TOGGLE},
      {"middle_toggle_on", ID_SPLIT_MIDDLE_TOGGLE},
      {"vert_again", ID_SPLIT_VERT},
  };
  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kBasic + " -2:HKEY_CURRENT_USER\\Software\\OstrovaTests\\E2E"));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == kBasic && pane.RowCount() == 11; }));
  // The key tree has the focus: no caret blinks in the pictures.
  FocusIn(pane.Tree());
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Command(s.command);
    ASSERT_TRUE(Settle(app));
    // The view with both panes: the status bar changes with each settling.
    WindowCapture own = Settled(app, app.View());
    WindowCapture::FromScreen(app.Frame());  // the forced repaint
    WindowCapture full = Settled(app, app.View());
    int differ = Differing(own, full);
    EXPECT_EQ(differ, 0);
    if (differ != 0) {
      own.SavePng(ScreenPath(std::string("repaint_") + s.name + "_own").c_str());
      full.SavePng(ScreenPath(std::string("repaint_") + s.name + "_full").c_str());
    }
  }
  SaveScreen(app.Frame(), "repaint_last_layout");
  ASSERT_TRUE(app.Close());
}

// A value list with nothing in it, or nothing wider than itself, has no
// horizontal scroll bar, also after the window was too narrow for the
// columns and was widened again: the last column fills the rest.
TEST_F(EndToEnd, NarrowValueListsShowNoHorizontalScrollBar) {
  OstrovaProcess app;
  ASSERT_TRUE(app.Start());
  PaneReader pane(app.Process(), app.Pane(0));
  auto hBar = [&] { return (GetWindowLongA(pane.List(), GWL_STYLE) & WS_HSCROLL) != 0; };
  ASSERT_TRUE(Settle(app));
  EXPECT_FALSE(hBar()) << "at start";
  SaveScreen(app.Frame(), "empty_list_at_start");
  RECT r;
  GetWindowRect(app.Frame(), &r);
  SetWindowPos(app.Frame(), nullptr, 0, 0, 420, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The columns are wider than the list now: the bar is right.
  EXPECT_TRUE(WaitUntil(hBar)) << "narrow";
  SetWindowPos(app.Frame(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return !hBar(); })) << "widened again";
  SaveScreen(app.Frame(), "empty_list_widened");
  ASSERT_TRUE(app.Close());
}
}  // namespace
