#include "text/codecs/scrambler.h"

#include <type_traits>

#include "text/twins.h"

namespace {

// The threshold 255 (or above) leaves a range of one value, where no addend
// is reversible: then nothing changes, rather than 255 turning into 254.
bool Addends(uint32_t key, int threshold, int addends[4]) {
  if (threshold > 254) return false;
  for (int i = 0; i < 4; ++i) {
    int a = (int)(key >> (8 * i)) & 0xFF;
    addends[i] = a >= 255 - threshold ? 254 - threshold : a;
  }
  return true;
}

template <class Char>
int Scramble(Char* text, uint32_t key, int length, int threshold, bool add) {
  if (length < 0) length = twins::Length(text);
  if (threshold < 1) threshold = 1;
  int addends[4];
  if (!Addends(key, threshold, addends)) return length;
  for (int i = 0; i < length; ++i) {
    int c = (int)(typename std::make_unsigned<Char>::type)text[i];
    if (c < threshold || c > 255) continue;
    int a = addends[i & 3];
    if (add) {
      c += a;
      if (c >= 256) c += threshold - 256;
    } else {
      c -= a;
      if (c < threshold) c += 256 - threshold;
    }
    text[i] = (Char)c;
  }
  return length;
}

}  // namespace

int AddKeyToCharsA(char* text, uint32_t key, int length, int threshold) {
  return Scramble(text, key, length, threshold, true);
}
int AddKeyToCharsW(wchar_t* text, uint32_t key, int length, int threshold) {
  return Scramble(text, key, length, threshold, true);
}
int SubtractKeyFromCharsA(char* text, uint32_t key, int length, int threshold) {
  return Scramble(text, key, length, threshold, false);
}
int SubtractKeyFromCharsW(wchar_t* text, uint32_t key, int length, int threshold) {
  return Scramble(text, key, length, threshold, false);
}
