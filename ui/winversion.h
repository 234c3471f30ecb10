// Which Windows runs: major << 16 | minor.
#pragma once

#include <windows.h>

const DWORD kWindowsVista = 0x60000;

// From GetVersionExA, asked once.
DWORD GetWindowsVersion();
// The product version in the kernel's own version resource; 0 when it
// cannot be read (then asked again next time).
DWORD GetWindowsVersionFromKernel();
