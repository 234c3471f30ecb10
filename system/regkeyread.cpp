// CRegKeyStack: reading values. The program stores strings without their
// NUL, so the readers add the terminators the caller's type needs.
#include <cstdlib>
#include <cstring>

#include "base/cstring.h"
#include "system/regkeystack.h"

namespace {
bool IsText(DWORD dwType) { return dwType == REG_SZ || dwType == REG_EXPAND_SZ; }

// Interface selector of a type word: 0 the 8-bit functions, 2 the 16-bit
// ones, -1 refused.
int Selector(DWORD dwTypeWord) {
  DWORD sel = dwTypeWord & REGKS_SEL_MASK;
  return sel == REGKS_SEL_MASK ? -1 : sel == REGKS_SEL_WIDE ? 2 : 0;
}
}  // namespace

void CRegKeyStack::SetName(const char* pszName) {
  DWORD n = 0;
  if (pszName)
    while (n < kMaxName && pszName[n]) {
      m_szName[n] = pszName[n];
      ++n;
    }
  m_szName[n] = 0;
  m_nNameLen = n;
}

// The 16-bit functions get the name through the ANSI code page, so that a
// name the 8-bit enumeration listed ("€", "„") reaches the same value.
LONG CRegKeyStack::NameToWide(WCHAR* pwsz) {
  if (m_nNameLen > kMaxName - 1) return ERROR_FILE_NOT_FOUND;
  if (!MultiByteToWideChar(CP_ACP, 0, m_szName, -1, pwsz, kMaxName)) return (LONG)GetLastError();
  return ERROR_SUCCESS;
}

LONG CRegKeyStack::ReadByName(bool bWide, void* pBuf, DWORD* pcb) {
  if (!bWide) return RegQueryValueExA(m_hKey, m_szName, nullptr, &m_dwType, (BYTE*)pBuf, pcb);
  WCHAR wszName[kMaxName];
  LONG nError = NameToWide(wszName);
  if (nError != ERROR_SUCCESS) return nError;
  return RegQueryValueExW(m_hKey, wszName, nullptr, &m_dwType, (BYTE*)pBuf, pcb);
}

int CRegKeyStack::QueryValueSize(const char* pszName) {
  if (!CheckDepth()) return -1;
  m_dwType = REG_BINARY;
  LONG nError;
  if (pszName == REGKS_NAME_ENUM) {
    nError = EnumValueAt(m_nValueIndex[m_nDepth]) ? ERROR_SUCCESS : m_nLastError;
  } else {
    SetName(pszName);
    nError = ReadByName(false, nullptr, &m_cbData);
    if (nError == ERROR_MORE_DATA) nError = ERROR_SUCCESS;
  }
  if (nError != ERROR_SUCCESS) {
    m_dwType = REG_BINARY;  // whatever the failed call left there
    m_cbData = 0;
    Fail(nError);
    return -1;
  }
  m_nLastError = 0;
  return (int)m_cbData;
}

// A failed read leaves empty text of the caller's type.
void CRegKeyStack::FixFailedRead(BYTE* pBuf, DWORD cbSize, DWORD dwFixType) {
  m_cbData = 0;
  if (IsText(dwFixType) && cbSize >= 1) {
    pBuf[0] = 0;
    m_cbData = 1;
  } else if (dwFixType == REG_MULTI_SZ && cbSize >= 2) {
    pBuf[0] = pBuf[1] = 0;
    m_cbData = 2;
  }
}

// n bytes were read into a buffer of cbSize bytes: terminate them as the
// fix-up type asks.
bool CRegKeyStack::FixTerminators(BYTE* pBuf, DWORD cbSize, DWORD n, DWORD dwFixType) {
  m_cbData = n;
  m_nLastError = 0;
  if (IsText(dwFixType)) {
    if (cbSize == 0) return Fail(ERROR_MORE_DATA);
    if (n == 0) {
      pBuf[0] = 0;
      m_cbData = 1;
    } else if (pBuf[n - 1] != 0) {
      if (n + 1 > cbSize) {
        pBuf[0] = 0;
        m_cbData = 0;
        return Fail(ERROR_MORE_DATA);
      }
      pBuf[n] = 0;
      m_cbData = n + 1;
    }
  } else if (dwFixType == REG_MULTI_SZ) {
    if (cbSize < 2) {
      if (cbSize == 1) {
        pBuf[0] = 0;
        m_cbData = 0;
      }
      return Fail(ERROR_MORE_DATA);
    }
    if (n >= 2 && pBuf[n - 1] == 0 && pBuf[n - 2] == 0) return true;
    DWORD nAdd = n == 0 ? 2 : pBuf[n - 1] ? 2 : 1;  // no data, none, or one NUL at the end
    if (n + nAdd > cbSize) {
      pBuf[0] = pBuf[1] = 0;
      m_cbData = 0;
      return Fail(ERROR_MORE_DATA);
    }
    std::memset(pBuf + n, 0, nAdd);
    m_cbData = n + nAdd;
  }
  return true;
}

bool CRegKeyStack::QueryValue(void* pBuf, DWORD cbSize, const char* pszName, DWORD dwFixType) {
  if (!CheckDepth()) return false;
  if (!pBuf) cbSize = 0;  // a size query; the system would otherwise write nowhere
  BYTE* p = (BYTE*)pBuf;
  DWORD n = cbSize;
  LONG nError;
  if (pszName == REGKS_NAME_ENUM) {
    // Name and data in one call; the index moves whatever the result.
    DWORD& nIndex = m_nValueIndex[m_nDepth];
    DWORD cch = kMaxName;
    nError = RegEnumValueA(m_hKey, nIndex++, m_szName, &cch, nullptr, &m_dwType, p, &n);
    m_nNameLen = nError == ERROR_SUCCESS ? cch : 0;
    if (nError != ERROR_SUCCESS) m_szName[0] = 0;
  } else {
    SetName(pszName);
    nError = ReadByName(false, p, &n);
  }
  if (nError != ERROR_SUCCESS) {
    FixFailedRead(p, cbSize, dwFixType);
    return Fail(nError);
  }
  return FixTerminators(p, cbSize, n, dwFixType);
}

// Reads the size, then the value into a block four bytes larger, so that any
// terminators fit. bWide reads through the 16-bit functions and only zeroes
// the spare bytes.
bool CRegKeyStack::AllocRead(void** ppData, const char* pszName, bool bWide, DWORD dwFixType) {
  *ppData = nullptr;
  if (!CheckDepth()) return false;
  LONG nError;
  if (pszName == REGKS_NAME_ENUM) {
    DWORD& nIndex = m_nValueIndex[m_nDepth];
    nError = EnumValueAt(nIndex++) ? ERROR_SUCCESS : m_nLastError;
  } else {
    SetName(pszName);
    nError = ReadByName(bWide, nullptr, &m_cbData);
  }
  if (nError != ERROR_SUCCESS && nError != ERROR_MORE_DATA) return Fail(nError);

  DWORD cbData = m_cbData;
  BYTE* p = new BYTE[cbData + 4];
  DWORD n = cbData;
  nError = ReadByName(bWide, p, &n);
  if (nError != ERROR_SUCCESS) {
    // The value changed between the two reads: report it rather than hand
    // out a block of whatever the failed read left.
    delete[] p;
    m_cbData = 0;
    return Fail(nError);
  }
  *ppData = p;
  m_nLastError = 0;
  std::memset(p + n, 0, 4);
  if (bWide) {
    m_cbData = n;
  } else if (n == 0) {
    m_cbData = IsText(dwFixType) ? 1 : dwFixType == REG_MULTI_SZ ? 2 : 0;
  } else {
    FixTerminators(p, n + 4, n, dwFixType);
  }
  return true;
}

bool CRegKeyStack::QueryValueAlloc(char** ppData, const char* pszName, DWORD dwFixType) {
  return AllocRead((void**)ppData, pszName, false, dwFixType);
}

bool CRegKeyStack::QueryValueAllocW(BYTE** ppData, const char* pszName, DWORD dwTypeWord) {
  *ppData = nullptr;
  if (pszName == REGKS_NAME_ENUM) return Fail(ERROR_NOT_SUPPORTED);
  if (!CheckDepth()) return false;
  int nSel = Selector(dwTypeWord);
  if (nSel < 0) return Fail(ERROR_NOT_SUPPORTED);
  return AllocRead((void**)ppData, pszName, nSel == 2, 0);
}

bool CRegKeyStack::QueryValueEx(void* pBuf, DWORD cbSize, const char* pszName, DWORD dwTypeWord) {
  if (pszName == REGKS_NAME_ENUM) return Fail(ERROR_NOT_SUPPORTED);
  if (!CheckDepth()) return false;
  int nSel = Selector(dwTypeWord);
  if (nSel < 0) return Fail(ERROR_NOT_SUPPORTED);
  if (!pBuf) cbSize = 0;
  BYTE* p = (BYTE*)pBuf;
  SetName(pszName);
  DWORD n = cbSize;
  LONG nError = ReadByName(nSel == 2, p, &n);
  if (nError != ERROR_SUCCESS) {
    m_cbData = 0;
    if (cbSize) std::memset(p, 0, cbSize >= 2 ? 2 : 1);
    return Fail(nError);
  }
  // Up to four zero bytes after the data, as far as the buffer has room.
  m_cbData = n;
  if (n < cbSize) {
    DWORD nFree = cbSize - n;
    std::memset(p + n, 0, nFree >= 4 ? 4 : nFree >= 2 ? 2 : 1);
  }
  m_nLastError = 0;
  return true;
}

bool CRegKeyStack::QueryDouble(double* pd, const char* pszName) {
  char sz[64] = {};
  if (!QueryValue(sz, sizeof sz, pszName, REG_SZ)) return false;
  *pd = std::atof(sz);
  return true;
}

bool CRegKeyStack::QueryFloat(float* pf, const char* pszName) {
  double d;
  if (!QueryDouble(&d, pszName)) return false;
  *pf = (float)d;
  return true;
}

bool CRegKeyStack::QueryString(CString& str, const char* pszName) {
  char* p;
  bool bOk = QueryValueAlloc(&p, pszName, REG_SZ);
  if (p) {
    str = m_cbData ? p : "";
    delete[] p;
  }
  return bOk;
}
