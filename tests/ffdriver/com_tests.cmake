# Black-box tests of the driver DLLs: each test program loads one built DLL by path and drives
# it through its exports and interfaces against the in-process pad simulator.
if(NOT TARGET ffcore_rev1 OR NOT TARGET padsim OR NOT TARGET ffexithost)
  return()
endif()

set(COM_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/com_driver_dll.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com_frame_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com_driver_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com_commands_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com_concurrency_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com_exit_test.cpp)

# vantrel_add_com_test(TEST DLL_TARGET REVISION [REGISTRATION])
function(vantrel_add_com_test name dll revision)
  set(sources ${COM_TEST_SOURCES})
  if(ARGN STREQUAL "REGISTRATION")
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/com_register_test.cpp)
  endif()
  vantrel_add_test(${name} SOURCES ${sources} LIBS padsim ole32 uuid dxguid advapi32
                   TIMEOUT 240)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools/ffdemo)
  target_compile_definitions(${name} PRIVATE VANTREL_DLL_PATH="$<TARGET_FILE:${dll}>"
                             COM_DLL_REVISION=${revision}
                             FFEXITHOST_PATH="$<TARGET_FILE:ffexithost>")
  add_dependencies(${name} ${dll} ffexithost)
endfunction()

# vantrel_add_export_test(TEST DLL_TARGET OBJDUMP "ORDINAL NAME"...)
function(vantrel_add_export_test name dll objdump)
  add_test(NAME ${name}
           COMMAND /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/com_exports.sh ${objdump}
                   $<TARGET_FILE:${dll}> ${ARGN})
endfunction()

set(COM_EXPORTS "1 DllCanUnloadNow" "2 DllGetClassObject" "3 DllMain")
set(COM_REGISTRATION_EXPORTS "4 DllRegisterServer" "5 DllUnregisterServer")
# The later revision in both trees; its exports are checked where it is a deliverable.
vantrel_add_com_test(com_vantrel_rev2 Vantrel_rev2 2)
if(VANTREL_ARCH STREQUAL "i686")
  vantrel_add_com_test(com_vantrel_rev1 Vantrel 1 REGISTRATION)
  vantrel_add_export_test(com_exports_rev1 Vantrel i686-w64-mingw32-objdump
                          ${COM_EXPORTS} ${COM_REGISTRATION_EXPORTS})
  vantrel_add_export_test(com_exports_rev2 Vantrel_rev2 i686-w64-mingw32-objdump
                          ${COM_EXPORTS})
else()
  vantrel_add_com_test(com_vantrel64 Vantrel64 1 REGISTRATION)
  vantrel_add_export_test(com_exports_vantrel64 Vantrel64 x86_64-w64-mingw32-objdump
                          ${COM_EXPORTS} ${COM_REGISTRATION_EXPORTS})
endif()
