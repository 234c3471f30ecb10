# The data tools' files without window code: the native sanitizer build
# compiles them beside text/ (tests, fuzz target, generated CRC source check).
set(tools_windowfree_sources
  ${CMAKE_CURRENT_LIST_DIR}/crcengine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/crcpresets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/crcsource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/strlist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/valuetext.cpp
)
