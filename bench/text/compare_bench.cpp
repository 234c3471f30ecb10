// Caseless compare against the C runtime's _stricmp on the same pairs, as a
// sort of registry names does them.
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "text/strings.h"

int main() {
  // clang-format off
  const char* names[] = {
      "InstallLocation", "installlocation", "DisplayName", "DisplayVersion", "UninstallString",
      "ThreadingModel", "threadingmodel", "Apartment", "LastPath1", "LastPath2", "REG_EXPAND_SZ", "Version",
      "{4F3A1C2B-9D8E-4B7A-8C6D-5E4F3A2B1C0D}", "{4f3a1c2b-9d8e-4b7a-8c6d-5e4f3a2b1c0e}", "MRUList", "Brannock",
      "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}\\InprocServer32",
      "SOFTWARE\\CLASSES\\CLSID\\{00021401-0000-0000-C000-000000000046}\\InprocServer32",
  };
  // clang-format on
  std::vector<std::string> v(names, names + sizeof names / sizeof names[0]);
  bench::Compare(
      "CompareNoCaseA names",
      [&] {
        long long s = 0;
        for (const std::string& a : v)
          for (const std::string& b : v) s += CompareNoCaseA(a.c_str(), b.c_str()) < 0;
        bench::Sink(s);
      },
      "_stricmp",
      [&] {
        long long s = 0;
        for (const std::string& a : v)
          for (const std::string& b : v) s += _stricmp(a.c_str(), b.c_str()) < 0;
        bench::Sink(s);
      },
      2000);
  return 0;
}
