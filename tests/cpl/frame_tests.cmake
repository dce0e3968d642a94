# Tests of Ulvane's frame, pad access and display controls, and the test doubles that the
# page tests share. Both trees: the 64-bit one runs the same sources as 64-bit code.
if(TARGET ulvane_obj)
  # Fake pad (HID transport) and fake DirectInput objects.
  add_library(cpl_testsupport STATIC support/FakePad.cpp support/FakeDirectInput.cpp)
  # Only the headers of ulvane_obj: the objects (resources included) go into each program
  # that links ulvane_obj itself, as every test does.
  target_include_directories(cpl_testsupport PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support
    $<TARGET_PROPERTY:ulvane_obj,INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(cpl_testsupport PUBLIC
    $<TARGET_PROPERTY:ulvane_obj,INTERFACE_COMPILE_DEFINITIONS>)

  # Through the built DLL: exports, factory, registration.
  vantrel_add_test(cpl_frame_com_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_com_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/frame_registration_test.cpp
    LIBS ole32 uuid advapi32)
  target_include_directories(cpl_frame_com_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../cpl)
  target_compile_definitions(cpl_frame_com_tests PRIVATE DIRECTINPUT_VERSION=0x0700
    ULVANE_DLL_NAME="$<TARGET_FILE_NAME:Ulvane>")
  # The DLL under test beside the test program, refreshed on every build.
  add_custom_target(cpl_frame_com_tests_dll ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Ulvane> ${CMAKE_CURRENT_BINARY_DIR}
    DEPENDS Ulvane)
  add_dependencies(cpl_frame_com_tests cpl_frame_com_tests_dll)

  # Linked with the objects: sheet records, About page, strings.
  vantrel_add_test(cpl_frame_sheet_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_sheet_test.cpp
    LIBS ulvane_obj cpl_testsupport version)

  # Reports, transport and DirectInput setup with the fakes.
  vantrel_add_test(cpl_frame_pad_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_reports_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/frame_pad_device_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/frame_transport_test.cpp
    LIBS ulvane_obj cpl_testsupport)

  # Display controls, checked by their pixels in real windows.
  vantrel_add_test(cpl_frame_controls_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_controls_test.cpp
    LIBS ulvane_obj cpl_testsupport)
endif()
