# The test page against the fake pad and fake DirectInput.
if(VANTREL_ARCH STREQUAL i686 AND TARGET cpl_testsupport)
  vantrel_add_test(cpl_testpage_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/testpage_harness.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_mode_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_display_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_command_tests.cpp
    LIBS ulvane_obj cpl_testsupport)
endif()

# Shows the test page in either view for a screenshot; not run by ctest.
if(VANTREL_ARCH STREQUAL i686 AND TARGET cpl_testsupport)
  add_executable(cpl_testpage_showpage ${CMAKE_CURRENT_LIST_DIR}/testpage_showpage.cpp)
  target_link_libraries(cpl_testpage_showpage PRIVATE ulvane_obj cpl_testsupport comctl32)
endif()
