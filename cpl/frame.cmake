# Ulvane: COM frame, property sheet, About page, pad access and display controls. The pages
# add their sources to ulvane_obj from their own .cmake files. Ulvane is a 32-bit deliverable;
# the 64-bit tree builds it only for its tests.
add_library(ulvane_obj OBJECT
  Module.cpp
  Registration.cpp
  ClassFactory.cpp
  PropertySheet.cpp
  AboutPage.cpp
  PadReports.cpp
  PadDevice.cpp
  PadTransport.cpp
  PadExchange.cpp
  ControlClasses.cpp
  SunkenFrame.cpp
  ProcessControl.cpp
  AxesControl.cpp
  RumbleControl.cpp
  PovControl.cpp
  LampControl.cpp
  Ulvane.rc
  About.rc)
target_include_directories(ulvane_obj PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(ulvane_obj PUBLIC DIRECTINPUT_VERSION=0x0700)
target_link_libraries(ulvane_obj PUBLIC
  dinput dxguid hid setupapi comctl32 comdlg32 winmm ole32 oleaut32 uuid gdi32 user32 advapi32)
set_source_files_properties(Ulvane.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Ulvane.ico)

add_library(Ulvane SHARED DllEntry.cpp Ulvane.def $<TARGET_OBJECTS:ulvane_obj>)
target_link_libraries(Ulvane PRIVATE ulvane_obj)
set_target_properties(Ulvane PROPERTIES PREFIX "")
if(VANTREL_ARCH STREQUAL i686)
  # The .def names are undecorated; this maps them onto the stdcall symbols.
  target_link_options(Ulvane PRIVATE -Wl,--enable-stdcall-fixup)
endif()
vantrel_test64_only(Ulvane)
