// FormatToBufferA (and its 16-bit twin) with fuzzed formats over a fixed
// argument list. The result stays below the size, the text is terminated
// within the size, and a smaller buffer holds a prefix of the same text.
//
// The input is two bytes of buffer size and the format. Every argument is
// a pointer into an arena mapped at a low address, so that each one serves
// any conversion: as a pointer it reaches readable and writable memory that
// holds short texts (8-bit and 16-bit terminated), and as an integer, width
// or precision it is a moderate number. Eight doubles follow for the
// floating conversions.
#include <sys/mman.h>

#include <cmath>

#include "fuzz_util.h"
#include "text/formatter.h"

namespace {

const uintptr_t kArenaAddress = 0x10000;
const size_t kArenaSize = 0x40000;  // far enough for a '*' precision on any argument
const int kCell = 64;
const int kPointers = 40;

char* Arena() {
  static char* arena = [] {
    void* p = mmap((void*)kArenaAddress, kArenaSize, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    FUZZ_CHECK(p == (void*)kArenaAddress);
    return (char*)p;
  }();
  return arena;
}

// Fresh texts in the first cells; %n may have written into them.
void FillArena(char* a) {
  std::memset(a, 0, kArenaSize);
  static const char kTexts[] = "Ab\x01\xE4 z\\\"%s\x7F\x80\xFF";
  for (int k = 0; k < kPointers; ++k) std::memcpy(a + k * kCell, kTexts + k % 8, sizeof kTexts - 1 - k % 8);
}

template <class C, class F>
void Format(F format, C* buffer, int size, const C* fmt, int* result) {
  char* a = Arena();
  FillArena(a);
#define P(k) (void*)(a + (k)*kCell)
  *result = format(buffer, size, fmt, P(0), P(1), P(2), P(3), P(4), P(5), P(6), P(7), P(8), P(9), P(10), P(11), P(12),
                   P(13), P(14), P(15), P(16), P(17), P(18), P(19), P(20), P(21), P(22), P(23), P(24), P(25), P(26),
                   P(27), P(28), P(29), P(30), P(31), P(32), P(33), P(34), P(35), P(36), P(37), P(38), P(39), 0.0, -1.5,
                   1e300, 5e-324, 123456.789, -0.0, INFINITY, NAN);
#undef P
}

template <class C, class F>
void Check(F format, const C* fmt, int size, bool stable) {
  int full = 0, r = 0;
  const int big = 1 << 20;
  static C* fullText = new C[big];
  Format(format, fullText, big, fmt, &full);
  FUZZ_CHECK(full >= 0 && full < big && fullText[full] == 0);

  Exact<C> buffer(size);
  Format(format, buffer.get(), size, fmt, &r);
  if (size < 1) {
    FUZZ_CHECK(r == 0);
    return;
  }
  FUZZ_CHECK(r >= 0 && r < size && buffer[r] == 0);
  if (stable) {  // without %n the texts are the same in both runs
    FUZZ_CHECK(r == (full < size ? full : size - 1));
    FUZZ_CHECK(std::memcmp(buffer.get(), fullText, r * sizeof(C)) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int bufferSize = TakeByte(data, size);
  bufferSize |= (TakeByte(data, size) & 0x0F) << 8;
  int fetches = 0, digits = 0;
  bool stable = true, lettered = false, floating = false;
  for (size_t i = 0; i < size; ++i) {
    fetches += data[i] == '%' || data[i] == '*';
    stable = stable && data[i] != 'n';
    lettered = lettered || data[i] == '@';
    floating = floating || std::strchr("eEfFgGaA", data[i] ? data[i] : 'x');
    // Widths and precisions of five digits and more read or pad beyond the
    // arena's texts; the contract leaves sizing them to the caller.
    digits = data[i] >= '0' && data[i] <= '9' ? digits + 1 : 0;
    if (digits > 4) return 0;
  }
  // Each directive and '*' fetches at most one argument and argument letters
  // load up to twelve more; a format that could fetch more than there are
  // (the first three pointers travel in registers) is outside the contract.
  if (fetches + 12 > kPointers - 4) return 0;
  // Argument letters load the saved entries by the kind the pre-scan sees.
  // Here doubles travel apart from the other arguments (unlike the 32-bit
  // target's one list of slots), so a position read once as a double and once
  // as a pointer is no format this platform can serve.
  if (lettered && floating) return 0;

  Exact<char> format = Terminated<char>((const char*)data, size);
  Check<char>(FormatToBufferA, format.get(), bufferSize, stable);
  Exact<wchar_t> formatW = Terminated<wchar_t>((const char*)data, size);
  Check<wchar_t>(FormatToBufferW, formatW.get(), bufferSize, stable);
  return 0;
}
