// The rights tables of the permission object.
#pragma once

#include <windows.h>

#include <aclui.h>

const int kRegistryAccessCount = 13;
const int kFileAccessCount = 24;
const int kInheritTypeCount = 7;
const ULONG kDefaultAccessIndex = 2;

extern SI_ACCESS kRegistryAccess[kRegistryAccessCount];
extern SI_ACCESS kFileAccess[kFileAccessCount];
extern SI_INHERIT_TYPE kInheritTypes[kInheritTypeCount];
