// Popup menu items: background, image or check, text.
#include <vsstyle.h>

#include "ui/theme/glyphtext.h"
#include "ui/theme/themedraw.h"

namespace {
// Draws the bitmap 2 pixels from the left, vertically centred; its width.
int DrawItemBitmap(HDC dc, HBITMAP bitmap, const RECT& rc) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) return 0;
  if (!bitmap || !GetDIBits(mem, bitmap, 0, 0, nullptr, &bi, DIB_RGB_COLORS)) {
    DeleteDC(mem);
    return 0;
  }
  int width = bi.bmiHeader.biWidth, height = bi.bmiHeader.biHeight < 0 ? -bi.bmiHeader.biHeight : bi.bmiHeader.biHeight;
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(dc, rc.left + 2, rc.top + (rc.bottom - rc.top - height) / 2, width, height, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  return width;
}

int ImageWidth(HIMAGELIST list) {
  int cx = 0, cy = 0;
  return list && ImageList_GetIconSize(list, &cx, &cy) ? cx : 0;
}
}  // namespace

void DrawMenuItem(HDC dc, const void* text, const RECT* prc, UINT flags, HIMAGELIST imageList, int image) {
  if (!dc || !prc) return;
  const RECT& rc = *prc;
  UINT state = flags & kGlyphStateMask;
  bool plain = (flags & 1) != 0;  // states 1 and 3; the hot ones are even
  HTHEME menu = GetThemeHandle(kThemeMenu);
  const ThemeApi& api = GetThemeApi();
  bool themed = menu && !(flags & kGlyphClassic) && api.DrawThemeBackground;
  if (themed) {
    if (flags & kGlyphErase) FillSysColor(dc, rc, COLOR_MENU);
    // The item's own background goes under the image.
    api.DrawThemeBackground(menu, dc, MENU_POPUPITEM, (int)state, &rc, nullptr);
  } else if (flags & kGlyphErase) {
    FillSysColor(dc, rc, plain ? COLOR_MENU : COLOR_HIGHLIGHT);
  } else if (!plain) {
    FillSysColor(dc, rc, COLOR_HIGHLIGHT);
  }

  int width = 0;
  SIZE glyph = {};
  if (image == kMenuImageBitmap) {
    width = DrawItemBitmap(dc, reinterpret_cast<HBITMAP>(imageList), rc);
  } else if (image == kMenuImageCheck || image == kMenuImageBullet) {
    bool check = image == kMenuImageCheck;
    UINT mark = kCheckMenu | ((check ? 1 : 3) + (plain ? 0 : 1)) | (flags & kGlyphClassic);
    GetGlyphSize(check ? 0 : 1, &glyph);
    // In the image's place: over the whole item the mark would land
    // in the middle of the text.
    int top = rc.top + (rc.bottom - rc.top - glyph.cy) / 2;
    RECT box = {rc.left + 2, top, rc.left + 2 + glyph.cx, top + glyph.cy};
    DrawCheckMark(dc, &box, mark, 0);
    width = glyph.cx;
  } else if (image >= 0 && imageList) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(imageList, &cx, &cy);
    ImageList_Draw(imageList, image, dc, rc.left + 2, rc.top + (rc.bottom - rc.top - cy) / 2, ILD_TRANSPARENT);
    width = cx;
  } else if (image == kMenuImageWidthOnly) {
    width = ImageWidth(imageList);
  }
  int gap = GlyphGap(flags);
  if (!gap) gap = width + 4;

  if (!HasGlyphText(text, flags)) return;
  UINT align = (flags & kGlyphTextCenter) ? DT_CENTER : (flags & kGlyphTextRight) ? DT_RIGHT : 0;
  UINT format = DT_VCENTER | DT_SINGLELINE | align;
  if (themed) {
    RECT content = rc;
    if (api.GetThemeBackgroundContentRect) {
      api.GetThemeBackgroundContentRect(menu, dc, MENU_POPUPITEM, (int)state, &rc, &content);
    }
    if (!align) content.left = rc.left + gap;
    if (api.DrawThemeText) {
      wchar_t wide[kThemeTextMax + 1];
      int n = WidenGlyphText(text, flags, wide);
      api.DrawThemeText(menu, dc, MENU_MENUITEM_TMSCHEMA, (int)state, wide, n, format, 0, &content);
    }
    return;
  }
  COLORREF oldText = GetTextColor(dc);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  if (state == 2) {
    SetTextColor(dc, MeanColor(GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT)));
  } else {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  RECT textRect = rc;
  if (!align) textRect.left += gap;
  DrawGlyphText(dc, text, flags, textRect, format, state == 3 || state == 4);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
}
