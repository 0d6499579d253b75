# The kinds of record a sync carries.
target_sources(sync_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SyncKind.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncKind.h)
