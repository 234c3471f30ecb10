// CTextList::AddSplit and AddSplitN: the parts inserted are the text cut at
// each separator (a separator at the very end adding no empty part; with the
// separator NUL a multi-string up to its empty part), so joining them again
// gives the text back; they land at the clamped index, between the items
// already there, each with the extra data given; the counted form reads no
// further than its n characters.
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "text/textlist/textlist.h"

namespace {

const char kExtra[4] = {'x', 't', 'r', 'a'};

// The parts a split should give.
std::vector<std::string> Parts(const std::string& text, char separator, bool counted) {
  std::vector<std::string> parts;
  if (separator == 0) {
    size_t p = 0;
    while (p < text.size() && (counted || text[p])) {
      size_t e = text.find('\0', p);
      if (e == std::string::npos) e = text.size();
      parts.push_back(text.substr(p, e - p));
      p = e + 1;
    }
    return parts;
  }
  std::string t = text.substr(0, text.find('\0'));
  if (t.empty()) return parts;
  size_t p = 0;
  for (;;) {
    size_t e = t.find(separator, p);
    if (e == std::string::npos) e = t.size();
    parts.push_back(t.substr(p, e - p));
    if (e + 1 >= t.size()) break;
    p = e + 1;
  }
  return parts;
}

void Check(const CTextList& list, int result, int index, const std::vector<std::string>& parts) {
  const int before = 3;
  const int at = (unsigned)index > (unsigned)before ? before : index;
  FUZZ_CHECK(list.count == before + (int)parts.size());
  FUZZ_CHECK(result == at);
  for (int i = 0; i < list.count; ++i) {
    const bool part = i >= at && i < at + (int)parts.size();
    const std::string want = part ? parts[i - at] : std::string(1, (char)('A' + (i < at ? i : i - parts.size())));
    FUZZ_CHECK(list.LengthAt(i) == want.size());
    FUZZ_CHECK(std::memcmp(list.TextAt(i), want.data(), want.size()) == 0 && list.TextAt(i)[want.size()] == 0);
    FUZZ_CHECK(std::memcmp(list.items[i], part ? kExtra : "\0\0\0\0", 4) == 0);
  }
}

void Fill(CTextList& list) {
  for (const char* s : {"A", "B", "C"}) list.InsertString(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char kSeparators[8] = {';', ',', '\n', 0, '\\', (char)0xE4, ' ', 0};
  const uint8_t s = TakeByte(data, size);
  const char separator = s < 0xF0 ? kSeparators[s % 8] : (char)(s & 0x7F);
  const int index = (int)TakeByte(data, size) - 2;  // -2 to 253: append, or clamped
  const std::string text((const char*)data, size);

  {  // AddSplit over the text with its terminator (two for a multi-string)
    Exact<char> t(size + 2);
    std::memcpy(t.get(), data, size);
    t[size] = t[size + 1] = 0;
    CTextList list(4);
    Fill(list);
    int r = list.AddSplit(separator, t.get(), index, kExtra);
    std::vector<std::string> parts = Parts(text, separator, false);
    if (!t[0]) {
      FUZZ_CHECK(r == -1 && list.count == 3);
    } else {
      Check(list, r, index, parts);
    }
  }
  {  // AddSplitN over exactly the bytes, without a terminator
    Exact<char> t((const char*)data, size);
    CTextList list(4);
    Fill(list);
    int r = list.AddSplitN(separator, t.len(), t.get(), index, kExtra);
    Check(list, r, index, Parts(text, separator, true));
  }
  return 0;
}
