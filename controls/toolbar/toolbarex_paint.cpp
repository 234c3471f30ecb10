// Painting the bar from the buttons' state strips, the insert mark and the
// overlay labels.
#include <cstring>
#include <new>
#include <vector>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/libdib/libdib.h"

struct ToolbarExLabel {
  ToolbarExLabel* next;
  short x, y;
  TbxLabelHead head;
  WCHAR text[1];
};

namespace {
const BYTE kLabelPlace = 0x80;

void Fill(HDC dc, const RECT& rc, COLORREF color) {
  COLORREF old = SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void PlaceLabel(ToolbarExData* data, HDC dc, ToolbarExLabel* label) {
  int index = ToolbarExCommandToIndex(data, label->head.anchor);
  const ToolbarExButton* b = ToolbarExButtonAt(data, index);
  RECT text = {0, 0, 0, 0};
  DrawTextW(dc, label->text, -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  int x = 0, y = 0, tw = text.right, th = text.bottom;
  if (b) {
    const RECT& r = b->rect;
    int h = label->head.flags & 3, v = label->head.flags & 12;
    x = h == kTbxLabelCenter ? (r.left + r.right - tw) / 2 : h == kTbxLabelRight ? r.right - tw - 2 : r.left;
    y = v == kTbxLabelMiddle ? (r.top + r.bottom - th) / 2 : v == kTbxLabelBottom ? r.bottom - th : r.top;
  }
  label->x = (short)(x + label->head.dx);
  label->y = (short)(y + label->head.dy);
  label->head.flags &= (BYTE)~kLabelPlace;
}

void DrawLabel(ToolbarExData* data, HDC dc, int x, int y, const WCHAR* text) {
  int length = lstrlenW(text);
  COLORREF back = data->colors[6], fore = data->colors[7], frame = data->colors[8];
  COLORREF oldText = SetTextColor(dc, fore);
  int oldMode = SetBkMode(dc, back == kTbxNoColor ? TRANSPARENT : OPAQUE);
  COLORREF oldBack = SetBkColor(dc, back == kTbxNoColor ? 0 : back);
  DWORD size = TabbedTextOutW(dc, x, y, text, length, 0, nullptr, x);
  int w = LOWORD(size), h = HIWORD(size);
  if (back != kTbxNoColor) Fill(dc, RECT{x + w, y, x + w + 1, y + h}, back);
  if (frame != kTbxNoColor) {
    Fill(dc, RECT{x - 1, y - 1, x + w + 2, y}, frame);
    Fill(dc, RECT{x - 1, y + h, x + w + 2, y + h + 1}, frame);
    Fill(dc, RECT{x - 1, y, x, y + h}, frame);
    Fill(dc, RECT{x + w + 1, y, x + w + 2, y + h}, frame);
  }
  SetBkColor(dc, oldBack);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
}

void DrawInsertMark(ToolbarExData* data, HDC dc) {
  if (data->insertMarkIndex < 0) return;
  const RECT& r = data->insertMarkRect;
  COLORREF color = data->colors[5];
  if (data->insertMarkFlags & 2) {
    int mid = (r.top + r.bottom) / 2;
    Fill(dc, RECT{r.left + 2, mid - 1, r.right - 2, mid + 1}, color);
    Fill(dc, RECT{r.left, r.top, r.left + 2, r.bottom}, color);
    Fill(dc, RECT{r.right - 2, r.top, r.right, r.bottom}, color);
  } else {
    int mid = (r.left + r.right) / 2;
    Fill(dc, RECT{mid - 1, r.top + 2, mid + 1, r.bottom - 2}, color);
    Fill(dc, RECT{r.left, r.top, r.right, r.top + 2}, color);
    Fill(dc, RECT{r.left, r.bottom - 2, r.right, r.bottom}, color);
  }
}

// The rows that a drop-down button's arrow part shows for each state.
int ArrowRow(const ToolbarExData* data, int state) {
  if (state >= 6) return data->arrowPressed ? 3 : 2;
  if (state <= 1) return 0;
  if (state <= 3) return 1;
  return state;
}
}  // namespace

void ToolbarExPaint(ToolbarExData* data, HDC target, const PAINTSTRUCT* ps) {
  RECT client;
  GetClientRect(data->window, &client);
  RECT paint = ps ? ps->rcPaint : client;
  ToolbarExLayoutIfDirty(data);
  int width = client.right, height = client.bottom;
  if (width < 1 || height < 1) return;
  HDC mem = CreateCompatibleDC(target);
  HBITMAP canvas = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ oldCanvas = SelectObject(mem, canvas);
  Fill(mem, client, GetSysColor(COLOR_BTNFACE));
  HDC strip = CreateCompatibleDC(target);
  for (unsigned i = 0; i < data->buttonCount; i++) {
    ToolbarExButton* b = data->buttons[i];
    if ((b->tb.fsState & TBSTATE_HIDDEN) || b->rect.right <= b->rect.left || b->rect.bottom <= b->rect.top) continue;
    RECT meet;
    if (!IntersectRect(&meet, &b->rect, &paint)) continue;
    bool sizeChanged = b->render && (b->render->bmiHeader.biWidth != b->rect.right - b->rect.left);
    if ((b->drawWord & kDrawRender) || !b->render || sizeChanged) {
      ToolbarExRenderButtonImages(data, (int)i);
      if (b->render) DeleteDibMemDC(b->render);
    }
    if (!b->render) {
      Fill(mem, b->rect, data->colors[0]);
      continue;
    }
    int w = b->rect.right - b->rect.left, h = b->rect.bottom - b->rect.top;
    int state = b->drawWord & kDrawStateMask;
    bool sep = (b->tb.fsStyle & BTNS_SEP) != 0;
    int row = sep ? 0 : state == 6 ? 2 : state == 7 ? 3 : state;
    HGDIOBJ old = SelectObject(strip, GetDibBitmap(b->render));
    int arrow = b->content >> 10;
    if (!sep && arrow && (b->tb.fsStyle & BTNS_DROPDOWN)) {
      int main = w - arrow - data->listGap[0] + data->listGap[0] / 2;
      if (main < 0) main = 0;
      BitBlt(mem, b->rect.left, b->rect.top, main, h, strip, 0, row * h, SRCCOPY);
      BitBlt(mem, b->rect.left + main, b->rect.top, w - main, h, strip, main, ArrowRow(data, state) * h, SRCCOPY);
    } else {
      BitBlt(mem, b->rect.left, b->rect.top, w, h, strip, 0, row * h, SRCCOPY);
    }
    SelectObject(strip, old);
  }
  DeleteDC(strip);
  DrawInsertMark(data, mem);
  HGDIOBJ oldFont = SelectObject(mem, data->font);
  for (ToolbarExLabel* label = data->labels; label; label = label->next) {
    if (label->head.flags & kLabelPlace) PlaceLabel(data, mem, label);
    DrawLabel(data, mem, label->x, label->y, label->text);
  }
  SelectObject(mem, oldFont);
  BitBlt(target, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top, mem, paint.left, paint.top,
         SRCCOPY);
  SelectObject(mem, oldCanvas);
  DeleteObject(canvas);
  DeleteDC(mem);
}

int ToolbarExAddLabel(ToolbarExData* data, const void* headArg, const void* text, bool wide) {
  if (!headArg) return 0;
  TbxLabelHead head;
  std::memcpy(&head, headArg, sizeof head);
  std::vector<WCHAR> w;
  if (text && wide) {
    const WCHAR* s = static_cast<const WCHAR*>(text);
    w.assign(s, s + lstrlenW(s));
  } else if (text) {
    const char* s = static_cast<const char*>(text);
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    w.resize(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), (int)w.size());
    if (!w.empty() && !w.back()) w.pop_back();
  }
  if (head.flags & kTbxLabelByIndex) head.anchor = kTbxByIndex | (head.anchor & 0xFFFF);
  if (head.flags & kTbxLabelReplace) {
    ToolbarExLabel** link = &data->labels;
    while (*link && (*link)->head.anchor != head.anchor) link = &(*link)->next;
    if (*link) {
      ToolbarExLabel* gone = *link;
      *link = gone->next;
      ::operator delete(gone);
    }
  }
  void* raw = ::operator new(sizeof(ToolbarExLabel) + w.size() * sizeof(WCHAR), std::nothrow);
  if (!raw) return 0;
  auto* label = static_cast<ToolbarExLabel*>(raw);
  label->head = head;
  label->head.flags |= kLabelPlace;
  label->x = label->y = 0;
  std::memcpy(label->text, w.data(), w.size() * sizeof(WCHAR));
  label->text[w.size()] = 0;
  label->next = data->labels;
  data->labels = label;
  ToolbarExInvalidate(data);
  return 1;
}

int ToolbarExRemoveLabel(ToolbarExData* data, DWORD which) {
  bool byTag = (which & 0xFFFF0000) == kTbxLabelTagForm;
  for (ToolbarExLabel** link = &data->labels; *link; link = &(*link)->next) {
    ToolbarExLabel* label = *link;
    if (byTag ? label->head.tag == (BYTE)which : label->head.anchor == which) {
      *link = label->next;
      ::operator delete(label);
      ToolbarExInvalidate(data);
      return 1;
    }
  }
  return 0;
}

void ToolbarExFreeLabels(ToolbarExData* data) {
  while (data->labels) {
    ToolbarExLabel* next = data->labels->next;
    ::operator delete(data->labels);
    data->labels = next;
  }
}
