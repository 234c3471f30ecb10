# 64-bit Windows: the test build on machines whose kernel cannot start i386
# programs, so that Wine runs only 64-bit ones (see tools/arch).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
