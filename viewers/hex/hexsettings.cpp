// The hex view's settings in the registry, the lists every hex view shares,
// and the display settings the settings dialog changes.
#include <cstring>

#include "base/appnames.h"
#include "system/regkeystack.h"
#include "viewers/hex/hexview.h"
#include "viewers/tools/hexconfigdlg.h"
#include "viewers/tools/strlist.h"

int CHexView::s_viewCount = 0;
bool CHexView::s_listsLoaded = false;
char* CHexView::s_findHistory = nullptr;
char* CHexView::s_groupList = nullptr;
char* CHexView::s_searchItems = nullptr;
DWORD CHexView::s_findFlags = kHexFindFlagsDefault;

namespace {

const int kListBytesMax = 2048;
const DWORD kLoadedFlagBits = kHexViewAutoWidth | kHexViewRasterScroll | kHexViewWidthRaster;

// A list value of at most 2048 bytes: what lies beyond is cut at a string end.
char* ReadList(CRegKeyStack& key, const char* name) {
  char* list = nullptr;
  if (!key.QueryValueAlloc(&list, name, REG_MULTI_SZ) || !list) return nullptr;
  if (key.m_dwType != REG_MULTI_SZ) {
    delete[] list;
    return nullptr;
  }
  int end = 0;
  for (const char* p = list; *p && p - list < (int)key.m_cbData;) {
    const int n = (int)std::strlen(p) + 1;
    if ((p - list) + n + 1 > kListBytesMax) break;
    p += n;
    end = (int)(p - list);
  }
  list[end] = 0;
  return list;
}

bool ReadDword(CRegKeyStack& key, const char* name, int* value) {
  DWORD v = 0;
  if (!key.QueryValue(&v, sizeof v, name, 0) || key.m_dwType != REG_DWORD || key.m_cbData != sizeof v) return false;
  *value = (int)v;
  return true;
}

}  // namespace

void CHexView::AttachSettings() {
  ++s_viewCount;
  if (m_flags & kHexViewSaveSettings) LoadSettings(nullptr);
}

void CHexView::DetachSettings() {
  StrListFree(&m_addressHistory);
  if (m_flags & kHexViewSaveSettings) SaveSettings(nullptr);
  if (--s_viewCount > 0) return;
  // The next view loads the lists again.
  StrListFree(&s_findHistory);
  StrListFree(&s_groupList);
  StrListFree(&s_searchItems);
  s_listsLoaded = false;
}

// Without an application key name there is no program key: nothing is read
// or written (never the values straight below "Software").
bool CHexView::SettingsPath(char* path, int size, const char* name) const {
  const CAppNames* names = AfxGetAppNames();
  if (!m_pszPathOverride && (!names || !names->m_pszRegistryKey || !names->m_pszRegistryKey[0])) return false;
  return BuildRegistryPath(path, size, name) > 0;
}

int CHexView::LoadSettings(const char* name) {
  char path[512];
  if (!SettingsPath(path, sizeof path, name)) return 0;
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, path, REGKS_READ)) {
    if (!s_listsLoaded) {
      s_listsLoaded = true;
      if (char* list = ReadList(key, "HexFind")) {
        StrListFree(&s_findHistory);
        s_findHistory = list;
      }
      if (char* list = ReadList(key, "HexGroup")) {
        StrListFree(&s_groupList);
        s_groupList = list;
      }
    }
    int v = 0;
    int insertSpace = m_layout.insertSpace ? 1 : 0, digits = m_layout.addressDigits;
    int outputFormat = m_layout.groupShift, invert = m_layout.invertMask;
    if (ReadDword(key, "InsertSpace", &v)) insertSpace = v ? 1 : 0;
    if (ReadDword(key, "ExtraSpace", &v)) m_extraSpaceSetting = v < 0 ? 0 : v;
    if (ReadDword(key, "LineWidth", &v)) m_lineWidthSetting = v < 1 ? 16 : v;
    // 0 would divide by zero in the layout.
    if (ReadDword(key, "Raster", &v)) m_raster = m_rasterSetting = v < 1 ? 1 : v;
    if (ReadDword(key, "WidthRaster", &v)) m_widthRaster = m_widthRasterSetting = v < 1 ? 1 : v;
    if (ReadDword(key, "InvertBytes", &v)) invert = v;
    if (ReadDword(key, "OutputFormat", &v)) outputFormat = v & 3;
    if (ReadDword(key, "SelectionRaster", &v)) m_selectionRaster = v ? 1 : 0;
    if (ReadDword(key, "StatusbarMode", &v)) m_statusFlags = (DWORD)v | kHexStatusRefresh;
    if (ReadDword(key, "HexFindFlags", &v)) s_findFlags = (DWORD)v;
    if (ReadDword(key, "AddressLength", &v)) digits = v < 0 ? 0 : v > kHexMaxAddressDigits ? kHexMaxAddressDigits : v;
    if (ReadDword(key, "HexFlags", &v)) m_flags = (m_flags & ~kLoadedFlagBits) | ((DWORD)v & kLoadedFlagBits);
    m_flags |= kHexViewRelayout;
    key.CloseAll();
    SetFormat(-1, -1, insertSpace, digits, outputFormat, invert);
  }
  char program[512];
  if (SettingsPath(program, sizeof program, nullptr)) {
    LoadStyle(program, TRUE);
    LoadStyle(program, FALSE);
  }
  return 1;
}

int CHexView::SaveSettings(const char* name) {
  char path[512];
  if (!SettingsPath(path, sizeof path, name)) return 0;
  CRegKeyStack key;
  if (!key.Create(HKEY_CURRENT_USER, path, REGKS_CREATE)) return 0;
  if (s_findHistory) key.SetMultiString(s_findHistory, "HexFind");
  if (s_groupList) key.SetMultiString(s_groupList, "HexGroup");
  const struct {
    const char* name;
    DWORD value;
  } values[] = {
      {"InsertSpace", m_layout.insertSpace ? 1u : 0u},
      {"ExtraSpace", (DWORD)m_extraSpaceSetting},
      {"LineWidth", (DWORD)m_lineWidthSetting},
      {"Raster", (DWORD)m_rasterSetting},
      {"WidthRaster", (DWORD)m_widthRasterSetting},
      {"InvertBytes", (DWORD)m_layout.invertMask},
      {"OutputFormat", (DWORD)m_layout.groupShift},
      {"SelectionRaster", (DWORD)m_selectionRaster},
      {"StatusbarMode", m_statusFlags & ~kHexStatusRefresh},
      {"HexFindFlags", s_findFlags},
      {"AddressLength", (DWORD)m_layout.addressDigits},
      {"HexFlags", m_flags},
  };
  for (const auto& v : values) key.SetValue(&v.value, sizeof v.value, v.name, REG_DWORD);
  return 1;
}

int CHexView::SetDisplayFlags(int widthRaster, int raster, int statusbarMode, int selectionRaster) {
  const DWORD oldFlags = m_flags;
  if (widthRaster > 0) {
    if (widthRaster > kHexMaxBytesPerLine) widthRaster = kHexMaxBytesPerLine;
    m_widthRaster = m_widthRasterSetting = widthRaster;
    if (m_layout.bytesPerLine % widthRaster) m_flags |= kHexViewRelayout;
    m_flags |= kHexViewAutoWidth | kHexViewWidthRaster;
  } else if (widthRaster < 0) {
    const int width = -widthRaster > kHexMaxBytesPerLine ? kHexMaxBytesPerLine : -widthRaster;
    if (width != m_lineWidthSetting) m_flags |= kHexViewRelayout;
    m_lineWidthSetting = width;
    m_flags &= ~(kHexViewAutoWidth | kHexViewWidthRaster);
  } else {
    m_widthRaster = m_widthRasterSetting = 1;
    m_flags = (m_flags | kHexViewAutoWidth) & ~kHexViewWidthRaster;
  }
  if (raster < 1) {
    m_flags &= ~kHexViewRasterScroll;
    m_raster = m_rasterSetting = 1;
  } else {
    if (raster != m_raster) m_flags |= kHexViewRelayout;
    m_flags |= kHexViewRasterScroll;
    m_raster = m_rasterSetting = raster;
  }
  if (!(m_statusFlags & 0x80000000u) && (DWORD)statusbarMode != (m_statusFlags & ~kHexStatusRefresh)) {
    m_statusFlags = (DWORD)statusbarMode | kHexStatusRefresh;
    UpdateStatusPanes();
  }
  if (widthRaster >= 0) m_lineWidthSetting = m_layout.bytesPerLine;
  if (selectionRaster >= 0) m_selectionRaster = selectionRaster ? 1 : 0;
  const DWORD changed = (oldFlags ^ m_flags) & (kHexViewAutoWidth | kHexViewWidthRaster);
  if (changed && (m_flags & kHexViewAutoWidth) && m_hWnd)
    OnLayoutChanged(m_visibleColumns, m_visibleLines, 0, 0);
  else
    SetFormat(widthRaster < 0 ? m_lineWidthSetting : -1, -1, -1, -1, -1, -1);
  return m_lineWidthSetting;
}

INT_PTR CHexView::EditSettings() {
  CHexConfigDlg dlg(this);
  dlg.m_bSpace = m_layout.insertSpace ? 1 : 0;
  dlg.m_nExtraInterval = m_extraSpaceSetting;
  dlg.m_bExtra = m_extraSpaceSetting >= 1 && m_extraSpaceSetting <= kHexMaxBytesPerLine;
  dlg.m_nFixedWidth = m_lineWidthSetting;
  dlg.m_bFixed = (m_flags & kHexViewAutoWidth) ? 0 : 1;
  dlg.m_nSnap = m_rasterSetting;
  dlg.m_bSnap = (m_flags & kHexViewRasterScroll) ? 1 : 0;
  dlg.m_nRaster = m_widthRasterSetting;
  dlg.m_bRaster = (m_flags & kHexViewWidthRaster) ? 1 : 0;
  dlg.m_nValueDisplay = (int)(m_statusFlags & ~kHexStatusRefresh);
  dlg.m_nAddrDigits = m_layout.addressDigits;
  dlg.m_bInvertOrder = m_layout.invertMask ? 1 : 0;
  dlg.m_bSnapSelection = m_selectionRaster;
  dlg.m_nOutputFormat = m_layout.groupShift;
  const INT_PTR result = dlg.DoModal();
  if (result != IDOK) return result;
  SetFormat(dlg.m_nFixedWidth, dlg.m_nExtraInterval, dlg.m_bSpace, dlg.m_nAddrDigits, dlg.m_nOutputFormat,
            dlg.m_bInvertOrder);
  SetDisplayFlags(dlg.m_nRaster, dlg.m_nSnap, dlg.m_nValueDisplay, dlg.m_bSnapSelection);
  NotifyHex(kHexNotifyFormat, 0, 0, 0);
  return result;
}
