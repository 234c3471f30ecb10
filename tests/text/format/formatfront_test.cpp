// The formatter's front ends: buffers, heap text, streams and the console.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

TEST(FormatFront, BoundedBuffer) {
  char b[8];
  std::memset(b, '#', sizeof b);
  EXPECT_EQ(FormatToBufferA(b, 0, "abc"), 0);
  EXPECT_EQ(b[0], '#') << "size 0 writes nothing";
  EXPECT_EQ(FormatToBufferA(b, 1, "abc"), 0);
  EXPECT_EQ(b[0], 0) << "size 1 writes the terminator only";
  EXPECT_EQ(FormatToBufferA(b, 4, "abcdef"), 3);
  EXPECT_STREQ(b, "abc");
  EXPECT_EQ(FormatToBufferA(b, 4, "%d", 12345), 3);
  EXPECT_STREQ(b, "123");
  EXPECT_EQ(FormatToBufferA(b, 8, "%i  >%04Xh", 10, 10), 7);
  EXPECT_STREQ(b, "10  >00");

  wchar_t w[4];
  EXPECT_EQ(FormatToBufferW(w, 4, L"%s", L"\u0416bcdef"), 3);
  EXPECT_EQ(std::wstring(w), L"\u0416bc");
  EXPECT_EQ(FormatToBufferW(w, -1, L"x"), 0);
}

TEST(FormatFront, UnboundedBuffer) {
  char b[64];
  EXPECT_EQ(FormatToBufferUnboundedA(b, "\n\nErrorCode: %i / %08Xh\n", 5, 5), 27);
  EXPECT_STREQ(b, "\n\nErrorCode: 5 / 00000005h\n");
  wchar_t w[16];
  EXPECT_EQ(FormatToBufferUnboundedW(w, L"%d-%S", 7, "x"), 3);
  EXPECT_EQ(std::wstring(w), L"7-x");
}

TEST(FormatFront, HeapTextGrowsAndAppends) {
  HeapTextState heap = {nullptr, 0, 0};
  std::string plain(200, 'p');
  EXPECT_EQ(FormatToHeapA(&heap, plain.c_str()), 200);
  ASSERT_NE(heap.text, nullptr);
  EXPECT_EQ(heap.capacity, 512) << "128 + 64 + 200 + 128, down to a multiple of 16";
  EXPECT_EQ(heap.length, 200);
  EXPECT_EQ(std::string(heap.text), plain);
  // A second call appends; the terminator goes after the whole text.
  EXPECT_EQ(FormatToHeapA(&heap, "%d", 42), 2);
  EXPECT_EQ(heap.length, 202);
  EXPECT_EQ(std::string(heap.text), plain + "42");
  // Setting the length to 0 starts a fresh text in the same block.
  heap.length = 0;
  EXPECT_EQ(FormatToHeapA(&heap, "x%sx", "y"), 3);
  EXPECT_STREQ(heap.text, "xyx");
  ::operator delete(heap.text);

  HeapTextState small = {nullptr, 0, 0};
  EXPECT_EQ(FormatToHeapA(&small, "%s", "abc"), 3);
  EXPECT_EQ(small.capacity, 128);
  EXPECT_STREQ(small.text, "abc");
  ::operator delete(small.text);

  HeapTextStateW wide = {nullptr, 0, 0};
  std::wstring long_text(1000, L'\u0416');
  EXPECT_EQ(FormatToHeapW(&wide, L"%s|", long_text.c_str()), 1001);
  EXPECT_EQ(std::wstring(wide.text), long_text + L"|");
  EXPECT_GE(wide.capacity, 1001);
  ::operator delete(wide.text);
}

std::vector<unsigned char> Contents(FILE* f) {
  std::vector<unsigned char> bytes;
  std::fflush(f);
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back((unsigned char)c);
  return bytes;
}

typedef std::vector<unsigned char> Bytes;

int VPrintUtf16(FILE* f, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfUtf16A(f, format, args);
  va_end(args);
  return n;
}

TEST(FormatFront, Streams) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(FilePrintfUtf8A(f, "%c", 0xE4), 2);
  EXPECT_EQ(Contents(f), (Bytes{0xC3, 0xA4}));
  std::fclose(f);

  f = std::tmpfile();
  EXPECT_EQ(FilePrintfUtf16A(f, "ab"), 2);
  EXPECT_EQ(VPrintUtf16(f, "%s", "ab"), 2);
  EXPECT_EQ(Contents(f), (Bytes{'a', 0, 'b', 0, 'a', 0, 'b', 0}));
  std::fclose(f);

  f = std::tmpfile();
  EXPECT_EQ(FilePrintfW(f, L"a\u0416%c", 0xE4), 2) << "units above 255 are left out";
  EXPECT_EQ(Contents(f), (Bytes{'a', 0xE4}));
  std::fclose(f);

  f = std::tmpfile();
  EXPECT_EQ(FilePrintfA(f, "%s\xE4", "x"), 2);
  EXPECT_EQ(FilePrintfUtf16W(f, L"\u0416"), 1);
  EXPECT_EQ(Contents(f), (Bytes{'x', 0xE4, 0x16, 0x04}));
  std::fclose(f);

  f = std::tmpfile();
  EXPECT_EQ(FilePrintfUtf8W(f, L"\xD83D\xDE00|\u0416|\u20AC"), 4 + 1 + 2 + 1 + 3);
  EXPECT_EQ(Contents(f), (Bytes{0xF0, 0x9F, 0x98, 0x80, '|', 0xD0, 0x96, '|', 0xE2, 0x82, 0xAC}));
  std::fclose(f);

  // Long output passes the sinks' collecting areas.
  f = std::tmpfile();
  std::string text(1000, '\xE9');
  EXPECT_EQ(FilePrintfUtf8A(f, "%s", text.c_str()), 2000);
  EXPECT_EQ(Contents(f).size(), 2000u);
  std::fclose(f);
}

TEST(FormatFront, Utf8SinkRepairsASplitPair) {
  // Called directly with the pair split, on a stream open for update.
  FILE* f = std::tmpfile();
  const wchar_t high[] = {0xD83D}, low[] = {0xDE00, 'x'};
  SinkFileUtf16ToUtf8(f, high, 1);
  SinkFileUtf16ToUtf8(f, low, 2);
  EXPECT_EQ(Contents(f), (Bytes{0xF0, 0x9F, 0x98, 0x80, 'x'}));
  std::fclose(f);

  // The formatter never splits a pair, so a write-only stream works too.
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "fmt", 0, path);
  f = std::fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  std::wstring format = std::wstring(1123, L'a') + L"\xD83D\xDE00";
  EXPECT_EQ(FilePrintfUtf8W(f, format.c_str()), 1123 + 4);
  std::fclose(f);
  f = std::fopen(path, "rb");
  Bytes bytes = Contents(f);
  std::fclose(f);
  DeleteFileA(path);
  ASSERT_EQ(bytes.size(), 1127u);
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0xF0, 0x9F, 0x98, 0x80}));
}

TEST(FormatFront, ConsoleWritesToStandardOutput) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "con", 0, path);
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, file);  // before the first console output of the process
  int narrow = ConsolePrintfA("x");
  int wide = ConsolePrintfW(L"%c", 0x416);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  EXPECT_EQ(narrow, 1);
  EXPECT_EQ(wide, 1);
  char got[8] = {};
  DWORD read = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  ReadFile(file, got, sizeof got, &read, nullptr);
  CloseHandle(file);
  DeleteFileA(path);
  ASSERT_EQ(read, 3u);
  EXPECT_EQ(std::string(got, 3), std::string("x\x16\x04", 3));
}

}  // namespace
