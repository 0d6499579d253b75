# The sync itself: records as server resources, and the run that pulls,
# pushes and settles conflicts.
target_sources(sync_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SyncRecords.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncRecords.h)
