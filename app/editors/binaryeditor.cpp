// The hex editor for any value: the bytes as the registry stores them,
// strings as UTF-16.
#include <cstring>
#include <memory>

#include "app/editors/hexeditdlg.h"
#include "app/editors/valueeditor_internal.h"
#include "app/regvalues.h"

int EditBinaryValue(CWnd* parent, const ValueRef& value) {
  // The dialog's view owns the block and may grow it; spare zeros behind the
  // data as the registry object's reads leave them.
  const size_t size = value.bytes.size();
  BYTE* data = new BYTE[size + 4]();
  if (size) std::memcpy(data, value.bytes.data(), size);

  CHexEditDlg dlg(parent);
  dlg.Name = value.isDefault ? "" : value.name.GetString();
  dlg.Data = data;  // the dialog frees it when DoModal fails before the view took it
  dlg.Length = (int)size;
  dlg.TypeName = GetRegTypeName(value.type, 1);
  if (dlg.DoModal() != IDOK) return kEditUnchanged;
  std::unique_ptr<BYTE[]> result(dlg.Data);
  dlg.Data = nullptr;
  if (!dlg.Changed) return kEditUnchanged;
  return WriteValueBytes(value, result.get(), (DWORD)dlg.Length, value.type, true);
}
