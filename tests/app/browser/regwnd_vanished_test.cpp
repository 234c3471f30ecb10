// Keys and values that another program deleted while the pane showed them:
// renaming or deleting them says so, the pane shows what is there now, and
// nothing is written where the key is gone.
#include "browser_fixture.h"

namespace {

bool Has(const std::vector<std::string>& names, const char* name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

class Vanished : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    HKEY k = m_key->Handle();
    SetRaw(k, "bleibt", REG_SZ, "1\0", 2);
    SetRaw(k, "weg", REG_SZ, "2\0", 2);
    MakeKey(k, "Kind\\Enkel");
    MakeKey(k, "Nachbar");
  }
  // One box, which says that the item is gone.
  static void ExpectGoneBox(const BoxAnswerer& boxes, const char* what) {
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(what), std::string::npos) << boxes.texts[0];
    EXPECT_NE(boxes.texts[0].find("nicht mehr vorhanden"), std::string::npos) << boxes.texts[0];
  }
};

TEST_F(Vanished, ValueRenameAndDeleteSayItAndRefresh) {
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  int row = -1;
  std::vector<std::string> rows = RowNames(pane.List());
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == "weg") row = (int)i;
  ASSERT_GE(row, 0);
  ASSERT_EQ(RegDeleteValueA(m_key->Handle(), "weg"), ERROR_SUCCESS);
  {
    BoxAnswerer boxes({IDOK});
    EXPECT_EQ(pane.RenameEntry(row, "neu"), 0);
    PumpMessages(50);
    ExpectGoneBox(boxes, "Registry-Wert");
  }
  SettlePane(pane);
  EXPECT_FALSE(Has(RowNames(pane.List()), "weg"));
  EXPECT_FALSE(Has(RowNames(pane.List()), "neu"));
  EXPECT_NE(RegQueryValueExA(m_key->Handle(), "neu", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

  // Deleted meanwhile, then deleted in the pane.
  SetRaw(m_key->Handle(), "weg2", REG_SZ, "3\0", 2);
  Show(pane, Key());
  pane.SendMessage(WM_COMMAND, ID_TREEWND_REFRESH);
  SettlePane(pane);
  rows = RowNames(pane.List());
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == "weg2") row = (int)i;
  ASSERT_TRUE(Has(rows, "weg2"));
  ASSERT_EQ(RegDeleteValueA(m_key->Handle(), "weg2"), ERROR_SUCCESS);
  pane.SelectEntry(row, TRUE);
  {
    BoxAnswerer boxes({IDOK, IDOK});
    pane.SendMessage(WM_COMMAND, ID_TREEWND_DELETE);
    PumpMessages(50);
    ASSERT_EQ(boxes.texts.size(), 2u);  // the question, then what happened
    EXPECT_NE(boxes.texts[1].find("nicht mehr vorhanden"), std::string::npos) << boxes.texts[1];
  }
  SettlePane(pane);
  EXPECT_FALSE(Has(RowNames(pane.List()), "weg2"));
  EXPECT_TRUE(Has(RowNames(pane.List()), "bleibt"));
}

TEST_F(Vanished, KeyRenameSaysItAndTheTreeFollows) {
  CRegWnd& pane = MakePane();
  Show(pane, Key());
  HTREEITEM caret = ShownTreeItem(pane);
  HTREEITEM item = FindChild(pane.Tree(), caret, "Nachbar");
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(RegDeleteKeyA(m_key->Handle(), "Nachbar"), ERROR_SUCCESS);
  {
    BoxAnswerer boxes({IDOK});
    EXPECT_EQ(pane.RenameTreeItem(item, "Anders"), 0);
    PumpMessages(50);
    ExpectGoneBox(boxes, "Registry-Schl\xFCssel");
  }
  SettlePane(pane);
  EXPECT_EQ(ChildNames(pane.Tree(), caret), (std::vector<std::string>{"Kind"}));
  HKEY k;
  EXPECT_NE(RegOpenKeyExA(m_key->Handle(), "Anders", 0, KEY_READ, &k), ERROR_SUCCESS);
}

// The shown key is gone: a new value or key is not written (the key is not
// made again), and the pane moves to the nearest key that is there.
TEST_F(Vanished, NothingIsWrittenToAShownKeyThatIsGone) {
  CRegWnd& pane = MakePane();
  Show(pane, Key("Kind\\Enkel"));
  ASSERT_EQ(RegDeleteKeyA(m_key->Handle(), "Kind\\Enkel"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyA(m_key->Handle(), "Kind"), ERROR_SUCCESS);
  {
    BoxAnswerer boxes({IDOK});
    EXPECT_EQ(pane.NewItemAt(nullptr, 1, REG_SZ), 0);
    PumpMessages(50);
    ExpectGoneBox(boxes, "Registry-Pfad");
  }
  SettlePane(pane);
  HKEY k;
  EXPECT_NE(RegOpenKeyExA(m_key->Handle(), "Kind", 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
  HTREEITEM caret = ShownTreeItem(pane);
  EXPECT_EQ(ChildNames(pane.Tree(), caret), (std::vector<std::string>{"Nachbar"}));

  // The same for a new key.
  MakeKey(m_key->Handle(), "Kurz");
  Show(pane, Key("Kurz"));
  ASSERT_EQ(RegDeleteKeyA(m_key->Handle(), "Kurz"), ERROR_SUCCESS);
  {
    BoxAnswerer boxes({IDOK});
    EXPECT_EQ(pane.NewFolderAt(nullptr, 1, nullptr), 0);
    PumpMessages(50);
    ExpectGoneBox(boxes, "Registry-Pfad");
  }
  SettlePane(pane);
  EXPECT_NE(RegOpenKeyExA(m_key->Handle(), "Kurz", 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_EQ(std::string(pane.GetPathNoSlash()), Key());
}

}  // namespace
