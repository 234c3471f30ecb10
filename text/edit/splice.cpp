#include "text/edit/splice.h"

#include <climits>

#include "text/twins.h"

namespace {

using twins::Length;
using twins::LengthBounded;
using twins::MoveChars;

template <class Char>
int Splice(Char* text, int position, int count, int lengthLimit, const Char* insert, int size, int insertLimit) {
  int limit = size - 1;
  if (limit < 1) {
    if (size == 1) text[0] = 0;
    return 0;
  }
  int inserted = LengthBounded(insert, insertLimit);
  int length = LengthBounded(text, limit < lengthLimit ? limit : lengthLimit);
  if (position > length) {
    position = length;
    count = 0;
  }
  if (position < 0) {
    count += position;
    position = 0;
  }
  if (count < 0) count = 0;
  if (count > length - position) count = length - position;

  if (inserted == count) {
    MoveChars(text + position, insert, inserted);
    text[length] = 0;
    return length;
  }
  int tail = length - position - count;
  if (length - count + inserted > limit) {
    if (position + inserted > limit) {
      inserted = limit - position;
      tail = 0;
    } else {
      tail = limit - position - inserted;
    }
  }
  MoveChars(text + position + inserted, text + position + count, tail);
  MoveChars(text + position, insert, inserted);
  text[position + inserted + tail] = 0;
  return position + inserted + tail;
}

template <class Char>
int Prepend(Char* text, const Char* prefix) {
  int prefixLength = Length(prefix), length = Length(text);
  MoveChars(text + prefixLength, text, length + 1);
  MoveChars(text, prefix, prefixLength);
  return prefixLength + length;
}

template <class Char>
int PrependBounded(Char* text, const Char* prefix, int size) {
  if (size < 1) return 0;
  int prefixLength = LengthBounded(prefix, size);
  if (prefixLength >= size) {
    MoveChars(text, prefix, size - 1);
    text[size - 1] = 0;
    return size - 1;
  }
  int kept = LengthBounded(text, size - 1 - prefixLength);
  MoveChars(text + prefixLength, text, kept);
  MoveChars(text, prefix, prefixLength);
  text[prefixLength + kept] = 0;
  return prefixLength + kept;
}

}  // namespace

int SpliceTextA(char* text, int position, int count, const char* insert, int size, int insertLimit) {
  return Splice(text, position, count, INT_MAX, insert, size, insertLimit);
}
int SpliceTextW(wchar_t* text, int position, int count, const wchar_t* insert, int size, int insertLimit) {
  return Splice(text, position, count, INT_MAX, insert, size, insertLimit);
}
int SpliceTextNA(char* text, int position, int count, int lengthLimit, const char* insert, int size, int insertLimit) {
  return Splice(text, position, count, lengthLimit, insert, size, insertLimit);
}
int SpliceTextNW(wchar_t* text, int position, int count, int lengthLimit, const wchar_t* insert, int size,
                 int insertLimit) {
  return Splice(text, position, count, lengthLimit, insert, size, insertLimit);
}

int PrependA(char* text, const char* prefix) { return Prepend(text, prefix); }
int PrependW(wchar_t* text, const wchar_t* prefix) { return Prepend(text, prefix); }
int PrependBoundedA(char* text, const char* prefix, int size) { return PrependBounded(text, prefix, size); }
int PrependBoundedW(wchar_t* text, const wchar_t* prefix, int size) { return PrependBounded(text, prefix, size); }
