#include "e2e/driver/layout_check.h"

#include <vector>

#include "e2e/driver/ostrova_process.h"

namespace {
std::string ClassOf(HWND hwnd) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

std::string Describe(HWND hwnd) {
  std::string text = TextOf(hwnd);
  if (text.size() > 24) text = text.substr(0, 24) + "...";
  return ClassOf(hwnd) + " " + std::to_string(GetDlgCtrlID(hwnd)) + " '" + text + "'";
}

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// The child's rectangle in its parent's client coordinates.
RECT InParent(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
  return r;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Windows whose children are laid out by the program: the frame's view and
// the browser panes in it.
bool LaysOutChildren(HWND hwnd) { return ClassOf(hwnd) == "OstrovaView" || TextOf(hwnd) == "RegWnd"; }

void Check(HWND parent, std::string* problems) {
  RECT client;
  GetClientRect(parent, &client);
  std::vector<std::pair<HWND, RECT>> shown;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT r = InParent(c, parent);
    if (IsRectEmpty(&r)) continue;
    if (!Contains(client, r))
      *problems +=
          Describe(c) + " " + RectText(r) + " reaches out of " + Describe(parent) + " " + RectText(client) + "\n";
    for (const auto& o : shown) {
      RECT both;
      // A frame around others (a group box, a background) is no overlap.
      if (IntersectRect(&both, &r, &o.second) && !Contains(r, o.second) && !Contains(o.second, r))
        *problems += Describe(c) + " lies over " + Describe(o.first) + "\n";
    }
    shown.push_back({c, r});
    if (LaysOutChildren(c)) Check(c, problems);
  }
}
}  // namespace

std::string LayoutProblems(HWND window) {
  std::string problems;
  bool dialog = ClassOf(window) == "#32770";
  bool frame = !GetParent(window) && GetMenu(window);
  if (dialog || frame) Check(window, &problems);
  return problems;
}
