// Button records: forms, insertion, deletion, state bits, check groups,
// button information and the size settings.
#include <cstring>
#include <new>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/libdib/libdib.h"

int ToolbarExCommandToIndex(ToolbarExData* data, WPARAM wParam) {
  DWORD id = (DWORD)wParam;
  int count = (int)data->buttonCount;
  if ((id & kTbxFormMask) == kTbxForm) {
    if ((id & 0xFFFF0000) == kTbxByIndex) return (int)(id & 0xFFFF) < count ? (int)(id & 0xFFFF) : -1;
    if ((id & 0xFFFF0000) == kTbxByCommand) id &= 0xFFFF;
    if ((id & 0xFF800000) == kTbxNthCommand) {
      int k = (int)((id >> 16) & 0x7F);
      WORD command = (WORD)id;
      bool byStyle = (command & 0xFFF) == kTbxStyleWordMatch;
      for (int i = 0; i < count; i++) {
        const ToolbarExButton* b = data->buttons[i];
        bool match = byStyle ? (StyleWord(b) & command & 0xF000) != 0 : (DWORD)b->tb.idCommand == command;
        if (match && k-- == 0) return i;
      }
      return -1;
    }
  }
  for (int i = 0; i < count; i++) {
    if ((DWORD)data->buttons[i]->tb.idCommand == id) return i;
  }
  return -1;
}

int ToolbarExIndexArg(ToolbarExData* data, WPARAM wParam) {
  if (((DWORD)wParam & kTbxFormMask) == kTbxForm) return ToolbarExCommandToIndex(data, wParam);
  return wParam < data->buttonCount ? (int)wParam : -1;
}

ToolbarExButton* ToolbarExButtonAt(ToolbarExData* data, int index) {
  return index >= 0 && (unsigned)index < data->buttonCount ? data->buttons[index] : nullptr;
}

void ToolbarExFreeRender(ToolbarExButton* button) {
  if (button->render) FreeDib(button->render);
  button->render = nullptr;
  button->renderBits = nullptr;
  button->renderBitmap = nullptr;
}

void ToolbarExMarkButton(ToolbarExButton* button) {
  button->drawWord = (WORD)((button->drawWord & ~kDrawMeasured) | kDrawRender);
}

namespace {
bool Visible(const ToolbarExButton* b) { return !(b->tb.fsState & TBSTATE_HIDDEN); }

}  // namespace

struct ToolbarExButtonChunk {
  ToolbarExButtonChunk* next;
  unsigned count;
  ToolbarExButton items[1];
};

bool ToolbarExReserveButtons(ToolbarExData* data, unsigned count) {
  if (data->buttonCount + count > data->buttonCapacity) {
    unsigned capacity = data->buttonCapacity + data->buttonCapacity / 2 + 16;
    if (capacity < data->buttonCount + count) capacity = data->buttonCount + count;
    auto** grown = new (std::nothrow) ToolbarExButton*[capacity];
    if (!grown) return false;
    if (data->buttons) std::memcpy(grown, data->buttons, data->buttonCount * sizeof *grown);
    delete[] data->buttons;
    data->buttons = grown;
    data->buttonCapacity = capacity;
  }
  unsigned spare = 0;
  for (const ToolbarExButton* f = data->freeButtons; f && spare < count; f = f->nextFree) spare++;
  if (spare >= count) return true;
  unsigned n = count - spare < 16 ? 16 : count - spare;
  void* raw = ::operator new(sizeof(ToolbarExButtonChunk) + (n - 1) * sizeof(ToolbarExButton), std::nothrow);
  if (!raw) return false;
  auto* chunk = static_cast<ToolbarExButtonChunk*>(raw);
  chunk->next = data->buttonChunks;
  chunk->count = n;
  data->buttonChunks = chunk;
  // Records are cleared as they are taken.
  for (unsigned i = n; i-- > 0;) {
    chunk->items[i].nextFree = data->freeButtons;
    data->freeButtons = &chunk->items[i];
  }
  return true;
}

void ToolbarExFreeButtonPool(ToolbarExData* data) {
  while (ToolbarExButtonChunk* chunk = data->buttonChunks) {
    data->buttonChunks = chunk->next;
    ::operator delete(chunk);
  }
  data->freeButtons = nullptr;
}

int ToolbarExInsertButtons(ToolbarExData* data, unsigned position, const TBBUTTON* record, bool clearStyleWord) {
  if (!record) return -1;
  if (position > data->buttonCount) position = data->buttonCount;
  if (!ToolbarExReserveButtons(data, 1)) return -1;
  ToolbarExButton* b = data->freeButtons;
  data->freeButtons = b->nextFree;
  *b = ToolbarExButton{};
  b->tb = *record;
  if (clearStyleWord) StyleWord(b) = 0;
  b->drawWord = kDrawRender;
  std::memmove(data->buttons + position + 1, data->buttons + position,
               (data->buttonCount - position) * sizeof *data->buttons);
  data->buttons[position] = b;
  data->buttonCount++;
  if (data->hotIndex >= (int)position) data->hotIndex++;
  if (Visible(b) && !(b->tb.fsStyle & BTNS_SEP)) {
    int on = (b->tb.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) ? 1 : 0;
    bool off = !(b->tb.fsState & TBSTATE_ENABLED) || (b->tb.fsState & TBSTATE_INDETERMINATE);
    b->drawWord |= (WORD)((off ? 4 : 0) + on);
  }
  if (position > 0 && (data->buttons[position - 1]->drawWord & (kDrawStacked | kDrawStackFirst))) {
    // The stack above the previous button renders again.
    for (int i = (int)position - 1; i >= 0; i--) {
      ToolbarExButton* s = data->buttons[i];
      s->drawWord |= kDrawRender;
      if (!(s->drawWord & kDrawStacked)) break;
    }
  }
  data->dirty |= kDirtyLayout;
  return (int)position;
}

int ToolbarExDeleteButton(ToolbarExData* data, int index) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  ToolbarExFreeRender(b);
  if (StyleWord(b) & kTbxControl) {
    HWND control = (HWND)b->tb.dwData;
    if (control && IsWindow(control) && GetParent(control) == data->window) ShowWindow(control, SW_HIDE);
  }
  if (data->hotIndex == index) {
    data->hotIndex = -1;
  } else if (data->hotIndex > index) {
    data->hotIndex--;
  }
  b->nextFree = data->freeButtons;
  data->freeButtons = b;
  std::memmove(data->buttons + index, data->buttons + index + 1,
               (data->buttonCount - index - 1) * sizeof *data->buttons);
  data->buttonCount--;
  data->dirty |= kDirtyLayout;
  return 1;
}

int ToolbarExFindCheckedInGroup(ToolbarExData* data, int index) {
  if (!ToolbarExButtonAt(data, index)) return -1;
  for (int i = index; i >= 0; i--) {
    const ToolbarExButton* b = data->buttons[i];
    if (!(b->tb.fsStyle & BTNS_GROUP)) break;
    if (b->tb.fsState & TBSTATE_CHECKED) return i;
    if (b->tb.fsStyle & 0x80) break;  // starts the group
  }
  for (int i = index + 1; i < (int)data->buttonCount; i++) {
    const ToolbarExButton* b = data->buttons[i];
    if (!(b->tb.fsStyle & BTNS_GROUP) || (b->tb.fsStyle & 0x80)) break;
    if (b->tb.fsState & TBSTATE_CHECKED) return i;
  }
  return -1;
}

int ToolbarExSetStateBit(ToolbarExData* data, int index, BYTE bit, bool on) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  if (bit == TBSTATE_CHECKED && on && (b->tb.fsStyle & BTNS_GROUP)) {
    int checked = ToolbarExFindCheckedInGroup(data, index);
    if (checked == index) return 0;
    if (checked >= 0) ToolbarExSetStateBit(data, checked, TBSTATE_CHECKED, false);
  }
  BYTE old = b->tb.fsState;
  b->tb.fsState = on ? (BYTE)(old | bit) : (BYTE)(old & ~bit);
  if (b->tb.fsState == old || bit == 0x80) return 1;
  if (bit == TBSTATE_HIDDEN) {
    data->dirty |= kDirtyLayout;
    ToolbarExInvalidate(data);
  }
  ToolbarExUpdateButtonState(data, index);
  return 1;
}

int ToolbarExSetButtonInfo(ToolbarExData* data, WPARAM wParam, const TBBUTTONINFOW* info, bool wide) {
  if (!info || info->cbSize < sizeof(TBBUTTONINFOW)) return 0;
  DWORD mask = info->dwMask;
  WPARAM arg = wParam;
  if (!(mask & TBIF_BYINDEX) && ((DWORD)wParam & kTbxFormMask) == kTbxForm) {
    int mapped = ToolbarExCommandToIndex(data, wParam);
    if (mapped < 0) return 0;
    arg = (WPARAM)mapped;
  }
  int index = arg < data->buttonCount ? (int)arg : -1;
  if (index < 0) return 0;
  HWND w = data->window;
  WPARAM byIndex = kTbxByIndex | (WPARAM)index;
  if (mask & TBIF_COMMAND) data->buttons[index]->tb.idCommand = info->idCommand;
  if (mask & TBIF_LPARAM) SendMessageW(w, TBX_SETBUTTONVALUE, byIndex, (LPARAM)info->lParam);
  if (mask & TBIF_IMAGE) SendMessageW(w, TBX_SETIMAGE, byIndex, info->iImage);
  if (mask & (TBIF_STATE | TBIF_STYLE)) {
    DWORD value = ((DWORD)info->fsState << 16) | info->fsStyle;
    DWORD stateStyleMask = ((mask & TBIF_STATE) ? 0xFF000000 : 0) | ((mask & TBIF_STYLE) ? 0xFF00 : 0);
    SendMessageW(w, TBX_SETSTATESTYLE, byIndex, (LPARAM)(value | stateStyleMask));
  }
  if ((mask & kTbxInfoStyleWord) && info->cbSize >= 52) {
    const BYTE* raw = reinterpret_cast<const BYTE*>(info);
    WORD value, valueMask;
    std::memcpy(&value, raw + 48, 2);
    std::memcpy(&valueMask, raw + 50, 2);
    SendMessageW(w, TBX_SETSTYLEWORD, byIndex, MAKELPARAM(value, valueMask));
  }
  if (mask & TBIF_SIZE) SendMessageW(w, TBX_SETFIXEDWIDTH, byIndex, info->cx);
  if (mask & kTbxInfoStringIndex) {
    SendMessageW(w, TBX_SETSTRINGINDEX, byIndex, (LPARAM)(INT_PTR)info->pszText);
  } else if ((mask & TBIF_TEXT) && info->pszText) {
    ToolbarExSetButtonString(data, index, info->pszText, wide);
  }
  return 1;
}

int ToolbarExGetButtonInfo(ToolbarExData* data, WPARAM wParam, TBBUTTONINFOW* info, bool wide) {
  if (!info || info->cbSize < sizeof(TBBUTTONINFOW)) return -1;
  DWORD mask = info->dwMask;
  int index;
  if (!(mask & TBIF_BYINDEX) && ((DWORD)wParam & kTbxFormMask) == kTbxForm) {
    index = ToolbarExCommandToIndex(data, wParam);
  } else {
    index = wParam < data->buttonCount ? (int)wParam : -1;
  }
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  if (mask & TBIF_COMMAND) info->idCommand = b->tb.idCommand;
  if (mask & TBIF_LPARAM) info->lParam = b->tb.dwData;
  if (mask & TBIF_IMAGE) info->iImage = b->tb.iBitmap;
  if (mask & TBIF_STATE) info->fsState = b->tb.fsState;
  if (mask & TBIF_STYLE) info->fsStyle = b->tb.fsStyle;
  if ((mask & kTbxInfoStyleWord) && info->cbSize >= 52) {
    WORD value = StyleWord(b);
    std::memcpy(reinterpret_cast<BYTE*>(info) + 48, &value, 2);
  }
  if (mask & TBIF_SIZE) info->cx = (WORD)(b->rect.right - b->rect.left);
  if (mask & kTbxInfoStringIndex) {
    info->pszText = (LPWSTR)(INT_PTR)b->tb.iString;
  } else if ((mask & TBIF_TEXT) && info->pszText && info->cchText >= 1) {
    ToolbarExGetString(data, (int)b->tb.iString, info->cchText, info->pszText, wide);
  }
  return index;
}

int ToolbarExSetButtonSize(ToolbarExData* data, int cx, int cy) {
  if (cx < 0 || cy < 0) return 0;
  if (cx == 0) cx = 24;
  if (cy == 0) cy = 24;
  if (cx < data->bitmapSize.cx + data->padding.cx) cx = data->bitmapSize.cx + data->padding.cx;
  if (cy < data->bitmapSize.cy + data->padding.cy) cy = data->bitmapSize.cy + data->padding.cy;
  if (cx != data->buttonSize.cx || cy != data->buttonSize.cy) {
    data->buttonSize = SIZE{cx, cy};
    data->dirty = kDirtyAll;
    ToolbarExInvalidate(data);
  }
  return 1;
}

int ToolbarExSetButtonWidth(ToolbarExData* data, int min, int max) {
  if (min < 0) min = -1;
  if (max < 0) max = -1;
  if (min != data->buttonWidthMin || max != data->buttonWidthMax) {
    data->buttonWidthMin = min;
    data->buttonWidthMax = max;
    data->dirty = kDirtyAll;
    ToolbarExInvalidate(data);
  }
  return 1;
}

int ToolbarExSetListGap(ToolbarExData* data, int gap, LPARAM second) {
  int gaps[2] = {gap < 0 ? 0 : gap, data->listGap[1]};
  if (((DWORD)second & 0xFFFF0000) == kTbxByCommand) {
    int value = (short)LOWORD(second);
    gaps[1] = value < 0 ? 0 : value;
  }
  if (gaps[0] != data->listGap[0] || gaps[1] != data->listGap[1]) {
    data->listGap[0] = gaps[0];
    data->listGap[1] = gaps[1];
    data->dirty = kDirtyAll;
    ToolbarExInvalidate(data);
  }
  return 0;
}

int ToolbarExSetBitmapSize(ToolbarExData* data, int cx, int cy) {
  if (cx < 2) cx = 2;
  if (cy < 2) cy = 2;
  if (cx != data->bitmapSize.cx || cy != data->bitmapSize.cy) {
    data->bitmapSize = SIZE{cx, cy};
    data->dirty |= kDirtyLayout | kDirtySizes;
    ToolbarExInvalidate(data);
  }
  return 1;
}

LRESULT ToolbarExSetPadding(ToolbarExData* data, int cx, int cy) {
  if (cx < 2) cx = 2;
  if (cy < 2) cy = 2;
  if (cx != data->padding.cx || cy != data->padding.cy) {
    data->padding = SIZE{cx, cy};
    data->dirty = kDirtyAll;
    ToolbarExInvalidate(data);
  }
  return MAKELONG(data->padding.cx, data->padding.cy);
}
