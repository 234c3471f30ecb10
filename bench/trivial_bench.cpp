// Proves the benchmark harness: CString append against std::string append.
#include <string>

#include "base/cstring.h"
#include "bench.h"

int main() {
  bench::Compare(
      "CString append 64 chars",
      [] {
        CString s;
        for (int i = 0; i < 64; ++i) s += 'x';
        bench::Sink(s.GetLength());
      },
      "std::string",
      [] {
        std::string s;
        for (int i = 0; i < 64; ++i) s += 'x';
        bench::Sink((long long)s.size());
      },
      20000);
  return 0;
}
