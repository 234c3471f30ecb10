// Button images: shared image lists, the greyed state, the classic path and
// bitmaps with the system's 3-D colours.
#include "ui/buttonimage/buttonimage.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "buttonimage_tests_res.h"
#include "harness/window_util.h"
#include "image_test_util.h"

namespace {
const COLORREF kFill = RGB(0, 128, 128);

class ButtonHost {
 public:
  ButtonHost() {
    m_parent =
        CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 30, 30, 200, 60, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 2; i++) {
      m_buttons[i] = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4 + i * 60, 4, 50, 40,
                                     m_parent, (HMENU)(INT_PTR)(10 + i), nullptr, nullptr);
    }
    PumpMessages();
  }
  ~ButtonHost() { DestroyWindow(m_parent); }
  HWND button(int i) const { return m_buttons[i]; }
  HWND parent() const { return m_parent; }

 private:
  HWND m_parent;
  HWND m_buttons[2];
};

// A button without visual styles: it refuses image lists.
WNDPROC g_buttonProc = nullptr;
LRESULT CALLBACK RefusingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == BCM_SETIMAGELIST) return FALSE;
  return CallWindowProcA(g_buttonProc, hwnd, msg, wp, lp);
}
void RefuseImageLists(HWND button) {
  g_buttonProc = (WNDPROC)SetWindowLongPtrA(button, GWLP_WNDPROC, (LONG_PTR)RefusingProc);
}

// Image i of the list drawn transparently over kFill.
std::vector<uint32_t> DrawListImage(HIMAGELIST list, int i) {
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT rc = {0, 0, cx, cy};
  SetBkColor(dc, kFill);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  ImageList_Draw(list, i, dc, 0, 0, ILD_TRANSPARENT);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  std::vector<uint32_t> pixels = ReadPixels(bitmap);
  DeleteObject(bitmap);
  return pixels;
}

// A packed DIB: header, table or masks, bits.
std::vector<BYTE> PackedDib(int width, int height, int depth, DWORD compression, const std::vector<DWORD>& table,
                            const std::vector<BYTE>& bits) {
  BITMAPINFOHEADER h = {sizeof h, width, height, 1, (WORD)depth, compression};
  h.biClrUsed = depth <= 8 ? (DWORD)table.size() : 0;
  std::vector<BYTE> dib(sizeof h + table.size() * 4 + bits.size());
  std::memcpy(dib.data(), &h, sizeof h);
  if (!table.empty()) std::memcpy(dib.data() + sizeof h, table.data(), table.size() * 4);
  std::memcpy(dib.data() + sizeof h + table.size() * 4, bits.data(), bits.size());
  return dib;
}
}  // namespace

TEST(ButtonImage, GreyedCopyByLuminance) {
  EXPECT_EQ(GreyButtonColor(RGB(255, 255, 255)), RGB(208, 208, 208));
  EXPECT_EQ(GreyButtonColor(RGB(0, 0, 0)), RGB(144, 144, 144));
  EXPECT_EQ(GreyButtonColor(0xC0C0C0), (COLORREF)0xC0C0C0);
  // L = (29 b + 76 (r + 2 g)) >> 8: pure red 75, green 151, blue 28.
  EXPECT_EQ(GreyButtonColor(RGB(255, 0, 0)), RGB(162, 162, 162));
  EXPECT_EQ(GreyButtonColor(RGB(0, 255, 0)), RGB(181, 181, 181));
  EXPECT_EQ(GreyButtonColor(RGB(0, 0, 255)), RGB(151, 151, 151));
  EXPECT_EQ(GreyButtonColor(RGB(192, 192, 193)), RGB(191, 191, 191));  // L = 192
}

TEST(ButtonImage, ThemedButtonsShareOneListWithAGreyedState) {
  ButtonHost host;
  const void* image = MAKEINTRESOURCEA(IDB_TEST_BUTTON);
  int before = GetButtonImageListCount();
  ASSERT_TRUE(SetButtonImage(host.button(0), image));
  ASSERT_TRUE(SetButtonImage(host.button(1), image));
  EXPECT_EQ(GetButtonImageListCount(), before + 1);
  BUTTON_IMAGELIST a = {}, b = {};
  ASSERT_TRUE(SendMessageA(host.button(0), BCM_GETIMAGELIST, 0, (LPARAM)&a));
  ASSERT_TRUE(SendMessageA(host.button(1), BCM_GETIMAGELIST, 0, (LPARAM)&b));
  EXPECT_EQ(a.himl, b.himl);
  EXPECT_EQ(a.uAlign, (UINT)BUTTON_IMAGELIST_ALIGN_CENTER);
  ASSERT_EQ(ImageList_GetImageCount(a.himl), 6);

  // Normal: white and black as they are, the mask colour transparent.
  std::vector<uint32_t> normal = DrawListImage(a.himl, 0);
  EXPECT_EQ(PixelColor(normal[3 * 16 + 3]), RGB(255, 255, 255));
  EXPECT_EQ(PixelColor(normal[3 * 16 + 10]), RGB(0, 0, 0));
  EXPECT_EQ(PixelColor(normal[0]), kFill);
  // Disabled: greys by luminance, the mask colour still transparent.
  std::vector<uint32_t> disabled = DrawListImage(a.himl, 3);
  EXPECT_EQ(PixelColor(disabled[3 * 16 + 3]), RGB(208, 208, 208));
  EXPECT_EQ(PixelColor(disabled[3 * 16 + 10]), RGB(144, 144, 144));
  EXPECT_EQ(PixelColor(disabled[15 * 16 + 3]), GreyButtonColor(0x808080));
  EXPECT_EQ(PixelColor(disabled[0]), kFill);
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(DrawListImage(a.himl, i), normal) << i;

  WindowCapture capture(host.parent());
  EXPECT_TRUE(capture.SavePng(ScreenshotPath("button_images.png").c_str()));
}

TEST(ButtonImage, ClassicPathWhenTheButtonRefusesImageLists) {
  ButtonHost host;
  RefuseImageLists(host.button(0));
  int before = GetButtonImageListCount();
  {
    SysColorsOverride colors({{COLOR_BTNFACE, RGB(10, 200, 30)}, {COLOR_BTNSHADOW, RGB(1, 2, 3)}});
    // The answer is whether the button holds the bitmap, although
    // BM_SETIMAGE answers NULL for the first image.
    ASSERT_TRUE(SetButtonImage(host.button(0), MAKEINTRESOURCEA(IDB_TEST_BUTTON2)));
    HBITMAP bitmap = (HBITMAP)SendMessageA(host.button(0), BM_GETIMAGE, IMAGE_BITMAP, 0);
    ASSERT_NE(bitmap, nullptr);
    std::vector<uint32_t> pixels = ReadPixels(bitmap);
    EXPECT_EQ(PixelColor(pixels[0]), RGB(10, 200, 30));
    EXPECT_EQ(PixelColor(pixels[15 * 16]), RGB(1, 2, 3));
    EXPECT_EQ(PixelColor(pixels[3 * 16 + 3]), RGB(255, 255, 255));
  }
  EXPECT_EQ(GetButtonImageListCount(), before);  // the refused list is gone
  DeleteButtonImage(host.button(0));
  EXPECT_EQ(SendMessageA(host.button(0), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  // A packed DIB goes the same way, its greys mapped.
  std::vector<BYTE> dib = PackedDib(2, 1, 24, BI_RGB, {}, {0xC0, 0xC0, 0xC0, 0x10, 0x20, 0x30, 0, 0});
  SysColorsOverride colors({{COLOR_BTNFACE, RGB(10, 200, 30)}});
  ASSERT_TRUE(SetButtonImage(host.button(0), dib.data()));
  std::vector<uint32_t> pixels = ReadPixels((HBITMAP)SendMessageA(host.button(0), BM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_EQ(PixelColor(pixels[0]), RGB(10, 200, 30));
  EXPECT_EQ(PixelColor(pixels[1]), RGB(0x30, 0x20, 0x10));
  DeleteButtonImage(host.button(0));
}

// Greys to 3-D colours in every depth; the table and pixels keep B, G, R
// order, which the non-grey colours show.
TEST(CreateSysColorBitmap, MapsGreysPerDepthAndRefusesBadHeaders) {
  SysColorsOverride colors(
      {{COLOR_BTNSHADOW, RGB(1, 2, 3)}, {COLOR_BTNFACE, RGB(40, 50, 60)}, {COLOR_3DLIGHT, RGB(70, 80, 90)}});
  const std::vector<DWORD> table = {0x808080, 0xC0C0C0, 0xDFDFDF, 0x123456};
  struct Case {
    const char* name;
    std::vector<BYTE> dib;
  } cases[] = {
      {"4 bits", PackedDib(4, 1, 4, BI_RGB, table, {0x01, 0x23, 0, 0})},
      {"8 bits", PackedDib(4, 1, 8, BI_RGB, table, {0, 1, 2, 3})},
      {"24 bits",
       PackedDib(4, 1, 24, BI_RGB, {}, {0x80, 0x80, 0x80, 0xC0, 0xC0, 0xC0, 0xDF, 0xDF, 0xDF, 0x56, 0x34, 0x12})},
      {"32 bits", PackedDib(4, 1, 32, BI_RGB, {},
                            {0x80, 0x80, 0x80, 0, 0xC0, 0xC0, 0xC0, 0, 0xDF, 0xDF, 0xDF, 0, 0x56, 0x34, 0x12, 0})},
      {"bit fields", PackedDib(4, 1, 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF},
                               {0x80, 0x80, 0x80, 0, 0xC0, 0xC0, 0xC0, 0, 0xDF, 0xDF, 0xDF, 0, 0x56, 0x34, 0x12, 0})},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<BYTE> before = c.dib;
    auto* info = reinterpret_cast<BITMAPINFO*>(c.dib.data());
    HBITMAP plain = CreateSysColorBitmap(info, 0, nullptr);
    HBITMAP mapped = CreateSysColorBitmap(info, kSysColorMapGreys, nullptr);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(mapped, nullptr);
    std::vector<uint32_t> p = ReadPixels(plain), m = ReadPixels(mapped);
    EXPECT_EQ(PixelColor(p[0]), (COLORREF)0x808080);
    EXPECT_EQ(PixelColor(m[0]), RGB(1, 2, 3));
    EXPECT_EQ(PixelColor(m[1]), RGB(40, 50, 60));
    EXPECT_EQ(PixelColor(m[2]), RGB(70, 80, 90));
    EXPECT_EQ(PixelColor(m[3]), RGB(0x12, 0x34, 0x56));
    // The caller's DIB is left as it was.
    EXPECT_EQ(c.dib, before);
    DeleteObject(plain);
    DeleteObject(mapped);
  }
  std::vector<BYTE> dib = PackedDib(4, 1, 8, BI_RGB, table, {0, 1, 2, 3});
  auto* info = reinterpret_cast<BITMAPINFO*>(dib.data());
  info->bmiHeader.biSize = 108;
  EXPECT_EQ(CreateSysColorBitmap(info, 0, nullptr), nullptr);
  info->bmiHeader.biSize = 40;
  info->bmiHeader.biBitCount = 24;
  info->bmiHeader.biCompression = BI_RLE8;
  info->bmiHeader.biSizeImage = 4;
  EXPECT_EQ(CreateSysColorBitmap(info, kSysColorMapGreys, nullptr), nullptr);
}

TEST(CreateSysColorBitmap, PremultipliesThirtyTwoBitAlpha) {
  std::vector<BYTE> dib = PackedDib(3, 1, 32, BI_RGB, {}, {200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 0});
  HBITMAP bitmap = CreateSysColorBitmap(reinterpret_cast<BITMAPINFO*>(dib.data()), kSysColorPremultiply, nullptr);
  ASSERT_NE(bitmap, nullptr);
  std::vector<uint32_t> p = ReadPixels(bitmap);
  EXPECT_EQ(PixelColor(p[0]), RGB(50, 100, 200));
  EXPECT_EQ(PixelColor(p[1]), RGB(25, 50, 100));
  EXPECT_EQ(PixelColor(p[2]), RGB(0, 0, 0));
  DeleteObject(bitmap);
}
