#include "text/format/formatfile.h"

#include <cstdint>

#include "text/codecs/utf.h"

namespace {

FILE* Stream(void* context) { return static_cast<FILE*>(context); }

// Converted output collects here and goes to the stream in pieces; written
// counts what the stream took.
template <class T, int Size>
struct OutArea {
  T data[Size];
  int used = 0;
  int written = 0;
  void Write(FILE* stream) {
    if (used) written += (int)std::fwrite(data, sizeof(T), used, stream);
    used = 0;
  }
};

// Completes a pair split between two calls: the previous call wrote the
// high half as a four-byte form with the low ten bits zero.
void RepairSplitPair(FILE* stream, uint32_t low) {
  unsigned char b[4];
  if (std::fseek(stream, -4, SEEK_CUR) || std::fread(b, 1, 4, stream) != 4) return;
  uint32_t c =
      (uint32_t)(b[0] & 7) << 18 | (uint32_t)(b[1] & 0x3F) << 12 | (uint32_t)(b[2] & 0x3F) << 6 | (b[3] & 0x3F);
  if ((c & 0x3FF) || std::fseek(stream, -4, SEEK_CUR)) return;
  char utf8[4];
  std::fwrite(utf8, 1, EncodeUtf8Char(utf8, c | (low & 0x3FF)), stream);
}

}  // namespace

int SinkFileRawA(void* stream, const char* data, int count) {
  return count > 0 ? (int)std::fwrite(data, 1, count, Stream(stream)) : 0;
}

int SinkFileRawW(void* stream, const wchar_t* data, int count) {
  return count > 0 ? (int)std::fwrite(data, 2, count, Stream(stream)) : 0;
}

int SinkFileLatin1ToUtf8(void* stream, const char* data, int count) {
  if (count < 1) return 0;
  OutArea<char, 256> area;
  for (int i = 0; i < count; ++i) {
    area.used += EncodeUtf8Char(area.data + area.used, (unsigned char)data[i]);
    if (area.used >= 254) area.Write(Stream(stream));
  }
  area.Write(Stream(stream));
  return area.written;
}

int SinkFileWidenUtf16(void* stream, const char* data, int count) {
  OutArea<uint16_t, 512> area;
  for (int i = 0; i < count; ++i) {
    area.data[area.used++] = (unsigned char)data[i];
    if (area.used == 512) area.Write(Stream(stream));
  }
  area.Write(Stream(stream));
  return area.written;
}

int SinkFileNarrowW(void* stream, const wchar_t* data, int count) {
  OutArea<unsigned char, 256> area;
  for (int i = 0; i < count; ++i) {
    if ((uint16_t)data[i] >= 256) continue;
    area.data[area.used++] = (unsigned char)data[i];
    if (area.used == 256) area.Write(Stream(stream));
  }
  area.Write(Stream(stream));
  return area.written;
}

int SinkFileUtf16ToUtf8(void* stream, const wchar_t* data, int count) {
  OutArea<char, 256> area;
  for (int i = 0; i < count; ++i) {
    uint32_t u = (uint16_t)data[i];
    if (IsLowSurrogate(u)) {
      if (i == 0) RepairSplitPair(Stream(stream), u);
      continue;
    }
    if (IsHighSurrogate(u)) {
      // A high half without its low half stands for the low half 0.
      unsigned low = i + 1 < count && IsLowSurrogate((uint16_t)data[i + 1]) ? (uint16_t)data[++i] : 0;
      u = JoinSurrogates(u, low);
    }
    area.used += EncodeUtf8Char(area.data + area.used, u);
    if (area.used >= 252) area.Write(Stream(stream));
  }
  area.Write(Stream(stream));
  return area.written;
}

int FileVPrintfA(FILE* stream, const char* format, va_list args) {
  return FormatCoreA(stream, SinkFileRawA, format, args);
}

int FilePrintfA(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfA(stream, format, args);
  va_end(args);
  return n;
}

int FileVPrintfUtf8A(FILE* stream, const char* format, va_list args) {
  return FormatCoreA(stream, SinkFileLatin1ToUtf8, format, args);
}

int FilePrintfUtf8A(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfUtf8A(stream, format, args);
  va_end(args);
  return n;
}

int FileVPrintfUtf16A(FILE* stream, const char* format, va_list args) {
  return FormatCoreA(stream, SinkFileWidenUtf16, format, args);
}

int FilePrintfUtf16A(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfUtf16A(stream, format, args);
  va_end(args);
  return n;
}

int FileVPrintfW(FILE* stream, const wchar_t* format, va_list args) {
  return FormatCoreW(stream, SinkFileNarrowW, format, args);
}

int FilePrintfW(FILE* stream, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfW(stream, format, args);
  va_end(args);
  return n;
}

int FileVPrintfUtf8W(FILE* stream, const wchar_t* format, va_list args) {
  return FormatCoreW(stream, SinkFileUtf16ToUtf8, format, args);
}

int FilePrintfUtf8W(FILE* stream, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfUtf8W(stream, format, args);
  va_end(args);
  return n;
}

int FileVPrintfUtf16W(FILE* stream, const wchar_t* format, va_list args) {
  return FormatCoreW(stream, SinkFileRawW, format, args);
}

int FilePrintfUtf16W(FILE* stream, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FileVPrintfUtf16W(stream, format, args);
  va_end(args);
  return n;
}
