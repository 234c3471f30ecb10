# The text library's sources: every .cpp below text/, in its family folders
# too. Both the mingw build (text/CMakeLists.txt) and the native sanitizer
# build (native/CMakeLists.txt) take this one list, so a file added in a
# subfolder cannot drop out of either. *_win.cpp and *_posix.cpp are the two
# halves of the Windows seams; each build removes the half it does not want.
file(GLOB_RECURSE text_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
