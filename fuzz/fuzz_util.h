// Helpers of the fuzz targets. A broken contract names its check and aborts,
// so that libFuzzer keeps the input that broke it. Inputs are copied into
// blocks of exactly their size, so that AddressSanitizer sees any read or
// write past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#define FUZZ_CHECK(cond)                                                               \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: contract broken: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

// A heap block of exactly n elements.
template <class T>
class Exact {
 public:
  explicit Exact(size_t n) : n_(n), p_(new T[n]) {}
  // A copy of n elements, widened without sign when T is wider than the source.
  template <class S>
  Exact(const S* src, size_t n) : Exact(n) {
    for (size_t i = 0; i < n; ++i) p_[i] = (T)(typename std::make_unsigned<S>::type)src[i];
  }
  T* get() const { return p_.get(); }
  T& operator[](size_t i) const { return p_[i]; }
  size_t size() const { return n_; }
  int len() const { return (int)n_; }

 private:
  size_t n_;
  std::unique_ptr<T[]> p_;
};

// The same elements followed by a terminator.
template <class T, class S>
Exact<T> Terminated(const S* src, size_t n) {
  Exact<T> t(n + 1);
  for (size_t i = 0; i < n; ++i) t[i] = (T)(typename std::make_unsigned<S>::type)src[i];
  t[n] = 0;
  return t;
}

// Takes the first byte of the input (0 when there is none).
inline uint8_t TakeByte(const uint8_t*& data, size_t& size) {
  if (!size) return 0;
  --size;
  return *data++;
}

inline int Sign(int v) { return (v > 0) - (v < 0); }
