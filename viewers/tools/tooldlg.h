// The frame shared by the data tools' dialogs: the brushes of coloured
// fields, the remembered places of six dialogs, and the builder of their
// in-memory templates.
#pragma once

#include <windows.h>

#include <vector>

constexpr COLORREF kLightYellow = 0x9BFFFF;  // read-only result fields
constexpr COLORREF kLightRed = 0x8080FF;     // input that does not parse or is out of range
extern HBRUSH g_brLightYellow;
extern HBRUSH g_brLightRed;

// Sets the colour on the DC and answers the matching brush.
HBRUSH ToolFieldBrush(HDC dc, bool red);

// The edit inside a drop-down combo box.
inline HWND ComboEditOf(HWND combo) { return ::FindWindowExA(combo, nullptr, "Edit", nullptr); }

// Remembered places, for the life of the process.
enum ToolDlgSlot {
  TOOLPOS_FIND = 0,
  TOOLPOS_CHECKSUM = 1,
  TOOLPOS_NUMBER = 2,
  TOOLPOS_CONVERTER = 3,
  TOOLPOS_FLOAT = 4,
  TOOLPOS_CRC = 5,
  TOOLPOS_SLOTS = 6,
};
struct ToolDlgPos {
  int x[TOOLPOS_SLOTS];
  int y[TOOLPOS_SLOTS];
  int valid[TOOLPOS_SLOTS];
};
extern ToolDlgPos g_toolDlgPos;
// Moves the dialog to its remembered place when that is still on the screen.
void RestoreToolDlgPos(HWND dlg, int slot);
void RememberToolDlgPos(HWND dlg, int slot);

// Window classes of template items.
enum : WORD { TPL_BUTTON = 0x80, TPL_EDIT = 0x81, TPL_STATIC = 0x82, TPL_LISTBOX = 0x83, TPL_COMBOBOX = 0x85 };

// An in-memory dialog template (DLGTEMPLATE or DLGTEMPLATEEX), font
// "MS Sans Serif" 8. Items are visible children unless their style says
// otherwise through hidden = true.
class ToolTemplate {
 public:
  ToolTemplate(DWORD style, int cx, int cy, const char* caption, bool extended = false);
  ToolTemplate& Item(WORD cls, int id, DWORD style, int x, int y, int cx, int cy, const char* text = "",
                     bool hidden = false);
  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

 private:
  void Add(int w) { m_words.push_back((WORD)w); }
  void AddDword(DWORD d) { Add(LOWORD(d)), Add(HIWORD(d)); }
  void AddText(const char* s);
  bool m_extended;
  size_t m_countAt;
  std::vector<WORD> m_words;
};

constexpr DWORD kToolDlgStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
