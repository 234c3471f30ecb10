#include "app/editors/valueeditor.h"

#include <cstring>
#include <memory>

#include "app/regnames.h"
#include "app/regvalues.h"
#include "app/editors/valueeditor_internal.h"
#include "ui/dialogs/textprompt.h"
#include "ui/errorbox.h"
#include "viewers/tools/numconvertdlg.h"

const char kRegPathOpenError[] = "Der Registry-Pfad konnte nicht geöffnet werden !";
const char kRegValueReadError[] = "Der Registry-Wert konnte nicht gelesen werden !";
const char kRegValueWriteError[] = "Der Registry-Wert konnte nicht geschrieben werden !";

namespace {

const char kTextPrompt[] = "Bitte hier den neunen Text eingeben :";

// A string whose text the prompt would change (characters outside the code
// page, an inner NUL before more text) goes to the hex editor instead.
bool StringFitsPrompt(const ValueRef& value, bool multi) {
  const size_t size = value.bytes.size();
  if (size % 2) return false;
  const WCHAR* text = (const WCHAR*)value.bytes.data();
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

void ShowEditError(const char* text, LONG code) { ShowWin32Error(text, (DWORD)code); }

LONG OpenValueKeyQuietly(CRegKeyStack& key, const ValueRef& value, DWORD mode) {
  HKEY root = value.root;
  const char* sub = value.path;
  if (!root) sub += ParseRegRootName(&root, sub);
  HKEY exact = nullptr;
  if (!IsMarkedRegText(sub)) {
    if (key.Open(value.root, value.path, mode | KEY_WOW64_64KEY)) return ERROR_SUCCESS;
    // The key object keeps its own code for a failed open: the system's
    // tells a key that is gone.
    LONG err = RegOpenKeyExA(root, sub, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &exact);
    if (err != ERROR_SUCCESS) return err;
    RegCloseKey(exact);
    return key.m_nLastError;
  }
  // A path that the code page cannot carry: opened by its exact names and
  // handed to the key object as its root.
  LONG err = OpenRegKeyByText(root, sub, (mode == REGKS_READ ? KEY_READ : KEY_ALL_ACCESS) | KEY_WOW64_64KEY, &exact);
  if (err != ERROR_SUCCESS) return err;
  bool ok = key.Open(exact, "", mode | KEY_WOW64_64KEY);
  RegCloseKey(exact);
  return ok ? ERROR_SUCCESS : key.m_nLastError;
}

bool OpenValueKey(CRegKeyStack& key, const ValueRef& value, DWORD mode) {
  LONG err = OpenValueKeyQuietly(key, value, mode);
  if (err == ERROR_SUCCESS) return true;
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_KEY_DELETED) {
    value.vanished = true;
    ShowEditError((CString(kRegPathOpenError) + kRegKeyGoneText).GetString(), err);
  } else {
    ShowEditError(kRegPathOpenError, err);
  }
  return false;
}

void ShowReadError(const ValueRef& value, LONG code) {
  if (code == ERROR_FILE_NOT_FOUND && !value.isDefault) {
    value.vanished = true;
    ShowEditError((CString(kRegValueReadError) + kRegValueGoneText).GetString(), code);
    return;
  }
  ShowEditError(kRegValueReadError, code);
}

std::string AnsiOfValue(const ValueRef& value) {
  const size_t count = value.bytes.size() / 2;
  if (count == 0) return std::string();
  const WCHAR* text = (const WCHAR*)value.bytes.data();
  int n = WideCharToMultiByte(CP_ACP, 0, text, (int)count, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out((size_t)n, '\0');
  WideCharToMultiByte(CP_ACP, 0, text, (int)count, &out[0], n, nullptr, nullptr);
  return out;
}

namespace {

// A value that another program deleted while its editor was open is not
// made again; the default value may be new.
bool StillThere(CRegKeyStack& key, const ValueRef& value) {
  if (value.isDefault) return true;
  DWORD size = 0;
  LONG err = value.exact ? RegQueryValueExW(key.m_hKey, value.WideName(), nullptr, nullptr, nullptr, &size)
                         : RegQueryValueExA(key.m_hKey, value.Name(), nullptr, nullptr, nullptr, &size);
  return err == ERROR_SUCCESS || err == ERROR_MORE_DATA;
}

}  // namespace

int WriteValueBytes(const ValueRef& value, const void* data, DWORD size, DWORD type, bool wide) {
  CRegKeyStack key;
  if (!OpenValueKey(key, value, REGKS_WRITE)) return kEditFailed;
  if (!StillThere(key, value)) {
    value.vanished = true;
    ShowEditError((CString(kRegValueWriteError) + kRegValueGoneText).GetString(), ERROR_FILE_NOT_FOUND);
    return kEditFailed;
  }
  static const BYTE kNoData = 0;
  if (!data) data = &kNoData;
  bool ok;
  if (value.exact) {
    // Two bytes that are not zero behind the data: the system would take a
    // zero there for a string's missing terminator and store it too.
    std::unique_ptr<BYTE[]> padded(new BYTE[size + 2]);
    std::memcpy(padded.get(), data, size);
    padded[size] = padded[size + 1] = 0xFF;
    LONG err = RegSetValueExW(key.m_hKey, value.WideName(), 0, type, padded.get(), size);
    key.m_nLastError = err;
    ok = err == ERROR_SUCCESS;
  } else if (type & REGKS_SEL_MASK) {
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

namespace {

// Reads an exact value whole through the 16-bit call; false with the error
// in *error. The block has two spare bytes.
bool ReadExactValue(HKEY key, const ValueRef& value, BYTE** data, DWORD* type, DWORD* size, LONG* error) {
  *data = nullptr;
  DWORD need = 0;
  LONG err = RegQueryValueExW(key, value.WideName(), nullptr, type, nullptr, &need);
  if (err == ERROR_SUCCESS) {
    *data = new BYTE[need + 2]();
    *size = need;
    err = RegQueryValueExW(key, value.WideName(), nullptr, type, *data, size);
  }
  if (err == ERROR_SUCCESS) return true;
  delete[] * data;
  *data = nullptr;
  *error = err;
  return false;
}

// Reads the value whole into the record, once for the whole edit: its type
// and its bytes through the 16-bit interface. False after the one message.
bool ReadValue(ValueRef& value) {
  CRegKeyStack key;
  if (!OpenValueKey(key, value, REGKS_READ)) return false;
  BYTE* raw = nullptr;
  DWORD type = 0, size = 0;
  LONG err = 0;
  bool ok;
  if (value.exact) {
    ok = ReadExactValue(key.m_hKey, value, &raw, &type, &size, &err);
  } else {
    ok = key.QueryValueAllocW(&raw, value.Name(), REGKS_SEL_WIDE | REG_BINARY);
    type = key.m_dwType;
    size = key.m_cbData;
    err = key.m_nLastError;
  }
  std::unique_ptr<BYTE[]> hold(raw);
  if (ok) {
    value.type = type;
    value.bytes.assign(raw, raw + size);
    return true;
  }
  if (value.isDefault && err == ERROR_FILE_NOT_FOUND) {
    value.type = REG_SZ;  // a missing default value starts as empty text
    value.bytes.clear();
    return true;
  }
  ShowReadError(value, err);
  return false;
}

int EditValue(CWnd* parent, ValueRef& value, bool forceBinary) {
  // The key object keeps this much of a name; a longer one would reach a
  // value that merely starts like it.
  if (!value.exact && !value.isDefault && (DWORD)value.name.GetLength() >= CRegKeyStack::kMaxName) {
    ShowEditError(kRegValueReadError, ERROR_FILENAME_EXCED_RANGE);
    return kEditFailed;
  }
  if (!ReadValue(value)) return kEditFailed;
  if (forceBinary) return EditBinaryValue(parent, value);

  const DWORD type = value.type, size = (DWORD)value.bytes.size();
  // Zero-filled, so that a short DWORD or QWORD reads as its bytes and zeros.
  BYTE number[8] = {};
  if (size) std::memcpy(number, value.bytes.data(), size < 8 ? size : 8);
  switch (type) {
    case REG_DWORD:
      // A longer one would lose its further bytes.
      if (size > 4) break;
      return EditWithConverter(parent, value, number, type);
    case REG_QWORD:
      if (size > 8) break;
      return EditWithConverter(parent, value, number, type);
    case REG_SZ:
    case REG_EXPAND_SZ:
      // A name the code page cannot carry: the text only in the hex editor.
      // A text that fits has one byte per character in the code page.
      if (value.exact || !StringFitsPrompt(value, false) || size / 2 >= kPromptMaxBytes) break;
      return EditWithPrompt(parent, value, AnsiOfValue(value).c_str(), type);
    case REG_MULTI_SZ:
      if (value.exact || !StringFitsPrompt(value, true)) break;
      return EditMultiStringValue(parent, value);
  }
  return EditBinaryValue(parent, value);
}

}  // namespace

int EditRegistryValue(CWnd* parent, HKEY root, const char* path, const char* name, bool isDefault, bool forceBinary) {
  ValueRef value;
  value.root = root;
  value.path = path ? path : "";
  value.isDefault = isDefault;
  value.name = isDefault || !name ? "" : name;
  value.exact = !isDefault && IsMarkedRegText(value.name);
  if (value.exact) value.wideName = RegTextToWide(value.name);
  int result = EditValue(parent, value, forceBinary);
  return result == kEditFailed && value.vanished ? kEditGone : result;
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
