// A paste is one undo step: undo takes inserted or overwritten bytes back and
// clears the modified flag the paste set; redo pastes again.
#include <gtest/gtest.h>

#include <string>

#include "hex_commands_util.h"
#include "viewers/hex/hexview.h"

namespace {
std::string Bytes(CHexView& view) {
  int size = 0;
  const char* data = (const char*)view.GetData(&size, nullptr);
  return std::string(data, (size_t)size);
}
}  // namespace

TEST(HexPasteUndo, InsertedPasteUndoesToTheUnmodifiedData) {
  CHexView view;
  view.SetData(new BYTE[4]{1, 2, 3, 4}, 4, 0, 0x063);
  view.SetCursorAddress(2, FALSE);
  SetClipboardText("\"xy\"", -1);
  ASSERT_EQ(view.Paste(FALSE), 1);
  EXPECT_EQ(Bytes(view), std::string("\x01\x02xy\x03\x04", 6));
  EXPECT_TRUE(view.IsModified());
  EXPECT_EQ(view.UndoRedo(-1), 1);
  EXPECT_EQ(Bytes(view), std::string("\x01\x02\x03\x04", 4));
  EXPECT_FALSE(view.IsModified()) << "the insertion set the flag after the data were unmodified";
  EXPECT_EQ(view.UndoRedo(1), 1);
  EXPECT_EQ(Bytes(view), std::string("\x01\x02xy\x03\x04", 6));
  EXPECT_TRUE(view.IsModified());
}

TEST(HexPasteUndo, OverwritingPasteKeepsTheOldBytes) {
  CHexView view;
  view.SetData(new BYTE[4]{1, 2, 3, 4}, 4, 0, 0x0A3);  // insertion allowed, toggle off
  view.SetCursorAddress(0, FALSE);
  SetClipboardText(":AA BB", -1);
  ASSERT_EQ(view.Paste(TRUE), 1);
  EXPECT_EQ(Bytes(view), std::string("\xAA\xBB\x03\x04", 4));
  EXPECT_EQ(view.UndoRedo(-1), 1);
  EXPECT_EQ(Bytes(view), std::string("\x01\x02\x03\x04", 4));
  EXPECT_FALSE(view.IsModified());
}
