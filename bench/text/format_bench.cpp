// FormatToBufferA against the C runtime's _snprintf on the formats the
// application uses most: decimal, string, padded hex and fixed point.
#include <cstdio>

#include "bench.h"
#include "text/formatter.h"

namespace {

const char* const kNames[4] = {"HKEY_CURRENT_USER", "Ostrova", "LastPath1", "(Standard)"};
const double kValues[4] = {3.14159, -2.5e6, 0.000125, 1234.5678};

}  // namespace

int main() {
  char buffer[256];
  int i = 0;
  bench::Compare(
      "FormatToBufferA %d %s %08X %.3f",
      [&] {
        int k = i++ & 3;
        bench::Sink(FormatToBufferA(buffer, sizeof buffer, "%d %s %08X %.3f", i * 7919, kNames[k], i * 2654435761u,
                                    kValues[k]));
      },
      "_snprintf",
      [&] {
        int k = i++ & 3;
        bench::Sink(
            _snprintf(buffer, sizeof buffer, "%d %s %08X %.3f", i * 7919, kNames[k], i * 2654435761u, kValues[k]));
      },
      20000);
  return 0;
}
