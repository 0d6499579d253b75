# What a sync remembers between runs: collections, tokens, items, change marks.
target_sources(sync_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SyncState.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncState.h)
