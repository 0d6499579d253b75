# A real CardDAV/CalDAV server started by a test: link dav_server.
add_library(dav_server STATIC sync/DavServer.cpp sync/DavServer.h)
target_include_directories(dav_server PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/sync)
target_link_libraries(dav_server PUBLIC sync_core Qt6::Network)

velmora_add_test(sync tst_dav_xml LIBS sync_core)
target_compile_definitions(tst_dav_xml PRIVATE DAV_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus/dav_multistatus")
velmora_add_test(sync tst_dav_client LIBS dav_server)
velmora_add_test(sync tst_dav_hostile LIBS sync_core)

# What a sync remembers: every write path marks its records, Quiet and rollbacks mark
# nothing; collections, tokens and items are kept whole or refused.
velmora_add_test(sync tst_sync_state LIBS sync_core contacts_csv schedule_core diary_core)
velmora_add_test(sync tst_sync_state_api LIBS sync_core)
