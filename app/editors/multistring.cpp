// Multi-strings: one row per string in the tree-list choice dialog.
#include <cstring>
#include <memory>

#include "app/editors/valueeditor_internal.h"

#include "controls/dialogs/choicetreelist.h"

std::vector<std::string> SplitMultiString(const char* data, size_t size) {
  std::vector<std::string> strings;
  size_t p = 0;
  while (p < size) {
    size_t rest = p;
    while (rest < size && data[rest] == 0) ++rest;
    if (rest == size) break;  // only the terminators are left
    size_t end = p;
    while (end < size && data[end]) ++end;
    strings.emplace_back(data + p, end - p);
    p = end + 1;
  }
  return strings;
}

std::string JoinMultiString(const std::vector<std::string>& strings) {
  std::string out;
  for (const std::string& s : strings) {
    out += s;
    out += '\0';
  }
  out += '\0';
  return out;
}

int EditMultiStringValue(CWnd* parent, const ValueRef& value) {
  const std::string text = AnsiOfValue(value);
  std::vector<std::string> strings = SplitMultiString(text.data(), text.size());

  CChoiceTreeListDlg dlg(parent);
  dlg.SetTitle(value.Title());
  dlg.SetPrompt("Bitte hier die neuen Texte eingeben :");
  dlg.m_dwMode = kTreeChoiceLinesMode;
  dlg.m_bCancel = TRUE;
  for (const std::string& s : strings) dlg.InsertRow(-1, 0, s.c_str(), FALSE);
  if (dlg.DoModal() != IDOK) return kEditUnchanged;
  std::vector<std::string> rows;
  for (int i = 0;; ++i) {
    const char* text = dlg.GetRowText(i);
    if (!text) break;  // an empty row is an empty string, not the end
    rows.emplace_back(text);
  }
  std::string data = JoinMultiString(rows);
  return WriteValueBytes(value, data.data(), (DWORD)data.size(), REG_MULTI_SZ, false);
}
