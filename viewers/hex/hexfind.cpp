// Searching the hex view's data for one or several byte items: the find
// dialog, find next, a search for the selected bytes, and the matcher.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "text/codecs/cliteral.h"
#include "text/codecs/maskedmem.h"
#include "text/numbers/intparse.h"
#include "ui/msgbox.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexfinddlg.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/valuetext.h"

namespace {

const char kNotFound[] = "Bereich wurde nicht gefunden !";
const char kEndReached[] = "Ende erreicht. Am Anfang weiter suchen ?";
const uint32_t kNumberFlags = PARSE_NO_MINUS | PARSE_NO_BLANKS;  // 0xC000
// Below this many positions a table costs more than it saves.
const int kTableScanMin = 1024;

struct SearchItem {
  BYTE bytes[kValueTextSize];  // value, then the mask of a masked item
  int length = 0;              // bytes compared
  int mode = kHexMatchExact;
};

// One item line: blanks, a kind letter, anything up to ":", the length, an
// optional "G" before the next ":", and the data text from that ":" on. The
// length is cut to the bytes the text gave (a masked item: half of them).
bool ParseItemLine(const char* line, SearchItem* item) {
  while (*line == ' ' || *line == '\t') ++line;
  if (!*line) return false;
  const char kind = *line;
  const char* colon = std::strchr(line, ':');
  if (!colon) return false;
  int length = ParseIntA(colon + 1, kNumberFlags, nullptr);
  const char* data = std::strchr(colon + 1, ':');
  if (!data) return false;
  bool noCase = false;
  for (const char* p = colon + 1; p < data; ++p) noCase |= *p == 'G';
  const int given = ParseValueText(data, item->bytes, kValueBytesMax);
  length = std::min(length, given);
  if (kind == 'M') {
    // Value bytes, then as many mask bytes: half the length is compared.
    length /= 2;
    item->mode = kHexMatchMasked;
  } else {
    item->mode = noCase ? kHexMatchNoCase : kHexMatchExact;
  }
  item->length = length;
  return length > 0;
}

BYTE FoldCase(BYTE c) { return c >= 'A' && c <= 'Z' ? (BYTE)(c + 32) : c; }

}  // namespace

int CHexView::MatchItems(const BYTE* item, int length, int start, int count, int mode) const {
  if (length < 1) return start;
  const long long last = (long long)m_size - length;
  if (last < 0 || count == 0) return -1;
  const bool forward = count > 0;
  long long lo, hi;
  if (forward) {
    lo = std::max<long long>(start, 0);
    hi = std::min<long long>((long long)start + count - 1, last);
  } else {
    hi = std::min<long long>(start, last);
    lo = std::max<long long>((long long)start + count + 1, 0);
  }
  if (lo > hi) return -1;
  const int m = length;
  // Value and mask in one form: exact items have a full mask, case-free ones
  // compare folded bytes.
  std::vector<BYTE> value(item, item + m), mask((size_t)m, 0xFF);
  if (mode == kHexMatchMasked) mask.assign(item + m, item + 2 * m);
  BYTE fold[256];
  for (int c = 0; c < 256; ++c) fold[c] = mode == kHexMatchNoCase ? FoldCase((BYTE)c) : (BYTE)c;
  if (mode == kHexMatchNoCase)
    for (BYTE& b : value) b = FoldCase(b);
  for (int j = 0; j < m; ++j) value[j] &= mask[j];
  const BYTE* d = m_data;
  auto equal = [&](const BYTE* p) {
    switch (mode) {
      case kHexMatchMasked:
        return MemCompareMasked(p, value.data(), mask.data(), m) == 0;
      case kHexMatchNoCase:
        for (int j = 0; j < m; ++j)
          if (fold[p[j]] != value[j]) return false;
        return true;
      default:
        return std::memcmp(p, value.data(), (size_t)m) == 0;
    }
  };
  auto fits = [&](BYTE c, int j) { return ((fold[c] ^ value[j]) & mask[j]) == 0; };
  if (m < 2 || hi - lo < kTableScanMin) {
    if (forward) {
      for (long long p = lo; p <= hi; ++p)
        if (fits(d[p], 0) && equal(d + p)) return (int)p;
    } else {
      for (long long p = hi; p >= lo; --p)
        if (fits(d[p], 0) && equal(d + p)) return (int)p;
    }
    return -1;
  }
  // Horspool over the bytes a pattern position accepts: the shift for a
  // byte is the distance to the nearest other position that could take it.
  int shift[256];
  for (int& s : shift) s = m;
  if (forward) {
    for (int j = 0; j < m - 1; ++j)
      for (int c = 0; c < 256; ++c)
        if (fits((BYTE)c, j)) shift[c] = m - 1 - j;
    for (long long p = lo; p <= hi;) {
      const BYTE c = d[p + m - 1];
      if (fits(c, m - 1) && equal(d + p)) return (int)p;
      p += shift[c];
    }
  } else {
    for (int j = m - 1; j >= 1; --j)
      for (int c = 0; c < 256; ++c)
        if (fits((BYTE)c, j)) shift[c] = j;
    for (long long p = hi; p >= lo;) {
      const BYTE c = d[p];
      if (fits(c, 0) && equal(d + p)) return (int)p;
      p -= shift[c];
    }
  }
  return -1;
}

int CHexView::Search(char** items, int start, int count, BOOL select, int rangeEnd) {
  const char* gapText = StrListGetAt(items, 0);
  if (!gapText) return -1;
  const int gap = ParseIntA(gapText, kNumberFlags, nullptr);
  std::vector<SearchItem> list;
  for (int i = 1; i <= kHexSearchItemsMax; ++i) {
    const char* line = StrListGetAt(items, i);
    if (!line) break;
    SearchItem item;
    if (ParseItemLine(line, &item)) list.push_back(item);
  }
  if (list.empty()) return -1;
  if (rangeEnd < 0 || rangeEnd > m_size) rangeEnd = m_size;
  HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  const bool inSequence = (s_findFlags & FINDF_ORDER) != 0;
  std::vector<int> at(list.size(), -1);
  int hit = -1, pos = start, left = count;
  const SearchItem& first = list[0];
  while (left != 0) {
    hit = MatchItems(first.bytes, first.length, pos, left, first.mode);
    if (hit < 0) break;
    at[0] = hit;
    const long long end = std::min<long long>((long long)hit + gap, rangeEnd);
    bool all = true;
    for (size_t i = 1; i < list.size() && all; ++i) {
      const long long from = inSequence ? (long long)at[i - 1] + list[i - 1].length : (long long)hit + first.length;
      const long long n = end - list[i].length - from + 1;
      at[i] = n > 0 && from < m_size ? MatchItems(list[i].bytes, list[i].length, (int)from, (int)n, list[i].mode) : -1;
      all = at[i] >= 0;
    }
    if (all) break;
    // The rest of the range after (before) this hit.
    if (left > 0) {
      left -= hit + 1 - pos;
      pos = hit + 1;
      if (left < 0) left = 0;
    } else {
      left += pos - (hit - 1);
      pos = hit - 1;
      if (left > 0) left = 0;
    }
    hit = -1;
  }
  ::SetCursor(old ? old : ::LoadCursor(nullptr, IDC_ARROW));
  if (select) {
    SetMarkRange(-2, 0, 0);
    if (hit >= 0) {
      int last = hit;
      for (size_t i = 0; i < list.size(); ++i) {
        if (i < (size_t)kHexRanges - 1) SetMarkRange((int)i, at[i], list[i].length);
        last = std::max(last, at[i] + list[i].length - 1);
      }
      SelectRange((DWORD)hit, first.length, FALSE);
      // A hit reaching below the window but shorter than half of it shows whole.
      const int visible = std::max(1, (int)GetVisibleSize().cy), top = GetScrollPos().y;
      const int lastLine = m_layout.LineOf(last, m_lineShift), hitLine = m_layout.LineOf(hit, m_lineShift);
      if (m_hWnd && lastLine >= top + visible && lastLine - hitLine + 1 < visible / 2)
        SetScrollPos(GetScrollPos().x, lastLine - visible + 1);
    }
  }
  return hit;
}

CString CHexView::SelectionFindText() const {
  BYTE bytes[kHexFindTextBytes];
  const int n = GetSelectedBytes(bytes, kHexFindTextBytes);
  bool printable = n > 0;
  for (int i = 0; i < n; ++i) printable &= bytes[i] >= 32 && bytes[i] <= 127;
  char text[kHexFindTextBytes * 6 + 8];
  // Quoted with escapes, so that '"' and '\' read back as themselves.
  if (printable)
    QuoteCStringA(text, sizeof text, bytes, n, 0);
  else
    FormatValueBytes(bytes, n, text, sizeof text, VALUE_DUMP);
  return CString(text);
}

BOOL CHexView::Find() {
  BOOL found = FALSE;
  for (;;) {
    CString text;
    if (HasSelection()) {
      s_findFlags |= FINDF_HASSEL;
      text = SelectionFindText();
    } else {
      s_findFlags &= ~FINDF_HASSEL;
    }
    CHexFindDlg dlg(this);
    const INT_PTR result = dlg.DoModal(&s_findFlags, &s_findHistory, &s_groupList, &s_searchItems, text);
    if ((result & 0xFF) != IDOK) break;
    const DWORD f = s_findFlags;
    const bool back = (f & FINDF_BACKWARD) != 0;
    bool wrap = (f & FINDF_WHOLE) != 0;
    int start, count, rangeEnd = -1;
    if ((f & FINDF_SELECTION) && HasSelection()) {
      int lo = std::min(m_rangeStart[0], m_rangeEnd[0]), hi = std::max(m_rangeStart[0], m_rangeEnd[0]);
      hi = std::min(hi, m_size - 1);
      start = back ? hi : lo;
      count = back ? -(hi - lo + 1) : hi - lo + 1;
      rangeEnd = hi + 1;
      wrap = false;
    } else if (f & FINDF_FROMSTART) {
      start = 0;
      count = m_size;
      wrap = false;
    } else if (back) {
      start = m_cursor - 1;
      count = -m_cursor;
    } else {
      start = m_cursor + 1;
      count = m_size;
    }
    int hit = Search(&s_searchItems, start, count, TRUE, rangeEnd);
    if (hit < 0 && wrap) {
      if (back)
        hit = Search(&s_searchItems, m_size - 1, -(m_size - 1 - m_cursor), TRUE);
      else
        hit = Search(&s_searchItems, 0, m_cursor, TRUE);
    }
    found = hit >= 0;
    if (!found) {
      MsgBox(m_hWnd, kNotFound, nullptr, MB_OK);
      SetMarkRange(-2, 0, 0);
    }
    if (!(result & 0x8000)) break;
  }
  return found;
}

BOOL CHexView::FindNext() {
  if (!s_searchItems || !*s_searchItems) return Find();
  if (Search(&s_searchItems, m_cursor + 1, m_size - m_cursor - 1, TRUE) >= 0) return TRUE;
  if (MsgBox(m_hWnd, kEndReached, nullptr, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return FALSE;
  if (Search(&s_searchItems, 0, m_cursor + 1, TRUE) >= 0) return TRUE;
  MsgBox(m_hWnd, kNotFound, nullptr, MB_ICONASTERISK);
  return FALSE;
}

BOOL CHexView::FindSelection() {
  if (!HasSelection()) return Find();
  s_findFlags |= FINDF_HASSEL;
  BYTE bytes[kHexFindTextBytes];
  const int n = GetSelectedBytes(bytes, kHexFindTextBytes);
  const CString text = SelectionFindText();
  const int old = StrListFind(&s_findHistory, text);
  if (old >= 0) StrListRemoveAt(&s_findHistory, old);
  StrListInsertAt(&s_findHistory, text, 0);
  while (StrListCount(&s_findHistory) > kFindHistoryMax) StrListRemoveAt(&s_findHistory, kFindHistoryMax);
  char item[kValueTextSize + 32], number[16];
  const int head = std::snprintf(item, sizeof item, "T:0x%04X %s ", n, (s_findFlags & FINDF_NOCASE) ? "/G" : "  ");
  FormatValueBytes(bytes, n, item + head, (int)sizeof item - head, VALUE_DUMP);
  std::snprintf(number, sizeof number, "%d", n);
  StrListFree(&s_searchItems);
  StrListInsertAt(&s_searchItems, number, 0);
  StrListInsertAt(&s_searchItems, item, 1);
  if (m_rangeStart[0] < m_rangeEnd[0]) SetCursorAddress((DWORD)m_rangeStart[0], FALSE);
  return FindNext();
}
