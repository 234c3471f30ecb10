// In-place editing: requests to the parent and their records, the editor
// window and its keys, ending with store or veto, cells that step or check
// without an editor, paste, and edits started by the mouse.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "controls/treelist/treelistctrl.h"
#include "mfc/controls.h"
#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

// The request record keeps its order on both builds.
static_assert(offsetof(NMTLEDITREQUEST, item) == sizeof(NMHDR), "item after the header");
static_assert(offsetof(NMTLEDITREQUEST, code) == sizeof(NMHDR) + sizeof(TVITEMA), "code after the item");
static_assert(offsetof(NMTLEDITREQUEST, droppedWidth) == offsetof(NMTLEDITREQUEST, code) + 4, "dropped width");
static_assert(offsetof(NMTLEDITREQUEST, maxChoices) == offsetof(NMTLEDITREQUEST, code) + 8, "max choices");
static_assert(sizeof(void*) == 8 || offsetof(NMTLEDITREQUEST, choiceText) == offsetof(NMTLEDITREQUEST, code) + 12,
              "choice text");
static_assert(offsetof(NMTLEDITREQUEST, choiceArray) == offsetof(NMTLEDITREQUEST, choiceText) + sizeof(void*),
              "choice array");
static_assert(offsetof(NMTLEDITREQUEST, y) == sizeof(NMTLEDITREQUEST) - 4, "point last");

// One notification as the parent saw it, with the texts copied.
struct Seen {
  int code = 0;
  TVITEMA item = {};  // of the display-info, tree-view and request records
  std::string text;
  bool hasText = false;
  UINT action = 0;  // tree-view records
  POINT pt = {};
  NMTLEDITREQUEST request = {};
};

class TreeListEdit : public ::testing::Test {
 protected:
  TreeListEdit()
      : f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS, 300, 160) {}

  // The window's last notifications must not reach the log once it is gone.
  ~TreeListEdit() override { f.onNotify = nullptr; }

  void SetUp() override {
    AddColumn(0, "Name", 120, LVCFMT_LEFT);
    AddColumn(1, "Wert", 100, LVCFMT_LEFT);
    AddColumn(2, "Rechts", 70, LVCFMT_RIGHT);
    a = Insert(f, 0, "alpha", 100);
    b = Insert(f, 0, "beta", 200);
    c = Insert(f, 0, "gamma", 300);
    SetCell(a, 1, "eins");
    SetCell(b, 1, "b");
    SetCell(c, 1, "c");
    SetCell(a, 2, "42");
    f.onNotify = [this](NMHDR* hdr) { return OnNotify(hdr); };
    SetForegroundWindow(f.Parent());
    SetFocus(f.Hwnd());
    seen.clear();
  }

  void AddColumn(int index, const char* text, int width, int fmt) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = (char*)text;
    col.cx = width;
    col.fmt = fmt;
    f.Send(TLM_INSERTCOLUMN, index, (LPARAM)&col);
  }

  void SetCell(TLHandle h, int column, const char* text) {
    TVITEMA tv = {};
    tv.mask = TLIF_CELL | TVIF_TEXT;
    tv.hItem = (HTREEITEM)(UINT_PTR)h;
    tv.pszText = (char*)text;
    tv.cChildren = column;
    f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  }

  std::string Text(TLHandle h, int column) {
    char buffer[4096] = "";
    TVITEMA tv = {};
    tv.mask = TLIF_CELL | TVIF_TEXT;
    tv.hItem = (HTREEITEM)(UINT_PTR)h;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    tv.cChildren = column;
    f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
    return buffer;
  }

  UINT CellState(TLHandle h, int column) {
    TVITEMA tv = {};
    tv.mask = TLIF_CELL | TVIF_STATE;
    tv.hItem = (HTREEITEM)(UINT_PTR)h;
    tv.stateMask = (UINT)-1;
    tv.cChildren = column;
    f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
    return tv.state;
  }

  void SetColumnEdit(int column, int kind, UINT flags, const char* choices = nullptr, BYTE separator = '|') {
    ASSERT_EQ(f.Send(TLM_SETCOLUMNEDIT, TreeListColumnEditWord(column, kind, flags, separator), (LPARAM)choices), 1);
  }

  LRESULT OnNotify(NMHDR* hdr) {
    Seen s;
    s.code = (int)hdr->code;
    switch (hdr->code) {
      case TVN_BEGINLABELEDITA:
      case TVN_ENDLABELEDITA:
      case TVN_SETDISPINFOA:
      case TVN_GETDISPINFOA: {
        NMTVDISPINFOA* nm = (NMTVDISPINFOA*)hdr;
        s.item = nm->item;
        if (nm->item.pszText && nm->item.pszText != LPSTR_TEXTCALLBACKA && hdr->code != TVN_GETDISPINFOA) {
          s.text = nm->item.pszText;
          s.hasText = true;
        }
        break;
      }
      case (UINT)TLN_EDITREQUEST: {
        NMTLEDITREQUEST* nm = (NMTLEDITREQUEST*)hdr;
        s.request = *nm;
        s.item = nm->item;
        s.text = nm->item.pszText ? nm->item.pszText : "";
        s.hasText = nm->item.pszText != nullptr;
        break;
      }
      case (UINT)TLN_CHECKCHANGED:
      case (UINT)TLN_CELLSTEPPED:
      case TVN_SELCHANGINGA:
      case TVN_SELCHANGEDA:
      case NM_CLICK:
      case NM_DBLCLK:
      case (UINT)TLN_LBUTTONUP: {
        NMTREEVIEWA* nm = (NMTREEVIEWA*)hdr;
        s.item = nm->itemNew;
        s.action = nm->action;
        s.pt = nm->ptDrag;
        if (s.code == TLN_CHECKCHANGED || s.code == TLN_CELLSTEPPED) {
          s.text = nm->itemNew.pszText ? nm->itemNew.pszText : "";
          s.hasText = true;
        }
        break;
      }
      default:
        break;
    }
    seen.push_back(s);
    return reply ? reply(hdr) : 0;
  }

  // The log without focus and selection traffic, which other tests cover.
  std::vector<int> EditCodes() const {
    std::vector<int> codes;
    for (const Seen& s : seen)
      if (s.code != (int)NM_SETFOCUS && s.code != (int)NM_KILLFOCUS && s.code != (int)TVN_SELCHANGINGA &&
          s.code != (int)TVN_SELCHANGEDA)
        codes.push_back(s.code);
    return codes;
  }
  const Seen* Find(int code) const {
    for (const Seen& s : seen)
      if (s.code == code) return &s;
    return nullptr;
  }

  HWND Editor() { return (HWND)f.Send(TVM_GETEDITCONTROL); }
  std::string EditorText() {
    char buffer[4096] = "";
    GetWindowTextA(Editor(), buffer, sizeof buffer);
    return buffer;
  }
  // The editor's keys as the user types them.
  void Key(WPARAM key, HWND target = nullptr) {
    HWND to = target ? target : GetFocus();
    SendMessageA(to, WM_KEYDOWN, key, 1);
    SendMessageA(to, WM_KEYUP, key, (LPARAM)0xC0000001);
  }
  void Type(const char* text) {
    for (const char* p = text; *p; ++p) SendMessageA(GetFocus(), WM_CHAR, (WPARAM)(BYTE)*p, 1);
  }
  // Edits the caret's cell as a key or click would (the keyboard code's
  // entry into the editing).
  LRESULT EditCell(int column, UINT code, POINT pt = {0, 0}) {
    TreeListData* d = f.Data();
    TreeListLock(d);
    LRESULT r = TreeListEditCell(d, column, code, pt);
    TreeListUnlock(d);
    return r;
  }
  void Select(TLHandle h) { f.Send(TVM_SELECTITEM, TVGN_CARET, (LPARAM)h); }
  // The caret cell (under TLS_EX_CELLCARET).
  void SelectCell(TLHandle h, int column) {
    TreeListData* d = f.Data();
    TreeListLock(d);
    TreeListSelectItem(d, h, column, 0);
    TreeListUnlock(d);
  }
  // Client point on an item's label.
  LPARAM Label(TLHandle h) {
    RECT rc;
    memcpy(&rc, &h, sizeof h);
    f.Send(TVM_GETITEMRECT, TL_RECT_CELL | TL_RECT_TEXT, (LPARAM)&rc);
    return MAKELPARAM(rc.left + 16, (rc.top + rc.bottom) / 2);
  }
  // Client point in the middle of a cell's text area.
  POINT CellPoint(TLHandle h, int column, int dx = 30) {
    RECT rc;
    memcpy(&rc, &h, sizeof h);
    f.Send(TVM_GETITEMRECT, TL_RECT_CELL | ((WPARAM)column << 24), (LPARAM)&rc);
    return POINT{rc.left + dx, (rc.top + rc.bottom) / 2};
  }

  TreeListFixture f;
  TLHandle a = 0, b = 0, c = 0;
  std::vector<Seen> seen;
  std::function<LRESULT(NMHDR*)> reply;
};

TEST_F(TreeListEdit, ReturnOnKindZeroAsksTheParentAndZeroOpensNothing) {
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.state = 0x300;  // a cell bit beside the item's
  tv.stateMask = 0x300;
  tv.cChildren = 1;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  Select(a);
  seen.clear();
  EXPECT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK | 1, (LPARAM)a), 0);
  ASSERT_EQ(EditCodes(), (std::vector<int>{TLN_EDITREQUEST}));
  const NMTLEDITREQUEST& r = seen[0].request;
  EXPECT_EQ(r.item.mask, 0x801Cu);
  EXPECT_EQ(r.item.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(r.item.state, 0x300u | TVIS_SELECTED);
  EXPECT_EQ(r.item.stateMask, (UINT)-1);
  EXPECT_EQ(seen[0].text, "eins");
  EXPECT_EQ(r.item.cchTextMax, 4);
  EXPECT_EQ(r.item.iImage, -2);
  EXPECT_EQ(r.item.iSelectedImage, -2);
  EXPECT_EQ(r.item.cChildren, 1);
  EXPECT_EQ(r.item.lParam, 100);
  EXPECT_EQ(r.code, TLEC_RETURN);
  EXPECT_EQ(r.droppedWidth, 0);
  EXPECT_EQ(r.maxChoices, 255);
  EXPECT_EQ(r.choiceText, nullptr);
  EXPECT_EQ(r.choiceArray, nullptr);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_FALSE(Editor() && IsWindowVisible(Editor()));

  // Reply 1: an edit box with the text, all of it selected.
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  seen.clear();
  EXPECT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK | 1, (LPARAM)a), 1);
  EXPECT_EQ(EditCodes(), (std::vector<int>{TLN_EDITREQUEST, (int)TVN_BEGINLABELEDITA}));
  const Seen* begin = Find(TVN_BEGINLABELEDITA);
  ASSERT_TRUE(begin);
  EXPECT_EQ(begin->item.mask, 0x801Du);
  EXPECT_EQ(begin->text, "eins");
  EXPECT_EQ(begin->item.cchTextMax, 4);
  EXPECT_EQ(begin->item.cChildren, 1);
  HWND editor = Editor();
  ASSERT_TRUE(editor);
  EXPECT_TRUE(IsWindowVisible(editor));
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_EQ(EditorText(), "eins");
  DWORD start = 1, end = 0;
  SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
}

TEST_F(TreeListEdit, EditorWindowIsSubclassedThroughUserData) {
  HWND editor = (HWND)f.Send(TVM_EDITLABELA, 0x80000000, (LPARAM)b);  // the browser's rename
  ASSERT_TRUE(editor);
  EXPECT_EQ(GetDlgCtrlID(editor), TL_EDITOR_ID);
  EXPECT_EQ(GetParent(editor), f.Hwnd());
  char cls[16] = "";
  GetClassNameA(editor, cls, sizeof cls);
  EXPECT_STREQ(cls, "Edit");
  DWORD style = (DWORD)GetWindowLongA(editor, GWL_STYLE);
  // The edit class draws the border itself and drops WS_BORDER.
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & ES_AUTOHSCROLL);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(editor, GWLP_WNDPROC), TreeListEditorProc);
  EXPECT_NE(GetWindowLongPtrA(editor, GWLP_USERDATA), 0);
  EXPECT_EQ(SendMessageA(editor, EM_GETLIMITTEXT, 0, 0), TL_EDIT_LIMIT);
  EXPECT_EQ(SendMessageA(editor, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
  EXPECT_EQ((HFONT)SendMessageA(editor, WM_GETFONT, 0, 0), f.Data()->measuredFont);
  // Over the label: 2 pixels right of the text's left edge, 1 pixel down.
  RECT text;
  memcpy(&text, &b, sizeof b);
  f.Send(TVM_GETITEMRECT, TL_RECT_CELL | TL_RECT_TEXT, (LPARAM)&text);
  RECT rc;
  GetWindowRect(editor, &rc);
  MapWindowPoints(nullptr, f.Hwnd(), (POINT*)&rc, 2);
  EXPECT_EQ(rc.left, text.left + 2);
  EXPECT_EQ(rc.top, text.top + 1);
  EXPECT_EQ(rc.bottom - rc.top, f.Data()->fontHeight + 4);
  EXPECT_GE(rc.right - rc.left, 48);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b) << "the edited item becomes the caret";

  // A combo box: it and its field are subclassed, each keeping its own
  // procedure in its user data.
  f.Send(TVM_ENDEDITLABELNOW, 1);
  HWND combo = (HWND)f.Send(TVM_EDITLABELA, 1 | TLEF_COMBO, (LPARAM)b);
  ASSERT_TRUE(combo);
  EXPECT_FALSE(IsWindow(editor)) << "the old editor goes with the next";
  EXPECT_EQ((DWORD)GetWindowLongA(combo, GWL_STYLE) & 3, (DWORD)CBS_DROPDOWN);
  HWND field = GetWindow(combo, GW_CHILD);
  ASSERT_TRUE(field);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(field, GWLP_WNDPROC), TreeListEditorProc);
  EXPECT_NE(GetWindowLongPtrA(field, GWLP_USERDATA), GetWindowLongPtrA(combo, GWLP_USERDATA));
  EXPECT_EQ(EditorText(), "b");
  // Return in the field reaches the control through the combo box.
  SetWindowTextA(field, "neu");
  seen.clear();
  Key(VK_RETURN, field);
  ASSERT_TRUE(Find(TVN_ENDLABELEDITA));
  EXPECT_EQ(Find(TVN_ENDLABELEDITA)->text, "neu");
  EXPECT_EQ(Text(b, 1), "neu");
  EXPECT_EQ(GetFocus(), f.Hwnd());
  EXPECT_FALSE(IsWindowVisible(combo));
}

TEST_F(TreeListEdit, RequestRepliesChooseTheEditor) {
  struct Case {
    UINT reply;
    const char* cls;
    int comboStyle;  // -1: edit box
    const char* text;
  };
  const Case cases[] = {
      {0x80000000, "Edit", -1, "42"},
      {0x40000000, "Edit", -1, ""},
      {0x20000000 | ('/' << 8), "ComboBox", CBS_DROPDOWN, "42"},
      {0x60000000 | ('/' << 8), "ComboBox", CBS_DROPDOWNLIST, "42"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.reply);
    reply = [&k](NMHDR* hdr) -> LRESULT {
      if (hdr->code != (UINT)TLN_EDITREQUEST) return 0;
      NMTLEDITREQUEST* r = (NMTLEDITREQUEST*)hdr;
      r->choiceText = (char*)"7/42/x";
      r->droppedWidth = 222;
      return (LRESULT)k.reply;
    };
    f.Send(TVM_ENDEDITLABELNOW, 1);
    seen.clear();
    ASSERT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK | 2, (LPARAM)a), 1);
    HWND editor = Editor();
    char cls[16] = "";
    GetClassNameA(editor, cls, sizeof cls);
    EXPECT_STREQ(cls, k.cls);
    EXPECT_EQ(EditorText(), k.text);
    if (k.comboStyle < 0) {
      EXPECT_EQ((GetWindowLongA(editor, GWL_STYLE) & ES_RIGHT) != 0, (k.reply & 0x80000000) != 0);
    } else {
      EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE) & 3, k.comboStyle);
      EXPECT_EQ(SendMessageA(editor, CB_GETCOUNT, 0, 0), 3);
      EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), 1) << "the choice equal to the text";
      EXPECT_GE(SendMessageA(editor, CB_GETDROPPEDWIDTH, 0, 0), 222);
    }
  }
  // The control frees a choice text handed over with bit 7.
  char* owned = (char*)LocalAlloc(LMEM_FIXED, 8);
  strcpy(owned, "p|q");
  reply = [owned](NMHDR* hdr) -> LRESULT {
    if (hdr->code != (UINT)TLN_EDITREQUEST) return 0;
    ((NMTLEDITREQUEST*)hdr)->choiceText = owned;
    return 0x200000A0 | ('|' << 8);
  };
  f.Send(TVM_ENDEDITLABELNOW, 1);
  ASSERT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK | 1, (LPARAM)a), 1);
  EXPECT_EQ(SendMessageA(Editor(), CB_GETCOUNT, 0, 0), 2);
}

TEST_F(TreeListEdit, TypingOpensTheEditorWithTheCharacter) {
  SetColumnEdit(1, TLEK_EDIT, 0);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  SelectCell(b, 1);
  seen.clear();
  EXPECT_EQ(EditCell(1, TLEC_CHAR | 'x'), 1);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)TVN_BEGINLABELEDITA}));
  EXPECT_EQ(EditorText(), "x");
  EXPECT_TRUE(f.Data()->editChanged);
  // Code page 1252 letters are characters, however the byte is read.
  f.Send(TVM_ENDEDITLABELNOW, 1);
  EXPECT_EQ(EditCell(1, TLEC_CHAR | (BYTE)'\xE4'), 1);
  EXPECT_EQ(EditorText(), "\xE4");
  f.Send(TVM_ENDEDITLABELNOW, 1);
  // Space and control characters do not start an edit; nor does typing
  // into a column whose typing asks the parent.
  EXPECT_EQ(EditCell(1, TLEC_CHAR | ' '), 0);
  SetColumnEdit(1, TLEK_EDIT, TLCE_ASKTYPING);
  EXPECT_EQ(EditCell(1, TLEC_CHAR | 'y'), 0);
  // The parent's path: the character reaches the editor, not while Ctrl is down.
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  TreeListData* d = f.Data();
  TreeListLock(d);
  EXPECT_EQ(TreeListRequestEdit(d, b, 1, TLEC_CHAR | (BYTE)'\xE4', POINT{0, 0}), 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  seen.clear();
  EXPECT_EQ(TreeListRequestEdit(d, b, 1, TLEC_CHAR | (BYTE)'\xE4', POINT{0, 0}), 1);
  TreeListUnlock(d);
  ASSERT_TRUE(Find(TLN_EDITREQUEST));
  EXPECT_EQ(Find(TLN_EDITREQUEST)->request.code, TLEC_CHAR | 0xE4u);
  EXPECT_EQ(EditorText(), "\xE4");
  Key(VK_RETURN);
  const Seen* end = Find(TVN_ENDLABELEDITA);
  ASSERT_TRUE(end);
  EXPECT_TRUE(end->item.mask & TLIF_EDITCHANGED) << "a typed start is a change";
  EXPECT_EQ(Text(b, 1), "\xE4");
}

TEST_F(TreeListEdit, EndRecordsAndReplies) {
  struct Case {
    const char* name;
    WPARAM key;
    LRESULT answer;
    UINT mask;
    const char* stored;
  };
  const Case cases[] = {
      {"return, stored", VK_RETURN, 0, 0x801D | TLIF_EDITCHANGED | TLIF_EDITRETURN, "Delta"},
      {"return, refused", VK_RETURN, 1, 0x801D | TLIF_EDITCHANGED | TLIF_EDITRETURN, "beta"},
      {"escape", VK_ESCAPE, 0, 0x100801C, "beta"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetCell(b, 0, "beta");
    f.Send(TVM_SETITEMA, 0, 0);
    TVITEMA tv = {TVIF_TEXT, (HTREEITEM)(UINT_PTR)b};
    tv.pszText = (char*)"beta";
    f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
    reply = [&k](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_ENDLABELEDITA ? k.answer : 0; };
    ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)b));
    HWND editor = Editor();
    Type("Delta");
    seen.clear();
    Key(k.key);
    ASSERT_EQ(EditCodes(), (std::vector<int>{(int)TVN_ENDLABELEDITA}));
    const Seen& end = *Find(TVN_ENDLABELEDITA);
    EXPECT_EQ(end.item.mask, k.mask);
    EXPECT_EQ(end.item.hItem, (HTREEITEM)(UINT_PTR)b);
    EXPECT_EQ(end.item.state, (UINT)TVIS_SELECTED);
    EXPECT_EQ(end.item.stateMask, (UINT)-1);
    EXPECT_EQ(end.item.cChildren, 0);
    EXPECT_EQ(end.item.lParam, 200);
    if (k.key == VK_ESCAPE) {
      EXPECT_FALSE(end.hasText);
      EXPECT_EQ(end.item.cchTextMax, 0);
    } else {
      EXPECT_EQ(end.text, "Delta");
      EXPECT_EQ(end.item.cchTextMax, 2051);
    }
    EXPECT_EQ(Text(b, 0), k.stored);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(f.Data()->editItem, 0u);
    EXPECT_EQ(GetFocus(), f.Hwnd());
  }
}

TEST_F(TreeListEdit, TypedTextStopsAt2048Characters) {
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)a));
  HWND editor = Editor();
  SendMessageA(editor, EM_SETSEL, 0, -1);
  for (int i = 0; i < 3000; ++i) SendMessageA(editor, WM_CHAR, 'a' + i % 26, 1);
  EXPECT_EQ(GetWindowTextLengthA(editor), 2048);
  Key(VK_RETURN);
  const Seen* end = Find(TVN_ENDLABELEDITA);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->text.size(), 2048u);
  EXPECT_EQ(Text(a, 0).size(), 2048u);
}

// The edit box grows with what is typed, so its first letters stay in
// sight, up to the control's right edge; from there it scrolls. Deleting
// text narrows it again, never below its first width.
TEST_F(TreeListEdit, EditBoxGrowsWithItsText) {
  for (int column : {0, 1}) {
    SCOPED_TRACE(column);
    HWND editor = (HWND)f.Send(TVM_EDITLABELA, (WPARAM)column, (LPARAM)b);
    ASSERT_TRUE(editor);
    RECT first, client;
    GetWindowRect(editor, &first);
    GetClientRect(f.Hwnd(), &client);
    MapWindowPoints(f.Hwnd(), nullptr, (POINT*)&client, 2);
    auto firstLetterShown = [&] { return (short)LOWORD(SendMessageA(editor, EM_POSFROMCHAR, 0, 0)) >= 0; };
    SendMessageA(editor, EM_SETSEL, 0, -1);
    Type("ein Text, breiter als die Spalte");
    RECT grown;
    GetWindowRect(editor, &grown);
    EXPECT_GT(grown.right, first.right);
    EXPECT_EQ(grown.left, first.left);
    // Unless the box has reached the edge (large fonts), the text fits.
    if (grown.right < client.right - 4) {
      EXPECT_TRUE(firstLetterShown());
    }
    EXPECT_EQ(EditorText(), "ein Text, breiter als die Spalte");
    // Far longer than the control: the box ends at its edge and scrolls.
    Type(" und noch viel, viel mehr Text, bis er nicht mehr passt");
    RECT widest;
    GetWindowRect(editor, &widest);
    EXPECT_LE(widest.right, client.right);
    EXPECT_GE(widest.right, client.right - 4);
    EXPECT_FALSE(firstLetterShown());
    SendMessageA(editor, EM_SETSEL, 0, -1);
    Type("x");
    RECT narrow;
    GetWindowRect(editor, &narrow);
    EXPECT_EQ(narrow.right, first.right);
    Key(VK_ESCAPE);
  }
}

TEST_F(TreeListEdit, ItemDeletedInsideEndNotification) {
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)b));
  Type("weg");
  HWND control = f.Hwnd();
  TLHandle item = b;
  reply = [control, item](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_ENDLABELEDITA) SendMessageA(control, TVM_DELETEITEM, 0, (LPARAM)item);
    return 0;
  };
  Key(VK_RETURN);
  EXPECT_EQ(f.Send(TVM_GETCOUNT), 2);
  EXPECT_EQ(f.Data()->editItem, 0u);
  EXPECT_FALSE(IsWindowVisible(Editor()));
  EXPECT_FALSE(Find(TVN_SETDISPINFOA));
  // The control goes on editing the others.
  reply = nullptr;
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)c));
  Type("neu");
  Key(VK_RETURN);
  EXPECT_EQ(Text(c, 0), "neu");
}

TEST_F(TreeListEdit, ItemDeletedInsideRequestOrBegin) {
  const int codes[] = {TLN_EDITREQUEST, (int)TVN_BEGINLABELEDITA};
  for (int code : codes) {
    SCOPED_TRACE(code);
    TLHandle victim = Insert(f, 0, "weg");
    HWND control = f.Hwnd();
    reply = [control, victim, code](NMHDR* hdr) -> LRESULT {
      if ((int)hdr->code == code) SendMessageA(control, TVM_DELETEITEM, 0, (LPARAM)victim);
      return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0;
    };
    EXPECT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK, (LPARAM)victim), 0);
    EXPECT_FALSE(Editor() && IsWindowVisible(Editor()));
    EXPECT_EQ(f.Data()->editItem, 0u);
    EXPECT_EQ(f.Send(TVM_GETCOUNT), 3);
  }
}

TEST_F(TreeListEdit, TextSetByTheParentCountsAsAChange) {
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)a));
  EXPECT_FALSE(f.Data()->editChanged) << "the control's own text is no change";
  SetWindowTextA(Editor(), "vom Elter");
  EXPECT_TRUE(f.Data()->editChanged);
  f.Send(TVM_ENDEDITLABELNOW, 0);
  const Seen* end = Find(TVN_ENDLABELEDITA);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->item.mask, 0x801Du | TLIF_EDITCHANGED) << "accepted, not from Return";
  EXPECT_EQ(Text(a, 0), "vom Elter");
}

TEST_F(TreeListEdit, BeginVetoShowsNoEditor) {
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_BEGINLABELEDITA ? 1 : 0; };
  EXPECT_EQ(f.Send(TVM_EDITLABELA, 0, (LPARAM)a), 0);
  HWND hidden = Editor();
  ASSERT_TRUE(hidden);
  EXPECT_FALSE(IsWindowVisible(hidden));
  EXPECT_EQ(f.Data()->editItem, 0u);
  EXPECT_EQ(GetFocus(), f.Hwnd());
  reply = nullptr;
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)a));
  EXPECT_FALSE(IsWindow(hidden));
  // Without TVS_EDITLABELS no editor at all.
  f.Send(TVM_ENDEDITLABELNOW, 1);
  SetWindowLongA(f.Hwnd(), GWL_STYLE, GetWindowLongA(f.Hwnd(), GWL_STYLE) & ~TVS_EDITLABELS);
  EXPECT_EQ(f.Send(TVM_EDITLABELA, 0, (LPARAM)a), 0);
  EXPECT_EQ(f.Send(TVM_EDITLABELA, TL_EDITLABEL_ASK, (LPARAM)a), 0);
}

TEST_F(TreeListEdit, CheckColumnTogglesOnAClickWithoutEditLabels) {
  SetWindowLongA(f.Hwnd(), GWL_STYLE, GetWindowLongA(f.Hwnd(), GWL_STYLE) & ~TVS_EDITLABELS);
  HIMAGELIST checks = ImageList_Create(16, 16, ILC_COLOR32, 3, 0);
  f.Send(TVM_SETIMAGELIST, TLSIL_CHECK, (LPARAM)checks);
  SetColumnEdit(1, TLEK_CHECK, TLCE_IMAGECLICK);
  Select(a);
  POINT at = CellPoint(a, 1, 5);
  seen.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  f.Send(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(EditCodes(), (std::vector<int>{TLN_CHECKCHANGED, (int)NM_CLICK, TLN_LBUTTONUP}));
  const Seen* check = Find(TLN_CHECKCHANGED);
  ASSERT_TRUE(check);
  EXPECT_EQ(check->action, TLEC_IMAGE);
  EXPECT_EQ(check->item.mask, 0x801Du);
  EXPECT_EQ(check->item.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(check->item.cChildren, 1);
  EXPECT_EQ(check->item.cchTextMax, 256);
  EXPECT_EQ(check->item.lParam, 100);
  EXPECT_EQ(check->text, "eins") << "no choices: the text stays";
  EXPECT_EQ(check->pt.x, at.x);
  EXPECT_EQ(check->item.state & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
  EXPECT_EQ(CellState(a, 1) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  f.Send(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(CellState(a, 1) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
  // Zero and one under the extended style; the read-only bit stays.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CHECKZEROONE, TLS_EX_CHECKZEROONE);
  SetColumnEdit(1, TLEK_CHECK, TLCE_IMAGECLICK | TLCE_READONLY);
  EXPECT_EQ(EditCell(1, TLEC_IMAGE), 1);
  EXPECT_EQ(CellState(a, 1) & TVIS_STATEIMAGEMASK, 0u);
  EXPECT_EQ(EditCell(1, TLEC_IMAGE), 1);
  EXPECT_EQ(CellState(a, 1) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.state = TLIS_READONLY;
  tv.stateMask = TLIS_READONLY;
  tv.cChildren = 1;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(EditCell(1, TLEC_IMAGE), 0) << "read-only cell";
  // A check column on column 0 is refused.
  EXPECT_EQ(f.Send(TLM_SETCOLUMNEDIT, TreeListColumnEditWord(0, TLEK_CHECK, 0)), 0);
}

TEST_F(TreeListEdit, StepColumnWrapsAndSetsImages) {
  SetColumnEdit(1, TLEK_STEP, TLCE_DBLCLICK, "a|b|c");
  EXPECT_EQ(f.Send(TLM_SETCOLUMNEDITPARAM, 1, 5), 1);
  EXPECT_EQ(f.Send(TLM_SETCOLUMNEDITPARAM, 2, 5), 0) << "no edit kind";
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  POINT at = CellPoint(c, 1, 3);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  f.Send(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  seen.clear();
  f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(EditCodes(), (std::vector<int>{TLN_CELLSTEPPED, (int)NM_DBLCLK}));
  const Seen* step = Find(TLN_CELLSTEPPED);
  ASSERT_TRUE(step);
  EXPECT_EQ(step->action, TLEC_DBLCLICK);
  EXPECT_EQ(step->text, "a") << "c wraps to a";
  EXPECT_EQ(step->item.cChildren, 1);
  EXPECT_EQ(Text(c, 1), "a");
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_IMAGE;
  tv.hItem = (HTREEITEM)(UINT_PTR)c;
  tv.cChildren = 1;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(tv.iImage, 5);
  // Text without an equal choice: the first; then on.
  SetCell(c, 1, "zzz");
  EXPECT_EQ(EditCell(1, TLEC_RETURN), 1);
  EXPECT_EQ(Text(c, 1), "a");
  EXPECT_EQ(EditCell(1, TLEC_RETURN), 1);
  EXPECT_EQ(Text(c, 1), "b");
  EXPECT_FALSE(Editor() && IsWindowVisible(Editor()));
  // Without choices a step column refuses.
  SetColumnEdit(1, TLEK_STEP, 0, nullptr);
  EXPECT_EQ(EditCell(1, TLEC_RETURN), 0);
  // Choices from an array.
  const char* const values[] = {"x", "y", nullptr};
  SetColumnEdit(1, TLEK_STEP, TLCE_ARRAY, (const char*)values);
  EXPECT_EQ(EditCell(1, TLEC_RETURN), 1);
  EXPECT_EQ(Text(c, 1), "x");
}

TEST_F(TreeListEdit, ComboColumnFillsChoicesAndStoresTheImageOfTheChoice) {
  SetColumnEdit(1, TLEK_LIST, 0, "eins;zwei;drei", ';');
  f.Send(TLM_SETCOLUMNEDITPARAM, 1, 10);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  SelectCell(a, 1);
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  HWND list = Editor();
  EXPECT_EQ((DWORD)GetWindowLongA(list, GWL_STYLE) & 3, (DWORD)CBS_DROPDOWNLIST);
  EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
  Key(VK_DOWN, list);  // the closed list opens
  EXPECT_TRUE(SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0));
  SendMessageA(list, CB_SETCURSEL, 2, 0);
  SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
  Key(VK_RETURN, list);
  EXPECT_EQ(Text(a, 1), "drei");
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_IMAGE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(tv.iImage, 12);
  // A text that is no choice leaves the images alone.
  SetColumnEdit(1, TLEK_COMBO, 0, "eins;zwei", ';');
  f.Send(TLM_SETCOLUMNEDITPARAM, 1, 20);
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  HWND field = GetWindow(Editor(), GW_CHILD);
  SetWindowTextA(field, "frei");
  Key(VK_RETURN, field);
  EXPECT_EQ(Text(a, 1), "frei");
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(tv.iImage, 12);
}

TEST_F(TreeListEdit, ReturnWithChangeMovesToTheRowBelow) {
  SetColumnEdit(1, TLEK_EDIT, TLCE_NEXTROW);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  SelectCell(a, 1);
  // Unchanged: neither stored again nor moved.
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  seen.clear();
  Key(VK_RETURN);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)TVN_ENDLABELEDITA}));
  EXPECT_FALSE(Find(TVN_ENDLABELEDITA)->item.mask & TLIF_EDITCHANGED);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)a);
  // Changed: stored, and the cell below becomes the caret.
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  Type("zwei");
  seen.clear();
  Key(VK_RETURN);
  EXPECT_EQ(Text(a, 1), "zwei");
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
  EXPECT_EQ(f.Data()->caretColumn, 1);
  const Seen* changing = Find(TVN_SELCHANGINGA);
  ASSERT_TRUE(changing);
  EXPECT_EQ(changing->action, (UINT)TVC_BYKEYBOARD);
  // Accepted by a focus change (not Return): stored, no move.
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  Type("drei");
  SetFocus(f.Parent());
  EXPECT_EQ(Text(b, 1), "drei");
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
}

TEST_F(TreeListEdit, ArrowAtTheEndLeavesTheEditorUnderTheExtendedStyle) {
  SetColumnEdit(1, TLEK_EDIT, TLCE_NEXTROW);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET | TLS_EX_EDITARROWS, TLS_EX_CELLCARET | TLS_EX_EDITARROWS);
  SelectCell(a, 1);
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  HWND editor = Editor();
  Type("vier");
  // Left with the caret at the end only moves the caret.
  Key(VK_LEFT, editor);
  EXPECT_TRUE(IsWindowVisible(editor));
  SendMessageA(editor, EM_SETSEL, 4, 4);
  MSG msg;
  while (PeekMessageA(&msg, f.Hwnd(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  seen.clear();
  Key(VK_RIGHT, editor);
  EXPECT_FALSE(IsWindowVisible(editor));
  const Seen* end = Find(TVN_ENDLABELEDITA);
  ASSERT_TRUE(end);
  EXPECT_FALSE(end->item.mask & TLIF_EDITRETURN) << "accepted as a focus change, not as Return";
  EXPECT_EQ(Text(a, 1), "vier");
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)a) << "no move to the row below";
  EXPECT_EQ(GetFocus(), f.Hwnd());
  // The key goes on to the control, which moves the caret cell.
  ASSERT_TRUE(PeekMessageA(&msg, f.Hwnd(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, (WPARAM)VK_RIGHT);
  EXPECT_EQ(msg.lParam, 0x500001);
  ASSERT_TRUE(PeekMessageA(&msg, f.Hwnd(), WM_KEYUP, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.wParam, (WPARAM)VK_RIGHT);
  // Shift keeps the arrow inside.
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  SendMessageA(Editor(), EM_SETSEL, 4, 4);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Key(VK_RIGHT, Editor());
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(IsWindowVisible(Editor()));
}

TEST_F(TreeListEdit, CallbackTextGoesBackThroughSetDispInfo) {
  TVINSERTSTRUCTA ins = {};
  ins.hParent = TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = LPSTR_TEXTCALLBACKA;
  TLHandle cb = (TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
  reply = [](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_GETDISPINFOA) lstrcpynA(((NMTVDISPINFOA*)hdr)->item.pszText, "vom Elter", 64);
    return 0;
  };
  ASSERT_TRUE(f.Send(TVM_EDITLABELA, 0, (LPARAM)cb));
  EXPECT_EQ(EditorText(), "vom Elter");
  Type("neu");
  seen.clear();
  Key(VK_RETURN);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)TVN_ENDLABELEDITA, (int)TVN_SETDISPINFOA}));
  const Seen* set = Find(TVN_SETDISPINFOA);
  EXPECT_EQ(set->item.mask, 0x801Du);
  EXPECT_EQ(set->item.hItem, (HTREEITEM)(UINT_PTR)cb);
  EXPECT_EQ(set->text, "neu");
  TVITEMA tv = {TVIF_TEXT, (HTREEITEM)(UINT_PTR)cb};
  char buffer[16] = "";
  tv.pszText = buffer;
  tv.cchTextMax = sizeof buffer;
  f.Send(TVM_GETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(tv.pszText, LPSTR_TEXTCALLBACKA) << "still a callback";
}

TEST_F(TreeListEdit, PasteOpensTheEditorWithTheClipboardText) {
  ASSERT_TRUE(OpenClipboard(f.Parent()));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 16);
  strcpy((char*)GlobalLock(mem), "eingef\xFCgt");
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  SetColumnEdit(0, TLEK_EDIT, 0);
  Select(b);
  seen.clear();
  EXPECT_EQ(f.Send(WM_PASTE), 0);
  ASSERT_TRUE(Editor() && IsWindowVisible(Editor()));
  PumpMessages(50);
  EXPECT_EQ(EditorText(), "eingef\xFCgt");
  Key(VK_RETURN);
  EXPECT_EQ(Text(b, 0), "eingef\xFCgt");
  EXPECT_TRUE(Find(TVN_ENDLABELEDITA)->item.mask & TLIF_EDITCHANGED);
  // Without an edit kind the parent is asked with the paste code.
  SetColumnEdit(0, TLEK_NONE, 0);
  seen.clear();
  f.Send(WM_PASTE);
  ASSERT_TRUE(Find(TLN_EDITREQUEST));
  EXPECT_EQ(Find(TLN_EDITREQUEST)->request.code, TLEC_PASTE);
  // While the editor is open the control passes paste on to it.
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  f.Send(WM_PASTE);
  PumpMessages(50);
  SendMessageA(Editor(), EM_SETSEL, 0, -1);
  f.Send(WM_PASTE);
  PumpMessages(50);
  EXPECT_EQ(EditorText(), "eingef\xFCgt");
}

TEST_F(TreeListEdit, SecondClickEditsOnRelease) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_EDITONCLICK, TLS_EX_EDITONCLICK);
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  LPARAM label = Label(b);
  // The first click selects; nothing is edited.
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, label);
  f.Send(WM_LBUTTONUP, 0, label);
  EXPECT_FALSE(Find(TLN_EDITREQUEST));
  // The second: nothing at the press, the edit at the release.
  seen.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, label);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)NM_CLICK}));
  f.Send(WM_LBUTTONUP, 0, label);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)NM_CLICK, TLN_EDITREQUEST, (int)TVN_BEGINLABELEDITA, TLN_LBUTTONUP}));
  const NMTLEDITREQUEST& r = Find(TLN_EDITREQUEST)->request;
  EXPECT_EQ(r.code, TLEC_RELEASE);
  EXPECT_EQ(r.x, LOWORD(label));
  EXPECT_EQ(r.y, HIWORD(label));
  HWND editor = Editor();
  ASSERT_TRUE(editor && IsWindowVisible(editor));
  // The caret lands where the click was, inside the text.
  DWORD start = 0, end = 0;
  SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
  EXPECT_EQ(start, end);
  EXPECT_GT(start, 0u);
  EXPECT_LT(start, 4u);
  // A click elsewhere ends the edit by the focus change.
  Key(VK_ESCAPE, editor);
  // With Ctrl nothing is armed.
  seen.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, label);
  f.Send(WM_LBUTTONUP, MK_CONTROL, label);
  EXPECT_FALSE(Find(TLN_EDITREQUEST));
}

TEST_F(TreeListEdit, EditOnClickOptionBits) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_EDITONCLICK, TLS_EX_EDITONCLICK);
  reply = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  auto click = [&](LPARAM at) {
    seen.clear();
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
    f.Send(WM_LBUTTONUP, 0, at);
    bool edited = Find(TLN_EDITREQUEST) != nullptr;
    if (Editor()) Key(VK_ESCAPE, Editor());
    return edited;
  };
  // Bit 1: the first click, which moves the caret, edits too.
  EXPECT_EQ(0, f.Send(TLM_OPTION, TLO_SET | TLO_BUTTONDOWN, TL_CLICKEDIT_FIRST));
  EXPECT_TRUE(click(Label(b)));
  EXPECT_EQ(2, f.Send(TLM_OPTION, TLO_SET | TLO_BUTTONDOWN, 0));
  EXPECT_FALSE(click(Label(c))) << "without it the first click only selects";
  // Bit 0: only a click on the text itself, not the row right of it (an
  // item click with full-row selection).
  SetWindowLongA(f.Hwnd(), GWL_STYLE, GetWindowLongA(f.Hwnd(), GWL_STYLE) | TVS_FULLROWSELECT);
  TVHITTESTINFO hit = {};
  hit.pt = {110, (short)HIWORD(Label(c))};
  ASSERT_EQ((LRESULT)c, f.Send(TVM_HITTEST, 0, (LPARAM)&hit));
  ASSERT_EQ(hit.flags & (TVHT_ONITEMRIGHT | 0x40000), (UINT)TVHT_ONITEMRIGHT);
  LPARAM right = MAKELPARAM(hit.pt.x, hit.pt.y);
  EXPECT_TRUE(click(right)) << "the row right of the text";
  f.Send(TLM_OPTION, TLO_SET | TLO_BUTTONDOWN, TL_CLICKEDIT_TEXTONLY);
  EXPECT_FALSE(click(right));
  EXPECT_TRUE(click(Label(c)));
}

TEST_F(TreeListEdit, DoubleClickEditsOrTogglesWhenNotTaken) {
  Insert(f, a, "kind");
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)a);
  LPARAM label = Label(a);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, label);
  f.Send(WM_LBUTTONUP, 0, label);
  // The parent refuses: the item toggles after NM_DBLCLK.
  seen.clear();
  f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, label);
  EXPECT_EQ(EditCodes(),
            (std::vector<int>{TLN_EDITREQUEST, (int)NM_DBLCLK, (int)TVN_ITEMEXPANDINGA, (int)TVN_ITEMEXPANDEDA}));
  ASSERT_TRUE(Find(TLN_EDITREQUEST));
  EXPECT_EQ(Find(TLN_EDITREQUEST)->request.code, TLEC_DBLCLICK);
  f.Send(WM_LBUTTONUP, 0, label);
  // Column 0 edits on a double-click: the editor, no toggle.
  SetColumnEdit(0, TLEK_EDIT, TLCE_DBLCLICK);
  seen.clear();
  f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, label);
  EXPECT_EQ(EditCodes(), (std::vector<int>{(int)TVN_BEGINLABELEDITA, (int)NM_DBLCLK}));
  EXPECT_TRUE(IsWindowVisible(Editor()));
  EXPECT_EQ(EditorText(), "alpha");
}

TEST_F(TreeListEdit, DeletingTheEditedColumnCancels) {
  SetColumnEdit(2, TLEK_EDIT, 0);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  SelectCell(a, 2);
  ASSERT_EQ(EditCell(2, TLEC_RETURN), 1);
  Type("99");
  seen.clear();
  f.Send(TLM_DELETECOLUMN, 2);
  ASSERT_TRUE(Find(TVN_ENDLABELEDITA));
  EXPECT_EQ(Find(TVN_ENDLABELEDITA)->item.mask, 0x100801Cu);
  EXPECT_FALSE(IsWindowVisible(Editor()));
}

TEST_F(TreeListEdit, ScreenshotsOfTheEditorsOverACell) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  SetColumnEdit(1, TLEK_EDIT, 0);
  SelectCell(b, 1);
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  Type("Bearbeitet");
  PumpMessages(100);
  RECT cell;
  memcpy(&cell, &b, sizeof b);
  f.Send(TVM_GETITEMRECT, TL_RECT_CELL | (1 << 24), (LPARAM)&cell);
  RECT rc;
  GetWindowRect(Editor(), &rc);
  MapWindowPoints(nullptr, f.Hwnd(), (POINT*)&rc, 2);
  EXPECT_GE(rc.left, cell.left);
  EXPECT_LE(rc.right, cell.right + 1);
  WindowCapture shot = WindowCapture::FromScreen(f.Hwnd());
  // The editor's own white field with black text over the selected cell.
  COLORREF window = GetSysColor(COLOR_WINDOW);
  int text = 0;
  for (int y = rc.top + 2; y < rc.bottom - 2; ++y)
    for (int x = rc.left + 2; x < rc.right - 2; ++x)
      if (shot.Pixel(x, y) != window) ++text;
  EXPECT_GT(text, 20) << "the typed text shows";
  EXPECT_EQ(shot.Pixel(rc.right - 4, rc.top + 3), window);
  EXPECT_TRUE(shot.SavePng(ScreenshotPath("treelist_edit_box.png").c_str()));
  Key(VK_RETURN);

  SetColumnEdit(1, TLEK_COMBO, 0, "eins|zwei|drei");
  ASSERT_EQ(EditCell(1, TLEC_RETURN), 1);
  PumpMessages(100);
  GetWindowRect(Editor(), &rc);
  MapWindowPoints(nullptr, f.Hwnd(), (POINT*)&rc, 2);
  EXPECT_LT(rc.bottom - rc.top, 40) << "closed, the combo box is one row high";
  WindowCapture combo = WindowCapture::FromScreen(f.Hwnd());
  int button = 0;
  for (int y = rc.top + 2; y < rc.bottom - 2; ++y)
    for (int x = rc.right - 18; x < rc.right - 2; ++x)
      if (combo.Pixel(x, y) != window) ++button;
  EXPECT_GT(button, 10) << "the drop button";
  EXPECT_TRUE(combo.SavePng(ScreenshotPath("treelist_edit_combo.png").c_str()));
}

// The wrapper's edit members send the messages with their words.
TEST(TreeListCtrlEdit, EditMembers) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_EDITLABELS, 240, 120);
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 100;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  TLHandle item = Insert(f, 0, "eins");
  CTreeListCtrl ctrl;
  ctrl.Attach(f.Hwnd());
  EXPECT_TRUE(ctrl.SetColumnEdit(1, TLEK_COMBO, TLCE_DBLCLICK, "a|b", '|'));
  EXPECT_EQ(f.Data()->columns[1].editKind, TLEK_COMBO);
  EXPECT_EQ(f.Data()->columns[1].editFlags, TLCE_DBLCLICK);
  EXPECT_EQ(f.Data()->columns[1].separator, '|');
  EXPECT_TRUE(ctrl.SetColumnEditParam(1, 3));
  EXPECT_EQ(f.Data()->columns[1].editParam2, 3);
  EXPECT_FALSE(ctrl.SetColumnEditParam(0, 3));
  CWnd* editor = ctrl.EditLabel((HTREEITEM)(UINT_PTR)item, 0x80000000);
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->m_hWnd, (HWND)f.Send(TVM_GETEDITCONTROL));
  EXPECT_EQ(ctrl.GetEditControl()->m_hWnd, editor->m_hWnd);
  SetWindowTextA(editor->m_hWnd, "zwei");
  ctrl.EndEditLabelNow(FALSE);
  EXPECT_EQ(ctrl.GetItemText((HTREEITEM)(UINT_PTR)item), "zwei");
  ctrl.EditLabel((HTREEITEM)(UINT_PTR)item, 0);
  SetWindowTextA(ctrl.GetEditControl()->m_hWnd, "drei");
  ctrl.EndEditLabelNow(TRUE);
  EXPECT_EQ(ctrl.GetItemText((HTREEITEM)(UINT_PTR)item), "zwei");
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)TLN_EDITREQUEST ? 1 : 0; };
  EXPECT_TRUE(ctrl.EditCell((HTREEITEM)(UINT_PTR)item, 1));
  EXPECT_EQ(f.Data()->editColumn, 1);
  ctrl.EndEditLabelNow(TRUE);
  ctrl.Detach();
}

}  // namespace
