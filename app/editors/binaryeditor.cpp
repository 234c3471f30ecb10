// The hex editor for any value: the bytes as the registry stores them,
// strings as UTF-16.
#include <memory>

#include "app/editors/hexeditdlg.h"
#include "app/editors/valueeditor_internal.h"
#include "app/regvalues.h"

int EditBinaryValue(CWnd* parent, const ValueRef& value) {
  CRegKeyStack key;
  if (!OpenValueKey(key, value, REGKS_READ)) return kEditFailed;
  BYTE* data = nullptr;
  DWORD type = 0, size = 0;
  LONG err = 0;
  if (value.exact ? ReadExactValue(key.m_hKey, value, &data, &type, &size, &err)
                  : key.QueryValueAllocW(&data, value.Name(), REGKS_SEL_WIDE | REG_BINARY)) {
    if (!value.exact) {
      type = key.m_dwType;
      size = key.m_cbData;
    }
  } else {
    delete[] data;
    if (!value.exact) err = key.m_nLastError;
    if (!(value.isDefault && err == ERROR_FILE_NOT_FOUND)) {
      ShowReadError(value, err);
      return kEditFailed;
    }
    // A missing default value: empty text, still a real block for the view.
    data = new BYTE[4]();
    type = REG_SZ;
    size = 0;
  }
  key.CloseAll();

  CHexEditDlg dlg(parent);
  dlg.Name = value.isDefault ? "" : value.name.GetString();
  dlg.Data = data;  // the dialog frees it when DoModal fails before the view took it
  dlg.Length = (int)size;
  dlg.TypeName = GetRegTypeName(type, 1);
  if (dlg.DoModal() != IDOK) return kEditUnchanged;
  std::unique_ptr<BYTE[]> result(dlg.Data);
  dlg.Data = nullptr;
  if (!dlg.Changed) return kEditUnchanged;
  return WriteValueBytes(value, result.get(), (DWORD)dlg.Length, type, true);
}
