# The sync itself: records as server resources, the run that pulls, pushes
# and settles conflicts in batches, and the worker thread it runs in.
target_sources(sync_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SyncBatch.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncBatch.h
  ${CMAKE_CURRENT_LIST_DIR}/SyncEngine.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/SyncRecords.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncRecords.h
  ${CMAKE_CURRENT_LIST_DIR}/SyncRunner.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncRunner.h
  ${CMAKE_CURRENT_LIST_DIR}/SyncSent.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncSent.h)
