// The path combo's items, on a bare ComboBoxEx without a pane.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/browser/combopaths.h"

namespace {

class ComboPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    m_host = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    m_combo = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_CHILD | CBS_DROPDOWN, 0, 0, 300, 200, m_host, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(m_combo, nullptr);
    // Images are kept by index only: a list to hold them.
    m_images = ImageList_Create(16, 16, ILC_COLOR32, 8, 0);
    SendMessageA(m_combo, CBEM_SETIMAGELIST, 0, (LPARAM)m_images);
  }
  void TearDown() override {
    DestroyWindow(m_host);
    ImageList_Destroy(m_images);
  }
  // "text:image" of every item (an item without one reads as image 0).
  std::vector<std::string> Items() {
    std::vector<std::string> out;
    int count = (int)SendMessageA(m_combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
      char text[300] = "";
      COMBOBOXEXITEMA item = {};
      item.mask = CBEIF_TEXT | CBEIF_IMAGE;
      item.iItem = i;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(m_combo, CBEM_GETITEMA, 0, (LPARAM)&item);
      out.push_back(std::string(text) + ":" + std::to_string(item.iImage));
    }
    return out;
  }
  HWND m_host = nullptr;
  HWND m_combo = nullptr;
  HIMAGELIST m_images = nullptr;
};

int ImageByLength(void* calls, const char* path) {
  ++*(int*)calls;
  return strlen(path) > 3 ? 2 : ComboPaths::kNoImage;
}

TEST_F(ComboPathsTest, RememberedPathsFillAnEmptyComboAndComeBack) {
  ComboPaths paths;
  for (const char* p : {"HKEY_CURRENT_USER\\Preis €", "ab", "HKEY_USERS\\x"}) paths.Paths().InsertString(p);
  int calls = 0;
  EXPECT_EQ(paths.FillCombo(m_combo, ImageByLength, &calls), 3);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(Items(), (std::vector<std::string>{"HKEY_CURRENT_USER\\Preis €:2", "ab:0", "HKEY_USERS\\x:2"}));
  // A combo with items keeps them.
  EXPECT_EQ(paths.FillCombo(m_combo, ImageByLength, &calls), 0);
  EXPECT_EQ(Items().size(), 3u);
  paths.Paths().RemoveAll();
  EXPECT_EQ(paths.Collect(m_combo), 3);
  EXPECT_STREQ(paths.Paths().TextAt(0), "HKEY_CURRENT_USER\\Preis €");
  EXPECT_STREQ(paths.Paths().TextAt(2), "HKEY_USERS\\x");
  char text[300];
  EXPECT_EQ(ComboPaths::ItemText(m_combo, 3, text, sizeof text), -1);
}

TEST_F(ComboPathsTest, WithoutAComboThePathsStay) {
  ComboPaths paths;
  paths.Paths().InsertString("A");
  EXPECT_EQ(paths.FillCombo(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(paths.Collect(nullptr), -1);
  EXPECT_EQ(paths.Paths().count, 1);
  char text[8] = "x";
  EXPECT_EQ(ComboPaths::ItemText(nullptr, -1, text, sizeof text), -1);
  EXPECT_FALSE(ComboPaths::InsertItem(nullptr, 0, "A", 0));
  EXPECT_FALSE(ComboPaths::SetEditText(nullptr, "A", 1, 0));
  ComboPaths::PutFirst(nullptr, "A", 1, 0, 15);
}

TEST_F(ComboPathsTest, AnEnteredPathGoesFirstAndTheListStaysShort) {
  for (int i = 0; i < 17; ++i)
    ComboPaths::InsertItem(m_combo, i, ("p" + std::to_string(i)).c_str(), i % 3 ? ComboPaths::kNoImage : 1);
  ComboPaths::InsertItem(m_combo, 3, "HKCU\\Neu\\", 5);  // the same path but for case and the final "\"
  ComboPaths::PutFirst(m_combo, "hkcu\\neu", 8, 4, 15);
  std::vector<std::string> want = {"hkcu\\neu:4"};
  for (int i = 0; i < 14; ++i) want.push_back("p" + std::to_string(i) + (i % 3 ? ":0" : ":1"));
  EXPECT_EQ(Items(), want);
  // The edit takes its text cut to the length given.
  EXPECT_TRUE(ComboPaths::SetEditText(m_combo, "HKEY_USERS\\abc", 10, 3));
  char text[300];
  EXPECT_EQ(ComboPaths::ItemText(m_combo, -1, text, sizeof text), 10);
  EXPECT_STREQ(text, "HKEY_USERS");
}

}  // namespace
