// Colour entry lists: finding, setting, adding with ids, the index table.
#include <gtest/gtest.h>

#include "viewers/text/colorlist.h"

TEST(ColorList, AddFindSetAndDuplicateIds) {
  ANSICOLORENTRY* list = nullptr;
  EXPECT_EQ(ColorListAdd(&list, kAnsiSystemColor, kAnsiSystemColor, "Standard", 1, 0), 1);
  EXPECT_EQ(list[0].id, 1u) << "the first entry of an empty list keeps its id";
  EXPECT_EQ(ColorListAdd(&list, 0xFF, 0xFF00, "Adresse", 2, kAnsiColorBold), 2);
  EXPECT_EQ(ColorListAdd(&list, 1, 2, "Doppelt", 2, 0), 3);
  EXPECT_EQ(list[2].id, 0u) << "an id another entry has becomes 0";
  EXPECT_EQ(list[3].name, nullptr);
  EXPECT_EQ(ColorListCount(list), 3);

  EXPECT_EQ(ColorListFind(list, nullptr, 2), 1);
  EXPECT_EQ(ColorListFind(list, "Doppelt", 0), 2);
  EXPECT_EQ(ColorListFind(list, "doppelt", 0), -1) << "names compare with case";
  EXPECT_EQ(ColorListFind(list, nullptr, 0), -1) << "nothing to look for finds nothing";
  EXPECT_EQ(ColorListFind(nullptr, "Standard", 0), -1);
  EXPECT_EQ(ColorListFind(list, nullptr, 9), -1);

  EXPECT_EQ(ColorListSet(list, 0x11, 0x22, nullptr, 0, 5), 0) << "writes nothing";
  EXPECT_EQ(list[0].background, kAnsiSystemColor) << "\"Standard\" intact";
  EXPECT_EQ(ColorListSet(nullptr, 0x11, 0x22, "Standard", 0, 5), 0);
  EXPECT_EQ(ColorListSet(list, 0x11, 0x22, nullptr, 2, 4), 1);
  EXPECT_EQ(list[1].text, 0x11u);
  EXPECT_EQ(list[1].background, 0x22u);
  EXPECT_EQ(list[1].style, 4u);

  BYTE* index = ColorListBuildIndex(list);
  EXPECT_EQ(index[1], 1);
  EXPECT_EQ(index[2], 2);
  EXPECT_EQ(index[0], 3) << "the entry with id 0";
  EXPECT_EQ(index[3], 0);
  delete[] index;
  ColorListFree(&list);
  EXPECT_EQ(list, nullptr);
  ColorListFree(&list);
}

TEST(ColorList, IndexLeavesOutLargeIdsAndPositionsThatDoNotFit) {
  ANSICOLORENTRY* list = nullptr;
  ColorListAdd(&list, 0, 0, "gross", 300, 0);
  for (int i = 1; i < 260; ++i) ColorListAdd(&list, 0, 0, "x", i == 255 ? 7 : 1000 + i, 0);
  BYTE* index = ColorListBuildIndex(list);
  EXPECT_EQ(index[300 & 0xFF], 0) << "id 300 lies outside";
  EXPECT_EQ(index[7], 0) << "position 255 would read as 256";
  delete[] index;
  EXPECT_EQ(ColorListBuildIndex(nullptr), nullptr);
  ColorListFree(&list);
}

TEST(ColorList, PaletteOrder) {
  EXPECT_EQ(kAnsiPalette[0], kAnsiSystemColor);
  EXPECT_EQ(kAnsiPalette[9], 0x000000u);
  EXPECT_EQ(kAnsiPalette[35], 0xFF0000u);
  EXPECT_EQ(kAnsiPalette[54], 0xFFFFFFu);
  EXPECT_EQ(kAnsiPalette[62], 0xFFC0C0u);
}
