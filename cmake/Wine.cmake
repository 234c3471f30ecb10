# The wrapper through which every target program runs: it pins the Wine
# prefix of this build tree, the locale (ANSI code page 1252) and the time zone.
# A 64-bit build (see tools/build) runs in a 64-bit prefix with Wine's 64-bit loader.
set(OSTROVA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(OSTROVA_WINEARCH win64)
  set(OSTROVA_WINE /usr/lib/wine/wine64)
else()
  set(OSTROVA_WINEARCH win32)
  set(OSTROVA_WINE wine)
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
