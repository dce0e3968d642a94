# Rumble test page and key mapping (pad, registry, key setting files, key picker).
target_sources(ulvane_obj PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RumblePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeySettingFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyPicker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyFileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rumble.rc
  ${CMAKE_CURRENT_LIST_DIR}/keypicker.rc)
