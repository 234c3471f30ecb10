// The registry browser's sort: 100,000 registry-like names in a CTextList
// ordered with CompareNaturalNoCaseA, against std::sort with _stricmp over
// the same names. A natural compare does more per character; the aim is at
// most twice the time.
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "text/strings.h"
#include "text/textlist/textlist.h"

namespace {

uint32_t g_seed = 12345;
uint32_t Next(uint32_t range) {
  g_seed = g_seed * 1103515245u + 12345u;
  return (g_seed >> 8) % range;
}

// Key and value names as a registry holds them: words with numbers, GUIDs,
// dotted and underscored names, versions, hex values, a few umlauts.
std::vector<std::string> MakeNames(int n) {
  // clang-format off
  static const char* words[] = {"Software",
                                "Microsoft",
                                "Windows",
                                "CurrentVersion",
                                "Explorer",
                                "Shell",
                                "Item",
                                "Value",
                                "Setting",
                                "MRUList",
                                "Device",
                                "Parameters",
                                "Class",
                                "Interface",
                                "TypeLib",
                                "Ostrova",
                                "Brannock",
                                "\xC4nderung",
                                "Gr\xF6\xDF"
                                "e",
                                "\xDC"
                                "bersicht",
                                "Policies",
                                "Services",
                                "Enum",
                                "Control"};
  // clang-format on
  static const char* seps[] = {"", "", "", ".", "_", " ", "-"};
  std::vector<std::string> names;
  names.reserve(n);
  char buf[96];
  while ((int)names.size() < n) {
    std::string s;
    switch (Next(6)) {
      case 0:  // {GUID}
        snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%08X%04X}", Next(0x7FFFFFFF), Next(0x10000), Next(0x10000),
                 Next(0x10000), Next(0x7FFFFFFF), Next(0x10000));
        s = buf;
        break;
      case 1:  // Word123
        s = words[Next(24)];
        s += std::to_string(Next(Next(2) ? 100 : 100000));
        break;
      case 2:  // Word.Word.7
        s = std::string(words[Next(24)]) + seps[Next(7)] + words[Next(24)] + "." + std::to_string(Next(20));
        break;
      case 3:  // KB0012345, x86_64 and the like
        snprintf(buf, sizeof buf, "%s%0*u_%u", Next(2) ? "KB" : "x", (int)Next(8) + 1, Next(1000000), Next(100));
        s = buf;
        break;
      case 4:  // 0x1F, 007
        snprintf(buf, sizeof buf, Next(2) ? "0x%X" : "%03u", Next(4096));
        s = buf;
        break;
      default:  // Word Word
        s = std::string(words[Next(24)]) + seps[Next(7)] + words[Next(24)];
        break;
    }
    names.push_back(s);
  }
  return names;
}

}  // namespace

int main() {
  const int kCount = 100000;
  std::vector<std::string> names = MakeNames(kCount);

  CTextList list;
  for (const std::string& s : names) list.InsertString(s.c_str());
  std::vector<char*> unsorted(list.items, list.items + list.count);
  std::vector<const char*> texts;
  for (const std::string& s : names) texts.push_back(s.c_str());

  bench::Compare(
      "natural sort 100000 names",
      [&] {
        memcpy(list.items, unsorted.data(), unsorted.size() * sizeof(char*));
        list.SortByTextWith(CompareNaturalNoCaseA, 0, -1, 0);
        bench::Sink((intptr_t)list.items[0]);
      },
      "std::sort _stricmp",
      [&] {
        std::vector<const char*> v = texts;
        std::sort(v.begin(), v.end(), [](const char* a, const char* b) { return _stricmp(a, b) < 0; });
        bench::Sink((intptr_t)v[0]);
      },
      1, 7);
  return 0;
}
