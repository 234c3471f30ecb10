// Combo-box histories: the bytes written, both layouts read back, the limits.
#include "ui/combohistory.h"

#include <gtest/gtest.h>

#include <string>

#include "harness/registry_util.h"
#include "system/regkeystack.h"

namespace {

class ComboHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    m_combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN | CBS_HASSTRINGS | CBS_AUTOHSCROLL, 0, 0, 200,
                              200, m_top, (HMENU)kId, nullptr, nullptr);
    m_pDialog = CWnd::FromHandle(m_top);
  }
  void TearDown() override { DestroyWindow(m_top); }

  void SetList(std::initializer_list<const char*> items) {
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    for (const char* item : items) SendMessageA(m_combo, CB_ADDSTRING, 0, (LPARAM)item);
  }
  std::string Items() const {
    std::string all;
    int n = (int)SendMessageA(m_combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
      char text[600] = "";
      SendMessageA(m_combo, CB_GETLBTEXT, i, (LPARAM)text);
      all += (i ? "|" : "") + std::string(text);
    }
    return all;
  }
  std::string Text() const {
    char text[600] = "";
    GetWindowTextA(m_combo, text, sizeof text);
    return text;
  }
  // The stored bytes of a value of the program key's subkey, "<none>" when
  // missing.
  std::string Stored(const char* sub, const char* value) const {
    std::string path = m_names.ProgramKeyPath();
    if (*sub) path += std::string("\\") + sub;
    char data[4096];
    DWORD cb = sizeof data, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), value, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &cb) !=
        ERROR_SUCCESS)
      return "<none>";
    EXPECT_EQ(type, (DWORD)REG_MULTI_SZ);
    return std::string(data, cb);
  }
  void Store(const char* sub, const char* value, const std::string& bytes) {
    CRegKeyStack key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE));
    ASSERT_TRUE(key.OpenSubKey(sub));
    ASSERT_TRUE(key.SetValue(bytes.data(), (DWORD)bytes.size(), value, REG_MULTI_SZ));
  }

  static const int kId = 1234;
  TestAppNames m_names;
  HWND m_top = nullptr, m_combo = nullptr;
  CWnd* m_pDialog = nullptr;
};

}  // namespace

TEST_F(ComboHistoryTest, MarkedSaveAndBothWaysOfLoading) {
  SetList({"x", "abc", "y"});
  SetWindowTextA(m_combo, "abc");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "#Names", "#Dlg"), 3);
  EXPECT_EQ(Stored("Dlg", "Names"), std::string("\2abc\0abc\0x\0y\0\0", 14));
  EXPECT_EQ(Items(), "abc|x|y");  // typed: the list shows it at the top at once

  SetList({"alt"});
  SetWindowTextA(m_combo, "vorher");
  char text[16] = "?";
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "#Names", "#Dlg", text, sizeof text), 3);
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(Items(), "abc|x|y");
  EXPECT_STREQ(text, "abc");

  // Read plainly: the edit text stays, the marked entry is listed once.
  SetList({"alt"});
  SetWindowTextA(m_combo, "bleibt");
  char small[3] = "?";
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "Names", "#Dlg", small, sizeof small), 3);
  EXPECT_EQ(Text(), "bleibt");
  EXPECT_EQ(Items(), "abc|x|y");
  EXPECT_STREQ(small, "ab");

  CString str;
  EXPECT_EQ(LoadComboHistoryStr(m_pDialog, kId, "#Names", "#Dlg", str), 3);
  EXPECT_STREQ(str, "abc");
  EXPECT_EQ(str.GetLength(), 3);
}

TEST_F(ComboHistoryTest, PlainLayoutLimitAndSelection) {
  SetList({});
  for (int i = 0; i < 20; ++i) SendMessageA(m_combo, CB_ADDSTRING, 0, (LPARAM)("e" + std::to_string(i)).c_str());
  SendMessageA(m_combo, CB_INSERTSTRING, 3, (LPARAM) "");
  SendMessageA(m_combo, CB_INSERTSTRING, 5, (LPARAM) "NEU");  // other case: another entry
  SetWindowTextA(m_combo, "neu");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "Liste", "#"), 16);
  std::string expected("neu\0e0\0e1\0e2\0e3\0NEU\0", 20);
  for (int i = 4; i < 14; ++i) expected += "e" + std::to_string(i) + '\0';
  EXPECT_EQ(Stored("", "Liste"), expected + '\0');

  // A selected item whose text is not in the edit is the current text; the
  // list stays as it is.
  SetList({"eins", "zwei"});
  SendMessageA(m_combo, CB_SETCURSEL, 1, 0);
  SetWindowTextA(m_combo, "");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "Liste", nullptr), 2);
  EXPECT_EQ(Stored("", "Liste"), std::string("zwei\0eins\0\0", 11));
  EXPECT_EQ(Items(), "eins|zwei");
}

TEST_F(ComboHistoryTest, EmptyTexts) {
  SetList({"a", "b"});
  SetWindowTextA(m_combo, "");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "#Leer", "#Dlg"), 0);  // without '*': nothing written
  EXPECT_EQ(Stored("Dlg", "Leer"), "<none>");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "Leer", "#Dlg"), 0);
  EXPECT_EQ(Stored("Dlg", "Leer"), "<none>");

  // With '*' an empty text is kept in the marked entry only: an empty item
  // would end the list.
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "*#Leer", "#Dlg"), 2);
  EXPECT_EQ(Stored("Dlg", "Leer"), std::string("\2\0a\0b\0\0", 7));
  SetList({});
  SetWindowTextA(m_combo, "x");
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "#Leer", "#Dlg", nullptr, 0), 2);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(Items(), "a|b");
  SetList({});
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "Leer", "#Dlg", nullptr, 0), 2);
  EXPECT_EQ(Items(), "a|b");

  // An empty text without '*' leaves the stored value as it was.
  SetWindowTextA(m_combo, "");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "#Leer", "#Dlg"), 0);
  EXPECT_EQ(Stored("Dlg", "Leer"), std::string("\2\0a\0b\0\0", 7));

  // Only the marked entry: the edit text, an empty list.
  Store("Dlg", "Einzeln", std::string("\2nur\0\0", 6));
  SetList({"weg"});
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "#Einzeln", "#Dlg", nullptr, 0), 0);
  EXPECT_EQ(Text(), "nur");
  EXPECT_EQ(Items(), "");
}

TEST_F(ComboHistoryTest, EuroSignAndKeyPaths) {
  SetList({});
  SetWindowTextA(m_combo, "5 €");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "Preis", "#Dlg\\Tief"), 1);
  EXPECT_EQ(Stored("Dlg\\Tief", "Preis"), std::string("5 \x80\0\0", 5));
  SetList({});
  CString str;
  EXPECT_EQ(LoadComboHistoryStr(m_pDialog, kId, "Preis", "#Dlg\\Tief", str), 1);
  EXPECT_STREQ(str, "5 €");
  EXPECT_EQ(Items(), "5 €");

  // A path without '#' lies below HKEY_CURRENT_USER as it stands.
  std::string path = m_names.ProgramKeyPath() + "\\Frei";
  SetWindowTextA(m_combo, "5 €");
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId, "Wert", path.c_str()), 1);
  EXPECT_EQ(Stored("Frei", "Wert"), std::string("5 \x80\0\0", 5));
  CRegKeyStack key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, path.c_str(), REGKS_READ));
  SetList({});
  EXPECT_EQ(LoadComboHistoryFromKey(m_pDialog, kId, "Wert", key, nullptr, 0), 1);
  EXPECT_EQ(SaveComboHistoryToKey(m_pDialog, kId, "Wert", key), 0);  // read-only key

  // Missing keys and values, closed keys and missing controls give 0.
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "Wert", "#Fehlt", nullptr, 0), 0);
  EXPECT_EQ(Stored("Fehlt", "Wert"), "<none>");
  EXPECT_EQ(LoadComboHistory(m_pDialog, kId, "Fehlt", "#Dlg", nullptr, 0), 0);
  CRegKeyStack closed;
  EXPECT_EQ(LoadComboHistoryFromKey(m_pDialog, kId, "Wert", closed, nullptr, 0), 0);
  EXPECT_EQ(SaveComboHistoryToKey(m_pDialog, kId, "Wert", closed), 0);
  EXPECT_EQ(SaveComboHistory(m_pDialog, kId + 1, "Wert", "#Dlg"), 0);
}
