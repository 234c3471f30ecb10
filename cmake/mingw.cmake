# Cross build for Windows with Debian's mingw-w64 (posix threads), for the
# processor the including toolchain file sets.
set(CMAKE_SYSTEM_NAME Windows)

set(_prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER   ${_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_prefix}-g++-posix)
set(CMAKE_RC_COMPILER  ${_prefix}-windres)
set(CMAKE_AR           /usr/bin/${_prefix}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${_prefix}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every target program runs under Wine through the build tree's wrapper,
# which pins the prefix, locale and time zone.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
