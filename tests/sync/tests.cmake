# A real CardDAV/CalDAV server started by a test: link dav_server.
add_library(dav_server STATIC sync/DavServer.cpp sync/DavServer.h)
target_include_directories(dav_server PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/sync)
target_link_libraries(dav_server PUBLIC sync_core Qt6::Network)

velmora_add_test(sync tst_dav_xml LIBS sync_core)
target_compile_definitions(tst_dav_xml PRIVATE DAV_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus/dav_multistatus")
velmora_add_test(sync tst_dav_client LIBS dav_server)
# A server that answers whatever bytes a test gives it: link hostile_server.
add_library(hostile_server STATIC sync/HostileServer.cpp sync/HostileServer.h)
target_include_directories(hostile_server PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/sync)
target_link_libraries(hostile_server PUBLIC Qt6::Network)
velmora_add_test(sync tst_dav_hostile LIBS sync_core hostile_server)

# What a sync remembers: every write path marks its records, Quiet and rollbacks mark
# nothing; collections, tokens and items are kept whole or refused.
velmora_add_test(sync tst_sync_state LIBS sync_core contacts_csv schedule_core diary_core)
velmora_add_test(sync tst_sync_state_api LIBS sync_core)

# Two stores kept in step through a real server; a thousand records (long:
# left out of the sanitizer run).
velmora_add_test(sync tst_sync_engine LIBS dav_server)
target_sources(tst_sync_engine PRIVATE sync/SyncSide.cpp sync/SyncSide.h)
set_tests_properties(sync/tst_sync_engine PROPERTIES TIMEOUT 600)
velmora_add_test(sync tst_sync_volume LIBS dav_server)
target_sources(tst_sync_volume PRIVATE sync/SyncSide.cpp sync/SyncSide.h)
set_tests_properties(sync/tst_sync_volume PROPERTIES TIMEOUT 900 LABELS slow)

# The sync page against a real server, on a private session bus with no
# secret store.
velmora_add_test(sync tst_sync_config PRIVATE_BUS LIBS dav_server sync_windows)

# A syncing process killed at random moments, then let finish.
add_executable(sync_worker sync/sync_worker.cpp)
target_link_libraries(sync_worker PRIVATE sync_core)
set_target_properties(sync_worker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
velmora_add_test(sync tst_sync_crash LIBS dav_server)
target_sources(tst_sync_crash PRIVATE sync/SyncSide.cpp sync/SyncSide.h)
target_compile_definitions(tst_sync_crash PRIVATE SYNC_WORKER="$<TARGET_FILE:sync_worker>")
add_dependencies(tst_sync_crash sync_worker)
set_tests_properties(sync/tst_sync_crash PROPERTIES TIMEOUT 900 LABELS slow)

# The sync against a server that misbehaves in every way: nothing here changes.
velmora_add_test(sync tst_sync_hostile LIBS dav_server hostile_server)
target_sources(tst_sync_hostile PRIVATE sync/SyncSide.cpp sync/SyncSide.h)
