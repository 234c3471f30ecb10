// Integer parsing (automatic prefixes, decimal texts) against the C runtime's strtol on the same texts.
#include <cstdlib>
#include <string>
#include <vector>

#include "bench.h"
#include "text/numbers.h"

int main() {
  const char* texts[] = {"0",      "7",          "42",   "-1",          "255",  "1024",  "65535",   "-32768",
                         "123456", "2147483647", "  99", "-2147483648", "3000", "86400", "1000000", "17"};
  bench::Compare(
      "ParseIntA decimal",
      [&] {
        long long s = 0;
        for (const char* t : texts) {
          int end;
          s += ParseIntA(t, 0, &end) + end;
        }
        bench::Sink(s);
      },
      "strtol",
      [&] {
        long long s = 0;
        for (const char* t : texts) {
          char* end;
          s += std::strtol(t, &end, 10) + (end - t);
        }
        bench::Sink(s);
      },
      20000);
  return 0;
}
