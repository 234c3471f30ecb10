#include "app/regfile/regeditrun.h"

#include <string>

#include "app/regfile/regfilereader.h"
#include "app/regfile/regfilewriter.h"
#include "system/pathtype.h"
#include "system/regkeystack.h"
#include "system/spawnprocess.h"
#include "system/sysqueries.h"

namespace {
const DWORD kProbeWait = 15000;
const char kProbeKey[] = "RegeditProbe";
const char kProbeValue[] = "Imported";
const DWORD kProbeData = 0x4F535452;

volatile LONG s_nImports = -1;    // -1 not asked yet
volatile LONG s_nOwnWriter = -1;  // -1: under Wine

// Whether the own writer exports instead of the system's editor: Wine's
// rewrites irregular values (odd-sized or unterminated text, inner NULs,
// DWORDs of other sizes); elsewhere the scan of the subtree decides. 0, or
// the error that ends the export (names the ANSI format cannot carry).
LONG ChooseWriter(const RegeditRequest& req, int nFormat, bool* pbOwn) {
  LONG own = s_nOwnWriter;
  *pbOwn = own < 0 ? IsWineSystem() : own != 0;
  if (*pbOwn && nFormat == kRegFileUnicode) return ERROR_SUCCESS;
  int flags = 0;
  LONG err = RegFileScan(req.key, &flags, req.cancel);
  if (err != ERROR_SUCCESS) return err;
  // Refused before the file is touched.
  if (nFormat == kRegFileAnsi && (flags & kRegFileNotAnsiName)) return ERROR_NO_UNICODE_TRANSLATION;
  int lost = kRegFileIrregular | (nFormat == kRegFileAnsi ? kRegFileNotAnsiText : 0);
  if (flags & lost) *pbOwn = true;
  return ERROR_SUCCESS;
}

bool FileWrittenSince(const char* pszFile, const FILETIME& start) {
  WIN32_FILE_ATTRIBUTE_DATA fad;
  if (!GetFileAttributesExA(pszFile, GetFileExInfoStandard, &fad)) return false;
  ULARGE_INTEGER written = {{fad.ftLastWriteTime.dwLowDateTime, fad.ftLastWriteTime.dwHighDateTime}};
  ULARGE_INTEGER begun = {{start.dwLowDateTime, start.dwHighDateTime}};
  // File systems that keep times in two-second steps.
  return written.QuadPart + 2 * 10000000ull >= begun.QuadPart;
}

bool StartsWith(const char* pszFile, const std::string& head) {
  HANDLE h = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::string buf(head.size(), '\0');
  DWORD got = 0;
  BOOL ok = ReadFile(h, &buf[0], (DWORD)buf.size(), &got, nullptr);
  CloseHandle(h);
  return ok && got == buf.size() && buf == head;
}

// Runs the program with the arguments hidden and waits; the exit code, or
// INT_MIN when it did not start, INT_MIN + 1 when the wait gave up.
int Spawn(CSpawnProcess& spawn, const char* pszProgram, const char* a, const char* b, const char* c) {
  spawn.Reset(TRUE);
  for (const char* arg : {a, b, c})
    if (arg) spawn.AddArg(arg, (int)strlen(arg));
  spawn.SetShowCmd(SW_HIDE);
  if (!spawn.Start(pszProgram, SPAWN_WAIT | SPAWN_SHOWCMD | SW_HIDE)) return INT_MIN;
  if (GetLastError() == ERROR_TIMEOUT) return INT_MIN + 1;
  return (int)spawn.m_dwExitCode;
}

bool Cancelled(volatile LONG* pCancel) { return pCancel && *pCancel; }

// The probe file: one REG_DWORD into the scratch key.
bool WriteProbeFile(const char* pszFile, const std::string& keyPath) {
  std::string text = "\r\n[HKEY_CURRENT_USER\\" + keyPath + "]\r\n\"" + kProbeValue + "\"=dword:4f535452\r\n\r\n";
  std::string bytes = RegFileHeader(kRegFileUnicode);
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), &wide[0], n);
  bytes.append((const char*)wide.data(), wide.size() * sizeof(wchar_t));
  HANDLE h = CreateFileA(pszFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

void DeleteProbeKey(const std::string& keyPath) {
  RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str());
  RegDeleteKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), KEY_WOW64_64KEY, 0);
}
}  // namespace

bool FindRegeditProgram(char* pszBuf, int nSize) {
  char dir[MAX_PATH];
  for (int i = 0; i < 2; ++i) {
    UINT n = i == 0 ? GetWindowsDirectoryA(dir, MAX_PATH) : GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 13) continue;
    lstrcatA(dir, "\\regedit.exe");
    if (GetPathType(dir) == 1 && lstrlenA(dir) < nSize) {
      lstrcpyA(pszBuf, dir);
      return true;
    }
  }
  return false;
}

void SetRegeditImportsAnswer(int nAnswer) { InterlockedExchange(&s_nImports, nAnswer); }
void SetOwnWriterAnswer(int nAnswer) { InterlockedExchange(&s_nOwnWriter, nAnswer); }

bool RegeditImports(CSpawnProcess& spawn, const char* pszProgram, volatile LONG* pCancel) {
  LONG known = s_nImports;
  if (known >= 0) return known != 0;
  char sub[512];
  BuildAppRegistryPath(sub, sizeof sub, kProbeKey);
  std::string keyPath = sub;
  char dir[MAX_PATH], file[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "reg", 0, file)) return false;
  DeleteProbeKey(keyPath);
  bool imports = false;
  if (WriteProbeFile(file, keyPath)) {
    DWORD oldWait = spawn.m_dwWaitTime;
    spawn.SetWaitTime(kProbeWait);
    int code = Spawn(spawn, pszProgram, "/I", file, nullptr);
    if (code == INT_MIN + 1) spawn.Terminate(1);
    spawn.SetWaitTime(oldWait);
    HKEY hKey = nullptr;
    if (code > INT_MIN + 1 &&
        RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &hKey) == ERROR_SUCCESS) {
      DWORD data = 0, cb = sizeof data, type = 0;
      imports = RegQueryValueExA(hKey, kProbeValue, nullptr, &type, (BYTE*)&data, &cb) == ERROR_SUCCESS &&
                type == REG_DWORD && data == kProbeData;
      RegCloseKey(hKey);
    }
  }
  DeleteFileA(file);
  DeleteProbeKey(keyPath);
  if (!Cancelled(pCancel)) InterlockedExchange(&s_nImports, imports ? 1 : 0);
  return imports;
}

int RunRegeditRequest(CSpawnProcess& spawn, const RegeditRequest& req, LONG* pnError) {
  LONG dummy = 0;
  LONG& error = pnError ? *pnError : dummy;
  error = ERROR_SUCCESS;
  int nLine = 0;
  int& line = req.errorLine ? *req.errorLine : nLine;
  line = 0;
  bool bImport = req.key == nullptr;
  if (bImport && !RegeditImports(spawn, req.program, req.cancel)) {
    if (Cancelled(req.cancel)) return error = ERROR_CANCELLED, 0;
    error = RegFileImport(req.file, &line, req.cancel);
    return error == ERROR_SUCCESS ? 1 : 0;
  }
  // A file cut short or broken imports nothing, also where the system's
  // editor would take what it can read.
  if (bImport && RegFileCheck(req.file, &line) == kRegFileSyntaxError) return error = kRegFileSyntaxError, 0;
  int format = !bImport && lstrcmpiA(req.option, "/A") == 0 ? kRegFileAnsi : kRegFileUnicode;
  if (!bImport) {
    bool bOwn = false;
    error = ChooseWriter(req, format, &bOwn);
    if (error != ERROR_SUCCESS) return 0;
    if (bOwn) {
      error = RegFileExport(req.file, req.key, format, req.cancel);
      return error == ERROR_SUCCESS ? 1 : 0;
    }
  }
  FILETIME start;
  GetSystemTimeAsFileTime(&start);
  int code = Spawn(spawn, req.program, req.option, req.file, req.key);
  if (code == INT_MIN) {
    error = (LONG)GetLastError();
    return -1;
  }
  if (Cancelled(req.cancel)) return error = ERROR_CANCELLED, 0;
  if (code > 0) return 0;
  if (bImport) return 1;
  if (FileWrittenSince(req.file, start) && StartsWith(req.file, RegFileHeader(format))) return 1;
  // The editor did not write it (Wine's knows no "/A"): the own writer does.
  error = RegFileExport(req.file, req.key, format, req.cancel);
  return error == ERROR_SUCCESS ? 1 : 0;
}
