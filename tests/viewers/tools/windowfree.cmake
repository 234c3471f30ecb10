# The data tools' tests that need no window or registry; the native
# sanitizer build runs them too.
set(tools_windowfree_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/crcengine_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/crcsource_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/valuetext_test.cpp
)
