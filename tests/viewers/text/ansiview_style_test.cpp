// Styles: shared fonts and colours, font fallbacks, registry load and save.
#include <cstring>

#include "harness/registry_util.h"
#include "view_fixture.h"

namespace {
std::string Face(HFONT font) { return ChosenFontFace(font); }

void SetDword(HKEY key, const char* sub, const char* name, DWORD value) {
  HKEY h;
  RegCreateKeyExA(key, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
  RegSetValueExA(h, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
  RegCloseKey(h);
}

void SetText(HKEY key, const char* sub, const char* name, const char* text, DWORD bytes) {
  HKEY h;
  RegCreateKeyExA(key, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
  RegSetValueExA(h, name, 0, REG_SZ, (const BYTE*)text, bytes);
  RegCloseKey(h);
}
}  // namespace

TEST_F(ViewTest, OneStyleSharesFontsAndAnotherFontRelaysOutItsViews) {
  RecordingView a("Geteilt"), b("Geteilt"), other("Anders");
  Make(&a);
  RECT rc = {0, 0, 300, 200};
  ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(m_parent), 78));
  ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(m_parent), 79));
  EXPECT_EQ(a.GetStyle(), b.GetStyle());
  EXPECT_NE(a.GetStyle(), other.GetStyle());
  EXPECT_EQ(Face(a.GetStyle()->baseFont), "Courier");
  int columns = b.GetVisibleSize().cx;
  int otherWidth = other.GetCellWidth();
  b.Clear();
  other.Clear();
  a.SetupFonts(26, "Courier");
  EXPECT_EQ(b.GetCellWidth(), a.GetCellWidth());
  EXPECT_GT(b.GetCellWidth(), otherWidth);
  EXPECT_LT(b.GetVisibleSize().cx, columns) << "the other view of the style is laid out again";
  EXPECT_FALSE(b.painted.empty()) << "and repainted";
  EXPECT_TRUE(other.painted.empty()) << "a view of another style is left alone";
  EXPECT_EQ(other.GetCellWidth(), otherWidth);
  b.DestroyWindow();
  other.DestroyWindow();
}

TEST_F(ViewTest, MissingFaceFallsBackAndBoldSlotsUseTheBaseFont) {
  RecordingView view("Fallback");
  Make(&view);
  view.SetupFonts(15, "NoSuchFace");
  EXPECT_STREQ(view.GetStyle()->font.face, "Courier");
  EXPECT_EQ(Face(view.GetStyle()->baseFont), "Courier");
  EXPECT_EQ(view.GetCellWidth(), 8);
  EXPECT_EQ(view.GetCellHeight(), 13);
  // Bold Courier is a pixel wider than its cell here: bold slots take the base.
  EXPECT_EQ(view.GetStyle()->variants[kFontBold], view.GetStyle()->baseFont);
  EXPECT_EQ(view.GetStyle()->variants[0], view.GetStyle()->variants[0] ? view.GetStyle()->variants[0] : nullptr);
  view.SetupFonts(-60, "Courier");
  EXPECT_EQ(view.GetStyle()->font.height, -48) << "font-dialog heights are clamped by magnitude";
  view.SetupFonts(3, "Courier");
  EXPECT_EQ(view.GetStyle()->font.height, 6);
}

TEST_F(ViewTest, SelectColorTakesTheEntriesOfTheAttribute) {
  RecordingView view("Farben");
  Make(&view);
  int red = view.AddColorEntry(RGB(255, 0, 0), RGB(0, 0, 0), "Rot", 5, 0);
  int blue = view.AddColorEntry(RGB(0, 0, 255), RGB(255, 255, 0), "Blau", 0x80000005, 0);
  EXPECT_EQ(blue, red) << "bit 31: an existing id is not added again";
  int green = view.AddColorEntry(RGB(0, 255, 0), RGB(1, 2, 3), "Grün", 6, kAnsiColorBold);
  HDC dc = CreateCompatibleDC(nullptr);
  CDC* pDC = CDC::FromHandle(dc);
  view.m_lastAttribute = -1;
  view.SelectColor(pDC, red);
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(view.SelectColor(pDC, red | (green << 8)), red);
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  view.SelectColor(pDC, 99);  // past the list: entry 0
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
  DeleteDC(dc);
  COLORREF text, bg;
  UINT style;
  EXPECT_EQ(view.GetColorEntry(green, &text, &bg, &style), 1);
  EXPECT_EQ(style, kAnsiColorBold);
  EXPECT_EQ(view.GetColorEntry(9, &text, &bg, &style), 0);
}

TEST_F(ViewTest, LoadStyleReadsFontAndColourKeysAndTheUserWins) {
  TestRegistryKey user, machine;
  SetAnsiViewMachineRoot(machine.Handle());
  const char* base = user.Path().c_str();
  std::string style = user.Path() + "\\Laden";
  // The machine's values: read first, then the user's win.
  HKEY hm;
  RegCreateKeyExA(machine.Handle(), (style + "\\Colors\\7").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hm,
                  nullptr);
  RegCloseKey(hm);
  SetText(machine.Handle(), (style + "\\Colors\\7").c_str(), "Name", "Maschine", 8);
  SetDword(machine.Handle(), (style + "\\Colors\\7").c_str(), "TX", 0x111111);

  HKEY h = HKEY_CURRENT_USER;
  SetText(h, (style + "\\Colors\\7").c_str(), "Name", "Benutzer", 8);
  SetDword(h, (style + "\\Colors\\7").c_str(), "TX", 0x222222);
  SetDword(h, (style + "\\Colors\\7").c_str(), "BG", 0x333333);
  SetDword(h, (style + "\\Colors\\7").c_str(), "Font", 2);
  SetText(h, (style + "\\Colors\\0").c_str(), "Name", "Null", 4);
  SetText(h, (style + "\\Colors\\abc").c_str(), "Name", "abc", 3);
  SetDword(h, (style + "\\Colors\\8").c_str(), "TX", 1);  // no "Name"
  SetText(h, (style + "\\Colors\\1").c_str(), "Name", "Standard", 8);
  SetDword(h, (style + "\\Colors\\1").c_str(), "BG", 0x445566);
  // An unterminated name with a non-NUL byte behind it.
  SetText(h, (style + "\\Colors\\9").c_str(), "Name", "NeunX", 4);
  ANSIFONTRECORD bad = {};
  HKEY hs;
  RegCreateKeyExA(h, style.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hs, nullptr);
  RegSetValueExA(hs, "Font", 0, REG_BINARY, (const BYTE*)&bad, 40);  // not 44 bytes: ignored
  RegCloseKey(hs);

  RecordingView view("Laden");
  Make(&view);
  EXPECT_EQ(view.LoadStyle(base, TRUE), 1);
  EXPECT_EQ(view.LoadStyle(base, FALSE), 1);
  const ANSIVIEWSTYLE* s = view.GetStyle();
  EXPECT_STREQ(s->regPath, style.c_str());
  ASSERT_EQ(s->colorCount, 3) << "Standard, 7 and 9";
  EXPECT_EQ(s->colors[0].background, 0x445566u) << "a known id updates its entry";
  int seven = ColorListFind(s->colors, nullptr, 7);
  ASSERT_GE(seven, 0);
  EXPECT_STREQ(s->colors[seven].name, "Maschine") << "names come with the first entry";
  EXPECT_EQ(s->colors[seven].text, 0x222222u);
  EXPECT_EQ(s->colors[seven].background, 0x333333u);
  EXPECT_EQ(s->colors[seven].style, 2u);
  int nine = ColorListFind(s->colors, nullptr, 9);
  ASSERT_GE(nine, 0);
  EXPECT_STREQ(s->colors[nine].name, "Neun");
  EXPECT_EQ(s->colors[nine].text, kAnsiSystemColor);
  EXPECT_EQ(s->font.height, 15) << "the short record was ignored";
  EXPECT_EQ(view.LoadStyle((user.Path() + "\\Fehlt").c_str(), FALSE), 0);
  SetAnsiViewMachineRoot(nullptr);
}

TEST_F(ViewTest, SaveStyleWritesTheKeysAndRoundTrips) {
  TestRegistryKey key;
  std::string path = key.Path() + "\\Gespeichert";
  {
    RecordingView view("Speichern");
    Make(&view);
    view.AddColorEntry(0x0000FF, 0x00FF00, "Adresse", 2, kAnsiColorItalic);
    view.AddColorEntry(1, 2, "Ohne Id", 0, 0);
    view.SetupFonts(26, "Courier");
    ASSERT_EQ(view.SaveStyle(path.c_str()), 1);
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h), 0);
    BYTE font[64];
    DWORD size = sizeof font, type = 0;
    EXPECT_EQ(RegQueryValueExA(h, "Font", nullptr, &type, font, &size), 0);
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(size, 44u);
    EXPECT_EQ(std::memcmp(font, &view.GetStyle()->font, 44), 0);
    RegCloseKey(h);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (path + "\\Colors\\2").c_str(), 0, KEY_READ, &h), 0);
    WCHAR name[32];
    size = sizeof name;
    EXPECT_EQ(RegQueryValueExW(h, L"Name", nullptr, &type, (BYTE*)name, &size), 0);
    EXPECT_EQ(size, 14u) << "without the terminator";
    DWORD value = 0;
    size = sizeof value;
    RegQueryValueExA(h, "TX", nullptr, &type, (BYTE*)&value, &size);
    EXPECT_EQ(value, 0x0000FFu);
    RegQueryValueExA(h, "Font", nullptr, &type, (BYTE*)&value, &size);
    EXPECT_EQ(value, kAnsiColorItalic);
    RegCloseKey(h);
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (path + "\\Colors\\0").c_str(), 0, KEY_READ, &h), 0);
    view.DestroyWindow();
    DestroyWindow(m_parent);
    m_parent = nullptr;
  }
  RecordingView again("Gespeichert");
  Make(&again);
  EXPECT_EQ(again.LoadStyle(key.Path().c_str(), FALSE), 1);
  EXPECT_EQ(again.GetStyle()->font.height, 26);
  EXPECT_EQ(again.GetCellHeight(), 26);
  int pos = ColorListFind(again.GetStyle()->colors, nullptr, 2);
  ASSERT_GE(pos, 0);
  EXPECT_STREQ(again.GetStyle()->colors[pos].name, "Adresse");
  EXPECT_EQ(again.GetStyle()->colors[pos].background, 0x00FF00u);
}

namespace {
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}
}  // namespace

TEST_F(ViewTest, LockedStyleHasNoColourDialogNorItsMenuEntry) {
  struct Locked : CAnsiView {
    Locked() : CAnsiView("Gesperrt", 10, 10) { m_styleLock = 1; }
  } view;
  Make(&view);
  EXPECT_EQ(view.EditColors(), 2);
  EXPECT_EQ(view.SaveStyle("Software\\OstrovaTests\\nie"), 0);
  EXPECT_EQ(view.LoadStyle("Software\\OstrovaTests", FALSE), 0);
  CMenu menu;
  menu.CreatePopupMenu();
  SetTimer(nullptr, 0, 50, EndMenuSoon);
  view.ShowContextMenu(10, 10, &menu);
  ASSERT_EQ(menu.GetMenuItemCount(), 1);
  EXPECT_EQ(menu.GetMenuItemID(0), ID_ANSIVIEW_FONT);

  RecordingView open("Offen");
  CMenu full;
  full.CreatePopupMenu();
  SetTimer(nullptr, 0, 50, EndMenuSoon);
  open.CAnsiView::ShowContextMenu(10, 10, &full);
  ASSERT_EQ(full.GetMenuItemCount(), 2);
  EXPECT_EQ(full.GetMenuItemID(0), ID_ANSIVIEW_COLORS);
  char text[64];
  GetMenuStringA(full.m_hMenu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Farben einstellen");
  GetMenuStringA(full.m_hMenu, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Schri&ften einstellen");
}

TEST_F(ViewTest, BuildRegistryPath) {
  TestAppNames names;
  RecordingView view;
  char buf[256];
  EXPECT_EQ(view.BuildRegistryPath(buf, sizeof buf, "#Direkt\\Pfad"), 11);
  EXPECT_STREQ(buf, "Direkt\\Pfad");
  view.SetRegistryPath("Eigener\\Pfad");
  view.BuildRegistryPath(buf, sizeof buf, "Hex");
  EXPECT_STREQ(buf, "Eigener\\Pfad\\Hex");
  view.BuildRegistryPath(buf, 14, "Hex");
  EXPECT_STREQ(buf, "Eigener\\Pfad") << "a part that does not fit is left off";
}
