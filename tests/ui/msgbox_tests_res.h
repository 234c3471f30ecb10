// Resource ids of the message box and library text tests.
#pragma once

#define IDS_MSGBOX_TEST_TEXT 0x7101
#define IDS_MSGBOX_TEST_CAPTION 0x7102
#define IDI_MSGBOX_TEST 0x7103
