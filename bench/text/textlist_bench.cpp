// CTextList: sorting 100,000 short texts caselessly and looking them up by
// binary search, against std::sort and std::lower_bound over
// std::vector<std::string> with the same comparison.
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench.h"
#include "text/strings.h"
#include "text/textlist/textlist.h"

namespace {

const int kCount = 100000;

// Registry-like names: 4 to 14 characters of mixed case, digits and blanks.
std::vector<std::string> MakeTexts() {
  std::mt19937 rng(2024);
  const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _.";
  std::vector<std::string> texts(kCount);
  for (std::string& t : texts) {
    t.resize(4 + rng() % 11);
    for (char& c : t) c = alphabet[rng() % (sizeof alphabet - 1)];
  }
  return texts;
}

// The list's built-in caseless text order: the common part, then length.
bool NoCaseLess(const std::string& a, const std::string& b) {
  int c = CompareNoCaseNA(a.data(), b.data(), (int)std::min(a.size(), b.size()));
  return c ? c < 0 : a.size() < b.size();
}

}  // namespace

int main() {
  std::vector<std::string> texts = MakeTexts();

  CTextList list;
  for (const std::string& t : texts) list.InsertStringLen((int)t.size(), t.data());
  std::vector<char*> shuffled(list.items, list.items + list.count);
  std::vector<std::string> work(texts);

  bench::Compare(
      "Sort 100k caseless",
      [&] {
        std::memcpy(list.items, shuffled.data(), shuffled.size() * sizeof(char*));
        list.Sort(0, -1, CTextList::CompareNoCase);
        bench::Sink(list.LengthAt(0));
      },
      "std::sort strings",
      [&] {
        std::copy(texts.begin(), texts.end(), work.begin());
        std::sort(work.begin(), work.end(),
                  [](const std::string& a, const std::string& b) { return CompareNoCaseA(a.c_str(), b.c_str()) < 0; });
        bench::Sink((long long)work[0].size());
      },
      1, 9);

  // Lookups of every text, in random order, in the sorted list.
  std::vector<std::string> sorted(texts);
  std::sort(sorted.begin(), sorted.end(), NoCaseLess);
  list.RemoveAll();
  for (const std::string& t : sorted) list.InsertStringLen((int)t.size(), t.data());
  std::vector<std::string> keys(texts);
  std::shuffle(keys.begin(), keys.end(), std::mt19937(5));

  auto lowerBound = [&] {
    long long sum = 0;
    for (const std::string& k : keys)
      sum += std::lower_bound(sorted.begin(), sorted.end(), k, NoCaseLess) - sorted.begin();
    bench::Sink(sum);
  };
  // The browser's lookup (flag 1: caseless, a hit ends the search) and the
  // exact counterpart of lower_bound (2 | 8: first equal item or insertion point).
  bench::Compare(
      "BinaryFindString 100k flags 1",
      [&] {
        long long sum = 0;
        for (const std::string& k : keys) sum += list.BinaryFindString((int)k.size(), k.data(), 0, -1, 1);
        bench::Sink(sum);
      },
      "std::lower_bound", lowerBound, 1, 9);

  bench::Compare(
      "BinaryFindString 100k flags 11",
      [&] {
        long long sum = 0;
        for (const std::string& k : keys) sum += list.BinaryFindString((int)k.size(), k.data(), 0, -1, 1 | 2 | 8);
        bench::Sink(sum);
      },
      "std::lower_bound", lowerBound, 1, 9);
  return 0;
}
