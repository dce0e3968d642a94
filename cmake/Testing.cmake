# GoogleTest from the distribution's sources, built with this tree's cross compiler.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# vantrel_add_test(NAME SOURCES ... [LIBS ...] [TIMEOUT s] [ARGS ...])
# One test executable, run under Wine by ctest, with a watchdog so a hang fails.
function(vantrel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "VANTREL_WATCHDOG_SECONDS=${T_TIMEOUT}")
endfunction()

# vantrel_test64_only(TARGET): in the 64-bit tree, a build of a 32-bit deliverable exists only
# so its sources run their tests as 64-bit code. It is named TARGET_test64 and kept in the
# tree's test64 folder, so nobody takes it for a deliverable. In the 32-bit tree: no change.
function(vantrel_test64_only target)
  if(NOT VANTREL_ARCH STREQUAL "x86_64")
    return()
  endif()
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${target}_test64
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test64
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test64)
endfunction()
