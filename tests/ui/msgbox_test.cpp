// The library's message box, driven from a helper thread while the test's
// thread runs the modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "msgbox_tests_res.h"
#include "tests/harness/window_util.h"
#include "ui/colorlistbox.h"
#include "ui/msgbox.h"

namespace {
struct Button {
  int id;
  std::string caption;
  RECT rc;
};

HWND WaitForBox(const char* caption, DWORD ms = 5000) {
  for (DWORD waited = 0; waited < ms; waited += 10) {
    HWND box = FindWindowA((LPCSTR)(INT_PTR)32770, caption);
    if (box && IsWindowVisible(box)) return box;
    Sleep(10);
  }
  return nullptr;
}

std::vector<Button> Buttons(HWND box) {
  std::vector<Button> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0) continue;
    Button b = {GetDlgCtrlID(child), "", {}};
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    b.caption = text;
    GetWindowRect(child, &b.rc);
    buttons.push_back(b);
  }
  std::sort(buttons.begin(), buttons.end(), [](const Button& a, const Button& b) { return a.rc.left < b.rc.left; });
  return buttons;
}

std::vector<std::string> Lines(HWND box) {
  std::vector<std::string> lines;
  HWND list = GetDlgItem(box, kMsgBoxTextId);
  int count = (int)SendMessageA(list, CLB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; i++) {
    char text[512] = {};
    SendMessageA(list, CLB_GETTEXT, i, (LPARAM)text);
    lines.push_back(text);
  }
  return lines;
}

void Click(HWND box, int id) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id)); }

// Runs the action on a helper thread once the box with this caption shows;
// without a box it does nothing (the test then fails on its answer).
class BoxDriver {
 public:
  BoxDriver(const char* caption, std::function<void(HWND)> action) : m_caption(caption), m_action(action) {
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~BoxDriver() { Join(); }
  void Join() {
    if (!m_thread) return;
    // The main thread may still have to pump for the helper's messages.
    while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) PumpMessages();
    CloseHandle(m_thread);
    m_thread = nullptr;
  }
  bool found = false;

 private:
  static DWORD WINAPI Run(void* p) {
    BoxDriver* self = (BoxDriver*)p;
    HWND box = WaitForBox(self->m_caption.c_str());
    self->found = box != nullptr;
    if (box) self->m_action(box);
    return 0;
  }
  std::string m_caption;
  std::function<void(HWND)> m_action;
  HANDLE m_thread = nullptr;
};

MSGBOXPARAMSA Params(const char* text, const char* caption, UINT style) {
  MSGBOXPARAMSA p = {};
  p.cbSize = sizeof p;
  p.hInstance = GetModuleHandleA(nullptr);
  p.lpszText = text;
  p.lpszCaption = caption;
  p.dwStyle = style;
  return p;
}

RECT WorkArea() {
  RECT rc = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0);
  return rc;
}

const POINT kNone = {kMsgBoxNoPosition, kMsgBoxNoPosition};
}  // namespace

TEST(MsgBox, ButtonsCaptionsAndAnswersPerStyle) {
  struct Case {
    UINT style;
    std::vector<int> ids;
    std::vector<std::string> captions;
  };
  const Case cases[] = {
      {MB_OK, {1}, {"OK"}},
      {MB_OKCANCEL, {1, 2}, {"OK", "Abbrechen"}},
      {MB_ABORTRETRYIGNORE, {3, 4, 5}, {"&Abbrechen", "&Wiederholen", "&Ignorieren"}},
      {MB_YESNOCANCEL, {6, 7, 2}, {"&Ja", "&Nein", "Abbrechen"}},
      {MB_YESNO, {6, 7}, {"&Ja", "&Nein"}},
      {MB_RETRYCANCEL, {4, 2}, {"&Wiederholen", "Abbrechen"}},
      {MB_CANCELTRYCONTINUE, {2, 10, 11}, {"Abbrechen", "&Wiederholen", "&Weiter"}},
      {7, {1}, {"OK"}},
      {MB_OKCANCEL | kMsgBoxNeverButton, {1, 13, 2}, {"OK", "Niemals", "Abbrechen"}},
      {MB_YESNO | kMsgBoxNeverButton | kMsgBoxAlwaysButton, {6, 7, 13, 15}, {"&Ja", "&Nein", "Niemals", "Immer"}},
      {MB_OKCANCEL | kMsgBoxAlwaysButton | MB_HELP, {1, 15, 2, 9}, {"OK", "Immer", "Abbrechen", "Hilfe"}},
  };
  for (const Case& c : cases) {
    // Each button of the set is clicked once, in its own box.
    for (size_t k = 0; k < c.ids.size(); k++) {
      if (c.ids[k] == IDHELP) continue;
      SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style << " click " << c.ids[k]);
      std::vector<Button> seen;
      BoxDriver driver("Knopfprobe", [&](HWND box) {
        seen = Buttons(box);
        Click(box, c.ids[k]);
      });
      int answer = MsgBox(nullptr, "Welcher Knopf?", "Knopfprobe", c.style | kMsgBoxNoSound);
      driver.Join();
      ASSERT_TRUE(driver.found);
      EXPECT_EQ(answer, c.ids[k]);
      std::vector<int> ids;
      std::vector<std::string> captions;
      for (const Button& b : seen) {
        ids.push_back(b.id);
        captions.push_back(b.caption);
      }
      EXPECT_EQ(ids, c.ids);
      EXPECT_EQ(captions, c.captions);
    }
  }
}

TEST(MsgBox, EscapeAndCloseEndOnlyWithAShownButton) {
  enum Action { kEscape, kSysClose, kClose };
  struct Case {
    UINT style;
    Action action;
    int answer;  // 0: the box stays open
  };
  const Case cases[] = {
      {MB_OK, kEscape, IDOK},
      {MB_OK, kSysClose, IDOK},
      {MB_OKCANCEL, kEscape, IDCANCEL},
      {MB_OKCANCEL, kClose, IDCANCEL},
      {MB_YESNOCANCEL, kEscape, IDCANCEL},
      {MB_RETRYCANCEL, kSysClose, IDCANCEL},
      {MB_YESNO, kEscape, 0},
      {MB_YESNO, kSysClose, 0},
      {MB_YESNO, kClose, 0},
      {MB_ABORTRETRYIGNORE, kEscape, 0},
      {MB_ABORTRETRYIGNORE, kClose, 0},
      {MB_YESNO | kMsgBoxNeverButton, kEscape, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << " action " << c.action);
    bool stayed = false;
    bool closeInMenu = true;
    int fallback = 0;
    BoxDriver driver("Schliessprobe", [&](HWND box) {
      std::vector<Button> buttons = Buttons(box);
      fallback = buttons.empty() ? 0 : buttons[0].id;
      closeInMenu = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND) != (UINT)-1;
      if (c.action == kEscape) {
        HWND focus = buttons.empty() ? box : GetDlgItem(box, buttons[0].id);
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
      } else if (c.action == kSysClose) {
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        PostMessageA(box, WM_CLOSE, 0, 0);
      }
      Sleep(300);
      stayed = IsWindow(box) && IsWindowVisible(box);
      if (stayed) Click(box, fallback);
    });
    int answer = MsgBox(nullptr, "Schliessen?", "Schliessprobe", c.style | kMsgBoxNoSound);
    driver.Join();
    ASSERT_TRUE(driver.found);
    if (c.answer) {
      EXPECT_FALSE(stayed);
      EXPECT_EQ(answer, c.answer);
      EXPECT_TRUE(closeInMenu);
    } else {
      EXPECT_TRUE(stayed);
      EXPECT_EQ(answer, fallback);
      EXPECT_FALSE(closeInMenu);
    }
  }
}

TEST(MsgBox, TimeEndsWith16AndLeavesThePosition) {
  const POINT kept = {300, 250};
  struct Case {
    bool core;  // 16-bit strings through the core, else MsgBoxIndirect
    DWORD value;
  };
  const Case cases[] = {
      {false, 1000}, {false, kMsgBoxAnsiMarker | 1000}, {true, kMsgBoxAnsiMarker | 1000}, {true, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.core << " " << std::hex << c.value);
    SetMsgBoxPoint(kept);
    // A box left open clicks itself after 4 s, so a lost time fails instead of hanging.
    BoxDriver driver("Zeitprobe", [](HWND box) {
      for (int i = 0; i < 400 && IsWindow(box); i++) Sleep(10);
      if (IsWindow(box)) Click(box, IDOK);
    });
    MSGBOXPARAMSA p = Params("Gleich vorbei", "Zeitprobe", MB_OK);
    if (c.core && !(c.value & kMsgBoxAnsiMarker)) {
      p.lpszText = (LPCSTR)L"Gleich vorbei";
      p.lpszCaption = (LPCSTR)L"Zeitprobe";
    }
    DWORD start = GetTickCount();
    int answer = c.core ? MsgBoxIndirectCore(&p, nullptr, c.value) : MsgBoxIndirect(&p, nullptr, c.value);
    DWORD elapsed = GetTickCount() - start;
    driver.Join();
    EXPECT_TRUE(driver.found);
    EXPECT_EQ(answer, IDMSGBOX_TIMEOUT);
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(GetMsgBoxPoint().x, kept.x);
    EXPECT_EQ(GetMsgBoxPoint().y, kept.y);
  }
  SetMsgBoxPoint(kNone);
}

TEST(MsgBox, FirstCentredOnWorkAreaThenOnTheLastClosingPoint) {
  RECT work = WorkArea();
  SetMsgBoxPoint(kNone);
  RECT first = {};
  POINT moved = {work.left + 300, work.top + 200};
  BoxDriver driver("Ortsprobe", [&](HWND box) {
    GetWindowRect(box, &first);
    // Moved by the user, then closed: the next box comes up there.
    SetWindowPos(box, nullptr, moved.x - (first.right - first.left) / 2, moved.y - (first.bottom - first.top) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Sleep(50);
    Click(box, IDOK);
  });
  MsgBox(nullptr, "Wo bin ich?", "Ortsprobe", MB_OK);
  driver.Join();
  EXPECT_NEAR((first.left + first.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((first.top + first.bottom) / 2, (work.top + work.bottom) / 2, 1);
  EXPECT_NEAR(GetMsgBoxPoint().x, moved.x, 1);
  EXPECT_NEAR(GetMsgBoxPoint().y, moved.y, 1);

  // Centred on the point; near a corner 8 pixels inside the work area.
  struct Case {
    POINT point;
    int left, top, right, bottom;  // expected edge, or 0 for none
  };
  const Case cases[] = {
      {{work.left + 300, work.top + 200}, 0, 0, 0, 0},
      {{work.left, work.top}, work.left + 8, work.top + 8, 0, 0},
      {{work.right - 1, work.bottom - 1}, 0, 0, work.right - 8, work.bottom - 8},
      {{work.right, work.top + 1}, 0, work.top + 8, work.right - 8, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
    SetMsgBoxPoint(c.point);
    RECT rc = {};
    BoxDriver next("Ortsprobe", [&](HWND box) {
      GetWindowRect(box, &rc);
      Click(box, IDOK);
    });
    MsgBox(nullptr, "Wo bin ich?", "Ortsprobe", MB_OK);
    next.Join();
    if (!c.left && !c.right) {
      EXPECT_NEAR((rc.left + rc.right) / 2, c.point.x, 1);
    }
    if (!c.top && !c.bottom) {
      EXPECT_NEAR((rc.top + rc.bottom) / 2, c.point.y, 1);
    }
    if (c.left) {
      EXPECT_EQ(rc.left, c.left);
    }
    if (c.top) {
      EXPECT_EQ(rc.top, c.top);
    }
    if (c.right) {
      EXPECT_EQ(rc.right, c.right);
    }
    if (c.bottom) {
      EXPECT_EQ(rc.bottom, c.bottom);
    }
  }
  SetMsgBoxPoint(kNone);
}

// A box with an owner opens over it, wherever the last box was closed; an
// owner near the screen's edge still leaves the box 8 pixels inside.
TEST(MsgBox, CentredOnItsOwner) {
  RECT work = WorkArea();
  SetMsgBoxPoint({work.left + 200, work.top + 150});
  struct Case {
    RECT owner;
    const char* name;
  } cases[] = {
      {{work.left + 400, work.top + 300, work.left + 1000, work.top + 700}, "owner"},
      {{work.right - 120, work.bottom - 90, work.right + 200, work.bottom + 100}, "edge"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND owner =
        CreateWindowExA(0, "STATIC", "Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, c.owner.left, c.owner.top,
                        c.owner.right - c.owner.left, c.owner.bottom - c.owner.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    RECT rc = {}, at = {};
    GetWindowRect(owner, &at);
    BoxDriver driver("Besitzerprobe", [&](HWND box) {
      GetWindowRect(box, &rc);
      Click(box, IDOK);
    });
    EXPECT_EQ(MsgBox(owner, "Wo bin ich?", "Besitzerprobe", MB_OK), IDOK);
    driver.Join();
    if (c.name[0] == 'o') {
      EXPECT_NEAR((rc.left + rc.right) / 2, (at.left + at.right) / 2, 1);
      EXPECT_NEAR((rc.top + rc.bottom) / 2, (at.top + at.bottom) / 2, 1);
    } else {
      EXPECT_EQ(rc.right, work.right - 8);
      EXPECT_EQ(rc.bottom, work.bottom - 8);
    }
    DestroyWindow(owner);
  }
  SetMsgBoxPoint(kNone);
}

// Whatever the width of its text, the box holds its text area, its icon
// and its buttons within its client area.
TEST(MsgBox, TextAreaAndButtonsLieWithinTheBox) {
  SetMsgBoxPoint(kNone);
  std::string problems;
  for (int length = 20; length <= 90; length += 7) {
    std::string text = "Den Registry-Eintrag\n\n    '" + std::string(length, 'W') + "'    \n\nwirklich l\xF6schen ?";
    BoxDriver driver("Randprobe", [&](HWND box) {
      RECT client;
      GetClientRect(box, &client);
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, box, (POINT*)&r, 2);
        if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
          problems += std::to_string(length) + ": " + std::to_string(GetDlgCtrlID(c)) + " ends at " +
                      std::to_string(r.right) + "," + std::to_string(r.bottom) + " in " + std::to_string(client.right) +
                      "," + std::to_string(client.bottom) + "\n";
      }
      Click(box, IDOK);
    });
    MsgBox(nullptr, text.c_str(), "Randprobe", MB_OKCANCEL | MB_ICONQUESTION);
    driver.Join();
  }
  EXPECT_EQ(problems, "");
  SetMsgBoxPoint(kNone);
}

TEST(MsgBox, CentreGivenInTheBlockIsUsedAndWrittenBack) {
  RECT work = WorkArea();
  SetMsgBoxPoint(kNone);
  MSGBOXPARAMSA p = Params("Hier", "Mittelprobe", MB_OK | kMsgBoxCentreGiven);
  POINT given = {work.left + 320, work.top + 240};
  p.dwLanguageId = (DWORD)given.x | (DWORD)given.y << 16;
  RECT rc = {};
  DWORD exStyle = 0;
  BoxDriver driver("Mittelprobe", [&](HWND box) {
    GetWindowRect(box, &rc);
    exStyle = (DWORD)GetWindowLongA(box, GWL_EXSTYLE);
    SetWindowPos(box, nullptr, rc.left + 10, rc.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(50);
    Click(box, IDOK);
  });
  EXPECT_EQ(MsgBoxIndirect(&p, nullptr, 0), IDOK);
  driver.Join();
  EXPECT_NEAR((rc.left + rc.right) / 2, given.x, 1);
  EXPECT_NEAR((rc.top + rc.bottom) / 2, given.y, 1);
  EXPECT_TRUE(exStyle & WS_EX_RIGHT);
  EXPECT_NEAR(LOWORD(p.dwLanguageId), given.x + 10, 1);
  EXPECT_NEAR(HIWORD(p.dwLanguageId), given.y + 20, 1);
  SetMsgBoxPoint(kNone);
}

TEST(MsgBoxCodes, InlineCodesBecomeAttributes) {
  struct Case {
    const char* in;
    const char* text;
    std::vector<BYTE> attrs;
  };
  const Case cases[] = {
      {"x\vy\az", "xyz", {0, 0x40, 0}},
      {"\x01"
       "a\x06"
       "b\x0E"
       "c\x1F"
       "d",
       "abcd",
       {4, 9, 10, 27}},
      {"\x02\a"
       "a\ab",
       "ab",
       {5, 0}},  // BEL right after a colour is dropped
      {"\v\x03"
       "a",
       "a",
       {0x46}},
      {"ab\b\ncd", "ab\n\ncd", {0, 0, 0x5F, 0, 0, 0}},
      {"\vab\f\ncd", "ab\n\ncd", {0x40, 0x40, 0x9F, 0x40, 0, 0}},
      {"a\bb", "ab", {0, 0x40}},  // BS without a line feed emphasises
      {"\va\r\nb\vc\nd", "a\r\nbc\nd", {0x40, 0x40, 0x40, 0, 0x40, 0x40, 0}},
      {"a\tb", "a\tb", {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    int n = (int)strlen(c.in);
    std::vector<char> text(n + 1, '\0');
    std::vector<BYTE> attrs(n + 1, 0xEE);
    int out = ParseMsgBoxCodes(c.in, n, text.data(), attrs.data());
    EXPECT_EQ(std::string(text.data(), out), c.text);
    EXPECT_EQ(std::vector<BYTE>(attrs.begin(), attrs.begin() + out), c.attrs);
    EXPECT_EQ(attrs[out], 0xEE);  // nothing written past the answer
  }
}

TEST(MsgBox, LinesSeparatorsAndColoursInTheTextControl) {
  std::vector<std::string> lines, byAddress;
  DWORD listStyle = 0;
  int red = 0, olive = 0;
  BoxDriver driver("Zeilenprobe", [&](HWND box) {
    lines = Lines(box);
    HWND list = GetDlgItem(box, kMsgBoxTextId);
    // What a reader in another process gets: the address of each text.
    for (int i = 0; i <= (int)lines.size(); i++) {
      const char* text = (const char*)SendMessageA(list, CLB_GETTEXTADDRESS, i, 0);
      byAddress.push_back(text ? text : "<none>");
    }
    listStyle = (DWORD)GetWindowLongA(list, GWL_STYLE);
    WindowCapture capture(list);
    RECT all = {0, 0, capture.Width(), capture.Height()};
    red = capture.Count(RGB(0xFF, 0, 0), all);
    olive = capture.Count(RGB(0x80, 0x80, 0), all);
    Click(box, IDOK);
  });
  MsgBox(nullptr, "x\vy\az\n\x10rot\a und \x03oliv\n\b\nText\tmit Tab", "Zeilenprobe", MB_OK);
  driver.Join();
  std::vector<std::string> expected = {"xyz", "rot und oliv", "", "", "Text\tmit Tab"};
  EXPECT_EQ(lines, expected);
  expected.push_back("<none>");  // past the last line
  EXPECT_EQ(byAddress, expected);
  EXPECT_EQ(listStyle & (kColorListNoVScroll | kColorListNoHScroll), kColorListNoVScroll | kColorListNoHScroll);
  EXPECT_GT(red, 5);
  EXPECT_GT(olive, 5);
}

TEST(MsgBox, UnbrokenLongLineIsCutAndScrolls) {
  std::string text(400, 'W');
  std::vector<std::string> lines;
  DWORD listStyle = 0;
  RECT box = {};
  BoxDriver driver("Langprobe", [&](HWND hwnd) {
    lines = Lines(hwnd);
    listStyle = (DWORD)GetWindowLongA(GetDlgItem(hwnd, kMsgBoxTextId), GWL_STYLE);
    GetWindowRect(hwnd, &box);
    Click(hwnd, IDOK);
  });
  MsgBox(nullptr, text.c_str(), "Langprobe", MB_OK);
  driver.Join();
  ASSERT_GT(lines.size(), 1u);
  EXPECT_GT(lines[0].size(), 32u);
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
  }
  EXPECT_EQ(joined, text);  // cut, nothing lost
  EXPECT_EQ(listStyle & 0xA000, 0u);
  RECT work = WorkArea();
  EXPECT_LE(box.right - box.left, work.right - work.left);
}

TEST(MsgBox, LongTextBreaksAtBlanks) {
  std::string text;
  for (int i = 0; i < 60; i++) text += "Wort" + std::to_string(i) + (i < 59 ? " " : "");
  std::vector<std::string> lines;
  DWORD listStyle = 0;
  BoxDriver driver("Umbruchprobe", [&](HWND box) {
    lines = Lines(box);
    listStyle = (DWORD)GetWindowLongA(GetDlgItem(box, kMsgBoxTextId), GWL_STYLE);
    Click(box, IDOK);
  });
  MsgBox(nullptr, text.c_str(), "Umbruchprobe", MB_OK);
  driver.Join();
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_FALSE(line.empty());
    EXPECT_NE(line.front(), ' ');
    EXPECT_NE(line.back(), ' ');
    EXPECT_EQ(line.substr(0, 4), "Wort");
    joined += (joined.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(listStyle & 0xA000, 0xA000u);
}

TEST(MsgBox, TextsFromTheStringTableAndSixteenBitStrings) {
  std::vector<std::string> lines;
  BoxDriver driver("Titel aus der Tabelle", [&](HWND box) {
    lines = Lines(box);
    Click(box, IDOK);
  });
  MSGBOXPARAMSA p = Params(MAKEINTRESOURCEA(IDS_MSGBOX_TEST_TEXT), MAKEINTRESOURCEA(IDS_MSGBOX_TEST_CAPTION), MB_OK);
  EXPECT_EQ(MsgBoxIndirect(&p, nullptr, 0), IDOK);
  driver.Join();
  EXPECT_TRUE(driver.found);
  EXPECT_EQ(lines, std::vector<std::string>{"Text aus der Tabelle"});

  // 16-bit strings through the core: the caption stays 16-bit, the text
  // becomes code page 1252.
  lines.clear();
  BoxDriver wide(
      "Gr\xF6\xDF"
      "e",
      [&](HWND box) {
        lines = Lines(box);
        wchar_t caption[32] = {};
        GetWindowTextW(box, caption, 32);
        EXPECT_STREQ(caption,
                     L"Gr\x00F6\x00DF"
                     L"e");
        Click(box, IDOK);
      });
  MSGBOXPARAMSA w = Params((LPCSTR)L"\x00F6l \x20AC", (LPCSTR)L"Gr\x00F6\x00DF" L"e", MB_OK);
  EXPECT_EQ(MsgBoxIndirectCore(&w, nullptr, (DWORD)-1), IDOK);
  wide.Join();
  EXPECT_TRUE(wide.found);
  EXPECT_EQ(lines, std::vector<std::string>{"\xF6l \x80"});
}

TEST(MsgBox, ScreenshotWithIconColoursAndSeparator) {
  bool saved = false;
  bool hasIcon = false;
  BoxDriver driver("Bildprobe", [&](HWND box) {
    Sleep(100);
    HWND icon = GetDlgItem(box, kMsgBoxIconId);
    hasIcon = icon && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    // Wine's icon static does not answer WM_PRINT: the picture shows the
    // text, colours and separators, the icon is checked here.
    WindowCapture capture(box);
    saved = capture.SavePng(ScreenshotPath("msgbox_icon_colours.png").c_str());
    Click(box, IDNO);
  });
  int answer = MsgBox(nullptr,
                      "\vSchl\xFCssel l\xF6schen?\a\n"
                      "Der Schl\xFCssel \x10HKCU\\Software\\Ostrova\a wird mit allen Werten gel\xF6scht.\n"
                      "\f\n"
                      "\x03Unterschl\xFCssel:\a\t12\n"
                      "\x0EWerte:\a\t34\n"
                      "Fortfahren?\b\n",
                      "Bildprobe", MB_YESNO | MB_ICONQUESTION | kMsgBoxAlwaysButton | kMsgBoxNoSound);
  driver.Join();
  EXPECT_EQ(answer, IDNO);
  EXPECT_TRUE(hasIcon);
  EXPECT_TRUE(saved);
}

namespace {
HELPINFO g_help;
int g_helpCalls = 0;
void CALLBACK RecordHelp(LPHELPINFO info) {
  g_help = *info;
  g_helpCalls++;
}
}  // namespace

TEST(MsgBox, HelpGoesToTheCallbackWithTheContextAndTheDefaultButtonHasTheFocus) {
  MSGBOXPARAMSA p = Params("Hilfe?", "Hilfeprobe", MB_OKCANCEL | MB_HELP | MB_DEFBUTTON2);
  p.dwContextHelpId = 4711;
  p.lpfnMsgBoxCallback = RecordHelp;
  g_helpCalls = 0;
  LONG_PTR defStyle = 0;
  bool stayed = false;
  BoxDriver driver("Hilfeprobe", [&](HWND box) {
    defStyle = GetWindowLongPtrA(GetDlgItem(box, IDCANCEL), GWL_STYLE) & 0xF;
    Click(box, IDHELP);
    Sleep(200);
    stayed = IsWindow(box) != FALSE;
    Click(box, IDOK);
  });
  EXPECT_EQ(MsgBoxIndirect(&p, nullptr, 0), IDOK);
  driver.Join();
  EXPECT_EQ(defStyle, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(stayed);
  ASSERT_EQ(g_helpCalls, 1);
  EXPECT_EQ(g_help.cbSize, sizeof(HELPINFO));
  EXPECT_EQ(g_help.iContextType, HELPINFO_WINDOW);
  EXPECT_EQ(g_help.iCtrlId, IDHELP);
  EXPECT_EQ(g_help.dwContextId, 4711u);
}

TEST(MsgBox, NullCaptionIsUser32sErrorTitle) {
  char expected[128] = {};
  if (LoadStringA(GetModuleHandleA("user32.dll"), 2, expected, sizeof expected) <= 0) lstrcpyA(expected, "Fehler");
  BoxDriver driver(expected, [](HWND box) { Click(box, IDOK); });
  EXPECT_EQ(MsgBox(nullptr, "Ohne Titel", nullptr, MB_OK), IDOK);
  driver.Join();
  EXPECT_TRUE(driver.found) << expected;
}

TEST(MsgBox, TabWidthFromTheStyleSetsTheStop) {
  int firstInk = -1;
  BoxDriver driver("Tabprobe", [&](HWND box) {
    HWND list = GetDlgItem(box, kMsgBoxTextId);
    WindowCapture capture(list);
    // The text starts 4 pixels in: "\tI" puts the I at the first stop.
    for (int x = 0; x < capture.Width() && firstInk < 0; x++) {
      for (int y = 0; y < capture.Height(); y++) {
        if (capture.Pixel(x, y) != GetSysColor(COLOR_WINDOW)) {
          firstInk = x;
          break;
        }
      }
    }
    Click(box, IDOK);
  });
  MsgBox(nullptr, "\tI", "Tabprobe", MB_OK | (120u << kMsgBoxTabShift));
  driver.Join();
  EXPECT_GE(firstInk, 4 + 120);
  EXPECT_LT(firstInk, 4 + 120 + 4);
}
