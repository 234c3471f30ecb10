// COleDataSource: cached blocks through its IDataObject, and an OLE drag
// onto a drop target of this process, also from a thread that asked for OLE
// only on first use.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "harness/droptarget.h"
#include "harness/window_util.h"
#include "mfc/mfc.h"

namespace {
HGLOBAL TextBlock(const char* psz) {
  size_t n = std::strlen(psz) + 1;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
  std::memcpy(GlobalLock(h), psz, n);
  GlobalUnlock(h);
  return h;
}

// S_OK when the calling thread had no COM yet, S_FALSE when it had; leaves
// the thread as it was.
HRESULT ComProbe() {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr;
}

FORMATETC Format(CLIPFORMAT cf) { return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The text of a format, or "-" with the error.
std::string TextOf(IDataObject* pData, CLIPFORMAT cf) {
  FORMATETC fe = Format(cf);
  STGMEDIUM medium = {};
  if (FAILED(pData->GetData(&fe, &medium))) return "-";
  std::string text = static_cast<const char*>(GlobalLock(medium.hGlobal));
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  return text;
}

class OleData : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

// A drop target that takes CF_TEXT as a copy.
class TextDropTarget : public CopyDropTarget {
 public:
  std::string m_text;
  void OnDrop(IDataObject* pData) override { m_text = TextOf(pData, CF_TEXT); }
};
}  // namespace

TEST_F(OleData, CachedBlocksAreOfferedAsCopiesUntilEmptied) {
  COleDataSource source;
  source.CacheGlobalData(CF_TEXT, TextBlock("alt"));
  source.CacheGlobalData(CF_TEXT, TextBlock("HKEY_CURRENT_USER\\Software"));  // replaces the first
  source.CacheGlobalData(CF_OEMTEXT, TextBlock("oem"));
  IDataObject* pData = source.GetDataObject();
  FORMATETC fe = Format(CF_TEXT);
  EXPECT_EQ(pData->QueryGetData(&fe), S_OK);
  FORMATETC feUnicode = Format(CF_UNICODETEXT);
  EXPECT_EQ(pData->QueryGetData(&feUnicode), DV_E_FORMATETC);
  FORMATETC feFile = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_FILE};
  EXPECT_EQ(pData->QueryGetData(&feFile), DV_E_TYMED);
  // Each taker gets its own copy and frees it.
  EXPECT_EQ(TextOf(pData, CF_TEXT), "HKEY_CURRENT_USER\\Software");
  EXPECT_EQ(TextOf(pData, CF_TEXT), "HKEY_CURRENT_USER\\Software");
  EXPECT_EQ(TextOf(pData, CF_UNICODETEXT), "-");

  IEnumFORMATETC* pEnum = nullptr;
  ASSERT_EQ(pData->EnumFormatEtc(DATADIR_GET, &pEnum), S_OK);
  FORMATETC formats[4];
  ULONG n = 0;
  pEnum->Next(4, formats, &n);
  pEnum->Release();
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(formats[0].cfFormat, CF_TEXT);
  EXPECT_EQ(formats[1].cfFormat, CF_OEMTEXT);

  source.Empty();
  EXPECT_EQ(pData->QueryGetData(&fe), DV_E_FORMATETC);
  EXPECT_EQ(TextOf(pData, CF_TEXT), "-");
}

TEST_F(OleData, DropSourceDropsOnReleaseAndCancelsOnEscapeOrTheOtherButton) {
  COleDropSource source;
  source.m_dwButtonDrop = MK_LBUTTON;
  source.m_dwButtonCancel = MK_RBUTTON;
  EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source.QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(source.QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source.GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(OleData, DragDropsTheTextOnTheTargetUnderTheMouse) {
  CWnd wndTarget;
  ASSERT_TRUE(
      wndTarget.CreateEx(WS_EX_TOPMOST, nullptr, "Ziel", WS_POPUP | WS_VISIBLE, 300, 300, 200, 150, nullptr, nullptr));
  HWND hTarget = wndTarget.m_hWnd;
  TextDropTarget target;
  ASSERT_EQ(RegisterDragDrop(hTarget, &target), S_OK);
  SetCursorPos(400, 375);
  PumpMessages(50);

  COleDataSource source;
  source.CacheGlobalData(CF_TEXT, TextBlock("C:\\Temp\\Export.reg"));
  // No button is held: the drag drops at once where the mouse is.
  CRect rectNull(0, 0, 0, 0);
  DROPEFFECT effect = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &rectNull);
  EXPECT_EQ(effect, (DROPEFFECT)DROPEFFECT_COPY);
  EXPECT_EQ(target.m_nDrops, 1);
  EXPECT_EQ(target.m_text, "C:\\Temp\\Export.reg");

  RevokeDragDrop(hTarget);
}

// A program that asks for OLE on first use gets it with its first drag: the
// thread has none before, the drag drops on a target (of another thread)
// and leaves the thread with OLE.
TEST_F(OleData, FirstDragBringsOleToAThreadThatAskedForItOnFirstUse) {
  CWnd wndTarget;
  ASSERT_TRUE(
      wndTarget.CreateEx(WS_EX_TOPMOST, nullptr, "Ziel", WS_POPUP | WS_VISIBLE, 300, 300, 200, 150, nullptr, nullptr));
  TextDropTarget target;
  ASSERT_EQ(RegisterDragDrop(wndTarget.m_hWnd, &target), S_OK);
  SetCursorPos(400, 375);
  PumpMessages(50);

  HRESULT before = E_FAIL, after = E_FAIL;
  DROPEFFECT effect = DROPEFFECT_NONE;
  volatile bool done = false;
  std::thread drag([&] {
    AfxOleInitOnFirstUse();
    before = ComProbe();
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, TextBlock("HKEY_CURRENT_USER\\Software"));
    CRect rectNull(0, 0, 0, 0);
    effect = source.DoDragDrop(DROPEFFECT_COPY, &rectNull);
    after = ComProbe();
    AfxOleTerm();
    done = true;
  });
  // The target's thread answers the drag's calls meanwhile.
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    PumpMessages();
  }
  drag.join();
  EXPECT_EQ(before, S_OK) << "no OLE before the first drag";
  EXPECT_EQ(after, S_FALSE) << "OLE after it";
  EXPECT_EQ(effect, (DROPEFFECT)DROPEFFECT_COPY);
  EXPECT_EQ(target.m_nDrops, 1);
  EXPECT_EQ(target.m_text, "HKEY_CURRENT_USER\\Software");
  RevokeDragDrop(wndTarget.m_hWnd);
}
