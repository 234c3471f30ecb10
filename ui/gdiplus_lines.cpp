// GDI+ is looked up by name so that the program runs without gdiplus.dll.
#include "ui/gdiplus_lines.h"

namespace {

typedef int(WINAPI* ShutdownFn)(ULONG_PTR);
typedef int(WINAPI* CreateFromHdcFn)(HDC, void**);
typedef int(WINAPI* DeleteGraphicsFn)(void*);
typedef int(WINAPI* SetSmoothingModeFn)(void*, int);
typedef int(WINAPI* DrawEllipseIFn)(void*, void*, INT, INT, INT, INT);
typedef int(WINAPI* DrawLineIFn)(void*, void*, INT, INT, INT, INT);
typedef int(WINAPI* CreatePen1Fn)(DWORD, float, int, void**);
typedef int(WINAPI* SetPenColorFn)(void*, DWORD);
typedef int(WINAPI* DeletePenFn)(void*);

constexpr int kSmoothingModeAntiAlias = 4;
constexpr int kUnitPixel = 2;

struct GdiplusStartupInput {
  UINT32 version;
  void* debugEventCallback;
  BOOL suppressBackgroundThread;
  BOOL suppressExternalCodecs;
};

struct GdiPlus {
  GdiPlusState state = kGdiPlusNotTried;
  int extraLoads = 0;
  HMODULE module = nullptr;
  ULONG_PTR token = 0;
  bool started = false;
  GdiplusStartupFn startup = nullptr;
  CreateFromHdcFn createFromHdc = nullptr;
  DeleteGraphicsFn deleteGraphics = nullptr;
  SetSmoothingModeFn setSmoothingMode = nullptr;
  DrawEllipseIFn drawEllipse = nullptr;
  DrawLineIFn drawLine = nullptr;
  CreatePen1Fn createPen = nullptr;
  SetPenColorFn setPenColor = nullptr;
  DeletePenFn deletePen = nullptr;
  // Test seam.
  const wchar_t* dllName = L"gdiplus.dll";
  GdiplusStartupFn startupOverride = nullptr;
} g_gdiplus;

template <typename Fn>
bool Lookup(Fn* fn, const char* name) {
  *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_gdiplus.module, name)));
  return *fn != nullptr;
}

bool Loaded() { return g_gdiplus.state == kGdiPlusLoaded; }

}  // namespace

void SetGdiPlusSeam(const wchar_t* dllName, GdiplusStartupFn startup) {
  g_gdiplus.dllName = dllName ? dllName : L"gdiplus.dll";
  g_gdiplus.startupOverride = startup;
}

GdiPlusState GetGdiPlusState() { return g_gdiplus.state; }

int LoadGdiPlus() {
  GdiPlus& g = g_gdiplus;
  if (g.state != kGdiPlusNotTried) {
    ++g.extraLoads;
    return g.state - 1;
  }
  g.module = LoadLibraryW(g.dllName);
  bool entries = g.module && Lookup(&g.startup, "GdiplusStartup") && Lookup(&g.createFromHdc, "GdipCreateFromHDC") &&
                 Lookup(&g.deleteGraphics, "GdipDeleteGraphics") &&
                 Lookup(&g.setSmoothingMode, "GdipSetSmoothingMode") && Lookup(&g.drawEllipse, "GdipDrawEllipseI") &&
                 Lookup(&g.drawLine, "GdipDrawLineI") && Lookup(&g.createPen, "GdipCreatePen1") &&
                 Lookup(&g.setPenColor, "GdipSetPenColor") && Lookup(&g.deletePen, "GdipDeletePen");
  if (entries) {
    GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
    GdiplusStartupFn startup = g.startupOverride ? g.startupOverride : g.startup;
    g.token = 0;
    g.started = startup(&g.token, &input, nullptr) == 0;
  }
  // A library that does not start is no library: draw with GDI instead.
  if (!entries || !g.started) {
    if (g.module) FreeLibrary(g.module);
    g.module = nullptr;
    g.started = false;
    g.state = kGdiPlusFailed;
    return 0;
  }
  g.state = kGdiPlusLoaded;
  return 1;
}

void UnloadGdiPlus() {
  GdiPlus& g = g_gdiplus;
  if (g.extraLoads > 0) {
    --g.extraLoads;
    return;
  }
  if (Loaded()) {
    ShutdownFn shutdown;
    if (g.started && Lookup(&shutdown, "GdiplusShutdown")) shutdown(g.token);
    FreeLibrary(g.module);
  }
  g.module = nullptr;
  g.started = false;
  g.token = 0;
  g.state = kGdiPlusNotTried;
}

DWORD ColorRefToArgb(COLORREF color) {
  return 0xFF000000 | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

SmoothGraphics CreateSmoothGraphics(HDC dc) {
  if (!Loaded()) return dc;
  void* graphics = nullptr;
  if (g_gdiplus.createFromHdc(dc, &graphics) != 0 || !graphics) return nullptr;
  g_gdiplus.setSmoothingMode(graphics, kSmoothingModeAntiAlias);
  return graphics;
}

int DeleteSmoothGraphics(SmoothGraphics graphics) {
  if (!Loaded()) return g_gdiplus.state;
  return graphics && g_gdiplus.deleteGraphics(graphics) == 0;
}

SmoothPen CreateSmoothPen(int width, COLORREF color) {
  if (!Loaded()) return CreatePen(PS_SOLID, width, color);
  void* pen = nullptr;
  if (g_gdiplus.createPen(ColorRefToArgb(color), static_cast<float>(width), kUnitPixel, &pen) != 0) return nullptr;
  return pen;
}

int DeleteSmoothPen(SmoothPen pen) {
  if (!pen) return 0;
  if (!Loaded()) return DeleteObject(static_cast<HPEN>(pen));
  return g_gdiplus.deletePen(pen) == 0;
}

int DrawSmoothLine(SmoothGraphics graphics, SmoothPen pen, int x1, int y1, int x2, int y2) {
  if (!graphics || !pen) return 0;
  if (Loaded()) return g_gdiplus.drawLine(graphics, pen, x1, y1, x2, y2) == 0;
  HDC dc = static_cast<HDC>(graphics);
  HGDIOBJ old = SelectObject(dc, static_cast<HPEN>(pen));
  MoveToEx(dc, x1, y1, nullptr);
  BOOL ok = LineTo(dc, x2, y2);
  SelectObject(dc, old);
  return ok;
}

int DrawSmoothEllipse(SmoothGraphics graphics, SmoothPen pen, int x, int y, int width, int height) {
  if (!graphics || !pen) return 0;
  if (Loaded()) return g_gdiplus.drawEllipse(graphics, pen, x, y, width, height) == 0;
  HDC dc = static_cast<HDC>(graphics);
  HGDIOBJ old = SelectObject(dc, static_cast<HPEN>(pen));
  BOOL ok = Ellipse(dc, x, y, x + width, y + height);
  SelectObject(dc, old);
  return ok;
}
