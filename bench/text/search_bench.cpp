// Substring search against the C runtime's strstr on the same data: the
// registry find's case (many short names, mostly without a match) and one
// long text with the needle near its end.
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "text/strings.h"

int main() {
  // clang-format off
  const char* names[] = {
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "InstallLocation", "DisplayName", "{4F3A1C2B-9D8E-4B7A-8C6D-5E4F3A2B1C0D}", "UninstallString",
      "C:\\Program Files\\Common Files\\System\\Ole DB\\oledb32.dll", "ThreadingModel", "Apartment",
      "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}\\InprocServer32", "LastPath1",
      "Die Datei wurde nicht gefunden und kann nicht geöffnet werden", "REG_EXPAND_SZ", "Version",
      "%SystemRoot%\\system32\\shell32.dll,-21787", "MRUList", "Brannock", "Ostrova\\Settings\\Recent",
  };
  // clang-format on
  std::vector<std::string> texts(names, names + sizeof names / sizeof names[0]);
  const char* needles[] = {"Shell", "dll", "Ostrova", "xyz", "CurrentVersion", "0046}"};

  bench::Compare(
      "FindSubstrA names",
      [&] {
        long long s = 0;
        for (const char* n : needles)
          for (const std::string& t : texts) s += FindSubstrA(t.c_str(), n);
        bench::Sink(s);
      },
      "strstr",
      [&] {
        long long s = 0;
        for (const char* n : needles)
          for (const std::string& t : texts) {
            const char* p = std::strstr(t.c_str(), n);
            s += p ? p - t.c_str() : -1;
          }
        bench::Sink(s);
      },
      2000);

  std::string big;
  while (big.size() < 8000) big += "Data Daten Datei Dateiname Datum ";
  big += "Dateinamen";
  bench::Compare(
      "FindSubstrA long text", [&] { bench::Sink(FindSubstrA(big.c_str(), "Dateinamen")); }, "strstr",
      [&] {
        const char* p = std::strstr(big.c_str(), "Dateinamen");
        bench::Sink(p ? p - big.c_str() : -1);
      },
      2000);
  return 0;
}
