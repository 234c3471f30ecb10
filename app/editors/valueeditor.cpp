#include "app/editors/valueeditor.h"

#include <cstring>
#include <memory>

#include "app/editors/valueeditor_internal.h"
#include "app/ostrovaview.h"
#include "ui/dialogs/textprompt.h"
#include "viewers/tools/numconvertdlg.h"

const char kRegPathOpenError[] = "Der Registry-Pfad konnte nicht geöffnet werden !";
const char kRegValueReadError[] = "Der Registry-Wert konnte nicht gelesen werden !";
const char kRegValueWriteError[] = "Der Registry-Wert konnte nicht geschrieben werden !";

namespace {

const char kTextPrompt[] = "Bitte hier den neunen Text eingeben :";

// A string whose text the prompt would change (characters outside the code
// page, an inner NUL before more text) goes to the hex editor instead.
bool StringFitsPrompt(const ValueRef& value, bool multi) {
  CRegKeyStack key;
  if (!key.Open(value.root, value.path, REGKS_READ | KEY_WOW64_64KEY)) return false;
  BYTE* raw = nullptr;
  if (!key.QueryValueAllocW(&raw, value.Name(), REGKS_SEL_WIDE | REG_SZ)) {
    delete[] raw;
    // Nothing there (a missing default value) is empty text.
    return key.m_nLastError == ERROR_FILE_NOT_FOUND && value.isDefault;
  }
  std::unique_ptr<BYTE[]> hold(raw);
  DWORD size = key.m_cbData;
  if (size % 2) return false;
  const WCHAR* text = (const WCHAR*)raw;
  size_t count = size / 2;
  if (!multi) {
    size_t n = 0;
    while (n < count && text[n]) ++n;
    for (size_t i = n; i < count; ++i)
      if (text[i]) return false;
  }
  return WideFitsAnsi(text, count);
}

int EditWithPrompt(CWnd* parent, const ValueRef& value, const char* text, DWORD type) {
  CTextPromptDlg dlg(parent);
  dlg.SetTitle(value.Title());
  dlg.SetPrompt(kTextPrompt);
  dlg.SetText(text);
  if (dlg.DoModal() != IDOK) return kEditUnchanged;
  // The whole entry, not a buffer's worth of it.
  const CString& entered = dlg.GetText();
  return WriteValueBytes(value, entered.GetString(), (DWORD)entered.GetLength() + 1, type, false);
}

int EditWithConverter(CWnd* parent, const ValueRef& value, const BYTE* data, DWORD type) {
  CNumConvertDlg dlg(parent);
  CString title = value.Title();
  dlg.m_pszTitle = title;
  dlg.m_bEdit = 1;
  bool wide = type == REG_QWORD;
  dlg.m_b64Bit = wide ? 1 : 0;
  std::memcpy(&dlg.m_nValue, data, 4);
  std::memcpy(&dlg.m_nValue64, data, 8);
  if (dlg.DoModal() != IDOK) return kEditUnchanged;
  if (wide) return WriteValueBytes(value, &dlg.m_nValue64, 8, type, false);
  return WriteValueBytes(value, &dlg.m_nValue, 4, type, false);
}

}  // namespace

CString ValueRef::Title() const {
  if (isDefault) return CString("Bearbeite Wert");
  CString title;
  title.Format("Bearbeite  '%s'", name.GetString());
  return title;
}

void ShowEditError(const char* text, LONG code) { COstrovaView::ShowError(text, (DWORD)code); }

bool OpenValueKey(CRegKeyStack& key, const ValueRef& value, DWORD mode) {
  if (key.Open(value.root, value.path, mode | KEY_WOW64_64KEY)) return true;
  ShowEditError(kRegPathOpenError, key.m_nLastError);
  return false;
}

int WriteValueBytes(const ValueRef& value, const void* data, DWORD size, DWORD type, bool wide) {
  CRegKeyStack key;
  if (!OpenValueKey(key, value, REGKS_WRITE)) return kEditFailed;
  static const BYTE kNoData = 0;
  if (!data) data = &kNoData;
  bool ok;
  if (type & REGKS_SEL_MASK) {
    // Bits 28-29 of such a type would be read as the interface selector.
    WCHAR wname[CRegKeyStack::kMaxName] = {};
    if (!value.isDefault) MultiByteToWideChar(CP_ACP, 0, value.name, -1, wname, CRegKeyStack::kMaxName);
    LONG err = RegSetValueExW(key.m_hKey, value.isDefault ? nullptr : wname, 0, type, (const BYTE*)data, size);
    key.m_nLastError = err;
    ok = err == ERROR_SUCCESS;
  } else if (wide) {
    ok = key.SetValueW(data, size, value.Name(), type | REGKS_SEL_WIDE);
  } else {
    ok = key.SetValue(data, size, value.Name(), type);
  }
  if (ok) return kEditWritten;
  ShowEditError(kRegValueWriteError, key.m_nLastError);
  return kEditFailed;
}

int EditRegistryValue(CWnd* parent, HKEY root, const char* path, const char* name, bool isDefault, bool forceBinary) {
  ValueRef value;
  value.root = root;
  value.path = path ? path : "";
  value.isDefault = isDefault;
  value.name = isDefault || !name ? "" : name;
  // The key object keeps this much of a name; a longer one would reach a
  // value that merely starts like it.
  if (!isDefault && (DWORD)value.name.GetLength() >= CRegKeyStack::kMaxName) {
    ShowEditError(kRegValueReadError, ERROR_FILENAME_EXCED_RANGE);
    return kEditFailed;
  }
  if (forceBinary) return EditBinaryValue(parent, value);

  CRegKeyStack key;
  if (!OpenValueKey(key, value, REGKS_READ)) return kEditFailed;
  // Zero-filled, so that a short DWORD or QWORD reads as its bytes and zeros.
  BYTE buffer[kFirstReadBytes + 8] = {};
  bool ok = key.QueryValue(buffer, kFirstReadBytes, value.Name(), REG_BINARY);
  LONG err = key.m_nLastError;
  DWORD type = key.m_dwType, size = key.m_cbData;
  bool tooLong = !ok && err == ERROR_MORE_DATA;
  if (tooLong) {
    // The failed read left no size; ask again.
    if (key.QueryValueSize(value.Name()) < 0) {
      ShowEditError(kRegValueReadError, key.m_nLastError);
      return kEditFailed;
    }
    type = key.m_dwType;
    size = key.m_cbData;
  } else if (!ok) {
    if (!(isDefault && err == ERROR_FILE_NOT_FOUND)) {
      ShowEditError(kRegValueReadError, err);
      return kEditFailed;
    }
    type = REG_SZ;  // a missing default value starts as empty text
    size = 0;
    std::memset(buffer, 0, sizeof buffer);
  }
  key.CloseAll();

  if (tooLong && type != REG_MULTI_SZ) return EditBinaryValue(parent, value);
  switch (type) {
    case REG_DWORD:
      // A longer one would lose its further bytes.
      if (size > 4) break;
      return EditWithConverter(parent, value, buffer, type);
    case REG_QWORD:
      if (size > 8) break;
      return EditWithConverter(parent, value, buffer, type);
    case REG_SZ:
    case REG_EXPAND_SZ:
      if (size >= kPromptMaxBytes || !StringFitsPrompt(value, false)) break;
      buffer[size] = 0;
      return EditWithPrompt(parent, value, (const char*)buffer, type);
    case REG_MULTI_SZ:
      if (!StringFitsPrompt(value, true)) break;
      return EditMultiStringValue(parent, value);
  }
  return EditBinaryValue(parent, value);
}

bool WideFitsAnsi(const WCHAR* text, size_t count) {
  if (count == 0) return true;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, (int)count, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  std::unique_ptr<char[]> ansi(new char[n]);
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, (int)count, ansi.get(), n, nullptr, &usedDefault);
  if (usedDefault) return false;
  int back = MultiByteToWideChar(CP_ACP, 0, ansi.get(), n, nullptr, 0);
  if (back != (int)count) return false;
  std::unique_ptr<WCHAR[]> wide(new WCHAR[back]);
  MultiByteToWideChar(CP_ACP, 0, ansi.get(), n, wide.get(), back);
  return std::memcmp(wide.get(), text, count * sizeof(WCHAR)) == 0;
}
