// A wildcard list over 100,000 file names, as the file enumeration filters
// them, against the shell's own matcher (shlwapi) on the same list.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "text/wildcard/wildcard.h"

int main() {
  static const char* const kStems[] = {"Bericht", "~Entwurf", "daten", "IMG_", "setup", "Notizen", "a", "archiv"};
  static const char* const kExtensions[] = {".txt", ".TMP", ".bak", ".old", ".docx", "", ".tmp.txt", ".jpeg"};
  std::vector<std::string> names;
  names.reserve(100000);
  unsigned seed = 12345;
  for (int i = 0; i < 100000; ++i) {
    seed = seed * 1103515245u + 12345u;
    char number[16];
    std::snprintf(number, sizeof number, "%u", (seed >> 8) % 100000);
    names.push_back(std::string(kStems[(seed >> 4) % 8]) + number + kExtensions[(seed >> 20) % 8]);
  }
  const char* list = "*.tmp;*.bak;~*;*.old";
  bench::Compare(
      "MatchWildcardListA 100000 names",
      [&] {
        long long hits = 0;
        for (const std::string& n : names)
          hits += MatchWildcardListA(n.data(), (int)n.size(), list, MATCH_IGNORE_CASE | MATCH_FILE_NAME, ';') >= 1;
        bench::Sink(hits);
      },
      "PathMatchSpecA",
      [&] {
        long long hits = 0;
        for (const std::string& n : names) hits += PathMatchSpecA(n.c_str(), list) != FALSE;
        bench::Sink(hits);
      },
      1, 9);
  return 0;
}
