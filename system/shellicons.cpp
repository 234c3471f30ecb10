// The drive, folder and image-list helpers of the icon cache. Their static
// caches take no lock: two threads may both ask the shell, the last store wins.
#include "system/shelliconcache.h"

#include <cstring>

namespace {

const ShellIconCalls kSystemCalls = {SHGetFileInfoW, GetDriveTypeW, GetLogicalDrives, GetSystemDirectoryW,
                                     GetTickCount};
ShellIconCalls g_calls = kSystemCalls;

struct DriveIcons {
  unsigned char type;  // GetDriveTypeW of the root; 0: not asked yet
  bool fetched[2];     // by size: 0 large, 1 small
  int index[2];
  DWORD tick[2];
};
DriveIcons g_drives[26];
DWORD g_driveMask, g_driveMaskTick;
char g_systemDrive;
HIMAGELIST g_imageLists[2];  // 0 small, 1 large

const UINT kSysIconIndex = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES;

}  // namespace

void SetShellIconCalls(const ShellIconCalls* calls) {
  g_calls = calls ? *calls : kSystemCalls;
  memset(g_drives, 0, sizeof g_drives);
  g_driveMask = g_driveMaskTick = 0;
  g_systemDrive = 0;
  g_imageLists[0] = g_imageLists[1] = nullptr;
}

int GetDriveIconIndex(int letter, UINT flags) {
  unsigned d = (unsigned)(letter & ~0x20) - 'A';
  if (d >= 26) return -2;
  DriveIcons& drive = g_drives[d];
  int size = flags & SHGFI_SMALLICON ? 1 : 0;
  if (drive.fetched[size]) {
    // Fixed drives keep their icon; others may change (media, mapping).
    if (drive.type == DRIVE_FIXED) return drive.index[size];
    if (drive.type != 0 && g_calls.getTickCount() - drive.tick[size] < 3000) return drive.index[size];
  }
  wchar_t root[4] = {(wchar_t)letter, L':', L'\\', 0};
  SHFILEINFOW info = {};
  if (!g_calls.getFileInfo(root, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                           (flags & SHGFI_SMALLICON) | kSysIconIndex))
    return -1;
  drive.type = (unsigned char)g_calls.getDriveType(root);
  drive.index[size] = info.iIcon;
  drive.tick[size] = g_calls.getTickCount();
  drive.fetched[size] = true;
  return info.iIcon;
}

DWORD GetLogicalDrivesCached() {
  DWORD now = g_calls.getTickCount();
  if (g_driveMask && now - g_driveMaskTick < 1000) return g_driveMask;
  g_driveMask = g_calls.getLogicalDrives();
  g_driveMaskTick = now;
  return g_driveMask;
}

char GetSystemDriveLetter() {
  if (g_systemDrive) return g_systemDrive;
  wchar_t dir[64];
  char letter = 'C';
  if (g_calls.getSystemDirectory(dir, 64)) {
    letter = (char)(dir[0] & ~0x20);
  } else {
    DWORD mask = GetLogicalDrivesCached();
    for (int d = 2; d < 26; ++d)
      if (mask & (1u << d)) {
        letter = (char)('A' + d);
        break;
      }
  }
  return g_systemDrive = letter;
}

int GetFolderIconIndex(UINT flags) {
  SHFILEINFOW info = {};
  if (!g_calls.getFileInfo(L"Hallo", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags | kSysIconIndex)) return -1;
  return info.iIcon;
}

HIMAGELIST GetSystemImageList(BOOL large) {
  HIMAGELIST& slot = g_imageLists[large ? 1 : 0];
  if (!slot) {
    static const USHORT desktop = 0;  // the empty item-id list
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL | (large ? 0 : SHGFI_SMALLICON);
    slot = (HIMAGELIST)g_calls.getFileInfo((LPCWSTR)&desktop, 0, &info, sizeof info, flags);
  }
  return slot;
}
