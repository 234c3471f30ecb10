#include "ui/buttonimage/buttonimage.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "mfc/globals.h"
#include "ui/libdib/libdib.h"

namespace {
// One per image argument, never removed before exit: buttons with the same
// image share its image list.
struct ButtonImageNode {
  BUTTON_IMAGELIST list;
  const void* image;
  ButtonImageNode* next;
};
ButtonImageNode* g_nodes = nullptr;
bool g_exitRegistered = false;

// The visual-styles test, asked once.
const char* g_themeDll = "UxTheme.dll";
bool g_themeAsked = false;
bool g_themeActive = false;

bool ThemeActive() {
  if (!g_themeAsked) {
    g_themeAsked = true;
    typedef BOOL(WINAPI * IsThemeActiveFn)();
    HMODULE module = LoadLibraryA(g_themeDll);
    auto isActive =
        module ? reinterpret_cast<IsThemeActiveFn>(reinterpret_cast<void*>(GetProcAddress(module, "IsThemeActive")))
               : nullptr;
    g_themeActive = isActive && isActive();
  }
  return g_themeActive;
}

void FreeButtonImages() {
  while (g_nodes) {
    ButtonImageNode* next = g_nodes->next;
    ImageList_Destroy(g_nodes->list.himl);
    delete g_nodes;
    g_nodes = next;
  }
}

bool IsResourceId(const void* image) { return (UINT_PTR)image < 0x10000; }

HBITMAP LoadImageBitmap(const void* image) {
  if (IsResourceId(image)) return LoadBitmapA(AfxGetResourceHandle(), static_cast<LPCSTR>(image));
  return CreateSysColorBitmap(static_cast<const BITMAPINFO*>(image), 0, nullptr);
}

// The disabled look: every colour but the mask colour to a light grey.
BYTE GreyOf(BYTE blue, BYTE green, BYTE red) {
  int l = (29 * blue + 76 * (red + 2 * green)) >> 8;
  if (l < 192) return (BYTE)(144 + l / 4);
  if (l == 192) return 191;
  return (BYTE)((l + 579) / 4);
}

void GreyPixel(BYTE* p) {
  if (p[0] == 0xC0 && p[1] == 0xC0 && p[2] == 0xC0) return;
  p[0] = p[1] = p[2] = GreyOf(p[0], p[1], p[2]);
}

// A greyed copy of the bitmap: its colour table, or its 24- and 32-bit
// pixels row by row (the padding of 24-bit rows untouched).
HBITMAP CreateGreyedBitmap(HBITMAP bitmap) {
  HDC dc = GetDC(nullptr);
  // Room for the header, 256 colours and 3 masks.
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 259 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  HBITMAP result = nullptr;
  // Bit count 0 fills only the header; the second call gives the table.
  if (GetDIBits(dc, bitmap, 0, 0, nullptr, bi, DIB_RGB_COLORS) && bi->bmiHeader.biWidth > 0) {
    BITMAPINFOHEADER& h = bi->bmiHeader;
    h.biCompression = BI_RGB;
    int depth = h.biBitCount;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    int stride = DibRowBytes(h.biWidth, depth);
    h.biSizeImage = stride * height;
    std::vector<BYTE> bits(h.biSizeImage);
    if (GetDIBits(dc, bitmap, 0, height, bits.data(), bi, DIB_RGB_COLORS) == height) {
      if (depth <= 8) {
        int entries = DibColorEntries(&h);
        for (int i = 0; i < entries; i++) GreyPixel(reinterpret_cast<BYTE*>(&bi->bmiColors[i]));
      } else if (depth == 24 || depth == 32) {
        int bytes = depth / 8;
        for (LONG y = 0; y < height; y++) {
          BYTE* row = bits.data() + (size_t)y * stride;
          for (LONG x = 0; x < h.biWidth; x++) GreyPixel(row + x * bytes);
        }
      }
      result = CreateDIBitmap(dc, &h, CBM_INIT, bits.data(), bi, DIB_RGB_COLORS);
    }
  }
  ReleaseDC(nullptr, dc);
  return result;
}

ButtonImageNode* FindNode(const void* image) {
  for (ButtonImageNode* node = g_nodes; node; node = node->next) {
    if (node->image == image) return node;
  }
  return nullptr;
}

// A new node with the six state images, not yet linked; NULL on failure.
// The masked adds change the bitmap they take: the picture goes in once and
// its copies are made inside the list.
ButtonImageNode* CreateNode(const void* image) {
  HBITMAP normal = LoadImageBitmap(image);
  if (!normal) return nullptr;
  BITMAP bm = {};
  GetObject(normal, sizeof bm, &bm);
  HBITMAP greyed = CreateGreyedBitmap(normal);
  HIMAGELIST list = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_MASK | ILC_COLORDDB, 5, 1);
  // Normal, hot, pressed, disabled, defaulted, stylus-hot.
  bool ok = list && greyed && ImageList_AddMasked(list, normal, kButtonMaskColor) == 0 &&
            ImageList_AddMasked(list, greyed, kButtonMaskColor) == 1 && ImageList_SetImageCount(list, 6) &&
            ImageList_Copy(list, 3, list, 1, ILCF_MOVE);
  for (int i : {1, 2, 4, 5}) {
    if (ok) ok = ImageList_Copy(list, i, list, 0, ILCF_MOVE) != FALSE;
  }
  DeleteObject(normal);
  if (greyed) DeleteObject(greyed);
  if (!ok) {
    if (list) ImageList_Destroy(list);
    return nullptr;
  }
  auto* node = new ButtonImageNode{};
  node->list.himl = list;
  node->list.uAlign = BUTTON_IMAGELIST_ALIGN_CENTER;
  node->image = image;
  return node;
}

void LinkNode(ButtonImageNode* node) {
  ButtonImageNode** end = &g_nodes;
  while (*end) end = &(*end)->next;
  *end = node;
  if (!g_exitRegistered) g_exitRegistered = std::atexit(FreeButtonImages) == 0;
}

bool SetClassicImage(HWND button, const void* image) {
  HBITMAP bitmap = IsResourceId(image)
                       ? static_cast<HBITMAP>(LoadImageA(AfxGetResourceHandle(), static_cast<LPCSTR>(image),
                                                         IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS))
                       : CreateSysColorBitmap(static_cast<const BITMAPINFO*>(image), kSysColorMapGreys, nullptr);
  if (!bitmap) return false;
  // BM_SETIMAGE answers the previous image, NULL the first time: whether the
  // button took the bitmap shows in what it holds now.
  SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
  if ((HBITMAP)SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0) == bitmap) return true;
  DeleteObject(bitmap);
  return false;
}
}  // namespace

COLORREF GreyButtonColor(COLORREF color) {
  BYTE p[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  GreyPixel(p);
  return RGB(p[2], p[1], p[0]);
}

int GetButtonImageListCount() {
  int n = 0;
  for (ButtonImageNode* node = g_nodes; node; node = node->next) n++;
  return n;
}

bool SetButtonImage(HWND button, const void* image) {
  if (!button || !image) return false;
  if (ThemeActive()) {
    ButtonImageNode* node = FindNode(image);
    if (node) {
      if (SendMessageA(button, BCM_SETIMAGELIST, 0, (LPARAM)&node->list)) return true;
    } else if ((node = CreateNode(image)) != nullptr) {
      if (SendMessageA(button, BCM_SETIMAGELIST, 0, (LPARAM)&node->list)) {
        LinkNode(node);
        return true;
      }
      // The button has no visual styles.
      ImageList_Destroy(node->list.himl);
      delete node;
    }
  }
  return SetClassicImage(button, image);
}

void DeleteButtonImage(HWND button) {
  // Taken off the button first: it would paint a deleted handle.
  HBITMAP bitmap = (HBITMAP)SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, 0);
  if (bitmap) DeleteObject(bitmap);
}

void SetButtonImageThemeSeam(const char* dllName) {
  g_themeDll = dllName ? dllName : "UxTheme.dll";
  g_themeAsked = false;
}
