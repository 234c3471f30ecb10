#include "viewers/hex/bytesource.h"

#include <cstring>
#include <vector>

#include "text/codecs/base64.h"
#include "text/codecs/cliteral.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Appends whole pieces; the first one that does not fit ends the text.
class SourceOut {
 public:
  SourceOut(char* buffer, int size) : m_buffer(buffer), m_size(size) { m_buffer[0] = 0; }
  bool Put(const char* text, int n) {
    if (m_full || m_length + n > m_size - 1) {
      m_full = true;
      return false;
    }
    std::memcpy(m_buffer + m_length, text, (size_t)n);
    m_length += n;
    m_buffer[m_length] = 0;
    return true;
  }
  bool Put(const char* text) { return Put(text, (int)std::strlen(text)); }
  // One item of a list of lineSize items a line.
  void PutItem(const char* text, int n, int lineSize) {
    Put(text, n);
    if (++m_inLine == lineSize) EndLine();
  }
  // Ends a line the items began.
  void EndLine() {
    if (m_inLine) Put("\r\n", 2);
    m_inLine = 0;
  }
  bool Full() const { return m_full; }
  int Length() const { return m_length; }

 private:
  char* m_buffer;
  int m_size;
  int m_length = 0;
  int m_inLine = 0;
  bool m_full = false;
};

// The hex digits of n bytes as one value: as they lie for big-endian, else
// from the last byte to the first.
int ValueDigits(const unsigned char* bytes, int n, bool bigEndian, char* out) {
  for (int i = 0; i < n; ++i) {
    const unsigned char b = bytes[bigEndian ? i : n - 1 - i];
    out[2 * i] = kHexDigits[b >> 4];
    out[2 * i + 1] = kHexDigits[b & 15];
  }
  out[2 * n] = 0;
  return 2 * n;
}

void PutBase64(SourceOut& out, const unsigned char* data, int count, int room) {
  const int kLine = 64;  // characters; 48 bytes, written as 64 characters and CR LF
  auto needed = [&](int n) {
    const int chars = (n + 2) / 3 * 4;
    return chars + 2 * ((chars + kLine - 1) / kLine);
  };
  // The input shortened to what fits before the terminator.
  const int available = room - 1, lines = available / (kLine + 2);
  int fit = lines * 48;
  const int rest = available - lines * (kLine + 2);
  if (rest > 2) fit += (rest - 2) / 4 * 3;
  const int n = count < fit ? count : fit;
  if (n <= 0) return;
  std::vector<char> text((size_t)needed(n) + 8);
  const int length = Base64EncodeA(data, n, text.data(), kLine);
  for (int i = 0; i < length; ++i) {
    if (text[i] == '\n' && !out.Put("\r\n", 2)) return;
    if (text[i] != '\n' && !out.Put(&text[i], 1)) return;
  }
}

}  // namespace

int FormatBytesAsSource(const void* data, int count, int valueSize, int flags, int lineSize, char* buffer,
                        int bufferSize) {
  if (!buffer || bufferSize < 1) return 0;
  buffer[0] = 0;
  if (bufferSize < 4) return 0;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (!bytes || count < 0) count = 0;
  if (lineSize < 1) lineSize = 16;
  if (valueSize < 1) valueSize = 1;
  if (valueSize > 8) valueSize = 8;
  const bool bigEndian = (flags & SOURCE_BIG_ENDIAN) != 0;
  SourceOut out(buffer, bufferSize);
  char piece[64];
  switch (flags & SOURCE_KIND_MASK) {
    case SOURCE_C_ARRAY: {
      for (int at = 0; at < count && !out.Full(); at += valueSize) {
        const int n = count - at < valueSize ? count - at : valueSize;
        piece[0] = '0', piece[1] = 'x';
        int length = 2 + ValueDigits(bytes + at, n, bigEndian, piece + 2);
        piece[length++] = ',';
        out.PutItem(piece, length, lineSize);
      }
      out.EndLine();
      break;
    }
    case SOURCE_ASSEMBLER: {
      static const char kSizeLetters[] = "BBWDDQQQQ";
      int inLine = 0;
      for (int at = 0; at < count && !out.Full(); at += valueSize) {
        if (inLine == 0) {
          const char start[] = {'D', kSizeLetters[valueSize], '\t'};
          out.Put(start, 3);
        }
        const int n = count - at < valueSize ? count - at : valueSize;
        piece[0] = '0';
        int length = 1 + ValueDigits(bytes + at, n, bigEndian, piece + 1);
        piece[length++] = 'h';
        out.Put(piece, length);
        const bool last = at + valueSize >= count;
        if (++inLine == lineSize || last) {
          out.Put("\r\n", 2);
          inLine = 0;
        } else {
          out.Put(",", 1);
        }
      }
      break;
    }
    case SOURCE_TEXT:
      if (valueSize == 1) {
        PutBase64(out, bytes, count, bufferSize);
      } else if (valueSize == 2 || valueSize == 4) {
        for (int at = 0; at < count && !out.Full(); at += lineSize) {
          const int n = count - at < lineSize ? count - at : lineSize;
          std::vector<char> line((size_t)n * 6 + 8);
          int length = 0;
          line[length++] = '"';
          if (valueSize == 2) {
            for (int i = 0; i < n; ++i) {
              const unsigned char b = bytes[at + i];
              const char escape[] = {'\\', 'x', kHexDigits[b >> 4], kHexDigits[b & 15]};
              std::memcpy(&line[length], escape, 4);
              length += 4;
            }
          } else {
            length +=
                QuoteCStringA(&line[length], (int)line.size() - length, bytes + at, n, CLIT_SHORT_HEX | CLIT_NO_QUOTES);
          }
          line[length++] = '"';
          line[length++] = '\r';
          line[length++] = '\n';
          out.Put(line.data(), length);
        }
      } else {
        for (int at = 0; at < count && !out.Full(); ++at) {
          int length = FormatCCharA(bytes[at], piece, false);
          piece[length++] = ',';
          out.PutItem(piece, length, lineSize);
        }
        out.EndLine();
      }
      break;
    case SOURCE_DUMP: {
      // Values above 4 bytes are not grouped: the line is one run of pairs.
      const int group = valueSize <= 4 ? valueSize : lineSize;
      for (int at = 0; at < count && !out.Full(); at += lineSize) {
        const int end = count - at < lineSize ? count : at + lineSize;
        for (int g = at; g < end && !out.Full(); g += group) {
          const int n = end - g < group ? end - g : group;
          if (g > at) out.Put(" ", 1);
          std::vector<char> digits((size_t)n * 2 + 1);
          out.Put(digits.data(), ValueDigits(bytes + g, n, bigEndian || valueSize > 4, digits.data()));
        }
        out.Put("\r\n", 2);
      }
      break;
    }
  }
  return out.Length();
}
