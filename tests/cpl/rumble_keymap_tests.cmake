# Rumble test page and key mapping, against the fake pad and fake DirectInput.
if(TARGET cpl_testsupport)
  vantrel_add_test(cpl_keymap_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/keymap_store_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/keymap_file_tests.cpp
      ${CMAKE_CURRENT_LIST_DIR}/keymap_picker_tests.cpp
    LIBS ulvane_obj cpl_testsupport)
  vantrel_add_test(cpl_rumble_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/rumble_page_tests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/rumble_sheet_tests.cpp
    LIBS ulvane_obj cpl_testsupport)
endif()
