#include "system/recordptrarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

struct Rec {
  int32_t key;
  uint32_t tag;
};

// An array of Rec records with the given keys, tags counting from 0.
void Fill(CRecordPtrArray& a, std::vector<int32_t> keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    Rec r = {keys[i], (uint32_t)i};
    a.InsertAt(&r, a.m_nCount, 1);
  }
}

std::vector<int32_t> Keys(const CRecordPtrArray& a) {
  std::vector<int32_t> keys;
  for (unsigned i = 0; i < a.m_nCount; ++i) keys.push_back(static_cast<Rec*>(a.m_ppRecords[i])->key);
  return keys;
}

}  // namespace

TEST(RecordPtrArray, GrowthFollowsTheGrowStep) {
  struct Case {
    unsigned growStep;
    int n;  // records inserted in one call into an empty array
    unsigned capacity;
  } cases[] = {{0, 1, 16}, {0, 10, 16}, {0, 11, 16}, {0, 12, 18}, {10, 1, 10}, {10, 10, 20}, {4, 7, 8}};
  std::vector<Rec> recs(20);
  for (const Case& c : cases) {
    CRecordPtrArray a(sizeof(Rec), c.growStep);
    a.InsertAt(recs.data(), 0, c.n);
    EXPECT_EQ(a.m_nCapacity, c.capacity) << "step " << c.growStep << " n " << c.n;
    EXPECT_EQ(a.m_nCount, (unsigned)c.n);
  }

  // Single inserts grow by half of the capacity, or to the next grow step.
  CRecordPtrArray half(sizeof(Rec));
  for (int i = 0; i < 17; ++i) half.InsertNew(half.m_nCount);
  EXPECT_EQ(half.m_nCapacity, 24u);
  CRecordPtrArray stepped(sizeof(Rec), 10);
  stepped.InsertOwned(::operator new(sizeof(Rec)), 0);
  EXPECT_EQ(stepped.m_nCapacity, 10u);
}

TEST(RecordPtrArray, GrowthKeepsTheReplacedPointerArrayAsSpare) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, std::vector<int32_t>(16, 7));
  void** first = a.m_ppRecords;
  void* record = a.m_ppRecords[3];
  Fill(a, {8});
  EXPECT_EQ(a.m_ppSpare, first);
  EXPECT_EQ(a.m_ppRecords[3], record);  // records never move
  EXPECT_EQ(a.m_nCapacity, 25u);
}

TEST(RecordPtrArray, InsertClampsTheIndexAndIgnoresEmptyCounts) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, {1, 2, 3});
  Rec r = {9, 0};
  EXPECT_EQ(a.InsertAt(&r, 7, 0), 3u);
  EXPECT_EQ(a.InsertAt(&r, 1, -2), 1u);
  EXPECT_EQ(a.m_nCount, 3u);
  EXPECT_EQ(a.InsertAt(&r, 100, 1), 3u);
  EXPECT_EQ(a.InsertAt(&r, 0, 1), 0u);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{9, 1, 2, 3, 9}));

  Rec x = {5, 0}, y = {6, 0};
  const void* list[] = {&x, &y};
  EXPECT_EQ(a.InsertFromList(list, 2, 2), 2u);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{9, 1, 5, 6, 2, 3, 9}));
  unsigned index = 0;
  Rec* fresh = static_cast<Rec*>(a.InsertNew(99, &index));
  EXPECT_EQ(index, 7u);
  EXPECT_EQ(a.m_ppRecords[7], fresh);
}

TEST(RecordPtrArray, RemovingShrinksAndEmptyingReleasesThePointers) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(a.RemoveRange(5, 3), 0u);
  EXPECT_EQ(a.RemoveRange(10, 12), 0u);
  EXPECT_EQ(a.RemoveRange(2, 4), 2u);  // 8 of 16: kept
  EXPECT_EQ(a.m_nCapacity, 16u);
  EXPECT_EQ(a.RemoveRange(0, 4), 4u);  // 4 of 16: shrinks to 6
  EXPECT_EQ(a.m_nCapacity, 6u);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{6, 7, 8, 9}));
  EXPECT_EQ(a.RemoveRange(0, 100), 4u);
  EXPECT_EQ(a.m_nCapacity, 0u);
  EXPECT_EQ(a.m_ppRecords, nullptr);
  Fill(a, {1});
  EXPECT_EQ(a.m_nCapacity, 16u);

  CRecordPtrArray stepped(sizeof(Rec), 4);
  Fill(stepped, std::vector<int32_t>(20, 1));
  EXPECT_EQ(stepped.m_nCapacity, 20u);
  stepped.RemoveRange(0, 15);  // 5 + 16 > 20: kept
  EXPECT_EQ(stepped.m_nCapacity, 20u);
  stepped.RemoveRange(0, 1);  // 4 + 16 <= 20: 4 + 4 slots
  EXPECT_EQ(stepped.m_nCapacity, 8u);
}

TEST(RecordPtrArray, DetachedAndReplacedRecordsBelongToTheCaller) {
  Rec* detached;
  Rec* replaced;
  {
    CRecordPtrArray a(sizeof(Rec));
    Fill(a, {1, 2, 3});
    detached = static_cast<Rec*>(a.DetachAt(1));
    EXPECT_EQ(a.DetachAt(2), nullptr);
    Rec* mine = static_cast<Rec*>(::operator new(sizeof(Rec)));
    mine->key = 42;
    replaced = static_cast<Rec*>(a.ReplaceOwned(mine, 0));
    EXPECT_EQ(a.m_ppRecords[0], mine);
    Rec* appended = static_cast<Rec*>(::operator new(sizeof(Rec)));
    appended->key = 43;
    EXPECT_EQ(a.ReplaceOwned(appended, 5), nullptr);
    EXPECT_EQ(Keys(a), (std::vector<int32_t>{42, 3, 43}));
  }
  EXPECT_EQ(detached->key, 2);  // still valid after the array is gone
  EXPECT_EQ(replaced->key, 1);
  ::operator delete(detached);
  ::operator delete(replaced);
}

TEST(RecordPtrArray, SetOverwritesInPlaceAndAppendsTheRest) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  void* eight = a.m_ppRecords[8];
  Rec src[5] = {{80, 0}, {90, 0}, {100, 0}, {110, 0}, {120, 0}};
  EXPECT_EQ(a.SetAt(src, 8, 5), 8u);
  EXPECT_EQ(a.m_ppRecords[8], eight);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 80, 90, 100, 110, 120}));
  EXPECT_EQ(a.SetAt(src, 2, 0), 2u);
  EXPECT_EQ(a.SetAt(src, 20, 1), 13u);  // past the end: appended
  const void* list[] = {&src[4], &src[3]};
  EXPECT_EQ(a.SetFromList(list, 0, 2), 0u);
  EXPECT_EQ(Keys(a)[0], 120);
  EXPECT_EQ(Keys(a)[1], 110);
  EXPECT_EQ(a.m_nCount, 14u);
}

TEST(RecordPtrArray, ConfigureChangesTheSizeOnlyWhileEmpty) {
  CRecordPtrArray a(8);
  EXPECT_EQ(a.Configure(16, 5), 1);
  EXPECT_EQ(a.m_nRecordSize, 16u);
  EXPECT_EQ(a.m_nGrowStep, 5u);
  a.InsertNew(0);
  EXPECT_EQ(a.Configure(32, 3), 0);
  EXPECT_EQ(a.m_nRecordSize, 16u);
  EXPECT_EQ(a.m_nGrowStep, 3u);
  EXPECT_EQ(a.Configure(0, -1), 1);
  EXPECT_EQ(a.m_nGrowStep, 3u);
}

TEST(RecordPtrArray, ReadsAndLinearSearchesStayInsideTheRecord) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, {5, -1, 5});
  Rec out = {};
  EXPECT_EQ(a.GetAt(1, &out), a.m_ppRecords[1]);
  EXPECT_EQ(out.key, -1);
  EXPECT_EQ(a.GetAt(3, &out), nullptr);
  EXPECT_EQ(a.GetAt(0, nullptr), nullptr);
  EXPECT_EQ(a.GetIntAt(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(a.GetIntAt(1, 4), 1u);
  EXPECT_EQ(a.GetIntAt(1, 5), 0u);  // would leave the 8-byte record
  EXPECT_EQ(a.GetInt64At(2, 0), 0x0000000200000005ull);
  EXPECT_EQ(a.GetInt64At(2, 1), 0u);

  EXPECT_EQ(a.FindInt(5, 0, 10, 0), 0u);
  EXPECT_EQ(a.FindInt(5, 1, 10, 0), 2u);
  EXPECT_EQ(a.FindInt(5, 1, 2, 0), ARRAY_NONE);
  EXPECT_EQ(a.FindInt(5, 3, 10, 0), ARRAY_NONE);
  EXPECT_EQ(a.FindInt(5, 0, 10, 6), ARRAY_NONE);
  EXPECT_EQ(a.FindInt64(0x0000000200000005ull, 0, 10, 0), 2u);
  Rec key = {5, 2};
  EXPECT_EQ(a.FindBytes(&key, 0, 10, 0, 0), 2u);  // length 0: the whole record
  EXPECT_EQ(a.FindBytes(&key, 0, 10, 4, 0), 0u);
  EXPECT_EQ(a.FindBytes(&key.tag, 0, 10, -1, 4), 2u);
  EXPECT_EQ(a.FindBytes(&key, 0, 10, 5, 4), ARRAY_NONE);
  EXPECT_EQ(a.FindBytes(nullptr, 0, 10, 4, 0), ARRAY_NONE);
  int wanted = -1;
  EXPECT_EQ(a.FindWith(&wanted, 0, 10,
                       [](void* c, const void* r) { return (int)(static_cast<const Rec*>(r)->key != *(int*)c); }),
            1u);
}

TEST(RecordPtrArray, BinarySearchFlags) {
  struct Case {
    std::vector<int32_t> keys;
    int32_t key;
    unsigned from, to, flags, expected;
  } cases[] = {
      {{}, 1, 0, 10, 8, 0},
      {{}, 1, 0, 10, 0, ARRAY_NONE},
      {{1, 2}, 1, 1, 1, 8, ARRAY_NONE},  // to <= from
      {{1, 2}, 1, 5, 9, 8, 2},           // from past count: count
      {{1, 3, 5}, 4, 0, 10, 8, 2},
      {{1, 3, 5}, 6, 0, 10, 8, 3},
      {{1, 3, 5}, 0, 0, 10, 8, 0},
      {{1, 3, 5}, 4, 0, 10, 0, ARRAY_NONE},
      {{1, 3, 5}, 5, 0, 10, 0, 2},
      {{1, 2, 2, 2, 3}, 2, 0, 10, 2, 1},
      {{1, 2, 2, 2, 3}, 2, 0, 10, 4, 4},
      {{1, 2, 2, 2, 3}, 2, 0, 10, 0, 2},
      {{1, 2, 2, 2, 3}, 2, 0, 10, 6, 1},  // first-match beats after-last
      {{2, 2}, 2, 0, 10, 6, 0},
      {{2, 2, 2, 2, 2, 2, 2}, 2, 0, 10, 2, 0},
      {{2, 2, 2, 2, 2, 2, 2}, 2, 0, 10, 4, 7},
      {{1, 2, 2}, 2, 0, 10, 2, 1},  // an equal key met: a position, never -1
      {{1, 2}, -1, 0, 10, 9, 2},    // unsigned: -1 is the largest key
      {{1, 2}, -1, 0, 10, 8, 0},
      {{1, 5, 9, 9}, 9, 1, 3, 4, 3},  // the range ends at to
  };
  for (const Case& c : cases) {
    CRecordPtrArray a(sizeof(Rec));
    Fill(a, c.keys);
    EXPECT_EQ(a.BSearchInt((uint32_t)c.key, c.from, c.to, 0, c.flags), c.expected)
        << "key " << c.key << " flags " << c.flags << " over " << c.keys.size() << " records";
  }
}

TEST(RecordPtrArray, BinarySearchesByBytesInt64AndRoutine) {
  CRecordPtrArray a(8);
  const char names[][8] = {"bar", "baz", "foo", "foo", "qux"};
  for (const auto& n : names) a.InsertAt(n, a.m_nCount, 1);
  EXPECT_EQ(a.BSearchBytes("foo\0\0\0\0", 0, 99, 8, 0, 0) / 2, 1u);  // 2 or 3
  EXPECT_EQ(a.BSearchBytes("foo\0\0\0\0", 0, 99, 0, 0, 2), 2u);      // length 0: the rest of the record
  EXPECT_EQ(a.BSearchBytes("fop\0\0\0\0", 0, 99, 8, 0, 0), ARRAY_NONE);
  EXPECT_EQ(a.BSearchBytes("fop\0\0\0\0", 0, 99, 8, 0, 8), 4u);
  EXPECT_EQ(a.BSearchBytes("\xF0", 0, 99, 1, 0, 8), 5u);       // bytes compare unsigned
  EXPECT_EQ(a.BSearchBytes("x", 0, 99, 2, 7, 8), ARRAY_NONE);  // leaves the record

  CRecordPtrArray b(8);
  const int64_t keys[] = {-5, 1, 0x100000000ll};
  for (int64_t k : keys) b.InsertAt(&k, b.m_nCount, 1);
  EXPECT_EQ(b.BSearchInt64((uint64_t)0xFFFFFFFFll, 0, 9, 0, 8), 2u);  // low word unsigned
  EXPECT_EQ(b.BSearchInt64((uint64_t)-5ll, 0, 9, 0, 0), 0u);
  EXPECT_EQ(b.BSearchInt64((uint64_t)-6ll, 0, 9, 0, 9), 3u);

  int key = 1;
  EXPECT_EQ(b.BSearchWith(&key, 0, 9, 0,
                          [](void* c, const void* r) {
                            int64_t v = *static_cast<const int64_t*>(r), k = *(int*)c;
                            return (k > v) - (k < v);
                          }),
            1u);
}

TEST(RecordPtrArray, SortsOrderRecordsByFieldBytesAndRoutine) {
  std::vector<int32_t> keys;
  srand(7);
  for (int i = 0; i < 500; ++i) keys.push_back(rand() % 100 - 50);
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, keys);
  a.SortWith(CompareFieldInt32, nullptr, 0, -3, 0xFFFFFFFFu, 0);
  std::vector<int32_t> sorted = keys;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Keys(a), sorted);
  a.SortWith(CompareFieldInt32, nullptr, 0, 0, 500, 1);
  std::reverse(sorted.begin(), sorted.end());
  EXPECT_EQ(Keys(a), sorted);

  // Only [2, 5) is sorted; bytes compare unsigned, so -1 (FF..) sorts last.
  CRecordPtrArray b(sizeof(Rec));
  Fill(b, {9, 8, 0x300, -1, 0x200, 7});
  b.SortBytes(1, 1, 2, 5, 0);
  EXPECT_EQ(Keys(b), (std::vector<int32_t>{9, 8, 0x200, 0x300, -1, 7}));
  b.SortBytes(0, -1, 0, 99, 0);  // the whole record, byte by byte from the low byte
  EXPECT_EQ(Keys(b), (std::vector<int32_t>{0x200, 0x300, 7, 8, 9, -1}));
  b.SortBytes(8, 4, 0, 99, 1);  // offset past the record: nothing
  EXPECT_EQ(Keys(b)[0], 0x200);

  b.SortByIndex(
      [](const CRecordPtrArray* arr, unsigned x, unsigned y) {
        int32_t p = static_cast<Rec*>(arr->m_ppRecords[x])->key, q = static_cast<Rec*>(arr->m_ppRecords[y])->key;
        return (p > q) - (p < q);
      },
      0, 99, 1);
  EXPECT_EQ(Keys(b), (std::vector<int32_t>{0x300, 0x200, 9, 8, 7, -1}));
}

TEST(RecordPtrArray, SortOfEqualOrFewDistinctRecordsStaysFast) {
  static int calls;
  calls = 0;
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, std::vector<int32_t>(1000, 4));
  a.SortByIndex(
      [](const CRecordPtrArray*, unsigned, unsigned) {
        ++calls;
        return 0;
      },
      0, 1000, 0);
  EXPECT_EQ(calls, 999);

  // Two alternating keys: about n log n compares, not n * n.
  CRecordPtrArray two(sizeof(Rec));
  std::vector<int32_t> keys;
  for (int i = 0; i < 20000; ++i) keys.push_back(i % 2);
  Fill(two, keys);
  calls = 0;
  two.SortByIndex(
      [](const CRecordPtrArray* arr, unsigned x, unsigned y) {
        ++calls;
        int32_t p = static_cast<Rec*>(arr->m_ppRecords[x])->key, q = static_cast<Rec*>(arr->m_ppRecords[y])->key;
        return (p > q) - (p < q);
      },
      0, 20000, 1);
  EXPECT_LT(calls, 100000);
  EXPECT_EQ(Keys(two)[9999], 1);
  EXPECT_EQ(Keys(two)[10000], 0);

  calls = 0;
  a.SortByIndex([](const CRecordPtrArray*, unsigned, unsigned) { return ++calls, 0; }, 5, 6, 0);
  EXPECT_EQ(calls, 0);  // fewer than two records
}

TEST(RecordPtrArray, FreeEmptiesTheArrayForReuse) {
  CRecordPtrArray a(sizeof(Rec));
  Fill(a, {1, 2, 3});
  a.RemoveRange(0, 1);
  a.Free();
  EXPECT_EQ(a.m_nCount, 0u);
  EXPECT_EQ(a.m_nCapacity, 0u);
  EXPECT_EQ(a.m_ppRecords, nullptr);
  EXPECT_EQ(a.m_ppSpare, nullptr);
  Fill(a, {4});
  EXPECT_EQ(Keys(a), std::vector<int32_t>{4});
}
