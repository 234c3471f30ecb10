#include <gtest/gtest.h>
#include "controls/treelist/treelist.h"
TEST(Probe, Registers) { EXPECT_EQ(1, RegisterTreeListClass(GetModuleHandleA(nullptr))); }
