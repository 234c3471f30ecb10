// Resource ids of the mfc tests' resource script.
#pragma once

#define IDD_LISTS 200
#define IDC_LISTS_COMBO 201
#define IDC_LISTS_LIST 202
#define IDC_LISTS_EDITCOMBO 203
