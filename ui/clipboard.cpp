#include "ui/clipboard.h"

#include <cstring>

namespace {
// Opens the clipboard for the life of the object.
class OpenedClipboard {
 public:
  OpenedClipboard() : m_open(OpenClipboard(nullptr) != FALSE) {}
  ~OpenedClipboard() {
    if (m_open) CloseClipboard();
  }
  bool IsOpen() const { return m_open; }

 private:
  bool m_open;
};

// Calls take(text, length) with the clipboard text, read no further than its
// block (another program may have left it unterminated); false when there is
// no text.
template <class Take>
bool ReadClipboardText(Take take) {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return false;
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) return false;
  HANDLE h = GetClipboardData(CF_TEXT);
  const char* p = h ? static_cast<const char*>(GlobalLock(h)) : nullptr;
  if (!p) return false;
  SIZE_T size = GlobalSize(h);
  const void* end = std::memchr(p, 0, size);
  int length = (int)(end ? static_cast<const char*>(end) - p : size);
  take(p, length);
  GlobalUnlock(h);
  return true;
}
}  // namespace

char* GetClipboardText(int* pLength) {
  char* copy = nullptr;
  int n = 0;
  ReadClipboardText([&](const char* p, int length) {
    if (length < 1) return;
    copy = new char[length + 1];
    std::memcpy(copy, p, length);
    copy[length] = 0;
    n = length;
  });
  if (pLength) *pLength = n;
  return copy;
}

int GetClipboardTextBuf(char* buffer, int size) {
  if (size < 1) return 0;
  int n = 0;
  ReadClipboardText([&](const char* p, int length) {
    n = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, p, n);
  });
  buffer[n] = 0;
  return n;
}

int SetClipboardText(const char* text, int length) {
  if (!text) return 0;
  if (length < 0) length = (int)std::strlen(text);
  if (length == 0) return 0;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, length + 1);
  char* p = h ? static_cast<char*>(GlobalLock(h)) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    return 0;
  }
  std::memcpy(p, text, length);
  p[length] = 0;
  GlobalUnlock(h);
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen() || !EmptyClipboard() || !SetClipboardData(CF_TEXT, h)) {
    GlobalFree(h);
    return 0;
  }
  return length;
}
