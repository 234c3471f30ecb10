// Resource ids of the single-document test application.
#pragma once

#define IDR_TESTAPP 300
#define ID_TEST_HELLO 32900
#define ID_TEST_MARK 32901
#define ID_TEST_GREY 32902
#define ID_TEST_NOHANDLER 32903
