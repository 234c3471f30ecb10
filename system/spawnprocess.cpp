// CSpawnProcess: construction, configuration and the command line.
#include "system/spawnprocess.h"

#include <cstdio>
#include <cstring>

#include "system/pathjoin.h"
#include "system/pathparts.h"
#include "system/pathsearch.h"
#include "system/pathtype.h"
#include "system/programpath.h"
#include "text/charclass.h"
#include "text/strings.h"

namespace {

// The full path of a name into a MAX_PATH buffer; empty text when there is
// none or it does not fit.
void MakeFullPath(const char* name, char* out) {
  DWORD n = GetFullPathNameA(name, MAX_PATH, out, nullptr);
  if (n == 0 || n >= MAX_PATH) out[0] = 0;
}

// "#rest": rest below the program's directory, into a MAX_PATH buffer.
void ProgramRelative(const char* rest, char* out) {
  char dir[MAX_PATH];
  GetProgramDirectory(dir, MAX_PATH);
  if (!JoinPath(-1, out, dir, rest, MAX_PATH)) out[0] = 0;
}

// Writes the stored form of an argument made of three pieces: a blank, the
// pieces in quotes when bQuote, every quote escaped with the backslashes
// before it doubled, and the backslashes before a closing quote doubled, as
// the child's runtime reads them. Only counts when out is null.
int EncodeArg(char* out, const char* const* ppch, const int* pn, bool bQuote) {
  int len = 0;
  auto put = [&](char c) {
    if (out) out[len] = c;
    ++len;
  };
  put(' ');
  if (bQuote) put('"');
  int nSlashes = 0;
  for (int k = 0; k < 3; ++k) {
    for (int i = 0; i < pn[k]; ++i) {
      char c = ppch[k][i];
      if (c == '"') {
        for (int j = 0; j <= nSlashes; ++j) put('\\');
        nSlashes = 0;
      } else {
        nSlashes = c == '\\' ? nSlashes + 1 : 0;
      }
      put(c);
    }
  }
  if (bQuote) {
    for (; nSlashes > 0; --nSlashes) put('\\');
    put('"');
  }
  return len;
}

char* Append(char* p, const char* text, int n) {
  std::memcpy(p, text, n);
  return p + n;
}

}  // namespace

CSpawnProcess::CSpawnProcess()
    : m_dwWaitTime(INFINITE),
      m_bCancel(0),
      m_bRunning(0),
      m_nArgChars(0),
      m_nArgs(0),
      m_pdwProcessId(nullptr),
      m_dwExitCode(0),
      m_hMainWnd(nullptr),
      m_pEnvBlock(nullptr),
      m_hCancelEvent(nullptr) {
  std::memset(m_pszArgs, 0, sizeof m_pszArgs);
  m_szProgram[0] = 0;
  m_szWorkDir[0] = 0;
  for (StdStream& s : m_Std) s = {-1, -1, nullptr};
  std::memset(m_pfnClose, 0, sizeof m_pfnClose);
  std::memset(&m_pi, 0, sizeof m_pi);
  std::memset(&m_si, 0, sizeof m_si);
  m_si.cb = sizeof m_si;
  m_si.hStdInput = m_si.hStdOutput = m_si.hStdError = INVALID_HANDLE_VALUE;
  InitializeCriticalSection(&m_csProcess);
}

CSpawnProcess::CSpawnProcess(const char* pszProgram) : CSpawnProcess() { SetProgram(pszProgram); }

CSpawnProcess::~CSpawnProcess() {
  m_bRunning = 0;
  ClosePipes(7);
  for (StdStream& s : m_Std) {  // the connect events of pipes the caller owns
    if (s.hConnect) CloseHandle(s.hConnect);
  }
  FreeArgs();
  CloseProcess(false);
  if (m_hCancelEvent) CloseHandle(m_hCancelEvent);
  delete[] m_pEnvBlock;
  DeleteCriticalSection(&m_csProcess);
}

void CSpawnProcess::FreeArgs() {
  for (int i = 0; i < m_nArgs; ++i) {
    delete[] m_pszArgs[i];
    m_pszArgs[i] = nullptr;
  }
  m_nArgs = 0;
  m_nArgChars = 0;
}

void CSpawnProcess::Reset(BOOL bClosePipes) {
  if (bClosePipes) {
    m_si.dwFlags &= ~STARTF_USESTDHANDLES;
    ClosePipes(7);
  }
  FreeArgs();
  CloseProcess(false);
  delete[] m_pEnvBlock;
  m_pEnvBlock = nullptr;
  m_dwExitCode = 0;
  m_hMainWnd = nullptr;
  m_bRunning = 0;
  m_bCancel = 0;
}

const char* CSpawnProcess::SetProgram(const char* pszName) {
  char buf[MAX_PATH];
  switch (pszName[0]) {
    case '#':
      ProgramRelative(pszName + 1, buf);
      MakeFullPath(buf, m_szProgram);
      break;
    case '*': {
      const char* rest = pszName + 1;
      int nExt;
      FindExtension(-1, rest, &nExt);
      bool bFound = SearchPathList(buf, rest, MAX_PATH, nExt ? nullptr : "exe;bat;com") > 0;
      MakeFullPath(bFound ? buf : rest, m_szProgram);
      break;
    }
    case '?':
      CopyBoundedA(m_szProgram, pszName + 1, MAX_PATH);
      break;
    default:
      MakeFullPath(pszName, m_szProgram);
  }
  return m_szProgram;
}

const char* CSpawnProcess::SetWorkDir(const char* pszPath) {
  char buf[MAX_PATH];
  const char* source = pszPath;
  if (pszPath[0] == '#') {
    ProgramRelative(pszPath + 1, buf);
    source = buf;
  } else if (GetPathType(pszPath) == PATHTYPE_FILE) {
    GetFullDirectory(buf, pszPath, MAX_PATH);
    source = buf;
  }
  MakeFullPath(source, m_szWorkDir);
  RemoveTrailingBackslash(m_szWorkDir);
  return m_szWorkDir;
}

const char* CSpawnProcess::SetWorkDirN(const char* pchPath, int nLength) {
  char buf[MAX_PATH];
  CopyBoundedCountA(buf, pchPath, MAX_PATH, nLength < 0 ? 0 : nLength);
  return SetWorkDir(buf);
}

int CSpawnProcess::StoreArg(const char* const* ppch, const int* pn) {
  if (m_nArgs >= MAX_ARGS) return -1;
  bool bQuote = false;
  for (int k = 0; k < 3; ++k)
    if (pn[k] > 0 && SpanNotClassNA(ppch[k], CC_TABSPACE, pn[k]) < pn[k]) bQuote = true;
  int len = EncodeArg(nullptr, ppch, pn, bQuote);
  char* arg = new char[len + 1];
  EncodeArg(arg, ppch, pn, bQuote);
  arg[len] = 0;
  m_pszArgs[m_nArgs] = arg;
  m_nArgChars += len;
  return m_nArgs++;
}

int CSpawnProcess::AddArg(const char* pchText, int nLength) {
  if (nLength < 1) return -1;
  const char* pieces[3] = {pchText, "", ""};
  const int lengths[3] = {nLength, 0, 0};
  return StoreArg(pieces, lengths);
}

int CSpawnProcess::AddArgParts(const char* pchText, int nLength, const char* pchPrefix, int nPrefixLength,
                               const char* pchSuffix, int nSuffixLength) {
  if (nLength < 1 || nPrefixLength < 0 || nSuffixLength < 0) return -1;
  const char* pieces[3] = {pchPrefix, pchText, pchSuffix};
  const int lengths[3] = {nPrefixLength, nLength, nSuffixLength};
  return StoreArg(pieces, lengths);
}

// Stores the parts of a command-line text. A formatted text is
// NUL-terminated, lets an unclosed quote run to its end, and ends the call
// at the first part that cannot be stored.
int CSpawnProcess::SplitArgs(const char* pchText, int nLength, bool bFormatted) {
  int first = -1;
  for (int i = 0; i < nLength;) {
    i += SpanClassNA(pchText + i, CC_TABSPACE, nLength - i);
    if (i >= nLength || !pchText[i]) break;
    int start, end;
    if (pchText[i] == '"') {
      if (!bFormatted && nLength - i < 3) break;
      start = i + 1;
      end = start + FindCharNA(pchText + start, '"', nLength - start);
      i = (end < nLength && pchText[end] == '"') ? end + 1 : end;
    } else {
      start = i;
      end = i + SpanNotClassNA(pchText + i, CC_TABSPACE, nLength - i);
      i = end;
    }
    if (end > start) {
      int index = AddArg(pchText + start, end - start);
      if (index < 0 && bFormatted) return -1;
      if (first < 0) first = index;
    }
  }
  return first;
}

int CSpawnProcess::AddArgLine(const char* pchText, int nLength) {
  if (nLength < 0) nLength = (int)std::strlen(pchText);
  if (nLength < 1 || m_nArgs >= MAX_ARGS) return -1;
  return SplitArgs(pchText, nLength, false);
}

int CSpawnProcess::AddArgsF(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  int index = AddArgsV(pszFormat, args);
  va_end(args);
  return index;
}

int CSpawnProcess::AddArgsV(const char* pszFormat, va_list args) {
  char buf[2048];
  int n = std::vsnprintf(buf, sizeof buf, pszFormat, args);
  if (n < 0 || n >= (int)sizeof buf) return -1;  // refused rather than cut
  return SplitArgs(buf, n, true);
}

void CSpawnProcess::SetShowCmd(int nCmdShow) {
  m_si.dwFlags |= STARTF_USESHOWWINDOW;
  m_si.wShowWindow = (WORD)(nCmdShow & SPAWN_SHOWCMD_MASK);
}

RECT CSpawnProcess::SetWindowRect(const RECT& rc) {
  m_si.dwFlags |= STARTF_USEPOSITION | STARTF_USESIZE;
  m_si.dwX = rc.left;
  m_si.dwY = rc.top;
  m_si.dwXSize = rc.right - rc.left;
  m_si.dwYSize = rc.bottom - rc.top;
  return rc;
}

void CSpawnProcess::SetEnv(const char* pszName, const char* pszValue) {
  char* pSystem = nullptr;
  const char* source = m_pEnvBlock;
  if (!source) source = pSystem = GetEnvironmentStringsA();
  if (!source) source = "";
  int nName = (int)std::strlen(pszName), nValue = (int)std::strlen(pszValue);
  auto matches = [&](const char* entry, int n) {
    return n > nName && entry[nName] == '=' && _strnicmp(entry, pszName, nName) == 0;
  };
  size_t kept = 0;
  for (const char* e = source; *e; e += std::strlen(e) + 1) {
    int n = (int)std::strlen(e);
    if (!matches(e, n)) kept += n + 1;
  }
  char* block = new char[kept + nName + nValue + 3];
  char* p = block;
  for (const char* e = source; *e; e += std::strlen(e) + 1) {
    int n = (int)std::strlen(e);
    if (!matches(e, n)) p = Append(p, e, n + 1);
  }
  p = Append(p, pszName, nName);
  *p++ = '=';
  p = Append(p, pszValue, nValue + 1);
  *p = 0;
  if (pSystem) FreeEnvironmentStringsA(pSystem);
  delete[] m_pEnvBlock;
  m_pEnvBlock = block;
}

void CSpawnProcess::SetEnvInt(const char* pszName, int nValue) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", nValue);
  SetEnv(pszName, text);
}

void CSpawnProcess::SetEnvBlock(char* pEnvBlock) {
  delete[] m_pEnvBlock;
  m_pEnvBlock = pEnvBlock;
}

int CSpawnProcess::GetInterpreterPath(char* pszBuffer, int nSize) {
  static const char kRootCommand[] = "C:\\COMMAND.COM";
  if (GetPathType(kRootCommand) == PATHTYPE_FILE) return CopyBoundedA(pszBuffer, kRootCommand, nSize);
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n >= MAX_PATH) n = 0;
  CopyBoundedA(path + n, "\\CMD.EXE", MAX_PATH - n);
  if (GetPathType(path) != PATHTYPE_FILE) CopyBoundedA(path + n, "\\COMMAND.COM", MAX_PATH - n);
  return CopyBoundedA(pszBuffer, path, nSize);
}

char* CSpawnProcess::MakeCommandLine(DWORD dwFlags, char* pszApplication) const {
  bool bInterpreter = (dwFlags & SPAWN_INTERPRETER) || FindExtensionInList(m_szProgram, "BAT;CMD") > 0;
  int nProgram = (int)std::strlen(m_szProgram);
  int nSize = nProgram + 4 + m_nArgChars;
  // The interpreter strips the first and the last quote after " /C " when
  // there are more than two: one more pair keeps quoted arguments intact.
  bool bWrap = false;
  int nApp = 0;
  if (bInterpreter) {
    nApp = GetInterpreterPath(pszApplication, MAX_PATH);
    for (int i = 0; i < m_nArgs && !bWrap; ++i) bWrap = m_pszArgs[i][FindCharA(m_pszArgs[i], '"')] != 0;
    nSize += nApp + 6 + (bWrap ? 2 : 0);
  } else {
    CopyBoundedA(pszApplication, m_szProgram, MAX_PATH);
  }

  char* line = new char[nSize];
  char* p = line;
  if (bInterpreter) {
    *p++ = '"';
    p = Append(p, pszApplication, nApp);
    p = Append(p, "\"  /C ", 6);
    if (bWrap) *p++ = '"';
    *p++ = '"';
    p = Append(p, m_szProgram, nProgram);
    *p++ = '"';
  } else {
    *p++ = '"';
    p = Append(p, m_szProgram, nProgram);
    p = Append(p, "\" ", 2);
  }
  for (int i = 0; i < m_nArgs; ++i) p = Append(p, m_pszArgs[i], (int)std::strlen(m_pszArgs[i]));
  if (bWrap) *p++ = '"';
  *p = 0;
  return line;
}
