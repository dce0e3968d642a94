# Effect driver core, once per revision, against the in-process pad simulator; both revisions
# in both trees.
set(FFCORE_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/core_report_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/core_store_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/core_mix_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/core_retry_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/core_thread_test.cpp)

vantrel_add_test(ffcore_rev1_tests SOURCES ${FFCORE_TEST_SOURCES} LIBS ffcore_rev1 padsim
  TIMEOUT 240)
vantrel_add_test(ffcore_rev2_tests SOURCES ${FFCORE_TEST_SOURCES} LIBS ffcore_rev2 padsim
  TIMEOUT 240)
