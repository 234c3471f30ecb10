// The Windows half of CString: conversion from 16-bit text.
#include "base/cstring.h"

#include <windows.h>

CString::CString(const wchar_t* psz) : m_pchData(EmptyData()) {
  if (!psz || !*psz) return;
  int n = WideCharToMultiByte(CP_ACP, 0, psz, -1, nullptr, 0, nullptr, nullptr);
  if (n > 1) {
    WideCharToMultiByte(CP_ACP, 0, psz, -1, GetBuffer(n - 1), n, nullptr, nullptr);
    ReleaseBuffer(n - 1);
  }
}
