// Searching the hex view: item lines, the matcher's modes and directions,
// item groups, the find dialog's searches and find next with its boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "../text/view_fixture.h"
#include "../tools/dlg_driver.h"
#include "hex_commands_util.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexfinddlg.h"

namespace {

// 128 bytes of zeros with patterns at known places.
struct FindData {
  BYTE bytes[128] = {};
  FindData() {
    std::memcpy(bytes + 10, "AB", 2);
    std::memcpy(bytes + 40, "ab", 2);
    bytes[20] = 0x12, bytes[21] = 0x99;
    std::memcpy(bytes + 60, "\xAA\xBB\xCC\xDD", 4);  // followed by EE FF too far away
    bytes[90] = 0xEE, bytes[91] = 0xFF;
    std::memcpy(bytes + 100, "\xAA\xBB\xCC\xDD", 4);
    bytes[110] = 0xEE, bytes[111] = 0xFF;
  }
};

struct ListGuard {
  explicit ListGuard(char* list) : list(list) {}
  ~ListGuard() { StrListFree(&list); }
  char* list;
};

}  // namespace

TEST(HexFind, SearchItemsByTable) {
  FindData d;
  CHexView view;
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  const DWORD flags = CHexView::FindFlags();
  CHexView::FindFlags() = 0;
  struct Case {
    std::vector<std::string> items;
    int start, count, hit;
  } cases[] = {
      {{"0", "T:0x0002   :41 42"}, 0, 128, 10},
      {{"0", "T:0x0002   :41 42"}, 11, 117, -1},
      {{"0", "T:0x0002 /G :41 42"}, 11, 117, 40},    // without regard to case
      {{"0", "T:0x0002 /G :41 42"}, 127, -128, 40},  // backward from the end
      {{"0", "T:0x0002 /G :41 42"}, 39, -40, 10},
      {{"0", "T:0x0002   :41 42"}, 10, 0, -1},   // no positions
      {{"0", "M:4\t:12 34 FF 00"}, 0, 128, 20},  // masked: 12 and any byte
      {{"0", "M:4\t:12 34 FF FF"}, 0, 128, -1},
      {{"0", "H:2 /B\t:AA BB\t\t\t\t\t(0xBBAA)"}, 0, 128, 60},    // a line of the find dialog
      {{"0", "T:0x1000 :41"}, 0, 128, 10},                        // the length is cut to the bytes given
      {{"0", "U:2\t:"}, 0, 128, -1},                              // no bytes: no item
      {{"16", "U:4\t:AA BB CC DD", "U:2\t:EE FF"}, 0, 128, 100},  // the second item within the gap
      {{"64", "U:4\t:AA BB CC DD", "U:2\t:EE FF"}, 0, 128, 60},
      {{"0"}, 0, 128, -1},
  };
  for (const Case& c : cases) {
    ListGuard items(MakeStrList(c.items));
    EXPECT_EQ(view.Search(&items.list, c.start, c.count, FALSE), c.hit) << c.items.back() << " from " << c.start;
  }
  CHexView::FindFlags() = flags;
}

TEST(HexFind, ItemsInSequenceAreMarkedAndTheFirstSelected) {
  FindData d;
  CHexView view;
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  const DWORD flags = CHexView::FindFlags();
  CHexView::FindFlags() = FINDF_ORDER;
  ListGuard items(MakeStrList({"16", "U:4\t:AA BB CC DD", "U:2\t:EE FF"}));
  EXPECT_EQ(view.Search(&items.list, 0, 128, TRUE), 100);
  EXPECT_EQ(view.GetCursor(FALSE), 100u);
  int length = 0;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 100u);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(view.SetMarkRange(-1, 0, 1), 2) << "ranges 0 and 1 hold the items";
  // Three items: out of sequence CC DD (at 102) may lie before EE FF (at 110).
  ListGuard three(MakeStrList({"16", "U:2\t:AA BB", "U:2\t:EE FF", "U:2\t:CC DD"}));
  CHexView::FindFlags() = 0;
  EXPECT_EQ(view.Search(&three.list, 0, 128, TRUE), 100);
  EXPECT_EQ(view.SetMarkRange(-1, 0, 1), 3);
  CHexView::FindFlags() = FINDF_ORDER;
  EXPECT_EQ(view.Search(&three.list, 0, 128, TRUE), -1);
  EXPECT_EQ(view.SetMarkRange(-1, 0, 1), 0) << "a failed search clears the marks";
  CHexView::FindFlags() = flags;
}

TEST(HexFind, MatcherModesForwardAndBackwardOverLongRanges) {
  // Long ranges take the table path: the same answers as a plain scan.
  std::mt19937 random(7);
  std::vector<BYTE> data(20000);
  for (BYTE& b : data) b = (BYTE)(random() % 4 + 'a');
  CHexView view;
  view.SetData(data.data(), (int)data.size(), 0, kHexDataWritable);
  const BYTE pattern[] = {'a', 'b', 'c', 'd', 'a'}, upper[] = {'A', 'B', 'C', 'D', 'A'};
  const BYTE masked[] = {'a', 0, 'c', 'd', 0, 0xFF, 0, 0xFF, 0xFF, 0};
  auto plain = [&](const BYTE* item, int m, int mode, bool forward) {
    for (int i = 0; i + m <= (int)data.size(); ++i) {
      const int p = forward ? i : (int)data.size() - m - i;
      bool ok = true;
      for (int j = 0; j < m && ok; ++j) {
        const BYTE c = data[p + j];
        ok = mode == kHexMatchMasked   ? ((c ^ item[j]) & item[m + j]) == 0
             : mode == kHexMatchNoCase ? (c | 0x20) == (item[j] | 0x20)
                                       : c == item[j];
      }
      if (ok) return p;
    }
    return -1;
  };
  EXPECT_EQ(view.MatchItems(pattern, 5, 0, 20000, kHexMatchExact), plain(pattern, 5, kHexMatchExact, true));
  EXPECT_EQ(view.MatchItems(pattern, 5, 19999, -20000, kHexMatchExact), plain(pattern, 5, kHexMatchExact, false));
  EXPECT_EQ(view.MatchItems(upper, 5, 0, 20000, kHexMatchNoCase), plain(pattern, 5, kHexMatchExact, true));
  EXPECT_EQ(view.MatchItems(masked, 5, 0, 20000, kHexMatchMasked), plain(masked, 5, kHexMatchMasked, true));
  EXPECT_EQ(view.MatchItems(masked, 5, 19999, -20000, kHexMatchMasked), plain(masked, 5, kHexMatchMasked, false));
  EXPECT_EQ(view.MatchItems(upper, 5, 0, 20000, kHexMatchExact), -1);
  EXPECT_EQ(view.MatchItems(pattern, 0, 33, 10, kHexMatchExact), 33) << "no length: the start";
}

TEST_F(ViewTest, HexFindNextAsksToContinueAtTheStart) {
  FindData d;
  CHexView view;
  Make(&view, 700, 300);
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  ListGuard saved(*CHexView::SearchItemList());
  *CHexView::SearchItemList() = MakeStrList({"0", "T:0x0002   :41 42"});
  view.SetCursorAddress(50, FALSE);
  std::vector<std::string> boxes;
  DlgDriver driver;
  driver.Do([&](HWND box) {
    boxes.push_back(MsgBoxText(box));
    Click(box, IDOK);
  });
  driver.Start();
  EXPECT_TRUE(view.FindNext());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Ende erreicht. Am Anfang weiter suchen ?");
  EXPECT_EQ(view.GetCursor(FALSE), 10u) << "found before the cursor";
  // Nothing at all: the question, then the box that says so.
  StrListFree(CHexView::SearchItemList());
  *CHexView::SearchItemList() = MakeStrList({"0", "T:0x0002   :58 59"});
  DlgDriver twice;
  twice
      .Do([&](HWND box) {
        boxes.push_back(MsgBoxText(box));
        Click(box, IDOK);
      })
      .Do([&](HWND box) {
        boxes.push_back(MsgBoxText(box));
        Click(box, IDOK);
      });
  twice.Start();
  EXPECT_FALSE(view.FindNext());
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2], "Bereich wurde nicht gefunden !");
  StrListFree(CHexView::SearchItemList());
  *CHexView::SearchItemList() = saved.list;
  saved.list = nullptr;
}

TEST_F(ViewTest, HexFindSelectionWritesTheItemAndAnEscapedHistoryEntry) {
  BYTE data[64] = {};
  std::memcpy(data + 4, "a\"b\\", 4);
  std::memcpy(data + 30, "a\"b\\", 4);
  CHexView view;
  Make(&view, 700, 300);
  view.SetData(data, sizeof data, 0, kHexDataWritable);
  const DWORD flags = CHexView::FindFlags();
  CHexView::FindFlags() = FINDF_NOCASE;
  view.SetCursorAddress(4, FALSE);
  view.SetSelectionEnd(8, FALSE);  // bytes 4-7, made forward
  EXPECT_TRUE(view.FindSelection());
  EXPECT_EQ(view.GetCursor(FALSE), 30u);
  EXPECT_STREQ(StrListGetAt(CHexView::SearchItemList(), 0), "4");
  EXPECT_STREQ(StrListGetAt(CHexView::SearchItemList(), 1), "T:0x0004 /G :61 22 62 5C");
  EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), "\"a\\\"b\\\\\"") << "reads back as the bytes";
  CHexView::FindFlags() = 0;
  view.SetCursorAddress(4, FALSE);
  view.SetSelectionEnd(6, FALSE);
  data[5] = 1;       // not printable: a hex dump
  DlgDriver driver;  // found only at the selection itself: after the question
  driver.Do([&](HWND box) { Click(box, IDOK); });
  driver.Start();
  EXPECT_TRUE(view.FindSelection());
  EXPECT_STREQ(StrListGetAt(CHexView::SearchItemList(), 1), "T:0x0002    :61 01");
  EXPECT_STREQ(StrListGetAt(CHexView::FindHistoryList(), 0), ":61 01");
  CHexView::FindFlags() = flags;
}

TEST_F(ViewTest, HexFindDialogOffersTheSelectionAndSearchesWithinIt) {
  FindData d;
  std::memcpy(d.bytes + 70, "AB", 2);
  CHexView view;
  Make(&view, 700, 300);
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  const DWORD flags = CHexView::FindFlags();
  CHexView::FindFlags() = 0;
  view.SetCursorAddress(10, FALSE);
  view.SetSelectionEnd(12, FALSE);
  std::string offered;
  DlgDriver driver;
  driver.Do([&](HWND dlg) {
    offered = TextOf(GetDlgItem(dlg, IDC_FIND_TEXT));
    Click(dlg, IDOK);
  });
  driver.Start();
  EXPECT_TRUE(view.Find());
  EXPECT_EQ(offered, "\"AB\"");
  EXPECT_EQ(view.GetCursor(FALSE), 70u) << "forward from the byte after the cursor";
  // Only within a selection that holds no other "AB": not found, marks cleared.
  view.SetCursorAddress(20, FALSE);
  view.SetSelectionEnd(60, FALSE);
  std::string box;
  DlgDriver within;
  within
      .Do([&](HWND dlg) {
        Click(dlg, IDC_FIND_SELECTION);
        TypeInto(ComboEdit(GetDlgItem(dlg, IDC_FIND_TEXT)), "\"AB\"");
        Click(dlg, IDOK);
      })
      .Do([&](HWND dlg) {
        box = MsgBoxText(dlg);
        Click(dlg, IDOK);
      });
  within.Start();
  EXPECT_FALSE(view.Find());
  EXPECT_EQ(box, "Bereich wurde nicht gefunden !");
  EXPECT_TRUE(CHexView::FindFlags() & FINDF_SELECTION);
  CHexView::FindFlags() = flags;
}

TEST_F(ViewTest, HexFindNextButtonSearchesAndOpensTheDialogAgain) {
  FindData d;
  CHexView view;
  Make(&view, 700, 300);
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  const DWORD flags = CHexView::FindFlags();
  CHexView::FindFlags() = FINDF_BACKWARD | FINDF_WHOLE;
  view.SetCursorAddress(5, FALSE);
  std::vector<int> cursors;
  DlgDriver driver;
  driver
      .Do([&](HWND dlg) {
        TypeInto(ComboEdit(GetDlgItem(dlg, IDC_FIND_TEXT)), ":AA BB");
        Click(dlg, IDC_FIND_NEXT);  // "Weitersuchen": search, then the dialog again
      })
      .Do([&](HWND dlg) {
        cursors.push_back((int)view.GetCursor(FALSE));
        Click(dlg, IDC_FIND_NEXT);
      })
      .Do([&](HWND dlg) {
        cursors.push_back((int)view.GetCursor(FALSE));
        Click(dlg, IDCANCEL);
      });
  driver.Start();
  EXPECT_TRUE(view.Find()) << "the last search found";
  EXPECT_TRUE(driver.Finished());
  // Backward from 5 finds nothing before it and continues at the end.
  EXPECT_EQ(cursors, (std::vector<int>{100, 60}));
  CHexView::FindFlags() = flags;
}

TEST_F(ViewTest, HexFindHitShowsSelectionAndMarkedItem) {
  FindData d;
  CHexView view;
  Make(&view, 700, 200);
  view.SetData(d.bytes, sizeof d.bytes, 0, kHexDataWritable);
  view.SetFormat(16, 0, 1, 6, 0, 0);
  ListGuard items(MakeStrList({"16", "U:4\t:AA BB CC DD", "U:2\t:EE FF"}));
  ASSERT_EQ(view.Search(&items.list, 0, 128, TRUE), 100);
  PumpMessages(20);
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(HexScreenFile("find-hit.png").c_str());
  const int cw = view.GetCellWidth(), ch = view.GetCellHeight(), m = view.GetMarginWidth();
  const int line = view.GetLayout().LineOf(100, view.GetLineShift()) - view.GetScrollPos().y;
  auto cells = [&](int byte, int n) {
    const int column = view.GetLayout().ByteColumn(byte, kHexAreaHex);
    RECT r = {m + column * cw, line * ch, m + (column + n) * cw, (line + 1) * ch};
    return r;
  };
  EXPECT_GT(cap.Count(0xFF0000, cells(100 % 16, 2)), 0) << "the first item is the selection";
  EXPECT_GT(cap.Count(0xFFFFFF, cells(100 % 16, 2)), 0);
  EXPECT_GT(cap.Count(0xC86464, cells(110 % 16, 2)), 0) << "the second item is a marked range";
  EXPECT_EQ(cap.Count(0xC86464, cells(105 % 16, 2)), 0);
}

// A 16-byte masked item near the end of 64 MB of random bytes against a
// plain memchr and memcmp loop over the same data; alternated, medians.
TEST(HexFindBenchmark, MaskedItemAgainstMemchrLoop) {
  const int kSize = 64 << 20;
  std::vector<BYTE> data((size_t)kSize);
  std::mt19937 random(12345);
  for (size_t i = 0; i < data.size(); i += 4) {
    const uint32_t r = random();
    std::memcpy(&data[i], &r, 4);
  }
  BYTE item[32];
  for (int i = 0; i < 16; ++i) item[i] = (BYTE)(0x40 + i * 7), item[16 + i] = 0xFF;
  item[16 + 5] = 0xF0;  // one half-known byte
  const int at = kSize - 1000;
  std::memcpy(&data[at], item, 16);
  data[at + 5] = (BYTE)((item[5] & 0xF0) | 0x0C);
  CHexView view;
  view.SetData(data.data(), kSize, 0, kHexDataWritable);
  auto reference = [&]() {
    const BYTE* p = data.data();
    const BYTE* end = p + kSize - 16;
    while (p <= end) {
      const BYTE* q = (const BYTE*)std::memchr(p, item[0], (size_t)(end - p + 1));
      if (!q) return -1;
      if (std::memcmp(q, item, 5) == 0 && ((q[5] ^ item[5]) & 0xF0) == 0 && std::memcmp(q + 6, item + 6, 10) == 0)
        return (int)(q - data.data());
      p = q + 1;
    }
    return -1;
  };
  std::vector<double> ours, theirs;
  for (int round = 0; round < 5; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(view.MatchItems(item, 16, 0, kSize, kHexMatchMasked), at);
    auto t1 = std::chrono::steady_clock::now();
    EXPECT_EQ(reference(), at);
    auto t2 = std::chrono::steady_clock::now();
    ours.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    theirs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  std::sort(ours.begin(), ours.end());
  std::sort(theirs.begin(), theirs.end());
  const double ratio = ours[2] / theirs[2];
  std::printf("masked 16-byte item in 64 MB: %.1f ms, memchr+memcmp %.1f ms, ratio %.2f\n", ours[2], theirs[2], ratio);
  EXPECT_LE(ratio, 1.0);
}
