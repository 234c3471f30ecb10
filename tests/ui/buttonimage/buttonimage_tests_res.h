// Resource ids of the button-image and menu-bitmap tests.
#pragma once
#define IDB_TEST_STRIP 300
#define IDB_TEST_BUTTON 301
#define IDB_TEST_BUTTON2 302
#define ID_TEST_TOOL_A 100
#define ID_TEST_TOOL_B 101
#define ID_TEST_TOOL_C 102
