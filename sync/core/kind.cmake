# The kinds of record a sync carries.
target_sources(sync_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SyncKind.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncKind.h)
# What the user chose on the sync page.
target_sources(sync_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SyncSettings.cpp ${CMAKE_CURRENT_LIST_DIR}/SyncSettings.h)
target_link_libraries(sync_core PUBLIC platform)
