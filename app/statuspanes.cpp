// Owner-drawn pane blocks and the status-bar subclass that owns them: a block
// lives exactly as long as the control shows it, whoever replaces the text
// (the service, or the framework's bar re-sending its own texts on layout).
#include "app/statuspanes.h"

#include <cstring>
#include <new>

namespace {
const char kBarProp[] = "OstrovaPaneBlocks";
LONG g_liveBlocks = 0;
int g_charWidth = 0;  // stored negative once computed

struct BarBlocks {
  WNDPROC prev;
  OwnerDrawPane* blocks[256];
};

void DropBlock(BarBlocks* bar, int part) {
  if (bar->blocks[part]) {
    FreeOwnerDrawPane(bar->blocks[part]);
    bar->blocks[part] = nullptr;
  }
}

LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  BarBlocks* bar = static_cast<BarBlocks*>(GetPropA(hwnd, kBarProp));
  WNDPROC prev = bar->prev;
  switch (msg) {
    case SB_SETTEXTA:
    case SB_SETTEXTW: {
      int part = (int)(wParam & 0xFF);
      UINT type = (UINT)(wParam & 0xFF00);
      OwnerDrawPane* incoming = type == kOwnerDrawPaneType ? reinterpret_cast<OwnerDrawPane*>(lParam) : nullptr;
      LRESULT r = CallWindowProcA(prev, hwnd, msg, wParam, lParam);
      if (r && bar->blocks[part] != incoming) {
        DropBlock(bar, part);
        bar->blocks[part] = incoming;
      }
      return r;
    }
    case SB_SETPARTS: {
      LRESULT r = CallWindowProcA(prev, hwnd, msg, wParam, lParam);
      if (r)
        for (int part = (int)wParam; part < 256; ++part) DropBlock(bar, part);
      return r;
    }
    case WM_NCDESTROY: {
      for (int part = 0; part < 256; ++part) DropBlock(bar, part);
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)prev);
      RemovePropA(hwnd, kBarProp);
      delete bar;
      return CallWindowProcA(prev, hwnd, msg, wParam, lParam);
    }
  }
  return CallWindowProcA(prev, hwnd, msg, wParam, lParam);
}
}  // namespace

OwnerDrawPane* AllocOwnerDrawPane(const char* text, int background, int textColor) {
  if (!text) text = "";
  size_t len = strlen(text);
  OwnerDrawPane* block = static_cast<OwnerDrawPane*>(::operator new(sizeof(OwnerDrawPane) + len));
  block->background = background;
  block->textColor = textColor;
  block->length = (int32_t)len;
  memcpy(block->text, text, len + 1);
  InterlockedIncrement(&g_liveBlocks);
  return block;
}

void FreeOwnerDrawPane(OwnerDrawPane* block) {
  if (!block) return;
  InterlockedDecrement(&g_liveBlocks);
  ::operator delete(block);
}

int OwnerDrawPaneCount() { return (int)g_liveBlocks; }

int PaneCharWidth() {
  if (g_charWidth == 0) {
    int width = 7;
    LOGFONTA lf;
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0)) {
      if (lf.lfWidth)
        width = lf.lfWidth;
      else if (lf.lfHeight)
        width = lf.lfHeight * 2 / 3;
    }
    if (width < 0) width = -width;
    if (width > 25) width = 25;
    if (width == 0) width = 7;
    g_charWidth = -width;
  }
  return -g_charWidth;
}

void ScalePaneWidths(int* widths, int count) {
  if (!widths) return;
  int cw = PaneCharWidth();
  for (int i = 0; i < count; ++i)
    if (widths[i] < 0) widths[i] = -widths[i] * cw;
}

void WatchStatusBar(HWND statusBar) {
  if (!statusBar || GetPropA(statusBar, kBarProp)) return;
  BarBlocks* bar = new BarBlocks();
  SetPropA(statusBar, kBarProp, bar);
  bar->prev = (WNDPROC)SetWindowLongPtrA(statusBar, GWLP_WNDPROC, (LONG_PTR)StatusBarProc);
}

OwnerDrawPane* OwnerDrawPaneOf(HWND statusBar, int part) {
  BarBlocks* bar = statusBar ? static_cast<BarBlocks*>(GetPropA(statusBar, kBarProp)) : nullptr;
  return bar && part >= 0 && part < 256 ? bar->blocks[part] : nullptr;
}
