// The text view at 800 x 600: a text to its first painted screen (50 MB
// against 50 KB: the lines are indexed lazily), and Ctrl+End to the painted
// last screen (the one-pass index against a memchr count of the lines).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench.h"
#include "plaintextview.h"

namespace {
std::string MakeText(size_t bytes) {
  std::string text;
  text.reserve(bytes + 100);
  unsigned seed = 4711;
  for (int line = 0; text.size() < bytes; ++line) {
    seed = seed * 1103515245u + 12345u;
    text += "Zeile " + std::to_string(line) + ":\t";
    text.append(10 + (seed >> 16) % 70, (char)('a' + line % 26));
    text += '\n';
  }
  return text;
}
}  // namespace

int main() {
  std::string big = MakeText(50u << 20), small = MakeText(50u << 10);
  HWND frame = CreateWindowExA(0, "STATIC", "Textansicht", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                               nullptr, nullptr);
  CPlainTextView view;
  RECT rc = {0, 0, 800, 600};
  view.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(frame), 1);

  auto firstScreen = [&](const std::string& text) {
    return [&view, &text] {
      view.SetText(text.data(), text.size());
      view.Invalidate(FALSE);
      bench::Sink(view.IndexedLines());
    };
  };
  bench::Compare("text view: 50 MB to its first painted screen", firstScreen(big), "the same for 50 KB",
                 firstScreen(small), 5);

  view.SetText(big.data(), big.size());
  bench::Compare(
      "text view: Ctrl+End to the painted last screen of 50 MB",
      [&] {
        view.ForgetIndex();  // as opened: the first screen indexed
        view.GoToEnd();
        bench::Sink(view.GetTotalLines());
      },
      "memchr count of the lines",
      [&] {
        long long lines = 0;
        const char* p = big.data();
        const char* end = p + big.size();
        while ((p = (const char*)std::memchr(p, '\n', end - p)) != nullptr) ++lines, ++p;
        bench::Sink(lines);
      },
      3);
  view.DestroyWindow();
  DestroyWindow(frame);
  return 0;
}
