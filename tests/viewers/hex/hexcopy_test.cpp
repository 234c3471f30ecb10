// The hex view's clipboard forms, each read back by its reader: plain paste,
// paste special, base64 decoding; and the refusals of paste.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hex_commands_util.h"
#include "text/codecs/base64.h"
#include "viewers/hex/bytesource.h"
#include "viewers/hex/hexview.h"

namespace {

// A writable view over 64 bytes: the source bytes at 0, zeros after them.
class HexClipboardTest : public ::testing::Test {
 protected:
  void Attach(const std::string& source, UINT flags = kHexDataWritable) {
    std::memset(m_data, 0, sizeof m_data);
    std::memcpy(m_data, source.data(), source.size());
    m_view.SetData(m_data, sizeof m_data, 0, flags);
  }
  void Select(int from, int count) {
    m_view.SetCursorAddress((DWORD)from, FALSE);
    m_view.SetSelectionEnd((DWORD)(from + count), FALSE);
  }
  // Pastes the clipboard at offset 32 and answers the bytes there.
  std::string PasteAt32(BOOL special, int count) {
    m_view.SetCursorAddress(32, FALSE);
    EXPECT_EQ(m_view.Paste(special), 1) << ClipboardString();
    return std::string((const char*)m_data + 32, (size_t)count);
  }
  BYTE m_data[64];
  CHexView m_view;
};

const std::string kMixed(
    "\x01"
    "A\"\\\n\x80\x7F"
    "B9",
    9);

}  // namespace

TEST_F(HexClipboardTest, CopyGivesCharactersOrAHexDump) {
  Attach("ABC");
  Select(0, 3);
  EXPECT_EQ(m_view.CopySelection(), 3);
  EXPECT_EQ(ClipboardString(), ":41 42 43") << "hex area";
  m_view.SetEditArea(kHexAreaChars);
  Select(0, 3);
  m_view.CopySelection();
  EXPECT_EQ(ClipboardString(), "ABC") << "character area";
  Attach(std::string("A\x01", 2));
  m_view.SetEditArea(kHexAreaChars);
  Select(0, 2);
  m_view.CopySelection();
  EXPECT_EQ(ClipboardString(), ":41 01") << "a control byte: the dump";
  m_view.SetCursorAddress(0, FALSE);
  EXPECT_EQ(m_view.CopySelection(), 0) << "no selection";
}

TEST_F(HexClipboardTest, CharacterCopiesReadBackByPlainPaste) {
  Attach("Hallo");
  m_view.SetEditArea(kHexAreaChars);
  Select(0, 5);
  m_view.CopySelection();
  EXPECT_EQ(PasteAt32(FALSE, 5), "Hallo");
  // Digits read as a number: 4 bytes of 123.
  Attach("123");
  m_view.SetEditArea(kHexAreaChars);
  Select(0, 3);
  m_view.CopySelection();
  EXPECT_EQ(PasteAt32(FALSE, 5), std::string("\x7B\0\0\0\0", 5));
  // The hex dump reads back too.
  Attach(kMixed);
  Select(0, (int)kMixed.size());
  m_view.SetEditArea(kHexAreaHex);
  Select(0, (int)kMixed.size());
  m_view.CopySelection();
  EXPECT_EQ(PasteAt32(FALSE, (int)kMixed.size()), kMixed);
}

TEST_F(HexClipboardTest, CStringCopyReadsBackWhole) {
  Attach(kMixed);
  Select(0, (int)kMixed.size());
  EXPECT_GT(m_view.OnCopyAsCString(), 0);
  const std::string text = ClipboardString();
  EXPECT_EQ(text.front(), '"');
  EXPECT_EQ(text.back(), '"');
  EXPECT_NE(text.find("\"\""), std::string::npos) << "split after \\x01 before A: " << text;
  EXPECT_EQ(PasteAt32(FALSE, (int)kMixed.size()), kMixed) << text;
}

TEST_F(HexClipboardTest, SourceFormsReadBackByTheirPaste) {
  Attach(kMixed);
  struct Case {
    int valueSize, flags;
    BOOL special;
  } cases[] = {
      {2, SOURCE_TEXT, FALSE},                        // hex escapes, a quoted line per 4 bytes
      {4, SOURCE_TEXT, FALSE},                        // C strings, line after line
      {1, SOURCE_C_ARRAY, TRUE},                      // 0x01,0x41,...
      {2, SOURCE_C_ARRAY | SOURCE_BIG_ENDIAN, TRUE},  // whole values as the data lie
      {1, SOURCE_DUMP, TRUE},
      {4, SOURCE_DUMP | SOURCE_BIG_ENDIAN, TRUE},
  };
  for (const Case& c : cases) {
    char text[1024];
    FormatBytesAsSource(kMixed.data(), (int)kMixed.size(), c.valueSize, c.flags, 4, text, sizeof text);
    ASSERT_GT(SetClipboardText(text, -1), 0);
    std::memset(m_data + 32, 0, 32);
    EXPECT_EQ(PasteAt32(c.special, (int)kMixed.size()), kMixed) << text;
  }
  // Base64 has no paste reader: its decoder gives the bytes.
  char text[256];
  FormatBytesAsSource(kMixed.data(), (int)kMixed.size(), 1, SOURCE_TEXT, 16, text, sizeof text);
  char back[64];
  EXPECT_EQ(std::string(back, (size_t)Base64DecodeA(back, sizeof back, text, (int)std::strlen(text))), kMixed);
}

TEST_F(HexClipboardTest, PasteSpecialReadsPrefixedValuesAndPasteIsRefusedWhereItMust) {
  Attach("");
  SetClipboardText("0x41, 0x42", -1);
  EXPECT_EQ(PasteAt32(TRUE, 3), std::string("AB\0", 3));
  // Into a selection: at most its length.
  SetClipboardText(":51 52 53 54", -1);
  Select(8, 2);
  EXPECT_EQ(m_view.Paste(TRUE), 1);
  EXPECT_EQ(std::string((const char*)m_data + 8, 3), std::string("QR\0", 3));
  // At the end: cut; past it: nothing.
  m_view.SetCursorAddress(62, FALSE);
  EXPECT_EQ(m_view.Paste(TRUE), 1);
  EXPECT_EQ(m_data[62], 0x51);
  EXPECT_EQ(m_data[63], 0x52);
  // Read-only: a beep, nothing written.
  static const BYTE kConst[8] = {};
  m_view.SetData((void*)kConst, 8, 0, 0);
  const int beeps = GetHexBeepCount();
  EXPECT_EQ(m_view.Paste(FALSE), 0);
  EXPECT_EQ(GetHexBeepCount(), beeps + 1);
}

TEST_F(HexClipboardTest, PasteInsertsWhenInsertionIsOn) {
  BYTE* owned = new BYTE[4]{1, 2, 3, 4};
  m_view.SetData(owned, 4, 0, 0x063);
  m_view.SetCursorAddress(2, FALSE);
  SetClipboardText("\"xy\"", -1);
  EXPECT_EQ(m_view.Paste(FALSE), 1);
  int size = 0;
  const BYTE* data = (const BYTE*)m_view.GetData(&size, nullptr);
  ASSERT_EQ(size, 6);
  EXPECT_EQ(std::string((const char*)data, 6), std::string("\x01\x02xy\x03\x04", 6));
  EXPECT_TRUE(m_view.IsModified());
}
