// WM_PAINT through the visual styles' paint buffer: the rows are drawn off
// screen and shown at once.
#include "controls/treelist/treelist_data.h"

void TreeListPaintBuffered(TreeListData* data, HDC dc, const RECT* rc) {
  typedef HPAINTBUFFER(WINAPI * BeginProc)(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC*);
  typedef HRESULT(WINAPI * EndProc)(HPAINTBUFFER, BOOL);
  const TreeListThemeApi& api = TreeListTheme();
  BeginProc begin = (BeginProc)api.BeginBufferedPaint;
  EndProc end = (EndProc)api.EndBufferedPaint;
  HDC target = dc;
  HPAINTBUFFER buffer = nullptr;
  if (begin && end && !IsRectEmpty(rc)) {
    HDC memory = nullptr;
    buffer = begin(dc, rc, BPBF_COMPATIBLEBITMAP, nullptr, &memory);
    if (buffer && memory) target = memory;
  }
  TreeListLocked lock(data);
  TreeListPaint(data, target, rc);
  lock.Leave();
  if (buffer) end(buffer, TRUE);
}
