#include "ui/theme/themeapi.h"

#include <vsstyle.h>

#include "ui/theme/themedraw.h"
#include "ui/winversion.h"

namespace {
ThemeApi g_api;
const char* g_dllName = "UxTheme.dll";
DrawThemeBackgroundFn g_drawOverride = nullptr;

const wchar_t* const kThemeClasses[kThemeCount] = {L"Button", L"ComboBox", L"TreeView", L"Menu", L"ToolBar", L"Edit"};

template <typename Fn>
void Lookup(Fn* fn, const char* name) {
  *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_api.module, name)));
}

void LoadEntries() {
  g_api.module = LoadLibraryA(g_dllName);
  if (!g_api.module) return;
  Lookup(&g_api.SetWindowTheme, "SetWindowTheme");
  Lookup(&g_api.EndBufferedPaint, "EndBufferedPaint");
  Lookup(&g_api.BeginBufferedPaint, "BeginBufferedPaint");
  Lookup(&g_api.BufferedPaintInit, "BufferedPaintInit");
  Lookup(&g_api.BufferedPaintUnInit, "BufferedPaintUnInit");
  Lookup(&g_api.GetCurrentThemeName, "GetCurrentThemeName");
  Lookup(&g_api.OpenThemeData, "OpenThemeData");
  Lookup(&g_api.CloseThemeData, "CloseThemeData");
  Lookup(&g_api.DrawThemeText, "DrawThemeText");
  Lookup(&g_api.DrawThemeBackground, "DrawThemeBackground");
  if (g_drawOverride) g_api.DrawThemeBackground = g_drawOverride;
  Lookup(&g_api.GetThemePartSize, "GetThemePartSize");
  Lookup(&g_api.GetThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
  if (!g_api.OpenThemeData) return;
  for (int i = 0; i < kThemeCount; i++) g_api.themes[i] = g_api.OpenThemeData(GetDesktopWindow(), kThemeClasses[i]);
}

void QueryGlyphSize(int index, int part) {
  HTHEME button = g_api.themes[kThemeButton];
  if (!button || !g_api.GetThemePartSize) return;
  RECT rc = {0, 0, 3, 3};
  SIZE size = {};
  if (SUCCEEDED(g_api.GetThemePartSize(button, nullptr, part, 1, &rc, TS_TRUE, &size)) && size.cx > 0 && size.cy > 0) {
    g_api.glyphSizes[index] = size;
  }
}
}  // namespace

void InitThemeApi() {
  if (g_api.initialised) return;
  g_api = ThemeApi{};
  g_api.glyphSizes[0] = SIZE{13 * GetSystemMetrics(SM_CXICON) / 32, 13};
  g_api.glyphSizes[1] = SIZE{13, 13};
  if (g_dllName) LoadEntries();
  QueryGlyphSize(0, BP_CHECKBOX);
  QueryGlyphSize(1, BP_RADIOBUTTON);
  g_api.windowsVersion = GetWindowsVersionFromKernel();
  g_api.initialised = true;
}

const ThemeApi& GetThemeApi() {
  InitThemeApi();
  return g_api;
}

HTHEME GetThemeHandle(int index) {
  if (index < 0 || index >= kThemeCount) return nullptr;
  return GetThemeApi().themes[index];
}

int GetCurrentThemeNameW(wchar_t* buffer, int size) {
  if (!buffer || size < 1) return 0;
  buffer[0] = 0;
  const ThemeApi& api = GetThemeApi();
  wchar_t name[256] = L"";
  if (!api.GetCurrentThemeName || FAILED(api.GetCurrentThemeName(name, 256, nullptr, 0, nullptr, 0))) return 0;
  int n = 0;
  int max = size - 1 < 255 ? size - 1 : 255;
  while (n < max && name[n]) {
    buffer[n] = name[n];
    n++;
  }
  buffer[n] = 0;
  return 1;
}

int GetCurrentThemeNameA(char* buffer, int size) {
  if (!buffer || size < 1) return 0;
  wchar_t wide[256];
  int ok = GetCurrentThemeNameW(wide, size < 256 ? size : 256);
  int i = 0;
  for (; ok && wide[i]; i++) buffer[i] = (char)(wide[i] & 0xFF);
  buffer[i] = 0;
  return ok;
}

int GetGlyphSize(int index, SIZE* size) {
  if (index < 0 || index > 1 || !size) return 0;
  *size = GetThemeApi().glyphSizes[index];
  return 1;
}

void SetThemeApiSeam(const char* dllName, DrawThemeBackgroundFn drawBackground) {
  if (g_api.initialised) {
    for (HTHEME theme : g_api.themes) {
      if (theme && g_api.CloseThemeData) g_api.CloseThemeData(theme);
    }
    if (g_api.module) FreeLibrary(g_api.module);
  }
  g_api = ThemeApi{};
  g_dllName = dllName ? dllName : "UxTheme.dll";
  g_drawOverride = drawBackground;
  ResetCachedSysColors();
}
