// CSV fields read and written. The input is a separator byte, a size byte
// and the text. Reading uses at most the length, stores at most size - 1
// characters and terminates; writing fits every size; a written field reads
// back whole, using all the written text; the twins agree on widened text.
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "text/fields/csvfield.h"

namespace {

const char kSeparators[] = {',', ';', '\t', '|'};

template <class C>
int Read(const Exact<C>& text, int n, int* copied, const Exact<C>& dest, int size, C sep) {
  if (sizeof(C) == 1) return ReadCsvFieldA((const char*)text.get(), copied, (char*)dest.get(), size, n, (char)sep);
  return ReadCsvFieldW((const wchar_t*)text.get(), copied, (wchar_t*)dest.get(), size, n, (wchar_t)sep);
}
template <class C>
int Write(const Exact<C>& field, int n, const Exact<C>& dest, int size, C sep) {
  if (sizeof(C) == 1) return WriteCsvFieldA((const char*)field.get(), (char*)dest.get(), size, n, (char)sep);
  return WriteCsvFieldW((const wchar_t*)field.get(), (wchar_t*)dest.get(), size, n, (wchar_t)sep);
}

template <class C>
std::vector<C> ReadChecked(const Exact<C>& text, int size, C sep, int* consumed) {
  Exact<C> dest(size > 0 ? size : 1);
  int copied = -1;
  *consumed = Read(text, text.len(), &copied, dest, size, sep);
  FUZZ_CHECK(*consumed >= 0 && *consumed <= text.len());
  FUZZ_CHECK(copied >= 0 && copied <= (size > 0 ? size - 1 : 0));
  if (size > 0) FUZZ_CHECK(dest[copied] == 0);
  return size > 0 ? std::vector<C>(dest.get(), dest.get() + copied) : std::vector<C>();
}

template <class C>
void RoundTrip(const Exact<C>& field, C sep) {
  // Every size: the result fits and is terminated.
  const int big = field.len() * 2 + 4;
  for (int size = 0; size <= big; size += (size < 8 || size > big - 8) ? 1 : 7) {
    Exact<C> dest(size > 0 ? size : 1);
    const int w = Write(field, field.len(), dest, size, sep);
    FUZZ_CHECK(w >= 0 && (size < 1 || w <= size - 1));
    if (size > 0) FUZZ_CHECK(dest[w] == 0);
  }
  Exact<C> dest(big);
  const int w = Write(field, field.len(), dest, big, sep);
  Exact<C> written(dest.get(), (size_t)w);
  int consumed = -1;
  std::vector<C> back = ReadChecked(written, big, sep, &consumed);
  FUZZ_CHECK(consumed == w);
  FUZZ_CHECK(back == std::vector<C>(field.get(), field.get() + field.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char sep = kSeparators[TakeByte(data, size) % 4];
  const int destSize = (int)TakeByte(data, size) % 40 - 2;
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> textW((const char*)data, size);
  int consumed = 0, consumedW = 0;
  std::vector<char> a = ReadChecked(text, destSize, sep, &consumed);
  std::vector<wchar_t> w = ReadChecked(textW, destSize, (wchar_t)(unsigned char)sep, &consumedW);
  FUZZ_CHECK(consumed == consumedW);
  FUZZ_CHECK(a.size() == w.size());
  for (size_t i = 0; i < a.size(); ++i) FUZZ_CHECK((wchar_t)(unsigned char)a[i] == w[i]);

  // The text without its NULs as one field.
  std::string field;
  for (size_t i = 0; i < size; ++i)
    if (data[i]) field += (char)data[i];
  RoundTrip(Exact<char>(field.data(), field.size()), sep);
  RoundTrip(Exact<wchar_t>(field.data(), field.size()), (wchar_t)(unsigned char)sep);
  return 0;
}
