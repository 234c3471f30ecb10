#include "ui/gdiplus_lines.h"

#include <gtest/gtest.h>

#include "ui/libdib/libdib.h"

namespace {

int WINAPI FailingStartup(ULONG_PTR*, const void*, void*) { return 3; }  // OutOfMemory

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// A white 40 x 40 canvas in a 32-bit LibDib.
class Canvas {
 public:
  Canvas() {
    m_info = CreateDib(nullptr, 40, 40, 32, reinterpret_cast<void**>(&m_bits));
    memset(m_bits, 0xFF, 40 * 40 * 4);
    m_dc = GetDibMemDC(m_info);
  }
  ~Canvas() { FreeDib(m_info); }
  HDC dc() const { return m_dc; }
  DWORD at(int x, int y) const {
    GdiFlush();
    return m_bits[(39 - y) * 40 + x] & 0xFFFFFF;
  }
  int Count(bool (*pred)(DWORD)) const {
    GdiFlush();
    int n = 0;
    for (int i = 0; i < 40 * 40; ++i) n += pred(m_bits[i] & 0xFFFFFF);
    return n;
  }

 private:
  BITMAPINFO* m_info;
  DWORD* m_bits;
  HDC m_dc;
};

// Draws a black diagonal from (2, 2) to (37, 30) and returns the canvas state.
void DrawDiagonal(Canvas& canvas) {
  SmoothGraphics g = CreateSmoothGraphics(canvas.dc());
  ASSERT_NE(nullptr, g);
  SmoothPen pen = CreateSmoothPen(1, RGB(0, 0, 0));
  ASSERT_NE(nullptr, pen);
  EXPECT_TRUE(DrawSmoothLine(g, pen, 2, 2, 37, 30));
  EXPECT_TRUE(DeleteSmoothPen(pen));
  DeleteSmoothGraphics(g);
}

class GdiPlusLines : public testing::Test {
 protected:
  void TearDown() override {
    while (GetGdiPlusState() != kGdiPlusNotTried) UnloadGdiPlus();
    SetGdiPlusSeam(nullptr, nullptr);
  }
};

}  // namespace

TEST_F(GdiPlusLines, LoadsAreCounted) {
  ASSERT_EQ(1, LoadGdiPlus());
  EXPECT_NE(nullptr, GetModuleHandleA("gdiplus.dll"));
  EXPECT_EQ(1, LoadGdiPlus());
  UnloadGdiPlus();  // only the count
  EXPECT_EQ(kGdiPlusLoaded, GetGdiPlusState());
  Canvas canvas;
  SmoothGraphics g = CreateSmoothGraphics(canvas.dc());
  EXPECT_NE(static_cast<void*>(canvas.dc()), g);
  EXPECT_EQ(1, DeleteSmoothGraphics(g));
  UnloadGdiPlus();  // the last one shuts down
  EXPECT_EQ(kGdiPlusNotTried, GetGdiPlusState());
  // A later load starts again.
  EXPECT_EQ(1, LoadGdiPlus());
  UnloadGdiPlus();
}

TEST_F(GdiPlusLines, PenColourIsOpaqueArgb) {
  EXPECT_EQ(0xFF996633u, ColorRefToArgb(0x00336699));
  ASSERT_EQ(1, LoadGdiPlus());
  typedef int(WINAPI * GetPenColorFn)(void*, DWORD*);
  auto getPenColor = reinterpret_cast<GetPenColorFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdiplus.dll"), "GdipGetPenColor")));
  ASSERT_NE(nullptr, getPenColor);
  SmoothPen pen = CreateSmoothPen(2, 0x00336699);
  ASSERT_NE(nullptr, pen);
  DWORD argb = 0;
  EXPECT_EQ(0, getPenColor(pen, &argb));
  EXPECT_EQ(0xFF996633u, argb);
  EXPECT_TRUE(DeleteSmoothPen(pen));
}

TEST_F(GdiPlusLines, DiagonalIsAntialiasedWhereGdiPlusCan) {
  ASSERT_EQ(1, LoadGdiPlus());
  Canvas canvas;
  SmoothGraphics g = CreateSmoothGraphics(canvas.dc());
  ASSERT_NE(nullptr, g);
  typedef int(WINAPI * GetSmoothingModeFn)(void*, int*);
  auto getMode = reinterpret_cast<GetSmoothingModeFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdiplus.dll"), "GdipGetSmoothingMode")));
  ASSERT_NE(nullptr, getMode);
  int mode = 0;
  EXPECT_EQ(0, getMode(g, &mode));
  EXPECT_EQ(4, mode);  // antialiasing asked for
  DeleteSmoothGraphics(g);
  DrawDiagonal(canvas);
  EXPECT_GT(canvas.Count([](DWORD c) { return c != 0xFFFFFF; }), 30);
  EXPECT_EQ(0xFFFFFFu, canvas.at(20, 5));
  int shades = canvas.Count([](DWORD c) { return c != 0xFFFFFF && c != 0; });
  if (UnderWine()) {
    // Wine's GDI+ draws every line aliased: only the mode can be checked there.
    std::printf("Wine's GDI+ drew %d intermediate shades\n", shades);
  } else {
    EXPECT_GT(shades, 10);
  }
}

TEST_F(GdiPlusLines, MissingLibraryDrawsWithGdi) {
  SetGdiPlusSeam(L"no_such_gdiplus.dll", nullptr);
  EXPECT_EQ(0, LoadGdiPlus());
  EXPECT_EQ(kGdiPlusFailed, GetGdiPlusState());
  EXPECT_EQ(0, LoadGdiPlus());  // later calls answer the state, counted
  UnloadGdiPlus();
  Canvas canvas;
  EXPECT_EQ(static_cast<void*>(canvas.dc()), CreateSmoothGraphics(canvas.dc()));
  DrawDiagonal(canvas);
  // GDI's line: black pixels only, from the start point, the end point left out.
  EXPECT_EQ(0u, canvas.at(2, 2));
  EXPECT_EQ(0, canvas.Count([](DWORD c) { return c != 0xFFFFFF && c != 0; }));
  EXPECT_GT(canvas.Count([](DWORD c) { return c == 0; }), 30);
  SmoothPen pen = CreateSmoothPen(1, RGB(255, 0, 0));
  EXPECT_EQ(OBJ_PEN, GetObjectType(pen));
  EXPECT_TRUE(DrawSmoothEllipse(canvas.dc(), pen, 5, 5, 10, 10));
  EXPECT_EQ(0xFF0000u, canvas.at(10, 5));  // top of the ellipse
  EXPECT_TRUE(DeleteSmoothPen(pen));
  EXPECT_EQ(kGdiPlusFailed, DeleteSmoothGraphics(canvas.dc()));
  UnloadGdiPlus();
  EXPECT_EQ(kGdiPlusNotTried, GetGdiPlusState());
}

TEST_F(GdiPlusLines, FailingStartupMeansNotLoaded) {
  bool loadedBefore = GetModuleHandleA("gdiplus.dll") != nullptr;
  SetGdiPlusSeam(nullptr, FailingStartup);
  EXPECT_EQ(0, LoadGdiPlus());
  EXPECT_EQ(kGdiPlusFailed, GetGdiPlusState());
  if (!loadedBefore) {
    EXPECT_EQ(nullptr, GetModuleHandleA("gdiplus.dll"));  // the library was freed
  }
  Canvas canvas;
  EXPECT_EQ(static_cast<void*>(canvas.dc()), CreateSmoothGraphics(canvas.dc()));
  DrawDiagonal(canvas);
  EXPECT_EQ(0u, canvas.at(2, 2));
  UnloadGdiPlus();  // no shutdown without a token
  EXPECT_EQ(kGdiPlusNotTried, GetGdiPlusState());
}
