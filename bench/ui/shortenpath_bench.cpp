// Shortening paths to a width with a character-width table, against
// DrawTextA's path ellipsis on the same paths, font and width.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "ui/fonts.h"
#include "ui/textmeasure.h"

int main() {
  const char* roots[] = {"C:\\", "D:\\", "\\\\server\\share\\", "C:/"};
  const char* folders[] = {"Programme", "Windows",      "System32", "Benutzer", "Dokumente und Einstellungen",
                           "Ostrova",   "Brannock",     "Temp",     "Daten",    "Microsoft Office",
                           "x",         "Registrierung"};
  const char* files[] = {"Datei.txt", "regedit.exe", "Export vom 12.03.reg", "a", "Übersicht – Maße.doc"};
  std::vector<std::string> paths;
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int i = 0; i < 100000; ++i) {
    std::string p = roots[next() % 4];
    int depth = 1 + next() % 8;
    for (int d = 0; d < depth; ++d) p += std::string(folders[next() % 12]) + "\\";
    p += files[next() % 5];
    paths.push_back(p);
  }
  HFONT hFont = GetStandardFont(0);
  BYTE table[256];
  GetCharWidthTable(table, hFont);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, hFont);
  const int width = 220;
  char buffer[MAX_PATH + 8];
  bench::Compare(
      "ShortenPathToWidth 100000 paths",
      [&] {
        long long s = 0;
        for (const std::string& p : paths) s += ShortenPathToWidth(p.c_str(), buffer, sizeof buffer, width, table, 2);
        bench::Sink(s);
      },
      "DrawTextA(DT_PATH_ELLIPSIS|DT_MODIFYSTRING|DT_CALCRECT)",
      [&] {
        long long s = 0;
        for (const std::string& p : paths) {
          std::memcpy(buffer, p.c_str(), p.size() + 1);
          RECT rc = {0, 0, width, 20};
          DrawTextA(dc, buffer, -1, &rc, DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
          s += buffer[0];
        }
        bench::Sink(s);
      },
      1, 3);
  DeleteDC(dc);
  return 0;
}
