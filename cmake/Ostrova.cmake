# Helpers shared by the folders' CMakeLists.

# ostrova_library(<name> [DEPS <libs>...])
# One static library from every .cpp/.c file of the calling folder (and its
# subfolders named in SUBDIRS, or exactly the files of SOURCES when a folder
# keeps its list in a file of its own), less the files named in EXCLUDE and the
# native halves of the Windows seams (*_posix.cpp, for the sanitizer build in native/).
# Headers are included as "<folder>/<file>.h".
function(ostrova_library name)
  cmake_parse_arguments(A "" "" "DEPS;SUBDIRS;SYSLIBS;EXCLUDE;SOURCES" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  foreach(sub ${A_SUBDIRS})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.c)
  endforeach()
  if(A_SOURCES)
    set(srcs ${A_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${globs})
  endif()
  list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  foreach(ex ${A_EXCLUDE})
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    set(scope PUBLIC)
    set_property(GLOBAL APPEND PROPERTY OSTROVA_LIBRARIES ${name})
  else()
    add_library(${name} INTERFACE)  # a folder whose sources are still to come
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} ${scope} ${A_DEPS} ${A_SYSLIBS})
endfunction()

# ostrova_test(<name> SOURCES <files>... [LIBS <libs>...] [HARNESS <lib>] [NO_DESKTOP])
# A GoogleTest program run by CTest under Wine; it carries the application
# manifest so that windows get the same common controls as the program.
# HARNESS names the test helpers it links: test_harness (the default, with
# the framework) or test_harness_base (for the folders below the framework).
# Programs that open windows take the desktop in turn: activation and focus
# are shared by every process on the display. NO_DESKTOP marks a program
# that opens none, so it may run beside them.
function(ostrova_test name)
  cmake_parse_arguments(A "NO_DESKTOP" "TIMEOUT;HARNESS" "SOURCES;LIBS" ${ARGN})
  if(NOT A_HARNESS)
    set(A_HARNESS test_harness)
  endif()
  add_executable(${name} ${A_SOURCES} ${CMAKE_SOURCE_DIR}/tests/harness/test_manifest.rc)
  target_link_libraries(${name} PRIVATE ${A_HARNESS} ${A_LIBS} gmock gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(NOT A_NO_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# ostrova_bench(<name> SOURCES <files>... [LIBS <libs>...])
function(ostrova_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE bench_harness ${A_LIBS})
  set_property(GLOBAL APPEND PROPERTY OSTROVA_BENCHES ${name})
endfunction()
