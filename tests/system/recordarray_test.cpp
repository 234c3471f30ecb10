#include "system/recordarray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct Rec {
  int32_t key;
  uint32_t tag;
};

void Fill(CRecordArray& a, const std::vector<int32_t>& keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    Rec r = {keys[i], (uint32_t)i};
    a.InsertAt(&r, a.m_nCount, 1);
  }
}

std::vector<int32_t> Keys(const CRecordArray& a) {
  std::vector<int32_t> keys;
  for (unsigned i = 0; i < a.m_nCount; ++i) keys.push_back((int32_t)a.GetIntAt(i, 0));
  return keys;
}

int CompareKey(void*, const void* a, const void* b) {
  int32_t x, y;
  memcpy(&x, a, 4);
  memcpy(&y, b, 4);
  return (x > y) - (x < y);
}

int CompareByIndex(const CRecordArray* array, unsigned a, unsigned b) {
  int32_t x = (int32_t)array->GetIntAt(a, 0), y = (int32_t)array->GetIntAt(b, 0);
  return (x > y) - (x < y);
}

TEST(RecordArray, Growth) {
  struct Case {
    unsigned growStep;
    int n;
    unsigned capacity;
  } cases[] = {{0, 1, 16}, {0, 10, 16}, {0, 11, 16}, {0, 12, 18}, {10, 1, 10}, {10, 10, 20}, {4, 7, 8}};
  std::vector<Rec> recs(20);
  for (const Case& c : cases) {
    CRecordArray a(sizeof(Rec), c.growStep);
    EXPECT_EQ(a.InsertAt(recs.data(), 5, c.n), 0u);
    EXPECT_EQ(a.m_nCapacity, c.capacity) << "step " << c.growStep << " n " << c.n;
    EXPECT_EQ(a.m_nCount, (unsigned)c.n);
  }
  // The replaced block is kept as the spare until the next replacement.
  CRecordArray a(sizeof(Rec));
  Fill(a, std::vector<int32_t>(16, 7));
  unsigned char* first = a.m_pData;
  Fill(a, {8});
  EXPECT_EQ(a.m_pSpare, first);
  EXPECT_EQ(a.m_nCapacity, 25u);  // (16 + 1) * 3 / 2
  EXPECT_EQ(Keys(a).back(), 8);
}

TEST(RecordArray, Shrink) {
  const std::vector<int32_t> keys(16, 1);
  CRecordArray a(sizeof(Rec));
  Fill(a, keys);
  ASSERT_EQ(a.m_nCapacity, 16u);
  a.RemoveRange(9, 100);
  EXPECT_EQ(a.m_nCapacity, 16u) << "9 records keep the block";
  a.RemoveRange(8, 9);
  EXPECT_EQ(a.m_nCapacity, 12u) << "8 records get a block of 12";
  EXPECT_EQ(a.RemoveRange(0, 100), 8u);
  EXPECT_EQ(a.m_nCapacity, 0u);
  EXPECT_EQ(a.m_pData, nullptr);
  EXPECT_NE(a.m_pSpare, nullptr);

  CRecordArray stepped(sizeof(Rec), 4);
  Fill(stepped, std::vector<int32_t>(13, 1));  // capacity 4, 8, 12, 16
  ASSERT_EQ(stepped.m_nCapacity, 16u);
  stepped.RemoveRange(0, 4);  // 9 + 2 * 4 > 16
  EXPECT_EQ(stepped.m_nCapacity, 16u);
  stepped.RemoveRange(0, 1);  // 8 + 2 * 4 <= 16
  EXPECT_EQ(stepped.m_nCapacity, 12u);
  EXPECT_EQ(stepped.RemoveRange(8, 9), 0u);
  EXPECT_EQ(stepped.RemoveRange(3, 3), 0u);
}

TEST(RecordArray, InsertSetAndRemove) {
  CRecordArray a(sizeof(Rec));
  unsigned index = 77;
  EXPECT_EQ(a.InsertNew(0, 0, &index), nullptr);
  EXPECT_EQ(index, 77u) << "n = 0 stores nothing";
  Rec* r = static_cast<Rec*>(a.InsertNew(9, 2, &index));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(index, 0u);
  r[0] = {1, 0};
  r[1] = {2, 1};
  Fill(a, {3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_EQ(a.m_nCount, 10u);
  // Five sources at index 8 of ten records: 8 and 9 overwritten, 3 appended.
  Rec src[5] = {{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}, {-5, 0}};
  const void* list[5] = {&src[0], &src[1], &src[2], &src[3], &src[4]};
  EXPECT_EQ(a.SetFromList(list, 8, 5), 8u);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, -1, -2, -3, -4, -5}));
  EXPECT_EQ(a.SetAt(src, 100, 1), 13u) << "past the end: appended at the count";
  EXPECT_EQ(a.SetAt(src, 0, 0), 0u);
  EXPECT_EQ(a.RemoveRange(8, 14), 6u);
  EXPECT_EQ(Keys(a), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(a.InsertAt(src, 3, -1), 3u);
  EXPECT_EQ(a.m_nCount, 8u);

  Rec out = {};
  EXPECT_EQ(a.GetAt(2, &out), a.m_pData + 2 * sizeof(Rec));
  EXPECT_EQ(out.key, 3);
  EXPECT_EQ(a.GetAt(8, &out), nullptr);
  EXPECT_EQ(a.GetAt(0, nullptr), nullptr);
  EXPECT_EQ(a.GetIntAt(1, 4), 1u);  // the tag
  EXPECT_EQ(a.GetIntAt(1, 5), 0u);
  EXPECT_EQ(a.GetInt64At(1, 0), ((uint64_t)1 << 32) | 2u);
  EXPECT_EQ(a.GetInt64At(1, 1), 0u);
  EXPECT_EQ(a.Configure(12, 3), 0) << "the record size stays while records are held";
  EXPECT_EQ(a.m_nGrowStep, 3u);
  EXPECT_EQ(a.Configure(0, -1), 1);
  EXPECT_EQ(a.m_nGrowStep, 3u);
}

// Records taken from the array itself are copied as they were, whether the
// block grows or the tail moves within it.
TEST(RecordArray, SelfInserts) {
  for (int grow : {0, 1}) {
    CRecordArray a(sizeof(Rec));
    Fill(a, grow ? std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}
                 : std::vector<int32_t>{1, 2, 3, 4});
    unsigned capacity = a.m_nCapacity;
    std::vector<int32_t> expected = Keys(a);
    a.InsertAt(a.m_pData, 1, 3);
    expected.insert(expected.begin() + 1, {1, 2, 3});
    EXPECT_EQ(Keys(a), expected) << grow;
    EXPECT_EQ(a.m_nCapacity != capacity, grow == 1);
    const void* list[2] = {a.m_pData + 2 * sizeof(Rec), a.m_pData};
    a.InsertFromList(list, 0, 2);
    expected.insert(expected.begin(), {expected[2], expected[0]});
    EXPECT_EQ(Keys(a), expected) << grow;
    a.SetAt(a.m_pData + sizeof(Rec), a.m_nCount - 1, 3);  // overwrites the last, appends two
    std::vector<int32_t> tail(expected.begin() + 1, expected.begin() + 4);
    expected.pop_back();
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(Keys(a), expected) << grow;
  }
}

// Odd record sizes: fields at unaligned offsets, searches only at whole
// records.
TEST(RecordArray, OddRecordSizesAndSearches) {
  CRecordArray a(7);
  unsigned char rec[7];
  for (int i = 0; i < 40; ++i) {
    memset(rec, 0, sizeof rec);
    rec[0] = (unsigned char)i;
    uint32_t key = (uint32_t)(i * 3);
    memcpy(rec + 3, &key, 4);
    a.InsertAt(rec, a.m_nCount, 1);
  }
  EXPECT_EQ(a.FindInt(30, 0, 100, 3), 10u);
  EXPECT_EQ(a.FindInt(30, 11, 100, 3), ARRAY_NONE);
  EXPECT_EQ(a.FindInt(30, 0, 100, 4), ARRAY_NONE) << "the field leaves the record";
  // A pattern straddling records 1 and 2 is never found.
  uint32_t straddle;
  memcpy(&straddle, a.m_pData + 5, 4);
  EXPECT_EQ(a.FindInt(straddle, 0, 100, 2), ARRAY_NONE);
  unsigned char key[2] = {12, 0};
  EXPECT_EQ(a.FindBytes(key, 0, 100, 2, 0), 12u);
  EXPECT_EQ(a.FindBytes(nullptr, 0, 100, 2, 0), ARRAY_NONE);
  EXPECT_EQ(a.FindBytes(key, 0, 100, 2, 6), ARRAY_NONE);
  EXPECT_EQ(a.FindBytes(key, 0, 100, 0, 7), ARRAY_NONE);
  EXPECT_EQ(a.BSearchInt(33, 0, 100, 3, 0), 11u);
  EXPECT_EQ(a.BSearchInt(34, 0, 100, 3, 0), ARRAY_NONE);
  EXPECT_EQ(a.BSearchInt(34, 0, 100, 3, ARRAY_INSERT_POS), 12u);
  EXPECT_EQ(a.BSearchInt(34, 50, 100, 3, ARRAY_INSERT_POS), 40u);
  EXPECT_EQ(a.BSearchInt(34, 0, 100, 4, ARRAY_INSERT_POS), ARRAY_NONE);
  EXPECT_EQ(a.BSearchInt64(0, 0, 100, 0, 0), ARRAY_NONE);
  unsigned char bkey[1] = {20};
  EXPECT_EQ(a.BSearchBytes(bkey, 0, 100, 1, 0, 0), 20u);
  int target = 25;
  EXPECT_EQ(
      a.FindWith(&target, 0, 100, [](void* c, const void* r) { return *(const unsigned char*)r == *(int*)c ? 0 : 1; }),
      25u);
  EXPECT_EQ(
      a.BSearchWith(&target, 0, 100, 0, [](void* c, const void* r) { return *(int*)c - *(const unsigned char*)r; }),
      25u);
}

TEST(RecordArray, Sorts) {
  std::mt19937 random(5);
  std::vector<int32_t> keys;
  for (int i = 0; i < 500; ++i) keys.push_back((int32_t)(random() % 97) - 48);
  CRecordArray bytes(sizeof(Rec)), with(sizeof(Rec)), byIndex(sizeof(Rec));
  Fill(bytes, keys);
  Fill(with, keys);
  Fill(byIndex, keys);
  with.SortWith(CompareKey, nullptr, 0, 0, UINT_MAX, 0);
  byIndex.SortByIndex(CompareByIndex, -5, UINT_MAX, 0);
  std::vector<int32_t> sorted = keys;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Keys(with), sorted);
  EXPECT_EQ(Keys(byIndex), sorted);
  // Records move whole: every tag still belongs to its key.
  for (unsigned i = 0; i < with.m_nCount; ++i) EXPECT_EQ((int32_t)with.GetIntAt(i, 0), keys[with.GetIntAt(i, 4)]);
  // By the key's bytes (little-endian, so its low byte) the same as a
  // compare of that byte.
  bytes.SortBytes(0, 1, 0, UINT_MAX, 1);
  for (unsigned i = 1; i < bytes.m_nCount; ++i)
    EXPECT_GE((uint8_t)bytes.GetIntAt(i - 1, 0), (uint8_t)bytes.GetIntAt(i, 0));
  CRecordArray part(sizeof(Rec));
  Fill(part, {5, 4, 3, 2, 1});
  part.SortWith(CompareKey, nullptr, 0, 1, 4, 0);
  EXPECT_EQ(Keys(part), (std::vector<int32_t>{5, 2, 3, 4, 1}));
  part.SortWith(CompareKey, nullptr, 8, 0, 5, 0);  // a field past the record: nothing
  EXPECT_EQ(Keys(part), (std::vector<int32_t>{5, 2, 3, 4, 1}));
}

// Record size times capacity never wraps: such inserts are refused.
TEST(RecordArray, HugeInsertsAreRefused) {
  CRecordArray a(0x10000000);
  unsigned index = 5;
  EXPECT_EQ(a.InsertNew(0, 16, &index), nullptr);
  EXPECT_EQ(index, 5u);
  EXPECT_EQ(a.m_nCount, 0u);
  CRecordArray b(8);
  EXPECT_EQ(b.InsertNew(0, INT_MAX), nullptr);
  EXPECT_EQ(b.InsertFromList(nullptr, 0, INT_MAX), ARRAY_NONE);
  EXPECT_EQ(b.m_nCount, 0u);
}

}  // namespace
