# The .reg tests that need no registry; the native sanitizer build runs them too.
set(regfile_windowfree_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/regfileparse_test.cpp
)
