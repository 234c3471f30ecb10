// Export and import through the system's registry editor, with the own
// writer and reader standing in where it does not do the work: an export
// counts only when the file was written during the run and starts with the
// header asked for; whether "/I" imports is probed once per process.
#pragma once

#include <windows.h>

class CSpawnProcess;

struct RegeditRequest {
  const char* program = nullptr;  // regedit.exe
  const char* option = nullptr;   // "/E", "/A" or "/I"
  const char* file = nullptr;
  const char* key = nullptr;  // null for an import
  volatile LONG* cancel = nullptr;
  int* errorLine = nullptr;  // out: the line of a file's syntax error, else 0
};

// regedit.exe in the Windows directory, else in the system directory;
// false when neither exists.
bool FindRegeditProgram(char* pszBuf, int nSize);

// An export that the system's editor would not give back byte for byte
// (always under Wine) is written by the own writer; one in the ANSI format
// with a name outside code page 1252 fails with ERROR_NO_UNICODE_TRANSLATION
// before the file is touched.
// 1 when the work is done, 0 when it failed (a positive exit code, an error
// of the own writer or reader, a cancel, a file with a syntax error: that
// is found before anything is imported, whoever imports), -1 when the program could not be
// started. *pnError: the Win32 error of a failure where there is one.
int RunRegeditRequest(CSpawnProcess& spawn, const RegeditRequest& req, LONG* pnError = nullptr);

// Whether "regedit /I" imports: one value into a scratch key below the
// program key, read back and removed. Asked once per process; a probe that
// times out or is cancelled answers no (a cancelled one is asked again).
bool RegeditImports(CSpawnProcess& spawn, const char* pszProgram, volatile LONG* pCancel);
// Test seams: forget the answer; or fix it (-1 asks again).
void SetRegeditImportsAnswer(int nAnswer);
// Test seam: 1 the own writer exports always, 0 as where the system's editor
// keeps regular values (the scan decides), -1 by the system.
void SetOwnWriterAnswer(int nAnswer);
