#include "ui/winversion.h"

#include <cstring>

DWORD GetWindowsVersion() {
  static DWORD s_version = 0;
  if (!s_version) {
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (GetVersionExA(&vi)) s_version = (vi.dwMajorVersion << 16) | (vi.dwMinorVersion & 0xFFFF);
  }
  return s_version;
}

DWORD GetWindowsVersionFromKernel() {
  static HMODULE s_kernel = nullptr;
  static DWORD s_version = 0;
  if (s_version) return s_version;
  if (!s_kernel) s_kernel = GetModuleHandleW(L"KERNEL32");
  if (!s_kernel) return 0;
  HRSRC res = FindResourceW(s_kernel, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  if (!res) return 0;
  DWORD size = SizeofResource(s_kernel, res);
  HGLOBAL mem = LoadResource(s_kernel, res);
  const BYTE* block = mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
  static const wchar_t kKey[] = L"VS_VERSION_INFO";
  const DWORD keyEnd = 6 + sizeof kKey - 2;  // offset of the key's terminator
  if (!block || size < keyEnd + 6 + 20 || std::memcmp(block + 6, kKey, sizeof kKey) != 0) return 0;
  for (DWORD skip = 2; skip <= 6; skip += 2) {
    DWORD at = keyEnd + skip;
    DWORD signature;
    std::memcpy(&signature, block + at, 4);
    if (signature == 0xFEEF04BD) {
      std::memcpy(&s_version, block + at + 16, 4);
      return s_version;
    }
  }
  return 0;
}
