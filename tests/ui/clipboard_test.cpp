// Clipboard text through the real clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "ui/clipboard.h"

namespace {
// Puts a block of bytes on the clipboard as the given format.
void PutBlock(UINT format, const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(format, h);
  CloseClipboard();
}

// The bytes of a clipboard format, up to the terminator of its unit size.
std::string ReadFormat(UINT format, size_t unit = 1) {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return "open failed";
  if (HANDLE h = GetClipboardData(format)) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    size_t size = GlobalSize(h);
    for (size_t i = 0; i + unit <= size; i += unit) {
      if (std::string(p + i, unit) == std::string(unit, '\0')) break;
      bytes.append(p + i, unit);
    }
    GlobalUnlock(h);
  }
  CloseClipboard();
  return bytes;
}

// Another thread can open the clipboard: nobody left it open.
bool ClipboardIsClosed() {
  bool ok = false;
  std::thread([&] {
    ok = OpenClipboard(nullptr) != FALSE;
    if (ok) CloseClipboard();
  }).join();
  return ok;
}
}  // namespace

TEST(Clipboard, TextOfCodePage1252ReadsInOtherFormats) {
  EXPECT_EQ(SetClipboardText("Grüße €", -1), 7);
  EXPECT_TRUE(ClipboardIsClosed());
  std::wstring wide;
  std::string unicode = ReadFormat(CF_UNICODETEXT, 2);
  wide.assign(reinterpret_cast<const wchar_t*>(unicode.data()), unicode.size() / 2);
  EXPECT_EQ(wide, L"Gr\u00FC\u00DFe \u20AC");
  std::string oem = ReadFormat(CF_OEMTEXT);
  ASSERT_EQ(oem.size(), 7u);
  EXPECT_EQ(oem.substr(0, 6),
            "Gr\x81\xE1"
            "e ");  // code page 437

  int length = -1;
  char* text = GetClipboardText(&length);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "Grüße €");
  EXPECT_EQ(length, 7);
  delete[] text;
  EXPECT_TRUE(ClipboardIsClosed());
}

TEST(Clipboard, UnicodeTextOfOtherProgramsReadsBestFit) {
  const wchar_t wide[] = L"\u20AC\u03A9a";
  PutBlock(CF_UNICODETEXT, wide, sizeof wide);
  int length = 0;
  char* text = GetClipboardText(&length);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), "\x80\x4F\x61");
  EXPECT_EQ(length, 3);
  delete[] text;
}

TEST(Clipboard, BoundedReadsAndUnterminatedBlocks) {
  ASSERT_EQ(SetClipboardText("abcdef", -1), 6);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(GetClipboardTextBuf(buffer, 4), 3);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(GetClipboardTextBuf(buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'x';
  EXPECT_EQ(GetClipboardTextBuf(buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(SetClipboardText("abcdef", 2), 2);  // a length cuts the text
  EXPECT_EQ(GetClipboardTextBuf(buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "ab");

  // A block without a terminator is read no further than its end (Wine
  // gives the last byte up for a terminator).
  PutBlock(CF_TEXT, "wxyz", 4);
  int length = 0;
  char* text = GetClipboardText(&length);
  ASSERT_NE(text, nullptr);
  EXPECT_GE(length, 3);
  EXPECT_LE(length, 4);
  EXPECT_EQ(std::string("wxyz").substr(0, length), text);
  delete[] text;
  EXPECT_EQ(GetClipboardTextBuf(buffer, sizeof buffer), length);
  EXPECT_TRUE(ClipboardIsClosed());
}

TEST(Clipboard, EmptyTextLeavesTheClipboardAndNoTextReadsEmpty) {
  ASSERT_EQ(SetClipboardText("bleibt", -1), 6);
  EXPECT_EQ(SetClipboardText("", -1), 0);
  EXPECT_EQ(SetClipboardText("abc", 0), 0);
  EXPECT_EQ(SetClipboardText(nullptr, -1), 0);
  char buffer[16];
  EXPECT_EQ(GetClipboardTextBuf(buffer, sizeof buffer), 6);
  EXPECT_STREQ(buffer, "bleibt");

  PutBlock(CF_TEXT, "", 1);
  int length = -1;
  EXPECT_EQ(GetClipboardText(&length), nullptr);
  EXPECT_EQ(length, 0);

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  length = -1;
  EXPECT_EQ(GetClipboardText(&length), nullptr);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(GetClipboardTextBuf(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(ClipboardIsClosed());
}
