# The text tests: every *_test.cpp below tests/text/, one program. Both the
# mingw build and the native sanitizer build take this list; the native build
# leaves out text_tests_windows_only, which work with Windows files or the console.
file(GLOB_RECURSE text_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
set(text_tests_windows_only ${CMAKE_CURRENT_LIST_DIR}/format/formatfront_test.cpp)
