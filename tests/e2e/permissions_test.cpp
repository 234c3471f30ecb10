// End-to-end permissions command: the editor opens, and cancelling it changes
// nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/scenario_util.h"
#include "harness/file_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {

std::string KeySecurity(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return "<no key>";
  BYTE sd[4096];
  DWORD size = sizeof sd;
  LONG e = RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                             sd, &size);
  RegCloseKey(key);
  return e == ERROR_SUCCESS ? std::string((const char*)sd, size) : "<error " + std::to_string(e) + ">";
}

// Column 0 of every list view in a window, "|a,b|" per list.
std::string ListTexts(const OstrovaProcess& app, HWND parent) {
  struct Lists {
    std::vector<HWND> found;
  } lists;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (strcmp(cls, "SysListView32") == 0) ((Lists*)lp)->found.push_back(w);
        return TRUE;
      },
      (LPARAM)&lists);
  const size_t textSize = 256;
  RemoteBuffer buf(app.Process(), sizeof(LVITEMA) + textSize);
  std::string out;
  for (HWND list : lists.found) {
    out += "|";
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n && buf.Address(); ++i) {
      LVITEMA item = {};
      item.iSubItem = 0;
      item.pszText = (char*)buf.Address() + sizeof(LVITEMA);
      item.cchTextMax = (int)textSize;
      char text[256] = "";
      if (!buf.Write(&item, sizeof item)) break;
      int len = (int)SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)buf.Address());
      std::vector<char> all(sizeof(LVITEMA) + textSize);
      buf.Read(all.data(), all.size());
      memcpy(text, all.data() + sizeof(LVITEMA), sizeof text - 1);
      out += (i ? "," : "") + std::string(text, len > 0 ? (size_t)len : 0);
    }
    out += "|";
  }
  return out;
}

// "Berechtigungen" opens the system's access-control editor for the key
// (Wine's: a basic sheet titled "Properties for <name>"); Cancel changes
// nothing.
TEST_F(EndToEnd, PermissionsOpenTheEditorAndCancelChangesNothing) {
  ScratchKey scratch(Sub("Rechte"));
  const wchar_t v[] = L"v";
  SetW(scratch.path, L"Wert", REG_SZ, v, sizeof v);
  const std::string security = KeySecurity(scratch.path);
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + SubPath("Rechte")));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == SubPath("Rechte"); }));
  app.Command(ID_PERMISSIONS);
  HWND sheet = WaitForTopLevel(app, nullptr);
  ASSERT_NE(sheet, nullptr) << "nothing opened";
  const std::string title = TextOf(sheet);
  // Either the editor, or the message that it is missing.
  if (title == "Error") {
    ADD_FAILURE() << "no access-control editor: " << TextOf(GetDlgItem(sheet, kMsgBoxText));
  } else {
    // Wine's sheet leaves its title's placeholder unfilled.
    EXPECT_TRUE(title == "Properties for Rechte" || title == "Properties for %s") << title;
    EXPECT_EQ(GetWindow(sheet, GW_OWNER), app.Frame());
    // The rights the editor lists come from the program's table: its general
    // rows (Wine's basic page shows no others).
    EXPECT_TRUE(WaitUntil([&] { return ListTexts(app, sheet).find("|Vollzugriff,Lesen|") != std::string::npos; }))
        << ListTexts(app, sheet);
  }
  Shot(sheet, "regtools_permissions");
  PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }));
  EXPECT_EQ(KeySecurity(scratch.path), security);
  ASSERT_TRUE(app.Close());
}

}  // namespace
