#include "e2e/driver/soak_rounds.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

#include "e2e/driver/frame_reader.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/pane_reader.h"
#include "e2e/driver/registry_snapshot.h"
#include "res/resource.h"

namespace {
const char kKey[] = "Software\\OstrovaTests\\Soak";
const char kPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\Soak";
const char kSubPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\Soak\\Unter";
const char kExportTitle[] = "Registry-Daten exportieren";
const char kImportTitle[] = "Registry-Daten importieren";
const int kFileNameField = 1148;  // the file-name field of the hooked file dialog
const int kAnsiBox = 1040;        // "ANSI Format benutzen"
const DWORD kWait = 15000;

bool Set(const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, type, data, size) == ERROR_SUCCESS;
}

bool ValueExists(const char* name) {
  return RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void Text(const RegistrySnapshot& snap, const std::string& path, std::string& out) {
  out += "[" + path + "]\n";
  for (const RegistrySnapshot::Value& v : snap.values) {
    out += v.name + "|" + std::to_string(v.type) + "|";
    char hex[4];
    for (BYTE b : v.data) {
      snprintf(hex, sizeof hex, "%02x", b);
      out += hex;
    }
    out += "\n";
  }
  for (const auto& sub : snap.subkeys) Text(sub.second, path + "\\" + sub.first, out);
}

// The path typed into the pane's path bar and confirmed with Return.
bool GoTo(const PaneReader& pane, const std::string& path, const std::string& names) {
  HWND edit = (HWND)SendMessageA(pane.Combo(), CBEM_GETEDITCONTROL, 0, 0);
  SendMessageA(pane.Combo(), WM_SETTEXT, 0, (LPARAM)path.c_str());
  Press(edit, VK_RETURN);
  return WaitUntil([&] { return pane.ComboText() == path && pane.Names() == names; }, kWait);
}

// The entry's row as the caret of the focused list.
bool Choose(const PaneReader& pane, const char* name) {
  int row = pane.RowNamed(name);
  if (row < 0) return false;
  SendMessageA(pane.List(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)pane.RowItem(row));
  FocusIn(pane.List());
  return WaitUntil([&] { return FocusOf(pane.List()) == pane.List(); }, kWait);
}

HWND WaitForWindow(const OstrovaProcess& app, const std::string& title) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = app.Dialog(title)) != nullptr; }, kWait);
  return found;
}

// The edit of the file-name field (the program's own combo box in its place).
HWND FileNameEdit(HWND dlg) {
  HWND field = GetDlgItem(dlg, kFileNameField);
  return field && IsWindowVisible(field) ? FindWindowExA(field, nullptr, "Edit", nullptr) : nullptr;
}

// Names the file in the file dialog of this title and presses OK.
std::string ChooseFile(const OstrovaProcess& app, const char* title, const std::string& file, bool ansi) {
  HWND dlg = nullptr, edit = nullptr;
  if (!WaitUntil([&] { return (dlg = app.Dialog(title)) && (edit = FileNameEdit(dlg)); }, kWait))
    return std::string("no file dialog ") + title;
  if (ansi) {
    HWND box = GetDlgItem(dlg, kAnsiBox);
    PostMessageA(box, BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }, kWait)) return "ANSI box";
  }
  SendMessageA(edit, EM_SETSEL, 0, -1);
  Type(edit, file);
  if (!WaitUntil([&] { return TextOf(edit) == file; }, kWait)) return "file name [" + TextOf(edit) + "]";
  PostMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(dlg); }, kWait)) return std::string("file dialog stays: ") + title;
  return "";
}

// No window of this title (the progress dialog has the file dialog's) and
// the frame enabled again.
bool Idle(const OstrovaProcess& app, const char* title) { return !app.Dialog(title) && IsWindowEnabled(app.Frame()); }

std::string FileHead(const std::string& file) {
  HANDLE h =
      CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "";
  char buf[512];
  DWORD got = 0;
  ReadFile(h, buf, sizeof buf, &got, nullptr);
  CloseHandle(h);
  return std::string(buf, got);
}

bool Shows(HWND pane) { return IsWindowVisible(pane) != FALSE; }
}  // namespace

int GdiObjectCount(HANDLE process) {
  // GetGuiResources answers 0 under Wine; the process's GDI handle table
  // (the PEB's GdiSharedHandleTable) names each object it holds.
  typedef LONG(WINAPI * QueryProcess)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = (QueryProcess)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 || !basic.PebBaseAddress)
    return -1;
  const size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  void* table = nullptr;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, (const char*)basic.PebBaseAddress + kTableOffset, &table, sizeof table, &got) ||
      !table)
    return -1;
  struct Entry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
  };
  static_assert(sizeof(Entry) == 24, "a handle-table entry");
  std::vector<Entry> entries(0x10000);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), &got)) return -1;
  int count = 0;
  for (const Entry& e : entries) count += e.type != 0;
  return count;
}

namespace {
typedef LONG(WINAPI* QuerySystem)(int, void*, ULONG, ULONG*);

// Wine's file dialog opens this key whenever a name is accepted and never
// closes it (comdlg32 of Wine 8): a handle of Wine's, not of the program.
const wchar_t kWineDialogKey[] = L"\\ComDlg32\\LastVisitedMRU";
const BYTE kKeyObjectType = 19;  // Wine's index of the key type

struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  void* object;
  ULONG access;
};

bool IsWineDialogKey(HANDLE process, USHORT value) {
  typedef LONG(WINAPI * QueryObject)(HANDLE, int, void*, ULONG, ULONG*);
  static auto query = (QueryObject)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject");
  const int kObjectNameInformation = 1;
  HANDLE dup = nullptr;
  if (!query ||
      !DuplicateHandle(process, (HANDLE)(ULONG_PTR)value, GetCurrentProcess(), &dup, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  union {
    UNICODE_STRING name;
    BYTE bytes[2048];
  } info = {};
  ULONG size = 0;
  bool wine = false;
  if (query(dup, kObjectNameInformation, &info, sizeof info, &size) == 0 && info.name.Buffer) {
    std::wstring name(info.name.Buffer, info.name.Length / sizeof(wchar_t));
    const size_t n = wcslen(kWineDialogKey);
    wine = name.size() >= n && name.compare(name.size() - n, n, kWineDialogKey) == 0;
  }
  CloseHandle(dup);
  return wine;
}

// The handles a process holds, from the system's list of every open
// handle: GetProcessHandleCount of another process answers 0 under Wine,
// and its process list gives the size of the handle table instead.
bool HandleCount(HANDLE process, DWORD* count) {
  auto query = (QuerySystem)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
  if (!query) return false;
  const int kSystemHandleInformation = 16;
  const LONG kLengthMismatch = (LONG)0xC0000004;
  std::vector<BYTE> buf(1 << 16);
  ULONG size = 0;
  LONG status;
  while ((status = query(kSystemHandleInformation, buf.data(), (ULONG)buf.size(), &size)) == kLengthMismatch)
    buf.resize(buf.size() * 2);
  if (status != 0) return false;
  const ULONG n = *(const ULONG*)buf.data();
  const HandleEntry* entries = (const HandleEntry*)(buf.data() + sizeof(void*));
  const DWORD pid = GetProcessId(process);
  DWORD held = 0;
  for (ULONG i = 0; i < n; ++i)
    if (entries[i].ownerPid == pid &&
        !(entries[i].objectType == kKeyObjectType && IsWineDialogKey(process, entries[i].value)))
      ++held;
  *count = held;
  return true;
}

// The committed private memory of a process, region by region: Wine's
// process memory counters leave the private bytes 0.
SIZE_T CommittedPrivateBytes(HANDLE process) {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = (const char*)info.BaseAddress + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}
}  // namespace

bool ReadProcessFigures(HANDLE process, ProcessFigures* figures) {
  figures->gdiObjects = GdiObjectCount(process);
  if (!HandleCount(process, &figures->handles)) return false;
  PROCESS_MEMORY_COUNTERS_EX memory = {sizeof memory};
  if (!GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&memory, sizeof memory)) return false;
  figures->privateBytes = memory.PrivateUsage ? memory.PrivateUsage : CommittedPrivateBytes(process);
  return figures->handles && figures->privateBytes;
}

bool ReadSettledFigures(const OstrovaProcess& app, ProcessFigures* figures) {
  ProcessFigures last;
  for (int i = 0; i < 10; ++i) {
    if (!Settle(app) || !ReadProcessFigures(app.Process(), figures)) return false;
    if (i > 0 && figures->handles == last.handles && figures->gdiObjects == last.gdiObjects &&
        figures->privateBytes == last.privateBytes)
      return true;
    last = *figures;
  }
  return true;
}

SoakRounds::SoakRounds() {
  DeleteKeyTree(HKEY_CURRENT_USER, kKey);
  Set(kKey, "Text", REG_SZ, "Hallo Welt", 11);
  DWORD dword = 0x12345678;
  Set(kKey, "Zahl", REG_DWORD, &dword, sizeof dword);
  Set(kKey, "Liste", REG_MULTI_SZ, "eins\0\0drei\0", 12);
  const BYTE bytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
  Set(kKey, "Daten", REG_BINARY, bytes, sizeof bytes);
  Set(std::string(kKey) + "\\Unter", "Wert", REG_SZ, "bleibt", 7);
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  m_file = std::string(dir) + "ostrova soak.reg";
}

SoakRounds::~SoakRounds() {
  DeleteKeyTree(HKEY_CURRENT_USER, kKey);
  DeleteFileA(m_file.c_str());
}

std::string SoakRounds::KeyText() const {
  std::string out;
  Text(RegistrySnapshot::Take(HKEY_CURRENT_USER, kKey), kPath, out);
  return out;
}

std::string SoakRounds::Start(OstrovaProcess& app) {
  if (!app.Start(std::string("-1:") + kPath)) return "no start";
  PaneReader pane(app.Process(), app.Pane(0));
  const char names[] = "(Standard),Daten,Liste,Text,Zahl";
  if (!WaitUntil([&] { return pane.ComboText() == kPath && pane.Names() == names; }, kWait))
    return "rows at start: " + pane.Names();
  m_names = names;
  return "";
}

std::string SoakRounds::Round(OstrovaProcess& app, int round) {
  PaneReader pane(app.Process(), app.Pane(0));
  // Navigate: into the subkey and back.
  if (!GoTo(pane, kSubPath, "(Standard),Wert")) return "navigate into: " + pane.ComboText() + " " + pane.Names();
  if (!GoTo(pane, kPath, m_names)) return "navigate back: " + pane.ComboText() + " " + pane.Names();

  // Each value editor opened and cancelled.
  for (const char* name : {"Text", "Zahl", "Liste", "Daten"}) {
    if (!Choose(pane, name)) return std::string("choose ") + name;
    Press(pane.List(), VK_RETURN);
    HWND dlg = WaitForWindow(app, std::string("Bearbeite  '") + name + "'");
    if (!dlg) return std::string("no editor for ") + name;
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    if (!WaitUntil([&] { return !IsWindow(dlg) && IsWindowEnabled(app.Frame()); }, kWait))
      return std::string("editor stays: ") + name;
  }

  // Renamed in place and back.
  const char* names[] = {"Text", "Text umbenannt", "Text"};
  for (int i = 0; i < 2; ++i) {
    if (!Choose(pane, names[i])) return std::string("choose ") + names[i];
    Press(pane.List(), VK_F2);
    HWND edit = nullptr;
    // The last edit's box stays, hidden, until the next one replaces it.
    auto open = [&] {
      edit = (HWND)SendMessageA(pane.List(), TVM_GETEDITCONTROL, 0, 0);
      return edit && IsWindowVisible(edit) && TextOf(edit) == names[i];
    };
    if (!WaitUntil(open, kWait)) return std::string("no rename box for ") + names[i];
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)names[i + 1]);
    Press(edit, VK_RETURN);
    if (!WaitUntil(
            [&] { return ValueExists(names[i + 1]) && !ValueExists(names[i]) && pane.RowNamed(names[i + 1]) >= 0; },
            kWait))
      return std::string("rename to ") + names[i + 1] + ": " + pane.Names();
  }

  // Exported (in turns as ANSI by the program's own writer), one value
  // removed behind the program's back, imported again.
  DeleteFileA(m_file.c_str());
  app.Command(ID_EXPORT);
  std::string failed = ChooseFile(app, kExportTitle, m_file, round % 2 == 1);
  if (!failed.empty()) return "export: " + failed;
  const std::string section = std::string("[") + kPath + "]";
  auto written = [&] {
    std::string head = FileHead(m_file);
    if (head.size() > 2 && head[0] == '\xFF') {  // UTF-16: compare the low bytes
      std::string low;
      for (size_t i = 2; i < head.size(); i += 2) low += head[i];
      head = low;
    }
    return head.find(section) != std::string::npos;
  };
  if (!WaitUntil([&] { return Idle(app, kExportTitle) && written(); }, kWait)) return "export not written";
  if (RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "Zahl") != ERROR_SUCCESS) return "remove Zahl";
  app.Command(ID_IMPORT);
  failed = ChooseFile(app, kImportTitle, m_file, false);
  if (!failed.empty()) return "import: " + failed;
  if (!WaitUntil([&] { return Idle(app, kImportTitle) && ValueExists("Zahl"); }, kWait)) return "import";

  // Layouts: side by side, one above the other, the left pane alone.
  HWND second = app.Pane(1);
  app.Command(ID_SPLIT_VERT);
  if (!WaitUntil([&] { return Shows(second); }, kWait)) return "side by side";
  app.Command(ID_SPLIT_HORZ);
  auto above = [&] {
    RECT a, b;
    GetWindowRect(app.Pane(0), &a);
    GetWindowRect(second, &b);
    return Shows(second) && b.top > a.top;
  };
  if (!WaitUntil(above, kWait)) return "one above the other";
  app.Command(ID_PANE_LEFT);
  if (!WaitUntil([&] { return !Shows(second) && Shows(app.Pane(0)); }, kWait)) return "left pane alone";
  return "";
}
