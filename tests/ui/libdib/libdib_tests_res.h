// Resource ids of the LibDib tests.
#pragma once
#define IDI_LIBDIB_TEST 200
