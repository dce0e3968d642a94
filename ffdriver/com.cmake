# The driver's COM frame: the DLLs that DirectInput loads. Vantrel (first revision) on both
# architectures (named Vantrel64 on x86_64), and the later revision's Vantrel.dll on i686 in
# a folder of its own; the 64-bit tree builds the later revision only for its tests.
if(NOT TARGET ffcore_rev1)
  return()
endif()

set(FFCOM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFDll.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFDriver.cpp)

# vantrel_add_driver(TARGET REVISION DEF_FILE [OUTPUT_DIR dir])
function(vantrel_add_driver name revision def_file)
  cmake_parse_arguments(D "" "OUTPUT_DIR" "" ${ARGN})
  set(sources ${FFCOM_SOURCES} ${def_file})
  if(revision EQUAL 1)
    # Only the first revision registers itself.
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFRegister.cpp)
  endif()
  add_library(${name} SHARED ${sources})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME Vantrel)
  if(D_OUTPUT_DIR)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${D_OUTPUT_DIR}
                          ARCHIVE_OUTPUT_DIRECTORY ${D_OUTPUT_DIR})
  endif()
  target_link_libraries(${name} PRIVATE ffcore_rev${revision} framework ole32 uuid dxguid
                        advapi32 winmm)
  if(VANTREL_ARCH STREQUAL "i686")
    # The .def names are undecorated; this maps them onto the stdcall symbols.
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
endfunction()

vantrel_add_driver(Vantrel_rev2 2 ${CMAKE_CURRENT_SOURCE_DIR}/Vantrel2.def
                   OUTPUT_DIR ${CMAKE_BINARY_DIR}/ffdriver/rev2)
if(VANTREL_ARCH STREQUAL "i686")
  vantrel_add_driver(Vantrel 1 ${CMAKE_CURRENT_SOURCE_DIR}/Vantrel.def)
else()
  vantrel_add_driver(Vantrel64 1 ${CMAKE_CURRENT_SOURCE_DIR}/Vantrel64.def)
  set_target_properties(Vantrel64 PROPERTIES OUTPUT_NAME Vantrel64)
  vantrel_test64_only(Vantrel_rev2)
endif()
