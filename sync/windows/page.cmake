# The sync page reached from the launcher's menu.
target_sources(sync_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SyncHost.h
  ${CMAKE_CURRENT_LIST_DIR}/Tsync_config.cpp ${CMAKE_CURRENT_LIST_DIR}/Tsync_config.h)
