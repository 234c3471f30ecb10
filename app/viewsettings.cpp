#include "app/ostrovaview.h"
#include "system/regkeystack.h"

namespace {
struct DwordSetting {
  const char* name;
  int ViewSettings::*field;
};
const DwordSetting kDwordSettings[] = {
    {"FullMark", &ViewSettings::fullMark},     {"ShowCombo", &ViewSettings::showCombo},
    {"Alternate", &ViewSettings::alternate},   {"ShowLines", &ViewSettings::showLines},
    {"HorzSplit", &ViewSettings::horzSplit},   {"SingleWnd", &ViewSettings::singleWnd},
    {"SeparatorX", &ViewSettings::separatorX}, {"SeparatorY", &ViewSettings::separatorY},
};
}  // namespace

void ViewSettings::Load() {
  CRegKeyStack key;
  if (!key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE)) return;
  for (const DwordSetting& s : kDwordSettings) {
    DWORD v = 0;
    if (key.QueryValue(&v, sizeof v, s.name, 0) && key.m_dwType == REG_DWORD && key.m_cbData == sizeof v)
      this->*s.field = (int)v;
  }
  // A stored layout outside the known values shows pane 1 alone.
  if (singleWnd < kBothPanes || singleWnd > kOnlyPane2) singleWnd = kOnlyPane1;
  key.QueryString(lastPath1, "LastPath1");
  key.QueryString(lastPath2, "LastPath2");
}

void ViewSettings::Save() const {
  CRegKeyStack key;
  if (!key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE)) return;
  for (const DwordSetting& s : kDwordSettings) {
    DWORD v = (DWORD)(this->*s.field);
    key.SetValue(&v, sizeof v, s.name, REG_DWORD);
  }
  key.SetString(lastPath1, "LastPath1");
  key.SetString(lastPath2, "LastPath2");
}

DWORD ViewSettings::PaneStyle() const {
  DWORD style = kPaneViewStyle;
  if (fullMark) style |= kPaneFullMark;
  if (showLines) style |= kPaneShowLines;
  if (alternate) style |= kPaneAlternate;
  if (!showCombo) style |= kPaneHideCombo;
  return style;
}
