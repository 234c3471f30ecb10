#include "system/blockarray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

// Which blocks the array gives back: this program's operator delete notes
// the pointers it frees while a FreedBlocks object lives.
namespace {
void* g_freed[64];
int g_freedCount = -1;  // -1: not recording

__attribute__((noinline)) void NoteAndFree(void* p) {
  if (p && g_freedCount >= 0 && g_freedCount < 64) g_freed[g_freedCount++] = p;
  free(p);
}
}  // namespace

void operator delete(void* p) noexcept { NoteAndFree(p); }
void operator delete(void* p, size_t) noexcept { NoteAndFree(p); }

namespace {

struct FreedBlocks {
  FreedBlocks() { g_freedCount = 0; }
  ~FreedBlocks() { g_freedCount = -1; }
  bool Has(const void* p) const {
    for (int i = 0; i < g_freedCount; ++i)
      if (g_freed[i] == p) return true;
    return false;
  }
};

void* NewBlock(int value) {
  int* p = static_cast<int*>(::operator new(sizeof(int)));
  *p = value;
  return p;
}

std::vector<int> Values(const CBlockArray& a) {
  std::vector<int> v;
  for (unsigned i = 0; i < a.m_nCount; ++i) v.push_back(*static_cast<int*>(a.m_ppBlocks[i]));
  return v;
}

}  // namespace

TEST(BlockArray, OwningArrayCopiesOrAdoptsAndFreesWhatItHolds) {
  FreedBlocks freed;
  void* adopted = NewBlock(7);
  int local = 5;
  void* copy;
  {
    CBlockArray a(1);
    a.InsertAt(&local, 0, sizeof local);
    copy = a.m_ppBlocks[0];
    EXPECT_NE(copy, &local);
    a.InsertAt(adopted, 1, 0);  // size 0: the caller's block itself
    EXPECT_EQ(a.m_ppBlocks[1], adopted);
    EXPECT_EQ(Values(a), (std::vector<int>{5, 7}));
  }
  EXPECT_TRUE(freed.Has(copy));
  EXPECT_TRUE(freed.Has(adopted));
}

TEST(BlockArray, NonOwningArrayNeitherCopiesNorFrees) {
  int values[3] = {1, 2, 3};
  FreedBlocks freed;
  {
    CBlockArray a(0);
    a.InsertAt(&values[0], 0, sizeof(int));
    void* more[] = {&values[1], &values[2]};
    a.InsertPtrs(more, 5, 2);
    EXPECT_EQ(a.m_ppBlocks[0], &values[0]);
    a.SetAt(&values[2], 0, sizeof(int));
    a.RemoveRange(1, 2);
    EXPECT_EQ(Values(a), (std::vector<int>{3, 3}));
  }
  for (int& v : values) EXPECT_FALSE(freed.Has(&v));
}

// An owning array must not leak the blocks that SetAt and SetPtrs replace.
TEST(BlockArray, OwningArrayFreesTheBlocksItReplaces) {
  CBlockArray a(1);
  for (int i = 0; i < 10; ++i) a.InsertAt(NewBlock(i), i, 0);
  void* old0 = a.m_ppBlocks[0];
  void* old8 = a.m_ppBlocks[8];
  void* old9 = a.m_ppBlocks[9];
  void* same = a.m_ppBlocks[5];
  FreedBlocks freed;
  int value = 100;
  EXPECT_EQ(a.SetAt(&value, 0, sizeof value), 0u);
  EXPECT_TRUE(freed.Has(old0));
  EXPECT_EQ(a.SetAt(same, 5, 0), 5u);  // the same block again: kept
  EXPECT_FALSE(freed.Has(same));
  EXPECT_EQ(*static_cast<int*>(a.m_ppBlocks[5]), 5);

  void* fresh[] = {NewBlock(80), NewBlock(90), NewBlock(100), NewBlock(110), NewBlock(120)};
  EXPECT_EQ(a.SetPtrs(fresh, 8, 5), 8u);
  EXPECT_TRUE(freed.Has(old8));
  EXPECT_TRUE(freed.Has(old9));
  EXPECT_EQ(Values(a), (std::vector<int>{100, 1, 2, 3, 4, 5, 6, 7, 80, 90, 100, 110, 120}));
}

TEST(BlockArray, GrowthOfSingleAndMultipleInserts) {
  CBlockArray a(0);
  int x = 0;
  a.InsertAt(&x, 0, 0);
  EXPECT_EQ(a.m_nCapacity, 16u);
  for (int i = 1; i < 16; ++i) a.InsertAt(&x, 0, 0);
  EXPECT_EQ(a.m_nCapacity, 16u);
  a.InsertAt(&x, 0, 0);
  EXPECT_EQ(a.m_nCapacity, 25u);  // (16 + 1) * 3 / 2

  std::vector<void*> ptrs(12, &x);
  CBlockArray b(0, 5);
  EXPECT_EQ(b.InsertPtrs(ptrs.data(), 0, 0), 0u);
  EXPECT_EQ(b.m_nCapacity, 0u);
  b.InsertPtrs(ptrs.data(), 0, 12);
  EXPECT_EQ(b.m_nCapacity, 15u);  // ((0 + 12) / 5 + 1) * 5
  b.RemoveRange(0, 9);            // 3 + 20 > 15: kept
  EXPECT_EQ(b.m_nCapacity, 15u);
  b.RemoveRange(0, 10);
  EXPECT_EQ(b.m_nCapacity, 0u);
  EXPECT_EQ(b.m_ppBlocks, nullptr);
}

TEST(BlockArray, SetAtTheEndAppendsACopy) {
  CBlockArray a(1);
  char text[10] = "abcdefghi";
  a.InsertAt(NewBlock(1), 0, 0);
  EXPECT_EQ(a.SetAt(text, 1, 10), 1u);
  EXPECT_NE(a.m_ppBlocks[1], text);
  EXPECT_EQ(memcmp(a.m_ppBlocks[1], text, 10), 0);
  char out[4] = {};
  EXPECT_EQ(a.GetAt(1, out, 3), a.m_ppBlocks[1]);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(a.GetAt(2, out, 3), nullptr);
  EXPECT_EQ(a.GetAt(1, nullptr, 3), nullptr);
}

TEST(BlockArray, ConfigureTurnsOwnershipOnOnlyWhileEmpty) {
  CBlockArray a(0);
  int x = 1;
  a.InsertAt(&x, 0, 0);
  EXPECT_EQ(a.Configure(1, 7), 0);
  EXPECT_EQ(a.m_bOwnsBlocks, 0u);
  EXPECT_EQ(a.m_nGrowStep, 7u);
  EXPECT_EQ(a.Configure(0, -2), 1);
  EXPECT_EQ(a.m_nGrowStep, 7u);
  a.RemoveRange(0, 1);
  EXPECT_EQ(a.Configure(1, 0), 1);
  EXPECT_EQ(a.m_bOwnsBlocks, 1u);
}

TEST(BlockArray, DetachedBlockOutlivesTheArray) {
  FreedBlocks freed;
  void* block;
  {
    CBlockArray a(1);
    a.InsertAt(NewBlock(3), 0, 0);
    a.InsertAt(NewBlock(4), 1, 0);
    block = a.DetachAt(0);
    EXPECT_EQ(a.DetachAt(1), nullptr);
    EXPECT_EQ(Values(a), std::vector<int>{4});
  }
  EXPECT_FALSE(freed.Has(block));
  EXPECT_EQ(*static_cast<int*>(block), 3);
  ::operator delete(block);
}

TEST(BlockArray, SearchesReadFieldsAtTheOffset) {
  CBlockArray a(0);
  int32_t blocks[][2] = {{0, 10}, {0, 20}, {0, 20}, {0, 30}};
  for (auto& b : blocks) a.InsertAt(b, a.m_nCount, 0);
  EXPECT_EQ(a.GetIntAt(1, 4), 20u);
  EXPECT_EQ(a.GetIntAt(4, 4), 0u);
  EXPECT_EQ(a.GetInt64At(3, 0), 30ull << 32);
  EXPECT_EQ(a.FindInt(20, 0, 9, 4), 1u);
  EXPECT_EQ(a.FindInt(20, 3, 9, 4), ARRAY_NONE);
  EXPECT_EQ(a.FindInt64(20ull << 32, 2, 9, 0), 2u);
  int32_t key = 30;
  EXPECT_EQ(a.FindBytes(&key, 0, 9, 4, 4), 3u);
  EXPECT_EQ(a.FindBytes(&key, 2, 9, 0, 4), 2u);  // length 0 matches the first of the range
  EXPECT_EQ(a.FindBytes(&key, 4, 9, 0, 4), ARRAY_NONE);
  EXPECT_EQ(a.FindBytes(nullptr, 0, 9, 4, 4), ARRAY_NONE);
  EXPECT_EQ(a.BSearchInt(20, 0, 9, 4, 2), 1u);
  EXPECT_EQ(a.BSearchInt(20, 0, 9, 4, 4), 3u);
  EXPECT_EQ(a.BSearchInt(25, 0, 9, 4, 8), 3u);
  EXPECT_EQ(a.BSearchInt(25, 0, 9, 4, 0), ARRAY_NONE);
  EXPECT_EQ(a.BSearchInt64(20ull << 32, 0, 9, 0, 2), 1u);
  EXPECT_EQ(a.BSearchBytes(&key, 0, 9, 4, 4, 0), 3u);
  EXPECT_EQ(a.BSearchBytes(&key, 0, 9, 0, 4, 2), 0u);  // length 0: every block equals the key
  EXPECT_EQ(a.BSearchWith(&key, 0, 9, 8,
                          [](void* c, const void* b) { return *(int32_t*)c - static_cast<const int32_t*>(b)[1]; }),
            3u);
  EXPECT_EQ(
      a.FindWith(&key, 0, 9, [](void* c, const void* b) { return *(int32_t*)c - static_cast<const int32_t*>(b)[1]; }),
      3u);
}

TEST(BlockArray, SortsAndFieldCompares) {
  int16_t minus = -1, plus = 1;
  EXPECT_EQ(CompareFieldInt16(nullptr, &minus, &plus), -2);
  EXPECT_EQ(CompareFieldUInt16(nullptr, &minus, &plus), 65534);
  int32_t big = -1, one = 1;
  EXPECT_EQ(CompareFieldInt32(nullptr, &big, &one), -1);
  EXPECT_EQ(CompareFieldUInt32(nullptr, &big, &one), 1);
  EXPECT_EQ(CompareFieldUInt32(nullptr, &one, &one), 0);

  CBlockArray a(1);
  int values[] = {5, -3, 9, 0, 5, 70000, -3};
  for (int v : values) a.InsertAt(&v, a.m_nCount, sizeof v);
  a.SortWith(CompareFieldInt32, nullptr, 0, 0, 99, 0);
  EXPECT_EQ(Values(a), (std::vector<int>{-3, -3, 0, 5, 5, 9, 70000}));
  a.SortWith(CompareFieldUInt32, nullptr, 0, 0, 99, 1);
  EXPECT_EQ(Values(a), (std::vector<int>{-3, -3, 70000, 9, 5, 5, 0}));
  a.SortWith(CompareFieldInt16, nullptr, 0, 2, 99, 0);  // low 16 bits of 70000 are 4464
  EXPECT_EQ(Values(a), (std::vector<int>{-3, -3, 0, 5, 5, 9, 70000}));
  a.SortBytes(0, 1, 0, 99, 1);  // by the low byte, descending
  EXPECT_EQ(Values(a)[0] & 0xFF, 0xFD);
  EXPECT_EQ(Values(a).back(), 0);
  a.SortByIndex(
      [](const CBlockArray* arr, unsigned x, unsigned y) {
        return *static_cast<int*>(arr->m_ppBlocks[x]) - *static_cast<int*>(arr->m_ppBlocks[y]);
      },
      -1, 99, 0);
  EXPECT_EQ(Values(a), (std::vector<int>{-3, -3, 0, 5, 5, 9, 70000}));
}
