// A recording text view and a parent that records the view's notifications.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "harness/window_util.h"
#include "viewers/text/ansiview.h"

class RecordingView : public CAnsiView {
 public:
  explicit RecordingView(const char* style = "Rec", int columns = 200, int lines = 1000)
      : CAnsiView(style, columns, lines) {}
  std::vector<int> painted;      // lines PrintLine was asked for
  std::vector<std::string> log;  // MoveCursor calls, hooks, menus
  bool derivedLines = true;      // false: the base PrintLine draws
  int pickAnswer = 0, lbuttonUpAnswer = 0;

  int PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags) override;
  int MoveCursor(int column, int line, UINT flags) override;
  void ShowContextMenu(int x, int y, CMenu* pMenu) override;
  int OnScrollHook(UINT key) override;
  int OnPickHook(UINT flags, int x, int y, int column, int line) override;
  int OnLButtonUpHook(UINT flags, int x, int y, int column, int line) override;
  int OnMarginMouseHook(UINT flags, int x, int y, int line) override;
  void Clear() {
    painted.clear();
    log.clear();
  }
};

// The parent: a top-level window whose WM_NOTIFY from the view is kept as
// "code value1,value2".
class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Creates the view filling a parent of the given client size.
  void Make(CAnsiView* view, int width = 400, int height = 300);
  void Key(UINT vk, int repeat = 1);
  // Holds Shift and/or Ctrl with SendInput while the action runs.
  void WithModifiers(bool shift, bool ctrl, const std::function<void()>& action);

  HWND m_parent = nullptr;
  CAnsiView* m_view = nullptr;
  static std::vector<std::string> s_notes;

 public:
  static std::vector<std::string>& Notes() { return s_notes; }
};

std::string ScreensPath(const char* name);
