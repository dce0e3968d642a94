# The test page: added to the control panel's objects.
target_sources(ulvane_obj PRIVATE
  TestPageProc.cpp
  TestPageTick.cpp
  TestPageViews.cpp
  TestPageCommands.cpp
  TestPageValues.cpp
  testpage.rc)
