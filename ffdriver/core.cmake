# Effect driver core: device server, effect store, mixing pass and motor report. One source,
# built once per revision; the COM frame links the matching library into its DLL.
set(FFCORE_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FF.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFReport.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFStore.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ZR_FFMix.cpp)

function(vantrel_add_ffcore name revision)
  add_library(${name} STATIC ${FFCORE_SOURCES})
  target_compile_definitions(${name} PUBLIC VANTREL_REVISION=${revision})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC framework winmm advapi32)
endfunction()

vantrel_add_ffcore(ffcore_rev1 1)
vantrel_add_ffcore(ffcore_rev2 2)
