// Resource ids of the toolbar tests.
#pragma once

#define IDR_TEST_TOOLBAR 128
#define IDS_TEST_TOOLBAR_STRINGS 300
