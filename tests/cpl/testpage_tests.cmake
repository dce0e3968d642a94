# The test page against the fake pad and fake DirectInput.
if(TARGET cpl_testsupport)
  vantrel_add_test(cpl_testpage_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/testpage_harness.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_mode_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_display_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/testpage_command_tests.cpp
    LIBS ulvane_obj cpl_testsupport)
endif()
